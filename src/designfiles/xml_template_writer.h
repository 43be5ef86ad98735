#pragma once

#include <pugixml.hpp>

struct TeskObj;

// The element path from a template's root to the well-name element of one format.
struct WellNamePath {
    const char* inputName;
    const char* wellNameElement;
};

// Parses a NUL-terminated template from a copy of it, keeping the white space between its
// elements, so that a saved file keeps the template's own lines and indentation.
pugi::xml_parse_result LoadTemplateXml(pugi::xml_document* doc, const char* text);

// Replaces the text of the template's well-name element with the object's well name, when the
// element's last child is character data; any other template is saved unchanged. The document
// is saved to `path` through a temporary file, between an XML declaration line and a final line
// end, as it stands:
// no indentation is added, so a template loaded with LoadTemplateXml keeps its layout and the
// file grows with the template, never with its depth. A failed save leaves an old file as it
// was. Never throws: true when the file was saved.
bool SaveTemplateWithWellName(const TeskObj* obj, const char* path, pugi::xml_document& doc,
                              const WellNamePath& wellName);
