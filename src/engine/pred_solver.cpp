// The default predictive solver: explicit march of the damped wave equation over the rod
// string, polished rod prescribed at the top, pump state machine at the bottom.
#include "engine/pred_solver.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "engine/fea_node.h"
#include "engine/pred_common.h"
#include "engine/pump_boundary.h"
#include "engine/solve_checks.h"
#include "engine/work_budget.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "pumpunit/pu_cycle_cache.h"

namespace {

constexpr double kLoadLimit = 100000.0;
constexpr double kPositionLimit = 500.0;

// Working storage of one solve, one allocation. The node coefficients are laid out per grid
// point in separate arrays so that the march runs over contiguous memory.
struct PredWorkspace {
    void* block;
    double* next;
    double* current;
    double* previous;
    double* mass;      // predMass
    double* kBelow;    // predKNode
    double* kAbove;    // predKAbove
    double* centreUp;  // 2 mass + g damp - kBelow - kAbove, g = dampUp
    double* centreDn;
    double* overUp;    // 1 / (g damp + mass), a multiplication per update instead of a division
    double* overDn;
    double* loadScale;   // at card grid point k: EA/dx of the march segment below it
    double* loadOffset;  // ... and the rod weight below it less the fluid load it loses
    double* drive;       // the top grid point's displacement at each step of a cycle, ft
    double* rowLoad;     // loads of the row being stored
    double* surface;   // prescribed polished-rod position of each step of a cycle, in
    int32_t* loadStep;  // -1: backward difference at the card's grid point, +1: forward
};

// The march runs on a grid `refinement` times finer than the card's in space and in time (same
// Courant number): grid point k of the card is march point k * refinement, point i of the card
// march step i * refinement.
struct MarchGrid {
    int32_t refinement;
    int32_t points;  // march points M * refinement (the pump)
    int32_t steps;   // march steps of a cycle, n * refinement
    double dt;
};

// Light damping leaves the waves that each pump switch sends up the rods ringing for many cycles,
// and the card's grid resolves them poorly; a finer march resolves them, within a work budget.
constexpr double kModerateDamping = 0.1;
constexpr int32_t kLightDampingRefinement = 3;
constexpr double kRefinedWorkBudget = 2.0e6;  // node updates of one refined solve
// Under light damping the load ramps span at least half the stretch of the last march segment
// under fo: a pump far stiffer than the rod above it makes the valves chatter on grid noise.
constexpr double kLightDampingSpread = 0.5;

bool LightlyDamped(const WaveModel* pred) { return !(pred->dampUp >= kModerateDamping && pred->dampDn >= kModerateDamping); }

MarchGrid ChooseMarchGrid(const TeskObj* obj, const WaveModel* pred) {
    const double work = static_cast<double>(obj->predCycles) * pred->PointCount * pred->FeaNodeCount;
    int32_t r = LightlyDamped(pred) ? kLightDampingRefinement : 1;
    while (r > 1 && work * r * r > kRefinedWorkBudget) --r;
    return {r, pred->FeaNodeCount * r, pred->PointCount * r, pred->DT / r};
}

bool AllocWorkspace(PredWorkspace* w, const MarchGrid& grid) {
    double** const arrays[] = {&w->next,     &w->current,  &w->previous, &w->mass,    &w->kBelow,
                               &w->kAbove,   &w->centreUp, &w->centreDn, &w->overUp,  &w->overDn,
                               &w->loadScale, &w->loadOffset, &w->rowLoad};
    w->block = AllocCarvedBlock(arrays, 13, grid.points + 1, 2 * static_cast<size_t>(grid.steps), &w->surface,
                                &w->loadStep);
    if (w->block == nullptr) return false;
    w->drive = w->surface + grid.steps;
    return true;
}

struct PointCoefficients {
    double mass, damp, kAbove, kBelow;
};

// Half of a march segment of node j: its share of mass, damping and its stiffness.
PointCoefficients SegmentShare(const FeaNode& node, double halfPiOverLength, const MarchGrid& grid) {
    const double dx = node.dx / grid.refinement;
    const double a = std::sqrt(node.modulusPsf * 32.1739 / node.density);
    return {dx * node.areaFt2 * node.modulusPsf / (a * (2.0 * a) * grid.dt * grid.dt),
            dx * node.areaFt2 * node.modulusPsf * (halfPiOverLength / grid.dt) / (2.0 * a),
            node.modulusPsf * node.areaFt2 / dx, 0.0};
}

// The card's own coefficients on its own grid; on a finer grid the same formulas per segment.
PointCoefficients CoefficientsAt(const WaveModel* pred, const MarchGrid& grid, int32_t K) {
    if (grid.refinement == 1) {
        const FeaNode& node = pred->nodes[K];
        return {node.predMass, node.predDamp, node.predKAbove, node.predKNode};
    }
    const double hpl = pred->tapers->halfPiOverLength;
    const PointCoefficients above = SegmentShare(pred->nodes[(K - 1) / grid.refinement], hpl, grid);
    const PointCoefficients below = SegmentShare(pred->nodes[K / grid.refinement], hpl, grid);
    return {above.mass + below.mass, above.damp + below.damp, above.kAbove, below.kAbove};
}

void FillCoefficients(PredWorkspace* w, const TeskObj* obj, const WaveModel* pred, const MarchGrid& grid) {
    for (int32_t K = 1; K < grid.points; ++K) {
        const PointCoefficients p = CoefficientsAt(pred, grid, K);
        w->mass[K] = p.mass;
        w->kBelow[K] = p.kBelow;
        w->kAbove[K] = p.kAbove;
        w->centreUp[K] = 2.0 * p.mass + pred->dampUp * p.damp - p.kBelow - p.kAbove;
        w->centreDn[K] = 2.0 * p.mass + pred->dampDn * p.damp - p.kBelow - p.kAbove;
        w->overUp[K] = 1.0 / (pred->dampUp * p.damp + p.mass);
        w->overDn[K] = 1.0 / (pred->dampDn * p.damp + p.mass);
    }
    // On a finer grid the forward difference at a card point stays within the node below it.
    const int32_t M = pred->FeaNodeCount;
    for (int32_t k = 1; k < M; ++k) {
        w->loadStep[k] = grid.refinement > 1 || !UsesBackwardDifference(pred->nodes, M, k) ? 1 : -1;
        const FeaNode& node = pred->nodes[k];
        w->loadScale[k] = node.areaFt2 / (node.dx / grid.refinement) * node.modulusPsf;
        const double fluid = obj->subtractFluidLoad == 1 ? node.fluidLoad : 0.0;
        w->loadOffset[k] = pred->nodes[k - 1].weightBelow - fluid;
    }
}

// The polished-rod motion repeats every cycle: evaluated once per march step of a cycle, the
// card's own points exactly as an unrefined solve takes them. On the card's own grid the unit's
// positions kept from an earlier solve serve until one of their inputs changes.
void FillSurfacePositions(TeskObj* obj, WaveModel* pred, const MarchGrid& grid, double* surface) {
    const bool fromPumpingUnit = obj->usePumpingUnitForPosition == 1;
    const int32_t r = grid.refinement;
    const double* kept =
        fromPumpingUnit && r == 1 ? PuCyclePositions(&obj->puCycle, &obj->pu, pred->PointCount, pred->DT) : nullptr;
    if (kept != nullptr) {
        std::copy(kept, kept + grid.steps, surface);
        return;
    }
    for (int32_t step = 0; step < grid.steps; ++step) {
        surface[step] = step % r == 0 ? PredSurfacePosition(obj, pred, step / r, pred->PointCount, pred->DT, fromPumpingUnit)
                                      : PredSurfacePosition(obj, pred, step, grid.steps, grid.dt, fromPumpingUnit);
    }
}

// Displacements grow downward from the position at the start of the cycle.
void FillDrive(const double* surface, double surfaceOffset, int32_t steps, double* drive) {
    for (int32_t step = 0; step < steps; ++step) drive[step] = (surface[step] - surfaceOffset) / -12.0;
}

// One explicit update of the interior grid points 1..M-1.
TESK_PRED_KERNEL_BODY void MarchInteriorBody(double* __restrict next, const double* __restrict current,
                                             const double* __restrict previous, const double* __restrict centre,
                                             const double* __restrict mass, const double* __restrict kBelow,
                                             const double* __restrict kAbove, const double* __restrict over,
                                             int32_t M) {
    for (int32_t k = 1; k < M; ++k) {
        next[k] = (centre[k] * current[k] - mass[k] * previous[k] + kBelow[k] * current[k + 1] +
                   kAbove[k] * current[k - 1]) *
                  over[k];
    }
}

using MarchKernel = void (*)(double*, const double*, const double*, const double*, const double*, const double*,
                             const double*, const double*, int32_t);

void MarchInteriorBaseline(double* next, const double* current, const double* previous, const double* centre,
                           const double* mass, const double* kBelow, const double* kAbove, const double* over,
                           int32_t M) {
    MarchInteriorBody(next, current, previous, centre, mass, kBelow, kAbove, over, M);
}

#if TESK_PRED_WIDE_BUILD
TESK_PRED_AVX2_TARGET void MarchInteriorAvx2(double* next, const double* current, const double* previous,
                                             const double* centre, const double* mass, const double* kBelow,
                                             const double* kAbove, const double* over, int32_t M) {
    MarchInteriorBody(next, current, previous, centre, mass, kBelow, kAbove, over, M);
}
#endif

MarchKernel ChooseMarchKernel() {
#if TESK_PRED_WIDE_BUILD
    if (PredWideBuildRuns()) return &MarchInteriorAvx2;
#endif
    return &MarchInteriorBaseline;
}

// What the last cycle stores besides the rows themselves.
struct LastCycle {
    double rodWeightInFluid;  // Rwf
    double surfaceOffset;     // f(0), added back to positions below the surface
    bool subtractFluid;
    bool keepRows;
    double minPumpPos;
    bool failed;
    bool sawNaN;
};

double RangeChecked(double value, double limit, LastCycle* last) {
    if (value > limit || value < -limit) {
        last->failed = true;
        return 0.0;
    }
    if (std::isnan(value)) last->sawNaN = true;
    return value;
}


void StoreLastCyclePoint(WaveModel* pred, const PredWorkspace& w, const MarchGrid& grid, LastCycle* last, int32_t i,
                         double f) {
    const int32_t M = pred->FeaNodeCount;
    const int32_t P = grid.points;
    const int32_t r = grid.refinement;
    const FeaNode* nodes = pred->nodes;
    const double* u = w.next;
    const double surfaceLoad =
        -(1.5 * u[0] - 2.0 * u[1] + 0.5 * u[2]) * nodes[0].areaFt2 / (nodes[0].dx / r) * nodes[0].modulusPsf +
        last->rodWeightInFluid;
    const double fluid = last->subtractFluid ? nodes[M - 1].fluidLoad : 0.0;
    const double pumpLoad =
        (1.5 * u[P] - 2.0 * u[P - 1] + 0.5 * u[P - 2]) * nodes[M - 1].areaFt2 / (nodes[M - 1].dx / r) *
            nodes[M - 1].modulusPsf -
        fluid;
    const double pumpPos = -12.0 * u[P] + last->surfaceOffset;
    if (pumpPos < last->minPumpPos) last->minPumpPos = pumpPos;

    pred->surfacePos[i] = RangeChecked(f, kPositionLimit, last);
    pred->surfaceLoad[i] = RangeChecked(surfaceLoad, kLoadLimit, last);
    pred->pumpPos[i] = RangeChecked(pumpPos, kPositionLimit, last);
    pred->pumpLoad[i] = RangeChecked(pumpLoad, kLoadLimit, last);

    const InteriorLoadRule rule{w.loadStep, w.loadScale, w.loadOffset, r};
    InteriorRowLoads(rule, u, M, w.rowLoad);
    WidenInteriorLimits(pred, w.rowLoad, M);
    IntermediateCards& rows = pred->intermediate;
    if (last->keepRows) {
        for (int32_t k = 1; k < M; ++k) {
            rows.posRows[k][i] = -12.0 * u[k * r] + last->surfaceOffset;
            rows.loadRows[k][i] = w.rowLoad[k];
        }
    }
    WidenLoadLimits(pred, 0, pred->surfaceLoad[i]);
    WidenLoadLimits(pred, M, pred->pumpLoad[i]);
    if (last->keepRows) {
        rows.posRows[0][i] = pred->surfacePos[i];
        rows.loadRows[0][i] = pred->surfaceLoad[i];
        rows.posRows[M][i] = pred->pumpPos[i];
        rows.loadRows[M][i] = pred->pumpLoad[i];
    }
    pred->pumpColors[i] = PumpStateColor(pred->pumpState);
}

void ResetPredState(TeskObj* obj, WaveModel* pred) {
    ResetNodeLoadLimits(pred);
    pred->pumpState = Unset;
    for (int k = 0; k < 4; ++k) {
        obj->stateLastPos[k] = 0.0;
        obj->pumpEventIndex[k] = 0;
        obj->pumpEventPos[k] = 0.0;
    }
}

void March(TeskObj* obj, WaveModel* pred, PredWorkspace& w, const MarchGrid& grid,
           const PredBoundaryContext& boundary, LastCycle* last) {
    const int32_t P = grid.points;
    const int32_t r = grid.refinement;
    const int32_t n = pred->PointCount;
    const MarchKernel marchInterior = ChooseMarchKernel();
    for (int32_t cycle = 0; cycle < obj->predCycles; ++cycle) {
        const bool lastCycle = cycle == obj->predCycles - 1;
        int32_t cardPoint = 0;  // the card point at or before the step
        int32_t phase = 0;      // steps since that card point
        for (int32_t step = 0; step < grid.steps; ++step) {
            w.next[0] = w.drive[step];
            const bool movingDown = w.next[0] > w.current[0];
            marchInterior(w.next, w.current, w.previous, movingDown ? w.centreDn : w.centreUp, w.mass, w.kBelow,
                          w.kAbove, movingDown ? w.overDn : w.overUp, P);
            // An event between two card points belongs to the first point that shows it.
            const int32_t point = phase == 0 ? cardPoint : (cardPoint + 1 == n ? 0 : cardPoint + 1);
            w.next[P] = PredPumpBoundaryStep(boundary, obj, pred, point, w.next, w.current);
            if (lastCycle && phase == 0) StoreLastCyclePoint(pred, w, grid, last, cardPoint, w.surface[step]);
            RotateRows(&w.next, &w.current, &w.previous);
            if (++phase == r) {
                phase = 0;
                ++cardPoint;
            }
        }
    }
}

}  // namespace

