#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "log_capture.h"
#include "pu_test_units.h"
#include "pumpunit/pu_motion.h"

namespace {

struct Span {
    double min;
    double max;
};

Span PositionSpan(const PumpingUnit& pu, int n) {
    Span s{HUGE_VAL, -HUGE_VAL};
    for (int i = 0; i < n; ++i) {
        const double p = PuPolishedRodPosition(&pu, i, n, 0.01);
        s.min = std::min(s.min, p);
        s.max = std::max(s.max, p);
    }
    return s;
}

PumpingUnit LongStrokeUnit() {
    PumpingUnit pu = DefaultUnitOfType('H');
    pu.hUpTime = 4.0;
    pu.hTopEnd = 5.0;
    pu.hDownEnd = 9.0;
    pu.hDownTime = 4.0;
    return pu;
}

}  // namespace

TEST(PuMotion, DefaultUnitReferencePositions) {
    const PumpingUnit pu = DefaultUnitOfType('C');
    const double expected[8] = {0.0482, 18.1919, 57.3486, 87.3037, 100.4650, 91.0355, 57.7100, 19.3889};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(PuPolishedRodPosition(&pu, i, 8, 0.0), expected[i], 1e-4) << i;
}

// One crank revolution sweeps the polished rod from the bottom (0) to the full stroke.
TEST(PuMotion, RevolutionSpansExactlyTheStroke) {
    const std::pair<const char*, PumpingUnit> cases[] = {
        {"C", DefaultUnitOfType('C')},         {"R", DefaultUnitOfType('R')},
        {"M", DefaultUnitOfType('M')},         {"A", DefaultUnitOfType('A')},
        {"C compact", CompactUnitOfType('C')}, {"M compact", CompactUnitOfType('M')},
        {"A compact", CompactUnitOfType('A')}, {"C reversed", DefaultUnitOfType('C', -1)},
    };
    for (const auto& [name, pu] : cases) {
        SCOPED_TRACE(name);
        const Span s = PositionSpan(pu, 7200);
        EXPECT_NEAR(s.min, 0.0, 1e-3);
        EXPECT_NEAR(s.max, pu.polishedStroke, 1e-3);
    }
}

// More points than degrees in a turn still sweep the whole stroke (no integer step of 0).
TEST(PuMotion, FinePointCountsStillSweepTheStroke) {
    const PumpingUnit pu = DefaultUnitOfType('C');
    for (int n : {7, 361, 720, 1000}) {
        const Span s = PositionSpan(pu, n);
        EXPECT_GT(s.max - s.min, 0.9 * pu.polishedStroke) << n;
        EXPECT_NEAR(PuPolishedRodPosition(&pu, 1, n, 0.0), PositionAtCrankAngle(pu, 2.0 * M_PI / n), 1e-9) << n;
    }
}

TEST(PuMotion, RunningIndexRepeatsEveryCycle) {
    const PumpingUnit beam = DefaultUnitOfType('M');
    const PumpingUnit longStroke = LongStrokeUnit();
    const int n = 50;
    for (int i : {0, 7, 33, 49}) {
        EXPECT_NEAR(PuPolishedRodPosition(&beam, i + 3 * n, n, 0.2), PuPolishedRodPosition(&beam, i, n, 0.2), 1e-9);
        EXPECT_EQ(PuPolishedRodPosition(&longStroke, i + 3 * n, n, 0.2),
                  PuPolishedRodPosition(&longStroke, i, n, 0.2));
    }
}

TEST(PuMotion, ScalingEveryLengthScalesPositions) {
    for (char type : {'C', 'R', 'M', 'A'}) {
        const PumpingUnit base = DefaultUnitOfType(type);
        const PumpingUnit scaled = ScaledDefaultUnit(type, 2.5);
        for (int i = 0; i < 36; ++i) {
            EXPECT_NEAR(PuPolishedRodPosition(&scaled, i, 36, 0.0), 2.5 * PuPolishedRodPosition(&base, i, 36, 0.0),
                        1e-9)
                << type << " " << i;
        }
    }
}

TEST(PuMotion, LongStrokeUnitRampsDwellsAndReturns) {
    const PumpingUnit pu = LongStrokeUnit();  // stroke 100 in, cycle of 10 s
    const int n = 100;
    const double dt = 0.1;
    struct Case {
        int i;
        double position;
    };
    for (const Case& c : {Case{0, 0.0}, Case{20, 50.0}, Case{40, 100.0}, Case{45, 100.0}, Case{50, 100.0},
                          Case{70, 50.0}, Case{90, 0.0}, Case{95, 0.0}}) {
        EXPECT_NEAR(PuPolishedRodPosition(&pu, c.i, n, dt), c.position, 1e-9) << c.i;
    }
}

TEST(PuMotion, LongStrokeUnitWithoutTimesIsNaNAtCycleStartOnly) {
    const PumpingUnit pu = DefaultUnitOfType('H');
    EXPECT_TRUE(std::isnan(PuPolishedRodPosition(&pu, 0, 10, 0.5)));
    EXPECT_TRUE(std::isnan(PuPolishedRodPosition(&pu, 10, 10, 0.5)));
    for (int i = 1; i < 10; ++i) EXPECT_EQ(PuPolishedRodPosition(&pu, i, 10, 0.5), 0.0) << i;
}

TEST(PuMotion, ChainUnitAndUnknownTypesStayAtZero) {
    for (char type : {'X', 'B'}) {
        const PumpingUnit pu = DefaultUnitOfType(type);
        for (int i = 0; i < 10; ++i) EXPECT_EQ(PuPolishedRodPosition(&pu, i, 10, 0.5), 0.0) << type;
    }
}

TEST(PuMotion, NonPositivePointCountGivesZeroAndLogs) {
    const PumpingUnit beam = DefaultUnitOfType('C');
    const PumpingUnit longStroke = LongStrokeUnit();
    for (int n : {0, -5}) {
        LogCapture log;
        EXPECT_EQ(PuPolishedRodPosition(&beam, 3, n, 0.1), 0.0);
        EXPECT_EQ(PuPolishedRodPosition(&longStroke, 3, n, 0.1), 0.0);
        EXPECT_EQ(log.Count("PuPolishedRodPosition needs a positive point count"), 2u);
    }
}
