#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "designfiles/builtin_templates.h"
#include "designfiles/design_dispatch.h"
#include "designfiles/qrod_file.h"
#include "designfiles/qrod_records.h"
#include "dynofiles/comma_locale.h"
#include "file_size_limit.h"
#include "log_capture.h"
#include "model/tubing_list.h"
#include "qrod_test_util.h"
#include "temp_path.h"

namespace {

const char kFixture[] = TESK_DATA_DIR "/fixtures/designfiles/hollow_creek.qrod";

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> Keys(const QrodRecords& records) {
    std::vector<std::string> keys;
    for (const QrodRecord& record : records) keys.push_back(record.key);
    return keys;
}

// Every design value of the predicted card distinct from the defaults and from each other.
void GiveDistinctDesign(TeskObj* obj) {
    GiveWellTubingAndRods(obj);
    SetWellName(obj, "Juniper Flats 3");
    WaveParams_t p = GetWaveParams(obj);
    p.predSpm = 8.5;
    p.predDampUp = 0.07;
    p.predDampDn = 0.09;
    p.predSg = 0.91;
    p.predVisc = 2.6;
    p.predPressureTubing = 105.25;
    p.predPressureCasing = 37.5;
    p.predPumpDia = 2.25;
    p.predPumpLen = 72.0;
    p.predPumpFit = 0.004;
    p.predPumpDepth = 5210.5;
    p.predAnchorDepth = 5150.75;
    SetWaveParams(obj, p);
}

// What the predicted card's twelve values read back as, in template order.
std::vector<double> DesignValues(TeskObj* obj) {
    const WaveModel& pred = obj->pred;
    return {pred.spm,        pred.dampUp,         pred.tubings->anchorDepth, pred.tubings->pumpDepth,
            pred.sgFluid,    pred.viscFluid,      pred.pressureTubing,       pred.pressureCasing,
            pred.pumpDia,    pred.pumpLen,        pred.pumpFit};
}

}  // namespace

TEST(QrodTemplate, HoldsTheTwelveKeysInOrderOnce) {
    std::vector<std::string> known;
    for (const std::string& key : Keys(ParseQrodRecords(QrodTemplate))) {
        for (const char* design : kQrodKeys) {
            if (key == design) known.push_back(key);
        }
    }
    EXPECT_EQ(known, std::vector<std::string>(std::begin(kQrodKeys), std::end(kQrodKeys)));
}

TEST(QrodWrite, BuiltInTemplateRoundTrip) {
    TeskObj obj;
    GiveDistinctDesign(&obj);
    const std::string path = TestTempPath("round_trip.qrod");
    LogCapture log;
    ASSERT_TRUE(SaveDesignFile(&obj, path.c_str()));
    EXPECT_EQ(log.lines, std::vector<std::string>{"WriteDesignFileQrod " + path});
    const std::string text = ReadFileText(path);
    EXPECT_NE(text.find("\nStrokeRate:8.500000\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nDampingFactor:0.070000\n"), std::string::npos) << "the upstroke factor is written";
    EXPECT_EQ(Keys(ParseQrodRecords(text.c_str())), Keys(ParseQrodRecords(QrodTemplate)));

    TeskObj back;
    GiveWellTubingAndRods(&back);
    ASSERT_TRUE(ReadDesignFile(&back, path.c_str()));
    EXPECT_STREQ(back.wellName, "Juniper Flats 3");
    EXPECT_EQ(DesignValues(&back), DesignValues(&obj));
    EXPECT_EQ(back.pred.dampDn, 0.07) << "one factor is read into both strokes";
    EXPECT_EQ(back.meas.pumpDia, 2.25) << "the other cards take the predicted card's values";
    EXPECT_EQ(back.upsc.fluidLevel, 5210.5);
    std::remove(path.c_str());
}

TEST(QrodWrite, FixtureAsTemplateKeepsItsOtherLines) {
    TeskObj obj;
    GiveDistinctDesign(&obj);
    const std::string path = TestTempPath("from_fixture.q");
    LogCapture log;
    ASSERT_TRUE(SaveDesignFileWithTemplate(&obj, path.c_str(), kFixture));
    EXPECT_EQ(log.lines, (std::vector<std::string>{"WriteDesignFileWithTemplate Q", std::string("Opening file: ") + kFixture,
                                                   "WriteDesignFileQrod " + path}));
    const std::vector<std::string> lines = Lines(ReadFileText(path));
    const std::vector<std::string> expected = {
        "FileType:QROD design",     "Operator:Example Co: North Unit", "Title:Juniper Flats 3",
        "StrokeRate:8.500000",      "DampingFactor:0.070000",          "AnchorDepth:5150.750000",
        "PumpDepth:5210.500000",    "FluidSpecificGravity:0.910000",   "FluidViscosity:2.600000",
        "TubingPressure:105.250000", "CasingPressure:37.500000",       "PumpDiameter:2.250000",
        "PlungerLength:72.000000",  "Clearance:0.004000",              "Comment:kept as written"};
    EXPECT_EQ(lines, expected);
    TeskObj back;
    GiveWellTubingAndRods(&back);
    ASSERT_TRUE(ReadDesignFile(&back, path.c_str()));
    EXPECT_STREQ(back.wellName, "Juniper Flats 3");
    EXPECT_EQ(DesignValues(&back), DesignValues(&obj));
    std::remove(path.c_str());
}

