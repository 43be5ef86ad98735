// Random ids and the time texts the items and signatures carry.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "cloud/aws/uuid_time.h"

namespace {

TEST(Uuid, UpperCaseVersion4WithVariantBitsAndNoRepeats) {
    const std::regex shape("^[0-9A-F]{8}-[0-9A-F]{4}-4[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}$");
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const std::string uuid = RandomUuid();
        ASSERT_TRUE(std::regex_match(uuid, shape)) << uuid;
        ASSERT_TRUE(seen.insert(uuid).second) << "repeated " << uuid;
    }
}

TEST(Timestamp, IsoWithMillisecondsAndSigningDate) {
    using namespace std::chrono;
    struct Case {
        long long millisSinceEpoch;
        const char* iso;
        const char* amzDate;
    };
    const Case cases[] = {
        {1709622489006LL, "2024-03-05T07:08:09.006", "20240305T070809Z"},
        {1709622489999LL, "2024-03-05T07:08:09.999", "20240305T070809Z"},
        {0, "1970-01-01T00:00:00.000", "19700101T000000Z"},
        {-1, "1969-12-31T23:59:59.999", "19691231T235959Z"},
        {951782400000LL, "2000-02-29T00:00:00.000", "20000229T000000Z"},
    };
    for (const Case& c : cases) {
        const system_clock::time_point when{duration_cast<system_clock::duration>(milliseconds(c.millisSinceEpoch))};
        EXPECT_EQ(IsoTimestampMillis(when), c.iso);
        EXPECT_EQ(AmzDate(when), c.amzDate);
    }
    // Sub-millisecond parts are cut, never rounded up into the next second.
    const system_clock::time_point almost{duration_cast<system_clock::duration>(microseconds(1709622489999900LL))};
    EXPECT_EQ(IsoTimestampMillis(almost), "2024-03-05T07:08:09.999");
    EXPECT_EQ(IsoTimestampMillisNow().size(), 23u);
}

}  // namespace
