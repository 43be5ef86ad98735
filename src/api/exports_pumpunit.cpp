// Exports of the pumping unit: its description and its permissible-load curve.
#include <cstring>

#include "api/guard.h"
#include "log/log.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"
#include "pumpunit/permissible_loads.h"

extern "C" {

TESK_API uint8_t SetPuInfo(TeskObj* obj, PuInfo_t info) {
    return WellExport<uint8_t>("SetPuInfo", obj, 0, [&]() -> uint8_t {
        StorePuInfo(obj, &info);
        return 1;
    });
}

// One entry point under two names: older hosts bind the second.
TESK_API uint8_t SetPuApi(TeskObj* obj, PuInfo_t info) __attribute__((alias("SetPuInfo")));

TESK_API PuInfo_t GetPuInfo(TeskObj* obj) {
    return WellExport("GetPuInfo", obj, ZeroRecord<PuInfo_t>(), [&] {
        PuInfo_t info;
        std::memcpy(&info, static_cast<const PuInfo_t*>(&obj->pu), sizeof info);
        return info;
    });
}

TESK_API uint8_t SetPuByName(TeskObj* obj, const char* name) {
    return WellExport<uint8_t>("SetPuByName", obj, 0, [&] {
        LogMessage("TODO: SetPuByName(%s)", name != nullptr ? name : "(null)");
        return 0;
    });
}

TESK_API uint8_t GetPermissibleLoads(TeskObj* obj, double* positions, double* loads, int32_t count, double minLoad,
                                     double maxLoad) {
    return WellExport<uint8_t>("GetPermissibleLoads", obj, 0, [&]() -> uint8_t {
        if (count < 0) {
            LogMessage("Error: GetPermissibleLoads needs a count of 0 or more, not %d", count);
            return 0;
        }
        if (count > 0 && (positions == nullptr || loads == nullptr)) {
            LogMessage("Error: GetPermissibleLoads needs position and load arrays");
            return 0;
        }
        const bool result = CalcPermissibleLoadBeam(&obj->pu, positions, loads, count);
        BlankLoadsOutsideBand(loads, count, minLoad, maxLoad);
        return result ? 1 : 0;
    });
}

}  // extern "C"
