#include <gtest/gtest.h>

#include <string>

#include "log/log.h"
#include "log_capture.h"

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
