#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "engine/fea_node.h"
#include "log_capture.h"
#include "dirty_flags.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/wave_params.h"
#include "model/well_inputs.h"

namespace {

struct ObjDeleter {
    void operator()(TeskObj* obj) const { DeleteTeskObj(obj); }
};
using ObjPtr = std::unique_ptr<TeskObj, ObjDeleter>;

ObjPtr NewObj() { return ObjPtr(CreateTeskObj()); }

void SetWell(TeskObj* obj, bool withTubing) {
    const TaperBase_t tapers[] = {BuildTaperBase_t("D", 2000, 1.0, 0, 0, 0, 0),
                                  BuildTaperBase_t("D", 2500, 0.875, 0, 0, 0, 0),
                                  BuildTaperBase_t("D", 500, 1.5, 0, 0, 0, 0)};
    ASSERT_TRUE(SetDiagTapers(obj, tapers, 3, 1.0));
    ASSERT_TRUE(SetPredTapers(obj, tapers, 3, 1.0));
    if (!withTubing) return;
    const TubingBase_t tubing[] = {{5200, 1.995, 2.375, 0, 4.7, 0, 0.0000005, 0}};
    ASSERT_TRUE(SetDiagTubings(obj, tubing, 1));
    ASSERT_TRUE(SetPredTubings(obj, tubing, 1));
    WaveParams_t p = GetWaveParams(obj);
    p.diagPumpDepth = p.predPumpDepth = 5000;
    p.diagAnchorDepth = p.predAnchorDepth = 4900;
    SetWaveParams(obj, p);
}

bool SameBytes(const WaveParams_t& a, const WaveParams_t& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(WaveParams, PassingBackTheReturnedRecordChangesNothing) {
    for (int setup = 0; setup < 3; ++setup) {
        ObjPtr obj = NewObj();
        if (setup > 0) SetWell(obj.get(), setup == 2);
        ClearAllFlags(obj.get());
        const WaveParams_t p = GetWaveParams(obj.get());
        LogCapture log;
        EXPECT_TRUE(SetWaveParams(obj.get(), p));
        EXPECT_EQ(Flags(obj.get()), "") << setup;
        EXPECT_TRUE(log.lines.empty()) << setup << ": " << (log.lines.empty() ? "" : log.lines[0]);
        EXPECT_TRUE(SameBytes(GetWaveParams(obj.get()), p)) << setup;
    }
}

TEST(WaveParams, DerivedDepthsWithoutTubing) {
    ObjPtr obj = NewObj();
    WaveParams_t p = GetWaveParams(obj.get());
    EXPECT_EQ(p.diagPumpDepth, 0.0);
    EXPECT_EQ(p.diagAnchorDepth, -1.0);
    for (uint8_t b : p.padding) EXPECT_EQ(b, 0);
    SetWell(obj.get(), false);
    p = GetWaveParams(obj.get());
    EXPECT_EQ(p.diagPumpDepth, 5000.0);
    EXPECT_EQ(p.predPumpDepth, 5000.0);
    EXPECT_EQ(p.predAnchorDepth, -1.0);
}

struct FieldCase {
    const char* field;
    std::function<void(WaveParams_t&)> change;
    const char* flags;
};

TEST(WaveParams, EachFieldRaisesExactlyItsFlags) {
    const FieldCase cases[] = {
        {"wellDepth", [](WaveParams_t& p) { p.wellDepth = 7000; }, ""},
        {"diagSpm", [](WaveParams_t& p) { p.diagSpm = 9; }, "meas upsc MEAS-cards UPSC-cards "},
        {"predSpm", [](WaveParams_t& p) { p.predSpm = 9; }, "pred PRED-cards "},
        {"diagDampUp", [](WaveParams_t& p) { p.diagDampUp = 0.2; }, "meas upsc MEAS-cards UPSC-cards "},
        {"diagDampDn", [](WaveParams_t& p) { p.diagDampDn = 0.3; }, "meas upsc MEAS-cards UPSC-cards "},
        {"predDampUp", [](WaveParams_t& p) { p.predDampUp = 0.2; }, "pred PRED-cards "},
        {"predDampDn", [](WaveParams_t& p) { p.predDampDn = 0.3; }, "pred PRED-cards "},
        {"diagSg", [](WaveParams_t& p) { p.diagSg = 0.9; }, "meas "},
        {"predSg", [](WaveParams_t& p) { p.predSg = 0.9; }, "pred "},
        {"diagVisc", [](WaveParams_t& p) { p.diagVisc = 3; }, ""},
        {"predVisc", [](WaveParams_t& p) { p.predVisc = 3; }, ""},
        {"diagPumpDia", [](WaveParams_t& p) { p.diagPumpDia = 2.25; }, ""},
        {"diagPumpLen", [](WaveParams_t& p) { p.diagPumpLen = 60; }, ""},
        {"diagPumpFit", [](WaveParams_t& p) { p.diagPumpFit = 0.003; }, ""},
        {"predPumpDia", [](WaveParams_t& p) { p.predPumpDia = 2.25; }, ""},
        {"predPumpLen", [](WaveParams_t& p) { p.predPumpLen = 60; }, ""},
        {"predPumpFit", [](WaveParams_t& p) { p.predPumpFit = 0.003; }, ""},
        {"diagPressureTubing", [](WaveParams_t& p) { p.diagPressureTubing = 100; }, ""},
        {"diagPressureCasing", [](WaveParams_t& p) { p.diagPressureCasing = 50; }, ""},
        {"predPressureTubing", [](WaveParams_t& p) { p.predPressureTubing = 100; }, ""},
        {"predPressureCasing", [](WaveParams_t& p) { p.predPressureCasing = 50; }, ""},
        {"diagFluidLevel", [](WaveParams_t& p) { p.diagFluidLevel = 3000; }, ""},
        {"predFluidLevel", [](WaveParams_t& p) { p.predFluidLevel = 3000; }, ""},
        {"diagPumpDepth", [](WaveParams_t& p) { p.diagPumpDepth = 4950; }, "meas upsc "},
        {"predPumpDepth", [](WaveParams_t& p) { p.predPumpDepth = 4950; }, "pred "},
        {"diagAnchorDepth", [](WaveParams_t& p) { p.diagAnchorDepth = 4000; }, "meas upsc "},
        {"predAnchorDepth", [](WaveParams_t& p) { p.predAnchorDepth = 4000; }, "pred "},
        {"fo", [](WaveParams_t& p) { p.fo = 2500; }, "pred "},
        {"fillage", [](WaveParams_t& p) { p.fillage = 0.6; }, "pred "},
        {"compression", [](WaveParams_t& p) { p.compression = 0.1; }, "pred "},
        {"usePumpingUnitForPosition", [](WaveParams_t& p) { p.usePumpingUnitForPosition = 1; }, "pred "},
    };
    for (const FieldCase& c : cases) {
        ObjPtr obj = NewObj();
        SetWell(obj.get(), true);
        ClearAllFlags(obj.get());
        WaveParams_t p = GetWaveParams(obj.get());
        c.change(p);
        LogCapture log;
        EXPECT_TRUE(SetWaveParams(obj.get(), p));
        EXPECT_EQ(Flags(obj.get()), c.flags) << c.field;
        EXPECT_TRUE(log.lines.empty()) << c.field;
        EXPECT_TRUE(SameBytes(GetWaveParams(obj.get()), p)) << c.field;
    }
}

TEST(WaveParams, DiagnosticValuesReachBothDiagnosticCards) {
    ObjPtr obj = NewObj();
    SetWell(obj.get(), true);
    WaveParams_t p = GetWaveParams(obj.get());
    p.diagSpm = 6;
    p.diagDampUp = 0.15;
    p.diagPumpDia = 1.75;
    p.diagFluidLevel = 2500;
    p.diagPumpDepth = 4800;
    p.diagAnchorDepth = 4700;
    SetWaveParams(obj.get(), p);
    EXPECT_EQ(obj->upsc.spm, 6.0);
    EXPECT_DOUBLE_EQ(obj->upsc.period, 10.0);
    EXPECT_EQ(obj->upsc.dampUp, 0.15);
    EXPECT_EQ(obj->upsc.pumpDia, 1.75);
    EXPECT_EQ(obj->upsc.fluidLevel, 2500.0);
    EXPECT_EQ(obj->upsc.tubings->pumpDepth, 4800.0);
    EXPECT_EQ(obj->upsc.tubings->anchorDepth, 4700.0);
    EXPECT_EQ(obj->pred.pumpDia, 1.5);
}

TEST(WaveParams, TubingTotalsFollowTheDepths) {
    ObjPtr obj = NewObj();
    SetWell(obj.get(), true);
    const double ktBefore = obj->meas.tubings->Kt;
    WaveParams_t p = GetWaveParams(obj.get());
    p.diagAnchorDepth = 2500;  // twice the free tubing between anchor and pump
    SetWaveParams(obj.get(), p);
    EXPECT_GT(ktBefore, 0.0);
    EXPECT_NEAR(obj->meas.tubings->Kt * 25, ktBefore, 1e-9 * ktBefore);
    EXPECT_EQ(obj->upsc.tubings->Kt, obj->meas.tubings->Kt);
}

TEST(WaveParams, FillageIsClampedAndAClampedValueCountsAsAChange) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double given;
        double stored;
    };
    for (Case c : {Case{1.5, 1.0}, Case{-0.2, 0.0}, Case{0.4, 0.4}, Case{1.0, 1.0}}) {
        ObjPtr obj = NewObj();
        for (int again = 0; again < 2; ++again) {
            obj->predDirty = 0;
            WaveParams_t p = GetWaveParams(obj.get());
            p.fillage = c.given;
            SetWaveParams(obj.get(), p);
            EXPECT_EQ(obj->fillage, c.stored) << c.given;
            const bool changes = again == 0 ? c.given != 1.0 : c.given != c.stored;
            EXPECT_EQ(obj->predDirty, changes ? 1 : 0) << c.given << " pass " << again;
        }
    }
    ObjPtr obj = NewObj();
    WaveParams_t p = GetWaveParams(obj.get());
    p.fillage = nan;
    SetWaveParams(obj.get(), p);
    EXPECT_TRUE(std::isnan(obj->fillage));
}

