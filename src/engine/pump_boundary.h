#pragma once
#include <cstdint>

#include "engine/pump_state.h"

struct PredSettings;
struct WaveModel;

// ARGB colour of a pump-card point in the given state.
int32_t PumpStateColor(int32_t state);

// Everything the pump end needs that stays fixed through one solve.
struct PredBoundaryContext {
    int32_t M;            // index of the pump grid point
    double dx;            // last rod node
    double e;             // its modulus, lb/ft2
    double h;             // its area, ft2
    double fo;
    double m;             // tubing stretch under fo, ft (at least 0.01)
    double rampStiffness; // fo/m: load per ft of plunger travel on the pickup and release ramps, lb/ft
    double foEA;          // fo over the EA of the deepest taper
    double fillage;
    double compression;
    bool partialCurves;   // fillage < 1: the fillage curves replace the linear ramps
    bool releaseCurve;    // ... and compression != 0 (NaN included)
    bool plungerCurves;   // ... and compression > 0: the curves act on the plunger itself
};

// Fills the context from the settings and the card's last node, tubing and deepest taper; false
// when the card lacks them (no nodes, fewer than 2, or no taper of positive length).
bool MakePredBoundaryContext(const PredSettings& settings, const WaveModel* pred, PredBoundaryContext* context);

// The rod's side of the pump end for one step: the load that the rods put on the plunger is
// alpha * (v - z0) for a plunger displacement v (ft, positive downward), so z0 is the
// displacement of no load and alpha (lb/ft, > 0) how fast the load grows with v. `above` is the
// new displacement of the grid point above the pump (the fillage curves of a negative
// compression read it).
struct PumpRodEnd {
    double z0;
    double alpha;
    double above;
};

// The rod end of a massless pump grid point whose load is the three-point stretch
// (1.5 v - 2 a + 0.5 b) * EA/dx, a and b the new displacements of the two points above.
PumpRodEnd ThreePointRodEnd(double a, double b, double eaOverDx);

// Pump-end displacement for point i; updates pred->pumpState and the events and last
// displacements of pred->pump. `value` is the pump displacement of the last step.
// *load receives the load on the plunger at the result, alpha * (v - z0), which the linear
// ramps and the plunger-on-curve solve give exactly within [0, fo]: 0 and fo themselves where
// the plunger sits at the end of a ramp or out of it.
double PredPumpBoundaryStep(const PredBoundaryContext& context, WaveModel* pred, int32_t i, const PumpRodEnd& rods,
                            double value, double* load);

// A single step outside a solve, with the massless three-point rod end of the card's last node
// and rows next and current of M+1 points. A card without the inputs of MakePredBoundaryContext
// leaves the state alone and gives 0.
double PredPumpBoundaryNew(const PredSettings& settings, WaveModel* pred, int32_t i, const double* next,
                           const double* current);
