// Signature Version 4 against published vectors. The first cases are transcribed from the
// AWS Signature Version 4 Test Suite (aws-sig-v4-test-suite, Apache-2.0); the signing-key
// case is the worked example of the AWS documentation; the DynamoDB-shaped case was
// cross-checked with botocore.
#include <gtest/gtest.h>

#include <chrono>

#include "cloud/aws/crypto.h"
#include "cloud/aws/json_rpc.h"
#include "cloud/aws/sigv4.h"

namespace {

const char kSuiteKeyId[] = "AKIDEXAMPLE";
const char kSuiteSecret[] = "wJalrXUtnFEMI/K7MDENG+bPxRfiCYEXAMPLEKEY";
const char kSuiteDate[] = "20150830T123600Z";
const char kSuiteToken[] =
    "AQoDYXdzEPT//////////wEXAMPLEtc764bNrC9SAPBSM22wDOk4x4HIZ8j4FZTwdQWLWsKWHGBuFqwAeMicRXmxfpSPfIeoIYRqTflfKD8YUuw"
    "thAx7mSEI/qkPpKPi/kMcGdQrmGdeehM4IC1NtBmUpp2wUE8phUZampKsburEDy0KPkyQDYwT7WZ0wq5VSXDvp75YU9HFvlRd8Tx6q6fE8YQcHNV"
    "XAkiY9q6d+xo0rKwT38xVqr7ZD0u0iPPkUL64lIZbqBAz+scqKmlzm8FDrypNC9Yjc8fPOLn9FX9KSYvKTr4rvx3iSIlTJabIQwj2ICCR/oLxBA==";

struct Vector {
    const char* name;
    const char* method;
    std::vector<std::pair<std::string, std::string>> headers;
    const char* body;
    const char* signedHeaders;
    const char* canonicalRequestHash;
    const char* signature;
};

std::vector<std::pair<std::string, std::string>> SuiteHeaders(std::vector<std::pair<std::string, std::string>> more) {
    std::vector<std::pair<std::string, std::string>> headers = {{"Host", "example.amazonaws.com"},
                                                                {"X-Amz-Date", kSuiteDate}};
    headers.insert(headers.end(), more.begin(), more.end());
    return headers;
}

TEST(SigV4, SuiteVectors) {
    const Vector vectors[] = {
        {"get-vanilla", "GET", SuiteHeaders({}), "", "host;x-amz-date",
         "bb579772317eb040ac9ed261061d46c1f17a8133879d6129b6e1c25292927e63",
         "5fa00fa31553b73ebf1942676e86291e8372ff2a2260956d9b8aae1d763fbf31"},
        {"post-vanilla", "POST", SuiteHeaders({}), "", "host;x-amz-date",
         "553f88c9e4d10fc9e109e2aeb65f030801b70c2f6468faca261d401ae622fc87",
         "5da7c1a2acd57cee7505fc6676e4e544621c30862966e37dddb68e92efbe5d6b"},
        {"post-x-www-form-urlencoded", "POST",
         SuiteHeaders({{"Content-Type", "application/x-www-form-urlencoded"}}), "Param1=value1",
         "content-type;host;x-amz-date", "42a5e5bb34198acb3e84da4f085bb7927f2bc277ca766e6d19c73c2154021281",
         "ff11897932ad3f4e8b18135d722051e5ac45fc38421b1da7b9d196a0fe09473a"},
        {"get-header-value-trim", "GET", SuiteHeaders({{"My-Header1", " value1"}, {"My-Header2", " \"a   b   c\""}}),
         "", "host;my-header1;my-header2;x-amz-date",
         "a726db9b0df21c14f559d0a978e563112acb1b9e05476f0a6a1c7d68f28605c7",
         "acc3ed3afb60bb290fc8d2dd0098b9911fcaa05412b367055dee359757a9c736"},
        {"post-sts-header-before", "POST", SuiteHeaders({{"X-Amz-Security-Token", kSuiteToken}}), "",
         "host;x-amz-date;x-amz-security-token", "c237e1b440d4c63c32ca95b5b99481081cb7b13c7e40434868e71567c1a882f6",
         "85d96828115b5dc0cfc3bd16ad9e210dd772bbebba041836c64533a82be05ead"},
    };
    for (const Vector& v : vectors) {
        SCOPED_TRACE(v.name);
        SigV4Request request;
        request.method = v.method;
        request.headers = v.headers;
        request.body = v.body;
        const SigV4Signature signature = SigV4Sign(request, kSuiteKeyId, kSuiteSecret, "us-east-1", "service", kSuiteDate);
        EXPECT_EQ(signature.signedHeaders, v.signedHeaders);
        EXPECT_EQ(signature.stringToSign, std::string("AWS4-HMAC-SHA256\n") + kSuiteDate +
                                              "\n20150830/us-east-1/service/aws4_request\n" + v.canonicalRequestHash);
        EXPECT_EQ(signature.signature, v.signature);
        EXPECT_EQ(signature.authorization,
                  std::string("AWS4-HMAC-SHA256 Credential=AKIDEXAMPLE/20150830/us-east-1/service/aws4_request, "
                              "SignedHeaders=") +
                      v.signedHeaders + ", Signature=" + v.signature);
    }
}

TEST(SigV4, CanonicalRequestHasTheBlankLineAfterTheHeadersAndTrimsValues) {
    SigV4Request request;
    request.method = "GET";
    request.headers = {{"X-Amz-Date", kSuiteDate}, {"My-Header2", "  \"a   b   c\"  "}, {"Host", "example.amazonaws.com"}};
    EXPECT_EQ(SigV4CanonicalRequest(request),
              "GET\n/\n\nhost:example.amazonaws.com\nmy-header2:\"a b c\"\nx-amz-date:20150830T123600Z\n\n"
              "host;my-header2;x-amz-date\ne3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(SigV4, SigningKeyOfTheDocumentationExample) {
    EXPECT_EQ(HexLower(SigV4SigningKey(kSuiteSecret, "20120215", "us-east-1", "iam")),
              "f4780e2d9f65fa895f9c67b32ce1baf0b0d8a43505a000a1a9e090d414db404d");
}

TEST(SigV4, CanonicalUriEncodesEachSegmentAndKeepsSlashes) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "/"},
        {"/", "/"},
        {"/prefix/dynamo/", "/prefix/dynamo/"},
        {"/a b/c~d_e.f-g", "/a%20b/c~d_e.f-g"},
        {"/already%20encoded", "/already%2520encoded"},
    };
    for (const auto& c : cases) EXPECT_EQ(SigV4CanonicalUri(c.first), c.second) << c.first;
}

