// The legacy predictive solver: one explicit step per point over all cycles, damping
// chosen per grid point by the motion of the point above it.
#include "common/constants.h"
#include "engine/legacy_pred_solver.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "engine/fea_node.h"
#include "engine/legacy_pred_boundary.h"
#include "engine/pred_common.h"
#include "engine/pump_boundary.h"
#include "engine/solve_checks.h"
#include "engine/work_budget.h"
#include "engine/solve_settings.h"
#include "engine/taper_list.h"
#include "log/log.h"
#include "pumpunit/pu_cycle_cache.h"

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
    double* loadScale;   // kNode
    double* loadOffset;  // the rod weight below the node above
    double* rowLoad;     // loads of the row being stored
    double* surface;     // the measured card's position series at each point of a cycle, in
    double* drive;       // the top grid point's displacement at each point of a cycle, ft
    int32_t* loadStep;   // -1: backward difference at the grid point, +1: forward
};

bool AllocWorkspace(LegacyWorkspace* w, int32_t M, int32_t n) {
    double** const arrays[] = {&w->next,     &w->current,  &w->previous, &w->eaBelow, &w->eaAbove,
                               &w->mass,     &w->centreUp, &w->centreDn, &w->overUp,  &w->overDn,
                               &w->loadScale, &w->loadOffset, &w->rowLoad};
    w->block = AllocCarvedBlock(arrays, 13, M + 1, 2 * static_cast<size_t>(n), &w->surface, &w->loadStep);
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

// Both damping candidates of interior grid point j: ifUp when the point above moves up.
struct Candidates {
    double ifUp;
    double ifDn;
};

TESK_PRED_KERNEL_BODY Candidates PointCandidates(const LegacyWorkspace& c, int32_t j) {
    const double* u = c.current;
    const double base = c.eaBelow[j] * u[j + 1] + c.eaAbove[j] * u[j - 1] - c.mass[j] * c.previous[j];
    return {(base + c.centreUp[j] * u[j]) * c.overUp[j], (base + c.centreDn[j] * u[j]) * c.overDn[j]};
}

// The rule itself: grid points 1..M-1 in order, each choosing by the new displacement of the
// point above.
TESK_PRED_KERNEL_BODY void MarchInOrder(const LegacyWorkspace& w, int32_t M) {
    const LegacyWorkspace c = w;  // a local copy: no store through the rows can move its pointers
    for (int32_t j = 1; j < M; ++j) {
        const Candidates point = PointCandidates(c, j);
        c.next[j] = c.current[j - 1] > c.next[j - 1] ? point.ifUp : point.ifDn;
    }
}

// Grid points j..M-1 without the order, given the direction of point j-1 under each of its own
// candidates: where both candidates of the point above agree on its direction, the choice does
// not need its new displacement; only near a turn of the point above do they disagree. False
// when any point above disagrees (the row then to be chosen in order), else `agreed`.
TESK_PRED_KERNEL_BODY bool MarchPointsFrom(const LegacyWorkspace& w, int32_t j, int32_t M, bool aboveUpIfUp,
                                           bool aboveUpIfDn, bool agreed) {
    const LegacyWorkspace c = w;
    for (; j < M; ++j) {
        const Candidates point = PointCandidates(c, j);
        c.next[j] = aboveUpIfUp && aboveUpIfDn ? point.ifUp : point.ifDn;
        agreed = agreed && aboveUpIfUp == aboveUpIfDn;
        aboveUpIfUp = c.current[j] > point.ifUp;
        aboveUpIfDn = c.current[j] > point.ifDn;
    }
    return agreed;
}

using MarchRowKernel = bool (*)(LegacyWorkspace&, int32_t);

bool MarchRowBaseline(LegacyWorkspace& w, int32_t M) {
    MarchInOrder(w, M);
    return true;
}

#if TESK_PRED_WIDE_BUILD
// Lanes (previous[3], current[0], current[1], current[2]): each point gets the value of the point above.
TESK_PRED_AVX2_TARGET inline __m256d FromPointAbove(__m256d previous, __m256d current) {
    return _mm256_shuffle_pd(_mm256_permute2f128_pd(previous, current, 0x21), current, 0x5);
}

// MarchPointsFrom four points at a time. Reading candidates back from memory one point off
// their stores would stall every load until the stores reach the cache: the direction of the
// point above moves between registers instead.
TESK_PRED_AVX2_TARGET bool MarchRowAvx2(LegacyWorkspace& w, int32_t M) {
    const LegacyWorkspace c = w;
    const double* u = c.current;
    // Both candidates of the surface point are its prescribed displacement.
    __m256d aboveUpIfUp = _mm256_cmp_pd(_mm256_set1_pd(u[0]), _mm256_set1_pd(c.next[0]), _CMP_GT_OQ);
    __m256d aboveUpIfDn = aboveUpIfUp;
    __m256d disagree = _mm256_setzero_pd();
    int32_t j = 1;
    // Points j..j+3 stay above M-1, whose candidates choose nothing: their disagreement counts.
    for (; j + 4 < M; j += 4) {
        const __m256d centre = _mm256_loadu_pd(u + j);
        const __m256d base = _mm256_sub_pd(
            _mm256_add_pd(_mm256_mul_pd(_mm256_loadu_pd(c.eaBelow + j), _mm256_loadu_pd(u + j + 1)),
                          _mm256_mul_pd(_mm256_loadu_pd(c.eaAbove + j), _mm256_loadu_pd(u + j - 1))),
            _mm256_mul_pd(_mm256_loadu_pd(c.mass + j), _mm256_loadu_pd(c.previous + j)));
        const __m256d ifUp = _mm256_mul_pd(_mm256_add_pd(base, _mm256_mul_pd(_mm256_loadu_pd(c.centreUp + j), centre)),
                                           _mm256_loadu_pd(c.overUp + j));
        const __m256d ifDn = _mm256_mul_pd(_mm256_add_pd(base, _mm256_mul_pd(_mm256_loadu_pd(c.centreDn + j), centre)),
                                           _mm256_loadu_pd(c.overDn + j));
        const __m256d upIfUp = _mm256_cmp_pd(centre, ifUp, _CMP_GT_OQ);
        const __m256d upIfDn = _mm256_cmp_pd(centre, ifDn, _CMP_GT_OQ);
        const __m256d aboveUpEither = FromPointAbove(_mm256_and_pd(aboveUpIfUp, aboveUpIfDn), _mm256_and_pd(upIfUp, upIfDn));
        _mm256_storeu_pd(c.next + j, _mm256_blendv_pd(ifDn, ifUp, aboveUpEither));
        disagree = _mm256_or_pd(disagree, _mm256_xor_pd(upIfUp, upIfDn));
        aboveUpIfUp = upIfUp;
        aboveUpIfDn = upIfDn;
    }
    const bool lastUpIfUp = (_mm256_movemask_pd(aboveUpIfUp) & 8) != 0;
    const bool lastUpIfDn = (_mm256_movemask_pd(aboveUpIfDn) & 8) != 0;
    return MarchPointsFrom(c, j, M, lastUpIfUp, lastUpIfDn, _mm256_movemask_pd(disagree) == 0);
}
#endif

void MarchInterior(LegacyWorkspace& w, MarchRowKernel marchRow, int32_t M) {
    if (!marchRow(w, M)) MarchInOrder(w, M);
}

// Loads of grid points 1..M-1 of row u into rowLoad, widening the load envelope of the card by
// them when `widen`.
using RowLoadsKernel = void (*)(const LegacyWorkspace&, const double*, int32_t, WaveModel*, bool);

void RowLoadsBaseline(const LegacyWorkspace& w, const double* u, int32_t M, WaveModel* card, bool widen) {
    const InteriorLoadRule rule{w.loadStep, w.loadScale, w.loadOffset, 1};
    InteriorRowLoads(rule, u, M, w.rowLoad);
    if (widen) WidenInteriorLimits(card, w.rowLoad, M);
}

#if TESK_PRED_WIDE_BUILD
TESK_PRED_AVX2_TARGET inline void KeepLoad(const LegacyWorkspace& c, const double* u, int32_t k, WaveModel* card,
                                           bool widen) {
    const double load = StretchAt(u, k, c.loadStep[k]) * c.loadScale[k] + c.loadOffset[k];
    c.rowLoad[k] = load;
    if (widen) WidenLoadLimits(card, k, load);
}

// The loads of grid points k..k+3, whose differences stay within the row either way: both are
// taken, each by the operations of StretchAt, and the one that applies kept.
TESK_PRED_AVX2_TARGET inline __m256d LoadsFrom(const LegacyWorkspace& c, const double* u, int32_t k) {
    const __m256d two = _mm256_set1_pd(2.0);
    const __m256d half = _mm256_set1_pd(0.5);
    const __m256d centre = _mm256_mul_pd(_mm256_set1_pd(1.5), _mm256_loadu_pd(u + k));
    const __m256d backward = _mm256_add_pd(_mm256_sub_pd(centre, _mm256_mul_pd(two, _mm256_loadu_pd(u + k - 1))),
                                           _mm256_mul_pd(half, _mm256_loadu_pd(u + k - 2)));
    const __m256d forward = _mm256_add_pd(_mm256_sub_pd(centre, _mm256_mul_pd(two, _mm256_loadu_pd(u + k + 1))),
                                          _mm256_mul_pd(half, _mm256_loadu_pd(u + k + 2)));
    const __m256d steps = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(c.loadStep + k)));
    const __m256d stretch = _mm256_blendv_pd(_mm256_xor_pd(forward, _mm256_set1_pd(-0.0)), backward,
                                             _mm256_cmp_pd(steps, _mm256_setzero_pd(), _CMP_LT_OQ));
    return _mm256_add_pd(_mm256_mul_pd(stretch, _mm256_loadu_pd(c.loadScale + k)), _mm256_loadu_pd(c.loadOffset + k));
}

