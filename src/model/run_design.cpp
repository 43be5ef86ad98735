#include "model/run_design.h"

#include <cfloat>
#include <chrono>
#include <cstdint>
#include <cstring>

#include "engine/diag_solver.h"
#include "engine/fea_nodes.h"
#include "engine/pred_dispatch.h"
#include "engine/pump_state.h"
#include "engine/time_step.h"
#include "engine/work_budget.h"
#include "model/tesk_obj.h"

namespace {

struct Extremes {
    double* max;
    double* min;
};

void ResetExtremes(Extremes e) {
    *e.max = -DBL_MAX;
    *e.min = DBL_MAX;
}

// Explicit comparisons, so that a NaN point never replaces an extreme.
void Widen(Extremes e, double value) {
    if (value > *e.max) *e.max = value;
    if (value < *e.min) *e.min = value;
}

void ZeroValues(void* values, int32_t count, size_t size) {
    if (values != nullptr && count > 0) std::memset(values, 0, static_cast<size_t>(count) * size);
}

// A card whose solve was refused or failed keeps no number of an earlier run: a host must
// never see the pump card of a rod string the well no longer has.
void ClearCardResults(WaveModel* card, bool surfaceCardIsResult) {
    const int32_t n = card->PointCount;
    ZeroValues(card->pumpPos, n, sizeof(double));
    ZeroValues(card->pumpLoad, n, sizeof(double));
    ZeroValues(card->pumpColors, n, sizeof(int32_t));
    if (surfaceCardIsResult) {
        ZeroValues(card->surfacePos, n, sizeof(double));
        ZeroValues(card->surfaceLoad, n, sizeof(double));
    }
    if (card->FeaNodeCount > 0) {
        ZeroValues(card->nodeLoadMax, card->FeaNodeCount + 1, sizeof(double));
        ZeroValues(card->nodeLoadMin, card->FeaNodeCount + 1, sizeof(double));
    }
    FreeIntermediateCards(&card->intermediate);
}

void SolveDiagCard(TeskObj* obj, WaveModel* card) {
    PrepareCard(card);
    ReportUnbuiltGrid(card, obj->predCycles);
    card->solveFailed = CalcWaveDiag(GatherDiagSettings(obj, card), card) ? 0 : 1;
    if (card->solveFailed == 1) ClearCardResults(card, false);
}

void SolvePredictedCard(TeskObj* obj) {
    WaveModel* pred = &obj->pred;
    PrepareCard(pred);
    ReportUnbuiltGrid(pred, obj->predCycles);
    pred->solveFailed = SolvePredCard(GatherPredSettings(obj), pred) ? 0 : 1;
    if (pred->solveFailed == 1) {
        ClearCardResults(pred, true);
        ClearPumpEvents(&pred->pump);
    }
}

int32_t ElapsedMs(std::chrono::steady_clock::time_point start) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return ms.count() > INT32_MAX ? INT32_MAX : static_cast<int32_t>(ms.count());
}

}  // namespace

DiagSettings GatherDiagSettings(const TeskObj* obj, const WaveModel* card) {
    DiagSettings settings;
    settings.subtractFluidLoad = obj->subtractFluidLoad;
    settings.zeroPumpPosition = obj->zeroPumpPosition;
    settings.surfaceFromFit = card == &obj->upsc ? 1 : 0;
    settings.fit = obj->fourier;
    return settings;
}

PredSettings GatherPredSettings(TeskObj* obj) {
    PredSettings settings;
    settings.cycles = obj->predCycles;
    settings.fo = obj->fo;
    settings.fillage = obj->fillage;
    settings.compression = obj->compression;
    settings.subtractFluidLoad = obj->subtractFluidLoad;
    settings.zeroPumpPosition = obj->zeroPumpPosition;
    settings.usePumpingUnitForPosition = obj->usePumpingUnitForPosition;
    settings.useLegacyPred = obj->useLegacyPred;
    settings.pu = &obj->pu;
    settings.puCycle = &obj->puCycle;
    settings.fourier = obj->fourier;
    return settings;
}

bool PrepareCard(WaveModel* card) {
    if (card->cdtDirty == 1 || card->nodesDirty == 1) {
        UpdateCDTs(card);
        card->cdtDirty = 0;
    }
    if (card->nodesDirty == 1) {
        BuildFeaNodes(card);
        card->nodesDirty = 0;
    }
    return true;
}

void UpdateMeasuredExtremes(TeskObj* obj) {
    const Extremes surfacePos{&obj->measSurfacePosMax, &obj->measSurfacePosMin};
    const Extremes surfaceLoad{&obj->measSurfaceLoadMax, &obj->measSurfaceLoadMin};
    const Extremes pumpPos{&obj->measPumpPosMax, &obj->measPumpPosMin};
    const Extremes pumpLoad{&obj->measPumpLoadMax, &obj->measPumpLoadMin};
    for (Extremes e : {surfacePos, surfaceLoad, pumpPos, pumpLoad}) ResetExtremes(e);
    const WaveModel& card = obj->meas;
    if (card.PointCount <= 0 || card.surfacePos == nullptr || card.surfaceLoad == nullptr ||
        card.pumpPos == nullptr || card.pumpLoad == nullptr) {
        return;
    }
    for (int32_t i = 0; i < card.PointCount; ++i) {
        Widen(surfacePos, card.surfacePos[i]);
        Widen(surfaceLoad, card.surfaceLoad[i]);
        Widen(pumpPos, card.pumpPos[i]);
        Widen(pumpLoad, card.pumpLoad[i]);
    }
}

void UpdatePredPumpExtremes(TeskObj* obj) {
    const Extremes pumpPos{&obj->predPumpPosMax, &obj->predPumpPosMin};
    const Extremes pumpLoad{&obj->predPumpLoadMax, &obj->predPumpLoadMin};
    ResetExtremes(pumpPos);
    ResetExtremes(pumpLoad);
    const WaveModel& card = obj->pred;
    if (card.PointCount <= 0 || card.pumpPos == nullptr || card.pumpLoad == nullptr) return;
    for (int32_t i = 0; i < card.PointCount; ++i) {
        Widen(pumpPos, card.pumpPos[i]);
        Widen(pumpLoad, card.pumpLoad[i]);
    }
}

bool RunWellDesign(TeskObj* obj) {
    const auto start = std::chrono::steady_clock::now();
    if (obj->measDirty == 1) {
        SolveDiagCard(obj, &obj->meas);
        UpdateMeasuredExtremes(obj);
        obj->measDirty = 0;
    }
    if (obj->upscDirty == 1) {
        SolveDiagCard(obj, &obj->upsc);
        obj->upscDirty = 0;
    }
    if (obj->predDirty == 1) {
        SolvePredictedCard(obj);
        UpdatePredPumpExtremes(obj);
        obj->predDirty = 0;
    }
    obj->runTimeMs = ElapsedMs(start);
    return true;
}
