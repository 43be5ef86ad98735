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
