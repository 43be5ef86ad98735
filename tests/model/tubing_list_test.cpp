#include "model/tubing_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "log_capture.h"
#include "model/tesk_obj.h"

namespace {
const double kE1 = 2.0e-7;  // in of stretch per lb and per ft
const double kE2 = 3.0e-7;

TubingBase_t Section(double L, double E, double seed = 0) {
    return TubingBase_t{L, 2.441 + seed, 2.875 + seed, 100 + seed, 6.5 + seed, 9000 + seed, E, 490 + seed};
}

struct ListHolder {
    TubingList list{};
    explicit ListHolder(const std::vector<TubingBase_t>& rows) {
        EXPECT_TRUE(BuildTubingList(&list, rows.data(), static_cast<int32_t>(rows.size())));
    }
    ~ListHolder() { std::free(list.items); }
};

using ObjPtr = std::unique_ptr<TeskObj, decltype(&DeleteTeskObj)>;
ObjPtr NewObj() { return ObjPtr(CreateTeskObj(), &DeleteTeskObj); }
}  // namespace

TEST(TubingListTotals, SpringConstantsOfTheStretchBetweenAnchorAndPump) {
    struct Case {
        double anchor, pump, kt, ktWhole;
    };
    // Stretches of tubing in series add: the spring constant is 1/sum(length*E).
    const Case cases[] = {
        {1000, 4000, 1 / (2000 * kE1 + 1000 * kE2), 1 / (3000 * kE1 + 1000 * kE2)},
        {4000, 4000, 0, 1 / (3000 * kE1 + 1000 * kE2)},
        {0, 2500, 1 / (2500 * kE1), 1 / (2500 * kE1)},
        {3000, 3000, 0, 1 / (3000 * kE1)},
        {4500, 4000, 0, 1 / (3000 * kE1 + 1000 * kE2)},  // anchor below the pump holds nothing
        {0, 9000, 1 / (3000 * kE1 + 2000 * kE2), 1 / (3000 * kE1 + 2000 * kE2)},
        {0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ListHolder h({Section(3000, kE1), Section(2000, kE2)});
        h.list.anchorDepth = c.anchor;
        h.list.pumpDepth = c.pump;
        const double kt = UpdateTubingTotals(&h.list);
        EXPECT_EQ(kt, h.list.Kt);
        EXPECT_NEAR(h.list.Kt, c.kt, c.kt * 1e-12) << c.anchor << " " << c.pump;
        EXPECT_NEAR(h.list.KtWhole, c.ktWhole, c.ktWhole * 1e-12) << c.anchor << " " << c.pump;
        EXPECT_EQ(h.list.items[0].top, 0);
        EXPECT_EQ(h.list.items[1].top, 3000);
        EXPECT_EQ(h.list.totalLength, 5000);
    }
}

TEST(TubingListTotals, InvalidSectionsKeepTheirPlaceAndAddNothing) {
    for (double badLength : {0.0, -10.0, std::numeric_limits<double>::quiet_NaN()}) {
        ListHolder h({Section(3000, kE1), Section(badLength, kE2), Section(2000, kE2)});
        h.list.pumpDepth = 4000;
        UpdateTubingTotals(&h.list);
        EXPECT_EQ(h.list.count, 3);
        EXPECT_EQ(h.list.validCount, 2);
        EXPECT_EQ(h.list.items[2].top, 3000);
        EXPECT_EQ(h.list.totalLength, 5000);
        EXPECT_NEAR(h.list.Kt, 1 / (3000 * kE1 + 1000 * kE2), 1e-6);

        LogCapture log;
        PrintTubingList(&h.list);
        EXPECT_TRUE(log.Contains("Total Tubing Length: 5000.00"));
        EXPECT_TRUE(log.Contains("\tTubing[1] Invalid Tubing Length"));
        EXPECT_TRUE(log.Contains("\tTubing[2] L:2000.00 OD:2.8750 Start:3000.00 End:5000.00"));
        EXPECT_TRUE(log.Contains("\t  Pump Depth: 4000.000000"));
        EXPECT_TRUE(log.Contains("\tAnchor Depth: 0.000000"));
    }
}

TEST(TubingListCard, RefusedInputKeepsTheOldList) {
    WaveModel card("PRED", 0);
    const TubingBase_t rows[] = {Section(3000, kE1)};
    ASSERT_TRUE(SetCardTubings(&card, rows, 1));
    card.tubings->pumpDepth = 2900;
    TubingList* before = card.tubings;
    struct Case {
        const TubingBase_t* rows;
        int32_t count;
        const char* line;
    };
    for (const Case& c : {Case{nullptr, 1, "Warning: PRED New tubing cant be NULL"},
                          Case{rows, 0, "Warning: PRED New tubingcount must be valid"},
                          Case{rows, -1, "Warning: PRED New tubingcount must be valid"}}) {
        LogCapture log;
        EXPECT_FALSE(SetCardTubings(&card, c.rows, c.count));
        EXPECT_TRUE(log.Contains(c.line)) << c.line;
        EXPECT_EQ(card.tubings, before);
        EXPECT_EQ(card.tubings->pumpDepth, 2900);
    }
}

TEST(TubingListCard, NewTubingDropsTheDepthsAndRaisesNoCardFlag) {
    WaveModel card("MEAS", 1);
    EXPECT_EQ(GetAnchorDepth(&card), -1.0);
    const TubingBase_t rows[] = {Section(3000, kE1)};
    ASSERT_TRUE(SetCardTubings(&card, rows, 1));
    card.tubings->anchorDepth = 1000;
    card.tubings->pumpDepth = 2900;
    UpdateTubingTotals(card.tubings);
    ASSERT_GT(card.tubings->Kt, 0);
    ASSERT_TRUE(SetCardTubings(&card, rows, 1));
    EXPECT_EQ(card.tubings->anchorDepth, 0);
    EXPECT_EQ(card.tubings->pumpDepth, 0);
    EXPECT_EQ(card.tubings->Kt, 0);
    EXPECT_EQ(card.tubings->KtWhole, 0);
    EXPECT_EQ(GetAnchorDepth(&card), 0);
    EXPECT_EQ(card.cdtDirty, 0);
    EXPECT_EQ(card.nodesDirty, 0);
}

TEST(TubingExports, RoundTripOfEveryField) {
    ObjPtr obj = NewObj();
    const TubingBase_t rows[] = {Section(3000, kE1, 0.25), Section(0, kE2, 0.5), Section(2000, kE2, 0.75)};
    ASSERT_EQ(SetDiagTubings(obj.get(), rows, 3), 1);
    EXPECT_EQ(obj->measDirty, 1);
    EXPECT_EQ(obj->upscDirty, 1);
    EXPECT_EQ(obj->predDirty, 0);
    EXPECT_NE(obj->meas.tubings, obj->upsc.tubings);
    EXPECT_EQ(obj->upsc.tubings->count, 3);
    EXPECT_EQ(GetAnchorDepth(&obj->upsc), 0);
    ASSERT_EQ(GetDiagTubingCount(obj.get()), 3);
    TubingBase_t out[3];
    std::memset(out, 0x5a, sizeof out);
    ASSERT_EQ(GetDiagTubings(obj.get(), out), 1);
    EXPECT_EQ(std::memcmp(out, rows, sizeof rows), 0);
}

TEST(TubingExports, PredSetterAndRefusals) {
    ObjPtr obj = NewObj();
    const TubingBase_t rows[] = {Section(4000, kE1)};
    ASSERT_EQ(SetPredTubings(obj.get(), rows, 1), 1);
    EXPECT_EQ(obj->predDirty, 1);
    EXPECT_EQ(obj->measDirty, 0);
    EXPECT_EQ(GetPredTubingCount(obj.get()), 1);
    obj->predDirty = 0;
    LogCapture log;
    EXPECT_EQ(SetPredTubings(obj.get(), nullptr, 1), 0);
    EXPECT_TRUE(log.Contains("Warning: PRED New tubing cant be NULL"));
    EXPECT_EQ(obj->predDirty, 0);
    EXPECT_EQ(GetPredTubingCount(obj.get()), 1);
    EXPECT_EQ(GetPredTubings(obj.get(), nullptr), 0);
    EXPECT_TRUE(log.Contains("Error: GetPredTubings needs a buffer for 1 tubing sections"));
    EXPECT_EQ(SetDiagTubings(nullptr, rows, 1), 0);
    EXPECT_TRUE(log.Contains("Error: SetDiagTubings needs a well object"));
}

TEST(TubingExports, ReadingWithoutTubingWarnsAndWritesNothing) {
    ObjPtr obj = NewObj();
    LogCapture log;
    EXPECT_EQ(GetPredTubingCount(obj.get()), 0);
    EXPECT_TRUE(log.Contains("Warning: PRED Trying to get a Tubing before it was set"));
    EXPECT_EQ(GetDiagTubings(obj.get(), nullptr), 1);
    EXPECT_TRUE(log.Contains("Warning: MEAS Trying to get a Tubing before it was set"));
    EXPECT_EQ(GetTubingList(&obj->meas), nullptr);
}
