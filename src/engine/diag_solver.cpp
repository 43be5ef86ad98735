#include "engine/diag_solver.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <limits>

#include "common/constants.h"
#include "engine/fea_node.h"
#include "engine/solve_checks.h"
#include "engine/work_budget.h"
#include "engine/solve_settings.h"
#include "engine/taper_list.h"
#include "engine/wave_model.h"
#include "log/log.h"

// The march loops are built three times, for any x86-64, for AVX2 and for AVX-512, and each solve
// picks the best build the machine runs. No build fuses a multiply into an add (this file is
// compiled without contraction), so all round every operation alike and a card's results do not
// depend on the machine.
#if defined(__x86_64__) && defined(__GNUC__)
#define TESK_HAS_WIDE_BUILDS 1
#define TESK_KERNEL_BODY inline __attribute__((always_inline))
#define TESK_KERNEL_LAMBDA __attribute__((always_inline))
#define TESK_AVX2_TARGET __attribute__((target("avx2")))
#define TESK_AVX512_TARGET __attribute__((target("avx512f")))
#else
#define TESK_HAS_WIDE_BUILDS 0
#define TESK_KERNEL_BODY inline
#define TESK_KERNEL_LAMBDA
#endif

// The lane helpers below are always inlined into one build's loops, so no vector crosses a call
// and the compilers' notes on how vectors are passed between builds do not apply.
#if defined(__clang__)
#if __has_warning("-Wpsabi")
#pragma clang diagnostic ignored "-Wpsabi"
#endif
#elif defined(__GNUC__)
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

