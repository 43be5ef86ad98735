#include "designfiles/json_rules.h"

#include <cmath>

#include "log/log.h"

void ThrowFormatError(const std::string& what) { throw Json::type_error::create(302, what, nullptr); }

const Json& MemberOrNull(const Json& object, const char* key) {
    static const Json missing;
    if (!object.is_object()) return missing;
    const auto found = object.find(key);
    return found != object.end() ? *found : missing;
}

double RequiredNumber(const Json& object, const char* key) {
    if (!object.is_object()) ThrowFormatError(std::string("a section holding \"") + key + "\" must be an object");
    const Json& value = MemberOrNull(object, key);
    if (!value.is_number()) ThrowFormatError(std::string("\"") + key + "\" must be a number");
    return value.get<double>();
}

double NumberAt(const Json& row, size_t index) {
    if (!row.is_array() || index >= row.size()) ThrowFormatError("a row is too short");
    const Json& value = row[index];
    if (!value.is_number()) ThrowFormatError("a row element must be a number");
    return value.get<double>();
}

double MemberNumber(const Json& element, const char* key) {
    const auto found = element.find(key);
    if (found == element.end()) return 0.0;
    if (!found->is_number()) ThrowFormatError(std::string("\"") + key + "\" must be a number");
    return found->get<double>();
}

int32_t RequiredInt32(const Json& value) {
    if (value.is_boolean()) return value.get<bool>() ? 1 : 0;
    if (value.is_number_unsigned()) {
        if (value.get<uint64_t>() <= static_cast<uint64_t>(INT32_MAX)) return static_cast<int32_t>(value.get<uint64_t>());
    } else if (value.is_number_integer()) {
        const int64_t number = value.get<int64_t>();
        if (number >= INT32_MIN && number <= INT32_MAX) return static_cast<int32_t>(number);
    } else if (value.is_number_float()) {
        const double number = std::trunc(value.get<double>());
        if (number >= INT32_MIN && number <= INT32_MAX) return static_cast<int32_t>(number);
    } else {
        ThrowFormatError("a version element must be a number");
    }
    ThrowFormatError("a version element is out of range");
}

bool ReadOptionalFloat(const Json& object, const char* key, double* value) {
    const Json& member = MemberOrNull(object, key);
    if (!member.is_number_float()) return false;
    *value = member.get<double>();
    return true;
}

double OptionalFloat(const Json& object, const char* key, double fallback) {
    double value = fallback;
    ReadOptionalFloat(object, key, &value);
    return value;
}

int32_t OptionalCount(const Json& object, const char* key, int32_t fallback, int32_t cap) {
    const Json& member = MemberOrNull(object, key);
    if (!member.is_number_integer()) return fallback;
    if (!member.is_number_unsigned() && member.get<int64_t>() < 0) {
        LogMessage("Warning: \"%s\" is negative; %d is used", key, fallback);
        return fallback;
    }
    if (member.get<uint64_t>() > static_cast<uint64_t>(cap)) {
        LogMessage("Warning: \"%s\" is above %d; %d is used", key, cap, cap);
        return cap;
    }
    return static_cast<int32_t>(member.get<uint64_t>());
}

bool ReadOptionalBool(const Json& object, const char* key, uint8_t* value) {
    const Json& member = MemberOrNull(object, key);
    if (!member.is_boolean()) return false;
    *value = member.get<bool>() ? 1 : 0;
    return true;
}
