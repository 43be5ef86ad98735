#include <cerrno>
#include <cstdio>
#include <exception>
#include <string>

#include "designfiles/design_document.h"
#include "log/log.h"

namespace {

// Compact, with text outside ASCII written as it is; invalid UTF-8 throws.
bool SerialiseDesign(const TeskObj* obj, std::string* text) {
    try {
        *text = WriteDesignJson(obj).dump(-1, ' ', false, nlohmann::json::error_handler_t::strict);
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
    std::FILE* stream = std::fopen(path, "w");
    if (stream == nullptr) {
        LogMessage("Error writing design file! errno:%d", errno);
        return false;
    }
    const size_t written = std::fwrite(text.data(), 1, text.size(), stream);
    const int writeError = std::ferror(stream) ? errno : 0;
    if (std::fclose(stream) != 0 || written != text.size()) {
        LogMessage("Error writing design file! errno:%d", writeError != 0 ? writeError : errno);
        return false;
    }
    return true;
}
