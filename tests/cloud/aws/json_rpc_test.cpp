// How the layer builds its requests and reads what comes back, with a stub transport.
#include <gtest/gtest.h>

#include "cloud/aws/cognito_identity.h"
#include "cloud/aws/cognito_idp.h"
#include "cloud/aws/dynamodb.h"
#include "cloud/aws/json_rpc.h"

namespace {

using Headers = std::vector<std::pair<std::string, std::string>>;

// What the stub transport saw and what it answers.
struct StubExchange {
    std::vector<HttpRequest> sent;
    HttpResponse answer;
};

StubExchange& Stub() {
    static StubExchange stub;
    return stub;
}

void StubSend(const HttpRequest& request, HttpResponse* response) {
    Stub().sent.push_back(request);
    *response = Stub().answer;
}

void Answer(long status, const std::string& body) {
    Stub() = StubExchange();
    Stub().answer.status = status;
    Stub().answer.body = body;
}

AwsClientConfig StubConfig() {
    AwsClientConfig config;
    config.region = "us-east-1";
    config.transport = &StubSend;
    config.endpointOverride = "http://127.0.0.1:9/prefix";
    return config;
}

AwsCredentials SessionCredentials() {
    AwsCredentials credentials;
    credentials.accessKeyId = "ASIAEXAMPLE";
    credentials.secretKey = "secret";
    credentials.sessionToken = "token";
    return credentials;
}

DynamoScanRequest ScanOf(const std::string& table) {
    DynamoScanRequest request;
    request.tableName = table;
    return request;
}

std::string HeaderValue(const HttpRequest& request, const std::string& name) {
    for (const auto& header : request.headers) {
        if (header.first == name) return header.second;
    }
    return "<absent>";
}

struct ErrorCase {
    const char* name;
    int transportCode;
    const char* transportMessage;
    long status;
    std::map<std::string, std::string> headers;
    const char* body;
    const char* exceptionName;
    const char* message;
};

TEST(JsonRpc, ErrorsAreDerivedAsTheSdkDoes) {
    const ErrorCase cases[] = {
        {"no response", 7, "Couldn't connect to server", 0, {}, "", "", "curlCode: 7, Couldn't connect to server"},
        {"cognito error", 0, "", 400, {},
         R"({"__type":"NotAuthorizedException","message":"Incorrect username or password."})",
         "NotAuthorizedException", "Incorrect username or password."},
        {"type after '#'", 0, "", 400, {},
         R"({"__type":"com.amazonaws.dynamodb.v20120810#ResourceNotFoundException","message":"Requested resource not found"})",
         "ResourceNotFoundException", "Requested resource not found"},
        {"type before ':'", 0, "", 400, {},
         R"({"__type":"com.amazon.coral.validate#ValidationException:detail","message":"bad"})",
         "ValidationException", "bad"},
        {"Message over message", 0, "", 400, {}, R"({"__type":"X","Message":"upper","message":"lower"})", "X",
         "upper"},
        {"message of another type", 0, "", 400, {}, R"({"__type":"X","message":17})", "X", ""},
        {"header over __type", 0, "", 400,
         {{"x-amzn-errortype", "UnrecognizedClientException:http://internal.amazon.com/coral/"}},
         R"({"__type":"Other","message":"m"})", "UnrecognizedClientException", "m"},
        {"empty body", 0, "", 400, {{"x-amzn-errortype", "ThrottlingException"}}, "", "ThrottlingException",
         "No response body."},
        {"empty body, no name", 0, "", 503, {}, "", "InternalFailure", "No response body."},
        {"HTML error page", 0, "", 500, {}, "<!doctype html><title>500 Internal Server Error</title>",
         "InternalFailure", "Failed to parse error payload: HTTP 500"},
        {"XML refusal", 0, "", 403, {}, "<ErrorResponse><Error><Code>SignatureDoesNotMatch</Code></Error></ErrorResponse>",
         "AccessDeniedException", "Failed to parse error payload: HTTP 403"},
        {"2xx array", 0, "", 200, {}, "[1,2]", "Json Parser Error", "response is not a JSON object"},
    };
    for (const ErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        HttpResponse response;
        response.transportCode = c.transportCode;
        response.transportMessage = c.transportMessage;
        response.status = c.status;
        response.headers = c.headers;
        response.body = c.body;
        const AwsOutcome outcome = OutcomeFromResponse(response, ServiceAnswerLimits(AwsService::DynamoDb));
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error.exceptionName, c.exceptionName);
        EXPECT_EQ(outcome.error.message, c.message);
        EXPECT_EQ(outcome.error.httpStatus, c.status);
    }
}

