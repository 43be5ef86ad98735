#pragma once
// Test helpers of the cloud tests that run against moto: one server for the whole run, the
// cloud account the fixture script made on it, and a per-test fixture with its own APPDATA.
#include <gtest/gtest.h>
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cloud/moto_harness.h"
#include "log_capture.h"

// The names tests/cloud/moto_fixture.py printed.
struct CloudAccountNames {
    std::string clientId, identityPoolId, loginProvider;
    std::string designTable, pagedDesignTable, testTable;
    std::string user, password, challengeUser;
};

const MotoServer& CloudMoto();
const CloudAccountNames& CloudNames();
// Empty once the server runs and the library's environment points at it; otherwise why not.
const std::string& CloudSetupError();

// Each test gets a fresh APPDATA directory and may override environment variables; both are
// undone after the test. Log lines are collected in `log`.
class CloudMotoTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void SetEnv(const std::string& name, const std::string& value);
    // Checks that no line so far carries a secret (password, token, key), then forgets them.
    void ClearLog();
    std::string TokenPath() const { return appData + "/tesk/refreshtoken.txt"; }

    std::string appData;
    LogCapture log;

private:
    std::map<std::string, std::pair<bool, std::string>> saved_;
    std::string refreshToken_;
};

// The moto recorder: every request the server receives between Start and Stop.
void StartRecording();
// Each request as {"method", "url", "headers", "body" (decoded text)}.
std::vector<nlohmann::json> StopRecording();

// The URL of the run's identity-pool stand-in (identity_stub.py) for a mode:
// "refuse-credentials" or "refuse-all".
std::string IdentityStubUrl(const std::string& mode);

// A loopback URL whose port refuses connections while the returned socket stays open.
struct ClosedPort {
    int socket = -1;
    std::string url;
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
};

// Each prefix starts a line of `lines`, in this order (other lines may come between).
void ExpectLinesInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& prefixes);

// The file's bytes, or "<missing>" when it cannot be read.
std::string FileBytes(const std::string& path);
