// Single steps of the pump end of the default predictive solver.
#include "engine/pump_boundary.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/fea_node.h"
#include "engine/pred_test_well.h"

namespace {

TEST(PredPumpBoundary, EachStateHasItsColour) {
    const struct {
        int32_t state;
        uint32_t colour;
    } table[] = {{Unset, 0xFFFF0000u},   {LoadPickup, 0xFF00FF00u}, {FullLoad, 0xFF0000FFu},
                 {LoadRelease, 0xFFFF00FFu}, {NoLoad, 0xFFFFFF00u},     {5, 0xFFF0F0F0u},
                 {-1, 0xFFF0F0F0u}};
    for (const auto& row : table) EXPECT_EQ(static_cast<uint32_t>(PumpStateColor(row.state)), row.colour) << row.state;
}

struct BoundaryBench {
    std::unique_ptr<TeskObj> obj = MakePredWell(PredWellInputs{});
    std::vector<double> next, current;
    int32_t M = obj->pred.FeaNodeCount;
    BoundaryBench() : next(obj->pred.FeaNodeCount + 1, 0.0), current(obj->pred.FeaNodeCount + 1, 0.0) {}
    double Step(int32_t i) {
        return PredPumpBoundaryNew(GatherPredSettings(obj.get()), &obj->pred, i, next.data(), current.data());
    }
    // Rod load at the pump for a pump displacement v with the rows as they stand.
    double PumpLoad(double v) {
        const FeaNode& last = obj->pred.nodes[M - 1];
        return (1.5 * v - 2 * next[M - 1] + 0.5 * next[M - 2]) * last.areaFt2 / last.dx * last.modulusPsf;
    }
};

TEST(PredPumpBoundary, FirstStepAtRestEntersPickup) {
    BoundaryBench b;
    b.obj->pred.pumpState = Unset;
    EXPECT_EQ(b.Step(7), 0.0);
    EXPECT_EQ(b.obj->pred.pumpState, LoadPickup);
    EXPECT_EQ(b.obj->pred.pump.eventIndex[LoadPickupEvent], 7);
}

TEST(PredPumpBoundary, FullLoadHoldsFoUntilThePlungerTurnsDown) {
    BoundaryBench b;
    b.next[b.M - 1] = 1.0;
    b.next[b.M - 2] = 1.0;
    b.obj->pred.pumpState = FullLoad;
    b.obj->pred.pump.stateLastPos[LoadPickupSlot] = 10.0;
    b.current[b.M] = 5.0;  // far below: the plunger moves up
    const double v = b.Step(3);
    EXPECT_NEAR(b.PumpLoad(v), b.obj->fo, 1e-9 * b.obj->fo);
    EXPECT_EQ(b.obj->pred.pumpState, FullLoad);
    b.current[b.M] = 0.0;  // above: the plunger moves down
    b.Step(4);
    EXPECT_EQ(b.obj->pred.pumpState, LoadRelease);
    EXPECT_EQ(b.obj->pred.pump.eventIndex[LoadReleaseEvent], 4);
}

TEST(PredPumpBoundary, ReleaseFallsBackToFullLoadWithoutAnEvent) {
    BoundaryBench b;
    b.obj->pred.pumpState = LoadRelease;
    b.obj->pred.pump.stateLastPos[FullLoadSlot] = 1.0;  // last full-load displacement below the new one
    b.obj->pred.pump.eventIndex[FullLoadEvent] = 55;
    b.Step(9);
    EXPECT_EQ(b.obj->pred.pumpState, FullLoad);
    EXPECT_EQ(b.obj->pred.pump.eventIndex[FullLoadEvent], 55);
}

TEST(PredPumpBoundary, PickupLoadGrowsWithPlungerTravelOverTheTubingStretch) {
    BoundaryBench b;
    const double fo = b.obj->fo;
    const double m = fo / (12.0 * b.obj->pred.tubings->Kt);  // ft
    b.obj->pred.pumpState = LoadPickup;
    b.obj->pred.pump.stateLastPos[NoLoadSlot] = 0.0;
    // Rods drawn up by half the stretch: the plunger follows part way and carries a share of fo.
    b.next[b.M - 1] = -0.5 * m;
    b.next[b.M - 2] = -0.5 * m;
    const double v = b.Step(1);
    EXPECT_LT(v, 0.0);
    EXPECT_NEAR(b.PumpLoad(v), fo / m * (0.0 - v), 1e-6 * fo);
    EXPECT_GT(b.PumpLoad(v), 0.0);
    EXPECT_LT(b.PumpLoad(v), fo);
}

// Rods that travel past the end of a ramp within one step take the plunger to that end, with
// the new state's event at this step: the load lands on fo or 0, never beyond.
TEST(PredPumpBoundary, RampsEndAtFoAndAtZeroWithinTheStep) {
    for (bool pickup : {true, false}) {
        BoundaryBench b;
        const double fo = b.obj->fo;
        const double m = fo / (12.0 * b.obj->pred.tubings->Kt);
        const double rods = pickup ? -10.0 * m : 10.0 * m;  // far beyond the ramp
        b.next[b.M - 1] = rods;
        b.next[b.M - 2] = rods;
        b.obj->pred.pumpState = pickup ? LoadPickup : LoadRelease;
        b.obj->pred.pump.stateLastPos[NoLoadSlot] = 0.0;
        b.obj->pred.pump.stateLastPos[FullLoadSlot] = 0.0;
        const double v = b.Step(12);
        EXPECT_NEAR(b.PumpLoad(v), pickup ? fo : 0.0, 1e-9 * fo) << pickup;
        EXPECT_EQ(b.obj->pred.pumpState, pickup ? FullLoad : NoLoad) << pickup;
        EXPECT_EQ(b.obj->pred.pump.eventIndex[pickup ? FullLoadEvent : NoLoadEvent], 12) << pickup;
    }
}

TEST(PredPumpBoundary, UnknownStateGivesZeroAndChangesNothing) {
    BoundaryBench b;
    b.obj->pred.pumpState = 9;
    b.next[b.M - 1] = 2.0;
    EXPECT_EQ(b.Step(1), 0.0);
    EXPECT_EQ(b.obj->pred.pumpState, 9);
    EXPECT_EQ(b.obj->pred.pump.eventIndex[LoadPickupEvent], 0);
}

TEST(PredPumpBoundary, CardWithoutNodesIsLeftAlone) {
    BoundaryBench b;
    b.obj->pred.pumpState = NoLoad;
    FeaNode* nodes = b.obj->pred.nodes;
    b.obj->pred.nodes = nullptr;
    EXPECT_EQ(b.Step(1), 0.0);
    EXPECT_EQ(b.obj->pred.pumpState, NoLoad);
    b.obj->pred.nodes = nodes;
}

}  // namespace
