#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "log_capture.h"
#include "pu_test_units.h"
#include "pumpunit/permissible_loads.h"
#include "pumpunit/pu_linkage.h"

namespace {

constexpr int kBeamPoints = 72;
constexpr double kUntouched = -12345.0;

struct Curve {
    std::vector<double> positions;
    std::vector<double> loads;
};

Curve BeamCurve(const PumpingUnit& pu, int arraySize = kBeamPoints, int count = kBeamPoints) {
    Curve c{std::vector<double>(arraySize, kUntouched), std::vector<double>(arraySize, kUntouched)};
    EXPECT_TRUE(CalcPermissibleLoadBeam(&pu, c.positions.data(), c.loads.data(), count));
    return c;
}

PumpingUnit AirUnit(int rotation) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.unitType = 'A';
    pu.rotation = rotation;
    pu.airPressure = 250.0;
    pu.airPressureBase = 30.0;
    pu.airArea = 80.0;
    DerivePuGeometry(&pu);
    return pu;
}

PumpingUnit ChainUnit() {
    PumpingUnit pu = DefaultUnitOfType('X');
    pu.xRadius = 12.0;
    pu.xStraight = 240.0;
    DerivePuGeometry(&pu);  // the chain inputs survive a derivation; only a reset clears them
    return pu;
}

}  // namespace

TEST(PermissibleLoads, DefaultUnitReferencePoints) {
    const Curve c = BeamCurve(DefaultUnitOfType('C'));
    struct Point {
        int degrees;
        double position;  // NaN: not checked
        double load;
    };
    const double unchecked = std::numeric_limits<double>::quiet_NaN();
    for (const Point& p : {Point{0, 0.0482, -125452.47}, Point{30, unchecked, 21458.18}, Point{90, 57.3486, 22157.47},
                           Point{150, unchecked, 29800.0}, Point{180, 100.4650, 29800.0},
                           Point{210, unchecked, 2424.10}, Point{270, 57.7100, 8156.32}}) {
        const int k = p.degrees / 5;
        if (!std::isnan(p.position)) {
            EXPECT_NEAR(c.positions[k], p.position, 1e-4) << p.degrees;
        }
        EXPECT_NEAR(c.loads[k], p.load, 1e-2) << p.degrees;
    }
}

// Where the structure cap does not bind, the load uses the gearbox rating exactly:
// (load - unbalance) * TF - counterbalance torque = rating.
TEST(PermissibleLoads, UncappedPointsLoadTheGearboxToItsRating) {
    const std::pair<const char*, PumpingUnit> cases[] = {
        {"C", DefaultUnitOfType('C')},      {"C reversed", DefaultUnitOfType('C', -1)},
        {"R", DefaultUnitOfType('R')},      {"M", DefaultUnitOfType('M')},
        {"M reversed", DefaultUnitOfType('M', -1)}, {"A", AirUnit(1)},
        {"A reversed", AirUnit(-1)},        {"C compact", CompactUnitOfType('C')},
    };
    for (const auto& [name, pu] : cases) {
        SCOPED_TRACE(name);
        const Curve c = BeamCurve(pu);
        int uncapped = 0;
        for (int k = 0; k < kBeamPoints; ++k) {
            ASSERT_LE(c.loads[k], pu.structureRating) << k;
            if (c.loads[k] == pu.structureRating) continue;
            ++uncapped;
            const CrankState cs = PuCrankState(&pu, 5.0 * k);
            const double cbTorque = pu.rotation * pu.maxCbMoment * std::sin(cs.crankAngle);
            EXPECT_NEAR((c.loads[k] - pu.structUnbalance) * cs.torqueFactor - cbTorque, pu.gearboxRating,
                        1e-6 * pu.gearboxRating)
                << k;
            EXPECT_NEAR(c.positions[k], PositionAtCrankAngle(pu, cs.crankAngle), 1e-9) << k;
        }
        EXPECT_GT(uncapped, 10);
    }
}

TEST(PermissibleLoads, ConventionalAndReverseUnitsGiveTheSameCurve) {
    const Curve conventional = BeamCurve(DefaultUnitOfType('C'));
    const Curve reverse = BeamCurve(DefaultUnitOfType('R'));
    EXPECT_EQ(conventional.positions, reverse.positions);
    EXPECT_EQ(conventional.loads, reverse.loads);
}

TEST(PermissibleLoads, BeamRuleWritesAtMostTheCallersCount) {
    struct Case {
        int count;
        int written;
        bool logged;
    };
    const PumpingUnit pu = DefaultUnitOfType('C');
    for (const Case& c : {Case{72, 72, false}, Case{10, 10, true}, Case{100, 72, true}, Case{0, 0, true},
                          Case{-3, 0, true}}) {
        SCOPED_TRACE(c.count);
        LogCapture log;
        const Curve curve = BeamCurve(pu, 110, c.count);
        EXPECT_EQ(log.Contains("Error: CalcPermissibleLoadBeam array size"), c.logged);
        for (int k = 0; k < 110; ++k) {
            EXPECT_EQ(curve.loads[k] != kUntouched, k < c.written) << k;
            EXPECT_EQ(curve.positions[k] != kUntouched, k < c.written) << k;
        }
    }
}

