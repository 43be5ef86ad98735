#pragma once
#include <string>

// The names that address the product's cloud account: the Cognito user pool's app client, the
// identity pool and the name under which it knows the user pool, and the two DynamoDB tables.
// The library carries built-in values; each TESK_* environment variable below, when set and
// non-empty, replaces one of them, so that a deployment (or a test) can point the library at
// its own account.
struct CloudAccount {
    std::string region;          // TESK_CLOUD_REGION
    std::string clientId;        // TESK_CLOUD_CLIENT_ID
    std::string identityPoolId;  // TESK_CLOUD_IDENTITY_POOL_ID
    std::string loginProvider;   // TESK_CLOUD_LOGIN_PROVIDER
    std::string designTable;     // TESK_DESIGN_TABLE
    std::string testTable;       // TESK_TEST_TABLE
};

// The built-in values with the environment's overrides, read now.
CloudAccount ReadCloudAccount();

// Request parameter keys and item attribute names of the sign-in and the test item.
extern const char* const kUserNameParamKey;
extern const char* const kPasswordParamKey;
extern const char* const kRefreshTokenParamKey;
extern const char* const kRenewalUserName;
extern const char* const kTestItemIdKey;
extern const char* const kTestItemSubKey;
