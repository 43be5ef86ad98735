// Pump end of the predictive solver: the plunger's load follows the pump's state
// (no load, pickup, full load, release), and with partial fillage a logistic curve over
// the plunger position shapes pickup and release.
#include "engine/pump_boundary.h"

#include <cmath>

#include "common/constants.h"
#include "engine/fea_node.h"
#include "engine/pred_root.h"
#include "engine/solve_settings.h"
#include "engine/taper_list.h"
#include "engine/tubing_list.h"
#include "engine/wave_model.h"

int32_t PumpStateColor(int32_t state) {
    switch (state) {
        case Unset: return static_cast<int32_t>(0xFFFF0000u);
        case LoadPickup: return static_cast<int32_t>(0xFF00FF00u);
        case FullLoad: return static_cast<int32_t>(0xFF0000FFu);
        case LoadRelease: return static_cast<int32_t>(0xFFFF00FFu);
        case NoLoad: return static_cast<int32_t>(0xFFFFFF00u);
        default: return static_cast<int32_t>(0xFFF0F0F0u);
    }
}

void ClearPumpEvents(PumpSolveState* pump) {
    for (int32_t k = 0; k < kPumpEventCount; ++k) {
        pump->eventPos[k] = 0.0;
        pump->eventIndex[k] = 0;
    }
}

bool MakePredBoundaryContext(const PredSettings& settings, const WaveModel* pred, PredBoundaryContext* context) {
    const TaperItem* lastTaper = FindLastTaper(pred->tapers);
    if (pred->nodes == nullptr || pred->FeaNodeCount < 2 || lastTaper == nullptr) return false;
    const int32_t M = pred->FeaNodeCount;
    const FeaNode& last = pred->nodes[M - 1];
    const TubingList* tubing = pred->tubings;
    const double Kt = (tubing != nullptr && tubing->count > 0) ? tubing->Kt : INFINITY;
    const double fo = settings.fo;
    double m = (std::isfinite(Kt) && Kt > 0) ? fo / (kInchesPerFoot * Kt) : 0.01;
    m = m > 0.01 ? m : 0.01;

    PredBoundaryContext& c = *context;
    c.M = M;
    c.dx = last.dx;
    c.e = last.modulusPsf;
    c.h = last.areaFt2;
    c.fo = fo;
    c.m = m;
    c.rampStiffness = fo / m;
    c.foEA = fo / lastTaper->EA;
    c.fillage = settings.fillage;
    c.compression = settings.compression;
    c.partialCurves = settings.fillage < 1.0;
    c.releaseCurve = c.partialCurves && settings.compression != 0.0;
    c.plungerCurves = c.partialCurves && settings.compression > 0.0;
    return true;
}

PumpRodEnd ThreePointRodEnd(double a, double b, double eaOverDx) {
    return {(2.0 * a - 0.5 * b) / 1.5, 1.5 * eaOverDx, a};
}

