// Clearing the derived part of a pumping unit before a new description is applied.
#include "pumpunit/pumping_unit.h"

void ResetPuDerived(PumpingUnit* pu) {
    pu->xRadius = 0.0;
    pu->xStraight = 0.0;
    pu->xLoadConstA = 0.0;
    pu->xLoadConstB = 0.0;
    pu->xLoadSlope = 0.0;
    pu->hUpTime = 0.0;
    pu->hDownTime = 0.0;
    pu->hTopEnd = 0.0;
    pu->hDownEnd = 0.0;
    pu->phase = 0.0;
    pu->cSquared = 0.0;
    pu->kSquared = 0.0;
    pu->pSquared = 0.0;
    pu->rSquared = 0.0;
    pu->twoCK = 0.0;
    pu->thetaBottom = 0.0;
    pu->thetaTop = 0.0;
    pu->crankOffset = 0.0;
    pu->maxCbMoment = 0.0;
    pu->tf90 = 0.0;
    pu->xCycleLength = 0.0;
    pu->xCycleAngle = 0.0;
    pu->xStroke = 0.0;
}
