// The default predictive solver: explicit march of the damped wave equation over the rod
// string, polished rod prescribed at the top, pump state machine at the bottom.
#include "common/constants.h"
#include "engine/pred_solver.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "engine/fea_node.h"
#include "engine/pred_common.h"
#include "engine/pred_grid.h"
#include "engine/pump_boundary.h"
#include "engine/solve_checks.h"
#include "engine/work_budget.h"
#include "engine/solve_settings.h"
#include "engine/taper_list.h"
#include "log/log.h"
#include "pumpunit/pu_cycle_cache.h"

namespace {

constexpr double kLoadLimit = 100000.0;
constexpr double kPositionLimit = 500.0;

// Working storage of one solve, one allocation. The node coefficients are laid out per march
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
    double* surface;     // prescribed polished-rod position of each step of a cycle, in
    int32_t* loadStep;   // -1: backward difference at the card's grid point, +1: forward
};

bool AllocWorkspace(PredWorkspace* w, const PredMarchGrid& grid) {
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

// Half of a march segment of node j: its share of mass and damping, and its stiffness.
PointCoefficients SegmentShare(const FeaNode& node, double halfPiOverLength, const PredMarchGrid& grid) {
    const double dx = node.dx / grid.spaceRefinement;
    const double a = std::sqrt(node.modulusPsf * kGravity / node.density);
    return {dx * node.areaFt2 * node.modulusPsf / (a * (2.0 * a) * grid.dt * grid.dt),
            dx * node.areaFt2 * node.modulusPsf * (halfPiOverLength / grid.dt) / (2.0 * a),
            node.modulusPsf * node.areaFt2 / dx, 0.0};
}

// The card's own formulas on the march's segments and time step.
PointCoefficients CoefficientsAt(const WaveModel* pred, const PredMarchGrid& grid, int32_t K) {
    const double hpl = pred->tapers->halfPiOverLength;
    const PointCoefficients above = SegmentShare(pred->nodes[(K - 1) / grid.spaceRefinement], hpl, grid);
    const PointCoefficients below = SegmentShare(pred->nodes[K / grid.spaceRefinement], hpl, grid);
    return {above.mass + below.mass, above.damp + below.damp, above.kAbove, below.kAbove};
}

void FillCoefficients(PredWorkspace* w, const PredSettings& settings, const WaveModel* pred,
                      const PredMarchGrid& grid) {
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
    const int32_t r = grid.spaceRefinement;
    for (int32_t k = 1; k < M; ++k) {
        w->loadStep[k] = r > 1 || !UsesBackwardDifference(pred->nodes, M, k) ? 1 : -1;
        const FeaNode& node = pred->nodes[k];
        w->loadScale[k] = node.areaFt2 / (node.dx / r) * node.modulusPsf;
        const double fluid = settings.subtractFluidLoad == 1 ? node.fluidLoad : 0.0;
        w->loadOffset[k] = pred->nodes[k - 1].weightBelow - fluid;
    }
}

// Positions of a drive known at the card points only (the measured card's series, whose terms
// beyond what the card's own points resolve are not the measured motion): between two card points
// the cubic through them with the slopes of their neighbours (periodic Catmull-Rom), so that the
// march sees the motion the card shows, smoothly.
void FillBetweenCardPoints(const PredMarchGrid& grid, int32_t n, double* surface) {
    const int32_t rt = grid.timeRefinement;
    if (rt == 1) return;
    for (int32_t i = 0; i < n; ++i) {
        const double p0 = surface[i * rt];
        const double p1 = surface[(i + 1 == n ? 0 : i + 1) * rt];
        const double m0 = 0.5 * (p1 - surface[(i == 0 ? n - 1 : i - 1) * rt]);
        const double m1 = 0.5 * (surface[((i + 2) % n) * rt] - p0);
        for (int32_t k = 1; k < rt; ++k) {
            const double t = static_cast<double>(k) / rt;
            const double t2 = t * t;
            const double t3 = t2 * t;
            surface[i * rt + k] = (2 * t3 - 3 * t2 + 1) * p0 + (t3 - 2 * t2 + t) * m0 + (-2 * t3 + 3 * t2) * p1 +
                                  (t3 - t2) * m1;
        }
    }
}

// The polished-rod motion repeats every cycle: filled once per march step of a cycle. The pumping
// unit's positions at every step are kept between solves until one of their inputs changes; its
// steps lie on the card's own time line (a type 'H' unit is timed), card point i at step i * rt.
// The measured card's series is evaluated at the card points, as the card shows it, and joined
// between them by FillBetweenCardPoints.
void FillSurfacePositions(const PredSettings& settings, const WaveModel* pred, const PredMarchGrid& grid,
                          PredWorkspace* w) {
    const int32_t n = pred->PointCount;
    const int32_t rt = grid.timeRefinement;
    if (settings.usePumpingUnitForPosition == 1) {
        const double stepDt = pred->DT / rt;
        const double* kept = PuCyclePositions(settings.puCycle, settings.pu, grid.steps, stepDt);
        if (kept != nullptr) {
            std::copy(kept, kept + grid.steps, w->surface);
        } else {
            for (int32_t step = 0; step < grid.steps; ++step) {
                w->surface[step] = PredSurfacePosition(settings, step, grid.steps, stepDt, true);
            }
        }
        return;
    }
    for (int32_t i = 0; i < n; ++i) w->surface[i * rt] = PredSurfacePosition(settings, i, n, pred->DT, false);
    FillBetweenCardPoints(grid, n, w->surface);
}

// Displacements grow downward from the position at the start of the cycle.
void FillDrive(const double* surface, double surfaceOffset, int32_t steps, double* drive) {
    for (int32_t step = 0; step < steps; ++step) drive[step] = (surface[step] - surfaceOffset) / kInchesPerFootDown;
}

// The string starts as one body with the polished rod: the two rows before the first step hold
// the drive of the two steps before it (the cycle's last two), at every grid point. A string at
// rest under a polished rod that starts mid-stroke would take a velocity step at the surface, a
// shock of the rods' impedance times that speed that light damping keeps ringing to the last cycle.
void StartWithThePolishedRod(PredWorkspace* w, const PredMarchGrid& grid) {
    const double before = w->drive[grid.steps - 1];
    const double twoBefore = w->drive[grid.steps > 1 ? grid.steps - 2 : 0];
    if (!std::isfinite(before) || !std::isfinite(twoBefore)) return;
    std::fill(w->current, w->current + grid.points + 1, before);
    std::fill(w->previous, w->previous + grid.points + 1, twoBefore);
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

// Stores card point i from the march row just computed. The pump load is the plunger's load as
// the pump end gave it, exactly, within [0, fo] at full fillage.
void StoreLastCyclePoint(WaveModel* pred, const PredWorkspace& w, const PredMarchGrid& grid, LastCycle* last,
                         int32_t i, double f, double plungerLoad) {
    const int32_t M = pred->FeaNodeCount;
    const int32_t P = grid.points;
    const int32_t r = grid.spaceRefinement;
    const FeaNode* nodes = pred->nodes;
    const double* u = w.next;
    const double surfaceLoad =
        -(1.5 * u[0] - 2.0 * u[1] + 0.5 * u[2]) * nodes[0].areaFt2 / (nodes[0].dx / r) * nodes[0].modulusPsf +
        last->rodWeightInFluid;
    const double fluid = last->subtractFluid ? nodes[M - 1].fluidLoad : 0.0;
    const double pumpLoad = plungerLoad - fluid;
    const double pumpPos = kInchesPerFootDown * u[P] + last->surfaceOffset;
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
            rows.posRows[k][i] = kInchesPerFootDown * u[k * r] + last->surfaceOffset;
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

void ResetPredState(WaveModel* pred) {
    ResetNodeLoadLimits(pred);
    pred->pumpState = Unset;
    for (double& position : pred->pump.stateLastPos) position = 0.0;
    ClearPumpEvents(&pred->pump);
}

void March(int32_t cycles, WaveModel* pred, PredWorkspace& w, const PredMarchGrid& grid,
           const PredBoundaryContext& boundary, LastCycle* last) {
    const int32_t P = grid.points;
    const int32_t n = pred->PointCount;
    const int32_t rt = grid.timeRefinement;
    const FeaNode& lastNode = pred->nodes[pred->FeaNodeCount - 1];
    const double pumpSegmentStiffness = lastNode.modulusPsf * lastNode.areaFt2 / (lastNode.dx / grid.spaceRefinement);
    const MarchKernel marchInterior = ChooseMarchKernel();
    for (int32_t cycle = 0; cycle < cycles; ++cycle) {
        const bool lastCycle = cycle == cycles - 1;
        int32_t cardPoint = 0;  // the card point at or before the step
        int32_t phase = 0;      // steps since that card point
        for (int32_t step = 0; step < grid.steps; ++step) {
            w.next[0] = w.drive[step];
            const bool movingDown = w.next[0] > w.current[0];
            marchInterior(w.next, w.current, w.previous, movingDown ? w.centreDn : w.centreUp, w.mass, w.kBelow,
                          w.kAbove, movingDown ? w.overDn : w.overUp, P);
            // An event between two card points belongs to the first point that shows it.
            const int32_t point = phase == 0 ? cardPoint : (cardPoint + 1 == n ? 0 : cardPoint + 1);
            const PumpRodEnd rods = ThreePointRodEnd(w.next[P - 1], w.next[P - 2], pumpSegmentStiffness);
            double plungerLoad = 0.0;
            w.next[P] = PredPumpBoundaryStep(boundary, pred, point, rods, w.current[P], &plungerLoad);
            if (lastCycle && phase == 0) {
                StoreLastCyclePoint(pred, w, grid, last, cardPoint, w.surface[step], plungerLoad);
            }
            RotateRows(&w.next, &w.current, &w.previous);
            if (++phase == rt) {
                phase = 0;
                ++cardPoint;
            }
        }
    }
}

// What the march needs before it may start: the card's checks, the pump end and a march grid
// within the budget.
bool ReadyToMarch(const PredSettings& settings, const WaveModel* pred, PredBoundaryContext* boundary,
                  PredMarchGrid* grid) {
    if (!PredCardReady(settings, pred, 3) || !PredNodesSound(pred, false) ||
        !PredWorkFits(pred, settings.cycles, settings.fourier, settings.usePumpingUnitForPosition == 1) ||
        !MakePredBoundaryContext(settings, pred, boundary)) {
        return false;
    }
    *grid = ChoosePredMarchGrid(pred, settings.cycles, boundary->fo, boundary->m);
    return PredMarchWorkFits(pred, *grid, settings.cycles);
}

}  // namespace

bool CalcWavePredNew(const PredSettings& settings, WaveModel* pred) {
    if (!CardRodWeightsKnown(pred, "CalcWavePredNew")) return false;
    PredBoundaryContext boundary;
    PredMarchGrid grid;
    if (!ReadyToMarch(settings, pred, &boundary, &grid)) {
        LogMessage("Cannot run CalcWavePredNew() because all fields have not been set.");
        return false;
    }
    const int32_t M = pred->FeaNodeCount;
    const int32_t n = pred->PointCount;
    // Only where the work budget stopped the refinement: the ramps span at least the stretch
    // under fo of 1/kPredMaxRampToSegment of the last march segment.
    if (boundary.rampStiffness > grid.maxRampStiffness) {
        boundary.rampStiffness = grid.maxRampStiffness;
        boundary.m = boundary.fo / boundary.rampStiffness;
    }
    PredWorkspace w;
    if (!AllocWorkspace(&w, grid)) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    FillCoefficients(&w, settings, pred, grid);
    FillSurfacePositions(settings, pred, grid, &w);

    ResetPredState(pred);
    LastCycle last;
    last.rodWeightInFluid = pred->tapers->count > 0 ? pred->tapers->Rwf : 0.0;
    last.surfaceOffset = std::isfinite(w.surface[0]) ? w.surface[0] : 0.0;
    FillDrive(w.surface, last.surfaceOffset, grid.steps, w.drive);
    StartWithThePolishedRod(&w, grid);
    last.subtractFluid = settings.subtractFluidLoad == 1;
    last.keepRows = PreparePredIntermediateRows(pred);
    last.minPumpPos = DBL_MAX;
    last.failed = false;
    last.sawNaN = false;
    March(settings.cycles, pred, w, grid, boundary, &last);
    std::free(w.block);

    if (last.failed) {
        LogMessage("ERROR: CalcWavePredNew out of range!");
        return false;
    }
    if (last.sawNaN) LogMessage("Warning: %s predicted card holds values that are not numbers", pred->name);
    if (settings.zeroPumpPosition == 1) {
        if (last.keepRows) ZeroPositionRows(pred->intermediate.posRows, M, n);
        for (int32_t i = 0; i < n; ++i) pred->pumpPos[i] -= last.minPumpPos;
    }
    return true;
}
