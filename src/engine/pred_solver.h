#pragma once

struct PredSettings;
struct WaveModel;

// Predicts the surface and pump cards of `pred` (the "PRED" card) by stepping the damped wave
// equation forward over settings.cycles cycles, the polished rod following the pumping
// unit (usePumpingUnitForPosition exactly 1) or the measured card's position series, the pump end
// following PredPumpBoundaryStep. Only the last cycle is stored: card arrays, colours, load limits
// and intermediate rows (row M+1 is never written and stays zero).
//
// The pump end keeps its load within [0, fo], and the card stores that load exactly. The march
// runs on its own grid (ChoosePredMarchGrid, pred_grid.h), finer than the card's in space and
// time and below a Courant number of 1, over the true period; the card keeps its own points,
// nodes and events (indexes of the first card point that shows them).
//
// The solve starts at the first surface position with the whole string moving as one body with
// the polished rod: it runs on f - f(0) and adds f(0) back to every stored position below the
// surface, so a card that does not start at 0, or not at the bottom, gives no shock.
//
// Refused (false, "Cannot run CalcWavePredNew() because all fields have not been set.", nothing
// changed): no points or card arrays, fewer than 3 nodes, no taper of positive length.
// False after the solve when a stored load leaves +-100000 lb or a position +-500 in: such values
// are stored as 0 and zeroPumpPosition is not applied.
//
// Kept on purpose: NaN values (impossible unit geometry) pass the range test, are stored, and the
// solve returns true with a warning line; fillage below 1 with compression 0 gives a zero pump
// card (the pickup curve is flat); with subtractFluidLoad a grid point's load loses the fluidLoad
// of the node below it (node k for point k, node M-1 for the pump).
bool CalcWavePredNew(const PredSettings& settings, WaveModel* pred);
