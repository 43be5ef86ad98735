#include "engine/fea_nodes.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <vector>

#include "engine/fea_node.h"
#include "engine/test_well.h"
#include "engine/time_step.h"
#include "log_capture.h"
#include "model/taper_list.h"
#include "engine/wave_model.h"

namespace {

// A diagnostic card as the well object sets it up: 25-ft nodes, at least 4 per taper.
struct DiagCard {
    WaveModel card{"MEAS", 1};
    DiagCard(const std::vector<TaperBase_t>& tapers, double spm, int32_t points, double sg = 1.0) {
        card.diagNodeLength = 25.0;
        card.nodesPerSection = 4;
        card.sgFluid = sg;
        card.spm = spm;
        card.period = 60 / spm;
        card.PointCount = points;
        card.dampUp = 0.2;
        card.dampDn = 0.2;
        EXPECT_TRUE(SetCardTapers(&card, tapers.data(), static_cast<int32_t>(tapers.size()), sg));
    }
    void Build() {
        ASSERT_TRUE(UpdateCDTs(&card));
        BuildFeaNodes(&card);
    }
    const TaperItem& Taper(int i) const { return card.tapers->items[i]; }
};

}  // namespace

TEST(FeaNodesTest, ShortTaperGetsTheLeastNodeCount) {
    LogCapture log;
    DiagCard diag({SteelTaper(60, 1.0)}, 10, 400);
    diag.Build();
    EXPECT_TRUE(log.Contains("Warning: MEAS Taper #0 - the desired node length (25.0ft) resulted in a count (of 2) "
                             "less than the desired count #4"));
    ASSERT_EQ(diag.card.FeaNodeCount, 4);
    EXPECT_EQ(diag.Taper(0).nodeCount, 4);
    for (int j = 0; j < 4; ++j) EXPECT_DOUBLE_EQ(diag.card.nodes[j].dx, 15.0);
}

TEST(FeaNodesTest, LongTaperGetsDesiredNodeLengthWhileStable) {
    LogCapture log;
    DiagCard diag({SteelTaper(2000, 1.0)}, 10, 400);
    diag.Build();
    ASSERT_EQ(diag.card.FeaNodeCount, 80);
    EXPECT_DOUBLE_EQ(diag.Taper(0).nodeLength, 25.0);
    EXPECT_FALSE(log.Contains("WARN:"));
    EXPECT_FALSE(log.Contains("Error:"));
}

TEST(FeaNodesTest, NodesShortenedToTheDistanceAWaveTravelsInOneStep) {
    LogCapture log;
    DiagCard diag({SteelTaper(2000, 1.0)}, 10, 5000);  // DT 1.2 ms: a wave runs about 20 ft per step
    diag.Build();
    const double vDt = diag.Taper(0).waveSpeed * diag.card.DT;
    ASSERT_LT(vDt, 25.0);
    EXPECT_TRUE(log.Contains("WARN: DIAG stability: MEAS Taper #0 - the nodeLength (25.0ft) was longer than vDt"));
    ASSERT_EQ(diag.card.FeaNodeCount, static_cast<int32_t>(std::ceil(2000 / vDt)));
    for (int j = 0; j < diag.card.FeaNodeCount; ++j) EXPECT_LE(diag.card.nodes[j].dx, vDt);
    EXPECT_FALSE(log.Contains("Error: Diagnostic stability criterion not met"));
}

TEST(FeaNodesTest, NodesFollowTheTapersAndEndAtTheBottom) {
    const auto tapers = ThreeTaperString(5000);
    DiagCard diag(tapers, 8, 400);
    diag.Build();
    const WaveModel& card = diag.card;
    ASSERT_EQ(card.FeaNodeCount, 60 + 60 + 80);
    int j = 0;
    for (int i = 0; i < 3; ++i) {
        const TaperItem& t = diag.Taper(i);
        for (int k = 0; k < t.nodeCount; ++k, ++j) {
            EXPECT_EQ(card.nodes[j].eaNode, t.EA) << j;
            EXPECT_EQ(card.nodes[j].eaAbove, j > 0 ? card.nodes[j - 1].eaNode : t.EA) << j;
        }
        EXPECT_NEAR(card.nodes[j - 1].depth, t.top + t.L, 1e-9) << "taper " << i << " ends on a grid point";
    }
    EXPECT_NEAR(card.nodes[card.FeaNodeCount - 1].depth, 5000.0, 1e-9);
}

