#include "designfiles/rodstar_file.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <sstream>
#include <string>

#include "designfiles/builtin_templates.h"
#include "designfiles/design_survey.h"
#include "design_test_util.h"
#include "dynofiles/comma_locale.h"
#include "log_capture.h"
#include "model/taper_list.h"
#include "model/tubing_list.h"
#include "temp_path.h"
#include "xml_design_test_util.h"

namespace {

const char kFixture[] = TESK_DATA_DIR "/fixtures/designfiles/cedar_bend.rsx";
const XmlFormat kRodstar{ParseDesignFileRodstar, WriteDesignFileRodstar, RodstarTemplate, "r:input", "r:well-name",
                         "well.rsx"};

std::string Document(const std::string& input) {
    return "<?xml version=\"1.0\"?>\n<r:rodstar-data xmlns:r=\"urn:tesk:rodstar-design\"><r:input>" + input +
           "</r:input></r:rodstar-data>";
}

std::string Taper(const char* order, const char* length, const char* size, const char* grade) {
    return std::string("<r:rod-taper Order=\"") + order + "\"><r:taper-length>" + length +
           "</r:taper-length><r:taper-size>" + size + "</r:taper-size><r:rodtype-steel>" + grade +
           "</r:rodtype-steel><r:taper-tensile-strength>115000</r:taper-tensile-strength></r:rod-taper>";
}

TEST(RodstarFile, FixtureReachesEveryCardAndField) {
    ObjPtr obj = NewObj();
    const WaveParams_t before = GetWaveParams(obj.get());
    LogCapture log;
    ASSERT_EQ(ParseDesignFile(obj.get(), kFixture), 1);

    EXPECT_STREQ(GetWellName(obj.get()), "Cedar Bend 7");
    const WaveParams_t p = GetWaveParams(obj.get());
    EXPECT_EQ(p.predSpm, 7.25);
    EXPECT_EQ(obj->pred.period, 60 / 7.25);
    EXPECT_EQ(p.diagSpm, before.diagSpm);
    EXPECT_EQ(p.predDampUp, 0.135);
    EXPECT_EQ(p.predDampDn, 0.135);
    EXPECT_EQ(p.diagDampUp, before.diagDampUp);
    EXPECT_EQ(p.diagDampDn, before.diagDampDn);
    for (const WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) {
        SCOPED_TRACE(card->name);
        EXPECT_EQ(card->fluidLevel, 3875.5);
        EXPECT_EQ(card->sgFluid, 0.985);
        EXPECT_EQ(card->pumpDia, 1.5);
        EXPECT_EQ(card->pumpLen, 0);
        EXPECT_EQ(card->pumpFit, 0);
        EXPECT_EQ(card->pressureTubing, 120.5);
        EXPECT_EQ(card->pressureCasing, 45.25);
        ASSERT_NE(card->tubings, nullptr);
        EXPECT_EQ(card->tubings->anchorDepth, 4050.75);
        EXPECT_EQ(card->tubings->pumpDepth, 4105);
    }
    EXPECT_EQ(p.diagFluidLevel, 3875.5);
    EXPECT_EQ(p.predSg, 0.985);
    EXPECT_EQ(p.predPressureCasing, 45.25);
    EXPECT_EQ(p.predAnchorDepth, 4050.75);
    EXPECT_EQ(p.diagPumpDepth, 4105);

    const std::vector<DeviationPoint_t> survey = Survey(obj.get());
    ASSERT_EQ(survey.size(), 3u);
    const double rows[3][3] = {{100, 0.5, 10}, {2000, 2.25, 135.5}, {4100, 6.75, 270.25}};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(survey[i].md, rows[i][0]);
        EXPECT_EQ(survey[i].inclination, rows[i][1]);
        EXPECT_EQ(survey[i].azimuth, rows[i][2]);
    }
    EXPECT_EQ(p.wellDepth, 4100);

