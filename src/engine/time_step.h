#pragma once
#include <cstdint>

struct WaveModel;

// Largest node count of a card's grid; a computed count beyond it is taken as invalid.
constexpr int32_t kMaxNodeCount = 100000;
// Largest point count that a predicted card's time step may produce.
constexpr int32_t kMaxPredPointCount = 1000000;

// a > b beyond rounding, for b >= 0: a wave's travel in one time step and a node length that
// are equal in exact arithmetic (dx/aMax*aMax) may differ by an ulp, and must count as equal.
bool ExceedsBeyondRounding(double a, double b);

// Converts a count computed in floating point (already floored, ceiled or rounded) to an
// int32; false for NaN, infinities, negative values and values above `limit`.
bool ToGridCount(double value, int32_t limit, int32_t* count);

// Sets the card's time step and damping constants and, for "PRED", its point count and card
// arrays. False without tapers, for a diagnostic card without points, and for a "PRED" grid
// that yields no valid point count (the card is then left without points).
bool UpdateCDTs(WaveModel* card);

// Time step of a "PRED" card on its free grid; stores the chosen node count per taper in
// sectionNodeCount.
double FindOptimalPredDT(WaveModel* card);
