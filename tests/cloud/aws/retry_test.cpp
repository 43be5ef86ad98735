// The layer's retries against a scripted transport: which failures are sent again, the waits
// between them, the clock-skew correction, and the call's deadline. Nothing really waits.
#include <gtest/gtest.h>

#include <ctime>

#include "cloud/aws/dynamodb.h"
#include "cloud/aws/json_rpc.h"
#include "cloud/scripted_transport.h"

namespace {

using std::chrono::milliseconds;

AwsClientConfig ScriptedConfig(std::vector<ScriptedAnswer> answers) {
    AwsClientConfig config;
    config.region = "us-east-1";
    config.endpointOverride = "http://127.0.0.1:9/";
    UseScript(config, std::move(answers));
    return config;
}

AwsCredentials Keys() {
    AwsCredentials credentials;
    credentials.accessKeyId = "AKID";
    credentials.secretKey = "secret";
    return credentials;
}

AwsOutcome Put(const AwsClientConfig& config) {
    return DynamoPutItem(config, Keys(), "designs", {{"designId", MakeS("x")}});
}

AwsOutcome Call(const AwsClientConfig& config, AwsService service) {
    JsonRpcCall call;
    call.service = service;
    call.operation = "Op";
    return CallJsonRpc(config, call);
}

ScriptedAnswer Dated(ScriptedAnswer answer, std::chrono::system_clock::time_point date) {
    const time_t seconds = std::chrono::system_clock::to_time_t(date);
    tm parts{};
    gmtime_r(&seconds, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    answer.headers["date"] = text;
    return answer;
}

// The X-Amz-Date a request was signed with.
std::chrono::system_clock::time_point SignedAt(const HttpRequest& request) {
    for (const auto& header : request.headers) {
        if (header.first != "X-Amz-Date") continue;
        tm parts{};
        strptime(header.second.c_str(), "%Y%m%dT%H%M%SZ", &parts);
        return std::chrono::system_clock::from_time_t(timegm(&parts));
    }
    return {};
}

long long SecondsBetween(std::chrono::system_clock::time_point a, std::chrono::system_clock::time_point b) {
    return std::chrono::duration_cast<std::chrono::seconds>(a - b).count();
}

const char kBusy[] = R"({"__type":"ServiceUnavailableException","message":"busy"})";

TEST(Retries, WaitLikeTheSdkAndGiveUpAfterTenRetriesWithOneReport) {
    const AwsClientConfig config = ScriptedConfig({Json(503, kBusy)});
    const AwsOutcome outcome = Put(config);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error.message, "busy (ServiceUnavailableException, 11 attempts)");
    EXPECT_EQ(outcome.error.httpStatus, 503);
    ASSERT_EQ(TheScript().sent.size(), 11u);
    const std::vector<milliseconds> expected = {milliseconds(0),    milliseconds(50),   milliseconds(100),
                                                milliseconds(200),  milliseconds(400),  milliseconds(800),
                                                milliseconds(1600), milliseconds(3200), milliseconds(6400),
                                                milliseconds(12800)};
    EXPECT_EQ(TheScript().waits, expected);
    for (const HttpRequest& resent : TheScript().sent) EXPECT_EQ(resent.body, TheScript().sent[0].body);
}

TEST(Retries, ARetryThatSucceedsLeavesNoTraceInTheOutcome) {
    const AwsClientConfig config = ScriptedConfig({Json(503, kBusy), Json(503, kBusy), Json(200, "{}")});
    const AwsOutcome outcome = Put(config);
    EXPECT_TRUE(outcome.ok) << outcome.error.message;
    EXPECT_EQ(TheScript().sent.size(), 3u);
    EXPECT_EQ(TheScript().waits, (std::vector<milliseconds>{milliseconds(0), milliseconds(50)}));
}

struct RetryCase {
    const char* name;
    AwsService service;
    ScriptedAnswer answer;
    bool retried;
};

ScriptedAnswer Named(long status, const std::string& type) {
    return Json(status, R"({"__type":")" + type + R"(","message":"m"})");
}

TEST(Retries, OnlyWhatASecondAttemptCanMendIsSentAgain) {
    const AwsService dynamo = AwsService::DynamoDb;
    const AwsService cognito = AwsService::CognitoIdentityProvider;
    const RetryCase cases[] = {
        {"ThrottlingException", dynamo, Named(400, "ThrottlingException"), true},
        {"ProvisionedThroughputExceededException", dynamo, Named(400, "ProvisionedThroughputExceededException"), true},
        {"RequestLimitExceeded", dynamo, Named(400, "RequestLimitExceeded"), true},
        {"TooManyRequestsException", cognito, Named(429, "TooManyRequestsException"), true},
        {"Throttling", dynamo, Named(400, "com.amazon#Throttling"), true},
        {"SlowDown", dynamo, Named(503, "SlowDown"), true},
        {"LimitExceededException from Cognito", cognito, Named(400, "LimitExceededException"), true},
        {"LimitExceededException from DynamoDB", dynamo, Named(400, "LimitExceededException"), false},
        {"429 without a name", dynamo, Json(429, ""), true},
        {"500", dynamo, Json(500, ""), true},
        {"502 with an HTML page", cognito, Json(502, "<html>bad gateway</html>"), true},
        {"503", dynamo, Json(503, kBusy), true},
        {"504", dynamo, Json(504, ""), true},
        {"501", dynamo, Json(501, ""), false},
        {"ValidationException", dynamo, Named(400, "ValidationException"), false},
        {"NotAuthorizedException", cognito, Named(400, "NotAuthorizedException"), false},
        {"403", dynamo, Json(403, ""), false},
        {"404", dynamo, Json(404, ""), false},
        {"connection refused", dynamo, TransportFailure(7), true},
        {"cut-off answer", dynamo, TransportFailure(18), true},
        {"time-out", dynamo, TransportFailure(28), true},
        {"nothing came back", dynamo, TransportFailure(52), true},
        {"reset while sending", dynamo, TransportFailure(55), true},
        {"reset while receiving", dynamo, TransportFailure(56), true},
        {"host not found", dynamo, TransportFailure(6), false},
        {"TLS handshake", dynamo, TransportFailure(35), false},
        {"answer over the cap", dynamo, TransportFailure(63), false},
        {"503 over the cap", cognito, Json(503, std::string(65 << 10, ' ')), false},
        {"unparseable success", dynamo, Json(200, "{"), false},
    };
    for (const RetryCase& c : cases) {
        SCOPED_TRACE(c.name);
        const AwsClientConfig config = ScriptedConfig({c.answer, Json(200, "{}")});
        const AwsOutcome outcome = Call(config, c.service);
        EXPECT_EQ(TheScript().sent.size(), c.retried ? 2u : 1u);
        EXPECT_EQ(outcome.ok, c.retried) << outcome.error.message;
    }
}

TEST(Retries, ASkewedClockIsCorrectedOnceAtOnceAndStaysForLaterCalls) {
    const auto now = std::chrono::system_clock::now();
    const auto serverTime = now + std::chrono::minutes(10);
    milliseconds skew(0);
    AwsClientConfig config = ScriptedConfig({Dated(Named(400, "InvalidSignatureException"), serverTime), Json(200, "{}")});
    config.clockSkew = &skew;
    ASSERT_TRUE(Put(config).ok);
    ASSERT_EQ(TheScript().sent.size(), 2u);
    EXPECT_TRUE(TheScript().waits.empty()) << "the corrected request goes at once";
    EXPECT_LE(std::abs(SecondsBetween(SignedAt(TheScript().sent[0]), now)), 5);
    EXPECT_LE(std::abs(SecondsBetween(SignedAt(TheScript().sent[1]), serverTime)), 5);
    EXPECT_NEAR(std::chrono::duration_cast<std::chrono::seconds>(skew).count(), 600, 5);

    UseScript(config, {Json(200, "{}")});
    ASSERT_TRUE(Put(config).ok);
    EXPECT_LE(std::abs(SecondsBetween(SignedAt(TheScript().sent[0]), serverTime)), 5) << "a later call keeps it";
}

TEST(Retries, OnlySkewBeyondFourMinutesOfAClockErrorIsCorrected) {
    const auto now = std::chrono::system_clock::now();
    struct Case {
        const char* name;
        ScriptedAnswer first;
        size_t attempts;
    };
    const Case cases[] = {
        {"RequestTimeTooSkewed", Dated(Named(403, "RequestTimeTooSkewed"), now - std::chrono::minutes(20)), 2},
        {"SignatureDoesNotMatch", Dated(Named(403, "SignatureDoesNotMatch"), now + std::chrono::hours(3)), 2},
        {"three minutes off", Dated(Named(400, "InvalidSignatureException"), now + std::chrono::minutes(3)), 1},
        {"no Date header", Named(400, "InvalidSignatureException"), 1},
        {"another error", Dated(Named(400, "ValidationException"), now + std::chrono::minutes(10)), 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AwsClientConfig config = ScriptedConfig({c.first, Json(200, "{}")});
        EXPECT_EQ(Put(config).ok, c.attempts == 2);
        EXPECT_EQ(TheScript().sent.size(), c.attempts);
    }
    // A second skew answer after the correction is final: the clock is not chased.
    const ScriptedAnswer skewed = Dated(Named(400, "InvalidSignatureException"), now + std::chrono::minutes(10));
    const AwsClientConfig config = ScriptedConfig({skewed, skewed, Json(200, "{}")});
    const AwsOutcome outcome = Put(config);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(TheScript().sent.size(), 2u);
    EXPECT_EQ(outcome.error.message, "m (InvalidSignatureException, 2 attempts)");
}

TEST(Retries, TheDeadlineCutsRequestsAndWaitsShort) {
    ScriptedAnswer slowBusy = Json(503, kBusy);
    slowBusy.takes = milliseconds(2000);
    AwsClientConfig config = ScriptedConfig({slowBusy});
    config.deadline = ScriptedNow() + milliseconds(10000);
    const AwsOutcome outcome = Put(config);
    EXPECT_FALSE(outcome.ok);
    // Four slow answers and three waits take 8.35 s; the fifth request has 1.65 s and times out.
    ASSERT_EQ(TheScript().sent.size(), 5u);
    EXPECT_EQ(TheScript().sent.back().totalTimeoutMs, 1650);
    EXPECT_EQ(TheScript().sent.back().connectTimeoutMs, 1000);
    EXPECT_LE(ScriptedNow(), config.deadline);
    EXPECT_EQ(outcome.error.message, "curlCode: 28, Timeout was reached (5 attempts, the call's time is up)");

    UseScript(config, {Json(200, "{}")});
    config.deadline = ScriptedNow();
    EXPECT_EQ(Put(config).error.message, "The call's time was up before the request was sent");
    EXPECT_TRUE(TheScript().sent.empty());
}

}  // namespace
