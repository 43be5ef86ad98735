#pragma once
#include <cstddef>

// Replaces the file at `path` with the `size` bytes of `data` so that no failure can cost the
// file that was there: the bytes go to a temporary file in the same folder, which is flushed to
// disk and then renamed over the target. On any failure the temporary file is removed, an
// existing file is left as it was, errno tells why and the result is false.
bool SaveFileAtomically(const char* path, const void* data, size_t size);
