#pragma once
#include <chrono>
#include <string>

struct AwsCredentials {
    std::string accessKeyId;
    std::string secretKey;
    std::string sessionToken;
    std::chrono::system_clock::time_point expiration = std::chrono::system_clock::time_point::max();
    std::string accountId;

    // True when there is nothing to sign with: no access key id and no secret key.
    bool IsEmpty() const { return accessKeyId.empty() && secretKey.empty(); }
};
