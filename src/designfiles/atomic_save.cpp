#include "designfiles/atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <string>

#include "log/log.h"

namespace {

constexpr int kNameAttempts = 100;

// The folder part of a path, with its trailing '/', or "" for a bare file name.
std::string FolderOf(const char* path) {
    const std::string text(path);
    const size_t slash = text.find_last_of('/');
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

// Short, so that a target name near the length limit still gets a temporary; unique within
// this process by the counter and across processes by the pid; O_EXCL guards against anything
// else that happens to use the same name.
std::string TemporaryName(const char* path) {
    static std::atomic<unsigned> counter{0};
    return FolderOf(path) + ".tesk-save-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

int CreateTemporary(const char* path, std::string* name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        *name = TemporaryName(path);
        const int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const void* data, size_t size) {
    const char* next = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(fd, next, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        next += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// A replaced file keeps who may read it; a new one gets the umask's choice from open().
bool KeepTargetMode(int fd, const char* path) {
    struct stat target {};
    if (stat(path, &target) != 0) return true;
    return fchmod(fd, target.st_mode & 07777) == 0;
}

bool FillTemporary(int fd, const char* path, const void* data, size_t size) {
    return WriteAll(fd, data, size) && KeepTargetMode(fd, path) && fsync(fd) == 0;
}

// The rename itself reaches the disk only with its folder; failing here loses nothing.
void SyncFolderOf(const char* path) {
    const std::string folder = FolderOf(path);
    const int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool Fail(const char* path, int error) {
    LogMessage("Error saving file %s! errno:%d", path != nullptr ? path : "(null)", error);
    return false;
}

}  // namespace

bool SaveFileAtomically(const char* path, const void* data, size_t size) {
    if (path == nullptr || *path == '\0' || (data == nullptr && size > 0)) return Fail(path, EINVAL);
    std::string temporary;
    const int fd = CreateTemporary(path, &temporary);
    if (fd < 0) return Fail(path, errno);
    const bool filled = FillTemporary(fd, path, data, size);
    const int fillError = errno;
    const bool closed = close(fd) == 0;
    if (!filled || !closed) {
        const int error = filled ? errno : fillError;
        unlink(temporary.c_str());
        return Fail(path, error);
    }
    if (rename(temporary.c_str(), path) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        return Fail(path, error);
    }
    SyncFolderOf(path);
    return true;
}
