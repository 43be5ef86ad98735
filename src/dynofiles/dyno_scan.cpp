#include "dynofiles/dyno_scan.h"

#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

const char kFieldEnds[] = ",'";

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// One "C" locale for the life of the process, so a host's decimal-comma locale never
// changes how numbers are read; the first call creates it thread-safely.
locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

}  // namespace

char* NextToken(LineCursor* cursor, const char* delimiters) {
    char* start = cursor->next;
    if (start == nullptr) return nullptr;
    start += std::strspn(start, delimiters);
    if (*start == '\0') {
        cursor->next = nullptr;
        return nullptr;
    }
    char* end = start + std::strcspn(start, delimiters);
    if (*end == '\0') {
        cursor->next = nullptr;
    } else {
        *end = '\0';
        cursor->next = end + 1;
    }
    return start;
}

PointFields ScanPointLine(const char* line) {
    PointFields fields{false, false, 0.0, 0.0};
    const size_t posLength = std::strcspn(line, kFieldEnds);
    if (posLength == 0) return fields;
    fields.hasPos = true;
    fields.pos = ParseLeadingDouble(line);
    if (line[posLength] != ',') return fields;
    const char* loadField = line + posLength + 1;
    if (std::strcspn(loadField, kFieldEnds) == 0) return fields;
    fields.hasLoad = true;
    fields.load = ParseLeadingDouble(loadField);
    return fields;
}

double ParseLeadingDouble(const char* text) {
    const locale_t classic = ClassicLocale();
    if (classic == static_cast<locale_t>(nullptr)) return std::strtod(text, nullptr);
    return strtod_l(text, nullptr, classic);
}

bool ParseLeadingInteger(const char* text, int64_t* value) {
    while (IsCSpace(*text)) ++text;
    const bool negative = *text == '-';
    if (*text == '-' || *text == '+') ++text;
    if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
    int64_t magnitude = 0;
    const int64_t limit = INT64_MAX / 10;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        const int digit = *text - '0';
        magnitude = magnitude > limit || magnitude * 10 > INT64_MAX - digit ? INT64_MAX : magnitude * 10 + digit;
    }
    *value = negative ? -magnitude : magnitude;
    return true;
}
