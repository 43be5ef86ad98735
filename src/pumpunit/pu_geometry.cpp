// Geometry derived once per unit description: phase, stroke limits, torque factor at
// 90 degrees, counterbalance moment and polished-rod stroke.
#include <cmath>

#include "common/constants.h"
#include "log/log.h"
#include "pumpunit/pu_linkage.h"
#include "pumpunit/pumping_unit.h"

namespace {

// Beam angle where the pitman and crank line up, stretched (P + R) or folded (P - R).
double DeadPointAngle(const PumpingUnit* pu, double pitmanPlusCrank) {
    return std::acos((pu->cSquared + pu->kSquared - std::pow(pitmanPlusCrank, 2)) / pu->twoCK);
}

void DerivePhase(PumpingUnit* pu) {
    const double offset = std::asin(pu->I / pu->K);
    if (pu->unitType == 'M') {
        pu->phase = kPi + offset;
    } else if (pu->unitType == 'A') {
        pu->phase = kPi - offset;
    } else {
        pu->phase = offset;
    }
}

void DeriveStrokeLimits(PumpingUnit* pu) {
    pu->thetaBottom = 0.0;
    pu->thetaTop = 0.0;
    const double stretched = DeadPointAngle(pu, pu->P + pu->R);
    const double folded = DeadPointAngle(pu, pu->P - pu->R);
    switch (pu->unitType) {
        case 'C':
        case 'R':
            pu->thetaBottom = stretched;
            pu->thetaTop = folded;
            break;
        case 'A':
        case 'M':
            pu->thetaBottom = folded;
            pu->thetaTop = stretched;
            break;
        default:
            LogMessage("Unsupported Pumping Unit Type: %c", pu->unitType);
            break;
    }
}

void DeriveTypeXCycle(PumpingUnit* pu) {
    pu->xCycleLength = 2.0 * kPi * pu->xRadius + 2.0 * pu->xStraight;
    pu->xCycleAngle = pu->xCycleLength / pu->xRadius;
    pu->xStroke = 2.0 * pu->xRadius + pu->xStraight;
}

void DeriveCounterbalanceAndStroke(PumpingUnit* pu) {
    const double beamStroke = (pu->thetaBottom - pu->thetaTop) * pu->A;
    const double netMoment = (pu->cbe - pu->structUnbalance) * pu->tf90;
    switch (pu->unitType) {
        case 'C':
            pu->maxCbMoment = std::fabs(netMoment);
            pu->polishedStroke = beamStroke;
            break;
        case 'A':
            pu->structUnbalance = pu->airPressureBase * pu->airArea;
            pu->cbe = (pu->airPressure - pu->airPressureBase) * pu->airArea;
            pu->maxCbMoment = (pu->cbe - pu->structUnbalance) * pu->tf90;
            pu->polishedStroke = -beamStroke;
            break;
        case 'M':
            pu->maxCbMoment = std::fabs(netMoment / std::sin(kPi / 2.0 + pu->crankOffset));
            pu->polishedStroke = -beamStroke;
            break;
        case 'R':
            pu->maxCbMoment = std::fabs(netMoment / std::sin(kPi / 2.0 - pu->crankOffset));
            pu->polishedStroke = beamStroke;
            break;
        case 'H':
            pu->maxCbMoment = 0.0;
            pu->polishedStroke = pu->maxStroke;
            break;
        case 'X':
            pu->maxCbMoment = 0.0;
            pu->polishedStroke = pu->xStroke;
            break;
        default:
            pu->maxCbMoment = 0.0;
            pu->polishedStroke = beamStroke;
            break;
    }
}

}  // namespace

bool DerivePuGeometry(PumpingUnit* pu) {
    DerivePhase(pu);
    pu->cSquared = std::pow(pu->C, 2);
    pu->kSquared = std::pow(pu->K, 2);
    pu->pSquared = std::pow(pu->P, 2);
    pu->rSquared = std::pow(pu->R, 2);
    pu->twoCK = 2.0 * pu->C * pu->K;
    DeriveStrokeLimits(pu);
    if (pu->unitType == 'X') DeriveTypeXCycle(pu);
    pu->tf90 = PuCrankState(pu, 90.0).torqueFactor;
    DeriveCounterbalanceAndStroke(pu);
    return true;
}
