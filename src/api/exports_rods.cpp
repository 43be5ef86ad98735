// Exports of the rod string and the tubing: setters, getters and the rod spring constant to a depth.
#include <cmath>

#include "api/guard.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/well_inputs.h"

namespace {

int32_t TaperCount(WaveModel* card) {
    const TaperList* list = GetTaperList(card);
    return list != nullptr ? list->count : 0;
}

uint8_t CopyTapersOut(WaveModel* card, TaperBase_t* out, const char* exportName) {
    const TaperList* list = GetTaperList(card);
    if (list == nullptr || list->count <= 0) return 1;
    if (out == nullptr) {
        LogMessage("Error: %s needs a buffer for %d tapers", exportName, list->count);
        return 0;
    }
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& t = list->items[i];
        CopyTaperId(out[i].id, t.id);
        out[i].L = t.L;
        out[i].D = t.D;
        out[i].W = t.W;
        out[i].T = t.T;
        out[i].E = t.E;
        out[i].R = t.R;
    }
    return 1;
}

int32_t TubingCount(WaveModel* card) {
    const TubingList* list = GetTubingList(card);
    return list != nullptr ? list->count : 0;
}

uint8_t CopyTubingsOut(WaveModel* card, TubingBase_t* out, const char* exportName) {
    const TubingList* list = GetTubingList(card);
    if (list == nullptr || list->count <= 0) return 1;
    if (out == nullptr) {
        LogMessage("Error: %s needs a buffer for %d tubing sections", exportName, list->count);
        return 0;
    }
    for (int32_t i = 0; i < list->count; ++i) {
        const TubingItem& s = list->items[i];
        out[i] = TubingBase_t{s.L, s.ID, s.OD, s.weight, s.W, s.T, s.E, s.R};
    }
    return 1;
}
}  // namespace

extern "C" {

TESK_API TaperBase_t BuildTaperBase_t(const char* id, double L, double D, double W, double T, double E, double R) {
    TaperBase_t taper{};
    CopyTaperId(taper.id, id);
    taper.L = L;
    taper.D = D;
    taper.W = W;
    taper.T = T;
    taper.E = E;
    taper.R = R;
    return taper;
}

TESK_API uint8_t SetDiagTapers(TeskObj* obj, const TaperBase_t* tapers, int32_t count, double sgFluid) {
    return WellExport<uint8_t>("SetDiagTapers", obj, 0, [&]() -> uint8_t {
        return StoreTapers(obj, DiagCards(obj), tapers, count, sgFluid) ? 1 : 0;
    });
}

TESK_API uint8_t SetPredTapers(TeskObj* obj, const TaperBase_t* tapers, int32_t count, double sgFluid) {
    return WellExport<uint8_t>("SetPredTapers", obj, 0, [&]() -> uint8_t {
        return StoreTapers(obj, PredCards(obj), tapers, count, sgFluid) ? 1 : 0;
    });
}

TESK_API int32_t GetDiagTaperCount(TeskObj* obj) {
    return WellExport<int32_t>("GetDiagTaperCount", obj, 0, [&] { return TaperCount(&obj->meas); });
}

TESK_API uint8_t GetDiagTapers(TeskObj* obj, TaperBase_t* out) {
    return WellExport<uint8_t>("GetDiagTapers", obj, 0, [&] { return CopyTapersOut(&obj->meas, out, "GetDiagTapers"); });
}

TESK_API int32_t GetPredTaperCount(TeskObj* obj) {
    return WellExport<int32_t>("GetPredTaperCount", obj, 0, [&] { return TaperCount(&obj->pred); });
}

TESK_API uint8_t GetPredTapers(TeskObj* obj, TaperBase_t* out) {
    return WellExport<uint8_t>("GetPredTapers", obj, 0, [&] { return CopyTapersOut(&obj->pred, out, "GetPredTapers"); });
}

TESK_API double CalculateKrToDepth(TeskObj* obj, double depth) {
    return WellExport("CalculateKrToDepth", obj, 0.0, [&] {
        TaperList* list = GetTaperList(&obj->meas);
        if (list == nullptr) return 0.0;
        if (depth < 0 || std::isnan(depth)) {
            LogMessage("Warning: CalculateKrToDepth(%lf) needs a depth of 0 or more", depth);
        }
        list->Kr = CalcKrToDepth(list, depth);
        return list->Kr;
    });
}

TESK_API uint8_t SetDiagTubings(TeskObj* obj, const TubingBase_t* tubings, int32_t count) {
    return WellExport<uint8_t>("SetDiagTubings", obj, 0, [&]() -> uint8_t {
        return StoreTubings(obj, DiagCards(obj), tubings, count) ? 1 : 0;
    });
}

TESK_API uint8_t SetPredTubings(TeskObj* obj, const TubingBase_t* tubings, int32_t count) {
    return WellExport<uint8_t>("SetPredTubings", obj, 0, [&]() -> uint8_t {
        return StoreTubings(obj, PredCards(obj), tubings, count) ? 1 : 0;
    });
}

TESK_API int32_t GetDiagTubingCount(TeskObj* obj) {
    return WellExport<int32_t>("GetDiagTubingCount", obj, 0, [&] { return TubingCount(&obj->meas); });
}

TESK_API uint8_t GetDiagTubings(TeskObj* obj, TubingBase_t* out) {
    return WellExport<uint8_t>("GetDiagTubings", obj, 0, [&] { return CopyTubingsOut(&obj->meas, out, "GetDiagTubings"); });
}

TESK_API int32_t GetPredTubingCount(TeskObj* obj) {
    return WellExport<int32_t>("GetPredTubingCount", obj, 0, [&] { return TubingCount(&obj->pred); });
}

TESK_API uint8_t GetPredTubings(TeskObj* obj, TubingBase_t* out) {
    return WellExport<uint8_t>("GetPredTubings", obj, 0, [&] { return CopyTubingsOut(&obj->pred, out, "GetPredTubings"); });
}

}  // extern "C"
