#pragma once
// Test helper: registers a callback that collects every log line while in scope.
#include <algorithm>
#include <string>
#include <vector>

#include "tesk/tesk.h"

struct LogCapture {
    std::vector<std::string> lines;
    static LogCapture*& Current() {
        static LogCapture* current = nullptr;
        return current;
    }
    static int Collect(const char* line) {
        if (Current() != nullptr) Current()->lines.emplace_back(line);
        return 0;
    }
    LogCapture() {
        Current() = this;
        SetLoggingCallback(nullptr, &LogCapture::Collect);
    }
    ~LogCapture() {
        SetLoggingCallback(nullptr, nullptr);
        Current() = nullptr;
    }
    bool Contains(const std::string& text) const {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::string& l) { return l.find(text) != std::string::npos; });
    }
    size_t Count(const std::string& text) const {
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(),
                                   [&](const std::string& l) { return l.find(text) != std::string::npos; }));
    }
    void Clear() { lines.clear(); }
};
