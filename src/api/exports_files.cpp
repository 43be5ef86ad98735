// Exports of the design files and the dyno-card text.
#include "api/guard.h"
#include "designfiles/design_dispatch.h"
#include "dynofiles/dyno_text.h"

namespace {

template <typename Body>
uint8_t FileExport(const char* exportName, TeskObj* obj, Body&& body) {
    return WellExport<uint8_t>(exportName, obj, 0, [&] { return body() ? 1 : 0; });
}

}  // namespace

extern "C" {

TESK_API uint8_t LoadDynFromFile(TeskObj* obj, const char* path) {
    return FileExport("LoadDynFromFile", obj, [&] { return LoadDynFile(obj, path); });
}

TESK_API uint8_t LoadDynFromFileContents(TeskObj* obj, char* text) {
    return FileExport("LoadDynFromFileContents", obj, [&] { return LoadDynText(obj, text); });
}

TESK_API uint8_t ParseDesignFile(TeskObj* obj, const char* path) {
    return FileExport("ParseDesignFile", obj, [&] { return ReadDesignFile(obj, path); });
}

TESK_API uint8_t ParseDesignFileContents(TeskObj* obj, char* text, char type) {
    return FileExport("ParseDesignFileContents", obj, [&] { return ReadDesignText(obj, text, type); });
}

TESK_API uint8_t WriteDesignFile(TeskObj* obj, const char* path) {
    return FileExport("WriteDesignFile", obj, [&] { return SaveDesignFile(obj, path); });
}

TESK_API uint8_t WriteDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath) {
    return FileExport("WriteDesignFileWithTemplate", obj,
                      [&] { return SaveDesignFileWithTemplate(obj, path, templatePath); });
}

}  // extern "C"
