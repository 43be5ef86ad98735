// The listing's paging, with scripted DynamoDB answers in place of the network.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cloud/design_store.h"
#include "log_capture.h"

namespace {

// Answers each request with the next scripted response; an empty body stands for a failure.
std::vector<std::string> script;
std::vector<std::string> requests;

void ScriptedSend(const HttpRequest& request, HttpResponse* response) {
    requests.push_back(request.body);
    const std::string body = requests.size() <= script.size() ? script[requests.size() - 1] : "";
    response->status = body.empty() ? 400 : 200;
    response->body = body.empty() ? R"({"__type":"ProvisionedThroughputExceededException","message":"slow down"})" : body;
}

std::string Page(const std::vector<std::string>& ids, const std::string& lastKey) {
    nlohmann::json page = {{"Items", nlohmann::json::array()}, {"Count", ids.size()}};
    for (const std::string& id : ids) page["Items"].push_back({{"designId", {{"S", id}}}});
    if (!lastKey.empty()) page["LastEvaluatedKey"] = {{"designId", {{"S", lastKey}}}};
    return page.dump();
}

struct ListingCase {
    const char* name;
    std::vector<std::string> pages;
    bool listed;
    std::vector<std::string> ids;  // summaries held afterwards
    const char* failure;           // expected failure line, or null
};

class DesignListing : public ::testing::TestWithParam<ListingCase> {};

TEST_P(DesignListing, GathersPagesAndEndsOnFailureOrRepeatedKey) {
    const ListingCase& c = GetParam();
    script = c.pages;
    requests.clear();
    CloudSession session;
    session.config.transport = ScriptedSend;
    session.creds.accessKeyId = "AKID";
    session.creds.secretKey = "secret";
    session.IdentityId = "us-east-1:me";
    session.designs = {DesignSummaryOf({{"designId", MakeS("earlier")}})};
    session.designCount = 1;
    LogCapture log;
    EXPECT_EQ(CloudFetchDesigns(session), c.listed);
    std::vector<std::string> ids;
    for (const DesignSummary& summary : session.designs) ids.push_back(summary.designId);
    EXPECT_EQ(ids, c.ids);
    EXPECT_EQ(session.designCount, static_cast<int32_t>(c.ids.size()));
    if (c.failure != nullptr) {
        EXPECT_EQ(log.Count(c.failure), 1u);
    }
    for (size_t i = 1; i < requests.size(); ++i) {
        EXPECT_EQ(nlohmann::json::parse(requests[i])["ExclusiveStartKey"],
                  nlohmann::json::parse(script[i - 1])["LastEvaluatedKey"]);
    }
    EXPECT_EQ(nlohmann::json::parse(requests[0]).contains("ExclusiveStartKey"), false);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DesignListing,
    ::testing::Values(
        ListingCase{"PagesGathered", {Page({"a", "b"}, "b"), Page({}, "x"), Page({"c"}, "")}, true, {"a", "b", "c"},
                    nullptr},
        ListingCase{"EmptyListingReplacesTheLastOne", {Page({}, "")}, true, {}, nullptr},
        ListingCase{"FirstPageFailureKeepsTheLastListing", {""}, false, {"earlier"},
                    "ERROR: FetchDesigns scan failed: slow down"},
        ListingCase{"LaterFailureKeepsEarlierPages", {Page({"a"}, "a"), ""}, false, {"a"},
                    "ERROR: FetchDesigns scan failed: slow down"},
        ListingCase{"RepeatedKeyEndsTheListing", {Page({"a"}, "k"), Page({"b"}, "k"), Page({"c"}, "")}, false,
                    {"a", "b"}, "ERROR: FetchDesigns scan failed: the scan repeats its last key"}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

}  // namespace
