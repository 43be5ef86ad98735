#include <cmath>
#include <cstdlib>

#include "engine/fourier.h"
#include "log/log.h"

namespace {

// More pairs than this cannot describe any card a host can load and would only burn time.
constexpr int32_t kMaxFourierCoeffs = 100000;

double TwoPi() { return std::atan(1.0) * 4 * 2; }

void ReleaseSeries(FourierSeries* series) {
    std::free(series->cosCoeffs);
    std::free(series->sinCoeffs);
    series->cosCoeffs = nullptr;
    series->sinCoeffs = nullptr;
    series->count = 0;
}

// A NaN term (a NaN sample, or an infinite one times an exact zero) is skipped, not counted.
void AccumulateSample(double sample, double sampleAngle, int32_t count, double* cosSum, double* sinSum) {
    for (int32_t j = 0; j < count; ++j) {
        const double angle = j * sampleAngle;
        const double c = std::cos(angle) * sample;
        const double s = std::sin(angle) * sample;
        if (!std::isnan(c)) cosSum[j] += c;
        if (!std::isnan(s)) sinSum[j] += s;
    }
}

}  // namespace

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
    if (haveSamples && !FourierWorkFits(sampleCount, coeffCount)) return false;
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
