#include "engine/taper_list.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "catalog/rod_weights.h"
#include "common/constants.h"
#include "engine/tubing_list.h"
#include "engine/wave_model.h"
#include "log/log.h"

namespace {
constexpr double kWaterDensity = 62.4;  // lb/ft3

void FillTaperItem(TaperItem* item, const TaperBase_t& row) {
    CopyTaperId(item->id, row.id);
    item->L = row.L;
    item->D = row.D;
    item->T = row.T;
    item->W = row.W > 0 ? row.W : GetRodWeightPerFoot(row.D);
    item->E = row.E > 0 ? row.E : kSteelModulus;
    item->R = row.R > 0 ? row.R : kSteelDensity;
    item->rodSg = item->R / kWaterDensity;
    item->area = item->D * item->D * kPi * 0.25;
    item->EA = item->area * item->E;
    // Left to right, not by the folded 4633.0416: that rounds differently in the last bit and
    // can move a node count at a taper boundary.
    item->waveSpeed = std::sqrt(item->E * kSquareInchesPerSquareFoot * kGravity / item->R);
    item->stretchPerFt = kInchesPerFoot / item->EA;
}

}  // namespace

void CopyTaperId(char (&field)[32], const char* id) {
    const size_t length = id != nullptr ? strnlen(id, sizeof field) : 0;
    std::memset(field, 0, sizeof field);
    if (length > 0) std::memcpy(field, id, length);
}

bool BuildTaperList(TaperList* list, const TaperBase_t* rows, int32_t count) {
    *list = TaperList{};
    if (rows == nullptr || count <= 0) return false;
    list->items = static_cast<TaperItem*>(std::calloc(static_cast<size_t>(count), sizeof(TaperItem)));
    if (list->items == nullptr) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    list->count = count;
    for (int32_t i = 0; i < count; ++i) {
        FillTaperItem(&list->items[i], rows[i]);
        if (IsValidTaper(list->items[i])) ++list->validCount;
    }
    return true;
}

void UpdateTaperTotals(TaperList* list, double sgFluid) {
    if (list == nullptr) return;
    list->Rwf = list->rodWeight = list->totalLength = list->stretchSum = list->waveRoundTrip = 0;
    double speedLengthSum = 0;
    for (int32_t i = 0; i < list->count; ++i) {
        TaperItem& t = list->items[i];
        if (!IsValidTaper(t)) continue;
        t.top = list->totalLength;
        list->totalLength += t.L;
        list->stretchSum += t.stretchPerFt * t.L;
        t.buoyantWpf = (1 - sgFluid / t.rodSg) * t.W;
        list->rodWeight += t.L * t.W;
        list->Rwf += (1 - sgFluid / t.rodSg) * (t.L * t.W);
        list->waveRoundTrip += 2 * (t.L / t.waveSpeed);
        speedLengthSum += t.waveSpeed * t.L;
    }
    list->meanWaveSpeed = list->totalLength != 0 ? speedLengthSum / list->totalLength : 0;
    list->Kr = list->stretchSum != 0 ? 1 / list->stretchSum : 0;
    // An empty string is infinitely short for the Fourier terms; infinity is the intended value.
    list->halfPiOverLength = kPi / (2 * list->totalLength);
}

void FreeTaperList(TaperList* list) {
    if (list == nullptr) return;
    std::free(list->items);
    std::free(list);
}

const TaperItem* FindStandInWeight(const TaperList* list) {
    if (list == nullptr || list->items == nullptr) return nullptr;
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& taper = list->items[i];
        if (IsValidTaper(taper) && taper.W == kUnsupportedRodWeight) return &taper;
    }
    return nullptr;
}

TaperList* GetTaperList(WaveModel* card) {
    if (card->tapers == nullptr) LogMessage("Warning: %s Trying to get a taper before it was set", card->name);
    return card->tapers;
}

TaperItem* FindLastTaper(TaperList* list) {
    if (list == nullptr) return nullptr;
    for (int32_t i = list->count - 1; i >= 0; --i) {
        if (IsValidTaper(list->items[i])) return &list->items[i];
    }
    return nullptr;
}

double GetPumpDepth(WaveModel* card) {
    if (card->tubings != nullptr && card->tubings->count > 0) return card->tubings->pumpDepth;
    TaperItem* last = card->tapers != nullptr && card->tapers->count > 0 ? FindLastTaper(card->tapers) : nullptr;
    return last != nullptr ? last->top + last->L : 0.0;
}

int32_t GetRodSectionIndex(TaperList* list, double depth) {
    if (depth < 0) return 0;
    int32_t lastValid = -1;
    if (list != nullptr && !std::isnan(depth)) {
        for (int32_t i = 0; i < list->count; ++i) {
            const TaperItem& t = list->items[i];
            if (!IsValidTaper(t)) continue;
            if (t.top + t.L > depth) return i;
            lastValid = i;
        }
    }
    if (lastValid < 0) LogMessage("GetRodSectionIndex(%lf) had an invalid result", depth);
    return lastValid;
}

double CalcBuoyantWeightBelow(TaperList* list, double depth) {
    if (list == nullptr) return 0;
    double weight = 0;
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& t = list->items[i];
        if (!IsValidTaper(t)) continue;
        if (t.top >= depth) {
            weight += t.buoyantWpf * t.L;
        } else if (depth < t.top + t.L) {
            weight += t.buoyantWpf * (t.L - (depth - t.top));
        }
    }
    return weight;
}

double CalcKrToDepth(TaperList* list, double depth) {
    if (list == nullptr || !(depth > 0)) return 0;
    double top = 0;
    double stretch = 0;
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& t = list->items[i];
        if (!IsValidTaper(t)) continue;
        const double bottom = top + t.L;
        if (depth < bottom) {
            // A depth on a boundary adds nothing more; 0 times an infinite stretch would be NaN.
            if (depth > top) stretch += (depth - top) * t.stretchPerFt;
            break;
        }
        stretch += t.stretchPerFt * t.L;
        top = bottom;
    }
    return stretch != 0 ? 1 / stretch : 0;
}

double GetMaxWaveSpeed(TaperList* list) {
    double fastest = DBL_MIN;
    if (list == nullptr) return fastest;
    for (int32_t i = 0; i < list->count; ++i) {
        if (list->items[i].waveSpeed > fastest) fastest = list->items[i].waveSpeed;
    }
    return fastest;
}

void PrintTaperList(TaperList* list) {
    if (list == nullptr) return;
    LogMessage("Total Rod Length: %0.2lf", list->totalLength);
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& t = list->items[i];
        if (!IsValidTaper(t)) {
            LogMessage("\tTaper[%d] Invalid Taper Length", i);
            continue;
        }
        LogMessage("\tTaper[%d] L:% 8.2lf D:% 7.4lf Start:% 9.2lf End:% 9.2lf (E: % 6.2lf R: %0.2f)", i, t.L, t.D,
                   t.top, t.top + t.L, t.E, t.R);
    }
}
