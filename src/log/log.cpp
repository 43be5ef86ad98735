#include "log/log.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {
// Registered before the host goes multi-threaded, read at every line; atomic so a late
// re-registration is at worst seen one line late, never torn.
std::atomic<LogCallback> currentCallback{nullptr};
}  // namespace

int LogMessage(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    LogCallback callback = currentCallback.load(std::memory_order_acquire);
    if (callback != nullptr) return callback(line);
    return std::fprintf(stderr, "%s\n", line);
}

extern "C" TESK_API void SetLoggingCallback(TeskObj*, LogCallback callback) {
    currentCallback.store(callback, std::memory_order_release);
}
