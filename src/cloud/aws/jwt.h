#pragma once
#include <nlohmann/json.hpp>
#include <string>

// A JSON Web Token read without checking its signature.
struct JwtContent {
    nlohmann::json header;
    nlohmann::json payload;
};

// True when the token is three dot-separated base64url parts whose first two decode to
// JSON objects (the third, the signature, must decode too but may be empty).
bool DecodeJwt(const std::string& token, JwtContent* out);

// A claim of the payload when it is a string; `fallback` when it is missing or of
// another type.
std::string JwtStringClaim(const nlohmann::json& payload, const std::string& name, const std::string& fallback);
