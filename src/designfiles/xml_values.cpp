#include "designfiles/xml_values.h"

#include <cstring>
#include <new>
#include <string>

#include "common/dyno_scan.h"
#include "log/log.h"

namespace {

// Calls `take` with each of the first `maxPieces` pieces of the text, NUL-terminated.
template <typename Take>
void ForEachPiece(const char* text, char delimiter, size_t maxPieces, Take take) {
    if (text == nullptr) return;
    std::string piece;
    size_t taken = 0;
    for (const char* c = text; *c != '\0' && taken < maxPieces; ++c) {
        if (*c == delimiter) {
            take(piece.c_str());
            ++taken;
            piece.clear();
        } else {
            piece.push_back(*c);
        }
    }
    if (!piece.empty() && taken < maxPieces) take(piece.c_str());
}

int64_t IntegerOrZero(const char* text) {
    int64_t value = 0;
    return ParseLeadingInteger(text, &value) ? value : 0;
}

int32_t ParseInt32OrZero(const char* text) {
    int64_t value = 0;
    if (!ParseLeadingInteger(text, &value) || value < INT32_MIN || value > INT32_MAX) return 0;
    return static_cast<int32_t>(value);
}

}  // namespace

double XmlNumber(pugi::xml_node element) { return ParseLeadingDouble(element.text().get()); }

int64_t XmlInteger(pugi::xml_node element) { return IntegerOrZero(element.text().get()); }

int64_t XmlInteger(pugi::xml_attribute attribute) { return IntegerOrZero(attribute.value()); }

int32_t ClampToInt32(int64_t value) {
    if (value < INT32_MIN) return INT32_MIN;
    if (value > INT32_MAX) return INT32_MAX;
    return static_cast<int32_t>(value);
}

std::vector<double> SplitDoubleList(const char* text, char delimiter, size_t maxPieces) {
    std::vector<double> values;
    ForEachPiece(text, delimiter, maxPieces, [&](const char* piece) { values.push_back(ParseLeadingDouble(piece)); });
    return values;
}

std::vector<int32_t> SplitIntList(const char* text, char delimiter, size_t maxPieces) {
    std::vector<int32_t> values;
    ForEachPiece(text, delimiter, maxPieces, [&](const char* piece) { values.push_back(ParseInt32OrZero(piece)); });
    return values;
}

namespace {

pugi::xml_node LoadDesignXml(pugi::xml_document* doc, char* text, const char* format, const char* inputName) {
    if (text == nullptr) {
        LogMessage("Error: no %s design text", format);
        return pugi::xml_node();
    }
    const size_t length = strnlen(text, static_cast<size_t>(kMaxXmlDesignBytes) + 1);
    if (length > static_cast<size_t>(kMaxXmlDesignBytes)) {
        LogMessage("Error: the %s design is larger than the limit of %lld bytes; it was not read", format,
                   static_cast<long long>(kMaxXmlDesignBytes));
        return pugi::xml_node();
    }
    const pugi::xml_parse_result parsed = doc->load_buffer_inplace(text, length);
    if (!parsed) {
        LogMessage("Error: the %s design is not well-formed XML: %s at byte %lld", format, parsed.description(),
                   static_cast<long long>(parsed.offset));
        return pugi::xml_node();
    }
    const pugi::xml_node input = doc->first_child().child(inputName);
    if (!input) LogMessage("Error: the %s design has no \"%s\" element", format, inputName);
    return input;
}

}  // namespace

bool ReadXmlDesign(TeskObj* obj, char* text, const char* format, const char* inputName,
                   void (*apply)(TeskObj*, pugi::xml_node)) {
    try {
        pugi::xml_document doc;
        const pugi::xml_node input = LoadDesignXml(&doc, text, format, inputName);
        if (!input) return false;
        apply(obj, input);
        return true;
    } catch (const std::bad_alloc&) {
        LogMessage("MALLOC ERROR");
    } catch (...) {
        LogMessage("Error: the %s design could not be read", format);
    }
    return false;
}
