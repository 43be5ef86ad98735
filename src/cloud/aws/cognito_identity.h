#pragma once
#include <map>
#include <nlohmann/json.hpp>
#include <string>

#include "cloud/aws/aws_outcome.h"
#include "cloud/aws/client_config.h"
#include "cloud/aws/credentials.h"

// Cognito identity pool calls, unsigned. `logins` maps the login provider to the ID token.
AwsOutcome CognitoGetId(const AwsClientConfig& config, const std::string& identityPoolId,
                        const std::map<std::string, std::string>& logins);
AwsOutcome CognitoGetCredentialsForIdentity(const AwsClientConfig& config, const std::string& identityId,
                                            const std::map<std::string, std::string>& logins);

// The "IdentityId" of a GetId or GetCredentialsForIdentity result ("" when absent).
std::string CognitoIdentityIdFromResult(const nlohmann::json& result);

// The credentials of a GetCredentialsForIdentity result: AccessKeyId, SecretKey,
// SessionToken, and Expiration (epoch seconds, may be fractional; the largest time point
// when absent). Missing texts stay empty; the account id is always empty.
AwsCredentials CognitoCredentialsFromResult(const nlohmann::json& result);
