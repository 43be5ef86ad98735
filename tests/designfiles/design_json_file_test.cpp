#include <gtest/gtest.h>

#include "temp_path.h"

#include <cstdio>
#include <string>

#include "design_test_util.h"
#include "designfiles/design_document.h"
#include "log_capture.h"
#include "model/tesk_obj.h"

class DesignJsonFile : public ::testing::Test {
protected:
    std::string path = TestTempPath("json");
    void TearDown() override { std::remove(path.c_str()); }
};

TEST_F(DesignJsonFile, WritesTheCompactDocument) {
    TeskObj obj;
    ASSERT_TRUE(WriteDesignFileTesk(&obj, path.c_str()));
    EXPECT_EQ(ReadFileText(path), WriteDesignJson(&obj).dump());
}

TEST_F(DesignJsonFile, TextOutsideAsciiIsWrittenAsItIs) {
    TeskObj obj;
    std::snprintf(obj.wellName, sizeof obj.wellName, "Pozo \xc3\x91" "and\xc3\xba");
    ASSERT_TRUE(WriteDesignFileTesk(&obj, path.c_str()));
    EXPECT_NE(ReadFileText(path).find("\"wellname\":\"Pozo \xc3\x91" "and\xc3\xba\""), std::string::npos);
}

TEST_F(DesignJsonFile, NameThatIsNotUtf8FailsAndLeavesTheOldFile) {
    WriteFileText(path, "old design");
    TeskObj obj;
    std::snprintf(obj.wellName, sizeof obj.wellName, "Latin-1 \xd1");
    LogCapture log;
    EXPECT_FALSE(WriteDesignFileTesk(&obj, path.c_str()));
    EXPECT_EQ(log.Count("could not be serialised"), 1u);
    EXPECT_EQ(ReadFileText(path), "old design");
}

TEST_F(DesignJsonFile, UnwritablePathFailsWithALogLine) {
    TeskObj obj;
    const std::string missing = ::testing::TempDir() + "no_such_dir/design.json";
    LogCapture log;
    EXPECT_FALSE(WriteDesignFileTesk(&obj, missing.c_str()));
    EXPECT_TRUE(log.Contains("Error writing design file! errno:2"));
    EXPECT_FALSE(FileExists(missing));
    log.Clear();
    EXPECT_FALSE(WriteDesignFileTesk(&obj, nullptr));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Error writing design file! errno:22"});
}

TEST_F(DesignJsonFile, FullDeviceFailsWithALogLine) {
    if (!FileExists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    TeskObj obj;
    LogCapture log;
    EXPECT_FALSE(WriteDesignFileTesk(&obj, "/dev/full"));
    EXPECT_TRUE(log.Contains("Error writing design file! errno:28"));
}
