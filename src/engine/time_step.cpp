#include "engine/time_step.h"

#include <cfloat>
#include <cmath>

#include "common/constants.h"
#include "engine/taper_list.h"
#include "engine/wave_model.h"
#include "log/log.h"

bool ToGridCount(double value, int32_t limit, int32_t* count) {
    if (!(value >= 0) || !(value <= static_cast<double>(limit))) return false;
    *count = static_cast<int32_t>(value);
    return true;
}

bool ExceedsBeyondRounding(double a, double b) { return b >= 0 ? a > b * (1 + 1e-12) : a > b; }

namespace {

// The point count a time step gives for the log lines, -1 when it is no count at all.
int32_t PointCountForLog(double period, double dt) {
    int32_t count = -1;
    return ToGridCount(std::ceil(period / dt), INT32_MAX, &count) ? count : -1;
}

double ShortestTaperLength(const TaperList* list) {
    double shortest = DBL_MAX;
    for (int32_t i = 0; i < list->count; ++i) {
        if (list->items[i].L < shortest) shortest = list->items[i].L;
    }
    return shortest;
}

double SlowestValidWaveSpeed(const TaperList* list) {
    double slowest = DBL_MAX;
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& taper = list->items[i];
        if (IsValidTaper(taper) && taper.waveSpeed < slowest) slowest = taper.waveSpeed;
    }
    return slowest;
}

// Gives "PRED" the point count of one period at its new time step, or no points at all when
// the step yields none; the card arrays follow either way. A count beyond the limit is kept in
// unbuiltGrid for the run to report with the whole grid.
bool SetPredPointCount(WaveModel* card, double rawCount) {
    int32_t count = 0;
    const bool valid = ToGridCount(rawCount, kMaxPredPointCount, &count) && count >= 1;
    card->PointCount = valid ? count : 0;
    AllocCardArrays(card);
    const bool tooMany = rawCount > kMaxPredPointCount && std::isfinite(rawCount);
    card->unbuiltGrid.points = tooMany ? rawCount : 0;
    if (!valid && !tooMany) LogMessage("Warning: %s UpdateCDTs() called without valid PointCount", card->name);
    return valid;
}

void UpdateDampingConstants(WaveModel* card) {
    const TaperList* list = card->tapers;
    const double aMin = SlowestValidWaveSpeed(list);
    card->cUp = (kPi * card->dampUp * aMin) / (list->totalLength + list->totalLength);
    card->cUpDt = card->cUp * card->DT;
    card->cDn = (kPi * card->dampDn * aMin) / (list->totalLength + list->totalLength);
    card->cDnDt = card->cDn * card->DT;
}

}  // namespace

double FindOptimalPredDT(WaveModel* card) {
    TaperList* list = card->tapers;
    const double dt0 = card->period / card->desiredPointCount;
    const double aMax = GetMaxWaveSpeed(list);
    const double lMin = ShortestTaperLength(list);
    int32_t n = 0;
    if (!ToGridCount(std::ceil(lMin / card->predNodeLength), kMaxNodeCount, &n)) {
        LogMessage("Invalid Node Count");
        card->sectionNodeCount = 0;
        return 0.0;
    }
    double dx = lMin / card->nodesPerSection;
    int32_t count = n;
    double dt = dt0;
    if (n < card->nodesPerSection) {
        count = card->nodesPerSection;
        dt = dx / aMax;
    }
    if (dx > card->predNodeLength) {
        dx = card->predNodeLength;
        dt = card->predNodeLength / aMax;
        count = n;
    }
    const double vDt = aMax * dt;
    if (ExceedsBeyondRounding(vDt, dx)) {
        LogMessage("TODO: FindOptimalPredDT() FAIL stability tmpPointCount:%d tmpNodeCount:%d tmpDX:%f tmpDT:%f, vDt:%f",
                   PointCountForLog(card->period, dt), count, dx, dt, vDt);
        dt = dx / aMax;
        LogMessage("TODO: FindOptimalPredDT() NEW --------> tmpPointCount:%d tmpNodeCount:%d tmpDX:%f tmpDT:%f, vDt:%f",
                   PointCountForLog(card->period, dt), count, dx, dt, vDt);
    }
    card->sectionNodeCount = count;
    return dt;
}

bool UpdateCDTs(WaveModel* card) {
    card->unbuiltGrid.points = 0;
    TaperList* list = card->tapers;
    if (list == nullptr) {
        LogMessage("Warning: %s UpdateCDTs() called before the taper was set", card->name);
        return false;
    }
    if (card->isDiag == 1) {
        if (card->PointCount < 1) {
            LogMessage("Warning: %s UpdateCDTs() called without valid PointCount", card->name);
            return false;
        }
        card->DT = card->period / card->PointCount;
    } else if (card->fixedGrid != 0) {
        // The legacy grid: 23 nodes, and a step 15% inside the stability limit of the fastest taper.
        card->sectionNodeCount = 23;
        const double aMax = GetMaxWaveSpeed(list);
        card->DT = list->totalLength / 22 / aMax / 1.15;
        if (!SetPredPointCount(card, std::round(card->period / card->DT))) return false;
    } else {
        card->DT = FindOptimalPredDT(card);
        if (!SetPredPointCount(card, std::ceil(card->period / card->DT))) return false;
    }
    UpdateDampingConstants(card);
    return true;
}