TEST(QrodWrite, WellNameCannotForgeLines) {
    TeskObj obj;
    SetWellName(&obj, "Evil\nPumpDepth:99999\r\nTitle:x\t\x01");
    const std::string path = TestTempPath("forged.q");
    ASSERT_TRUE(SaveDesignFile(&obj, path.c_str()));
    const std::vector<std::string> lines = Lines(ReadFileText(path));
    EXPECT_EQ(lines.size(), ParseQrodRecords(QrodTemplate).size());
    TeskObj back;
    LogCapture log;
    ASSERT_TRUE(ReadDesignFile(&back, path.c_str()));
    EXPECT_STREQ(back.wellName, "Evil PumpDepth:99999  Title:x");
    EXPECT_EQ(back.pred.fluidLevel, 0);
    EXPECT_EQ(log.Count("QROD NAME"), 1u);
    std::remove(path.c_str());
}

TEST(QrodWrite, ValuesFromTheModel) {
    const TaperBase_t taper = Taper("rod", 4200, 0.75, 1.634);
    struct Case {
        const char* name;
        const char* templateText;
        std::function<void(TeskObj*)> setUp;
        std::string written;
    };
    const Case cases[] = {
        {"clearance", "Clearance:0.5", [](TeskObj* o) { o->pred.pumpFit = 0.005; }, "Clearance:0.005000\n"},
        {"no tubing or rods", "AnchorDepth:1\nPumpDepth:2", [](TeskObj*) {},
         "AnchorDepth:-1.000000\nPumpDepth:0.000000\n"},
        {"rods without tubing", "PumpDepth:2", [&](TeskObj* o) { SetPredTapers(o, &taper, 1, 1.0); },
         "PumpDepth:4200.000000\n"},
        {"a key twice", "StrokeRate:1\nOther: x \nStrokeRate:2", [](TeskObj* o) { o->pred.spm = 6; },
         "StrokeRate:6.000000\nOther:x\nStrokeRate:6.000000\n"},
        {"not a number", "PumpDiameter:1", [](TeskObj* o) { o->pred.pumpDia = std::nan(""); }, "PumpDiameter:nan\n"},
        {"no separators at all", "just words\n\nmore words\n", [](TeskObj*) {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TeskObj obj;
        c.setUp(&obj);
        const std::string path = TestTempPath("values.q");
        ASSERT_TRUE(WriteDesignFileQrod(&obj, path.c_str(), ParseQrodRecords(c.templateText)));
        EXPECT_EQ(ReadFileText(path), c.written);
        std::remove(path.c_str());
    }
}

TEST_F(HostCommaLocale, QrodWriteNumbersKeepTheirPoint) {
    TeskObj obj;
    obj.pred.pumpDia = 1.75;
    const std::string path = TestTempPath("comma.q");
    ASSERT_TRUE(
        UnderCommaLocale([&] { return WriteDesignFileQrod(&obj, path.c_str(), ParseQrodRecords("PumpDiameter:1")); }));
    EXPECT_EQ(ReadFileText(path), "PumpDiameter:1.750000\n");
    std::remove(path.c_str());
}

TEST(QrodWrite, AFailedWriteKeepsTheOldFile) {
    TeskObj obj;
    const std::string path = TestTempPath("kept.q");
    WriteFileText(path, "Title:old\n");
    LogCapture log;
    {
        FileSizeLimit limit(16);
        EXPECT_FALSE(SaveDesignFile(&obj, path.c_str()));
    }
    EXPECT_EQ(log.lines.back(), "Error saving file " + path + "! errno:27");
    EXPECT_EQ(ReadFileText(path), "Title:old\n");
    const std::string noFolder = TestTempPath("no_such_folder/well.q");
    log.Clear();
    EXPECT_FALSE(SaveDesignFileWithTemplate(&obj, noFolder.c_str(), kFixture));
    EXPECT_EQ(log.lines.back(), "Error saving file " + noFolder + "! errno:2");
    std::remove(path.c_str());
}
