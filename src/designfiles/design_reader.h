#pragma once
#include <cstdint>

#include <nlohmann/json.hpp>

struct TeskObj;
struct WaveModel;

// Most Fourier coefficient pairs a design may ask for.
constexpr int32_t kMaxFourierCoeffs = 100000;

// Reads a design document of the own format into the object, step by step and without
// rollback: what was applied before a failure stays applied. The text is not changed.
// False after "A JSON error occurred" (not JSON, a required key missing or of another kind,
// a number out of range) or when memory runs out ("MALLOC ERROR").
bool ParseDesignFileTesk(TeskObj* obj, const char* text);

// Sets the tapers of "PRED" (pred) or of "MEAS" and "UPSC" from a section's "taper" value:
// an array or object of taper elements; null or empty keeps the current tapers. A value of
// another kind or a malformed element raises a JSON error; false when memory runs out.
bool ParseTaperSection(TeskObj* obj, const nlohmann::json& value, bool pred);
// The same for "tubing", then stores the pump and anchor depths on the new lists and
// recomputes their totals; an empty value keeps the tubing and ignores the depths.
bool ParseTubingSection(TeskObj* obj, const nlohmann::json& value, bool pred, double pumpDepth,
                        double anchorDepth);

// Raises the object's dirty flag of the card.
void MarkCardDirty(TeskObj* obj, const WaveModel* card);
