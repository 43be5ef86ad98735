// The legacy predictive solver on its fixed grid.
#include "engine/legacy_pred_solver.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/fea_node.h"
#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"
#include "engine/pump_boundary.h"
#include "log_capture.h"

namespace {

constexpr int32_t kPickup = static_cast<int32_t>(0xFF00FF00u);
constexpr int32_t kNone = static_cast<int32_t>(0xFFFFFF00u);

PredWellInputs LegacySpec() {
    PredWellInputs inputs;
    inputs.legacy = true;
    return inputs;
}

std::unique_ptr<TeskObj> SolvedLegacyWell(const PredWellInputs& inputs) {
    auto obj = MakePredWell(inputs);
    EXPECT_EQ(obj->pred.FeaNodeCount, 23);
    EXPECT_TRUE(CalcWavePred(GatherPredSettings(obj.get()), &obj->pred));
    return obj;
}

bool AllFinite(const CardView& card) {
    for (const std::vector<double>* v : {&card.surfacePos, &card.surfaceLoad, &card.pumpPos, &card.pumpLoad}) {
        for (double x : *v) {
            if (!std::isfinite(x)) return false;
        }
    }
    return true;
}

TEST(LegacyPredSolver, AtRestHangsTheBuoyantStringAndLeavesThePumpEmpty) {
    PredWellInputs inputs = LegacySpec();
    inputs.fromPumpingUnit = 0;
    auto obj = SolvedLegacyWell(inputs);
    const CardView card = ViewPred(*obj);
    for (size_t i = 0; i < card.pumpLoad.size(); ++i) {
        ASSERT_EQ(card.surfaceLoad[i], obj->pred.tapers->Rwf) << i;
        ASSERT_EQ(card.pumpLoad[i], 0.0) << i;
        ASSERT_EQ(card.colors[i], kNone) << i;
    }
}

TEST(LegacyPredSolver, AgreesWithTheNewSolverAtFullFillage) {
    for (double anchor : {0.0, 2500.0}) {
        PredWellInputs inputs;
        inputs.spm = 6.0;
        inputs.anchorDepth = anchor;
        auto fresh = MakePredWell(inputs);
        ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(fresh.get()), &fresh->pred));
        inputs.legacy = true;
        auto legacy = SolvedLegacyWell(inputs);
        const CardView a = ViewPred(*fresh);
        const CardView b = ViewPred(*legacy);
        const size_t n = b.pumpLoad.size();
        double meanLoadGap = 0;
        for (size_t i = 0; i < n; ++i) meanLoadGap += std::fabs(AtPhase(a.pumpLoad, double(i) / n) - b.pumpLoad[i]);
        meanLoadGap /= n;
        EXPECT_LT(meanLoadGap, 0.05 * inputs.fo) << anchor;
        EXPECT_NEAR(MaxOf(b.pumpLoad), MaxOf(a.pumpLoad), 0.1 * inputs.fo) << anchor;
        EXPECT_NEAR(MinOf(b.pumpLoad), MinOf(a.pumpLoad), 0.1 * inputs.fo) << anchor;
        const double stroke = MaxOf(a.pumpPos) - MinOf(a.pumpPos);
        EXPECT_NEAR(MaxOf(b.pumpPos) - MinOf(b.pumpPos), stroke, 0.03 * stroke) << anchor;
        const double area = CardArea(a.pumpPos, a.pumpLoad);
        EXPECT_NEAR(CardArea(b.pumpPos, b.pumpLoad), area, 0.1 * area) << anchor;
    }
}

TEST(LegacyPredSolver, EventsCountRunningStepsAndColoursShowTheStateBeforeTheStep) {
    auto obj = SolvedLegacyWell(LegacySpec());
    const int32_t n = obj->pred.PointCount;
    const CardView card = ViewPred(*obj);
    for (int event = 0; event < kPumpEventCount; ++event) {
        EXPECT_GE(obj->pred.pump.eventIndex[event], (obj->predCycles - 1) * n) << event;
        EXPECT_LT(obj->pred.pump.eventIndex[event], obj->predCycles * n) << event;
    }
    const int32_t pickup = obj->pred.pump.eventIndex[LoadPickupEvent] % n;
    EXPECT_EQ(card.colors[pickup], kNone);
    EXPECT_EQ(card.colors[(pickup + 1) % n], kPickup);
}

TEST(LegacyPredSolver, PartialFillageWithoutCompressionStaysFinite) {
    for (bool tubing : {true, false}) {
        PredWellInputs inputs = LegacySpec();
        inputs.fillage = 0.6;
        inputs.compression = 0.0;
        inputs.tubing = tubing;
        auto obj = SolvedLegacyWell(inputs);
        const CardView card = ViewPred(*obj);
        EXPECT_TRUE(AllFinite(card)) << tubing;
        EXPECT_GT(MaxOf(card.pumpLoad), 0.5 * inputs.fo) << tubing;
        EXPECT_LT(MaxOf(card.pumpLoad), 1.2 * inputs.fo) << tubing;
    }
}

