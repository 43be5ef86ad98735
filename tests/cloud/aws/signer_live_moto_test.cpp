// Our SigV4 signer against a server that checks signatures: a moto of this test alone,
// switched to verifying every signed call with keys it issued.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cloud/aws/dynamodb.h"
#include "cloud/aws/sdk_lifetime.h"
#include "cloud/moto_harness.h"

namespace {

const char kTable[] = "signer_check";

class SignerLiveTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        skipReason_ = MotoUnavailableReason();
        if (!skipReason_.empty()) return;
        AwsSdkStart();
        setupError_ = PrepareServer();
    }

    // Starts moto, has it issue keys, then switches signature checking on.
    static std::string PrepareServer() {
        std::string error;
        if (!StartMoto(&server_, &error)) return error;
        if (!IsLoopbackUrl(server_.url)) return "moto is not on loopback: " + server_.url;
        std::string output;
        if (!RunPython(TestSourceDir() + "/cloud/aws/signer_fixture.py", {server_.url, kTable}, &output, &error)) {
            return error;
        }
        const nlohmann::json keys = nlohmann::json::parse(output, nullptr, false);
        if (!keys.is_object()) return "the fixture printed no JSON object";
        issued_.accessKeyId = keys.value("accessKeyId", "");
        issued_.secretKey = keys.value("secretKey", "");
        issued_.sessionToken = keys.value("sessionToken", "");
        if (issued_.sessionToken.empty()) return "the fixture issued no session token";
        long status = 0;
        if (!MotoPost(server_, "/moto-api/reset-auth", "0", "text/plain", &status) || status != 200) {
            return "cannot switch signature checking on";
        }
        return std::string();
    }

    static void TearDownTestSuite() {
        StopMoto(&server_);
        if (skipReason_.empty()) AwsSdkStop();
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
        ASSERT_EQ(setupError_, "");
        config_.region = "us-east-1";
        config_.endpointOverride = server_.url;
    }

    static AttributeMap ItemWithId(const std::string& id) { return {{"id", MakeS(id)}, {"note", MakeN("1.5")}}; }

    static std::string skipReason_;
    static std::string setupError_;
    static MotoServer server_;
    static AwsCredentials issued_;
    AwsClientConfig config_;
};

std::string SignerLiveTest::skipReason_;
std::string SignerLiveTest::setupError_;
MotoServer SignerLiveTest::server_;
AwsCredentials SignerLiveTest::issued_;

TEST_F(SignerLiveTest, SignedPutItemAndScanAreAccepted) {
    const AwsOutcome put = DynamoPutItem(config_, issued_, kTable, ItemWithId("accepted"));
    ASSERT_TRUE(put.ok) << put.error.message;

    DynamoScanRequest request;
    request.tableName = kTable;
    request.filterExpression = "id = :id";
    request.expressionAttributeValues = {{":id", MakeS("accepted")}};
    DynamoScanResult page;
    const AwsOutcome scan = DynamoScan(config_, issued_, request, &page);
    ASSERT_TRUE(scan.ok) << scan.error.message;
    ASSERT_EQ(page.count, 1);
    ASSERT_EQ(page.items.size(), 1u);
    EXPECT_EQ(page.items[0], ItemWithId("accepted"));
    EXPECT_TRUE(page.lastEvaluatedKey.empty());
}

TEST_F(SignerLiveTest, BadKeysAreRefusedWithADerivedMessageAndWriteNothing) {
    struct Case {
        const char* name;
        AwsCredentials credentials;
    };
    AwsCredentials wrongSecret = issued_;
    wrongSecret.secretKey += "x";
    AwsCredentials missingToken = issued_;
    missingToken.sessionToken.clear();
    AwsCredentials wrongToken = issued_;
    wrongToken.sessionToken = "not" + wrongToken.sessionToken;
    const Case cases[] = {{"wrong secret", wrongSecret}, {"missing token", missingToken}, {"wrong token", wrongToken}};

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const AwsOutcome put = DynamoPutItem(config_, c.credentials, kTable, ItemWithId(c.name));
        EXPECT_FALSE(put.ok);
        EXPECT_EQ(put.error.httpStatus, 403);
        // moto answers these in XML, which the error reader cannot take apart.
        EXPECT_EQ(put.error.message, "Failed to parse error payload: HTTP 403");

        DynamoScanRequest request;
        request.tableName = kTable;
        request.filterExpression = "id = :id";
        request.expressionAttributeValues = {{":id", MakeS(c.name)}};
        DynamoScanResult page;
        const AwsOutcome scan = DynamoScan(config_, issued_, request, &page);
        ASSERT_TRUE(scan.ok) << scan.error.message;
        EXPECT_EQ(page.count, 0);
    }
}

// The harness may only ever talk to a server on this machine.
TEST(MotoHarness, OnlyLoopbackUrlsCountAsLoopback) {
    const std::pair<const char*, bool> cases[] = {
        {"http://127.0.0.1", true},          {"http://127.0.0.1:5000", true},
        {"http://localhost:5000/x", true},   {"http://127.0.0.1.example.com/", false},
        {"http://localhost.example.com", false}, {"https://127.0.0.1:5000", false},
        {"http://10.0.0.1:5000", false},     {"http://user@127.0.0.1/", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsLoopbackUrl(c.first), c.second) << c.first;
}

}  // namespace
