#include "cloud/aws/json_rpc.h"

#include <algorithm>
#include <thread>

#include "cloud/aws/retry_policy.h"
#include "cloud/aws/sigv4.h"
#include "cloud/aws/uuid_time.h"

namespace {

AwsOutcome Failure(const std::string& name, const std::string& message, long status) {
    AwsOutcome outcome;
    outcome.error.exceptionName = name;
    outcome.error.message = message;
    outcome.error.httpStatus = status;
    return outcome;
}

bool IsSuccessStatus(long status) { return status >= 200 && status < 300; }

bool IsBlankText(const std::string& text) { return text.find_first_not_of(" \t\r\n") == std::string::npos; }

// The parser's message names the last token it read, which may be a piece of a token or
// secret in a truncated answer: keep only the part before it.
std::string ParserMessage(const std::string& what) {
    return what.substr(0, what.find("; last read:"));
}

// The name of an error as "Type" from "prefix#Type:detail".
std::string ShortErrorName(const std::string& raw) {
    const size_t hash = raw.find('#');
    std::string name = hash == std::string::npos ? raw : raw.substr(hash + 1);
    return name.substr(0, name.find(':'));
}

std::string NameGuessedFromStatus(long status) {
    if (status == 401 || status == 403) return "AccessDeniedException";
    if (status == 404) return "ResourceNotFoundException";
    if (status == 429) return "ThrottlingException";
    if (status >= 500) return "InternalFailure";
    return "Unknown";
}

std::string ErrorNameOf(const HttpResponse& response, const nlohmann::json& body) {
    auto header = response.headers.find("x-amzn-errortype");
    if (header != response.headers.end() && !header->second.empty()) return ShortErrorName(header->second);
    const std::string type = JsonTextMember(body, "__type");
    if (!type.empty()) return ShortErrorName(type);
    return NameGuessedFromStatus(response.status);
}

AwsOutcome ErrorOutcome(const HttpResponse& response, const AnswerLimits& limits) {
    if (IsBlankText(response.body)) {
        return Failure(ErrorNameOf(response, nlohmann::json()), "No response body.", response.status);
    }
    const nlohmann::json body = AnswerShapeProblem(response.body, limits).empty()
                                    ? nlohmann::json::parse(response.body, nullptr, false)
                                    : nlohmann::json(nlohmann::json::value_t::discarded);
    if (body.is_discarded()) {
        return Failure(NameGuessedFromStatus(response.status),
                       "Failed to parse error payload: HTTP " + std::to_string(response.status), response.status);
    }
    std::string message = JsonTextMember(body, "Message");
    if (message.empty()) message = JsonTextMember(body, "message");
    return Failure(ErrorNameOf(response, body), message, response.status);
}

AwsOutcome SuccessOutcome(const HttpResponse& response, const AnswerLimits& limits) {
    AwsOutcome outcome;
    if (IsBlankText(response.body)) {
        outcome.ok = true;
        return outcome;
    }
    const std::string problem = AnswerShapeProblem(response.body, limits);
    if (!problem.empty()) return Failure("Json Parser Error", problem, response.status);
    try {
        outcome.result = nlohmann::json::parse(response.body);
    } catch (const nlohmann::json::exception& e) {
        return Failure("Json Parser Error", ParserMessage(e.what()), response.status);
    }
    if (!outcome.result.is_object()) {
        return Failure("Json Parser Error", "response is not a JSON object", response.status);
    }
    outcome.ok = true;
    return outcome;
}

bool HasControlCharacter(const std::string& text) {
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7f) return true;
    }
    return false;
}

AwsOutcome AnswerTooLarge(const HttpResponse& response, const AnswerLimits& limits) {
    return Failure("", "The answer exceeds the limit of " + std::to_string(limits.maxBytes >> 10) + " KiB",
                   response.status);
}

