// Feeds arbitrary bytes to the own design-format reader, then writes the resulting design back.
#include <cstddef>
#include <cstdint>
#include <string>

#include "designfiles/design_document.h"
#include "designfiles/design_reader.h"
#include "fuzz_quiet.h"
#include "model/tesk_obj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    TeskObj obj;
    const std::string text(reinterpret_cast<const char*>(data), size);
    ParseDesignFileTesk(&obj, text.c_str());
    try {
        // Whatever the reader stored must serialise; invalid UTF-8 is the only refusal.
        WriteDesignJson(&obj).dump();
    } catch (const nlohmann::json::type_error& e) {
        if (e.id != 316) throw;
    }
    return 0;
}
