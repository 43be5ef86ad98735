// Pump end of the predictive solver: the plunger's load follows the pump's state
// (no load, pickup, full load, release), and with partial fillage a logistic curve over
// the plunger position shapes pickup and release.
#include "engine/pump_boundary.h"

#include <cmath>

#include "engine/fea_node.h"
#include "engine/pred_root.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

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

bool MakePredBoundaryContext(TeskObj* obj, WaveModel* pred, PredBoundaryContext* context) {
    const TaperItem* lastTaper = FindLastTaper(pred->tapers);
    if (pred->nodes == nullptr || pred->FeaNodeCount < 2 || lastTaper == nullptr) return false;
    const int32_t M = pred->FeaNodeCount;
    const FeaNode& last = pred->nodes[M - 1];
    const TubingList* tubing = pred->tubings;
    const double Kt = (tubing != nullptr && tubing->count > 0) ? tubing->Kt : INFINITY;
    const double fo = obj->fo;
    double m = (std::isfinite(Kt) && Kt > 0) ? fo / (12.0 * Kt) : 0.01;
    m = m > 0.01 ? m : 0.01;

    PredBoundaryContext& c = *context;
    c.M = M;
    c.dx = last.dx;
    c.e = last.modulusPsf;
    c.h = last.areaFt2;
    c.fo = fo;
    c.m = m;
    c.mm = fo / (c.e * c.h * m);
    c.foEA = fo / lastTaper->EA;
    c.foStretch = c.dx * c.fo / (c.e * c.h);
    c.fillage = obj->fillage;
    c.compression = obj->compression;
    c.partialCurves = obj->fillage < 1.0;
    c.releaseCurve = c.partialCurves && obj->compression != 0.0;
    c.plungerCurves = c.partialCurves && obj->compression > 0.0;
    return true;
}

