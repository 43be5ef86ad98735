#include "designfiles/srod_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "designfiles/builtin_templates.h"
#include "designfiles/xml_values.h"
#include "design_test_util.h"
#include "log_capture.h"
#include "model/taper_list.h"
#include "model/tubing_list.h"
#include "temp_path.h"
#include "xml_design_test_util.h"

namespace {

const char kImperial[] = TESK_DATA_DIR "/fixtures/designfiles/willow_flats.inx";
const char kMetric[] = TESK_DATA_DIR "/fixtures/designfiles/willow_flats_metric.inx";
const XmlFormat kSrod{ParseDesignFileSrod, WriteDesignFileSrod, SrodTemplate, "Case", "WellName", "well.inx"};

std::string Document(const std::string& body) { return "<SrodDesign><Case>" + body + "</Case></SrodDesign>"; }

std::string Element(const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">";
}

// One API D taper of 1000 ft and 7/8 in, with the values the catalogue agrees with.
std::string OneTaper() {
    return Element("TaperCount", "1") + Element("RodTypeArray", "2") + Element("TaperDiameterArray", "0.875") +
           Element("TaperLengthArray", "1000") + Element("TaperModulusArray", "30.5") +
           Element("TaperWeightArray", "2.224");
}

void ExpectSurvey(TeskObj* obj, const std::vector<std::vector<double>>& rows) {
    const std::vector<DeviationPoint_t> survey = Survey(obj);
    ASSERT_EQ(survey.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(survey[i].md, rows[i][0]);
        EXPECT_EQ(survey[i].inclination, rows[i][1]);
        EXPECT_EQ(survey[i].azimuth, rows[i][2]);
    }
}

// The values every card gets alike.
struct CardValues {
    double fluidLevel, pumpDia, pumpLen, pumpFit, pressureTubing, pressureCasing, anchorDepth, tubingLength,
        tubingOutside;
};

void ExpectCards(TeskObj* obj, const CardValues& v) {
    for (const WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) {
        SCOPED_TRACE(card->name);
        EXPECT_EQ(card->fluidLevel, v.fluidLevel);
        EXPECT_EQ(card->sgFluid, 0);
        EXPECT_EQ(card->pumpDia, v.pumpDia);
        EXPECT_EQ(card->pumpLen, v.pumpLen);
        EXPECT_EQ(card->pumpFit, v.pumpFit);
        EXPECT_EQ(card->pressureTubing, v.pressureTubing);
        EXPECT_EQ(card->pressureCasing, v.pressureCasing);
        ASSERT_NE(card->tubings, nullptr);
        EXPECT_EQ(card->tubings->anchorDepth, v.anchorDepth);
        EXPECT_EQ(card->tubings->pumpDepth, 0);
    }
    const WaveParams_t p = GetWaveParams(obj);
    EXPECT_EQ(p.diagFluidLevel, v.fluidLevel);
    EXPECT_EQ(p.predPumpFit, v.pumpFit);
    EXPECT_EQ(p.diagPressureTubing, v.pressureTubing);
    EXPECT_EQ(p.diagAnchorDepth, v.anchorDepth);
    EXPECT_EQ(p.predAnchorDepth, v.anchorDepth);
    ExpectOneSection(PredTubings(obj), v.tubingLength, v.tubingOutside);
    ExpectOneSection(DiagTubings(obj), v.tubingLength, v.tubingOutside);
    EXPECT_EQ(obj->upsc.tubings->items[0].OD, v.tubingOutside);
    EXPECT_EQ(obj->measDirty + obj->upscDirty + obj->predDirty, 3);
}

TEST(SrodFile, ImperialFixtureReachesEveryCardAndField) {
    ObjPtr obj = NewObj();
    const WaveParams_t before = GetWaveParams(obj.get());
    LogCapture log;
    ASSERT_EQ(ParseDesignFile(obj.get(), kImperial), 1);

    EXPECT_STREQ(GetWellName(obj.get()), "Willow Flats 12");
    const WaveParams_t p = GetWaveParams(obj.get());
    EXPECT_EQ(p.predSpm, 6.75);
    EXPECT_EQ(obj->pred.period, 60 / 6.75);
    EXPECT_EQ(p.predDampUp, 0.11);
    EXPECT_EQ(p.predDampDn, 0.17);
    EXPECT_EQ(p.diagSpm, before.diagSpm);
    EXPECT_EQ(p.diagDampUp, before.diagDampUp);
    ExpectCards(obj.get(), {6120 - 1845.5, 1.25, 36, 0.004, 95.5, 35.75, 6080.5, 6120, 2.375});
    ExpectSurvey(obj.get(), {{0, 0.25, 270}, {2200, 3.5, 45}, {6150, 8.125, 359.5}});

    // The catalogue gives T and R; D, W and E are the file's even where the catalogue differs.
    const std::vector<TaperBase_t> tapers = PredTapers(obj.get());
    ASSERT_EQ(tapers.size(), 3u);
    ExpectTaper(tapers[0], 2050, 1, 2.904, 115000, 30500000, 492);
    ExpectTaper(tapers[1], 2600, 0.98, 0.848, -1, 7300000, 153);
    ExpectTaper(tapers[2], 1470, 0.8125, 1.8, 115000, 28000000, 492);
    EXPECT_EQ(GetDiagTaperCount(obj.get()), 0);

    EXPECT_TRUE(log.Contains("ParseDesignFileSrod"));
    EXPECT_TRUE(log.Contains("-----Case"));
    EXPECT_EQ(log.Count("saved diameter differs"), 1u);
    EXPECT_TRUE(log.Contains("SROD File: saved diameter differs from record --- 0.000000 ==== 0.812500"));
    EXPECT_EQ(log.Count("SROD File: saved weight differs from record"), 1u);
    EXPECT_EQ(log.Count("saved Emod differs"), 1u);
    EXPECT_TRUE(log.Contains("SROD File: [1] saved Emod differs from record"));
    EXPECT_TRUE(log.Contains("TODO: SROD set tubing"));
    EXPECT_FALSE(log.Contains("Warning: SROD"));
}

TEST(SrodFile, MetricFixtureConvertsOnlyDepthsLengthsAndDiameters) {
    ObjPtr obj = NewObj();
    LogCapture log;
    ASSERT_EQ(ParseDesignFile(obj.get(), kMetric), 1);

    EXPECT_STREQ(GetWellName(obj.get()), "Willow Flats 12 metric");
    const WaveParams_t p = GetWaveParams(obj.get());
    EXPECT_EQ(p.predSpm, 5.5);
    EXPECT_EQ(p.predDampUp, 0.09);
    EXPECT_EQ(p.predDampDn, 0.21);
    // Pressures, pump sizes, tubing size, anchor depth and survey stay as the file gives them.
    ExpectCards(obj.get(), {4000, 1.0625, 42, 0.0035, 650, 210, 1490, 3000, 73});
    ExpectSurvey(obj.get(), {{12, 0.5, 10}, {1500, 2, 330}});

    const std::vector<TaperBase_t> tapers = PredTapers(obj.get());
    ASSERT_EQ(tapers.size(), 2u);
    ExpectTaper(tapers[0], 1000, 1, 2.904, 115000, 30500000, 492);
    // 22.225 mm is not exactly 7/8 in once divided, so the catalogue finds no size.
    ExpectTaper(tapers[1], 2000, 22.225 / 25.4, 2.04, 115000, 29000000, 492);
    EXPECT_EQ(log.Count("saved diameter differs"), 1u);
    EXPECT_EQ(log.Count("saved weight differs"), 1u);
    EXPECT_FALSE(log.Contains("saved Emod differs"));
}

// The same depths without "UnitsSelection" are feet.
TEST(SrodFile, DepthsWithoutUnitsAreFeet) {
    ObjPtr obj = NewObj();
    ASSERT_TRUE(ParseCopy(ParseDesignFileSrod, obj.get(),
                          Document(Element("PumpDepth", "1524") + Element("TrueFluidDepth", "304.8"))));
    EXPECT_DOUBLE_EQ(obj->pred.fluidLevel, 1219.2);
    EXPECT_DOUBLE_EQ(obj->meas.fluidLevel, 1219.2);
}

std::vector<RefusedText> RefusedTexts() {
    const std::string fixture = ReadFileText(kImperial);
    return {
        {"binary junk", std::string("\x89PNG\r\n\x1a\n\x01\x02 <Case> \xff"), "is not well-formed XML"},
        {"truncated", fixture.substr(0, fixture.size() - 40), "is not well-formed XML"},
        {"json", R"({"wellname": "json well", "diag": {}})", "is not well-formed XML"},
        {"empty", "", "is not well-formed XML"},
        {"no case", "<SrodDesign><WellName>x</WellName></SrodDesign>", "has no \"Case\" element"},
        {"case as the root", "<Case><WellName>x</WellName></Case>", "has no \"Case\" element"},
        {"rodstar document", "<r:data><r:input><r:well-name>x</r:well-name></r:input></r:data>",
         "has no \"Case\" element"},
    };
}

TEST(SrodFile, RefusedTextsLeaveTheObjectUnchanged) {
    ExpectRefusedTextsLeaveTheObjectUnchanged(kSrod, RefusedTexts(), "Error: no SROD design text", 'S');
}

struct SurveyCase {
    const char* label;
    const char* count;
    const char* md;
    std::vector<std::vector<double>> rows;
    const char* line;  // null: no warning
};

const std::vector<SurveyCase>& SurveyCases() {
    static const std::vector<SurveyCase> cases = {
        {"count matches", "2", "100:200", {{100, 1, 350}, {200, 2, 20}}, nullptr},
        {"lists shorter than the count", "5", "100:200", {{100, 1, 350}, {200, 2, 20}},
         "survey lists hold 2 rows, not the 5"},
        {"one list shorter", "2", "100", {{100, 1, 350}}, "survey lists hold 1 rows, not the 2"},
        {"count below the lists", "1", "100:200", {{100, 1, 350}}, nullptr},
        {"count at the survey limit", "100000", "100:200", {{100, 1, 350}, {200, 2, 20}},
         "survey lists hold 2 rows, not the 100000"},
        {"count past the survey limit", "100001", "100:200", {}, "survey has more than 100000 stations"},
        {"huge count", "9223372036854775807000", "100:200", {}, "survey has more than 100000 stations"},
        {"hexadecimal count reads its leading zero", "0x2", "100:200", {}, nullptr},
        {"negative count", "-2", "100:200", {}, nullptr},
        {"count with a sign and spaces", "  +2 rows", "100:200", {{100, 1, 350}, {200, 2, 20}}, nullptr},
    };
    return cases;
}

TEST(SrodFile, SurveyRowsNeverPassTheLists) {
    for (const SurveyCase& c : SurveyCases()) {
        SCOPED_TRACE(c.label);
        ObjPtr obj = ObjWithDesign();
        LogCapture log;
        ASSERT_TRUE(ParseCopy(ParseDesignFileSrod, obj.get(),
                              Document(Element("DeviationDataCount", c.count) + Element("MeasuredDepthArray", c.md) +
                                       Element("InclinationFromVerticalArray", "1:2:3") +
                                       Element("AzimuthFromNorthArray", "-10:20:30"))));
        ExpectSurvey(obj.get(), c.rows);
        if (c.line != nullptr) {
            EXPECT_TRUE(log.Contains(c.line));
        } else {
            EXPECT_FALSE(log.Contains("survey lists hold") || log.Contains("stations"));
        }
    }
}

struct TaperCase {
    const char* label;
    std::string body;
    const char* line;  // null: no line expected
};

std::vector<TaperCase> RefusedTaperCases() {
    const std::string lists = Element("RodTypeArray", "2:2") + Element("TaperDiameterArray", "0.875:0.75") +
                              Element("TaperLengthArray", "1000:900") + Element("TaperModulusArray", "30.5:30.5") +
                              Element("TaperWeightArray", "2.224:1.634");
    return {
        {"count zero", Element("TaperCount", "0") + lists, nullptr},
        {"no count", lists, nullptr},
        {"count over 99", Element("TaperCount", "100") + lists, "\"TaperCount\" 100 is not 1 to 99"},
        {"negative count", Element("TaperCount", "-1") + lists, "\"TaperCount\" -1 is not 1 to 99"},
        {"huge count", Element("TaperCount", "99999999999999999999") + lists, "is not 1 to 99"},
        {"hexadecimal count", Element("TaperCount", "0x2") + lists, nullptr},
        {"count past the lists", Element("TaperCount", "3") + lists, "taper lists hold 2 values, fewer than"},
        {"one list short", Element("TaperCount", "2") + lists.substr(0, lists.find("<TaperWeightArray>")) +
                               Element("TaperWeightArray", "2.224"),
         "taper lists hold 1 values, fewer than \"TaperCount\" 2"},
        {"zero diameter", Element("TaperCount", "2") + lists.substr(0, lists.find("<TaperDiameterArray>")) +
                              Element("TaperDiameterArray", "0.875:0") +
                              lists.substr(lists.find("<TaperLengthArray>")),
         "SROD taper [1] has no usable rod diameter"},
        {"nan diameter", Element("TaperCount", "1") + Element("RodTypeArray", "2") +
                             Element("TaperDiameterArray", "nan") + lists.substr(lists.find("<TaperLengthArray>")),
         "SROD taper [0] has no usable rod diameter"},
    };
}

// A taper list that cannot be read ends the reading: the earlier tapers, tubing and anchor
// depth stay.
TEST(SrodFile, UnreadableTapersEndTheReading) {
    for (const TaperCase& c : RefusedTaperCases()) {
        SCOPED_TRACE(c.label);
        ObjPtr obj = ObjWithDesign();
        const std::vector<TaperBase_t> tapers = PredTapers(obj.get());
        const std::vector<TubingBase_t> tubing = PredTubings(obj.get());
        LogCapture log;
        ASSERT_TRUE(ParseCopy(ParseDesignFileSrod, obj.get(),
                              Document(c.body + Element("TubingSize", "2.875") +
                                       Element("TubingAnchorLocation", "2990"))));
        EXPECT_TRUE(SameBytes(tapers, PredTapers(obj.get())));
        EXPECT_TRUE(SameBytes(tubing, PredTubings(obj.get())));
        EXPECT_EQ(obj->pred.tubings->anchorDepth, 0);
        EXPECT_FALSE(log.Contains("TODO: SROD set tubing"));
        if (c.line != nullptr) {
            EXPECT_TRUE(log.Contains(c.line));
        } else {
            EXPECT_FALSE(log.Contains("TaperCount"));
        }
    }
}

// Without tapers the reading ends quietly after the survey: no tubing and no anchor warnings.
TEST(SrodFile, NoTapersLogNothingAfterTheSurvey) {
    LogCapture log;
    ASSERT_TRUE(ParseCopy(ParseDesignFileSrod, NewObj().get(), Document("")));
    const std::vector<std::string> baseline = log.lines;
    log.Clear();
    ObjPtr obj = NewObj();
    ASSERT_TRUE(ParseCopy(ParseDesignFileSrod, obj.get(),
                          Document(Element("TaperCount", "0") + Element("TubingSize", "2.875") +
                                   Element("TubingAnchorLocation", "2990"))));
    EXPECT_EQ(log.lines, baseline);
    EXPECT_EQ(GetPredTaperCount(obj.get()), 0);
    EXPECT_EQ(GetPredTubingCount(obj.get()), 0);
}

// The fluid gravity becomes 0 on every card, and tapers loaded before follow it.
TEST(SrodFile, ZeroFluidGravityReachesEarlierTapers) {
    ObjPtr obj = ObjWithDesign();
    ASSERT_TRUE(ParseCopy(ParseDesignFileSrod, obj.get(), Document(OneTaper())));
    for (const WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) EXPECT_EQ(card->sgFluid, 0) << card->name;
    EXPECT_EQ(obj->meas.tapers->Rwf, obj->meas.tapers->rodWeight);
    EXPECT_EQ(obj->pred.tapers->Rwf, 1000 * 2.224);
    EXPECT_EQ(obj->measDirty, 1);
}

struct SplitCase {
    const char* text;
    std::vector<double> doubles;
    std::vector<int32_t> ints;
};

const SplitCase kSplits[] = {
    {"1::3", {1, 0, 3}, {1, 0, 3}},
    {"1:2:", {1, 2}, {1, 2}},
    {"", {}, {}},
    {":", {0}, {0}},
    {" 2.5: -7e1 :x", {2.5, -70, 0}, {2, -7, 0}},
    {"0x10:010", {16, 10}, {0, 10}},
    {"99999999999:1", {99999999999.0, 1}, {0, 1}},
    {"-2147483648:2147483647", {-2147483648.0, 2147483647.0}, {INT32_MIN, INT32_MAX}},
};

TEST(SrodFile, ListsSplitAtEveryDelimiter) {
    for (const SplitCase& c : kSplits) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitDoubleList(c.text, ':', SIZE_MAX), c.doubles);
        EXPECT_EQ(SplitIntList(c.text, ':', SIZE_MAX), c.ints);
    }
}

