#include "engine/time_step.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/fea_node.h"
#include "engine/fea_nodes.h"
#include "engine/pred_solver.h"
#include "engine/test_well.h"
#include "log_capture.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "engine/wave_model.h"
#include "model/wave_params.h"
#include "model/well_inputs.h"

namespace {

const double kPi = 4 * std::atan(1.0);

double WaveSpeed(double e, double r) { return std::sqrt(e * 144 * 32.1739 / r); }

TaperBase_t Taper(double length, double diameter, double e, double r) {
    TaperBase_t taper = SteelTaper(length, diameter);
    taper.E = e;
    taper.R = r;
    return taper;
}

struct PredCard {
    WaveModel card{"PRED", 0};
    PredCard(std::vector<TaperBase_t> tapers, double spm) {
        card.predNodeLength = 1000.0;
        card.nodesPerSection = 10;
        card.desiredPointCount = 200;
        card.spm = spm;
        card.period = 60 / spm;
        EXPECT_TRUE(SetCardTapers(&card, tapers.data(), static_cast<int32_t>(tapers.size()), 1.0));
    }
};

}  // namespace

TEST(TimeStepTest, GridCountRefusesWhatIsNoCount) {
    struct Case {
        double value;
        bool valid;
        int32_t count;
    } cases[] = {
        {5.0, true, 5},
        {0.0, true, 0},
        {1000.0, true, 1000},
        {1001.0, false, 0},
        {-1.0, false, 0},
        {std::numeric_limits<double>::quiet_NaN(), false, 0},
        {std::numeric_limits<double>::infinity(), false, 0},
        {1e300, false, 0},
    };
    for (const Case& c : cases) {
        int32_t count = -7;
        EXPECT_EQ(ToGridCount(c.value, 1000, &count), c.valid) << c.value;
        EXPECT_EQ(count, c.valid ? c.count : -7) << "an invalid count must not be stored";
    }
}

TEST(TimeStepTest, RefusesCardsWithoutTapersOrPoints) {
    LogCapture log;
    WaveModel card("MEAS", 1);
    card.DT = 0.25;
    EXPECT_FALSE(UpdateCDTs(&card));
    EXPECT_TRUE(log.Contains("Warning: MEAS UpdateCDTs() called before the taper was set"));

    const auto tapers = ThreeTaperString(5000);
    ASSERT_TRUE(SetCardTapers(&card, tapers.data(), 3, 1.0));
    card.period = 6;
    card.PointCount = 0;
    EXPECT_FALSE(UpdateCDTs(&card));
    EXPECT_TRUE(log.Contains("Warning: MEAS UpdateCDTs() called without valid PointCount"));
    EXPECT_EQ(card.DT, 0.25);
}

TEST(TimeStepTest, DiagnosticStepAndDampingUseSlowestValidTaperAndWholeLength) {
    WaveModel card("MEAS", 1);
    // A glass-fibre taper is the slowest valid one; the zero-length taper is slower still but invalid.
    const std::vector<TaperBase_t> tapers = {Taper(3000, 1.0, 30.5e6, 492), Taper(2000, 1.0, 7.2e6, 160),
                                             Taper(0, 1.0, 1e5, 492)};
    ASSERT_TRUE(SetCardTapers(&card, tapers.data(), 3, 1.0));
    card.period = 6.0;
    card.PointCount = 400;
    card.dampUp = 0.3;
    card.dampDn = 0.1;
    ASSERT_TRUE(UpdateCDTs(&card));
    EXPECT_DOUBLE_EQ(card.DT, 6.0 / 400);
    const double aMin = WaveSpeed(7.2e6, 160);
    EXPECT_NEAR(card.cUp, kPi * 0.3 * aMin / 10000.0, 1e-12);
    EXPECT_NEAR(card.cDn, kPi * 0.1 * aMin / 10000.0, 1e-12);
    EXPECT_DOUBLE_EQ(card.cUpDt, card.cUp * card.DT);
    EXPECT_DOUBLE_EQ(card.cDnDt, card.cDn * card.DT);
}

