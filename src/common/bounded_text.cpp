#include "common/bounded_text.h"

#include <cstring>

void CopyBoundedText(char* field, size_t size, const char* text) {
    if (size == 0) return;
    size_t length = strnlen(text, size);
    if (length >= size) {
        length = size - 1;
        // Step back over continuation bytes so a multi-byte character is dropped whole.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memmove(field, text, length);
    field[length] = '\0';
}
