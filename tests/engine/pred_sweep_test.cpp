// The default prediction at light damping, on the host's default grid, against the same
// prediction at 300 nodes a section: the light-damping sweep of the published damped-wave
// model's well (pred_sweep.h): its most demanding cases in every build, the whole sweep with its
// table of figures, and wells the sweep does not name.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/fea_node.h"
#include "engine/pred_grid.h"
#include "engine/pred_sweep.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"
#include "model/wave_params.h"

namespace {

using pred_sweep::Drive;
using pred_sweep::Outcome;
using pred_sweep::Well;

const Drive& DriveNamed(const char* name) {
    for (const Drive& d : pred_sweep::SweepDrives()) {
        if (std::strcmp(d.name, name) == 0) return d;
    }
    for (const Drive& d : pred_sweep::OtherDrives()) {
        if (std::strcmp(d.name, name) == 0) return d;
    }
    ADD_FAILURE() << "no drive " << name;
    return pred_sweep::SweepDrives()[0];
}

struct SweepCase {
    const char* drive;
    double damping;
    double fo;
};

int NoLog(const char*) { return 0; }

// Runs the cases on all cores (a case is two independent solves of its own well); the solves
// log nothing unless they fail, which the outcome shows anyway.
struct Job {
    Well well;
    Drive drive;
    double damping;
    double fo;
};

std::vector<Outcome> RunAll(const std::vector<Job>& jobs) {
    std::vector<Outcome> outcomes(jobs.size());
    std::atomic<size_t> next{0};
    const unsigned threads = std::max(2u, std::thread::hardware_concurrency());
    SetLoggingCallback(nullptr, &NoLog);
    std::vector<std::thread> pool;
    for (unsigned t = 0; t < threads; ++t) {
        pool.emplace_back([&] {
            for (size_t i; (i = next++) < jobs.size();) {
                const Job& j = jobs[i];
                outcomes[i] = pred_sweep::RunCase(j.well, j.drive, j.damping, j.fo);
            }
        });
    }
    for (std::thread& t : pool) t.join();
    SetLoggingCallback(nullptr, nullptr);
    return outcomes;
}

void ExpectHolds(const Outcome& o, const std::string& label) {
    EXPECT_TRUE(o.solved) << label << ": range failure";
    EXPECT_TRUE(o.pumpInRange) << label << ": a pump load outside [0, fo]";
    EXPECT_TRUE(o.finite) << label << ": a surface load that is not finite";
    EXPECT_LT(o.surfaceNrmse, 0.05) << label;
    EXPECT_LT(o.pumpNrmse, 0.05) << label;
    EXPECT_LE(o.switches, o.referenceSwitches + 2) << label;
}

std::string Label(const char* well, const SweepCase& c) {
    char text[160];
    std::snprintf(text, sizeof text, "%s %s damping %g fo %g", well, c.drive, c.damping, c.fo);
    return text;
}

// Cases where the coarse march once went wrong (loads of 57,000 to 100,000 lb, up to 48 valve switches a
// cycle, out-of-range failures), the sweep's worst cases now, and both heavily damped ends.
TEST(PredSweep, DemandingCasesOfTheModelWellHold) {
    const std::vector<SweepCase> cases = {
        {"unit", 0.0, 6865},      {"card@bottom", 0.01, 6865}, {"card@0", 0.01, 4000},  {"card@0", 0.01, 5000},
        {"card@1/4", 0.01, 6865}, {"card@0", 0.02, 5000},      {"card@1/4", 0.01, 10000}, {"card@bottom", 0.0, 8000},
        {"card@1/4", 0.0, 2000},  {"typeM", 0.0, 8000},        {"card@3/4", 0.005, 2000}, {"unit", 0.1, 7000},
        {"typeM", 0.2, 10000},
    };
    std::vector<Job> jobs;
    for (const SweepCase& c : cases) jobs.push_back({Well{}, DriveNamed(c.drive), c.damping, c.fo});
    const std::vector<Outcome> outcomes = RunAll(jobs);
    for (size_t i = 0; i < cases.size(); ++i) ExpectHolds(outcomes[i], Label("model", cases[i]));
}

// Wells the sweep does not name: other speeds, lengths, strings, tubing, starts of the card and fo.
TEST(PredSweep, WellsTheSweepDoesNotNameHold) {
    struct OtherCase {
        const char* name;
        Well well;
        SweepCase c;
    };
    Well slow;
    slow.spm = 6;
    Well fast;
    fast.spm = 14;
    Well shallow;
    shallow.depth = 2500;
    Well deep;
    deep.depth = 8000;
    deep.spm = 7;
    Well api;
    api.depth = 5000;
    api.steelTapers = {{1500, 1.0}, {1500, 0.875}, {2000, 0.75}};
    Well tubing = api;
    tubing.tubing = true;
    const OtherCase cases[] = {
        {"6 spm", slow, {"card@0.1", 0.0, 9000}},       {"14 spm", fast, {"ucard@1/4", 0.01, 12000}},
        {"2,500 ft", shallow, {"card@0.6", 0.01, 3000}}, {"8,000 ft", deep, {"typeM", 0.0, 12000}},
        {"API string", api, {"ucard@3/4", 0.01, 9000}}, {"API string, tubing", tubing, {"card@1/4", 0.0, 3000}},
        {"model", Well{}, {"ucard@1/2", 0.005, 12000}},
    };
    std::vector<Job> jobs;
    for (const OtherCase& o : cases) jobs.push_back({o.well, DriveNamed(o.c.drive), o.c.damping, o.c.fo});
    const std::vector<Outcome> outcomes = RunAll(jobs);
    for (size_t i = 0; i < jobs.size(); ++i) ExpectHolds(outcomes[i], Label(cases[i].name, cases[i].c));
}

// The whole sweep, with its table.
TEST(PredSweep, WholeSweepHoldsAndReportsItsFigures) {
    std::vector<Job> jobs;
    for (const Drive& drive : pred_sweep::SweepDrives()) {
        for (double damping : pred_sweep::SweepDampings()) {
            for (double fo : pred_sweep::SweepFos()) jobs.push_back({Well{}, drive, damping, fo});
        }
    }
    const std::vector<Outcome> outcomes = RunAll(jobs);
    int holds = 0;
    int total = 0;
    double worstSurface = 0;
    double worstPump = 0;
    int worstExcess = -1000;
    std::printf("%-12s %7s %7s  %8s %8s %9s\n", "drive", "damping", "fo", "surface", "pump", "switches");
    for (size_t i = 0; i < jobs.size(); ++i) {
        const Job& j = jobs[i];
        const Outcome& o = outcomes[i];
        ++total;
        holds += o.Holds() ? 1 : 0;
        worstSurface = std::max(worstSurface, o.surfaceNrmse);
        worstPump = std::max(worstPump, o.pumpNrmse);
        worstExcess = std::max(worstExcess, o.switches - o.referenceSwitches);
        std::printf("%-12s %7.3f %7.0f  %7.2f%% %7.2f%% %4d/%-4d %s\n", j.drive.name, j.damping, j.fo,
                    100 * o.surfaceNrmse, 100 * o.pumpNrmse, o.switches, o.referenceSwitches, o.Holds() ? "" : "FAILS");
        ExpectHolds(o, Label("model", {j.drive.name, j.damping, j.fo}));
    }
    std::printf("%d of %d cases hold; worst nRMSE surface %.2f%%, pump %.2f%%; most valve switches beyond the "
                "reference's: %d\n",
                holds, total, 100 * worstSurface, 100 * worstPump, worstExcess);
}

// The march never runs at a Courant number of 1, and its refinement follows the damping without
// a jump: the cards at 0.099 and 0.1 differ by no more than the damping itself moves them.
TEST(PredGrid, MarchStaysBelowCourantOneAndRefinesSmoothlyAsDampingFalls) {
    LogCapture quiet;
    int32_t lastSteps = 0;
    for (double damping : {0.5, 0.2, 0.1, 0.05, 0.02, 0.01, 0.0}) {
        auto obj = pred_sweep::MakeWell(Well{}, DriveNamed("unit"), damping, 4000);
        const PredMarchGrid grid = ChoosePredMarchGrid(&obj->pred, obj.get()->predCycles, obj->fo, 0.01);
        EXPECT_LE(grid.courant, kPredMaxCourant) << damping;
        EXPECT_GE(grid.steps, lastSteps) << damping;
        lastSteps = grid.steps;
    }
    const auto peak = [](double damping) {
        auto obj = pred_sweep::MakeWell(Well{}, DriveNamed("unit"), damping, 6865);
        const pred_sweep::Card card = pred_sweep::Solve(obj.get());
        return MaxOf(card.surfaceLoad);
    };
    const double below = peak(0.099);
    const double at = peak(0.1);
    const double further = peak(0.101);
    EXPECT_LT(std::fabs(at - below), 2 * std::fabs(further - at) + 1e-3 * at);
}

// Nodes far from any rod's (a wave that crawls or races through them, a ramp of no travel) give
// a march grid whose counts an int32 holds and whose work is counted, never an overflow; a march
// beyond the budget is refused.
TEST(PredGrid, NodesFarFromARodsGiveABoundedGridOrARefusal) {
    LogCapture log;
    for (double densityScale : {1e200, 1e-200}) {
        for (double rampTravel : {0.01, 1e-300}) {
            auto obj = pred_sweep::MakeWell(Well{}, DriveNamed("unit"), 0.0, 4000);
            for (int32_t k = 0; k < obj->pred.FeaNodeCount; ++k) obj->pred.nodes[k].density *= densityScale;
            const PredMarchGrid grid = ChoosePredMarchGrid(&obj->pred, obj.get()->predCycles, obj->fo, rampTravel);
            EXPECT_GE(grid.spaceRefinement, 1) << densityScale << " " << rampTravel;
            EXPECT_GE(grid.timeRefinement, 1) << densityScale << " " << rampTravel;
            EXPECT_GE(grid.steps, 0) << densityScale << " " << rampTravel;
            EXPECT_TRUE(std::isfinite(grid.updates)) << densityScale << " " << rampTravel;
            const bool solved = CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred);
            // Refused up front or out of range: either line names the solver.
            EXPECT_TRUE(solved || log.Contains("CalcWavePredNew")) << densityScale << " " << rampTravel;
        }
    }
}