namespace {

// Normalised logistic curve over the plunger position p (in): 0 at its start, foEA at its
// far end. The offset 1000 in K only keeps J away from the flatness guard.
struct FillageCurve {
    double B;
    double x0;
    double K;
    double ratio;       // foEA/J
    double sigmaStart;  // sigma at the start
    bool flat;
};

double Sigma(double K, double z) {
    double zc = z < 500.0 ? z : 500.0;  // NaN takes 500 too
    zc = zc > -500.0 ? zc : -500.0;
    return K / (1.0 + std::exp(zc));
}

FillageCurve MakeCurve(double foEA, double B, double x0, double zStart, double zEnd) {
    FillageCurve curve;
    curve.B = B;
    curve.x0 = x0;
    curve.K = foEA + 1000.0;
    curve.sigmaStart = Sigma(curve.K, zStart);
    const double J = Sigma(curve.K, zEnd) - curve.sigmaStart;
    curve.flat = std::fabs(J) < 1e-10;
    curve.ratio = foEA / J;
    return curve;
}

double CurveStrain(const FillageCurve& curve, double p) {
    if (curve.flat) return 0.0;
    const double zp = -curve.B * (p - curve.x0);
    const double s = curve.ratio * Sigma(curve.K, zp) - curve.ratio * curve.sigmaStart;
    return std::isfinite(s) ? s : 0.0;
}

double Min(double x, double y) { return x < y ? x : y; }

// Pickup: from the plunger position at the last pickup event over (1 - fillage) of the stroke.
// The plunger form measures the far end from the start; the other keeps the old mixed form.
FillageCurve PickupCurve(const PredBoundaryContext& c, const PumpSolveState& pump) {
    const double B = c.compression;
    const double w = pump.eventPos[LoadPickupEvent];
    const double A = pump.eventPos[LoadReleaseEvent];
    const double x0 = kInchesPerFootDown * w - 10.0 / B;
    const double z1 = -B * (kInchesPerFootDown * w - x0);
    double zEnd;
    if (c.plungerCurves) {
        const double span = kInchesPerFootDown * (A - w);
        zEnd = -B * (kInchesPerFootDown * w + Min((1.0 - c.fillage) * span, 0.5 / B) - x0);
    } else {
        zEnd = -B * (Min((1.0 - c.fillage) * kInchesPerFootDown * (A - w), 0.5 / B - kInchesPerFoot * w) - x0);
    }
    return MakeCurve(c.foEA, B, x0, z1, zEnd);
}

// Release: from the top of the stroke down to fillage of the stroke above the pickup start.
FillageCurve ReleaseCurve(const PredBoundaryContext& c, const PumpSolveState& pump) {
    const double B = c.compression;
    const double w = pump.eventPos[LoadPickupEvent];
    const double A = pump.eventPos[LoadReleaseEvent];
    const double P = (A - w) * kInchesPerFootDown * c.fillage - kInchesPerFoot * w;
    const double x0 = P - 10.0 / B;
    const double z1 = -B * (P - x0);
    const double zA = -B * (kInchesPerFootDown * A - x0);
    return MakeCurve(c.foEA, B, x0, z1, zA);
}

// Where the plunger sits this step, and the load on it there.
struct PumpEnd {
    double v;
    double load;
    bool atFullLoad;  // the plunger carries fo
    bool atNoLoad;    // the plunger carries nothing
};

double Clamp(double load, double fo) { return load < 0.0 ? 0.0 : (load > fo ? fo : load); }

// The displacement of full load, where the rods pull fo.
double FullLoadDisplacement(const PumpRodEnd& rods, double fo) { return rods.z0 + fo / rods.alpha; }

// The plunger displacement where the rods' load equals the clamped curve's load at the plunger
// itself. The rods' load rises and the curve's falls with v, so the root in [z0, zF] is unique.
PumpEnd SolvePlungerOnCurve(const PredBoundaryContext& c, const FillageCurve& curve, const PumpRodEnd& rods) {
    const double zF = FullLoadDisplacement(rods, c.fo);
    const auto clampedCurve = [&](double v) {
        const double s = CurveStrain(curve, kInchesPerFootDown * v);
        return Min(s > 0.0 ? s : 0.0, c.foEA);
    };
    if (clampedCurve(zF) == c.foEA) return {zF, c.fo, true, false};
    if (clampedCurve(rods.z0) == 0.0) return {rods.z0, 0.0, false, true};
    const double ea = c.e * c.h;  // of the last node: a strain there times it is the load
    const auto excess = [&](double v) { return rods.alpha * (v - rods.z0) / ea - clampedCurve(v); };
    const double v = RootInBracket(excess, rods.z0, zF);
    return {v, Clamp(rods.alpha * (v - rods.z0), c.fo), false, false};
}

// A linear ramp meets the rods on a straight line: the plunger sits at the crossing, held within
// the displacements of no load and full load, where the load is exactly 0 or fo.
PumpEnd OnLinearRamp(const PredBoundaryContext& c, const PumpRodEnd& rods, double crossing) {
    const double zF = FullLoadDisplacement(rods, c.fo);
    if (crossing >= zF) return {zF, c.fo, true, false};
    if (crossing <= rods.z0) return {rods.z0, 0.0, false, true};
    return {crossing, Clamp(rods.alpha * (crossing - rods.z0), c.fo), false, false};
}

// A fillage curve read at the grid point above (negative or NaN compression): the rods take the
// curve's strain, whatever it is.
PumpEnd OnCurveAbove(const PredBoundaryContext& c, const FillageCurve& curve, const PumpRodEnd& rods) {
    const double load = CurveStrain(curve, kInchesPerFootDown * rods.above) * (c.e * c.h);
    return {rods.z0 + load / rods.alpha, load, load >= c.fo, load <= 0.0};
}

// Curves act on the plunger only once a release has given the stroke a positive span.
bool CurvesOnPlunger(const PredBoundaryContext& c, const PumpSolveState& pump) {
    const double span = kInchesPerFootDown * (pump.eventPos[LoadReleaseEvent] - pump.eventPos[LoadPickupEvent]);
    return c.plungerCurves && span > 0.0;
}

void StepPickup(const PredBoundaryContext& c, WaveModel* pred, int32_t i, const PumpRodEnd& rods,
                double value, PumpEnd* end) {
    double* last = pred->pump.stateLastPos;
    if (CurvesOnPlunger(c, pred->pump)) {
        *end = SolvePlungerOnCurve(c, PickupCurve(c, pred->pump), rods);
    } else if (c.partialCurves && !c.plungerCurves) {
        *end = OnCurveAbove(c, PickupCurve(c, pred->pump), rods);
    } else {
        // The load grows by rampStiffness a foot of upward travel from the last no-load displacement.
        const double k = c.rampStiffness;
        *end = OnLinearRamp(c, rods, (rods.alpha * rods.z0 + k * last[NoLoadSlot]) / (rods.alpha + k));
    }
    last[LoadPickupSlot] = value;
    if (end->v > last[NoLoadSlot]) {
        pred->pumpState = NoLoad;
        RecordPumpEvent(&pred->pump, NoLoadEvent, end->v, i);
    } else if (end->atFullLoad) {
        pred->pumpState = FullLoad;
        RecordPumpEvent(&pred->pump, FullLoadEvent, end->v, i);
    }
}

void StepFullLoad(const PredBoundaryContext& c, WaveModel* pred, int32_t i, const PumpRodEnd& rods,
                  double value, PumpEnd* end) {
    double* last = pred->pump.stateLastPos;
    *end = {FullLoadDisplacement(rods, c.fo), c.fo, true, false};
    if (end->v > last[LoadPickupSlot]) {
        pred->pumpState = LoadPickup;
        RecordPumpEvent(&pred->pump, LoadPickupEvent, end->v, i);
        return;
    }
    last[FullLoadSlot] = value;
    if (end->v > value) {
        pred->pumpState = LoadRelease;
        RecordPumpEvent(&pred->pump, LoadReleaseEvent, end->v, i);
    }
}

void StepRelease(const PredBoundaryContext& c, WaveModel* pred, int32_t i, const PumpRodEnd& rods,
                 double value, PumpEnd* end) {
    double* last = pred->pump.stateLastPos;
    if (CurvesOnPlunger(c, pred->pump)) {
        *end = SolvePlungerOnCurve(c, ReleaseCurve(c, pred->pump), rods);
    } else if (c.releaseCurve && !c.plungerCurves) {
        *end = OnCurveAbove(c, ReleaseCurve(c, pred->pump), rods);
    } else {
        // The load falls from fo by rampStiffness a foot of downward travel from the last
        // full-load displacement.
        const double k = c.rampStiffness;
        *end = OnLinearRamp(c, rods, (rods.alpha * rods.z0 + c.fo + k * last[FullLoadSlot]) / (rods.alpha + k));
    }
    last[LoadReleaseSlot] = value;
    if (last[FullLoadSlot] > end->v) {
        pred->pumpState = FullLoad;
    } else if (end->atNoLoad) {
        pred->pumpState = NoLoad;
        RecordPumpEvent(&pred->pump, NoLoadEvent, end->v, i);
    }
}

void StepNoLoad(WaveModel* pred, int32_t i, const PumpRodEnd& rods, double value, PumpEnd* end) {
    double* last = pred->pump.stateLastPos;
    *end = {rods.z0, 0.0, false, true};
    last[NoLoadSlot] = value;
    if (last[LoadReleaseSlot] > end->v) {
        pred->pumpState = LoadRelease;
        RecordPumpEvent(&pred->pump, LoadReleaseEvent, end->v, i);
    } else if (value >= end->v) {
        pred->pumpState = LoadPickup;
        RecordPumpEvent(&pred->pump, LoadPickupEvent, end->v, i);
    }
}

void StepUnset(WaveModel* pred, int32_t i, const PumpRodEnd& rods, double value, PumpEnd* end) {
    *end = {rods.z0, 0.0, false, true};
    pred->pumpState = NoLoad;
    pred->pump.stateLastPos[NoLoadSlot] = value;
    if (value >= rods.z0) {
        pred->pumpState = LoadPickup;
        RecordPumpEvent(&pred->pump, LoadPickupEvent, rods.z0, i);
    }
}

}  // namespace

double PredPumpBoundaryStep(const PredBoundaryContext& c, WaveModel* pred, int32_t i,
                            const PumpRodEnd& rods, double value, double* load) {
    PumpEnd end{0.0, 0.0, false, false};
    switch (pred->pumpState) {
        case Unset: StepUnset(pred, i, rods, value, &end); break;
        case LoadPickup: StepPickup(c, pred, i, rods, value, &end); break;
        case FullLoad: StepFullLoad(c, pred, i, rods, value, &end); break;
        case LoadRelease: StepRelease(c, pred, i, rods, value, &end); break;
        case NoLoad: StepNoLoad(pred, i, rods, value, &end); break;
        default: break;
    }
    *load = end.load;
    return end.v;
}

double PredPumpBoundaryNew(const PredSettings& settings, WaveModel* pred, int32_t i, const double* next,
                           const double* current) {
    PredBoundaryContext context;
    if (!MakePredBoundaryContext(settings, pred, &context)) return 0.0;
    const PumpRodEnd rods =
        ThreePointRodEnd(next[context.M - 1], next[context.M - 2], context.e * context.h / context.dx);
    double load = 0.0;
    return PredPumpBoundaryStep(context, pred, i, rods, current[context.M], &load);
}
