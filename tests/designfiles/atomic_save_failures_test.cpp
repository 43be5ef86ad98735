#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "design_test_util.h"
#include "designfiles/atomic_save.h"
#include "file_size_limit.h"
#include "log_capture.h"
#include "temp_folder.h"

namespace {

TEST(AtomicSave, CreatesAndReplacesWithNothingLeftBeside) {
    TempFolder folder;
    const std::string path = folder.Path("design.q");
    const std::string first = "Title:one\n";
    ASSERT_TRUE(SaveFileAtomically(path.c_str(), first.data(), first.size()));
    EXPECT_EQ(ReadFileText(path), first);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string second(100000, 'x');
    ASSERT_TRUE(SaveFileAtomically(path.c_str(), second.data(), second.size()));
    EXPECT_EQ(ReadFileText(path), second);
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    ASSERT_TRUE(SaveFileAtomically(path.c_str(), nullptr, 0));
    EXPECT_EQ(ReadFileText(path), "");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"design.q"});
}

TEST(AtomicSave, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    TempFolder folder;
    const std::string path = folder.Path("design.q");
    WriteFileText(path, "old content\n");
    const std::string bigger(64 * 1024, 'n');
    LogCapture log;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(SaveFileAtomically(path.c_str(), bigger.data(), bigger.size()));
    }
    EXPECT_EQ(log.lines, std::vector<std::string>{"Error saving file " + path + "! errno:27"});
    EXPECT_EQ(ReadFileText(path), "old content\n");
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"design.q"});
}

TEST(AtomicSave, RefusedTargets) {
    TempFolder folder;
    const std::string missingFolder = folder.Path("no_such_folder/design.q");
    const std::string text = "x";
    struct Case {
        const char* path;
        std::string line;
    };
    for (const Case& c : {Case{missingFolder.c_str(), "Error saving file " + missingFolder + "! errno:2"},
                          Case{folder.path.c_str(), "Error saving file " + folder.path + "! errno:21"},
                          Case{"", "Error saving file ! errno:22"},
                          Case{nullptr, "Error saving file (null)! errno:22"}}) {
        LogCapture log;
        EXPECT_FALSE(SaveFileAtomically(c.path, text.data(), text.size())) << c.line;
        EXPECT_EQ(log.lines, std::vector<std::string>{c.line});
    }
    EXPECT_TRUE(folder.Names().empty());
    LogCapture log;
    EXPECT_FALSE(SaveFileAtomically(folder.Path("x").c_str(), nullptr, 3));
    EXPECT_EQ(log.lines.size(), 1u);
}

}  // namespace
