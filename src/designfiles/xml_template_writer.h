#pragma once

#include <pugixml.hpp>

struct TeskObj;

// The element path from a template's root to the well-name element of one format.
struct WellNamePath {
    const char* inputName;
    const char* wellNameElement;
};

// Replaces the text of the template's well-name element with the object's well name, when the
// element's last child is character data; any other template is saved unchanged. The document
// is saved to `path` through a temporary file (one tab per level, with an XML declaration), so
// a failed save leaves an old file as it was. Never throws: true when the file was saved.
bool SaveTemplateWithWellName(const TeskObj* obj, const char* path, pugi::xml_document& doc,
                              const WellNamePath& wellName);
