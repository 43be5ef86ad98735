#pragma once
#include <map>
#include <string>
#include <vector>

#include "cloud/aws/attribute_value.h"
#include "cloud/aws/aws_outcome.h"
#include "cloud/aws/client_config.h"
#include "cloud/aws/credentials.h"

// DynamoDB calls, signed with the given credentials (SigV4, the configuration's region).
// Each returns the raw outcome; on success the typed result is filled as well. An answer
// whose items are not well-formed attribute maps is a failure ("Unexpected response: ...").
// Scan and GetItem outcomes keep no parsed answer: the page or item is in their result.

struct DynamoScanRequest {
    std::string tableName;
    std::string projectionExpression;                          // omitted when empty
    std::string filterExpression;                              // omitted when empty
    std::map<std::string, std::string> expressionAttributeNames;  // omitted when empty
    AttributeMap expressionAttributeValues;                    // omitted when empty
    AttributeMap exclusiveStartKey;                            // omitted when empty
    int limit = 0;                                             // omitted when 0
};

struct DynamoScanResult {
    std::vector<AttributeMap> items;
    long long count = 0;
    long long scannedCount = 0;
    AttributeMap lastEvaluatedKey;  // empty on the last page
};

AwsOutcome DynamoScan(const AwsClientConfig& config, const AwsCredentials& credentials,
                      const DynamoScanRequest& request, DynamoScanResult* result);

// `found` tells whether the answer held an item; `item` is then filled.
AwsOutcome DynamoGetItem(const AwsClientConfig& config, const AwsCredentials& credentials,
                         const std::string& tableName, const AttributeMap& key, bool* found, AttributeMap* item);

AwsOutcome DynamoPutItem(const AwsClientConfig& config, const AwsCredentials& credentials,
                         const std::string& tableName, const AttributeMap& item);
