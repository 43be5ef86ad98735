#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "designfiles/design_dispatch.h"
#include "designfiles/qrod_file.h"
#include "designfiles/qrod_records.h"
#include "dynofiles/comma_locale.h"
#include "log_capture.h"
#include "model/taper_list.h"
#include "model/tubing_list.h"
#include "qrod_test_util.h"

namespace {

const char kFixture[] = TESK_DATA_DIR "/fixtures/designfiles/hollow_creek.qrod";

WaveModel* Cards(TeskObj* obj, int i) {
    WaveModel* cards[] = {&obj->meas, &obj->upsc, &obj->pred};
    return cards[i];
}

bool SameOrBothNan(double a, double b) { return a == b || (std::isnan(a) && std::isnan(b)); }

}  // namespace

TEST(QrodRecords, SplitsLinesIntoKeyValueAndNumber) {
    const std::string longValue = " 2.5" + std::string(200, 'x');
    const std::string accented = std::string(126, 'a') + "\xc3\xa9" + "tail";
    const double nan = std::nan("");
    struct Case {
        std::string text;
        std::string key;
        std::string value;
        double number;
    };
    const Case cases[] = {
        {"StrokeRate:12", "StrokeRate", "12", 12},
        {"Title:\"Well 7\"\r\n", "Title", "Well 7", nan},
        {" Title :  spaced\t", " Title ", "spaced", nan},
        {"Url:http://x:8080", "Url", "http://x:8080", nan},
        {"Depth:  4500.5 ft", "Depth", "4500.5 ft", 4500.5},
        {"Hex:0x10", "Hex", "0x10", 16},
        {"Big:1e999", "Big", "1e999", nan},
        {"Tiny:1e-400", "Tiny", "1e-400", nan},
        {"NotANumber:nan", "NotANumber", "nan", nan},
        {"Empty:", "Empty", "", nan},
        {":no key", "", "no key", nan},
        {"Long:" + longValue, "Long", longValue.substr(1, 126), 2.5},
        {"Cut:" + accented, "Cut", std::string(126, 'a'), nan},
        {"\xEF\xBB\xBF" "Title:Bom", "Title", "Bom", nan},
    };
    for (const Case& c : cases) {
        const QrodRecords records = ParseQrodRecords(c.text.c_str());
        ASSERT_EQ(records.size(), 1u) << c.text;
        EXPECT_EQ(records[0].key, c.key) << c.text;
        EXPECT_EQ(records[0].value, c.value) << c.text;
        EXPECT_TRUE(SameOrBothNan(records[0].number, c.number)) << c.text << " read " << records[0].number;
    }
    const QrodRecords several = ParseQrodRecords("a:1\n\nno colon\r\nb:\n2\nc:3");
    ASSERT_EQ(several.size(), 3u);
    EXPECT_EQ(several[1].key, "b");
    EXPECT_TRUE(std::isnan(several[1].number)) << "a number must not be read from the next line";
    EXPECT_EQ(several[2].number, 3);
    EXPECT_TRUE(ParseQrodRecords("").empty());
    EXPECT_TRUE(ParseQrodRecords(nullptr).empty());
}