// RowLoadsBaseline in one pass, four points at a time between the ends.
TESK_PRED_AVX2_TARGET void RowLoadsAvx2(const LegacyWorkspace& w, const double* u, int32_t M, WaveModel* card,
                                        bool widen) {
    const LegacyWorkspace c = w;
    double* low = card->nodeLoadMin;
    double* high = card->nodeLoadMax;
    KeepLoad(c, u, 1, card, widen);
    int32_t k = 2;
    for (; k + 4 <= M - 2; k += 4) {
        const __m256d loads = LoadsFrom(c, u, k);
        _mm256_storeu_pd(c.rowLoad + k, loads);
        if (widen) {
            _mm256_storeu_pd(low + k, _mm256_min_pd(loads, _mm256_loadu_pd(low + k)));
            _mm256_storeu_pd(high + k, _mm256_max_pd(loads, _mm256_loadu_pd(high + k)));
        }
    }
    for (; k < M; ++k) KeepLoad(c, u, k, card, widen);
}
#endif

struct LegacySolve {
    WaveModel* pred;
    LegacyWorkspace w;
    LegacyBoundaryContext boundary;
    const double* surface;  // prescribed polished-rod position of each point of a cycle, in
    double surfaceOffset;   // f(0), added back to positions below the surface
    double rodWeightInFluid;
    double kSurface;  // eaNode/dx of node 0
    double kPump;     // eaNode/dx of node M-1
    int64_t lastCycleStart;
    MarchRowKernel marchRow;
    RowLoadsKernel rowLoads;
    bool keepRows;
};