TEST(PermissibleLoads, UnknownTypeIsCappedFlatAtZeroPosition) {
    const Curve c = BeamCurve(DefaultUnitOfType('B'));
    for (int k = 0; k < kBeamPoints; ++k) {
        EXPECT_EQ(c.loads[k], 29800.0);
        EXPECT_EQ(c.positions[k], 0.0);
    }
}

TEST(PermissibleLoads, ImpossibleGeometryGivesNaNPositionsAndCappedLoads) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.R = 400.0;
    DerivePuGeometry(&pu);
    const Curve c = BeamCurve(pu);
    for (int k = 0; k < kBeamPoints; ++k) {
        EXPECT_TRUE(std::isnan(c.positions[k]));
        EXPECT_EQ(c.loads[k], pu.structureRating);
    }
}

TEST(PermissibleLoads, LongStrokeUnitIsFlatAtRoundedStructureRating) {
    struct Case {
        double rating;
        double load;
    };
    for (const Case& c : {Case{29800.0, 29800.0}, Case{29800.5, 29801.0}, Case{-2.5, -3.0}}) {
        PumpingUnit pu = DefaultUnitOfType('H');
        pu.structureRating = c.rating;
        double positions[4], loads[4];
        ASSERT_TRUE(CalcPermissibleLoadBeam(&pu, positions, loads, 4));
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(positions[i], 25.0 * i);
            EXPECT_EQ(loads[i], c.load);
        }
    }
}

TEST(PermissibleLoads, ChainUnitWithoutInputsIsFlatAtZero) {
    const PumpingUnit pu = DefaultUnitOfType('X');
    double positions[9], loads[9];
    ASSERT_TRUE(CalcPermissibleLoadBeam(&pu, positions, loads, 9));
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(positions[i], 0.0);
        EXPECT_EQ(loads[i], pu.structureRating);
    }
}

// Virtual work on the chain: where the arm is positive and no cap binds, load times
// d(position)/d(angle) equals the gearbox rating; positions stay within the stroke.
TEST(PermissibleLoads, ChainUnitLoadsTheGearboxToItsRating) {
    PumpingUnit pu = ChainUnit();
    pu.structureRating = 1e9;
    const int n = 4000;
    std::vector<double> positions(n), loads(n);
    ASSERT_TRUE(CalcPermissibleLoadTypeX(&pu, positions.data(), loads.data(), n));
    const double step = pu.xCycleAngle / n;
    const double h = M_PI / 2.0;
    const double half = pu.xCycleAngle / 2.0;
    const double segmentEnds[] = {h, half - h, half + h, pu.xCycleAngle - h};
    auto nearSegmentEnd = [&](double theta) {
        return std::any_of(std::begin(segmentEnds), std::end(segmentEnds),
                           [&](double end) { return std::fabs(theta - end) < 2.0 * step; });
    };
    int checked = 0;
    for (int i = 1; i + 1 < n; ++i) {
        ASSERT_GE(positions[i], 0.0) << i;
        ASSERT_LE(positions[i], pu.xStroke + 1e-9) << i;
        const double slope = (positions[i + 1] - positions[i - 1]) / (2.0 * step);
        if (slope < 1.0 || nearSegmentEnd(i * step)) continue;
        EXPECT_NEAR(loads[i] * slope, pu.gearboxRating, 1e-4 * pu.gearboxRating) << i;
        ++checked;
    }
    EXPECT_GT(checked, 500);
    EXPECT_NEAR(*std::max_element(positions.begin(), positions.end()), pu.xStroke, 1e-3);
}

TEST(PermissibleLoads, ChainUnitFloorsAtZeroButKeepsNaN) {
    PumpingUnit pu = ChainUnit();
    pu.xLoadConstA = -1e9;
    double positions[20], loads[20];
    CalcPermissibleLoadTypeX(&pu, positions, loads, 20);
    for (int i = 0; i < 20; ++i) EXPECT_GE(loads[i], 0.0) << i;
    pu.gearboxRating = std::numeric_limits<double>::quiet_NaN();
    pu.xLoadConstA = 0.0;
    CalcPermissibleLoadTypeX(&pu, positions, loads, 20);
    for (int i = 1; i < 20; ++i) EXPECT_TRUE(std::isnan(loads[i])) << i;
}

TEST(PermissibleLoads, BandBlanksOutsideAndKeepsBounds) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double minLoad;
        double maxLoad;
        std::vector<bool> blanked;
    };
    const std::vector<double> loads = {-1.0, 0.0, 5.0, 10.0, 11.0};
    for (const Case& c : {Case{0.0, 10.0, {true, false, false, false, true}},
                          Case{5.0, 5.0, {true, true, false, true, true}},
                          Case{0.0, inf, {false, false, false, false, false}},
                          Case{nan, 10.0, {false, false, false, false, false}},
                          Case{-inf, 10.0, {false, false, false, false, false}}}) {
        std::vector<double> band = loads;
        BlankLoadsOutsideBand(band.data(), static_cast<int>(band.size()), c.minLoad, c.maxLoad);
        for (size_t i = 0; i < band.size(); ++i) {
            EXPECT_EQ(std::isnan(band[i]), c.blanked[i]) << c.minLoad << " " << c.maxLoad << " " << i;
            if (!c.blanked[i]) {
                EXPECT_EQ(band[i], loads[i]);
            }
        }
    }
}
