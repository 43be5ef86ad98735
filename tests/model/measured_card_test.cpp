#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "engine/fourier.h"
#include "log_capture.h"
#include "model/measured_card.h"
#include "model/tesk_obj.h"

namespace {

const double kTwoPi = 8 * std::atan(1.0);

struct ObjDeleter {
    void operator()(TeskObj* obj) const { DeleteTeskObj(obj); }
};
using ObjPtr = std::unique_ptr<TeskObj, ObjDeleter>;

ObjPtr NewObj() { return ObjPtr(CreateTeskObj()); }

// A smooth card with three harmonics in position and four in load.
double CardPos(double t) { return 50 + 48 * std::cos(kTwoPi * t) - 3 * std::sin(2 * kTwoPi * t) + std::cos(3 * kTwoPi * t); }
double CardLoad(double t) {
    return 12000 + 4000 * std::sin(kTwoPi * t) + 900 * std::cos(2 * kTwoPi * t) - 250 * std::sin(3 * kTwoPi * t) +
           60 * std::cos(4 * kTwoPi * t);
}

struct Card {
    std::vector<double> pos, load;
    explicit Card(int n) : pos(static_cast<size_t>(n)), load(static_cast<size_t>(n)) {
        for (int i = 0; i < n; ++i) {
            pos[static_cast<size_t>(i)] = CardPos(static_cast<double>(i) / n);
            load[static_cast<size_t>(i)] = CardLoad(static_cast<double>(i) / n);
        }
    }
    int32_t count() const { return static_cast<int32_t>(pos.size()); }
};

void ClearFlags(TeskObj* obj) { obj->measDirty = obj->upscDirty = obj->predDirty = 0; }

}  // namespace

TEST(MeasuredCard, NewObjectStoresTheCardWithoutUpscaling) {
    ObjPtr obj = NewObj();
    const Card card(100);
    LogCapture log;
    EXPECT_TRUE(LoadDyn(obj.get(), 7.5, card.pos.data(), card.load.data(), card.count()));
    EXPECT_EQ(log.Count("Invalid Fourier coefficent value"), 2u);
    EXPECT_EQ(obj->meas.PointCount, 100);
    EXPECT_EQ(obj->meas.surfacePos[37], card.pos[37]);
    EXPECT_EQ(obj->meas.surfaceLoad[99], card.load[99]);
    EXPECT_EQ(obj->meas.pumpPos[10], 0.0);
    EXPECT_DOUBLE_EQ(obj->meas.period, 8.0);
    EXPECT_EQ(obj->upsc.spm, 7.5);
    EXPECT_DOUBLE_EQ(obj->upsc.period, 8.0);
    EXPECT_EQ(obj->meas.cdtDirty, 1);
    EXPECT_EQ(obj->upsc.nodesDirty, 1);
    EXPECT_EQ(obj->measDirty, 1);
    EXPECT_EQ(obj->upscDirty, 1);
    EXPECT_EQ(obj->upsc.PointCount, 0);
    EXPECT_EQ(obj->upsc.surfacePos, nullptr);
}

TEST(MeasuredCard, BandLimitedCardIsReproducedByTheUpscaledCard) {
    ObjPtr obj = NewObj();
    const Card card(90);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    EXPECT_TRUE(SetUpscaledDynoPointCount(obj.get(), 400));
    EXPECT_TRUE(SetFourierCoeffCountPos(obj.get(), 10));
    EXPECT_TRUE(SetFourierCoeffCountLoad(obj.get(), 30));
    ASSERT_EQ(obj->upsc.PointCount, 400);
    for (int i = 0; i < 400; ++i) {
        const double t = i / 400.0;
        EXPECT_NEAR(obj->upsc.surfacePos[i], CardPos(t), 1e-12 * 100) << i;
        EXPECT_NEAR(obj->upsc.surfaceLoad[i], CardLoad(t), 1e-12 * 20000) << i;
    }
}

TEST(MeasuredCard, OneCoefficientUpscalesToTheMean) {
    ObjPtr obj = NewObj();
    std::vector<double> pos = {0, 10, 40, 80, 100, 90, 50, 20};
    std::vector<double> load = {9000, 15000, 16000, 14500, 11000, 7000, 6500, 8000};
    ASSERT_TRUE(LoadDyn(obj.get(), 6, pos.data(), load.data(), 8));
    SetUpscaledDynoPointCount(obj.get(), 400);
    SetFourierCoeffCountPos(obj.get(), 1);
    SetFourierCoeffCountLoad(obj.get(), 1);
    for (int i = 0; i < 400; i += 13) {
        EXPECT_NEAR(obj->upsc.surfacePos[i], 48.75, 1e-12);
        EXPECT_NEAR(obj->upsc.surfaceLoad[i], 10875.0, 1e-10);
    }
}

