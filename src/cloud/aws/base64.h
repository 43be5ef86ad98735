#pragma once
#include <string>

// Standard base64 with padding, as DynamoDB carries binary values.
std::string Base64Encode(const std::string& bytes);
// Strict: only the standard alphabet, length a multiple of four, padding only at the end.
bool Base64Decode(const std::string& text, std::string* bytes);
// The URL-safe alphabet as JSON Web Tokens use it; padding is optional.
bool Base64UrlDecode(const std::string& text, std::string* bytes);
