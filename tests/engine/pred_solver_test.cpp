// Physics checks of the default predictive solver on realistic wells.
#include "engine/pred_solver.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "engine/fea_node.h"
#include "engine/legacy_pred_solver.h"
#include "engine/pump_boundary.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"

namespace {

constexpr int32_t kPickup = static_cast<int32_t>(0xFF00FF00u);
constexpr int32_t kFull = static_cast<int32_t>(0xFF0000FFu);
constexpr int32_t kNone = static_cast<int32_t>(0xFFFFFF00u);

std::unique_ptr<TeskObj> SolvedWell(const PredWellInputs& inputs) {
    auto obj = MakePredWell(inputs);
    EXPECT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
    return obj;
}

TEST(PredSolver, AtRestHangsTheBuoyantStringAndLeavesThePumpEmpty) {
    PredWellInputs inputs;
    inputs.fromPumpingUnit = 0;  // no fitted series: the polished rod stands still
    auto obj = SolvedWell(inputs);
    const CardView card = ViewPred(*obj);
    const double rwf = obj->pred.tapers->Rwf;
    for (size_t i = 0; i < card.surfaceLoad.size(); ++i) {
        ASSERT_EQ(card.surfaceLoad[i], rwf) << i;
        ASSERT_EQ(card.pumpLoad[i], 0.0) << i;
        ASSERT_EQ(card.pumpPos[i], 0.0) << i;
        ASSERT_EQ(card.colors[i], kPickup) << i;
    }
}

TEST(PredSolver, QuasiStaticCardCarriesRodWeightAndFluidLoad) {
    PredWellInputs inputs;
    inputs.spm = 0.5;
    inputs.damping = 0.05;
    auto obj = SolvedWell(inputs);
    const CardView card = ViewPred(*obj);
    const double rwf = obj->pred.tapers->Rwf;
    const double kr = obj->pred.tapers->Kr;
    const double kt = obj->pred.tubings->Kt;
    // The string still rings a little after each change of the pump state.
    EXPECT_NEAR(MaxOf(card.surfaceLoad), rwf + inputs.fo, 0.05 * inputs.fo);
    EXPECT_NEAR(MinOf(card.surfaceLoad), rwf, 0.05 * inputs.fo);
    const double surfaceStroke = MaxOf(card.surfacePos) - MinOf(card.surfacePos);
    const double pumpStroke = MaxOf(card.pumpPos) - MinOf(card.pumpPos);
    EXPECT_NEAR(pumpStroke, surfaceStroke - inputs.fo / kr, 0.02 * surfaceStroke);

    // The plunger travel while the load builds up is the tubing stretch under fo.
    const double bottom = MinOf(card.pumpPos);
    double pickupTop = bottom;
    for (size_t i = 0; i < card.colors.size(); ++i) {
        if (card.colors[i] == kPickup) pickupTop = std::max(pickupTop, card.pumpPos[i]);
    }
    EXPECT_NEAR(pickupTop - bottom, inputs.fo / kt, 0.15 * inputs.fo / kt);
}

TEST(PredSolver, ColoursAgreeWithLoadsAndEventsCarryTheirColour) {
    auto obj = SolvedWell(PredWellInputs{});
    const CardView card = ViewPred(*obj);
    const double fo = obj->fo;
    int full = 0, none = 0;
    for (size_t i = 0; i < card.colors.size(); ++i) {
        if (card.colors[i] == kFull) {
            ++full;
            EXPECT_NEAR(card.pumpLoad[i], fo, 0.05 * fo) << i;
        }
        if (card.colors[i] == kNone) {
            ++none;  // the step that enters NoLoad may overshoot a little below 0
            EXPECT_NEAR(card.pumpLoad[i], 0.0, 0.02 * fo) << i;
        }
    }
    EXPECT_GT(full, 0);
    EXPECT_GT(none, 0);
    const int32_t n = obj->pred.PointCount;
    for (int event = 0; event < kPumpEventCount; ++event) {
        const int32_t index = obj->pred.pump.eventIndex[event];
        ASSERT_GE(index, 0);
        ASSERT_LT(index, n);
        EXPECT_EQ(card.colors[index], PumpStateColor(event + 1)) << "event " << event;
    }
}

TEST(PredSolver, DampedSurfaceCardEnclosesAtLeastThePumpWork) {
    for (double spm : {4.0, 10.0}) {
        PredWellInputs inputs;
        inputs.spm = spm;
        inputs.damping = 0.2;
        auto obj = SolvedWell(inputs);
        const CardView card = ViewPred(*obj);
        EXPECT_GE(CardArea(card.surfacePos, card.surfaceLoad), CardArea(card.pumpPos, card.pumpLoad)) << spm;
    }
}

TEST(PredSolver, IntermediateRowsAndEnvelopeEndsMatchTheCard) {
    auto obj = SolvedWell(PredWellInputs{});
    const WaveModel& pred = obj->pred;
    const int32_t M = pred.FeaNodeCount;
    const int32_t n = pred.PointCount;
    ASSERT_EQ(pred.intermediate.rowCount, M + 2);
    const CardView card = ViewPred(*obj);
    for (int32_t i = 0; i < n; ++i) {
        ASSERT_EQ(pred.intermediate.posRows[0][i], card.surfacePos[i]);
        ASSERT_EQ(pred.intermediate.loadRows[0][i], card.surfaceLoad[i]);
        ASSERT_EQ(pred.intermediate.posRows[M][i], card.pumpPos[i]);
        ASSERT_EQ(pred.intermediate.loadRows[M][i], card.pumpLoad[i]);
        ASSERT_EQ(pred.intermediate.posRows[M + 1][i], 0.0);
        ASSERT_EQ(pred.intermediate.loadRows[M + 1][i], 0.0);
    }
    EXPECT_EQ(pred.nodeLoadMax[0], MaxOf(card.surfaceLoad));
    EXPECT_EQ(pred.nodeLoadMin[0], MinOf(card.surfaceLoad));
    EXPECT_EQ(pred.nodeLoadMax[M], MaxOf(card.pumpLoad));
    EXPECT_EQ(pred.nodeLoadMin[M], MinOf(card.pumpLoad));
    for (int32_t k = 1; k < M; ++k) {
        const std::vector<double> loads(pred.intermediate.loadRows[k], pred.intermediate.loadRows[k] + n);
        EXPECT_EQ(pred.nodeLoadMax[k], MaxOf(loads)) << k;
        EXPECT_EQ(pred.nodeLoadMin[k], MinOf(loads)) << k;
        // The rod load falls down the string by the weight of the rods between.
        EXPECT_LT(pred.nodeLoadMax[k], pred.nodeLoadMax[k - 1] + 1.0) << k;
    }
}

TEST(PredSolver, ZeroPumpPositionAndFluidSubtractionAreExactOffsets) {
    auto plain = SolvedWell(PredWellInputs{});
    auto shifted = MakePredWell(PredWellInputs{});
    shifted->zeroPumpPosition = 1;
    shifted->subtractFluidLoad = 1;
    ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(shifted.get()), &shifted->pred));
    const CardView a = ViewPred(*plain);
    const CardView b = ViewPred(*shifted);
    const WaveModel& pred = shifted->pred;
    const int32_t M = pred.FeaNodeCount;
    const double fluid = pred.nodes[M - 1].fluidLoad;
    const double minPos = MinOf(a.pumpPos);
    ASSERT_GT(fluid, 0.0);
    for (size_t i = 0; i < a.pumpPos.size(); ++i) {
        ASSERT_EQ(b.pumpPos[i], a.pumpPos[i] - minPos);
        ASSERT_EQ(b.pumpLoad[i], a.pumpLoad[i] - fluid);
        ASSERT_EQ(b.surfacePos[i], a.surfacePos[i]);
        ASSERT_EQ(b.surfaceLoad[i], a.surfaceLoad[i]);
    }
    EXPECT_EQ(MinOf(b.pumpPos), 0.0);
    for (int32_t r = 0; r <= M; ++r) {
        const double* row = pred.intermediate.posRows[r];
        EXPECT_EQ(*std::min_element(row, row + pred.PointCount), 0.0) << r;
    }
    for (int32_t k = 1; k < M; ++k) {
        EXPECT_NEAR(pred.nodeLoadMax[k], plain->pred.nodeLoadMax[k] - pred.nodes[k].fluidLoad, 1e-9) << k;
    }
}

