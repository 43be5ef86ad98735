// The bounds of an answer, found before anything is parsed.
#include <gtest/gtest.h>

#include "cloud/aws/answer_limits.h"
#include "cloud/aws/json_rpc.h"

namespace {

std::string Nested(int levels) { return std::string(levels, '[') + std::string(levels, ']'); }

std::string MemberList(size_t entries, const std::string& entry) {
    std::string text = R"({"Items":[)";
    for (size_t i = 0; i < entries; ++i) text += (i == 0 ? "" : ",") + entry;
    return text + "]}";
}

std::string Members(size_t count) {
    std::string text = "{";
    for (size_t i = 0; i < count; ++i) text += (i == 0 ? "\"k" : ",\"k") + std::to_string(i) + "\":1";
    return text + "}";
}

TEST(AnswerLimits, DepthListLengthAndValuesAreCountedOutsideStringsOnly) {
    const AnswerLimits limits = ServiceAnswerLimits(AwsService::DynamoDb);
    EXPECT_EQ(limits.maxBytes, 4u << 20);
    EXPECT_EQ(ServiceAnswerLimits(AwsService::CognitoIdentity).maxBytes, 64u << 10);
    const std::pair<std::string, std::string> cases[] = {
        {Nested(69), ""},
        {Nested(70), "the answer nests deeper than 69 levels"},
        {R"({"a":")" + std::string(100, '[') + R"("})", ""},
        {R"({"a":"\"[[[[[[\\","b":)" + Nested(68) + "}", ""},
        {MemberList(100000, "{}"), ""},
        {MemberList(100001, "{}"), "the answer lists more than 100000 entries"},
        // Only a list that is a member of the top-level object is held to the length.
        {R"({"Item":{"L":)" + MemberList(100001, "1") + "}}", ""},
        {R"({"A":)" + MemberList(60000, "1").substr(5) + R"(,"B":)" + MemberList(60000, "1").substr(5) + "}", ""},
        // Names of members are no values: 300,000 members are 300,001 values.
        {Members(300000), ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AnswerShapeProblem(c.first, limits), c.second) << c.first.substr(0, 80);
    }
}

std::string Values(size_t count, const std::string& value) {
    std::string text = "[";
    for (size_t i = 0; i < count; ++i) text += (i == 0 ? "" : ",") + value;
    return text + "]";
}

TEST(AnswerLimits, AnAnswerHoldsAtMostHalfAMillionValues) {
    const AnswerLimits limits = ServiceAnswerLimits(AwsService::DynamoDb);
    EXPECT_EQ(AnswerShapeProblem(Values(499999, "-1"), limits), "");
    EXPECT_EQ(AnswerShapeProblem(Values(500000, "true"), limits), "the answer holds more than 500000 values");
    EXPECT_EQ(AnswerShapeProblem(Values(249999, R"({"N":"1"})"), limits), "");
    EXPECT_EQ(AnswerShapeProblem(Values(250000, R"({"N":"1"})"), limits), "the answer holds more than 500000 values");
}

TEST(AnswerLimits, AnAnswerBeyondALimitFailsBeforeItIsParsed) {
    const AnswerLimits limits = ServiceAnswerLimits(AwsService::CognitoIdentityProvider);
    HttpResponse response;
    response.status = 200;
    response.body = R"({"a":")" + std::string(65 << 10, 'x') + R"("})";
    EXPECT_EQ(OutcomeFromResponse(response, limits).error.message, "The answer exceeds the limit of 64 KiB");
    response.body.clear();
    response.transportCode = kTransportAnswerTooLarge;
    EXPECT_EQ(OutcomeFromResponse(response, limits).error.message, "The answer exceeds the limit of 64 KiB");
    response.transportCode = 0;
    response.body = "{\"a\":" + Nested(80) + "}";
    const AwsOutcome deep = OutcomeFromResponse(response, limits);
    EXPECT_EQ(deep.error.exceptionName, "Json Parser Error");
    EXPECT_EQ(deep.error.message, "the answer nests deeper than 69 levels");
    response.status = 400;
    EXPECT_EQ(OutcomeFromResponse(response, limits).error.message, "Failed to parse error payload: HTTP 400");
}

}  // namespace