TEST(FeaNodesTest, StaticCoefficientsBalanceAndMassesMatchTheRod) {
    DiagCard diag(ThreeTaperString(5000), 8, 400);
    diag.Build();
    const WaveModel& card = diag.card;
    const double dt2 = card.DT * card.DT;
    for (int j = 1; j < card.FeaNodeCount; ++j) {
        const FeaNode& n = card.nodes[j];
        // A rod at rest everywhere must stay at rest: the stencil weights sum to the stiffness.
        EXPECT_NEAR(n.diagUpLater + n.diagUpNow + n.diagEarlier + n.diagAbove, n.kNode, 1e-9 * n.kNode) << j;
        EXPECT_NEAR(n.diagDnLater + n.diagDnNow + n.diagEarlier + n.diagAbove, n.kNode, 1e-9 * n.kNode) << j;
        // Lumped mass over half a node on each side, and the predictive mass of two half nodes.
        const FeaNode& p = card.nodes[j - 1];
        const double slugs = (p.dx * p.areaFt2 * p.density + n.dx * n.areaFt2 * n.density) / 2 / 32.1739;
        EXPECT_NEAR(n.diagEarlier * dt2, slugs, 1e-9 * slugs) << j;
        EXPECT_NEAR(n.predMass * dt2, slugs, 1e-9 * slugs) << j;
        EXPECT_NEAR(n.predKNode, n.kNode, 1e-9 * n.kNode) << j;
        EXPECT_NEAR(n.predKAbove, -n.diagAbove, 1e-9 * n.kNode) << j;
    }
}

TEST(FeaNodesTest, TopNodeHasNoNeighbourAbove) {
    DiagCard diag(ThreeTaperString(5000), 8, 400);
    diag.Build();
    const FeaNode& top = diag.card.nodes[0];
    EXPECT_EQ(top.eaAbove, top.eaNode);
    EXPECT_DOUBLE_EQ(top.diagAbove, -top.kNode);
    EXPECT_EQ(top.predMass, 0.0);
    EXPECT_EQ(top.predDamp, 0.0);
    EXPECT_EQ(top.predKAbove, 0.0);
    EXPECT_EQ(top.predKNode, 0.0);
}

TEST(FeaNodesTest, WeightBelowAndFluidLoadFollowDepth) {
    const auto tapers = ThreeTaperString(5000);
    DiagCard diag(tapers, 8, 400, 0.9);
    diag.Build();
    const WaveModel& card = diag.card;
    for (int j = 0; j < card.FeaNodeCount; ++j) {
        const FeaNode& n = card.nodes[j];
        EXPECT_NEAR(n.weightBelow, SteelWeightBelow(tapers, 0.9, n.depth), 1e-6) << j;
        EXPECT_NEAR(n.fluidLoad, 0.9 * 0.433 * n.depth * n.areaFt2 * 144, 1e-9 * (1 + n.fluidLoad)) << j;
    }
    EXPECT_NEAR(card.nodes[card.FeaNodeCount - 1].weightBelow, 0.0, 1e-9);
}

TEST(FeaNodesTest, LimitsStartEmptyAtAllocation) {
    DiagCard diag(ThreeTaperString(5000), 8, 400);
    diag.Build();
    for (int i = 0; i <= diag.card.FeaNodeCount; ++i) {
        EXPECT_EQ(diag.card.nodeLoadMax[i], -DBL_MAX);
        EXPECT_EQ(diag.card.nodeLoadMin[i], DBL_MAX);
    }
}

TEST(FeaNodesTest, InvalidTaperGetsNoNodesAndPushesNothingBelowTheString) {
    std::vector<TaperBase_t> tapers = ThreeTaperString(5000);
    tapers.insert(tapers.begin() + 1, SteelTaper(-5, 0.875));
    tapers.insert(tapers.begin() + 2, SteelTaper(std::nan(""), 0.875));
    DiagCard diag(tapers, 8, 400);
    diag.Build();
    EXPECT_EQ(diag.Taper(1).nodeCount, 0);
    EXPECT_EQ(diag.Taper(1).nodeLength, 0.0);
    EXPECT_EQ(diag.Taper(2).nodeCount, 0);
    ASSERT_EQ(diag.card.FeaNodeCount, 200);
    EXPECT_NEAR(diag.card.nodes[199].depth, 5000.0, 1e-9);
}

