#include "cloud/design_attribute_map.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "log/log.h"

using nlohmann::json;

namespace {

const json kAbsent;

// A member of an object; null when the object lacks it or is no object.
const json& Member(const json& object, const char* key) {
    if (!object.is_object()) return kAbsent;
    auto it = object.find(key);
    return it == object.end() ? kAbsent : *it;
}

bool IsSection(const json& value) { return value.is_object() || value.is_null(); }

bool IsInt32(const json& value) {
    if (value.is_number_unsigned()) return value.get<uint64_t>() <= uint64_t{INT32_MAX};
    if (!value.is_number_integer()) return false;
    int64_t v = value.get<int64_t>();
    return v >= INT32_MIN && v <= INT32_MAX;
}

// A floating-point member whose single-precision rounding is a finite number.
bool IsStorableFloat(const json& value) {
    return value.is_number_float() && std::fabs(value.get<double>()) <= FLT_MAX;
}

std::string FixedSix(double value) {
    char text[400];
    auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6).ptr;
    return std::string(text, end);
}

void AddEntry(AttributeValue& map, const char* key, AttributeValue value) { map.map[key] = std::move(value); }

AttributeValue NestedValue(const std::string& key, const json& value) {
    if (IsInt32(value)) return SetNFromInt(value.get<int32_t>());
    if (IsStorableFloat(value)) return SetNFromFloat(static_cast<float>(value.get<double>()));
    if (value.is_string()) return MakeS(value.get<std::string>());
    if (value.is_boolean()) return MakeBool(value.get<bool>());
    LogMessage("SetMapOnMapAttr unsupported type: %s (loop)", key.c_str());
    return MakeS("ERROR");
}

bool IsPoint(const json& point) {
    return point.is_array() && point.size() >= 2 && point[0].is_number() && point[1].is_number();
}

// The measured card as a list of [position, load] pairs; false on a malformed point.
bool AddDynoPoints(AttributeValue& diag, const json& section) {
    const json& dyn = Member(section, "dyn");
    if (!dyn.is_array()) return true;
    if (dyn.empty()) {
        LogMessage("JsonToAttributeValue - No dyno points to add.");
        return true;
    }
    std::vector<AttributeValue> points;
    points.reserve(dyn.size());
    for (size_t i = 0; i < dyn.size(); ++i) {
        if (!IsPoint(dyn[i])) {
            LogMessage("ERROR: JsonToAttributeValue - dyn point %zu is not a pair of numbers", i);
            return false;
        }
        points.push_back(MakeL({SetNFromDouble(dyn[i][0].get<double>()), SetNFromDouble(dyn[i][1].get<double>())}));
    }
    AddEntry(diag, "dyn", MakeL(std::move(points)));
    return true;
}

AttributeValue DiagMap(const json& diag) {
    AttributeValue map = MakeM({});
    for (const char* key : {"anchor_depth", "fluid_level", "pressure_casing", "pressure_tubing"}) {
        SetFloatOnMapAttr(key, map, diag);
    }
    SetMapOnMapAttr("pump", map, diag);
    for (const char* key : {"pump_depth", "sg_fluid", "spm", "visc_fluid"}) SetFloatOnMapAttr(key, map, diag);
    return map;
}

AttributeValue PredMap(const json& pred) {
    AttributeValue map = MakeM({});
    for (const char* key : {"anchor_depth", "compression", "fillage", "fluid_level", "fo"}) {
        SetFloatOnMapAttr(key, map, pred);
    }
    SetMapOnMapAttr("fourier", map, pred);
    SetFloatOnMapAttr("pressure_casing", map, pred);
    SetFloatOnMapAttr("pressure_tubing", map, pred);
    SetMapOnMapAttr("pump", map, pred);
    for (const char* key : {"pump_depth", "sg_fluid", "spm", "visc_fluid"}) SetFloatOnMapAttr(key, map, pred);
    SetIntOnMapAttr("upsc", map, pred);
    SetBoolOnMapAttr("usePumpingUnitForPosition", map, pred);
    return map;
}

// Where the C library's readers would start: after white space and an optional '+'
// (from_chars takes neither).
const char* NumberStart(const std::string& text) {
    const char* p = text.c_str();
    while (std::isspace(static_cast<unsigned char>(*p))) ++p;
    if (p[0] == '+' && p[1] != '-') ++p;
    return p;
}

