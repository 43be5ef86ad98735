#pragma once
#include <cstdint>

struct TeskObj;
struct WaveModel;

// State of the downhole pump during a predictive solve; both predictive solvers use it.
enum PumpState : int32_t {
    Unset = 0,        // before the first boundary step of a solve
    LoadPickup = 1,   // rod load at the pump rising from 0 toward fo
    FullLoad = 2,     // rod load at the pump equal to fo
    LoadRelease = 3,  // rod load at the pump falling from fo toward 0
    NoLoad = 4,       // rod load at the pump 0
};

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
    double mm;            // fo/(e h m)
    double foEA;          // fo over the EA of the deepest taper
    double foStretch;     // stretch of the last segment under fo, dx fo/(e h), ft
    double fillage;
    double compression;
    bool partialCurves;   // fillage < 1: the fillage curves replace the linear ramps
    bool releaseCurve;    // ... and compression != 0 (NaN included)
    bool plungerCurves;   // ... and compression > 0: the curves act on the plunger itself
};

// Fills the context from the card's last node, tubing and deepest taper; false when the card
// lacks them (no nodes, fewer than 2, or no taper of positive length).
bool MakePredBoundaryContext(TeskObj* obj, WaveModel* pred, PredBoundaryContext* context);

// Moves the context onto a grid `refinement` times finer than the card's, whose last segment
// is dx/refinement long, and widens the load ramps to at least `spreadShare` of that segment's
// stretch under fo: the pump is then never much stiffer than the rod above it, and the widening
// vanishes as the grid is refined.
void RefinePredBoundaryContext(PredBoundaryContext* context, int32_t refinement, double spreadShare);

// Pump-end displacement for point i, after next[0..M-1] are known; updates pred->pumpState,
// obj->stateLastPos, obj->pumpEventPos and obj->pumpEventIndex.
double PredPumpBoundaryStep(const PredBoundaryContext& context, TeskObj* obj, WaveModel* pred, int32_t i,
                            const double* next, const double* current);

// The same with the context built on the spot: for single steps outside a solve. A card
// without the inputs of MakePredBoundaryContext leaves the state alone and gives 0.
double PredPumpBoundaryNew(TeskObj* obj, WaveModel* pred, int32_t i, const double* next, const double* current);
