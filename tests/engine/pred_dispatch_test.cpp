// The "PRED" step of a run picks the solver that the wave settings ask for.
#include "engine/pred_dispatch.h"

#include <gtest/gtest.h>

#include "engine/pred_test_well.h"
#include "log_capture.h"

namespace {

TEST(PredDispatch, NonZeroSettingRunsTheLegacySolver) {
    for (uint8_t setting : {uint8_t{1}, uint8_t{2}}) {
        PredWellInputs inputs;
        inputs.legacy = true;
        auto obj = MakePredWell(inputs);
        obj->useLegacyPred = setting;
        ASSERT_TRUE(SolvePredCard(GatherPredSettings(obj.get()), &obj->pred));
        EXPECT_EQ(obj->pred.pumpState, 0) << int(setting);  // the new solver's state is untouched
        EXPECT_NE(obj->pred.pump.legacyPumpState, 0) << int(setting);
        EXPECT_GE(obj->pred.pump.eventIndex[LoadPickupEvent], (obj->predCycles - 1) * obj->pred.PointCount)
            << int(setting);
    }
}

TEST(PredDispatch, ZeroRunsTheNewSolver) {
    auto obj = MakePredWell(PredWellInputs{});
    ASSERT_TRUE(SolvePredCard(GatherPredSettings(obj.get()), &obj->pred));
    EXPECT_NE(obj->pred.pumpState, 0);
    EXPECT_EQ(obj->pred.pump.legacyPumpState, 0);
    EXPECT_LT(obj->pred.pump.eventIndex[LoadPickupEvent], obj->pred.PointCount);
}

TEST(PredDispatch, RefusalsComeBackAsFalse) {
    LogCapture log;
    EXPECT_FALSE(SolvePredCard(PredSettings{}, nullptr));
    TeskObj bare;
    EXPECT_FALSE(SolvePredCard(GatherPredSettings(&bare), &bare.pred));
    EXPECT_TRUE(log.Contains("Cannot run CalcWavePredNew() because all fields have not been set."));
}

}  // namespace
