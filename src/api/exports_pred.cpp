// Exports of the prediction figures: read-only grid figures, run results and the fluid load
// from pressures.
#include <cstring>

#include "api/guard.h"
#include "model/tesk_obj.h"
#include "model/wave_results.h"

extern "C" {

TESK_API WaveParamsReadOnly_t GetWaveParamsReadOnly(TeskObj* obj) {
    WaveParamsReadOnly_t empty;
    std::memset(&empty, 0, sizeof empty);
    if (!HasWellObject(obj, "GetWaveParamsReadOnly")) return empty;
    return ExportGuard("GetWaveParamsReadOnly", empty, [&] { return ReadWaveParamsReadOnly(obj); });
}

TESK_API WaveResults_t GetWaveResults(TeskObj* obj) {
    WaveResults_t empty;
    std::memset(&empty, 0, sizeof empty);
    if (!HasWellObject(obj, "GetWaveResults")) return empty;
    return ExportGuard("GetWaveResults", empty, [&] { return ReadWaveResults(obj); });
}

TESK_API double CalculateFo(TeskObj* obj) {
    if (!HasWellObject(obj, "CalculateFo")) return 0.0;
    return ExportGuard("CalculateFo", 0.0, [&] { return CalcFoFromPressure(obj); });
}

}  // extern "C"
