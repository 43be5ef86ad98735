#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/fourier.h"
#include "model/tesk_obj.h"
#include "log_capture.h"

namespace {

const double kTwoPi = 8 * std::atan(1.0);

// A card made of the first harmonics only: x(t) = a0/2 + sum a_k cos(k 2pi t) + b_k sin(k 2pi t).
struct BandLimited {
    std::vector<double> a;
    std::vector<double> b;
    double At(double t) const {
        double x = a[0] * 0.5;
        for (size_t k = 1; k < a.size(); ++k) x += a[k] * std::cos(k * kTwoPi * t) + b[k] * std::sin(k * kTwoPi * t);
        return x;
    }
    std::vector<double> Samples(int n) const {
        std::vector<double> x(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) x[static_cast<size_t>(i)] = At(static_cast<double>(i) / n);
        return x;
    }
};

BandLimited TypicalCard(int harmonics) {
    BandLimited card;
    for (int k = 0; k < harmonics; ++k) {
        card.a.push_back(k == 0 ? 2 * 12000.0 : 3000.0 / (k * k) * std::cos(0.7 * k));
        card.b.push_back(k == 0 ? 0.0 : -1500.0 / (k * k) * std::sin(1.3 * k));
    }
    return card;
}

struct Fit {
    CardFourierFit* fit = NewCardFourierFit();
    ~Fit() { FreeCardFourierFit(fit); }
};

}  // namespace

struct BandCase {
    int samples;
    int harmonics;
    int coeffs;
};

class FourierBandLimited : public ::testing::TestWithParam<BandCase> {};

TEST_P(FourierBandLimited, ReproducesTheCardAtAnyTime) {
    const BandCase c = GetParam();
    const BandLimited card = TypicalCard(c.harmonics);
    const std::vector<double> x = card.Samples(c.samples);
    Fit f;
    ASSERT_TRUE(CalcFourierCoeffs(f.fit, &f.fit->pos, x.data(), c.samples, c.coeffs));
    EXPECT_EQ(f.fit->pos.count, c.coeffs);
    EXPECT_EQ(f.fit->sampleCount, c.samples);
    for (int k = 0; k < c.coeffs; ++k) {
        const double a = k < c.harmonics ? card.a[static_cast<size_t>(k)] : 0.0;
        const double b = k < c.harmonics ? card.b[static_cast<size_t>(k)] : 0.0;
        EXPECT_NEAR(f.fit->pos.cosCoeffs[k], a, 1e-9) << "k=" << k;
        EXPECT_NEAR(f.fit->pos.sinCoeffs[k], b, 1e-9) << "k=" << k;
    }
    // Off the sample grid too: the series is the card itself, not an interpolation of it.
    for (int i = 0; i < 997; ++i) {
        const double t = i / 997.0;
        EXPECT_NEAR(EvalFourierSeries(&f.fit->pos, t), card.At(t), 1e-12 * 12000.0) << "t=" << t;
    }
}

INSTANTIATE_TEST_SUITE_P(Cards, FourierBandLimited,
                         ::testing::Values(BandCase{100, 5, 5}, BandCase{100, 5, 20}, BandCase{400, 12, 50},
                                           BandCase{37, 4, 18}, BandCase{8, 2, 3}));

TEST(Fourier, OneCoefficientGivesTheMean) {
    const std::vector<double> x = {3.0, -1.0, 10.0, 4.5, 7.25, 0.0, -2.0};
    double mean = 0;
    for (double v : x) mean += v;
    mean /= static_cast<double>(x.size());
    Fit f;
    ASSERT_TRUE(CalcFourierCoeffs(f.fit, &f.fit->load, x.data(), static_cast<int32_t>(x.size()), 1));
    for (double t : {0.0, 0.13, 0.5, 0.99}) EXPECT_NEAR(EvalFourierSeries(&f.fit->load, t), mean, 1e-13);
}

TEST(Fourier, FitIsLinearInTheSamples) {
    const int n = 64;
    const std::vector<double> x = TypicalCard(9).Samples(n);
    std::vector<double> y(n), z(n);
    for (int i = 0; i < n; ++i) {
        y[i] = std::sqrt(i + 1.0) * (i % 3 == 0 ? -1 : 1);  // not band-limited
        z[i] = 2.5 * x[i] - 4.0 * y[i];
    }
    Fit fx, fy, fz;
    ASSERT_TRUE(CalcFourierCoeffs(fx.fit, &fx.fit->pos, x.data(), n, 20));
    ASSERT_TRUE(CalcFourierCoeffs(fy.fit, &fy.fit->pos, y.data(), n, 20));
    ASSERT_TRUE(CalcFourierCoeffs(fz.fit, &fz.fit->pos, z.data(), n, 20));
    for (int k = 0; k < 20; ++k) {
        EXPECT_NEAR(fz.fit->pos.cosCoeffs[k], 2.5 * fx.fit->pos.cosCoeffs[k] - 4.0 * fy.fit->pos.cosCoeffs[k], 1e-9);
        EXPECT_NEAR(fz.fit->pos.sinCoeffs[k], 2.5 * fx.fit->pos.sinCoeffs[k] - 4.0 * fy.fit->pos.sinCoeffs[k], 1e-9);
    }
}

