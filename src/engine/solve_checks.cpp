#include "engine/solve_checks.h"

#include "catalog/rod_weights.h"
#include "engine/fourier.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/wave_model.h"

bool CardRodWeightsKnown(const WaveModel* card, const char* solverName) {
    const TaperList* list = card != nullptr ? card->tapers : nullptr;
    if (list == nullptr || list->items == nullptr) return true;
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& taper = list->items[i];
        if (!IsValidTaper(taper) || taper.W != kUnsupportedRodWeight) continue;
        LogMessage("Error: %s Taper #%d (%.32s) has no rod weight for its diameter %f", card->name, i, taper.id,
                   taper.D);
        LogMessage("Cannot run %s() because all fields have not been set.", solverName);
        return false;
    }
    return true;
}

bool UpscaledCardFitted(const TeskObj* obj) {
    const CardFourierFit* fit = obj->fourier;
    return fit != nullptr && fit->pos.count >= 1 && fit->load.count >= 1;
}
