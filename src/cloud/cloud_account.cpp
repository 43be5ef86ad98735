#include "cloud/cloud_account.h"

#include <cstdlib>

// The region must stay short: a listed design id (84 bytes with its terminator) holds the
// identity id, which starts with the region, and a 38-character UUID suffix.
namespace {

std::string ValueOrOverride(const char* builtIn, const char* variable) {
    const char* value = std::getenv(variable);
    return (value != nullptr && value[0] != '\0') ? std::string(value) : std::string(builtIn);
}

}  // namespace

const char* const kUserNameParamKey = "USERNAME";
const char* const kPasswordParamKey = "PASSWORD";
const char* const kRefreshTokenParamKey = "REFRESH_TOKEN";
const char* const kRenewalUserName = "renewal";
const char* const kTestItemIdKey = "id";
const char* const kTestItemSubKey = "sub";

CloudAccount ReadCloudAccount() {
    CloudAccount account;
    account.region = ValueOrOverride("us-east-1", "TESK_CLOUD_REGION");
    account.clientId = ValueOrOverride("5r2k9q1v7c3n4p8t0m6s2h8j4d", "TESK_CLOUD_CLIENT_ID");
    account.identityPoolId =
        ValueOrOverride("us-east-1:6d3f2a1b-8c4e-4f7a-9b2d-5e1c0a7f3b9d", "TESK_CLOUD_IDENTITY_POOL_ID");
    account.loginProvider =
        ValueOrOverride("cognito-idp.us-east-1.amazonaws.com/us-east-1_Tk4sD9gQ2", "TESK_CLOUD_LOGIN_PROVIDER");
    account.designTable = ValueOrOverride("tesk-designs", "TESK_DESIGN_TABLE");
    account.testTable = ValueOrOverride("tesk-test", "TESK_TEST_TABLE");
    return account;
}
