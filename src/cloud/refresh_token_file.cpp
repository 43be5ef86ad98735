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

// Writes the token into a fresh temporary file beside `path` and renames it over `path`.
bool ReplaceFile(const char* path, const std::string& token) {
    std::string temp = std::string(path) + ".XXXXXX";
    int fd = mkstemp(&temp[0]);  // mkstemp creates the file with mode 0600
    if (fd < 0) return false;
    bool written = WriteAll(fd, token);
    written = (close(fd) == 0) && written;
    if (written && rename(temp.c_str(), path) == 0) return true;
    unlink(temp.c_str());
    return false;
}

}  // namespace

bool GetRefreshTokenPath(char (&dst)[kRefreshTokenPathSize]) {
    dst[0] = '\0';
    const char* appData = std::getenv("APPDATA");
    if (appData == nullptr || appData[0] == '\0') return false;
    size_t folderEnd = std::strlen(appData) + sizeof kFolder - 1;
    if (folderEnd + sizeof kFileName > kRefreshTokenPathSize) return false;
    std::snprintf(dst, kRefreshTokenPathSize, "%s%s", appData, kFolder);
    mkdir(dst, 0700);  // an existing folder is fine; a failure shows up when the file is opened
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
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::string();
    std::string token(kMaxTokenBytes, '\0');
    size_t filled = 0;
    while (filled < token.size()) {
        ssize_t n = read(fd, &token[filled], token.size() - filled);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        filled += static_cast<size_t>(n);
    }
    close(fd);
    token.resize(filled);
    token.resize(std::strlen(token.c_str()));
    return token;
}

void RemoveRefreshToken() {
    char path[kRefreshTokenPathSize];
    if (GetRefreshTokenPath(path)) unlink(path);
}
