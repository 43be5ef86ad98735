// Exports of the prediction figures: read-only grid figures, run results and the fluid load
// from pressures.
#include "api/guard.h"
#include "model/tesk_obj.h"
#include "model/wave_results.h"

extern "C" {

TESK_API WaveParamsReadOnly_t GetWaveParamsReadOnly(TeskObj* obj) {
    return WellExport("GetWaveParamsReadOnly", obj, ZeroRecord<WaveParamsReadOnly_t>(),
                      [&] { return ReadWaveParamsReadOnly(obj); });
}

TESK_API WaveResults_t GetWaveResults(TeskObj* obj) {
    return WellExport("GetWaveResults", obj, ZeroRecord<WaveResults_t>(), [&] { return ReadWaveResults(obj); });
}

TESK_API double CalculateFo(TeskObj* obj) {
    return WellExport("CalculateFo", obj, 0.0, [&] { return CalcFoFromPressure(obj); });
}

}  // extern "C"
