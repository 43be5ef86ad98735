// Where each service's requests go, with the endpoint variables as the SDKs read them.
#include <gtest/gtest.h>

#include <map>

#include "cloud/aws/client_config.h"

namespace {

std::map<std::string, std::string>& FakeEnvironment() {
    static std::map<std::string, std::string> variables;
    return variables;
}

const char* LookUp(const char* name) {
    auto found = FakeEnvironment().find(name);
    return found == FakeEnvironment().end() ? nullptr : found->second.c_str();
}

struct ResolutionCase {
    const char* name;
    std::map<std::string, std::string> environment;
    AwsService service;
    const char* url;
    const char* hostHeader;
    const char* path;
};

TEST(Endpoint, ResolutionFollowsTheEnvironment) {
    const AwsService idp = AwsService::CognitoIdentityProvider;
    const AwsService identity = AwsService::CognitoIdentity;
    const AwsService dynamo = AwsService::DynamoDb;
    const std::map<std::string, std::string> both = {{"AWS_ENDPOINT_URL", "http://127.0.0.1:5000"},
                                                     {"AWS_ENDPOINT_URL_DYNAMODB", "http://127.0.0.1:6000/db"}};
    const ResolutionCase cases[] = {
        {"default idp", {}, idp, "https://cognito-idp.us-east-1.amazonaws.com/", "cognito-idp.us-east-1.amazonaws.com", "/"},
        {"default identity", {}, identity, "https://cognito-identity.us-east-1.amazonaws.com/",
         "cognito-identity.us-east-1.amazonaws.com", "/"},
        {"default dynamodb", {}, dynamo, "https://dynamodb.us-east-1.amazonaws.com/", "dynamodb.us-east-1.amazonaws.com", "/"},
        {"global override", {{"AWS_ENDPOINT_URL", "http://127.0.0.1:5000"}}, identity, "http://127.0.0.1:5000/",
         "127.0.0.1:5000", "/"},
        {"service over global", both, dynamo, "http://127.0.0.1:6000/db", "127.0.0.1:6000", "/db"},
        {"other service keeps global", both, idp, "http://127.0.0.1:5000/", "127.0.0.1:5000", "/"},
        {"service id with underscores", {{"AWS_ENDPOINT_URL_COGNITO_IDENTITY_PROVIDER", "http://localhost:7000"}}, idp,
         "http://localhost:7000/", "localhost:7000", "/"},
        {"identity pool id is not the user pool's", {{"AWS_ENDPOINT_URL_COGNITO_IDENTITY_PROVIDER", "http://localhost:7000"}},
         identity, "https://cognito-identity.us-east-1.amazonaws.com/", "cognito-identity.us-east-1.amazonaws.com", "/"},
        {"ignore flag", {{"AWS_IGNORE_CONFIGURED_ENDPOINT_URLS", "true"}, {"AWS_ENDPOINT_URL", "http://127.0.0.1:5000"}},
         dynamo, "https://dynamodb.us-east-1.amazonaws.com/", "dynamodb.us-east-1.amazonaws.com", "/"},
        {"ignore flag in any case", {{"AWS_IGNORE_CONFIGURED_ENDPOINT_URLS", "TRUE"}, {"AWS_ENDPOINT_URL", "http://127.0.0.1:5000"}},
         dynamo, "https://dynamodb.us-east-1.amazonaws.com/", "dynamodb.us-east-1.amazonaws.com", "/"},
        {"ignore flag in mixed case", {{"AWS_IGNORE_CONFIGURED_ENDPOINT_URLS", "True"}, {"AWS_ENDPOINT_URL", "http://127.0.0.1:5000"}},
         dynamo, "https://dynamodb.us-east-1.amazonaws.com/", "dynamodb.us-east-1.amazonaws.com", "/"},
        {"ignore flag other than true", {{"AWS_IGNORE_CONFIGURED_ENDPOINT_URLS", "yes"}, {"AWS_ENDPOINT_URL", "http://127.0.0.1:5000"}},
         dynamo, "http://127.0.0.1:5000/", "127.0.0.1:5000", "/"},
        {"empty service value falls back", {{"AWS_ENDPOINT_URL_DYNAMODB", ""}, {"AWS_ENDPOINT_URL", "http://127.0.0.1:5000"}},
         dynamo, "http://127.0.0.1:5000/", "127.0.0.1:5000", "/"},
        {"empty global value is the default", {{"AWS_ENDPOINT_URL", ""}}, dynamo,
         "https://dynamodb.us-east-1.amazonaws.com/", "dynamodb.us-east-1.amazonaws.com", "/"},
        {"default port left out of Host", {{"AWS_ENDPOINT_URL", "https://example.com:443/a/b/"}}, dynamo,
         "https://example.com/a/b/", "example.com", "/a/b/"},
        {"http default port", {{"AWS_ENDPOINT_URL", "HTTP://example.com:80"}}, dynamo, "http://example.com/",
         "example.com", "/"},
        {"non-default port kept", {{"AWS_ENDPOINT_URL", "https://example.com:8443"}}, dynamo,
         "https://example.com:8443/", "example.com:8443", "/"},
        {"IPv6 in brackets", {{"AWS_ENDPOINT_URL", "http://[::1]:5000/p"}}, dynamo, "http://[::1]:5000/p",
         "[::1]:5000", "/p"},
        {"path normalised once", {{"AWS_ENDPOINT_URL", "http://127.0.0.1:5000/a/../b//c"}}, dynamo,
         "http://127.0.0.1:5000/b/c", "127.0.0.1:5000", "/b/c"},
    };
    for (const ResolutionCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakeEnvironment() = c.environment;
        const AwsEndpoint endpoint = ResolveEndpointWith(c.service, "us-east-1", &LookUp);
        ASSERT_TRUE(endpoint.valid) << endpoint.error;
        EXPECT_EQ(endpoint.url, c.url);
        EXPECT_EQ(endpoint.hostHeader, c.hostHeader);
        EXPECT_EQ(endpoint.path, c.path);
    }
    FakeEnvironment().clear();
}

TEST(Endpoint, PortsAndHostsAreSplitOut) {
    const AwsEndpoint v6 = ParseEndpointUrl("http://[::1]:5000/p");
    ASSERT_TRUE(v6.valid);
    EXPECT_EQ(v6.scheme, "http");
    EXPECT_EQ(v6.host, "::1");
    EXPECT_EQ(v6.port, 5000);
    const AwsEndpoint plain = ParseEndpointUrl("https://dynamodb.eu-west-1.amazonaws.com");
    ASSERT_TRUE(plain.valid);
    EXPECT_EQ(plain.host, "dynamodb.eu-west-1.amazonaws.com");
    EXPECT_EQ(plain.port, 443);
}

TEST(Endpoint, UnusableUrlsAreRefused) {
    const char* urls[] = {
        "127.0.0.1:5000",              // no scheme
        "ftp://127.0.0.1/",            // not http(s)
        "http://",                     // no host
        "http://:5000/",               // no host
        "http://user:pw@127.0.0.1/",   // user information
        "http://127.0.0.1:0/",         // port 0
        "http://127.0.0.1:65536/",     // port too large
        "http://127.0.0.1:50x0/",      // port not digits
        "http://127.0.0.1:/",          // empty port
        "http://127.0.0.1/?a=b",       // query
        "http://127.0.0.1/#top",       // fragment
        "http://[::1/",                // unclosed bracket
        "http://a b/",                 // white space
        "http://ho\r\nst/",            // line break
    };
    for (const char* url : urls) {
        const AwsEndpoint endpoint = ParseEndpointUrl(url);
        EXPECT_FALSE(endpoint.valid) << url;
        EXPECT_FALSE(endpoint.error.empty()) << url;
    }
    FakeEnvironment().clear();
    EXPECT_FALSE(ResolveEndpointWith(AwsService::DynamoDb, "", &LookUp).valid);
    EXPECT_FALSE(ResolveEndpointWith(AwsService::DynamoDb, "us-east-1/../x", &LookUp).valid);
}

}  // namespace
