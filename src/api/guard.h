#pragma once
#include <exception>
#include <cstring>
#include <new>
#include <utility>

#include "log/log.h"

struct TeskObj;

// Every export runs its body through ExportGuard so that no exception ever reaches
// the host: an escaping exception becomes the export's failure value and a log line.
template <typename Result, typename Body>
Result ExportGuard(const char* exportName, Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        LogMessage("MALLOC ERROR");
    } catch (const std::exception& e) {
        LogMessage("ERROR: %s failed: %s", exportName, e.what());
    } catch (...) {
        LogMessage("ERROR: %s failed", exportName);
    }
    return failure;
}

template <typename Body>
void ExportGuardVoid(const char* exportName, Body&& body) noexcept {
    ExportGuard<int>(exportName, 0, [&] {
        body();
        return 0;
    });
}

// A missing well object is a clear failure with a log line, never a crash.
inline bool HasWellObject(const void* obj, const char* exportName) {
    if (obj != nullptr) return true;
    LogMessage("Error: %s needs a well object", exportName);
    return false;
}

// The door of every export that takes the host's handle: the handle is checked, then the
// body runs under ExportGuard. Going through here is what keeps a new export from
// forgetting either.
template <typename Result, typename Body>
Result WellExport(const char* exportName, TeskObj* obj, Result failure, Body&& body) noexcept {
    if (!HasWellObject(obj, exportName)) return failure;
    return ExportGuard<Result>(exportName, failure, std::forward<Body>(body));
}

template <typename Body>
void WellExportVoid(const char* exportName, TeskObj* obj, Body&& body) noexcept {
    if (!HasWellObject(obj, exportName)) return;
    ExportGuardVoid(exportName, std::forward<Body>(body));
}

// The zeroed record a record-returning export answers with on failure.
template <typename Record>
Record ZeroRecord() {
    Record record;
    std::memset(&record, 0, sizeof record);
    return record;
}
