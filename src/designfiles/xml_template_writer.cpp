#include "designfiles/xml_template_writer.h"

#include <cstring>
#include <new>
#include <string>

#include "designfiles/atomic_save.h"
#include "log/log.h"
#include "model/tesk_obj.h"

namespace {

// The first line of every saved file, as the XML library writes it by default.
const char kDeclaration[] = "<?xml version=\"1.0\"?>\n";

// Collects the saved document in one text, without a stream's extra copy.
struct TextWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

// A name holding "]]>" cannot stay one CDATA section: the saved file would split it in two and
// a reader would see only the first part. It becomes escaped text instead.
void FillWellName(const TeskObj* obj, pugi::xml_document& doc, const WellNamePath& wellName) {
    pugi::xml_node element = doc.document_element().child(wellName.inputName).child(wellName.wellNameElement);
    pugi::xml_node text = element.last_child();
    if (text.type() == pugi::node_cdata && std::strstr(obj->wellName, "]]>") != nullptr) {
        element.remove_child(text);
        text = element.append_child(pugi::node_pcdata);
    }
    if (text.type() == pugi::node_pcdata || text.type() == pugi::node_cdata) text.set_value(obj->wellName);
}

}  // namespace

pugi::xml_parse_result LoadTemplateXml(pugi::xml_document* doc, const char* text) {
    return doc->load_string(text, pugi::parse_default | pugi::parse_ws_pcdata);
}

bool SaveTemplateWithWellName(const TeskObj* obj, const char* path, pugi::xml_document& doc,
                              const WellNamePath& wellName) {
    try {
        FillWellName(obj, doc, wellName);
        TextWriter out;
        out.text = kDeclaration;
        doc.save(out, "", pugi::format_raw | pugi::format_no_declaration);
        out.text += '\n';
        return SaveFileAtomically(path, out.text.data(), out.text.size());
    } catch (const std::bad_alloc&) {
        LogMessage("MALLOC ERROR");
    } catch (...) {
        LogMessage("Error: the design template could not be saved");
    }
    return false;
}
