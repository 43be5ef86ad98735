// Feeds arbitrary bytes to the Rodstar reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "designfiles/rodstar_file.h"
#include "fuzz_quiet.h"
#include "fuzz_text.h"
#include "fuzz_taper_checks.h"
#include "model/tesk_obj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    TeskObj obj;
    std::vector<char> text = NulTerminatedText(data, size);
    ParseDesignFileRodstar(&obj, text.data());
    AbortOnUnusableTaper(obj);
    return 0;
}
