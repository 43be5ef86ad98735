// Fetching one design against scripted DynamoDB answers: numbers as the real service gives them
// back, ids cut by the listing, and what of a stored item reaches the log.
#include <gtest/gtest.h>

#include <cstring>

#include <nlohmann/json.hpp>

#include "cloud/design_store.h"
#include "cloud/scripted_transport.h"
#include "log_capture.h"

namespace {

using nlohmann::json;

class DesignFetch : public ::testing::Test {
protected:
    void SetUp() override {
        session.creds.accessKeyId = "AKID";
        session.creds.secretKey = "SECRETKEY-1";
        session.creds.sessionToken = "SESSIONTOKEN-1";
        session.IdentityId = "us-east-1:me";
    }
    bool Fetch(const std::string& id, std::vector<ScriptedAnswer> answers) {
        UseScript(session.config, std::move(answers));
        return CloudGetDesign(session, id.c_str());
    }
    // The design of the "Decoded design JSON" line.
    json Decoded() const {
        const std::string prefix = "Decoded design JSON: ";
        for (const std::string& line : log.lines) {
            if (line.rfind(prefix, 0) == 0) return json::parse(line.substr(prefix.size()));
        }
        return json();
    }
    CloudSession session;
    LogCapture log;
};

// DynamoDB keeps numbers, not their texts: what was written as "8.000000" comes back as "8".
TEST_F(DesignFetch, TrimmedNumbersOfFloatMembersComeBackAsFloats) {
    const char* item = R"({"Item":{"designId":{"S":"us-east-1:me_1"},"design":{"M":{
        "well_depth":{"N":"5000"},"lib":{"L":[{"N":"1"},{"N":"0"}]},
        "diag":{"M":{"spm":{"N":"8"},"sg_fluid":{"N":"0.85"},"pump":{"M":{"dia":{"N":"2"},"len":{"N":"144"}}},
                     "dyn":{"L":[{"L":[{"N":"0"},{"N":"12000"}]}]}}},
        "pred":{"M":{"fo":{"N":"5000"},"fillage":{"N":"1"},"upsc":{"N":"200"},
                     "fourier":{"M":{"p":{"N":"8"},"l":{"N":"8"}}}}}}}}})";
    ASSERT_TRUE(Fetch("us-east-1:me_1", {Json(200, item)}));
    const json design = Decoded();
    EXPECT_EQ(design.dump(),
              json::parse(R"({"well_depth":5000.0,"lib":[1,0],
                              "diag":{"spm":8.0,"sg_fluid":0.8500000238418579,"pump":{"dia":2.0,"len":144.0},
                                      "dyn":[[0.0,12000.0]]},
                              "pred":{"fo":5000.0,"fillage":1.0,"upsc":200,"fourier":{"p":8,"l":8}}})")
                  .dump());
}

TEST_F(DesignFetch, AnIdOfTheFieldsFullLengthThatIsNotFoundMayBeACutOne) {
    const std::string listed(83, 'x');
    EXPECT_FALSE(Fetch(listed, {Json(200, "{}")}));
    EXPECT_EQ(log.lines, (std::vector<std::string>{
                             "GetDesign for ID: " + listed, "GetDesign - No item found for ID: " + listed,
                             "Warning: GetDesign - an id of 83 characters may be a listed id cut short; the "
                             "listing's warning names the whole one"}));
    log.Clear();
    EXPECT_FALSE(Fetch(std::string(82, 'x'), {Json(200, "{}")}));
    EXPECT_EQ(log.Count("Warning"), 0u);
}

TEST_F(DesignFetch, SessionSecretsInAStoredItemOrARefusalAreBlankedOut) {
    const char* item = R"({"Item":{"wellname":{"S":"Well SESSIONTOKEN-1"},"ts":{"S":"SECRETKEY-1"},
                           "design":{"M":{"note":{"S":"x SECRETKEY-1"}}}}})";
    ASSERT_TRUE(Fetch("id", {Json(200, item)}));
    EXPECT_TRUE(log.Contains("Wellname: Well ***"));
    EXPECT_TRUE(log.Contains("Timestamp: ***"));
    EXPECT_TRUE(log.Contains(R"(Decoded design JSON: {"note":"x ***"})"));

    EXPECT_FALSE(Fetch("id", {Json(200, R"({"Item":{"design":{"M":{"n":{"N":"SESSIONTOKEN-1"}}}}})")}));
    EXPECT_TRUE(log.Contains(R"(ERROR: AttributeValueToJson - cannot read the number "***")"));

    EXPECT_FALSE(Fetch("id", {Json(400, R"({"__type":"ValidationException","message":"echo SESSIONTOKEN-1"})")}));
    EXPECT_TRUE(log.Contains("ERROR: GetDesign dynamodb: echo ***"));
    for (const std::string& line : log.lines) {
        EXPECT_EQ(line.find("SECRETKEY-1"), std::string::npos) << line;
        EXPECT_EQ(line.find("SESSIONTOKEN-1"), std::string::npos) << line;
    }
}

}  // namespace
