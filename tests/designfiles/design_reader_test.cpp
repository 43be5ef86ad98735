#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "design_test_util.h"
#include "designfiles/design_document.h"
#include "designfiles/design_json_scan.h"
#include "designfiles/design_reader.h"
#include "designfiles/design_survey.h"
#include "engine/fea_node.h"
#include "engine/fourier.h"
#include "log_capture.h"
#include "model/deviation_survey.h"
#include "model/measured_card.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

using nlohmann::json;

namespace {

// The least a document must hold to be read.
const char kMinimal[] =
    R"({"lib":[1,0,1,8],"mia":[],"wellname":"W","diag":{"sg_fluid":1.0},"pred":{"sg_fluid":1.0}})";

json Minimal() { return json::parse(kMinimal); }

bool Read(TeskObj* obj, const json& doc) { return ParseDesignFileTesk(obj, doc.dump().c_str()); }

json WithTaper(json doc, const char* section, const json& taper) {
    doc[section]["taper"] = json::array({taper});
    return doc;
}

const json kTaper = {{"id", "1 in"}, {"L", 5000.0}, {"D", 1.0}, {"W", 2.904}, {"E", 30500000.0}, {"R", 490.0}};
const json kTubing = {{"L", 5000.0}, {"ID", 1.995}, {"OD", 2.375}, {"E", 3e-7}, {"weight", 3.5}, {"W", 4.7}};

}  // namespace

struct HostileCase {
    const char* name;
    std::function<std::string()> text;
};

class HostileJson : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileJson, FailsWithAJsonError) {
    TeskObj obj;
    LogCapture log;
    const std::string text = GetParam().text();
    EXPECT_FALSE(ParseDesignFileTesk(&obj, text.c_str()));
    ASSERT_GE(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[log.lines.size() - 2], "A JSON error occurred");
    EXPECT_NE(log.lines.back().find("[json.exception."), std::string::npos) << log.lines.back();
}