TEST(JsonRpc, SuccessBodiesAreJsonObjectsAndAnEmptyOneMeansEmpty) {
    HttpResponse response;
    response.status = 200;
    AwsOutcome outcome = OutcomeFromResponse(response, ServiceAnswerLimits(AwsService::DynamoDb));
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.result, nlohmann::json::object());

    response.body = R"({"IdentityId":"us-east-1:abc"})";
    outcome = OutcomeFromResponse(response, ServiceAnswerLimits(AwsService::DynamoDb));
    EXPECT_TRUE(outcome.ok);
    EXPECT_EQ(outcome.result["IdentityId"], "us-east-1:abc");
}

// An unsigned DynamoDB call reaches S3 on moto and gets XML with 200; a truncated answer
// must not put a piece of a secret into the message that gets logged.
TEST(JsonRpc, NonJsonSuccessIsAParserErrorThatQuotesNothingOfTheBody) {
    const char* bodies[] = {
        "<?xml version=\"1.0\"?><ListAllMyBucketsResult></ListAllMyBucketsResult>",
        R"({"Credentials":{"AccessKeyId":"AKID","SecretKey":"TOPSECRETVALUE)",
    };
    for (const char* body : bodies) {
        SCOPED_TRACE(body);
        HttpResponse response;
        response.status = 200;
        response.body = body;
        const AwsOutcome outcome = OutcomeFromResponse(response, ServiceAnswerLimits(AwsService::DynamoDb));
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error.exceptionName, "Json Parser Error");
        EXPECT_NE(outcome.error.message.find("parse error"), std::string::npos) << outcome.error.message;
        EXPECT_EQ(outcome.error.message.find("TOPSECRET"), std::string::npos) << outcome.error.message;
        EXPECT_EQ(outcome.error.message.find("ListAll"), std::string::npos) << outcome.error.message;
    }
}

TEST(JsonRpc, InitiateAuthGoesUnsignedWithItsTargetAndCompactBody) {
    Answer(200, R"({"AuthenticationResult":{"AccessToken":"a","IdToken":"i","RefreshToken":"r"}})");
    const AwsOutcome outcome =
        CognitoInitiateAuth(StubConfig(), "USER_PASSWORD_AUTH", {{"USERNAME", "alice"}, {"PASSWORD", "pw"}}, "cid");
    ASSERT_TRUE(outcome.ok) << outcome.error.message;
    ASSERT_EQ(Stub().sent.size(), 1u);
    const HttpRequest& sent = Stub().sent[0];
    EXPECT_EQ(sent.method, "POST");
    EXPECT_EQ(sent.url, "http://127.0.0.1:9/prefix");
    const Headers expected = {{"Host", "127.0.0.1:9"},
                              {"Content-Type", "application/x-amz-json-1.1"},
                              {"X-Amz-Target", "AWSCognitoIdentityProviderService.InitiateAuth"}};
    EXPECT_EQ(sent.headers, expected);
    EXPECT_EQ(sent.body,
              R"({"AuthFlow":"USER_PASSWORD_AUTH","AuthParameters":{"PASSWORD":"pw","USERNAME":"alice"},"ClientId":"cid"})");
    const CognitoTokens tokens = CognitoTokensFromResult(outcome.result);
    EXPECT_EQ(tokens.accessToken, "a");
    EXPECT_EQ(tokens.idToken, "i");
    EXPECT_EQ(tokens.refreshToken, "r");
}

