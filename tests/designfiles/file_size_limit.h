#pragma once
// Test helper: lowers the process's file-size limit for one scope. The signal that exceeding
// it raises is ignored, so write() fails with EFBIG instead of ending the test.
#include <signal.h>
#include <sys/resource.h>

struct FileSizeLimit {
    rlimit saved{};
    struct sigaction savedAction {};
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &savedAction);
        rlimit lowered = saved;
        lowered.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved);
        sigaction(SIGXFSZ, &savedAction, nullptr);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};
