#pragma once
#include <cstdint>

// Splits a text into tokens in place, the way strtok does (leading delimiters skipped, so
// empty tokens vanish; the delimiter after a token becomes NUL), but with its cursor in
// this record instead of process-global state. Writes only inside the text.
struct LineCursor {
    char* next;
};

// The next token up to any of `delimiters`, or null when the text is used up.
char* NextToken(LineCursor* cursor, const char* delimiters);

// The fields one point line supplies: each runs to the first comma or apostrophe, the load
// field after a comma that ends the position field. An empty run supplies nothing, and
// neither does anything after a position that supplied nothing.
struct PointFields {
    bool hasPos;
    bool hasLoad;
    double pos;
    double load;
};
PointFields ScanPointLine(const char* line);

// The decimal number at the start of `text` as atof reads it (leading white space, a sign,
// trailing text ignored; no number gives 0), with '.' as the decimal point in every locale.
double ParseLeadingDouble(const char* text);

// The decimal integer at the start of `text` as atoi reads it, without overflow: false when
// there is no digit, otherwise the value saturated to the int64 range.
bool ParseLeadingInteger(const char* text, int64_t* value);
