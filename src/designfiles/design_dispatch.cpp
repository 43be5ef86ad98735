#include "designfiles/design_dispatch.h"

#include <cstdlib>

#include "designfiles/design_document.h"
#include "designfiles/design_reader.h"
#include "designfiles/whole_file.h"
#include "log/log.h"

namespace {

// The QROD, Rodstar and SROD formats are not part of this build; they fail loudly.
bool RefuseMissingFormat(char type) {
    const char* name = type == kQrodType ? "QROD" : type == kRodstarType ? "Rodstar" : "SROD";
    LogMessage("ERROR: %s design files are not supported by this build", name);
    return false;
}

bool IsMissingFormat(char type) { return type == kQrodType || type == kRodstarType || type == kSrodType; }

bool LogReadFailure(WholeFileStatus status, const WholeFile& file) {
    switch (status) {
        case WholeFileStatus::OpenFailed:
            LogMessage("Error opening design file! errno:%d", file.errorNumber);
            break;
        case WholeFileStatus::SizeFailed:
            LogMessage("Error getting file size");
            break;
        case WholeFileStatus::TooLarge:
            LogMessage("Error: the design file is %lld bytes, above the limit of %lld; it was not read",
                       static_cast<long long>(file.size), static_cast<long long>(kMaxWholeFileBytes));
            break;
        case WholeFileStatus::AllocFailed:
            LogMessage("Error allocating memory");
            break;
        case WholeFileStatus::ReadFailed:
            LogMessage("Error reading design file! errno:%d, filesize:%lld, items_read=%d", file.errorNumber,
                       static_cast<long long>(file.size), static_cast<int>(file.itemsRead));
            break;
        case WholeFileStatus::Ok:
            return true;
    }
    return false;
}

}  // namespace

bool ReadDesignFile(TeskObj* obj, const char* path) {
    if (path != nullptr) LogMessage("Opening file: %s", path);
    WholeFile file;
    if (!LogReadFailure(ReadWholeFile(path, 1, &file), file)) return false;
    file.data[file.size] = '\0';
    const char type = DesignFileType(path);
    bool result = false;
    if (type == kTeskType || IsMissingFormat(type)) {
        result = ReadDesignText(obj, file.data, type);
    } else {
        LogMessage("Unsupported File Type");
    }
    std::free(file.data);
    return result;
}

bool ReadDesignText(TeskObj* obj, char* text, char type) {
    if (type == kTeskType) return ParseDesignFileTesk(obj, text);
    if (IsMissingFormat(type)) return RefuseMissingFormat(type);
    return false;
}

bool SaveDesignFile(TeskObj* obj, const char* path) {
    const char type = DesignFileType(path);
    if (type == kTeskType) return WriteDesignFileTesk(obj, path);
    if (IsMissingFormat(type)) return RefuseMissingFormat(type);
    LogMessage("Unsupported File Type");
    return false;
}

bool SaveDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath) {
    const char type = DesignFileType(path);
    if (type != DesignFileType(templatePath)) {
        LogMessage("Export file and template types do not match. Export Failed.");
        return false;
    }
    LogMessage("WriteDesignFileWithTemplate %c", type);
    if (IsMissingFormat(type)) return RefuseMissingFormat(type);
    LogMessage("Unsupported File Type");
    return false;
}
