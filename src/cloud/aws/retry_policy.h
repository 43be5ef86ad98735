#pragma once
#include <chrono>

#include "cloud/aws/aws_outcome.h"
#include "cloud/aws/client_config.h"
#include "cloud/aws/http_transport.h"

// When and how soon a failed request is sent again, as the AWS SDK's default strategy does.

// A request is sent at most this many times more after its first attempt.
constexpr int kMaxRetries = 10;

// The pause before retry `retry` (counted from 0): none before the first, 25·2^k ms before
// retry k, so 50 ms up to 12.8 s and 25.55 s in all.
std::chrono::milliseconds RetryDelay(int retry);

// Whether a resend may succeed: throttling (ThrottlingException,
// ProvisionedThroughputExceededException, RequestLimitExceeded, TooManyRequestsException,
// Throttling, SlowDown, and Cognito's LimitExceededException), HTTP 500, 502, 503 and 504, and
// transport failures that a new connection can mend (refused or reset, timed out, cut off).
// Any other 4xx and every failure of our own (an answer over its limit) is final.
bool IsRetryableFailure(AwsService service, const HttpResponse& response, const AwsOutcome& outcome);

// A clock-skew refusal (RequestTimeTooSkewed, InvalidSignatureException or
// SignatureDoesNotMatch) whose Date header lies more than 4 minutes from `signedAt`: true,
// with how far the service's clock is ahead of the one we signed with in `correction`.
bool ClockSkewCorrection(const HttpResponse& response, const AwsOutcome& outcome,
                         std::chrono::system_clock::time_point signedAt, std::chrono::milliseconds* correction);
