// Polished-rod motion over a pumping cycle, as the predictive solvers sample it.
#include "pumpunit/pu_motion.h"

#include "common/constants.h"
#include "log/log.h"
#include "pumpunit/pu_linkage.h"

namespace {

// Long-stroke (type 'H') unit: ramp up, dwell at the top, ramp down, rest at the bottom.
double HydraulicPosition(const PumpingUnit* pu, int i, int n, double dt) {
    const double t = (i % n) * dt;
    if (t <= pu->hUpTime) return t / pu->hUpTime * pu->polishedStroke;
    if (t <= pu->hTopEnd) return pu->polishedStroke;
    if (t <= pu->hDownEnd) return (1.0 - (t - pu->hTopEnd) / pu->hDownTime) * pu->polishedStroke;
    return 0.0;
}

}  // namespace

double PuBeamPosition(const PumpingUnit* pu, double beamAngle) {
    const double position = (pu->thetaBottom - beamAngle) * pu->A;
    return (pu->unitType == 'M' || pu->unitType == 'A') ? -position : position;
}

double PuPolishedRodPosition(const PumpingUnit* pu, int i, int n, double dt) {
    if (n <= 0) {
        LogMessage("Error: PuPolishedRodPosition needs a positive point count, got %d", n);
        return 0.0;
    }
    if (pu->unitType == 'H') return HydraulicPosition(pu, i, n, dt);
    if (pu->unitType == 'X') return 0.0;
    const double x = kPi * (360.0 / n * i) / 180.0;
    return PuBeamPosition(pu, PuLinkageAngles(pu, x).beamAngle);
}
