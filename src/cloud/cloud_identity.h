#pragma once
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "cloud/aws/aws_outcome.h"
#include "cloud/cloud_session.h"

// Steps that a login and a renewal share once the user pool has answered with an ID token.

// The Logins map of the identity pool's calls: the login provider's name to the ID token.
std::map<std::string, std::string> IdentityLogins(const CloudSession& session, const std::string& idToken);

// sub and username from the ID token's payload; "UNKNOWN" for a claim that is missing or no
// string. The user pool's tokens name the user under "cognito:username", not "username", so
// username reads "UNKNOWN" with them; the item attribute it feeds has always held that.
void SetIdentityClaims(CloudSession& session, const nlohmann::json& payload);

// IdentityId and credentials from a GetCredentialsForIdentity outcome; both empty when it
// failed. The credentials never expire on this side: the expiration is the largest time.
void SetIdentityCredentials(CloudSession& session, const AwsOutcome& credentials);
