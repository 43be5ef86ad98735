#pragma once
#include <string>
#include <vector>

#include "cloud/cloud_session.h"

// The secrets a cloud call holds: password, refresh, ID and access tokens, secret key and
// session token. A server, or a proxy on the way, may echo a request in its answer, so a text
// that came from one is logged only once every secret in it is blanked out.
struct CallSecrets {
    std::vector<std::string> texts;
};

// The session's own: the secret key and session token of its credentials.
CallSecrets SessionSecrets(const CloudSession& session);
void AddSessionSecrets(CallSecrets& secrets, const CloudSession& session);

// Adds one more (an empty text is no secret and is left out).
void AddSecret(CallSecrets& secrets, const std::string& secret);

// The text with every occurrence of a secret replaced by "***"; longer secrets go first, so one
// that holds another is blanked whole.
std::string Redacted(const CallSecrets& secrets, std::string text);

// Logs the line of `format`, whose one %s is filled with the redacted server text.
void LogServerText(const CallSecrets& secrets, const char* format, const std::string& serverText)
    __attribute__((format(printf, 2, 0)));