TEST(TimeStepTest, PredFreeGridOfOneLongTaper) {
    LogCapture log;
    PredCard pred({Taper(5000, 1.0, 30500000, 492)}, 10);
    ASSERT_TRUE(UpdateCDTs(&pred.card));
    const double aMax = WaveSpeed(30500000, 492);
    EXPECT_NEAR(aMax, 16947.298, 1e-3);
    EXPECT_EQ(pred.card.sectionNodeCount, 10);
    EXPECT_NEAR(pred.card.DT, 500 / aMax, 1e-15);
    EXPECT_NEAR(pred.card.DT, 0.0295032, 1e-7);
    EXPECT_EQ(pred.card.PointCount, 204);
    ASSERT_NE(pred.card.surfacePos, nullptr);
    EXPECT_EQ(pred.card.surfacePos[203], 0.0);
    EXPECT_FALSE(log.Contains("TODO:"));

    BuildFeaNodes(&pred.card);
    EXPECT_FALSE(log.Contains("WARN: PRED Stability"));
    ASSERT_EQ(pred.card.FeaNodeCount, 10);
    for (int j = 0; j < 10; ++j) EXPECT_NEAR(pred.card.nodes[j].dx, 500.0, 1e-9);
}

TEST(TimeStepTest, PredStepLimitedByNodeLengthWhenTaperSectionsAreLong) {
    // 5,000 ft in 10 sections would give 500-ft nodes, longer than the 100-ft node length.
    PredCard pred({Taper(5000, 1.0, 30500000, 492)}, 10);
    pred.card.predNodeLength = 100;
    const double dt = FindOptimalPredDT(&pred.card);
    EXPECT_EQ(pred.card.sectionNodeCount, 50);
    EXPECT_NEAR(dt, 100 / WaveSpeed(30500000, 492), 1e-15);
}

TEST(TimeStepTest, PredStepShortenedWhenTheDesiredPointCountIsUnstable) {
    LogCapture log;
    // At 1 spm the desired 200 points give 0.3 s, far beyond the 1000-ft sections' limit.
    PredCard pred({Taper(10000, 1.0, 30500000, 492)}, 1);
    const double dt = FindOptimalPredDT(&pred.card);
    EXPECT_EQ(pred.card.sectionNodeCount, 10);
    EXPECT_NEAR(dt, 1000 / WaveSpeed(30500000, 492), 1e-15);
    EXPECT_TRUE(log.Contains("TODO: FindOptimalPredDT() FAIL stability tmpPointCount:200 tmpNodeCount:10"));
    EXPECT_TRUE(log.Contains("TODO: FindOptimalPredDT() NEW --------> tmpPointCount:"));
}

TEST(TimeStepTest, PredFixedGridHas23NodesAndARoundedPointCount) {
    // Any non-zero legacy byte selects the fixed grid, not only 1.
    for (uint8_t fixedGrid : {1, 2, 255}) {
        PredCard pred(ThreeTaperString(5000), 8);
        pred.card.fixedGrid = fixedGrid;
        ASSERT_TRUE(UpdateCDTs(&pred.card)) << int(fixedGrid);
        const double aMax = WaveSpeed(30500000, 492);
        EXPECT_EQ(pred.card.sectionNodeCount, 23) << int(fixedGrid);
        EXPECT_DOUBLE_EQ(pred.card.DT, 5000.0 / 22 / aMax / 1.15) << int(fixedGrid);
        EXPECT_EQ(pred.card.PointCount, static_cast<int32_t>(std::round(7.5 / pred.card.DT))) << int(fixedGrid);
        BuildFeaNodes(&pred.card);
        ASSERT_EQ(pred.card.FeaNodeCount, 23) << int(fixedGrid);
        EXPECT_NEAR(pred.card.nodes[22].depth, 5000.0 + 5000.0 / 22, 1e-9) << "one node below the string";
    }
}

TEST(TimeStepTest, PredWithoutValidPointCountEndsWithoutPoints) {
    struct Case {
        const char* what;
        std::vector<TaperBase_t> tapers;
        double spm;
        uint8_t fixedGrid;
    };
    const Case cases[] = {
        {"zero-length taper", {Taper(3000, 1.0, 30500000, 492), Taper(0, 0.875, 30500000, 492)}, 10, 0},
        {"no speed yet", ThreeTaperString(5000), 0, 0},
        {"fixed grid of empty string", {Taper(-5, 1.0, 30500000, 492)}, 10, 1},
    };
    for (const Case& c : cases) {
        LogCapture log;
        PredCard pred(c.tapers, 10);
        pred.card.spm = c.spm;
        pred.card.period = c.spm > 0 ? 60 / c.spm : 0;
        pred.card.fixedGrid = c.fixedGrid;
        pred.card.PointCount = 100;
        ASSERT_TRUE(AllocCardArrays(&pred.card));
        EXPECT_FALSE(UpdateCDTs(&pred.card)) << c.what;
        EXPECT_EQ(pred.card.PointCount, 0) << c.what;
        EXPECT_EQ(pred.card.surfacePos, nullptr) << c.what;
        EXPECT_TRUE(log.Contains("Warning: PRED UpdateCDTs() called without valid PointCount")) << c.what;
    }
}

