// Pieces that the new and the legacy predictive solver share.
#include "engine/pred_common.h"

#include <atomic>
#include <cfloat>
#include <cmath>
#include <cstdlib>

#include "engine/fea_node.h"
#include "engine/fourier.h"
#include "engine/solve_settings.h"
#include "engine/taper_list.h"
#include "pumpunit/pu_motion.h"

namespace {

std::atomic<bool> wideBuildAllowed{true};

bool MachineRunsAvx2() {
#if TESK_PRED_WIDE_BUILD
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace

bool PredWideBuildRuns() {
    static const bool machineRunsAvx2 = MachineRunsAvx2();
    return machineRunsAvx2 && wideBuildAllowed.load(std::memory_order_relaxed);
}

void AllowPredWideBuild(bool allowed) { wideBuildAllowed.store(allowed, std::memory_order_relaxed); }

bool PredCardReady(const PredSettings& settings, const WaveModel* pred, int32_t minNodes) {
    return pred->PointCount > 0 && pred->surfacePos != nullptr && pred->surfaceLoad != nullptr &&
           pred->pumpPos != nullptr && pred->pumpLoad != nullptr && pred->pumpColors != nullptr &&
           pred->nodes != nullptr && pred->FeaNodeCount >= minNodes && pred->nodeLoadMin != nullptr &&
           pred->nodeLoadMax != nullptr && pred->tapers != nullptr && pred->tapers->count > 0 &&
           FindLastTaper(pred->tapers) != nullptr && settings.cycles > 0;
}

namespace {

bool FinitePositive(double x) { return std::isfinite(x) && x > 0.0; }

}  // namespace

bool PredNodesSound(const WaveModel* pred, bool legacy) {
    const FeaNode* nodes = pred->nodes;
    for (int32_t k = 0; k < pred->FeaNodeCount; ++k) {
        const FeaNode& node = nodes[k];
        if (!FinitePositive(node.kNode)) return false;
        if (k == 0) continue;
        const bool sound = legacy ? FinitePositive(node.eaNode) && FinitePositive(node.eaAbove) &&
                                        FinitePositive(node.legacyMass)
                                  : FinitePositive(node.predKNode) && FinitePositive(node.predKAbove) &&
                                        FinitePositive(node.predMass);
        if (!sound) return false;
    }
    return true;
}

double PredSurfacePosition(const PredSettings& settings, int32_t i, int32_t n, double dt, bool fromPumpingUnit) {
    if (fromPumpingUnit) return PuPolishedRodPosition(settings.pu, i, n, dt);
    if (settings.fourier == nullptr) return 0.0;
    return EvalFourierSeries(&settings.fourier->pos, static_cast<double>(i) / n);
}

bool UsesBackwardDifference(const FeaNode* nodes, int32_t M, int32_t k) {
    if (k < 2) return false;
    if (k > M - 3) return true;
    const FeaNode& n0 = nodes[k];
    const FeaNode& n1 = nodes[k - 1];
    const FeaNode& n2 = nodes[k - 2];
    return n0.modulusPsf == n1.modulusPsf && n1.modulusPsf == n2.modulusPsf && n0.wpfNode == n1.wpfNode &&
           n1.wpfNode == n2.wpfNode && n0.dx == n1.dx && n1.dx == n2.dx;
}

bool PreparePredIntermediateRows(WaveModel* pred) {
    IntermediateCards& rows = pred->intermediate;
    if (rows.enabled != 1) {
        FreeIntermediateCards(&rows);
        return false;
    }
    const int32_t M = pred->FeaNodeCount;
    return AllocIntermediateCards(&rows, M + 1, pred->PointCount) && rows.posRows != nullptr &&
           rows.loadRows != nullptr && rows.rowCount >= M + 2;
}

void* AllocCarvedBlock(double** const* arrays, int32_t arrayCount, int32_t length, size_t tailLength,
                       double** tail, int32_t** steps) {
    const size_t row = static_cast<size_t>(length);
    const size_t doubles = static_cast<size_t>(arrayCount) * row + tailLength;
    void* block = std::calloc(1, doubles * sizeof(double) + row * sizeof(int32_t));
    if (block == nullptr) return nullptr;
    double* p = static_cast<double*>(block);
    for (int32_t a = 0; a < arrayCount; ++a) {
        *arrays[a] = p;
        p += row;
    }
    *tail = p;
    *steps = reinterpret_cast<int32_t*>(p + tailLength);
    return block;
}

void ZeroPositionRows(double** rows, int32_t lastRow, int32_t columns) {
    for (int32_t r = 0; r <= lastRow; ++r) {
        double* row = rows[r];
        double rowMin = DBL_MAX;
        for (int32_t i = 0; i < columns; ++i) rowMin = row[i] < rowMin ? row[i] : rowMin;
        for (int32_t i = 0; i < columns; ++i) row[i] -= rowMin;
    }
}

namespace {

TESK_PRED_KERNEL_BODY void InteriorRowLoadsBody(const InteriorLoadRule& rule, const double* u, int32_t M,
                                                double* load) {
    const int32_t r = rule.refinement;
    if (r != 1) {
        for (int32_t k = 1; k < M; ++k) load[k] = StretchAt(u, k * r, rule.loadStep[k]) * rule.scale[k] + rule.offset[k];
        return;
    }
    // Between the ends both differences stay within the row: take both and keep the one that
    // applies, so that the loop runs without a branch.
    const int32_t* __restrict step = rule.loadStep;
    const double* __restrict scale = rule.scale;
    const double* __restrict offset = rule.offset;
    double* __restrict out = load;
    for (int32_t k = 2; k < M - 2; ++k) {
        const double backward = 1.5 * u[k] - 2.0 * u[k - 1] + 0.5 * u[k - 2];
        const double forward = -(1.5 * u[k] - 2.0 * u[k + 1] + 0.5 * u[k + 2]);
        out[k] = (step[k] < 0 ? backward : forward) * scale[k] + offset[k];
    }
    const auto atEnd = [&](int32_t k) { out[k] = StretchAt(u, k, step[k]) * scale[k] + offset[k]; };
    atEnd(1);
    for (int32_t k = M - 2 > 2 ? M - 2 : 2; k < M; ++k) atEnd(k);
}

TESK_PRED_KERNEL_BODY void WidenInteriorLimitsBody(WaveModel* card, const double* load, int32_t M) {
    double* __restrict low = card->nodeLoadMin;
    double* __restrict high = card->nodeLoadMax;
    for (int32_t k = 1; k < M; ++k) {
        low[k] = load[k] < low[k] ? load[k] : low[k];
        high[k] = load[k] > high[k] ? load[k] : high[k];
    }
}

#if TESK_PRED_WIDE_BUILD
TESK_PRED_AVX2_TARGET void InteriorRowLoadsAvx2(const InteriorLoadRule& rule, const double* u, int32_t M,
                                                double* load) {
    InteriorRowLoadsBody(rule, u, M, load);
}

TESK_PRED_AVX2_TARGET void WidenInteriorLimitsAvx2(WaveModel* card, const double* load, int32_t M) {
    WidenInteriorLimitsBody(card, load, M);
}
#endif

}  // namespace

void InteriorRowLoads(const InteriorLoadRule& rule, const double* u, int32_t M, double* load) {
#if TESK_PRED_WIDE_BUILD
    if (PredWideBuildRuns()) return InteriorRowLoadsAvx2(rule, u, M, load);
#endif
    InteriorRowLoadsBody(rule, u, M, load);
}

void WidenInteriorLimits(WaveModel* card, const double* load, int32_t M) {
#if TESK_PRED_WIDE_BUILD
    if (PredWideBuildRuns()) return WidenInteriorLimitsAvx2(card, load, M);
#endif
    WidenInteriorLimitsBody(card, load, M);
}