// The leading float of the text, read as strtof would in the "C" locale.
bool ReadFloat(const std::string& text, float* value) {
    const char* start = NumberStart(text);
    auto [end, error] = std::from_chars(start, text.c_str() + text.size(), *value);
    return error == std::errc() && end != start;
}

// The leading 32-bit integer of the text, read as strtol would in base 10.
bool ReadInt(const std::string& text, int32_t* value) {
    const char* start = NumberStart(text);
    auto [end, error] = std::from_chars(start, text.c_str() + text.size(), *value);
    return error == std::errc() && end != start;
}

// Members the map writes with the float rule, by their path in the stored map. DynamoDB
// trims trailing zeros ("8.000000" comes back as "8"), so these are read as floats whatever
// their text; the pump's members are floats in every design document.
const char* const kFloatMembers[] = {
    "well_depth",        "diag.anchor_depth", "diag.fluid_level", "diag.pressure_casing", "diag.pressure_tubing",
    "diag.pump_depth",   "diag.sg_fluid",     "diag.spm",         "diag.visc_fluid",      "diag.pump.dia",
    "diag.pump.len",     "diag.pump.fit",     "pred.anchor_depth", "pred.compression",    "pred.fillage",
    "pred.fluid_level",  "pred.fo",           "pred.pressure_casing", "pred.pressure_tubing", "pred.pump_depth",
    "pred.sg_fluid",     "pred.spm",          "pred.visc_fluid",  "pred.pump.dia",        "pred.pump.len",
    "pred.pump.fit",
};

bool IsFloatMember(const std::string& path) {
    for (const char* member : kFloatMembers) {
        if (path == member) return true;
    }
    return false;
}

std::string MemberPath(const std::string& parent, const std::string& key) {
    return parent.empty() ? key : parent + "." + key;
}

bool Unreadable(const std::string& text, std::string* error) {
    *error = "cannot read the number \"" + text + "\"";
    return false;
}

bool FloatToJson(const std::string& text, json* out, std::string* error) {
    float value = 0;
    if (!ReadFloat(text, &value)) return Unreadable(text, error);
    *out = static_cast<double>(value);
    return true;
}

// The number rule: a text with a '.' is a float, any other an integer.
bool NumberToJson(const std::string& text, json* out, std::string* error) {
    if (text.find('.') != std::string::npos) return FloatToJson(text, out, error);
    int32_t value = 0;
    if (!ReadInt(text, &value)) return Unreadable(text, error);
    *out = value;
    return true;
}

// Inside a list of lists every number is a coordinate, read as a float with or without '.'.
bool CoordinatesToJson(const AttributeValue& inner, json* out, std::string* error) {
    *out = json::array();
    for (const AttributeValue& element : inner.list) {
        if (element.kind != AttributeKind::N) continue;
        json value;
        if (!FloatToJson(element.text, &value, error)) return false;
        out->push_back(std::move(value));
    }
    return true;
}

bool ListToJson(const AttributeValue& list, json* out, std::string* error) {
    *out = json::array();
    for (const AttributeValue& element : list.list) {
        json item;
        if (element.kind == AttributeKind::N) {
            if (!NumberToJson(element.text, &item, error)) return false;
        } else if (element.kind == AttributeKind::L) {
            if (!CoordinatesToJson(element, &item, error)) return false;
        } else {
            continue;
        }
        out->push_back(std::move(item));
    }
    return true;
}

bool MapToJson(const AttributeValue& value, const std::string& path, json* out, std::string* error);

// One entry's JSON value; *keep is false for the kinds that have no JSON form here.
bool EntryToJson(const AttributeValue& value, const std::string& path, json* out, bool* keep, std::string* error) {
    *keep = true;
    switch (value.kind) {
        case AttributeKind::S: *out = value.text; return true;
        case AttributeKind::N:
            return IsFloatMember(path) ? FloatToJson(value.text, out, error) : NumberToJson(value.text, out, error);
        case AttributeKind::Bool: *out = value.boolean; return true;
        case AttributeKind::M: return MapToJson(value, path, out, error);
        case AttributeKind::L: return ListToJson(value, out, error);
        default: *keep = false; return true;
    }
}