// The best build of the march and of the row loads that the machine runs.
void ChooseKernels(LegacySolve* s) {
#if TESK_PRED_WIDE_BUILD
    if (PredWideBuildRuns()) {
        s->marchRow = &MarchRowAvx2;
        s->rowLoads = &RowLoadsAvx2;
        return;
    }
#endif
    s->marchRow = &MarchRowBaseline;
    s->rowLoads = &RowLoadsBaseline;
}

void StoreInterior(LegacySolve& s, const double* u, int32_t ic, bool inLimits) {
    const int32_t M = s.pred->FeaNodeCount;
    s.rowLoads(s.w, u, M, s.pred, inLimits);
    if (!s.keepRows) return;
    // Locals: a store into a row could otherwise change them, as far as the compiler knows.
    double* const* posRows = s.pred->intermediate.posRows;
    double* const* loadRows = s.pred->intermediate.loadRows;
    const double* loads = s.w.rowLoad;
    const double offset = s.surfaceOffset;
    for (int32_t k = 1; k < M; ++k) {
        posRows[k][ic] = kInchesPerFootDown * u[k] + offset;
        loadRows[k][ic] = loads[k];
    }
}

void StoreEnds(LegacySolve& s, const double* u, int32_t ic, bool inLimits, double f) {
    WaveModel* pred = s.pred;
    const int32_t M = pred->FeaNodeCount;
    const double pumpLoad = (1.5 * u[M] - 2.0 * u[M - 1] + 0.5 * u[M - 2]) * s.kPump;
    const double surfaceLoad = (2.0 * u[1] - 1.5 * u[0] - 0.5 * u[2]) * s.kSurface + s.rodWeightInFluid;
    const double pumpPos = kInchesPerFootDown * u[M] + s.surfaceOffset;
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

// What the last cycle keeps of row u, marched at running step i, point ic of its cycle.
// Whatever an earlier cycle would store, the last one overwrites at the same index.
void StoreRow(LegacySolve& s, const double* u, int32_t i, int32_t ic) {
    const bool inLimits = i > s.lastCycleStart;
    StoreInterior(s, u, ic, inLimits);
    StoreEnds(s, u, ic, inLimits, s.surface[ic]);
}

// One running step i, point ic of its cycle: surface, interior, pump end. The row of the step
// before is stored while this one marches: its values have long reached the cache, and the
// stores need not wait for the march.
void PredTimeStep(LegacySolve& s, int32_t i, int32_t ic) {
    s.w.next[0] = s.w.drive[ic];
    MarchInterior(s.w, s.marchRow, s.pred->FeaNodeCount);
    if (i > s.lastCycleStart) StoreRow(s, s.w.current, i - 1, ic - 1);
    if (i >= s.lastCycleStart) s.pred->pumpColors[ic] = PumpStateColor(s.pred->pump.legacyPumpState);
    PredPumpBoundary(s.boundary, &s.pred->pump, i, s.w.previous, s.w.current, s.w.next);
    RotateRows(&s.w.next, &s.w.current, &s.w.previous);
}

// The motion repeats every cycle: one evaluation per point serves every cycle, and the unit's
// serves every solve until one of its inputs changes. The measured card's series goes to
// `scratch`. Null when memory runs out.
const double* SurfacePositions(const PredSettings& settings, const WaveModel* pred, double* scratch) {
    if (settings.usePumpingUnitForPosition != 0) {
        return PuCyclePositions(settings.puCycle, settings.pu, pred->PointCount, pred->DT);
    }
    for (int32_t i = 0; i < pred->PointCount; ++i) {
        scratch[i] = PredSurfacePosition(settings, i, pred->PointCount, pred->DT, false);
    }
    return scratch;
}

}  // namespace

