#include "model/run_design.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/test_well.h"
#include "log_capture.h"
#include "model/tesk_obj.h"

namespace {

struct Well {
    TeskObj* obj = CreateTeskObj();
    ~Well() { DeleteTeskObj(obj); }
    void SetRods(double length) {
        const auto tapers = ThreeTaperString(length);
        ASSERT_EQ(SetDiagTapers(obj, tapers.data(), 3, 1.0), 1);
    }
    void Load(const SurfaceCard& card, double spm = 8) {
        ASSERT_EQ(LoadDyn(obj, spm, card.pos.data(), card.load.data(), static_cast<int32_t>(card.pos.size())), 1);
    }
};

void ExpectExtremesOf(const double* values, int count, double max, double min) {
    double hi = -DBL_MAX, lo = DBL_MAX;
    for (int i = 0; i < count; ++i) {
        hi = std::max(hi, values[i]);
        lo = std::min(lo, values[i]);
    }
    EXPECT_EQ(max, hi);
    EXPECT_EQ(min, lo);
}

}  // namespace

TEST(RunDesignTest, NewObjectSolvesNothing) {
    Well well;
    LogCapture log;
    EXPECT_EQ(RunDesign(well.obj), 1);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_GE(well.obj->runTimeMs, 0);
    EXPECT_LT(well.obj->runTimeMs, 50);
    EXPECT_EQ(well.obj->measPumpPosMax, -DBL_MAX);
    EXPECT_EQ(well.obj->predPumpLoadMin, DBL_MAX);
}

TEST(RunDesignTest, MeasuredCardIsDiagnosedAndItsExtremesFollowTheArrays) {
    Well well;
    well.SetRods(5000);
    well.Load(SmoothCard(400, 9000));
    ASSERT_EQ(RunDesign(well.obj), 1);
    const WaveModel& meas = well.obj->meas;
    EXPECT_EQ(well.obj->measDirty, 0);
    EXPECT_EQ(well.obj->upscDirty, 0);
    EXPECT_EQ(meas.cdtDirty, 0);
    EXPECT_EQ(meas.nodesDirty, 0);
    ASSERT_EQ(meas.FeaNodeCount, 200);
    ExpectExtremesOf(meas.surfacePos, 400, well.obj->measSurfacePosMax, well.obj->measSurfacePosMin);
    ExpectExtremesOf(meas.surfaceLoad, 400, well.obj->measSurfaceLoadMax, well.obj->measSurfaceLoadMin);
    ExpectExtremesOf(meas.pumpPos, 400, well.obj->measPumpPosMax, well.obj->measPumpPosMin);
    ExpectExtremesOf(meas.pumpLoad, 400, well.obj->measPumpLoadMax, well.obj->measPumpLoadMin);
    // The pump moves less than the polished rod and carries less than it.
    EXPECT_LT(well.obj->measPumpPosMax - well.obj->measPumpPosMin, well.obj->measSurfacePosMax - well.obj->measSurfacePosMin);
    EXPECT_LT(well.obj->measPumpLoadMax, well.obj->measSurfaceLoadMax);
}

TEST(RunDesignTest, FailedCardIsMarkedCleanAndNotRetried) {
    Well well;
    const SurfaceCard card = SmoothCard(200, 8000);
    well.Load(card);
    LogCapture log;
    EXPECT_EQ(RunDesign(well.obj), 1);
    // Both diagnostic cards lack tapers.
    EXPECT_EQ(log.Count("Cannot run CalcWaveDiag() because all fields have not been set."), 2u);
    EXPECT_EQ(well.obj->measDirty, 0);
    EXPECT_EQ(well.obj->upscDirty, 0);
    log.Clear();
    EXPECT_EQ(RunDesign(well.obj), 1);
    EXPECT_TRUE(log.lines.empty());
}

TEST(RunDesignTest, UpscaledBandLimitedCardMatchesTheMeasuredDiagnosis) {
    Well well;
    well.SetRods(5000);
    ASSERT_EQ(SetUpscaledDynoPointCount(well.obj, 400), 1);
    SetFourierCoeffCountPos(well.obj, 20);  // fitted when the card arrives
    SetFourierCoeffCountLoad(well.obj, 20);
    well.Load(SmoothCard(400, 9000));
    ASSERT_EQ(RunDesign(well.obj), 1);
    const WaveModel& meas = well.obj->meas;
    const WaveModel& upsc = well.obj->upsc;
    ASSERT_EQ(upsc.FeaNodeCount, meas.FeaNodeCount);
    for (int i = 0; i < 400; ++i) {
        ASSERT_NEAR(upsc.pumpPos[i], meas.pumpPos[i], 1e-6) << i;
        ASSERT_NEAR(upsc.pumpLoad[i], meas.pumpLoad[i], 1e-4) << i;
    }
}

