#include <gtest/gtest.h>

#include "temp_path.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "common/bounded_text.h"
#include "design_test_util.h"
#include "designfiles/design_document.h"
#include "designfiles/design_reader.h"
#include "dynofiles/comma_locale.h"
#include "engine/fourier.h"
#include "model/deviation_survey.h"
#include "model/measured_card.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/wave_params.h"

namespace {

const char kSampleWell[] = TESK_DATA_DIR "/fixtures/designfiles/sample_well.json";

std::vector<double> Values(const double* values, int32_t count) {
    return values == nullptr ? std::vector<double>() : std::vector<double>(values, values + count);
}

std::vector<TaperBase_t> Tapers(const WaveModel& card) {
    std::vector<TaperBase_t> records;
    for (int32_t i = 0; card.tapers != nullptr && i < card.tapers->count; ++i) {
        records.push_back({});
        std::memcpy(&records.back(), &card.tapers->items[i], sizeof(TaperBase_t));
    }
    return records;
}

void ExpectSameTapers(const WaveModel& a, const WaveModel& b) {
    const std::vector<TaperBase_t> left = Tapers(a);
    const std::vector<TaperBase_t> right = Tapers(b);
    ASSERT_EQ(left.size(), right.size()) << a.name;
    for (size_t i = 0; i < left.size(); ++i) EXPECT_EQ(std::memcmp(&left[i], &right[i], sizeof(TaperBase_t)), 0);
}

// A well set up through the model's setters, as a host would.
void BuildWell(TeskObj* obj) {
    CopyBoundedText(obj->wellName, sizeof obj->wellName, "Round Trip \xe2\x84\x96 3");
    const MiaPoint_t survey[3] = {{0.0, 0.0, 0.0}, {2400.0, 4.5, 90.0}, {5100.0, 6.0, 95.0}};
    ASSERT_TRUE(StoreDeviationSurveyRows(obj, 3, survey));
    const TaperBase_t tapers[3] = {Taper("1 in", 1500.0, 1.0, 2.904), Taper("7/8 in", 1600.0, 0.875, 2.224),
                                   Taper("3/4 in", 1900.0, 0.75, 0.0)};
    WaveModel* diag[2] = {&obj->meas, &obj->upsc};
    ASSERT_TRUE(SetCardsTapers(diag, 2, tapers, 3, 0.95));
    ASSERT_TRUE(SetCardTapers(&obj->pred, tapers, 2, 1.05));
    const TubingBase_t tubing[2] = {Tubing(3000.0, 3.07e-7), Tubing(2000.0, 2.5e-7)};
    ASSERT_TRUE(SetCardsTubings(diag, 2, tubing, 2));
    ASSERT_TRUE(SetCardTubings(&obj->pred, tubing, 1));
    WaveParams_t p = ReadWaveParams(obj);
    p.wellDepth = 5300.0;
    p.diagSpm = 6.5;
    p.predSpm = 7.25;
    p.diagDampUp = 0.15;
    p.diagDampDn = 0.1;
    p.predDampUp = 0.3;
    p.predDampDn = 0.25;
    p.diagSg = 0.95;
    p.predSg = 1.05;
    p.diagVisc = 1.2;
    p.predVisc = 1.1;
    p.diagPumpDia = 1.5;
    p.predPumpDia = 1.75;
    p.diagPumpLen = 48.0;
    p.predPumpLen = 60.0;
    p.diagPumpFit = 0.005;
    p.predPumpFit = 0.004;
    p.diagPressureTubing = 100.0;
    p.predPressureTubing = 120.0;
    p.diagPressureCasing = 50.0;
    p.predPressureCasing = 60.0;
    p.diagFluidLevel = 4200.0;
    p.predFluidLevel = 4000.0;
    p.diagPumpDepth = 5000.0;
    p.predPumpDepth = 3000.0;
    p.diagAnchorDepth = 4900.0;
    p.predAnchorDepth = 2500.0;
    p.fo = 2500.0;
    p.fillage = 0.85;
    p.compression = 0.1;
    ASSERT_TRUE(ApplyWaveParams(obj, &p));
    std::vector<double> positions, loads;
    for (int i = 0; i < 60; ++i) {
        const double t = 2 * M_PI * i / 60;
        positions.push_back(50 * (1 - std::cos(t)));
        loads.push_back(9000 + 2500 * std::sin(t) + 800 * std::sin(2 * t));
    }
    ASSERT_TRUE(LoadDynArrays(obj, 6.5, positions.data(), loads.data(), 60));
    ASSERT_TRUE(ApplyUpscaledPointCount(obj, 240));
    ApplyFourierCoeffCount(obj, &obj->fourier->pos, obj->meas.surfacePos, 10);
    ApplyFourierCoeffCount(obj, &obj->fourier->load, obj->meas.surfaceLoad, 15);
}

bool ReadText(TeskObj* obj, const std::string& text) { return ParseDesignFileTesk(obj, text.c_str()); }

}  // namespace

TEST(DesignRoundTrip, HandWrittenFileIsAFixedPoint) {
    const std::string original = ReadFileText(kSampleWell);
    ASSERT_FALSE(original.empty());
    TeskObj obj;
    ASSERT_TRUE(ReadText(&obj, original));
    const std::string path = TestTempPath("fixed_point.json");
    ASSERT_TRUE(WriteDesignFileTesk(&obj, path.c_str()));
    EXPECT_EQ(ReadFileText(path), original);
    std::remove(path.c_str());
}

