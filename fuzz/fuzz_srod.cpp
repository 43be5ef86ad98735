// Feeds arbitrary bytes to the SROD reader. Every taper it loads must have a usable diameter,
// and the tubing it builds must be as long as the rod string.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "designfiles/srod_file.h"
#include "fuzz_quiet.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    TeskObj obj;
    std::vector<char> text(data, data + size);
    text.push_back('\0');
    ParseDesignFileSrod(&obj, text.data());
    const TaperList* tapers = obj.pred.tapers;
    for (int32_t i = 0; tapers != nullptr && i < tapers->count; ++i) {
        if (!(std::isfinite(tapers->items[i].D) && tapers->items[i].D > 0)) std::abort();
    }
    const TubingList* tubing = obj.pred.tubings;
    if (tubing != nullptr && tubing->count > 0 && (tapers == nullptr || !(tubing->items[0].L == tapers->totalLength))) {
        std::abort();
    }
    return 0;
}
