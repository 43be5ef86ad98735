#pragma once
#include <string>
#include <utility>
#include <vector>

// AWS Signature Version 4, as pure functions of their inputs so that each step can be
// checked on its own.

struct SigV4Request {
    std::string method = "POST";
    std::string path = "/";       // the request path as sent; encoded once more when signed
    std::string canonicalQuery;  // already canonical ("" when there is no query)
    // Every header to sign, any case and order; values are trimmed and inner runs of
    // spaces collapsed when signed.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
};

struct SigV4Signature {
    std::string canonicalRequest;
    std::string stringToSign;
    std::string signedHeaders;
    std::string signature;      // lower-case hex
    std::string authorization;  // the Authorization header's value
};

// The canonical form of a path: each segment URI-encoded (the unreserved characters and
// '/' stay), "/" when empty.
std::string SigV4CanonicalUri(const std::string& path);
// "name:value\n" for each header, names lower-case and sorted.
std::string SigV4CanonicalHeaders(const std::vector<std::pair<std::string, std::string>>& headers);
// Lower-case header names, sorted, joined with ';'.
std::string SigV4SignedHeaders(const std::vector<std::pair<std::string, std::string>>& headers);
std::string SigV4CanonicalRequest(const SigV4Request& request);
// "20150830/us-east-1/service/aws4_request"; `amzDate` is YYYYMMDD'T'HHMMSS'Z'.
std::string SigV4Scope(const std::string& amzDate, const std::string& region, const std::string& service);
std::string SigV4StringToSign(const std::string& amzDate, const std::string& scope,
                              const std::string& canonicalRequest);
// The derived signing key (raw bytes); `date` is YYYYMMDD.
std::string SigV4SigningKey(const std::string& secretKey, const std::string& date, const std::string& region,
                            const std::string& service);
std::string SigV4AuthorizationHeader(const std::string& accessKeyId, const std::string& scope,
                                     const std::string& signedHeaders, const std::string& signature);

// All steps at once. The request's headers must already hold Host, X-Amz-Date and, when
// there is a token, X-Amz-Security-Token, with the values that are sent.
SigV4Signature SigV4Sign(const SigV4Request& request, const std::string& accessKeyId,
                         const std::string& secretKey, const std::string& region, const std::string& service,
                         const std::string& amzDate);
