#pragma once
#include <cstddef>
#include <cstdint>

#include "engine/wave_model.h"

// The march loops of both predictive solvers are built twice, for any x86-64 and for AVX2, and
// each solve picks the best build the machine runs. AVX2 brings no fused multiply-add, so both
// builds round every operation alike and a card does not depend on the machine.
#if defined(__x86_64__) && defined(__GNUC__)
#define TESK_PRED_WIDE_BUILD 1
#define TESK_PRED_KERNEL_BODY inline __attribute__((always_inline))
#define TESK_PRED_AVX2_TARGET __attribute__((target("avx2")))
#else
#define TESK_PRED_WIDE_BUILD 0
#define TESK_PRED_KERNEL_BODY inline
#endif

// True when the machine runs the AVX2 build of the march loops and solves may use it.
bool PredWideBuildRuns();

// Lets solves use the AVX2 build where the machine runs it (the default), or keeps them on the
// baseline build: a check that both give the same card compares the two.
void AllowPredWideBuild(bool allowed);

struct FeaNode;
struct PredSettings;

// True when the card has points, its five card arrays, load limits, at least `minNodes` nodes,
// a taper of positive length and a positive cycle count: what both predictive solvers need.
bool PredCardReady(const PredSettings& settings, const WaveModel* pred, int32_t minNodes);

// True when every node has a finite, positive stiffness kNode and every interior grid point
// the finite, positive stiffnesses and mass of the predictive march (`legacy`: those of the
// legacy march). A degenerate taper (no diameter, no modulus) would otherwise fill the card
// with values that are not numbers.
bool PredNodesSound(const WaveModel* pred, bool legacy);

// Prescribed polished-rod position (in) at step i of a cycle of n steps of dt: the pumping
// unit's motion when `fromPumpingUnit`, else the measured card's position series at i/n.
double PredSurfacePosition(const PredSettings& settings, int32_t i, int32_t n, double dt, bool fromPumpingUnit);

// Whether the rod load at grid point k (1 <= k < M) is taken by a backward difference: near the
// pump, and where the two nodes above share material and length; forward otherwise.
bool UsesBackwardDifference(const FeaNode* nodes, int32_t M, int32_t k);

// Three-point stretch of the rod at grid point k, backward (step -1) or forward (step +1),
// signed so that tension is positive (displacements grow downward). Times EA/dx it is the load.
inline double StretchAt(const double* u, int32_t k, int32_t step) {
    const double difference = 1.5 * u[k] - 2.0 * u[k + step] + 0.5 * u[k + 2 * step];
    return step < 0 ? difference : -difference;
}

// The rows move one step on: the new row becomes the current one, the oldest is reused.
inline void RotateRows(double** next, double** current, double** previous) {
    double* recycled = *previous;
    *previous = *current;
    *current = *next;
    *next = recycled;
}

// One zeroed allocation carved into arrays: each of `arrays` gets `length` doubles, then
// `*tail` gets `tailLength` doubles and `*steps` `length` int32 values. Null (nothing set) when
// memory runs out; the caller frees the result.
void* AllocCarvedBlock(double** const* arrays, int32_t arrayCount, int32_t length, size_t tailLength,
                       double** tail, int32_t** steps);

// Makes the intermediate rows 0..M+1 (zeroed) when the card keeps them and memory allows; true
// when the solve may write them. A card that does not keep them loses its old tables.
bool PreparePredIntermediateRows(WaveModel* pred);

// Shifts each of rows 0..lastRow of an intermediate position table so that its minimum is 0.
void ZeroPositionRows(double** rows, int32_t lastRow, int32_t columns);

// How the rod load at grid point k of a stored row comes from the displacements: the stretch at
// march point k * refinement (backward or forward by loadStep[k]) times scale[k], plus offset[k].
struct InteriorLoadRule {
    const int32_t* loadStep;
    const double* scale;
    const double* offset;
    int32_t refinement;
};

// Loads of grid points 1..M-1 of the row u into load[1..M-1].
void InteriorRowLoads(const InteriorLoadRule& rule, const double* u, int32_t M, double* load);

// Widens the load envelope of grid points 1..M-1 by load[1..M-1]; NaN loads leave it alone.
void WidenInteriorLimits(WaveModel* card, const double* load, int32_t M);

// Widens a load envelope entry; a NaN load leaves it alone.
inline void WidenLoadLimits(WaveModel* card, int32_t k, double load) {
    if (load < card->nodeLoadMin[k]) card->nodeLoadMin[k] = load;
    if (load > card->nodeLoadMax[k]) card->nodeLoadMax[k] = load;
}
