#pragma once
#include <string>

#include <nlohmann/json.hpp>

// The compact text of a JSON value (no white space, UTF-8 as it is). False when a string in it
// is not valid UTF-8, which no JSON text may carry.
bool CompactJsonText(const nlohmann::json& value, std::string* text);

// Whether the text is valid UTF-8.
bool IsUtf8(const std::string& text);
