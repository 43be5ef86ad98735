#pragma once
// The readers take a writable text that ends in a NUL; fuzz input is neither.
#include <cstddef>
#include <cstdint>
#include <vector>

inline std::vector<char> NulTerminatedText(const uint8_t* data, size_t size) {
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    return text;
}
