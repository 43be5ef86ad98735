#pragma once
// Test helper: runs a check in a forked child, optionally under resource limits, so that a
// case that would exhaust memory or write past a size limit cannot take the test runner down.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

// AddressSanitizer reserves terabytes of address space for its shadow memory, so an
// address-space limit would stop every allocation of a sanitized build.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceLimitUsable = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSpaceLimitUsable = false;
#else
constexpr bool kAddressSpaceLimitUsable = true;
#endif
#else
constexpr bool kAddressSpaceLimitUsable = true;
#endif

// The child's exit status: what `body` returned, or 128 + the signal that ended it.
inline int RunInChild(const std::function<int()>& body, int resource = -1, rlim_t limit = 0) {
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (resource >= 0) {
            const rlimit bounds{limit, limit};
            if (setrlimit(resource, &bounds) != 0) _exit(125);
        }
        const int result = body();
        std::fflush(nullptr);
        _exit(result);
    }
    int status = 0;
    if (waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
