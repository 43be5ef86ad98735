// DynamoDB attribute values on the wire, both ways, and what a reader must refuse.
#include <gtest/gtest.h>

#include "cloud/aws/attribute_value.h"
#include "cloud/aws/base64.h"

namespace {

struct WireCase {
    const char* name;
    AttributeValue value;
    const char* wire;
};

TEST(AttributeValue, WireRoundTrip) {
    const std::string allBytes = [] {
        std::string bytes;
        for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
        return bytes;
    }();
    const WireCase cases[] = {
        {"S", MakeS("héllo \"x\""), R"({"S":"héllo \"x\""})"},
        {"empty S", MakeS(""), R"({"S":""})"},
        {"N", MakeN("10000.000000"), R"({"N":"10000.000000"})"},
        {"B", MakeB(std::string("\0\1\2\xff", 4)), R"({"B":"AAEC/w=="})"},
        {"BOOL", MakeBool(false), R"({"BOOL":false})"},
        {"NULL", MakeNull(), R"({"NULL":true})"},
        {"L", MakeL({MakeS("a"), MakeN("1"), MakeBool(true)}), R"({"L":[{"S":"a"},{"N":"1"},{"BOOL":true}]})"},
        {"empty L", MakeL({}), R"({"L":[]})"},
        {"M", MakeM({{"k", MakeS("v")}, {"n", MakeNull()}}), R"({"M":{"k":{"S":"v"},"n":{"NULL":true}}})"},
        {"SS", MakeSS({"a", "b"}), R"({"SS":["a","b"]})"},
        {"NS", MakeNS({"1", "2.5"}), R"({"NS":["1","2.5"]})"},
        {"BS", MakeBS({"\x01", "ab"}), R"({"BS":["AQ==","YWI="]})"},
        {"nested", MakeM({{"dyn", MakeL({MakeL({MakeN("0.5"), MakeN("-1")}), MakeM({{"b", MakeB("xyz")}})})}}),
         R"({"M":{"dyn":{"L":[{"L":[{"N":"0.5"},{"N":"-1"}]},{"M":{"b":{"B":"eHl6"}}}]}}})"},
        {"every byte", MakeB(allBytes), nullptr},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.name);
        const nlohmann::json wire = AttributeValueToWire(c.value);
        if (c.wire != nullptr) {
            EXPECT_EQ(wire, nlohmann::json::parse(c.wire));
        }
        AttributeValue back;
        std::string error;
        ASSERT_TRUE(AttributeValueFromWire(nlohmann::json::parse(wire.dump()), &back, &error)) << error;
        EXPECT_EQ(back, c.value);
    }
}

TEST(AttributeValue, MapsRoundTripAndKindsMatterForEquality) {
    const AttributeMap item = {{"designId", MakeS("us-east-1:x_Y")}, {"design", MakeB("bytes")}, {"n", MakeN("1")}};
    AttributeMap back;
    std::string error;
    ASSERT_TRUE(AttributeMapFromWire(AttributeMapToWire(item), &back, &error)) << error;
    EXPECT_EQ(back, item);
    EXPECT_NE(MakeS("1"), MakeN("1"));
    EXPECT_NE(MakeSS({"a"}), MakeNS({"a"}));
    EXPECT_NE(MakeBool(true), MakeBool(false));
}

TEST(AttributeValue, MalformedWireIsRefusedWithoutThrowing) {
    const char* wires[] = {
        R"("S")",                          // not an object
        R"({})",                           // no kind
        R"({"S":"a","N":"1"})",            // two kinds
        R"({"X":"a"})",                    // unknown kind
        R"({"s":"a"})",                    // kinds are upper case
        R"({"S":1})",                      // S not a string
        R"({"N":1.5})",                    // N travels as text
        R"({"B":"not base64!"})",          // bad base64
        R"({"B":"AAE"})",                  // base64 missing its padding
        R"({"BOOL":"true"})",              // BOOL not a boolean
        R"({"NULL":null})",                // NULL not a boolean
        R"({"L":{"S":"a"}})",              // L not an array
        R"({"L":[{"S":"a"},"b"]})",        // list element not a value
        R"({"M":[]})",                     // M not an object
        R"({"M":{"k":{"Q":"a"}}})",        // bad member
        R"({"SS":"a"})",                   // set not an array
        R"({"NS":["1",2]})",               // set element not a string
        R"({"BS":["@@@@"]})",              // set element bad base64
    };
    for (const char* text : wires) {
        SCOPED_TRACE(text);
        AttributeValue value = MakeS("untouched");
        std::string error;
        EXPECT_FALSE(AttributeValueFromWire(nlohmann::json::parse(text), &value, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(value, MakeS("untouched"));
    }
    AttributeMap map;
    std::string error;
    EXPECT_FALSE(AttributeMapFromWire(nlohmann::json::array(), &map, &error));
    EXPECT_FALSE(AttributeMapFromWire(nlohmann::json::parse(R"({"a":{"S":"x"},"b":{"S":1}})"), &map, &error));
    EXPECT_EQ(error.rfind("b: ", 0), 0u) << error;
}

// A hostile answer nests lists a million deep; the reader stops long before the stack does.
TEST(AttributeValue, DeepNestingIsRefused) {
    const int depth = 100000;
    std::string text;
    for (int i = 0; i < depth; ++i) text += R"({"L":[)";
    text += R"({"S":"x"})";
    for (int i = 0; i < depth; ++i) text += "]}";
    const nlohmann::json wire = nlohmann::json::parse(text);
    AttributeValue value;
    std::string error;
    EXPECT_FALSE(AttributeValueFromWire(wire, &value, &error));
    EXPECT_NE(error.find("nested too deeply"), std::string::npos) << error;

    std::string fine;
    for (int i = 0; i < 32; ++i) fine += R"({"M":{"k":)";
    fine += R"({"N":"1"})";
    for (int i = 0; i < 32; ++i) fine += "}}";
    EXPECT_TRUE(AttributeValueFromWire(nlohmann::json::parse(fine), &value, &error)) << error;
}

TEST(Base64, KnownVectorsAndStrictDecoding) {
    // RFC 4648, section 10.
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(Base64Encode(v.first), v.second);
        std::string bytes;
        ASSERT_TRUE(Base64Decode(v.second, &bytes)) << v.second;
        EXPECT_EQ(bytes, v.first);
    }
    const char* refused[] = {"Zg", "Zg=", "Z===", "====", "Zh==", "Zm9v\n", "Zm-v", "Zg==Zg=="};
    for (const char* text : refused) {
        std::string bytes;
        EXPECT_FALSE(Base64Decode(text, &bytes)) << text;
    }
    std::string bytes;
    EXPECT_TRUE(Base64UrlDecode("-_8", &bytes));
    EXPECT_EQ(bytes, "\xfb\xff");
    EXPECT_FALSE(Base64UrlDecode("+/8", &bytes));
    EXPECT_FALSE(Base64UrlDecode("a", &bytes));
}

}  // namespace