void RefinePredBoundaryContext(PredBoundaryContext* context, int32_t refinement, double spreadShare) {
    PredBoundaryContext& c = *context;
    c.M *= refinement;
    c.dx /= refinement;
    c.foStretch = c.dx * c.fo / (c.e * c.h);
    const double spread = spreadShare * c.fo * c.dx / (c.e * c.h);
    if (spread > c.m) {
        c.m = spread;
        c.mm = c.fo / (c.e * c.h * c.m);
    }
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
FillageCurve PickupCurve(const PredBoundaryContext& c, const TeskObj* obj) {
    const double B = c.compression;
    const double w = obj->pumpEventPos[0];
    const double A = obj->pumpEventPos[2];
    const double x0 = -12.0 * w - 10.0 / B;
    const double z1 = -B * (-12.0 * w - x0);
    double zEnd;
    if (c.plungerCurves) {
        const double span = -12.0 * (A - w);
        zEnd = -B * (-12.0 * w + Min((1.0 - c.fillage) * span, 0.5 / B) - x0);
    } else {
        zEnd = -B * (Min((1.0 - c.fillage) * -12.0 * (A - w), 0.5 / B - 12.0 * w) - x0);
    }
    return MakeCurve(c.foEA, B, x0, z1, zEnd);
}

// Release: from the top of the stroke down to fillage of the stroke above the pickup start.
FillageCurve ReleaseCurve(const PredBoundaryContext& c, const TeskObj* obj) {
    const double B = c.compression;
    const double w = obj->pumpEventPos[0];
    const double A = obj->pumpEventPos[2];
    const double P = (A - w) * -12.0 * c.fillage - 12.0 * w;
    const double x0 = P - 10.0 / B;
    const double z1 = -B * (P - x0);
    const double zA = -B * (-12.0 * A - x0);
    return MakeCurve(c.foEA, B, x0, z1, zA);
}

// Rod strain at the pump for a pump displacement v, with a and b the two grid points above.
double PumpStrain(const PredBoundaryContext& c, double a, double b, double v) {
    return (1.5 * v - 2.0 * a + 0.5 * b) / c.dx;
}

struct PlungerOnCurve {
    double v;
    bool atFullLoad;  // the curve holds fo at the full-load displacement
    bool atNoLoad;    // the curve holds 0 at the zero-load displacement
};

// The plunger displacement where the rod strain equals the clamped curve strain at the
// plunger itself. The strain rises and the curve falls with v, so the root in [z0, zF] is unique.
PlungerOnCurve SolvePlungerOnCurve(const PredBoundaryContext& c, const FillageCurve& curve, double a, double b,
                                   double z0, double zF) {
    const auto clampedCurve = [&](double v) {
        const double s = CurveStrain(curve, -12.0 * v);
        return Min(s > 0.0 ? s : 0.0, c.foEA);
    };
    if (clampedCurve(zF) == c.foEA) return {zF, true, false};
    if (clampedCurve(z0) == 0.0) return {z0, false, true};
    const auto excess = [&](double v) { return PumpStrain(c, a, b, v) - clampedCurve(v); };
    return {RootInBracket(excess, z0, zF), false, false};
}

// The linear ramps meet the rod on a straight line, so the plunger on the clamped ramp is the
// line's root held within the displacements of no load and full load.
PlungerOnCurve ClampToLoadRange(double onRamp, double z0, double zF) {
    if (onRamp >= zF) return {zF, true, false};
    if (onRamp <= z0) return {z0, false, true};
    return {onRamp, false, false};
}

void RecordEvent(TeskObj* obj, int event, double v, int32_t i) {
    obj->pumpEventPos[event] = v;
    obj->pumpEventIndex[event] = i;
}

// Curves act on the plunger only once a release has given the stroke a positive span.
bool CurvesOnPlunger(const PredBoundaryContext& c, const TeskObj* obj) {
    return c.plungerCurves && -12.0 * (obj->pumpEventPos[2] - obj->pumpEventPos[0]) > 0.0;
}

double StepPickup(const PredBoundaryContext& c, TeskObj* obj, WaveModel* pred, int32_t i, double a, double b,
                  double value, double z0, double zF) {
    double* last = obj->stateLastPos;
    double v;
    bool full;
    if (CurvesOnPlunger(c, obj)) {
        const PlungerOnCurve onCurve = SolvePlungerOnCurve(c, PickupCurve(c, obj), a, b, z0, zF);
        v = onCurve.v;
        full = onCurve.atFullLoad;
    } else if (c.partialCurves && !c.plungerCurves) {
        const double s = CurveStrain(PickupCurve(c, obj), -12.0 * a);
        v = (s * c.dx + 2.0 * a - 0.5 * b) / 1.5;
        full = PumpStrain(c, a, b, v) * c.e >= c.fo / c.h;
    } else {
        const PlungerOnCurve onRamp = ClampToLoadRange(
            (c.mm * last[0] * c.dx + 2.0 * a - 0.5 * b) / (c.dx * c.mm + 1.5), z0, zF);
        v = onRamp.v;
        full = onRamp.atFullLoad;
    }
    last[1] = value;
    if (v > last[0]) {
        pred->pumpState = NoLoad;
        RecordEvent(obj, 3, v, i);
    } else if (full) {
        pred->pumpState = FullLoad;
        RecordEvent(obj, 1, v, i);
    }
    return v;
}

double StepFullLoad(TeskObj* obj, WaveModel* pred, int32_t i, double value, double zF) {
    double* last = obj->stateLastPos;
    const double v = zF;
    if (v > last[1]) {
        pred->pumpState = LoadPickup;
        RecordEvent(obj, 0, v, i);
        return v;
    }
    last[2] = value;
    if (v > value) {
        pred->pumpState = LoadRelease;
        RecordEvent(obj, 2, v, i);
    }
    return v;
}

double StepRelease(const PredBoundaryContext& c, TeskObj* obj, WaveModel* pred, int32_t i, double a, double b,
                   double value, double z0, double zF) {
    double* last = obj->stateLastPos;
    double v;
    bool empty;
    if (CurvesOnPlunger(c, obj)) {
        const PlungerOnCurve onCurve = SolvePlungerOnCurve(c, ReleaseCurve(c, obj), a, b, z0, zF);
        v = onCurve.v;
        empty = onCurve.atNoLoad;
    } else if (c.releaseCurve && !c.plungerCurves) {
        const double s = CurveStrain(ReleaseCurve(c, obj), -12.0 * a);
        v = (s * c.dx + 2.0 * a - 0.5 * b) / 1.5;
        empty = PumpStrain(c, a, b, v) * c.e <= 0.0;
    } else {
        const PlungerOnCurve onRamp = ClampToLoadRange(
            ((c.m * c.mm + c.mm * last[2]) * c.dx + 2.0 * a - 0.5 * b) / (c.dx * c.mm + 1.5), z0, zF);
        v = onRamp.v;
        empty = onRamp.atNoLoad;
    }
    last[3] = value;
    if (last[2] > v) {
        pred->pumpState = FullLoad;
    } else if (empty) {
        pred->pumpState = NoLoad;
        RecordEvent(obj, 3, v, i);
    }
    return v;
}

double StepNoLoad(TeskObj* obj, WaveModel* pred, int32_t i, double value, double z0) {
    double* last = obj->stateLastPos;
    const double v = z0;
    last[0] = value;
    if (last[3] > v) {
        pred->pumpState = LoadRelease;
        RecordEvent(obj, 2, v, i);
    } else if (value >= v) {
        pred->pumpState = LoadPickup;
        RecordEvent(obj, 0, v, i);
    }
    return v;
}

double StepUnset(TeskObj* obj, WaveModel* pred, int32_t i, double value, double z0) {
    pred->pumpState = NoLoad;
    obj->stateLastPos[0] = value;
    if (value >= z0) {
        pred->pumpState = LoadPickup;
        RecordEvent(obj, 0, z0, i);
    }
    return z0;
}

}  // namespace

double PredPumpBoundaryStep(const PredBoundaryContext& c, TeskObj* obj, WaveModel* pred, int32_t i,
                            const double* next, const double* current) {
    const double a = next[c.M - 1];
    const double b = next[c.M - 2];
    const double value = current[c.M];
    const double z0 = (2.0 * a - 0.5 * b) / 1.5;
    const double zF = (c.foStretch + 2.0 * a - 0.5 * b) / 1.5;
    switch (pred->pumpState) {
        case Unset: return StepUnset(obj, pred, i, value, z0);
        case LoadPickup: return StepPickup(c, obj, pred, i, a, b, value, z0, zF);
        case FullLoad: return StepFullLoad(obj, pred, i, value, zF);
        case LoadRelease: return StepRelease(c, obj, pred, i, a, b, value, z0, zF);
        case NoLoad: return StepNoLoad(obj, pred, i, value, z0);
        default: return 0.0;
    }
}

double PredPumpBoundaryNew(TeskObj* obj, WaveModel* pred, int32_t i, const double* next, const double* current) {
    PredBoundaryContext context;
    if (!MakePredBoundaryContext(obj, pred, &context)) return 0.0;
    return PredPumpBoundaryStep(context, obj, pred, i, next, current);
}
