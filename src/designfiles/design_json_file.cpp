#include <cerrno>
#include <exception>
#include <string>

#include "designfiles/atomic_save.h"
#include "designfiles/design_document.h"
#include "log/log.h"

namespace {

using Json = nlohmann::json;

bool IsUtf8(const std::string& text) {
    try {
        Json(text).dump(-1, ' ', false, Json::error_handler_t::strict);
        return true;
    } catch (const Json::type_error&) {
        return false;
    }
}

// Text cut through a multi-byte character, or read in another encoding, is saved with its
// invalid bytes replaced rather than making the whole design unsaveable; the host hears which key.
void WarnOfInvalidText(const Json& value, const std::string& key) {
    if (value.is_string()) {
        if (!IsUtf8(value.get_ref<const std::string&>())) {
            LogMessage("Warning: the text of %s is not valid UTF-8; its invalid bytes are written as U+FFFD",
                       key.c_str());
        }
    } else if (value.is_object()) {
        for (const auto& member : value.items()) WarnOfInvalidText(member.value(), key + "/" + member.key());
    } else if (value.is_array()) {
        for (size_t i = 0; i < value.size(); ++i) WarnOfInvalidText(value[i], key + "/" + std::to_string(i));
    }
}

// Compact, with text outside ASCII written as it is.
bool SerialiseDesign(const TeskObj* obj, std::string* text) {
    try {
        const Json doc = WriteDesignJson(obj);
        WarnOfInvalidText(doc, "");
        *text = doc.dump(-1, ' ', false, Json::error_handler_t::replace);
        return true;
    } catch (const std::exception& e) {
        LogMessage("Error: the design could not be serialised: %s", e.what());
        return false;
    }
}

}  // namespace

bool WriteDesignFileTesk(const TeskObj* obj, const char* path) {
    if (path == nullptr) {
        LogMessage("Error writing design file! errno:%d", EINVAL);
        return false;
    }
    std::string text;
    if (!SerialiseDesign(obj, &text)) return false;
    return SaveFileAtomically(path, text.data(), text.size());
}