TEST(FeaNodesTest, GridsWithoutValidNodeCountLeaveNoNodes) {
    struct Case {
        const char* what;
        std::vector<TaperBase_t> tapers;
        const char* name;
        double diagNodeLength;
        double dt;
        const char* line;
    };
    const Case cases[] = {
        {"all tapers invalid", {SteelTaper(0, 1.0), SteelTaper(-3, 1.0)}, "MEAS", 25, 0.01, "Invalid Node Count"},
        {"measured card never stepped", ThreeTaperString(5000), "MEAS", 25, 0.0, "Invalid Node Count"},
        {"upscaled card never stepped", ThreeTaperString(5000), "UPSC", 25, 0.0, "Warning: UPSC DT is 0.0"},
        {"NaN node length", ThreeTaperString(5000), "MEAS", std::nan(""), 0.01, "Invalid Node Count"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        WaveModel card(c.name, 1);
        card.nodesPerSection = 4;
        card.diagNodeLength = c.diagNodeLength;
        ASSERT_TRUE(SetCardTapers(&card, c.tapers.data(), static_cast<int32_t>(c.tapers.size()), 1.0));
        card.DT = c.dt;
        BuildFeaNodes(&card);
        EXPECT_EQ(card.nodes, nullptr) << c.what;
        EXPECT_EQ(card.FeaNodeCount, 100) << c.what << ": the count keeps its old value";
        EXPECT_TRUE(log.Contains(c.line)) << c.what;
    }
}

// A grid of more nodes than a card may hold is not built; the count it asked for is kept for the
// run, which reports it with the work it would take.
TEST(FeaNodesTest, GridBeyondTheNodeLimitKeepsTheCountItAskedFor) {
    struct Case {
        const char* what;
        double diagNodeLength;
        double dt;
        double nodes;
    };
    const Case cases[] = {
        {"absurd node length", 1e-300, 0.01, 5000 / 1e-300},
        {"tapers each beyond the limit", 0.01, 1.0, 500000},
        {"tapers within, their sum beyond", 0.04, 1.0, 37500 + 37500 + 50000},
    };
    for (const Case& c : cases) {
        LogCapture log;
        WaveModel card("MEAS", 1);
        card.nodesPerSection = 4;
        card.diagNodeLength = c.diagNodeLength;
        const std::vector<TaperBase_t> tapers = ThreeTaperString(5000);
        ASSERT_TRUE(SetCardTapers(&card, tapers.data(), 3, 1.0));
        card.DT = c.dt;
        BuildFeaNodes(&card);
        EXPECT_EQ(card.nodes, nullptr) << c.what;
        EXPECT_DOUBLE_EQ(card.unbuiltGrid.nodes, c.nodes) << c.what;
        EXPECT_FALSE(log.Contains("Invalid Node Count")) << c.what;
        card.diagNodeLength = 66;
        BuildFeaNodes(&card);
        EXPECT_NE(card.nodes, nullptr) << c.what;
        EXPECT_EQ(card.unbuiltGrid.nodes, 0) << c.what << ": a grid that is built asks for nothing more";
    }
}

TEST(FeaNodesTest, NeverSteppedMeasuredCardWarnsForEveryTaper) {
    LogCapture log;
    WaveModel card("MEAS", 1);
    card.nodesPerSection = 4;
    card.diagNodeLength = 25;
    const std::vector<TaperBase_t> tapers = {SteelTaper(1500, 1.0), SteelTaper(0, 0.875), SteelTaper(1500, 0.875),
                                             SteelTaper(2000, 0.75)};
    ASSERT_TRUE(SetCardTapers(&card, tapers.data(), 4, 1.0));
    BuildFeaNodes(&card);
    EXPECT_EQ(card.nodes, nullptr);
    EXPECT_EQ(log.Count("WARN: DIAG stability: MEAS Taper #"), 3u) << "each taper of positive length, once";
    EXPECT_TRUE(log.Contains("WARN: DIAG stability: MEAS Taper #3 - the nodeLength (25.0ft) was longer than vDt (0.0)"));
    EXPECT_FALSE(log.Contains("Taper #1 -"));
    EXPECT_EQ(log.Count("Invalid Node Count"), 1u);
}

TEST(FeaNodesTest, RefusesCardWithoutTapers) {
    LogCapture log;
    WaveModel card("MEAS", 1);
    BuildFeaNodes(&card);
    EXPECT_TRUE(log.Contains("Warning: MEAS BuildFeaNodes() was called before Rod Taper was set"));
    EXPECT_EQ(card.nodes, nullptr);
}

TEST(FeaNodesTest, FixedGridLooksTheTaperUpByDepth) {
    WaveModel card("PRED", 0);
    card.fixedGrid = 1;
    card.spm = 8;
    card.period = 7.5;
    const auto tapers = ThreeTaperString(5000);
    ASSERT_TRUE(SetCardTapers(&card, tapers.data(), 3, 1.0));
    ASSERT_TRUE(UpdateCDTs(&card));
    BuildFeaNodes(&card);
    ASSERT_EQ(card.FeaNodeCount, 23);
    const double h = 5000.0 / 22;
    for (int j = 0; j < 23; ++j) {
        EXPECT_NEAR(card.nodes[j].depth, (j + 1) * h, 1e-9);
        // Each node takes the material at its lower end (node 0 that at the surface).
        const double lowerEnd = j == 0 ? 0.0 : (j + 1) * h;
        const int owner = GetRodSectionIndex(card.tapers, lowerEnd);
        EXPECT_EQ(card.nodes[j].eaNode, card.tapers->items[owner].EA) << j;
    }
    EXPECT_EQ(card.nodes[22].weightBelow, 0.0);
}

TEST(FeaNodesTest, FluidRefreshMatchesAFreshBuild) {
    for (uint8_t fixedGrid : {0, 1}) {
        const auto tapers = ThreeTaperString(4000);
        WaveModel refreshed(fixedGrid ? "PRED" : "MEAS", fixedGrid ? 0 : 1);
        WaveModel fresh(fixedGrid ? "PRED" : "MEAS", fixedGrid ? 0 : 1);
        for (WaveModel* card : {&refreshed, &fresh}) {
            card->diagNodeLength = 25;
            card->fixedGrid = fixedGrid;
            card->period = 6;
            card->PointCount = 400;
            card->sgFluid = card == &fresh ? 1.1 : 0.8;
            ASSERT_TRUE(SetCardTapers(card, tapers.data(), 3, card->sgFluid));
            ASSERT_TRUE(UpdateCDTs(card));
            BuildFeaNodes(card);
            card->nodesDirty = 0;
        }
        refreshed.sgFluid = 1.1;
        UpdateTaperTotals(refreshed.tapers, 1.1);
        UpdateNodeFluidFields(&refreshed);
        ASSERT_EQ(refreshed.FeaNodeCount, fresh.FeaNodeCount);
        for (int j = 0; j < fresh.FeaNodeCount; ++j) {
            EXPECT_EQ(refreshed.nodes[j].weightBelow, fresh.nodes[j].weightBelow) << j;
            EXPECT_EQ(refreshed.nodes[j].fluidLoad, fresh.nodes[j].fluidLoad) << j;
        }
    }
}

TEST(FeaNodesTest, FluidRefreshWaitsForAPendingRebuild) {
    DiagCard diag(ThreeTaperString(4000), 8, 400);
    diag.Build();
    const double before = diag.card.nodes[10].fluidLoad;
    const auto other = ThreeTaperString(3000);
    ASSERT_TRUE(SetCardTapers(&diag.card, other.data(), 3, 1.0));  // raises nodesDirty
    diag.card.sgFluid = 1.2;
    UpdateNodeFluidFields(&diag.card);
    EXPECT_EQ(diag.card.nodes[10].fluidLoad, before);
}

TEST(FeaNodesTest, ZeroDiameterTaperGivesNodesWithoutStiffness) {
    std::vector<TaperBase_t> tapers = ThreeTaperString(5000);
    tapers[1].D = 0;
    tapers[1].W = 2.0;
    DiagCard diag(tapers, 8, 400);
    diag.Build();
    ASSERT_NE(diag.card.nodes, nullptr);
    EXPECT_EQ(diag.card.nodes[diag.Taper(0).nodeCount].kNode, 0.0);
}
