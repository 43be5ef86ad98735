// Answers no real service sends, through the exports: each call fails with one line, and the
// densest answer the limits still accept is read, all in memory that follows the answer's size
// (16 times it plus 64 MiB). Each runs in a child process whose address space is held to that
// budget, so a case that overspends fails instead of the runner.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include "child_process.h"
#include "cloud/cloud_session.h"
#include "cloud/scripted_transport.h"
#include "log_capture.h"
#include "model/tesk_obj.h"
#include "tesk/tesk.h"

namespace {

struct HostileAnswer {
    const char* name;
    std::function<std::string()> body;
    int (*call)(TeskObj*);
    int expected;
    const char* line;  // the line that tells how it ended
};

int SignIn(TeskObj* obj) { return Login(obj, "alice", "pw"); }
int List(TeskObj* obj) { return FetchDesigns(obj, 1); }
int FetchOne(TeskObj* obj) { return GetDesign(obj, "us-east-1:me_1"); }

std::string Repeated(const std::string& head, const std::string& unit, const std::string& separator, size_t count,
                     const std::string& tail) {
    std::string text = head;
    text.reserve(head.size() + count * (unit.size() + separator.size()) + tail.size());
    for (size_t i = 0; i < count; ++i) text += (i == 0 ? "" : separator) + unit;
    return text + tail;
}

// A stored design whose map holds one list of `count` numbers.
std::string NumberListItem(size_t count) {
    return Repeated(R"({"Item":{"design":{"M":{"n":{"L":[)", R"({"N":"1"})", ",", count, R"(]}}},"wellname":{"S":"w"}}})");
}

const std::vector<HostileAnswer>& Cases() {
    static const std::vector<HostileAnswer> cases = {
        {"16 MiB of nested brackets to a sign-in", [] { return std::string(16u << 20, '['); }, SignIn, 0,
         "ERROR: initiateAuth - The answer exceeds the limit of 64 KiB"},
        {"nested brackets that fit a sign-in's limit", [] { return std::string((64u << 10) - 1, '['); }, SignIn, 0,
         "ERROR: initiateAuth - the answer nests deeper than 69 levels"},
        {"a Scan page of 5,000,000 empty items",
         [] { return Repeated(R"({"Items":[)", "{}", ",", 5000000, "]}"); }, List, -1,
         "ERROR: FetchDesigns scan failed: The answer exceeds the limit of 4096 KiB"},
        {"a Scan page of empty items filling its limit",
         [] { return Repeated(R"({"Items":[)", "{}", ",", ((4u << 20) - 16) / 3, "]}"); }, List, -1,
         "ERROR: FetchDesigns scan failed: the answer lists more than 100000 entries"},
        {"an item of one number list filling its limit", [] { return NumberListItem(((4u << 20) - 64) / 10); },
         FetchOne, 0, "ERROR: GetDesign dynamodb: the answer holds more than 500000 values"},
        {"an item of as many numbers as an answer may hold", [] { return NumberListItem(249990); }, FetchOne, 1,
         "Wellname: w"},
    };
    return cases;
}

// The process's address space now, in bytes; 0 when it cannot be read.
size_t AddressSpaceInUse() {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) return 0;
    char line[256];
    size_t kib = 0;
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmSize: %zu kB", &kib) == 1) break;
    }
    std::fclose(status);
    return kib << 10;
}

// 0 when the call ended as expected, with its line.
int RunCase(const HostileAnswer& c, const std::string& body) {
    LogCapture log;
    TeskObj* obj = CreateTeskObj();
    CloudSession& session = WellSession(obj);
    UseScript(session.config, {Json(200, body)});
    session.creds.accessKeyId = "AKID";
    session.creds.secretKey = "secret";
    session.IdentityId = "us-east-1:me";
    const int result = c.call(obj);
    const bool logged = log.Count(c.line) == 1;
    DeleteTeskObj(obj);
    if (result == c.expected && logged) return 0;
    for (const std::string& line : log.lines) std::fprintf(stderr, "%.200s\n", line.c_str());
    return 1;
}

TEST(HostileAnswers, EndWithTheirLineWithinTheMemoryBudget) {
    for (const HostileAnswer& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string body = c.body();
        const rlim_t budget = 16 * body.size() + (64u << 20);
        const int status = kAddressSpaceLimitUsable
                               ? RunInChild([&] { return RunCase(c, body); }, RLIMIT_AS, AddressSpaceInUse() + budget)
                               : RunInChild([&] { return RunCase(c, body); });
        EXPECT_EQ(status, 0);
    }
}

}  // namespace
