// Partial pump fillage with gas compression in the default predictive solver.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"

namespace {

constexpr double kCompression = 3.0;

CardView Predict(double fillage, double compression, double fo = 4000.0) {
    PredWellInputs inputs;
    inputs.fillage = fillage;
    inputs.compression = compression;
    inputs.fo = fo;
    auto obj = MakePredWell(inputs);
    EXPECT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &obj->pred)) << fillage;
    return ViewPred(*obj);
}

// Index of the first point after the top of the pump stroke whose load falls below fo/2.
size_t FirstHalfLoadAfterTop(const CardView& card, double fo) {
    const size_t n = card.pumpPos.size();
    const size_t top = std::max_element(card.pumpPos.begin(), card.pumpPos.end()) - card.pumpPos.begin();
    for (size_t k = 0; k < n; ++k) {
        const size_t i = (top + k) % n;
        if (card.pumpLoad[i] < fo / 2) return i;
    }
    return n;
}

double LargestStepTravel(const std::vector<double>& pos) {
    double travel = 0;
    for (size_t i = 0; i < pos.size(); ++i) travel = std::max(travel, std::fabs(pos[(i + 1) % pos.size()] - pos[i]));
    return travel;
}

class PartialFillage : public ::testing::TestWithParam<double> {};

TEST_P(PartialFillage, LoadsStayWithinZeroAndFo) {
    const double fo = 4000.0;
    const CardView card = Predict(GetParam(), kCompression, fo);
    for (double load : card.pumpLoad) {
        ASSERT_GE(load, -1e-6 * fo);
        ASSERT_LE(load, fo * (1 + 1e-6));
    }
}

TEST_P(PartialFillage, TinyChangeOfFoMovesNoLoad) {
    const double fo = 4000.0;
    const CardView a = Predict(GetParam(), kCompression, fo);
    const CardView b = Predict(GetParam(), kCompression, fo * (1 + 1e-9));
    for (size_t i = 0; i < a.pumpLoad.size(); ++i) {
        ASSERT_NEAR(a.pumpLoad[i], b.pumpLoad[i], 1e-4 * fo) << i;
        ASSERT_NEAR(a.surfaceLoad[i], b.surfaceLoad[i], 1e-4 * fo) << i;
    }
}

TEST_P(PartialFillage, PlungerMeetsTheFluidAtTheFillagePoint) {
    const double fillage = GetParam();
    const double fo = 4000.0;
    const CardView card = Predict(fillage, kCompression, fo);
    const double bottom = MinOf(card.pumpPos);
    const double top = MaxOf(card.pumpPos);
    const size_t i = FirstHalfLoadAfterTop(card, fo);
    ASSERT_LT(i, card.pumpPos.size());
    const double expected = bottom + fillage * (top - bottom);
    EXPECT_NEAR(card.pumpPos[i], expected, 2 / kCompression + LargestStepTravel(card.pumpPos));
}

TEST_P(PartialFillage, CardAreaFollowsFillage) {
    const double fillage = GetParam();
    const CardView full = Predict(1.0, kCompression);
    const CardView part = Predict(fillage, kCompression);
    const double ratio = CardArea(part.pumpPos, part.pumpLoad) / CardArea(full.pumpPos, full.pumpLoad);
    EXPECT_GT(ratio, 0.9 * fillage);
    EXPECT_LT(ratio, 1.25 * fillage);
}

INSTANTIATE_TEST_SUITE_P(PredFillage, PartialFillage, ::testing::Values(0.3, 0.5, 0.75, 0.9));

TEST(PredFillage, CardAreaFallsStrictlyWithFillage) {
    double previous = INFINITY;
    for (double fillage : {1.0, 0.9, 0.75, 0.6, 0.45, 0.3, 0.15}) {
        const CardView card = Predict(fillage, kCompression);
        const double area = CardArea(card.pumpPos, card.pumpLoad);
        EXPECT_LT(area, previous) << fillage;
        previous = area;
    }
}

TEST(PredFillage, CompressionDoesNotMatterAtFullFillage) {
    const CardView a = Predict(1.0, 0.0);
    const CardView b = Predict(1.0, kCompression);
    EXPECT_EQ(a.pumpPos, b.pumpPos);
    EXPECT_EQ(a.pumpLoad, b.pumpLoad);
    EXPECT_EQ(a.surfaceLoad, b.surfaceLoad);
    EXPECT_EQ(a.colors, b.colors);
}

TEST(PredFillage, SteepCompressionStaysBounded) {
    const double fo = 4000.0;
    for (double compression : {0.5, 20.0, 200.0}) {
        const CardView card = Predict(0.6, compression, fo);
        for (double load : card.pumpLoad) {
            ASSERT_GE(load, -1e-6 * fo) << compression;
            ASSERT_LE(load, fo * (1 + 1e-6)) << compression;
        }
    }
}

}  // namespace
