#include "cloud/refresh_token_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log/log.h"

namespace {

constexpr char kFolder[] = "/tesk/";
constexpr char kFileName[] = "refreshtoken.txt";
constexpr size_t kMaxTokenBytes = 64 * 1024;

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Writes the token into a fresh temporary file beside `path`, puts it on the disk, and renames
// it over `path`, so that a crash leaves the old token or the new one, never a torn one.
bool ReplaceFile(const char* path, const std::string& token) {
    std::string temp = std::string(path) + ".XXXXXX";
    int fd = mkostemp(&temp[0], O_CLOEXEC);  // made with mode 0600
    if (fd < 0) return false;
    bool written = WriteAll(fd, token) && fsync(fd) == 0;
    written = (close(fd) == 0) && written;
    if (written && rename(temp.c_str(), path) == 0) return true;
    unlink(temp.c_str());
    return false;
}

// The folder holds a credential: one that others may read or write is made the user's alone.
void MakeFolderPrivate(const char* folder) {
    struct stat info {};
    if (lstat(folder, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
        (info.st_mode & 077) != 0) {
        chmod(folder, 0700);
    }
}

// Why an opened token file must not be read, or null when it may: only a regular file of this
// user that no one else may write can hold this user's token (a file others may write could
// hold theirs, and a renewal would then save into their account).
const char* RefusalOf(int fd) {
    struct stat info {};
    if (fstat(fd, &info) != 0) return "it cannot be examined";
    if (!S_ISREG(info.st_mode)) return "it is not a regular file";
    if (info.st_uid != geteuid()) return "it belongs to another user";
    if ((info.st_mode & 022) != 0) return "others may write it";
    return nullptr;
}

std::string ReadUpTo(int fd, size_t limit) {
    std::string bytes(limit, '\0');
    size_t filled = 0;
    while (filled < bytes.size()) {
        ssize_t n = read(fd, &bytes[filled], bytes.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        filled += static_cast<size_t>(n);
    }
    bytes.resize(filled);
    return bytes;
}

}  // namespace

bool GetRefreshTokenPath(char (&dst)[kRefreshTokenPathSize]) {
    dst[0] = '\0';
    const char* appData = std::getenv("APPDATA");
    if (appData == nullptr || appData[0] == '\0') return false;
    size_t folderEnd = std::strlen(appData) + sizeof kFolder - 1;
    if (folderEnd + sizeof kFileName > kRefreshTokenPathSize) return false;
    std::snprintf(dst, kRefreshTokenPathSize, "%s%s", appData, kFolder);
    if (mkdir(dst, 0700) != 0) MakeFolderPrivate(dst);  // a failure shows up when the file is opened
    std::snprintf(dst + folderEnd, kRefreshTokenPathSize - folderEnd, "%s", kFileName);
    return true;
}

void SaveRefreshToken(std::string token) {
    char path[kRefreshTokenPathSize];
    if (!GetRefreshTokenPath(path) || !ReplaceFile(path, token)) {
        LogMessage("ERROR: cannot open refresh token file");
    }
}

std::string LoadRefreshToken() {
    char path[kRefreshTokenPathSize];
    if (!GetRefreshTokenPath(path)) return std::string();
    // No link is followed and a FIFO does not block the open; both are refused below.
    int fd = open(path, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ELOOP) LogMessage("ERROR: refusing the refresh token file: it is a symbolic link");
        return std::string();
    }
    const char* refusal = RefusalOf(fd);
    if (refusal != nullptr) {
        close(fd);
        LogMessage("ERROR: refusing the refresh token file: %s", refusal);
        return std::string();
    }
    std::string token = ReadUpTo(fd, kMaxTokenBytes);
    close(fd);
    token.resize(std::strlen(token.c_str()));
    return token;
}

void RemoveRefreshToken() {
    char path[kRefreshTokenPathSize];
    if (GetRefreshTokenPath(path)) unlink(path);
}