TEST(WaveParams, PumpDepthWithoutTubingIsLoggedAndStillMarksTheCards) {
    ObjPtr obj = NewObj();
    WaveParams_t p = GetWaveParams(obj.get());
    p.diagPumpDepth = 4000;
    LogCapture log;
    EXPECT_TRUE(SetWaveParams(obj.get(), p));
    const std::vector<std::string> expected = {"Could not set Pump Depth because the tubing is not set",
                                               "Could not set Pump Depth because the tubing is not set",
                                               "Warning: MEAS Trying to get a Tubing before it was set",
                                               "Warning: UPSC Trying to get a Tubing before it was set"};
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(Flags(obj.get()), "meas upsc ");
}

TEST(WaveParams, AnchorDepthWithoutTubingNamesTheCard) {
    ObjPtr obj = NewObj();
    WaveParams_t p = GetWaveParams(obj.get());
    p.predAnchorDepth = 4000;
    LogCapture log;
    SetWaveParams(obj.get(), p);
    const std::vector<std::string> expected = {"WARNING: PRED trying to set anchor depth before the tubing was defined",
                                               "Warning: PRED Trying to get a Tubing before it was set"};
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(Flags(obj.get()), "pred ");
}

TEST(WaveParams, DepthsAreAppliedPumpDepthsFirstThenAnchorsThenTubingTotals) {
    ObjPtr obj = NewObj();
    WaveParams_t p = GetWaveParams(obj.get());
    p.diagPumpDepth = p.predPumpDepth = 4000;
    p.diagAnchorDepth = p.predAnchorDepth = 3900;
    LogCapture log;
    EXPECT_TRUE(SetWaveParams(obj.get(), p));
    const std::vector<std::string> expected = {"Could not set Pump Depth because the tubing is not set",
                                               "Could not set Pump Depth because the tubing is not set",
                                               "Could not set Pump Depth because the tubing is not set",
                                               "WARNING: MEAS trying to set anchor depth before the tubing was defined",
                                               "WARNING: UPSC trying to set anchor depth before the tubing was defined",
                                               "WARNING: PRED trying to set anchor depth before the tubing was defined",
                                               "Warning: MEAS Trying to get a Tubing before it was set",
                                               "Warning: UPSC Trying to get a Tubing before it was set",
                                               "Warning: PRED Trying to get a Tubing before it was set"};
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(Flags(obj.get()), "meas upsc pred ");
}

