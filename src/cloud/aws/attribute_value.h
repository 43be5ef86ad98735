#pragma once
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// One DynamoDB attribute value. Only the member that belongs to `kind` is meaningful.
enum class AttributeKind { S, N, B, Bool, Null, L, M, SS, NS, BS };

struct AttributeValue {
    AttributeKind kind = AttributeKind::Null;
    std::string text;                        // S, N (digits as text), B (raw bytes)
    bool boolean = false;                    // BOOL
    std::vector<AttributeValue> list;        // L
    std::map<std::string, AttributeValue> map;  // M
    std::vector<std::string> set;            // SS, NS (texts), BS (raw bytes)
};

using AttributeMap = std::map<std::string, AttributeValue>;

bool operator==(const AttributeValue& a, const AttributeValue& b);
inline bool operator!=(const AttributeValue& a, const AttributeValue& b) { return !(a == b); }

AttributeValue MakeS(std::string text);
AttributeValue MakeN(std::string digits);
AttributeValue MakeB(std::string bytes);
AttributeValue MakeBool(bool value);
AttributeValue MakeNull();
AttributeValue MakeL(std::vector<AttributeValue> items);
AttributeValue MakeM(AttributeMap members);
AttributeValue MakeSS(std::vector<std::string> texts);
AttributeValue MakeNS(std::vector<std::string> digits);
AttributeValue MakeBS(std::vector<std::string> bytes);

// The kind's wire name: "S", "N", "B", "BOOL", "NULL", "L", "M", "SS", "NS", "BS".
const char* AttributeKindName(AttributeKind kind);

// Wire form: {"S":"x"}, {"B":"<base64>"}, {"M":{...}}, ... The text of S, N and SS/NS
// must be valid UTF-8 for the request to be sent (the call reports it otherwise).
nlohmann::json AttributeValueToWire(const AttributeValue& value);
nlohmann::json AttributeMapToWire(const AttributeMap& map);

// DynamoDB nests attribute values at most 32 levels deep.
constexpr int kMaxAttributeDepth = 32;

// Reading never throws: anything but a well-formed value (not an object, no key or two
// keys, an unknown kind, a member of the wrong JSON type, bad base64, nesting deeper than
// kMaxAttributeDepth levels) gives false and a short reason in `error` (which may be null).
bool AttributeValueFromWire(const nlohmann::json& wire, AttributeValue* out, std::string* error);
bool AttributeMapFromWire(const nlohmann::json& wire, AttributeMap* out, std::string* error);
