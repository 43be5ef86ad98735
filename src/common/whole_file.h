#pragma once
#include <cstddef>
#include <cstdint>

// Why reading a whole file stopped; the caller picks the log line, which differs per file kind.
enum class WholeFileStatus { Ok, OpenFailed, SizeFailed, TooLarge, AllocFailed, ReadFailed };

// Largest file read whole: no design or dyno card comes near it, and a larger one is refused
// before any of it is read or allocated. Callers whose format is heavier to hold than its
// bytes pass a lower limit of their own.
constexpr int64_t kMaxWholeFileBytes = 256LL * 1024 * 1024;

// A file read whole into one malloc'd buffer of its size plus the requested spare bytes.
struct WholeFile {
    char* data = nullptr;  // owned by the caller once read; free() it
    int64_t size = 0;      // bytes of content
    int errorNumber = 0;   // errno of the failed step
    size_t itemsRead = 0;  // 1 when the content was read in one piece
};

// Opens `path` for binary reading, takes its size from the opened file (64-bit), allocates
// size + spareBytes and reads the content as one item; the file is closed on every path and
// the buffer freed on failure. A null path fails as an open with EINVAL. Sizes whose buffer
// would not fit in memory arithmetic fail as SizeFailed, files above `maxBytes` as TooLarge (the
// file's size is then in `size`). An empty file fails as ReadFailed.
WholeFileStatus ReadWholeFile(const char* path, size_t spareBytes, WholeFile* file,
                              int64_t maxBytes = kMaxWholeFileBytes);
