// Exports of the design files and the dyno-card text.
#include "api/guard.h"
#include "designfiles/design_dispatch.h"
#include "dynofiles/dyno_text.h"

extern "C" {

TESK_API uint8_t LoadDynFromFile(TeskObj* obj, const char* path) {
    return ExportGuard<uint8_t>("LoadDynFromFile", 0, [&] { return LoadDynFile(obj, path); });
}

TESK_API uint8_t LoadDynFromFileContents(TeskObj* obj, char* text) {
    return ExportGuard<uint8_t>("LoadDynFromFileContents", 0, [&] { return LoadDynText(obj, text); });
}

TESK_API uint8_t ParseDesignFile(TeskObj* obj, const char* path) {
    return ExportGuard<uint8_t>("ParseDesignFile", 0, [&] { return ReadDesignFile(obj, path); });
}

TESK_API uint8_t ParseDesignFileContents(TeskObj* obj, char* text, char type) {
    return ExportGuard<uint8_t>("ParseDesignFileContents", 0, [&] { return ReadDesignText(obj, text, type); });
}

TESK_API uint8_t WriteDesignFile(TeskObj* obj, const char* path) {
    return ExportGuard<uint8_t>("WriteDesignFile", 0, [&] { return SaveDesignFile(obj, path); });
}

TESK_API uint8_t WriteDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath) {
    return ExportGuard<uint8_t>("WriteDesignFileWithTemplate", 0,
                                [&] { return SaveDesignFileWithTemplate(obj, path, templatePath); });
}

}  // extern "C"
