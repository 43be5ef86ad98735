#include "common/constants.h"

#include <gtest/gtest.h>

#include <cmath>

// The solvers' results were built on π as 4·atan(1); the named constant must not move a bit.
TEST(Constants, PiIsTheSolversOwnPiToTheLastBit) {
    EXPECT_EQ(kPi, 4.0 * std::atan(1.0));
    EXPECT_EQ(kPi, M_PI);
    EXPECT_EQ(2.0 * kPi, std::atan(1.0) * 4 * 2);
}

TEST(Constants, InchesPerFootDownIsTheCardsSignConvention) {
    // One foot of downward rod displacement reads as twelve inches lower on the card.
    EXPECT_EQ(kInchesPerFootDown * 1.0, -12.0);
    EXPECT_EQ(kSquareInchesPerSquareFoot, kInchesPerFoot * kInchesPerFoot);
}
