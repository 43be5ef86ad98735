// Feeds arbitrary bytes to the dyno-card text reader.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "dynofiles/dyno_text.h"
#include "engine/fourier.h"
#include "fuzz_quiet.h"
#include "fuzz_text.h"
#include "model/measured_card.h"
#include "model/tesk_obj.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    TeskObj obj;
    // Small upscaled card and fit, so a load also runs the Fourier refit and the resampling.
    ApplyUpscaledPointCount(&obj, 32);
    ApplyFourierCoeffCount(&obj, &obj.fourier->pos, obj.meas.surfacePos, 4);
    ApplyFourierCoeffCount(&obj, &obj.fourier->load, obj.meas.surfaceLoad, 4);
    std::vector<char> text = NulTerminatedText(data, size);
    LoadDynText(&obj, text.data());
    return 0;
}
