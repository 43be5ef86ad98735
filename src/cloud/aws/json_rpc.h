#pragma once
#include <chrono>
#include <new>
#include <nlohmann/json.hpp>
#include <string>

#include "cloud/aws/answer_limits.h"
#include "cloud/aws/aws_outcome.h"
#include "cloud/aws/client_config.h"
#include "cloud/aws/credentials.h"
#include "cloud/aws/http_transport.h"

// One call of an AWS JSON protocol operation: POST of a compact JSON body, resent as the AWS
// SDK's default retry strategy would (retry_policy.h) within the configuration's deadline.
struct JsonRpcCall {
    AwsService service = AwsService::DynamoDb;
    std::string operation;  // "InitiateAuth", "GetItem", ...
    nlohmann::json body = nlohmann::json::object();
    // Null: the call goes unsigned. Otherwise it is signed with SigV4, unless the
    // credentials are empty (then it goes unsigned, as an unconfigured client would).
    const AwsCredentials* credentials = nullptr;
};

// "AWSCognitoIdentityProviderService", "AWSCognitoIdentityService", "DynamoDB_20120810".
const char* ServiceTargetPrefix(AwsService service);
// "application/x-amz-json-1.1" for Cognito, "application/x-amz-json-1.0" for DynamoDB.
const char* ServiceContentType(AwsService service);

// Runs `work` (which returns an AwsOutcome), turning an exception into a failed outcome,
// so that the service wrappers never throw.
AwsOutcome UnexpectedFailureOutcome(bool outOfMemory);
template <typename Work>
AwsOutcome GuardAwsCall(Work&& work) {
    try {
        return work();
    } catch (const std::bad_alloc&) {
        return UnexpectedFailureOutcome(true);
    } catch (...) {
        return UnexpectedFailureOutcome(false);
    }
}

// The member `name` of a JSON object when it is a string; "" otherwise.
std::string JsonTextMember(const nlohmann::json& object, const char* name);

// Resolves the endpoint from the environment, builds and sends the request through the
// configuration's transport, retries what is worth it, and derives the outcome. Only the
// last failure is reported; after more than one attempt its message ends with the error's
// name and the number of attempts ("... (ThrottlingException, 11 attempts)"). Never throws.
AwsOutcome CallJsonRpc(const AwsClientConfig& config, const JsonRpcCall& call);

// The request as it goes on the wire, signed at `now` when the call asks for it.
// Returns false (with the reason in `error`) when the body cannot be serialised.
bool BuildJsonRpcRequest(const AwsClientConfig& config, const AwsEndpoint& endpoint, const JsonRpcCall& call,
                         std::chrono::system_clock::time_point now, HttpRequest* request, std::string* error);

// Success or error from what came back, as the SDK derives it: a transport failure
// ("curlCode: 7, Couldn't connect to server"), a non-2xx answer (name from the
// x-amzn-ErrorType header or "__type", message from "Message" or "message"), or a 2xx
// whose body is not a JSON object ("Json Parser Error"). An answer beyond the limits fails
// before it is parsed: too large ("The answer exceeds the limit of 64 KiB"), nested too
// deep or listing too much (a "Json Parser Error" that says which).
AwsOutcome OutcomeFromResponse(const HttpResponse& response, const AnswerLimits& limits);