TEST(QrodRead, FixtureReachesEveryCardAndField) {
    TeskObj obj;
    GiveWellTubingAndRods(&obj);
    LogCapture log;
    ASSERT_TRUE(ReadDesignFile(&obj, kFixture));
    EXPECT_EQ(log.lines, (std::vector<std::string>{std::string("Opening file: ") + kFixture, "ParseDesignFileQrod",
                                                   "QROD NAME ---Hollow Creek 14-2---", "QROD SPM ---7.250---",
                                                   "TODO: QROD set tubing", "TODO: sort out anchor in qrod"}));
    EXPECT_STREQ(GetWellName(&obj), "Hollow Creek 14-2");
    const WaveParams_t p = GetWaveParams(&obj);
    EXPECT_EQ(p.predSpm, 7.25);
    EXPECT_DOUBLE_EQ(GetWaveParamsReadOnly(&obj).predPeriod, 60 / 7.25);
    EXPECT_EQ(p.diagSpm, 0) << "the stroke rate is the predicted card's only";
    EXPECT_EQ(p.predDampUp, 0.085);
    EXPECT_EQ(p.predDampDn, 0.085);
    EXPECT_EQ(p.diagDampUp, 0);
    EXPECT_TRUE(obj.pred.cdtDirty && obj.pred.nodesDirty);
    for (int i = 0; i < 3; ++i) {
        const WaveModel* card = Cards(&obj, i);
        SCOPED_TRACE(card->name);
        EXPECT_EQ(card->tubings->anchorDepth, 4875.5);
        EXPECT_EQ(card->tubings->pumpDepth, 5012.25);
        EXPECT_EQ(card->fluidLevel, 5012.25) << "the pump depth stands in for the fluid level";
        EXPECT_EQ(card->sgFluid, 0.963);
        EXPECT_EQ(card->viscFluid, 3.4);
        EXPECT_EQ(card->pressureTubing, 115.5);
        EXPECT_EQ(card->pressureCasing, 42.75);
        EXPECT_EQ(card->pumpDia, 1.75);
        EXPECT_EQ(card->pumpLen, 60.5);
        EXPECT_EQ(card->pumpFit, 0.0035);
        // Totals follow the new values: buoyancy of the rods, stretch of the anchored tubing.
        EXPECT_DOUBLE_EQ(card->tapers->items[0].buoyantWpf, kRodWeight * (1 - 0.963 / (kRodDensity / 62.4)));
        EXPECT_DOUBLE_EQ(card->tubings->Kt, 1 / ((5012.25 - 4875.5) * kTubingStretch));
    }
    EXPECT_EQ(p.diagFluidLevel, 5012.25);
    EXPECT_EQ(p.predAnchorDepth, 4875.5);
    EXPECT_TRUE(obj.measDirty && obj.upscDirty && obj.predDirty) << "every card's results are stale now";
}

