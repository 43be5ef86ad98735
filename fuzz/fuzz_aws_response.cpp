// Feeds arbitrary answers to the cloud layer's readers: the outcome of a call, the
// attribute maps of DynamoDB items, the Cognito results and the token decoder.
#include <cstddef>
#include <cstdint>
#include <string>

#include "cloud/aws/attribute_value.h"
#include "cloud/aws/cognito_identity.h"
#include "cloud/aws/cognito_idp.h"
#include "cloud/aws/json_rpc.h"
#include "cloud/aws/jwt.h"

namespace {

const long kStatuses[] = {200, 400, 403, 500};

// What a reader accepted must write back to the same value (texts that are not UTF-8
// cannot be written, and the layer refuses to send them).
void CheckMapRoundTrip(const nlohmann::json& wire) {
    AttributeMap map;
    if (!AttributeMapFromWire(wire, &map, nullptr)) return;
    std::string text;
    try {
        text = AttributeMapToWire(map).dump();
    } catch (const nlohmann::json::type_error& e) {
        if (e.id != 316) throw;
        return;
    }
    AttributeMap back;
    if (!AttributeMapFromWire(nlohmann::json::parse(text), &back, nullptr) || back != map) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    HttpResponse response;
    response.status = kStatuses[data[0] % 4];
    if (data[0] & 4) response.headers["x-amzn-errortype"] = "ValidationException:x";
    response.body.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    const AwsService service = (data[0] & 8) ? AwsService::DynamoDb : AwsService::CognitoIdentityProvider;

    const AwsOutcome outcome = OutcomeFromResponse(response, ServiceAnswerLimits(service));
    if (outcome.ok) {
        CheckMapRoundTrip(outcome.result);
        for (const auto& member : outcome.result.items()) CheckMapRoundTrip(member.value());
        CognitoTokensFromResult(outcome.result);
        CognitoCredentialsFromResult(outcome.result);
        CognitoIdentityIdFromResult(outcome.result);
    }
    JwtContent content;
    if (DecodeJwt(response.body, &content)) JwtStringClaim(content.payload, "sub", "UNKNOWN");
    return 0;
}
