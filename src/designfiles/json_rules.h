#pragma once
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

// The rules by which the own design format's reader takes values. JSON text holds only finite
// numbers (the parser refuses 1e999). A value a required rule refuses raises the JSON
// library's type_error, which ends the reader with "A JSON error occurred".
using Json = nlohmann::json;

[[noreturn]] void ThrowFormatError(const std::string& what);

// The member, or null when `object` lacks it or is not an object.
const Json& MemberOrNull(const Json& object, const char* key);
// Required number: present and a number (integer or floating-point).
double RequiredNumber(const Json& object, const char* key);
// A number element of a row, with a bounds check.
double NumberAt(const Json& row, size_t index);
// Member of a taper or tubing element: 0 when missing, else it must be a number.
double MemberNumber(const Json& element, const char* key);
// A number or boolean as a 32-bit int, a floating-point number cut toward zero; a value
// outside the int32 range is an error.
int32_t RequiredInt32(const Json& value);

// Optional float: taken only when the member is a floating-point number (an integer such as 8
// is ignored).
bool ReadOptionalFloat(const Json& object, const char* key, double* value);
double OptionalFloat(const Json& object, const char* key, double fallback);
// Optional count: an integer in 0..cap. Above the cap it is capped, below 0 the fallback is
// taken, each with a warning; any other kind gives the fallback.
int32_t OptionalCount(const Json& object, const char* key, int32_t fallback, int32_t cap);
// Optional boolean: taken only when the member is a boolean.
bool ReadOptionalBool(const Json& object, const char* key, uint8_t* value);
