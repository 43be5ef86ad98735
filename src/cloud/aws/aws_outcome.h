#pragma once
#include <nlohmann/json.hpp>
#include <string>

// The error of a failed call, with the message text the caller may log. The message never
// holds a request or response body beyond the service's own error message.
struct AwsError {
    std::string exceptionName;
    std::string message;
    long httpStatus = 0;  // 0 when no HTTP response arrived
};

// The result of one call: on success `result` is the response's JSON object ({} for an
// empty body); otherwise `error` says what went wrong.
struct AwsOutcome {
    bool ok = false;
    nlohmann::json result = nlohmann::json::object();
    AwsError error;
};
