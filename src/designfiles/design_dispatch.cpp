#include "designfiles/design_dispatch.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

#include <pugixml.hpp>

#include "common/whole_file.h"
#include "designfiles/builtin_templates.h"
#include "designfiles/design_document.h"
#include "designfiles/design_reader.h"
#include "designfiles/qrod_file.h"
#include "designfiles/rodstar_file.h"
#include "designfiles/srod_file.h"
#include "designfiles/xml_template_writer.h"
#include "designfiles/xml_values.h"
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

// Largest export template read: a template is the frame of one design, a few kilobytes, and
// its document and the file filled from it are held in memory together.
constexpr int64_t kMaxTemplateBytes = 1024 * 1024;

// The most bytes a design file of the type may have: the XML formats take sixteen times their
// size once parsed and JSON is slow to parse, so theirs are lower than the whole-file limit.
int64_t ReadLimitOf(char type) {
    if (type == kRodstarType || type == kSrodType) return kMaxXmlDesignBytes;
    return type == kTeskType ? kMaxJsonDesignBytes : kMaxWholeFileBytes;
}

// The size and memory steps of a whole-file read have the same lines for designs and templates.
void LogSizeOrMemoryFailure(WholeFileStatus status, const WholeFile& file, const char* what, int64_t limit) {
    if (status == WholeFileStatus::TooLarge) {
        LogMessage("Error: the %s is %lld bytes, above the limit of %lld; it was not read", what,
                   static_cast<long long>(file.size), static_cast<long long>(limit));
        return;
    }
    LogMessage(status == WholeFileStatus::SizeFailed ? "Error getting file size" : "Error allocating memory");
}

bool LogReadFailure(WholeFileStatus status, const WholeFile& file, int64_t limit) {
    if (status == WholeFileStatus::Ok) return true;
    if (status == WholeFileStatus::OpenFailed) {
        LogMessage("Error opening design file! errno:%d", file.errorNumber);
    } else if (status == WholeFileStatus::ReadFailed) {
        LogMessage("Error reading design file! errno:%d, filesize:%lld, items_read=%d", file.errorNumber,
                   static_cast<long long>(file.size), static_cast<int>(file.itemsRead));
    } else {
        LogSizeOrMemoryFailure(status, file, "design file", limit);
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
        LogSizeOrMemoryFailure(status, file, "design template", kMaxTemplateBytes);
    }
    return false;
}

// Every reader takes UTF-8 text ending at its first NUL: a UTF-16 file would be read as a few
// stray bytes and a NUL inside a file would silently cut it, so both are refused as a whole.
bool TextIsUtf16(const char* text, const char* what) {
    const unsigned char first = static_cast<unsigned char>(text[0]);
    if (first != 0xFF && first != 0xFE) return false;
    const unsigned char second = first == 0xFF ? 0xFE : 0xFF;
    if (static_cast<unsigned char>(text[1]) != second) return false;
    LogMessage("Error: the %s is UTF-16 (it starts with the byte-order mark %02X %02X); only UTF-8 is read", what,
               first, second);
    return true;
}

bool BytesReadable(const WholeFile& file, const char* what) {
    if (TextIsUtf16(file.data, what)) return false;
    const void* nul = std::memchr(file.data, '\0', static_cast<size_t>(file.size));
    if (nul == nullptr) return true;
    LogMessage("Error: the %s holds a NUL byte at offset %lld; it was not read", what,
               static_cast<long long>(static_cast<const char*>(nul) - file.data));
    return false;
}

// Reads a template whole and NUL-terminated, within the template limit.
WholeFileStatus ReadTemplate(const char* templatePath, WholeFile* file, FileBuffer* text) {
    const WholeFileStatus status = ReadWholeFile(templatePath, 1, file, kMaxTemplateBytes);
    if (status != WholeFileStatus::Ok) return status;
    text->reset(file->data);
    text->get()[file->size] = '\0';
    return status;
}

// What the XML parser says of a template file it could not have, as when it read the file itself.
const char* XmlTemplateFailure(WholeFileStatus status, const WholeFile& file) {
    pugi::xml_parse_result result;
    result.status = status == WholeFileStatus::OpenFailed                          ? pugi::status_file_not_found
                    : status == WholeFileStatus::AllocFailed                       ? pugi::status_out_of_memory
                    : status == WholeFileStatus::ReadFailed && file.size == 0      ? pugi::status_no_document_element
                                                                                   : pugi::status_io_error;
    return result.description();
}

// The built-in XML templates are shared by every object: they are parsed from a copy.
bool WriteFromBuiltInXml(TeskObj* obj, const char* path, char type) {
    const bool rodstar = type == kRodstarType;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = LoadTemplateXml(&doc, rodstar ? RodstarTemplate : SrodTemplate);
    if (!parsed) {
        LogMessage(rodstar ? "Couldn't load default rodstar file template: %s"
                           : "Couldn't load default srod file template: %s",
                   parsed.description());
        return false;
    }
    return rodstar ? WriteDesignFileRodstar(obj, path, doc) : WriteDesignFileSrod(obj, path, doc);
}

bool WriteFromXmlTemplateFile(TeskObj* obj, const char* path, const char* templatePath, char type) {
    const char* const failureLine = type == kRodstarType ? "Couldn't load custom rodstar file template: %s"
                                                         : "Couldn't load custom srod file template: %s";
    WholeFile file;
    FileBuffer text;
    const WholeFileStatus status = ReadTemplate(templatePath, &file, &text);
    if (status == WholeFileStatus::TooLarge) {
        LogSizeOrMemoryFailure(status, file, "design template", kMaxTemplateBytes);
        return false;
    }
    if (status != WholeFileStatus::Ok) {
        LogMessage(failureLine, XmlTemplateFailure(status, file));
        return false;
    }
    if (!BytesReadable(file, "design template")) return false;
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = LoadTemplateXml(&doc, text.get());
    if (!parsed) {
        LogMessage(failureLine, parsed.description());
        return false;
    }
    return type == kRodstarType ? WriteDesignFileRodstar(obj, path, doc) : WriteDesignFileSrod(obj, path, doc);
}

bool WriteFromQrodTemplateFile(TeskObj* obj, const char* path, const char* templatePath) {
    LogMessage("Opening file: %s", templatePath);
    WholeFile file;
    FileBuffer text;
    if (!LogTemplateReadFailure(ReadTemplate(templatePath, &file, &text), file)) return false;
    if (!BytesReadable(file, "design template")) return false;
    QrodRecords records = ParseQrodRecords(text.get());
    return WriteDesignFileQrod(obj, path, std::move(records));
}

}  // namespace

bool ReadDesignFile(TeskObj* obj, const char* path) {
    if (path != nullptr) LogMessage("Opening file: %s", path);
    const char type = DesignFileType(path);
    const int64_t limit = ReadLimitOf(type);
    WholeFile file;
    if (!LogReadFailure(ReadWholeFile(path, 1, &file, limit), file, limit)) return false;
    const FileBuffer text(file.data);
    text.get()[file.size] = '\0';
    if (!IsKnownType(type)) {
        LogMessage("Unsupported File Type");
        return false;
    }
    return BytesReadable(file, "design file") && ReadDesignText(obj, text.get(), type);
}

bool ReadDesignText(TeskObj* obj, char* text, char type) {
    if (!IsKnownType(type)) return false;
    if (text != nullptr && TextIsUtf16(text, "design text")) return false;
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
