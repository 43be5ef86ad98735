// The bracketed root that places the plunger on a fillage curve: whatever the shape of the
// function, the result must be the sign change to 1e-12.
#include "engine/pred_root.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

TEST(PredRoot, FindsTheSignChangeWhateverTheShape) {
    struct Case {
        const char* name;
        std::function<double(double)> f;
        double lo, hi, root;
    };
    const double cubeRootOfTwo = std::cbrt(2.0);
    const Case cases[] = {
        {"straight line", [](double v) { return 3.0 * (v - 0.7); }, 0.0, 2.0, 0.7},
        {"cubic", [](double v) { return v * v * v - 2.0; }, 0.0, 2.0, cubeRootOfTwo},
        {"steep logistic", [](double v) { return std::tanh(500.0 * (v - 0.3)); }, 0.0, 1.0, 0.3},
        // A jump of 300 decades: false position alone creeps up from the low end.
        {"huge step", [](double v) { return v < 0.41 ? -1.0 : 1e300; }, 0.0, 1.0, 0.41},
        {"kink into a flat stretch", [](double v) { return v < 0.05 ? v - 0.05 : 1e-6 * (v - 0.05); }, -3.0, 4.0,
         0.05},
        {"displacements in feet near the pump", [](double v) { return std::exp(40.0 * (v - 812.25)) - 1.0; }, 812.0,
         812.5, 812.25},
    };
    for (const Case& c : cases) {
        const double v = RootInBracket(c.f, c.lo, c.hi);
        EXPECT_NEAR(v, c.root, 1e-12) << c.name;
        EXPECT_GE(v, c.lo) << c.name;
        EXPECT_LE(v, c.hi) << c.name;
    }
}

TEST(PredRoot, EndsThatAlreadyDecideReturnThatEnd) {
    const auto rising = [](double v) { return v - 5.0; };
    EXPECT_EQ(RootInBracket(rising, 6.0, 9.0), 6.0);  // not negative at the low end
    EXPECT_EQ(RootInBracket(rising, 1.0, 2.0), 2.0);  // still negative at the high end
    const auto notANumber = [](double) { return NAN; };
    EXPECT_EQ(RootInBracket(notANumber, 1.0, 2.0), 1.0);
}

TEST(PredRoot, HugeOrEndlessBracketsStillEnd) {
    const auto rising = [](double v) { return v; };
    EXPECT_NEAR(RootInBracket(rising, -1e300, 1e300), 0.0, 1e-12);
    EXPECT_FALSE(std::isnan(RootInBracket(rising, -1.0, INFINITY)));
}

}  // namespace
