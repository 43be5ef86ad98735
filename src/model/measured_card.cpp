#include "model/measured_card.h"

#include <cmath>
#include <cstring>

#include "engine/fourier.h"
#include "log/log.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"

namespace {

bool HasCardArrays(const WaveModel* card) {
    return card->surfacePos != nullptr && card->surfaceLoad != nullptr && card->pumpPos != nullptr &&
           card->pumpLoad != nullptr && card->pumpColors != nullptr;
}

bool ValidDynInput(double spm, const double* positions, const double* loads, int32_t pointCount) {
    if (pointCount < 0 || pointCount > kMaxCardPoints) {
        LogMessage("Error: LoadDyn invalid point count %d", pointCount);
        return false;
    }
    if (pointCount > 0 && (positions == nullptr || loads == nullptr)) {
        LogMessage("Error: LoadDyn needs position and load arrays");
        return false;
    }
    return true;
}

void StoreMeasuredSpeed(TeskObj* obj, double spm) {
    obj->meas.period = 60 / spm;
    obj->upsc.spm = spm;
    obj->upsc.period = 60 / spm;
    RaiseCardFlags(&obj->upsc);
    obj->measDirty = 1;
}

bool StoreMeasuredPoints(WaveModel* meas, const double* positions, const double* loads, int32_t pointCount) {
    meas->PointCount = pointCount;
    RaiseCardFlags(meas);
    if (!AllocCardArrays(meas)) return false;
    if (pointCount > 0) {
        std::memcpy(meas->surfacePos, positions, sizeof(double) * static_cast<size_t>(pointCount));
        std::memcpy(meas->surfaceLoad, loads, sizeof(double) * static_cast<size_t>(pointCount));
    }
    return true;
}

// The predicted card's arrays are zeroed here; a solved predicted card must then be solved again.
bool ResizePredArrays(TeskObj* obj) {
    const bool hadArrays = obj->pred.surfacePos != nullptr;
    const bool allocated = AllocCardArrays(&obj->pred);
    if (hadArrays) obj->predDirty = 1;
    return allocated;
}

// Checks the input and stores the measured speed; false with a line when the card is refused.
bool AcceptDynInput(TeskObj* obj, double spm, const double* positions, const double* loads, int32_t pointCount) {
    if (!ValidDynInput(spm, positions, loads, pointCount)) return false;
    obj->meas.spm = spm;
    if (!(spm > 0) || !std::isfinite(spm)) {
        LogMessage("Error: LoadDyn invalid pumping speed %f", spm);
        return false;
    }
    return true;
}

// Stores an accepted card and sizes the other cards for it; false when memory ran out.
bool StoreDynArrays(TeskObj* obj, double spm, const double* positions, const double* loads, int32_t pointCount) {
    StoreMeasuredSpeed(obj, spm);
    bool allocated = StoreMeasuredPoints(&obj->meas, positions, loads, pointCount);
    allocated = AllocCardArrays(&obj->upsc) && allocated;
    allocated = ResizePredArrays(obj) && allocated;
    obj->measDirty = 1;
    obj->upscDirty = 1;
    return allocated;
}

}  // namespace

bool LoadDynArrays(TeskObj* obj, double spm, const double* positions, const double* loads, int32_t pointCount) {
    const FourierWorkScope callWork;
    if (!AcceptDynInput(obj, spm, positions, loads, pointCount)) return false;
    const bool allocated = StoreDynArrays(obj, spm, positions, loads, pointCount);
    RefitMeasuredFourier(obj);
    return allocated;
}

bool LoadDynArraysWithoutRefit(TeskObj* obj, double spm, const double* positions, const double* loads,
                               int32_t pointCount) {
    return AcceptDynInput(obj, spm, positions, loads, pointCount) &&
           StoreDynArrays(obj, spm, positions, loads, pointCount);
}

bool RefitMeasuredFourier(TeskObj* obj) {
    const FourierWorkScope callWork;
    CardFourierFit* fit = obj->fourier;
    CalcFourierCoeffs(fit, &fit->pos, obj->meas.surfacePos, obj->meas.PointCount, fit->pos.count);
    CalcFourierCoeffs(fit, &fit->load, obj->meas.surfaceLoad, obj->meas.PointCount, fit->load.count);
    return RefreshUpscaledCard(obj);
}

bool RefreshUpscaledCard(TeskObj* obj) {
    WaveModel* upsc = &obj->upsc;
    const int32_t pointCount = upsc->PointCount;
    if (pointCount <= 0 || !HasCardArrays(upsc)) return false;
    const CardFourierFit* fit = obj->fourier;
    if (!DrawFourierWork(pointCount, static_cast<int64_t>(fit->pos.count) + fit->load.count)) {
        // No stale card from an earlier fit may stand for the new series.
        std::memset(upsc->surfacePos, 0, static_cast<size_t>(pointCount) * sizeof(double));
        std::memset(upsc->surfaceLoad, 0, static_cast<size_t>(pointCount) * sizeof(double));
        return false;
    }
    EvalFourierSeriesOnGrid(&fit->pos, pointCount, upsc->surfacePos);
    EvalFourierSeriesOnGrid(&fit->load, pointCount, upsc->surfaceLoad);
    const size_t n = static_cast<size_t>(pointCount);
    std::memset(upsc->pumpPos, 0, n * sizeof(double));
    std::memset(upsc->pumpLoad, 0, n * sizeof(double));
    std::memset(upsc->pumpColors, 0, n * sizeof(int32_t));
    obj->upscDirty = 1;
    // The predicted card may take its surface motion from the position series.
    obj->predDirty = 1;
    return true;
}

bool ApplyFourierCoeffCount(TeskObj* obj, FourierSeries* series, const double* samples, int32_t count) {
    const FourierWorkScope callWork;
    CalcFourierCoeffs(obj->fourier, series, samples, obj->meas.PointCount, count);
    return RefreshUpscaledCard(obj);
}

bool SizeUpscaledCard(TeskObj* obj, int32_t pointCount) {
    if (pointCount < 0 || pointCount > kMaxCardPoints) {
        LogMessage("Error: invalid upscaled point count %d", pointCount);
        return false;
    }
    WaveModel* upsc = &obj->upsc;
    upsc->PointCount = pointCount;
    RaiseCardFlags(upsc);
    AllocCardArrays(upsc);
    obj->upscDirty = 1;
    return true;
}

bool ApplyUpscaledPointCount(TeskObj* obj, int32_t pointCount) {
    const FourierWorkScope callWork;
    if (SizeUpscaledCard(obj, pointCount)) RefreshUpscaledCard(obj);
    return true;
}