void Sign(const AwsClientConfig& config, const AwsEndpoint& endpoint, AwsService service,
          const AwsCredentials& credentials, std::chrono::system_clock::time_point now, HttpRequest* request) {
    const std::string amzDate = AmzDate(now);
    request->headers.emplace_back("X-Amz-Date", amzDate);
    if (!credentials.sessionToken.empty()) {
        request->headers.emplace_back("X-Amz-Security-Token", credentials.sessionToken);
    }
    SigV4Request toSign;
    toSign.path = endpoint.path;
    toSign.headers = request->headers;
    toSign.body = request->body;
    const SigV4Signature signature = SigV4Sign(toSign, credentials.accessKeyId, credentials.secretKey,
                                               config.region, ServiceEndpointPrefix(service), amzDate);
    request->headers.emplace_back("Authorization", signature.authorization);
}

AwsEndpoint EndpointOf(const AwsClientConfig& config, AwsService service) {
    return config.endpointOverride.empty() ? ResolveEndpoint(service, config.region)
                                           : ParseEndpointUrl(config.endpointOverride);
}

long RemainingMs(const AwsClientConfig& config) {
    using namespace std::chrono;
    const auto remaining = duration_cast<milliseconds>(config.deadline - ConfigNow(config)).count();
    return static_cast<long>(std::min<long long>(remaining, 24LL * 3600 * 1000));
}

// No single request may outlast the call's deadline (curl reads 0 as "no limit", hence 1).
void FitIntoDeadline(long remainingMs, HttpRequest* request) {
    request->connectTimeoutMs = std::max(1L, std::min(request->connectTimeoutMs, remainingMs));
    request->totalTimeoutMs = std::max(1L, std::min(request->totalTimeoutMs, remainingMs));
}

void WaitBeforeRetry(const AwsClientConfig& config, std::chrono::milliseconds wait) {
    if (config.retryWait != nullptr) {
        config.retryWait(wait);
    } else if (wait.count() > 0) {
        std::this_thread::sleep_for(wait);
    }
}

// The last failure as it is reported once a call stops trying: the error's name and how many
// attempts were made, so that one line tells what the retries saw.
AwsOutcome GaveUp(AwsOutcome outcome, int attempts, bool outOfTime) {
    if (attempts <= 1 && !outOfTime) return outcome;
    std::string note = outcome.error.exceptionName.empty() ? "" : outcome.error.exceptionName + ", ";
    note += std::to_string(attempts) + (attempts == 1 ? " attempt" : " attempts");
    if (outOfTime) note += ", the call's time is up";
    outcome.error.message += " (" + note + ")";
    return outcome;
}

// Sends the call until it succeeds, fails for good, has been retried kMaxRetries times, or
// the deadline leaves no room for the next wait. A clock-skew refusal is resent at once, a
// single time, with the signing clock corrected; the correction stays for later calls.
AwsOutcome SendWithRetries(const AwsClientConfig& config, const JsonRpcCall& call) {
    const AwsEndpoint endpoint = EndpointOf(config, call.service);
    if (!endpoint.valid) return Failure("", "Invalid endpoint: " + endpoint.error, 0);
    const AnswerLimits limits = ServiceAnswerLimits(call.service);
    std::chrono::milliseconds skew = config.clockSkew != nullptr ? *config.clockSkew : std::chrono::milliseconds(0);
    bool skewCorrected = false;
    for (int retry = 0;; ++retry) {
        const long remainingMs = RemainingMs(config);
        if (remainingMs <= 0) return Failure("", "The call's time was up before the request was sent", 0);
        const auto signedAt = std::chrono::system_clock::now() + skew;
        HttpRequest request;
        std::string error;
        if (!BuildJsonRpcRequest(config, endpoint, call, signedAt, &request, &error)) return Failure("", error, 0);
        FitIntoDeadline(remainingMs, &request);
        HttpResponse response;
        (config.transport != nullptr ? config.transport : &CurlSend)(request, &response);
        AwsOutcome outcome = OutcomeFromResponse(response, limits);
        if (outcome.ok) return outcome;
        if (retry == kMaxRetries) return GaveUp(std::move(outcome), retry + 1, false);
        std::chrono::milliseconds correction(0);
        if (!skewCorrected && ClockSkewCorrection(response, outcome, signedAt, &correction)) {
            skew += correction;
            if (config.clockSkew != nullptr) *config.clockSkew = skew;
            skewCorrected = true;
            continue;
        }
        if (!IsRetryableFailure(call.service, response, outcome)) return GaveUp(std::move(outcome), retry + 1, false);
        const std::chrono::milliseconds wait = RetryDelay(retry);
        if (ConfigNow(config) + wait >= config.deadline) return GaveUp(std::move(outcome), retry + 1, true);
        WaitBeforeRetry(config, wait);
    }
}

}  // namespace

