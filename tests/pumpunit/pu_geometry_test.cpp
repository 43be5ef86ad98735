#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

#include "log_capture.h"
#include "pu_test_units.h"
#include "pumpunit/pu_linkage.h"

TEST(PuGeometry, DefaultUnitHasReferenceGeometry) {
    const PumpingUnit pu = DefaultUnitOfType('C');
    EXPECT_NEAR(pu.phase, 0.6845165, 1e-7);
    EXPECT_NEAR(pu.thetaBottom, 1.2342303, 1e-7);
    EXPECT_NEAR(pu.thetaTop, 0.4535413, 1e-7);
    EXPECT_NEAR(pu.polishedStroke, 100.70887, 1e-5);
    EXPECT_NEAR(pu.tf90, 47.48148, 1e-5);
    EXPECT_NEAR(pu.maxCbMoment, 705954.68, 1e-2);
}

// The stroke limits are the beam angles where pitman and crank line up: there the
// pitman pin is P + R (or P - R) from the crankshaft.
TEST(PuGeometry, StrokeLimitsAreTheDeadPoints) {
    for (char type : {'C', 'R', 'M', 'A'}) {
        SCOPED_TRACE(type);
        const PumpingUnit pu = DefaultUnitOfType(type);
        const bool classOne = type == 'C' || type == 'R';
        const double stretchedAngle = classOne ? pu.thetaBottom : pu.thetaTop;
        const double foldedAngle = classOne ? pu.thetaTop : pu.thetaBottom;
        auto pinToCrankshaft = [&](double beamAngle) {
            return std::hypot(pu.C * std::cos(beamAngle) - pu.K, pu.C * std::sin(beamAngle));
        };
        EXPECT_NEAR(pinToCrankshaft(stretchedAngle), pu.P + pu.R, 1e-9);
        EXPECT_NEAR(pinToCrankshaft(foldedAngle), pu.P - pu.R, 1e-9);
        EXPECT_NEAR(pu.polishedStroke, std::fabs(pu.thetaBottom - pu.thetaTop) * pu.A, 1e-9);
        EXPECT_GT(pu.polishedStroke, 0.0);
    }
}

TEST(PuGeometry, TorqueFactorAt90DegreesIsStored) {
    for (char type : {'C', 'R', 'M', 'A'}) {
        const PumpingUnit pu = DefaultUnitOfType(type);
        EXPECT_DOUBLE_EQ(pu.tf90, PuCrankState(&pu, 90.0).torqueFactor) << type;
    }
}

TEST(PuGeometry, CounterbalanceMomentIsNetEffectTimesTf90) {
    for (char type : {'C', 'R', 'M'}) {
        const PumpingUnit pu = DefaultUnitOfType(type);
        EXPECT_NEAR(pu.maxCbMoment, std::fabs((pu.cbe - pu.structUnbalance) * pu.tf90), 1e-6) << type;
    }
}

TEST(PuGeometry, AirBalancedUnitTakesCounterbalanceFromAir) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.unitType = 'A';
    pu.airPressure = 300.0;
    pu.airPressureBase = 100.0;
    pu.airArea = 50.0;
    pu.rotation = -1;
    EXPECT_TRUE(DerivePuGeometry(&pu));
    EXPECT_DOUBLE_EQ(pu.structUnbalance, 5000.0);
    EXPECT_DOUBLE_EQ(pu.cbe, 10000.0);
    // Signed: no absolute value for air units, so the rotation shows through tf90.
    EXPECT_LT(pu.tf90, 0.0);
    EXPECT_DOUBLE_EQ(pu.maxCbMoment, 5000.0 * pu.tf90);
}

TEST(PuGeometry, AirBalancedUnitWithDefaultAirHasNoCounterbalance) {
    const PumpingUnit pu = DefaultUnitOfType('A');
    EXPECT_EQ(pu.cbe, 0.0);
    EXPECT_EQ(pu.structUnbalance, 0.0);
    EXPECT_EQ(pu.maxCbMoment, 0.0);
}

