// The libcurl transport against a one-shot server on loopback: what goes out on the
// wire, and how it ends when the other side misbehaves.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "cloud/aws/http_transport.h"
#include "cloud/aws/json_rpc.h"
#include "cloud/aws/sdk_lifetime.h"

namespace {

// Accepts one connection, reads one request, answers with `reply` (nothing when empty,
// then holds the connection for `holdMs`).
struct OneShotServer {
    int listener = -1;
    int port = 0;
    std::string received;
    std::thread thread;

    OneShotServer(std::string reply, int holdMs = 0) {
        listener = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(listener, 1) != 0 ||
            getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            return;
        }
        port = ntohs(address.sin_port);
        thread = std::thread([this, reply, holdMs] { Serve(reply, holdMs); });
    }

    ~OneShotServer() {
        if (thread.joinable()) thread.join();
        close(listener);
    }

    std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port) + path; }

    void Serve(const std::string& reply, int holdMs) {
        const int connection = accept(listener, nullptr, nullptr);
        if (connection < 0) return;
        ReadRequest(connection);
        if (!reply.empty()) {
            size_t sent = 0;
            while (sent < reply.size()) {
                const ssize_t n = send(connection, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<size_t>(n);
            }
        }
        WaitForClientToLeave(connection, holdMs);
        close(connection);
    }

    // Holds the connection open until the client hangs up or `holdMs` pass.
    static void WaitForClientToLeave(int connection, int holdMs) {
        pollfd watch{connection, POLLIN, 0};
        char byte;
        while (poll(&watch, 1, holdMs) > 0 && recv(connection, &byte, 1, 0) > 0) {
        }
    }

    void ReadRequest(int connection) {
        char buffer[65536];
        size_t headerEnd = std::string::npos;
        size_t wanted = 0;
        while (headerEnd == std::string::npos || received.size() < headerEnd + 4 + wanted) {
            const ssize_t n = recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            received.append(buffer, static_cast<size_t>(n));
            if (headerEnd == std::string::npos) {
                headerEnd = received.find("\r\n\r\n");
                const size_t length = received.find("Content-Length: ");
                if (headerEnd != std::string::npos && length != std::string::npos && length < headerEnd) {
                    wanted = std::stoul(received.substr(length + 16));
                }
            }
        }
    }
};

HttpRequest PostTo(const std::string& url, std::string body) {
    HttpRequest request;
    request.url = url;
    request.headers = {{"Host", "example.test:1234"}, {"Content-Type", "application/x-amz-json-1.0"}};
    request.body = std::move(body);
    return request;
}

// A loopback port that nothing listens on: bound for a moment, never listened on.
int ClosedLoopbackPort() {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    close(probe);
    return port;
}

class CurlTransport : public ::testing::Test {
protected:
    void SetUp() override { AwsSdkStart(); }
    void TearDown() override { AwsSdkStop(); }
};

TEST_F(CurlTransport, SendsALengthDelimitedBodyWithTheGivenHostAndReadsTheAnswer) {
    const std::string body(2 << 20, 'x');  // large enough that curl would ask for 100-continue
    OneShotServer server(
        "HTTP/1.1 400 Bad Request\r\nX-Amzn-ErrorType: ValidationException:detail\r\nContent-Length: 4\r\n\r\nnope");
    HttpResponse response;
    CurlSend(PostTo(server.Url("/base/"), body), &response);
    server.thread.join();

    EXPECT_EQ(response.transportCode, 0) << response.transportMessage;
    EXPECT_EQ(response.status, 400);
    EXPECT_EQ(response.headers["x-amzn-errortype"], "ValidationException:detail");
    EXPECT_EQ(response.body, "nope");
    const std::string head = server.received.substr(0, server.received.find("\r\n\r\n") + 2);
    EXPECT_EQ(head.rfind("POST /base/ HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nHost: example.test:1234\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nContent-Length: " + std::to_string(body.size()) + "\r\n"), std::string::npos) << head;
    EXPECT_EQ(head.find("Expect"), std::string::npos) << head;
    EXPECT_EQ(head.find("Transfer-Encoding"), std::string::npos) << head;
    EXPECT_EQ(server.received.size(), head.size() + 2 + body.size());
}

TEST_F(CurlTransport, MisbehavingServersEndTheCallWithATransportError) {
    struct Case {
        const char* name;
        std::string reply;
        int holdMs;
        int transportCode;
        long status;
    };
    const std::string tooBig = "HTTP/1.1 200 OK\r\nContent-Length: 4096\r\n\r\n" + std::string(4096, '{');
    const std::string tooBigChunked =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1000\r\n" + std::string(4096, '{') + "\r\n0\r\n\r\n";
    const Case cases[] = {
        // Redirects are answers, never followed.
        {"redirect", "HTTP/1.1 302 Found\r\nLocation: http://192.0.2.1/\r\nContent-Length: 0\r\n\r\n", 0, 0, 302},
        {"answer over the cap", tooBig, 0, 63, 0},
        {"chunked answer over the cap", tooBigChunked, 0, 63, 0},
        {"silent server", "", 20000, 28, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OneShotServer server(c.reply, c.holdMs);
        HttpRequest request = PostTo(server.Url("/"), "{}");
        request.maxResponseBytes = 1024;
        request.idleTimeoutMs = 1000;
        HttpResponse response;
        CurlSend(request, &response);
        server.thread.join();
        EXPECT_EQ(response.transportCode, c.transportCode) << response.transportMessage;
        EXPECT_EQ(response.status, c.status);
        if (c.transportCode != 0) {
            EXPECT_TRUE(response.body.empty());
        }
    }
}

// The path is signed as it is written, so it must travel so: no dot segment removed, nothing
// encoded on the way.
TEST_F(CurlTransport, SendsThePathExactlyAsGiven) {
    OneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}");
    HttpResponse response;
    CurlSend(PostTo(server.Url("/a/../b//c/%7e"), "{}"), &response);
    server.thread.join();
    EXPECT_EQ(response.status, 200) << response.transportMessage;
    EXPECT_EQ(server.received.rfind("POST /a/../b//c/%7e HTTP/1.1\r\n", 0), 0u) << server.received.substr(0, 60);
}

// A stalled answer ends once no byte has moved for the idle limit (curl is asked about once a
// second), not after the several limits curl's averaged low-speed check would wait.
TEST_F(CurlTransport, AStallEndsAfterTheIdleLimit) {
    OneShotServer server("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n{", 20000);
    HttpRequest request = PostTo(server.Url("/"), "{}");
    request.idleTimeoutMs = 2000;
    HttpResponse response;
    const auto start = std::chrono::steady_clock::now();
    CurlSend(request, &response);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    server.thread.join();
    EXPECT_EQ(response.transportCode, 28) << response.transportMessage;
    EXPECT_GE(seconds, 1.9);
    EXPECT_LT(seconds, 3.5);
}

void NoWait(std::chrono::milliseconds) {}

TEST_F(CurlTransport, NothingListeningGivesTheCurlMessage) {
    // Another session's start and stop must not take the transport away from this one.
    AwsSdkStart();
    AwsSdkStop();
    AwsClientConfig config;
    config.region = "us-east-1";
    config.endpointOverride = "http://127.0.0.1:" + std::to_string(ClosedLoopbackPort());
    config.retryWait = &NoWait;
    JsonRpcCall call;
    call.operation = "Scan";
    const AwsOutcome outcome = CallJsonRpc(config, call);
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.error.message, "curlCode: 7, Couldn't connect to server (11 attempts)");
    EXPECT_EQ(outcome.error.httpStatus, 0);
}

}  // namespace
