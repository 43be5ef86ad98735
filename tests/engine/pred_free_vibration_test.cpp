// A rod string left to ring with its polished rod held still: the damping factor nu must give the
// string's first mode the damping ratio nu / 2, as the interface promises.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/constants.h"
#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"

namespace {

constexpr double kDepth = 4000.0;
constexpr double kLift = 10.0;       // in the polished rod rises before it is held
constexpr double kRampShare = 0.01;  // of the cycle the rise takes, a third of the first mode's period
// Relative tolerance of the measured damping ratio. A window spans a whole number of card points,
// about 40, so it matches the damped period only to about 1%; projecting a wave that loses up to
// half its amplitude within the window on a steady one costs up to 2% more at the heaviest
// damping. The march itself, with hundreds of steps and nodes to the mode's wavelength, adds well
// under 0.1%. A factor that gave the mode the ratio nu would miss by 100%.
constexpr double kRatioTolerance = 0.03;

// The polished rod rises by kLift in a smooth ramp at the start of the cycle, is held, and comes
// back down at the very end, so that the cycle closes without a jump.
std::vector<double> RiseHoldAndReturn(int32_t n) {
    std::vector<double> positions(static_cast<size_t>(n));
    for (int32_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / n;
        double share = 1.0;
        if (t < kRampShare) share = 0.5 - 0.5 * std::cos(kPi * t / kRampShare);
        if (t > 1.0 - kRampShare) share = 0.5 - 0.5 * std::cos(kPi * (1.0 - t) / kRampShare);
        positions[static_cast<size_t>(i)] = kLift * share;
    }
    return positions;
}

// Amplitude of the component at angular frequency w of x over the samples [first, first + count).
double AmplitudeAt(const std::vector<double>& x, int32_t first, int32_t count, double w, double dt) {
    double c = 0.0;
    double s = 0.0;
    for (int32_t i = first; i < first + count; ++i) {
        const double t = i * dt;
        c += x[static_cast<size_t>(i)] * std::cos(w * t);
        s += x[static_cast<size_t>(i)] * std::sin(w * t);
    }
    return 2.0 * std::hypot(c, s) / count;
}

// A released string is free at the pump (no fluid load to pick up) and held at the polished rod:
// its first mode is a quarter wave, pi * a / (2 * L) rad/s. Its decay is read from the plunger's
// swing about the held rod, window by window of one damped period, each window's amplitude the
// projection on that mode; the ratio of successive amplitudes is the logarithmic decrement.
TEST(PredFreeVibration, FirstModeDecaysWithHalfTheDampingFactorAsItsRatio) {
    for (const double nu : {0.05, 0.1, 0.2}) {
        PredWellInputs inputs;
        inputs.depth = kDepth;
        inputs.spm = 2.0;  // a 30 s cycle: some 30 periods of the first mode
        inputs.damping = nu;
        inputs.fo = 0.0;
        inputs.tubing = false;
        inputs.tapers = {SteelTaper(kDepth, 1.0)};
        auto obj = MakePredWell(inputs);
        WaveModel& pred = obj->pred;
        const int32_t n = pred.PointCount;
        ASSERT_GT(n, 1000) << nu;
        DriveByCard(obj.get(), RiseHoldAndReturn(n), n / 2);
        obj->predCycles = 1;
        LogCapture log;
        ASSERT_TRUE(CalcWavePredNew(GatherPredSettings(obj.get()), &pred)) << nu;

        const double a = pred.tapers->items[0].waveSpeed;
        const double w1 = kPi * a / (2.0 * kDepth);
        const double zeta = nu / 2.0;
        const double wd = w1 * std::sqrt(1.0 - zeta * zeta);
        const double dt = 60.0 / inputs.spm / n;
        const int32_t window = static_cast<int32_t>(std::lround(2.0 * kPi / wd / dt));
        const int32_t start = static_cast<int32_t>(std::ceil(kRampShare * n));
        std::vector<double> swing(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i) swing[static_cast<size_t>(i)] = pred.pumpPos[i] - pred.surfacePos[i];
        for (int32_t i = start; i < start + 4 * window; ++i) {
            ASSERT_NEAR(pred.surfacePos[i], kLift, 1e-3) << "the polished rod is held, point " << i;
        }
        for (int32_t k = 0; k < 3; ++k) {
            const double now = AmplitudeAt(swing, start + k * window, window, wd, dt);
            const double next = AmplitudeAt(swing, start + (k + 1) * window, window, wd, dt);
            const double decrement = std::log(now / next);
            const double measured = decrement / std::sqrt(4.0 * kPi * kPi + decrement * decrement);
            EXPECT_NEAR(measured, zeta, kRatioTolerance * zeta) << "nu " << nu << ", window " << k;
        }
    }
}

}  // namespace
