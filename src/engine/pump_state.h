#pragma once
#include <cstdint>

// State of the downhole pump during a predictive solve; both predictive solvers use it.
enum PumpState : int32_t {
    Unset = 0,        // before the first boundary step of a solve
    LoadPickup = 1,   // rod load at the pump rising from 0 toward fo
    FullLoad = 2,     // rod load at the pump equal to fo
    LoadRelease = 3,  // rod load at the pump falling from fo toward 0
    NoLoad = 4,       // rod load at the pump 0
};

// The events of a pump stroke, each the moment the pump enters the state of that name; they
// index the event records of PumpSolveState.
enum PumpEvent : int32_t {
    LoadPickupEvent = 0,
    FullLoadEvent = 1,
    LoadReleaseEvent = 2,
    NoLoadEvent = 3,
};
constexpr int32_t kPumpEventCount = 4;

// Which state's last pump displacement each entry of PumpSolveState::stateLastPos holds.
enum PumpStateSlot : int32_t {
    NoLoadSlot = 0,
    LoadPickupSlot = 1,
    FullLoadSlot = 2,
    LoadReleaseSlot = 3,
};
constexpr int32_t kPumpStateSlotCount = 4;

// What the pump end of a predictive solve leaves behind besides the card: where and at which
// point each event last happened, and the state the pump end carries from step to step.
struct PumpSolveState {
    double eventPos[kPumpEventCount] = {0, 0, 0, 0};   // ft, rod displacement at the event
    int32_t eventIndex[kPumpEventCount] = {0, 0, 0, 0};  // point (legacy solver: running step)
    // The pump displacement of the last step spent in no load, pickup, full load and release.
    double stateLastPos[kPumpStateSlotCount] = {0, 0, 0, 0};
    int32_t legacyPumpState = 0;  // the legacy solver's pump state; its card's pumpState stays Unset
};

// Notes that the event happened at rod displacement `position` at point (or running step) i.
inline void RecordPumpEvent(PumpSolveState* pump, PumpEvent event, double position, int32_t i) {
    pump->eventPos[event] = position;
    pump->eventIndex[event] = i;
}

// Forgets every event: positions and points 0.
void ClearPumpEvents(PumpSolveState* pump);
