#include "designfiles/design_dispatch.h"

#include <cstdlib>
#include <memory>
#include <utility>

#include <pugixml.hpp>

#include "designfiles/builtin_templates.h"
#include "designfiles/design_document.h"
#include "designfiles/design_reader.h"
#include "designfiles/qrod_file.h"
#include "designfiles/rodstar_file.h"
#include "designfiles/srod_file.h"
#include "designfiles/whole_file.h"
#include "log/log.h"

namespace {

// A whole-file buffer is freed on every path, also when a reader throws.
struct FreeDeleter {
    void operator()(char* data) const { std::free(data); }
};
using FileBuffer = std::unique_ptr<char, FreeDeleter>;

bool IsKnownType(char type) {
    return type == kQrodType || type == kRodstarType || type == kSrodType || type == kTeskType;
}

// The size and memory steps of a whole-file read have the same lines for designs and templates.
void LogSizeOrMemoryFailure(WholeFileStatus status, const WholeFile& file) {
    if (status == WholeFileStatus::TooLarge) {
        LogMessage("Error: the design file is %lld bytes, above the limit of %lld; it was not read",
                   static_cast<long long>(file.size), static_cast<long long>(kMaxWholeFileBytes));
        return;
    }
    LogMessage(status == WholeFileStatus::SizeFailed ? "Error getting file size" : "Error allocating memory");
}

bool LogReadFailure(WholeFileStatus status, const WholeFile& file) {
    if (status == WholeFileStatus::Ok) return true;
    if (status == WholeFileStatus::OpenFailed) {
        LogMessage("Error opening design file! errno:%d", file.errorNumber);
    } else if (status == WholeFileStatus::ReadFailed) {
        LogMessage("Error reading design file! errno:%d, filesize:%lld, items_read=%d", file.errorNumber,
                   static_cast<long long>(file.size), static_cast<int>(file.itemsRead));
    } else {
        LogSizeOrMemoryFailure(status, file);
    }
    return false;
}

bool LogTemplateReadFailure(WholeFileStatus status, const WholeFile& file) {
    if (status == WholeFileStatus::Ok) return true;
    if (status == WholeFileStatus::OpenFailed) {
        LogMessage("Error Opening qrod file!");
    } else if (status == WholeFileStatus::ReadFailed) {
        LogMessage("Error reading design file template! errno:%d", file.errorNumber);
    } else {
        LogSizeOrMemoryFailure(status, file);
    }
    return false;
}

// The built-in XML templates are shared by every object: they are parsed from a copy.
bool WriteFromBuiltInXml(TeskObj* obj, const char* path, char type) {
    const bool rodstar = type == kRodstarType;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_string(rodstar ? RodstarTemplate : SrodTemplate);
    if (!parsed) {
        LogMessage(rodstar ? "Couldn't load default rodstar file template: %s"
                           : "Couldn't load default srod file template: %s",
                   parsed.description());
        return false;
    }
    return rodstar ? WriteDesignFileRodstar(obj, path, doc) : WriteDesignFileSrod(obj, path, doc);
}

bool WriteFromXmlTemplateFile(TeskObj* obj, const char* path, const char* templatePath, char type) {
    const bool rodstar = type == kRodstarType;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_file(templatePath);
    if (!parsed) {
        LogMessage(rodstar ? "Couldn't load custom rodstar file template: %s"
                           : "Couldn't load custom srod file template: %s",
                   parsed.description());
        return false;
    }
    return rodstar ? WriteDesignFileRodstar(obj, path, doc) : WriteDesignFileSrod(obj, path, doc);
}

bool WriteFromQrodTemplateFile(TeskObj* obj, const char* path, const char* templatePath) {
    LogMessage("Opening file: %s", templatePath);
    WholeFile file;
    if (!LogTemplateReadFailure(ReadWholeFile(templatePath, 1, &file), file)) return false;
    const FileBuffer text(file.data);
    text.get()[file.size] = '\0';
    QrodRecords records = ParseQrodRecords(text.get());
    return WriteDesignFileQrod(obj, path, std::move(records));
}

}  // namespace

bool ReadDesignFile(TeskObj* obj, const char* path) {
    if (path != nullptr) LogMessage("Opening file: %s", path);
    WholeFile file;
    if (!LogReadFailure(ReadWholeFile(path, 1, &file), file)) return false;
    const FileBuffer text(file.data);
    text.get()[file.size] = '\0';
    const char type = DesignFileType(path);
    if (IsKnownType(type)) return ReadDesignText(obj, text.get(), type);
    LogMessage("Unsupported File Type");
    return false;
}

bool ReadDesignText(TeskObj* obj, char* text, char type) {
    switch (type) {
        case kTeskType:
            return ParseDesignFileTesk(obj, text);
        case kQrodType:
            return ParseDesignFileQrod(obj, text);
        case kRodstarType:
            return ParseDesignFileRodstar(obj, text);
        case kSrodType:
            return ParseDesignFileSrod(obj, text);
        default:
            return false;
    }
}

bool SaveDesignFile(TeskObj* obj, const char* path) {
    const char type = DesignFileType(path);
    switch (type) {
        case kTeskType:
            return WriteDesignFileTesk(obj, path);
        case kQrodType:
            return WriteDesignFileQrod(obj, path, ParseQrodRecords(QrodTemplate));
        case kRodstarType:
        case kSrodType:
            return WriteFromBuiltInXml(obj, path, type);
        default:
            LogMessage("Unsupported File Type");
            return false;
    }
}

bool SaveDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath) {
    const char type = DesignFileType(path);
    if (type != DesignFileType(templatePath)) {
        LogMessage("Export file and template types do not match. Export Failed.");
        return false;
    }
    LogMessage("WriteDesignFileWithTemplate %c", type);
    switch (type) {
        case kQrodType:
            return WriteFromQrodTemplateFile(obj, path, templatePath);
        case kRodstarType:
        case kSrodType:
            return WriteFromXmlTemplateFile(obj, path, templatePath, type);
        default:
            LogMessage("Unsupported File Type");
            return false;
    }
}
