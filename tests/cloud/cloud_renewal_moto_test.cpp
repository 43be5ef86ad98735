// The renewal test operation through the export, against moto.
#include <cstdio>
#include <regex>

#include "cloud_env.h"
#include "tesk/tesk.h"

namespace {

const std::regex kUuid("[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");

struct RenewalCase {
    const char* name;
    bool loginFirst;        // an earlier Login on the object that runs Test
    bool loginElsewhere;    // an earlier Login on another object (leaves the token file)
    bool removeTokenFile;   // the token file is gone before Test
    std::vector<std::string> lines;  // expected in this order (prefixes)
    bool itemWritten;
};

class RenewalTest : public CloudMotoTest, public ::testing::WithParamInterface<RenewalCase> {};

std::vector<nlohmann::json> TestTablePuts(const std::vector<nlohmann::json>& recording) {
    std::vector<nlohmann::json> puts;
    for (const nlohmann::json& request : recording) {
        const std::string body = request["body"];
        if (body.find("\"TableName\":\"" + CloudNames().testTable + "\"") != std::string::npos) {
            puts.push_back(nlohmann::json::parse(body));
        }
    }
    return puts;
}

TEST_P(RenewalTest, RenewsFromTheStoredTokenAndWritesATestItem) {
    const RenewalCase& c = GetParam();
    TeskObj* other = CreateTeskObj();
    TeskObj* obj = CreateTeskObj();
    const char* user = CloudNames().user.c_str();
    const char* password = CloudNames().password.c_str();
    if (c.loginElsewhere) {
        ASSERT_EQ(Login(other, user, password), 1);
    }
    if (c.loginFirst) {
        ASSERT_EQ(Login(obj, user, password), 1);
    }
    if (c.removeTokenFile) std::remove(TokenPath().c_str());

    StartRecording();
    ClearLog();
    ::Test(obj);
    const auto puts = TestTablePuts(StopRecording());
    ExpectLinesInOrder(log.lines, c.lines);
    ASSERT_EQ(puts.size(), c.itemWritten ? 1u : 0u);
    if (c.itemWritten) {
        const nlohmann::json& item = puts[0]["Item"];
        EXPECT_TRUE(std::regex_match(item["id"]["S"].get<std::string>(), kUuid));
        EXPECT_EQ(item["sub"]["S"].get<std::string>().size(), 36u) << "the ID token's sub";
        EXPECT_EQ(item["thename"]["S"], "UNKNOWN") << "the user pool's tokens carry cognito:username";
        EXPECT_EQ(item["ts"]["S"].get<std::string>().size(), 23u);
        EXPECT_EQ(FetchDesigns(obj, 1), 0) << "logged in afterwards";
    } else {
        EXPECT_EQ(FetchDesigns(obj, 1), -1);
    }
    DeleteTeskObj(obj);
    DeleteTeskObj(other);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenewalTest,
    ::testing::Values(
        RenewalCase{"StoredTokenRenewsANewObject", false, true, false,
                    {"credForIdResult - IdentityId: us-east-1:", "Successfully added Item!"}, true},
        RenewalCase{"NoTokenAndNeverLoggedIn", false, false, false,
                    {"ERROR: RunTest InitAuth.", "ERROR: RunTest auth - ",
                     "RunTest() failed because this->creds was not set"},
                    false},
        RenewalCase{"NoTokenButLoggedInUsesTheLoginsCredentials", true, false, true,
                    {"ERROR: RunTest InitAuth.", "ERROR: RunTest auth - ", "Successfully added Item!"}, true}),
    [](const ::testing::TestParamInfo<RenewalCase>& info) { return std::string(info.param.name); });

}  // namespace
