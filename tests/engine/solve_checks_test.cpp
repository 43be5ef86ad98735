// Inputs that would give a card of garbage reported as a success: every solver refuses them.
#include "engine/solve_checks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/diag_solver.h"
#include "engine/legacy_pred_solver.h"
#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"
#include "model/measured_card.h"

namespace {

// A well with the same rods on all three cards, every card discretised and ready to solve.
std::unique_ptr<TeskObj> WellOnRods(const std::vector<TaperBase_t>& tapers, bool legacy) {
    PredWellInputs inputs;
    inputs.tapers = tapers;
    inputs.legacy = legacy;
    inputs.depth = 0;
    for (const TaperBase_t& t : tapers) inputs.depth += t.L > 0 ? t.L : 0;
    auto obj = MakePredWell(inputs);
    for (WaveModel* card : {&obj->meas, &obj->upsc}) {
        SetCardTapers(card, tapers.data(), static_cast<int32_t>(tapers.size()), 1.0);
    }
    const SurfaceCard card = SmoothCard(400, 9000);
    LoadDynArrays(obj.get(), 8, card.pos.data(), card.load.data(), 400);
    ApplyUpscaledPointCount(obj.get(), 400);
    ApplyFourierCoeffCount(obj.get(), &obj->fourier->pos, obj->meas.surfacePos, 12);
    ApplyFourierCoeffCount(obj.get(), &obj->fourier->load, obj->meas.surfaceLoad, 12);
    PrepareCard(&obj->meas);
    PrepareCard(&obj->upsc);
    return obj;
}

struct Solver {
    const char* name;
    bool legacy;
    WaveModel TeskObj::*card;
    bool (*solve)(TeskObj*, WaveModel*);
};

bool SolveDiag(TeskObj* obj, WaveModel* card) { return CalcWaveDiag(GatherDiagSettings(obj, card), card); }
bool SolvePredNew(TeskObj* obj, WaveModel* pred) { return CalcWavePredNew(GatherPredSettings(obj), pred); }
bool SolvePredLegacy(TeskObj* obj, WaveModel* pred) { return CalcWavePred(GatherPredSettings(obj), pred); }

const Solver kSolvers[] = {
    {"CalcWaveDiag", false, &TeskObj::meas, &SolveDiag},
    {"CalcWaveDiag", false, &TeskObj::upsc, &SolveDiag},
    {"CalcWavePredNew", false, &TeskObj::pred, &SolvePredNew},
    {"CalcWavePred", true, &TeskObj::pred, &SolvePredLegacy},
};

constexpr double kUntouched = -4.25;

}  // namespace

// A diameter of 0.93 in lies near no row of the rod table: the taper keeps the stand-in weight, and
// a solve would turn that weight into a pump load of minus billions of pounds.
TEST(SolveChecks, EverySolverRefusesACardHoldingTheWeightOfAnUnlistedDiameter) {
    const std::vector<TaperBase_t> rods = {SteelTaper(1500, 1.0), SteelTaper(1500, 0.93), SteelTaper(2000, 0.75)};
    for (const Solver& s : kSolvers) {
        LogCapture setup;
        auto obj = WellOnRods(rods, s.legacy);
        WaveModel& card = (*obj).*s.card;
        ASSERT_NE(card.nodes, nullptr) << s.name;
        EXPECT_EQ(card.tapers->items[1].W, 999999.0) << "the stand-in weight stays for hosts to read back";
        card.pumpLoad[0] = kUntouched;
        LogCapture log;
        EXPECT_FALSE(s.solve(obj.get(), &card)) << s.name << " " << card.name;
        const std::vector<std::string> expected = {
            std::string("Error: ") + card.name + " Taper #1 (steel) has no rod weight for its diameter 0.930000",
            std::string("Cannot run ") + s.name + "() because all fields have not been set."};
        EXPECT_EQ(log.lines, expected) << s.name << " " << card.name;
        EXPECT_EQ(card.pumpLoad[0], kUntouched) << s.name << " " << card.name << ": nothing written";
    }
}

// A diameter off its row by the rounding of a unit conversion, or written to two decimals as field
// files do (7/8 as 0.88, 5/8 as 0.63), matches it, and every solver runs the string.
TEST(SolveChecks, EverySolverRunsStringsWhoseWeightsAreKnown) {
    for (const double middle : {22.225 / 25.4, 0.88}) {
        const std::vector<TaperBase_t> rods = {SteelTaper(1500, 1.0), SteelTaper(1500, middle),
                                               SteelTaper(2000, 0.63)};
        for (const Solver& s : kSolvers) {
            LogCapture setup;
            auto obj = WellOnRods(rods, s.legacy);
            WaveModel& card = (*obj).*s.card;
            EXPECT_TRUE(s.solve(obj.get(), &card)) << s.name << " " << card.name << " " << middle;
            EXPECT_FALSE(setup.Contains("has no rod weight")) << s.name << " " << card.name << " " << middle;
            EXPECT_EQ(card.tapers->items[1].W, 2.224);
        }
    }
}

// A taper of no length is no part of the string: its weight is never used.
TEST(SolveChecks, UnlistedDiameterOfAnEmptyTaperIsNoObstacle) {
    LogCapture log;
    WaveModel card("MEAS", 1);
    const std::vector<TaperBase_t> rods = {SteelTaper(1500, 1.0), SteelTaper(0, 0.93), SteelTaper(2000, 0.75)};
    SetCardTapers(&card, rods.data(), 3, 1.0);
    log.Clear();
    EXPECT_TRUE(CardRodWeightsKnown(&card, "CalcWaveDiag"));
    EXPECT_TRUE(log.lines.empty());
}

