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

// Field files write diameters to two decimals (7/8 in as 0.88, 1 1/8 in as 1.13), so a diameter
// within half a hundredth of a row is that row. The rows lie at least 0.03 in apart, so no
// diameter is near two of them. The slack of 1e-9 in lets the half hundredth itself match: in
// doubles |0.88 - 0.875| is 0.0050000000000000044.
constexpr double kDiameterMatch = 0.005 + 1e-9;  // in
}  // namespace

double GetRodWeightPerFoot(double D) {
    for (const RodWeightRow& row : kRodWeights) {
        if (std::fabs(row.diameter - D) <= kDiameterMatch) return row.weight;
    }
    LogMessage("Unsupported Rod Diameter: %f", D);
    return kUnsupportedRodWeight;
}
