#pragma once
#include <cstdint>

#include <nlohmann/json.hpp>

struct TeskObj;

// Largest design of the own format, file or text: parsing JSON runs at some tens of
// megabytes a second, and a measured card of a million points takes about twenty.
constexpr int64_t kMaxJsonDesignBytes = 64LL * 1024 * 1024;

// Most Fourier coefficient pairs a design may ask for.
constexpr int32_t kMaxFourierCoeffs = 100000;

// Reads a design document of the own format into the object, step by step and without
// rollback (a text above kMaxJsonDesignBytes is refused with a line before anything is read): what was applied before a failure stays applied. The text is not changed.
// Only what the reader takes is held while parsing (see design_json_scan.h); the measured card,
// the series' counts and the upscaled point count are applied before the series are fitted and
// the upscaled card resampled once, all of it one call's Fourier work. A survey of more than
// kMaxSurveyStations rows is not read (a warning; the well is left without a survey).
// False after "A JSON error occurred" (not JSON, a required key missing or of another kind,
// a number out of range, a taper or tubing list longer than kMaxDesignSections) or when
// memory runs out ("MALLOC ERROR").
bool ParseDesignFileTesk(TeskObj* obj, const char* text);

// Sets the tapers of "PRED" (pred) or of "MEAS" and "UPSC" from a section's "taper" value:
// an array or object of taper elements; null or empty keeps the current tapers. A value of
// another kind or a malformed element raises a JSON error; false when memory runs out.
bool ParseTaperSection(TeskObj* obj, const nlohmann::json& value, bool pred);
// The same for "tubing", then stores the pump and anchor depths on the new lists and
// recomputes their totals; an empty value keeps the tubing and ignores the depths.
bool ParseTubingSection(TeskObj* obj, const nlohmann::json& value, bool pred, double pumpDepth,
                        double anchorDepth);

