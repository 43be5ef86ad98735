#pragma once
#include "pumpunit/pumping_unit.h"

// Polished-rod position, in (0 at the bottom of the stroke), for a beam angle from
// PuLinkageAngles. Meaningful for beam types only.
double PuBeamPosition(const PumpingUnit* pu, double beamAngle);

// Polished-rod position, in, at point i of a cycle of n points with time step dt (s).
// Beam types: crank angle 360/n*i degrees, i not reduced modulo n. Type 'H': a timed
// trapezoid over (i mod n)*dt, the only type that reads dt. Type 'X': 0. Unknown types: 0.
// NaN for impossible geometry or for type 'H' with zero ramp times (kept so: the host sees it).
// n <= 0 gives 0 with a log line.
double PuPolishedRodPosition(const PumpingUnit* pu, int i, int n, double dt);
