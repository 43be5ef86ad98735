#pragma once
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "cloud/aws/aws_outcome.h"
#include "cloud/aws/client_config.h"

// The tokens of a successful InitiateAuth; empty texts when the answer carries none (a
// challenge, or the refresh flow, which returns no new refresh token).
struct CognitoTokens {
    std::string accessToken;
    std::string idToken;
    std::string refreshToken;
};

// Cognito user pool InitiateAuth, unsigned. `authFlow` is e.g. "USER_PASSWORD_AUTH" or
// "REFRESH_TOKEN_AUTH"; `authParameters` e.g. {"USERNAME": ..., "PASSWORD": ...}.
AwsOutcome CognitoInitiateAuth(const AwsClientConfig& config, const std::string& authFlow,
                               const std::map<std::string, std::string>& authParameters,
                               const std::string& clientId);

// The AuthenticationResult's tokens (members of another type read as empty).
CognitoTokens CognitoTokensFromResult(const nlohmann::json& result);
