#pragma once

// Where an increasing function turns from negative to not negative between lo and hi: false
// position with the Illinois correction, which keeps both ends moving, then plain halving should
// it be slow, until the bracket is 1e-13 ft wide or cannot narrow any further. Both ends keep
// their signs, so the result lies within 5e-14 ft of the root whichever way the loop ends, in
// many times fewer curve evaluations than halving alone.
template <typename Function>
double RootInBracket(const Function& f, double lo, double hi) {
    constexpr int kFalsePositionSteps = 100;
    double fLo = f(lo);
    double fHi = f(hi);
    if (!(fLo < 0.0)) return lo;
    if (fHi < 0.0) return hi;
    int lastMoved = 0;
    for (int iteration = 0; hi - lo > 1e-13; ++iteration) {
        double v = lo + 0.5 * (hi - lo);
        if (iteration < kFalsePositionSteps) {
            const double secant = hi - fHi * (hi - lo) / (fHi - fLo);
            if (secant > lo && secant < hi) v = secant;
        }
        if (!(v > lo && v < hi)) break;
        const double fv = f(v);
        if (fv < 0.0) {
            lo = v;
            fLo = fv;
            if (lastMoved < 0) fHi *= 0.5;
            lastMoved = -1;
        } else {
            hi = v;
            fHi = fv;
            if (lastMoved > 0) fLo *= 0.5;
            lastMoved = 1;
        }
    }
    return lo + 0.5 * (hi - lo);
}
