// The crypto primitives over OpenSSL 3.
#include <openssl/evp.h>
#include <openssl/hmac.h>
#include <openssl/rand.h>

#include <climits>

#include "cloud/aws/crypto.h"

std::string Sha256(const std::string& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &size, EVP_sha256(), nullptr) != 1) return std::string();
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string HmacSha256(const std::string& key, const std::string& data) {
    if (key.size() > static_cast<size_t>(INT_MAX)) return std::string();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    const unsigned char* result =
        HMAC(EVP_sha256(), key.data(), static_cast<int>(key.size()),
             reinterpret_cast<const unsigned char*>(data.data()), data.size(), digest, &size);
    if (result == nullptr) return std::string();
    return std::string(reinterpret_cast<const char*>(digest), size);
}

bool SecureRandomBytes(unsigned char* out, size_t size) {
    if (size > static_cast<size_t>(INT_MAX)) return false;
    return RAND_bytes(out, static_cast<int>(size)) == 1;
}
