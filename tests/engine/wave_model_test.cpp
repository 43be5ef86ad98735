#include <gtest/gtest.h>

#include <cfloat>

#include "engine/fea_node.h"
#include "engine/wave_model.h"

TEST(WaveModel, ConstructorDefaultsAndBoundedName) {
    WaveModel card("A_VERY_LONG_CARD_NAME", 1);
    EXPECT_STREQ(card.name, "A_VERY_LONG_CAR");
    EXPECT_EQ(card.isDiag, 1);
    EXPECT_EQ(card.FeaNodeCount, 100);
    EXPECT_EQ(card.sgFluid, 1.0);
    EXPECT_EQ(card.pumpDia, 1.5);
    EXPECT_EQ(card.desiredPointCount, 200);
    EXPECT_EQ(card.surfacePos, nullptr);
}

TEST(WaveModel, AllocCardArraysSizesAndZeroes) {
    WaveModel card("MEAS", 1);
    card.PointCount = 200;
    ASSERT_TRUE(AllocCardArrays(&card));
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(card.surfacePos[i], 0.0);
        EXPECT_EQ(card.surfaceLoad[i], 0.0);
        EXPECT_EQ(card.pumpPos[i], 0.0);
        EXPECT_EQ(card.pumpLoad[i], 0.0);
        EXPECT_EQ(card.pumpColors[i], 0);
    }
    card.PointCount = 0;
    ASSERT_TRUE(AllocCardArrays(&card));
    EXPECT_EQ(card.surfacePos, nullptr);
    EXPECT_EQ(card.pumpColors, nullptr);
}

TEST(WaveModel, IntermediateCardsKeptWhenShapeMatchesReplacedOtherwise) {
    WaveModel card("MEAS", 1);
    card.intermediate.enabled = 1;
    ASSERT_TRUE(AllocIntermediateCards(&card.intermediate, 10, 50));
    EXPECT_EQ(card.intermediate.rowCount, 11);
    EXPECT_EQ(card.intermediate.columnCount, 50);
    EXPECT_EQ(card.intermediate.loadRows[10][49], 0.0);
    card.intermediate.loadRows[3][7] = 42.0;
    double** before = card.intermediate.loadRows;
    ASSERT_TRUE(AllocIntermediateCards(&card.intermediate, 10, 50));
    EXPECT_EQ(card.intermediate.loadRows, before);
    EXPECT_EQ(card.intermediate.loadRows[3][7], 42.0);
    ASSERT_TRUE(AllocIntermediateCards(&card.intermediate, 10, 60));
    EXPECT_EQ(card.intermediate.columnCount, 60);
    EXPECT_EQ(card.intermediate.loadRows[3][7], 0.0);
    FreeIntermediateCards(&card.intermediate);
    EXPECT_EQ(card.intermediate.loadRows, nullptr);
    EXPECT_EQ(card.intermediate.rowCount, 0);
    EXPECT_EQ(card.intermediate.enabled, 1);
}

TEST(WaveModel, IntermediateCardsDisabledAllocateNothing) {
    WaveModel card("UPSC", 1);
    ASSERT_TRUE(AllocIntermediateCards(&card.intermediate, 10, 50));
    EXPECT_EQ(card.intermediate.loadRows, nullptr);
    EXPECT_EQ(card.intermediate.posRows, nullptr);
}

TEST(WaveModel, ResetNodeLoadLimitsOpensTheEnvelope) {
    WaveModel card("MEAS", 1);
    ResetNodeLoadLimits(&card);  // no nodes: nothing to do, no crash
    card.FeaNodeCount = 3;
    double mx[4] = {1, 2, 3, 4}, mn[4] = {1, 2, 3, 4};
    card.nodeLoadMax = mx;
    card.nodeLoadMin = mn;
    ResetNodeLoadLimits(&card);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(mx[i], -DBL_MAX);
        EXPECT_EQ(mn[i], DBL_MAX);
        EXPECT_LT(mx[i], -1e300);  // any real (even negative) load replaces it
    }
    card.nodeLoadMax = card.nodeLoadMin = nullptr;
}
