#pragma once
#include <string>

// Header names, URL schemes and the like are ASCII: lower-case them without the locale.
inline std::string AsciiLower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}
