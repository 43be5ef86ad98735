// A small base64 codec: DynamoDB's binary values use the standard alphabet with padding,
// JSON Web Tokens the URL-safe one without.
#include "cloud/aws/base64.h"

namespace {

const char kStandardAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int SextetOf(char c, bool urlSafe) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == (urlSafe ? '-' : '+')) return 62;
    if (c == (urlSafe ? '_' : '/')) return 63;
    return -1;
}

// Decodes unpadded text; a lone trailing sextet (length % 4 == 1) and stray low bits in
// the last sextet are rejected, so every text has exactly one decoding.
bool DecodeSextets(const std::string& text, size_t length, bool urlSafe, std::string* bytes) {
    if (length % 4 == 1) return false;
    std::string out;
    out.reserve(length / 4 * 3 + 2);
    unsigned int buffer = 0;
    int bits = 0;
    for (size_t i = 0; i < length; ++i) {
        int sextet = SextetOf(text[i], urlSafe);
        if (sextet < 0) return false;
        buffer = (buffer << 6) | static_cast<unsigned int>(sextet);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += static_cast<char>((buffer >> bits) & 0xff);
        }
    }
    if ((buffer & ((1u << bits) - 1)) != 0) return false;
    *bytes = std::move(out);
    return true;
}

}  // namespace

std::string Base64Encode(const std::string& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        unsigned int triple = (static_cast<unsigned char>(bytes[i]) << 16) |
                              (static_cast<unsigned char>(bytes[i + 1]) << 8) | static_cast<unsigned char>(bytes[i + 2]);
        text += kStandardAlphabet[(triple >> 18) & 63];
        text += kStandardAlphabet[(triple >> 12) & 63];
        text += kStandardAlphabet[(triple >> 6) & 63];
        text += kStandardAlphabet[triple & 63];
    }
    size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned int triple = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) triple |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        text += kStandardAlphabet[(triple >> 18) & 63];
        text += kStandardAlphabet[(triple >> 12) & 63];
        text += rest == 2 ? kStandardAlphabet[(triple >> 6) & 63] : '=';
        text += '=';
    }
    return text;
}

bool Base64Decode(const std::string& text, std::string* bytes) {
    if (text.size() % 4 != 0) return false;
    size_t length = text.size();
    if (length > 0 && text[length - 1] == '=') --length;
    if (length > 0 && text[length - 1] == '=') --length;
    return DecodeSextets(text, length, false, bytes);
}

bool Base64UrlDecode(const std::string& text, std::string* bytes) {
    size_t length = text.size();
    if (length % 4 == 0) {
        if (length > 0 && text[length - 1] == '=') --length;
        if (length > 0 && text[length - 1] == '=') --length;
    }
    return DecodeSextets(text, length, true, bytes);
}
