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
        ASSERT_TRUE(SolvePredCard(obj.get()));
        EXPECT_EQ(obj->pred.pumpState, 0) << int(setting);  // the new solver's state is untouched
        EXPECT_NE(obj->legacyPumpState, 0) << int(setting);
        EXPECT_GE(obj->pumpEventIndex[0], (obj->predCycles - 1) * obj->pred.PointCount) << int(setting);
    }
}

TEST(PredDispatch, ZeroRunsTheNewSolver) {
    auto obj = MakePredWell(PredWellInputs{});
    ASSERT_TRUE(SolvePredCard(obj.get()));
    EXPECT_NE(obj->pred.pumpState, 0);
    EXPECT_EQ(obj->legacyPumpState, 0);
    EXPECT_LT(obj->pumpEventIndex[0], obj->pred.PointCount);
}

TEST(PredDispatch, RefusalsComeBackAsFalse) {
    LogCapture log;
    EXPECT_FALSE(SolvePredCard(nullptr));
    TeskObj bare;
    EXPECT_FALSE(SolvePredCard(&bare));
    EXPECT_TRUE(log.Contains("Cannot run CalcWavePredNew() because all fields have not been set."));
}

}  // namespace