// A surface card that does not start at 0 must not kick the string: the prediction only moves
// with the card, whatever constant is added to its positions.
TEST(PredSolver, StartsAtRestAtTheFirstSurfacePosition) {
    for (bool anchoredAtPump : {false, true}) {
        const SurfaceCard drive = SmoothCard(240, 10000.0);
        std::vector<double> raised = drive.pos;
        for (double& p : raised) p += 30.0;
        PredWellInputs inputs;
        inputs.anchorDepth = anchoredAtPump ? inputs.depth - 10.0 : 0.0;  // a very stiff tubing spring
        auto low = MakePredWell(inputs);
        auto high = MakePredWell(inputs);
        DriveByCard(low.get(), drive.pos, 12);
        DriveByCard(high.get(), raised, 12);
        ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(low.get()), &low->pred));
        ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(high.get()), &high->pred));
        const CardView a = ViewPred(*low);
        const CardView b = ViewPred(*high);
        for (size_t i = 0; i < a.pumpPos.size(); ++i) {
            ASSERT_NEAR(b.surfacePos[i], a.surfacePos[i] + 30.0, 1e-9) << i;
            ASSERT_NEAR(b.pumpPos[i], a.pumpPos[i] + 30.0, 1e-6) << i;
            ASSERT_NEAR(b.pumpLoad[i], a.pumpLoad[i], 1.0) << i;
            ASSERT_NEAR(b.surfaceLoad[i], a.surfaceLoad[i], 1.0) << i;
        }
        EXPECT_LT(MaxOf(b.pumpLoad), 1.1 * inputs.fo);
    }
}

