#pragma once
// Test helper: a moto server (the AWS emulator) of this test process alone, on loopback.
#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

struct MotoServer {
    pid_t pid = -1;
    int port = 0;
    std::string url;      // "http://127.0.0.1:PORT"
    std::string workDir;  // the server's working directory (a fresh temp dir; recordings go here)
    std::string logPath;  // the server's stdout and stderr
};

// Empty when python3 can import moto's server and boto3; otherwise the reason.
std::string MotoUnavailableReason();

// Starts `python3 -m moto.server -H 127.0.0.1 -p 0` with the extra environment, waits for
// its " * Running on http://127.0.0.1:PORT" line (up to 30 s) and fills `server`. On
// failure nothing is left running and `error` says why.
bool StartMoto(MotoServer* server, std::string* error, const std::map<std::string, std::string>& extraEnv = {});

// SIGTERM by pid, then wait (SIGKILL after 10 s). Safe to call twice.
void StopMoto(MotoServer* server);

// True for http://127.0.0.1[:port][/...] and http://localhost[:port][/...] only.
bool IsLoopbackUrl(const std::string& url);

// POSTs `body` to `server.url + path` (e.g. "/moto-api/reset", "/moto-api/reset-auth").
// Refuses a non-loopback server. Fills `status` and `response` when not null.
bool MotoPost(const MotoServer& server, const std::string& path, const std::string& body,
              const std::string& contentType, long* status = nullptr, std::string* response = nullptr);
// GET of `server.url + path` (e.g. "/moto-api/recorder/download-recording").
bool MotoGet(const MotoServer& server, const std::string& path, long* status, std::string* response);

// Runs `python3 script args...` with dummy AWS credentials, region us-east-1 and no
// metadata lookups; collects stdout. False (with stderr's tail in `error`) when it fails.
bool RunPython(const std::string& script, const std::vector<std::string>& args, std::string* output,
               std::string* error);

// Where the test sources live (for fixture scripts).
std::string TestSourceDir();
