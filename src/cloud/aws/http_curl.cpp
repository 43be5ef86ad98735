// The HTTP transport over libcurl: one request, no retries, no redirects, no proxies
// from the environment, a cap on what is read back, and an end to a transfer that stalls.
#include <curl/curl.h>

#include <chrono>
#include <memory>

#include "cloud/aws/ascii.h"
#include "cloud/aws/http_transport.h"

namespace {

struct Reception {
    HttpResponse* response;
    size_t maxBytes;
    bool overCap = false;
    // The idle watch: bytes moved so far and when they last grew.
    std::chrono::milliseconds idleLimit;
    curl_off_t bytesMoved = 0;
    std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
    bool idledOut = false;
};

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return std::string();
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

// Curl is C: nothing may be thrown through it. Returning less than `bytes` aborts the
// transfer, which then ends with a curl error.
size_t ReceiveBody(char* data, size_t size, size_t count, void* user) noexcept {
    Reception* reception = static_cast<Reception*>(user);
    const size_t bytes = size * count;
    if (bytes > reception->maxBytes - reception->response->body.size()) {
        reception->overCap = true;
        return 0;
    }
    try {
        reception->response->body.append(data, bytes);
    } catch (...) {
        return 0;
    }
    return bytes;
}

// Keeps the headers of the final response only: a status line starts a new set.
void KeepHeader(Reception* reception, const std::string& line) {
    if (line.compare(0, 5, "HTTP/") == 0) {
        reception->response->headers.clear();
        return;
    }
    const size_t colon = line.find(':');
    if (colon != std::string::npos && colon > 0) {
        reception->response->headers[AsciiLower(Trimmed(line.substr(0, colon)))] = Trimmed(line.substr(colon + 1));
    }
}

size_t ReceiveHeader(char* data, size_t size, size_t count, void* user) noexcept {
    try {
        KeepHeader(static_cast<Reception*>(user), std::string(data, size * count));
    } catch (...) {
        return 0;
    }
    return size * count;
}

// Curl's own low-speed check averages over its whole window, so a stalled transfer would
// last about three times the limit; this ends it once no byte has moved for the limit.
// Curl calls it at least about once a second, which is the check's granularity.
int WatchIdle(void* user, curl_off_t, curl_off_t received, curl_off_t, curl_off_t sent) noexcept {
    Reception* reception = static_cast<Reception*>(user);
    const auto now = std::chrono::steady_clock::now();
    if (received + sent != reception->bytesMoved) {
        reception->bytesMoved = received + sent;
        reception->lastActivity = now;
        return 0;
    }
    if (now - reception->lastActivity < reception->idleLimit) return 0;
    reception->idledOut = true;
    return 1;
}

struct CurlFree {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

void Configure(CURL* curl, const HttpRequest& request, curl_slist* headers, Reception* reception) {
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
    // The path is signed as written, so curl must send it so.
    curl_easy_setopt(curl, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    if (request.method != "GET" && request.method != "POST") {
        curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, request.method.c_str());
    }
    if (request.method != "GET") {
        curl_easy_setopt(curl, CURLOPT_POST, 1L);
        curl_easy_setopt(curl, CURLOPT_POSTFIELDS, request.body.data());
        curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, request.connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &WatchIdle);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, reception);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, request.totalTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, request.verifyTls ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, request.verifyTls ? 2L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(request.maxResponseBytes));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &ReceiveBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, reception);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &ReceiveHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, reception);
}

void Fail(HttpResponse* response, CURLcode code) {
    response->transportCode = static_cast<int>(code);
    response->transportMessage = curl_easy_strerror(code);
}

// The code of a failed transfer as the layer reads it: a stall is a time-out and an answer
// over the cap is one whatever way curl noticed it.
CURLcode ReportedCode(CURLcode code, const Reception& reception) {
    if (reception.idledOut) return CURLE_OPERATION_TIMEDOUT;
    if (reception.overCap) return CURLE_FILESIZE_EXCEEDED;
    return code;
}

}  // namespace

void CurlSend(const HttpRequest& request, HttpResponse* response) {
    *response = HttpResponse();
    std::unique_ptr<CURL, CurlFree> curl(curl_easy_init());
    if (!curl) return Fail(response, CURLE_FAILED_INIT);
    // An empty Expect stops curl from waiting for "100 Continue" on larger bodies.
    std::unique_ptr<curl_slist, CurlFree> headers(curl_slist_append(nullptr, "Expect:"));
    if (!headers) return Fail(response, CURLE_OUT_OF_MEMORY);
    for (const auto& header : request.headers) {
        // Appending keeps the head of a non-empty list, which `headers` already owns.
        if (curl_slist_append(headers.get(), (header.first + ": " + header.second).c_str()) == nullptr) {
            return Fail(response, CURLE_OUT_OF_MEMORY);
        }
    }
    Reception reception{response, request.maxResponseBytes, false, std::chrono::milliseconds(request.idleTimeoutMs)};
    Configure(curl.get(), request, headers.get(), &reception);
    const CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        response->status = 0;
        response->headers.clear();
        response->body.clear();
        return Fail(response, ReportedCode(code, reception));
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &response->status);
}