TEST(MeasuredCard, ZeroCountsGiveAZeroUpscaledCard) {
    ObjPtr obj = NewObj();
    const Card card(50);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    SetUpscaledDynoPointCount(obj.get(), 120);
    ClearFlags(obj.get());
    EXPECT_TRUE(RefreshUpscaledCard(obj.get()));
    for (int i = 0; i < 120; ++i) {
        EXPECT_EQ(obj->upsc.surfacePos[i], 0.0);
        EXPECT_EQ(obj->upsc.surfaceLoad[i], 0.0);
    }
    EXPECT_EQ(obj->upscDirty, 1);
    EXPECT_EQ(obj->predDirty, 1);
}

TEST(MeasuredCard, RefreshClearsTheUpscaledPumpCard) {
    ObjPtr obj = NewObj();
    SetUpscaledDynoPointCount(obj.get(), 20);
    obj->upsc.pumpPos[3] = 5;
    obj->upsc.pumpLoad[4] = 6;
    obj->upsc.pumpColors[5] = 7;
    EXPECT_TRUE(RefreshUpscaledCard(obj.get()));
    EXPECT_EQ(obj->upsc.pumpPos[3], 0.0);
    EXPECT_EQ(obj->upsc.pumpLoad[4], 0.0);
    EXPECT_EQ(obj->upsc.pumpColors[5], 0);
}

TEST(MeasuredCard, RefreshNeedsUpscaledPoints) {
    ObjPtr obj = NewObj();
    EXPECT_FALSE(RefreshUpscaledCard(obj.get()));
    EXPECT_FALSE(SetFourierCoeffCountPos(obj.get(), 5));
    EXPECT_EQ(obj->upscDirty, 0);
}

TEST(MeasuredCard, InvalidCountKeepsThePreviousSeries) {
    ObjPtr obj = NewObj();
    const Card card(60);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    SetUpscaledDynoPointCount(obj.get(), 60);
    SetFourierCoeffCountPos(obj.get(), 6);
    const std::vector<double> before(obj->upsc.surfacePos, obj->upsc.surfacePos + 60);
    ClearFlags(obj.get());
    LogCapture log;
    EXPECT_TRUE(SetFourierCoeffCountPos(obj.get(), 0));
    EXPECT_TRUE(log.Contains("Invalid Fourier coefficent value"));
    EXPECT_EQ(obj->fourier->pos.count, 6);
    EXPECT_EQ(std::vector<double>(obj->upsc.surfacePos, obj->upsc.surfacePos + 60), before);
    EXPECT_EQ(obj->upscDirty, 1);
}

TEST(MeasuredCard, CountsSetBeforeACardAreFittedByTheNextLoad) {
    ObjPtr obj = NewObj();
    SetUpscaledDynoPointCount(obj.get(), 180);
    EXPECT_TRUE(SetFourierCoeffCountPos(obj.get(), 12));
    EXPECT_TRUE(SetFourierCoeffCountLoad(obj.get(), 12));
    ASSERT_EQ(obj->fourier->pos.count, 12);
    for (int i = 0; i < 180; ++i) {
        ASSERT_EQ(obj->upsc.surfacePos[i], 0.0);
        ASSERT_EQ(obj->upsc.surfaceLoad[i], 0.0);
    }
    const Card card(60);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    for (int i = 0; i < 180; i += 7) {
        EXPECT_NEAR(obj->upsc.surfacePos[i], CardPos(i / 180.0), 1e-10);
        EXPECT_NEAR(obj->upsc.surfaceLoad[i], CardLoad(i / 180.0), 1e-8);
    }
}

TEST(MeasuredCard, ZeroPointsClearTheMeasuredCardAndKeepTheUpscaledCardFinite) {
    ObjPtr obj = NewObj();
    const Card card(40);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    SetUpscaledDynoPointCount(obj.get(), 50);
    SetFourierCoeffCountPos(obj.get(), 5);
    SetFourierCoeffCountLoad(obj.get(), 5);
    EXPECT_TRUE(LoadDyn(obj.get(), 8, nullptr, nullptr, 0));
    EXPECT_EQ(obj->meas.PointCount, 0);
    EXPECT_EQ(obj->meas.surfacePos, nullptr);
    EXPECT_EQ(obj->fourier->pos.count, 5);
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(obj->upsc.surfacePos[i], 0.0);
        EXPECT_EQ(obj->upsc.surfaceLoad[i], 0.0);
    }
}

