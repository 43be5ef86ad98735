// Exports of the wave parameters and the solver settings.
#include <cstring>

#include "log/log.h"
#include "model/tesk_obj.h"
#include "model/wave_params.h"

namespace {

bool HasObject(const TeskObj* obj, const char* exportName) {
    if (obj != nullptr) return true;
    LogMessage("Error: %s needs a well object", exportName);
    return false;
}

template <typename Record>
Record ZeroRecord() {
    Record record;
    std::memset(&record, 0, sizeof record);
    return record;
}

}  // namespace

extern "C" {

TESK_API uint8_t SetWaveParams(TeskObj* obj, WaveParams_t params) {
    return HasObject(obj, "SetWaveParams") && ApplyWaveParams(obj, &params) ? 1 : 0;
}

TESK_API WaveParams_t GetWaveParams(TeskObj* obj) {
    return HasObject(obj, "GetWaveParams") ? ReadWaveParams(obj) : ZeroRecord<WaveParams_t>();
}

TESK_API uint8_t SetWaveSettings(TeskObj* obj, WaveSettings_t settings) {
    return HasObject(obj, "SetWaveSettings") && ApplyWaveSettings(obj, &settings) ? 1 : 0;
}

TESK_API WaveSettings_t GetWaveSettings(TeskObj* obj) {
    return HasObject(obj, "GetWaveSettings") ? ReadWaveSettings(obj) : ZeroRecord<WaveSettings_t>();
}

}  // extern "C"
