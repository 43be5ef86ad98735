#include "moto_harness.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

const char kRunningPrefix[] = " * Running on http://127.0.0.1:";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Tail(const std::string& text, size_t size) {
    return text.size() <= size ? text : text.substr(text.size() - size);
}

std::string MakeTempDir(const char* stem) {
    std::string pattern = std::string(P_tmpdir) + "/" + stem + "XXXXXX";
    char* made = mkdtemp(&pattern[0]);
    return made != nullptr ? std::string(made) : std::string();
}

// Python never looks for real credentials or instance metadata, and botocore stays
// away from the user's configuration files.
void SetDummyAwsEnvironment() {
    setenv("AWS_ACCESS_KEY_ID", "testing", 1);
    setenv("AWS_SECRET_ACCESS_KEY", "testing", 1);
    setenv("AWS_SESSION_TOKEN", "testing", 1);
    setenv("AWS_DEFAULT_REGION", "us-east-1", 1);
    setenv("AWS_EC2_METADATA_DISABLED", "true", 1);
    setenv("AWS_CONFIG_FILE", "/dev/null", 1);
    setenv("AWS_SHARED_CREDENTIALS_FILE", "/dev/null", 1);
    unsetenv("AWS_PROFILE");
    unsetenv("HTTP_PROXY");
    unsetenv("HTTPS_PROXY");
    unsetenv("http_proxy");
    unsetenv("https_proxy");
}

// Runs in the child after fork: output to `logPath`, dies with the test process.
[[noreturn]] void ExecChild(const std::vector<std::string>& argv, const std::string& workDir,
                            const std::string& logPath, const std::string& stdoutPath,
                            const std::map<std::string, std::string>& extraEnv) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const int log = open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int out = stdoutPath.empty() ? log : open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int null = open("/dev/null", O_RDONLY);
    if (log < 0 || out < 0 || null < 0) _exit(126);
    dup2(null, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    if (!workDir.empty() && chdir(workDir.c_str()) != 0) _exit(126);
    SetDummyAwsEnvironment();
    for (const auto& entry : extraEnv) setenv(entry.first.c_str(), entry.second.c_str(), 1);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
}

pid_t Spawn(const std::vector<std::string>& argv, const std::string& workDir, const std::string& logPath,
            const std::string& stdoutPath, const std::map<std::string, std::string>& extraEnv) {
    const pid_t pid = fork();
    if (pid == 0) ExecChild(argv, workDir, logPath, stdoutPath, extraEnv);
    return pid;
}

// The port of the " * Running on" line, 0 while it has not appeared.
int PortInLog(const std::string& log) {
    const size_t at = log.find(kRunningPrefix);
    if (at == std::string::npos) return 0;
    size_t digit = at + sizeof kRunningPrefix - 1;
    int port = 0;
    while (digit < log.size() && log[digit] >= '0' && log[digit] <= '9' && port < 65536) {
        port = port * 10 + (log[digit++] - '0');
    }
    const bool complete = digit < log.size() && (log[digit] == '\n' || log[digit] == '\r' || log[digit] == '/');
    return complete && port > 0 && port < 65536 ? port : 0;
}

size_t CollectBody(char* data, size_t size, size_t count, void* user) {
    static_cast<std::string*>(user)->append(data, size * count);
    return size * count;
}

bool Exchange(const MotoServer& server, const std::string& path, const std::string* body,
              const std::string& contentType, long* status, std::string* response) {
    const std::string url = server.url + path;
    if (!IsLoopbackUrl(url)) return false;
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return false;
    std::string received;
    curl_slist* headers = curl_slist_append(nullptr, ("Content-Type: " + contentType).c_str());
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 30L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &CollectBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
    if (body != nullptr) {
        curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body->data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body->size()));
    }
    const CURLcode code = curl_easy_perform(curl);
    long answered = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &answered);
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    if (status != nullptr) *status = answered;
    if (response != nullptr) *response = received;
    return code == CURLE_OK;
}

}  // namespace

std::string MotoUnavailableReason() {
    const int rc = std::system("python3 -c 'import moto.server, boto3, flask' >/dev/null 2>&1");
    if (rc == 0) return std::string();
    return "python3 with moto[server] and boto3 is needed for the moto tests (pip install 'moto[server]' boto3)";
}

bool IsLoopbackUrl(const std::string& url) {
    for (const char* prefix : {"http://127.0.0.1", "http://localhost"}) {
        const std::string start(prefix);
        if (url.compare(0, start.size(), start) != 0) continue;
        if (url.size() == start.size()) return true;
        const char next = url[start.size()];
        if (next == ':' || next == '/') return true;
    }
    return false;
}

bool StartMoto(MotoServer* server, std::string* error, const std::map<std::string, std::string>& extraEnv) {
    MotoServer started;
    started.workDir = MakeTempDir("tesk_moto_");
    if (started.workDir.empty()) {
        *error = "cannot make a temporary directory for moto";
        return false;
    }
    started.logPath = started.workDir + "/moto.log";
    started.pid = Spawn({"python3", "-m", "moto.server", "-H", "127.0.0.1", "-p", "0"}, started.workDir,
                        started.logPath, "", extraEnv);
    if (started.pid < 0) {
        *error = "cannot fork for moto";
        return false;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        started.port = PortInLog(ReadFile(started.logPath));
        if (started.port != 0) break;
        int status = 0;
        if (waitpid(started.pid, &status, WNOHANG) == started.pid) {
            started.pid = -1;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (started.port == 0) {
        *error = "moto did not start: " + Tail(ReadFile(started.logPath), 2000);
        StopMoto(&started);
        return false;
    }
    started.url = "http://127.0.0.1:" + std::to_string(started.port);
    *server = started;
    return true;
}

void StopMoto(MotoServer* server) {
    if (server->pid > 0) {
        kill(server->pid, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (waitpid(server->pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                kill(server->pid, SIGKILL);
                waitpid(server->pid, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    server->pid = -1;
    std::error_code ignored;
    if (!server->workDir.empty()) std::filesystem::remove_all(server->workDir, ignored);
    server->workDir.clear();
}

bool MotoPost(const MotoServer& server, const std::string& path, const std::string& body,
              const std::string& contentType, long* status, std::string* response) {
    return Exchange(server, path, &body, contentType, status, response);
}

bool MotoGet(const MotoServer& server, const std::string& path, long* status, std::string* response) {
    return Exchange(server, path, nullptr, "", status, response);
}

bool RunPython(const std::string& script, const std::vector<std::string>& args, std::string* output,
               std::string* error) {
    const std::string dir = MakeTempDir("tesk_py_");
    if (dir.empty()) {
        *error = "cannot make a temporary directory";
        return false;
    }
    const std::string outPath = dir + "/stdout";
    const std::string errPath = dir + "/stderr";
    std::vector<std::string> argv = {"python3", script};
    argv.insert(argv.end(), args.begin(), args.end());
    const pid_t pid = Spawn(argv, "", errPath, outPath, {});
    int status = 0;
    const bool ran = pid > 0 && waitpid(pid, &status, 0) == pid;
    *output = ReadFile(outPath);
    const bool ok = ran && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!ok) *error = script + " failed: " + Tail(ReadFile(errPath), 2000);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    rmdir(dir.c_str());
    return ok;
}

std::string TestSourceDir() { return TESK_TEST_SOURCE_DIR; }
