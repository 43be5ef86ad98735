#pragma once
#include <cstdint>

#include "engine/pump_state.h"

struct PredSettings;
struct WaveModel;

// What the legacy pump end needs that stays fixed through one solve.
struct LegacyBoundaryContext {
    int32_t M;      // index of the pump grid point
    double dx;      // last rod node
    double e;       // tubing stretch under fo, ft; 0 without tubing (no floor)
    double r;       // fo over the EA of the deepest taper
    double kEA;     // that EA over dx
    double fo;
    double fillage;
    double compression;
    bool plungerStandsStill;  // e = 0 and fillage = 1: pickup and release hold the plunger
    bool pickupCurve;         // fillage < 1
    bool releaseCurve;        // fillage < 1 and compression != 0 (NaN included)
};

// Fills the context from the settings and the card's last node, tubing and deepest taper; false
// when the card lacks them (fewer than 2 nodes or no taper of positive length).
bool MakeLegacyBoundaryContext(const PredSettings& settings, const WaveModel* pred, LegacyBoundaryContext* context);

// Writes next[M] for running step i from pump->legacyPumpState, updating it and the events,
// whose indexes are running step indexes. A strain term that is not finite, or a negative one
// from the pickup curve, holds the plunger at its last displacement for the step.
void PredPumpBoundary(const LegacyBoundaryContext& context, PumpSolveState* pump, int32_t i, const double* previous,
                      const double* current, double* next);
