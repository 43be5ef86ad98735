#include "log/log.h"

#include <locale.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace {
// Registered before the host goes multi-threaded, read at every line; atomic so a late
// re-registration is at worst seen one line late, never torn.
std::atomic<LogCallback> currentCallback{nullptr};

// Set while this thread's callback runs: a callback that calls back into the library would
// otherwise recurse through every export that logs until the stack runs out.
thread_local bool insideCallback = false;

// Log lines read the same whatever locale the host set: a decimal comma would make
// "1,5" of 1.5 and break every line a machine parses.
locale_t CLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return c;
}

void FormatLine(char* line, size_t size, const char* format, va_list args) {
    const locale_t c = CLocale();
    const locale_t hostLocale = c != static_cast<locale_t>(0) ? uselocale(c) : static_cast<locale_t>(0);
    std::vsnprintf(line, size, format, args);
    if (hostLocale != static_cast<locale_t>(0)) uselocale(hostLocale);
}

struct CallbackScope {
    CallbackScope() { insideCallback = true; }
    ~CallbackScope() { insideCallback = false; }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;
};
}  // namespace

int LogMessage(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    FormatLine(line, sizeof line, format, args);
    va_end(args);
    LogCallback callback = currentCallback.load(std::memory_order_acquire);
    if (callback == nullptr || insideCallback) return std::fprintf(stderr, "%s\n", line);
    const CallbackScope scope;
    return callback(line);
}

extern "C" TESK_API void SetLoggingCallback(TeskObj*, LogCallback callback) {
    currentCallback.store(callback, std::memory_order_release);
}
