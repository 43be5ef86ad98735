// The legacy predictive solver: one explicit step per point over all cycles, damping
// chosen per grid point by the motion of the point above it.
#include "engine/legacy_pred_solver.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "engine/fea_node.h"
#include "engine/legacy_pred_boundary.h"
#include "engine/pred_common.h"
#include "engine/pump_boundary.h"
#include "engine/solve_checks.h"
#include "engine/work_budget.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"

namespace {

// Working storage of one solve, one allocation; node coefficients laid out per grid point.
struct LegacyWorkspace {
    void* block;
    double* next;
    double* current;
    double* previous;
    double* eaBelow;   // eaNode
    double* eaAbove;
    double* mass;      // legacyMass
    double* centreUp;  // (o + 2) mass - eaNode - eaAbove, o = nodeCUpDt
    double* centreDn;
    double* overUp;    // 1 / ((o + 1) mass), a multiplication per update instead of a division
    double* overDn;
    double* movingUp;  // candidate displacement when the point above moved up
    double* movingDn;
    double* surface;    // prescribed polished-rod position of each point of a cycle, in
    int32_t* loadStep;  // -1: backward difference at the grid point, +1: forward
};

bool AllocWorkspace(LegacyWorkspace* w, int32_t M, int32_t n) {
    double** const arrays[] = {&w->next,     &w->current,  &w->previous, &w->eaBelow, &w->eaAbove,
                               &w->mass,     &w->centreUp, &w->centreDn, &w->overUp,  &w->overDn,
                               &w->movingUp, &w->movingDn};
    w->block = AllocCarvedBlock(arrays, 12, M + 1, n, &w->surface, &w->loadStep);
    return w->block != nullptr;
}

void FillCoefficients(LegacyWorkspace* w, const WaveModel* pred) {
    const int32_t M = pred->FeaNodeCount;
    for (int32_t j = 1; j < M; ++j) {
        const FeaNode& node = pred->nodes[j];
        w->eaBelow[j] = node.eaNode;
        w->eaAbove[j] = node.eaAbove;
        w->mass[j] = node.legacyMass;
        w->centreUp[j] = (node.nodeCUpDt + 2.0) * node.legacyMass - node.eaNode - node.eaAbove;
        w->centreDn[j] = (node.nodeCDnDt + 2.0) * node.legacyMass - node.eaNode - node.eaAbove;
        w->overUp[j] = 1.0 / ((node.nodeCUpDt + 1.0) * node.legacyMass);
        w->overDn[j] = 1.0 / ((node.nodeCDnDt + 1.0) * node.legacyMass);
        w->loadStep[j] = UsesBackwardDifference(pred->nodes, M, j) ? -1 : 1;
    }
}

// Both damping candidates of every interior point, then the choice by the point above,
// which needs that point's new displacement first.
void MarchInterior(LegacyWorkspace& w, int32_t M) {
    double* __restrict up = w.movingUp;
    double* __restrict dn = w.movingDn;
    const double* __restrict u = w.current;
    const double* __restrict uOld = w.previous;
    const double* __restrict eaBelow = w.eaBelow;
    const double* __restrict eaAbove = w.eaAbove;
    const double* __restrict mass = w.mass;
    const double* __restrict centreUp = w.centreUp;
    const double* __restrict centreDn = w.centreDn;
    const double* __restrict overUp = w.overUp;
    const double* __restrict overDn = w.overDn;
    for (int32_t j = 1; j < M; ++j) {
        const double base = eaBelow[j] * u[j + 1] + eaAbove[j] * u[j - 1] - mass[j] * uOld[j];
        up[j] = (base + centreUp[j] * u[j]) * overUp[j];
        dn[j] = (base + centreDn[j] * u[j]) * overDn[j];
    }
    double* next = w.next;
    for (int32_t j = 1; j < M; ++j) next[j] = u[j - 1] > next[j - 1] ? up[j] : dn[j];
}

struct LegacySolve {
    TeskObj* obj;
    WaveModel* pred;
    LegacyWorkspace w;
    LegacyBoundaryContext boundary;
    double surfaceOffset;  // f(0), added back to positions below the surface
    double rodWeightInFluid;
    double kSurface;  // eaNode/dx of node 0
    double kPump;     // eaNode/dx of node M-1
    int64_t lastCycleStart;
    bool keepRows;
};

double InteriorLoad(const LegacySolve& s, int32_t k) {
    const FeaNode* nodes = s.pred->nodes;
    return StretchAt(s.w.next, k, s.w.loadStep[k]) * nodes[k].kNode + nodes[k - 1].weightBelow;
}

void StoreInterior(LegacySolve& s, int32_t ic, bool inLimits) {
    const int32_t M = s.pred->FeaNodeCount;
    IntermediateCards& rows = s.pred->intermediate;
    for (int32_t k = 1; k < M; ++k) {
        const double load = InteriorLoad(s, k);
        if (s.keepRows) {
            rows.posRows[k][ic] = -12.0 * s.w.next[k] + s.surfaceOffset;
            rows.loadRows[k][ic] = load;
        }
        if (inLimits) WidenLoadLimits(s.pred, k, load);
    }
}

void StoreEnds(LegacySolve& s, int32_t ic, bool inLimits, double f) {
    WaveModel* pred = s.pred;
    const int32_t M = pred->FeaNodeCount;
    const double* u = s.w.next;
    const double pumpLoad = (1.5 * u[M] - 2.0 * u[M - 1] + 0.5 * u[M - 2]) * s.kPump;
    const double surfaceLoad = (2.0 * u[1] - 1.5 * u[0] - 0.5 * u[2]) * s.kSurface + s.rodWeightInFluid;
    const double pumpPos = -12.0 * u[M] + s.surfaceOffset;
    if (s.keepRows) {
        IntermediateCards& rows = pred->intermediate;
        rows.posRows[0][ic] = f;
        rows.loadRows[0][ic] = surfaceLoad;
        rows.posRows[M][ic] = pumpPos;
        rows.loadRows[M][ic] = pumpLoad;
    }
    if (inLimits) {
        WidenLoadLimits(pred, 0, surfaceLoad);
        WidenLoadLimits(pred, M, pumpLoad);
    }
    pred->surfacePos[ic] = f;
    pred->surfaceLoad[ic] = surfaceLoad;
    pred->pumpPos[ic] = pumpPos;
    pred->pumpLoad[ic] = pumpLoad;
}

// One running step i: surface, interior, pump end, then what the step stores.
void PredTimeStep(LegacySolve& s, int32_t i) {
    WaveModel* pred = s.pred;
    const int32_t n = pred->PointCount;
    const int32_t M = pred->FeaNodeCount;
    const int32_t ic = i % n;
    const double f = s.w.surface[ic];
    s.w.next[0] = (f - s.surfaceOffset) / -12.0;
    MarchInterior(s.w, M);
    // Whatever an earlier cycle would store, the last one overwrites at the same index.
    const bool lastCycle = i >= s.lastCycleStart;
    const bool inLimits = i > s.lastCycleStart;
    if (lastCycle) {
        StoreInterior(s, ic, inLimits);
        pred->pumpColors[ic] = PumpStateColor(s.obj->legacyPumpState);
    }
    PredPumpBoundary(s.boundary, s.obj, i, s.w.previous, s.w.current, s.w.next);
    if (lastCycle) StoreEnds(s, ic, inLimits, f);
    RotateRows(&s.w.next, &s.w.current, &s.w.previous);
}

}  // namespace

