#include "cloud/aws/retry_policy.h"

#include <curl/curl.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "cloud/aws/answer_limits.h"

namespace {

constexpr std::chrono::minutes kTolerableSkew(4);

const char* const kThrottlingErrors[] = {"ThrottlingException", "ProvisionedThroughputExceededException",
                                         "RequestLimitExceeded", "TooManyRequestsException", "Throttling",
                                         "SlowDown"};
const char* const kSkewErrors[] = {"RequestTimeTooSkewed", "InvalidSignatureException", "SignatureDoesNotMatch"};

template <size_t N>
bool IsOneOf(const std::string& name, const char* const (&names)[N]) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

bool IsThrottling(AwsService service, const std::string& name) {
    if (IsOneOf(name, kThrottlingErrors)) return true;
    // DynamoDB's LimitExceededException is about tables being created, which waiting does not mend.
    return service != AwsService::DynamoDb && name == "LimitExceededException";
}

bool IsResendableTransportFailure(int code) {
    switch (code) {
        case CURLE_COULDNT_CONNECT:
        case CURLE_PARTIAL_FILE:
        case CURLE_OPERATION_TIMEDOUT:
        case CURLE_GOT_NOTHING:
        case CURLE_SEND_ERROR:
        case CURLE_RECV_ERROR:
            return true;
        default:
            return false;
    }
}

bool ServerDate(const HttpResponse& response, std::chrono::system_clock::time_point* date) {
    auto header = response.headers.find("date");
    if (header == response.headers.end()) return false;
    const time_t seconds = curl_getdate(header->second.c_str(), nullptr);
    if (seconds == -1) return false;
    *date = std::chrono::system_clock::from_time_t(seconds);
    return true;
}

}  // namespace

std::chrono::milliseconds RetryDelay(int retry) {
    if (retry <= 0) return std::chrono::milliseconds(0);
    return std::chrono::milliseconds(25LL << std::min(retry, kMaxRetries));
}

bool IsRetryableFailure(AwsService service, const HttpResponse& response, const AwsOutcome& outcome) {
    if (response.transportCode != 0) return IsResendableTransportFailure(response.transportCode);
    if (response.body.size() > ServiceAnswerLimits(service).maxBytes) return false;
    const long status = response.status;
    if (status == 500 || status == 502 || status == 503 || status == 504) return true;
    return !outcome.ok && IsThrottling(service, outcome.error.exceptionName);
}

bool ClockSkewCorrection(const HttpResponse& response, const AwsOutcome& outcome,
                         std::chrono::system_clock::time_point signedAt, std::chrono::milliseconds* correction) {
    if (outcome.ok || !IsOneOf(outcome.error.exceptionName, kSkewErrors)) return false;
    std::chrono::system_clock::time_point date;
    if (!ServerDate(response, &date)) return false;
    const auto difference = std::chrono::duration_cast<std::chrono::milliseconds>(date - signedAt);
    if (std::chrono::abs(difference) <= kTolerableSkew) return false;
    *correction = difference;
    return true;
}
