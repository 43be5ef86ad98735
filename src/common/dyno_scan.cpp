#include "common/dyno_scan.h"

#include <locale.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {

bool IsCSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDelimiter(char c, const char* delimiters) { return c != '\0' && std::strchr(delimiters, c) != nullptr; }

// A point field ends at a comma, an apostrophe or the end of its line.
const char* FieldEnd(const char* begin, const char* end) {
    while (begin < end && *begin != ',' && *begin != '\'') ++begin;
    return begin;
}

const char* SkipSpaces(const char* begin, const char* end) {
    while (begin < end && IsCSpace(*begin)) ++begin;
    return begin;
}

// One "C" locale for the life of the process, so a host's decimal-comma locale never
// changes how numbers are read; the first call creates it thread-safely.
locale_t ClassicLocale() {
    static const locale_t classic = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return classic;
}

}  // namespace

LineReader StartLines(const char* text) { return LineReader{text, 1}; }

bool NextLine(LineReader* reader, const char* delimiters, TextLine* line) {
    const char* start = reader->next;
    if (start == nullptr) return false;
    for (; IsDelimiter(*start, delimiters); ++start) {
        if (*start == '\n') ++reader->lineNumber;
    }
    if (*start == '\0') {
        reader->next = nullptr;
        return false;
    }
    const char* end = start + std::strcspn(start, delimiters);
    *line = TextLine{start, end, reader->lineNumber};
    if (*end == '\0') {
        reader->next = nullptr;
    } else {
        if (*end == '\n') ++reader->lineNumber;
        reader->next = end + 1;
    }
    return true;
}

bool ScanPointLine(const TextLine& line, double* pos, double* load) {
    const char* posEnd = FieldEnd(line.begin, line.end);
    if (posEnd == line.begin || posEnd == line.end || *posEnd != ',') return false;
    const char* loadBegin = posEnd + 1;
    const char* loadEnd = FieldEnd(loadBegin, line.end);
    if (loadEnd == loadBegin) return false;
    *pos = ParseFieldDouble(line.begin, posEnd);
    *load = ParseFieldDouble(loadBegin, loadEnd);
    return true;
}

// A number never runs into what ends a field or a line (a comma, an apostrophe, a line end or
// NUL), so once the blanks are skipped inside the field, the reading stays inside it.
double ParseFieldDouble(const char* begin, const char* end) {
    const char* start = SkipSpaces(begin, end);
    return start < end ? ParseLeadingDouble(start) : 0.0;
}

double ParseLeadingDouble(const char* text) {
    const locale_t classic = ClassicLocale();
    if (classic == static_cast<locale_t>(nullptr)) return std::strtod(text, nullptr);
    return strtod_l(text, nullptr, classic);
}

bool ParseLeadingInteger(const char* begin, const char* end, int64_t* value) {
    const char* text = SkipSpaces(begin, end);
    const bool negative = text < end && *text == '-';
    if (text < end && (*text == '-' || *text == '+')) ++text;
    if (text == end || !std::isdigit(static_cast<unsigned char>(*text))) return false;
    int64_t magnitude = 0;
    const int64_t limit = INT64_MAX / 10;
    for (; text < end && std::isdigit(static_cast<unsigned char>(*text)); ++text) {
        const int digit = *text - '0';
        magnitude = magnitude > limit || magnitude * 10 > INT64_MAX - digit ? INT64_MAX : magnitude * 10 + digit;
    }
    *value = negative ? -magnitude : magnitude;
    return true;
}

bool ParseLeadingInteger(const char* text, int64_t* value) {
    return ParseLeadingInteger(text, text + std::strlen(text), value);
}
