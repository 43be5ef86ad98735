#pragma once
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

#include "cloud/aws/attribute_value.h"

// The "design" attribute of a stored design: a DynamoDB map holding a fixed selection of the
// design document (versions, well depth, and per section the fluid, pump, pressure, depth and
// speed values, the measured card and the prediction settings), and the way back to JSON.
//
// Floating-point and integer members are different kinds: a rule that wants one refuses the
// other. Measured values are stored rounded to single precision and printed with six decimals
// (so 1e-7 is stored as 0.000000), and read back as single-precision values. That precision is
// what stored designs have always had, and it is kept so that old and new items read alike.
// Numbers are printed and read with '.' whatever the host's locale.

// The map of the document, in *out (kind M). A member its rule refuses is left out, with the
// rule's log line where it has one. False, with one log line, when the document cannot be
// converted at all: the document or a section is neither an object nor null, or a "dyn" point
// is not an array beginning with two numbers.
bool JsonToAttributeValue(const nlohmann::json& document, AttributeValue* out);

// The JSON object of a stored map, in *out (null when the value is no map). The N of a member
// that JsonToAttributeValue writes by the float rule (well_depth, and per section the depths,
// fluid, pressures, speed, fo, fillage, compression and the pump's values) is read as a
// single-precision number whatever its text, since DynamoDB gives "8" back for "8.000000";
// other N texts with a '.' are read as single-precision numbers, the rest as 32-bit integers.
// B, SS, NS, BS and NULL entries are dropped. False, with the reason in *error (which may be
// null; nothing is logged: the text came from a server), when a number text cannot be read or
// lies outside its range.
bool AttributeValueToJson(const AttributeValue& value, nlohmann::json* out, std::string* error = nullptr);

// Member rules: each adds the member `key` of `object` to the map `map` (kind M) when the
// member has the rule's JSON type, and returns whether it did. A missing key counts as null.
bool SetFloatOnMapAttr(const char* key, AttributeValue& map, const nlohmann::json& object);
bool SetIntOnMapAttr(const char* key, AttributeValue& map, const nlohmann::json& object);
bool SetListOnMapAttr(const char* key, AttributeValue& map, const nlohmann::json& object);
bool SetMapOnMapAttr(const char* key, AttributeValue& map, const nlohmann::json& object);
bool SetBoolOnMapAttr(const char* key, AttributeValue& map, const nlohmann::json& object);
bool SetStringOnMapAttr(const char* key, AttributeValue& map, const nlohmann::json& object);

// N texts: an integer in decimal; a float widened to double and a double, both with six
// decimals in fixed notation ("-1.000000").
AttributeValue SetNFromInt(int32_t value);
AttributeValue SetNFromFloat(float value);
AttributeValue SetNFromDouble(double value);
