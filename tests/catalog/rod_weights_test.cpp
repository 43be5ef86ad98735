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

TEST(RodWeights, OtherDiametersAreUnsupported) {
    for (double diameter : {0.8, 0.0, -1.0, 0.8750001, std::numeric_limits<double>::quiet_NaN()}) {
        LogCapture log;
        EXPECT_EQ(GetRodWeightPerFoot(diameter), 999999.0) << diameter;
        EXPECT_EQ(log.Count("Unsupported Rod Diameter: "), 1u);
    }
}
