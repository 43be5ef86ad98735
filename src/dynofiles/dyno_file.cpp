#include <cstdlib>

#include "common/whole_file.h"
#include "dynofiles/dyno_text.h"
#include "log/log.h"

bool LoadDynFile(TeskObj* obj, const char* path) {
    if (path != nullptr) LogMessage("Opening file: %s", path);
    WholeFile file;
    // Two spare bytes: a line end so the last line is ended like the others, and the NUL.
    switch (ReadWholeFile(path, 2, &file)) {
        case WholeFileStatus::OpenFailed:
            LogMessage("Error opening dyno file! errno:%d", file.errorNumber);
            return false;
        case WholeFileStatus::SizeFailed:
            LogMessage("Error getting file size");
            return false;
        case WholeFileStatus::TooLarge:
            LogMessage("Error: the dyno file is %lld bytes, above the limit of %lld; it was not read",
                       static_cast<long long>(file.size), static_cast<long long>(kMaxWholeFileBytes));
            return false;
        case WholeFileStatus::AllocFailed:
            LogMessage("Error allocating memory");
            return false;
        case WholeFileStatus::ReadFailed:
            LogMessage("Error reading dyno file! errno:%d", file.errorNumber);
            return false;
        case WholeFileStatus::Ok:
            break;
    }
    const size_t size = static_cast<size_t>(file.size);
    file.data[size] = '\n';
    file.data[size + 1] = '\0';
    const bool loaded = LoadDynText(obj, file.data);
    std::free(file.data);
    return loaded;
}
