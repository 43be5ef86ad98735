#pragma once
#include <cstdint>

#include "catalog/api_taper_table.h"
#include "tesk/tesk.h"

// Writes one steel taper per size present in the row, top first, each rounded to whole
// 25 ft with the remainder added to the top section so the lengths sum to totalLength.
// Returns the number of sections (1 to 5). A total shorter than the rounding leaves the
// top section with L <= 0, which the taper list keeps as an invalid taper.
int32_t BuildApiTaper(TaperBase_t out[kApiTaperColumns], const ApiTaperRow& row, double totalLength);
