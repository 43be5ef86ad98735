// The cloud exports without a login and with bad input: every endpoint is dead, so any request
// that should not be sent would show up as a connection error in the log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "cloud/cloud_session.h"
#include "cloud/scripted_transport.h"
#include "cloud/temp_appdata.h"
#include "designfiles/design_document.h"
#include "model/tesk_obj.h"
#include "log_capture.h"
#include "tesk/tesk.h"

namespace {

class CloudWithoutServer : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("AWS_ENDPOINT_URL", "http://127.0.0.1:1", 1);
        obj = CreateTeskObj();
    }
    // The object's session, made now, with retries that do not wait.
    CloudSession& Session() {
        CloudSession& session = WellSession(obj);
        session.config.retryWait = &ScriptedWait;
        return session;
    }
    void TearDown() override {
        DeleteTeskObj(obj);
        unsetenv("AWS_ENDPOINT_URL");
    }
    TempAppData folder;
    const std::string appData = folder.path;
    TeskObj* obj = nullptr;
};

// What becomes of the object's cloud session, which starts the HTTP stack when it is made.
enum class SessionUse {
    Untouched,  // the call never sends, so it answers without making one
    Made,       // the call may send, so it makes one
    Given,      // the call sends: the test makes the session first, with retries that do not wait
};

struct ExportCase {
    const char* name;
    int (*call)(TeskObj*);
    int expected;
    std::vector<std::string> lines;  // the whole log, each line given by its start
    SessionUse session = SessionUse::Made;
};

// The lines of the cloud code: the design writer's own warnings about a sparse well are left out.
std::vector<std::string> CloudLines(const LogCapture& log) {
    std::vector<std::string> lines;
    for (const std::string& line : log.lines) {
        if (line.rfind("Warning: ", 0) != 0) lines.push_back(line);
    }
    return lines;
}

class NotLoggedIn : public CloudWithoutServer, public ::testing::WithParamInterface<ExportCase> {};

TEST_P(NotLoggedIn, RefusesWithItsLinesAndSendsNothingItNeedNot) {
    const ExportCase& c = GetParam();
    if (c.session == SessionUse::Given) Session();
    LogCapture log;
    EXPECT_EQ(c.call(obj), c.expected);
    EXPECT_EQ(obj->cloud != nullptr, c.session != SessionUse::Untouched);
    const std::vector<std::string> lines = CloudLines(log);
    ASSERT_EQ(lines.size(), c.lines.size()) << (lines.empty() ? "" : lines[0]);
    for (size_t i = 0; i < c.lines.size(); ++i) EXPECT_EQ(lines[i].rfind(c.lines[i], 0), 0u) << lines[i];
}

int GetDesignsIntoCanary(TeskObj* obj) {
    DesignSummary canary;
    std::memset(&canary, 0x5A, sizeof canary);
    const int result = GetDesigns(obj, &canary);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&canary);
    return std::all_of(bytes, bytes + sizeof canary, [](unsigned char b) { return b == 0x5A; }) ? result : 99;
}

int SaveWithForeignWellName(TeskObj* obj) {
    SetWellName(obj, "Caf\xe9 12");  // Latin-1, not UTF-8
    return SaveCurrentDesign(obj, 0);
}

