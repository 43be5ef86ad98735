// Both predictive solvers take the pumping unit's positions kept from an earlier solve: a well
// solved before an input changes must give, after the change, the card of a well that never saw
// the old input.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/legacy_pred_solver.h"
#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"

namespace {

void EditUnit(TeskObj* obj, void (*edit)(PuInfo_t&)) {
    PuInfo_t info = GetPuInfo(obj);
    edit(info);
    ASSERT_EQ(SetPuInfo(obj, info), 1);
}

bool Solve(TeskObj* obj, bool legacy) {
    const PredSettings settings = GatherPredSettings(obj);
    return legacy ? CalcWavePred(settings, &obj->pred) : CalcWavePredNew(settings, &obj->pred);
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

struct InputChange {
    const char* name;
    void (*change)(TeskObj*);
};

const InputChange kChanges[] = {
    {"horsehead", [](TeskObj* o) { EditUnit(o, [](PuInfo_t& pu) { pu.A = 120.0; }); }},
    {"crank radius", [](TeskObj* o) { EditUnit(o, [](PuInfo_t& pu) { pu.R = 37.0; }); }},
    {"crankshaft offset, the phase", [](TeskObj* o) { EditUnit(o, [](PuInfo_t& pu) { pu.I = 105.0; }); }},
    {"unit type", [](TeskObj* o) { EditUnit(o, [](PuInfo_t& pu) { pu.unitType = 'A'; }); }},
    {"speed, the point count",
     [](TeskObj* o) {
         SetCardSpm(&o->pred, 7.0);
         PrepareCard(&o->pred);
     }},
    {"string length, the time step and point count",
     [](TeskObj* o) {
         const std::vector<TaperBase_t> tapers = ThreeTaperString(4000.0);
         SetCardTapers(&o->pred, tapers.data(), static_cast<int32_t>(tapers.size()), 1.0);
         PrepareCard(&o->pred);
     }},
    {"measured card instead of the unit", [](TeskObj* o) { DriveByCard(o, SmoothCard(200, 8000).pos, 8); }},
};

class PredUnitCycle : public ::testing::TestWithParam<bool> {};

TEST_P(PredUnitCycle, EveryChangedInputOfTheUnitMotionReachesTheNextSolve) {
    PredWellInputs inputs;
    inputs.legacy = GetParam();
    for (const InputChange& c : kChanges) {
        SCOPED_TRACE(c.name);
        LogCapture quiet;
        auto warm = MakePredWell(inputs);
        ASSERT_TRUE(Solve(warm.get(), inputs.legacy));
        const CardView before = ViewPred(*warm);
        c.change(warm.get());
        ASSERT_TRUE(Solve(warm.get(), inputs.legacy));
        auto fresh = MakePredWell(inputs);
        c.change(fresh.get());
        ASSERT_TRUE(Solve(fresh.get(), inputs.legacy));
        const CardView after = ViewPred(*warm);
        const CardView expected = ViewPred(*fresh);
        EXPECT_FALSE(SameBits(after.surfacePos, before.surfacePos) && SameBits(after.pumpLoad, before.pumpLoad));
        EXPECT_TRUE(SameBits(after.surfacePos, expected.surfacePos));
        EXPECT_TRUE(SameBits(after.surfaceLoad, expected.surfaceLoad));
        EXPECT_TRUE(SameBits(after.pumpLoad, expected.pumpLoad));
    }
}

INSTANTIATE_TEST_SUITE_P(Solvers, PredUnitCycle, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Legacy" : "New"; });

}  // namespace
