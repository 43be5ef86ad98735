// The listing's paging, with scripted DynamoDB answers in place of the network:
// all pages or nothing, within its caps and the call's time limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cloud/design_store.h"
#include "cloud/scripted_transport.h"
#include "log_capture.h"

namespace {

const char kThrottled[] = R"({"__type":"ProvisionedThroughputExceededException","message":"slow down"})";

ScriptedAnswer Page(const std::vector<std::string>& ids, const std::string& lastKey) {
    nlohmann::json page = {{"Items", nlohmann::json::array()}, {"Count", ids.size()}};
    for (const std::string& id : ids) page["Items"].push_back({{"designId", {{"S", id}}}});
    if (!lastKey.empty()) page["LastEvaluatedKey"] = {{"designId", {{"S", lastKey}}}};
    return Json(200, page.dump());
}

// A page of `count` designs "<prefix>0", "<prefix>1", ...
ScriptedAnswer ManyDesigns(size_t count, const std::string& prefix, const std::string& lastKey) {
    std::vector<std::string> ids;
    for (size_t i = 0; i < count; ++i) ids.push_back(prefix + std::to_string(i));
    return Page(ids, lastKey);
}

ScriptedAnswer Slow(ScriptedAnswer answer) {
    answer.takes = std::chrono::seconds(7);
    return answer;
}

const std::string kLongId = "eu-central-1:0f2c4a9e-5b7d-4c1e-9a3f-8d6b2e4c7a10_" + std::string(36, 'A');

struct ListingCase {
    const char* name;
    // Built when the case runs: the capped listings' pages would otherwise be
    // built at every start of the test program, once per test it runs.
    std::vector<ScriptedAnswer> (*pages)();
    bool listed;
    std::vector<std::string> ids;  // summaries held afterwards ("earlier" is the listing before)
    const char* line;              // a line that must be logged once, or null
};

class DesignListing : public ::testing::TestWithParam<ListingCase> {};

void ExpectEachRequestFollowsItsPage(const std::vector<ScriptedAnswer>& pages) {
    const std::vector<HttpRequest>& sent = TheScript().sent;
    ASSERT_FALSE(sent.empty());
    EXPECT_FALSE(nlohmann::json::parse(sent[0].body).contains("ExclusiveStartKey"));
    for (size_t i = 1; i < sent.size(); ++i) {
        const ScriptedAnswer& before = pages[std::min(i, pages.size()) - 1];
        if (before.status != 200) {
            EXPECT_EQ(sent[i].body, sent[i - 1].body) << "a failed page is asked for again as it was";
            continue;
        }
        EXPECT_EQ(nlohmann::json::parse(sent[i].body)["ExclusiveStartKey"],
                  nlohmann::json::parse(before.body)["LastEvaluatedKey"]);
    }
}

TEST_P(DesignListing, KeepsEveryPageOrNothing) {
    const ListingCase& c = GetParam();
    CloudSession session;
    const std::vector<ScriptedAnswer> pages = c.pages();
    UseScript(session.config, pages);
    session.creds.accessKeyId = "AKID";
    session.creds.secretKey = "secret";
    session.IdentityId = "us-east-1:me";
    session.designs = {DesignSummaryOf({{"designId", MakeS("earlier")}})};
    session.designCount = 1;
    LogCapture log;
    EXPECT_EQ(CloudFetchDesigns(session), c.listed);
    std::vector<std::string> ids;
    for (const DesignSummary& summary : session.designs) ids.push_back(summary.designId);
    if (c.ids.size() < 10) {
        EXPECT_EQ(ids, c.ids);
    } else {
        EXPECT_EQ(ids.size(), c.ids.size());
    }
    EXPECT_EQ(session.designCount, static_cast<int32_t>(c.ids.size()));
    if (c.line != nullptr) {
        EXPECT_EQ(log.Count(c.line), 1u);
    }
    ExpectEachRequestFollowsItsPage(pages);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DesignListing,
    ::testing::Values(
        ListingCase{"PagesGathered",
                    [] {
                        return std::vector<ScriptedAnswer>{Page({"a", "b"}, "b"), Page({}, "x"), Page({"c"}, "")};
                    },
                    true,
                    {"a", "b", "c"},
                    nullptr},
        ListingCase{"EmptyListingReplacesTheLastOne",
                    [] { return std::vector<ScriptedAnswer>{Page({}, "")}; },
                    true,
                    {},
                    nullptr},
        ListingCase{"ThrottledPagesAreAskedForAgain",
                    [] {
                        return std::vector<ScriptedAnswer>{Page({"a"}, "a"), Json(400, kThrottled),
                                                           Json(400, kThrottled), Page({"b"}, "")};
                    },
                    true,
                    {"a", "b"},
                    nullptr},
        ListingCase{"FirstPageFailureKeepsTheLastListing",
                    [] {
                        return std::vector<ScriptedAnswer>{
                            Json(400, R"({"__type":"ValidationException","message":"bad"})")};
                    },
                    false,
                    {"earlier"},
                    "ERROR: FetchDesigns scan failed: bad"},
        ListingCase{"LaterFailureKeepsTheLastListingWhole",
                    [] {
                        return std::vector<ScriptedAnswer>{Page({"a"}, "a"), Json(400, kThrottled)};
                    },
                    false,
                    {"earlier"},
                    "ERROR: FetchDesigns scan failed: slow down "
                    "(ProvisionedThroughputExceededException, 11 attempts)"},
        ListingCase{"RepeatedKeyEndsTheListing",
                    [] {
                        return std::vector<ScriptedAnswer>{Page({"a"}, "k"), Page({"b"}, "k"), Page({"c"}, "")};
                    },
                    false,
                    {"earlier"},
                    "ERROR: FetchDesigns scan failed: the scan repeats its last key"},
        ListingCase{"MoreThanItsCapEndsTheListing",
                    [] {
                        return std::vector<ScriptedAnswer>{ManyDesigns(60000, "p", "k1"), ManyDesigns(40000, "q", "k2"),
                                                           ManyDesigns(1, "r", "")};
                    },
                    false,
                    {"earlier"},
                    "ERROR: FetchDesigns scan failed: the listing holds more "
                    "than 100000 designs"},
        ListingCase{"ExactlyItsCapIsListed",
                    [] {
                        return std::vector<ScriptedAnswer>{ManyDesigns(60000, "p", "k1"), ManyDesigns(40000, "q", "")};
                    },
                    true, std::vector<std::string>(100000), nullptr},
        // Seven seconds a page: the ninth ends past the call's minute.
        ListingCase{"SlowPagesEndAtTheCallsTimeLimit",
                    [] {
                        return std::vector<ScriptedAnswer>{
                            Slow(Page({"a"}, "1")), Slow(Page({"b"}, "2")), Slow(Page({"c"}, "3")),
                            Slow(Page({"d"}, "4")), Slow(Page({"e"}, "5")), Slow(Page({"f"}, "6")),
                            Slow(Page({"g"}, "7")), Slow(Page({"h"}, "8")), Slow(Page({"i"}, "9"))};
                    },
                    false,
                    {"earlier"},
                    "ERROR: FetchDesigns scan failed: curlCode: 28, Timeout "
                    "was reached (1 attempt, the call's time is up)"},
        ListingCase{"AnIdTooLongForItsFieldIsNamedWhole",
                    [] {
                        return std::vector<ScriptedAnswer>{Page({kLongId, "short"}, "")};
                    },
                    true,
                    {kLongId.substr(0, 83), "short"},
                    "Warning: FetchDesigns - this design id is longer than 83 "
                    "characters and is listed cut: "
                    "eu-central-1:0f2c4a9e-5b7d-4c1e-9a3f-8d6b2e4c7a10_"
                    "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"}),
    [](const ::testing::TestParamInfo<ListingCase>& info) { return std::string(info.param.name); });

}  // namespace
