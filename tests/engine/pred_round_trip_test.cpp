// The predicted surface card, diagnosed as if it had been measured, must give back the
// predicted pump card: the two solvers invert each other.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"
#include "model/measured_card.h"

namespace {

struct RoundTripCase {
    double spm;
    double fillage;
    double compression;
    bool tubing;
};

PredWellInputs SpecOf(const RoundTripCase& c) {
    PredWellInputs inputs;
    inputs.spm = c.spm;
    inputs.fillage = c.fillage;
    inputs.compression = c.compression;
    inputs.tubing = c.tubing;
    return inputs;
}

// Loads the predicted surface card as a measured card of a new well with the same rods and
// damping, and diagnoses it.
std::unique_ptr<TeskObj> Diagnose(const PredWellInputs& inputs, const CardView& card) {
    LogCapture quiet;
    auto measured = std::make_unique<TeskObj>();
    const std::vector<TaperBase_t> tapers = ThreeTaperString(inputs.depth);
    WaveModel* meas = &measured->meas;
    EXPECT_TRUE(SetCardTapers(meas, tapers.data(), 3, 1.0));
    SetCardDamping(meas, inputs.damping, inputs.damping);
    meas->diagNodeLength = 100.0;  // comparable with the predictive grid
    const int32_t n = static_cast<int32_t>(card.surfacePos.size());
    EXPECT_TRUE(LoadDynArrays(measured.get(), inputs.spm, card.surfacePos.data(), card.surfaceLoad.data(), n));
    measured->upscDirty = 0;
    measured->predDirty = 0;
    RunWellDesign(measured.get());
    EXPECT_EQ(meas->PointCount, n);
    return measured;
}

CardView PredictCard(const PredWellInputs& inputs) {
    auto predicted = MakePredWell(inputs);
    EXPECT_TRUE(CalcWavePredNew(GatherPredSettings(predicted.get()), &predicted->pred));
    return ViewPred(*predicted);
}

class PredRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PredRoundTrip, DiagnosedSurfaceCardGivesBackThePredictedPumpCard) {
    const PredWellInputs inputs = SpecOf(GetParam());
    const CardView card = PredictCard(inputs);
    const int32_t n = static_cast<int32_t>(card.surfacePos.size());
    auto measured = Diagnose(inputs, card);
    const WaveModel* meas = &measured->meas;
    ASSERT_NE(meas->pumpLoad, nullptr);

    const double fo = inputs.fo;
    const double stroke = MaxOf(card.pumpPos) - MinOf(card.pumpPos);
    double loadError = 0;
    double positionError = 0;
    for (int32_t i = 0; i < n; ++i) {
        // Within one time step: a fluid pound drops the load by fo in a few steps.
        double nearest = INFINITY;
        for (int32_t j : {(i + n - 1) % n, i, (i + 1) % n}) {
            nearest = std::min(nearest, std::fabs(meas->pumpLoad[i] - card.pumpLoad[j]));
        }
        loadError = std::max(loadError, nearest);
        positionError = std::max(positionError, std::fabs(meas->pumpPos[i] - card.pumpPos[i]));
    }
    EXPECT_LT(loadError, 0.05 * fo);
    EXPECT_LT(positionError, 0.02 * stroke);
}

INSTANTIATE_TEST_SUITE_P(Wells, PredRoundTrip,
                         ::testing::Values(RoundTripCase{10.0, 1.0, 0.0, true}, RoundTripCase{6.0, 1.0, 0.0, true},
                                           RoundTripCase{10.0, 1.0, 0.0, false}));

// A fluid pound drops the load by fo within a fraction of an inch, which the diagnostic grid
// cannot follow point by point; the pump work and the pound itself still come back.
TEST(PredRoundTrip, FluidPoundComesBackWhereAndAsLargeAsPredicted) {
    const PredWellInputs inputs = SpecOf({8.0, 0.6, 3.0, true});
    const CardView card = PredictCard(inputs);
    auto measured = Diagnose(inputs, card);
    const WaveModel& meas = measured->meas;
    ASSERT_NE(meas.pumpLoad, nullptr);
    const int32_t n = meas.PointCount;
    CardView diagnosed;
    diagnosed.pumpPos.assign(meas.pumpPos, meas.pumpPos + n);
    diagnosed.pumpLoad.assign(meas.pumpLoad, meas.pumpLoad + n);
    const double predictedArea = CardArea(card.pumpPos, card.pumpLoad);
    EXPECT_NEAR(CardArea(diagnosed.pumpPos, diagnosed.pumpLoad), predictedArea, 0.03 * predictedArea);
    const auto poundPosition = [&](const CardView& v) -> double {
        const size_t top = std::max_element(v.pumpPos.begin(), v.pumpPos.end()) - v.pumpPos.begin();
        for (size_t k = 0; k < v.pumpPos.size(); ++k) {
            const size_t i = (top + k) % v.pumpPos.size();
            if (v.pumpLoad[i] < inputs.fo / 2) return v.pumpPos[i];
        }
        return NAN;
    };
    EXPECT_NEAR(poundPosition(diagnosed), poundPosition(card), 1.0);
}

}  // namespace