TEST(PredSolver, PartialFillageWithoutCompressionLeavesThePumpEmpty) {
    PredWellInputs inputs;
    inputs.fillage = 0.7;
    inputs.compression = 0.0;
    auto obj = SolvedWell(inputs);
    for (double load : ViewPred(*obj).pumpLoad) ASSERT_NEAR(load, 0.0, 1e-9 * inputs.fo);
}

TEST(PredSolver, PositionsBeyondTheRangeAreZeroedAndFailTheSolve) {
    auto obj = MakePredWell(PredWellInputs{});
    obj->pu.A *= 6;  // a stroke of about 600 in
    obj->zeroPumpPosition = 1;
    LogCapture log;
    EXPECT_FALSE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
    EXPECT_TRUE(log.Contains("ERROR: CalcWavePredNew out of range!"));
    const CardView card = ViewPred(*obj);
    int zeroed = 0;
    for (size_t i = 0; i < card.surfacePos.size(); ++i) {
        ASSERT_LE(std::fabs(card.surfacePos[i]), 500.0);
        ASSERT_LE(std::fabs(card.pumpPos[i]), 500.0);
        zeroed += card.surfacePos[i] == 0.0 ? 1 : 0;
    }
    EXPECT_GT(zeroed, 0);
    EXPECT_LT(MinOf(card.pumpPos), 0.0);  // no zeroing after a failed solve
}

TEST(PredSolver, NotANumberMotionIsStoredAndWarned) {
    auto obj = MakePredWell(PredWellInputs{});
    obj->pu.thetaBottom = NAN;
    LogCapture log;
    EXPECT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
    EXPECT_TRUE(log.Contains("Warning: PRED predicted card holds values that are not numbers"));
    EXPECT_TRUE(std::isnan(obj->pred.surfacePos[0]));
}