bool CalcWavePred(const PredSettings& settings, WaveModel* pred) {
    if (!CardRodWeightsKnown(pred, "CalcWavePred")) return false;
    LegacySolve s;
    s.pred = pred;
    const int64_t steps = PredCardReady(settings, pred, 4) && PredNodesSound(pred, true)
                              ? static_cast<int64_t>(pred->PointCount) * settings.cycles
                              : 0;
    if (steps <= 0 || steps > INT32_MAX ||
        !PredWorkFits(pred, settings.cycles, settings.fourier, settings.usePumpingUnitForPosition != 0) ||
        !MakeLegacyBoundaryContext(settings, pred, &s.boundary)) {
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
    ClearPumpEvents(&pred->pump);
    s.keepRows = PreparePredIntermediateRows(pred);
    pred->pump.legacyPumpState = NoLoad;

    s.surface = SurfacePositions(settings, pred, s.w.surface);
    if (s.surface == nullptr) {
        std::free(s.w.block);
        LogMessage("MALLOC ERROR");
        return false;
    }
    s.surfaceOffset = std::isfinite(s.surface[0]) ? s.surface[0] : 0.0;
    for (int32_t i = 0; i < pred->PointCount; ++i) s.w.drive[i] = (s.surface[i] - s.surfaceOffset) / kInchesPerFootDown;
    s.rodWeightInFluid = pred->tapers->count > 0 ? pred->tapers->Rwf : 0.0;
    s.kSurface = pred->nodes[0].eaNode / pred->nodes[0].dx;
    s.kPump = pred->nodes[M - 1].eaNode / pred->nodes[M - 1].dx;
    s.lastCycleStart = static_cast<int64_t>(settings.cycles - 1) * pred->PointCount;
    ChooseKernels(&s);
    for (int32_t i = 0, ic = 0; i < static_cast<int32_t>(steps); ++i, ic = ic + 1 == pred->PointCount ? 0 : ic + 1) {
        PredTimeStep(s, i, ic);
    }
    StoreRow(s, s.w.current, static_cast<int32_t>(steps) - 1, pred->PointCount - 1);
    std::free(s.w.block);
    return true;
}
