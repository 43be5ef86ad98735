#include <cmath>
#include <cstdlib>

#include "common/constants.h"
#include "engine/fourier.h"
#include "log/log.h"

namespace {

// More pairs than this cannot describe any card a host can load and would only burn time.
constexpr int32_t kMaxFourierCoeffs = 100000;

double TwoPi() { return kPi * 2; }

void ReleaseSeries(FourierSeries* series) {
    std::free(series->cosCoeffs);
    std::free(series->sinCoeffs);
    series->cosCoeffs = nullptr;
    series->sinCoeffs = nullptr;
    series->count = 0;
}

// Harmonics stepped by rotation between two exact ones: a sine and a cosine per term would
// make a large fit or resampling several times slower, and restarting every so many steps keeps
// the rounding of the rotation at a few units in the last place.
constexpr int32_t kExactHarmonicEvery = 32;

// Calls take(j, cos(j * angle), sin(j * angle)) for j = 0..count-1.
template <typename Take>
void ForEachHarmonic(double angle, int32_t count, Take take) {
    const double stepCos = std::cos(angle);
    const double stepSin = std::sin(angle);
    double c = 1.0;
    double s = 0.0;
    for (int32_t j = 0; j < count; ++j) {
        if (j % kExactHarmonicEvery == 0) {
            c = std::cos(j * angle);
            s = std::sin(j * angle);
        }
        take(j, c, s);
        const double next = c * stepCos - s * stepSin;
        s = s * stepCos + c * stepSin;
        c = next;
    }
}

// A NaN term (a NaN sample, or an infinite one times an exact zero) is skipped, not counted.
void AccumulateSample(double sample, double sampleAngle, int32_t count, double* cosSum, double* sinSum) {
    ForEachHarmonic(sampleAngle, count, [&](int32_t j, double cosine, double sine) {
        const double c = cosine * sample;
        const double s = sine * sample;
        if (!std::isnan(c)) cosSum[j] += c;
        if (!std::isnan(s)) sinSum[j] += s;
    });
}

// The work the thread's current call has drawn, while a FourierWorkScope is open.
struct CallWork {
    int32_t openScopes = 0;
    double drawn = 0.0;
};
thread_local CallWork callWork;

}  // namespace

FourierWorkScope::FourierWorkScope() {
    if (callWork.openScopes++ == 0) callWork.drawn = 0.0;
}

FourierWorkScope::~FourierWorkScope() { --callWork.openScopes; }

bool DrawFourierWork(int64_t points, int64_t coeffs) {
    if (!FourierWorkFits(points, coeffs)) return false;
    if (callWork.openScopes == 0) return true;
    const double work = static_cast<double>(points) * static_cast<double>(coeffs);
    if (callWork.drawn + work > kMaxFourierCallWork) {
        LogMessage("Error: a Fourier series of %lld coefficients over %lld points would take this call's Fourier work "
                   "to %.3g terms, above the limit of %.3g",
                   static_cast<long long>(coeffs), static_cast<long long>(points), callWork.drawn + work,
                   kMaxFourierCallWork);
        return false;
    }
    callWork.drawn += work;
    return true;
}

bool FourierWorkFits(int64_t points, int64_t coeffs) {
    if (static_cast<double>(points) * static_cast<double>(coeffs) <= kMaxFourierWork) return true;
    LogMessage("Error: a Fourier series of %lld coefficients over %lld points is too large, above the limit of %.3g terms",
               static_cast<long long>(coeffs), static_cast<long long>(points), kMaxFourierWork);
    return false;
}

CardFourierFit* NewCardFourierFit() {
    return static_cast<CardFourierFit*>(std::calloc(1, sizeof(CardFourierFit)));
}

void FreeCardFourierFit(CardFourierFit* fit) {
    if (fit == nullptr) return;
    std::free(fit->load.cosCoeffs);
    std::free(fit->load.sinCoeffs);
    std::free(fit->pos.cosCoeffs);
    std::free(fit->pos.sinCoeffs);
    std::free(fit);
}

bool CalcFourierCoeffs(CardFourierFit* fit, FourierSeries* series, const double* samples, int32_t sampleCount,
                       int32_t coeffCount) {
    if (coeffCount <= 0 || coeffCount > kMaxFourierCoeffs) {
        LogMessage("Invalid Fourier coefficent value");
        return false;
    }
    const bool haveSamples = sampleCount > 0 && samples != nullptr;
    if (haveSamples && !DrawFourierWork(sampleCount, coeffCount)) return false;
    fit->sampleCount = haveSamples ? sampleCount : 0;
    fit->omega = haveSamples ? TwoPi() / sampleCount : 0.0;

    ReleaseSeries(series);
    const size_t n = static_cast<size_t>(coeffCount);
    double* cosCoeffs = static_cast<double*>(std::calloc(n, sizeof(double)));
    double* sinCoeffs = static_cast<double*>(std::calloc(n, sizeof(double)));
    if (cosCoeffs == nullptr || sinCoeffs == nullptr) {
        LogMessage("Coefficient memory error");
        std::free(cosCoeffs);
        std::free(sinCoeffs);
        return false;
    }
    series->cosCoeffs = cosCoeffs;
    series->sinCoeffs = sinCoeffs;
    series->count = coeffCount;

    // Without samples the count is kept (zero coefficients) so that the next card is fitted with it.
    if (!haveSamples) {
        LogMessage("Warning: no measured card to fit, Fourier coefficients set to 0");
        return false;
    }
    for (int32_t i = 0; i < sampleCount; ++i) {
        AccumulateSample(samples[i], i * fit->omega, coeffCount, cosCoeffs, sinCoeffs);
    }
    const double divisor = sampleCount * 0.5;
    for (int32_t j = 0; j < coeffCount; ++j) {
        cosCoeffs[j] /= divisor;
        sinCoeffs[j] /= divisor;
    }
    return true;
}

double EvalFourierSeries(const FourierSeries* series, double t) {
    if (series == nullptr || series->count <= 0) return 0.0;
    const double cycleAngle = TwoPi() * t;
    double sum = series->cosCoeffs[0] * 0.5;
    for (int32_t j = 1; j < series->count; ++j) {
        const double theta = j * cycleAngle;
        sum = series->sinCoeffs[j] * std::sin(theta) + (series->cosCoeffs[j] * std::cos(theta) + sum);
    }
    return sum;
}

void EvalFourierSeriesOnGrid(const FourierSeries* series, int32_t count, double* values) {
    for (int32_t i = 0; i < count; ++i) {
        double sum = 0.0;
        if (series != nullptr && series->count > 0) {
            sum = series->cosCoeffs[0] * 0.5;
            const double cycleAngle = TwoPi() * (static_cast<double>(i) / count);
            ForEachHarmonic(cycleAngle, series->count, [&](int32_t j, double cosine, double sine) {
                if (j > 0) sum = series->sinCoeffs[j] * sine + (series->cosCoeffs[j] * cosine + sum);
            });
        }
        values[i] = sum;
    }
}
