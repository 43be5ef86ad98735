#pragma once
// Test helpers: realistic rod strings and smooth surface cards for the engine tests.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "catalog/rod_weights.h"
#include "tesk/tesk.h"

inline TaperBase_t SteelTaper(double length, double diameter) {
    TaperBase_t taper{};
    std::strncpy(taper.id, "steel", sizeof taper.id);
    taper.L = length;
    taper.D = diameter;
    return taper;  // W, E and R take the material defaults
}

// 1", 7/8" and 3/4" steel, 30/30/40 % of the string, as a typical API 86 string.
inline std::vector<TaperBase_t> ThreeTaperString(double totalLength) {
    return {SteelTaper(0.3 * totalLength, 1.0), SteelTaper(0.3 * totalLength, 0.875),
            SteelTaper(0.4 * totalLength, 0.75)};
}

struct SurfaceCard {
    std::vector<double> pos;
    std::vector<double> load;
};

// A smooth card of n points over one stroke: the polished rod starts at the bottom of an
// 86-in stroke and the load carries a few harmonics around `meanLoad`.
inline SurfaceCard SmoothCard(int n, double meanLoad) {
    SurfaceCard card;
    const double pi = 4 * std::atan(1.0);
    for (int i = 0; i < n; ++i) {
        const double t = 2 * pi * i / n;
        card.pos.push_back(43.0 * (1 - std::cos(t)) + 3.0 * std::sin(2 * t));
        card.load.push_back(meanLoad + 3000.0 * std::sin(t) + 800.0 * std::cos(2 * t) - 300.0 * std::sin(3 * t));
    }
    return card;
}

// Buoyant weight of steel rod hanging below a depth, summed taper by taper from the table
// weights (the tapers carry no weight of their own).
inline double SteelWeightBelow(const std::vector<TaperBase_t>& tapers, double sg, double depth) {
    double top = 0;
    double weight = 0;
    for (const TaperBase_t& t : tapers) {
        if (!(t.L > 0)) continue;
        const double wpf = GetRodWeightPerFoot(t.D) * (1 - sg / (492 / 62.4));
        weight += wpf * std::min(t.L, std::max(0.0, top + t.L - depth));
        top += t.L;
    }
    return weight;
}