// Whatever the march does inside, the host's settings and the card's own grid stay as they were.
TEST(PredGrid, CardKeepsItsPointsNodesAndTimeStepAndTheSettingsTheirValues) {
    LogCapture quiet;
    auto obj = pred_sweep::MakeWell(Well{}, DriveNamed("card@1/4"), 0.0, 6865);
    const WaveSettings_t before = ReadWaveSettings(obj.get());
    const int32_t points = obj->pred.PointCount;
    const int32_t nodes = obj->pred.FeaNodeCount;
    const double dt = obj->pred.DT;
    ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
    const WaveSettings_t after = ReadWaveSettings(obj.get());
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    EXPECT_EQ(after.predNodesPerSection, 10);
    EXPECT_EQ(obj->pred.PointCount, points);
    EXPECT_EQ(obj->pred.FeaNodeCount, nodes);
    EXPECT_EQ(obj->pred.DT, dt);
}

// The pump load is the plunger's load as the pump end clamps it: never below 0 or above fo by
// rounding (before, 90 points of the sample well stored -5e-11 lb and the demo printed "-0").
TEST(PredPumpLoad, StoredClampedValueIsExact) {
    LogCapture quiet;
    for (double damping : {0.0, 0.05, 0.1, 0.2}) {
        for (bool tubing : {false, true}) {
            PredWellInputs inputs;
            inputs.damping = damping;
            inputs.tubing = tubing;
            auto obj = MakePredWell(inputs);
            ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
            const CardView card = ViewPred(*obj);
            int atZero = 0;
            int atFo = 0;
            for (size_t i = 0; i < card.pumpLoad.size(); ++i) {
                const double load = card.pumpLoad[i];
                ASSERT_GE(load, 0.0) << damping << " " << tubing << " " << i;
                ASSERT_LE(load, obj->fo) << damping << " " << tubing << " " << i;
                ASSERT_FALSE(std::signbit(load)) << damping << " " << tubing << " " << i;
                atZero += load == 0.0 ? 1 : 0;
                atFo += load == obj->fo ? 1 : 0;
            }
            // Out of the ramps the plunger carries exactly nothing or exactly fo.
            EXPECT_GT(atZero, 0) << damping << " " << tubing;
            EXPECT_GT(atFo, 0) << damping << " " << tubing;
        }
    }
}

}  // namespace
