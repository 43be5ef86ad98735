#include "model/tubing_list.h"

#include <cstdlib>

#include "log/log.h"
#include "model/wave_model.h"

void FreeTubingList(TubingList* list) {
    if (list == nullptr) return;
    std::free(list->items);
    std::free(list);
}

TubingList* GetTubingList(WaveModel* card) { return card->tubings; }

double GetAnchorDepth(WaveModel* card) {
    if (card->tubings != nullptr && card->tubings->count > 0) return card->tubings->anchorDepth;
    return -1.0;
}

void PrintTubingList(TubingList* list) {
    for (int32_t i = 0; i < list->count; ++i) {
        LogMessage("Tubing L: %0.2f OD: %0.3f", list->items[i].L, list->items[i].OD);
    }
}
