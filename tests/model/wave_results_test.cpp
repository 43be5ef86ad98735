// Figures of a run: read-only grid figures, wave results and the fluid load from pressures.
#include "model/wave_results.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/fea_node.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"
#include "model/measured_card.h"

namespace {

const double kPi = 4 * std::atan(1.0);

bool AllFinite(const WaveResults_t& r) {
    const double* first = &r.diagRodWeight;
    const double* last = &r.predSlippage;
    for (const double* x = first; x <= last; ++x) {
        if (!std::isfinite(*x)) return false;
    }
    return std::isfinite(r.predFoFromPressure);
}

std::unique_ptr<TeskObj> PredictedWell(bool legacy) {
    PredWellInputs inputs;
    inputs.legacy = legacy;
    auto obj = MakePredWell(inputs);
    obj->predDirty = 1;
    RunWellDesign(obj.get());
    return obj;
}

TEST(WaveResults, NewObjectWarnsTwiceAndReportsNoStroke) {
    TeskObj obj;
    LogCapture log;
    const WaveResults_t r = GetWaveResults(&obj);
    ASSERT_EQ(log.Count("Trying to get a taper before it was set"), 2u);
    EXPECT_NE(log.lines[0].find("MEAS"), std::string::npos);
    EXPECT_NE(log.lines[1].find("PRED"), std::string::npos);
    EXPECT_EQ(r.constMinusOne, -1.0);
    EXPECT_EQ(r.diagSpare, 0.0);
    EXPECT_EQ(r.predSpare, 0.0);
    EXPECT_EQ(r.diagSurfaceStroke, 0.0);
    EXPECT_EQ(r.diagPumpStroke, 0.0);
    EXPECT_EQ(r.predPumpStroke, 0.0);
    EXPECT_EQ(r.predPumpDisplacement, 0.0);
    EXPECT_EQ(r.predFoOverSKr, 0.0);
    EXPECT_TRUE(AllFinite(r));
    EXPECT_EQ(r.padding0, 0);
}

TEST(WaveResults, PredictedCardFiguresFollowFromTheRecords) {
    auto obj = PredictedWell(false);
    const WaveModel& pred = obj->pred;
    const TaperList& tapers = *pred.tapers;
    const WaveResults_t r = GetWaveResults(obj.get());
    EXPECT_EQ(r.predRodWeight, tapers.rodWeight);
    EXPECT_EQ(r.predRwf, tapers.Rwf);
    EXPECT_EQ(r.predKr, tapers.Kr);
    EXPECT_EQ(r.predWaveRoundTrip, tapers.waveRoundTrip);
    EXPECT_EQ(r.predKt, pred.tubings->Kt);
    EXPECT_DOUBLE_EQ(r.predNNo, pred.spm * tapers.totalLength / 245000.0);
    // A round trip of the wave: twice the string at the mean wave speed.
    EXPECT_NEAR(r.predWaveRoundTrip, 2 * tapers.totalLength / tapers.meanWaveSpeed, 0.01 * r.predWaveRoundTrip);

    const CardView card = ViewPred(*obj);
    EXPECT_NEAR(r.predSurfaceStroke, MaxOf(card.surfacePos) - MinOf(card.surfacePos), 0.005 * r.predSurfaceStroke);
    EXPECT_DOUBLE_EQ(r.predSKr, r.predSurfaceStroke * r.predKr);
    EXPECT_DOUBLE_EQ(r.predFoOverSKr, obj->fo / r.predSKr);
    EXPECT_EQ(r.predPumpStroke, MaxOf(card.pumpPos) - MinOf(card.pumpPos));
    EXPECT_EQ(r.predPumpPosMin, MinOf(card.pumpPos));
    EXPECT_EQ(r.predPumpPosMax, MaxOf(card.pumpPos));
    const double d2 = pred.pumpDia * pred.pumpDia;
    EXPECT_DOUBLE_EQ(r.predPumpDisplacement, 0.1166 * d2 * r.predPumpStroke * pred.spm);
    EXPECT_DOUBLE_EQ(r.predPumpVolume, d2 * r.predPumpStroke / 231.0);
    for (int32_t index : {r.loadPickupIndex, r.fullLoadIndex, r.loadReleaseIndex, r.noLoadIndex}) {
        EXPECT_GE(index, 0);
        EXPECT_LT(index, pred.PointCount);
    }
    EXPECT_EQ(r.loadPickupIndex, obj->pred.pump.eventIndex[LoadPickupEvent]);
    EXPECT_TRUE(AllFinite(r));
}

TEST(WaveResults, LegacyEventsAreReportedWithinTheLastCycle) {
    auto obj = PredictedWell(true);
    const int32_t n = obj->pred.PointCount;
    const WaveResults_t r = GetWaveResults(obj.get());
    EXPECT_EQ(r.noLoadIndex, obj->pred.pump.eventIndex[NoLoadEvent] - (obj->predCycles - 1) * n);
    for (int32_t index : {r.loadPickupIndex, r.fullLoadIndex, r.loadReleaseIndex, r.noLoadIndex}) {
        EXPECT_GE(index, 0);
        EXPECT_LT(index, n);
    }
}

TEST(WaveResults, PredictedSurfaceStrokeFollowsTheUnitTypeOrTheMeasuredCard) {
    TeskObj obj;
    obj.pu.A = 100.0;
    obj.pu.thetaTop = 0.2;
    obj.pu.thetaBottom = 0.9;  // a beam swing of 0.7 rad at 100 in
    obj.pu.maxStroke = 144.0;
    obj.pu.xStroke = 306.0;
    LogCapture quiet;
    const SurfaceCard card = SmoothCard(120, 9000.0);
    ASSERT_TRUE(LoadDynArrays(&obj, 8.0, card.pos.data(), card.load.data(), 120));
    const double measured = MaxOf(card.pos) - MinOf(card.pos);
    const struct {
        char type;
        uint8_t usePumpingUnit;
        double stroke;
    } table[] = {
        {'C', 1, 70.0}, {'R', 1, 70.0}, {'M', 1, -70.0}, {'A', 1, -70.0}, {'H', 1, 144.0},
        {'X', 1, 306.0}, {'C', 0, measured}, {'C', 2, measured},
    };
    for (const auto& row : table) {
        obj.pu.unitType = row.type;
        obj.usePumpingUnitForPosition = row.usePumpingUnit;
        const WaveResults_t r = GetWaveResults(&obj);
        EXPECT_NEAR(r.predSurfaceStroke, row.stroke, 1e-9) << row.type << int(row.usePumpingUnit);
        EXPECT_EQ(r.diagSurfaceStroke, measured) << row.type;
    }
}

TEST(WaveResults, MeasuredCardFiguresFollowFromItsDiagnosis) {
    auto obj = std::make_unique<TeskObj>();
    const std::vector<TaperBase_t> tapers = ThreeTaperString(5000.0);
    WaveModel& meas = obj->meas;
    LogCapture quiet;
    ASSERT_TRUE(SetCardTapers(&meas, tapers.data(), 3, 1.0));
    meas.pumpDia = 1.5;
    const SurfaceCard card = SmoothCard(200, 9000.0);
    ASSERT_TRUE(LoadDynArrays(obj.get(), 8.0, card.pos.data(), card.load.data(), 200));
    obj->upscDirty = 0;
    obj->predDirty = 0;
    RunWellDesign(obj.get());
    ASSERT_NE(meas.pumpPos, nullptr);
    const WaveResults_t r = GetWaveResults(obj.get());

    EXPECT_EQ(r.diagSurfaceStroke, MaxOf(card.pos) - MinOf(card.pos));
    const std::vector<double> pump(meas.pumpPos, meas.pumpPos + meas.PointCount);
    EXPECT_EQ(r.diagPumpStroke, MaxOf(pump) - MinOf(pump));
    EXPECT_EQ(r.diagPumpPosMin, MinOf(pump));
    EXPECT_EQ(r.diagPumpPosMax, MaxOf(pump));
    // The pump travels less than the polished rod, by about the rod stretch under the load swing.
    EXPECT_LT(r.diagPumpStroke, r.diagSurfaceStroke);
    EXPECT_GT(r.diagPumpStroke, 0.5 * r.diagSurfaceStroke);
    EXPECT_DOUBLE_EQ(r.diagPumpDisplacement, 0.1166 * 1.5 * 1.5 * r.diagPumpStroke * 8.0);
    EXPECT_DOUBLE_EQ(r.diagPumpVolume, 1.5 * 1.5 * r.diagPumpStroke / 231.0);
    EXPECT_DOUBLE_EQ(r.diagSKr, r.diagSurfaceStroke * r.diagKr);
    EXPECT_DOUBLE_EQ(r.diagNNo, 8.0 * 5000.0 / 245000.0);
    EXPECT_EQ(r.diagRwf, meas.tapers->Rwf);
    // Rods weigh less in the fluid by the displaced fluid: 62.4/492 of steel for water.
    EXPECT_NEAR(r.diagRwf, r.diagRodWeight * (1 - 62.4 / 492), 1e-6 * r.diagRodWeight);
    EXPECT_TRUE(AllFinite(r));
}

// A taper of a diameter the rod table does not list keeps the 999,999 lb/ft stand-in; a weight
// total that includes it would read billions of pounds, so it reads 0. The other figures of the
// string do not use the weight and stay.
TEST(WaveResults, WeightTotalsIncludingAStandInWeightReadZero) {
    TeskObj* obj = CreateTeskObj();
    LogCapture quiet;
    const std::vector<TaperBase_t> listed = ThreeTaperString(5000.0);
    std::vector<TaperBase_t> unlisted = listed;
    unlisted[1].D = 0.93;
    ASSERT_EQ(SetDiagTapers(obj, unlisted.data(), 3, 1.0), 1);
    ASSERT_EQ(SetPredTapers(obj, listed.data(), 3, 1.0), 1);
    const WaveResults_t r = GetWaveResults(obj);
    EXPECT_EQ(r.diagRodWeight, 0.0);
    EXPECT_EQ(r.diagRwf, 0.0);
    EXPECT_GT(r.diagKr, 0.0);
    EXPECT_GT(r.diagWaveSpeed, 0.0);
    EXPECT_NEAR(r.predRodWeight, 1500 * 2.904 + 1500 * 2.224 + 2000 * 1.63, 1e-9);
    EXPECT_GT(r.predRwf, 0.0);
    TaperBase_t out[3];
    ASSERT_EQ(GetDiagTapers(obj, out), 1);
    EXPECT_EQ(out[1].W, 999999.0) << "the stand-in stays in the stored taper";
    // Left out of the string, the taper is left out of the totals too.
    unlisted[1].L = 0;
    ASSERT_EQ(SetDiagTapers(obj, unlisted.data(), 3, 1.0), 1);
    EXPECT_NEAR(GetWaveResults(obj).diagRodWeight, 1500 * 2.904 + 2000 * 1.63, 1e-9);
    DeleteTeskObj(obj);
}

TEST(WaveResults, FoOverSKrIsZeroWithoutRodStiffness) {
    auto obj = PredictedWell(false);
    FreeTaperList(obj->pred.tapers);
    obj->pred.tapers = nullptr;
    LogCapture quiet;
    const WaveResults_t r = GetWaveResults(obj.get());
    EXPECT_EQ(r.predKr, 0.0);
    EXPECT_EQ(r.predFoOverSKr, 0.0);
}

TEST(WaveResults, SlippageEdgeCases) {
    LogCapture log;
    EXPECT_EQ(CalcSlippage(10, 1.5, 0.005, 0.0, 1.0, 0.0), 0.0);
    EXPECT_TRUE(log.Contains("Invalid Slippage value spm:10.000000, pdia:1.500000, pc:0.005000, pl:0.000000, lv:1.000000, "
                             "dpsi:0.000000"));
    log.Clear();
    EXPECT_TRUE(std::isinf(CalcSlippage(10, 1.5, 0.005, 48.0, 0.0, 1000.0)));
    EXPECT_TRUE(log.lines.empty());
    EXPECT_EQ(CalcSlippage(10, 1.5, 0.005, 48.0, 1.0, 0.0), 0.0);
    // Proportional to pressure and diameter, inverse to length and viscosity.
    const double base = CalcSlippage(10, 1.5, 0.005, 48.0, 1.0, 1000.0);
    EXPECT_GT(base, 0.0);
    EXPECT_DOUBLE_EQ(CalcSlippage(10, 1.5, 0.005, 48.0, 1.0, 2000.0), 2 * base);
    EXPECT_DOUBLE_EQ(CalcSlippage(10, 3.0, 0.005, 48.0, 1.0, 1000.0), 2 * base);
    EXPECT_DOUBLE_EQ(CalcSlippage(10, 1.5, 0.005, 96.0, 2.0, 1000.0), base / 4);
}

TEST(WaveResults, FluidLoadFromPressuresIsPlungerAreaTimesPressure) {
    auto obj = MakePredWell(PredWellInputs{});
    WaveModel& pred = obj->pred;
    pred.pumpDia = 1.75;
    pred.sgFluid = 0.9;
    pred.fluidLevel = 3000.0;
    pred.pressureTubing = 120.0;
    pred.pressureCasing = 40.0;
    const double dp = 3000.0 * 0.433 * 0.9 + 120.0 - 40.0;
    const double expected = kPi * 1.75 * 1.75 / 4 * dp;
    const double fo = obj->fo;
    EXPECT_NEAR(CalculateFo(obj.get()), expected, 1e-9 * expected);
    EXPECT_EQ(obj->fo, fo);
    EXPECT_NEAR(GetWaveResults(obj.get()).predFoFromPressure, expected, 1e-9 * expected);
    pred.fluidLevel = 0;
    pred.pressureTubing = pred.pressureCasing;
    EXPECT_EQ(CalculateFo(obj.get()), 0.0);
    EXPECT_EQ(GetWaveResults(obj.get()).predSlippage, 0.0);
}

TEST(WaveResults, ReadOnlyParamsDescribeTheGrids) {
    auto obj = PredictedWell(false);
    const WaveModel& pred = obj->pred;
    const WaveParamsReadOnly_t p = GetWaveParamsReadOnly(obj.get());
    EXPECT_EQ(p.predNodeCount, pred.FeaNodeCount);
    EXPECT_EQ(p.predPointCount, pred.PointCount);
    EXPECT_EQ(p.predDt, pred.DT);
    EXPECT_EQ(p.predPeriod, 6.0);
    EXPECT_NEAR(p.predPointCount * p.predDt, p.predPeriod, p.predDt);
    const double area = pred.nodes[pred.FeaNodeCount - 1].areaFt2;
    EXPECT_DOUBLE_EQ(p.predFluidLoad, 1.0 * 0.433 * 5000.0 * area);
    EXPECT_EQ(p.diagFluidLoad, 0.0);  // "MEAS" has no nodes
    EXPECT_EQ(p.padding0, 0);
    EXPECT_EQ(p.padding1, 0);
}

TEST(WaveResults, NullHandleGivesZeroRecordsAndALogLine) {
    LogCapture log;
    const WaveResults_t r = GetWaveResults(nullptr);
    const WaveParamsReadOnly_t p = GetWaveParamsReadOnly(nullptr);
    EXPECT_EQ(CalculateFo(nullptr), 0.0);
    const WaveResults_t zeroResults{};
    const WaveParamsReadOnly_t zeroParams{};
    EXPECT_EQ(std::memcmp(&r, &zeroResults, sizeof r), 0);
    EXPECT_EQ(std::memcmp(&p, &zeroParams, sizeof p), 0);
    EXPECT_EQ(log.lines.size(), 3u);
}

}  // namespace
