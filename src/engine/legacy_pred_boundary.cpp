// Pump end of the legacy predictive solver: a simpler state machine than the default one,
// with its own fillage curves (no clamping of the exponents).
#include "engine/legacy_pred_boundary.h"

#include <cmath>

#include "common/constants.h"
#include "engine/fea_node.h"
#include "engine/pump_boundary.h"
#include "engine/solve_settings.h"
#include "engine/taper_list.h"
#include "engine/tubing_list.h"
#include "engine/wave_model.h"

bool MakeLegacyBoundaryContext(const PredSettings& settings, const WaveModel* pred, LegacyBoundaryContext* context) {
    const TaperItem* lastTaper = FindLastTaper(pred->tapers);
    if (pred->nodes == nullptr || pred->FeaNodeCount < 2 || lastTaper == nullptr) return false;
    const TubingList* tubing = pred->tubings;
    const double Kt = (tubing != nullptr && tubing->count > 0) ? tubing->Kt : INFINITY;
    const double fo = settings.fo;
    LegacyBoundaryContext& c = *context;
    c.M = pred->FeaNodeCount;
    c.dx = pred->nodes[c.M - 1].dx;
    c.e = (std::isfinite(Kt) && Kt > 0) ? fo / (kInchesPerFoot * Kt) : 0.0;
    c.r = fo / lastTaper->EA;
    c.kEA = lastTaper->EA / c.dx;
    c.fo = fo;
    c.fillage = settings.fillage;
    c.compression = settings.compression;
    c.plungerStandsStill = c.e == 0.0 && settings.fillage == 1.0;
    c.pickupCurve = settings.fillage < 1.0;
    c.releaseCurve = c.pickupCurve && settings.compression != 0.0;
    return true;
}

namespace {

double Sigma(double K, double z) { return K / (std::exp(z) + 1.0); }

double Min(double x, double y) { return x < y ? x : y; }

double NormalisedCurve(double r, double K, double z1, double zEnd, double zv) {
    const double J = Sigma(K, zEnd) - Sigma(K, z1);
    return (r / J) * Sigma(K, zv) - (r / J) * Sigma(K, z1);
}

double PickupCurve(const LegacyBoundaryContext& c, const PumpSolveState& pump, double pv) {
    const double B = c.compression;
    const double w = pump.eventPos[LoadPickupEvent];
    const double A = pump.eventPos[LoadReleaseEvent];
    const double x0 = kInchesPerFootDown * w - 10.0 / B;
    const double z1 = (kInchesPerFootDown * w - x0) * -B;
    const double zEnd = (Min((1.0 - c.fillage) * kInchesPerFootDown * (A - w), 0.5 / B - kInchesPerFoot * w) - x0) * -B;
    return NormalisedCurve(c.r, c.r + 1000.0, z1, zEnd, (pv - x0) * -B);
}

double ReleaseCurve(const LegacyBoundaryContext& c, const PumpSolveState& pump, double pv) {
    const double B = c.compression;
    const double w = pump.eventPos[LoadPickupEvent];
    const double A = pump.eventPos[LoadReleaseEvent];
    const double P = kInchesPerFootDown * w + c.fillage * kInchesPerFootDown * (A - w);
    const double x0 = P - 10.0 / B;
    const double z1 = (P - x0) * -B;
    const double zA = (kInchesPerFootDown * A - x0) * -B;
    return NormalisedCurve(c.r, c.r + 1000.0, z1, zA, (pv - x0) * -B);
}

// The strain term S with its weights: c = 1 places the rod strain at the pump at S,
// b = 1 (c = 0) keeps the plunger at S = its last displacement.
struct StrainTerm {
    double S;
    double b;
    double c;
};

StrainTerm HoldPlunger(double value) { return {value, 1.0, 0.0}; }

double Displacement(const StrainTerm& t, double dx, double g2, double h5) {
    return (t.c * g2 + t.S * dx - t.c * h5) / (t.b * dx + 1.5 * t.c);
}

StrainTerm PickupTerm(const LegacyBoundaryContext& c, const PumpSolveState& pump, double value) {
    if (c.plungerStandsStill) return HoldPlunger(value);
    StrainTerm term{(pump.eventPos[LoadPickupEvent] - value) / c.e * c.r, 0.0, 1.0};
    if (c.pickupCurve) {
        term.S = PickupCurve(c, pump, kInchesPerFootDown * value);
        if (term.S < 0.0) return HoldPlunger(value);
    }
    return std::isfinite(term.S) ? term : HoldPlunger(value);
}

StrainTerm ReleaseTerm(const LegacyBoundaryContext& c, const PumpSolveState& pump, double value) {
    if (c.plungerStandsStill) return HoldPlunger(value);
    StrainTerm term{(1.0 - (value - pump.eventPos[LoadReleaseEvent]) / c.e) * c.r, 0.0, 1.0};
    if (c.releaseCurve) term.S = ReleaseCurve(c, pump, kInchesPerFootDown * value);
    return std::isfinite(term.S) ? term : HoldPlunger(value);
}

}  // namespace

void PredPumpBoundary(const LegacyBoundaryContext& c, PumpSolveState* pump, int32_t i, const double* previous,
                      const double* current, double* next) {
    const int32_t M = c.M;
    const double value = current[M];
    const double older = previous[M];
    const double g2 = 2.0 * next[M - 1];
    const double h5 = 0.5 * next[M - 2];
    const double t = (c.r * c.dx + g2 - h5) / 1.5;
    const auto pumpLoad = [&](double l) { return (1.5 * l - g2 + h5) * c.kEA; };
    int32_t& state = pump->legacyPumpState;
    double result;
    switch (state) {
        case NoLoad: {
            result = (g2 + 0.0 - h5) / 1.5;
            if (value > result && older > value) {
                state = LoadPickup;
                RecordPumpEvent(pump, LoadPickupEvent, result, i);
            }
            break;
        }
        case LoadPickup: {
            result = Displacement(PickupTerm(c, *pump, value), c.dx, g2, h5);
            if (result > value) result = value;
            if (pumpLoad(result) >= c.fo) {
                state = FullLoad;
                RecordPumpEvent(pump, FullLoadEvent, t, i);
                result = t;
            } else if (pumpLoad(result) <= 0.0) {
                state = NoLoad;
            }
            break;
        }
        case FullLoad: {
            result = t;
            if (t > value && value > older) {
                state = LoadRelease;
                RecordPumpEvent(pump, LoadReleaseEvent, t, i);
            }
            break;
        }
        case LoadRelease: {
            result = Displacement(ReleaseTerm(c, *pump, value), c.dx, g2, h5);
            if (value > result) result = value;
            if (pumpLoad(result) <= 0.0) {
                state = NoLoad;
                RecordPumpEvent(pump, NoLoadEvent, result, i);
            } else if (pumpLoad(result) >= c.fo) {
                result = t;
            }
            break;
        }
        default: result = INFINITY; break;
    }
    next[M] = result;
}
