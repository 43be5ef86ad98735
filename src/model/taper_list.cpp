#include "model/taper_list.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "catalog/rod_weights.h"
#include "log/log.h"
#include "model/tubing_list.h"
#include "model/wave_model.h"

namespace {
constexpr double kWaterDensity = 62.4;  // lb/ft3
constexpr double kSquareInchesPerSquareFoot = 144;
constexpr double kGravity = 32.1739;  // ft/s2

double Pi() { return 4 * std::atan(1.0); }

void FillTaperItem(TaperItem* item, const TaperBase_t& row) {
    CopyTaperId(item->id, row.id);
    item->L = row.L;
    item->D = row.D;
    item->T = row.T;
    item->W = row.W > 0 ? row.W : GetRodWeightPerFoot(row.D);
    item->E = row.E > 0 ? row.E : kSteelModulus;
    item->R = row.R > 0 ? row.R : kSteelDensity;
    item->rodSg = item->R / kWaterDensity;
    item->area = item->D * item->D * Pi() * 0.25;
    item->EA = item->area * item->E;
    // Left to right, not by the folded 4633.0416: that rounds differently in the last bit and
    // can move a node count at a taper boundary.
    item->waveSpeed = std::sqrt(item->E * kSquareInchesPerSquareFoot * kGravity / item->R);
    item->stretchPerFt = 12 / item->EA;
}

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
    list->halfPiOverLength = Pi() / (2 * list->totalLength);
}

void FreeTaperList(TaperList* list) {
    if (list == nullptr) return;
    std::free(list->items);
    std::free(list);
}

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
