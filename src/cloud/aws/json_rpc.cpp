#include "cloud/aws/json_rpc.h"

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

AwsOutcome ErrorOutcome(const HttpResponse& response) {
    if (IsBlankText(response.body)) {
        return Failure(ErrorNameOf(response, nlohmann::json()), "No response body.", response.status);
    }
    const nlohmann::json body = nlohmann::json::parse(response.body, nullptr, false);
    if (body.is_discarded()) {
        return Failure(NameGuessedFromStatus(response.status),
                       "Failed to parse error payload: HTTP " + std::to_string(response.status), response.status);
    }
    std::string message = JsonTextMember(body, "Message");
    if (message.empty()) message = JsonTextMember(body, "message");
    return Failure(ErrorNameOf(response, body), message, response.status);
}

AwsOutcome SuccessOutcome(const HttpResponse& response) {
    AwsOutcome outcome;
    if (IsBlankText(response.body)) {
        outcome.ok = true;
        return outcome;
    }
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

AwsOutcome Send(const AwsClientConfig& config, const JsonRpcCall& call) {
    const AwsEndpoint endpoint = config.endpointOverride.empty() ? ResolveEndpoint(call.service, config.region)
                                                                 : ParseEndpointUrl(config.endpointOverride);
    if (!endpoint.valid) return Failure("", "Invalid endpoint: " + endpoint.error, 0);
    HttpRequest request;
    std::string error;
    if (!BuildJsonRpcRequest(config, endpoint, call, std::chrono::system_clock::now(), &request, &error)) {
        return Failure("", error, 0);
    }
    HttpResponse response;
    (config.transport != nullptr ? config.transport : &CurlSend)(request, &response);
    return OutcomeFromResponse(response);
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
    built.verifyTls = config.verifyTls;
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

AwsOutcome OutcomeFromResponse(const HttpResponse& response) {
    if (response.transportCode != 0) {
        return Failure("", "curlCode: " + std::to_string(response.transportCode) + ", " + response.transportMessage,
                       0);
    }
    return IsSuccessStatus(response.status) ? SuccessOutcome(response) : ErrorOutcome(response);
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
    return GuardAwsCall([&] { return Send(config, call); });
}
