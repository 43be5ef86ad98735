#pragma once
// The light-damping sweep of the default prediction: the published damped-wave model's well
// (4,800 ft of 1 in rod, one taper, no tubing, full fillage, 10 spm, rod density matched so the
// wave speed is 18,996 ft/s), driven by the built-in unit, a type-M unit of the model's geometry,
// or the Fourier series (40 pairs) of a 720-point measured card of the type-M motion. A case is
// the default prediction set against the same prediction at 300 nodes a section.
//
// Self-contained (library sources only), so that the tests and the benchmarks share it.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/fourier.h"
#include "engine/pred_solver.h"
#include "pred_test_well.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tubing_list.h"
#include "model/tesk_obj.h"
#include "model/wave_params.h"
#include "model/well_inputs.h"
#include "pumpunit/pu_motion.h"
#include "pumpunit/pumping_unit.h"

namespace pred_sweep {

enum class DriveKind { BuiltInUnit, TypeMUnit, MeasuredCard };

struct Drive {
    const char* name;
    DriveKind kind;
    double start;  // measured card: fraction of the cycle at its first point; < 0: the bottom
    bool ofTypeM = true;  // measured card: of the type-M unit's motion, else the built-in unit's
};

inline const std::vector<Drive>& SweepDrives() {
    static const std::vector<Drive> drives = {
        {"unit", DriveKind::BuiltInUnit, 0.0},     {"typeM", DriveKind::TypeMUnit, 0.0},
        {"card@bottom", DriveKind::MeasuredCard, -1.0}, {"card@0", DriveKind::MeasuredCard, 0.0},
        {"card@1/4", DriveKind::MeasuredCard, 0.25},    {"card@1/2", DriveKind::MeasuredCard, 0.5},
        {"card@3/4", DriveKind::MeasuredCard, 0.75}};
    return drives;
}

// Cards of the built-in unit's motion: drives the sweep does not name.
inline const std::vector<Drive>& OtherDrives() {
    static const std::vector<Drive> drives = {
        {"ucard@bottom", DriveKind::MeasuredCard, -1.0, false}, {"ucard@0", DriveKind::MeasuredCard, 0.0, false},
        {"ucard@1/4", DriveKind::MeasuredCard, 0.25, false},    {"ucard@1/2", DriveKind::MeasuredCard, 0.5, false},
        {"ucard@3/4", DriveKind::MeasuredCard, 0.75, false},    {"card@0.1", DriveKind::MeasuredCard, 0.1},
        {"card@0.6", DriveKind::MeasuredCard, 0.6}};
    return drives;
}

inline const std::vector<double>& SweepDampings() {
    static const std::vector<double> v = {0.0, 0.005, 0.01, 0.015, 0.02, 0.03, 0.05, 0.1, 0.2};
    return v;
}

inline const std::vector<double>& SweepFos() {
    static const std::vector<double> v = {2000, 4000, 5000, 6000, 6865, 7000, 8000, 10000};
    return v;
}

// The well; the sweep names the first values, the other-wells checks change them.
struct Well {
    double depth = 4800.0;
    double diameter = 1.0;
    double waveSpeed = 18996.0;  // ft/s
    double spm = 10.0;
    int32_t cardPoints = 720;   // measured card of the motion
    int32_t cardPairs = 40;     // its Fourier series
    bool matchModulus = false;
    double weightPerFoot = 0;   // <= 0: the table's
    // Other wells: steel tapers from the table (length ft, diameter in), surface first, instead
    // of the model's rod; and tubing from the surface to the pump, anchored at anchorDepth.
    std::vector<std::pair<double, double>> steelTapers;
    bool tubing = false;
    double anchorDepth = 0.0;
    double fillage = 1.0;
    double compression = 0.0;
};

// The model's type-M geometry: A 210, C 120.3, I 120, P 148.5, R 47 in, K from H 237.88 and
// G 86.88 in (K = sqrt(I^2 + (H - G)^2)).
inline void SetTypeMUnit(PumpingUnit* pu) {
    pu->unitType = 'M';
    pu->A = 210.0;
    pu->C = 120.3;
    pu->I = 120.0;
    pu->P = 148.5;
    pu->K = std::sqrt(120.0 * 120.0 + (237.88 - 86.88) * (237.88 - 86.88));
    pu->R = 47.0;
    DerivePuGeometry(pu);
}

// The 720-point measured card of the type-M motion, its first point at `start` of the cycle
// (or at the bottom of the stroke when start < 0).
inline std::vector<double> MeasuredPositions(const Well& well, double start, bool ofTypeM = true) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    if (ofTypeM) SetTypeMUnit(&pu);
    const int32_t n = well.cardPoints;
    std::vector<double> cycle(n);
    for (int32_t i = 0; i < n; ++i) cycle[i] = PuPolishedRodPosition(&pu, i, n, 60.0 / well.spm / n);
    int32_t first = 0;
    if (start < 0) {
        first = static_cast<int32_t>(std::min_element(cycle.begin(), cycle.end()) - cycle.begin());
    } else {
        first = static_cast<int32_t>(std::lround(start * n)) % n;
    }
    std::vector<double> positions(n);
    for (int32_t i = 0; i < n; ++i) positions[i] = cycle[(first + i) % n];
    return positions;
}

