// How login, renewal and the design store fail, or recover, through the exports, against moto
// and stand-ins.
#include <unistd.h>

#include <chrono>

#include "cloud/cloud_session.h"
#include "cloud_env.h"
#include "model/tesk_obj.h"
#include "tesk/tesk.h"

namespace {

enum class TokenFile { Missing, AsBefore };

// Retries of a dead endpoint happen at once, not over the 25 s the real waits add up to.
void NoWait(std::chrono::milliseconds) {}

struct FailureCase {
    const char* name;
    const char* identityPoolId;  // overrides the identity pool before the object is made
    const char* designTable;     // overrides the design table before the object is made
    bool loginBefore;            // a good login first
    const char* identityStub;    // mode of the identity-pool stand-in, set after that login
    bool dynamoClosed;           // DynamoDB at a closed port, set after that login
    int (*action)(TeskObj*);
    int expected;
    std::vector<std::string> lines;  // expected in this order (prefixes)
    int fetchAfter;                  // FetchDesigns(1) afterwards: -1 when not logged in
    TokenFile token;
};

int WrongPassword(TeskObj* obj) { return Login(obj, CloudNames().user.c_str(), "wrong-password"); }
int GoodLogin(TeskObj* obj) { return Login(obj, CloudNames().user.c_str(), CloudNames().password.c_str()); }
int ChallengedLogin(TeskObj* obj) {
    return Login(obj, CloudNames().challengeUser.c_str(), CloudNames().password.c_str());
}
int Renewal(TeskObj* obj) {
    ::Test(obj);
    return 0;
}
// Save, fetch one and list: each must fail; 0 when all did.
int StoreCalls(TeskObj* obj) { return SaveCurrentDesign(obj, 0) + GetDesign(obj, "some-id") + FetchDesigns(obj, 1) + 1; }

const std::vector<std::string> kStoreLines(const std::string& message) {
    return {"ERROR: dynamodb: " + message, "ERROR: GetDesign dynamodb: " + message,
            "ERROR: FetchDesigns scan failed: " + message, "Fetch Designs Failed"};
}

class CloudFailureTest : public CloudMotoTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(CloudFailureTest, FailsCleanlyWithTheServicesMessage) {
    const FailureCase& c = GetParam();
    if (c.identityPoolId != nullptr) SetEnv("TESK_CLOUD_IDENTITY_POOL_ID", c.identityPoolId);
    if (c.designTable != nullptr) SetEnv("TESK_DESIGN_TABLE", c.designTable);
    TeskObj* obj = CreateTeskObj();
    WellSession(obj).config.retryWait = &NoWait;
    if (c.loginBefore) {
        ASSERT_EQ(GoodLogin(obj), 1);
    }
    const std::string tokenBefore = FileBytes(TokenPath());

    if (c.identityStub != nullptr) SetEnv("AWS_ENDPOINT_URL_COGNITO_IDENTITY", IdentityStubUrl(c.identityStub));
    ClosedPort closed;
    if (c.dynamoClosed) SetEnv("AWS_ENDPOINT_URL_DYNAMODB", closed.url);

