#include "cloud/cloud_login.h"

#include <chrono>
#include <string>

#include "cloud/aws/cognito_identity.h"
#include "cloud/aws/cognito_idp.h"
#include "cloud/aws/jwt.h"
#include "cloud/cloud_identity.h"
#include "cloud/json_text.h"
#include "cloud/refresh_token_file.h"
#include "log/log.h"

namespace {

bool UsableCredentialsText(const char* userName, const char* password) {
    if (userName == nullptr || password == nullptr) {
        LogMessage("ERROR: Login() needs a user name and a password.");
        return false;
    }
    if (!IsUtf8(userName) || !IsUtf8(password)) {
        LogMessage("ERROR: Login() user name and password must be UTF-8 text.");
        return false;
    }
    return true;
}

// The ID token's payload, when both tokens of the answer decode.
bool DecodeTokens(const AwsOutcome& auth, const CognitoTokens& tokens, nlohmann::json* idPayload) {
    JwtContent access;
    JwtContent id;
    if (DecodeJwt(tokens.accessToken, &access) && DecodeJwt(tokens.idToken, &id)) {
        *idPayload = id.payload;
        return true;
    }
    auto challenge = auth.result.find("ChallengeName");
    if (challenge != auth.result.end() && challenge->is_string()) {
        LogMessage("ERROR: Login() the user pool asks for %s first.", challenge->get<std::string>().c_str());
    } else {
        LogMessage("ERROR: Login() the answer holds no usable tokens.");
    }
    return false;
}

}  // namespace

bool CloudLogin(CloudSession& session, const char* userName, const char* password) {
    session.sub.clear();
    session.username.clear();
    session.creds = AwsCredentials{};
    if (!UsableCredentialsText(userName, password)) return false;

    AwsOutcome auth = CognitoInitiateAuth(session.config, "USER_PASSWORD_AUTH",
                                          {{kUserNameParamKey, userName}, {kPasswordParamKey, password}},
                                          session.account.clientId);
    if (!auth.ok) {
        LogMessage("ERROR: Login() failed.");
        LogMessage("ERROR: initiateAuth - %s", auth.error.message.c_str());
        return false;
    }
    CognitoTokens tokens = CognitoTokensFromResult(auth.result);
    nlohmann::json idPayload;
    if (!DecodeTokens(auth, tokens, &idPayload)) return false;
    SaveRefreshToken(tokens.refreshToken);
    SetIdentityClaims(session, idPayload);

    const auto logins = IdentityLogins(session, tokens.idToken);
    AwsOutcome identity = CognitoGetId(session.config, session.account.identityPoolId, logins);
    if (!identity.ok) {
        LogMessage("ERROR: GetId failed: %s", identity.error.message.c_str());
        return false;
    }
    AwsOutcome credentials =
        CognitoGetCredentialsForIdentity(session.config, CognitoIdentityIdFromResult(identity.result), logins);
    if (!credentials.ok) LogMessage("ERROR: GetCredentialsForId: %s", credentials.error.message.c_str());
    SetIdentityCredentials(session, credentials);
    if (credentials.ok && (!IsLoggedIn(session) || session.IdentityId.empty())) {
        LogMessage("ERROR: GetCredentialsForId: %s", "the answer holds no credentials or no identity");
    }
    return IsLoggedIn(session) && !session.IdentityId.empty();
}

bool CloudLogout(CloudSession& session) {
    RemoveRefreshToken();
    session.creds.accessKeyId.clear();
    session.creds.secretKey.clear();
    session.creds.sessionToken.clear();
    session.creds.expiration = std::chrono::system_clock::now();
    session.username.clear();
    session.sub.clear();
    session.IdentityId.clear();
    LogMessage("Logged out of cloud.");
    return false;
}
