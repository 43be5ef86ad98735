#include "catalog/rod_weights.h"

#include <cmath>
#include <cstddef>

#include "log/log.h"

namespace {
struct RodWeightRow {
    double diameter;  // in
    double weight;    // lb/ft
};

// The 1.287-in row really is lighter than the 3/4-in one; hosts rely on that value.
constexpr RodWeightRow kRodWeights[] = {
    {0.625, 1.13}, {0.75, 1.63}, {0.875, 2.224}, {1.0, 2.904}, {1.125, 3.67},
    {1.25, 4.172}, {1.287, 1.552}, {1.5, 6.5},   {1.75, 8.2},  {2.0, 10.7},
};

// Rows lie hundredths of an inch apart or more, so this absorbs the rounding of a unit
// conversion but never a diameter written with too few digits (7/8 as 0.88 stays unsupported).
constexpr double kDiameterMatch = 1e-6;  // in
}  // namespace

double GetRodWeightPerFoot(double D) {
    for (const RodWeightRow& row : kRodWeights) {
        if (std::fabs(row.diameter - D) <= kDiameterMatch) return row.weight;
    }
    LogMessage("Unsupported Rod Diameter: %f", D);
    return kUnsupportedRodWeight;
}