int Renewal(TeskObj* obj) {
    ::Test(obj);
    return 0;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NotLoggedIn,
    ::testing::Values(
        ExportCase{"CountWithoutRefresh", [](TeskObj* o) { return FetchDesigns(o, 0); }, -1, {}, SessionUse::Untouched},
        ExportCase{"Refresh", [](TeskObj* o) { return FetchDesigns(o, 1); }, -1,
                   {"FetchDesigns !!!", "Fetch Designs Failed"}},
        ExportCase{"RefreshOtherThanOne", [](TeskObj* o) { return FetchDesigns(o, 2); }, -1, {}, SessionUse::Untouched},
        ExportCase{"CopyListing", GetDesignsIntoCanary, 0, {}, SessionUse::Untouched},
        ExportCase{"FetchOne", [](TeskObj* o) { return static_cast<int>(GetDesign(o, "abc")); }, 0,
                   {"GetDesign for ID: abc", "ERROR: GetDesign - credentials are empty"}},
        ExportCase{"FetchNullId", [](TeskObj* o) { return static_cast<int>(GetDesign(o, nullptr)); }, 0,
                   {"ERROR: GetDesign needs a design id"}},
        ExportCase{"Save", [](TeskObj* o) { return static_cast<int>(SaveCurrentDesign(o, 1)); }, 0,
                   {"SaveDesign >>>{\"", "ERROR: SaveDesign - not logged in"}},
        ExportCase{"SaveNonUtf8WellName", SaveWithForeignWellName, 0,
                   {"ERROR: SaveDesign - the design holds text that is not UTF-8"}},
        ExportCase{"Logout", [](TeskObj* o) { return static_cast<int>(Logout(o)); }, 0, {"Logged out of cloud."},
                   SessionUse::Untouched},
        ExportCase{"LoginNullUser", [](TeskObj* o) { return static_cast<int>(Login(o, nullptr, "pw")); }, 0,
                   {"ERROR: Login() needs a user name and a password."}},
        ExportCase{"LoginNullPassword", [](TeskObj* o) { return static_cast<int>(Login(o, "alice", nullptr)); }, 0,
                   {"ERROR: Login() needs a user name and a password."}},
        ExportCase{"LoginNonUtf8", [](TeskObj* o) { return static_cast<int>(Login(o, "alice", "p\xe4ss")); }, 0,
                   {"ERROR: Login() user name and password must be UTF-8 text."}},
        ExportCase{"LoginUnreachable", [](TeskObj* o) { return static_cast<int>(Login(o, "alice", "secret-pw")); },
                   0, {"ERROR: Login() failed.", "ERROR: initiateAuth - curlCode: 7, Couldn't connect to server (11 attempts)"},
                   SessionUse::Given},
        ExportCase{"RenewalUnreachable", Renewal, 0,
                   {"ERROR: RunTest InitAuth.", "ERROR: RunTest auth - curlCode: 7, Couldn't connect to server (11 attempts)",
                    "RunTest() failed because this->creds was not set"},
                   SessionUse::Given}),
    [](const ::testing::TestParamInfo<ExportCase>& info) { return std::string(info.param.name); });

TEST_F(CloudWithoutServer, SaveLineCarriesTheCompactDocumentUpToTheLineLimit) {
    LogCapture log;
    SetWellName(obj, "Smith 12-4");
    const std::string compact = WriteDesignJson(obj).dump();
    EXPECT_EQ(SaveCurrentDesign(obj, 0), 0);
    EXPECT_EQ(CloudLines(log), (std::vector<std::string>{("SaveDesign >>>" + compact + "<<<").substr(0, 1023),
                                                         "ERROR: SaveDesign - not logged in"}));
}

// A listing that fails reads as a failure, never as the count of the listing before it, which
// stays for GetDesigns.
TEST_F(CloudWithoutServer, AFailedListingGivesMinusOneAndKeepsTheLastListing) {
    const char* page = R"({"Items":[{"designId":{"S":"a"}},{"designId":{"S":"b"}}],"Count":2})";
    CloudSession& session = Session();
    UseScript(session.config, {Json(200, page)});
    session.creds.accessKeyId = "AKID";
    session.creds.secretKey = "secret";
    session.IdentityId = "us-east-1:me";
    ASSERT_EQ(FetchDesigns(obj, 1), 2);

    LogCapture log;
    UseScript(session.config, {Json(200, R"({"Items":[{"designId":{"S":"c"}}],"LastEvaluatedKey":{"designId":{"S":"c"}}})"),
                                  Json(400, R"({"__type":"ThrottlingException","message":"Rate exceeded"})")});
    EXPECT_EQ(FetchDesigns(obj, 1), -1);
    EXPECT_TRUE(log.Contains("Fetch Designs Failed"));
    EXPECT_EQ(FetchDesigns(obj, 0), 2);
    DesignSummary kept[2];
    ASSERT_EQ(GetDesigns(obj, kept), 1);
    EXPECT_STREQ(kept[1].designId, "b");

    Logout(obj);
    EXPECT_EQ(FetchDesigns(obj, 1), -1);
    EXPECT_EQ(FetchDesigns(obj, 0), 2);
}

