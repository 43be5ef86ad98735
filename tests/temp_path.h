#pragma once
// Test helper: a temporary file path of this test alone. ctest runs tests as parallel
// processes, so two tests must never share a file name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

inline std::string TestTempPath(const std::string& suffix) {
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "tesk";
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return ::testing::TempDir() + name + "." + std::to_string(getpid()) + "." + suffix;
}