TEST(WaveParams, SpecificGravityReweighsTheMeasuredRodsOnly) {
    ObjPtr obj = NewObj();
    SetWell(obj.get(), true);
    const double rodWeight = obj->meas.tapers->rodWeight;
    WaveParams_t p = GetWaveParams(obj.get());
    p.diagSg = 0.0;
    SetWaveParams(obj.get(), p);
    EXPECT_NEAR(obj->meas.tapers->Rwf, rodWeight, 1e-9 * rodWeight);  // no buoyancy without fluid
    p.diagSg = 1.2;
    SetWaveParams(obj.get(), p);
    const double steelSg = 492 / 62.4;
    EXPECT_NEAR(obj->meas.tapers->Rwf, rodWeight * (1 - 1.2 / steelSg), 1e-9 * rodWeight);
    EXPECT_EQ(obj->meas.sgFluid, 1.2);
    EXPECT_EQ(obj->upsc.sgFluid, 1.0);
}

TEST(WaveParams, SpecificGravityWithoutTapersIsLogged) {
    ObjPtr obj = NewObj();
    WaveParams_t p = GetWaveParams(obj.get());
    p.predSg = 0.85;
    LogCapture log;
    SetWaveParams(obj.get(), p);
    EXPECT_EQ(log.lines, std::vector<std::string>{"Warning: PRED Trying to get a taper before it was set"});
    EXPECT_EQ(obj->pred.sgFluid, 0.85);
    EXPECT_EQ(Flags(obj.get()), "pred ");
}