TEST(RunDesignTest, OnlyTheDirtyCardIsTouched) {
    Well well;
    well.SetRods(4000);
    SetUpscaledDynoPointCount(well.obj, 300);
    well.Load(SmoothCard(300, 8000));
    ASSERT_EQ(RunDesign(well.obj), 1);
    well.obj->measPumpLoadMax = 12345.0;
    well.obj->meas.pumpLoad[0] = -1.0;
    well.obj->upscDirty = 1;
    ASSERT_EQ(RunDesign(well.obj), 1);
    EXPECT_EQ(well.obj->measPumpLoadMax, 12345.0);
    EXPECT_EQ(well.obj->meas.pumpLoad[0], -1.0);
    EXPECT_EQ(well.obj->upscDirty, 0);
}

TEST(RunDesignTest, PredictedCardIsHandedToThePredictionAndItsExtremesFollow) {
    Well well;
    const auto tapers = ThreeTaperString(5000);
    ASSERT_EQ(SetPredTapers(well.obj, tapers.data(), 3, 1.0), 1);
    well.obj->pred.spm = 8;
    well.obj->pred.period = 7.5;
    ASSERT_EQ(RunDesign(well.obj), 1);
    const WaveModel& pred = well.obj->pred;
    EXPECT_EQ(well.obj->predDirty, 0);
    ASSERT_GT(pred.PointCount, 0);
    ASSERT_NE(pred.nodes, nullptr);
    ExpectExtremesOf(pred.pumpPos, pred.PointCount, well.obj->predPumpPosMax, well.obj->predPumpPosMin);
    ExpectExtremesOf(pred.pumpLoad, pred.PointCount, well.obj->predPumpLoadMax, well.obj->predPumpLoadMin);
}

TEST(RunDesignTest, PredExtremesKeepStartValuesWithoutPointsAndFollowNegativeCards) {
    TeskObj obj;
    obj.predPumpPosMax = 5;
    UpdatePredPumpExtremes(&obj);
    EXPECT_EQ(obj.predPumpPosMax, -DBL_MAX);
    EXPECT_EQ(obj.predPumpPosMin, DBL_MAX);
    EXPECT_EQ(obj.predPumpLoadMax, -DBL_MAX);
    EXPECT_EQ(obj.predPumpLoadMin, DBL_MAX);

    obj.pred.PointCount = 3;
    ASSERT_TRUE(AllocCardArrays(&obj.pred));
    const double positions[] = {-4.0, -1.5, -9.0};
    std::copy(positions, positions + 3, obj.pred.pumpPos);
    UpdatePredPumpExtremes(&obj);
    EXPECT_EQ(obj.predPumpPosMax, -1.5);
    EXPECT_EQ(obj.predPumpPosMin, -9.0);
}

TEST(RunDesignTest, NaNPointNeverBecomesAnExtreme) {
    TeskObj obj;
    obj.meas.PointCount = 4;
    ASSERT_TRUE(AllocCardArrays(&obj.meas));
    const double loads[] = {std::nan(""), 10.0, 4.0, std::nan("")};
    std::copy(loads, loads + 4, obj.meas.surfaceLoad);
    UpdateMeasuredExtremes(&obj);
    EXPECT_EQ(obj.measSurfaceLoadMax, 10.0);
    EXPECT_EQ(obj.measSurfaceLoadMin, 4.0);
    EXPECT_EQ(obj.measPumpLoadMax, 0.0);
}

TEST(RunDesignTest, ExtremesOfACardWithoutArraysKeepStartValues) {
    TeskObj obj;
    obj.meas.PointCount = 50;  // as after a failed allocation
    obj.measSurfacePosMax = 1;
    UpdateMeasuredExtremes(&obj);
    EXPECT_EQ(obj.measSurfacePosMax, -DBL_MAX);
    EXPECT_EQ(obj.measSurfacePosMin, DBL_MAX);
}

TEST(RunDesignTest, PrepareCardClearsFlagsWhateverTheStepsReturn) {
    LogCapture log;
    WaveModel card("MEAS", 1);
    card.cdtDirty = 1;
    card.nodesDirty = 1;
    EXPECT_TRUE(PrepareCard(&card));
    EXPECT_EQ(card.cdtDirty, 0);
    EXPECT_EQ(card.nodesDirty, 0);
    EXPECT_TRUE(log.Contains("Warning: MEAS UpdateCDTs() called before the taper was set"));
    EXPECT_TRUE(log.Contains("Warning: MEAS BuildFeaNodes() was called before Rod Taper was set"));
}

TEST(RunDesignTest, NullHandleIsRefused) {
    LogCapture log;
    EXPECT_EQ(RunDesign(nullptr), 0);
    EXPECT_TRUE(log.Contains("RunDesign"));
}
