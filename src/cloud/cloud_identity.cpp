#include "cloud/cloud_identity.h"

#include <chrono>

#include "cloud/aws/cognito_identity.h"
#include "cloud/aws/jwt.h"

std::map<std::string, std::string> IdentityLogins(const CloudSession& session, const std::string& idToken) {
    return {{session.account.loginProvider, idToken}};
}

void SetIdentityClaims(CloudSession& session, const nlohmann::json& payload) {
    session.sub = JwtStringClaim(payload, "sub", "UNKNOWN");
    session.username = JwtStringClaim(payload, "username", "UNKNOWN");
}

void SetIdentityCredentials(CloudSession& session, const AwsOutcome& credentials) {
    const nlohmann::json answer = credentials.ok ? credentials.result : nlohmann::json::object();
    session.IdentityId = CognitoIdentityIdFromResult(answer);
    session.creds = CognitoCredentialsFromResult(answer);
    session.creds.expiration = std::chrono::system_clock::time_point::max();
    session.creds.accountId.clear();
}
