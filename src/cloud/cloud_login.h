#pragma once
#include "cloud/cloud_session.h"

// Signs in with user name and password, turns the ID token into an identity and temporary
// credentials, and then keeps the refresh token in the token file. True only when credentials
// and an identity were obtained; every failure leaves the session logged out and no token file
// (an earlier user's token would let a renewal resume their session), with log lines that
// carry the service's error message with every secret of the call blanked out. A null or
// non-UTF-8 user name or password fails before anything is sent.
bool CloudLogin(CloudSession& session, const char* userName, const char* password);

// Removes the token file and forgets credentials (session token included), claims and
// identity; the last listing stays. A null session (a well object that never made one) has
// nothing to forget, so logging out never starts the HTTP stack. Returns false in every case,
// as callers have always seen.
bool CloudLogout(CloudSession* session);
