// The one form of an endpoint's path that is both sent and signed.
#include <gtest/gtest.h>

#include "cloud/aws/url_path.h"

namespace {

TEST(UrlPath, DotSegmentsAndDoubleSlashesGoAndWhatAUrlCannotCarryIsEncoded) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "/"},
        {"/", "/"},
        {"//", "/"},
        {"/prefix/dynamo/", "/prefix/dynamo/"},
        {"/a/./b/../c", "/a/c"},
        {"/../../a/", "/a/"},
        {"/a/..", "/"},
        {"/a//b///", "/a/b/"},
        {"/.../x", "/.../x"},
        {"/a%2F..%2Fb/", "/a%2F..%2Fb/"},
        {"/%7e/%zz/%4", "/%7e/%25zz/%254"},
        {"/sp ace/tab\t", "/sp%20ace/tab%09"},
        {"/\xce\xbb:@+", "/%CE%BB%3A%40%2B"},
        {"/-_.~AZaz09", "/-_.~AZaz09"},
    };
    for (const auto& c : cases) EXPECT_EQ(NormalizedRequestPath(c.first), c.second) << c.first;
}

}  // namespace