inline void Quiet() {}

// The well ready to solve on `nodesPerSection` (the host's default 10).
inline std::unique_ptr<TeskObj> MakeWell(const Well& well, const Drive& drive, double damping, double fo,
                                         int32_t nodesPerSection = 10) {
    auto obj = std::make_unique<TeskObj>();
    WaveModel* pred = &obj->pred;
    if (!well.steelTapers.empty()) {
        std::vector<TaperBase_t> tapers;
        for (const auto& [length, diameter] : well.steelTapers) {
            TaperBase_t t{};
            std::strncpy(t.id, "steel", sizeof t.id);
            t.L = length;
            t.D = diameter;
            tapers.push_back(t);
        }
        SetCardTapers(pred, tapers.data(), static_cast<int32_t>(tapers.size()), 1.0);
    }
    if (well.tubing) {
        SetPumpTubing(pred, well.depth, well.anchorDepth);
    }
    TaperBase_t taper{};
    std::strncpy(taper.id, "model", sizeof taper.id);
    taper.L = well.depth;
    taper.D = well.diameter;
    if (well.matchModulus) {
        taper.R = 492.0;
        taper.E = taper.R * well.waveSpeed * well.waveSpeed / (144.0 * 32.1739);
        taper.W = well.weightPerFoot;
    } else {
        taper.E = 30.5e6;
        taper.R = taper.E * 144.0 * 32.1739 / (well.waveSpeed * well.waveSpeed);
        taper.W = well.weightPerFoot != 0 ? well.weightPerFoot
                                          : taper.R * (well.diameter * well.diameter * 4.0 * std::atan(1.0) / 4.0) / 144.0;
    }
    if (well.steelTapers.empty()) SetCardTapers(pred, &taper, 1, 1.0);
    SetCardSpm(pred, well.spm);
    SetCardDamping(pred, damping, damping);
    pred->nodesPerSection = nodesPerSection;
    obj->fo = fo;
    obj->fillage = well.fillage;
    obj->compression = well.compression;
    switch (drive.kind) {
        case DriveKind::BuiltInUnit: obj->usePumpingUnitForPosition = 1; break;
        case DriveKind::TypeMUnit:
            SetTypeMUnit(&obj->pu);
            obj->usePumpingUnitForPosition = 1;
            break;
        case DriveKind::MeasuredCard: {
            const std::vector<double> positions = MeasuredPositions(well, drive.start, drive.ofTypeM);
            CalcFourierCoeffs(obj->fourier, &obj->fourier->pos, positions.data(),
                              static_cast<int32_t>(positions.size()), well.cardPairs);
            obj->usePumpingUnitForPosition = 0;
            break;
        }
    }
    PrepareCard(pred);
    return obj;
}

struct Card {
    bool solved = false;
    std::vector<double> surfaceLoad, pumpLoad, pumpPos;
};

