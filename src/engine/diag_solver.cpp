#include "engine/diag_solver.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "engine/fea_node.h"
#include "engine/work_budget.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/wave_model.h"

// The march loops are built twice, for any x86-64 and for AVX2, and each solve picks the best build
// the machine runs. Neither build fuses a multiply into an add (AVX2 does not bring FMA along), so
// both round every operation alike and a card's results do not depend on the machine.
#if defined(__x86_64__) && defined(__GNUC__)
#define TESK_HAS_AVX2_BUILD 1
#define TESK_KERNEL_BODY inline __attribute__((always_inline))
#define TESK_AVX2_TARGET __attribute__((target("avx2")))
#else
#define TESK_HAS_AVX2_BUILD 0
#define TESK_KERNEL_BODY inline
#endif

namespace {

constexpr int32_t kDiagPumpColor = 0x00FF00FF;
constexpr double kInchesPerFootDown = -12.0;  // card position (in, up) per displacement (ft, down)

struct MarchCoeffs {
    double later;
    double now;
    double earlier;
    double above;
    double k;
};

// Widens [*low, *high] to the loads; a NaN load never replaces a limit. Independent lanes
// keep the compare chains short, so the scan runs at the speed of the loads.
TESK_KERNEL_BODY void WidenLimits(const double* loads, size_t count, double* low, double* high) {
    constexpr size_t kLanes = 8;
    double lo[kLanes];
    double hi[kLanes];
    for (size_t l = 0; l < kLanes; ++l) {
        lo[l] = *low;
        hi[l] = *high;
    }
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) {
        for (size_t l = 0; l < kLanes; ++l) {
            const double v = loads[i + l];
            lo[l] = v < lo[l] ? v : lo[l];
            hi[l] = v > hi[l] ? v : hi[l];
        }
    }
    for (; i < count; ++i) {
        lo[0] = loads[i] < lo[0] ? loads[i] : lo[0];
        hi[0] = loads[i] > hi[0] ? loads[i] : hi[0];
    }
    for (size_t l = 0; l < kLanes; ++l) {
        *low = lo[l] < *low ? lo[l] : *low;
        *high = hi[l] > *high ? hi[l] : *high;
    }
}

TESK_KERNEL_BODY void MarchStretch(double* __restrict next, const double* __restrict cur,
                                   const double* __restrict prev, size_t from, size_t to, MarchCoeffs c) {
    for (size_t h = from; h < to; ++h) {
        next[h] = (((cur[h + 1] * c.later + c.now * cur[h]) + cur[h - 1] * c.earlier) + prev[h] * c.above) / c.k;
    }
}

TESK_KERNEL_BODY void LoadStretch(double* __restrict out, const double* __restrict next, const double* __restrict cur,
                                  const double* __restrict prev, size_t count, bool taperChange, double k,
                                  double weightBelow, double fluidLoad) {
    if (taperChange) {
        for (size_t h = 0; h < count; ++h) out[h] = ((next[h] - cur[h]) * k + weightBelow) - fluidLoad;
    } else {
        for (size_t h = 0; h < count; ++h) {
            out[h] = ((next[h] * 1.5 - (cur[h] + cur[h]) + prev[h] * 0.5) * k + weightBelow) - fluidLoad;
        }
    }
}

// Position of the grid point below row `cur`, from the two rows above it. The caller's `cur`
// never starts a row, so the value before it is read through `before` (an unsigned h - 1
// would wrap the pointer at h = 0).
TESK_KERNEL_BODY void PositionStretch(double* __restrict out, const double* __restrict cur,
                                      const double* __restrict prev, size_t count, double cDt) {
    const double* before = cur - 1;
    for (size_t h = 0; h < count; ++h) {
        out[h] = ((1 + cDt) * cur[h + 1] - cDt * cur[h] + before[h] - prev[h]) * kInchesPerFootDown;
    }
}

TESK_KERNEL_BODY void PumpLoadStretch(double* __restrict out, const double* __restrict pump,
                                      const double* __restrict cur, const double* __restrict prev, size_t count,
                                      double k, double fluidLoad) {
    for (size_t h = 0; h < count; ++h) out[h] = (pump[h] * 1.5 - (cur[h] + cur[h]) + prev[h] * 0.5) * k - fluidLoad;
}

// One build of the loops above: each entry runs its loop compiled for that build's instruction set.
struct DiagKernels {
    decltype(&WidenLimits) widen;
    decltype(&MarchStretch) march;
    decltype(&LoadStretch) load;
    decltype(&PositionStretch) position;
    decltype(&PumpLoadStretch) pumpLoad;
};