TEST(MeasuredCard, RefusedLoadChangesNothingButTheSpeed) {
    const Card card(30);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        const char* what;
        double spm;
        const double* pos;
        const double* load;
        int32_t count;
    };
    const Case cases[] = {
        {"zero speed", 0.0, card.pos.data(), card.load.data(), 30},
        {"negative speed", -4.0, card.pos.data(), card.load.data(), 30},
        {"NaN speed", nan, card.pos.data(), card.load.data(), 30},
        {"infinite speed", inf, card.pos.data(), card.load.data(), 30},
        {"null positions", 8.0, nullptr, card.load.data(), 30},
        {"null loads", 8.0, card.pos.data(), nullptr, 30},
        {"negative count", 8.0, card.pos.data(), card.load.data(), -1},
        {"huge count", 8.0, card.pos.data(), card.load.data(), kMaxCardPoints + 1},
    };
    for (const Case& c : cases) {
        ObjPtr obj = NewObj();
        const Card old(12);
        ASSERT_TRUE(LoadDyn(obj.get(), 5, old.pos.data(), old.load.data(), old.count()));
        ClearFlags(obj.get());
        obj->meas.cdtDirty = obj->meas.nodesDirty = 0;
        LogCapture log;
        EXPECT_FALSE(LoadDyn(obj.get(), c.spm, c.pos, c.load, c.count)) << c.what;
        EXPECT_FALSE(log.lines.empty()) << c.what;
        EXPECT_EQ(obj->meas.PointCount, 12) << c.what;
        ASSERT_NE(obj->meas.surfacePos, nullptr) << c.what;
        EXPECT_EQ(obj->meas.surfacePos[5], old.pos[5]) << c.what;
        EXPECT_DOUBLE_EQ(obj->meas.period, 12.0) << c.what;
        EXPECT_EQ(obj->upsc.spm, 5.0) << c.what;
        EXPECT_EQ(obj->measDirty + obj->upscDirty + obj->predDirty, 0) << c.what;
        EXPECT_EQ(obj->meas.cdtDirty + obj->meas.nodesDirty, 0) << c.what;
    }
}

TEST(MeasuredCard, ReloadMarksASolvedPredictedCardDirty) {
    ObjPtr obj = NewObj();
    obj->pred.PointCount = 200;
    ASSERT_TRUE(AllocCardArrays(&obj->pred));
    obj->pred.pumpLoad[17] = 4321.0;
    ClearFlags(obj.get());
    const Card card(30);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    EXPECT_EQ(obj->pred.PointCount, 200);
    EXPECT_EQ(obj->pred.pumpLoad[17], 0.0);
    EXPECT_EQ(obj->predDirty, 1);
}

TEST(MeasuredCard, FirstLoadLeavesAPredictedCardWithoutPointsAlone) {
    ObjPtr obj = NewObj();
    const Card card(30);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    EXPECT_EQ(obj->predDirty, 0);
}

TEST(MeasuredCard, UpscaledPointCountReplacesTheCard) {
    ObjPtr obj = NewObj();
    const Card card(64);
    ASSERT_TRUE(LoadDyn(obj.get(), 8, card.pos.data(), card.load.data(), card.count()));
    SetFourierCoeffCountPos(obj.get(), 8);
    ClearFlags(obj.get());
    EXPECT_TRUE(SetUpscaledDynoPointCount(obj.get(), 250));
    EXPECT_EQ(obj->upsc.PointCount, 250);
    EXPECT_EQ(obj->upsc.cdtDirty, 1);
    EXPECT_EQ(obj->upsc.nodesDirty, 1);
    EXPECT_EQ(obj->upscDirty, 1);
    EXPECT_NEAR(obj->upsc.surfacePos[125], CardPos(0.5), 1e-10);
    EXPECT_TRUE(SetUpscaledDynoPointCount(obj.get(), 0));
    EXPECT_EQ(obj->upsc.PointCount, 0);
    EXPECT_EQ(obj->upsc.surfacePos, nullptr);
}

TEST(MeasuredCard, InvalidUpscaledPointCountIsLoggedAndIgnored) {
    for (int32_t bad : {-1, std::numeric_limits<int32_t>::min(), kMaxCardPoints + 1}) {
        ObjPtr obj = NewObj();
        SetUpscaledDynoPointCount(obj.get(), 30);
        ClearFlags(obj.get());
        LogCapture log;
        EXPECT_TRUE(SetUpscaledDynoPointCount(obj.get(), bad)) << bad;
        EXPECT_FALSE(log.lines.empty()) << bad;
        EXPECT_EQ(obj->upsc.PointCount, 30) << bad;
        EXPECT_NE(obj->upsc.surfacePos, nullptr) << bad;
        EXPECT_EQ(obj->upscDirty, 0) << bad;
    }
}
