// Permissible load of a type 'H' unit: its structure rating at every position.
#include <cmath>

#include "pumpunit/permissible_loads.h"

bool CalcPermissibleLoadTypeH(const PumpingUnit* pu, double* positions, double* loads, int count) {
    const double load = std::round(pu->structureRating);
    for (int i = 0; i < count; ++i) {
        positions[i] = static_cast<double>(i) * pu->polishedStroke / count;
        loads[i] = load;
    }
    return true;
}