const char* ServiceTargetPrefix(AwsService service) {
    switch (service) {
        case AwsService::CognitoIdentityProvider:
            return "AWSCognitoIdentityProviderService";
        case AwsService::CognitoIdentity:
            return "AWSCognitoIdentityService";
        case AwsService::DynamoDb:
            return "DynamoDB_20120810";
    }
    return "";
}

const char* ServiceContentType(AwsService service) {
    return service == AwsService::DynamoDb ? "application/x-amz-json-1.0" : "application/x-amz-json-1.1";
}

bool BuildJsonRpcRequest(const AwsClientConfig& config, const AwsEndpoint& endpoint, const JsonRpcCall& call,
                         std::chrono::system_clock::time_point now, HttpRequest* request, std::string* error) {
    HttpRequest built;
    built.url = endpoint.url;
    built.connectTimeoutMs = config.connectTimeoutMs;
    built.idleTimeoutMs = config.requestTimeoutMs;
    built.totalTimeoutMs = config.totalTimeoutMs;
    built.verifyTls = config.verifyTls;
    built.maxResponseBytes = ServiceAnswerLimits(call.service).maxBytes;
    try {
        built.body = call.body.dump();
    } catch (const nlohmann::json::exception&) {
        *error = "Invalid request: a text is not valid UTF-8";
        return false;
    }
    built.headers = {{"Host", endpoint.hostHeader},
                     {"Content-Type", ServiceContentType(call.service)},
                     {"X-Amz-Target", std::string(ServiceTargetPrefix(call.service)) + "." + call.operation}};
    if (call.credentials != nullptr && !call.credentials->IsEmpty()) {
        Sign(config, endpoint, call.service, *call.credentials, now, &built);
    }
    for (const auto& header : built.headers) {
        if (HasControlCharacter(header.second)) {
            *error = "Invalid request: a control character in the " + header.first + " header";
            return false;
        }
    }
    *request = std::move(built);
    return true;
}

AwsOutcome OutcomeFromResponse(const HttpResponse& response, const AnswerLimits& limits) {
    if (response.transportCode == kTransportAnswerTooLarge || response.body.size() > limits.maxBytes) {
        return AnswerTooLarge(response, limits);
    }
    if (response.transportCode != 0) {
        return Failure("", "curlCode: " + std::to_string(response.transportCode) + ", " + response.transportMessage,
                       0);
    }
    return IsSuccessStatus(response.status) ? SuccessOutcome(response, limits) : ErrorOutcome(response, limits);
}

std::string JsonTextMember(const nlohmann::json& object, const char* name) {
    if (!object.is_object()) return std::string();
    auto member = object.find(name);
    return member != object.end() && member->is_string() ? member->get<std::string>() : std::string();
}

AwsOutcome UnexpectedFailureOutcome(bool outOfMemory) {
    return Failure("", outOfMemory ? "Out of memory" : "Unexpected failure while calling the service", 0);
}

AwsOutcome CallJsonRpc(const AwsClientConfig& config, const JsonRpcCall& call) {
    return GuardAwsCall([&] { return SendWithRetries(config, call); });
}
