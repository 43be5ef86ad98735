#include "designfiles/xml_template_writer.h"

#include <cstring>
#include <new>
#include <sstream>
#include <string>

#include "designfiles/atomic_save.h"
#include "log/log.h"
#include "model/tesk_obj.h"

namespace {

// A name holding "]]>" cannot stay one CDATA section: the saved file would split it in two and
// a reader would see only the first part. It becomes escaped text instead.
void FillWellName(const TeskObj* obj, pugi::xml_document& doc, const WellNamePath& wellName) {
    pugi::xml_node element = doc.first_child().child(wellName.inputName).child(wellName.wellNameElement);
    pugi::xml_node text = element.last_child();
    if (text.type() == pugi::node_cdata && std::strstr(obj->wellName, "]]>") != nullptr) {
        element.remove_child(text);
        text = element.append_child(pugi::node_pcdata);
    }
    if (text.type() == pugi::node_pcdata || text.type() == pugi::node_cdata) text.set_value(obj->wellName);
}

}  // namespace

bool SaveTemplateWithWellName(const TeskObj* obj, const char* path, pugi::xml_document& doc,
                              const WellNamePath& wellName) {
    try {
        FillWellName(obj, doc, wellName);
        std::ostringstream out;
        doc.save(out, "\t");
        const std::string text = out.str();
        return SaveFileAtomically(path, text.data(), text.size());
    } catch (const std::bad_alloc&) {
        LogMessage("MALLOC ERROR");
    } catch (...) {
        LogMessage("Error: the design template could not be saved");
    }
    return false;
}
