#pragma once
#include "tesk/tesk.h"

// The pumping unit: the host's PuInfo_t record followed by the geometry derived from it.
struct PumpingUnit : PuInfo_t {
    double polishedStroke;  // in
    double xRadius;
    double xStraight;
    double xLoadConstA;
    double xLoadConstB;
    double xLoadSlope;
    double hUpTime;
    double hDownTime;
    double hTopEnd;
    double hDownEnd;
    double phase;  // rad
    double cSquared;
    double kSquared;
    double pSquared;
    double rSquared;
    double twoCK;
    double thetaBottom;
    double thetaTop;
    double crankOffset;
    double maxCbMoment;
    double tf90;
    double xCycleLength;
    double xCycleAngle;
    double xStroke;
};

// Recomputes the derived geometry from the PuInfo_t part.
void DerivePuGeometry(PumpingUnit* pu);
