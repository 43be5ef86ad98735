#pragma once
#include <cstddef>

// Replaces the file at `path` with `size` bytes of `data` so that a reader never sees a half
// written file and a failure never costs the old one: the bytes go to a new temporary file in
// the target's folder, are flushed to the disk, and the temporary is then renamed over the
// target. An existing target keeps its permission bits. On any failure the temporary is
// removed, the old file is left as it was, one log line names the path and errno, and the
// result is false. A symbolic link at `path` keeps pointing where it did and its target is
// replaced; a device or other special file is written in place, never replaced.
bool SaveFileAtomically(const char* path, const void* data, size_t size);
