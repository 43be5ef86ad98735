#pragma once
#include <chrono>
#include <string>

#include "cloud/aws/http_transport.h"

// Waits before a retry; reads the monotonic clock.
using RetryWaitFunction = void (*)(std::chrono::milliseconds wait);
using SteadyClockFunction = std::chrono::steady_clock::time_point (*)();

// What every client of one session is built from, and what one call adds to it.
struct AwsClientConfig {
    std::string region;
    long connectTimeoutMs = 1000;
    // The connection is dropped when no byte moves for this long.
    long requestTimeoutMs = 3000;
    // The longest one request may take, however steadily its bytes arrive.
    long totalTimeoutMs = 30000;
    bool verifyTls = true;
    // How requests travel; null means libcurl. Tests put a stub here.
    HttpSendFunction transport = nullptr;
    // When not empty, every service is reached at this URL instead of the resolved one.
    std::string endpointOverride;
    // The pause before a retry and the clock the deadline is read on; null means sleeping and
    // std::chrono::steady_clock. Tests put scripted ones here, so nothing really waits.
    RetryWaitFunction retryWait = nullptr;
    SteadyClockFunction steadyNow = nullptr;
    // The moment by which every request and retry of the call must be over; none when max.
    std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
    // How far the service's clock is ahead of ours, learnt from a clock-skew answer; signing
    // adds it. Null: a correction lasts for the one request it was learnt on.
    std::chrono::milliseconds* clockSkew = nullptr;
};

// The configured clock's time.
std::chrono::steady_clock::time_point ConfigNow(const AwsClientConfig& config);

enum class AwsService { CognitoIdentityProvider, CognitoIdentity, DynamoDb };

// Where a service's requests go. `valid` is false when a configured endpoint URL cannot
// be used; `error` then says why and nothing may be sent.
struct AwsEndpoint {
    bool valid = false;
    std::string error;
    std::string scheme;      // "http" or "https"
    std::string host;        // without brackets for IPv6
    int port = 0;            // always set (443/80 when the URL has none)
    std::string path;        // request path as sent and signed (NormalizedRequestPath)
    std::string hostHeader;  // host, bracketed for IPv6, plus ":port" when not the scheme's default
    std::string url;         // scheme://hostHeader + path
};

// "cognito-idp", "cognito-identity" or "dynamodb": the host prefix and the signing name.
const char* ServiceEndpointPrefix(AwsService service);
// The service id as the endpoint variables spell it: "COGNITO_IDENTITY_PROVIDER", ...
const char* ServiceEnvironmentId(AwsService service);

// Looks up an environment variable; returns null when it is not set.
using EnvironmentLookup = const char* (*)(const char* name);

// The endpoint of a service in a region, with the overrides read from the process
// environment: AWS_ENDPOINT_URL_<ID> over AWS_ENDPOINT_URL, both ignored when
// AWS_IGNORE_CONFIGURED_ENDPOINT_URLS is "true" in any case; empty values count as unset.
AwsEndpoint ResolveEndpoint(AwsService service, const std::string& region);
AwsEndpoint ResolveEndpointWith(AwsService service, const std::string& region, EnvironmentLookup lookup);

// Splits an endpoint URL (http or https, optional port and path; no user info, query
// or fragment) into an endpoint. Invalid input gives valid = false with the reason.
AwsEndpoint ParseEndpointUrl(const std::string& url);