// A diameter that went through a unit conversion diagnoses as the listed one: same weight, and a
// rod area that differs by rounding only.
TEST(SolveChecks, DiameterOffItsRowByRoundingGivesTheSamePumpCard) {
    LogCapture quiet;
    auto exact = WellOnRods({SteelTaper(2500, 1.5), SteelTaper(2500, 1.0)}, false);
    auto converted = WellOnRods({SteelTaper(2500, 1.4999999999999998), SteelTaper(2500, 1.0)}, false);
    ASSERT_EQ(converted->meas.tapers->items[0].W, 6.5);
    ASSERT_TRUE(SolveDiag(exact.get(), &exact->meas));
    ASSERT_TRUE(SolveDiag(converted.get(), &converted->meas));
    for (int i = 0; i < exact->meas.PointCount; ++i) {
        ASSERT_NEAR(converted->meas.pumpLoad[i], exact->meas.pumpLoad[i], 1e-6) << i;
        ASSERT_NEAR(converted->meas.pumpPos[i], exact->meas.pumpPos[i], 1e-9) << i;
    }
}

// An upscaled card resampled from a fit without coefficients is all zeros: no measurement to
// diagnose, and nothing for the host to read, until both series are fitted.
TEST(SolveChecks, UpscaledCardWaitsForBothFourierSeries) {
    struct Case {
        int32_t posCoeffs, loadCoeffs;
        bool solved;
    };
    const Case cases[] = {{0, 0, false}, {12, 0, false}, {0, 12, false}, {1, 1, true}, {12, 12, true}};
    const auto rods = ThreeTaperString(5000);
    const SurfaceCard card = SmoothCard(400, 9000);
    for (const Case& c : cases) {
        TeskObj* obj = CreateTeskObj();
        {
            LogCapture setup;
            SetDiagTapers(obj, rods.data(), 3, 1.0);
            LoadDyn(obj, 8, card.pos.data(), card.load.data(), 400);
            SetUpscaledDynoPointCount(obj, 300);
            if (c.posCoeffs > 0) SetFourierCoeffCountPos(obj, c.posCoeffs);
            if (c.loadCoeffs > 0) SetFourierCoeffCountLoad(obj, c.loadCoeffs);
        }
        LogCapture log;
        ASSERT_EQ(RunDesign(obj), 1);
        const std::string what = std::to_string(c.posCoeffs) + "/" + std::to_string(c.loadCoeffs);
        EXPECT_EQ(log.Count("Cannot run CalcWaveDiag() because all fields have not been set."), c.solved ? 0u : 1u)
            << what;
        std::vector<double> pos(300, kUntouched), load(300, kUntouched);
        std::vector<int32_t> colors(300, 7);
        EXPECT_EQ(GetUpscaledPump(obj, pos.data(), load.data()), c.solved ? 1 : 0) << what;
        EXPECT_EQ(GetUpscaledPumpColors(obj, colors.data()), c.solved ? 1 : 0) << what;
        EXPECT_EQ(GetUpscaledDyno(obj, pos.data(), load.data()), c.solved ? 1 : 0) << what;
        if (!c.solved) {
            EXPECT_EQ(load[0], kUntouched) << what;
        }
        if (c.solved && c.posCoeffs == 1) {
            // One pair per series is the card's mean: a rod hanging still under the mean load.
            ASSERT_EQ(GetUpscaledPump(obj, pos.data(), load.data()), 1);
            for (double l : load) ASSERT_NEAR(l, 9000.0 - SteelWeightBelow(rods, 1.0, 0.0), 1e-6) << what;
        }
        std::vector<double> measPos(400), measLoad(400);
        EXPECT_EQ(GetMeasuredPump(obj, measPos.data(), measLoad.data()), 1) << "the measured card is diagnosed";
        DeleteTeskObj(obj);
    }
}

// LoadDyn keeps a NaN or infinite sample (the Fourier fit skips a NaN one), but a diagnosis would
// carry it into half the pump card while the strokes still read plausibly: the solve is refused.
TEST(SolveChecks, DiagnosisRefusesACardHoldingANonFiniteSample) {
    struct Case {
        int index;
        bool load;
        double value;
        const char* shown;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {{137, true, std::nan(""), "load nan"}, {0, false, inf, "position inf"},
                          {398, true, -inf, "load -inf"}};
    for (const Case& c : cases) {
        SurfaceCard card = SmoothCard(400, 9000);
        (c.load ? card.load : card.pos)[c.index] = c.value;
        card.load[399] = std::nan("");  // a later one, not the first
        TeskObj* obj = CreateTeskObj();
        {
            LogCapture setup;
            const auto rods = ThreeTaperString(5000);
            SetDiagTapers(obj, rods.data(), 3, 1.0);
            ASSERT_EQ(LoadDyn(obj, 8, card.pos.data(), card.load.data(), 400), 1) << "the samples are accepted";
        }
        LogCapture log;
        ASSERT_EQ(RunDesign(obj), 1);
        ASSERT_GE(log.lines.size(), 2u) << c.shown;
        const std::string named =
            "Error: MEAS surface card point " + std::to_string(c.index) + " of 400 is not a finite number";
        EXPECT_NE(log.lines[0].find(named), std::string::npos) << log.lines[0];
        EXPECT_NE(log.lines[0].find(c.shown), std::string::npos) << log.lines[0];
        EXPECT_EQ(log.lines[1], "Cannot run CalcWaveDiag() because all fields have not been set.");
        std::vector<double> pos(400), load(400);
        EXPECT_EQ(GetMeasuredPump(obj, pos.data(), load.data()), 0) << c.shown;
        EXPECT_EQ(GetWaveResults(obj).diagPumpStroke, 0) << c.shown;
        DeleteTeskObj(obj);
    }
}
