#include "common/whole_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

WholeFileStatus ReadOpenFile(std::FILE* stream, size_t spareBytes, int64_t maxBytes, WholeFile* file) {
    struct stat status {};
    if (fstat(fileno(stream), &status) != 0) {
        file->errorNumber = errno;
        return WholeFileStatus::SizeFailed;
    }
    file->size = static_cast<int64_t>(status.st_size);
    if (file->size < 0 || static_cast<uint64_t>(file->size) > SIZE_MAX - spareBytes) {
        file->errorNumber = EFBIG;
        return WholeFileStatus::SizeFailed;
    }
    if (file->size > maxBytes) {
        file->errorNumber = EFBIG;
        return WholeFileStatus::TooLarge;
    }
    const size_t size = static_cast<size_t>(file->size);
    file->data = static_cast<char*>(std::malloc(size + spareBytes));
    if (file->data == nullptr) {
        file->errorNumber = ENOMEM;
        return WholeFileStatus::AllocFailed;
    }
    errno = 0;
    file->itemsRead = std::fread(file->data, size, 1, stream);
    if (file->itemsRead != 1) {
        file->errorNumber = errno;
        std::free(file->data);
        file->data = nullptr;
        return WholeFileStatus::ReadFailed;
    }
    return WholeFileStatus::Ok;
}

}  // namespace

WholeFileStatus ReadWholeFile(const char* path, size_t spareBytes, WholeFile* file, int64_t maxBytes) {
    *file = WholeFile{};
    if (path == nullptr) {
        file->errorNumber = EINVAL;
        return WholeFileStatus::OpenFailed;
    }
    std::FILE* stream = std::fopen(path, "rb");
    if (stream == nullptr) {
        file->errorNumber = errno;
        return WholeFileStatus::OpenFailed;
    }
    const WholeFileStatus status = ReadOpenFile(stream, spareBytes, maxBytes, file);
    std::fclose(stream);
    return status;
}