    // API D from the catalogue; FIBERFLEX by its fiberglass grade; COROD D does not come in
    // 1.287 in, so the file's size stays and the weight is the steel table's.
    const std::vector<TaperBase_t> tapers = PredTapers(obj.get());
    ASSERT_EQ(tapers.size(), 3u);
    ExpectTaper(tapers[0], 1225, 1, 2.904, 115000, 30500000, 492);
    ExpectTaper(tapers[1], 1550, 0.875, 0.61, -1, 7200000, 153);
    ExpectTaper(tapers[2], 1330, 1.287, 1.552, 115000, 29000000, 492);
    EXPECT_EQ(GetDiagTaperCount(obj.get()), 0);
    EXPECT_EQ(obj->pred.tapers->totalLength, 4105);

    ExpectOneSection(PredTubings(obj.get()), 4105, 0);
    ExpectOneSection(DiagTubings(obj.get()), 4105, 0);
    EXPECT_EQ(obj->upsc.tubings->items[0].L, 4105);
    EXPECT_EQ(obj->measDirty + obj->upscDirty + obj->predDirty, 3);

    EXPECT_EQ(log.Count("ParseDesignFileRodstar"), 1u);
    EXPECT_TRUE(log.Contains("tapercount: 3 --- "));
    EXPECT_EQ(log.Count("Error: Rodstar Tensile doesnt match database"), 1u);
    EXPECT_TRUE(log.Contains("Error: Rodstar Tensile doesnt match database (taper order #2)"));
    EXPECT_EQ(log.Count("the file's size is kept"), 1u);
    EXPECT_TRUE(log.Contains("taper order #3: the catalogue lists no size 1.287000 for \"COROD D\""));
    EXPECT_TRUE(log.Contains("TODO: RODSTAR set tubing"));
    EXPECT_FALSE(log.Contains("not sorted"));
    EXPECT_FALSE(log.Contains("anchor depth before the tubing"));
    EXPECT_FALSE(log.Contains("Could not set Pump Depth"));
}

TEST(RodstarFile, WellNameAloneClearsTheOtherValues) {
    ObjPtr obj = NewObj();
    LogCapture log;
    ASSERT_TRUE(ParseCopy(ParseDesignFileRodstar, obj.get(), Document("<r:well-name>Lone</r:well-name>")));
    EXPECT_STREQ(GetWellName(obj.get()), "Lone");
    const WaveParams_t p = GetWaveParams(obj.get());
    EXPECT_EQ(p.predSpm, 0);
    EXPECT_EQ(p.predDampUp, 0);
    EXPECT_EQ(p.predDampDn, 0);
    for (const WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) {
        for (double value : {card->fluidLevel, card->sgFluid, card->pumpDia, card->pumpLen, card->pumpFit,
                             card->pressureTubing, card->pressureCasing}) {
            EXPECT_EQ(value, 0) << card->name;
        }
    }
    EXPECT_EQ(GetDeviationSurveyCount(obj.get()), 0);
    EXPECT_TRUE(log.Contains("tapercount: 0 --- (nil)"));
    EXPECT_TRUE(log.Contains("Didn't load taper from the rodstar file"));
    for (const char* card : {"MEAS", "UPSC", "PRED"}) {
        EXPECT_TRUE(log.Contains(std::string("WARNING: ") + card + " trying to set anchor depth before the tubing "
                                                                   "was defined"));
    }
    EXPECT_EQ(log.Count("Could not set Pump Depth because the tubing is not set"), 3u);
}

// A new specific gravity reaches the buoyant weight of tapers loaded before, and the cards that
// really changed are marked for solving.
TEST(RodstarFile, NewFluidGravityUpdatesExistingTaperTotals) {
    ObjPtr obj = ObjWithDesign();
    ASSERT_TRUE(ParseCopy(ParseDesignFileRodstar, obj.get(),
                          Document("<r:fluid-spgr>1.2</r:fluid-spgr><r:tubing-anchor-depth>2900</r:tubing-anchor-depth>")));
    const TaperList* list = obj->meas.tapers;
    ASSERT_NE(list, nullptr);
    const TaperItem& t = list->items[0];
    EXPECT_DOUBLE_EQ(list->Rwf, (1 - 1.2 / (t.R / 62.4)) * t.L * t.W);
    EXPECT_EQ(obj->measDirty, 1);
    EXPECT_EQ(obj->upscDirty, 1);
    // "PRED" keeps its tapers, and its tubing is rebuilt as long as them with the new anchor.
    EXPECT_EQ(GetPredTaperCount(obj.get()), 1);
    EXPECT_EQ(obj->pred.tubings->totalLength, 3000);
    EXPECT_EQ(obj->pred.tubings->anchorDepth, 2900);
    EXPECT_EQ(obj->meas.tubings->anchorDepth, 2900);
}

