#pragma once
#include <chrono>
#include <string>

// A random (version 4) UUID in upper case, 8-4-4-4-12, from the secure generator. Empty
// only if the generator fails, which callers treat as a failed operation.
std::string RandomUuid();

// "2024-03-05T07:08:09.006": UTC, milliseconds, 23 characters, no zone suffix.
std::string IsoTimestampMillis(std::chrono::system_clock::time_point when);
std::string IsoTimestampMillisNow();

// "20240305T070809Z": the signing date, UTC.
std::string AmzDate(std::chrono::system_clock::time_point when);
