#include "cloud/aws/jwt.h"

#include "cloud/aws/base64.h"

namespace {

bool DecodeJsonObjectPart(const std::string& part, nlohmann::json* out) {
    std::string text;
    if (part.empty() || !Base64UrlDecode(part, &text)) return false;
    nlohmann::json value = nlohmann::json::parse(text, nullptr, false);
    if (!value.is_object()) return false;
    *out = std::move(value);
    return true;
}

}  // namespace

bool DecodeJwt(const std::string& token, JwtContent* out) {
    const size_t firstDot = token.find('.');
    if (firstDot == std::string::npos) return false;
    const size_t secondDot = token.find('.', firstDot + 1);
    if (secondDot == std::string::npos || token.find('.', secondDot + 1) != std::string::npos) return false;
    JwtContent content;
    std::string signature;
    if (!DecodeJsonObjectPart(token.substr(0, firstDot), &content.header) ||
        !DecodeJsonObjectPart(token.substr(firstDot + 1, secondDot - firstDot - 1), &content.payload) ||
        !Base64UrlDecode(token.substr(secondDot + 1), &signature)) {
        return false;
    }
    if (out != nullptr) *out = std::move(content);
    return true;
}

std::string JwtStringClaim(const nlohmann::json& payload, const std::string& name, const std::string& fallback) {
    if (!payload.is_object()) return fallback;
    auto member = payload.find(name);
    if (member == payload.end() || !member->is_string()) return fallback;
    return member->get<std::string>();
}