namespace {

HostileCase Raw(const char* name, std::string text) {
    return {name, [text] { return text; }};
}

// The minimal document with one value replaced by raw JSON text (or removed, for null), so
// that the text may hold what a JSON value cannot, such as 1e999.
HostileCase Changed(const char* name, const char* pointer, const char* value) {
    return {name, [pointer, value] {
                static const char kPlaceholder[] = "@replaced@";
                json doc = Minimal();
                const json::json_pointer at(pointer);
                if (value == nullptr) {
                    doc[at.parent_pointer()].erase(at.back());
                    return doc.dump();
                }
                doc[at] = kPlaceholder;
                std::string text = doc.dump();
                return text.replace(text.find(kPlaceholder) - 1, sizeof kPlaceholder + 1, value);
            }};
}

std::string Nested(size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

}  // namespace

INSTANTIATE_TEST_SUITE_P(
    Documents, HostileJson,
    ::testing::Values(
        Raw("NotJson", "design"), Raw("Empty", ""), Raw("Truncated", "{\"lib\":[1,0"), Raw("TopLevelArray", "[]"),
        Raw("TopLevelNull", "null"), Raw("TrailingText", std::string(kMinimal) + "x"),
        Raw("Comment", std::string("/*c*/") + kMinimal), Raw("DeepArrays", Nested(200000)),
        Raw("DeepUnclosed", std::string(200000, '[')), Raw("DeepObjects", [] {
            std::string s;
            for (int i = 0; i < 100000; ++i) s += "{\"a\":";
            return s + "1" + std::string(100000, '}');
        }()),
        Changed("LibMissing", "/lib", nullptr), Changed("LibNotArray", "/lib", "\"1.0.1.8\""),
        Changed("LibShort", "/lib", "[1,0,1]"), Changed("LibString", "/lib/2", "\"1\""),
        Changed("LibNull", "/lib/0", "null"), Changed("LibAboveInt32", "/lib/0", "3000000000"),
        Changed("LibBelowInt32", "/lib/3", "-3000000000.5"), Changed("LibInfinite", "/lib/1", "1e999"),
        Changed("LibFifthString", "/lib/4", "\"x\""), Changed("MiaMissing", "/mia", nullptr),
        Changed("MiaObject", "/mia", "{}"), Changed("MiaRowShort", "/mia", "[[1.0,2.0]]"),
        Changed("MiaRowString", "/mia", "[[1.0,\"2\",3.0]]"), Changed("MiaRowNull", "/mia", "[null]"),
        Changed("MiaInfinite", "/mia", "[[1e999,0.0,0.0]]"), Changed("NameMissing", "/wellname", nullptr),
        Changed("NameNumber", "/wellname", "7"), Changed("DiagMissing", "/diag", nullptr),
        Changed("DiagArray", "/diag", "[1]"), Changed("PredMissing", "/pred", nullptr),
        Changed("PredString", "/pred", "\"x\""), Changed("SgMissing", "/diag/sg_fluid", nullptr),
        Changed("SgNull", "/diag/sg_fluid", "null"), Changed("SgString", "/pred/sg_fluid", "\"1.0\""),
        Changed("SgBoolean", "/pred/sg_fluid", "true"), Changed("SgInfinite", "/diag/sg_fluid", "-1e999"),
        Changed("TaperString", "/diag/taper", "\"rods\""), Changed("TaperNumber", "/pred/taper", "3"),
        Changed("TaperElementArray", "/diag/taper", "[[1]]"), Changed("TaperWithoutId", "/diag/taper", "[{\"L\":1.0}]"),
        Changed("TaperIdNumber", "/pred/taper", "[{\"id\":5}]"),
        Changed("TaperMemberNull", "/diag/taper", "[{\"id\":\"a\",\"L\":null}]"),
        Changed("TaperMemberString", "/diag/taper", "[{\"id\":\"a\",\"D\":\"1\"}]"),
        Changed("TubingBoolean", "/diag/tubing", "false"), Changed("TubingElementNumber", "/pred/tubing", "[2]"),
        Changed("TubingMemberArray", "/pred/tubing", "[{\"E\":[1]}]"),
        Changed("DynRowShort", "/diag/dyn", "[[1.0]]"), Changed("DynRowString", "/diag/dyn", "[[1.0,\"2\"]]"),
        Changed("DynRowNotArray", "/diag/dyn", "[5]"), Changed("DynWithoutSpm", "/diag/dyn", "[[1.0,2.0]]"),
        Changed("EmptyDynWithoutSpm", "/diag/dyn", "[]"), Changed("OverflowInOptionalFloat", "/well_depth", "1e999"),
        Changed("OverflowInIgnoredKey", "/platform", "-1e400")),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

TEST(DesignReader, NullTextFails) {
    TeskObj obj;
    LogCapture log;
    EXPECT_FALSE(ParseDesignFileTesk(&obj, nullptr));
    EXPECT_TRUE(log.Contains("A JSON error occurred"));
}

TEST(DesignReader, DeepValueUnderAnUnknownKeyIsIgnored) {
    TeskObj obj;
    std::string text = kMinimal;
    text.insert(1, "\"extra\":" + Nested(200000) + ",");
    EXPECT_TRUE(ParseDesignFileTesk(&obj, text.c_str()));
}

TEST(DesignReader, StepsBeforeAFailureStayApplied) {
    TeskObj obj;
    json doc = Minimal();
    doc["mia"] = {{100.0, 1.0, 2.0}, {2500.0, 3.0, 4.0}};
    doc["wellname"] = "Applied";
    doc["diag"]["dyn"] = {{1.0, 2.0}};
    EXPECT_FALSE(Read(&obj, doc));
    EXPECT_STREQ(obj.wellName, "Applied");
    EXPECT_EQ(obj.deviationSurvey.size(), 2u);
    EXPECT_EQ(obj.wellDepth, 2500.0);
}

TEST(DesignReader, FloatKeysIgnoreIntegers) {
    TeskObj obj;
    json doc = Minimal();
    doc["pred"]["spm"] = 8;
    doc["diag"]["spm"] = 8.0;
    doc["diag"]["sg_fluid"] = 1;
    doc["pred"]["fillage"] = 1.5;
    doc["well_depth"] = 7000;
    ASSERT_TRUE(Read(&obj, doc));
    EXPECT_EQ(obj.pred.spm, 0.0);
    EXPECT_EQ(obj.meas.spm, 8.0);
    EXPECT_EQ(obj.upsc.spm, 8.0);
    EXPECT_EQ(obj.meas.sgFluid, 1.0);
    EXPECT_EQ(obj.fillage, 1.0);
    EXPECT_EQ(obj.wellDepth, 10000.0);
}

TEST(DesignReader, FillageIsClampedLikeTheWaveParameters) {
    const struct {
        double inFile;
        double stored;
    } cases[] = {{1.5, 1.0}, {-0.25, 0.0}, {0.85, 0.85}, {0.0, 0.0}, {1.0, 1.0}};
    for (const auto& c : cases) {
        TeskObj obj;
        json doc = Minimal();
        doc["pred"]["fillage"] = c.inFile;
        ASSERT_TRUE(Read(&obj, doc));
        EXPECT_EQ(obj.fillage, c.stored) << c.inFile;
        EXPECT_EQ(GetWaveParams(&obj).fillage, c.stored) << c.inFile;
    }
}

TEST(DesignReader, DefaultsForMissingOptionalKeys) {
    TeskObj obj;
    obj.meas.dampUp = obj.upsc.dampDn = obj.pred.dampUp = 0.7;
    obj.fo = 1234.0;
    ASSERT_TRUE(Read(&obj, Minimal()));
    for (const WaveModel* card : {&obj.meas, &obj.upsc, &obj.pred}) {
        EXPECT_EQ(card->dampUp, 0.2) << card->name;
        EXPECT_EQ(card->dampDn, 0.2) << card->name;
    }
    EXPECT_EQ(obj.upsc.PointCount, 4000);
    EXPECT_EQ(obj.fourier->pos.count, 0);
    EXPECT_EQ(obj.fourier->load.count, 0);
    EXPECT_EQ(obj.fo, 1234.0);
    EXPECT_EQ(obj.measDirty, 1);
    EXPECT_EQ(obj.upscDirty, 1);
    EXPECT_EQ(obj.predDirty, 1);
}

TEST(DesignReader, FourierCounts) {
    struct Case {
        const char* fourier;
        int32_t pos, load;
    };
    for (const Case& c : {Case{"{}", 23, 50}, Case{R"({"p":7,"l":9})", 7, 9}, Case{R"({"p":7.0,"l":true})", 23, 50},
                          Case{R"({"p":-4,"l":200000})", 23, 100000}}) {
        TeskObj obj;
        json doc = Minimal();
        doc["pred"]["fourier"] = json::parse(c.fourier);
        doc["pred"]["upsc"] = 0;  // keeps the resampling of a huge count cheap
        LogCapture log;
        ASSERT_TRUE(Read(&obj, doc)) << c.fourier;
        EXPECT_EQ(obj.fourier->pos.count, c.pos) << c.fourier;
        EXPECT_EQ(obj.fourier->load.count, c.load) << c.fourier;
    }
}

TEST(DesignReader, UpscaledPointCountIsRangeChecked) {
    struct Case {
        const char* upsc;
        int32_t count;
        const char* line;
    };
    for (const Case& c : {Case{"250", 250, nullptr}, Case{"0", 0, nullptr}, Case{"250.0", 4000, nullptr},
                          Case{"-5", 4000, "Warning: \"upsc\" is negative; 4000 is used"},
                          Case{"2000000", 1000000, "Warning: \"upsc\" is above 1000000; 1000000 is used"},
                          Case{"18446744073709551615", 1000000, "is above 1000000"}}) {
        TeskObj obj;
        json doc = Minimal();
        doc["pred"]["upsc"] = json::parse(c.upsc);
        LogCapture log;
        ASSERT_TRUE(Read(&obj, doc)) << c.upsc;
        EXPECT_EQ(obj.upsc.PointCount, c.count) << c.upsc;
        if (c.line != nullptr) {
            EXPECT_TRUE(log.Contains(c.line)) << c.upsc;
        }
    }
}

TEST(DesignReader, VersionComparisonLines) {
    struct Case {
        const char* lib;
        const char* line;  // null: no comparison line
    };
    for (const Case& c : {Case{"[0,9,9,9]", "\tNew major version relative to the file"},
                          Case{"[1,0,0,9]", "\tNew revision version relative to the file"},
                          Case{"[2,0,0,0]", "\tNew revision version relative to the file"},
                          Case{"[1,0,1,7]", "\tNew build version relative to the file"},
                          Case{"[1,0,1,8]", nullptr}, Case{"[1,0,2,9]", nullptr},
                          // A newer file minor does not end the comparison: the revision still counts.
                          Case{"[1,1,0,0]", "\tNew revision version relative to the file"}}) {
        TeskObj obj;
        json doc = Minimal();
        doc["lib"] = json::parse(c.lib);
        LogCapture log;
        ASSERT_TRUE(Read(&obj, doc)) << c.lib;
        EXPECT_EQ(log.Count("relative to the file"), c.line != nullptr ? 1u : 0u) << c.lib;
        if (c.line != nullptr) {
            EXPECT_TRUE(log.Contains(c.line)) << c.lib;
        }
    }
}

TEST(DesignReader, VersionElementsAreCutToIntegers) {
    TeskObj obj;
    json doc = Minimal();
    doc["lib"] = json::parse(R"([1.9,true,0,8,99])");
    LogCapture log;
    ASSERT_TRUE(Read(&obj, doc));
    EXPECT_TRUE(log.Contains("the file ver 1 1 0 8"));
    EXPECT_TRUE(log.Contains("TESK file version: 1 1 0 8"));
}

TEST(DesignReader, NamesAreCutToTheirFieldsAtCharacterBoundaries) {
    TeskObj obj;
    json doc = Minimal();
    doc["wellname"] = std::string(100, 'n');
    doc = WithTaper(doc, "diag", {{"id", std::string(40, 'i')}, {"L", 100.0}});
    doc["pred"]["taper"] = {{{"id", std::string(31, 'p') + "\xc3\xa9"}, {"L", 100.0}}};
    ASSERT_TRUE(Read(&obj, doc));
    EXPECT_EQ(std::string(obj.wellName), std::string(63, 'n'));
    EXPECT_EQ(std::string(obj.meas.tapers->items[0].id, 32), std::string(32, 'i'));
    EXPECT_EQ(std::string(obj.pred.tapers->items[0].id, 32), std::string(31, 'p') + '\0');
}

TEST(DesignReader, TapersGoToBothDiagnosticCards) {
    TeskObj obj;
    json doc = WithTaper(Minimal(), "diag", kTaper);
    doc["diag"]["sg_fluid"] = 0.9;
    LogCapture log;
    ASSERT_TRUE(Read(&obj, doc));
    EXPECT_TRUE(log.Contains("Setting Diag Taper:"));
    for (const WaveModel* card : {&obj.meas, &obj.upsc}) {
        ASSERT_NE(card->tapers, nullptr) << card->name;
        EXPECT_EQ(card->tapers->count, 1);
        EXPECT_EQ(card->tapers->items[0].L, 5000.0);
        EXPECT_EQ(card->sgFluid, 0.9);
        EXPECT_EQ(card->cdtDirty, 1);
    }
    EXPECT_EQ(obj.pred.tapers, nullptr);
}

TEST(DesignReader, TaperObjectGivesMembersInNameOrder) {
    TeskObj obj;
    json doc = Minimal();
    doc["pred"]["taper"] = {{"b", {{"id", "second"}, {"L", 1.0}}}, {"a", {{"id", "first"}, {"L", 2.0}}}};
    ASSERT_TRUE(Read(&obj, doc));
    ASSERT_EQ(obj.pred.tapers->count, 2);
    EXPECT_STREQ(obj.pred.tapers->items[0].id, "first");
    EXPECT_STREQ(obj.pred.tapers->items[1].id, "second");
}

TEST(DesignReader, EmptyListsKeepTheCardsTapersAndTubing) {
    TeskObj obj;
    json doc = WithTaper(Minimal(), "pred", kTaper);
    doc["pred"]["tubing"] = {kTubing};
    doc["pred"]["pump_depth"] = 5000.0;
    doc["pred"]["anchor_depth"] = 4000.0;
    ASSERT_TRUE(Read(&obj, doc));
    const TaperList* tapers = obj.pred.tapers;
    doc["pred"]["taper"] = json::array();
    doc["pred"]["tubing"] = json::object();
    doc["pred"]["pump_depth"] = 100.0;
    LogCapture log;
    ASSERT_TRUE(Read(&obj, doc));
    EXPECT_EQ(obj.pred.tapers, tapers);
    EXPECT_EQ(obj.pred.tubings->pumpDepth, 5000.0);
    EXPECT_EQ(obj.pred.tubings->anchorDepth, 4000.0);
    EXPECT_FALSE(log.Contains("Setting Pred"));
}

TEST(DesignReader, TubingDepthsAndTotals) {
    TeskObj obj;
    json doc = Minimal();
    doc["diag"]["tubing"] = {kTubing};
    doc["diag"]["pump_depth"] = 5000.0;
    doc["diag"]["anchor_depth"] = 4000.0;
    doc["pred"]["tubing"] = {kTubing};
    ASSERT_TRUE(Read(&obj, doc));
    for (const WaveModel* card : {&obj.meas, &obj.upsc}) {
        EXPECT_EQ(card->tubings->pumpDepth, 5000.0) << card->name;
        EXPECT_EQ(card->tubings->anchorDepth, 4000.0) << card->name;
        EXPECT_EQ(card->tubings->items[0].weight, 0.0) << card->name;
        // The stretching tubing runs from anchor to pump: Kt = 1 / (length x E).
        EXPECT_NEAR(card->tubings->Kt, 1.0 / (1000.0 * 3e-7), 1e-6) << card->name;
        EXPECT_NEAR(card->tubings->KtWhole, 1.0 / (5000.0 * 3e-7), 1e-6) << card->name;
    }
    EXPECT_EQ(obj.pred.tubings->pumpDepth, 0.0);
    EXPECT_EQ(obj.pred.tubings->anchorDepth, 0.0);
}

TEST(DesignReader, NewFluidGravityUpdatesTaperTotals) {
    TeskObj obj;
    const TaperBase_t taper = Taper("a", 5000.0, 1.0, 2.904);
    ASSERT_TRUE(SetCardTapers(&obj.pred, &taper, 1, 1.0));
    const double rwfAtOne = obj.pred.tapers->Rwf;
    json doc = Minimal();
    doc["pred"]["sg_fluid"] = 0.5;
    ASSERT_TRUE(Read(&obj, doc));
    TeskObj reference;
    ASSERT_TRUE(SetCardTapers(&reference.pred, &taper, 1, 0.5));
    EXPECT_NE(obj.pred.tapers->Rwf, rwfAtOne);
    EXPECT_DOUBLE_EQ(obj.pred.tapers->Rwf, reference.pred.tapers->Rwf);
    EXPECT_EQ(obj.predDirty, 1);
}

// A read that stops after the new gravity must not leave built nodes with the old buoyancy.
TEST(DesignReader, NewFluidGravityRefreshesBuiltNodes) {
    auto buildAt = [](TeskObj* obj, double sg) {
        const TaperBase_t taper = Taper("a", 5000.0, 1.0, 2.904);
        obj->meas.sgFluid = sg;
        ASSERT_TRUE(SetCardTapers(&obj->meas, &taper, 1, sg));
        double positions[60];
        double loads[60];
        for (int i = 0; i < 60; ++i) {
            positions[i] = 50.0 - 50.0 * std::cos(2.0 * M_PI * i / 60.0);
            loads[i] = 12000.0 + 4000.0 * std::sin(2.0 * M_PI * i / 60.0);
        }
        ASSERT_TRUE(LoadDynArrays(obj, 6.0, positions, loads, 60));
        ASSERT_TRUE(PrepareCard(&obj->meas));
        ASSERT_GT(obj->meas.FeaNodeCount, 0);
    };
    TeskObj changed;
    TeskObj fresh;
    buildAt(&changed, 1.0);
    buildAt(&fresh, 0.7);
    json doc = Minimal();
    doc["diag"]["sg_fluid"] = 0.7;
    doc.erase("pred");
    EXPECT_FALSE(Read(&changed, doc));
    EXPECT_EQ(changed.meas.nodesDirty, 0);
    ASSERT_EQ(changed.meas.FeaNodeCount, fresh.meas.FeaNodeCount);
    for (int32_t j = 0; j < fresh.meas.FeaNodeCount; ++j) {
        EXPECT_DOUBLE_EQ(changed.meas.nodes[j].weightBelow, fresh.meas.nodes[j].weightBelow) << j;
        EXPECT_DOUBLE_EQ(changed.meas.nodes[j].fluidLoad, fresh.meas.nodes[j].fluidLoad) << j;
    }
    EXPECT_EQ(changed.measDirty, 1);
}

TEST(DesignReader, EmptyDynSetsOnlyTheMeasuredSpeed) {
    TeskObj obj;
    const double positions[2] = {1, 2};
    const double loads[2] = {3, 4};
    ASSERT_TRUE(LoadDynArrays(&obj, 5, positions, loads, 2));
    json doc = Minimal();
    doc["diag"]["dyn"] = json::array();
    doc["diag"]["spm"] = 6.5;
    ASSERT_TRUE(Read(&obj, doc));
    EXPECT_EQ(obj.meas.PointCount, 2);
    EXPECT_EQ(obj.meas.surfaceLoad[1], 4.0);
    EXPECT_EQ(obj.meas.spm, 6.5);
}

TEST(DesignReader, DynLoadsTheMeasuredCard) {
    TeskObj obj;
    json doc = Minimal();
    doc["diag"]["dyn"] = {{1.0, 10.0}, {2, 20}, {3.0, 30.0, "extra"}};
    doc["diag"]["spm"] = 7;
    ASSERT_TRUE(Read(&obj, doc));
    ASSERT_EQ(obj.meas.PointCount, 3);
    EXPECT_EQ(obj.meas.surfacePos[1], 2.0);
    EXPECT_EQ(obj.meas.surfaceLoad[2], 30.0);
    EXPECT_EQ(obj.meas.spm, 7.0);
    EXPECT_DOUBLE_EQ(obj.upsc.period, 60.0 / 7.0);
}

TEST(DesignReader, RefusedDynIsLoggedAndTheReadGoesOn) {
    TeskObj obj;
    json doc = Minimal();
    doc["diag"]["dyn"] = {{1.0, 10.0}};
    doc["diag"]["spm"] = 0.0;
    doc["pred"]["fo"] = 2000.0;
    LogCapture log;
    ASSERT_TRUE(Read(&obj, doc));
    EXPECT_TRUE(log.Contains("Warning: the measured card of the design was refused"));
    EXPECT_EQ(obj.meas.PointCount, 0);
    EXPECT_EQ(obj.fo, 2000.0);
}

TEST(DesignReader, ASurveyPastTheLimitIsNotReadAndTheReadGoesOn) {
    for (size_t rows : {kMaxSurveyStations, kMaxSurveyStations + 1}) {
        TeskObj obj;
        const MiaPoint_t old[] = {{100, 1, 2}};
        ASSERT_TRUE(StoreDeviationSurveyRows(&obj, 1, old));
        json doc = Minimal();
        doc["mia"] = json::array();
        for (size_t i = 0; i < rows; ++i) doc["mia"].push_back({i * 1.0, 0.5, 90.0});
        doc["wellname"] = "Surveyed";
        LogCapture log;
        ASSERT_TRUE(Read(&obj, doc)) << rows;
        const bool read = rows <= kMaxSurveyStations;
        EXPECT_EQ(obj.deviationSurvey.size(), read ? rows : 0u) << rows;
        EXPECT_EQ(log.Contains("Warning: the JSON design's survey has more than 100000 stations; no survey was read"),
                  !read);
        EXPECT_STREQ(obj.wellName, "Surveyed");
    }
}

TEST(DesignReader, TaperAndTubingListsPastTheLimitAreJsonErrors) {
    for (const char* key : {"taper", "tubing"}) {
        TeskObj obj;
        json doc = Minimal();
        doc["pred"][key] = json::array();
        for (size_t i = 0; i <= kMaxDesignSections; ++i) doc["pred"][key].push_back(std::string(key) == "taper" ? kTaper : kTubing);
        LogCapture log;
        EXPECT_FALSE(Read(&obj, doc)) << key;
        EXPECT_TRUE(log.Contains("A JSON error occurred"));
        EXPECT_TRUE(log.Contains(std::string("\"") + key + "\" holds more than 10000 elements")) << key;
    }
}

// One read fits each series and resamples the upscaled card once, and ends as the steps one by
// one would: the card loaded, then each count applied in turn.
TEST(DesignReader, OneFitAndResamplingEndAsTheStepsOneByOne) {
    struct Case {
        const char* name;
        const char* fourier;  // null: no "fourier" member
        int32_t pos, load;    // the counts applied step by step; 0 leaves a series alone
    };
    const Case cases[] = {
        {"new counts", R"({"p":9,"l":12})", 9, 12},
        {"a refused count keeps the old one, refitted to the new card", R"({"p":0,"l":12})", 0, 12},
        {"no counts refit the old ones", nullptr, 0, 0},
    };
    std::vector<double> positions, loads;
    json dyn = json::array();
    for (int i = 0; i < 90; ++i) {
        positions.push_back(40 * (1 - std::cos(i * M_PI / 45)) + (i % 7) * 0.1);
        loads.push_back(9000 + 2500 * std::sin(i * M_PI / 45) + (i % 5) * 3.0);
        dyn.push_back({positions.back(), loads.back()});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TeskObj read, stepped;
        for (TeskObj* obj : {&read, &stepped}) {
            const double oldPositions[] = {1, 2, 3, 2};
            const double oldLoads[] = {5, 6, 7, 6};
            ASSERT_TRUE(LoadDynArrays(obj, 6, oldPositions, oldLoads, 4));
            ApplyFourierCoeffCount(obj, &obj->fourier->pos, obj->meas.surfacePos, 5);
            ApplyFourierCoeffCount(obj, &obj->fourier->load, obj->meas.surfaceLoad, 7);
        }
        json doc = Minimal();
        doc["diag"]["dyn"] = dyn;
        doc["diag"]["spm"] = 8.0;
        doc["pred"]["upsc"] = 360;
        if (c.fourier != nullptr) doc["pred"]["fourier"] = json::parse(c.fourier);
        ASSERT_TRUE(Read(&read, doc));

        ASSERT_TRUE(LoadDynArrays(&stepped, 8, positions.data(), loads.data(), 90));
        ApplyUpscaledPointCount(&stepped, 360);
        if (c.pos > 0) ApplyFourierCoeffCount(&stepped, &stepped.fourier->pos, stepped.meas.surfacePos, c.pos);
        if (c.load > 0) ApplyFourierCoeffCount(&stepped, &stepped.fourier->load, stepped.meas.surfaceLoad, c.load);

        for (const auto series : {&CardFourierFit::pos, &CardFourierFit::load}) {
            const FourierSeries& a = read.fourier->*series;
            const FourierSeries& b = stepped.fourier->*series;
            ASSERT_EQ(a.count, b.count);
            for (int32_t k = 0; k < a.count; ++k) {
                EXPECT_EQ(a.cosCoeffs[k], b.cosCoeffs[k]);
                EXPECT_EQ(a.sinCoeffs[k], b.sinCoeffs[k]);
            }
        }
        ASSERT_EQ(read.upsc.PointCount, 360);
        for (int32_t i = 0; i < 360; ++i) {
            ASSERT_EQ(read.upsc.surfacePos[i], stepped.upsc.surfacePos[i]) << i;
            ASSERT_EQ(read.upsc.surfaceLoad[i], stepped.upsc.surfaceLoad[i]) << i;
        }
    }
}
