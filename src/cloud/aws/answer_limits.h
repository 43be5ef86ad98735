#pragma once
#include <cstddef>
#include <string>

#include "cloud/aws/client_config.h"

// What one answer of a service may be, so that a broken or hostile server cannot make a call
// take memory or time far beyond what the service itself ever sends.
struct AnswerLimits {
    size_t maxBytes;
    int maxDepth;          // levels of JSON nesting, the top-level object counting as one
    size_t maxListLength;  // entries of a list that is a member of the top-level object
    size_t maxValues;      // JSON values (object member names not counted)
};

// DynamoDB: 4 MiB (a page or an item is at most about 1 MB), nesting as deep as 32 attribute
// levels need (69), 100,000 entries (the most designs a listing keeps) and 500,000 values.
// Cognito: 64 KiB (its answers are a few KiB of tokens), and the same shape limits.
AnswerLimits ServiceAnswerLimits(AwsService service);

// Why the body breaks a depth, list or value limit, or "" when it keeps them. One pass over
// the text, no parsing and next to no memory: meant to run before a parser builds anything.
std::string AnswerShapeProblem(const std::string& body, const AnswerLimits& limits);
