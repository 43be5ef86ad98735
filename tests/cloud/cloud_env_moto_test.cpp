// The run-wide moto server of the cloud tests and their shared helpers.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cloud/aws/base64.h"
#include "cloud_env.h"

namespace {

MotoServer server;
pid_t stubPid = -1;
std::string stubUrl;
CloudAccountNames names;
std::string setupError = "the cloud environment did not run";

const char* const kAccountVariables[] = {"TESK_CLOUD_REGION", "TESK_CLOUD_CLIENT_ID", "TESK_CLOUD_IDENTITY_POOL_ID",
                                         "TESK_CLOUD_LOGIN_PROVIDER", "TESK_DESIGN_TABLE", "TESK_TEST_TABLE"};
const char* const kEndpointVariables[] = {"AWS_ENDPOINT_URL_COGNITO_IDENTITY_PROVIDER", "AWS_ENDPOINT_URL_COGNITO_IDENTITY",
                                          "AWS_ENDPOINT_URL_DYNAMODB", "AWS_IGNORE_CONFIGURED_ENDPOINT_URLS"};

std::string ReadNames(const std::string& output) {
    const nlohmann::json printed = nlohmann::json::parse(output, nullptr, false);
    if (!printed.is_object()) return "the fixture script printed no JSON object";
    names.clientId = printed.value("clientId", "");
    names.identityPoolId = printed.value("identityPoolId", "");
    names.loginProvider = printed.value("loginProvider", "");
    names.designTable = printed.value("designTable", "");
    names.pagedDesignTable = printed.value("pagedDesignTable", "");
    names.testTable = printed.value("testTable", "");
    names.user = printed.value("user", "");
    names.password = printed.value("password", "");
    names.challengeUser = printed.value("challengeUser", "");
    return names.clientId.empty() ? "the fixture script printed no client id" : "";
}

void PointLibraryAtServer() {
    for (const char* name : kEndpointVariables) unsetenv(name);
    setenv("AWS_ENDPOINT_URL", server.url.c_str(), 1);
    setenv("TESK_CLOUD_REGION", "us-east-1", 1);
    setenv("TESK_CLOUD_CLIENT_ID", names.clientId.c_str(), 1);
    setenv("TESK_CLOUD_IDENTITY_POOL_ID", names.identityPoolId.c_str(), 1);
    setenv("TESK_CLOUD_LOGIN_PROVIDER", names.loginProvider.c_str(), 1);
    setenv("TESK_DESIGN_TABLE", names.designTable.c_str(), 1);
    setenv("TESK_TEST_TABLE", names.testTable.c_str(), 1);
}

// The identity-pool stand-in, started once; it prints its port on its first line, which is read
// later so that it starts up while moto does. Returns the read end of its output, or -1.
int SpawnIdentityStub() {
    int out[2];
    if (pipe(out) != 0) return -1;
    const std::string script = TestSourceDir() + "/cloud/identity_stub.py";
    stubPid = fork();
    if (stubPid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execlp("python3", "python3", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    return out[0];
}

std::string ReadIdentityStubPort(int output) {
    std::string line;
    pollfd ready{output, POLLIN, 0};
    char c = 0;
    while (line.find('\n') == std::string::npos && poll(&ready, 1, 30000) == 1 && read(output, &c, 1) == 1) line += c;
    close(output);
    int port = 0;
    if (stubPid < 0 || std::sscanf(line.c_str(), "PORT %d", &port) != 1) return "the identity stub did not start";
    stubUrl = "http://127.0.0.1:" + std::to_string(port);
    return "";
}

void StopIdentityStub() {
    if (stubPid <= 0) return;
    kill(stubPid, SIGTERM);
    waitpid(stubPid, nullptr, 0);
    stubPid = -1;
}

std::string StartServer() {
    std::string reason = MotoUnavailableReason();
    if (!reason.empty()) return "moto is needed for the cloud tests: " + reason;
    const int stubOutput = SpawnIdentityStub();
    if (stubOutput < 0) return "no pipe for the identity stub";
    if (!StartMoto(&server, &reason)) {
        close(stubOutput);
        return reason;
    }
    if (!IsLoopbackUrl(server.url)) return "moto is not on loopback: " + server.url;
    std::string output;
    const bool prepared = RunPython(TestSourceDir() + "/cloud/moto_fixture.py", {server.url}, &output, &reason);
    const std::string stubReason = ReadIdentityStubPort(stubOutput);
    if (!prepared) return reason;
    if (!stubReason.empty()) return stubReason;
    reason = ReadNames(output);
    if (!reason.empty()) return reason;
    PointLibraryAtServer();
    const char* endpoint = std::getenv("AWS_ENDPOINT_URL");
    return endpoint != nullptr && IsLoopbackUrl(endpoint) ? "" : "AWS_ENDPOINT_URL is not loopback";
}

class CloudEnvironment : public ::testing::Environment {
public:
    void SetUp() override { setupError = StartServer(); }
    void TearDown() override {
        StopIdentityStub();
        StopMoto(&server);
    }
};

::testing::Environment* const cloudEnvironment = ::testing::AddGlobalTestEnvironment(new CloudEnvironment);

std::string DecodedBody(const nlohmann::json& entry) {
    const std::string body = entry.value("body", "");
    std::string bytes;
    return entry.value("body_encoded", false) && Base64Decode(body, &bytes) ? bytes : body;
}

}  // namespace

const MotoServer& CloudMoto() { return server; }
const CloudAccountNames& CloudNames() { return names; }
const std::string& CloudSetupError() { return setupError; }

void CloudMotoTest::SetUp() {
    ASSERT_EQ(CloudSetupError(), "");
    std::string stem = ::testing::TempDir() + "tesk_appdata_XXXXXX";
    ASSERT_NE(mkdtemp(&stem[0]), nullptr);
    appData = stem;
    SetEnv("APPDATA", appData);
}

void CloudMotoTest::ClearLog() {
    const std::string stored = FileBytes(TokenPath());
    if (stored != "<missing>" && !stored.empty()) refreshToken_ = stored;
    // moto's fixed credentials, the fixture's password, and the start of every JSON Web Token.
    std::vector<std::string> secrets = {CloudNames().password, "ABCSECRETKEY", "ABC12345", "TESTACCESSKEY12345",
                                        "eyJ"};
    if (!refreshToken_.empty()) secrets.push_back(refreshToken_);
    for (const std::string& line : log.lines) {
        for (const std::string& secret : secrets) {
            EXPECT_EQ(line.find(secret), std::string::npos) << "a secret in the log: " << line;
        }
    }
    log.Clear();
}

void CloudMotoTest::TearDown() {
    ClearLog();
    for (const auto& [name, old] : saved_) {
        if (old.first) {
            setenv(name.c_str(), old.second.c_str(), 1);
        } else {
            unsetenv(name.c_str());
        }
    }
    std::error_code ignored;
    if (!appData.empty()) std::filesystem::remove_all(appData, ignored);
}

void CloudMotoTest::SetEnv(const std::string& name, const std::string& value) {
    if (saved_.count(name) == 0) {
        const char* old = std::getenv(name.c_str());
        saved_[name] = {old != nullptr, old != nullptr ? old : ""};
    }
    setenv(name.c_str(), value.c_str(), 1);
}

void StartRecording() {
    MotoPost(CloudMoto(), "/moto-api/recorder/reset-recording", "", "text/plain");
    MotoPost(CloudMoto(), "/moto-api/recorder/start-recording", "", "text/plain");
}

std::vector<nlohmann::json> StopRecording() {
    MotoPost(CloudMoto(), "/moto-api/recorder/stop-recording", "", "text/plain");
    long status = 0;
    std::string text;
    std::vector<nlohmann::json> requests;
    if (!MotoGet(CloudMoto(), "/moto-api/recorder/download-recording", &status, &text)) return requests;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        nlohmann::json entry = nlohmann::json::parse(line, nullptr, false);
        if (!entry.is_object()) continue;
        entry["body"] = DecodedBody(entry);
        requests.push_back(std::move(entry));
    }
    return requests;
}

std::string IdentityStubUrl(const std::string& mode) { return stubUrl + "/" + mode; }

ClosedPort::ClosedPort() {
    socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (socket < 0 || bind(socket, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        getsockname(socket, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        return;
    }
    // Bound but never listening: connections to the port are refused, and no one else gets it.
    url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

ClosedPort::~ClosedPort() {
    if (socket >= 0) close(socket);
}

void ExpectLinesInOrder(const std::vector<std::string>& lines, const std::vector<std::string>& prefixes) {
    size_t at = 0;
    for (const std::string& prefix : prefixes) {
        while (at < lines.size() && lines[at].rfind(prefix, 0) != 0) ++at;
        ASSERT_LT(at, lines.size()) << "missing or out of order: " << prefix;
        ++at;
    }
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return "<missing>";
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}
