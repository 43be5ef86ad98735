#pragma once
#include <cstdint>

// One row of the API rod-string table: the share of the string length that each of the
// five column sizes takes, largest size first; a share of 0 means the size is absent.
struct ApiTaperRow {
    int32_t apiNumber;  // largest then smallest rod size in eighths of an inch, e.g. 76, 1010
    double pumpDia;     // plunger diameter, in
    double fractions[5];
};

constexpr int32_t kApiTaperColumns = 5;

// The row for a rod number and an exact pump diameter, or null with a log line.
const ApiTaperRow* FindApiTaperRow(int32_t apiNumber, double pumpDiameter);
// Rod diameter (in) of a column of a row: rod numbers from 107 up use one size larger per column.
double ApiColumnDiameter(const ApiTaperRow& row, int32_t column);
