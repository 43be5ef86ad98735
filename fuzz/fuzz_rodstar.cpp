// Feeds arbitrary bytes to the Rodstar reader. Every taper it loads must have a usable
// diameter, as the solvers divide by the rod area.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "designfiles/rodstar_file.h"
#include "fuzz_quiet.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    TeskObj obj;
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    ParseDesignFileRodstar(&obj, text.data());
    const TaperList* tapers = obj.pred.tapers;
    for (int32_t i = 0; tapers != nullptr && i < tapers->count; ++i) {
        if (!(std::isfinite(tapers->items[i].D) && tapers->items[i].D > 0)) std::abort();
    }
    return 0;
}
