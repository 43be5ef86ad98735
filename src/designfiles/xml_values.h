#pragma once
#include <cstdint>
#include <vector>

#include <pugixml.hpp>

// Values of the outside XML design formats. An element's value is the text of its first
// character-data child; a missing element or one without text reads as the empty text.

// The number at the start of the element's text as strtod reads it in the "C" locale (leading
// white space skipped, the longest numeric prefix taken); no number reads 0.
double XmlNumber(pugi::xml_node element);

// The base-10 integer at the start of the element's text (leading white space and a sign
// allowed, trailing text ignored, never hexadecimal), saturated to the int64 range; no digit
// reads 0.
int64_t XmlInteger(pugi::xml_node element);
// The same for an attribute's text.
int64_t XmlInteger(pugi::xml_attribute attribute);

// A count or index clamped into the int32 range, for log lines and the model's counts.
int32_t ClampToInt32(int64_t value);

// Splits a text at every delimiter into at most `maxPieces` pieces, the rest of the text left
// unread; the piece after the last delimiter counts only when it is not empty. Each piece is
// read as by XmlNumber, or as a base-10 int32 (0 when out of range).
std::vector<double> SplitDoubleList(const char* text, char delimiter, size_t maxPieces);
std::vector<int32_t> SplitIntList(const char* text, char delimiter, size_t maxPieces);

struct TeskObj;

// Largest Rodstar or SROD design, file or text: its parsed document takes up to sixteen times
// its size, and a real design is some tens of kilobytes.
constexpr int64_t kMaxXmlDesignBytes = 32LL * 1024 * 1024;

// Parses a design text in place and hands the element `inputName` under the document's root to
// `apply`. A text above kMaxXmlDesignBytes, not well-formed XML or lacking that element is
// refused before anything is applied: false with one log line naming the format. Running out of memory while applying
// gives false and "MALLOC ERROR", keeping what was applied. Never throws.
bool ReadXmlDesign(TeskObj* obj, char* text, const char* format, const char* inputName,
                   void (*apply)(TeskObj*, pugi::xml_node));
