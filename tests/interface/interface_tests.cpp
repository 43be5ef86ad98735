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

// A C host may pass a string literal, which lies in read-only memory: the reader must not write
// into it. A write here ends the test with SIGSEGV.
TEST(Interface, DynoTextInReadOnlyMemoryIsRead) {
    static const char kCard[] = "3\n0,9000\n43,11000\n86,9500\nSample card\n6.5\n";
    TeskObj* obj = CreateTeskObj();
    ASSERT_NE(obj, nullptr);
    EXPECT_EQ(LoadDynFromFileContents(obj, const_cast<char*>(kCard)), 1);
    ASSERT_EQ(GetMeasuredDynoPointCount(obj), 3);
    double positions[3] = {0, 0, 0};
    double loads[3] = {0, 0, 0};
    ASSERT_EQ(GetMeasuredDyno(obj, positions, loads), 1);
    EXPECT_EQ(positions[1], 43.0);
    EXPECT_EQ(loads[2], 9500.0);
    EXPECT_EQ(LoadDynFromFileContents(obj, const_cast<char*>("2\n1\t10\n2\t20\nx\n6\n")), 0);
    EXPECT_EQ(GetMeasuredDynoPointCount(obj), 3) << "a refused text leaves the card as it was";
    DeleteTeskObj(obj);
}
