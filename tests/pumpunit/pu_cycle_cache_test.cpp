// The kept cycle of polished-rod positions must always be the one its inputs give now.
#include "pumpunit/pu_cycle_cache.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

#include "pu_test_units.h"
#include "pumpunit/pu_motion.h"

namespace {

struct CycleInputs {
    PumpingUnit pu;
    int32_t n;
    double dt;
};

std::vector<double> DirectPositions(const CycleInputs& in) {
    std::vector<double> positions;
    for (int32_t i = 0; i < in.n; ++i) positions.push_back(PuPolishedRodPosition(&in.pu, i, in.n, in.dt));
    return positions;
}

std::vector<double> CachedPositions(PuCycleCache* cache, const CycleInputs& in) {
    const double* p = PuCyclePositions(cache, &in.pu, in.n, in.dt);
    EXPECT_NE(p, nullptr);
    return p == nullptr ? std::vector<double>{} : std::vector<double>(p, p + in.n);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

CycleInputs BeamCycle() { return {DefaultUnitOfType('C'), 120, 0.05}; }

CycleInputs LongStrokeCycle() {
    CycleInputs in{DefaultUnitOfType('H'), 100, 0.1};
    in.pu.hUpTime = 4.0;
    in.pu.hTopEnd = 5.0;
    in.pu.hDownEnd = 9.0;
    in.pu.hDownTime = 4.0;
    return in;
}

struct KeyChange {
    const char* name;
    CycleInputs (*start)();
    std::function<void(CycleInputs&)> change;
};

}  // namespace

TEST(PuCycleCache, EveryInputOfTheMotionRenewsTheCycle) {
    const auto rederived = [](void (*edit)(PumpingUnit&)) {
        return [edit](CycleInputs& in) {
            edit(in.pu);
            DerivePuGeometry(&in.pu);
        };
    };
    const KeyChange cases[] = {
        {"HorseheadA", BeamCycle, rederived([](PumpingUnit& pu) { pu.A = 120.0; })},
        {"PitmanP", BeamCycle, rederived([](PumpingUnit& pu) { pu.P = 134.0; })},
        {"BeamC", BeamCycle, rederived([](PumpingUnit& pu) { pu.C = 112.0; })},
        {"CrankshaftI", BeamCycle, rederived([](PumpingUnit& pu) { pu.I = 105.0; })},
        {"CrankshaftK", BeamCycle, rederived([](PumpingUnit& pu) { pu.K = 176.0; })},
        {"CrankR", BeamCycle, rederived([](PumpingUnit& pu) { pu.R = 37.0; })},
        {"UnitType", BeamCycle, rederived([](PumpingUnit& pu) { pu.unitType = 'A'; })},
        {"PhaseAlone", BeamCycle, [](CycleInputs& in) { in.pu.phase += 0.1; }},
        {"BottomAngleAlone", BeamCycle, [](CycleInputs& in) { in.pu.thetaBottom += 0.01; }},
        {"PointCount", BeamCycle, [](CycleInputs& in) { in.n = 90; }},
        {"LongStrokeTimeStep", LongStrokeCycle, [](CycleInputs& in) { in.dt = 0.08; }},
        {"LongStrokeStroke", LongStrokeCycle, [](CycleInputs& in) { in.pu.polishedStroke = 120.0; }},
        {"LongStrokeUpTime", LongStrokeCycle, [](CycleInputs& in) { in.pu.hUpTime = 3.0; }},
        {"LongStrokeTopEnd", LongStrokeCycle, [](CycleInputs& in) { in.pu.hTopEnd = 6.0; }},
        {"LongStrokeDownEnd", LongStrokeCycle, [](CycleInputs& in) { in.pu.hDownEnd = 8.0; }},
        {"LongStrokeDownTime", LongStrokeCycle, [](CycleInputs& in) { in.pu.hDownTime = 3.0; }},
    };
    for (const KeyChange& c : cases) {
        SCOPED_TRACE(c.name);
        PuCycleCache cache;
        CycleInputs in = c.start();
        const std::vector<double> before = CachedPositions(&cache, in);
        c.change(in);
        const std::vector<double> after = CachedPositions(&cache, in);
        EXPECT_FALSE(SameBits(after, before));
        EXPECT_TRUE(SameBits(after, DirectPositions(in)));
    }
}

// Whatever byte of the unit a host or a derivation rewrites, the cycle is the one the unit gives.
TEST(PuCycleCache, AnyChangedByteOfTheUnitRenewsTheCycle) {
    for (CycleInputs (*start)() : {BeamCycle, LongStrokeCycle}) {
        int changedCycles = 0;
        for (size_t byte = 0; byte < sizeof(PumpingUnit); ++byte) {
            PuCycleCache cache;
            CycleInputs in = start();
            const std::vector<double> before = CachedPositions(&cache, in);
            reinterpret_cast<unsigned char*>(&in.pu)[byte] ^= 0x40;
            const std::vector<double> after = CachedPositions(&cache, in);
            ASSERT_TRUE(SameBits(after, DirectPositions(in))) << "byte " << byte;
            changedCycles += SameBits(after, before) ? 0 : 1;
        }
        EXPECT_GT(changedCycles, 8);
    }
}

TEST(PuCycleCache, UnchangedInputsKeepTheCycle) {
    PuCycleCache cache;
    const CycleInputs in = BeamCycle();
    const double* first = PuCyclePositions(&cache, &in.pu, in.n, in.dt);
    ASSERT_NE(first, nullptr);
    cache.positions[7] = -1.0;  // marks the kept cycle: a recomputation would overwrite it
    const CycleInputs same = BeamCycle();
    const double* second = PuCyclePositions(&cache, &same.pu, same.n, same.dt);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second[7], -1.0);
}

TEST(PuCycleCache, NoPointsGiveNothing) {
    PuCycleCache cache;
    const CycleInputs in = BeamCycle();
    ASSERT_NE(PuCyclePositions(&cache, &in.pu, in.n, in.dt), nullptr);
    for (int32_t n : {0, -3}) EXPECT_EQ(PuCyclePositions(&cache, &in.pu, n, in.dt), nullptr) << n;
    EXPECT_TRUE(SameBits(CachedPositions(&cache, in), DirectPositions(in)));
}
