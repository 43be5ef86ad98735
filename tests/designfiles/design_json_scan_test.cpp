#include "designfiles/design_json_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "design_test_util.h"
#include "designfiles/design_dispatch.h"
#include "designfiles/design_document.h"
#include "designfiles/design_reader.h"
#include "designfiles/design_survey.h"
#include "model/tesk_obj.h"

using nlohmann::json;

namespace {

ScannedDesign Scan(const std::string& text) {
    ScannedDesign design;
    ScanDesignJson(text.data(), text.size(), &design);
    return design;
}

// Everything the writer saves is what the reader takes, but for the members it never reads.
TEST(DesignJsonScan, KeepsEveryMemberTheReaderTakes) {
    TeskObj obj;
    ASSERT_TRUE(ReadDesignFile(&obj, TESK_DATA_DIR "/fixtures/designfiles/sample_well.json"));
    const std::string text = WriteDesignJson(&obj).dump();
    json expected = json::parse(text);
    expected.erase("platform");
    expected.erase("version");
    for (const char* section : {"diag", "pred"}) {
        for (json& tubing : expected[section]["tubing"]) tubing.erase("weight");
    }
    const json rows = expected["diag"]["dyn"];
    expected["diag"]["dyn"] = json::array();
    const ScannedDesign design = Scan(text);
    EXPECT_EQ(design.doc, expected);
    ASSERT_EQ(design.dyn.count, rows.size());
    EXPECT_TRUE(design.dyn.error.empty());
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(design.dyn.positions[i], rows[i][0].get<double>());
        EXPECT_EQ(design.dyn.loads[i], rows[i][1].get<double>());
    }
}

TEST(DesignJsonScan, DropsWhatTheReaderNeverReads) {
    const std::string text = R"({"lib":[1,0,1,8,9,9,9,9,9,9,9,9,9,9,9,9,9,9],"extra":{"deep":[[[[1]]]]},
        "mia":[[1.0,2.0,3.0,4.0,[5]]],"wellname":{"nested":[1,2]},
        "diag":{"sg_fluid":[1,2,3],"note":"x","pump":{"dia":1.5,"colour":"red"},
                "taper":{"b":{"id":"B","L":1.0,"extra":[1]},"a":{"id":"A"}}},
        "pred":{"dyn":[[1,2]],"fourier":{"p":5,"q":6},"upsc":{"a":1}}})";
    const json expected = json::parse(R"({"lib":[1,0,1,8,9,9,9,9,9,9,9,9,9,9,9,9],
        "mia":[[1.0,2.0,3.0]],"wellname":{},
        "diag":{"sg_fluid":[],"pump":{"dia":1.5},"taper":{"b":{"id":"B","L":1.0},"a":{"id":"A"}}},
        "pred":{"fourier":{"p":5},"upsc":{}}})");
    const ScannedDesign design = Scan(text);
    EXPECT_EQ(design.doc, expected);
    EXPECT_EQ(design.dyn.count, 0u) << "only the measured section's card is read";
}

TEST(DesignJsonScan, ListsKeepOneElementPastTheirLimit) {
    std::string survey = R"({"mia":[)";
    for (size_t i = 0; i < kMaxSurveyStations + 5; ++i) survey += "[0,0,0],";
    survey += R"([0,0,0]],"diag":{"taper":[)";
    for (size_t i = 0; i < kMaxDesignSections + 5; ++i) survey += "{},";
    survey += "{}]}}";
    const ScannedDesign design = Scan(survey);
    EXPECT_EQ(design.doc["mia"].size(), kMaxSurveyStations + 1);
    EXPECT_EQ(design.doc["diag"]["taper"].size(), kMaxDesignSections + 1);
}

TEST(DesignJsonScan, MeasuredRowsAreCheckedInDocumentOrder) {
    struct Case {
        const char* dyn;
        size_t count;
        const char* error;
    } cases[] = {
        {"[[1,2],[3.5,4e3,99,\"x\"]]", 2, ""},
        {"[[1,2],[3]]", 2, "a row is too short"},
        {"[[1,\"2\"],[3]]", 2, "a row element must be a number"},
        {"[[1,2],5,[\"x\",1]]", 3, "a row is too short"},
        {"[{\"a\":[1,2]},[1,2]]", 2, "a row is too short"},
        {"[[[1],2]]", 1, "a row element must be a number"},
        {"[[null,2]]", 1, "a row element must be a number"},
        {"[]", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dyn);
        const ScannedDesign design = Scan(std::string(R"({"diag":{"dyn":)") + c.dyn + "}}");
        EXPECT_EQ(design.doc["diag"]["dyn"], json::array());
        EXPECT_EQ(design.dyn.count, c.count);
        EXPECT_EQ(design.dyn.error, c.error);
    }
    const ScannedDesign rows = Scan(R"({"diag":{"dyn":[[1,2],[3.5,4e3,99,"x"]]}})");
    EXPECT_EQ(rows.dyn.positions, (std::vector<double>{1, 3.5}));
    EXPECT_EQ(rows.dyn.loads, (std::vector<double>{2, 4000}));
    const ScannedDesign notAList = Scan(R"({"diag":{"dyn":{"a":[1,2]}}})");
    EXPECT_EQ(notAList.doc["diag"]["dyn"], json::object());
    EXPECT_EQ(notAList.dyn.count, 0u);
}

TEST(DesignJsonScan, TextThatIsNotJsonThrowsTheParsersMessage) {
    for (const char* text : {"", "{", "{\"a\":[1,2}", "[[[[", "{} x"}) {
        ScannedDesign design;
        try {
            ScanDesignJson(text, std::strlen(text), &design);
            ADD_FAILURE() << text;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find("[json.exception.parse_error"), std::string::npos) << e.what();
        }
    }
}

}  // namespace
