#pragma once
// Fuzz inputs log a great deal; the lines are of no use to the fuzzer and slow it down.
#include "tesk/tesk.h"

inline int DiscardLogLine(const char*) { return 0; }

inline void SilenceLog() { SetLoggingCallback(nullptr, &DiscardLogLine); }