TEST(PredSolver, RefusesCardsItCannotSolveWithoutTouchingThem) {
    struct Case {
        const char* name;
        void (*spoil)(TeskObj*);
    };
    const Case cases[] = {
        {"no points", [](TeskObj* o) { o->pred.PointCount = 0; }},
        {"no pump colours", [](TeskObj* o) { std::free(o->pred.pumpColors); o->pred.pumpColors = nullptr; }},
        {"no nodes", [](TeskObj* o) { std::free(o->pred.nodes); o->pred.nodes = nullptr; }},
        {"two nodes", [](TeskObj* o) { o->pred.FeaNodeCount = 2; }},
        {"no tapers", [](TeskObj* o) { FreeTaperList(o->pred.tapers); o->pred.tapers = nullptr; }},
        {"no taper of positive length",
         [](TeskObj* o) {
             for (int32_t t = 0; t < o->pred.tapers->count; ++t) o->pred.tapers->items[t].L = 0;
         }},
        {"no cycles", [](TeskObj* o) { o->predCycles = 0; }},
        {"a node without stiffness", [](TeskObj* o) { o->pred.nodes[0].kNode = 0.0; }},
        {"a stiffness that is not a number", [](TeskObj* o) { o->pred.nodes[4].predKNode = NAN; }},
        {"an infinite stiffness above", [](TeskObj* o) { o->pred.nodes[2].predKAbove = INFINITY; }},
        {"a negative mass", [](TeskObj* o) { o->pred.nodes[5].predMass = -1.0; }},
    };
    for (const Case& c : cases) {
        auto obj = MakePredWell(PredWellInputs{});
        obj->pred.pump.eventIndex[LoadReleaseEvent] = 77;
        obj->pred.pumpState = FullLoad;
        c.spoil(obj.get());
        LogCapture log;
        EXPECT_FALSE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred)) << c.name;
        EXPECT_TRUE(log.Contains("Cannot run CalcWavePredNew() because all fields have not been set.")) << c.name;
        EXPECT_EQ(obj->pred.pump.eventIndex[LoadReleaseEvent], 77) << c.name;
        EXPECT_EQ(obj->pred.pumpState, FullLoad) << c.name;
    }
}

// A taper without a diameter has no stiffness: both predictive solvers refuse the card instead
// of filling it with values that are not numbers.
TEST(PredSolver, BothSolversRefuseATaperWithoutDiameter) {
    for (bool legacy : {false, true}) {
        PredWellInputs inputs;
        inputs.legacy = legacy;
        inputs.tapers = {SteelTaper(2000.0, 1.0), SteelTaper(1000.0, 0.0), SteelTaper(2000.0, 0.75)};
        auto obj = MakePredWell(inputs);
        ASSERT_NE(obj->pred.pumpLoad, nullptr);
        LogCapture log;
        const PredSettings settings = GatherPredSettings(obj.get());
        const bool solved = legacy ? CalcWavePred(settings, &obj->pred) : CalcWavePredNew(settings, &obj->pred);
        EXPECT_FALSE(solved) << legacy;
        EXPECT_TRUE(log.Contains(legacy ? "Cannot run CalcWavePred() because all fields have not been set."
                                        : "Cannot run CalcWavePredNew() because all fields have not been set."))
            << legacy;
        EXPECT_FALSE(log.Contains("not numbers")) << legacy;
        for (int32_t i = 0; i < obj->pred.PointCount; ++i) {
            ASSERT_FALSE(std::isnan(obj->pred.surfaceLoad[i])) << i;
            ASSERT_FALSE(std::isnan(obj->pred.pumpLoad[i])) << i;
            ASSERT_FALSE(std::isnan(obj->pred.pumpPos[i])) << i;
        }
    }
}

TEST(PredSolver, ThreeNodesAreEnough) {
    PredWellInputs inputs;
    inputs.tapers = {SteelTaper(3000.0, 0.875)};
    auto obj = MakePredWell(inputs);
    obj->pred.nodesPerSection = 3;
    obj->pred.cdtDirty = obj->pred.nodesDirty = 1;
    PrepareCard(&obj->pred);
    ASSERT_EQ(obj->pred.FeaNodeCount, 3);
    EXPECT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
    EXPECT_GT(MaxOf(ViewPred(*obj).pumpLoad), 0.5 * inputs.fo);
}

TEST(PredSolver, WithoutIntermediateCardsTheTablesAreReleased) {
    auto obj = SolvedWell(PredWellInputs{});
    ASSERT_NE(obj->pred.intermediate.posRows, nullptr);
    obj->pred.intermediate.enabled = 0;
    ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred));
    EXPECT_EQ(obj->pred.intermediate.posRows, nullptr);
    EXPECT_EQ(obj->pred.intermediate.loadRows, nullptr);
    EXPECT_EQ(obj->pred.intermediate.rowCount, 0);
}

}  // namespace
