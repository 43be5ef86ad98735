#include "model/taper_list.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/wave_model.h"
#include "log/log.h"

namespace {
// Checks a taper input against one card, with that card's warning.
bool TaperInputAcceptable(const WaveModel* card, const TaperBase_t* rows, int32_t count, double sgFluid) {
    if (rows == nullptr) {
        LogMessage("Warning: %s New taper cant be NULL", card->name);
        return false;
    }
    if (count <= 0) {
        LogMessage("Warning: %s New tapercount must be valid", card->name);
        return false;
    }
    if (!std::isfinite(sgFluid)) {
        LogMessage("Warning: %s New taper fluid specific gravity must be finite", card->name);
        return false;
    }
    return true;
}

// A taper without a positive length keeps its place but adds nothing to the string: the host
// must learn that its string is shorter than the tapers it gave.
void LogTapersLeftOut(WaveModel* const* cards, int32_t cardCount, const TaperBase_t* rows, int32_t count) {
    char names[sizeof(WaveModel::name) * 3] = "";
    for (int32_t c = 0; c < cardCount; ++c) {
        if (c > 0) std::strncat(names, "/", sizeof names - std::strlen(names) - 1);
        std::strncat(names, cards[c]->name, sizeof names - std::strlen(names) - 1);
    }
    for (int32_t i = 0; i < count; ++i) {
        if (rows[i].L > 0) continue;
        LogMessage("Warning: %s Taper #%d (%.32s) has length %f ft: it is kept but left out of the rod string", names, i,
                   rows[i].id, rows[i].L);
    }
}

TaperList* NewTaperList(const TaperBase_t* rows, int32_t count, double sgFluid) {
    TaperList* list = static_cast<TaperList*>(std::calloc(1, sizeof(TaperList)));
    if (list == nullptr) {
        LogMessage("MALLOC ERROR");
        return nullptr;
    }
    if (!BuildTaperList(list, rows, count)) {
        std::free(list);
        return nullptr;
    }
    UpdateTaperTotals(list, sgFluid);
    return list;
}
}  // namespace

bool SetCardsTapers(WaveModel* const* cards, int32_t cardCount, const TaperBase_t* rows, int32_t count,
                    double sgFluid) {
    constexpr int32_t kMaxCards = 3;
    if (cards == nullptr || cardCount < 1 || cardCount > kMaxCards) return false;
    bool acceptable = true;
    for (int32_t c = 0; c < cardCount; ++c) {
        acceptable = TaperInputAcceptable(cards[c], rows, count, sgFluid) && acceptable;
    }
    if (!acceptable) return false;
    LogTapersLeftOut(cards, cardCount, rows, count);
    // Every new list is built before any old one goes, so running out of memory changes nothing.
    TaperList* built[kMaxCards] = {};
    for (int32_t c = 0; c < cardCount; ++c) {
        built[c] = NewTaperList(rows, count, sgFluid);
        if (built[c] != nullptr) continue;
        for (int32_t k = 0; k < c; ++k) FreeTaperList(built[k]);
        return false;
    }
    for (int32_t c = 0; c < cardCount; ++c) {
        FreeTaperList(cards[c]->tapers);
        cards[c]->tapers = built[c];
        cards[c]->cdtDirty = 1;
        cards[c]->nodesDirty = 1;
    }
    return true;
}

bool SetCardTapers(WaveModel* card, const TaperBase_t* rows, int32_t count, double sgFluid) {
    return SetCardsTapers(&card, 1, rows, count, sgFluid);
}
