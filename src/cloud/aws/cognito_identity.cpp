#include "cloud/aws/cognito_identity.h"

#include <cmath>

#include "cloud/aws/json_rpc.h"

namespace {

AwsOutcome CallIdentity(const AwsClientConfig& config, const char* operation, nlohmann::json body) {
    JsonRpcCall call;
    call.service = AwsService::CognitoIdentity;
    call.operation = operation;
    call.body = std::move(body);
    return CallJsonRpc(config, call);
}

// Epoch seconds, possibly fractional, as a time point; values the clock cannot hold (it counts
// nanoseconds in 64 bits, so up to about 9.2e9 s) give the largest time point, as credentials
// without an expiration have.
std::chrono::system_clock::time_point ExpirationOf(const nlohmann::json& credentials) {
    using namespace std::chrono;
    const auto never = system_clock::time_point::max();
    auto member = credentials.find("Expiration");
    if (member == credentials.end() || !member->is_number()) return never;
    const double seconds = member->get<double>();
    if (!std::isfinite(seconds) || std::fabs(seconds) > 9e9) return never;
    // Whole milliseconds first: seconds * 1e9 would already lose digits in a double.
    return system_clock::time_point(duration_cast<system_clock::duration>(milliseconds(std::llround(seconds * 1000.0))));
}

}  // namespace

AwsOutcome CognitoGetId(const AwsClientConfig& config, const std::string& identityPoolId,
                        const std::map<std::string, std::string>& logins) {
    return GuardAwsCall([&] {
        return CallIdentity(config, "GetId", {{"IdentityPoolId", identityPoolId}, {"Logins", logins}});
    });
}

AwsOutcome CognitoGetCredentialsForIdentity(const AwsClientConfig& config, const std::string& identityId,
                                            const std::map<std::string, std::string>& logins) {
    return GuardAwsCall([&] {
        return CallIdentity(config, "GetCredentialsForIdentity", {{"IdentityId", identityId}, {"Logins", logins}});
    });
}

std::string CognitoIdentityIdFromResult(const nlohmann::json& result) { return JsonTextMember(result, "IdentityId"); }

AwsCredentials CognitoCredentialsFromResult(const nlohmann::json& result) {
    AwsCredentials credentials;
    if (!result.is_object()) return credentials;
    auto member = result.find("Credentials");
    if (member == result.end() || !member->is_object()) return credentials;
    credentials.accessKeyId = JsonTextMember(*member, "AccessKeyId");
    credentials.secretKey = JsonTextMember(*member, "SecretKey");
    credentials.sessionToken = JsonTextMember(*member, "SessionToken");
    credentials.expiration = ExpirationOf(*member);
    return credentials;
}