TEST(Fourier, RotatingTheSamplesShiftsTheSeriesInTime) {
    const int n = 50, shift = 7;
    std::vector<double> x(n), rotated(n);
    for (int i = 0; i < n; ++i) x[i] = std::exp(std::sin(kTwoPi * i / n)) + 0.1 * i * (n - i);
    for (int i = 0; i < n; ++i) rotated[i] = x[(i + shift) % n];
    Fit f, g;
    ASSERT_TRUE(CalcFourierCoeffs(f.fit, &f.fit->pos, x.data(), n, 15));
    ASSERT_TRUE(CalcFourierCoeffs(g.fit, &g.fit->pos, rotated.data(), n, 15));
    for (double t : {0.0, 0.21, 0.5, 0.77}) {
        EXPECT_NEAR(EvalFourierSeries(&g.fit->pos, t), EvalFourierSeries(&f.fit->pos, t + double(shift) / n), 1e-9);
    }
}

TEST(Fourier, SeriesIsPeriodic) {
    const std::vector<double> x = TypicalCard(6).Samples(40);
    Fit f;
    ASSERT_TRUE(CalcFourierCoeffs(f.fit, &f.fit->pos, x.data(), 40, 10));
    for (double t : {0.0, 0.3, 0.65}) {
        EXPECT_NEAR(EvalFourierSeries(&f.fit->pos, t + 1), EvalFourierSeries(&f.fit->pos, t), 1e-9);
    }
}

TEST(Fourier, NanSampleAddsNothingButKeepsTheDivisor) {
    const int n = 30;
    std::vector<double> withNan = TypicalCard(4).Samples(n);
    withNan[11] = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> withZero = withNan;
    withZero[11] = 0.0;
    Fit a, b;
    ASSERT_TRUE(CalcFourierCoeffs(a.fit, &a.fit->pos, withNan.data(), n, 8));
    ASSERT_TRUE(CalcFourierCoeffs(b.fit, &b.fit->pos, withZero.data(), n, 8));
    for (int k = 0; k < 8; ++k) {
        EXPECT_DOUBLE_EQ(a.fit->pos.cosCoeffs[k], b.fit->pos.cosCoeffs[k]);
        EXPECT_DOUBLE_EQ(a.fit->pos.sinCoeffs[k], b.fit->pos.sinCoeffs[k]);
    }
}

TEST(Fourier, InvalidCountKeepsTheSeries) {
    const std::vector<double> x = TypicalCard(3).Samples(20);
    Fit f;
    ASSERT_TRUE(CalcFourierCoeffs(f.fit, &f.fit->pos, x.data(), 20, 4));
    const double a1 = f.fit->pos.cosCoeffs[1];
    for (int32_t bad : {0, -3, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()}) {
        LogCapture log;
        EXPECT_FALSE(CalcFourierCoeffs(f.fit, &f.fit->pos, x.data(), 20, bad)) << bad;
        EXPECT_TRUE(log.Contains("Invalid Fourier coefficent value")) << bad;
        EXPECT_EQ(f.fit->pos.count, 4);
        EXPECT_EQ(f.fit->pos.cosCoeffs[1], a1);
    }
}

TEST(Fourier, WithoutSamplesTheCountIsKeptWithZeroCoefficients) {
    const double one = 1.0;
    struct Case {
        const double* samples;
        int32_t count;
    };
    for (Case c : {Case{nullptr, 0}, Case{&one, 0}, Case{nullptr, 10}, Case{&one, -5}}) {
        Fit f;
        LogCapture log;
        EXPECT_FALSE(CalcFourierCoeffs(f.fit, &f.fit->pos, c.samples, c.count, 6));
        EXPECT_FALSE(log.lines.empty());
        ASSERT_EQ(f.fit->pos.count, 6);
        for (int k = 0; k < 6; ++k) {
            EXPECT_EQ(f.fit->pos.cosCoeffs[k], 0.0);
            EXPECT_EQ(f.fit->pos.sinCoeffs[k], 0.0);
        }
        EXPECT_EQ(EvalFourierSeries(&f.fit->pos, 0.4), 0.0);
        EXPECT_EQ(f.fit->omega, 0.0);
    }
}

TEST(Fourier, EmptySeriesEvaluatesToZero) {
    FourierSeries empty{0, nullptr, nullptr};
    EXPECT_EQ(EvalFourierSeries(&empty, 0.25), 0.0);
    EXPECT_EQ(EvalFourierSeries(nullptr, 0.25), 0.0);
}

