#pragma once
#include "pumpunit/pumping_unit.h"

// Permissible polished-rod load over one crank revolution into the caller's arrays.
// Beam types (and unknown letters): 72 points at 0, 5, .. 355 degrees, of which the first
// min(count, 72) are written; a count other than 72 is logged. Types 'X' and 'H' write
// count points. Always true.
bool CalcPermissibleLoadBeam(const PumpingUnit* pu, double* positions, double* loads, int count);

// Type 'X' (long-stroke unit with a chain around two end circles): count points. Always true.
bool CalcPermissibleLoadTypeX(const PumpingUnit* pu, double* positions, double* loads, int count);

// Type 'H': the structure rating as a flat line over count evenly spaced positions. Always true.
bool CalcPermissibleLoadTypeH(const PumpingUnit* pu, double* positions, double* loads, int count);

// Blanks (quiet NaN) loads[0 .. count-1] above maxLoad or below minLoad; loads on a bound stay.
// Does nothing unless both bounds are finite.
void BlankLoadsOutsideBand(double* loads, int count, double minLoad, double maxLoad);