// A GetItem of table "t" built by the layer for the endpoint, signed on 2024-03-05T07:08:09Z
// with the suite's keys and the session token TOKEN123.
HttpRequest SignedGetItem(const AwsEndpoint& endpoint) {
    AwsClientConfig config;
    config.region = "us-east-1";
    AwsCredentials credentials;
    credentials.accessKeyId = kSuiteKeyId;
    credentials.secretKey = kSuiteSecret;
    credentials.sessionToken = "TOKEN123";
    JsonRpcCall call;
    call.service = AwsService::DynamoDb;
    call.operation = "GetItem";
    call.body = {{"TableName", "t"}};
    call.credentials = &credentials;
    HttpRequest request;
    std::string error;
    EXPECT_TRUE(BuildJsonRpcRequest(config, endpoint, call,
                                    std::chrono::system_clock::time_point(std::chrono::seconds(1709622489)), &request,
                                    &error))
        << error;
    return request;
}

// The layer's own request for a DynamoDB call must carry exactly the signature that
// botocore computes for the same request.
TEST(SigV4, DynamoDbRequestBuiltByTheLayerMatchesBotocore) {
    const AwsEndpoint endpoint = ParseEndpointUrl("https://dynamodb.us-east-1.amazonaws.com/");
    ASSERT_TRUE(endpoint.valid);
    const HttpRequest request = SignedGetItem(endpoint);
    EXPECT_EQ(request.body, "{\"TableName\":\"t\"}");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Host", "dynamodb.us-east-1.amazonaws.com"},
        {"Content-Type", "application/x-amz-json-1.0"},
        {"X-Amz-Target", "DynamoDB_20120810.GetItem"},
        {"X-Amz-Date", "20240305T070809Z"},
        {"X-Amz-Security-Token", "TOKEN123"},
        {"Authorization",
         "AWS4-HMAC-SHA256 Credential=AKIDEXAMPLE/20240305/us-east-1/dynamodb/aws4_request, "
         "SignedHeaders=content-type;host;x-amz-date;x-amz-security-token;x-amz-target, "
         "Signature=d2c169b54a1f014b2172c392bd9e0de4a12472c1e0a54d6bc347d64c7f7134bb"},
    };
    EXPECT_EQ(request.headers, expected);
}

// An endpoint URL with a path is sent with that path normalised and signed the same. The
// signatures are botocore's (1.43) for the same request sent to the path as it goes out:
// botocore removes dot segments and merges slashes itself, and is given the percent-encoded
// form where the configured path holds bytes a URL cannot carry.
TEST(SigV4, EndpointPathsAreSentAndSignedAsBotocoreSignsThem) {
    struct Case {
        const char* url;
        const char* sentPath;
        const char* signature;
    };
    const Case cases[] = {
        {"http://127.0.0.1:5000/a/../b/", "/b/", "510cc77ddf360ee9305112244bbb7381be150ec56aa7258cac3b39c8a8514f1a"},
        {"http://127.0.0.1:5000//prefix//dynamo/", "/prefix/dynamo/",
         "2474ac40e949afea4191b76d29e12f6e0aab21c9eb1d6aa1b8a849d1a5198168"},
        {"http://127.0.0.1:5000/./x/.", "/x", "aa16344a7c31577e67f70ec2112e4c864efa459964100c3873791002309d2b23"},
        {"http://127.0.0.1:5000/a/b/../../..", "/", "a0ac25cddfcd18d844280a9e44741320df8b459174f7e741d871f3d973b90264"},
        {"http://127.0.0.1:5000", "/", "a0ac25cddfcd18d844280a9e44741320df8b459174f7e741d871f3d973b90264"},
        {"http://127.0.0.1:5000/caf\xc3\xa9/", "/caf%C3%A9/",
         "c55f661471525bf4ba1eb35419a0db21d17b62ca2081b198c65ee90cf4410b96"},
        {"http://127.0.0.1:5000/a%20b/(x)!", "/a%20b/%28x%29%21",
         "39232d216888bbf02960aebd2443e358bb936bb66b51e48c634bd70ff553e306"},
        {"http://127.0.0.1:5000/100%/~user/", "/100%25/~user/",
         "b649f0c8f0f58ff16a4bbd9ef7fa899a386ae4ff33fc0304fa1757371420da20"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        const AwsEndpoint endpoint = ParseEndpointUrl(c.url);
        ASSERT_TRUE(endpoint.valid) << endpoint.error;
        EXPECT_EQ(endpoint.path, c.sentPath);
        EXPECT_EQ(endpoint.url, std::string("http://127.0.0.1:5000") + c.sentPath);
        const std::string authorization = SignedGetItem(endpoint).headers.back().second;
        EXPECT_EQ(authorization.substr(authorization.find("Signature=") + 10), c.signature);
    }
}

}  // namespace
