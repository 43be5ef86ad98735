#pragma once
#include <cstddef>
#include <string>

// The user's refresh token lives in $APPDATA/tesk/refreshtoken.txt: the token's bytes alone,
// no line end. Every well object and process of the user shares it; the latest login wins.

constexpr size_t kRefreshTokenPathSize = 256;

// Forms the path in dst (zero-terminated) and creates the "tesk" folder (mode 0700) when it is
// missing; an existing folder of the user's that others may read or write is set to 0700. False, with dst empty and nothing touched, when APPDATA is unset or empty or the path
// would not fit in kRefreshTokenPathSize - 1 characters.
bool GetRefreshTokenPath(char (&dst)[kRefreshTokenPathSize]);

// Replaces the file (mode 0600) with the token through a temporary file, flushed to the disk
// and renamed over it, so a reader never sees half a token. Logs "ERROR: cannot open refresh
// token file" when it cannot.
void SaveRefreshToken(std::string token);

// The stored token up to its first NUL byte, read whole up to 64 KiB; a line end stays part of
// it. Empty, with no log line, when there is no file or no usable path. Only a regular file of
// the user's that others may not write is read: a symbolic link, a FIFO or device, another
// user's file or one others may write gives the empty token and a line saying why.
std::string LoadRefreshToken();

// Removes the file; a missing file or path is no error.
void RemoveRefreshToken();
