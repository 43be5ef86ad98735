// Exports of the results: each getter copies a card's current arrays into the host's buffers,
// which the host sizes from the matching count getter.
#include <cstring>
#include <initializer_list>

#include "api/guard.h"
#include "engine/fea_node.h"
#include "engine/solve_checks.h"
#include "log/log.h"
#include "model/tesk_obj.h"

namespace {

using CardMember = WaveModel TeskObj::*;

bool HasCardArrays(const WaveModel* card) {
    return card->surfacePos != nullptr && card->surfaceLoad != nullptr && card->pumpPos != nullptr &&
           card->pumpLoad != nullptr && card->pumpColors != nullptr;
}

bool OutputsGiven(const char* exportName, std::initializer_list<const void*> outputs) {
    for (const void* out : outputs) {
        if (out == nullptr) {
            LogMessage("Error: %s needs an array for every result", exportName);
            return false;
        }
    }
    return true;
}

// The upscaled card answers false until it has points, arrays and a fit to resample; the
// other two copy whatever their point count says.
bool CardReady(const TeskObj* obj, const WaveModel* card, bool upscaled) {
    return !upscaled || (card->PointCount > 0 && HasCardArrays(card) && UpscaledCardFitted(obj->fourier));
}

// What a solve produced answers false while the card's last solve was refused or failed, so that a
// host tells "not computed" from a computed card without reading the log.
bool SolvedCardReady(const TeskObj* obj, const WaveModel* card, bool upscaled) {
    return card->solveFailed == 0 && CardReady(obj, card, upscaled);
}

uint8_t CopyPointPair(const char* exportName, bool ready, const WaveModel* card, const double* sourceA,
                      const double* sourceB, double* outA, double* outB) {
    if (!ready) return 0;
    if (card->PointCount <= 0) return 1;
    if (sourceA == nullptr || sourceB == nullptr || !OutputsGiven(exportName, {outA, outB})) return 0;
    const size_t bytes = static_cast<size_t>(card->PointCount) * sizeof(double);
    std::memcpy(outA, sourceA, bytes);
    std::memcpy(outB, sourceB, bytes);
    return 1;
}

uint8_t CopyDyno(TeskObj* obj, CardMember member, bool upscaled, const char* exportName, double* positions,
                 double* loads) {
    return WellExport<uint8_t>(exportName, obj, 0, [&] {
        const WaveModel* card = &(obj->*member);
        // The predicted surface card is worked out by the solve; the other two are the inputs.
        const bool ready = card == &obj->pred ? SolvedCardReady(obj, card, upscaled) : CardReady(obj, card, upscaled);
        return CopyPointPair(exportName, ready, card, card->surfacePos, card->surfaceLoad, positions, loads);
    });
}

uint8_t CopyPump(TeskObj* obj, CardMember member, bool upscaled, const char* exportName, double* positions,
                 double* loads) {
    return WellExport<uint8_t>(exportName, obj, 0, [&] {
        const WaveModel* card = &(obj->*member);
        return CopyPointPair(exportName, SolvedCardReady(obj, card, upscaled), card, card->pumpPos, card->pumpLoad,
                             positions, loads);
    });
}

uint8_t CopyPumpColors(TeskObj* obj, CardMember member, bool upscaled, const char* exportName, int32_t* colors) {
    return WellExport<uint8_t>(exportName, obj, 0, [&]() -> uint8_t {
        const WaveModel* card = &(obj->*member);
        if (!SolvedCardReady(obj, card, upscaled)) return 0;
        if (card->PointCount <= 0) return 1;
        if (card->pumpColors == nullptr || !OutputsGiven(exportName, {colors})) return 0;
        std::memcpy(colors, card->pumpColors, static_cast<size_t>(card->PointCount) * sizeof(int32_t));
        return 1;
    });
}

int32_t PointCountOf(TeskObj* obj, CardMember member, const char* exportName) {
    return WellExport<int32_t>(exportName, obj, 0, [&] { return (obj->*member).PointCount; });
}

int32_t RodLoadingCountOf(TeskObj* obj, CardMember member, const char* exportName) {
    return WellExport<int32_t>(exportName, obj, 0, [&] { return (obj->*member).FeaNodeCount + 1; });
}

// One row per grid point: its depth (0 at the polished rod), its load limits and the two
// constant columns that the host's rod-loading chart expects.
uint8_t CopyRodLoading(TeskObj* obj, CardMember member, const char* exportName, double* depths, double* maxLoads,
                       double* minLoads, double* constHundred, double* constZero) {
    return WellExport<uint8_t>(exportName, obj, 0, [&]() -> uint8_t {
        const WaveModel* card = &(obj->*member);
        if (card->solveFailed != 0 || card->FeaNodeCount == 0 || card->nodes == nullptr ||
            card->nodeLoadMax == nullptr || card->nodeLoadMin == nullptr) {
            return 0;
        }
        if (card->FeaNodeCount < 0) return 1;
        if (!OutputsGiven(exportName, {depths, maxLoads, minLoads, constHundred, constZero})) return 0;
        for (int32_t i = 0; i <= card->FeaNodeCount; ++i) {
            depths[i] = i == 0 ? 0.0 : card->nodes[i - 1].depth;
            maxLoads[i] = card->nodeLoadMax[i];
            minLoads[i] = card->nodeLoadMin[i];
            constHundred[i] = 100.0;
            constZero[i] = 0.0;
        }
        return 1;
    });
}

// An unknown card number is an answer (false), not a fault: the getters log only missing handles and buffers.
WaveModel* CardByNumber(TeskObj* obj, int32_t number) {
    switch (number) {
        case 1:
            return &obj->meas;
        case 2:
            return &obj->upsc;
        case 3:
            return &obj->pred;
        default:
            return nullptr;
    }
}

// The tables are only read while they describe the card's current cycle: the host sizes
// its buffers from the card's point count.
bool TablesMatchCard(const WaveModel* card) {
    const IntermediateCards& tables = card->intermediate;
    return card->solveFailed == 0 && tables.loadRows != nullptr && tables.posRows != nullptr && tables.columnCount > 0 &&
           tables.columnCount == card->PointCount;
}

}  // namespace

