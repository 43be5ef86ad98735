#include "cloud/aws/url_path.h"

#include <vector>

namespace {

bool IsUnreserved(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

bool StartsEscape(const std::string& text, size_t at) {
    return text[at] == '%' && at + 2 < text.size() && IsHexDigit(text[at + 1]) && IsHexDigit(text[at + 2]);
}

// Empty segments and "." dropped, ".." taking the segment before it away.
std::string WithoutDotSegments(const std::string& path) {
    std::vector<std::string> kept;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) end = path.size();
        const std::string segment = path.substr(start, end - start);
        if (segment == "..") {
            if (!kept.empty()) kept.pop_back();
        } else if (!segment.empty() && segment != ".") {
            kept.push_back(segment);
        }
        start = end + 1;
    }
    std::string out = "/";
    for (size_t i = 0; i < kept.size(); ++i) out += (i == 0 ? "" : "/") + kept[i];
    if (!kept.empty() && path.back() == '/') out += '/';
    return out;
}

}  // namespace

std::string PercentEncodedPath(const std::string& path, bool keepEscapes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsUnreserved(c) || c == '/' || (keepEscapes && StartsEscape(path, i))) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += digits[c >> 4];
            out += digits[c & 0x0f];
        }
    }
    return out;
}

std::string NormalizedRequestPath(const std::string& path) {
    if (path.empty()) return "/";
    return PercentEncodedPath(WithoutDotSegments(path), true);
}
