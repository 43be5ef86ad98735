#include "cloud/aws/dynamodb.h"

#include "cloud/aws/json_rpc.h"

namespace {

AwsOutcome CallDynamo(const AwsClientConfig& config, const AwsCredentials& credentials, const char* operation,
                      nlohmann::json body) {
    JsonRpcCall call;
    call.service = AwsService::DynamoDb;
    call.operation = operation;
    call.body = std::move(body);
    call.credentials = &credentials;
    return CallJsonRpc(config, call);
}

// A successful call whose answer does not have the expected shape.
AwsOutcome Malformed(AwsOutcome outcome, const std::string& why) {
    outcome.ok = false;
    outcome.error.exceptionName = "";
    outcome.error.message = "Unexpected response: " + why;
    return outcome;
}

// An optional attribute map member; absent is fine and leaves `out` empty.
bool ReadOptionalMap(const nlohmann::json& result, const char* name, AttributeMap* out, std::string* error) {
    auto member = result.find(name);
    if (member == result.end()) return true;
    if (!AttributeMapFromWire(*member, out, error)) {
        *error = std::string(name) + ": " + *error;
        return false;
    }
    return true;
}

bool ReadItems(const nlohmann::json& result, std::vector<AttributeMap>* items, std::string* error) {
    auto member = result.find("Items");
    if (member == result.end()) return true;
    if (!member->is_array()) {
        *error = "Items is not a list";
        return false;
    }
    for (const auto& wire : *member) {
        AttributeMap item;
        if (!AttributeMapFromWire(wire, &item, error)) {
            *error = "Items: " + *error;
            return false;
        }
        items->push_back(std::move(item));
    }
    return true;
}

long long CountMember(const nlohmann::json& result, const char* name) {
    auto member = result.find(name);
    return member != result.end() && member->is_number_integer() ? member->get<long long>() : 0;
}

nlohmann::json ScanBody(const DynamoScanRequest& request) {
    nlohmann::json body = {{"TableName", request.tableName}};
    if (!request.projectionExpression.empty()) body["ProjectionExpression"] = request.projectionExpression;
    if (!request.filterExpression.empty()) body["FilterExpression"] = request.filterExpression;
    if (!request.expressionAttributeNames.empty()) body["ExpressionAttributeNames"] = request.expressionAttributeNames;
    if (!request.expressionAttributeValues.empty()) {
        body["ExpressionAttributeValues"] = AttributeMapToWire(request.expressionAttributeValues);
    }
    if (!request.exclusiveStartKey.empty()) body["ExclusiveStartKey"] = AttributeMapToWire(request.exclusiveStartKey);
    if (request.limit > 0) body["Limit"] = request.limit;
    return body;
}

AwsOutcome Scan(const AwsClientConfig& config, const AwsCredentials& credentials, const DynamoScanRequest& request,
                DynamoScanResult* result) {
    AwsOutcome outcome = CallDynamo(config, credentials, "Scan", ScanBody(request));
    if (!outcome.ok) return outcome;
    DynamoScanResult page;
    std::string error;
    if (!ReadItems(outcome.result, &page.items, &error) ||
        !ReadOptionalMap(outcome.result, "LastEvaluatedKey", &page.lastEvaluatedKey, &error)) {
        return Malformed(std::move(outcome), error);
    }
    page.count = CountMember(outcome.result, "Count");
    page.scannedCount = CountMember(outcome.result, "ScannedCount");
    // The page now holds what was read; keeping the parsed answer too would double its memory.
    outcome.result = nlohmann::json::object();
    if (result != nullptr) *result = std::move(page);
    return outcome;
}

AwsOutcome GetItem(const AwsClientConfig& config, const AwsCredentials& credentials, const std::string& tableName,
                   const AttributeMap& key, bool* found, AttributeMap* item) {
    if (found != nullptr) *found = false;
    AwsOutcome outcome = CallDynamo(config, credentials, "GetItem",
                                    {{"TableName", tableName}, {"Key", AttributeMapToWire(key)}});
    if (!outcome.ok) return outcome;
    AttributeMap read;
    std::string error;
    if (!ReadOptionalMap(outcome.result, "Item", &read, &error)) return Malformed(std::move(outcome), error);
    if (found != nullptr) *found = outcome.result.contains("Item");
    outcome.result = nlohmann::json::object();
    if (item != nullptr) *item = std::move(read);
    return outcome;
}

}  // namespace

AwsOutcome DynamoScan(const AwsClientConfig& config, const AwsCredentials& credentials,
                      const DynamoScanRequest& request, DynamoScanResult* result) {
    return GuardAwsCall([&] { return Scan(config, credentials, request, result); });
}

AwsOutcome DynamoGetItem(const AwsClientConfig& config, const AwsCredentials& credentials,
                         const std::string& tableName, const AttributeMap& key, bool* found, AttributeMap* item) {
    return GuardAwsCall([&] { return GetItem(config, credentials, tableName, key, found, item); });
}

AwsOutcome DynamoPutItem(const AwsClientConfig& config, const AwsCredentials& credentials,
                         const std::string& tableName, const AttributeMap& item) {
    return GuardAwsCall([&] {
        return CallDynamo(config, credentials, "PutItem",
                          {{"TableName", tableName}, {"Item", AttributeMapToWire(item)}});
    });
}
