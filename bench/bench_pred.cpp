// Predictive solve of a well driven by the default pumping unit at 10 spm on the default grid:
// predCycles x PointCount x FeaNodeCount explicit node updates. A short taper (sinker bars)
// shortens the nodes and with them the time step, so the points grow as 1/shortest taper and
// the nodes of the long tapers as well: the worst case below does about 20 times the work.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/legacy_pred_solver.h"
#include "engine/pred_solver.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/wave_params.h"
#include "tesk/tesk.h"
// The light-damping sweep's well and drives (library headers only).
#include "../tests/engine/pred_sweep.h"

namespace {

int Quiet(const char*) { return 0; }

TaperBase_t Taper(double length, double diameter) {
    TaperBase_t taper{};
    taper.L = length;
    taper.D = diameter;
    return taper;
}

struct BenchWell {
    TeskObj obj;
    BenchWell(const std::vector<TaperBase_t>& tapers, bool legacy, double fillage) {
        SetLoggingCallback(nullptr, &Quiet);
        WaveModel* pred = &obj.pred;
        SetCardTapers(pred, tapers.data(), static_cast<int32_t>(tapers.size()), 1.0);
        TubingBase_t tubing{};
        tubing.L = 5000.0;
        tubing.E = 2.2e-7;
        SetCardTubings(pred, &tubing, 1);
        pred->tubings->pumpDepth = 5000.0;
        UpdateTubingTotals(pred->tubings);
        SetCardSpm(pred, 10.0);
        SetCardDamping(pred, 0.1, 0.1);
        obj.fo = 4000.0;
        obj.fillage = fillage;
        obj.compression = 3.0;
        obj.usePumpingUnitForPosition = 1;
        obj.useLegacyPred = legacy ? 1 : 0;
        pred->fixedGrid = obj.useLegacyPred;
        PrepareCard(pred);
        SetLoggingCallback(nullptr, nullptr);
    }
    double Updates() const {
        return static_cast<double>(obj.predCycles) * obj.pred.PointCount * obj.pred.FeaNodeCount;
    }
};

std::vector<TaperBase_t> TypicalString() { return {Taper(1500, 1.0), Taper(1500, 0.875), Taper(2000, 0.75)}; }

std::vector<TaperBase_t> SinkerBarString() {
    return {Taper(1500, 1.0), Taper(1500, 0.875), Taper(1900, 0.75), Taper(100, 1.5)};
}

void ReportRates(benchmark::State& state, const BenchWell& well) {
    state.counters["nodes"] = well.obj.pred.FeaNodeCount;
    state.counters["points"] = well.obj.pred.PointCount;
    state.counters["time_per_update"] =
        benchmark::Counter(well.Updates(), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void RunPrediction(benchmark::State& state, const std::vector<TaperBase_t>& tapers, bool legacy,
                   double fillage = 1.0) {
    BenchWell well(tapers, legacy, fillage);
    for (auto _ : state) {
        const PredSettings settings = GatherPredSettings(&well.obj);
        const bool solved = legacy ? CalcWavePred(settings, &well.obj.pred) : CalcWavePredNew(settings, &well.obj.pred);
        benchmark::DoNotOptimize(solved);
        benchmark::DoNotOptimize(well.obj.pred.pumpLoad[0]);
    }
    ReportRates(state, well);
}

void BM_PredTypicalWell(benchmark::State& state) { RunPrediction(state, TypicalString(), false); }
void BM_PredSinkerBars(benchmark::State& state) { RunPrediction(state, SinkerBarString(), false); }
// Partial fillage: the pump end solves for the plunger on the compression curve at every
// pickup and release step.
void BM_PredFluidPound(benchmark::State& state) { RunPrediction(state, TypicalString(), false, 0.6); }
void BM_LegacyPredTypicalWell(benchmark::State& state) { RunPrediction(state, TypicalString(), true); }

// The plain well of the light-damping checks: one 4,800 ft, 1 in steel taper, no tubing, default
// unit at 10 spm, full fillage, the host's default grid unless told otherwise.
struct PlainWell {
    TeskObj obj;
    PlainWell(double damping, double fo, int32_t nodesPerSection = 10) {
        SetLoggingCallback(nullptr, &Quiet);
        WaveModel* pred = &obj.pred;
        const TaperBase_t taper = Taper(4800, 1.0);
        SetCardTapers(pred, &taper, 1, 1.0);
        SetCardSpm(pred, 10.0);
        SetCardDamping(pred, damping, damping);
        pred->nodesPerSection = nodesPerSection;
        obj.fo = fo;
        obj.fillage = 1.0;
        obj.usePumpingUnitForPosition = 1;
        PrepareCard(pred);
        SetLoggingCallback(nullptr, nullptr);
    }
    std::vector<double> Solve(bool pump) {
        CalcWavePredNew(GatherPredSettings(&obj), &obj.pred);
        const double* loads = pump ? obj.pred.pumpLoad : obj.pred.surfaceLoad;
        return {loads, loads + obj.pred.PointCount};
    }
};

double AtPhase(const std::vector<double>& v, double t) {
    const double x = t * v.size();
    const size_t i = static_cast<size_t>(std::floor(x));
    const double f = x - i;
    return v[i % v.size()] * (1 - f) + v[(i + 1) % v.size()] * f;
}

// RMS difference from a reference card over the reference's range.
double Nrmse(const std::vector<double>& card, const std::vector<double>& reference) {
    double sum = 0;
    for (size_t i = 0; i < card.size(); ++i) {
        const double d = card[i] - AtPhase(reference, static_cast<double>(i) / card.size());
        sum += d * d;
    }
    const auto [low, high] = std::minmax_element(reference.begin(), reference.end());
    return std::sqrt(sum / card.size()) / (*high - *low);
}

// The default prediction of the plain well at a new object's damping (0).
void BM_PredPlainWellUndamped(benchmark::State& state) {
    PlainWell well(0.0, 4000.0);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalcWavePredNew(GatherPredSettings(&well.obj), &well.obj.pred));
        benchmark::DoNotOptimize(well.obj.pred.pumpLoad[0]);
    }
}

// Convergence report: the default grid's cards against the same prediction at 300 nodes a
// section, as counters (damping in hundredths, fo in lb), timing the default solve.
void BM_PredConvergence(benchmark::State& state) {
    const double damping = state.range(0) / 100.0;
    const double fo = static_cast<double>(state.range(1));
    PlainWell fine(damping, fo, 300);
    const std::vector<double> fineSurface = fine.Solve(false);
    const std::vector<double> finePump = fine.Solve(true);
    PlainWell coarse(damping, fo);
    for (auto _ : state) benchmark::DoNotOptimize(CalcWavePredNew(GatherPredSettings(&coarse.obj), &coarse.obj.pred));
    state.counters["surface_nrmse_pct"] = 100 * Nrmse(coarse.Solve(false), fineSurface);
    state.counters["pump_nrmse_pct"] = 100 * Nrmse(coarse.Solve(true), finePump);
}

// The published damped-wave model's well of the light-damping sweep (4,800 ft of 1 in rod, wave
// speed 18,996 ft/s, no tubing, 10 spm) on the host's default grid, by drive (the sweep's order:
// built-in unit, type-M unit, the measured card of the type-M motion starting at the bottom, at
// crank angle 0, a quarter, a half and three quarters in), damping in thousandths and fo in lb.
// The first solve outside the timing fills the unit's kept positions, as a host's repeated runs do.
void BM_PredModelWell(benchmark::State& state) {
    SetLoggingCallback(nullptr, &Quiet);
    const pred_sweep::Drive& drive = pred_sweep::SweepDrives()[static_cast<size_t>(state.range(0))];
    auto obj = pred_sweep::MakeWell(pred_sweep::Well{}, drive, state.range(1) / 1000.0, static_cast<double>(state.range(2)));
    CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred);
    SetLoggingCallback(nullptr, nullptr);
    for (auto _ : state) {
        benchmark::DoNotOptimize(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
        benchmark::DoNotOptimize(obj->pred.pumpLoad[0]);
    }
    state.SetLabel(drive.name);
    state.counters["points"] = obj->pred.PointCount;
    state.counters["nodes"] = obj->pred.FeaNodeCount;
}

}  // namespace

BENCHMARK(BM_PredModelWell)
    ->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0, 10, 100}, {6865}})
    ->Args({0, 0, 10000})
    ->Args({1, 0, 10000})
    ->Args({4, 0, 10000})
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PredPlainWellUndamped)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PredConvergence)
    ->ArgsProduct({{0, 1, 5, 10, 20}, {1000, 4000, 7000}})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(20);
BENCHMARK(BM_PredTypicalWell)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PredSinkerBars)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PredFluidPound)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LegacyPredTypicalWell)->Unit(benchmark::kMicrosecond);
