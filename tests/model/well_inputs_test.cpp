#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "log_capture.h"
#include "dirty_flags.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/well_inputs.h"

namespace {

// A well whose three cards have tapers and tubing, the pump at 5000 ft and the anchor at 4900 ft.
void SetWell(TeskObj* obj) {
    const TaperBase_t tapers[] = {BuildTaperBase_t("D", 2000, 1.0, 0, 0, 0, 0),
                                  BuildTaperBase_t("D", 3000, 0.875, 0, 0, 0, 0)};
    ASSERT_TRUE(SetDiagTapers(obj, tapers, 2, 1.0));
    ASSERT_TRUE(SetPredTapers(obj, tapers, 2, 1.0));
    const TubingBase_t tubing[] = {{5200, 1.995, 2.375, 0, 4.7, 0, 0.0000005, 0}};
    ASSERT_TRUE(SetDiagTubings(obj, tubing, 1));
    ASSERT_TRUE(SetPredTubings(obj, tubing, 1));
    for (WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) {
        card->tubings->pumpDepth = 5000;
        card->tubings->anchorDepth = 4900;
        UpdateTubingTotals(card->tubings);
    }
}

struct StoreCase {
    const char* name;
    std::function<void(TeskObj*)> before;  // changes the well before the flags are cleared
    std::function<void(TeskObj*)> store;
    std::string flags;
};

void Nothing(TeskObj*) {}

std::vector<StoreCase> Cases() {
    return {
        {"SameValueMarksNothing", Nothing,
         [](TeskObj* o) { StoreCardValue(o, AllCards(o), &WaveModel::pumpDia, 1.5); }, ""},
        {"NewValueMarksEachCard", Nothing,
         [](TeskObj* o) { StoreCardValue(o, DiagCards(o), &WaveModel::pumpDia, 2.0); }, "meas upsc "},
        {"EachDiffersMarksOnlyTheCardThatDiffers", [](TeskObj* o) { o->upsc.pumpFit = 0.01; },
         [](TeskObj* o) { StoreCardValue(o, AllCards(o), &WaveModel::pumpFit, 0.005); }, "upsc "},
        {"FirstDiffersIgnoresTheOthers", [](TeskObj* o) { o->upsc.spm = 9; },
         [](TeskObj* o) { StoreSpeed(o, DiagCards(o), 0, StoreWhen::FirstDiffers); }, ""},
        {"FirstDiffersStoresOnAll", Nothing,
         [](TeskObj* o) { StoreSpeed(o, DiagCards(o), 6, StoreWhen::FirstDiffers); },
         "meas upsc MEAS-cards UPSC-cards "},
        {"AlwaysMarksAnUnchangedValue", Nothing,
         [](TeskObj* o) { StoreDamping(o, DiagCards(o), 0, 0, StoreWhen::Always); },
         "meas upsc MEAS-cards UPSC-cards "},
        {"NewSpeedRebuildsTheGrid", Nothing, [](TeskObj* o) { StoreSpeed(o, PredCards(o), 8); }, "pred PRED-cards "},
        {"SpeedNotAboveZeroMarksTheCardOnly", Nothing, [](TeskObj* o) { StoreSpeed(o, PredCards(o), -1); }, "pred "},
        {"NewDampingRebuildsTheGrid", Nothing, [](TeskObj* o) { StoreDamping(o, PredCards(o), 0.1, 0); },
         "pred PRED-cards "},
        {"SameGravityMarksNothing", Nothing, [](TeskObj* o) { StoreFluidGravity(o, AllCards(o), 1.0); }, ""},
        {"NewGravityMarksWithoutRebuildingTheGrid", Nothing,
         [](TeskObj* o) { StoreFluidGravity(o, AllCards(o), 1.1); }, "meas upsc pred "},
        {"SamePumpDepthMarksNothing", Nothing, [](TeskObj* o) { StorePumpDepth(o, AllCards(o), 5000); }, ""},
        {"NewPumpDepthMarksEachCard", Nothing, [](TeskObj* o) { StorePumpDepth(o, PredCards(o), 5100); }, "pred "},
        {"NewAnchorDepthMarksEachCard", Nothing, [](TeskObj* o) { StoreAnchorDepth(o, DiagCards(o), 4000); },
         "meas upsc "},
        {"TapersRebuildTheGrid", Nothing,
         [](TeskObj* o) {
             const TaperBase_t taper = BuildTaperBase_t("D", 5000, 0.75, 0, 0, 0, 0);
             StoreTapers(o, PredCards(o), &taper, 1, 1.0);
         },
         "pred PRED-cards "},
        {"RefusedTapersMarkNothing", Nothing, [](TeskObj* o) { StoreTapers(o, PredCards(o), nullptr, 1, 1.0); }, ""},
        {"TubingMarksTheCards", Nothing,
         [](TeskObj* o) {
             const TubingBase_t tubing{4000, 2, 2.375, 0, 4.7, 0, 0, 0};
             StoreTubings(o, DiagCards(o), &tubing, 1);
         },
         "meas upsc "},
        {"SameFoMarksNothing", Nothing, [](TeskObj* o) { StoreFo(o, 1000.0); }, ""},
        {"NewFoMarksPred", Nothing, [](TeskObj* o) { StoreFo(o, 900.0); }, "pred "},
        {"FillageIsComparedBeforeItIsKeptInRange", Nothing, [](TeskObj* o) { StoreFillage(o, 1.5); }, "pred "},
        {"NewCompressionMarksPred", Nothing, [](TeskObj* o) { StoreCompression(o, 0.2); }, "pred "},
        {"SameUnitSourceMarksNothing", Nothing, [](TeskObj* o) { StoreUsePumpingUnitForPosition(o, 0); }, ""},
        {"SamePumpingUnitStillMarksPred", Nothing,
         [](TeskObj* o) {
             const PuInfo_t info = o->pu;
             StorePuInfo(o, &info);
         },
         "pred "},
        {"WellDepthAndNameMarkNothing", Nothing,
         [](TeskObj* o) {
             StoreWellDepth(o, 8000);
             StoreWellName(o, "Other");
         },
         ""},
    };
}

TEST(WellInputs, EachStoreMarksExactlyWhatItInvalidates) {
    for (const StoreCase& c : Cases()) {
        TeskObj obj;
        LogCapture quiet;
        SetWell(&obj);
        c.before(&obj);
        ClearAllFlags(&obj);
        c.store(&obj);
        EXPECT_EQ(Flags(&obj), c.flags) << c.name;
    }
}

TEST(WellInputs, NewGravityReweighsTheRodsOfEveryCardWithTapers) {
    TeskObj obj;
    LogCapture quiet;
    SetWell(&obj);
    const double dryWeight = obj.pred.tapers->rodWeight;
    StoreFluidGravity(&obj, AllCards(&obj), 0.0);
    for (WaveModel* card : {&obj.meas, &obj.upsc, &obj.pred}) {
        EXPECT_EQ(card->sgFluid, 0.0) << card->name;
        EXPECT_NEAR(card->tapers->Rwf, dryWeight, 1e-9 * dryWeight) << card->name;
    }
}

TEST(WellInputs, FillageIsKeptWithinZeroAndOne) {
    TeskObj obj;
    StoreFillage(&obj, -0.5);
    EXPECT_EQ(obj.fillage, 0.0);
    StoreFillage(&obj, 1.5);
    EXPECT_EQ(obj.fillage, 1.0);
}

TEST(WellInputs, DepthOnACardWithoutTubingIsRefusedWithItsLine) {
    TeskObj obj;
    LogCapture log;
    StorePumpDepth(&obj, PredCards(&obj), 4000);
    StoreAnchorDepth(&obj, PredCards(&obj), 3900);
    const std::vector<std::string> expected = {"Could not set Pump Depth because the tubing is not set",
                                               "WARNING: PRED trying to set anchor depth before the tubing was defined"};
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(Flags(&obj), "");
}

TEST(WellInputs, NewDepthRecomputesTheTubingBetweenAnchorAndPump) {
    TeskObj obj;
    LogCapture quiet;
    SetWell(&obj);
    const double kt = obj.pred.tubings->Kt;
    StoreAnchorDepth(&obj, PredCards(&obj), 2500);
    // Twenty-five times the stretching length: the spring constant falls by the same factor.
    EXPECT_NEAR(obj.pred.tubings->Kt, kt / 25, 1e-9 * kt);
    EXPECT_EQ(obj.meas.tubings->anchorDepth, 4900);
}

}  // namespace