// A fit or resampling whose work would run for minutes is refused, not started.
TEST(FourierWork, OversizedFitAndResamplingAreRefused) {
    TeskObj* obj = CreateTeskObj();
    ASSERT_NE(obj, nullptr);
    const int32_t n = 4000;
    std::vector<double> pos(n), load(n);
    for (int32_t i = 0; i < n; ++i) {
        pos[i] = 50.0 * (1.0 - std::cos(2.0 * M_PI * i / n));
        load[i] = 8000.0 + 3000.0 * std::sin(2.0 * M_PI * i / n);
    }
    ASSERT_EQ(LoadDyn(obj, 8.0, pos.data(), load.data(), n), 1);
    LogCapture log;
    SetFourierCoeffCountPos(obj, 100000);  // 4e8 terms
    EXPECT_TRUE(log.Contains("too large"));
    EXPECT_EQ(obj->fourier->pos.count, 0);  // the series was left as it was

    SetFourierCoeffCountPos(obj, 20);
    SetFourierCoeffCountLoad(obj, 20);
    log.Clear();
    SetUpscaledDynoPointCount(obj, 1000);
    EXPECT_FALSE(log.Contains("too large"));
    EXPECT_NEAR(obj->upsc.surfaceLoad[250], 11000.0, 1e-6);

    SetFourierCoeffCountLoad(obj, 1000);      // 4e6 terms to fit
    SetUpscaledDynoPointCount(obj, 1000000);  // 1e9 terms to resample
    EXPECT_TRUE(log.Contains("too large"));
    EXPECT_EQ(obj->upsc.surfaceLoad[250], 0.0);  // no stale card left behind
    DeleteTeskObj(obj);
}

// The grid evaluation steps the harmonics by rotation; over thousands of them it stays within
// rounding of a sine and cosine per term.
TEST(Fourier, GridEvaluationMatchesThePointwiseOne) {
    for (int32_t coeffs : {1, 2, 33, 5000}) {
        std::vector<double> a(static_cast<size_t>(coeffs)), b(static_cast<size_t>(coeffs));
        double scale = 0;
        for (int32_t k = 0; k < coeffs; ++k) {
            a[k] = 1000.0 * std::cos(1.7 * k + 0.3) / (1 + 0.01 * k);
            b[k] = -800.0 * std::sin(0.9 * k) / (1 + 0.01 * k);
            scale += std::fabs(a[k]) + std::fabs(b[k]);
        }
        const FourierSeries series{coeffs, a.data(), b.data()};
        const int32_t points = 997;
        std::vector<double> grid(points);
        EvalFourierSeriesOnGrid(&series, points, grid.data());
        for (int32_t i = 0; i < points; ++i) {
            ASSERT_NEAR(grid[i], EvalFourierSeries(&series, static_cast<double>(i) / points), 1e-13 * scale)
                << coeffs << " coefficients, point " << i;
        }
    }
    const FourierSeries empty{0, nullptr, nullptr};
    std::vector<double> zeros(4, 7.0);
    EvalFourierSeriesOnGrid(&empty, 4, zeros.data());
    EXPECT_EQ(zeros, std::vector<double>(4, 0.0));
}

// Steps within one call share one budget; each call starts a new one.
TEST(FourierWork, StepsOfOneCallShareOneBudget) {
    LogCapture log;
    {
        const FourierWorkScope call;
        for (int step = 0; step < 3; ++step) EXPECT_TRUE(DrawFourierWork(1000000, 200)) << step;
        {
            const FourierWorkScope joined;
            EXPECT_FALSE(DrawFourierWork(10, 1));
        }
        EXPECT_TRUE(log.Contains("would take this call's Fourier work to 6e+08 terms, above the limit of 6e+08"));
        EXPECT_TRUE(DrawFourierWork(0, 200)) << "a step without work always fits";
    }
    EXPECT_TRUE(DrawFourierWork(1000000, 200)) << "outside a call each step stands alone";
    const FourierWorkScope next;
    EXPECT_TRUE(DrawFourierWork(1000000, 200));
    EXPECT_FALSE(DrawFourierWork(1000000, 201)) << "a step above its own limit is refused in any call";
}

TEST(FourierWork, AFitPastTheCallsBudgetLeavesTheSeries) {
    const std::vector<double> x = TypicalCard(3).Samples(20);
    Fit f;
    ASSERT_TRUE(CalcFourierCoeffs(f.fit, &f.fit->pos, x.data(), 20, 4));
    const FourierWorkScope call;
    ASSERT_TRUE(DrawFourierWork(1000000, 200));
    ASSERT_TRUE(DrawFourierWork(1000000, 200));
    ASSERT_TRUE(DrawFourierWork(1000000, 199));
    LogCapture log;
    EXPECT_FALSE(CalcFourierCoeffs(f.fit, &f.fit->pos, x.data(), 20, 60000));
    EXPECT_TRUE(log.Contains("above the limit of 6e+08"));
    EXPECT_EQ(f.fit->pos.count, 4);
}
