#pragma once
#include <cstdint>

struct CardFourierFit;
struct PumpingUnit;
struct PuCycleCache;

// What a diagnostic solve takes from the well besides the card itself.
struct DiagSettings {
    uint8_t subtractFluidLoad = 0;  // only 1 subtracts each grid point's fluid load
    uint8_t zeroPumpPosition = 0;   // only 1 shifts the pump card to a minimum of 0
    // 1 for a surface card resampled from `fit` (the upscaled card): it is a measurement only
    // once both series of the fit have coefficients.
    uint8_t surfaceFromFit = 0;
    const CardFourierFit* fit = nullptr;
};

// What a predictive solve takes from the well besides the "PRED" card itself.
struct PredSettings {
    int32_t cycles = 5;
    double fo = 1000.0;  // lb, fluid load on the plunger
    double fillage = 1.0;
    double compression = 0;
    uint8_t subtractFluidLoad = 0;
    uint8_t zeroPumpPosition = 0;
    // Drives the polished rod by the pumping unit: the default solver for exactly 1, the legacy
    // one for any non-zero value; otherwise by the measured card's position series.
    uint8_t usePumpingUnitForPosition = 0;
    uint8_t useLegacyPred = 0;  // any non-zero value picks the legacy solver
    const PumpingUnit* pu = nullptr;
    PuCycleCache* puCycle = nullptr;  // the unit's positions, kept from one solve to the next
    const CardFourierFit* fourier = nullptr;  // the fit of the measured card, or null
};