TEST(PuGeometry, UnitsWithoutBeamLogTheirLetterAndTakeTheirOwnStroke) {
    struct Case {
        char type;
        double stroke;
    };
    for (const Case& c : {Case{'H', 100.0}, Case{'X', 0.0}, Case{'B', 0.0}}) {
        SCOPED_TRACE(c.type);
        LogCapture log;
        const PumpingUnit pu = DefaultUnitOfType(c.type);
        EXPECT_EQ(log.Count("Unsupported Pumping Unit Type"), 1u);
        EXPECT_TRUE(log.Contains(std::string("Unsupported Pumping Unit Type: ") + c.type));
        EXPECT_EQ(pu.thetaBottom, 0.0);
        EXPECT_EQ(pu.thetaTop, 0.0);
        EXPECT_EQ(pu.maxCbMoment, 0.0);
        EXPECT_EQ(pu.polishedStroke, c.stroke);
        EXPECT_EQ(pu.tf90, 0.0);
    }
}

TEST(PuGeometry, TypeXWithoutChainInputsHasNaNCycleAngle) {
    const PumpingUnit pu = DefaultUnitOfType('X');
    EXPECT_EQ(pu.xCycleLength, 0.0);
    EXPECT_TRUE(std::isnan(pu.xCycleAngle));
    EXPECT_EQ(pu.xStroke, 0.0);
}

TEST(PuGeometry, TypeXCycleFollowsChainInputs) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.unitType = 'X';
    pu.xRadius = 10.0;
    pu.xStraight = 200.0;
    DerivePuGeometry(&pu);
    EXPECT_NEAR(pu.xCycleLength, 2.0 * M_PI * 10.0 + 400.0, 1e-9);
    EXPECT_NEAR(pu.xCycleAngle, pu.xCycleLength / 10.0, 1e-12);
    EXPECT_DOUBLE_EQ(pu.xStroke, 220.0);
    EXPECT_DOUBLE_EQ(pu.polishedStroke, 220.0);
}

TEST(PuGeometry, ImpossibleGeometryGivesNaNWithoutMessage) {
    LogCapture log;
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.I = pu.K + 1.0;  // crankshaft offset beyond its distance from the pivot
    pu.R = 500.0;       // crank longer than the linkage can follow
    EXPECT_TRUE(DerivePuGeometry(&pu));
    EXPECT_TRUE(std::isnan(pu.phase));
    EXPECT_TRUE(std::isnan(pu.polishedStroke));
    EXPECT_TRUE(log.lines.empty());
}

TEST(PuGeometry, ScalingEveryLengthKeepsAnglesAndScalesStroke) {
    const double lambda = 1.7;
    for (char type : {'C', 'R', 'M', 'A'}) {
        SCOPED_TRACE(type);
        const PumpingUnit base = DefaultUnitOfType(type);
        const PumpingUnit scaled = ScaledDefaultUnit(type, lambda);
        EXPECT_NEAR(scaled.phase, base.phase, 1e-12);
        EXPECT_NEAR(scaled.thetaBottom, base.thetaBottom, 1e-12);
        EXPECT_NEAR(scaled.polishedStroke, lambda * base.polishedStroke, 1e-9);
        EXPECT_NEAR(scaled.tf90, lambda * base.tf90, 1e-9);
    }
}

TEST(PuGeometry, ResetClearsDerivedPartButKeepsStrokeAndDescription) {
    PumpingUnit pu = DefaultUnitOfType('C');
    pu.xRadius = 3.0;
    pu.hUpTime = 2.0;
    pu.crankOffset = 0.1;
    const PumpingUnit before = pu;
    ResetPuDerived(&pu);
    EXPECT_EQ(pu.polishedStroke, before.polishedStroke);
    EXPECT_EQ(pu.A, before.A);
    EXPECT_EQ(pu.cbe, before.cbe);
    EXPECT_EQ(pu.unitType, before.unitType);
    for (double field : {pu.xRadius, pu.xStraight, pu.xLoadConstA, pu.xLoadConstB, pu.xLoadSlope, pu.hUpTime,
                         pu.hDownTime, pu.hTopEnd, pu.hDownEnd, pu.phase, pu.cSquared, pu.kSquared, pu.pSquared,
                         pu.rSquared, pu.twoCK, pu.thetaBottom, pu.thetaTop, pu.crankOffset, pu.maxCbMoment, pu.tf90,
                         pu.xCycleLength, pu.xCycleAngle, pu.xStroke}) {
        EXPECT_EQ(field, 0.0);
    }
}