template <auto Body, typename... Args>
void BaselineKernel(Args... args) {
    Body(args...);
}

constexpr DiagKernels kBaselineKernels{&BaselineKernel<WidenLimits>, &BaselineKernel<MarchStretch>,
                                       &BaselineKernel<LoadStretch>, &BaselineKernel<PositionStretch>,
                                       &BaselineKernel<PumpLoadStretch>};

#if TESK_HAS_AVX2_BUILD
template <auto Body, typename... Args>
TESK_AVX2_TARGET void Avx2Kernel(Args... args) {
    Body(args...);
}

constexpr DiagKernels kAvx2Kernels{&Avx2Kernel<WidenLimits>, &Avx2Kernel<MarchStretch>, &Avx2Kernel<LoadStretch>,
                                   &Avx2Kernel<PositionStretch>, &Avx2Kernel<PumpLoadStretch>};

bool MachineRunsAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}
#endif

const DiagKernels* KernelsOf(DiagKernelBuild build) {
    if (build == DiagKernelBuild::Baseline) return &kBaselineKernels;
#if TESK_HAS_AVX2_BUILD
    if (build == DiagKernelBuild::Avx2 && MachineRunsAvx2()) return &kAvx2Kernels;
#endif
    return nullptr;
}

const DiagKernels* BestKernels() {
    const DiagKernels* avx2 = KernelsOf(DiagKernelBuild::Avx2);
    return avx2 != nullptr ? avx2 : &kBaselineKernels;
}

const TaperItem* FirstValidTaper(const TaperList* list) {
    for (int32_t i = 0; i < list->count; ++i) {
        if (IsValidTaper(list->items[i])) return &list->items[i];
    }
    return nullptr;
}

// Zero-diameter tapers and zero-length strings leave nodes without stiffness; marching them
// would only divide by zero.
bool NodesHaveStiffness(const WaveModel* card) {
    for (int32_t j = 0; j < card->FeaNodeCount; ++j) {
        const double k = card->nodes[j].kNode;
        if (!(k > 0) || !std::isfinite(k)) return false;
    }
    return true;
}

bool CardIsReady(const WaveModel* card) {
    const TaperList* list = card->tapers;
    return card->PointCount > 0 && card->surfacePos != nullptr && card->surfaceLoad != nullptr &&
           card->pumpPos != nullptr && card->pumpLoad != nullptr && card->pumpColors != nullptr &&
           card->nodes != nullptr && card->nodeLoadMax != nullptr && card->nodeLoadMin != nullptr &&
           card->FeaNodeCount > 0 && list != nullptr && list->count > 0 && list->items != nullptr &&
           FirstValidTaper(list) != nullptr && NodesHaveStiffness(card);
}

// Calls body(from, to, column, upstroke) for each stretch of time points [from, to) that lies
// within one half of one stroke; `column` is the card point of `from`. Stretches never wrap,
// so along a stretch the card point grows with the time point and the coefficients hold.
template <typename Body>
void ForEachHalfStroke(size_t from, size_t to, size_t n, Body&& body) {
    const size_t half = n / 2;
    size_t column = from % n;
    while (from < to) {
        const bool upstroke = column < half;
        size_t end = from + (upstroke ? half - column : n - column);
        if (end > to) end = to;
        body(from, end, column, upstroke);
        column += end - from;
        if (column == n) column = 0;
        from = end;
    }
}

void ShiftRow(double* values, size_t count, double offset) {
    for (size_t i = 0; i < count; ++i) values[i] -= offset;
}

// The three displacement rows in rotation (grid point r in row r mod 3) and, when no
// intermediate cards are kept, one card-long row for the loads of the current grid point.
struct DiagWorkspace {
    double* block = nullptr;
    double* rows[3] = {nullptr, nullptr, nullptr};
    double* loads = nullptr;
};

bool AllocWorkspace(DiagWorkspace* work, size_t width, size_t n) {
    if (width > SIZE_MAX / 4 / sizeof(double) || n > SIZE_MAX / 4 / sizeof(double)) return false;
    const size_t total = 3 * width + n;
    work->block = static_cast<double*>(std::malloc(total * sizeof(double)));
    if (work->block == nullptr) return false;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (size_t i = 0; i < total; ++i) work->block[i] = nan;
    for (int k = 0; k < 3; ++k) work->rows[k] = work->block + k * width;
    work->loads = work->block + 3 * width;
    return true;
}

