// A save replaces the previous file whole or not at all.
#include "designfiles/atomic_save.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_process.h"
#include "design_test_util.h"
#include "log_capture.h"
#include "temp_folder.h"
#include "tesk/tesk.h"

namespace {

TEST(AtomicSave, ReplacesTheFileAndKeepsItsPermissions) {
    TempFolder folder;
    ASSERT_FALSE(folder.path.empty());
    const std::string path = folder.path + "/design.json";
    WriteFileText(path, "an older and longer design text");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string text = "new";
    ASSERT_TRUE(SaveFileAtomically(path.c_str(), text.data(), text.size()));
    EXPECT_EQ(ReadFileText(path), "new");
    struct stat status {};
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"design.json"});
}

TEST(AtomicSave, ALinkKeepsPointingAtTheReplacedFile) {
    TempFolder folder;
    const std::string target = folder.path + "/target.json";
    const std::string link = folder.path + "/link.json";
    WriteFileText(target, "old");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    ASSERT_TRUE(SaveFileAtomically(link.c_str(), "new", 3));
    struct stat status {};
    ASSERT_EQ(lstat(link.c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(ReadFileText(target), "new");
}

// A file size limit stands for a full disk: the write stops midway, as it would there.
TEST(AtomicSave, AWriteThatStopsMidwayLeavesTheOldDesignWhole) {
    TempFolder folder;
    const std::string path = folder.path + "/well.json";
    TeskObj* obj = CreateTeskObj();
    ASSERT_EQ(ParseDesignFile(obj, TESK_DATA_DIR "/sample_well.json"), 1);
    ASSERT_EQ(WriteDesignFile(obj, path.c_str()), 1);
    const std::string before = ReadFileText(path);
    ASSERT_GT(before.size(), 4096u);
    ASSERT_EQ(SetWellName(obj, "Renamed"), 1);

    const int status = RunInChild(
        [&] {
            std::signal(SIGXFSZ, SIG_IGN);
            LogCapture log;
            const bool refused = WriteDesignFile(obj, path.c_str()) == 0;
            return refused && log.Count("Error saving file " + path + "! errno:27") == 1 ? 0 : 1;
        },
        RLIMIT_FSIZE, 4096);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadFileText(path), before);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"well.json"});
    DeleteTeskObj(obj);
}

TEST(AtomicSave, AMissingFolderFailsAndCreatesNothing) {
    TempFolder folder;
    const std::string path = folder.path + "/missing/design.json";
    errno = 0;
    EXPECT_FALSE(SaveFileAtomically(path.c_str(), "x", 1));
    EXPECT_EQ(errno, ENOENT);
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
