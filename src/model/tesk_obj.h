#pragma once
#include <cfloat>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/wave_model.h"
#include "pumpunit/pu_cycle_cache.h"
#include "pumpunit/pumping_unit.h"
#include "tesk/tesk.h"

struct CardFourierFit;
struct CloudSession;

// The library's version, which every well object also carries and saves.
constexpr int32_t kLibraryVersion[4] = {TESK_VERSION_MAJOR, TESK_VERSION_MINOR, TESK_VERSION_PATCH,
                                         TESK_VERSION_TWEAK};

// Carries no data; the rod-material lookups are called on it.
struct RodCatalog {};

// The well object behind the host's handle.
struct TeskObj {
    char platform[16] = "UNKNOWN";
    int32_t version[4] = {0, 0, 0, 0};
    int32_t lib[4] = {kLibraryVersion[0], kLibraryVersion[1], kLibraryVersion[2], kLibraryVersion[3]};
    char wellName[64] = "DEFAULT NAME";
    double wellDepth = 10000.0;
    RodCatalog rodCatalog;
    std::vector<DeviationPoint_t> deviationSurvey;
    WaveModel meas{"MEAS", 1};
    WaveModel upsc{"UPSC", 1};
    WaveModel pred{"PRED", 0};
    uint8_t useLegacyPred = 0;
    uint8_t subtractFluidLoad = 0;
    uint8_t zeroPumpPosition = 0;
    CardFourierFit* fourier = nullptr;
    double measSurfacePosMax = -DBL_MAX, measSurfacePosMin = DBL_MAX;
    double measSurfaceLoadMax = -DBL_MAX, measSurfaceLoadMin = DBL_MAX;
    double measPumpPosMax = -DBL_MAX, measPumpPosMin = DBL_MAX;
    double measPumpLoadMax = -DBL_MAX, measPumpLoadMin = DBL_MAX;
    double predPumpPosMax = -DBL_MAX, predPumpPosMin = DBL_MAX;
    double predPumpLoadMax = -DBL_MAX, predPumpLoadMin = DBL_MAX;
    int32_t predCycles = 5;
    double fo = 1000.0;
    double fillage = 1.0;
    double compression = 0;
    uint8_t measDirty = 0, upscDirty = 0, predDirty = 0;
    uint8_t usePumpingUnitForPosition = 0;
    int32_t runTimeMs = 0;
    PumpingUnit pu{};
    PuCycleCache puCycle;  // the unit's positions of the last predictive solve
    // Made by the object's first cloud call that needs it, with the cloud layer's deleter, so
    // that the well object neither knows the session nor starts the HTTP stack itself. Last
    // member, so it ends before the cards.
    std::unique_ptr<CloudSession, void (*)(CloudSession*)> cloud{nullptr, nullptr};

    // Throws std::bad_alloc when the Fourier fit cannot be had; members built so far unwind.
    TeskObj();
    ~TeskObj();
    TeskObj(const TeskObj&) = delete;
    TeskObj& operator=(const TeskObj&) = delete;
};

// Sets the default beam unit (type 'C') and derives its geometry.
void SetDefaultPumpingUnit(PumpingUnit* pu);
// Logs the object's summary, one line per call.
void PrintTeskObjSummary(TeskObj* obj);
