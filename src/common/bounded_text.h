#pragma once
#include <cstddef>

// Copies text into a fixed field, NUL-terminated, keeping at most size-1 bytes and never
// cutting a UTF-8 character in two. Source and destination may be the same field.
void CopyBoundedText(char* field, size_t size, const char* text);
