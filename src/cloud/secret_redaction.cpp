#include "cloud/secret_redaction.h"

#include <algorithm>

#include "log/log.h"

CallSecrets SessionSecrets(const CloudSession& session) {
    CallSecrets secrets;
    AddSessionSecrets(secrets, session);
    return secrets;
}

void AddSessionSecrets(CallSecrets& secrets, const CloudSession& session) {
    AddSecret(secrets, session.creds.secretKey);
    AddSecret(secrets, session.creds.sessionToken);
}

void AddSecret(CallSecrets& secrets, const std::string& secret) {
    if (!secret.empty()) secrets.texts.push_back(secret);
}

std::string Redacted(const CallSecrets& secrets, std::string text) {
    std::vector<const std::string*> longestFirst;
    for (const std::string& secret : secrets.texts) longestFirst.push_back(&secret);
    std::sort(longestFirst.begin(), longestFirst.end(),
              [](const std::string* a, const std::string* b) { return a->size() > b->size(); });
    for (const std::string* secret : longestFirst) {
        for (size_t at = text.find(*secret); at != std::string::npos; at = text.find(*secret, at + 3)) {
            text.replace(at, secret->size(), "***");
        }
    }
    return text;
}

void LogServerText(const CallSecrets& secrets, const char* format, const std::string& serverText) {
    LogMessage(format, Redacted(secrets, serverText).c_str());
}
