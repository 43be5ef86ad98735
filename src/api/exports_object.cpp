// Exports of the well object: creation, naming, version and printout.
#include <atomic>
#include <cstring>
#include <new>

#include "api/guard.h"
#include "common/bounded_text.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"

namespace {
std::atomic<int32_t> runteskCounter{0};
}

extern "C" {

TESK_API TeskObj* CreateTeskObj(void) {
    return ExportGuard<TeskObj*>("CreateTeskObj", nullptr, [] {
        TeskObj* obj = new (std::nothrow) TeskObj();
        if (obj == nullptr) {
            LogMessage("MALLOC ERROR");
            return static_cast<TeskObj*>(nullptr);
        }
        StoreWellName(obj, "New Well");
        return obj;
    });
}

TESK_API void DeleteTeskObj(TeskObj* obj) {
    ExportGuardVoid("DeleteTeskObj", [&] { delete obj; });
}

// The version is the library's, not the well's: it is answered with or without an object.
TESK_API int32_t GetTeskVersion(TeskObj*, int32_t* version) {
    if (version == nullptr) {
        LogMessage("Error: GetTeskVersion needs an array of four numbers");
        return -1;
    }
    std::memcpy(version, kLibraryVersion, sizeof kLibraryVersion);
    return kLibraryVersion[3];
}

TESK_API uint8_t SetClientVersion(TeskObj* obj, const char* platform, int32_t first, int32_t second,
                                  int32_t third, int32_t fourth) {
    return WellExport<uint8_t>("SetClientVersion", obj, 0, [&]() -> uint8_t {
        if (platform == nullptr) {
            LogMessage("Error: SetClientVersion needs a platform name");
            return 0;
        }
        CopyBoundedText(obj->platform, sizeof obj->platform, platform);
        obj->version[0] = first;
        obj->version[1] = second;
        obj->version[2] = third;
        obj->version[3] = fourth;
        return 1;
    });
}

TESK_API uint8_t SetWellName(TeskObj* obj, const char* name) {
    return WellExport<uint8_t>("SetWellName", obj, 0, [&]() -> uint8_t {
        if (name == nullptr) {
            LogMessage("Error: SetWellName needs a name");
            return 0;
        }
        StoreWellName(obj, name);
        return 1;
    });
}

TESK_API const char* GetWellName(TeskObj* obj) {
    return WellExport<const char*>("GetWellName", obj, nullptr, [&] { return static_cast<const char*>(obj->wellName); });
}

TESK_API void PrintTeskObj(TeskObj* obj) {
    WellExportVoid("PrintTeskObj", obj, [&] { PrintTeskObjSummary(obj); });
}

TESK_API int32_t runtesk(void) { return runteskCounter.fetch_add(1) + 1; }

}  // extern "C"
