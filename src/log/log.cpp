#include "log/log.h"

#include <locale.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>

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

// The escape a byte takes in a log line: a control character other than the tab would end
// the line early or drive the host's terminal, so it is written as "\n", "\r" or "\xHH".
// Empty for every other byte, which is written as it is.
void EscapeOf(unsigned char byte, char (&escape)[5]) {
    escape[0] = '\0';
    if (byte == '\t' || (byte >= 0x20 && byte != 0x7F)) return;
    if (byte == '\n' || byte == '\r') {
        std::snprintf(escape, sizeof escape, "\\%c", byte == '\n' ? 'n' : 'r');
    } else {
        std::snprintf(escape, sizeof escape, "\\x%02x", byte);
    }
}

// Copies the formatted text into `line` with its control characters escaped, cut before the
// first byte or escape that would not fit whole.
void EscapeControls(const char* text, char* line, size_t size) {
    size_t used = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        char escape[5];
        EscapeOf(static_cast<unsigned char>(*c), escape);
        const size_t length = escape[0] == '\0' ? 1 : std::strlen(escape);
        if (used + length >= size) break;
        std::memcpy(line + used, escape[0] == '\0' ? c : escape, length);
        used += length;
    }
    line[used] = '\0';
}

struct CallbackScope {
    CallbackScope() { insideCallback = true; }
    ~CallbackScope() { insideCallback = false; }
    CallbackScope(const CallbackScope&) = delete;
    CallbackScope& operator=(const CallbackScope&) = delete;
};
}  // namespace

int LogMessage(const char* format, ...) {
    char formatted[1024];
    va_list args;
    va_start(args, format);
    FormatLine(formatted, sizeof formatted, format, args);
    va_end(args);
    char line[sizeof formatted];
    EscapeControls(formatted, line, sizeof line);
    LogCallback callback = currentCallback.load(std::memory_order_acquire);
    if (callback == nullptr || insideCallback) return std::fprintf(stderr, "%s\n", line);
    const CallbackScope scope;
    return callback(line);
}

extern "C" TESK_API void SetLoggingCallback(TeskObj*, LogCallback callback) {
    currentCallback.store(callback, std::memory_order_release);
}
