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
    double* loadScale;   // kNode
    double* loadOffset;  // the rod weight below the node above
    double* rowLoad;     // loads of the row being stored
    double* surface;     // prescribed polished-rod position of each point of a cycle, in
    double* drive;       // the top grid point's displacement at each point of a cycle, ft
    int32_t* loadStep;   // -1: backward difference at the grid point, +1: forward
};

bool AllocWorkspace(LegacyWorkspace* w, int32_t M, int32_t n) {
    double** const arrays[] = {&w->next,     &w->current,  &w->previous, &w->eaBelow, &w->eaAbove,
                               &w->mass,     &w->centreUp, &w->centreDn, &w->overUp,  &w->overDn,
                               &w->movingUp, &w->movingDn, &w->loadScale, &w->loadOffset, &w->rowLoad};
    w->block = AllocCarvedBlock(arrays, 15, M + 1, 2 * static_cast<size_t>(n), &w->surface, &w->loadStep);
    if (w->block == nullptr) return false;
    w->drive = w->surface + n;
    return true;
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
        w->loadScale[j] = node.kNode;
        w->loadOffset[j] = pred->nodes[j - 1].weightBelow;
    }
}

// Both damping candidates of every interior point: up[j] when the point above moves up, dn[j]
// when it moves down.
TESK_PRED_KERNEL_BODY void MarchCandidates(double* __restrict up, double* __restrict dn, const double* __restrict u,
                                           const double* __restrict uOld, const LegacyWorkspace& w, int32_t M) {
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
}

// The choice by the point above needs that point's new displacement first. Where both
// candidates of the point above agree on its direction, the choice does not depend on the
// order; only near a turn of the point above do they disagree. False in that case, with
// next[1..M-1] not yet chosen.
TESK_PRED_KERNEL_BODY bool ChooseWithoutOrder(double* __restrict next, double* __restrict up, double* __restrict dn,
                                              const double* __restrict u, int32_t M) {
    up[0] = next[0];
    dn[0] = next[0];
    int64_t disagree = 0;
    for (int32_t j = 1; j < M; ++j) {
        const int64_t aboveUpIfUp = u[j - 1] > up[j - 1];
        const int64_t aboveUpIfDn = u[j - 1] > dn[j - 1];
        const double ifUp = up[j];
        const double ifDn = dn[j];
        next[j] = (aboveUpIfUp & aboveUpIfDn) != 0 ? ifUp : ifDn;
        disagree |= aboveUpIfUp ^ aboveUpIfDn;
    }
    return disagree == 0;
}

TESK_PRED_KERNEL_BODY bool MarchRowBody(LegacyWorkspace& w, int32_t M) {
    MarchCandidates(w.movingUp, w.movingDn, w.current, w.previous, w, M);
    return ChooseWithoutOrder(w.next, w.movingUp, w.movingDn, w.current, M);
}

using MarchRowKernel = bool (*)(LegacyWorkspace&, int32_t);

bool MarchRowBaseline(LegacyWorkspace& w, int32_t M) { return MarchRowBody(w, M); }

#if TESK_PRED_WIDE_BUILD
TESK_PRED_AVX2_TARGET bool MarchRowAvx2(LegacyWorkspace& w, int32_t M) { return MarchRowBody(w, M); }
#endif

MarchRowKernel ChooseMarchRowKernel() {
#if TESK_PRED_WIDE_BUILD
    if (PredWideBuildRuns()) return &MarchRowAvx2;
#endif
    return &MarchRowBaseline;
}

void MarchInterior(LegacyWorkspace& w, MarchRowKernel marchRow, int32_t M) {
    if (marchRow(w, M)) return;
    for (int32_t j = 1; j < M; ++j) w.next[j] = w.current[j - 1] > w.next[j - 1] ? w.movingUp[j] : w.movingDn[j];
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
    MarchRowKernel marchRow;
    bool keepRows;
};

void StoreInterior(LegacySolve& s, int32_t ic, bool inLimits) {
    const int32_t M = s.pred->FeaNodeCount;
    const InteriorLoadRule rule{s.w.loadStep, s.w.loadScale, s.w.loadOffset, 1};
    InteriorRowLoads(rule, s.w.next, M, s.w.rowLoad);
    if (inLimits) WidenInteriorLimits(s.pred, s.w.rowLoad, M);
    if (!s.keepRows) return;
    IntermediateCards& rows = s.pred->intermediate;
    for (int32_t k = 1; k < M; ++k) {
        rows.posRows[k][ic] = -12.0 * s.w.next[k] + s.surfaceOffset;
        rows.loadRows[k][ic] = s.w.rowLoad[k];
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

// One running step i, point ic of its cycle: surface, interior, pump end, then what the step stores.
void PredTimeStep(LegacySolve& s, int32_t i, int32_t ic) {
    WaveModel* pred = s.pred;
    const int32_t M = pred->FeaNodeCount;
    const double f = s.w.surface[ic];
    s.w.next[0] = s.w.drive[ic];
    MarchInterior(s.w, s.marchRow, M);
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
    for (int32_t i = 0; i < pred->PointCount; ++i) s.w.drive[i] = (s.w.surface[i] - s.surfaceOffset) / -12.0;
    s.rodWeightInFluid = pred->tapers->count > 0 ? pred->tapers->Rwf : 0.0;
    s.kSurface = pred->nodes[0].eaNode / pred->nodes[0].dx;
    s.kPump = pred->nodes[M - 1].eaNode / pred->nodes[M - 1].dx;
    s.lastCycleStart = static_cast<int64_t>(obj->predCycles - 1) * pred->PointCount;
    s.marchRow = ChooseMarchRowKernel();
    for (int32_t i = 0, ic = 0; i < static_cast<int32_t>(steps); ++i, ic = ic + 1 == pred->PointCount ? 0 : ic + 1) {
        PredTimeStep(s, i, ic);
    }
    std::free(s.w.block);
    return true;
}
