#include "designfiles/atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "log/log.h"

namespace {

std::atomic<unsigned> temporaryCounter{0};

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// A name in the target's own folder, so that the final rename never crosses file systems, and
// a short one, so that a target whose name is near the length limit still gets one. Created
// exclusively: two saves, in this process or another, never share a temporary file.
int CreateTemporaryNextTo(const std::string& path, std::string* temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        *temporary = FolderOf(path) + "/.tesk-save-" + std::to_string(getpid()) + "-" +
                     std::to_string(temporaryCounter.fetch_add(1));
        const int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// A device, pipe or other special file is written in place: renaming over it would replace
// the node itself (a design "saved" to /dev/null must not turn it into a regular file).
bool WriteInPlace(const char* path, const char* data, size_t size) {
    const int fd = open(path, O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) return false;
    bool written = WriteAll(fd, data, size);
    const int error = errno;
    if (close(fd) != 0 && written) return false;
    errno = error;
    return written;
}

// The file a save replaces: a symbolic link keeps pointing where it did, its target is replaced.
bool ResolveTarget(const char* path, std::string* target) {
    struct stat link {};
    if (lstat(path, &link) != 0 || !S_ISLNK(link.st_mode)) {
        *target = path;
        return true;
    }
    char* resolved = realpath(path, nullptr);
    if (resolved == nullptr) return false;
    *target = resolved;
    std::free(resolved);
    return true;
}

// The rename itself is made durable by flushing the folder; a folder that cannot be opened
// (no read permission) still holds the complete new file, so this is best effort.
void FlushFolderOf(const std::string& path) {
    const int fd = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool ReplaceFile(const char* path, const void* data, size_t size) {
    if (path == nullptr || *path == '\0' || (data == nullptr && size > 0)) {
        errno = EINVAL;
        return false;
    }
    std::string target;
    if (!ResolveTarget(path, &target)) return false;
    struct stat existing {};
    const bool exists = stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(target.c_str(), static_cast<const char*>(data), size);
    std::string temporary;
    const int fd = CreateTemporaryNextTo(target, &temporary);
    if (fd < 0) return false;
    // The new file keeps the permissions of the one it replaces.
    bool saved = (!exists || fchmod(fd, existing.st_mode & 07777) == 0) &&
                 WriteAll(fd, static_cast<const char*>(data), size) && fsync(fd) == 0;
    int error = saved ? 0 : errno;
    if (close(fd) != 0 && saved) {
        saved = false;
        error = errno;
    }
    if (saved && std::rename(temporary.c_str(), target.c_str()) != 0) {
        saved = false;
        error = errno;
    }
    if (!saved) {
        unlink(temporary.c_str());
        errno = error;
        return false;
    }
    FlushFolderOf(target);
    return true;
}

}  // namespace

bool SaveFileAtomically(const char* path, const void* data, size_t size) {
    if (ReplaceFile(path, data, size)) return true;
    const int error = errno;
    LogMessage("Error saving file %s! errno:%d", path != nullptr ? path : "(null)", error);
    errno = error;
    return false;
}
