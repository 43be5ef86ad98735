#include "cloud/json_text.h"

bool CompactJsonText(const nlohmann::json& value, std::string* text) {
    try {
        *text = value.dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
        return true;
    } catch (const nlohmann::json::type_error&) {
        return false;
    }
}

bool IsUtf8(const std::string& text) {
    std::string ignored;
    return CompactJsonText(nlohmann::json(text), &ignored);
}
