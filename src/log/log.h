#pragma once
#include "tesk/tesk.h"

// The library's one log sink: formats printf-style into a 1,024-byte stack buffer and
// hands the line to the host's callback, or writes it with a newline to stderr.
int LogMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
