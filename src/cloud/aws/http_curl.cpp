// The HTTP transport over libcurl: one request, no retries, no redirects, no proxies
// from the environment, and a cap on what is read back.
#include <curl/curl.h>

#include <memory>

#include "cloud/aws/ascii.h"
#include "cloud/aws/http_transport.h"

namespace {

struct Reception {
    HttpResponse* response;
    size_t maxBytes;
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
    if (bytes > reception->maxBytes - reception->response->body.size()) return 0;
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

struct CurlFree {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

void Configure(CURL* curl, const HttpRequest& request, curl_slist* headers, Reception* reception) {
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_URL, request.url.c_str());
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
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, request.idleTimeoutMs < 1000 ? 1L : request.idleTimeoutMs / 1000);
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
    Reception reception{response, request.maxResponseBytes};
    Configure(curl.get(), request, headers.get(), &reception);
    const CURLcode code = curl_easy_perform(curl.get());
    if (code != CURLE_OK) {
        response->status = 0;
        response->headers.clear();
        response->body.clear();
        return Fail(response, code);
    }
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &response->status);
}