std::vector<RefusedText> RefusedTexts() {
    const std::string fixture = ReadFileText(kFixture);
    return {
        {"binary junk", std::string("\x7f" "ELF\x02\x01\x01\xff\xfe junk <<>>"), "is not well-formed XML"},
        {"truncated", fixture.substr(0, fixture.size() / 2), "is not well-formed XML"},
        {"json", R"({"wellname": "json well", "lib": [1, 0, 1, 8]})", "is not well-formed XML"},
        {"empty", "", "is not well-formed XML"},
        {"no input element", "<r:rodstar-data><r:output><r:well-name>x</r:well-name></r:output></r:rodstar-data>",
         "has no \"r:input\" element"},
        {"input as the root", "<r:input><r:well-name>x</r:well-name></r:input>", "has no \"r:input\" element"},
        {"srod document", "<SrodDesign><Case><WellName>x</WellName></Case></SrodDesign>",
         "has no \"r:input\" element"},
    };
}

TEST(RodstarFile, RefusedTextsLeaveTheObjectUnchanged) {
    ExpectRefusedTextsLeaveTheObjectUnchanged(kRodstar, RefusedTexts(), "Error: no Rodstar design text", 'R');
}

struct TaperCase {
    const char* label;
    std::string tapers;
    int32_t predTaperCount;  // the earlier design has 1
    const char* line;
};

std::string ManyTapers(int count) {
    std::string tapers;
    for (int i = 1; i <= count; ++i) tapers += Taper(std::to_string(i).c_str(), "10", "0.875", "API D");
    return tapers;
}

std::vector<TaperCase> TaperCases() {
    return {
        {"ninety-nine tapers load", ManyTapers(99), 99, "tapercount: 99 --- 0x"},
        {"a hundred tapers do not", ManyTapers(100), 1, "tapercount: 100 --- (nil)"},
        {"missing size", Taper("1", "1000", "", "API D"), 1, "has no usable rod size"},
        {"zero size", Taper("1", "1000", "0", "API D"), 1, "has no usable rod size"},
        {"negative size", Taper("1", "1000", "-0.875", "API D"), 1, "has no usable rod size"},
        {"nan size", Taper("1", "1000", "nan", "API D"), 1, "has no usable rod size"},
        {"infinite size", Taper("1", "1000", "inf", "API D"), 1, "has no usable rod size"},
        {"order out of step", Taper("1", "1000", "0.875", "API D") + Taper("3", "900", "0.75", "API D"), 2,
         "ERROR: taper parsing order not sorted! 3, 2"},
        {"hexadecimal order is not read as hex", Taper("0x1", "10", "1", "API D"), 1,
         "ERROR: taper parsing order not sorted! 0, 1"},
        {"size in neither the catalogue nor the weight table", Taper("1", "1000", "0.8125", "API D"), 1,
         "Unsupported Rod Diameter"},
        {"unknown grade and size", Taper("1", "1000", "1.287", "NO SUCH ROD"), 1,
         "the catalogue lists no size 1.287000 for \"NO SUCH ROD\""},
    };
}

TEST(RodstarFile, TaperTable) {
    for (const TaperCase& c : TaperCases()) {
        SCOPED_TRACE(c.label);
        ObjPtr obj = ObjWithDesign();
        LogCapture log;
        ASSERT_TRUE(ParseCopy(ParseDesignFileRodstar, obj.get(),
                              Document("<r:fluid-spgr>1</r:fluid-spgr><r:rod-tapers>" + c.tapers + "</r:rod-tapers>")));
        EXPECT_EQ(GetPredTaperCount(obj.get()), c.predTaperCount);
        EXPECT_TRUE(log.Contains(c.line));
        for (const TaperBase_t& taper : PredTapers(obj.get())) EXPECT_GT(taper.D, 0);
    }
}

