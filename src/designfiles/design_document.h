#pragma once
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "tesk/tesk.h"

struct TeskObj;

// The own design format: one JSON object with the well, its survey, and the "pred" and
// "diag" sections. Measured quantities are floating-point numbers, counts and versions integers.
using DesignDocument = nlohmann::json;

// Builds the whole document from the object, which it only reads. A value that is not a
// finite number is stored as null, with a warning naming its key. Throws only std::bad_alloc.
DesignDocument WriteDesignJson(const TeskObj* obj);
// Appends one object per taper of the "PRED" (pred) or "MEAS" card to `array`; true.
bool TaperListToJson(const TeskObj* obj, nlohmann::json& array, bool pred);
// Appends one object per tubing section of the "PRED" (pred) or "MEAS" card to `array`; true.
bool TubingListToJson(const TeskObj* obj, nlohmann::json& array, bool pred);
// The survey as (md, inclination, azimuth) rows, in survey order.
std::vector<MiaPoint_t> SurveyToMiaRows(const TeskObj* obj);
// The measured surface card as (position, load) pairs; none when its arrays are missing.
std::vector<std::pair<double, double>> MeasuredCardToPairs(const TeskObj* obj);

// Serialises the document compactly and saves it to `path` through SaveFileAtomically, so a
// failed save leaves an existing file untouched. Text that is not UTF-8 is written with its
// invalid bytes replaced by U+FFFD, with a warning naming the key. False with one log line when
// the document cannot be built or the file cannot be saved.
bool WriteDesignFileTesk(const TeskObj* obj, const char* path);
