#pragma once
// Pumping units shared by the pumping-unit tests.
#include "model/tesk_obj.h"
#include "pumpunit/pu_linkage.h"
#include "pumpunit/pu_motion.h"
#include "pumpunit/pumping_unit.h"

// Sets the six linkage lengths A, P, C, I, K, R (in).
inline void SetLinkage(PuInfo_t* info, double A, double P, double C, double I, double K, double R) {
    info->A = A;
    info->P = P;
    info->C = C;
    info->I = I;
    info->K = K;
    info->R = R;
}

// The constructor's default unit, re-derived as the given type.
inline PumpingUnit DefaultUnitOfType(char unitType, int rotation = 1) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.unitType = unitType;
    pu.rotation = rotation;
    DerivePuGeometry(&pu);
    return pu;
}

// Every length of the default unit multiplied by lambda.
inline PumpingUnit ScaledDefaultUnit(char unitType, double lambda) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.unitType = unitType;
    SetLinkage(&pu, lambda * pu.A, lambda * pu.P, lambda * pu.C, lambda * pu.I, lambda * pu.K, lambda * pu.R);
    DerivePuGeometry(&pu);
    return pu;
}

// A second, shorter-stroke geometry (different proportions from the default).
inline PumpingUnit CompactUnitOfType(char unitType, int rotation = 1) {
    PumpingUnit pu{};
    SetDefaultPumpingUnit(&pu);
    pu.unitType = unitType;
    pu.rotation = rotation;
    SetLinkage(&pu, 86.0, 96.0, 64.0, 64.0, 113.0, 24.0);
    DerivePuGeometry(&pu);
    return pu;
}

// Polished-rod position at a crank angle in radians, straight from the linkage.
inline double PositionAtCrankAngle(const PumpingUnit& pu, double x) {
    return PuBeamPosition(&pu, PuLinkageAngles(&pu, x).beamAngle);
}
