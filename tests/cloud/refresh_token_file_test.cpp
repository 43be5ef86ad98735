// The refresh-token file under APPDATA: exact bytes, modes, and no file at all without a path.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "child_process.h"
#include "cloud/refresh_token_file.h"
#include "cloud/temp_appdata.h"
#include "log_capture.h"

namespace {

const char kOpenFailed[] = "ERROR: cannot open refresh token file";

class RefreshTokenFile : public ::testing::Test {
protected:
    std::string Path() const { return folder.TokenPath(); }
    void WriteRaw(const std::string& bytes) const {
        std::filesystem::create_directories(appData + "/tesk");
        std::ofstream(Path(), std::ios::binary) << bytes;
    }
    std::string ReadRaw() const { return folder.StoredToken(); }
    static mode_t Mode(const std::string& path) {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
    }
    TempAppData folder;
    const std::string appData = folder.path;
};

TEST_F(RefreshTokenFile, SavesExactlyTheTokensBytesPrivatelyAndReadsThemBack) {
    LogCapture log;
    SaveRefreshToken("first-token-which-is-longer");
    SaveRefreshToken("eyJ.second");
    EXPECT_EQ(ReadRaw(), "eyJ.second") << "only the latest token, no line end";
    EXPECT_EQ(LoadRefreshToken(), "eyJ.second");
    EXPECT_EQ(Mode(Path()), 0600u);
    EXPECT_EQ(Mode(appData + "/tesk"), 0700u);
    EXPECT_TRUE(log.lines.empty());
    for (const auto& entry : std::filesystem::directory_iterator(appData + "/tesk")) {
        EXPECT_EQ(entry.path().filename(), "refreshtoken.txt") << "no temporary file left behind";
    }
}

TEST_F(RefreshTokenFile, ReplacesAFileOthersCouldRead) {
    WriteRaw("old");
    chmod(Path().c_str(), 0644);
    SaveRefreshToken("new");
    EXPECT_EQ(ReadRaw(), "new");
    EXPECT_EQ(Mode(Path()), 0600u);
}

struct LoadCase {
    const char* name;
    std::string fileBytes;  // "" with present=false: no file
    bool present;
    std::string expected;
};

class RefreshTokenLoad : public RefreshTokenFile, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(RefreshTokenLoad, ReadsUpToTheFirstNulByte) {
    const LoadCase& c = GetParam();
    if (c.present) WriteRaw(c.fileBytes);
    LogCapture log;
    EXPECT_EQ(LoadRefreshToken(), c.expected);
    EXPECT_TRUE(log.lines.empty());
    EXPECT_TRUE(std::filesystem::is_directory(appData + "/tesk")) << "the folder is made on loading too";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RefreshTokenLoad,
    ::testing::Values(LoadCase{"Missing", "", false, ""}, LoadCase{"Empty", "", true, ""},
                      LoadCase{"LineEndKept", "abc\r\n", true, "abc\r\n"},
                      LoadCase{"StopsAtNul", std::string("abc\0def", 7), true, "abc"},
                      LoadCase{"BoundedAt64KiB", std::string(70000, 't'), true, std::string(65536, 't')}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

struct NoPathCase {
    const char* name;
    const char* appData;  // null: unset
};

class RefreshTokenWithoutPath : public ::testing::TestWithParam<NoPathCase> {};

TEST_P(RefreshTokenWithoutPath, TouchesNoFile) {
    const NoPathCase& c = GetParam();
    if (c.appData == nullptr) {
        unsetenv("APPDATA");
    } else {
        setenv("APPDATA", c.appData, 1);
    }
    char path[kRefreshTokenPathSize];
    EXPECT_FALSE(GetRefreshTokenPath(path));
    EXPECT_STREQ(path, "");
    LogCapture log;
    SaveRefreshToken("token");
    EXPECT_EQ(log.lines, std::vector<std::string>{kOpenFailed});
    EXPECT_EQ(LoadRefreshToken(), "");
    RemoveRefreshToken();
    unsetenv("APPDATA");
}

// 234 characters of APPDATA leave exactly no room for "/tesk/refreshtoken.txt" in 255.
const std::string kTooLong = "/tmp/" + std::string(229, 'x');

INSTANTIATE_TEST_SUITE_P(Cases, RefreshTokenWithoutPath,
                         ::testing::Values(NoPathCase{"Unset", nullptr}, NoPathCase{"Empty", ""},
                                           NoPathCase{"TooLong", kTooLong.c_str()}),
                         [](const ::testing::TestParamInfo<NoPathCase>& info) { return std::string(info.param.name); });

TEST_F(RefreshTokenFile, AFolderOthersCouldReachIsMadePrivate) {
    std::filesystem::create_directories(appData + "/tesk");
    chmod((appData + "/tesk").c_str(), 0777);
    SaveRefreshToken("token");
    EXPECT_EQ(Mode(appData + "/tesk"), 0700u);
}

struct RefusedFile {
    const char* name;
    void (*make)(const std::string& path, const std::string& appData);
    const char* line;
};

// Anything but a regular file of this user that others may not write is refused with a line,
// and read from nowhere: a link could lead to another user's token, a FIFO would block the
// renewal for ever, and a file others may write could hold their token.
TEST_F(RefreshTokenFile, OnlyTheUsersOwnRegularFileIsRead) {
    const RefusedFile cases[] = {
        {"symbolic link",
         [](const std::string& path, const std::string& appData) {
             std::ofstream(appData + "/elsewhere") << "someone-elses-token";
             symlink((appData + "/elsewhere").c_str(), path.c_str());
         },
         "ERROR: refusing the refresh token file: it is a symbolic link"},
        {"FIFO", [](const std::string& path, const std::string&) { mkfifo(path.c_str(), 0600); },
         "ERROR: refusing the refresh token file: it is not a regular file"},
        {"folder", [](const std::string& path, const std::string&) { mkdir(path.c_str(), 0700); },
         "ERROR: refusing the refresh token file: it is not a regular file"},
        {"writable by others",
         [](const std::string& path, const std::string&) {
             std::ofstream(path) << "planted-token";
             chmod(path.c_str(), 0666);
         },
         "ERROR: refusing the refresh token file: others may write it"},
        {"another user's",
         [](const std::string& path, const std::string&) {
             std::ofstream(path) << "their-token";
             if (chown(path.c_str(), 65534, 65534) != 0) std::remove(path.c_str());
         },
         "ERROR: refusing the refresh token file: it belongs to another user"},
    };
    for (const RefusedFile& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::create_directories(appData + "/tesk");
        c.make(Path(), appData);
        if (!std::filesystem::exists(std::filesystem::symlink_status(Path()))) {
            GTEST_LOG_(INFO) << c.name << ": cannot be made here (only root may give a file away)";
            continue;
        }
        // In a child with an alarm: a read that blocks fails the case instead of hanging the run.
        const int status = RunInChild([&] {
            alarm(10);
            LogCapture log;
            return LoadRefreshToken().empty() && log.lines == std::vector<std::string>{c.line} ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        std::filesystem::remove_all(appData + "/tesk");
        std::filesystem::remove(appData + "/elsewhere");
    }
}

TEST_F(RefreshTokenFile, LongestPathThatFitsWorks) {
    // 255 characters in all: APPDATA of 233 plus "/tesk/refreshtoken.txt".
    const std::string base = appData + "/" + std::string(233 - appData.size() - 1, 'y');
    ASSERT_TRUE(std::filesystem::create_directories(base));
    setenv("APPDATA", base.c_str(), 1);
    char path[kRefreshTokenPathSize];
    ASSERT_TRUE(GetRefreshTokenPath(path));
    EXPECT_EQ(std::string(path).size(), 255u);
    SaveRefreshToken("fits");
    EXPECT_EQ(LoadRefreshToken(), "fits");
    RemoveRefreshToken();
    EXPECT_EQ(LoadRefreshToken(), "");
}

TEST_F(RefreshTokenFile, FolderThatCannotBeMadeLogsTheFailedOpen) {
    std::ofstream(appData + "/tesk") << "a file where the folder should be";
    LogCapture log;
    SaveRefreshToken("token");
    EXPECT_EQ(log.lines, std::vector<std::string>{kOpenFailed});
    EXPECT_EQ(LoadRefreshToken(), "");
}

}  // namespace