TEST(WaveParams, SpecificGravityRefreshesBuiltNodesInPlace) {
    auto buildAt = [](double sg) {
        ObjPtr obj = NewObj();
        SetWell(obj.get(), true);
        WaveParams_t p = GetWaveParams(obj.get());
        p.predSpm = 8;
        p.predSg = sg;
        SetWaveParams(obj.get(), p);
        PrepareCard(&obj->pred);
        return obj;
    };
    ObjPtr changed = buildAt(1.0);
    ObjPtr fresh = buildAt(0.7);
    ASSERT_NE(changed->pred.nodes, nullptr);
    ASSERT_EQ(changed->pred.FeaNodeCount, fresh->pred.FeaNodeCount);
    const double fluidLoadBefore = changed->pred.nodes[changed->pred.FeaNodeCount - 1].fluidLoad;
    WaveParams_t p = GetWaveParams(changed.get());
    p.predSg = 0.7;
    SetWaveParams(changed.get(), p);
    EXPECT_EQ(changed->pred.nodesDirty, 0);
    for (int32_t j = 0; j < fresh->pred.FeaNodeCount; ++j) {
        EXPECT_DOUBLE_EQ(changed->pred.nodes[j].weightBelow, fresh->pred.nodes[j].weightBelow) << j;
        EXPECT_DOUBLE_EQ(changed->pred.nodes[j].fluidLoad, fresh->pred.nodes[j].fluidLoad) << j;
    }
    EXPECT_NEAR(changed->pred.nodes[changed->pred.FeaNodeCount - 1].fluidLoad, 0.7 * fluidLoadBefore,
                1e-9 * fluidLoadBefore);
}

TEST(WaveParams, NonPositiveSpeedIsStoredWithoutPeriodOrCardFlags) {
    for (double bad : {0.0, -3.0, std::numeric_limits<double>::infinity()}) {
        ObjPtr obj = NewObj();
        WaveParams_t p = GetWaveParams(obj.get());
        p.diagSpm = 8;
        SetWaveParams(obj.get(), p);
        ClearAllFlags(obj.get());
        p.diagSpm = bad;
        SetWaveParams(obj.get(), p);
        EXPECT_EQ(obj->meas.spm, bad);
        EXPECT_EQ(obj->upsc.spm, bad);
        EXPECT_DOUBLE_EQ(obj->meas.period, 7.5);
        EXPECT_DOUBLE_EQ(obj->upsc.period, 7.5);
        EXPECT_EQ(Flags(obj.get()), "meas upsc ") << bad;
    }
}

