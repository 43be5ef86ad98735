// Exports of the wave parameters and the solver settings.
#include "api/guard.h"
#include "log/log.h"
#include "model/tesk_obj.h"
#include "model/wave_params.h"

extern "C" {

TESK_API uint8_t SetWaveParams(TeskObj* obj, WaveParams_t params) {
    return WellExport<uint8_t>("SetWaveParams", obj, 0, [&] { return ApplyWaveParams(obj, &params) ? 1 : 0; });
}

TESK_API WaveParams_t GetWaveParams(TeskObj* obj) {
    return WellExport("GetWaveParams", obj, ZeroRecord<WaveParams_t>(), [&] { return ReadWaveParams(obj); });
}

TESK_API uint8_t SetWaveSettings(TeskObj* obj, WaveSettings_t settings) {
    return WellExport<uint8_t>("SetWaveSettings", obj, 0, [&] { return ApplyWaveSettings(obj, &settings) ? 1 : 0; });
}

TESK_API WaveSettings_t GetWaveSettings(TeskObj* obj) {
    return WellExport("GetWaveSettings", obj, ZeroRecord<WaveSettings_t>(), [&] { return ReadWaveSettings(obj); });
}

}  // extern "C"
