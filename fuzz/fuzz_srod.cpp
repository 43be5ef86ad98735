// Feeds arbitrary bytes to the SROD reader. The tubing it builds must be as long as the rod
// string it loaded.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "designfiles/srod_file.h"
#include "fuzz_quiet.h"
#include "fuzz_text.h"
#include "fuzz_taper_checks.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    TeskObj obj;
    std::vector<char> text = NulTerminatedText(data, size);
    ParseDesignFileSrod(&obj, text.data());
    AbortOnUnusableTaper(obj);
    const TaperList* tapers = obj.pred.tapers;
    const TubingList* tubing = obj.pred.tubings;
    if (tubing != nullptr && tubing->count > 0 && (tapers == nullptr || !(tubing->items[0].L == tapers->totalLength))) {
        std::abort();
    }
    return 0;
}
