#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/dyno_scan.h"

namespace {

std::string Text(const TextLine& line) { return std::string(line.begin, line.end); }

TextLine LineOf(const std::string& text) { return TextLine{text.data(), text.data() + text.size(), 1}; }

}  // namespace

TEST(DynoScan, LinesSkipEmptyOnesAndCountEveryLineFeed) {
    const std::string text = "\n\na\r\n\nb\n c";
    LineReader reader = StartLines(text.c_str());
    std::vector<std::string> lines;
    std::vector<int32_t> numbers;
    TextLine line;
    while (NextLine(&reader, "\n", &line)) {
        lines.push_back(Text(line));
        numbers.push_back(line.number);
    }
    EXPECT_EQ(lines, std::vector<std::string>({"a\r", "b", " c"}));
    EXPECT_EQ(numbers, std::vector<int32_t>({3, 5, 6}));
    EXPECT_FALSE(NextLine(&reader, "\n", &line));
}

TEST(DynoScan, FirstLineMayEndAtACarriageReturn) {
    const std::string text = "12\r\n1,2\n";
    LineReader reader = StartLines(text.c_str());
    TextLine line;
    ASSERT_TRUE(NextLine(&reader, "\r\n", &line));
    EXPECT_EQ(Text(line), "12");
    ASSERT_TRUE(NextLine(&reader, "\n", &line));
    EXPECT_EQ(Text(line), "1,2");
    EXPECT_EQ(line.number, 2);
}

TEST(DynoScan, PointLinesNeedBothFields) {
    struct Case {
        const char* line;
        bool point;
        double pos, load;
    };
    for (const Case& c : {Case{"1.5,2.5\r", true, 1.5, 2.5}, Case{" -3 , 4e2", true, -3, 400},
                          Case{"1,2,3", true, 1, 2}, Case{"abc,def", true, 0, 0}, Case{"1, ", true, 1, 0},
                          Case{"7", false, 0, 0}, Case{"7,", false, 0, 0}, Case{",7", false, 0, 0},
                          Case{"'1','2'", false, 0, 0}, Case{"1','2'", false, 0, 0}, Case{"1,'2'", false, 0, 0},
                          Case{"1\t2", false, 0, 0}, Case{"", false, 0, 0}}) {
        const std::string text = c.line;
        double pos = -1;
        double load = -1;
        EXPECT_EQ(ScanPointLine(LineOf(text), &pos, &load), c.point) << c.line;
        EXPECT_EQ(pos, c.point ? c.pos : -1) << c.line;
        EXPECT_EQ(load, c.point ? c.load : -1) << c.line;
    }
}

// A field or a line is read up to its end, never into the next line.
TEST(DynoScan, NumbersStopAtTheEndOfTheirLine) {
    const std::string text = "1, \n5,6\n";
    LineReader reader = StartLines(text.c_str());
    TextLine line;
    ASSERT_TRUE(NextLine(&reader, "\n", &line));
    double pos = -1;
    double load = -1;
    ASSERT_TRUE(ScanPointLine(line, &pos, &load));
    EXPECT_EQ(load, 0) << "a blank load field is 0, not the 5 of the next line";
    const std::string blank = " \n7";
    EXPECT_EQ(ParseFieldDouble(blank.data(), blank.data() + 1), 0);
    int64_t value = -1;
    EXPECT_FALSE(ParseLeadingInteger(blank.data(), blank.data() + 1, &value));
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