extern "C" {

TESK_API uint8_t GetMeasuredDyno(TeskObj* obj, double* positions, double* loads) {
    return CopyDyno(obj, &TeskObj::meas, false, "GetMeasuredDyno", positions, loads);
}
TESK_API uint8_t GetUpscaledDyno(TeskObj* obj, double* positions, double* loads) {
    return CopyDyno(obj, &TeskObj::upsc, true, "GetUpscaledDyno", positions, loads);
}
TESK_API uint8_t GetPredDyno(TeskObj* obj, double* positions, double* loads) {
    return CopyDyno(obj, &TeskObj::pred, false, "GetPredDyno", positions, loads);
}

TESK_API uint8_t GetMeasuredPump(TeskObj* obj, double* positions, double* loads) {
    return CopyPump(obj, &TeskObj::meas, false, "GetMeasuredPump", positions, loads);
}
TESK_API uint8_t GetUpscaledPump(TeskObj* obj, double* positions, double* loads) {
    return CopyPump(obj, &TeskObj::upsc, true, "GetUpscaledPump", positions, loads);
}
TESK_API uint8_t GetPredPump(TeskObj* obj, double* positions, double* loads) {
    return CopyPump(obj, &TeskObj::pred, false, "GetPredPump", positions, loads);
}

TESK_API uint8_t GetMeasuredPumpColors(TeskObj* obj, int32_t* colors) {
    return CopyPumpColors(obj, &TeskObj::meas, false, "GetMeasuredPumpColors", colors);
}
TESK_API uint8_t GetUpscaledPumpColors(TeskObj* obj, int32_t* colors) {
    return CopyPumpColors(obj, &TeskObj::upsc, true, "GetUpscaledPumpColors", colors);
}
TESK_API uint8_t GetPredPumpColors(TeskObj* obj, int32_t* colors) {
    return CopyPumpColors(obj, &TeskObj::pred, false, "GetPredPumpColors", colors);
}

TESK_API int32_t GetMeasuredDynoPointCount(TeskObj* obj) {
    return PointCountOf(obj, &TeskObj::meas, "GetMeasuredDynoPointCount");
}
TESK_API int32_t GetUpscaledDynoPointCount(TeskObj* obj) {
    return PointCountOf(obj, &TeskObj::upsc, "GetUpscaledDynoPointCount");
}
TESK_API int32_t GetPredDynoPointCount(TeskObj* obj) { return PointCountOf(obj, &TeskObj::pred, "GetPredDynoPointCount"); }

TESK_API uint8_t GetMeasuredRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                       double* constHundred, double* constZero) {
    return CopyRodLoading(obj, &TeskObj::meas, "GetMeasuredRodLoading", depths, maxLoads, minLoads, constHundred,
                          constZero);
}
TESK_API uint8_t GetUpscaledRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                       double* constHundred, double* constZero) {
    return CopyRodLoading(obj, &TeskObj::upsc, "GetUpscaledRodLoading", depths, maxLoads, minLoads, constHundred,
                          constZero);
}
TESK_API uint8_t GetPredRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                   double* constHundred, double* constZero) {
    return CopyRodLoading(obj, &TeskObj::pred, "GetPredRodLoading", depths, maxLoads, minLoads, constHundred,
                          constZero);
}

