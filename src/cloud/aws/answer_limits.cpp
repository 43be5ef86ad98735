#include "cloud/aws/answer_limits.h"

#include <vector>

#include "cloud/aws/attribute_value.h"

namespace {

// Each attribute level is two JSON levels (the type object and its content); a Scan page adds
// three above the first attribute (the answer, "Items" and the item).
constexpr int kMaxAnswerDepth = 2 * kMaxAttributeDepth + 5;
constexpr size_t kMaxAnswerListLength = 100000;
// A parsed value and its attribute value take some 300 bytes, so a dense answer of small
// numbers would take some 30 times its size; no real answer comes near this many (a listing
// page holds under 10,000 designs of 7 values, an item of 400 KB under 150,000 values).
constexpr size_t kMaxAnswerValues = 500000;

std::string TooDeep(int depth) { return "the answer nests deeper than " + std::to_string(depth) + " levels"; }

std::string TooLong(size_t length) { return "the answer lists more than " + std::to_string(length) + " entries"; }

std::string TooMany(size_t values) { return "the answer holds more than " + std::to_string(values) + " values"; }

bool StartsScalar(char c) { return (c >= '0' && c <= '9') || c == '-' || c == 't' || c == 'f' || c == 'n'; }

// What one pass over the text has seen so far, outside strings.
struct Scan {
    std::vector<char> open;   // the open containers, '{' or '['
    size_t entries = 0;       // of the list that is a member of the top-level object
    size_t values = 0;
    char previous = '\0';     // the last character outside strings and white space
    bool inString = false;
    bool escaped = false;

    bool InObject() const { return !open.empty() && open.back() == '{'; }
    bool InMemberList() const { return open.size() == 2 && open[0] == '{' && open[1] == '['; }
    bool AfterValueSeparator() const { return previous == '\0' || previous == ':' || previous == ',' || previous == '['; }
};

void ReadStringCharacter(Scan& scan, char c) {
    if (scan.escaped) {
        scan.escaped = false;
    } else if (c == '\\') {
        scan.escaped = true;
    } else if (c == '"') {
        scan.inString = false;
        scan.previous = '"';
    }
}

// The problem the character shows, or "".
std::string ReadStructure(Scan& scan, char c, const AnswerLimits& limits) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') return std::string();
    const bool startsValue = c == '{' || c == '[' || (c == '"' && !(scan.InObject() && scan.previous != ':')) ||
                             (StartsScalar(c) && scan.AfterValueSeparator());
    if (startsValue && ++scan.values > limits.maxValues) return TooMany(limits.maxValues);
    if (c == '"') {
        scan.inString = true;
    } else if (c == '{' || c == '[') {
        if (static_cast<int>(scan.open.size()) >= limits.maxDepth) return TooDeep(limits.maxDepth);
        scan.open.push_back(c);
    } else if ((c == '}' || c == ']') && !scan.open.empty()) {
        scan.open.pop_back();
        if (scan.open.size() == 1) scan.entries = 0;
    } else if (c == ',' && scan.InMemberList() && ++scan.entries >= limits.maxListLength) {
        return TooLong(limits.maxListLength);
    }
    scan.previous = c;
    return std::string();
}

}  // namespace

AnswerLimits ServiceAnswerLimits(AwsService service) {
    const size_t bytes = service == AwsService::DynamoDb ? size_t{4} << 20 : size_t{64} << 10;
    return {bytes, kMaxAnswerDepth, kMaxAnswerListLength, kMaxAnswerValues};
}

std::string AnswerShapeProblem(const std::string& body, const AnswerLimits& limits) {
    Scan scan;
    for (char c : body) {
        if (scan.inString) {
            ReadStringCharacter(scan, c);
            continue;
        }
        std::string problem = ReadStructure(scan, c, limits);
        if (!problem.empty()) return problem;
    }
    return std::string();
}
