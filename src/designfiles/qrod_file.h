#pragma once
#include <string>

#include "designfiles/qrod_records.h"

struct TeskObj;

// Applies the twelve known keys of a QROD text to the object, the last line of each key alone
// (a later line overrides an earlier one, so the earlier ones are not applied at all), in the
// order of those lines; other keys and lines without ':' are ignored, and the text is not
// changed. Values are stored as read, NaN included. "PumpDepth" also becomes the fluid level
// of all three cards. A card whose values really change gets its dirty flag, taper totals
// follow a new specific gravity and tubing totals new depths. True; false with a line only
// for a null text.
bool ParseDesignFileQrod(TeskObj* obj, const char* text);

// The text of a QROD file: one "key:value" line per record, the known keys filled from the
// object: the well name for "Title", "%f" numbers of the predicted card for the rest, every
// occurrence of a key; other records keep their template value. Control characters in keys
// and values become blanks, so nothing written can add or hide a line.
std::string FillQrodText(TeskObj* obj, QrodRecords records);

// Saves FillQrodText of the template's records to `path` through a temporary file; false with
// a line when the file cannot be written (the old one then stays).
bool WriteDesignFileQrod(TeskObj* obj, const char* path, QrodRecords records);
