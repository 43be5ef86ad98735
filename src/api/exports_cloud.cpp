// Exports of the cloud login and design store. The calls that may send make the object's
// session on first use; Logout, FetchDesigns without a refresh and GetDesigns never send, so
// before any session they answer as a fresh one would, without starting the HTTP stack.
#include "api/guard.h"
#include "cloud/cloud_login.h"
#include "cloud/design_store.h"
#include "cloud/session_renewal.h"
#include "designfiles/design_document.h"
#include "model/tesk_obj.h"

namespace {

template <typename Body>
uint8_t CloudExport(const char* exportName, TeskObj* obj, Body&& body) {
    return WellExport<uint8_t>(exportName, obj, 0, [&]() -> uint8_t { return body() ? 1 : 0; });
}

}  // namespace

extern "C" {

TESK_API uint8_t Login(TeskObj* obj, const char* userName, const char* password) {
    return CloudExport("Login", obj, [&] { return CloudLogin(WellSession(obj), userName, password); });
}

TESK_API uint8_t Logout(TeskObj* obj) {
    return CloudExport("Logout", obj, [&] { return CloudLogout(obj->cloud.get()); });
}

TESK_API int32_t FetchDesigns(TeskObj* obj, uint8_t refresh) {
    return WellExport<int32_t>("FetchDesigns", obj, -1, [&] {
        if (refresh == 1) {
            const bool listed = ExportGuard<bool>("FetchDesigns", false, [&] { return CloudFetchDesigns(WellSession(obj)); });
            // A failed listing must not read as one: -1, while the last listing stays for GetDesigns.
            if (!listed) {
                LogMessage("Fetch Designs Failed");
                return -1;
            }
        }
        return obj->cloud != nullptr ? obj->cloud->designCount : -1;
    });
}

TESK_API uint8_t GetDesigns(TeskObj* obj, DesignSummary* dst) {
    return CloudExport("GetDesigns", obj, [&] { return obj->cloud != nullptr && CopyDesigns(*obj->cloud, dst); });
}

TESK_API uint8_t GetDesign(TeskObj* obj, const char* designId) {
    return CloudExport("GetDesign", obj, [&] { return CloudGetDesign(WellSession(obj), designId); });
}

TESK_API uint8_t SaveCurrentDesign(TeskObj* obj, uint8_t flag) {
    return CloudExport("SaveCurrentDesign", obj, [&] { return CloudSaveDesign(WellSession(obj), WriteDesignJson(obj)); });
}

TESK_API void Test(TeskObj* obj) {
    WellExportVoid("Test", obj, [&] { CloudRunTest(WellSession(obj)); });
}

}  // extern "C"
