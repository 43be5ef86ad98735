#pragma once
// Test helpers for the predictive solvers: a well object with a ready "PRED" card.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "engine/fourier.h"
#include "test_well.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/wave_params.h"
#include "model/well_inputs.h"

// 2-7/8" tubing: 12 in/ft over E*A of 30e6 psi * 1.812 in2, as stretch per lb per ft.
constexpr double kTubingStretch = 12.0 / (30.5e6 * 1.812);

struct PredWellInputs {
    double depth = 5000.0;
    double spm = 10.0;
    double damping = 0.1;
    double fo = 4000.0;
    double fillage = 1.0;
    double compression = 0.0;
    bool tubing = true;
    double anchorDepth = 0.0;  // tubing stretches from here to the pump
    bool legacy = false;
    uint8_t fromPumpingUnit = 1;
    std::vector<TaperBase_t> tapers;  // empty: ThreeTaperString(depth)
};

// 2-7/8 in tubing from the surface down to the pump, anchored at `anchorDepth`.
inline void SetPumpTubing(WaveModel* pred, double pumpDepth, double anchorDepth) {
    TubingBase_t tubing{};
    tubing.L = pumpDepth;
    tubing.ID = 2.441;
    tubing.OD = 2.875;
    tubing.E = kTubingStretch;
    SetCardTubings(pred, &tubing, 1);
    pred->tubings->pumpDepth = pumpDepth;
    pred->tubings->anchorDepth = anchorDepth;
    UpdateTubingTotals(pred->tubings);
}

inline std::unique_ptr<TeskObj> MakePredWell(const PredWellInputs& inputs) {
    auto obj = std::make_unique<TeskObj>();
    WaveModel* pred = &obj->pred;
    const std::vector<TaperBase_t> tapers = inputs.tapers.empty() ? ThreeTaperString(inputs.depth) : inputs.tapers;
    SetCardTapers(pred, tapers.data(), static_cast<int32_t>(tapers.size()), 1.0);
    if (inputs.tubing) {
        SetPumpTubing(pred, inputs.depth, inputs.anchorDepth);
    }
    SetCardSpm(pred, inputs.spm);
    SetCardDamping(pred, inputs.damping, inputs.damping);
    obj->fo = inputs.fo;
    obj->fillage = inputs.fillage;
    obj->compression = inputs.compression;
    obj->usePumpingUnitForPosition = inputs.fromPumpingUnit;
    obj->useLegacyPred = inputs.legacy ? 1 : 0;
    pred->fixedGrid = obj->useLegacyPred;
    PrepareCard(pred);
    return obj;
}

// Fits the well's position series to a surface card, so that the prediction follows it.
inline void DriveByCard(TeskObj* obj, const std::vector<double>& positions, int coefficients) {
    CalcFourierCoeffs(obj->fourier, &obj->fourier->pos, positions.data(), static_cast<int32_t>(positions.size()),
                      coefficients);
    obj->usePumpingUnitForPosition = 0;
}

struct CardView {
    std::vector<double> surfacePos, surfaceLoad, pumpPos, pumpLoad;
    std::vector<int32_t> colors;
};

inline CardView ViewPred(const TeskObj& obj) {
    const WaveModel& p = obj.pred;
    const int n = p.PointCount;
    return {{p.surfacePos, p.surfacePos + n},
            {p.surfaceLoad, p.surfaceLoad + n},
            {p.pumpPos, p.pumpPos + n},
            {p.pumpLoad, p.pumpLoad + n},
            {p.pumpColors, p.pumpColors + n}};
}

inline double MaxOf(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }
inline double MinOf(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }

// Area enclosed by a closed card (shoelace), in in*lb.
inline double CardArea(const std::vector<double>& pos, const std::vector<double>& load) {
    double twice = 0;
    const size_t n = pos.size();
    for (size_t i = 0; i < n; ++i) {
        const size_t j = (i + 1) % n;
        twice += pos[i] * load[j] - pos[j] * load[i];
    }
    return std::fabs(twice) / 2;
}

// Value of a periodic card array at the fraction t of the cycle, linearly interpolated.
inline double AtPhase(const std::vector<double>& v, double t) {
    const double x = t * v.size();
    const size_t i = static_cast<size_t>(std::floor(x));
    const double f = x - i;
    return v[i % v.size()] * (1 - f) + v[(i + 1) % v.size()] * f;
}
