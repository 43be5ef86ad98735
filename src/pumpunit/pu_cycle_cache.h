#pragma once
#include <cstdint>
#include <vector>

#include "pumpunit/pumping_unit.h"

// The polished-rod positions of one pumping cycle, kept between solves of a well: the motion
// costs a few inverse trigonometric functions a point, more than a whole step of the march.
// The key is a byte copy of every input of PuPolishedRodPosition, so that no change of unit,
// point count or time step can leave stale positions behind.
struct PuCycleCache {
    PumpingUnit unit{};
    int32_t n = 0;
    double dt = 0.0;
    std::vector<double> positions;  // empty: nothing kept
};

// PuPolishedRodPosition(pu, i, n, dt) for i in 0..n-1, computed again only when the unit, n or dt
// differs in any bit from the last call. Null when n < 1 or memory runs out (nothing kept then).
const double* PuCyclePositions(PuCycleCache* cache, const PumpingUnit* pu, int32_t n, double dt);
