#include <gtest/gtest.h>

#include "temp_path.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "dynofiles/comma_locale.h"
#include "dynofiles/dyno_text.h"
#include "engine/fourier.h"
#include "log_capture.h"
#include "model/measured_card.h"
#include "model/tesk_obj.h"

namespace {

struct DynoCase {
    const char* name;
    const char* text;
    bool loaded;
    std::vector<double> positions;
    std::vector<double> loads;
    double spm;  // "MEAS" speed afterwards; 0 is the new object's
};

std::vector<double> Slice(const double* values, int32_t count) {
    return values == nullptr ? std::vector<double>() : std::vector<double>(values, values + count);
}

bool Load(TeskObj* obj, const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return LoadDynText(obj, buffer.data());
}

const std::string kLongPosition = std::string(100, '0') + "1.5";
const std::string kLongLoad = "   12345.6789" + std::string(40, '0');

}  // namespace

class DynoTextTable : public ::testing::TestWithParam<DynoCase> {};

TEST_P(DynoTextTable, LoadsPointsAndSpeed) {
    const DynoCase& c = GetParam();
    TeskObj obj;
    LogCapture log;
    EXPECT_EQ(Load(&obj, c.text), c.loaded);
    EXPECT_EQ(obj.meas.PointCount, static_cast<int32_t>(c.positions.size()));
    EXPECT_EQ(Slice(obj.meas.surfacePos, obj.meas.PointCount), c.positions);
    EXPECT_EQ(Slice(obj.meas.surfaceLoad, obj.meas.PointCount), c.loads);
    EXPECT_EQ(obj.meas.spm, c.spm);
    EXPECT_STREQ(obj.wellName, "DEFAULT NAME");
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DynoTextTable,
    ::testing::Values(
        DynoCase{"Lf", "3\n1,10\n2,20\n3,30\nanything\n5.5\n", true, {1, 2, 3}, {10, 20, 30}, 5.5},
        DynoCase{"CrLf", "2\r\n1.5,-10\r\n2,20.25\r\nx\r\n6\r\n", true, {1.5, 2}, {-10, 20.25}, 6},
        DynoCase{"LeadingBlankLinesAndCountText", "\r\n\n  2 points\n1,2\n3,4\nx\n7\n", true, {1, 3}, {2, 4}, 7},
        DynoCase{"EmptyLfLineIsSkipped", "3\n1,10\n\n3,30\n4,40\nx\n5\n", true, {1, 3, 4}, {10, 30, 40}, 5},
        DynoCase{"EmptyLfLineDoesNotMoveTheSpeedLine", "1\n1,10\nheader\n\n7.5\n", true, {1}, {10}, 7.5},
        DynoCase{"NonNumericFieldsReadAsZero", "2\nabc,def\n1,2\nx\n5\n", true, {0, 1}, {0, 2}, 5},
        DynoCase{"TrailingTextInAFieldIsIgnored", "1\n12.5in, 9000 lb\t\nx\n5 spm\n", true, {12.5}, {9000}, 5},
        DynoCase{"BlankLoadFieldReadsAsZero", "1\n7, \nx\n5\n", true, {7}, {0}, 5},
        DynoCase{"ThirdFieldIsIgnored", "1\n1,2,3\nx\n5\n", true, {1}, {2}, 5},
        DynoCase{"SpeedIsTheLastLineWithoutLineEnd", "1\n1,10\nx\n6.25", true, {1}, {10}, 6.25}),
    [](const ::testing::TestParamInfo<DynoCase>& info) { return std::string(info.param.name); });

// A text whose structure is wrong is refused whole: the well keeps the card, speed, flags and
// name it had, and the log line names the line where the text went wrong.
struct RefusedText {
    const char* name;
    const char* text;  // null is given as it is
    const char* line;
};

class RefusedDynoText : public ::testing::TestWithParam<RefusedText> {};

