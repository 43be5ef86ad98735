#include "engine/tubing_list.h"

#include <algorithm>
#include <cstdlib>

#include "engine/wave_model.h"
#include "log/log.h"

namespace {
// Length of a section [top, bottom] that lies above the pump.
double LengthAbovePump(double top, double bottom, double length, double pumpDepth) {
    if (pumpDepth >= bottom) return length;
    if (top < pumpDepth && pumpDepth < bottom) return length - (bottom - pumpDepth);
    return 0;
}
}  // namespace

bool BuildTubingList(TubingList* list, const TubingBase_t* rows, int32_t count) {
    *list = TubingList{};
    if (rows == nullptr || count <= 0) return false;
    list->items = static_cast<TubingItem*>(std::calloc(static_cast<size_t>(count), sizeof(TubingItem)));
    if (list->items == nullptr) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    list->count = count;
    for (int32_t i = 0; i < count; ++i) {
        const TubingBase_t& row = rows[i];
        list->items[i] = TubingItem{row.L, row.ID, row.OD, row.weight, row.W, row.T, row.E, row.R, 0};
        if (IsValidTubing(list->items[i])) ++list->validCount;
    }
    return true;
}

double UpdateTubingTotals(TubingList* list) {
    if (list == nullptr) return 0;
    list->validCount = 0;
    list->totalLength = list->Kt = list->KtWhole = 0;
    double anchoredStretch = 0;
    double stretchAbovePump = 0;
    for (int32_t i = 0; i < list->count; ++i) {
        TubingItem& s = list->items[i];
        if (!IsValidTubing(s)) continue;
        ++list->validCount;
        s.top = list->totalLength;
        list->totalLength += s.L;
        const double bottom = list->totalLength;
        if (list->anchorDepth < list->pumpDepth) {
            const double overlap = std::min(list->pumpDepth, bottom) - std::max(list->anchorDepth, s.top);
            if (overlap > 0) anchoredStretch += overlap * s.E;
        }
        stretchAbovePump += LengthAbovePump(s.top, bottom, s.L, list->pumpDepth) * s.E;
    }
    list->Kt = anchoredStretch != 0 ? 1 / anchoredStretch : 0;
    list->KtWhole = stretchAbovePump != 0 ? 1 / stretchAbovePump : 0;
    return list->Kt;
}

void FreeTubingList(TubingList* list) {
    if (list == nullptr) return;
    std::free(list->items);
    std::free(list);
}

TubingList* GetTubingList(WaveModel* card) {
    if (card->tubings != nullptr && card->tubings->count > 0) return card->tubings;
    LogMessage("Warning: %s Trying to get a Tubing before it was set", card->name);
    return card->tubings;
}

double GetAnchorDepth(WaveModel* card) {
    if (card->tubings != nullptr && card->tubings->count > 0) return card->tubings->anchorDepth;
    return -1.0;
}

void PrintTubingList(TubingList* list) {
    if (list == nullptr) return;
    LogMessage("Total Tubing Length: %0.2lf", list->totalLength);
    for (int32_t i = 0; i < list->count; ++i) {
        const TubingItem& s = list->items[i];
        if (!IsValidTubing(s)) {
            LogMessage("\tTubing[%d] Invalid Tubing Length", i);
            continue;
        }
        LogMessage("\tTubing[%d] L:%0.2lf OD:%0.4lf Start:%0.2lf End:%0.2lf", i, s.L, s.OD, s.top, s.top + s.L);
    }
    LogMessage("\t  Pump Depth: %f", list->pumpDepth);
    LogMessage("\tAnchor Depth: %f", list->anchorDepth);
    LogMessage("\tKt: %f", list->Kt);
}