// Two tapers out of step keep the file's order.
TEST(RodstarFile, TapersStayInFileOrder) {
    ObjPtr obj = NewObj();
    ASSERT_TRUE(ParseCopy(ParseDesignFileRodstar, obj.get(),
                          Document("<r:rod-tapers>" + Taper("1", "1000", "0.875", "API D") +
                                   Taper("3", "900", "0.75", "API D") + "</r:rod-tapers>")));
    const std::vector<TaperBase_t> tapers = PredTapers(obj.get());
    ASSERT_EQ(tapers.size(), 2u);
    EXPECT_EQ(tapers[0].L, 1000);
    EXPECT_EQ(tapers[1].L, 900);
}

TEST(RodstarFile, SurveyKeepsFileOrderAndReportsOrdersOutOfStep) {
    ObjPtr obj = NewObj();
    LogCapture log;
    ASSERT_TRUE(ParseCopy(ParseDesignFileRodstar, obj.get(),
                          Document("<r:deviation-survey><r:survey-point Order=\"7\"><r:measured-depth>300"
                                   "</r:measured-depth></r:survey-point><r:survey-point><r:measured-depth>200"
                                   "</r:measured-depth><r:azimuth>-45</r:azimuth></r:survey-point>"
                                   "</r:deviation-survey>")));
    const std::vector<DeviationPoint_t> survey = Survey(obj.get());
    ASSERT_EQ(survey.size(), 2u);
    EXPECT_EQ(survey[0].md, 300);
    EXPECT_EQ(survey[1].md, 200);
    EXPECT_EQ(survey[1].azimuth, -45);
    EXPECT_TRUE(log.Contains("ERROR: dev survey parsing order not sorted! 7, 1"));
    EXPECT_TRUE(log.Contains("ERROR: dev survey parsing order not sorted! 0, 2"));
}

TEST(RodstarFile, ASurveyPastTheLimitIsNotRead) {
    for (size_t points : {kMaxSurveyStations, kMaxSurveyStations + 1}) {
        std::string survey = "<r:deviation-survey>";
        for (size_t i = 1; i <= points; ++i) {
            survey += "<r:survey-point Order=\"" + std::to_string(i) + "\"><r:measured-depth>" + std::to_string(i) +
                      "</r:measured-depth></r:survey-point>";
        }
        ObjPtr obj = NewObj();
        LogCapture log;
        ASSERT_TRUE(ParseCopy(ParseDesignFileRodstar, obj.get(), Document(survey + "</r:deviation-survey>")));
        const bool read = points <= kMaxSurveyStations;
        EXPECT_EQ(GetDeviationSurveyCount(obj.get()), read ? static_cast<int32_t>(points) : 0);
        EXPECT_EQ(log.Contains("Warning: the Rodstar design's survey has more than 100000 stations; no survey was read"),
                  !read);
    }
}

// Numbers are read the same way whatever the host's locale says.
TEST_F(HostCommaLocale, RodstarReadNumbersKeepTheirPoint) {
    ObjPtr obj = NewObj();
    ASSERT_TRUE(UnderCommaLocale([&] {
        return ParseCopy(ParseDesignFileRodstar, obj.get(), Document("<r:pumping-speed>7.25</r:pumping-speed>"));
    }));
    EXPECT_EQ(obj->pred.spm, 7.25);
}

TEST(RodstarFile, BuiltInTemplateReceivesOnlyTheWellName) { ExpectBuiltInTemplateReceivesOnlyTheWellName(kRodstar); }

