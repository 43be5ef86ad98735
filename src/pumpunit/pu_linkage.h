#pragma once
#include "pumpunit/pumping_unit.h"

// Linkage state at one crank angle.
struct CrankState {
    double alpha;         // angle whose sine is in the torque factor's numerator, rad
    double beta;          // angle between the C arm and the pitman, rad
    double beamAngle;     // rad
    double linkDistance;  // crank pin to beam pivot, in
    double torqueFactor;  // in (polished-rod inches per radian of crank, signed by rotation)
    double crankAngle;    // rad
};

struct LinkageAngles {
    double beamAngle;     // rad
    double linkDistance;  // in
};

// Beam angle and crank-pin-to-pivot distance at crank angle x (rad); both 0 for non-beam types.
LinkageAngles PuLinkageAngles(const PumpingUnit* pu, double x);

// Full linkage state at a crank angle given in degrees.
CrankState PuCrankState(const PumpingUnit* pu, double degrees);