TEST(JsonRpc, EachOperationHasItsTargetContentTypeAndSigning) {
    struct Case {
        const char* target;
        const char* contentType;
        bool signedCall;
        AwsOutcome (*call)();
    };
    static const AwsCredentials credentials = SessionCredentials();
    static const AwsCredentials empty;
    const Case cases[] = {
        {"AWSCognitoIdentityService.GetId", "application/x-amz-json-1.1", false,
         [] { return CognitoGetId(StubConfig(), "us-east-1:pool", {{"provider", "id-token"}}); }},
        {"AWSCognitoIdentityService.GetCredentialsForIdentity", "application/x-amz-json-1.1", false,
         [] { return CognitoGetCredentialsForIdentity(StubConfig(), "us-east-1:id", {{"provider", "id-token"}}); }},
        {"DynamoDB_20120810.Scan", "application/x-amz-json-1.0", true,
         [] { return DynamoScan(StubConfig(), credentials, ScanOf("designs"), nullptr); }},
        {"DynamoDB_20120810.GetItem", "application/x-amz-json-1.0", true,
         [] { return DynamoGetItem(StubConfig(), credentials, "designs", {{"designId", MakeS("x")}}, nullptr, nullptr); }},
        {"DynamoDB_20120810.PutItem", "application/x-amz-json-1.0", true,
         [] { return DynamoPutItem(StubConfig(), credentials, "designs", {{"designId", MakeS("x")}}); }},
        // Credentials without keys sign nothing, as an unconfigured SDK client does.
        {"DynamoDB_20120810.PutItem", "application/x-amz-json-1.0", false,
         [] { return DynamoPutItem(StubConfig(), empty, "designs", {{"designId", MakeS("x")}}); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target);
        Answer(200, "{}");
        EXPECT_TRUE(c.call().ok);
        ASSERT_EQ(Stub().sent.size(), 1u);
        const HttpRequest& sent = Stub().sent[0];
        EXPECT_EQ(HeaderValue(sent, "X-Amz-Target"), c.target);
        EXPECT_EQ(HeaderValue(sent, "Content-Type"), c.contentType);
        const std::string authorization = HeaderValue(sent, "Authorization");
        if (c.signedCall) {
            EXPECT_EQ(authorization.rfind("AWS4-HMAC-SHA256 Credential=ASIAEXAMPLE/", 0), 0u) << authorization;
            EXPECT_NE(authorization.find("/us-east-1/dynamodb/aws4_request, "), std::string::npos);
            EXPECT_EQ(HeaderValue(sent, "X-Amz-Security-Token"), "token");
            EXPECT_EQ(HeaderValue(sent, "X-Amz-Date").size(), 16u);
        } else {
            EXPECT_EQ(authorization, "<absent>");
            EXPECT_EQ(HeaderValue(sent, "X-Amz-Security-Token"), "<absent>");
            EXPECT_EQ(HeaderValue(sent, "X-Amz-Date"), "<absent>");
        }
    }
}

TEST(JsonRpc, RequestsThatCannotBeSentSafelyAreRefusedBeforeSending) {
    struct Case {
        const char* name;
        AwsOutcome (*call)();
        const char* messageStart;
    };
    const Case cases[] = {
        {"user name not UTF-8",
         [] { return CognitoInitiateAuth(StubConfig(), "USER_PASSWORD_AUTH", {{"USERNAME", "\xff\xfe"}}, "cid"); },
         "Invalid request: a text is not valid UTF-8"},
        {"line break in the session token",
         [] {
             AwsCredentials credentials = SessionCredentials();
             credentials.sessionToken = "token\r\nX-Injected: 1";
             return DynamoPutItem(StubConfig(), credentials, "designs", {{"designId", MakeS("x")}});
         },
         "Invalid request: a control character in the X-Amz-Security-Token header"},
        {"endpoint not http",
         [] {
             AwsClientConfig config = StubConfig();
             config.endpointOverride = "file:///etc/passwd";
             return CognitoGetId(config, "pool", {});
         },
         "Invalid endpoint: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Answer(200, "{}");
        const AwsOutcome outcome = c.call();
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error.message.rfind(c.messageStart, 0), 0u) << outcome.error.message;
        EXPECT_TRUE(Stub().sent.empty());
    }
}

TEST(JsonRpc, ScanSendsOnlyTheMembersGivenAndReadsThePage) {
    Answer(200, R"({"Items":[{"designId":{"S":"a"},"ts":{"S":"t"}}],"Count":1,"ScannedCount":7,)"
                R"("LastEvaluatedKey":{"designId":{"S":"z"}}})");
    DynamoScanRequest request;
    request.tableName = "designs";
    request.projectionExpression = "designId, ts";
    request.filterExpression = "begins_with(designId, :id)";
    request.expressionAttributeValues = {{":id", MakeS("us-east-1:x")}};
    request.exclusiveStartKey = {{"designId", MakeS("k")}};
    DynamoScanResult page;
    const AwsOutcome outcome = DynamoScan(StubConfig(), SessionCredentials(), request, &page);
    ASSERT_TRUE(outcome.ok) << outcome.error.message;
    EXPECT_EQ(nlohmann::json::parse(Stub().sent.at(0).body),
              nlohmann::json::parse(R"({"TableName":"designs","ProjectionExpression":"designId, ts",)"
                                    R"j("FilterExpression":"begins_with(designId, :id)",)j"
                                    R"("ExpressionAttributeValues":{":id":{"S":"us-east-1:x"}},)"
                                    R"("ExclusiveStartKey":{"designId":{"S":"k"}}})"));
    ASSERT_EQ(page.items.size(), 1u);
    EXPECT_EQ(page.items[0], (AttributeMap{{"designId", MakeS("a")}, {"ts", MakeS("t")}}));
    EXPECT_EQ(page.count, 1);
    EXPECT_EQ(page.scannedCount, 7);
    EXPECT_EQ(page.lastEvaluatedKey, (AttributeMap{{"designId", MakeS("z")}}));

    Answer(200, R"({"Items":[],"Count":0,"ScannedCount":0})");
    ASSERT_TRUE(DynamoScan(StubConfig(), SessionCredentials(), ScanOf("designs"), &page).ok);
    EXPECT_EQ(Stub().sent.at(0).body, R"({"TableName":"designs"})");
    EXPECT_TRUE(page.items.empty());
    EXPECT_TRUE(page.lastEvaluatedKey.empty());
}

TEST(JsonRpc, MalformedItemsFailTheCallAndLeaveTheResultAlone) {
    const char* answers[] = {
        R"({"Items":{"not":"a list"},"Count":1})",
        R"({"Items":[{"designId":{"S":"a","N":"1"}}],"Count":1})",
        R"({"Items":[],"LastEvaluatedKey":{"designId":{"X":"a"}}})",
    };
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        Answer(200, answer);
        DynamoScanResult page;
        page.count = 99;
        const AwsOutcome outcome = DynamoScan(StubConfig(), SessionCredentials(), ScanOf("t"), &page);
        EXPECT_FALSE(outcome.ok);
        EXPECT_EQ(outcome.error.message.rfind("Unexpected response: ", 0), 0u) << outcome.error.message;
        EXPECT_EQ(page.count, 99);
    }
}