TEST(LegacyPredSolver, PartialFillageWithCompressionPoundsTheFluid) {
    PredWellInputs inputs = LegacySpec();
    inputs.fillage = 0.5;
    inputs.compression = 3.0;
    auto obj = SolvedLegacyWell(inputs);
    const CardView part = ViewPred(*obj);
    EXPECT_TRUE(AllFinite(part));
    auto full = SolvedLegacyWell(LegacySpec());
    const CardView whole = ViewPred(*full);
    EXPECT_LT(CardArea(part.pumpPos, part.pumpLoad), 0.8 * CardArea(whole.pumpPos, whole.pumpLoad));
}

TEST(LegacyPredSolver, WithoutTubingThePlungerStandsStillDuringPickup) {
    PredWellInputs inputs = LegacySpec();
    inputs.tubing = false;
    auto obj = SolvedLegacyWell(inputs);
    const CardView card = ViewPred(*obj);
    const size_t n = card.pumpPos.size();
    int held = 0;
    for (size_t i = 1; i + 1 < n; ++i) {
        if (card.colors[i] == kPickup && card.colors[i + 1] == kPickup) {
            ++held;
            EXPECT_NEAR(card.pumpPos[i], card.pumpPos[i - 1], 1e-9) << i;
        }
    }
    EXPECT_GT(held, 0);
}

TEST(LegacyPredSolver, IntermediateRowsHoldTheCardAtBothEnds) {
    auto obj = SolvedLegacyWell(LegacySpec());
    const WaveModel& pred = obj->pred;
    const int32_t M = pred.FeaNodeCount;
    const CardView card = ViewPred(*obj);
    ASSERT_EQ(pred.intermediate.rowCount, M + 2);
    for (int32_t i = 0; i < pred.PointCount; ++i) {
        ASSERT_EQ(pred.intermediate.posRows[0][i], card.surfacePos[i]);
        ASSERT_EQ(pred.intermediate.loadRows[0][i], card.surfaceLoad[i]);
        ASSERT_EQ(pred.intermediate.posRows[M][i], card.pumpPos[i]);
        ASSERT_EQ(pred.intermediate.loadRows[M][i], card.pumpLoad[i]);
        ASSERT_EQ(pred.intermediate.loadRows[M + 1][i], 0.0);
    }
    for (int32_t k = 1; k < M; ++k) {
        ASSERT_LE(pred.nodeLoadMin[k], pred.nodeLoadMax[k]) << k;
        EXPECT_LT(pred.nodeLoadMax[k], pred.nodeLoadMax[k - 1] + 1.0) << k;
    }
}

TEST(LegacyPredSolver, AnyNonZeroSwitchTakesThePumpingUnit) {
    auto one = SolvedLegacyWell(LegacySpec());
    PredWellInputs inputs = LegacySpec();
    inputs.fromPumpingUnit = 2;
    auto two = SolvedLegacyWell(inputs);
    EXPECT_EQ(ViewPred(*one).surfacePos, ViewPred(*two).surfacePos);
    EXPECT_GT(MaxOf(ViewPred(*two).surfacePos), 90.0);
}

TEST(LegacyPredSolver, RefusesCardsItCannotSolve) {
    struct Case {
        const char* name;
        void (*spoil)(TeskObj*);
    };
    const Case cases[] = {
        {"three nodes", [](TeskObj* o) { o->pred.FeaNodeCount = 3; }},
        {"no points", [](TeskObj* o) { o->pred.PointCount = 0; }},
        {"no tapers", [](TeskObj* o) { FreeTaperList(o->pred.tapers); o->pred.tapers = nullptr; }},
        {"no taper of positive length",
         [](TeskObj* o) {
             for (int32_t t = 0; t < o->pred.tapers->count; ++t) o->pred.tapers->items[t].L = -1;
         }},
        {"more steps than an int32 counts", [](TeskObj* o) { o->predCycles = INT32_MAX / 100; }},
        {"a node without stiffness", [](TeskObj* o) { o->pred.nodes[7].kNode = 0.0; }},
        {"a mass that is not a number", [](TeskObj* o) { o->pred.nodes[3].legacyMass = NAN; }},
        {"an infinite stiffness", [](TeskObj* o) { o->pred.nodes[9].eaNode = INFINITY; }},
    };
    for (const Case& c : cases) {
        auto obj = MakePredWell(LegacySpec());
        c.spoil(obj.get());
        LogCapture log;
        EXPECT_FALSE(CalcWavePred(GatherPredSettings(obj.get()), &obj->pred)) << c.name;
        EXPECT_TRUE(log.Contains("Cannot run CalcWavePred() because all fields have not been set.")) << c.name;
    }
}

}  // namespace
