#pragma once
#include <string>
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

// Splits a NUL-terminated QROD text at LF into records, in order; lines without ':' are
// skipped and a leading UTF-8 byte-order mark is ignored. Null gives no records.
QrodRecords ParseQrodRecords(const char* text);

// The number as "%f" prints it in the "C" locale: fixed, six decimals, whatever the host's locale.
std::string FormatQrodNumber(double number);
