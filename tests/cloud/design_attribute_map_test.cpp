// The design map of a stored design, both ways, with the log lines each refusal leaves.
#include <gtest/gtest.h>

#include <cmath>

#include "cloud/design_attribute_map.h"
#include "dynofiles/comma_locale.h"
#include "log_capture.h"

using nlohmann::json;

namespace {

struct ToMapCase {
    const char* name;
    const char* document;
    const char* section;   // "" for the top level, else "diag" or "pred"
    const char* key;
    const char* expected;  // wire form of the entry, or null when it must be absent
    std::vector<std::string> lines;     // each must be logged
    std::vector<std::string> notLines;  // none may be logged
};

class DocumentToMap : public ::testing::TestWithParam<ToMapCase> {};

TEST_P(DocumentToMap, StoresWhatItsRuleTakesAndLogsWhatItRefuses) {
    const ToMapCase& c = GetParam();
    LogCapture log;
    AttributeValue map;
    ASSERT_TRUE(JsonToAttributeValue(json::parse(c.document), &map));
    ASSERT_EQ(map.kind, AttributeKind::M);
    const AttributeMap& holder = std::string(c.section).empty() ? map.map : map.map.at(c.section).map;
    auto entry = holder.find(c.key);
    if (c.expected == nullptr) {
        EXPECT_EQ(entry, holder.end()) << AttributeValueToWire(entry->second).dump();
    } else {
        ASSERT_NE(entry, holder.end());
        EXPECT_EQ(AttributeValueToWire(entry->second), json::parse(c.expected));
    }
    for (const std::string& line : c.lines) EXPECT_EQ(log.Count(line), 1u) << line;
    for (const std::string& line : c.notLines) EXPECT_FALSE(log.Contains(line)) << line;
}

const char kNoDyn[] = "JsonToAttributeValue - No dyno points to add.";

INSTANTIATE_TEST_SUITE_P(
    Cases, DocumentToMap,
    ::testing::Values(
        ToMapCase{"DynAbsent", R"({"diag":{}})", "diag", "dyn", nullptr, {}, {kNoDyn}},
        ToMapCase{"DynNoArray", R"({"diag":{"dyn":5}})", "diag", "dyn", nullptr, {}, {kNoDyn}},
        ToMapCase{"DynEmpty", R"({"diag":{"dyn":[]}})", "diag", "dyn", nullptr, {kNoDyn}, {}},
        ToMapCase{"DynPointsKeepDoublePrecisionText", R"({"diag":{"dyn":[[0,1500.5],[12.25,3000]]}})", "diag", "dyn",
                  R"({"L":[{"L":[{"N":"0.000000"},{"N":"1500.500000"}]},{"L":[{"N":"12.250000"},{"N":"3000.000000"}]}]})",
                  {},
                  {}},
        ToMapCase{"IntegerWellDepthRefused", R"({"well_depth":10000})", "", "well_depth", nullptr,
                  {"ERROR: SetFloatOnMapAttr well_depth"}, {}},
        ToMapCase{"FloatWellDepth", R"({"well_depth":10000.0})", "", "well_depth", R"({"N":"10000.000000"})", {},
                  {"SetFloatOnMapAttr well_depth"}},
        ToMapCase{"TenthHasSixDecimals", R"({"diag":{"spm":0.1}})", "diag", "spm", R"({"N":"0.100000"})", {}, {}},
        ToMapCase{"TinyValueRoundsToZero", R"({"diag":{"spm":1e-7}})", "diag", "spm", R"({"N":"0.000000"})", {}, {}},
        ToMapCase{"SinglePrecisionRounding", R"({"pred":{"fo":12345678.9}})", "pred", "fo",
                  R"({"N":"12345679.000000"})", {}, {}},
        ToMapCase{"NegativeValue", R"({"pred":{"fo":-1.0}})", "pred", "fo", R"({"N":"-1.000000"})", {}, {}},
        ToMapCase{"BeyondSinglePrecisionRefused", R"({"pred":{"fo":1e300}})", "pred", "fo", nullptr,
                  {"ERROR: SetFloatOnMapAttr fo"}, {}},
        ToMapCase{"IntegerList", R"({"lib":[1,0,1,8]})", "", "lib", R"({"L":[{"N":"1"},{"N":"0"},{"N":"1"},{"N":"8"}]})",
                  {}, {}},
        ToMapCase{"ListSkipsNonIntegers", R"({"lib":[1,2.5,2]})", "", "lib", R"({"L":[{"N":"1"},{"N":"2"}]})",
                  {"SetListOnMapAttr unsupported type: lib list loop"}, {}},
        ToMapCase{"ListAsTextRefusedSilently", R"({"lib":"1.0.1.8"})", "", "lib", nullptr, {}, {"list loop"}},
        ToMapCase{"NestedMapByKind", R"({"diag":{"pump":{"dia":1.5,"len":144.0,"fit":0.003}}})", "diag", "pump",
                  R"({"M":{"dia":{"N":"1.500000"},"fit":{"N":"0.003000"},"len":{"N":"144.000000"}}})", {}, {}},
        ToMapCase{"NestedBoolAndBadMember", R"({"pred":{"pump":{"on":true,"bad":[1],"n":3,"t":"x"}}})", "pred", "pump",
                  R"({"M":{"on":{"BOOL":true},"bad":{"S":"ERROR"},"n":{"N":"3"},"t":{"S":"x"}}})",
                  {"SetMapOnMapAttr unsupported type: bad (loop)"}, {}},
        ToMapCase{"NestedMapMissing", R"({"pred":{}})", "pred", "fourier", nullptr,
                  {"Error: SetMapOnMapAttr, key not found in object (fourier)"}, {}},
        ToMapCase{"NestedMapNotAnObject", R"({"pred":{"fourier":3}})", "pred", "fourier", nullptr,
                  {"SetMapOnMapAttr unsupported type: fourier"}, {"(loop)"}},
        ToMapCase{"IntegerMember", R"({"pred":{"upsc":200}})", "pred", "upsc", R"({"N":"200"})", {}, {}},
        ToMapCase{"FloatForIntegerRefusedSilently", R"({"pred":{"upsc":200.0}})", "pred", "upsc", nullptr, {},
                  {"upsc"}},
        ToMapCase{"IntegerBeyond32BitsRefused", R"({"pred":{"upsc":4294967296}})", "pred", "upsc", nullptr, {}, {}},
        ToMapCase{"BoolMember", R"({"pred":{"usePumpingUnitForPosition":true}})", "pred", "usePumpingUnitForPosition",
                  R"({"BOOL":true})", {}, {}},
        ToMapCase{"StringMember", R"({"platform":"WIN64"})", "", "platform", R"({"S":"WIN64"})", {}, {}},
        ToMapCase{"WellNameNotStored", R"({"wellname":"Smith"})", "", "wellname", nullptr, {}, {}},
        ToMapCase{"TapersNotStored", R"({"diag":{"taper":[{"L":1.0}],"damp_up":0.1}})", "diag", "taper", nullptr, {},
                  {"taper"}}),
    [](const ::testing::TestParamInfo<ToMapCase>& info) { return std::string(info.param.name); });

TEST(DocumentToMap, RefusesDocumentsItCannotConvertWithoutThrowing) {
    for (const char* text : {R"(5)", R"({"diag":"x"})", R"({"pred":[1]})", R"({"diag":{"dyn":[[1]]}})",
                             R"({"diag":{"dyn":[["a",1]]}})", R"({"diag":{"dyn":[5]}})"}) {
        LogCapture log;
        AttributeValue map;
        EXPECT_FALSE(JsonToAttributeValue(json::parse(text), &map)) << text;
        EXPECT_EQ(log.Count("ERROR: JsonToAttributeValue"), 1u) << text;
    }
}

struct ToJsonCase {
    const char* name;
    AttributeValue stored;
    const char* expected;  // JSON text
};

class MapToJson : public ::testing::TestWithParam<ToJsonCase> {};

TEST_P(MapToJson, ReadsNumbersByTheirTextAndDropsOtherKinds) {
    const ToJsonCase& c = GetParam();
    json out;
    ASSERT_TRUE(AttributeValueToJson(c.stored, &out));
    const json expected = json::parse(c.expected);
    EXPECT_EQ(out, expected);
    // Integers and floating-point numbers are different kinds and compare unequal in kind.
    EXPECT_EQ(out.dump(), expected.dump());
}

AttributeValue Entry(const char* key, AttributeValue value) { return MakeM({{key, std::move(value)}}); }

INSTANTIATE_TEST_SUITE_P(
    Cases, MapToJson,
    ::testing::Values(
        ToJsonCase{"IntegerText", Entry("n", MakeN("7")), R"({"n":7})"},
        ToJsonCase{"TextWithPointIsFloat", Entry("n", MakeN("7.000000")), R"({"n":7.0})"},
        ToJsonCase{"SinglePrecision", Entry("n", MakeN("0.850000")), R"({"n":0.8500000238418579})"},
        ToJsonCase{"IntegerReadingStopsAtExponent", Entry("n", MakeN("1e5")), R"({"n":1})"},
        ToJsonCase{"LeadingBlankAndPlus", Entry("n", MakeN(" +12")), R"({"n":12})"},
        ToJsonCase{"PointsAreFloatsWithOrWithoutPoint",
                   Entry("dyn", MakeL({MakeL({MakeN("3"), MakeS("x"), MakeN("1.5")})})), R"({"dyn":[[3.0,1.5]]})"},
        ToJsonCase{"ListKeepsNumbersAndLists", Entry("lib", MakeL({MakeN("2"), MakeS("x"), MakeN("2.5"), MakeBool(true)})),
                   R"({"lib":[2,2.5]})"},
        ToJsonCase{"OtherKindsDropped",
                   MakeM({{"b", MakeB("xy")}, {"ss", MakeSS({"a"})}, {"ns", MakeNS({"1"})}, {"bs", MakeBS({"z"})},
                          {"null", MakeNull()}, {"s", MakeS("kept")}}),
                   R"({"s":"kept"})"},
        ToJsonCase{"NestedMapsAndBool", Entry("pred", MakeM({{"pump", Entry("on", MakeBool(false))}})),
                   R"({"pred":{"pump":{"on":false}}})"},
        ToJsonCase{"NotAMap", MakeS("x"), "null"},
        // DynamoDB gives float-rule members back trimmed: they stay floats, other members do not.
        ToJsonCase{"TrimmedFloatMembers",
                   MakeM({{"well_depth", MakeN("5000")},
                          {"pred", MakeM({{"spm", MakeN("8")}, {"fo", MakeN("1e5")}, {"upsc", MakeN("200")},
                                          {"pump", Entry("dia", MakeN("2"))}, {"fourier", Entry("p", MakeN("8"))}})},
                          {"diag", MakeM({{"sg_fluid", MakeN("1")}, {"pump", Entry("len", MakeN("144"))}})}}),
                   R"({"well_depth":5000.0,"diag":{"pump":{"len":144.0},"sg_fluid":1.0},)"
                   R"("pred":{"fo":100000.0,"fourier":{"p":8},"pump":{"dia":2.0},"spm":8.0,"upsc":200}})"},
        ToJsonCase{"FloatNamesOnlyAtTheirPlace",
                   MakeM({{"spm", MakeN("8")}, {"other", Entry("well_depth", MakeN("5"))},
                          {"diag", Entry("pressure", Entry("spm", MakeN("3")))}}),
                   R"({"diag":{"pressure":{"spm":3}},"other":{"well_depth":5},"spm":8})"}),
    [](const ::testing::TestParamInfo<ToJsonCase>& info) { return std::string(info.param.name); });

// The text came from a server, so the reason goes back to the caller, which logs it with the
// session's secrets blanked out.
TEST(MapToJson, UnreadableNumbersFailWithTheReasonAndNoLine) {
    for (const char* text : {"abc", "99999999999", "1.0e39", "", "-"}) {
        LogCapture log;
        json out;
        std::string error;
        EXPECT_FALSE(AttributeValueToJson(Entry("pred", Entry("n", MakeN(text))), &out, &error)) << text;
        EXPECT_EQ(error, std::string("cannot read the number \"") + text + "\"");
        EXPECT_TRUE(log.lines.empty()) << text;
    }
}

TEST_F(HostCommaLocale, DesignMapNumbersKeepTheirPoint) {
    LogCapture log;
    AttributeValue map;
    json back;
    ASSERT_TRUE(UnderCommaLocale([&] {
        return JsonToAttributeValue(json::parse(R"({"diag":{"spm":6.5,"dyn":[[1.25,2]]}})"), &map) &&
               AttributeValueToJson(map, &back);
    }));
    EXPECT_EQ(map.map["diag"].map["spm"].text, "6.500000");
    EXPECT_EQ(back["diag"]["spm"], 6.5);
    EXPECT_EQ(back["diag"]["dyn"], json::parse("[[1.25,2.0]]"));
}

}  // namespace