// The built-in template is a design of its own, consistent with the catalogue.
TEST(RodstarFile, BuiltInTemplateReadsBackCleanly) {
    ObjPtr obj = NewObj();
    LogCapture log;
    ASSERT_TRUE(ParseCopy(ParseDesignFileRodstar, obj.get(), RodstarTemplate));
    EXPECT_FALSE(log.Contains("Tensile doesnt match"));
    EXPECT_FALSE(log.Contains("lists no size"));
    EXPECT_FALSE(log.Contains("not sorted"));
    EXPECT_FALSE(log.Contains("Unsupported Rod Diameter"));
    const std::vector<TaperBase_t> tapers = PredTapers(obj.get());
    ASSERT_EQ(tapers.size(), 3u);
    EXPECT_EQ(obj->pred.tapers->totalLength, GetWaveParams(obj.get()).predPumpDepth);
    EXPECT_EQ(GetDeviationSurveyCount(obj.get()), 4);
}

struct TemplateCase {
    const char* label;
    const char* xml;
    bool named;  // whether the well name reaches the file
};

const TemplateCase kTemplates[] = {
    {"character data", "<a><r:input><r:well-name><![CDATA[old]]></r:well-name></r:input></a>", true},
    {"text after an element", "<a><r:input><r:well-name><b/>old</r:well-name></r:input></a>", true},
    {"empty well name", "<a><r:input><r:well-name/></r:input></a>", false},
    {"element last", "<a><r:input><r:well-name>old<b/></r:well-name></r:input></a>", false},
    {"no input", "<a><r:well-name>old</r:well-name></a>", false},
};

TEST(RodstarFile, TemplatesWithoutATextNodeAreSavedUnchanged) {
    const char* name = "Tank ]]> 9 & <co>";
    for (const TemplateCase& c : kTemplates) {
        SCOPED_TRACE(c.label);
        ObjPtr obj = NewObj();
        SetWellName(obj.get(), name);
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string(c.xml));
        const std::string path = TestTempPath("template.rsx");
        EXPECT_FALSE(WriteDesignFileRodstar(obj.get(), path.c_str(), doc));
        pugi::xml_document written;
        ASSERT_TRUE(written.load_file(path.c_str()));
        const std::string wellName = written.first_child().child("r:input").child("r:well-name").text().get();
        EXPECT_EQ(wellName == name, c.named);
        std::remove(path.c_str());
    }
}

TEST(RodstarFile, FailedSaveIsReportedAndASavedOneReplacesTheOldFile) {
    ObjPtr obj = NewObj();
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(RodstarTemplate));
    LogCapture log;
    EXPECT_FALSE(WriteDesignFileRodstar(obj.get(), (TestTempPath("missing") + "/dir/well.rsx").c_str(), doc));
    EXPECT_TRUE(log.Contains("Error saving file"));

    const std::string path = TestTempPath("old.rsx");
    WriteFileText(path, "old design");
    EXPECT_FALSE(WriteDesignFileRodstar(obj.get(), path.c_str(), doc));
    EXPECT_NE(ReadFileText(path).find("<r:well-name>New Well</r:well-name>"), std::string::npos);
    std::remove(path.c_str());
}

// Through the exports: the file is written although the result says it is not a full export,
// and a design file serves as a template of its own format.
TEST(RodstarFile, ExportsWriteTheBuiltInAndAFileTemplate) {
    ObjPtr obj = NewObj();
    SetWellName(obj.get(), "Exported & <named>");
    const std::string path = TestTempPath("exported.rsx");
    EXPECT_EQ(WriteDesignFile(obj.get(), path.c_str()), 0);
    EXPECT_EQ(ReadFileText(path), WithWellName(kRodstar, RodstarTemplate, "Exported & <named>"));

    EXPECT_EQ(WriteDesignFileWithTemplate(obj.get(), path.c_str(), kFixture), 0);
    ObjPtr back = NewObj();
    ASSERT_EQ(ParseDesignFile(back.get(), path.c_str()), 1);
    EXPECT_STREQ(GetWellName(back.get()), "Exported & <named>");
    EXPECT_EQ(GetWaveParams(back.get()).predFluidLevel, 3875.5);
    EXPECT_EQ(GetPredTaperCount(back.get()), 3);
    std::remove(path.c_str());
}

}  // namespace
