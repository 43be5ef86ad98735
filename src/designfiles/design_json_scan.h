#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// What the own-format reader takes from a document, gathered while the text is parsed. A
// parsed JSON value takes five to thirty times the bytes of its text, so the document is never
// held whole: members the reader does not take are parsed and dropped, lists are kept only up
// to the most a well can have, and the measured card's rows become plain numbers.

// Most taper or tubing elements a section may list; no rod string or tubing comes near it.
constexpr size_t kMaxDesignSections = 10000;

// The rows of "diag"."dyn" when it is a list.
struct MeasuredRows {
    std::vector<double> positions;  // the first element of each row, for at most kMaxCardPoints rows
    std::vector<double> loads;      // the second
    size_t count = 0;               // rows in the document, also those not kept
    std::string error;              // why the first malformed row cannot be read; empty when none is
};

struct ScannedDesign {
    // The taken members, where the document has them: "lib" (its first 16 elements), "mia" (at
    // most kMaxSurveyStations + 1 rows of three elements), "wellname", "well_depth", and in
    // "diag" and "pred" the values, "pump", "fourier", "taper" and "tubing" (at most
    // kMaxDesignSections + 1 elements each); "diag"."dyn" is an empty list standing for `dyn`.
    // A list or object where the reader takes a single value is kept empty, so the reader sees
    // its kind.
    nlohmann::json doc;
    MeasuredRows dyn;
};

// Parses `length` bytes of JSON text into `design`. Throws std::runtime_error with the
// parser's message when the text is not JSON; never keeps more than the limits above. Lists
// and objects nested below what is kept cost a count of their depth.
void ScanDesignJson(const char* text, size_t length, ScannedDesign* design);
