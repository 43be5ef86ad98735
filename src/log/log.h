#pragma once
#include "tesk/tesk.h"

// The library's one log sink: formats printf-style into a 1,024-byte stack buffer and
// hands the line to the host's callback, or writes it with a newline to stderr. Control
// characters other than the tab, wherever they come from (a host's well name, a path, a
// server's message), are written as visible escapes ("\n", "\r", "\x1b"), so a message is
// always one line; a line without them is passed on unchanged.
int LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
