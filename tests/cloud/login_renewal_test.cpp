// Login and renewal against scripted Cognito answers: what becomes of the token file, what a
// rotated token does, and what of the answers reaches the log.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cloud/aws/base64.h"
#include "cloud/cloud_login.h"
#include "cloud/scripted_transport.h"
#include "cloud/session_renewal.h"
#include "cloud/temp_appdata.h"
#include "log_capture.h"

namespace {

std::string Base64Url(const std::string& bytes) {
    std::string text = Base64Encode(bytes);
    for (char& c : text) {
        if (c == '+') c = '-';
        if (c == '/') c = '_';
    }
    return text.substr(0, text.find('='));
}

std::string Jwt(const nlohmann::json& payload) {
    return Base64Url(R"({"alg":"none"})") + "." + Base64Url(payload.dump()) + "." + Base64Url("sig");
}

const std::string kIdToken = Jwt({{"sub", "sub-1"}, {"username", "bob"}});
const std::string kAccessToken = Jwt({{"scope", "aws.cognito.signin.user.admin"}});

ScriptedAnswer Tokens(const std::string& refreshToken) {
    nlohmann::json result = {{"AccessToken", kAccessToken}, {"IdToken", kIdToken}};
    if (!refreshToken.empty()) result["RefreshToken"] = refreshToken;
    return Json(200, nlohmann::json({{"AuthenticationResult", result}}).dump());
}

const ScriptedAnswer kIdentity = Json(200, R"({"IdentityId":"us-east-1:id-1"})");
const ScriptedAnswer kCredentials =
    Json(200, R"({"IdentityId":"us-east-1:id-1","Credentials":{"AccessKeyId":"AKID","SecretKey":"SECRETKEY-1",)"
              R"("SessionToken":"SESSIONTOKEN-1"}})");
const ScriptedAnswer kStored = Json(200, "{}");

class ScriptedCloud : public ::testing::Test {
protected:
    std::string StoredToken() const { return appData.StoredToken(); }
    bool LogIn(const char* password, std::vector<ScriptedAnswer> answers) {
        UseScript(session.config, std::move(answers));
        return CloudLogin(session, "bob", password);
    }
    TempAppData appData;
    CloudSession session;
    LogCapture log;
};

TEST_F(ScriptedCloud, AFailedLoginForgetsTheEarlierUsersToken) {
    ASSERT_TRUE(LogIn("right", {Tokens("bobs-token"), kIdentity, kCredentials}));
    EXPECT_EQ(StoredToken(), "bobs-token");
    struct Case {
        const char* name;
        std::vector<ScriptedAnswer> answers;
    };
    const Case cases[] = {
        {"wrong password", {Json(400, R"({"__type":"NotAuthorizedException","message":"Incorrect username or password."})")}},
        {"challenge", {Json(200, R"({"ChallengeName":"NEW_PASSWORD_REQUIRED","Session":"s"})")}},
        {"identity pool refuses", {Tokens("carols-token"), Json(400, R"({"__type":"NotAuthorizedException"})")}},
        {"no credentials", {Tokens("carols-token"), kIdentity, Json(400, R"({"__type":"NotAuthorizedException"})")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(LogIn("right", {Tokens("bobs-token"), kIdentity, kCredentials}));
        EXPECT_FALSE(LogIn("typo", c.answers));
        EXPECT_EQ(StoredToken(), "<missing>");
        EXPECT_FALSE(IsLoggedIn(session));
    }
    // So a renewal now has no token to resume Bob's session with.
    UseScript(session.config, {Json(400, R"({"__type":"NotAuthorizedException","message":"Invalid Refresh Token"})")});
    log.Clear();
    CloudRunTest(session);
    ASSERT_EQ(TheScript().sent.size(), 1u);
    EXPECT_NE(TheScript().sent[0].body.find(R"("REFRESH_TOKEN":"")"), std::string::npos) << TheScript().sent[0].body;
    EXPECT_TRUE(log.Contains("RunTest() failed because this->creds was not set"));
}

TEST_F(ScriptedCloud, ARenewalKeepsARotatedRefreshTokenAndOnlyThen) {
    ASSERT_TRUE(LogIn("right", {Tokens("first"), kIdentity, kCredentials}));
    UseScript(session.config, {Tokens("rotated"), kIdentity, kCredentials, kStored});
    CloudRunTest(session);
    EXPECT_NE(TheScript().sent[0].body.find(R"("REFRESH_TOKEN":"first")"), std::string::npos);
    EXPECT_EQ(StoredToken(), "rotated");
    EXPECT_TRUE(log.Contains("Successfully added Item!"));

    UseScript(session.config, {Tokens(""), kIdentity, kCredentials, kStored});
    CloudRunTest(session);
    EXPECT_EQ(StoredToken(), "rotated") << "an answer without a new token keeps the stored one";
}

TEST_F(ScriptedCloud, AttemptsThatARetryMendsLeaveNoLineAndTheLastFailureOneLine) {
    const ScriptedAnswer throttled = Json(400, R"({"__type":"TooManyRequestsException","message":"Rate exceeded"})");
    EXPECT_TRUE(LogIn("right", {throttled, throttled, Tokens("t"), Json(503, ""), kIdentity, kCredentials}));
    EXPECT_TRUE(log.lines.empty()) << log.lines[0];

    EXPECT_FALSE(LogIn("right", {throttled}));
    EXPECT_EQ(TheScript().sent.size(), 11u);
    EXPECT_EQ(log.lines, (std::vector<std::string>{"ERROR: Login() failed.",
                                                   "ERROR: initiateAuth - Rate exceeded (TooManyRequestsException, 11 attempts)"}));
}

// A proxy that echoes the request puts the password, and later the tokens and keys, into the
// texts it answers with; none of them may reach a line.
TEST_F(ScriptedCloud, SecretsEchoedByAServerAreBlankedOutOfEveryLine) {
    const std::string password = "hunter2-Pass";
    EXPECT_FALSE(LogIn(password.c_str(), {Json(400, R"({"__type":"X","message":"echo: {\"PASSWORD\":\"hunter2-Pass\"}"})")}));
    EXPECT_TRUE(log.Contains(R"(ERROR: initiateAuth - echo: {"PASSWORD":"***"})"));

    const std::string echo = "echo " + password + " " + kIdToken + " " + kAccessToken + " refresh-1";
    EXPECT_FALSE(LogIn(password.c_str(), {Tokens("refresh-1"), Json(400, nlohmann::json({{"message", echo}}).dump())}));
    EXPECT_TRUE(log.Contains("ERROR: GetId failed: echo *** *** *** ***"));

    ASSERT_TRUE(LogIn(password.c_str(), {Tokens("refresh-1"), kIdentity, kCredentials}));
    const std::string keys = "keys SECRETKEY-1 SESSIONTOKEN-1 refresh-1";
    UseScript(session.config, {Tokens("refresh-1"), Json(400, nlohmann::json({{"message", keys}}).dump()),
                               Json(400, nlohmann::json({{"message", keys + " " + kIdToken}}).dump())});
    CloudRunTest(session);
    EXPECT_TRUE(log.Contains("ERROR: idResult: keys *** *** *** <<<"));
    EXPECT_TRUE(log.Contains("ERROR: credForIdResult: keys *** *** *** *** <<<"));
    for (const std::string& line : log.lines) {
        for (const std::string& secret : {password, kIdToken, kAccessToken, std::string("refresh-1"),
                                          std::string("SECRETKEY-1"), std::string("SESSIONTOKEN-1")}) {
            EXPECT_EQ(line.find(secret), std::string::npos) << line;
        }
    }
}

}  // namespace