struct DiagSolve {
    WaveModel* card;
    const DiagKernels* kernels;
    size_t n;      // card points
    size_t m;      // nodes
    size_t width;  // time points in a row
    bool storing;  // intermediate cards are kept
    bool subtractFluid;  // the fluid load is taken off the rod loads
    DiagWorkspace work;

    double* Row(size_t r) const { return work.rows[r % 3]; }
    double RowMinimum(const double* values) const {
        double lo = DBL_MAX;
        double hi = -DBL_MAX;
        kernels->widen(values, n, &lo, &hi);
        return lo;
    }
};

// Grid points 0 and 1 from the surface card: the polished rod, and the lower end of the first
// node stretched by the load above the string's buoyant weight.
void StartRows(DiagSolve* s) {
    WaveModel* card = s->card;
    const TaperList* list = card->tapers;
    const FeaNode& top = card->nodes[0];
    const double dx0 = top.dx;
    const double ea0 = top.eaAbove;
    const double w1 = FirstValidTaper(list)->buoyantWpf;
    const double rwf = list->Rwf;
    double* u0 = s->Row(0);
    double* u1 = s->Row(1);
    for (size_t i = 0; i < s->n; ++i) {
        u0[i] = card->surfacePos[i] / kInchesPerFootDown;
        u1[i] = (card->surfaceLoad[i] - rwf) * (dx0 / ea0) + u0[i];
    }
    for (size_t j = s->n; j < s->width; j += s->n) {
        const size_t len = (s->width - j < s->n) ? s->width - j : s->n;
        std::memcpy(u0 + j, u0, len * sizeof(double));
        std::memcpy(u1 + j, u1, len * sizeof(double));
    }
    double* f1 = s->storing ? card->intermediate.loadRows[1] : s->work.loads;
    for (size_t i = 0; i < s->n; ++i) f1[i] = card->surfaceLoad[i] - dx0 * w1;
    s->kernels->widen(card->surfaceLoad, s->n, &card->nodeLoadMin[0], &card->nodeLoadMax[0]);
    s->kernels->widen(f1, s->n, &card->nodeLoadMin[1], &card->nodeLoadMax[1]);
    if (s->storing) {
        double* const* pos = card->intermediate.posRows;
        std::memcpy(pos[0], card->surfacePos, s->n * sizeof(double));
        std::memcpy(card->intermediate.loadRows[0], card->surfaceLoad, s->n * sizeof(double));
        for (size_t i = 0; i < s->n; ++i) pos[1][i] = u1[i] * kInchesPerFootDown;
    }
}

// Displacement of grid point r+1 over the time points it can be known at. A NaN anywhere in
// the stencil (a gap in the card) stays NaN in the new row.
void MarchRow(DiagSolve* s, size_t r) {
    const FeaNode& node = s->card->nodes[r];
    double* next = s->Row(r + 1);
    const double* cur = s->Row(r);
    const double* prev = s->Row(r - 1);
    ForEachHalfStroke(r, s->width - 1 - r, s->n, [&](size_t from, size_t to, size_t, bool upstroke) {
        const MarchCoeffs c{upstroke ? node.diagUpLater : node.diagDnLater, upstroke ? node.diagUpNow : node.diagDnNow,
                            node.diagEarlier, node.diagAbove, node.kNode};
        s->kernels->march(next, cur, prev, from, to, c);
    });
}

double StrokeDamping(const WaveModel* card, bool upstroke) { return upstroke ? card->cUpDt : card->cDnDt; }

// Rod loads (and intermediate positions) of grid point r+1 over one cycle, each card point once.
void RecordGridPoint(DiagSolve* s, size_t r) {
    WaveModel* card = s->card;
    const FeaNode& node = card->nodes[r];
    const bool taperChange = card->nodes[r - 1].eaNode != node.eaNode;
    const double k = node.eaNode / node.dx;
    const double fluidLoad = s->subtractFluid ? node.fluidLoad : 0.0;
    const double* next = s->Row(r + 1);
    const double* cur = s->Row(r);
    const double* prev = s->Row(r - 1);
    double* loads = s->storing ? card->intermediate.loadRows[r + 1] : s->work.loads;
    double* positions = s->storing ? card->intermediate.posRows[r + 1] : nullptr;
    ForEachHalfStroke(s->m - 1, s->m - 1 + s->n, s->n, [&](size_t from, size_t to, size_t column, bool upstroke) {
        s->kernels->load(loads + column, next + from, cur + from, prev + from, to - from, taperChange, k,
                         node.weightBelow, fluidLoad);
        if (positions != nullptr) {
            s->kernels->position(positions + column, cur + from, prev + from, to - from, StrokeDamping(card, upstroke));
        }
    });
    s->kernels->widen(loads, s->n, &card->nodeLoadMin[r + 1], &card->nodeLoadMax[r + 1]);
}

