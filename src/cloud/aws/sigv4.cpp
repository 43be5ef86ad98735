#include "cloud/aws/sigv4.h"

#include <algorithm>

#include "cloud/aws/ascii.h"
#include "cloud/aws/crypto.h"
#include "cloud/aws/url_path.h"

namespace {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Leading and trailing blanks dropped, inner runs of blanks made one space.
std::string TrimmedCollapsed(const std::string& value) {
    std::string out;
    bool pendingSpace = false;
    for (char c : value) {
        if (IsBlank(c)) {
            pendingSpace = !out.empty();
            continue;
        }
        if (pendingSpace) out += ' ';
        pendingSpace = false;
        out += c;
    }
    return out;
}

// Lower-cased names, sorted; values of a repeated name joined with ',' in their order.
std::vector<std::pair<std::string, std::string>> CanonicalHeaderPairs(const HeaderList& headers) {
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto& header : headers) pairs.emplace_back(AsciiLower(header.first), TrimmedCollapsed(header.second));
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::pair<std::string, std::string>> merged;
    for (auto& pair : pairs) {
        if (!merged.empty() && merged.back().first == pair.first) {
            merged.back().second += "," + pair.second;
        } else {
            merged.push_back(std::move(pair));
        }
    }
    return merged;
}

}  // namespace

std::string SigV4CanonicalUri(const std::string& path) {
    if (path.empty()) return "/";
    return PercentEncodedPath(path, false);
}

std::string SigV4CanonicalHeaders(const HeaderList& headers) {
    std::string out;
    for (const auto& pair : CanonicalHeaderPairs(headers)) out += pair.first + ":" + pair.second + "\n";
    return out;
}

std::string SigV4SignedHeaders(const HeaderList& headers) {
    std::string out;
    for (const auto& pair : CanonicalHeaderPairs(headers)) {
        if (!out.empty()) out += ';';
        out += pair.first;
    }
    return out;
}

std::string SigV4CanonicalRequest(const SigV4Request& request) {
    return request.method + "\n" + SigV4CanonicalUri(request.path) + "\n" + request.canonicalQuery + "\n" +
           SigV4CanonicalHeaders(request.headers) + "\n" + SigV4SignedHeaders(request.headers) + "\n" +
           HexLower(Sha256(request.body));
}

std::string SigV4Scope(const std::string& amzDate, const std::string& region, const std::string& service) {
    return amzDate.substr(0, 8) + "/" + region + "/" + service + "/aws4_request";
}

std::string SigV4StringToSign(const std::string& amzDate, const std::string& scope,
                              const std::string& canonicalRequest) {
    return "AWS4-HMAC-SHA256\n" + amzDate + "\n" + scope + "\n" + HexLower(Sha256(canonicalRequest));
}

std::string SigV4SigningKey(const std::string& secretKey, const std::string& date, const std::string& region,
                            const std::string& service) {
    const std::string dateKey = HmacSha256("AWS4" + secretKey, date);
    const std::string regionKey = HmacSha256(dateKey, region);
    const std::string serviceKey = HmacSha256(regionKey, service);
    return HmacSha256(serviceKey, "aws4_request");
}

std::string SigV4AuthorizationHeader(const std::string& accessKeyId, const std::string& scope,
                                     const std::string& signedHeaders, const std::string& signature) {
    return "AWS4-HMAC-SHA256 Credential=" + accessKeyId + "/" + scope + ", SignedHeaders=" + signedHeaders +
           ", Signature=" + signature;
}

SigV4Signature SigV4Sign(const SigV4Request& request, const std::string& accessKeyId,
                         const std::string& secretKey, const std::string& region, const std::string& service,
                         const std::string& amzDate) {
    SigV4Signature result;
    result.canonicalRequest = SigV4CanonicalRequest(request);
    result.signedHeaders = SigV4SignedHeaders(request.headers);
    const std::string scope = SigV4Scope(amzDate, region, service);
    result.stringToSign = SigV4StringToSign(amzDate, scope, result.canonicalRequest);
    const std::string key = SigV4SigningKey(secretKey, amzDate.substr(0, 8), region, service);
    result.signature = HexLower(HmacSha256(key, result.stringToSign));
    result.authorization = SigV4AuthorizationHeader(accessKeyId, scope, result.signedHeaders, result.signature);
    return result;
}
