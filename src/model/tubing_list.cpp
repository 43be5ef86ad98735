#include "model/tubing_list.h"

#include <cstdlib>

#include "engine/wave_model.h"
#include "log/log.h"

namespace {
bool TubingInputAcceptable(const WaveModel* card, const TubingBase_t* rows, int32_t count) {
    if (rows == nullptr) {
        LogMessage("Warning: %s New tubing cant be NULL", card->name);
        return false;
    }
    if (count <= 0) {
        LogMessage("Warning: %s New tubingcount must be valid", card->name);
        return false;
    }
    return true;
}

TubingList* NewTubingList(const TubingBase_t* rows, int32_t count) {
    TubingList* list = static_cast<TubingList*>(std::calloc(1, sizeof(TubingList)));
    if (list == nullptr) {
        LogMessage("MALLOC ERROR");
        return nullptr;
    }
    if (!BuildTubingList(list, rows, count)) {
        std::free(list);
        return nullptr;
    }
    UpdateTubingTotals(list);
    return list;
}

}  // namespace

bool SetCardsTubings(WaveModel* const* cards, int32_t cardCount, const TubingBase_t* rows, int32_t count) {
    constexpr int32_t kMaxCards = 3;
    if (cards == nullptr || cardCount < 1 || cardCount > kMaxCards) return false;
    bool acceptable = true;
    for (int32_t c = 0; c < cardCount; ++c) acceptable = TubingInputAcceptable(cards[c], rows, count) && acceptable;
    if (!acceptable) return false;
    // Every new list is built before any old one goes, so running out of memory changes nothing.
    TubingList* built[kMaxCards] = {};
    for (int32_t c = 0; c < cardCount; ++c) {
        built[c] = NewTubingList(rows, count);
        if (built[c] != nullptr) continue;
        for (int32_t k = 0; k < c; ++k) FreeTubingList(built[k]);
        return false;
    }
    for (int32_t c = 0; c < cardCount; ++c) {
        FreeTubingList(cards[c]->tubings);
        cards[c]->tubings = built[c];
    }
    return true;
}

bool SetCardTubings(WaveModel* card, const TubingBase_t* rows, int32_t count) {
    return SetCardsTubings(&card, 1, rows, count);
}
