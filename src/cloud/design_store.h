#pragma once
#include <cstddef>

#include <nlohmann/json.hpp>

#include "cloud/aws/attribute_value.h"
#include "cloud/cloud_session.h"

// A logged-in user's designs in the design table: one item per save, keyed by the identity id,
// "_" and a random UUID. Saving, listing and fetching need credentials and an identity id; an
// empty identity id would match every user's designs, so it counts as not logged in.

// Saves the document as a new item: "designId" (identity id, "_", UUID), "userId", "wellname",
// "ts" (UTC, milliseconds) and "design" (the design map). "userId" holds the same random UUID
// that ends "designId", not the user's identity: stored items have always had it so, and other
// clients of the table may read it. False (logged) when not logged in, when the document holds
// text that is not UTF-8 or no string "wellname", or when the table refuses it.
bool CloudSaveDesign(CloudSession& session, const nlohmann::json& document);

// The most designs a listing keeps.
constexpr size_t kMaxListedDesigns = 100000;

// Lists the user's designs page by page, all or nothing: only a listing whose every page
// arrived replaces the session's summaries; on any failure the last listing stays as it was.
// A page that repeats the last key, or more than kMaxListedDesigns designs, ends it with the
// failure line; so does the call's time limit. Each listed id too long for
// DesignSummary.designId is named whole in a warning line.
bool CloudFetchDesigns(CloudSession& session);

// Fetches one design and writes it to the log; the well is not changed. Null id: false. When
// nothing is found for an id of exactly 83 characters, a warning says it may be a cut one.
bool CloudGetDesign(CloudSession& session, const char* designId);

// Writes one item with the session's credentials and the call's configuration, and logs
// "Successfully added Item!" or the table's refusal ("ERROR: dynamodb: <message>"); the
// renewal's test item goes this way too.
bool PutItemLogged(const CloudSession& session, const AwsClientConfig& config, const std::string& table,
                   const AttributeMap& item);

// One listed item as its summary: each field cut to fit, empty when the attribute is missing
// or not a string.
DesignSummary DesignSummaryOf(const AttributeMap& item);
