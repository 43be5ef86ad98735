// Blanking of permissible loads outside the band a host plots.
#include <cmath>
#include <limits>

#include "pumpunit/permissible_loads.h"

void BlankLoadsOutsideBand(double* loads, int count, double minLoad, double maxLoad) {
    if (!std::isfinite(minLoad) || !std::isfinite(maxLoad)) return;
    const double blank = std::numeric_limits<double>::quiet_NaN();
    for (int i = 0; i < count; ++i) {
        if (loads[i] > maxLoad || loads[i] < minLoad) loads[i] = blank;
    }
}