TEST_P(RefusedDynoText, KeepsThePreviousCardAndNamesTheLine) {
    const RefusedText& c = GetParam();
    TeskObj obj;
    LogCapture quiet;
    ASSERT_TRUE(Load(&obj, "2\n1,10\n2,20\nx\n6\na\nb\nc\nd\ne\nf\ng\nOld Well\n"));
    obj.measDirty = obj.upscDirty = obj.predDirty = 0;
    const double* positions = obj.meas.surfacePos;
    LogCapture log;
    EXPECT_FALSE(c.text == nullptr ? LoadDynText(&obj, nullptr) : Load(&obj, c.text));
    EXPECT_TRUE(log.Contains(c.line)) << "expected: " << c.line;
    EXPECT_EQ(obj.meas.PointCount, 2);
    EXPECT_EQ(obj.meas.surfacePos, positions);
    EXPECT_EQ(Slice(obj.meas.surfaceLoad, 2), std::vector<double>({10, 20}));
    EXPECT_EQ(obj.meas.spm, 6);
    EXPECT_EQ(obj.upsc.spm, 6);
    EXPECT_DOUBLE_EQ(obj.meas.period, 10);
    EXPECT_STREQ(obj.wellName, "Old Well");
    EXPECT_EQ(obj.measDirty + obj.upscDirty + obj.predDirty, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, RefusedDynoText,
    ::testing::Values(
        RefusedText{"Null", nullptr, "Invalid file contents"},
        RefusedText{"Empty", "", "Invalid file contents"},
        RefusedText{"OnlyLineEnds", "\r\n\n\r", "Invalid file contents"},
        RefusedText{"CountZero", "0\n1,10\n", "Invalid file point count"},
        RefusedText{"CountNegative", "-3\n1,10\n", "Invalid file point count"},
        RefusedText{"CountNotANumber", "points\n1,10\n", "Invalid file point count"},
        RefusedText{"CountAboveLimit", "1000001\n1,10\n", "Invalid file point count"},
        RefusedText{"CountOverflowingInt64", "99999999999999999999999\n1,10\n", "Invalid file point count"},
        RefusedText{"CountWrappingInt32", "4294967297\n1,10\n", "Invalid file point count"},
        RefusedText{"CountOnTheNextLine", " \t\r\n5\n1,10\n", "Invalid file point count"},
        RefusedText{"TabSeparatedPoint", "2\n1\t10\n2\t20\nx\n6\n",
                    "Error: line 2 of the dyno text is no point \"position,load\""},
        RefusedText{"MissingComma", "2\n1,10\n12.5\nx\n6\n", "Error: line 3 of the dyno text is no point"},
        RefusedText{"NothingAfterComma", "2\n1,10\n7,\nx\n6\n", "Error: line 3 of the dyno text is no point"},
        RefusedText{"LeadingComma", "2\n1,10\n,5\nx\n6\n", "Error: line 3 of the dyno text is no point"},
        RefusedText{"ApostropheQuoted", "1\n'1','2'\nx\n6\n", "Error: line 2 of the dyno text is no point"},
        RefusedText{"FirstPointWithoutLoad", "1\n5\nx\n6\n", "Error: line 2 of the dyno text is no point"},
        RefusedText{"EmptyCrLfLineAmongPoints", "3\r\n1,10\r\n\r\n3,30\r\nx\r\n6\r\n",
                    "Error: line 3 of the dyno text is no point"},
        RefusedText{"LineNumbersCountEmptyLfLines", "2\n\n\n1,10\n\nheader\nx\n6\n",
                    "Error: line 6 of the dyno text is no point \"position,load\": header"},
        RefusedText{"CountAboveThePointLinesTakesTheTrailer", "3\n0,9000\n6.5,9000\nCard\n6.5\n",
                    "Error: line 4 of the dyno text is no point \"position,load\": Card"},
        RefusedText{"FewerPointLinesThanTheCount", "3\n1,10\n", "Error: the dyno text ends after line 2 with 1 of its 3 points"},
        RefusedText{"NoSpeedLine", "2\n1,10\n2,20\nheader\n",
                    "Error: the dyno text ends after line 4 without its pumping-speed line"},
        RefusedText{"NoLineAfterThePoints", "1\n1,10\n", "Error: the dyno text ends after line 2 without"},
        RefusedText{"EmptyCrLfLineMovesTheSpeedLine", "1\r\n1,10\r\nheader\r\n\r\n7.5\r\n",
                    "Invalid file pumping speed on line 4: "},
        RefusedText{"ZeroSpeed", "1\n1,10\nx\n0\n", "Invalid file pumping speed on line 4: 0"},
        RefusedText{"LettersForSpeed", "1\n1,10\nx\nfast\n", "Invalid file pumping speed on line 4: fast"},
        RefusedText{"NegativeSpeed", "1\n1,10\nx\n-4\n", "Invalid file pumping speed"},
        RefusedText{"InfiniteSpeed", "1\n1,10\nx\ninf\n", "Invalid file pumping speed"},
        RefusedText{"OverflowingSpeed", "1\n1,10\nx\n1e999\n", "Invalid file pumping speed"},
        RefusedText{"NanSpeed", "1\n1,10\nx\nnan\n", "Invalid file pumping speed"},
        RefusedText{"SpeedOnTheNextLineIsNotTaken", "1\n1,10\nx\n \t\n5\n", "Invalid file pumping speed"}),
    [](const ::testing::TestParamInfo<RefusedText>& info) { return std::string(info.param.name); });

TEST(DynoText, LongFieldsAreReadWhole) {
    TeskObj obj;
    ASSERT_TRUE(Load(&obj, "1\n" + kLongPosition + "," + kLongLoad + "\nx\n5\n"));
    EXPECT_DOUBLE_EQ(obj.meas.surfacePos[0], 1.5);
    EXPECT_DOUBLE_EQ(obj.meas.surfaceLoad[0], 12345.6789);
}

TEST(DynoText, SpeedSetsPeriodOfMeasuredAndUpscaledCards) {
    TeskObj obj;
    ASSERT_TRUE(Load(&obj, "3\n1,10\n2,20\n3,30\nanything\n5.5\n"));
    EXPECT_DOUBLE_EQ(obj.meas.period, 60 / 5.5);
    EXPECT_DOUBLE_EQ(obj.upsc.spm, 5.5);
    EXPECT_DOUBLE_EQ(obj.upsc.period, 60 / 5.5);
    EXPECT_EQ(obj.measDirty, 1);
    EXPECT_EQ(obj.upscDirty, 1);
    // A new object's upscaled card has no points, so the predicted card is not touched.
    EXPECT_EQ(obj.predDirty, 0);
}

TEST(DynoText, UpscaledCardIsResampledFromTheFit) {
    TeskObj obj;
    ASSERT_TRUE(ApplyUpscaledPointCount(&obj, 16));
    ApplyFourierCoeffCount(&obj, &obj.fourier->pos, obj.meas.surfacePos, 1);
    ApplyFourierCoeffCount(&obj, &obj.fourier->load, obj.meas.surfaceLoad, 1);
    ASSERT_TRUE(Load(&obj, "4\n0,100\n10,300\n20,500\n10,700\nx\n6\n"));
    // One coefficient pair keeps only the mean of the card.
    for (int32_t i = 0; i < obj.upsc.PointCount; ++i) {
        EXPECT_NEAR(obj.upsc.surfacePos[i], 10.0, 1e-9);
        EXPECT_NEAR(obj.upsc.surfaceLoad[i], 400.0, 1e-9);
    }
    EXPECT_EQ(obj.predDirty, 1);
}

TEST(DynoText, WellNameFromTenthLineAfterPoints) {
    TeskObj obj;
    const std::string text = "1\r\n1,10\r\nx\r\n6\r\na\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\n  \"My Well\"\r\n";
    ASSERT_TRUE(Load(&obj, text));
    EXPECT_STREQ(obj.wellName, "My Well");
}

TEST(DynoText, LongWellNameIsCutAtACharacterBoundary) {
    const std::string header = "1\n1,10\nx\n6\na\nb\nc\nd\ne\nf\ng\n";
    TeskObj obj;
    ASSERT_TRUE(Load(&obj, header + std::string(80, 'w') + "\n"));
    EXPECT_EQ(std::string(obj.wellName), std::string(63, 'w'));
    // 62 ASCII bytes and a two-byte character: the character does not fit and is dropped whole.
    ASSERT_TRUE(Load(&obj, header + std::string(62, 'n') + "\xc3\xa9\n"));
    EXPECT_EQ(std::string(obj.wellName), std::string(62, 'n'));
}

TEST(DynoText, TextIsOnlyRead) {
    TeskObj obj;
    const std::string original = "1\r\n1,10\r\n \"x\" \r\n6\r\na\nb\nc\nd\ne\nf\ng\n \"Name\" \r\n";
    std::string text = original;
    ASSERT_TRUE(LoadDynText(&obj, &text[0]));
    EXPECT_EQ(text, original);
    EXPECT_STREQ(obj.wellName, "Name");
}

TEST(DynoText, NumbersIgnoreTheHostLocale) {
    TeskObj obj;
    bool loaded = false;
    {
        CommaLocale comma;
        if (!comma.active) GTEST_SKIP() << comma.reason;
        loaded = Load(&obj, "1\n12.5,3.25\nx\n6.5\n");
    }
    ASSERT_TRUE(loaded);
    EXPECT_EQ(obj.meas.surfacePos[0], 12.5);
    EXPECT_EQ(obj.meas.surfaceLoad[0], 3.25);
    EXPECT_EQ(obj.meas.spm, 6.5);
}

TEST(TrimField, RemovesBlanksQuotesAndLineEndsAtBothEnds) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case& c : {Case{"  \"abc\" \r", "abc"}, Case{" \t", ""}, Case{"a b", "a b"}, Case{"", ""},
                          Case{"\"\"", ""}, Case{"\n x\"y \n", "x\"y"}}) {
        std::string buffer = c.in;
        TrimField(&buffer[0]);
        EXPECT_STREQ(buffer.c_str(), c.out) << "input: " << c.in;
    }
}

