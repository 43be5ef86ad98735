#pragma once
// Test helper: runs one export on a generated input in a forked child and reports the memory
// it took above what the child started with, and its wall time.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>

#include "child_process.h"

// Peak memory an export may take: sixteen times its input and 64 MiB; and its time.
inline int64_t MemoryBudget(int64_t inputBytes) { return 16 * inputBytes + (64LL << 20); }
constexpr double kTimeBudgetSeconds = 10.0;

// A /proc/self/status figure ("VmRSS", "VmHWM") in bytes; -1 when it cannot be read.
inline int64_t StatusBytes(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(field) + ":";
    while (std::getline(status, line)) {
        if (line.compare(0, prefix.size(), prefix) == 0) return std::stoll(line.substr(prefix.size())) * 1024;
    }
    return -1;
}

// Appends `unit` to `out` until `bytes` of it are written, a megabyte at a time, so that the
// input never sits in the test's memory whole.
inline void AppendRepeated(std::ofstream& out, const std::string& unit, int64_t bytes) {
    std::string chunk;
    while (chunk.size() < (1u << 20)) chunk += unit;
    int64_t written = 0;
    while (written + static_cast<int64_t>(chunk.size()) <= bytes) {
        out << chunk;
        written += static_cast<int64_t>(chunk.size());
    }
    for (; written < bytes; written += static_cast<int64_t>(unit.size())) out << unit;
}

// Processor time the process has used, user and system: unlike the wall clock, it does not grow
// when other work shares the machine.
inline double ProcessorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct BudgetUse {
    bool expected = false;  // the export gave the outcome the case expects
    double seconds = -1;    // wall time
    double processorSeconds = -1;
    int64_t peakBytes = -1;  // above the child's size when it started
};

// Runs `body` in a child; a child that dies reports nothing, which reads as an unexpected outcome.
// The child starts with the high-water mark at its current size (a fork's memory begins there).
inline BudgetUse MeasureInChild(const std::function<bool()>& body) {
    int channel[2];
    BudgetUse use;
    if (pipe(channel) != 0) return use;
    RunInChild([&] {
        close(channel[0]);
        BudgetUse measured;
        const int64_t before = StatusBytes("VmRSS");
        const auto start = std::chrono::steady_clock::now();
        const double processorStart = ProcessorSeconds();
        measured.expected = body();
        measured.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        measured.processorSeconds = ProcessorSeconds() - processorStart;
        measured.peakBytes = StatusBytes("VmHWM") - before;
        const bool sent = write(channel[1], &measured, sizeof measured) == static_cast<ssize_t>(sizeof measured);
        close(channel[1]);
        return sent ? 0 : 1;
    });
    close(channel[1]);
    if (read(channel[0], &use, sizeof use) != static_cast<ssize_t>(sizeof use)) use = BudgetUse();
    close(channel[0]);
    return use;
}
