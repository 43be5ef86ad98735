// Diagnostic solve of a typical well: 3 steel tapers, default 25-ft nodes, a smooth measured card.
// The march computes every node over the n points of one cycle, so the cost per card grows as
// M·n: doubling the point count or the string length roughly doubles it.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "engine/diag_solver.h"
#include "model/measured_card.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "tesk/tesk.h"

namespace {

int Quiet(const char*) { return 0; }

struct BenchWell {
    TeskObj obj;
    BenchWell(int points, double length, bool intermediate) {
        SetLoggingCallback(nullptr, &Quiet);
        const double d[3] = {1.0, 0.875, 0.75};
        const double share[3] = {0.3, 0.3, 0.4};
        TaperBase_t tapers[3] = {};
        for (int i = 0; i < 3; ++i) {
            tapers[i].L = share[i] * length;
            tapers[i].D = d[i];
        }
        SetCardTapers(&obj.meas, tapers, 3, 1.0);
        obj.meas.dampUp = obj.meas.dampDn = 0.2;
        obj.meas.intermediate.enabled = intermediate ? 1 : 0;
        const double pi = 4 * std::atan(1.0);
        std::vector<double> pos, load;
        for (int i = 0; i < points; ++i) {
            const double t = 2 * pi * i / points;
            pos.push_back(43.0 * (1 - std::cos(t)));
            load.push_back(9000.0 + 3000.0 * std::sin(t) + 800.0 * std::cos(2 * t));
        }
        LoadDynArrays(&obj, 8, pos.data(), load.data(), points);
        PrepareCard(&obj.meas);
        obj.measDirty = 0;
        obj.upscDirty = 0;
        obj.predDirty = 0;
        SetLoggingCallback(nullptr, nullptr);
    }
    // Displacements the march computes: grid points 2 to M, each over the n points of one cycle.
    double Updates() const {
        const double m = obj.meas.FeaNodeCount;
        return (m - 1) * obj.meas.PointCount;
    }
};

void ReportRates(benchmark::State& state, const BenchWell& well) {
    state.counters["nodes"] = well.obj.meas.FeaNodeCount;
    // Seconds per displacement computed, printed with an SI prefix ("850p" is 0.85 ns).
    state.counters["time_per_update"] =
        benchmark::Counter(well.Updates(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["cards_per_s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

// Args: points per card, string length in ft, intermediate cards kept (1) or not (0). Without the
// cards a solve writes almost nothing, so its figure is the march's arithmetic alone: with them, it
// compares with BM_IntermediateStoreFloor, which writes the cards' bytes and does no arithmetic.
void BM_DiagSolve(benchmark::State& state) {
    BenchWell well(static_cast<int>(state.range(0)), static_cast<double>(state.range(1)), state.range(2) == 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalcWaveDiag(GatherDiagSettings(&well.obj, &well.obj.meas), &well.obj.meas));
        benchmark::ClobberMemory();
    }
    ReportRates(state, well);
}
BENCHMARK(BM_DiagSolve)
    ->ArgNames({"n", "ft", "inter"})
    ->Args({400, 5000, 1})
    ->Args({400, 5000, 0})
    ->Args({800, 5000, 1})
    ->Args({400, 10000, 1})
    ->Args({800, 10000, 1})
    ->Args({2000, 5000, 1})->Args({2000, 5000, 0})
    ->Unit(benchmark::kMicrosecond);

// Floor for BM_DiagSolve on the same well, timed per update of that well so the figures compare
// directly: a plain loop writes the bytes of the intermediate cards (position and load of every grid
// point at every card point) into the card's own tables. A solve that keeps them cannot be faster.
void BM_IntermediateStoreFloor(benchmark::State& state) {
    BenchWell well(static_cast<int>(state.range(0)), static_cast<double>(state.range(1)), true);
    CalcWaveDiag(GatherDiagSettings(&well.obj, &well.obj.meas), &well.obj.meas);
    const IntermediateCards& cards = well.obj.meas.intermediate;
    const size_t n = static_cast<size_t>(cards.columnCount);
    double value = 0;
    for (auto _ : state) {
        value += 1;
        for (int32_t g = 0; g < cards.rowCount; ++g) {
            double* pos = cards.posRows[g];
            double* load = cards.loadRows[g];
            for (size_t j = 0; j < n; ++j) {
                pos[j] = value;
                load[j] = -value;
            }
        }
        benchmark::ClobberMemory();
    }
    ReportRates(state, well);
}
BENCHMARK(BM_IntermediateStoreFloor)->ArgNames({"n", "ft"})->Args({400, 5000})->Args({2000, 5000})->Unit(
    benchmark::kMicrosecond);

// The typical card on each build of the loops (0 baseline x86-64, 1 AVX2, 2 AVX-512): all give the
// same bits, so this is the whole price of running on a machine without the wider registers.
void BM_DiagSolveBuild(benchmark::State& state) {
    const DiagKernelBuild builds[] = {DiagKernelBuild::Baseline, DiagKernelBuild::Avx2, DiagKernelBuild::Avx512};
    const DiagKernelBuild build = builds[state.range(0)];
    if (!DiagKernelBuildAvailable(build)) {
        state.SkipWithError("this machine cannot run the build");
        return;
    }
    BenchWell well(400, 5000, true);
    for (auto _ : state) {
        const DiagSettings settings = GatherDiagSettings(&well.obj, &well.obj.meas);
        benchmark::DoNotOptimize(CalcWaveDiagWithBuild(settings, &well.obj.meas, build));
        benchmark::ClobberMemory();
    }
    ReportRates(state, well);
}
BENCHMARK(BM_DiagSolveBuild)->ArgName("build")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The whole run of a freshly loaded measured card: time step, nodes, solve and extremes.
void BM_RunDesignMeasured(benchmark::State& state) {
    BenchWell well(400, 5000, true);
    for (auto _ : state) {
        well.obj.measDirty = 1;
        well.obj.meas.cdtDirty = 1;
        well.obj.meas.nodesDirty = 1;
        benchmark::DoNotOptimize(RunWellDesign(&well.obj));
    }
    ReportRates(state, well);
}
BENCHMARK(BM_RunDesignMeasured)->Unit(benchmark::kMicrosecond);

}  // namespace