// The account's names are read when the session is made, at the object's first call that may
// send, not when the object is created.
TEST_F(CloudWithoutServer, AccountIsReadAtTheFirstCallThatMaySend) {
    setenv("TESK_CLOUD_REGION", "eu-west-2", 1);
    EXPECT_EQ(FetchDesigns(obj, 1), -1);
    unsetenv("TESK_CLOUD_REGION");
    ASSERT_NE(obj->cloud, nullptr);
    EXPECT_EQ(obj->cloud->config.region, "eu-west-2");
}

TEST_F(CloudWithoutServer, LogoutMakesTheTokenFolderAndRemovesTheToken) {
    LogCapture log;
    EXPECT_EQ(Logout(obj), 0);
    EXPECT_TRUE(std::filesystem::is_directory(appData + "/tesk"));
    std::filesystem::path token = appData + "/tesk/refreshtoken.txt";
    std::ofstream(token) << "t";
    EXPECT_EQ(Logout(obj), 0);
    EXPECT_FALSE(std::filesystem::exists(token));
}

struct AccountCase {
    const char* variable;
    std::string CloudAccount::*field;
    const char* builtIn;
};

class AccountOverrides : public ::testing::TestWithParam<AccountCase> {};

TEST_P(AccountOverrides, EnvironmentReplacesTheBuiltInValueWhenSetAndNotEmpty) {
    const AccountCase& c = GetParam();
    unsetenv(c.variable);
    EXPECT_EQ(ReadCloudAccount().*c.field, c.builtIn);
    setenv(c.variable, "", 1);
    EXPECT_EQ(ReadCloudAccount().*c.field, c.builtIn);
    setenv(c.variable, "own-value", 1);
    EXPECT_EQ(ReadCloudAccount().*c.field, "own-value");
    CloudSession session;
    EXPECT_EQ(session.account.*c.field, "own-value");
    unsetenv(c.variable);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AccountOverrides,
    ::testing::Values(AccountCase{"TESK_CLOUD_REGION", &CloudAccount::region, "us-east-1"},
                      AccountCase{"TESK_CLOUD_CLIENT_ID", &CloudAccount::clientId, "5r2k9q1v7c3n4p8t0m6s2h8j4d"},
                      AccountCase{"TESK_CLOUD_IDENTITY_POOL_ID", &CloudAccount::identityPoolId,
                                  "us-east-1:6d3f2a1b-8c4e-4f7a-9b2d-5e1c0a7f3b9d"},
                      AccountCase{"TESK_CLOUD_LOGIN_PROVIDER", &CloudAccount::loginProvider,
                                  "cognito-idp.us-east-1.amazonaws.com/us-east-1_Tk4sD9gQ2"},
                      AccountCase{"TESK_DESIGN_TABLE", &CloudAccount::designTable, "tesk-designs"},
                      AccountCase{"TESK_TEST_TABLE", &CloudAccount::testTable, "tesk-test"}),
    [](const ::testing::TestParamInfo<AccountCase>& info) { return std::string(info.param.variable); });

TEST(CloudSession, RegionGoesIntoTheClientConfigurationAndOnlyKeysCountAsLogin) {
    setenv("TESK_CLOUD_REGION", "eu-west-2", 1);
    CloudSession session;
    unsetenv("TESK_CLOUD_REGION");
    EXPECT_EQ(session.config.region, "eu-west-2");
    EXPECT_EQ(session.designCount, -1);
    EXPECT_FALSE(IsLoggedIn(session));
    session.creds.sessionToken = "token only";
    EXPECT_FALSE(IsLoggedIn(session));
    session.creds.secretKey = "s";
    EXPECT_TRUE(IsLoggedIn(session));
}

}  // namespace
