#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "log/log.h"
#include "dynofiles/comma_locale.h"
#include "log_capture.h"
#include "tesk/tesk.h"

TEST(LogSink, LineLengthsAtTheBufferBoundary) {
    struct Case {
        size_t length;
        size_t delivered;
    } cases[] = {{0, 0}, {1, 1}, {1023, 1023}, {1024, 1023}, {5000, 1023}};
    for (const Case& c : cases) {
        LogCapture log;
        std::string text(c.length, 'x');
        LogMessage("%s", text.c_str());
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0].size(), c.delivered) << c.length;
    }
}

TEST(LogSink, ReturnsTheCallbackResult) {
    LogCapture log;
    EXPECT_EQ(LogMessage("abc %d", 5), 0);
    EXPECT_EQ(log.lines.at(0), "abc 5");
}

TEST(LogSink, WithoutCallbackWritesLinePlusNewlineToStderr) {
    SetLoggingCallback(nullptr, nullptr);
    testing::internal::CaptureStderr();
    int written = LogMessage("%s", "");
    LogMessage("hello %s", "world");
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "\nhello world\n");
    EXPECT_EQ(written, 1);
}

TEST(LogSink, NullCallbackAfterACallbackReturnsToStderr) {
    {
        LogCapture log;
        LogMessage("to callback");
        EXPECT_EQ(log.lines.size(), 1u);
    }
    testing::internal::CaptureStderr();
    LogMessage("to stderr");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "to stderr\n");
}

namespace {
int g_reentrantLines = 0;
// A host callback that calls back into the library, which logs again from inside the callback.
int CallsBackIntoTheLibrary(const char* line) {
    ++g_reentrantLines;
    if (std::string(line) != "Error: GetWellName needs a well object") GetWellName(nullptr);
    return 0;
}
}  // namespace

TEST(LogSink, LinesLoggedInsideTheCallbackGoToStderr) {
    g_reentrantLines = 0;
    SetLoggingCallback(nullptr, &CallsBackIntoTheLibrary);
    testing::internal::CaptureStderr();
    LogMessage("outer");
    const std::string err = testing::internal::GetCapturedStderr();
    SetLoggingCallback(nullptr, nullptr);
    EXPECT_EQ(g_reentrantLines, 1);
    EXPECT_EQ(err, "Error: GetWellName needs a well object\n");
}

TEST_F(HostCommaLocale, LogLinesUseADecimalPoint) {
    LogCapture log;
    const std::string probe = UnderCommaLocale([] {
        char text[16];
        std::snprintf(text, sizeof text, "%.1f", 1.5);
        LogMessage("%.2f %g", 1.25, 0.5);
        return std::string(text);
    });
    ASSERT_EQ(probe, "1,5") << "the comma locale is not in effect";
    EXPECT_EQ(log.lines.at(0), "1.25 0.5");
}

TEST(LogSink, ControlCharactersBecomeVisibleEscapes) {
    struct Case {
        const char* text;
        const char* line;
    } cases[] = {
        {"plain text, unchanged: 1.5 \\ %", "plain text, unchanged: 1.5 \\ %"},
        {"tab\tstays", "tab\tstays"},
        {"two\nlines\r\n", "two\\nlines\\r\\n"},
        {"\x1b[2Jclear", "\\x1b[2Jclear"},
        {"\x01\x1f\x7f", "\\x01\\x1f\\x7f"},
        {"UTF-8 \xc3\xa9 stays", "UTF-8 \xc3\xa9 stays"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        LogMessage("%s", c.text);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0], c.line);
    }
}

TEST(LogSink, AnEscapeThatWouldPassTheLineLimitIsLeftOutWhole) {
    LogCapture log;
    LogMessage("%s\x1b", std::string(1020, 'x').c_str());
    LogMessage("%s\x1b", std::string(1019, 'x').c_str());
    ASSERT_EQ(log.lines.size(), 2u);
    EXPECT_EQ(log.lines[0], std::string(1020, 'x'));
    EXPECT_EQ(log.lines[1], std::string(1019, 'x') + "\\x1b");
}

TEST(LogSink, StderrGetsTheEscapedLineToo) {
    SetLoggingCallback(nullptr, nullptr);
    testing::internal::CaptureStderr();
    LogMessage("a\nb");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "a\\nb\n");
}

TEST(LogSink, AWellNameCannotForgeALineOrDriveTheTerminal) {
    LogCapture log;
    TeskObj* obj = CreateTeskObj();
    ASSERT_EQ(SetWellName(obj, "Well\nFAKE: Logged out of cloud.\x1b[2J"), 1);
    log.Clear();
    PrintTeskObj(obj);
    DeleteTeskObj(obj);
    EXPECT_TRUE(log.Contains("Well Name: Well\\nFAKE: Logged out of cloud.\\x1b[2J"));
    for (const std::string& line : log.lines) {
        EXPECT_EQ(line.find_first_of("\n\r\x1b"), std::string::npos) << line;
        EXPECT_NE(line.rfind("FAKE", 0), 0u) << line;
    }
}
