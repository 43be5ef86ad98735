// Listed designs as the host receives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "cloud/design_store.h"

namespace {

struct SummaryCase {
    const char* name;
    AttributeMap item;
    std::string designId, ts, wellname;
};

class DesignSummaryFilling : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(DesignSummaryFilling, CutsEachFieldToFitAndLeavesMissingOnesEmpty) {
    const SummaryCase& c = GetParam();
    const DesignSummary summary = DesignSummaryOf(c.item);
    EXPECT_EQ(summary.designId, c.designId);
    EXPECT_EQ(summary.ts, c.ts);
    EXPECT_EQ(summary.wellname, c.wellname);
}

const std::string kLongId = "us-east-1:" + std::string(80, 'a');

INSTANTIATE_TEST_SUITE_P(
    Cases, DesignSummaryFilling,
    ::testing::Values(
        SummaryCase{"Whole",
                    {{"designId", MakeS("id_1")}, {"ts", MakeS("2024-03-05T07:08:09.045")}, {"wellname", MakeS("Smith")}},
                    "id_1", "2024-03-05T07:08:09.045", "Smith"},
        SummaryCase{"LongFieldsCut",
                    {{"designId", MakeS(kLongId)}, {"ts", MakeS(std::string(30, '1'))},
                     {"wellname", MakeS(std::string(70, 'w'))}},
                    kLongId.substr(0, 83), std::string(23, '1'), std::string(63, 'w')},
        SummaryCase{"MissingAndNonTextEmpty", {{"designId", MakeS("id_2")}, {"wellname", MakeN("5")}}, "id_2", "", ""}),
    [](const ::testing::TestParamInfo<SummaryCase>& info) { return std::string(info.param.name); });

TEST(CopyDesigns, CopiesExactlyTheListingAndNothingWithoutOne) {
    CloudSession session;
    DesignSummary out[3];
    std::memset(out, 0xA5, sizeof out);
    EXPECT_FALSE(CopyDesigns(session, out)) << "no listing yet";
    session.designCount = 0;
    EXPECT_FALSE(CopyDesigns(session, out)) << "an empty listing";
    session.designs = {DesignSummaryOf({{"designId", MakeS("a")}}), DesignSummaryOf({{"designId", MakeS("b")}})};
    session.designCount = 2;
    EXPECT_FALSE(CopyDesigns(session, nullptr));
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(out);
    EXPECT_TRUE(std::all_of(bytes, bytes + sizeof out, [](unsigned char b) { return b == 0xA5; }));
    ASSERT_TRUE(CopyDesigns(session, out));
    EXPECT_STREQ(out[0].designId, "a");
    EXPECT_STREQ(out[1].designId, "b");
    EXPECT_TRUE(std::all_of(bytes + 2 * sizeof(DesignSummary), bytes + sizeof out,
                            [](unsigned char b) { return b == 0xA5; }));
}

}  // namespace
