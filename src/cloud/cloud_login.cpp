#include "cloud/cloud_login.h"

#include <chrono>
#include <string>

#include "cloud/aws/cognito_identity.h"
#include "cloud/aws/cognito_idp.h"
#include "cloud/aws/jwt.h"
#include "cloud/cloud_identity.h"
#include "cloud/json_text.h"
#include "cloud/refresh_token_file.h"
#include "cloud/secret_redaction.h"
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
bool DecodeTokens(const AwsOutcome& auth, const CognitoTokens& tokens, const CallSecrets& secrets,
                  nlohmann::json* idPayload) {
    JwtContent access;
    JwtContent id;
    if (DecodeJwt(tokens.accessToken, &access) && DecodeJwt(tokens.idToken, &id)) {
        *idPayload = id.payload;
        return true;
    }
    auto challenge = auth.result.find("ChallengeName");
    if (challenge != auth.result.end() && challenge->is_string()) {
        LogServerText(secrets, "ERROR: Login() the user pool asks for %s first.", challenge->get<std::string>());
    } else {
        LogMessage("ERROR: Login() the answer holds no usable tokens.");
    }
    return false;
}

// The identity pool's half of a login; true once credentials and an identity were obtained.
bool ObtainIdentity(CloudSession& session, const AwsClientConfig& config, const std::string& idToken,
                    const CallSecrets& secrets) {
    const auto logins = IdentityLogins(session, idToken);
    AwsOutcome identity = CognitoGetId(config, session.account.identityPoolId, logins);
    if (!identity.ok) {
        LogServerText(secrets, "ERROR: GetId failed: %s", identity.error.message);
        return false;
    }
    AwsOutcome credentials =
        CognitoGetCredentialsForIdentity(config, CognitoIdentityIdFromResult(identity.result), logins);
    if (!credentials.ok) LogServerText(secrets, "ERROR: GetCredentialsForId: %s", credentials.error.message);
    SetIdentityCredentials(session, credentials);
    if (credentials.ok && (!IsLoggedIn(session) || session.IdentityId.empty())) {
        LogMessage("ERROR: GetCredentialsForId: %s", "the answer holds no credentials or no identity");
    }
    return IsLoggedIn(session) && !session.IdentityId.empty();
}

}  // namespace

bool CloudLogin(CloudSession& session, const char* userName, const char* password) {
    session.sub.clear();
    session.username.clear();
    session.creds = AwsCredentials{};
    // Whatever happens next, an earlier user's token must not stay: a later renewal would
    // resume that user's session, and saves would go into their designs.
    RemoveRefreshToken();
    if (!UsableCredentialsText(userName, password)) return false;

    const AwsClientConfig config = CallConfig(session);
    CallSecrets secrets;
    AddSecret(secrets, password);
    AwsOutcome auth = CognitoInitiateAuth(config, "USER_PASSWORD_AUTH",
                                          {{kUserNameParamKey, userName}, {kPasswordParamKey, password}},
                                          session.account.clientId);
    if (!auth.ok) {
        LogMessage("ERROR: Login() failed.");
        LogServerText(secrets, "ERROR: initiateAuth - %s", auth.error.message);
        return false;
    }
    const CognitoTokens tokens = CognitoTokensFromResult(auth.result);
    for (const std::string* token : {&tokens.accessToken, &tokens.idToken, &tokens.refreshToken}) {
        AddSecret(secrets, *token);
    }
    nlohmann::json idPayload;
    if (!DecodeTokens(auth, tokens, secrets, &idPayload)) return false;
    SetIdentityClaims(session, idPayload);
    if (!ObtainIdentity(session, config, tokens.idToken, secrets)) return false;
    SaveRefreshToken(tokens.refreshToken);
    return true;
}

bool CloudLogout(CloudSession* session) {
    RemoveRefreshToken();
    if (session != nullptr) {
        session->creds.accessKeyId.clear();
        session->creds.secretKey.clear();
        session->creds.sessionToken.clear();
        session->creds.expiration = std::chrono::system_clock::now();
        session->username.clear();
        session->sub.clear();
        session->IdentityId.clear();
    }
    LogMessage("Logged out of cloud.");
    return false;
}
