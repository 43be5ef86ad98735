// Exports of the wave parameters and the solver settings.
#include <cstring>

#include "api/guard.h"
#include "log/log.h"
#include "model/tesk_obj.h"
#include "model/wave_params.h"

namespace {


template <typename Record>
Record ZeroRecord() {
    Record record;
    std::memset(&record, 0, sizeof record);
    return record;
}

}  // namespace

extern "C" {

TESK_API uint8_t SetWaveParams(TeskObj* obj, WaveParams_t params) {
    return HasWellObject(obj, "SetWaveParams") && ApplyWaveParams(obj, &params) ? 1 : 0;
}

TESK_API WaveParams_t GetWaveParams(TeskObj* obj) {
    return HasWellObject(obj, "GetWaveParams") ? ReadWaveParams(obj) : ZeroRecord<WaveParams_t>();
}

TESK_API uint8_t SetWaveSettings(TeskObj* obj, WaveSettings_t settings) {
    return HasWellObject(obj, "SetWaveSettings") && ApplyWaveSettings(obj, &settings) ? 1 : 0;
}

TESK_API WaveSettings_t GetWaveSettings(TeskObj* obj) {
    return HasWellObject(obj, "GetWaveSettings") ? ReadWaveSettings(obj) : ZeroRecord<WaveSettings_t>();
}

}  // extern "C"
