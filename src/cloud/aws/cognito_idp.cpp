#include "cloud/aws/cognito_idp.h"

#include "cloud/aws/json_rpc.h"

AwsOutcome CognitoInitiateAuth(const AwsClientConfig& config, const std::string& authFlow,
                               const std::map<std::string, std::string>& authParameters,
                               const std::string& clientId) {
    return GuardAwsCall([&] {
        JsonRpcCall call;
        call.service = AwsService::CognitoIdentityProvider;
        call.operation = "InitiateAuth";
        call.body = {{"AuthFlow", authFlow}, {"AuthParameters", authParameters}, {"ClientId", clientId}};
        return CallJsonRpc(config, call);
    });
}

CognitoTokens CognitoTokensFromResult(const nlohmann::json& result) {
    CognitoTokens tokens;
    if (!result.is_object()) return tokens;
    auto authentication = result.find("AuthenticationResult");
    if (authentication == result.end()) return tokens;
    tokens.accessToken = JsonTextMember(*authentication, "AccessToken");
    tokens.idToken = JsonTextMember(*authentication, "IdToken");
    tokens.refreshToken = JsonTextMember(*authentication, "RefreshToken");
    return tokens;
}
