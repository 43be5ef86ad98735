#pragma once

#include "tesk/tesk.h"

// The pumping unit: the host's PuInfo_t record followed by the geometry derived from it.
// The type 'X' and 'H' inputs (xRadius .. hDownEnd) and crankOffset have no source yet:
// only a reset writes them, so they stay 0.
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

// True for the unit types driven through a crank, pitman and walking beam.
inline bool IsBeamUnitType(char unitType) {
    return unitType == 'A' || unitType == 'C' || unitType == 'M' || unitType == 'R';
}

// Recomputes the derived geometry from the PuInfo_t part; for type 'A' also rewrites
// cbe and structUnbalance from the air inputs. Always true: impossible geometry gives NaN.
bool DerivePuGeometry(PumpingUnit* pu);

// Clears every derived field after polishedStroke, which keeps its value.
void ResetPuDerived(PumpingUnit* pu);
