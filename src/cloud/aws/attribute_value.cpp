#include "cloud/aws/attribute_value.h"

#include <utility>

#include "cloud/aws/base64.h"

namespace {

struct KindName {
    AttributeKind kind;
    const char* name;
};

const KindName kKindNames[] = {
    {AttributeKind::S, "S"},   {AttributeKind::N, "N"},   {AttributeKind::B, "B"},   {AttributeKind::Bool, "BOOL"},
    {AttributeKind::Null, "NULL"}, {AttributeKind::L, "L"}, {AttributeKind::M, "M"}, {AttributeKind::SS, "SS"},
    {AttributeKind::NS, "NS"}, {AttributeKind::BS, "BS"},
};

bool KindFromName(const std::string& name, AttributeKind* kind) {
    for (const KindName& entry : kKindNames) {
        if (name == entry.name) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

AttributeValue OfKind(AttributeKind kind) {
    AttributeValue value;
    value.kind = kind;
    return value;
}

AttributeValue WithText(AttributeKind kind, std::string text) {
    AttributeValue value = OfKind(kind);
    value.text = std::move(text);
    return value;
}

AttributeValue WithSet(AttributeKind kind, std::vector<std::string> set) {
    AttributeValue value = OfKind(kind);
    value.set = std::move(set);
    return value;
}

bool Fail(std::string* error, const std::string& why) {
    if (error != nullptr) *error = why;
    return false;
}

bool ReadValue(const nlohmann::json& wire, AttributeValue* out, std::string* error, int depth);

bool ReadMap(const nlohmann::json& wire, AttributeMap* out, std::string* error, int depth) {
    if (!wire.is_object()) return Fail(error, "attribute map is not a JSON object");
    AttributeMap map;
    for (const auto& member : wire.items()) {
        AttributeValue value;
        if (!ReadValue(member.value(), &value, error, depth)) {
            if (error != nullptr) *error = member.key() + ": " + *error;
            return false;
        }
        map.emplace(member.key(), std::move(value));
    }
    *out = std::move(map);
    return true;
}

bool ReadTextSet(const nlohmann::json& member, bool binary, std::vector<std::string>* out, std::string* error) {
    if (!member.is_array()) return Fail(error, "set is not a JSON array");
    std::vector<std::string> texts;
    for (const auto& element : member) {
        if (!element.is_string()) return Fail(error, "set element is not a string");
        std::string text = element.get<std::string>();
        if (binary && !Base64Decode(element.get<std::string>(), &text)) return Fail(error, "bad base64");
        texts.push_back(std::move(text));
    }
    *out = std::move(texts);
    return true;
}

bool ReadMember(AttributeKind kind, const nlohmann::json& member, AttributeValue* value, std::string* error,
                int depth) {
    switch (kind) {
        case AttributeKind::S:
        case AttributeKind::N:
            if (!member.is_string()) return Fail(error, "value is not a string");
            value->text = member.get<std::string>();
            return true;
        case AttributeKind::B:
            if (!member.is_string()) return Fail(error, "value is not a string");
            return Base64Decode(member.get<std::string>(), &value->text) || Fail(error, "bad base64");
        case AttributeKind::Bool:
        case AttributeKind::Null:
            if (!member.is_boolean()) return Fail(error, "value is not a boolean");
            value->boolean = member.get<bool>();
            return true;
        case AttributeKind::L:
            if (!member.is_array()) return Fail(error, "list is not a JSON array");
            value->list.reserve(member.size());
            for (const auto& element : member) {
                AttributeValue item;
                if (!ReadValue(element, &item, error, depth + 1)) return false;
                value->list.push_back(std::move(item));
            }
            return true;
        case AttributeKind::M:
            return ReadMap(member, &value->map, error, depth + 1);
        case AttributeKind::SS:
        case AttributeKind::NS:
            return ReadTextSet(member, false, &value->set, error);
        case AttributeKind::BS:
            return ReadTextSet(member, true, &value->set, error);
    }
    return Fail(error, "unknown attribute kind");
}

bool ReadValue(const nlohmann::json& wire, AttributeValue* out, std::string* error, int depth) {
    if (depth > kMaxAttributeDepth) return Fail(error, "attribute value nested too deeply");
    if (!wire.is_object()) return Fail(error, "attribute value is not a JSON object");
    if (wire.size() != 1) return Fail(error, "attribute value must have exactly one kind");
    const auto member = wire.begin();
    AttributeValue value;
    if (!KindFromName(member.key(), &value.kind)) return Fail(error, "unknown attribute kind " + member.key());
    if (!ReadMember(value.kind, member.value(), &value, error, depth)) return false;
    *out = std::move(value);
    return true;
}

nlohmann::json TextSetToWire(const std::vector<std::string>& texts, bool binary) {
    nlohmann::json array = nlohmann::json::array();
    for (const auto& text : texts) array.push_back(binary ? Base64Encode(text) : text);
    return array;
}

nlohmann::json MemberToWire(const AttributeValue& value) {
    switch (value.kind) {
        case AttributeKind::S:
        case AttributeKind::N:
            return value.text;
        case AttributeKind::B:
            return Base64Encode(value.text);
        case AttributeKind::Bool:
            return value.boolean;
        case AttributeKind::Null:
            return true;
        case AttributeKind::L: {
            nlohmann::json array = nlohmann::json::array();
            for (const auto& item : value.list) array.push_back(AttributeValueToWire(item));
            return array;
        }
        case AttributeKind::M:
            return AttributeMapToWire(value.map);
        case AttributeKind::SS:
        case AttributeKind::NS:
            return TextSetToWire(value.set, false);
        case AttributeKind::BS:
            return TextSetToWire(value.set, true);
    }
    return nullptr;
}

}  // namespace

bool operator==(const AttributeValue& a, const AttributeValue& b) {
    if (a.kind != b.kind) return false;
    switch (a.kind) {
        case AttributeKind::S:
        case AttributeKind::N:
        case AttributeKind::B:
            return a.text == b.text;
        case AttributeKind::Bool:
            return a.boolean == b.boolean;
        case AttributeKind::Null:
            return true;
        case AttributeKind::L:
            return a.list == b.list;
        case AttributeKind::M:
            return a.map == b.map;
        case AttributeKind::SS:
        case AttributeKind::NS:
        case AttributeKind::BS:
            return a.set == b.set;
    }
    return false;
}

AttributeValue MakeS(std::string text) { return WithText(AttributeKind::S, std::move(text)); }
AttributeValue MakeN(std::string digits) { return WithText(AttributeKind::N, std::move(digits)); }
AttributeValue MakeB(std::string bytes) { return WithText(AttributeKind::B, std::move(bytes)); }

AttributeValue MakeBool(bool flag) {
    AttributeValue value = OfKind(AttributeKind::Bool);
    value.boolean = flag;
    return value;
}

AttributeValue MakeNull() {
    AttributeValue value = OfKind(AttributeKind::Null);
    value.boolean = true;
    return value;
}

AttributeValue MakeL(std::vector<AttributeValue> items) {
    AttributeValue value = OfKind(AttributeKind::L);
    value.list = std::move(items);
    return value;
}

AttributeValue MakeM(AttributeMap members) {
    AttributeValue value = OfKind(AttributeKind::M);
    value.map = std::move(members);
    return value;
}

AttributeValue MakeSS(std::vector<std::string> texts) { return WithSet(AttributeKind::SS, std::move(texts)); }
AttributeValue MakeNS(std::vector<std::string> digits) { return WithSet(AttributeKind::NS, std::move(digits)); }
AttributeValue MakeBS(std::vector<std::string> bytes) { return WithSet(AttributeKind::BS, std::move(bytes)); }

const char* AttributeKindName(AttributeKind kind) {
    for (const KindName& entry : kKindNames) {
        if (entry.kind == kind) return entry.name;
    }
    return "";
}

nlohmann::json AttributeValueToWire(const AttributeValue& value) {
    nlohmann::json wire = nlohmann::json::object();
    wire[AttributeKindName(value.kind)] = MemberToWire(value);
    return wire;
}

nlohmann::json AttributeMapToWire(const AttributeMap& map) {
    nlohmann::json wire = nlohmann::json::object();
    for (const auto& member : map) wire[member.first] = AttributeValueToWire(member.second);
    return wire;
}

bool AttributeValueFromWire(const nlohmann::json& wire, AttributeValue* out, std::string* error) {
    AttributeValue value;
    if (!ReadValue(wire, &value, error, 0)) return false;
    if (out != nullptr) *out = std::move(value);
    return true;
}

bool AttributeMapFromWire(const nlohmann::json& wire, AttributeMap* out, std::string* error) {
    AttributeMap map;
    if (!ReadMap(wire, &map, error, 0)) return false;
    if (out != nullptr) *out = std::move(map);
    return true;
}