bool CalcWavePred(TeskObj* obj, WaveModel* pred) {
    if (!CardRodWeightsKnown(pred, "CalcWavePred")) return false;
    LegacySolve s;
    s.obj = obj;
    s.pred = pred;
    const int64_t steps = PredCardReady(obj, pred, 4) && PredNodesSound(pred, true)
                              ? static_cast<int64_t>(pred->PointCount) * obj->predCycles
                              : 0;
    if (steps <= 0 || steps > INT32_MAX || !PredWorkFits(obj, pred, obj->usePumpingUnitForPosition != 0) ||
        !MakeLegacyBoundaryContext(obj, pred, &s.boundary)) {
        LogMessage("Cannot run CalcWavePred() because all fields have not been set.");
        return false;
    }
    const int32_t M = pred->FeaNodeCount;
    if (!AllocWorkspace(&s.w, M, pred->PointCount)) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    FillCoefficients(&s.w, pred);
    ResetNodeLoadLimits(pred);
    for (int k = 0; k < 4; ++k) {
        obj->pumpEventPos[k] = 0.0;
        obj->pumpEventIndex[k] = 0;
    }
    s.keepRows = PreparePredIntermediateRows(pred);
    obj->legacyPumpState = NoLoad;

    // The motion repeats every cycle: one evaluation per point serves every cycle.
    const bool fromPumpingUnit = obj->usePumpingUnitForPosition != 0;
    for (int32_t i = 0; i < pred->PointCount; ++i) {
        s.w.surface[i] = PredSurfacePosition(obj, pred, i, pred->PointCount, pred->DT, fromPumpingUnit);
    }
    s.surfaceOffset = std::isfinite(s.w.surface[0]) ? s.w.surface[0] : 0.0;
    s.rodWeightInFluid = pred->tapers->count > 0 ? pred->tapers->Rwf : 0.0;
    s.kSurface = pred->nodes[0].eaNode / pred->nodes[0].dx;
    s.kPump = pred->nodes[M - 1].eaNode / pred->nodes[M - 1].dx;
    s.lastCycleStart = static_cast<int64_t>(obj->predCycles - 1) * pred->PointCount;
    for (int32_t i = 0; i < static_cast<int32_t>(steps); ++i) PredTimeStep(s, i);
    std::free(s.w.block);
    return true;
}
