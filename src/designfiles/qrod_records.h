#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// One key:value line of a QROD text.
struct QrodRecord {
    std::string key;    // the bytes before the line's first ':', untrimmed
    std::string value;  // after the ':', cut to 127 bytes (never inside a UTF-8 character),
                        // then trimmed of blanks, tabs, CR, LF and '"' at both ends
    double number;      // the whole text after the ':' read as strtod does in the "C" locale;
                        // NaN when no number starts it or it is out of a double's range
};

using QrodRecords = std::vector<QrodRecord>;

// A line of a QROD text that holds a ':', as views into the text.
struct QrodLine {
    std::string_view key;   // the bytes before the first ':'
    std::string_view rest;  // the bytes after it, to the line's end (the LF excluded)
};

// Calls `take` with each line of a NUL-terminated QROD text that holds a ':', in order, without
// copying the text; a leading UTF-8 byte-order mark is skipped. Null has no lines.
void ForEachQrodLine(const char* text, const std::function<void(const QrodLine&)>& take);
// The record of one line: its key, value and number as QrodRecord describes them.
QrodRecord MakeQrodRecord(const QrodLine& line);

// Splits a NUL-terminated QROD text at LF into records, in order; lines without ':' are
// skipped and a leading UTF-8 byte-order mark is ignored. Null gives no records.
QrodRecords ParseQrodRecords(const char* text);

// The number as "%f" prints it in the "C" locale: fixed, six decimals, whatever the host's locale.
std::string FormatQrodNumber(double number);