TEST(JsonRpc, GetItemTellsAnItemFromNone) {
    bool found = true;
    AttributeMap item;
    Answer(200, "{}");
    ASSERT_TRUE(DynamoGetItem(StubConfig(), SessionCredentials(), "t", {{"designId", MakeS("a")}}, &found, &item).ok);
    EXPECT_FALSE(found);
    EXPECT_EQ(nlohmann::json::parse(Stub().sent.at(0).body),
              nlohmann::json::parse(R"({"TableName":"t","Key":{"designId":{"S":"a"}}})"));

    Answer(200, R"({"Item":{"designId":{"S":"a"},"design":{"B":"AAE="}}})");
    ASSERT_TRUE(DynamoGetItem(StubConfig(), SessionCredentials(), "t", {{"designId", MakeS("a")}}, &found, &item).ok);
    EXPECT_TRUE(found);
    EXPECT_EQ(item, (AttributeMap{{"designId", MakeS("a")}, {"design", MakeB(std::string("\0\1", 2))}}));
}

TEST(JsonRpc, CredentialsAndIdentityAreReadFromTheAnswer) {
    const nlohmann::json answer = nlohmann::json::parse(
        R"({"Credentials":{"AccessKeyId":"AK","SecretKey":"SK","SessionToken":"ST","Expiration":1709622489.25},)"
        R"("IdentityId":"us-east-1:id"})");
    const AwsCredentials credentials = CognitoCredentialsFromResult(answer);
    EXPECT_EQ(credentials.accessKeyId, "AK");
    EXPECT_EQ(credentials.secretKey, "SK");
    EXPECT_EQ(credentials.sessionToken, "ST");
    EXPECT_EQ(std::chrono::duration_cast<std::chrono::milliseconds>(credentials.expiration.time_since_epoch()).count(),
              1709622489250LL);
    EXPECT_EQ(credentials.accountId, "");
    EXPECT_EQ(CognitoIdentityIdFromResult(answer), "us-east-1:id");

    const nlohmann::json odd = nlohmann::json::parse(R"({"Credentials":{"AccessKeyId":5,"Expiration":"soon"}})");
    const AwsCredentials partial = CognitoCredentialsFromResult(odd);
    EXPECT_TRUE(partial.IsEmpty());
    EXPECT_EQ(partial.expiration, std::chrono::system_clock::time_point::max());
    EXPECT_EQ(CognitoIdentityIdFromResult(odd), "");

    // Beyond what the clock can count: never expiring, not an overflow.
    for (const char* seconds : {"147e8", "-1e10", "1e300"}) {
        const nlohmann::json far = nlohmann::json::parse(std::string(R"({"Credentials":{"Expiration":)") + seconds + "}}");
        EXPECT_EQ(CognitoCredentialsFromResult(far).expiration, std::chrono::system_clock::time_point::max()) << seconds;
    }
}

TEST(JsonRpc, AChallengeCarriesNoTokens) {
    const CognitoTokens tokens = CognitoTokensFromResult(nlohmann::json::parse(
        R"({"ChallengeName":"NEW_PASSWORD_REQUIRED","ChallengeParameters":{},"Session":"s"})"));
    EXPECT_EQ(tokens.accessToken, "");
    EXPECT_EQ(tokens.idToken, "");
    EXPECT_EQ(tokens.refreshToken, "");
}

}  // namespace