// A speed so slow that one cycle needs more points than a card may hold: the card gets none, and
// the count it asked for is kept for the run to report with the whole grid.
TEST(TimeStepTest, PredPointCountBeyondTheLimitIsKeptForTheRun) {
    LogCapture log;
    PredCard pred(ThreeTaperString(5000), 10);
    pred.card.spm = 1e-3;
    pred.card.period = 60 / pred.card.spm;
    EXPECT_FALSE(UpdateCDTs(&pred.card));
    EXPECT_EQ(pred.card.PointCount, 0);
    EXPECT_DOUBLE_EQ(pred.card.unbuiltGrid.points, std::ceil(pred.card.period / pred.card.DT));
    EXPECT_GT(pred.card.unbuiltGrid.points, 1e6);
    EXPECT_FALSE(log.Contains("without valid PointCount"));
    pred.card.spm = 8;
    pred.card.period = 7.5;
    EXPECT_TRUE(UpdateCDTs(&pred.card));
    EXPECT_EQ(pred.card.unbuiltGrid.points, 0);
}

// Where a taper's node length is exactly one step's travel of the wave (dx/aMax*aMax), the rounded
// product may exceed dx by an ulp; the grid must still keep every node and log no stability lines
// beyond those of a really unstable first guess.
TEST(TimeStepTest, PredGridAtItsExactStabilityLimitKeepsEveryNode) {
    struct Case {
        double length;
        int32_t perSection;
        int32_t nodes;
        int32_t points;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {1696, 10, 10, 600, {}},
        // The 200 desired points would let the wave travel 508 ft a step across a 158-ft node.
        {158,
         1,
         1,
         644,
         {"TODO: FindOptimalPredDT() FAIL stability tmpPointCount:200 tmpNodeCount:1 tmpDX:158.000000 "
          "tmpDT:0.030000, vDt:508.418942",
          "TODO: FindOptimalPredDT() NEW --------> tmpPointCount:644 tmpNodeCount:1 tmpDX:158.000000 "
          "tmpDT:0.009323, vDt:508.418942"}},
        {5000, 10, 10, 204, {}},
    };
    const double aMax = WaveSpeed(30500000, 492);
    for (const Case& c : cases) {
        TeskObj obj;
        const TaperBase_t taper = SteelTaper(c.length, 1.0);
        ASSERT_TRUE(SetCardTapers(&obj.pred, &taper, 1, 1.0));
        ASSERT_TRUE(SetCardSpm(&obj.pred, 10));
        obj.pred.nodesPerSection = c.perSection;
        LogCapture log;
        PrepareCard(&obj.pred);
        EXPECT_EQ(log.lines, c.lines) << c.length;
        ASSERT_EQ(obj.pred.FeaNodeCount, c.nodes) << c.length;
        EXPECT_EQ(obj.pred.tapers->items[0].nodeCount, c.nodes) << c.length;
        EXPECT_EQ(obj.pred.DT, (c.length / c.perSection) / aMax) << c.length;
        EXPECT_EQ(obj.pred.PointCount, c.points) << c.length;
        EXPECT_NEAR(obj.pred.nodes[c.nodes - 1].depth, c.length, 1e-9) << c.length;
    }
}

// One node is a grid, but too coarse for the predictive solver, which says so in its own words.
TEST(TimeStepTest, PredSolverRefusesTheOneNodeGridOfAShortTaper) {
    TeskObj obj;
    const TaperBase_t taper = SteelTaper(158, 1.0);
    ASSERT_TRUE(SetCardTapers(&obj.pred, &taper, 1, 1.0));
    ASSERT_TRUE(SetCardSpm(&obj.pred, 10));
    obj.pred.nodesPerSection = 1;
    PrepareCard(&obj.pred);
    ASSERT_EQ(obj.pred.FeaNodeCount, 1);
    LogCapture log;
    EXPECT_FALSE(CalcWavePredNew(GatherPredSettings(&obj), &obj.pred));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Cannot run CalcWavePredNew() because all fields have not been set."});
}
