#include "model/taper_list.h"

#include <cstdlib>

#include "log/log.h"
#include "model/tubing_list.h"
#include "model/wave_model.h"

void FreeTaperList(TaperList* list) {
    if (list == nullptr) return;
    std::free(list->items);
    std::free(list);
}

TaperList* GetTaperList(WaveModel* card) { return card->tapers; }

TaperItem* FindLastTaper(TaperList* list) {
    if (list == nullptr) return nullptr;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        if (list->items[i].L > 0) return &list->items[i];
    }
    return nullptr;
}

double GetPumpDepth(WaveModel* card) {
    if (card->tubings != nullptr && card->tubings->count > 0) return card->tubings->pumpDepth;
    TaperItem* last = FindLastTaper(card->tapers);
    return last != nullptr ? last->top + last->L : 0.0;
}

void PrintTaperList(TaperList* list) {
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& t = list->items[i];
        LogMessage("%.32s L: %0.2f D: %0.3f", t.id, t.L, t.D);
    }
}
