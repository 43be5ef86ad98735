#pragma once
#include <exception>
#include <new>

#include "log/log.h"

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

// The host's handle is checked once at the door: a missing well object is a clear
// failure with a log line, never a crash.
inline bool HasWellObject(const void* obj, const char* exportName) {
    if (obj != nullptr) return true;
    LogMessage("Error: %s needs a well object", exportName);
    return false;
}

template <typename Body>
void ExportGuardVoid(const char* exportName, Body&& body) noexcept {
    ExportGuard<int>(exportName, 0, [&] {
        body();
        return 0;
    });
}
