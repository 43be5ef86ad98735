#pragma once
#include "cloud/cloud_session.h"

// Renews the session from the stored refresh token (no password) and proves the credentials
// by writing a test item; it reports only through log lines.
//
// A renewal whose sign-in fails leaves the session as it was, so a test item is then still
// written with the credentials of an earlier login; once the sign-in succeeds, identity and
// credentials are replaced by what the identity pool answers, empty when it refuses. A new
// refresh token in the sign-in's answer (a user pool that rotates them) replaces the stored one.
void CloudRunTest(CloudSession& session);

// Writes one test item (random UUID, sub, username, time) to the test table with the call's
// configuration; false when not logged in (silently) or when the table refuses it (logged).
bool PutTestItem(const CloudSession& session, const AwsClientConfig& config);