bool CalcWavePredNew(TeskObj* obj, WaveModel* pred) {
    if (!CardRodWeightsKnown(pred, "CalcWavePredNew")) return false;
    PredBoundaryContext boundary;
    if (!PredCardReady(obj, pred, 3) || !PredNodesSound(pred, false) ||
        !PredWorkFits(obj, pred, obj->usePumpingUnitForPosition == 1) ||
        !MakePredBoundaryContext(obj, pred, &boundary)) {
        LogMessage("Cannot run CalcWavePredNew() because all fields have not been set.");
        return false;
    }
    const int32_t M = pred->FeaNodeCount;
    const int32_t n = pred->PointCount;
    const MarchGrid grid = ChooseMarchGrid(obj, pred);
    if (LightlyDamped(pred)) RefinePredBoundaryContext(&boundary, grid.refinement, kLightDampingSpread);
    PredWorkspace w;
    if (!AllocWorkspace(&w, grid)) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    FillCoefficients(&w, obj, pred, grid);
    FillSurfacePositions(obj, pred, grid, w.surface);

    ResetPredState(obj, pred);
    LastCycle last;
    last.rodWeightInFluid = pred->tapers->count > 0 ? pred->tapers->Rwf : 0.0;
    last.surfaceOffset = std::isfinite(w.surface[0]) ? w.surface[0] : 0.0;
    FillDrive(w.surface, last.surfaceOffset, grid.steps, w.drive);
    last.subtractFluid = obj->subtractFluidLoad == 1;
    last.keepRows = PreparePredIntermediateRows(pred);
    last.minPumpPos = DBL_MAX;
    last.failed = false;
    last.sawNaN = false;
    March(obj, pred, w, grid, boundary, &last);
    std::free(w.block);

    if (last.failed) {
        LogMessage("ERROR: CalcWavePredNew out of range!");
        return false;
    }
    if (last.sawNaN) LogMessage("Warning: %s predicted card holds values that are not numbers", pred->name);
    if (obj->zeroPumpPosition == 1) {
        if (last.keepRows) ZeroPositionRows(pred->intermediate.posRows, M, n);
        for (int32_t i = 0; i < n; ++i) pred->pumpPos[i] -= last.minPumpPos;
    }
    return true;
}
