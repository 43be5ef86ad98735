#include <gtest/gtest.h>

#include <cmath>

#include "pu_test_units.h"
#include "pumpunit/pu_linkage.h"

namespace {

struct LinkageCase {
    const char* name;
    PumpingUnit pu;
    double mirror;  // side of the K line the C arm lies on relative to the crank pin
};

std::vector<LinkageCase> BeamCases() {
    std::vector<LinkageCase> cases;
    for (int rotation : {1, -1}) {
        cases.push_back({"C default", DefaultUnitOfType('C', rotation), -1.0});
        cases.push_back({"R default", DefaultUnitOfType('R', rotation), -1.0});
        cases.push_back({"M default", DefaultUnitOfType('M', rotation), -1.0});
        cases.push_back({"A default", DefaultUnitOfType('A', rotation), 1.0});
        cases.push_back({"C compact", CompactUnitOfType('C', rotation), -1.0});
        cases.push_back({"M compact", CompactUnitOfType('M', rotation), -1.0});
        cases.push_back({"A compact", CompactUnitOfType('A', rotation), 1.0});
    }
    return cases;
}

}  // namespace

// Virtual work: torque at the crank = load times polished-rod velocity per crank radian.
TEST(PuLinkage, TorqueFactorIsPositionDerivativeTimesRotation) {
    const double h = 1e-5;
    for (const LinkageCase& c : BeamCases()) {
        SCOPED_TRACE(testing::Message() << c.name << " rotation " << c.pu.rotation);
        for (int deg = 0; deg < 360; deg += 5) {
            const double x = M_PI * deg / 180.0;
            const double slope =
                (PositionAtCrankAngle(c.pu, x + h) - PositionAtCrankAngle(c.pu, x - h)) / (2.0 * h);
            const CrankState cs = PuCrankState(&c.pu, deg);
            ASSERT_NEAR(cs.torqueFactor, c.pu.rotation * slope, 1e-5 * (1.0 + std::fabs(slope))) << deg;
        }
    }
}

// The beam angle and link distance must put the pitman pin exactly P from the crank pin.
TEST(PuLinkage, LinkageClosesAtEveryCrankAngle) {
    for (const LinkageCase& c : BeamCases()) {
        SCOPED_TRACE(c.name);
        const PumpingUnit& pu = c.pu;
        for (int deg = 0; deg < 360; deg += 10) {
            const double x = M_PI * deg / 180.0;
            const LinkageAngles link = PuLinkageAngles(&pu, x);
            const double phi = x - pu.phase;
            const double crankPinX = pu.K - pu.R * std::cos(phi);
            const double crankPinY = pu.R * std::sin(phi);
            const double pitmanPinX = pu.C * std::cos(link.beamAngle);
            const double pitmanPinY = c.mirror * pu.C * std::sin(link.beamAngle);
            EXPECT_NEAR(std::hypot(pitmanPinX - crankPinX, pitmanPinY - crankPinY), pu.P, 1e-9) << deg;
            EXPECT_NEAR(link.linkDistance, std::hypot(crankPinX, crankPinY), 1e-9) << deg;
        }
    }
}

TEST(PuLinkage, CrankStateReportsAngleInRadians) {
    const PumpingUnit pu = DefaultUnitOfType('C');
    const CrankState cs = PuCrankState(&pu, 135.0);
    EXPECT_NEAR(cs.crankAngle, 3.0 * M_PI / 4.0, 1e-15);
    const LinkageAngles link = PuLinkageAngles(&pu, cs.crankAngle);
    EXPECT_EQ(cs.beamAngle, link.beamAngle);
    EXPECT_EQ(cs.linkDistance, link.linkDistance);
}

TEST(PuLinkage, UnitsWithoutBeamHaveNoLinkage) {
    for (char type : {'H', 'X', 'B'}) {
        const PumpingUnit pu = DefaultUnitOfType(type);
        const LinkageAngles link = PuLinkageAngles(&pu, 1.0);
        EXPECT_EQ(link.beamAngle, 0.0) << type;
        EXPECT_EQ(link.linkDistance, 0.0) << type;
        EXPECT_EQ(PuCrankState(&pu, 40.0).torqueFactor, 0.0) << type;
    }
}
