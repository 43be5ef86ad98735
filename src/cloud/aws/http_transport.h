#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

// One HTTP request as the layer sends it. `headers` are sent exactly as given, in order, and
// the URL's path exactly as written (no dot segments removed, nothing encoded on the way).
struct HttpRequest {
    std::string method = "POST";
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    long connectTimeoutMs = 1000;
    long idleTimeoutMs = 3000;  // longest stretch without a byte sent or received
    long totalTimeoutMs = 30000;
    bool verifyTls = true;
    size_t maxResponseBytes = 4u << 20;
};

// An answer larger than maxResponseBytes is dropped and reported with this transport code
// (curl's CURLE_FILESIZE_EXCEEDED); a request that outlives its idle or total time ends with
// curl's CURLE_OPERATION_TIMEDOUT.
constexpr int kTransportAnswerTooLarge = 63;

// What came back. `transportCode` is 0 when an HTTP response arrived; otherwise it is the
// transport's error code (curl's CURLcode) and `transportMessage` its text.
struct HttpResponse {
    int transportCode = 0;
    std::string transportMessage;
    long status = 0;
    std::map<std::string, std::string> headers;  // names lower-cased; last one wins
    std::string body;
};

// Sends one request and fills the response; never throws. A transport is just this
// function, so another platform (or a test) can bring its own.
using HttpSendFunction = void (*)(const HttpRequest& request, HttpResponse* response);

// The libcurl transport.
void CurlSend(const HttpRequest& request, HttpResponse* response);
