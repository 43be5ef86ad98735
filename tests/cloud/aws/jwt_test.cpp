// Reading a token's claims without its signature, from crafted tokens.
#include <gtest/gtest.h>

#include "cloud/aws/jwt.h"

namespace {

// base64url without padding, as tokens carry their parts.
std::string Part(const std::string& text) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    unsigned int buffer = 0;
    int bits = 0;
    for (unsigned char c : text) {
        buffer = (buffer << 8) | c;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            out += alphabet[(buffer >> bits) & 63];
        }
    }
    if (bits > 0) out += alphabet[(buffer << (6 - bits)) & 63];
    return out;
}

const std::string kHeader = Part(R"({"alg":"RS256","kid":"dummy"})");
const std::string kSignature = Part("signature bytes");

struct JwtCase {
    const char* name;
    std::string token;
    bool decodes;
    const char* sub;
    const char* username;
};

TEST(Jwt, ClaimsOfCraftedTokens) {
    const JwtCase cases[] = {
        {"both claims", kHeader + "." + Part(R"({"sub":"abc-123","username":"alice"})") + "." + kSignature, true,
         "abc-123", "alice"},
        {"cognito's name claim only", kHeader + "." + Part(R"({"sub":"s","cognito:username":"alice"})") + "." + kSignature,
         true, "s", "UNKNOWN"},
        {"sub numeric", kHeader + "." + Part(R"({"sub":42,"username":"bob"})") + "." + kSignature, true, "UNKNOWN",
         "bob"},
        {"empty signature", kHeader + "." + Part(R"({"sub":"s"})") + ".", true, "s", "UNKNOWN"},
        {"two parts", kHeader + "." + Part(R"({"sub":"s"})"), false, "", ""},
        {"four parts", kHeader + "." + Part(R"({"sub":"s"})") + "." + kSignature + ".x", false, "", ""},
        {"bad base64url", kHeader + ".e30*." + kSignature, false, "", ""},
        {"payload not an object", kHeader + "." + Part(R"(["sub","s"])") + "." + kSignature, false, "", ""},
        {"payload not JSON", kHeader + "." + Part("sub=s") + "." + kSignature, false, "", ""},
        {"header not an object", Part("42") + "." + Part(R"({"sub":"s"})") + "." + kSignature, false, "", ""},
        {"empty payload", kHeader + ".." + kSignature, false, "", ""},
        {"empty token", "", false, "", ""},
        {"refresh token (a plain UUID)", "0E4C5A0F-9A3E-4B9B-8F6B-3C1E6B0E9A11", false, "", ""},
    };
    for (const JwtCase& c : cases) {
        SCOPED_TRACE(c.name);
        JwtContent content;
        ASSERT_EQ(DecodeJwt(c.token, &content), c.decodes);
        if (!c.decodes) continue;
        EXPECT_EQ(content.header.value("kid", ""), "dummy");
        EXPECT_EQ(JwtStringClaim(content.payload, "sub", "UNKNOWN"), c.sub);
        EXPECT_EQ(JwtStringClaim(content.payload, "username", "UNKNOWN"), c.username);
    }
}

}  // namespace
