#include "cloud/cloud_session.h"

#include <cstring>

#include "cloud/aws/sdk_lifetime.h"
#include "model/tesk_obj.h"

namespace {

void DeleteSession(CloudSession* session) { delete session; }

}  // namespace

CloudSession::CloudSession() : account(ReadCloudAccount()) {
    config.region = account.region;
    AwsSdkStart();  // last: nothing after it may throw, or the start would never be undone
}

CloudSession::~CloudSession() { AwsSdkStop(); }

CloudSession& WellSession(TeskObj* obj) {
    if (obj->cloud == nullptr) obj->cloud = decltype(obj->cloud)(new CloudSession(), &DeleteSession);
    return *obj->cloud;
}

AwsClientConfig CallConfig(CloudSession& session) {
    AwsClientConfig config = session.config;
    config.deadline = ConfigNow(config) + kCloudCallTimeLimit;
    config.clockSkew = &session.clockSkew;
    return config;
}

bool IsLoggedIn(const CloudSession& session) {
    return !session.creds.IsEmpty();
}

bool CopyDesigns(const CloudSession& session, DesignSummary* dst) {
    if (dst == nullptr || session.designCount <= 0) return false;
    std::memcpy(dst, session.designs.data(), session.designs.size() * sizeof(DesignSummary));
    return true;
}
