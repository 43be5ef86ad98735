#pragma once
#include <cstddef>
#include <string>

// The few primitives the layer needs, kept behind plain functions so that another
// platform can supply its own library. Digests are raw bytes.
std::string Sha256(const std::string& data);
std::string HmacSha256(const std::string& key, const std::string& data);
// Fills `out` with `size` bytes from a cryptographically secure generator.
bool SecureRandomBytes(unsigned char* out, size_t size);

// Lower-case hex of raw bytes.
std::string HexLower(const std::string& bytes);