inline Card Solve(TeskObj* obj) {
    Card card;
    card.solved = CalcWavePredNew(GatherPredSettings(obj), &obj->pred);
    const WaveModel& p = obj->pred;
    const int32_t n = p.PointCount;
    if (p.surfaceLoad != nullptr) card.surfaceLoad.assign(p.surfaceLoad, p.surfaceLoad + n);
    if (p.pumpLoad != nullptr) card.pumpLoad.assign(p.pumpLoad, p.pumpLoad + n);
    if (p.pumpPos != nullptr) card.pumpPos.assign(p.pumpPos, p.pumpPos + n);
    return card;
}

// Value of a periodic card at the fraction t of the cycle (point k at k/n), linearly interpolated.
inline double AtPhase(const std::vector<double>& v, double t) {
    const double x = t * v.size();
    const size_t i = static_cast<size_t>(std::floor(x));
    const double f = x - i;
    return v[i % v.size()] * (1 - f) + v[(i + 1) % v.size()] * f;
}

// RMS difference from the reference on the card's phases, over the reference's range.
inline double Nrmse(const std::vector<double>& card, const std::vector<double>& reference) {
    if (card.empty() || reference.empty()) return INFINITY;
    double sum = 0;
    const size_t n = card.size();
    for (size_t i = 0; i < n; ++i) {
        const double d = card[i] - AtPhase(reference, static_cast<double>(i) / n);
        sum += d * d;
    }
    const auto [low, high] = std::minmax_element(reference.begin(), reference.end());
    return std::sqrt(sum / n) / (*high - *low);
}

// Changes of the pump valve a cycle: load above fo/2 or not, around the cycle.
inline int ValveSwitches(const std::vector<double>& pumpLoad, double fo) {
    int switches = 0;
    const size_t n = pumpLoad.size();
    for (size_t i = 0; i < n; ++i) {
        if ((pumpLoad[i] > fo / 2) != (pumpLoad[(i + n - 1) % n] > fo / 2)) ++switches;
    }
    return switches;
}

struct Outcome {
    bool solved = false;          // no range failure
    bool pumpInRange = false;     // every pump load in [0, fo] to 1e-6 fo
    bool finite = false;          // every surface load finite
    double surfaceNrmse = INFINITY;
    double pumpNrmse = INFINITY;
    int switches = 0;
    int referenceSwitches = 0;
    double peak = 0, low = 0;     // surface load extremes of the default card
    bool Holds() const {
        return solved && pumpInRange && finite && surfaceNrmse < 0.05 && pumpNrmse < 0.05 &&
               switches <= referenceSwitches + 2;
    }
};

inline Outcome Judge(const Card& card, const Card& reference, double fo) {
    Outcome o;
    o.solved = card.solved;
    o.pumpInRange = !card.pumpLoad.empty();
    for (double load : card.pumpLoad) o.pumpInRange = o.pumpInRange && load >= -1e-6 * fo && load <= (1 + 1e-6) * fo;
    o.finite = !card.surfaceLoad.empty();
    for (double load : card.surfaceLoad) o.finite = o.finite && std::isfinite(load);
    o.surfaceNrmse = Nrmse(card.surfaceLoad, reference.surfaceLoad);
    o.pumpNrmse = Nrmse(card.pumpLoad, reference.pumpLoad);
    if (!std::isfinite(o.surfaceNrmse)) o.surfaceNrmse = INFINITY;
    if (!std::isfinite(o.pumpNrmse)) o.pumpNrmse = INFINITY;
    o.switches = ValveSwitches(card.pumpLoad, fo);
    o.referenceSwitches = ValveSwitches(reference.pumpLoad, fo);
    if (!card.surfaceLoad.empty()) {
        o.peak = *std::max_element(card.surfaceLoad.begin(), card.surfaceLoad.end());
        o.low = *std::min_element(card.surfaceLoad.begin(), card.surfaceLoad.end());
    }
    return o;
}

// One case: the default prediction against the same at 300 nodes a section.
inline Outcome RunCase(const Well& well, const Drive& drive, double damping, double fo, int32_t referenceNodes = 300,
                       int32_t nodes = 10) {
    auto coarse = MakeWell(well, drive, damping, fo, nodes);
    auto fine = MakeWell(well, drive, damping, fo, referenceNodes);
    const Card card = Solve(coarse.get());
    const Card reference = Solve(fine.get());
    return Judge(card, reference, fo);
}

}  // namespace pred_sweep
