#include "cloud/aws/client_config.h"

#include <cstdlib>
#include <cstring>

#include "cloud/aws/ascii.h"
#include "cloud/aws/url_path.h"

namespace {

const char* ReadProcessEnvironment(const char* name) { return std::getenv(name); }

AwsEndpoint Invalid(const std::string& why) {
    AwsEndpoint endpoint;
    endpoint.error = why;
    return endpoint;
}

bool ParsePort(const std::string& digits, int* port) {
    if (digits.empty() || digits.size() > 5) return false;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < 1 || value > 65535) return false;
    *port = value;
    return true;
}

// Splits "host", "host:port", "[v6]" or "[v6]:port".
bool SplitAuthority(const std::string& authority, std::string* host, std::string* portText) {
    if (!authority.empty() && authority[0] == '[') {
        const size_t close = authority.find(']');
        if (close == std::string::npos || close == 1) return false;
        *host = authority.substr(1, close - 1);
        const std::string rest = authority.substr(close + 1);
        if (rest.empty()) return true;
        if (rest[0] != ':') return false;
        *portText = rest.substr(1);
        return !portText->empty();
    }
    const size_t colon = authority.find(':');
    *host = authority.substr(0, colon);
    if (colon == std::string::npos) return !host->empty();
    *portText = authority.substr(colon + 1);
    return !host->empty() && !portText->empty();
}

bool HostCharactersAllowed(const std::string& host, bool bracketed) {
    for (unsigned char c : host) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                           c == '.' || c == '_';
        if (!plain && !(bracketed && c == ':')) return false;
    }
    return true;
}

// Region names are lower-case letters, digits and hyphens; anything else would change
// the host name the default endpoint is built from.
bool IsRegionName(const std::string& region) {
    if (region.empty()) return false;
    for (char c : region) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')) return false;
    }
    return true;
}

}  // namespace

const char* ServiceEndpointPrefix(AwsService service) {
    switch (service) {
        case AwsService::CognitoIdentityProvider:
            return "cognito-idp";
        case AwsService::CognitoIdentity:
            return "cognito-identity";
        case AwsService::DynamoDb:
            return "dynamodb";
    }
    return "";
}

const char* ServiceEnvironmentId(AwsService service) {
    switch (service) {
        case AwsService::CognitoIdentityProvider:
            return "COGNITO_IDENTITY_PROVIDER";
        case AwsService::CognitoIdentity:
            return "COGNITO_IDENTITY";
        case AwsService::DynamoDb:
            return "DYNAMODB";
    }
    return "";
}

AwsEndpoint ParseEndpointUrl(const std::string& url) {
    const size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string::npos) return Invalid("endpoint URL has no scheme");
    AwsEndpoint endpoint;
    endpoint.scheme = AsciiLower(url.substr(0, schemeEnd));
    if (endpoint.scheme != "http" && endpoint.scheme != "https") return Invalid("endpoint URL is not http or https");
    const size_t authorityStart = schemeEnd + 3;
    const size_t pathStart = url.find('/', authorityStart);
    const std::string authority = url.substr(authorityStart, pathStart - authorityStart);
    endpoint.path = NormalizedRequestPath(pathStart == std::string::npos ? "" : url.substr(pathStart));
    if (authority.find('@') != std::string::npos) return Invalid("endpoint URL carries user information");
    if (url.find_first_of("?#") != std::string::npos) return Invalid("endpoint URL carries a query or fragment");
    if (url.find_first_of(" \t\r\n") != std::string::npos) return Invalid("endpoint URL contains white space");
    std::string portText;
    if (!SplitAuthority(authority, &endpoint.host, &portText)) return Invalid("endpoint URL has no valid host");
    const bool bracketed = authority[0] == '[';
    if (!HostCharactersAllowed(endpoint.host, bracketed)) return Invalid("endpoint URL has no valid host");
    const int defaultPort = endpoint.scheme == "https" ? 443 : 80;
    endpoint.port = defaultPort;
    if (!portText.empty() && !ParsePort(portText, &endpoint.port)) return Invalid("endpoint URL has no valid port");
    endpoint.hostHeader = bracketed ? "[" + endpoint.host + "]" : endpoint.host;
    if (endpoint.port != defaultPort) endpoint.hostHeader += ":" + std::to_string(endpoint.port);
    endpoint.url = endpoint.scheme + "://" + endpoint.hostHeader + endpoint.path;
    endpoint.valid = true;
    return endpoint;
}

AwsEndpoint ResolveEndpointWith(AwsService service, const std::string& region, EnvironmentLookup lookup) {
    auto configured = [lookup](const std::string& name) -> std::string {
        const char* value = lookup(name.c_str());
        return value != nullptr ? std::string(value) : std::string();
    };
    if (AsciiLower(configured("AWS_IGNORE_CONFIGURED_ENDPOINT_URLS")) != "true") {
        std::string url = configured(std::string("AWS_ENDPOINT_URL_") + ServiceEnvironmentId(service));
        if (url.empty()) url = configured("AWS_ENDPOINT_URL");
        if (!url.empty()) return ParseEndpointUrl(url);
    }
    if (!IsRegionName(region)) return Invalid("no valid region configured");
    return ParseEndpointUrl(std::string("https://") + ServiceEndpointPrefix(service) + "." + region +
                            ".amazonaws.com/");
}

std::chrono::steady_clock::time_point ConfigNow(const AwsClientConfig& config) {
    return config.steadyNow != nullptr ? config.steadyNow() : std::chrono::steady_clock::now();
}

AwsEndpoint ResolveEndpoint(AwsService service, const std::string& region) {
    return ResolveEndpointWith(service, region, &ReadProcessEnvironment);
}