    ClearLog();
    EXPECT_EQ(c.action(obj), c.expected);
    ExpectLinesInOrder(log.lines, c.lines);
    EXPECT_EQ(FetchDesigns(obj, 1), c.fetchAfter);
    const std::string token = FileBytes(TokenPath());
    switch (c.token) {
        case TokenFile::Missing: EXPECT_EQ(token, "<missing>"); break;
        case TokenFile::AsBefore: EXPECT_EQ(token, tokenBefore); break;
    }
    DeleteTeskObj(obj);
}

const char kUnknownPool[] = "us-east-1:00000000-0000-4000-8000-000000000000";

INSTANTIATE_TEST_SUITE_P(
    Cases, CloudFailureTest,
    ::testing::Values(
        FailureCase{"WrongPasswordLogsOutAnEarlierLogin", nullptr, nullptr, true, nullptr, false, WrongPassword, 0,
                    {"ERROR: Login() failed.", "ERROR: initiateAuth - Incorrect username or password."}, -1,
                    TokenFile::Missing},
        FailureCase{"ChallengeInsteadOfTokens", nullptr, nullptr, false, nullptr, false, ChallengedLogin, 0,
                    {"ERROR: Login() the user pool asks for NEW_PASSWORD_REQUIRED first."}, -1, TokenFile::Missing},
        FailureCase{"UnknownIdentityPool", kUnknownPool, nullptr, false, nullptr, false, GoodLogin, 0,
                    {"ERROR: GetId failed: "}, -1, TokenFile::Missing},
        FailureCase{"RefusedCredentials", nullptr, nullptr, false, "refuse-credentials", false, GoodLogin, 0,
                    {"ERROR: GetCredentialsForId: Invalid login token."}, -1, TokenFile::Missing},
        FailureCase{"RefusedIdentityInRenewal", nullptr, nullptr, true, "refuse-all", false, Renewal, 0,
                    {"ERROR: idResult: Invalid login token. <<<", "ERROR: credForIdResult: Invalid login token. <<<",
                     "credForIdResult - IdentityId:  <<<", "RunTest() failed because this->creds was not set"},
                    -1, TokenFile::AsBefore},
        FailureCase{"DynamoDbUnreachable", nullptr, nullptr, true, nullptr, true, StoreCalls, 0,
                    kStoreLines("curlCode: 7, Couldn't connect to server (11 attempts)"), -1, TokenFile::AsBefore},
        FailureCase{"MissingDesignTable", nullptr, "no-such-table", true, nullptr, false, StoreCalls, 0,
                    kStoreLines("Requested resource not found"), -1, TokenFile::AsBefore}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

class CloudRecoveryTest : public CloudMotoTest {};

// A mistyped second login must not leave the way back into the first user's account: neither the
// session nor the token file may carry it to a renewal or a save.
TEST_F(CloudRecoveryTest, AFailedLoginLeavesNoWayBackIntoTheEarlierSession) {
    TeskObj* obj = CreateTeskObj();
    ASSERT_EQ(GoodLogin(obj), 1);
    ASSERT_EQ(WrongPassword(obj), 0);
    EXPECT_EQ(FileBytes(TokenPath()), "<missing>");
    ClearLog();
    ::Test(obj);
    ExpectLinesInOrder(log.lines, {"ERROR: RunTest InitAuth.", "RunTest() failed because this->creds was not set"});
    EXPECT_EQ(SaveCurrentDesign(obj, 0), 0);
    EXPECT_TRUE(log.Contains("ERROR: SaveDesign - not logged in"));
    EXPECT_FALSE(log.Contains("Successfully added Item!"));
    DeleteTeskObj(obj);
}

// An identity pool that answers 503 twice: the third attempt succeeds, nothing of the first two
// reaches the log, and the credentials it gives work.
TEST_F(CloudRecoveryTest, AServiceUnavailableTwiceIsRetriedUntilItAnswers) {
    const std::string mode = "unavailable-twice/" + std::to_string(getpid()) + "-" +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name();
    SetEnv("AWS_ENDPOINT_URL_COGNITO_IDENTITY", IdentityStubUrl(mode));
    TeskObj* obj = CreateTeskObj();
    ClearLog();
    ASSERT_EQ(GoodLogin(obj), 1);
    EXPECT_TRUE(log.lines.empty()) << log.lines[0];
    MotoServer stub;
    stub.url = IdentityStubUrl(mode);
    long status = 0;
    std::string seen;
    ASSERT_TRUE(MotoGet(stub, "", &status, &seen));
    EXPECT_EQ(nlohmann::json::parse(seen)["requests"], 4) << "GetId three times, then its credentials";
    EXPECT_EQ(SaveCurrentDesign(obj, 0), 1);
    DeleteTeskObj(obj);
}

}  // namespace
