// Saves onto targets that are not plain files: pipes, dangling links, files of another owner.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "design_test_util.h"
#include "designfiles/atomic_save.h"
#include "log_capture.h"
#include "temp_folder.h"

namespace {

TEST(AtomicSaveTargets, APipeNobodyReadsFailsAtOnce) {
    TempFolder folder;
    const std::string pipePath = folder.Path("pipe.json");
    ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
    // Were the open to wait for a reader, the alarm would end the child instead.
    const int status = RunInChild([&] {
        alarm(10);
        LogCapture log;
        const bool refused = !SaveFileAtomically(pipePath.c_str(), "x", 1);
        const std::string line = "Error saving file " + pipePath +
                                 "! errno:6: nothing reads from it (a pipe without a reader, or a device that is not "
                                 "there)";
        return refused && log.lines == std::vector<std::string>{line} ? 0 : 1;
    });
    EXPECT_EQ(status, 0);
    struct stat node {};
    ASSERT_EQ(lstat(pipePath.c_str(), &node), 0);
    EXPECT_TRUE(S_ISFIFO(node.st_mode)) << "the pipe is written in place, never replaced";
}

// More than a pipe holds, so the save must wait for its reader once the pipe is open.
TEST(AtomicSaveTargets, APipeWithAReaderReceivesTheWholeText) {
    TempFolder folder;
    const std::string pipePath = folder.Path("pipe.json");
    ASSERT_EQ(mkfifo(pipePath.c_str(), 0600), 0);
    const int reader = open(pipePath.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(fcntl(reader, F_SETFL, 0), 0);
    const std::string text(300000, 'd');
    std::string received;
    std::thread drain([&] {
        char buffer[8192];
        ssize_t got = 0;
        while ((got = read(reader, buffer, sizeof buffer)) > 0) received.append(buffer, static_cast<size_t>(got));
    });
    EXPECT_TRUE(SaveFileAtomically(pipePath.c_str(), text.data(), text.size()));
    drain.join();
    close(reader);
    EXPECT_EQ(received, text);
}

TEST(AtomicSaveTargets, ADanglingLinkGetsTheFileItPointsTo) {
    TempFolder folder;
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, std::string>> links;  // link name, what it points to
        const char* target;
    };
    const Case cases[] = {
        {"relative", {{"a.json", "a-target.json"}}, "a-target.json"},
        {"absolute", {{"b.json", folder.Path("b-target.json")}}, "b-target.json"},
        {"chain", {{"c.json", "c-middle.json"}, {"c-middle.json", "c-target.json"}}, "c-target.json"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& link : c.links) ASSERT_EQ(symlink(link.second.c_str(), folder.Path(link.first.c_str()).c_str()), 0);
        const std::string saved = folder.Path(c.links.front().first.c_str());
        ASSERT_TRUE(SaveFileAtomically(saved.c_str(), "new", 3));
        struct stat node {};
        ASSERT_EQ(lstat(saved.c_str(), &node), 0);
        EXPECT_TRUE(S_ISLNK(node.st_mode));
        EXPECT_EQ(ReadFileText(folder.Path(c.target)), "new");
    }
    EXPECT_EQ(folder.Names().size(), 7u) << "links and targets only, no temporary file";
}

TEST(AtomicSaveTargets, ALinkLoopFailsWithOneLine) {
    TempFolder folder;
    const std::string a = folder.Path("a.json");
    const std::string b = folder.Path("b.json");
    ASSERT_EQ(symlink(b.c_str(), a.c_str()), 0);
    ASSERT_EQ(symlink(a.c_str(), b.c_str()), 0);
    LogCapture log;
    EXPECT_FALSE(SaveFileAtomically(a.c_str(), "x", 1));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Error saving file " + a + "! errno:40"});
}

TEST(AtomicSaveTargets, AReplacedFileKeepsItsOwnerGroupAndMode) {
    if (geteuid() != 0) GTEST_SKIP() << "only a privileged process may give a file another owner";
    TempFolder folder;
    const std::string path = folder.Path("owned.json");
    WriteFileText(path, "old");
    ASSERT_EQ(chown(path.c_str(), 4321, 8765), 0);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(SaveFileAtomically(path.c_str(), "new", 3));
    struct stat node {};
    ASSERT_EQ(stat(path.c_str(), &node), 0);
    EXPECT_EQ(node.st_uid, 4321u);
    EXPECT_EQ(node.st_gid, 8765u);
    EXPECT_EQ(node.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFileText(path), "new");
}

}  // namespace
