#include "engine/solve_checks.h"

#include <cmath>

#include "engine/fourier.h"
#include "log/log.h"
#include "engine/taper_list.h"
#include "engine/wave_model.h"

bool CardRodWeightsKnown(const WaveModel* card, const char* solverName) {
    const TaperList* list = card != nullptr ? card->tapers : nullptr;
    const TaperItem* taper = FindStandInWeight(list);
    if (taper == nullptr) return true;
    LogMessage("Error: %s Taper #%d (%.32s) has no rod weight for its diameter %f", card->name,
               static_cast<int>(taper - list->items), taper->id, taper->D);
    LogMessage("Cannot run %s() because all fields have not been set.", solverName);
    return false;
}

bool CardSamplesFinite(const WaveModel* card, const char* solverName) {
    if (card == nullptr || card->surfacePos == nullptr || card->surfaceLoad == nullptr) return true;
    for (int32_t i = 0; i < card->PointCount; ++i) {
        const double pos = card->surfacePos[i];
        const double load = card->surfaceLoad[i];
        if (std::isfinite(pos) && std::isfinite(load)) continue;
        LogMessage("Error: %s surface card point %d of %d is not a finite number (position %f, load %f)", card->name,
                   i, card->PointCount, pos, load);
        LogMessage("Cannot run %s() because all fields have not been set.", solverName);
        return false;
    }
    return true;
}

bool UpscaledCardFitted(const CardFourierFit* fit) {
    return fit != nullptr && fit->pos.count >= 1 && fit->load.count >= 1;
}