namespace {

constexpr int32_t kDiagPumpColor = 0x00FF00FF;

// The recurrence of one node and half stroke. It divides by kNode rather than multiplying by a
// reciprocal: the pump loads come from small differences of the displacements, which turn the
// last-bit changes of a reciprocal into relative differences of 1e-11 in the loads, and the
// march is bound by its other arithmetic, not by the division.
struct MarchCoeffs {
    double later;
    double now;
    double earlier;
    double above;
    double k;
};

// What turns the new row of a grid point into its rod loads and the row above into its positions.
struct RecordCoeffs {
    double k;            // EA/dx of the node
    double weightBelow;  // lb
    double fluidLoad;    // lb
    double cDt;          // damping of the half stroke
    bool taperChange;    // a taper change lies between this node and the one above
    bool subtractFluid;  // the fluid load is taken off the rod loads
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

// Several time points at once in GCC's vector extension: each build uses lanes as wide as its
// registers (two doubles on any x86-64, four with AVX2, eight with AVX-512), and each lane rounds
// exactly as the scalar formula does.
typedef double TwoLanes __attribute__((vector_size(2 * sizeof(double))));
typedef double FourLanes __attribute__((vector_size(4 * sizeof(double))));
typedef double EightLanes __attribute__((vector_size(8 * sizeof(double))));

template <typename V>
constexpr size_t kLaneCount = sizeof(V) / sizeof(double);

template <typename V>
TESK_KERNEL_BODY V LoadLanes(const double* from) {
    V v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

template <typename V>
TESK_KERNEL_BODY void StoreLanes(double* to, const V& v) {
    std::memcpy(to, &v, sizeof v);
}

template <typename V>
TESK_KERNEL_BODY V Broadcast(double value) {
    V v;
    for (size_t l = 0; l < kLaneCount<V>; ++l) v[l] = value;
    return v;
}

// The coefficients held in registers for a whole stretch: read through a reference, they would be
// loaded again after every store, since the compiler cannot tell them from the rows.
template <typename V>
struct MarchLaneCoeffs {
    V later;
    V now;
    V earlier;
    V above;
    V k;
};

template <typename V>
TESK_KERNEL_BODY MarchLaneCoeffs<V> LanesOf(const MarchCoeffs& c) {
    return {Broadcast<V>(c.later), Broadcast<V>(c.now), Broadcast<V>(c.earlier), Broadcast<V>(c.above),
            Broadcast<V>(c.k)};
}

template <typename V>
struct RecordLaneCoeffs {
    V k;
    V weightBelow;
    V fluidLoad;
    V onePlusCDt;
    V cDt;
};

template <typename V>
TESK_KERNEL_BODY RecordLaneCoeffs<V> LanesOf(const RecordCoeffs& c) {
    return {Broadcast<V>(c.k), Broadcast<V>(c.weightBelow), Broadcast<V>(c.fluidLoad), Broadcast<V>(1 + c.cDt),
            Broadcast<V>(c.cDt)};
}

// The formulas of one time point, on one value or on lanes of them alike.
template <typename V, typename C>
TESK_KERNEL_BODY V MarchedValue(const V& after, const V& at, const V& before, const V& above, const C& c) {
    return (((after * c.later + c.now * at) + before * c.earlier) + above * c.above) / c.k;
}

// Taking off a fluid load of 0 would change nothing, so the solve without it skips the step.
template <bool kTaperChange, bool kSubtractFluid, typename V, typename C>
TESK_KERNEL_BODY V RodLoad(const V& next, const V& at, const V& above, const C& c) {
    const V stretch = kTaperChange ? next - at : next * 1.5 - (at + at) + above * 0.5;
    const V load = stretch * c.k + c.weightBelow;
    return kSubtractFluid ? load - c.fluidLoad : load;
}

template <typename V, typename C>
TESK_KERNEL_BODY V PositionBelow(const V& after, const V& at, const V& before, const V& above, const C& onePlusCDt,
                                 const C& cDt) {
    return ((onePlusCDt * after - cDt * at + before) - above) * kInchesPerFootDown;
}

// Points from `row` to the next boundary of its registers' width: stores that straddle a cache
// line cost twice.
template <typename V>
TESK_KERNEL_BODY size_t PointsToLineBoundary(const double* row) {
    const size_t misaligned = (reinterpret_cast<uintptr_t>(row) % sizeof(V)) / sizeof(double);
    return misaligned == 0 ? 0 : kLaneCount<V> - misaligned;
}

// The card repeats every cycle, and so does the displacement of every grid point: one cycle of a
// row is the whole row, its first point following its last. (A time line unrolled over the cycle
// and the 2M points the wave takes down the string and back holds the same bits at every repeat.)
TESK_KERNEL_BODY void WrapRow(double* row, size_t n) {
    row[-1] = row[n - 1];
    row[n] = row[0];
}

// A stretch of one half stroke: grid point r+1 is marched on card points [0, count) of the rows,
// and its loads, their limits and (when kept) its intermediate rows are recorded.
struct RecordStretch {
    double* next;
    const double* cur;  // cur[-1] and cur[count] are there: a row's ends have their neighbours beside them
    const double* prev;
    size_t count;
    double* loads;      // both null when no intermediate cards are kept
    double* positions;
    double* low;
    double* high;
};

// One pass over the stretch, with everything computed while its values are in registers. The new
// row may take the place of the row above it (each point reads its own value above before it
// writes), so no two steps overlap: single points lead up to the first line boundary and follow
// the last whole step.
template <typename V, bool kTaperChange, bool kSubtractFluid, bool kKeepRows>
TESK_KERNEL_BODY void MarchRecordLoop(const RecordStretch& s, const MarchCoeffs& m, const RecordCoeffs& rc) {
    double* next = s.next;
    const double* __restrict cur = s.cur;
    const double* __restrict before = s.cur - 1;
    const double* prev = s.prev;
    double* __restrict loads = s.loads;
    double* __restrict positions = s.positions;
    double low = *s.low;
    double high = *s.high;
    const auto point = [&](size_t h) TESK_KERNEL_LAMBDA {
        const double above = prev[h];
        const double marched = MarchedValue(cur[h + 1], cur[h], before[h], above, m);
        next[h] = marched;
        const double load = RodLoad<kTaperChange, kSubtractFluid>(marched, cur[h], above, rc);
        low = load < low ? load : low;
        high = load > high ? load : high;
        if (kKeepRows) {
            loads[h] = load;
            positions[h] = PositionBelow(cur[h + 1], cur[h], before[h], above, 1 + rc.cDt, rc.cDt);
        }
    };
    const MarchLaneCoeffs<V> march = LanesOf<V>(m);
    const RecordLaneCoeffs<V> record = LanesOf<V>(rc);
    V lo = Broadcast<V>(low);
    V hi = Broadcast<V>(high);
    size_t h = 0;
    const size_t lead = PointsToLineBoundary<V>(kKeepRows ? loads : next);
    for (; h < lead && h < s.count; ++h) point(h);
    for (; h + kLaneCount<V> <= s.count; h += kLaneCount<V>) {
        const V after = LoadLanes<V>(cur + h + 1);
        const V at = LoadLanes<V>(cur + h);
        const V earlier = LoadLanes<V>(before + h);
        const V above = LoadLanes<V>(prev + h);
        const V marched = MarchedValue(after, at, earlier, above, march);
        StoreLanes(next + h, marched);
        const V load = RodLoad<kTaperChange, kSubtractFluid>(marched, at, above, record);
        lo = load < lo ? load : lo;
        hi = load > hi ? load : hi;
        if (kKeepRows) {
            StoreLanes(loads + h, load);
            StoreLanes(positions + h, PositionBelow(after, at, earlier, above, record.onePlusCDt, record.cDt));
        }
    }
    for (; h < s.count; ++h) point(h);
    for (size_t l = 0; l < kLaneCount<V>; ++l) {
        low = lo[l] < low ? lo[l] : low;
        high = hi[l] > high ? hi[l] : high;
    }
    *s.low = low;
    *s.high = high;
}

template <typename V, bool kTaperChange, bool kSubtractFluid>
TESK_KERNEL_BODY void MarchRecordRows(const RecordStretch& s, const MarchCoeffs& m, const RecordCoeffs& rc) {
    if (s.positions != nullptr) {
        MarchRecordLoop<V, kTaperChange, kSubtractFluid, true>(s, m, rc);
    } else {
        MarchRecordLoop<V, kTaperChange, kSubtractFluid, false>(s, m, rc);
    }
}

template <typename V, bool kTaperChange>
TESK_KERNEL_BODY void MarchRecordFluid(const RecordStretch& s, const MarchCoeffs& m, const RecordCoeffs& rc) {
    if (rc.subtractFluid) {
        MarchRecordRows<V, kTaperChange, true>(s, m, rc);
    } else {
        MarchRecordRows<V, kTaperChange, false>(s, m, rc);
    }
}

template <typename V>
TESK_KERNEL_BODY void MarchRecordStretch(const RecordStretch& s, const MarchCoeffs& m, const RecordCoeffs& rc) {
    if (rc.taperChange) {
        MarchRecordFluid<V, true>(s, m, rc);
    } else {
        MarchRecordFluid<V, false>(s, m, rc);
    }
}

// Everything the march of grid point r+1 needs: the three rows, the coefficients of both half
// strokes and where its records go.
struct GridPointJob {
    double* next;
    const double* cur;
    const double* prev;
    size_t n;  // card points
    MarchCoeffs up;
    MarchCoeffs down;
    RecordCoeffs upRecord;  // the two differ in the damping only
    RecordCoeffs downRecord;
    double* loads;  // the grid point's intermediate rows, both null when none are kept
    double* positions;
    double* low;
    double* high;
};

template <typename V>
TESK_KERNEL_BODY void MarchHalfStroke(const GridPointJob& job, size_t from, size_t to, const MarchCoeffs& march,
                                      const RecordCoeffs& record) {
    if (to <= from) return;
    const RecordStretch stretch{job.next + from,
                                job.cur + from,
                                job.prev + from,
                                to - from,
                                job.loads ? job.loads + from : nullptr,
                                job.positions ? job.positions + from : nullptr,
                                job.low,
                                job.high};
    MarchRecordStretch<V>(stretch, march, record);
}

// Marches grid point r+1 over one cycle and records its loads, limits and intermediate rows in the
// same pass; then gives the new row's ends their neighbours round the cycle.
template <typename V>
TESK_KERNEL_BODY void MarchGridPointBody(const GridPointJob& job) {
    const size_t half = job.n / 2;
    MarchHalfStroke<V>(job, 0, half, job.up, job.upRecord);
    MarchHalfStroke<V>(job, half, job.n, job.down, job.downRecord);
    WrapRow(job.next, job.n);
}

// Position of the grid point below row `cur`, from the two rows above it. The value before `cur`
// is read through `before` (an unsigned h - 1 would wrap the pointer at h = 0).
TESK_KERNEL_BODY void PositionStretch(double* __restrict out, const double* __restrict cur,
                                      const double* __restrict prev, size_t count, double cDt) {
    const double* before = cur - 1;
    for (size_t h = 0; h < count; ++h) out[h] = PositionBelow(cur[h + 1], cur[h], before[h], prev[h], 1 + cDt, cDt);
}

TESK_KERNEL_BODY void PumpLoadStretch(double* __restrict out, const double* __restrict pump,
                                      const double* __restrict cur, const double* __restrict prev, size_t count,
                                      double k, double fluidLoad) {
    for (size_t h = 0; h < count; ++h) out[h] = (pump[h] * 1.5 - (cur[h] + cur[h]) + prev[h] * 0.5) * k - fluidLoad;
}

// One build of the loops above: each entry runs its loop compiled for that build's instruction set.
struct DiagKernels {
    decltype(&WidenLimits) widen;
    decltype(&MarchGridPointBody<TwoLanes>) marchGridPoint;
    decltype(&PositionStretch) position;
    decltype(&PumpLoadStretch) pumpLoad;
};

template <auto Body, typename... Args>
void BaselineKernel(Args... args) {
    Body(args...);
}

constexpr DiagKernels kBaselineKernels{&BaselineKernel<WidenLimits>, &BaselineKernel<MarchGridPointBody<TwoLanes>>,
                                       &BaselineKernel<PositionStretch>, &BaselineKernel<PumpLoadStretch>};

#if TESK_HAS_WIDE_BUILDS
template <auto Body, typename... Args>
TESK_AVX2_TARGET void Avx2Kernel(Args... args) {
    Body(args...);
}

constexpr DiagKernels kAvx2Kernels{&Avx2Kernel<WidenLimits>, &Avx2Kernel<MarchGridPointBody<FourLanes>>,
                                   &Avx2Kernel<PositionStretch>, &Avx2Kernel<PumpLoadStretch>};

template <auto Body, typename... Args>
TESK_AVX512_TARGET void Avx512Kernel(Args... args) {
    Body(args...);
}

constexpr DiagKernels kAvx512Kernels{&Avx512Kernel<WidenLimits>, &Avx512Kernel<MarchGridPointBody<EightLanes>>,
                                     &Avx512Kernel<PositionStretch>, &Avx512Kernel<PumpLoadStretch>};

bool MachineRunsAvx2() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2");
}

bool MachineRunsAvx512() {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx512f");
}
#endif

const DiagKernels* KernelsOf(DiagKernelBuild build) {
    if (build == DiagKernelBuild::Baseline) return &kBaselineKernels;
#if TESK_HAS_WIDE_BUILDS
    if (build == DiagKernelBuild::Avx2 && MachineRunsAvx2()) return &kAvx2Kernels;
    if (build == DiagKernelBuild::Avx512 && MachineRunsAvx512()) return &kAvx512Kernels;
#endif
    return nullptr;
}

const DiagKernels* BestKernels() {
    for (DiagKernelBuild build : {DiagKernelBuild::Avx512, DiagKernelBuild::Avx2}) {
        const DiagKernels* kernels = KernelsOf(build);
        if (kernels != nullptr) return kernels;
    }
    return &kBaselineKernels;
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

void ShiftRow(double* values, size_t count, double offset) {
    for (size_t i = 0; i < count; ++i) values[i] -= offset;
}

// Two displacement rows in turn (grid point r in row r mod 2), a third for the pump's grid point
// and, when no intermediate cards are kept, one card-long row for the loads of grid point 1.
struct DiagWorkspace {
    double* block = nullptr;
    double* rows[3] = {nullptr, nullptr, nullptr};
    double* loads = nullptr;
};

// Every row starts on a cache line, as the intermediate rows do: with a card of whole lines the
// march then stores both on line boundaries at once. A line before each row holds the value
// before its first point, and the row's last line has room for the value after its last.
constexpr size_t kDoublesPerLine = 8;

size_t WholeLines(size_t count) { return (count + kDoublesPerLine - 1) / kDoublesPerLine * kDoublesPerLine; }

bool AllocWorkspace(DiagWorkspace* work, size_t n) {
    if (n > SIZE_MAX / 8 / sizeof(double)) return false;
    const size_t stride = kDoublesPerLine + WholeLines(n + 1);
    const size_t total = 3 * stride + WholeLines(n);
    work->block = static_cast<double*>(std::aligned_alloc(kDoublesPerLine * sizeof(double), total * sizeof(double)));
    if (work->block == nullptr) return false;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (size_t i = 0; i < total; ++i) work->block[i] = nan;
    for (int k = 0; k < 3; ++k) work->rows[k] = work->block + k * stride + kDoublesPerLine;
    work->loads = work->block + 3 * stride;
    return true;
}

struct DiagSolve {
    WaveModel* card;
    const DiagKernels* kernels;
    size_t n;      // card points
    size_t m;      // nodes
    bool storing;  // intermediate cards are kept
    bool subtractFluid;  // the fluid load is taken off the rod loads
    DiagWorkspace work;

    // Each grid point's row takes the place of the row two above it, which its march reads point by
    // point just before it writes; the pump's row is kept apart, as the pump card needs both above.
    double* Row(size_t r) const { return r == m ? work.rows[2] : work.rows[r % 2]; }
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
    WrapRow(u0, s->n);
    WrapRow(u1, s->n);
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

// Displacement of grid point r+1 over one cycle, with its rod loads, their limits and its
// intermediate rows, in one pass over the row. A NaN anywhere in the stencil (a gap in the card)
// stays NaN in the new row.
void MarchGridPoint(DiagSolve* s, size_t r) {
    WaveModel* card = s->card;
    const FeaNode& node = card->nodes[r];
    const bool taperChange = card->nodes[r - 1].eaNode != node.eaNode;
    const double k = node.eaNode / node.dx;
    GridPointJob job{};
    job.next = s->Row(r + 1);
    job.cur = s->Row(r);
    job.prev = s->Row(r - 1);
    job.n = s->n;
    job.up = {node.diagUpLater, node.diagUpNow, node.diagEarlier, node.diagAbove, node.kNode};
    job.down = {node.diagDnLater, node.diagDnNow, node.diagEarlier, node.diagAbove, node.kNode};
    job.upRecord = {k, node.weightBelow, node.fluidLoad, card->cUpDt, taperChange, s->subtractFluid};
    job.downRecord = {k, node.weightBelow, node.fluidLoad, card->cDnDt, taperChange, s->subtractFluid};
    job.loads = s->storing ? card->intermediate.loadRows[r + 1] : nullptr;
    job.positions = s->storing ? card->intermediate.posRows[r + 1] : nullptr;
    job.low = &card->nodeLoadMin[r + 1];
    job.high = &card->nodeLoadMax[r + 1];
    s->kernels->marchGridPoint(job);
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
    const size_t half = s->n / 2;
    const size_t from[2] = {0, half};
    const size_t to[2] = {half, s->n};
    const double cDt[2] = {card->cUpDt, card->cDnDt};
    for (int stroke = 0; stroke < 2; ++stroke) {
        const size_t a = from[stroke];
        const size_t count = to[stroke] - a;
        s->kernels->position(card->pumpPos + a, cur + a, prev + a, count, cDt[stroke]);
        s->kernels->pumpLoad(card->pumpLoad + a, pump + a, cur + a, prev + a, count, kp, fluidLoad);
    }
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

// The upscaled card is only a measurement once both series of the fit have coefficients.
bool SurfaceCardIsReady(const DiagSettings& settings) {
    return settings.surfaceFromFit == 0 || UpscaledCardFitted(settings.fit);
}

bool SolveDiag(const DiagSettings& settings, WaveModel* card, const DiagKernels* kernels) {
    if (!CardRodWeightsKnown(card, "CalcWaveDiag") || !CardSamplesFinite(card, "CalcWaveDiag")) return false;
    if (card == nullptr || !CardIsReady(card) || !SurfaceCardIsReady(settings) ||
        !DiagWorkFits(card)) {
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
    s.subtractFluid = settings.subtractFluidLoad == 1;
    if (!AllocWorkspace(&s.work, s.n)) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    ResetNodeLoadLimits(card);
    s.storing = PrepareIntermediateCards(card);
    StartRows(&s);
    for (size_t r = 1; r < s.m; ++r) MarchGridPoint(&s, r);
    const double minPumpPos = RecordPumpCard(&s);
    std::free(s.work.block);
    if (settings.zeroPumpPosition == 1) ZeroPositions(&s, minPumpPos);
    return true;
}

}  // namespace

bool DiagKernelBuildAvailable(DiagKernelBuild build) { return KernelsOf(build) != nullptr; }

bool CalcWaveDiagWithBuild(const DiagSettings& settings, WaveModel* card, DiagKernelBuild build) {
    const DiagKernels* kernels = KernelsOf(build);
    if (kernels == nullptr) {
        LogMessage("Error: this machine cannot run the requested build of CalcWaveDiag()");
        return false;
    }
    return SolveDiag(settings, card, kernels);
}

bool CalcWaveDiag(const DiagSettings& settings, WaveModel* card) { return SolveDiag(settings, card, BestKernels()); }
