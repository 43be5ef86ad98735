#include "cloud/session_renewal.h"

#include <string>

#include "cloud/aws/cognito_identity.h"
#include "cloud/aws/cognito_idp.h"
#include "cloud/aws/jwt.h"
#include "cloud/aws/uuid_time.h"
#include "cloud/cloud_identity.h"
#include "cloud/design_store.h"
#include "cloud/refresh_token_file.h"
#include "cloud/secret_redaction.h"
#include "log/log.h"

namespace {

// The identity pool's half of a renewal; false when the ID token does not decode, which ends
// the renewal before credentials are asked for.
bool RenewIdentity(CloudSession& session, const AwsClientConfig& config, const std::string& idToken,
                   CallSecrets secrets) {
    const auto logins = IdentityLogins(session, idToken);
    AwsOutcome identity = CognitoGetId(config, session.account.identityPoolId, logins);
    if (!identity.ok) LogServerText(secrets, "ERROR: idResult: %s <<<", identity.error.message);
    JwtContent id;
    if (!DecodeJwt(idToken, &id)) {
        LogMessage("ERROR: RunTest the ID token does not decode.");
        return false;
    }
    SetIdentityClaims(session, id.payload);
    const std::string identityId = identity.ok ? CognitoIdentityIdFromResult(identity.result) : std::string();
    AwsOutcome credentials = CognitoGetCredentialsForIdentity(config, identityId, logins);
    if (!credentials.ok) LogServerText(secrets, "ERROR: credForIdResult: %s <<<", credentials.error.message);
    SetIdentityCredentials(session, credentials);
    AddSessionSecrets(secrets, session);
    LogServerText(secrets, "credForIdResult - IdentityId: %s <<<", session.IdentityId);
    return true;
}

// A user pool that rotates refresh tokens answers a renewal with a new one and soon refuses
// the old one, so the new one replaces it in the file.
void KeepRotatedToken(const CognitoTokens& tokens) {
    if (!tokens.refreshToken.empty()) SaveRefreshToken(tokens.refreshToken);
}

}  // namespace

bool PutTestItem(const CloudSession& session, const AwsClientConfig& config) {
    if (!IsLoggedIn(session)) return false;
    const std::string uuid = RandomUuid();
    if (uuid.empty()) {
        LogMessage("ERROR: dynamodb: %s", "no random UUID could be drawn");
        return false;
    }
    AttributeMap item{{kTestItemIdKey, MakeS(uuid)},
                      {kTestItemSubKey, MakeS(session.sub)},
                      {"thename", MakeS(session.username)},
                      {"ts", MakeS(IsoTimestampMillisNow())}};
    return PutItemLogged(session, config, session.account.testTable, item);
}

void CloudRunTest(CloudSession& session) {
    const AwsClientConfig config = CallConfig(session);
    const std::string token = LoadRefreshToken();
    CallSecrets secrets = SessionSecrets(session);
    AddSecret(secrets, token);
    AwsOutcome auth = CognitoInitiateAuth(config, "REFRESH_TOKEN_AUTH",
                                          {{kUserNameParamKey, kRenewalUserName}, {kRefreshTokenParamKey, token}},
                                          session.account.clientId);
    if (!auth.ok) {
        LogMessage("ERROR: RunTest InitAuth.");
        LogServerText(secrets, "ERROR: RunTest auth - %s", auth.error.message);
    } else {
        const CognitoTokens tokens = CognitoTokensFromResult(auth.result);
        for (const std::string* secret : {&tokens.accessToken, &tokens.idToken, &tokens.refreshToken}) {
            AddSecret(secrets, *secret);
        }
        KeepRotatedToken(tokens);
        if (!RenewIdentity(session, config, tokens.idToken, secrets)) return;
    }
    if (IsLoggedIn(session)) {
        PutTestItem(session, config);
    } else {
        LogMessage("RunTest() failed because this->creds was not set");
    }
}
