#include "designfiles/atomic_save.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "log/log.h"

namespace {

std::atomic<unsigned> temporaryCounter{0};

// Links followed from the saved path to the file replaced, as the kernel's own limit.
constexpr int kMaxLinkHops = 40;

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
// the node itself (a design "saved" to /dev/null must not turn it into a regular file). It is
// opened without waiting, so a pipe nobody reads fails at once (ENXIO) instead of blocking the
// host for good; once open, the writes wait for the reader as a plain write would.
bool WriteInPlace(const char* path, const char* data, size_t size) {
    const int fd = open(path, O_WRONLY | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    const int flags = fcntl(fd, F_GETFL);
    bool written = flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0 && WriteAll(fd, data, size);
    const int error = errno;
    if (close(fd) != 0 && written) return false;
    errno = error;
    return written;
}

bool ReadLink(const std::string& link, std::string* pointee) {
    std::string buffer(PATH_MAX, '\0');
    const ssize_t length = readlink(link.c_str(), &buffer[0], buffer.size());
    if (length < 0) return false;
    if (static_cast<size_t>(length) == buffer.size()) {
        errno = ENAMETOOLONG;
        return false;
    }
    pointee->assign(buffer, 0, static_cast<size_t>(length));
    return true;
}

// The file a save replaces: a symbolic link keeps pointing where it did and the file at the
// end of its chain is replaced, or created when it does not exist yet, as a plain write would.
bool ResolveTarget(const char* path, std::string* target) {
    *target = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat link {};
        if (lstat(target->c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return true;
        std::string pointee;
        if (!ReadLink(*target, &pointee)) return false;
        *target = !pointee.empty() && pointee[0] == '/' ? pointee : FolderOf(*target) + "/" + pointee;
    }
    errno = ELOOP;
    return false;
}

// The new file takes the owner and group of the one it replaces where the process may set
// them: a privileged process both, another one the group when it belongs to it. Where it may
// not, the file stays the process's own, as any file it creates.
bool KeepOwnerAndGroup(int fd, const struct stat& existing) {
    return fchown(fd, existing.st_uid, existing.st_gid) == 0 ||
           fchown(fd, static_cast<uid_t>(-1), existing.st_gid) == 0;
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
    // The new file keeps the permissions of the one it replaces; the mode is set after the
    // owner, as a change of owner clears the set-user and set-group bits.
    if (exists) KeepOwnerAndGroup(fd, existing);
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
    const char* shown = path != nullptr ? path : "(null)";
    if (error == ENXIO) {
        LogMessage("Error saving file %s! errno:%d: nothing reads from it (a pipe without a reader, or a device "
                   "that is not there)",
                   shown, error);
    } else {
        LogMessage("Error saving file %s! errno:%d", shown, error);
    }
    errno = error;
    return false;
}
