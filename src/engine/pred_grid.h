#pragma once
#include <cstdint>

struct WaveModel;

// The grid the default prediction marches on, finer than the card's own: the card keeps its
// points, nodes and time step, and reads the march at its own grid points and points.
//
// Why the march never runs on the card's grid. The card's time step puts the fastest taper at a
// Courant number of 1, where the explicit march splits into two interleaved sub-grids (even and
// odd sums of point and step index) that never exchange anything: their difference, a sawtooth
// in depth and time, is a mode that neither decays nor disperses. The pump valve reads the
// plunger on one sub-grid and then on the other, so that sawtooth looks to it like a plunger
// turning every step; on a load ramp stiffer than the rod segment above it each such turn sends a
// load step up the rods, which returns as more sawtooth. At light damping nothing removes it and
// the card fills with valve chatter and loads of tens of thousands of pounds. Below a Courant
// number of 1 the sub-grids are coupled and the sawtooth no longer reaches the valve as a
// step-by-step turn.
//
// So the march takes:
// - a time step of the true period over a whole number of steps a card point (the card's own
//   step would stretch the cycle to PointCount * DT, up to one step longer than 60/spm), with a
//   Courant number of at most kPredMaxCourant in every taper;
// - segments no longer than make the pump's load ramp at most kPredMaxRampToSegment times
//   stiffer than the last segment;
// - at least kPredUndampedStepsPerCycle * s / (damping + s) steps a cycle, s = kPredDampingScale:
//   waves that the valve sends up the rods ring for many cycles at light damping, and their
//   fronts need a fine grid; heavy damping needs little. The refinement grows smoothly as the
//   damping falls, so no damping has a jump of the card beyond that of one step of refinement;
// all within kPredMarchWorkBudget node updates, beyond which the refinement stops and the pump
// ramps are widened to kPredMaxRampToSegment segment stiffnesses instead.
constexpr double kPredMaxCourant = 0.8;
constexpr double kPredMaxRampToSegment = 2.0;
constexpr double kPredUndampedStepsPerCycle = 3000.0;
constexpr double kPredDampingScale = 0.02;
constexpr double kPredMarchWorkBudget = 4.0e6;

struct PredMarchGrid {
    int32_t spaceRefinement;  // march segments a card node: card grid point k is march point k * this
    int32_t timeRefinement;   // march steps a card point: card point i is march step i * this
    int32_t points;           // the pump's march point, FeaNodeCount * spaceRefinement
    int32_t steps;            // march steps a cycle, PointCount * timeRefinement; 0 when no int32 holds it
    double updates;           // node updates of the whole solve, all cycles
    double dt;                // march time step, s
    double courant;           // largest wave travel a step over a march segment
    double maxRampStiffness;  // lb/ft: the pump's load ramps are held to at most this
};

// The march grid of the card over `cycles` cycles, given the load the pump lifts and the plunger
// travel over which its ramps pick it up (ft). Needs the checks of CalcWavePredNew passed
// (points, nodes of finite positive stiffness and mass).
PredMarchGrid ChoosePredMarchGrid(const WaveModel* pred, int32_t cycles, double fo, double rampTravel);
