#include "catalog/rod_weights.h"

#include <gtest/gtest.h>

#include <limits>

#include "log_capture.h"

TEST(RodWeights, ListedDiametersMatchExactly) {
    struct Case {
        double diameter, weight;
    };
    const Case cases[] = {{0.625, 1.13}, {0.75, 1.63},   {0.875, 2.224}, {1.0, 2.904}, {1.125, 3.67},
                          {1.25, 4.172}, {1.287, 1.552}, {1.5, 6.5},     {1.75, 8.2},  {2.0, 10.7}};
    LogCapture log;
    for (const Case& c : cases) EXPECT_EQ(GetRodWeightPerFoot(c.diameter), c.weight) << c.diameter;
    EXPECT_TRUE(log.lines.empty());
}

// A diameter that went through a unit conversion is off its row by rounding only.
TEST(RodWeights, DiametersWithinAMillionthOfAnInchMatchTheirRow) {
    struct Case {
        double diameter, weight;
    };
    const Case cases[] = {{1.4999999999999998, 6.5},   {22.225 / 25.4, 2.224}, {0.75 + 9e-7, 1.63},
                          {1.287 - 9e-7, 1.552},       {2.0 + 9.9e-7, 10.7},         {0.625 - 9.9e-7, 1.13}};
    LogCapture log;
    for (const Case& c : cases) EXPECT_EQ(GetRodWeightPerFoot(c.diameter), c.weight) << c.diameter;
    EXPECT_TRUE(log.lines.empty());
}

TEST(RodWeights, OtherDiametersAreUnsupported) {
    // 0.88 is 7/8 written with two digits: a real difference, not rounding.
    for (double diameter : {0.8, 0.0, -1.0, 0.88, 0.875 + 1.1e-6, 1.25 + 0.02,
                            std::numeric_limits<double>::quiet_NaN()}) {
        LogCapture log;
        EXPECT_EQ(GetRodWeightPerFoot(diameter), 999999.0) << diameter;
        EXPECT_EQ(log.Count("Unsupported Rod Diameter: "), 1u);
    }
}