TEST(QrodRead, EdgeAndHostileTexts) {
    std::string junk;
    unsigned seed = 12345;
    for (int i = 0; i < 4000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const char c = static_cast<char>((seed >> 16) % 255 + 1);
        junk += i % 37 == 0 ? ':' : i % 53 == 0 ? '\n' : c;
    }
    const std::string longTitle = "Title:" + std::string(200, 'w');
    const std::string paddedNumber = "PumpDiameter:" + std::string(150, ' ') + "2.5";
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> lines;  // after "ParseDesignFileQrod"
        std::function<void(const TeskObj&)> check;
    };
    const Case cases[] = {
        {"quoted title with CR LF", "Title:\"Well 7\"\r\n", {"QROD NAME ---Well 7---"},
         [](const TeskObj& o) { EXPECT_STREQ(o.wellName, "Well 7"); }},
        {"stroke rate", "StrokeRate:12", {"QROD SPM ---12.000---"},
         [](const TeskObj& o) {
             EXPECT_EQ(o.pred.spm, 12);
             EXPECT_EQ(o.pred.period, 5);
             EXPECT_TRUE(o.pred.cdtDirty && o.pred.nodesDirty && o.predDirty);
         }},
        {"stroke rate in letters", "StrokeRate:fast", {"QROD SPM ---nan---"},
         [](const TeskObj& o) {
             EXPECT_TRUE(std::isnan(o.pred.spm));
             EXPECT_EQ(o.pred.period, 0);
             EXPECT_FALSE(o.pred.cdtDirty || o.pred.nodesDirty);
         }},
        {"pump depth without tubing", "PumpDepth:5000",
         std::vector<std::string>(3, "Could not set Pump Depth because the tubing is not set"),
         [](const TeskObj& o) {
             EXPECT_EQ(o.meas.fluidLevel, 5000);
             EXPECT_EQ(o.upsc.fluidLevel, 5000);
             EXPECT_EQ(o.pred.fluidLevel, 5000);
         }},
        {"anchor depth without tubing", "AnchorDepth:4900",
         {"TODO: QROD set tubing", "TODO: sort out anchor in qrod",
          "WARNING: MEAS trying to set anchor depth before the tubing was defined",
          "WARNING: UPSC trying to set anchor depth before the tubing was defined",
          "WARNING: PRED trying to set anchor depth before the tubing was defined"},
         [](const TeskObj& o) { EXPECT_FALSE(o.measDirty || o.upscDirty || o.predDirty); }},
        {"blank before the key", " Title:X\nClearance :0.2", {},
         [](const TeskObj& o) {
             EXPECT_STREQ(o.wellName, "DEFAULT NAME");
             EXPECT_EQ(o.pred.pumpFit, 0.005);
         }},
        {"long values", longTitle + "\n" + paddedNumber, {"QROD NAME ---" + std::string(127, 'w') + "---"},
         [](const TeskObj& o) {
             EXPECT_EQ(std::string(o.wellName), std::string(63, 'w'));
             EXPECT_EQ(o.meas.pumpDia, 2.5) << "the number is read past the cut value";
         }},
        {"byte-order mark", "\xEF\xBB\xBFPumpDiameter:1.25", {},
         [](const TeskObj& o) { EXPECT_EQ(o.pred.pumpDia, 1.25); }},
        {"later line wins", "PlungerLength:36\nPlungerLength:144", {},
         [](const TeskObj& o) { EXPECT_EQ(o.upsc.pumpLen, 144); }},
        {"huge and not-a-number values", "TubingPressure:1e400\nCasingPressure:NaN\nFluidViscosity:-inf", {},
         [](const TeskObj& o) {
             EXPECT_TRUE(std::isnan(o.meas.pressureTubing));
             EXPECT_TRUE(std::isnan(o.pred.pressureCasing));
             EXPECT_EQ(o.upsc.viscFluid, -INFINITY);
             EXPECT_TRUE(o.measDirty && o.upscDirty && o.predDirty);
         }},
        {"missing colon", "Title Nameless\nPumpDiameter 2", {},
         [](const TeskObj& o) {
             EXPECT_STREQ(o.wellName, "DEFAULT NAME");
             EXPECT_FALSE(o.measDirty || o.upscDirty || o.predDirty);
         }},
        {"unchanged values raise nothing", "FluidSpecificGravity:1\nPumpDiameter:1.5", {},
         [](const TeskObj& o) { EXPECT_FALSE(o.measDirty || o.upscDirty || o.predDirty); }},
        {"binary junk", junk, {}, [](const TeskObj&) {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TeskObj obj;
        LogCapture log;
        std::string text = c.text;
        EXPECT_TRUE(ReadDesignText(&obj, &text[0], 'Q'));
        EXPECT_EQ(text, c.text) << "the QROD reader leaves the text alone";
        ASSERT_FALSE(log.lines.empty());
        EXPECT_EQ(log.lines.front(), "ParseDesignFileQrod");
        if (std::string(c.name) != "binary junk") {
            EXPECT_EQ(std::vector<std::string>(log.lines.begin() + 1, log.lines.end()), c.lines);
        }
        c.check(obj);
    }
    TeskObj obj;
    LogCapture log;
    EXPECT_FALSE(ReadDesignText(&obj, nullptr, 'Q'));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"ParseDesignFileQrod", "Error: no QROD design text"}));
}

// Only the last line of a key is applied, so millions of repeated lines cost no more steps or
// log lines than one.
TEST(QrodRead, OnlyTheLastLineOfEachKeyIsApplied) {
    std::string text = "PumpDiameter:2.25\n";
    for (int i = 1; i <= 20000; ++i) {
        text += "StrokeRate:" + std::to_string(i) + "\nTitle:Well " + std::to_string(i) + "\nOther:" +
                std::to_string(i) + "\n";
    }
    text += "PumpDiameter:1.75\nPlungerLength:60";
    TeskObj obj;
    LogCapture log;
    EXPECT_TRUE(ParseDesignFileQrod(&obj, text.c_str()));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"ParseDesignFileQrod", "QROD SPM ---20000.000---",
                                                   "QROD NAME ---Well 20000---"}));
    EXPECT_EQ(obj.pred.spm, 20000);
    EXPECT_STREQ(obj.wellName, "Well 20000");
    EXPECT_EQ(obj.meas.pumpDia, 1.75);
    EXPECT_EQ(obj.upsc.pumpLen, 60);
}

TEST_F(HostCommaLocale, QrodReadNumbersKeepTheirPoint) {
    TeskObj obj;
    ASSERT_TRUE(UnderCommaLocale([&] { return ParseDesignFileQrod(&obj, "PumpDiameter:1.75\nClearance:0,5"); }));
    EXPECT_EQ(obj.pred.pumpDia, 1.75);
    EXPECT_EQ(obj.pred.pumpFit, 0) << "a comma ends the number, as in the C locale";
}