class DynoFile : public ::testing::Test {
protected:
    std::string path = TestTempPath("txt");
    void Write(const std::string& content) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(content.data(), 1, content.size(), f);
        std::fclose(f);
    }
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(DynoFile, LoadsTheSampleCard) {
    TeskObj obj;
    LogCapture log;
    ASSERT_TRUE(LoadDynFile(&obj, TESK_DATA_DIR "/fixtures/dynofiles/sample_card.txt"));
    EXPECT_TRUE(log.Contains("Opening file: "));
    EXPECT_TRUE(log.Contains("LoadDynFromFileContents() PointCount: 40"));
    EXPECT_EQ(obj.meas.PointCount, 40);
    EXPECT_EQ(obj.meas.spm, 6.5);
    EXPECT_STREQ(obj.wellName, "Sample Well N\xc2\xba 7");
    EXPECT_EQ(obj.meas.surfacePos[20], 100.0);
    EXPECT_EQ(obj.meas.surfaceLoad[0], 9000.0);
}

TEST_F(DynoFile, LastLineNeedsNoLineEnd) {
    Write("2\n1,10\n2,20\nx\n6.25");
    TeskObj obj;
    ASSERT_TRUE(LoadDynFile(&obj, path.c_str()));
    EXPECT_EQ(obj.meas.spm, 6.25);
}

TEST_F(DynoFile, FileErrorsLeaveObjectUnchanged) {
    Write("");
    struct Case {
        std::string path;
        bool nullPath;
        const char* line;
    };
    for (const Case& c : {Case{path, false, "Error reading dyno file! errno:"},
                          Case{path + ".missing", false, "Error opening dyno file! errno:2"},
                          Case{"", true, "Error opening dyno file! errno:22"},
                          Case{::testing::TempDir(), false, "Error reading dyno file! errno:21"}}) {
        TeskObj obj;
        LogCapture log;
        EXPECT_FALSE(LoadDynFile(&obj, c.nullPath ? nullptr : c.path.c_str())) << c.line;
        EXPECT_TRUE(log.Contains(c.line)) << c.line;
        EXPECT_EQ(obj.meas.PointCount, 0);
        EXPECT_EQ(obj.measDirty, 0);
    }
}
