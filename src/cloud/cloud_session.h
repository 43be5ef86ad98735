#pragma once
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "cloud/aws/client_config.h"
#include "cloud/aws/credentials.h"
#include "cloud/cloud_account.h"
#include "tesk/tesk.h"

struct TeskObj;

// What ties one well object to the cloud account: the account's names and the client
// configuration every request of this object is built from, what a login yields, and the
// summaries of the last design listing. Each session holds one start of the HTTP stack.
struct CloudSession {
    CloudAccount account;
    AwsClientConfig config;
    // How far the services' clock is ahead of ours, once a clock-skew answer has shown it.
    std::chrono::milliseconds clockSkew{0};
    AwsCredentials creds;
    std::string username;
    std::string sub;
    // The identity pool's id of the user: the prefix of every stored design id.
    std::string IdentityId;
    // -1 until a listing has received its first page.
    int32_t designCount = -1;
    std::vector<DesignSummary> designs;

    // Reads the account's names (environment overrides included) and starts the HTTP stack.
    CloudSession();
    ~CloudSession();
    CloudSession(const CloudSession&) = delete;
    CloudSession& operator=(const CloudSession&) = delete;
};

// The well object's session, made by its first cloud call that needs one (which then reads the
// account's names and starts the HTTP stack) and ended with the object. Throws std::bad_alloc
// when it cannot be made, which the export's guard answers with "MALLOC ERROR".
CloudSession& WellSession(TeskObj* obj);

// Every export call ends within this, its retries and waits included.
constexpr std::chrono::seconds kCloudCallTimeLimit(60);

// The configuration of one export call: the session's, with the call's deadline (now plus
// kCloudCallTimeLimit) and the session's clock-skew correction, which a call may update.
AwsClientConfig CallConfig(CloudSession& session);

// Credentials count, not identity: a session token alone is not a login.
bool IsLoggedIn(const CloudSession& session);

// Copies the last listing (designCount records) to dst; false, writing nothing, for a null dst
// or when the listing is missing or empty. The caller sizes dst from the last listing's count.
bool CopyDesigns(const CloudSession& session, DesignSummary* dst);
