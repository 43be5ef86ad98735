#pragma once

#include <pugixml.hpp>

struct TeskObj;

// Reads a Rodstar XML design, parsing `text` in place (the text is changed). A text that is
// not well-formed XML or has no "r:input" under its root gives false with a log line and
// leaves the object unchanged; otherwise the design is applied step by step and the result
// is true. Never throws.
bool ParseDesignFileRodstar(TeskObj* obj, char* text);

// Puts the object's well name into the template `doc` and saves it to `path` through a
// temporary file. The well name is the only value filled in, so the result is false even
// when the file was saved. Never throws.
bool WriteDesignFileRodstar(TeskObj* obj, const char* path, pugi::xml_document& doc);