TEST(WaveParams, CardSpmAndDamping) {
    ObjPtr obj = NewObj();
    WaveModel* card = &obj->pred;
    EXPECT_TRUE(SetCardSpm(card, 4));
    EXPECT_DOUBLE_EQ(card->period, 15.0);
    EXPECT_EQ(card->cdtDirty + card->nodesDirty, 2);
    card->cdtDirty = card->nodesDirty = 0;
    EXPECT_FALSE(SetCardSpm(card, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(std::isnan(card->spm));
    EXPECT_DOUBLE_EQ(card->period, 15.0);
    EXPECT_EQ(card->cdtDirty + card->nodesDirty, 0);
    EXPECT_TRUE(SetCardDamping(card, 0.1, 0.2));
    EXPECT_EQ(card->dampUp, 0.1);
    EXPECT_EQ(card->dampDn, 0.2);
    EXPECT_EQ(card->cdtDirty + card->nodesDirty, 2);
    EXPECT_EQ(obj->predDirty, 0);
}

TEST(WaveSettings, RoundTripRaisesNothingAndIgnoresPadding) {
    ObjPtr obj = NewObj();
    WaveSettings_t s = GetWaveSettings(obj.get());
    EXPECT_EQ(s.predNodesPerSection, 10);
    for (uint8_t b : s.padding0) EXPECT_EQ(b, 0);
    for (uint8_t b : s.padding1) EXPECT_EQ(b, 0);
    std::memset(s.padding0, 0xAB, sizeof s.padding0);
    std::memset(s.padding1, 0xCD, sizeof s.padding1);
    EXPECT_TRUE(SetWaveSettings(obj.get(), s));
    EXPECT_EQ(Flags(obj.get()), "");
}

TEST(WaveSettings, LegacyByteIsKeptAsGivenAndSelectsTheFixedGrid) {
    ObjPtr obj = NewObj();
    WaveSettings_t s = GetWaveSettings(obj.get());
    s.useLegacyPred = 7;
    SetWaveSettings(obj.get(), s);
    EXPECT_EQ(GetWaveSettings(obj.get()).useLegacyPred, 7);
    EXPECT_EQ(obj->pred.fixedGrid, 7);
    EXPECT_EQ(Flags(obj.get()), "pred PRED-cards ");
    ClearAllFlags(obj.get());
    s.useLegacyPred = 0;
    SetWaveSettings(obj.get(), s);
    EXPECT_EQ(obj->pred.fixedGrid, 0);
    EXPECT_EQ(Flags(obj.get()), "pred PRED-cards ");
}

TEST(WaveSettings, NodesPerSectionOutsideItsRangeIsLoggedAndIgnored) {
    struct Case {
        int32_t given;
        int32_t stored;
        bool logged;
    };
    for (Case c : {Case{0, 10, true}, Case{1001, 10, true}, Case{-5, 10, true}, Case{1000, 1000, false},
                   Case{1, 1, false}}) {
        ObjPtr obj = NewObj();
        WaveSettings_t s = GetWaveSettings(obj.get());
        s.predNodesPerSection = c.given;
        LogCapture log;
        SetWaveSettings(obj.get(), s);
        EXPECT_EQ(obj->pred.nodesPerSection, c.stored) << c.given;
        EXPECT_EQ(log.Contains("Invalid predNodesPerSection"), c.logged) << c.given;
        EXPECT_EQ(Flags(obj.get()), "pred PRED-cards ") << c.given;
    }
}

TEST(WaveSettings, SolverOutputOptionsMarkEveryCard) {
    for (int which = 0; which < 2; ++which) {
        ObjPtr obj = NewObj();
        WaveSettings_t s = GetWaveSettings(obj.get());
        (which == 0 ? s.subtractFluidLoad : s.zeroPumpPosition) = 1;
        SetWaveSettings(obj.get(), s);
        EXPECT_EQ(Flags(obj.get()), "meas upsc pred ") << which;
        const WaveSettings_t back = GetWaveSettings(obj.get());
        EXPECT_EQ(back.subtractFluidLoad, s.subtractFluidLoad);
        EXPECT_EQ(back.zeroPumpPosition, s.zeroPumpPosition);
    }
}
