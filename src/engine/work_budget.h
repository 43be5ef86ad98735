#pragma once
#include <cstdint>

struct CardFourierFit;
struct WaveModel;
struct PredMarchGrid;

// Grid updates one solve may take: a few seconds of one core. A host diagnosing thousands of
// wells must not stall for minutes on one odd card, so a larger solve is refused up front.
constexpr double kMaxSolveUpdates = 2e9;
// Bytes a card's intermediate tables may take; above it the solve keeps none.
constexpr double kMaxIntermediateBytes = 256.0 * 1024 * 1024;

// True when a diagnostic solve of the card's grid stays within kMaxSolveUpdates; otherwise
// logs one line giving the grid and the limit.
bool DiagWorkFits(const WaveModel* card);
// The same for a predictive solve over `cycles` cycles; when the surface motion comes from the
// measured card's position series (the fit `fourier`, null for none), that series is held to the
// Fourier work cap too.
bool PredWorkFits(const WaveModel* pred, int32_t cycles, const CardFourierFit* fourier, bool fromPumpingUnit);
// The default prediction marches on a grid finer than the card's (pred_grid.h): at least twice
// the card's steps, so its march may take twice the card's budget. True when the march of
// `grid` over `cycles` stays within that and its step count is an int32; otherwise one line.
bool PredMarchWorkFits(const WaveModel* pred, const PredMarchGrid& grid, int32_t cycles);
// Logs the line of the budget for a card whose last discretisation asked for more nodes or points
// than a grid may hold (its unbuiltGrid): the grid it asked for, its updates and the limit, or,
// when the work is within the budget, the count and its own limit. Nothing for a built grid.
// A predicted card's work counts `predCycles` cycles.
void ReportUnbuiltGrid(const WaveModel* card, int32_t predCycles);
// True when two tables of `rows` x `columns` doubles stay within kMaxIntermediateBytes;
// otherwise logs that no intermediate cards are kept for this solve, and why.
bool IntermediateTablesFit(int64_t rows, int64_t columns);
