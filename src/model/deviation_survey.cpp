#include "model/deviation_survey.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <utility>

#include "log/log.h"
#include "model/tesk_obj.h"

namespace {

bool ValidSurveyInput(int32_t count, bool arraysPresent) {
    if (count < 0) {
        LogMessage("Error: invalid deviation survey count %d", count);
        return false;
    }
    if (count > 0 && !arraysPresent) {
        LogMessage("Error: deviation survey needs its arrays");
        return false;
    }
    return true;
}

DeviationPoint_t MakeStation(int32_t index, double md, double inclination, double azimuth) {
    DeviationPoint_t station{};
    station.index = index;
    station.md = md;
    station.inclination = inclination;
    station.azimuth = azimuth;
    return station;
}

// Builds the new survey aside and swaps it in, so a failed allocation keeps the old one.
template <typename StationAt>
bool ReplaceSurvey(TeskObj* obj, int32_t count, StationAt stationAt) {
    try {
        std::vector<DeviationPoint_t> survey(static_cast<size_t>(count));
        for (int32_t i = 0; i < count; ++i) survey[static_cast<size_t>(i)] = stationAt(i);
        obj->deviationSurvey.swap(survey);
        return true;
    } catch (const std::bad_alloc&) {
        LogMessage("ERROR: Deviation memory failed");
        return false;
    }
}

void ReleaseRows(std::vector<MiaPoint_t>* rows) { std::vector<MiaPoint_t>().swap(*rows); }

}  // namespace

bool StoreDeviationSurvey(TeskObj* obj, int32_t count, const double* md, const double* inclination,
                          const double* azimuth) {
    if (!ValidSurveyInput(count, md != nullptr && inclination != nullptr && azimuth != nullptr)) return false;
    return ReplaceSurvey(obj, count, [&](int32_t i) { return MakeStation(i, md[i], inclination[i], azimuth[i]); });
}

bool StoreDeviationSurveyRows(TeskObj* obj, int32_t count, const MiaPoint_t* rows) {
    if (!ValidSurveyInput(count, rows != nullptr)) return false;
    const bool stored = ReplaceSurvey(obj, count, [&](int32_t i) {
        return MakeStation(i, rows[i].md, rows[i].inclination, rows[i].azimuth);
    });
    if (stored && count > 0) obj->wellDepth = rows[count - 1].md;
    return stored;
}

bool SetDeviationSurveyFromRows(TeskObj* obj, std::vector<MiaPoint_t>* rows) {
    if (rows->size() > static_cast<size_t>(INT32_MAX)) {
        LogMessage("Error: invalid deviation survey count %zu", rows->size());
        ReleaseRows(rows);
        return false;
    }
    const bool stored = StoreDeviationSurveyRows(obj, static_cast<int32_t>(rows->size()), rows->data());
    ReleaseRows(rows);
    return stored;
}

void CopyDeviationSurvey(const TeskObj* obj, DeviationPoint_t* out) {
    if (obj->deviationSurvey.empty()) return;
    std::copy(obj->deviationSurvey.begin(), obj->deviationSurvey.end(), out);
}
