#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "dynofiles/dyno_scan.h"

TEST(DynoScan, TokensSkipEmptyOnesAndKeepTheirOwnCursor) {
    char first[] = "\n\na\n\nb\n";
    char second[] = "x;y";
    LineCursor a{first};
    LineCursor b{second};
    EXPECT_STREQ(NextToken(&a, "\n"), "a");
    EXPECT_STREQ(NextToken(&b, ";"), "x");
    EXPECT_STREQ(NextToken(&a, "\n"), "b");
    EXPECT_STREQ(NextToken(&b, ";"), "y");
    EXPECT_EQ(NextToken(&a, "\n"), nullptr);
    EXPECT_EQ(NextToken(&a, "\n"), nullptr);
    EXPECT_EQ(NextToken(&b, ";"), nullptr);
}

TEST(DynoScan, PointFieldsRunToCommaOrApostrophe) {
    struct Case {
        const char* line;
        bool hasPos, hasLoad;
        double pos, load;
    };
    for (const Case& c : {Case{"1.5,2.5\r", true, true, 1.5, 2.5}, Case{" -3 , 4e2", true, true, -3, 400},
                          Case{"7", true, false, 7, 0}, Case{"7,", true, false, 7, 0},
                          Case{",7", false, false, 0, 0}, Case{"'1','2'", false, false, 0, 0},
                          Case{"1','2'", true, false, 1, 0}, Case{"1,'2'", true, false, 1, 0},
                          Case{"1,2,3", true, true, 1, 2}}) {
        const PointFields f = ScanPointLine(c.line);
        EXPECT_EQ(f.hasPos, c.hasPos) << c.line;
        EXPECT_EQ(f.hasLoad, c.hasLoad) << c.line;
        if (c.hasPos) {
            EXPECT_EQ(f.pos, c.pos) << c.line;
        }
        if (c.hasLoad) {
            EXPECT_EQ(f.load, c.load) << c.line;
        }
    }
}

TEST(DynoScan, IntegersReadLikeAtoiWithoutOverflow) {
    struct Case {
        const char* text;
        bool found;
        int64_t value;
    };
    for (const Case& c : {Case{"42", true, 42}, Case{"  +7x", true, 7}, Case{"-12", true, -12},
                          Case{"\t\v9", true, 9}, Case{"abc", false, 0}, Case{"-", false, 0},
                          Case{"+-3", false, 0}, Case{"99999999999999999999999", true, INT64_MAX},
                          Case{"-99999999999999999999999", true, -INT64_MAX}}) {
        int64_t value = 0;
        EXPECT_EQ(ParseLeadingInteger(c.text, &value), c.found) << c.text;
        if (c.found) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}
