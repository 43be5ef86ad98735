// Exports of the wave parameters and the solver settings.
#include "model/tesk_obj.h"
#include "model/wave_params.h"

extern "C" {

TESK_API uint8_t SetWaveParams(TeskObj* obj, WaveParams_t params) { return ApplyWaveParams(obj, &params); }

TESK_API WaveParams_t GetWaveParams(TeskObj* obj) { return ReadWaveParams(obj); }

TESK_API uint8_t SetWaveSettings(TeskObj* obj, WaveSettings_t settings) { return ApplyWaveSettings(obj, &settings); }

TESK_API WaveSettings_t GetWaveSettings(TeskObj* obj) { return ReadWaveSettings(obj); }

}  // extern "C"
