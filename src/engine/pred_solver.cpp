// The default predictive solver: explicit march of the damped wave equation over the rod
// string, polished rod prescribed at the top, pump state machine at the bottom.
#include "engine/pred_solver.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "engine/fea_node.h"
#include "engine/pred_common.h"
#include "engine/pump_boundary.h"
#include "engine/work_budget.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"

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
    double* denomUp;   // g damp + mass
    double* denomDn;
    double* surface;   // prescribed polished-rod position of each point, in
    int32_t* loadStep;  // -1: backward difference at the grid point, +1: forward
};

bool AllocWorkspace(PredWorkspace* w, int32_t M, int32_t n) {
    double** const arrays[] = {&w->next,     &w->current,  &w->previous, &w->mass,    &w->kBelow,
                               &w->kAbove,   &w->centreUp, &w->centreDn, &w->denomUp, &w->denomDn};
    w->block = AllocCarvedBlock(arrays, 10, M + 1, n, &w->surface, &w->loadStep);
    return w->block != nullptr;
}

void FillCoefficients(PredWorkspace* w, const WaveModel* pred) {
    const int32_t M = pred->FeaNodeCount;
    for (int32_t k = 1; k < M; ++k) {
        const FeaNode& node = pred->nodes[k];
        w->mass[k] = node.predMass;
        w->kBelow[k] = node.predKNode;
        w->kAbove[k] = node.predKAbove;
        w->centreUp[k] = 2.0 * node.predMass + pred->dampUp * node.predDamp - node.predKNode - node.predKAbove;
        w->centreDn[k] = 2.0 * node.predMass + pred->dampDn * node.predDamp - node.predKNode - node.predKAbove;
        w->denomUp[k] = pred->dampUp * node.predDamp + node.predMass;
        w->denomDn[k] = pred->dampDn * node.predDamp + node.predMass;
        w->loadStep[k] = UsesBackwardDifference(pred->nodes, M, k) ? -1 : 1;
    }
}

// One explicit update of the interior grid points 1..M-1.
void MarchInterior(double* __restrict next, const double* __restrict current, const double* __restrict previous,
                   const double* __restrict centre, const double* __restrict mass, const double* __restrict kBelow,
                   const double* __restrict kAbove, const double* __restrict denom, int32_t M) {
    for (int32_t k = 1; k < M; ++k) {
        next[k] = (centre[k] * current[k] - mass[k] * previous[k] + kBelow[k] * current[k + 1] +
                   kAbove[k] * current[k - 1]) /
                  denom[k];
    }
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

double InteriorLoad(const WaveModel* pred, const PredWorkspace& w, const LastCycle& last, int32_t k) {
    const FeaNode& node = pred->nodes[k];
    const double strainLoad = StretchAt(w.next, k, w.loadStep[k]) * node.areaFt2 / node.dx * node.modulusPsf;
    const double fluid = last.subtractFluid ? node.fluidLoad : 0.0;
    return strainLoad - fluid + pred->nodes[k - 1].weightBelow;
}

void StoreLastCyclePoint(WaveModel* pred, const PredWorkspace& w, LastCycle* last, int32_t i, double f) {
    const int32_t M = pred->FeaNodeCount;
    const FeaNode* nodes = pred->nodes;
    const double* u = w.next;
    const double surfaceLoad =
        -(1.5 * u[0] - 2.0 * u[1] + 0.5 * u[2]) * nodes[0].areaFt2 / nodes[0].dx * nodes[0].modulusPsf +
        last->rodWeightInFluid;
    const double fluid = last->subtractFluid ? nodes[M - 1].fluidLoad : 0.0;
    const double pumpLoad =
        (1.5 * u[M] - 2.0 * u[M - 1] + 0.5 * u[M - 2]) * nodes[M - 1].areaFt2 / nodes[M - 1].dx *
            nodes[M - 1].modulusPsf -
        fluid;
    const double pumpPos = -12.0 * u[M] + last->surfaceOffset;
    if (pumpPos < last->minPumpPos) last->minPumpPos = pumpPos;

    pred->surfacePos[i] = RangeChecked(f, kPositionLimit, last);
    pred->surfaceLoad[i] = RangeChecked(surfaceLoad, kLoadLimit, last);
    pred->pumpPos[i] = RangeChecked(pumpPos, kPositionLimit, last);
    pred->pumpLoad[i] = RangeChecked(pumpLoad, kLoadLimit, last);

    IntermediateCards& rows = pred->intermediate;
    for (int32_t k = 1; k < M; ++k) {
        const double load = InteriorLoad(pred, w, *last, k);
        if (last->keepRows) {
            rows.posRows[k][i] = -12.0 * u[k] + last->surfaceOffset;
            rows.loadRows[k][i] = load;
        }
        WidenLoadLimits(pred, k, load);
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

void March(TeskObj* obj, WaveModel* pred, PredWorkspace& w, const PredBoundaryContext& boundary, LastCycle* last) {
    const int32_t M = pred->FeaNodeCount;
    const int32_t n = pred->PointCount;
    const double f0 = last->surfaceOffset;
    for (int32_t cycle = 0; cycle < obj->predCycles; ++cycle) {
        const bool lastCycle = cycle == obj->predCycles - 1;
        for (int32_t i = 0; i < n; ++i) {
            w.next[0] = (w.surface[i] - f0) / -12.0;
            const bool movingDown = w.next[0] > w.current[0];
            MarchInterior(w.next, w.current, w.previous, movingDown ? w.centreDn : w.centreUp, w.mass, w.kBelow,
                          w.kAbove, movingDown ? w.denomDn : w.denomUp, M);
            w.next[M] = PredPumpBoundaryStep(boundary, obj, pred, i, w.next, w.current);
            if (lastCycle) StoreLastCyclePoint(pred, w, last, i, w.surface[i]);
            RotateRows(&w.next, &w.current, &w.previous);
        }
    }
}

}  // namespace

bool CalcWavePredNew(TeskObj* obj, WaveModel* pred) {
    PredBoundaryContext boundary;
    if (!PredCardReady(obj, pred, 3) || !PredWorkFits(obj, pred, obj->usePumpingUnitForPosition == 1) ||
        !MakePredBoundaryContext(obj, pred, &boundary)) {
        LogMessage("Cannot run CalcWavePredNew() because all fields have not been set.");
        return false;
    }
    const int32_t M = pred->FeaNodeCount;
    const int32_t n = pred->PointCount;
    PredWorkspace w;
    if (!AllocWorkspace(&w, M, n)) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    FillCoefficients(&w, pred);
    const bool fromPumpingUnit = obj->usePumpingUnitForPosition == 1;
    for (int32_t i = 0; i < n; ++i) w.surface[i] = PredSurfacePosition(obj, pred, i, fromPumpingUnit);

    ResetPredState(obj, pred);
    LastCycle last;
    last.rodWeightInFluid = pred->tapers->count > 0 ? pred->tapers->Rwf : 0.0;
    last.surfaceOffset = std::isfinite(w.surface[0]) ? w.surface[0] : 0.0;
    last.subtractFluid = obj->subtractFluidLoad == 1;
    last.keepRows = PreparePredIntermediateRows(pred);
    last.minPumpPos = DBL_MAX;
    last.failed = false;
    last.sawNaN = false;
    March(obj, pred, w, boundary, &last);
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
