#include "cloud/session_renewal.h"

#include <string>

#include "cloud/aws/cognito_identity.h"
#include "cloud/aws/cognito_idp.h"
#include "cloud/aws/jwt.h"
#include "cloud/aws/uuid_time.h"
#include "cloud/cloud_identity.h"
#include "cloud/design_store.h"
#include "cloud/refresh_token_file.h"
#include "log/log.h"

namespace {

// The identity pool's half of a renewal; false when the ID token does not decode, which ends
// the renewal before credentials are asked for.
bool RenewIdentity(CloudSession& session, const std::string& idToken) {
    const auto logins = IdentityLogins(session, idToken);
    AwsOutcome identity = CognitoGetId(session.config, session.account.identityPoolId, logins);
    if (!identity.ok) LogMessage("ERROR: idResult: %s <<<", identity.error.message.c_str());
    JwtContent id;
    if (!DecodeJwt(idToken, &id)) {
        LogMessage("ERROR: RunTest the ID token does not decode.");
        return false;
    }
    SetIdentityClaims(session, id.payload);
    const std::string identityId = identity.ok ? CognitoIdentityIdFromResult(identity.result) : std::string();
    AwsOutcome credentials = CognitoGetCredentialsForIdentity(session.config, identityId, logins);
    if (!credentials.ok) LogMessage("ERROR: credForIdResult: %s <<<", credentials.error.message.c_str());
    SetIdentityCredentials(session, credentials);
    LogMessage("credForIdResult - IdentityId: %s <<<", session.IdentityId.c_str());
    return true;
}

}  // namespace

bool PutTestItem(const CloudSession& session) {
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
    return PutItemLogged(session, session.account.testTable, item);
}

void CloudRunTest(CloudSession& session) {
    const std::string token = LoadRefreshToken();
    AwsOutcome auth = CognitoInitiateAuth(session.config, "REFRESH_TOKEN_AUTH",
                                          {{kUserNameParamKey, kRenewalUserName}, {kRefreshTokenParamKey, token}},
                                          session.account.clientId);
    if (!auth.ok) {
        LogMessage("ERROR: RunTest InitAuth.");
        LogMessage("ERROR: RunTest auth - %s", auth.error.message.c_str());
    } else if (!RenewIdentity(session, CognitoTokensFromResult(auth.result).idToken)) {
        return;
    }
    if (IsLoggedIn(session)) {
        PutTestItem(session);
    } else {
        LogMessage("RunTest() failed because this->creds was not set");
    }
}
