// Drives the shared library exactly as a host does: only the public header.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tesk/tesk.h"

namespace {
std::vector<std::string>* captured = nullptr;
int Capture(const char* line) {
    if (captured) captured->push_back(line);
    return 0;
}
}  // namespace

TEST(Interface, CreateNameAndPrintThroughSharedLibrary) {
    std::vector<std::string> lines;
    captured = &lines;
    SetLoggingCallback(nullptr, Capture);
    TeskObj* obj = CreateTeskObj();
    ASSERT_NE(obj, nullptr);
    EXPECT_STREQ(GetWellName(obj), "New Well");
    EXPECT_EQ(SetWellName(obj, "Host Well"), 1);
    PrintTeskObj(obj);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Well Name: Host Well");
    DeleteTeskObj(obj);
    SetLoggingCallback(nullptr, nullptr);
    captured = nullptr;
}

// The library a host runs with and the headers it compiled against carry one version.
TEST(Interface, LibraryReportsTheVersionOfItsHeaders) {
    TeskObj* obj = CreateTeskObj();
    ASSERT_NE(obj, nullptr);
    int32_t version[4] = {-1, -1, -1, -1};
    EXPECT_EQ(GetTeskVersion(obj, version), TESK_VERSION_TWEAK);
    DeleteTeskObj(obj);
    EXPECT_EQ(version[0], TESK_VERSION_MAJOR);
    EXPECT_EQ(version[1], TESK_VERSION_MINOR);
    EXPECT_EQ(version[2], TESK_VERSION_PATCH);
    EXPECT_EQ(version[3], TESK_VERSION_TWEAK);
    const std::string joined = std::to_string(version[0]) + "." + std::to_string(version[1]) + "." +
                               std::to_string(version[2]) + "." + std::to_string(version[3]);
    EXPECT_EQ(joined, TESK_VERSION_STRING);
}