TEST(SrodFile, ListsAreReadNoFurtherThanTheCountAsked) {
    struct Case {
        const char* text;
        size_t maxPieces;
        std::vector<double> values;
    } cases[] = {
        {"1:2:3", 2, {1, 2}}, {"1:2", 2, {1, 2}}, {"1:2:", 3, {1, 2}}, {"1::3", 3, {1, 0, 3}}, {":::", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(SplitDoubleList(c.text, ':', c.maxPieces), c.values);
        std::vector<int32_t> ints(c.values.begin(), c.values.end());
        EXPECT_EQ(SplitIntList(c.text, ':', c.maxPieces), ints);
    }
}

TEST(SrodFile, BuiltInTemplateReceivesOnlyTheWellName) { ExpectBuiltInTemplateReceivesOnlyTheWellName(kSrod); }

TEST(SrodFile, BuiltInTemplateReadsBackCleanly) {
    ObjPtr obj = NewObj();
    LogCapture log;
    ASSERT_TRUE(ParseCopy(ParseDesignFileSrod, obj.get(), SrodTemplate));
    EXPECT_FALSE(log.Contains("differs from record"));
    EXPECT_FALSE(log.Contains("Warning: SROD"));
    EXPECT_EQ(GetPredTaperCount(obj.get()), 3);
    EXPECT_EQ(GetDeviationSurveyCount(obj.get()), 4);
    EXPECT_GT(obj->pred.fluidLevel, 0);
}

TEST(SrodFile, CharacterDataWellNameSurvivesClosingMarkers) {
    ObjPtr obj = NewObj();
    SetWellName(obj.get(), "x ]]> y");
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string("<S><Case><WellName><![CDATA[old]]></WellName></Case></S>"));
    const std::string path = TestTempPath("cdata.inx");
    EXPECT_FALSE(WriteDesignFileSrod(obj.get(), path.c_str(), doc));
    ObjPtr back = NewObj();
    ASSERT_EQ(ParseDesignFile(back.get(), path.c_str()), 1);
    EXPECT_STREQ(GetWellName(back.get()), "x ]]> y");
    std::remove(path.c_str());
}

TEST(SrodFile, ExportsWriteTheBuiltInAndAFileTemplate) {
    ObjPtr obj = NewObj();
    SetWellName(obj.get(), "Exported & <named>");
    const std::string path = TestTempPath("exported.inx");
    EXPECT_EQ(WriteDesignFile(obj.get(), path.c_str()), 0);
    EXPECT_EQ(ReadFileText(path), WithWellName(kSrod, SrodTemplate, "Exported & <named>"));

    EXPECT_EQ(WriteDesignFileWithTemplate(obj.get(), path.c_str(), kMetric), 0);
    ObjPtr back = NewObj();
    ASSERT_EQ(ParseDesignFile(back.get(), path.c_str()), 1);
    EXPECT_STREQ(GetWellName(back.get()), "Exported & <named>");
    EXPECT_EQ(back->pred.fluidLevel, 4000);
    std::remove(path.c_str());

    LogCapture log;
    EXPECT_EQ(WriteDesignFileWithTemplate(obj.get(), path.c_str(), (path + ".missing.inx").c_str()), 0);
    EXPECT_TRUE(log.Contains("Couldn't load custom srod file template"));
    EXPECT_FALSE(FileExists(path));
}

}  // namespace
