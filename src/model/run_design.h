#pragma once

#include "engine/solve_settings.h"

struct TeskObj;
struct WaveModel;

// What a diagnostic solve of `card` ("MEAS" or "UPSC" of the well) takes from the well.
DiagSettings GatherDiagSettings(const TeskObj* obj, const WaveModel* card);

// What the predictive solve of the well's "PRED" card takes from the well; the unit's cycle
// cache stays the well's own, so its positions serve the next solve.
PredSettings GatherPredSettings(TeskObj* obj);

// Recomputes the time step and damping constants, then the nodes, as the card's flags ask,
// and clears those flags whatever the steps returned; true.
bool PrepareCard(WaveModel* card);

// Recomputes the extremes of the "MEAS" surface and pump cards (start values when the card
// has no points or no arrays). A NaN point never becomes an extreme.
void UpdateMeasuredExtremes(TeskObj* obj);

// Recomputes the extremes of the "PRED" pump card, like UpdateMeasuredExtremes.
void UpdatePredPumpExtremes(TeskObj* obj);

// Solves every card whose flag is exactly 1, in the order "MEAS", "UPSC", "PRED", clears each
// flag after its card whether or not its solve succeeded, and stores the elapsed milliseconds
// in runTimeMs; true. A card whose solve is refused or fails loses its results: pump card and
// colours (and the predicted surface card) zeroed, load envelope zeroed, intermediate tables
// freed, and for "PRED" the pump events reset; its solveFailed stays 1 until a solve succeeds.
bool RunWellDesign(TeskObj* obj);
