#pragma once
#include <cstdint>

// One fitted series: a_k cos(k w t) + b_k sin(k w t), k = 0..count-1.
struct FourierSeries {
    int32_t count;
    double* cosCoeffs;
    double* sinCoeffs;
};

// The Fourier fit of the measured surface card, one per well object.
struct CardFourierFit {
    FourierSeries pos;
    FourierSeries load;
    int32_t sampleCount;
    double omega;
};

// Sums of samples x coefficients beyond this take seconds to minutes (every term is a sine
// and a cosine); a fit or resampling that large is refused rather than hanging the host.
constexpr double kMaxFourierWork = 2e8;
// True when `points` x `coeffs` terms stay within kMaxFourierWork; logs the refusal otherwise.
bool FourierWorkFits(int64_t points, int64_t coeffs);

// All the fits and resamplings of one call together: each stays within kMaxFourierWork, and
// steps stacked in one call (a design read refits and resamples) may not add up to more than
// this, about a second of work.
constexpr double kMaxFourierCallWork = 3 * kMaxFourierWork;

// Held by each operation that fits or resamples. The first scope a thread opens starts a new
// call budget of kMaxFourierCallWork; scopes opened inside it join that budget, so every step
// of one call draws on it.
struct FourierWorkScope {
    FourierWorkScope();
    ~FourierWorkScope();
    FourierWorkScope(const FourierWorkScope&) = delete;
    FourierWorkScope& operator=(const FourierWorkScope&) = delete;
};

// FourierWorkFits, and inside a FourierWorkScope also the call's budget, which the step then
// draws on; a step refused by either logs one line, giving the limit, and takes nothing.
bool DrawFourierWork(int64_t points, int64_t coeffs);

// A new, empty fit (both counts 0); null when memory runs out.
CardFourierFit* NewCardFourierFit();
// Releases the load arrays, then the position arrays, then the record; null does nothing.
void FreeCardFourierFit(CardFourierFit* fit);

// Fits `coeffCount` cosine/sine pairs to `sampleCount` samples of one cycle (direct sum, NaN
// terms skipped; the harmonics stepped by rotation), as one step of DrawFourierWork. Without samples the series keeps the count with zero coefficients and the
// call fails, so that a later fit can fill it in. False with a log line on a count <= 0 or
// > 100,000 (series unchanged) or no memory (series left empty).
bool CalcFourierCoeffs(CardFourierFit* fit, FourierSeries* series, const double* samples, int32_t sampleCount,
                       int32_t coeffCount);
// Value of the series at the fraction `t` of the cycle (sample i of N lies at t = i/N); 0 when empty.
double EvalFourierSeries(const FourierSeries* series, double t);
// The series at the `count` points t = i / count of one cycle, into `values`, as
// EvalFourierSeries gives them to within rounding (the harmonics are stepped by rotation
// instead of each taking a sine and a cosine); zeros when the series is empty.
void EvalFourierSeriesOnGrid(const FourierSeries* series, int32_t count, double* values);
