#pragma once
#include <cstdint>

struct TeskObj;
struct FourierSeries;

// Most points a card loaded or upscaled by the host may have.
constexpr int32_t kMaxCardPoints = 1000000;

// Stores a measured surface card in "MEAS", sizes "UPSC" and "PRED" for their own point counts,
// refits both Fourier series and resamples "UPSC". A count of 0 clears the measured card.
// False with a log line on a speed that is not > 0 (the "MEAS" speed is stored even then, nothing
// else changes), a negative or huge count, null arrays (nothing changes) or an exhausted heap.
bool LoadDynArrays(TeskObj* obj, double spm, const double* positions, const double* loads, int32_t pointCount);
// LoadDynArrays without the refit and resampling, for a caller that also changes the series'
// counts or the upscaled point count and then fits and resamples once; until it does, the
// upscaled card and the series still stand for the earlier card.
bool LoadDynArraysWithoutRefit(TeskObj* obj, double spm, const double* positions, const double* loads,
                               int32_t pointCount);
// Refits both series with their current coefficient counts, then resamples "UPSC".
bool RefitMeasuredFourier(TeskObj* obj);
// Resamples the "UPSC" surface card from the fit, clears its pump card and marks "UPSC" and
// "PRED" dirty; false while "UPSC" has no points or arrays.
bool RefreshUpscaledCard(TeskObj* obj);
// Refits one series of obj->fourier from the matching "MEAS" samples with `count` pairs (a bad
// count keeps the old series), then resamples "UPSC"; returns the resampling's result.
bool ApplyFourierCoeffCount(TeskObj* obj, FourierSeries* series, const double* samples, int32_t count);
// Gives "UPSC" `pointCount` points and resamples it; true. A negative or huge count is logged
// and changes nothing.
bool ApplyUpscaledPointCount(TeskObj* obj, int32_t pointCount);
// Gives "UPSC" `pointCount` points without resampling it; false (logged, nothing changed) for a
// negative or huge count.
bool SizeUpscaledCard(TeskObj* obj, int32_t pointCount);

// Each of these is one call's Fourier work: the fits and resamplings it makes share one
// kMaxFourierCallWork (see engine/fourier.h), joined by any call that runs them inside its own.
