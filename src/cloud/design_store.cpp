#include "cloud/design_store.h"

#include <cstring>
#include <string>
#include <vector>

#include "cloud/aws/dynamodb.h"
#include "cloud/aws/uuid_time.h"
#include "cloud/design_attribute_map.h"
#include "cloud/json_text.h"
#include "cloud/secret_redaction.h"
#include "common/bounded_text.h"
#include "log/log.h"

namespace {

// Characters of a design id that DesignSummary.designId holds (its last byte ends the text).
constexpr size_t kListedIdLength = sizeof(DesignSummary::designId) - 1;

bool HasIdentity(const CloudSession& session) { return IsLoggedIn(session) && !session.IdentityId.empty(); }

void CopyStringAttribute(const AttributeMap& item, const char* name, char* field, size_t size) {
    auto it = item.find(name);
    const bool isText = it != item.end() && it->second.kind == AttributeKind::S;
    CopyBoundedText(field, size, isText ? it->second.text.c_str() : "");
}

const char* StringValue(const AttributeValue& value) {
    return value.kind == AttributeKind::S ? value.text.c_str() : "";
}

bool ListingFailed(const CallSecrets& secrets, const std::string& reason) {
    LogServerText(secrets, "ERROR: FetchDesigns scan failed: %s", reason);
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

// A summary holds the first 83 characters of an id; a longer one (any region name of more
// than 9 characters makes one) is named whole here, since GetDesign needs the whole id.
void WarnOfCutId(const AttributeMap& item, const CallSecrets& secrets) {
    auto id = item.find("designId");
    if (id == item.end() || id->second.kind != AttributeKind::S || id->second.text.size() <= kListedIdLength) return;
    LogServerText(secrets, "Warning: FetchDesigns - this design id is longer than 83 characters and is listed cut: %s",
                  id->second.text);
}

// Adds one page's summaries to the listing; false (logged) when they would pass its cap.
bool ListPage(const DynamoScanResult& page, const CallSecrets& secrets, std::vector<DesignSummary>* listed) {
    if (page.items.size() > kMaxListedDesigns - listed->size()) {
        return ListingFailed(secrets, "the listing holds more than " + std::to_string(kMaxListedDesigns) + " designs");
    }
    for (const AttributeMap& item : page.items) {
        WarnOfCutId(item, secrets);
        listed->push_back(DesignSummaryOf(item));
    }
    return true;
}

bool LogDesign(const AttributeValue& design, const CallSecrets& secrets) {
    nlohmann::json decoded;
    std::string error;
    if (!AttributeValueToJson(design, &decoded, &error)) {
        LogServerText(secrets, "ERROR: AttributeValueToJson - %s", error);
        return false;
    }
    std::string text;
    if (!CompactJsonText(decoded, &text)) {
        LogMessage("ERROR: GetDesign - the stored design holds text that is not UTF-8");
        return false;
    }
    LogServerText(secrets, "Decoded design JSON: %s", text);
    return true;
}

void LogNotFound(const char* designId) {
    LogMessage("GetDesign - No item found for ID: %s", designId);
    if (std::strlen(designId) == kListedIdLength) {
        LogMessage("Warning: GetDesign - an id of 83 characters may be a listed id cut short; "
                   "the listing's warning names the whole one");
    }
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

bool PutItemLogged(const CloudSession& session, const AwsClientConfig& config, const std::string& table,
                   const AttributeMap& item) {
    AwsOutcome put = DynamoPutItem(config, session.creds, table, item);
    if (!put.ok) {
        LogServerText(SessionSecrets(session), "ERROR: dynamodb: %s", put.error.message);
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
    if (!HasIdentity(session)) {
        LogMessage("ERROR: SaveDesign - not logged in");
        return false;
    }
    AttributeMap item;
    if (!BuildDesignItem(session, document, &item)) return false;
    return PutItemLogged(session, CallConfig(session), session.account.designTable, item);
}

bool CloudFetchDesigns(CloudSession& session) {
    LogMessage("FetchDesigns !!!");
    if (!HasIdentity(session)) return false;
    const AwsClientConfig config = CallConfig(session);
    const CallSecrets secrets = SessionSecrets(session);
    DynamoScanRequest request = ListingRequest(session);
    std::vector<DesignSummary> listed;
    for (;;) {
        DynamoScanResult page;
        AwsOutcome scan = DynamoScan(config, session.creds, request, &page);
        if (!scan.ok) return ListingFailed(secrets, scan.error.message);
        LogMessage("FetchDesigns got page.");
        if (!ListPage(page, secrets, &listed)) return false;
        LogMessage("FetchDesigns page holds %d items", static_cast<int>(page.items.size()));
        if (page.lastEvaluatedKey.empty()) break;
        if (page.lastEvaluatedKey == request.exclusiveStartKey) {
            return ListingFailed(secrets, "the scan repeats its last key");
        }
        request.exclusiveStartKey = std::move(page.lastEvaluatedKey);
    }
    session.designs = std::move(listed);
    session.designCount = static_cast<int32_t>(session.designs.size());
    return true;
}

bool CloudGetDesign(CloudSession& session, const char* designId) {
    if (designId == nullptr) {
        LogMessage("ERROR: GetDesign needs a design id");
        return false;
    }
    LogMessage("GetDesign for ID: %s", designId);
    if (!HasIdentity(session)) {
        LogMessage("ERROR: GetDesign - credentials are empty");
        return false;
    }
    const CallSecrets secrets = SessionSecrets(session);
    bool found = false;
    AttributeMap item;
    AwsOutcome get = DynamoGetItem(CallConfig(session), session.creds, session.account.designTable,
                                   {{"designId", MakeS(designId)}}, &found, &item);
    if (!get.ok) {
        LogServerText(secrets, "ERROR: GetDesign dynamodb: %s", get.error.message);
        return false;
    }
    if (!found || item.empty()) {
        LogNotFound(designId);
        return false;
    }
    LogMessage("Successfully retrieved design for ID: %s", designId);
    for (const auto& [name, value] : item) {
        if (name == "design" && !LogDesign(value, secrets)) return false;
        if (name == "ts") LogServerText(secrets, "Timestamp: %s", StringValue(value));
        if (name == "wellname") LogServerText(secrets, "Wellname: %s", StringValue(value));
    }
    return true;
}
