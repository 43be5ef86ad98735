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

// Field files write diameters to two decimals, and unit conversions round: both land within
// half a hundredth of an inch of their row.
TEST(RodWeights, DiametersWithinHalfAHundredthMatchTheirRow) {
    struct Case {
        double diameter, weight;
    };
    const Case cases[] = {{0.88, 2.224},  {0.63, 1.13},   {1.13, 3.67},  {0.62, 1.13},
                          {1.29, 1.552},  {1.28, 999999}, {0.8749, 2.224}, {22.225 / 25.4, 2.224},
                          {1.4999999999999998, 6.5},      {2.005, 10.7},   {0.745, 1.63}};
    LogCapture log;
    for (const Case& c : cases) EXPECT_EQ(GetRodWeightPerFoot(c.diameter), c.weight) << c.diameter;
    EXPECT_EQ(log.Count("Unsupported Rod Diameter: "), 1u) << "1.28 lies between the 1.25 and 1.287 rows";
}

TEST(RodWeights, OtherDiametersAreUnsupported) {
    // 0.881 and 0.93 are beyond two-decimal rounding of any row.
    for (double diameter : {0.8, 0.0, -1.0, 0.881, 0.93, 0.875 + 0.0051, 1.25 + 0.02, 2.0051,
                            std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        LogCapture log;
        EXPECT_EQ(GetRodWeightPerFoot(diameter), 999999.0) << diameter;
        EXPECT_EQ(log.Count("Unsupported Rod Diameter: "), 1u);
    }
}
