#include "catalog/api_taper_builder.h"

#include <cmath>

#include "catalog/rod_weights.h"

namespace {
constexpr double kRoundingLength = 25.0;  // ft

TaperBase_t SteelTaper(double diameter, double length) {
    TaperBase_t taper{};
    taper.L = length;
    taper.D = diameter;
    taper.W = GetRodWeightPerFoot(diameter);
    taper.T = 0;
    taper.E = kSteelModulus;
    taper.R = kSteelDensity;
    return taper;
}
}  // namespace

int32_t BuildApiTaper(TaperBase_t out[kApiTaperColumns], const ApiTaperRow& row, double totalLength) {
    int32_t sections = 0;
    double roundedSum = 0;
    for (int32_t column = 0; column < kApiTaperColumns; ++column) {
        const double share = row.fractions[column];
        if (!(share > 0)) continue;
        const double length = std::round(share * totalLength / kRoundingLength) * kRoundingLength;
        out[sections++] = SteelTaper(ApiColumnDiameter(row, column), length);
        roundedSum += length;
    }
    if (sections > 0) out[0].L += totalLength - roundedSum;
    return sections;
}