TEST(DesignRoundTrip, ObjectThroughFileKeepsItsValues) {
    TeskObj a;
    BuildWell(&a);
    const std::string path = TestTempPath("round_trip.json");
    ASSERT_TRUE(WriteDesignFileTesk(&a, path.c_str()));
    TeskObj b;
    ASSERT_TRUE(ReadText(&b, ReadFileText(path)));
    std::remove(path.c_str());

    EXPECT_STREQ(b.wellName, a.wellName);
    const WaveParams_t pa = ReadWaveParams(&a);
    const WaveParams_t pb = ReadWaveParams(&b);
    EXPECT_EQ(std::memcmp(&pa, &pb, sizeof pa), 0);
    ASSERT_EQ(b.deviationSurvey.size(), a.deviationSurvey.size());
    EXPECT_EQ(std::memcmp(b.deviationSurvey.data(), a.deviationSurvey.data(),
                          a.deviationSurvey.size() * sizeof(DeviationPoint_t)),
              0);
    ExpectSameTapers(a.meas, b.meas);
    ExpectSameTapers(a.meas, b.upsc);
    ExpectSameTapers(a.pred, b.pred);
    for (const WaveModel* card : {&b.meas, &b.upsc, &b.pred}) {
        const WaveModel& source = card == &b.pred ? a.pred : a.meas;
        ASSERT_EQ(card->tubings->count, source.tubings->count) << card->name;
        for (int32_t i = 0; i < card->tubings->count; ++i) {
            TubingItem expected = source.tubings->items[i];
            expected.weight = 0.0;  // never read back
            EXPECT_EQ(std::memcmp(&card->tubings->items[i], &expected, sizeof expected), 0) << card->name;
        }
        EXPECT_EQ(card->tubings->Kt, source.tubings->Kt) << card->name;
        EXPECT_EQ(card->tubings->KtWhole, source.tubings->KtWhole) << card->name;
    }
    EXPECT_EQ(Values(b.meas.surfacePos, b.meas.PointCount), Values(a.meas.surfacePos, a.meas.PointCount));
    EXPECT_EQ(Values(b.meas.surfaceLoad, b.meas.PointCount), Values(a.meas.surfaceLoad, a.meas.PointCount));
    EXPECT_EQ(b.upsc.PointCount, 240);
    EXPECT_EQ(b.fourier->pos.count, 10);
    EXPECT_EQ(b.fourier->load.count, 15);
    EXPECT_EQ(Values(b.upsc.surfacePos, 240), Values(a.upsc.surfacePos, 240));

    ASSERT_TRUE(RunWellDesign(&a));
    ASSERT_TRUE(RunWellDesign(&b));
    ASSERT_GT(a.meas.PointCount, 0);
    ASSERT_GT(a.pred.PointCount, 0);
    EXPECT_EQ(b.pred.PointCount, a.pred.PointCount);
    EXPECT_EQ(Values(b.meas.pumpPos, b.meas.PointCount), Values(a.meas.pumpPos, a.meas.PointCount));
    EXPECT_EQ(Values(b.meas.pumpLoad, b.meas.PointCount), Values(a.meas.pumpLoad, a.meas.PointCount));
    EXPECT_EQ(Values(b.pred.surfacePos, b.pred.PointCount), Values(a.pred.surfacePos, a.pred.PointCount));
    EXPECT_EQ(Values(b.pred.surfaceLoad, b.pred.PointCount), Values(a.pred.surfaceLoad, a.pred.PointCount));
    EXPECT_EQ(Values(b.pred.pumpPos, b.pred.PointCount), Values(a.pred.pumpPos, a.pred.PointCount));
    EXPECT_EQ(Values(b.pred.pumpLoad, b.pred.PointCount), Values(a.pred.pumpLoad, a.pred.PointCount));
}

TEST(DesignRoundTrip, SampleWellRunsToAFinitePumpCard) {
    TeskObj obj;
    ASSERT_TRUE(ReadText(&obj, ReadFileText(kSampleWell)));
    ASSERT_TRUE(RunWellDesign(&obj));
    ASSERT_EQ(obj.meas.PointCount, 40);
    double pumpMin = 1e300, pumpMax = -1e300;
    for (int32_t i = 0; i < obj.meas.PointCount; ++i) {
        ASSERT_TRUE(std::isfinite(obj.meas.pumpPos[i]) && std::isfinite(obj.meas.pumpLoad[i])) << i;
        pumpMin = std::min(pumpMin, obj.meas.pumpPos[i]);
        pumpMax = std::max(pumpMax, obj.meas.pumpPos[i]);
    }
    // Rod stretch takes stroke away: the plunger travels less than the polished rod's 100 in.
    EXPECT_GT(pumpMax - pumpMin, 0.0);
    EXPECT_LT(pumpMax - pumpMin, 100.0);
}

TEST_F(HostCommaLocale, DesignRoundTripNumbersKeepTheirPoint) {
    const std::string original = ReadFileText(kSampleWell);
    const std::string path = TestTempPath("comma_locale.json");
    TeskObj obj;
    const auto [read, written] = UnderCommaLocale([&] {
        return std::pair<bool, bool>{ReadText(&obj, original), WriteDesignFileTesk(&obj, path.c_str())};
    });
    ASSERT_TRUE(read);
    ASSERT_TRUE(written);
    EXPECT_EQ(obj.meas.sgFluid, 0.95);
    EXPECT_EQ(ReadFileText(path), original);
    std::remove(path.c_str());
}
