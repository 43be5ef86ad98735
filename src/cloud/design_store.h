#pragma once
#include "cloud/aws/attribute_value.h"
#include "cloud/cloud_session.h"
#include "designfiles/design_document.h"

// A logged-in user's designs in the design table: one item per save, keyed by the identity id,
// "_" and a random UUID. Saving, listing and fetching need credentials and an identity id; an
// empty identity id would match every user's designs, so it counts as not logged in.

// Saves the document as a new item: "designId" (identity id, "_", UUID), "userId", "wellname",
// "ts" (UTC, milliseconds) and "design" (the design map). "userId" holds the same random UUID
// that ends "designId", not the user's identity: stored items have always had it so, and other
// clients of the table may read it. False when not logged in, when the document holds text
// that is not UTF-8 or no string "wellname", or when the table refuses it (logged).
bool CloudSaveDesign(CloudSession& session, const DesignDocument& document);

// Lists the user's designs page by page into the session's summaries. The first page replaces
// the last listing; a failure keeps what earlier pages brought. A page that repeats the last
// key, or a listing beyond a generous number of pages, ends it with the failure line.
bool CloudFetchDesigns(CloudSession& session);

// Fetches one design and writes it to the log; the well is not changed. Null id: false.
bool CloudGetDesign(const CloudSession& session, const char* designId);

// Writes one item with the session's credentials and logs "Successfully added Item!" or the
// table's refusal ("ERROR: dynamodb: <message>"); the renewal's test item goes this way too.
bool PutItemLogged(const CloudSession& session, const std::string& table, const AttributeMap& item);

// One listed item as its summary: each field cut to fit, empty when the attribute is missing
// or not a string.
DesignSummary DesignSummaryOf(const AttributeMap& item);