TESK_API int32_t GetMeasuredRodLoadingCount(TeskObj* obj) {
    return RodLoadingCountOf(obj, &TeskObj::meas, "GetMeasuredRodLoadingCount");
}
TESK_API int32_t GetUpscaledRodLoadingCount(TeskObj* obj) {
    return RodLoadingCountOf(obj, &TeskObj::upsc, "GetUpscaledRodLoadingCount");
}
TESK_API int32_t GetPredRodLoadingCount(TeskObj* obj) {
    return RodLoadingCountOf(obj, &TeskObj::pred, "GetPredRodLoadingCount");
}

TESK_API uint8_t GetIntermediateCard(TeskObj* obj, int32_t row, int32_t cardNumber, double* positions, double* loads) {
    return WellExport<uint8_t>("GetIntermediateCard", obj, 0, [&]() -> uint8_t {
        const WaveModel* card = CardByNumber(obj, cardNumber);
        if (card == nullptr || !TablesMatchCard(card)) return 0;
        const IntermediateCards& tables = card->intermediate;
        if (row < 0 || row >= tables.rowCount) return 0;
        if (!OutputsGiven("GetIntermediateCard", {positions, loads})) return 0;
        const size_t bytes = static_cast<size_t>(tables.columnCount) * sizeof(double);
        std::memcpy(positions, tables.posRows[row], bytes);
        std::memcpy(loads, tables.loadRows[row], bytes);
        return 1;
    });
}

TESK_API uint8_t GetIntermediateTimeSlice(TeskObj* obj, int32_t column, int32_t cardNumber, double* positions,
                                          double* loads) {
    return WellExport<uint8_t>("GetIntermediateTimeSlice", obj, 0, [&]() -> uint8_t {
        const WaveModel* card = CardByNumber(obj, cardNumber);
        if (card == nullptr || !TablesMatchCard(card)) return 0;
        const IntermediateCards& tables = card->intermediate;
        if (card->FeaNodeCount < 0 || tables.rowCount < card->FeaNodeCount + 1) return 0;
        if (column < 0 || column >= tables.columnCount) return 0;
        if (!OutputsGiven("GetIntermediateTimeSlice", {positions, loads})) return 0;
        for (int32_t i = 0; i <= card->FeaNodeCount; ++i) {
            positions[i] = tables.posRows[i][column];
            loads[i] = tables.loadRows[i][column];
        }
        return 1;
    });
}

}  // extern "C"
