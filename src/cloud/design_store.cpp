#include "cloud/design_store.h"

#include <string>

#include "cloud/aws/dynamodb.h"
#include "cloud/aws/uuid_time.h"
#include "cloud/design_attribute_map.h"
#include "cloud/json_text.h"
#include "log/log.h"
#include "model/bounded_text.h"

namespace {

// A scan page holds up to 1 MB, so this allows far more designs than any user keeps while
// still ending a listing that a misbehaving service never lets finish.
constexpr int kMaxScanPages = 10000;

bool HasIdentity(const CloudSession& session) { return IsLoggedIn(session) && !session.IdentityId.empty(); }

void CopyStringAttribute(const AttributeMap& item, const char* name, char* field, size_t size) {
    auto it = item.find(name);
    const bool isText = it != item.end() && it->second.kind == AttributeKind::S;
    CopyBoundedText(field, size, isText ? it->second.text.c_str() : "");
}

const char* StringValue(const AttributeValue& value) {
    return value.kind == AttributeKind::S ? value.text.c_str() : "";
}

bool ListingFailed(const std::string& reason) {
    LogMessage("ERROR: FetchDesigns scan failed: %s", reason.c_str());
    return false;
}

DynamoScanRequest ListingRequest(const CloudSession& session) {
    DynamoScanRequest request;
    request.tableName = session.account.designTable;
    request.projectionExpression = "designId, ts, wellname";
    request.filterExpression = "begins_with(designId, :id)";
    request.expressionAttributeValues[":id"] = MakeS(session.IdentityId);
    return request;
}

bool LogDesign(const AttributeValue& design) {
    nlohmann::json decoded;
    if (!AttributeValueToJson(design, &decoded)) return false;
    std::string text;
    if (!CompactJsonText(decoded, &text)) {
        LogMessage("ERROR: GetDesign - the stored design holds text that is not UTF-8");
        return false;
    }
    LogMessage("Decoded design JSON: %s", text.c_str());
    return true;
}

// The item of one save; false (logged) when it cannot be built.
bool BuildDesignItem(const CloudSession& session, const DesignDocument& document, AttributeMap* item) {
    auto wellname = document.find("wellname");
    if (wellname == document.end() || !wellname->is_string()) {
        LogMessage("ERROR: SaveDesign - the design has no well name");
        return false;
    }
    const std::string uuid = RandomUuid();
    if (uuid.empty()) {
        LogMessage("ERROR: dynamodb: %s", "no random UUID could be drawn");
        return false;
    }
    AttributeValue design;
    if (!JsonToAttributeValue(document, &design)) return false;
    (*item)["designId"] = MakeS(session.IdentityId + "_" + uuid);
    (*item)["userId"] = MakeS(uuid);
    (*item)["wellname"] = MakeS(wellname->get<std::string>());
    (*item)["ts"] = MakeS(IsoTimestampMillisNow());
    (*item)["design"] = std::move(design);
    return true;
}

}  // namespace

bool PutItemLogged(const CloudSession& session, const std::string& table, const AttributeMap& item) {
    AwsOutcome put = DynamoPutItem(session.config, session.creds, table, item);
    if (!put.ok) {
        LogMessage("ERROR: dynamodb: %s", put.error.message.c_str());
        return false;
    }
    LogMessage("Successfully added Item!");
    return true;
}

DesignSummary DesignSummaryOf(const AttributeMap& item) {
    DesignSummary summary{};
    CopyStringAttribute(item, "designId", summary.designId, sizeof summary.designId);
    CopyStringAttribute(item, "ts", summary.ts, sizeof summary.ts);
    CopyStringAttribute(item, "wellname", summary.wellname, sizeof summary.wellname);
    return summary;
}

bool CloudSaveDesign(CloudSession& session, const DesignDocument& document) {
    std::string text;
    if (!CompactJsonText(document, &text)) {
        LogMessage("ERROR: SaveDesign - the design holds text that is not UTF-8");
        return false;
    }
    LogMessage("SaveDesign >>>%s<<<", text.c_str());
    if (!HasIdentity(session)) return false;
    AttributeMap item;
    if (!BuildDesignItem(session, document, &item)) return false;
    return PutItemLogged(session, session.account.designTable, item);
}

bool CloudFetchDesigns(CloudSession& session) {
    LogMessage("FetchDesigns !!!");
    if (!HasIdentity(session)) return false;
    DynamoScanRequest request = ListingRequest(session);
    for (int page = 0; page < kMaxScanPages; ++page) {
        DynamoScanResult result;
        AwsOutcome scan = DynamoScan(session.config, session.creds, request, &result);
        if (!scan.ok) return ListingFailed(scan.error.message);
        LogMessage("FetchDesigns got page.");
        if (page == 0) {
            session.designs.clear();
            session.designCount = 0;
        }
        for (const AttributeMap& item : result.items) {
            session.designs.push_back(DesignSummaryOf(item));
            session.designCount = static_cast<int32_t>(session.designs.size());
        }
        LogMessage("FetchDesigns page holds %d items", static_cast<int>(result.items.size()));
        if (result.lastEvaluatedKey.empty()) return true;
        if (result.lastEvaluatedKey == request.exclusiveStartKey) {
            return ListingFailed("the scan repeats its last key");
        }
        request.exclusiveStartKey = std::move(result.lastEvaluatedKey);
    }
    return ListingFailed("too many pages");
}

bool CloudGetDesign(const CloudSession& session, const char* designId) {
    if (designId == nullptr) {
        LogMessage("ERROR: GetDesign needs a design id");
        return false;
    }
    LogMessage("GetDesign for ID: %s", designId);
    if (!HasIdentity(session)) {
        LogMessage("ERROR: GetDesign - credentials are empty");
        return false;
    }
    bool found = false;
    AttributeMap item;
    AwsOutcome get = DynamoGetItem(session.config, session.creds, session.account.designTable,
                                   {{"designId", MakeS(designId)}}, &found, &item);
    if (!get.ok) {
        LogMessage("ERROR: GetDesign dynamodb: %s", get.error.message.c_str());
        return false;
    }
    if (!found || item.empty()) {
        LogMessage("GetDesign - No item found for ID: %s", designId);
        return false;
    }
    LogMessage("Successfully retrieved design for ID: %s", designId);
    for (const auto& [name, value] : item) {
        if (name == "design" && !LogDesign(value)) return false;
        if (name == "ts") LogMessage("Timestamp: %s", StringValue(value));
        if (name == "wellname") LogMessage("Wellname: %s", StringValue(value));
    }
    return true;
}
