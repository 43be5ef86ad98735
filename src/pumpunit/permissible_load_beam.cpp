// Gearbox- and structure-limited polished-rod load of a beam unit over one crank turn.
#include <algorithm>
#include <cmath>

#include "log/log.h"
#include "pumpunit/permissible_loads.h"
#include "pumpunit/pu_linkage.h"
#include "pumpunit/pu_motion.h"

namespace {

constexpr int kBeamCurvePoints = 72;
constexpr double kBeamCurveStepDegrees = 5.0;

double CounterbalanceTorque(const PumpingUnit* pu, double crankAngle) {
    double x = crankAngle;
    switch (pu->unitType) {
        case 'A':
        case 'C':
            break;
        case 'M':
            x += pu->crankOffset;
            break;
        case 'R':
            x -= pu->crankOffset;
            break;
        default:
            return 0.0;
    }
    return pu->rotation * pu->maxCbMoment * std::sin(x);
}

// The comparison is written so that a NaN load (impossible geometry) takes the cap.
double CapAtStructureRating(double load, double structureRating) {
    return load < structureRating ? load : structureRating;
}

}  // namespace

bool CalcPermissibleLoadBeam(const PumpingUnit* pu, double* positions, double* loads, int count) {
    if (pu->unitType == 'X') return CalcPermissibleLoadTypeX(pu, positions, loads, count);
    if (pu->unitType == 'H') return CalcPermissibleLoadTypeH(pu, positions, loads, count);
    if (count != kBeamCurvePoints) LogMessage("Error: CalcPermissibleLoadBeam array size");
    const int points = std::min(count, kBeamCurvePoints);
    for (int k = 0; k < points; ++k) {
        const CrankState cs = PuCrankState(pu, kBeamCurveStepDegrees * k);
        const double cb = CounterbalanceTorque(pu, cs.crankAngle);
        const double load = (cb + pu->gearboxRating) / cs.torqueFactor + pu->structUnbalance;
        loads[k] = CapAtStructureRating(load, pu->structureRating);
        positions[k] = PuBeamPosition(pu, cs.beamAngle);
    }
    return true;
}
