#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "design_test_util.h"
#include "designfiles/atomic_save.h"
#include "file_size_limit.h"
#include "log_capture.h"
#include "temp_path.h"

namespace {

// A folder of this test alone, so that its listing shows any temporary left behind.
class AtomicSaveInFolder : public ::testing::Test {
protected:
    std::string folder;
    void SetUp() override {
        folder = TestTempPath("atomic_dir");
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
    }
    void TearDown() override {
        for (const std::string& name : Entries()) std::remove((folder + "/" + name).c_str());
        rmdir(folder.c_str());
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        DIR* dir = opendir(folder.c_str());
        if (dir == nullptr) return names;
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
        return names;
    }
    std::string Path(const char* name) const { return folder + "/" + name; }
};

}  // namespace

TEST_F(AtomicSaveInFolder, CreatesAndReplacesWithNothingLeftBeside) {
    const std::string path = Path("design.q");
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
    EXPECT_EQ(Entries(), std::vector<std::string>{"design.q"});
}

TEST_F(AtomicSaveInFolder, AFailedWriteLeavesTheOldFileAndNoTemporary) {
    const std::string path = Path("design.q");
    WriteFileText(path, "old content\n");
    const std::string bigger(64 * 1024, 'n');
    LogCapture log;
    {
        FileSizeLimit limit(4096);
        EXPECT_FALSE(SaveFileAtomically(path.c_str(), bigger.data(), bigger.size()));
    }
    EXPECT_EQ(log.lines, std::vector<std::string>{"Error saving file " + path + "! errno:27"});
    EXPECT_EQ(ReadFileText(path), "old content\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"design.q"});
}

TEST_F(AtomicSaveInFolder, RefusedTargets) {
    const std::string missingFolder = Path("no_such_folder/design.q");
    const std::string text = "x";
    struct Case {
        const char* path;
        std::string line;
    };
    for (const Case& c : {Case{missingFolder.c_str(), "Error saving file " + missingFolder + "! errno:2"},
                          Case{folder.c_str(), "Error saving file " + folder + "! errno:21"},
                          Case{"", "Error saving file ! errno:22"},
                          Case{nullptr, "Error saving file (null)! errno:22"}}) {
        LogCapture log;
        EXPECT_FALSE(SaveFileAtomically(c.path, text.data(), text.size())) << c.line;
        EXPECT_EQ(log.lines, std::vector<std::string>{c.line});
    }
    EXPECT_TRUE(Entries().empty());
    LogCapture log;
    EXPECT_FALSE(SaveFileAtomically(Path("x").c_str(), nullptr, 3));
    EXPECT_EQ(log.lines.size(), 1u);
}
