// A user's whole session through the exports, against moto: login, save, list, fetch, logout.
#include <algorithm>
#include <cstring>
#include <regex>
#include <set>

#include "cloud_env.h"
#include "tesk/tesk.h"

namespace {

const std::regex kDesignId("us-east-1:[0-9a-f-]{36}_[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
const std::regex kTimestamp("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\\.[0-9]{3}");

std::string Header(const nlohmann::json& request, const std::string& name) {
    for (const auto& [key, value] : request["headers"].items()) {
        if (strcasecmp(key.c_str(), name.c_str()) == 0 && value.is_string()) return value.get<std::string>();
    }
    return "";
}

std::vector<nlohmann::json> Calls(const std::vector<nlohmann::json>& recording, const std::string& target) {
    std::vector<nlohmann::json> calls;
    for (const nlohmann::json& request : recording) {
        if (Header(request, "X-Amz-Target") == target) calls.push_back(request);
    }
    return calls;
}

std::set<std::string> Keys(const nlohmann::json& object) {
    std::set<std::string> keys;
    for (const auto& item : object.items()) keys.insert(item.key());
    return keys;
}

nlohmann::json Body(const nlohmann::json& request) { return nlohmann::json::parse(request["body"].get<std::string>()); }

// A measured card small enough that the fetched design fits one log line.
void LoadSmallCard(TeskObj* obj) {
    const double positions[] = {0.0, 40.0, 80.0, 40.0};
    const double loads[] = {12000.0, 15000.5, 14000.0, 9000.0};
    LoadDyn(obj, 6.5, positions, loads, 4);
    SetWellName(obj, "Smith 12-4");
}

// Index of the first line at or after `from` that starts with `prefix`; lines.size() when none.
size_t LineIndex(const std::vector<std::string>& lines, const std::string& prefix, size_t from = 0) {
    for (size_t i = from; i < lines.size(); ++i) {
        if (lines[i].rfind(prefix, 0) == 0) return i;
    }
    return lines.size();
}

class CloudSessionTest : public CloudMotoTest {
protected:
    void TearDown() override {
        DeleteTeskObj(obj);
        CloudMotoTest::TearDown();
    }
    TeskObj* obj = nullptr;
};

void ExpectStoredDesignShape(const nlohmann::json& design) {
    for (const char* key : {"well_depth"}) EXPECT_TRUE(design[key].is_number_float()) << key;
    for (const char* key : {"lib", "version"}) {
        ASSERT_TRUE(design[key].is_array()) << key;
        for (const auto& part : design[key]) EXPECT_TRUE(part.is_number_integer()) << key;
    }
    EXPECT_TRUE(design["platform"].is_string());
    for (const char* absent : {"wellname", "mia"}) EXPECT_FALSE(design.contains(absent)) << absent;
    for (const char* section : {"diag", "pred"}) {
        const nlohmann::json& s = design[section];
        for (const char* key : {"anchor_depth", "fluid_level", "pressure_casing", "pressure_tubing", "pump_depth",
                                "sg_fluid", "spm", "visc_fluid"}) {
            EXPECT_TRUE(s[key].is_number_float()) << section << "." << key;
        }
        for (const char* key : {"dia", "len", "fit"}) EXPECT_TRUE(s["pump"][key].is_number_float()) << key;
        for (const char* absent : {"taper", "tubing", "damp_up", "damp_dn"}) {
            EXPECT_FALSE(s.contains(absent)) << section << "." << absent;
        }
    }
    const nlohmann::json& pred = design["pred"];
    for (const char* key : {"compression", "fillage", "fo"}) EXPECT_TRUE(pred[key].is_number_float()) << key;
    EXPECT_TRUE(pred["upsc"].is_number_integer());
    EXPECT_TRUE(pred["fourier"]["p"].is_number_integer());
    EXPECT_TRUE(pred["fourier"]["l"].is_number_integer());
    EXPECT_TRUE(pred["usePumpingUnitForPosition"].is_boolean());
    const nlohmann::json& dyn = design["diag"]["dyn"];
    ASSERT_EQ(dyn.size(), 4u);
    EXPECT_EQ(dyn[1], nlohmann::json({40.0, 15000.5}));
    for (const auto& point : dyn) EXPECT_TRUE(point[0].is_number_float() && point[1].is_number_float());
}

void ExpectCognitoCallsUnsigned(const std::vector<nlohmann::json>& recording) {
    const auto auth = Calls(recording, "AWSCognitoIdentityProviderService.InitiateAuth");
    ASSERT_EQ(auth.size(), 1u);
    const nlohmann::json authBody = Body(auth[0]);
    EXPECT_EQ(authBody["AuthFlow"], "USER_PASSWORD_AUTH");
    EXPECT_EQ(authBody["ClientId"], CloudNames().clientId);
    EXPECT_EQ(Keys(authBody["AuthParameters"]), (std::set<std::string>{"USERNAME", "PASSWORD"}));
    EXPECT_EQ(authBody["AuthParameters"]["USERNAME"], CloudNames().user);
    for (const char* target : {"AWSCognitoIdentityService.GetId", "AWSCognitoIdentityService.GetCredentialsForIdentity"}) {
        const auto calls = Calls(recording, target);
        ASSERT_EQ(calls.size(), 1u) << target;
        EXPECT_EQ(Keys(Body(calls[0])["Logins"]), std::set<std::string>{CloudNames().loginProvider}) << target;
    }
    EXPECT_EQ(Body(Calls(recording, "AWSCognitoIdentityService.GetId")[0])["IdentityPoolId"],
              CloudNames().identityPoolId);
    for (const auto& call : {auth[0], Calls(recording, "AWSCognitoIdentityService.GetId")[0]}) {
        EXPECT_EQ(Header(call, "Authorization"), "");
        EXPECT_EQ(Header(call, "Content-Type"), "application/x-amz-json-1.1");
    }
}

void ExpectDynamoCallsSigned(const std::vector<nlohmann::json>& recording) {
    const auto puts = Calls(recording, "DynamoDB_20120810.PutItem");
    const auto scans = Calls(recording, "DynamoDB_20120810.Scan");
    ASSERT_EQ(puts.size(), 2u);
    ASSERT_GE(scans.size(), 2u);
    for (const auto& call : {puts[0], scans[0], Calls(recording, "DynamoDB_20120810.GetItem").at(0)}) {
        const std::string authorization = Header(call, "Authorization");
        EXPECT_EQ(authorization.rfind("AWS4-HMAC-SHA256 Credential=TESTACCESSKEY12345/", 0), 0u) << authorization;
        EXPECT_NE(authorization.find("/us-east-1/dynamodb/aws4_request"), std::string::npos) << authorization;
        EXPECT_EQ(Header(call, "X-Amz-Security-Token"), "ABC12345");
        EXPECT_EQ(Header(call, "Content-Type"), "application/x-amz-json-1.0");
    }
    const nlohmann::json scan = Body(scans[0]);
    EXPECT_EQ(Keys(scan), (std::set<std::string>{"TableName", "ProjectionExpression", "FilterExpression",
                                                  "ExpressionAttributeValues"}));
    EXPECT_EQ(scan["ProjectionExpression"], "designId, ts, wellname");
    EXPECT_EQ(scan["FilterExpression"], "begins_with(designId, :id)");
    const nlohmann::json item = Body(puts[0])["Item"];
    EXPECT_EQ(Keys(item), (std::set<std::string>{"designId", "userId", "wellname", "ts", "design"}));
    const std::string designId = item["designId"]["S"];
    const std::string userId = item["userId"]["S"];
    ASSERT_EQ(userId.size(), 36u);
    EXPECT_EQ(designId.substr(designId.size() - 36), userId);
    EXPECT_EQ(item["wellname"]["S"], "Smith 12-4");
}

TEST_F(CloudSessionTest, LoginSaveListFetchAndLogoutThroughTheExports) {
    obj = CreateTeskObj();
    StartRecording();
    ASSERT_EQ(Login(obj, CloudNames().user.c_str(), CloudNames().password.c_str()), 1);
    const std::string token = FileBytes(TokenPath());
    EXPECT_EQ(token.size(), 36u) << "moto's refresh tokens are UUIDs, stored without a line end";
    EXPECT_EQ(token.find('\n'), std::string::npos);

    DesignSummary none{};
    EXPECT_EQ(FetchDesigns(obj, 1), 0);
    EXPECT_EQ(GetDesigns(obj, &none), 0);

    LoadSmallCard(obj);
    EXPECT_EQ(SaveCurrentDesign(obj, 0), 1);
    EXPECT_EQ(SaveCurrentDesign(obj, 1), 1);
    ASSERT_EQ(FetchDesigns(obj, 1), 2);
    DesignSummary listed[3];
    std::memset(listed, 0xA5, sizeof listed);
    ASSERT_EQ(GetDesigns(obj, listed), 1);
    const unsigned char* canary = reinterpret_cast<const unsigned char*>(&listed[2]);
    EXPECT_TRUE(std::all_of(canary, canary + sizeof(DesignSummary), [](unsigned char b) { return b == 0xA5; }));
    EXPECT_STRNE(listed[0].designId, listed[1].designId);
    for (const DesignSummary& design : {listed[0], listed[1]}) {
        EXPECT_TRUE(std::regex_match(design.designId, kDesignId)) << design.designId;
        EXPECT_TRUE(std::regex_match(design.ts, kTimestamp)) << design.ts;
        EXPECT_STREQ(design.wellname, "Smith 12-4");
    }
    EXPECT_EQ(std::strncmp(listed[0].designId, listed[1].designId, 46), 0) << "one identity prefixes both";

    ClearLog();
    ASSERT_EQ(GetDesign(obj, listed[0].designId), 1);
    const size_t found = LineIndex(log.lines, "Successfully retrieved design for ID: " + std::string(listed[0].designId));
    const size_t decoded = LineIndex(log.lines, "Decoded design JSON: ", found);
    const size_t stamp = LineIndex(log.lines, "Timestamp: " + std::string(listed[0].ts), decoded);
    const size_t name = LineIndex(log.lines, "Wellname: Smith 12-4", stamp);
    ASSERT_LT(name, log.lines.size()) << "lines out of order or missing";
    const std::string text = log.lines[decoded].substr(std::strlen("Decoded design JSON: "));
    const nlohmann::json design = nlohmann::json::parse(text, nullptr, false);
    ASSERT_TRUE(design.is_object()) << text;
    ExpectStoredDesignShape(design);

    ClearLog();
    EXPECT_EQ(GetDesign(obj, "nope"), 0);
    EXPECT_TRUE(log.Contains("GetDesign - No item found for ID: nope"));

    ClearLog();
    EXPECT_EQ(Logout(obj), 0);
    EXPECT_TRUE(log.Contains("Logged out of cloud."));
    EXPECT_EQ(FileBytes(TokenPath()), "<missing>");
    DesignSummary kept[2];
    EXPECT_EQ(GetDesigns(obj, kept), 1);
    EXPECT_STREQ(kept[1].designId, listed[1].designId);
    ClearLog();
    EXPECT_EQ(FetchDesigns(obj, 1), -1) << "a refused listing is a failure";
    EXPECT_EQ(log.lines, (std::vector<std::string>{"FetchDesigns !!!", "Fetch Designs Failed"}));
    EXPECT_EQ(FetchDesigns(obj, 0), 2) << "and the last one stays";

    const auto recording = StopRecording();
    ExpectCognitoCallsUnsigned(recording);
    ExpectDynamoCallsSigned(recording);
}

TEST_F(CloudSessionTest, ListingGathersEveryPageWhenTheFirstPagesMatchNothing) {
    SetEnv("TESK_DESIGN_TABLE", CloudNames().pagedDesignTable);
    obj = CreateTeskObj();
    ASSERT_EQ(Login(obj, CloudNames().user.c_str(), CloudNames().password.c_str()), 1);
    LoadSmallCard(obj);
    ASSERT_EQ(SaveCurrentDesign(obj, 0), 1);
    ASSERT_EQ(SaveCurrentDesign(obj, 0), 1);
    ClearLog();
    EXPECT_EQ(FetchDesigns(obj, 1), 2);
    std::vector<std::string> counts;
    for (const std::string& line : log.lines) {
        if (line.rfind("FetchDesigns page holds ", 0) == 0) counts.push_back(line);
    }
    EXPECT_EQ(log.Count("FetchDesigns got page."), counts.size());
    ASSERT_GE(counts.size(), 3u) << "the foreign items fill at least two pages";
    EXPECT_EQ(counts.front(), "FetchDesigns page holds 0 items");
    EXPECT_EQ(counts.back(), "FetchDesigns page holds 2 items");
    DesignSummary listed[2];
    ASSERT_EQ(GetDesigns(obj, listed), 1);
    for (const DesignSummary& design : listed) EXPECT_TRUE(std::regex_match(design.designId, kDesignId));
}

}  // namespace
