#pragma once
// Switches LC_NUMERIC to a locale whose decimal point is a comma while in scope. An installed
// one is taken when there is one; otherwise a de_DE locale is built once per process with
// localedef into a temporary directory (no network, no package needed beyond libc's locale
// sources). When neither works, `active` stays false and `reason` says why.
#include <gtest/gtest.h>

#include <string>

struct CommaLocale {
    std::string saved;
    std::string reason;
    bool active = false;
    CommaLocale();
    ~CommaLocale();
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;
};

// The frame of every test that numbers ignore the host's locale: the test's step runs under a
// decimal-comma LC_NUMERIC and its checks after the locale is restored, so that only the code
// under test sees the comma. The test is skipped, with the reason, when no such locale can be had.
class HostCommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        const CommaLocale probe;
        if (!probe.active) GTEST_SKIP() << probe.reason;
    }

    template <typename Step>
    static auto UnderCommaLocale(Step&& step) {
        const CommaLocale comma;
        EXPECT_TRUE(comma.active) << comma.reason;
        return step();
    }
};