bool MapToJson(const AttributeValue& value, const std::string& path, json* out, std::string* error) {
    json object = json::object();
    for (const auto& [key, entry] : value.map) {
        json item;
        bool keep = false;
        if (!EntryToJson(entry, MemberPath(path, key), &item, &keep, error)) return false;
        if (keep) object[key] = std::move(item);
    }
    *out = std::move(object);
    return true;
}

}  // namespace

AttributeValue SetNFromInt(int32_t value) { return MakeN(std::to_string(value)); }

AttributeValue SetNFromFloat(float value) { return MakeN(FixedSix(static_cast<double>(value))); }

AttributeValue SetNFromDouble(double value) { return MakeN(FixedSix(value)); }

bool SetFloatOnMapAttr(const char* key, AttributeValue& map, const json& object) {
    const json& value = Member(object, key);
    if (!IsStorableFloat(value)) {
        LogMessage("ERROR: SetFloatOnMapAttr %s", key);
        return false;
    }
    AddEntry(map, key, SetNFromFloat(static_cast<float>(value.get<double>())));
    return true;
}

bool SetIntOnMapAttr(const char* key, AttributeValue& map, const json& object) {
    const json& value = Member(object, key);
    if (!IsInt32(value)) return false;
    AddEntry(map, key, SetNFromInt(value.get<int32_t>()));
    return true;
}

bool SetListOnMapAttr(const char* key, AttributeValue& map, const json& object) {
    const json& value = Member(object, key);
    if (!value.is_array()) return false;
    std::vector<AttributeValue> items;
    for (const json& element : value) {
        if (IsInt32(element)) {
            items.push_back(SetNFromInt(element.get<int32_t>()));
        } else {
            LogMessage("SetListOnMapAttr unsupported type: %s list loop", key);
        }
    }
    AddEntry(map, key, MakeL(std::move(items)));
    return true;
}

bool SetMapOnMapAttr(const char* key, AttributeValue& map, const json& object) {
    if (!object.is_object() || !object.contains(key)) {
        LogMessage("Error: SetMapOnMapAttr, key not found in object (%s)", key);
        return false;
    }
    const json& value = object.at(key);
    if (!value.is_object()) {
        LogMessage("SetMapOnMapAttr unsupported type: %s", key);
        return false;
    }
    AttributeValue nested = MakeM({});
    for (auto it = value.begin(); it != value.end(); ++it) AddEntry(nested, it.key().c_str(), NestedValue(it.key(), *it));
    AddEntry(map, key, std::move(nested));
    return true;
}

bool SetBoolOnMapAttr(const char* key, AttributeValue& map, const json& object) {
    const json& value = Member(object, key);
    if (!value.is_boolean()) return false;
    AddEntry(map, key, MakeBool(value.get<bool>()));
    return true;
}

bool SetStringOnMapAttr(const char* key, AttributeValue& map, const json& object) {
    const json& value = Member(object, key);
    if (!value.is_string()) return false;
    AddEntry(map, key, MakeS(value.get<std::string>()));
    return true;
}

bool JsonToAttributeValue(const nlohmann::json& document, AttributeValue* out) {
    const json& diag = Member(document, "diag");
    const json& pred = Member(document, "pred");
    if (!IsSection(document) || !IsSection(diag) || !IsSection(pred)) {
        LogMessage("ERROR: JsonToAttributeValue - the design or a section is no object");
        return false;
    }
    AttributeValue result = MakeM({});
    SetFloatOnMapAttr("well_depth", result, document);
    SetListOnMapAttr("lib", result, document);
    SetListOnMapAttr("version", result, document);
    SetStringOnMapAttr("platform", result, document);
    AttributeValue diagMap = DiagMap(diag);
    if (!AddDynoPoints(diagMap, diag)) return false;
    AttributeValue predMap = PredMap(pred);
    AddEntry(result, "diag", std::move(diagMap));
    AddEntry(result, "pred", std::move(predMap));
    *out = std::move(result);
    return true;
}

bool AttributeValueToJson(const AttributeValue& value, json* out, std::string* error) {
    if (value.kind != AttributeKind::M) {
        *out = nullptr;
        return true;
    }
    std::string ignored;
    return MapToJson(value, std::string(), out, error != nullptr ? error : &ignored);
}
