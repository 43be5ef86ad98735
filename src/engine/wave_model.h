#pragma once
#include <cstdint>

#include "engine/pump_state.h"

struct FeaNode;
struct TaperList;
struct TubingList;

// Position and load of every grid point at every point of the cycle, kept during a solve.
struct IntermediateCards {
    uint8_t enabled = 0;  // only the value 1 enables
    int32_t rowCount = 0;
    int32_t columnCount = 0;
    double** loadRows = nullptr;
    double** posRows = nullptr;
};

// Counts the last discretisation of a card asked for when they were beyond what a grid may hold
// (kMaxNodeCount nodes, kMaxPredPointCount points); 0 for a count within its limit. The run
// reports such a grid with its work against the budget, since it was never built.
struct UnbuiltGrid {
    double nodes = 0;
    double points = 0;
};

// One card of a well ("MEAS", "UPSC" or "PRED"): its inputs, discretisation and results.
struct WaveModel {
    FeaNode* nodes = nullptr;
    double* nodeLoadMax = nullptr;  // FeaNodeCount + 1 entries
    double* nodeLoadMin = nullptr;
    double* surfacePos = nullptr;  // PointCount entries each
    double* surfaceLoad = nullptr;
    double* pumpPos = nullptr;
    double* pumpLoad = nullptr;
    int32_t* pumpColors = nullptr;
    double sgFluid = 1.0;
    double viscFluid = 1.0;
    double pumpDia = 1.5;
    double pumpLen = 48.0;
    double pumpFit = 0.005;
    double pressureTubing = 0;
    double pressureCasing = 0;
    double fluidLevel = 0;
    IntermediateCards intermediate;
    double predNodeLength = 66.0;
    int32_t nodesPerSection = 4;
    int32_t sectionNodeCount = 0;
    int32_t desiredPointCount = 200;
    double diagNodeLength = 66.0;
    int32_t pumpState = 0;
    PumpSolveState pump;  // the pump end's events and state of the last predictive solve
    char name[16] = {};
    uint8_t isDiag = 0;
    TaperList* tapers = nullptr;
    TubingList* tubings = nullptr;
    double spm = 0;
    double dampUp = 0;
    double dampDn = 0;
    int32_t PointCount = 0;
    double period = 0;
    double DT = 0;
    double cUp = 0;
    double cDn = 0;
    double cUpDt = 0;
    double cDnDt = 0;
    int32_t FeaNodeCount = 100;
    uint8_t cdtDirty = 0;
    uint8_t nodesDirty = 0;
    uint8_t fixedGrid = 0;
    // 1 while the card's last solve was refused or failed: until a solve succeeds its results
    // (pump card, colours, load envelope, intermediate cards, a predicted surface card) are none.
    uint8_t solveFailed = 0;
    UnbuiltGrid unbuiltGrid;

    WaveModel(const char* cardName, uint8_t diagnostic);
    ~WaveModel();
    WaveModel(const WaveModel&) = delete;
    WaveModel& operator=(const WaveModel&) = delete;
};

// Makes the five card arrays fit PointCount (zero-filled); false and "MALLOC ERROR" when memory runs out.
bool AllocCardArrays(WaveModel* card);
void FreeCardArrays(WaveModel* card);
// Restarts the per-grid-point load envelope before a solve.
void ResetNodeLoadLimits(WaveModel* card);
// Makes both row tables hold rows 0..lastRow of `columns` zeroed doubles; keeps matching tables.
// Tables above the size budget are not made for this solve (false, the card's setting kept);
// only a failed allocation switches the card's tables off.
bool AllocIntermediateCards(IntermediateCards* intermediate, int32_t lastRow, int32_t columns);
bool FreeIntermediateRows(IntermediateCards* intermediate, double**& table);
bool FreeIntermediateCards(IntermediateCards* intermediate);
void PrintWaveModel(WaveModel* card);