// The pump card from the last three grid points; returns the smallest pump position.
double RecordPumpCard(DiagSolve* s) {
    WaveModel* card = s->card;
    const size_t m = s->m;
    const FeaNode& last = card->nodes[m - 1];
    const double kp = last.eaNode / last.dx;
    const double fluidLoad = s->subtractFluid ? last.fluidLoad : 0.0;
    const double* pump = s->Row(m);
    const double* cur = s->Row(m - 1);
    const double* prev = s->Row(m - 2);
    ForEachHalfStroke(m - 1, m - 1 + s->n, s->n, [&](size_t from, size_t to, size_t column, bool upstroke) {
        s->kernels->position(card->pumpPos + column, cur + from, prev + from, to - from, StrokeDamping(card, upstroke));
        s->kernels->pumpLoad(card->pumpLoad + column, pump + from, cur + from, prev + from, to - from, kp, fluidLoad);
    });
    for (size_t i = 0; i < s->n; ++i) card->pumpColors[i] = kDiagPumpColor;
    s->kernels->widen(card->pumpLoad, s->n, &card->nodeLoadMin[m], &card->nodeLoadMax[m]);
    return s->RowMinimum(card->pumpPos);
}

void ZeroPositions(DiagSolve* s, double minPumpPos) {
    if (s->storing) {
        double* const* pos = s->card->intermediate.posRows;
        for (size_t r = 0; r <= s->m; ++r) ShiftRow(pos[r], s->n, s->RowMinimum(pos[r]));
    }
    ShiftRow(s->card->pumpPos, s->n, minPumpPos);
}

// Keeps the intermediate tables when the card asks for them and memory allows.
bool PrepareIntermediateCards(WaveModel* card) {
    IntermediateCards* cards = &card->intermediate;
    if (cards->enabled != 1) {
        FreeIntermediateCards(cards);
        return false;
    }
    return AllocIntermediateCards(cards, card->FeaNodeCount, card->PointCount) && cards->loadRows != nullptr;
}

bool SolveDiag(TeskObj* obj, WaveModel* card, const DiagKernels* kernels) {
    if (obj == nullptr || card == nullptr || !CardIsReady(card) || !DiagWorkFits(card)) {
        LogMessage("Cannot run CalcWaveDiag() because all fields have not been set.");
        return false;
    }
    if (card->FeaNodeCount < 4) {
        LogMessage("ERROR: not enough taper nodes for diagnostic algorithm! (M=%d)", card->FeaNodeCount);
        return false;
    }
    DiagSolve s{};
    s.card = card;
    s.kernels = kernels;
    s.n = static_cast<size_t>(card->PointCount);
    s.m = static_cast<size_t>(card->FeaNodeCount);
    s.width = 2 * s.m + s.n - 1;
    s.subtractFluid = obj->subtractFluidLoad == 1;
    if (!AllocWorkspace(&s.work, s.width, s.n)) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    ResetNodeLoadLimits(card);
    s.storing = PrepareIntermediateCards(card);
    StartRows(&s);
    for (size_t r = 1; r < s.m; ++r) {
        MarchRow(&s, r);
        RecordGridPoint(&s, r);
    }
    const double minPumpPos = RecordPumpCard(&s);
    std::free(s.work.block);
    if (obj->zeroPumpPosition == 1) ZeroPositions(&s, minPumpPos);
    return true;
}

}  // namespace

bool DiagKernelBuildAvailable(DiagKernelBuild build) { return KernelsOf(build) != nullptr; }

bool CalcWaveDiagWithBuild(TeskObj* obj, WaveModel* card, DiagKernelBuild build) {
    const DiagKernels* kernels = KernelsOf(build);
    if (kernels == nullptr) {
        LogMessage("Error: this machine cannot run the requested build of CalcWaveDiag()");
        return false;
    }
    return SolveDiag(obj, card, kernels);
}

bool CalcWaveDiag(TeskObj* obj, WaveModel* card) { return SolveDiag(obj, card, BestKernels()); }
