#pragma once
#include <cstdint>

// One line of a text that is read in place and never written: the characters [begin, end), and
// the line's number in the text, counting from 1 at every LF.
struct TextLine {
    const char* begin;
    const char* end;
    int32_t number;
};

// Walks a NUL-terminated text line by line the way strtok would cut it (runs of delimiters are
// skipped, so empty lines vanish), but reads only: the host's text stays as it was.
struct LineReader {
    const char* next;
    int32_t lineNumber;  // the line `next` lies on
};

LineReader StartLines(const char* text);

// The next line up to any of `delimiters`; false when the text is used up.
bool NextLine(LineReader* reader, const char* delimiters, TextLine* line);

// A point line holds a position field, a comma and a load field; each field runs to the next
// comma or apostrophe and must not be empty. Inside a field numbers read leniently as atof does
// (trailing text ignored, no number gives 0). False, and nothing written, for any other line.
bool ScanPointLine(const TextLine& line, double* pos, double* load);

// The decimal number at the start of [begin, end) as atof reads it, never reading past `end`.
double ParseFieldDouble(const char* begin, const char* end);

// The decimal number at the start of `text` as atof reads it (leading white space, a sign,
// trailing text ignored; no number gives 0), with '.' as the decimal point in every locale.
double ParseLeadingDouble(const char* text);

// The decimal integer at the start of [begin, end) as atoi reads it, without overflow: false
// when there is no digit, otherwise the value saturated to the int64 range.
bool ParseLeadingInteger(const char* begin, const char* end, int64_t* value);
// The same for a NUL-terminated text.
bool ParseLeadingInteger(const char* text, int64_t* value);
