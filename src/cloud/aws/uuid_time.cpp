#include "cloud/aws/uuid_time.h"

#include <cstdio>
#include <ctime>

#include "cloud/aws/crypto.h"

namespace {

// Whole seconds (rounded down, also before 1970) and the milliseconds within them.
void SplitMillis(std::chrono::system_clock::time_point when, std::time_t* seconds, int* millis) {
    using namespace std::chrono;
    const long long total = duration_cast<milliseconds>(when.time_since_epoch()).count();
    long long whole = total / 1000;
    long long rest = total % 1000;
    if (rest < 0) {
        rest += 1000;
        whole -= 1;
    }
    *seconds = static_cast<std::time_t>(whole);
    *millis = static_cast<int>(rest);
}

std::string FormatUtc(std::time_t seconds, const char* format) {
    std::tm parts{};
    if (gmtime_r(&seconds, &parts) == nullptr) return std::string();
    char text[64];
    size_t length = std::strftime(text, sizeof text, format, &parts);
    return std::string(text, length);
}

}  // namespace

std::string RandomUuid() {
    unsigned char bytes[16];
    if (!SecureRandomBytes(bytes, sizeof bytes)) return std::string();
    bytes[6] = static_cast<unsigned char>((bytes[6] & 0x0f) | 0x40);  // version 4
    bytes[8] = static_cast<unsigned char>((bytes[8] & 0x3f) | 0x80);  // RFC 4122 variant
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(36);
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text += '-';
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0x0f];
    }
    return text;
}

std::string IsoTimestampMillis(std::chrono::system_clock::time_point when) {
    std::time_t seconds = 0;
    int millis = 0;
    SplitMillis(when, &seconds, &millis);
    std::string text = FormatUtc(seconds, "%Y-%m-%dT%H:%M:%S");
    if (text.empty()) return text;
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, ".%03d", millis);
    return text + fraction;
}

std::string IsoTimestampMillisNow() { return IsoTimestampMillis(std::chrono::system_clock::now()); }

std::string AmzDate(std::chrono::system_clock::time_point when) {
    std::time_t seconds = 0;
    int millis = 0;
    SplitMillis(when, &seconds, &millis);
    return FormatUtc(seconds, "%Y%m%dT%H%M%SZ");
}
