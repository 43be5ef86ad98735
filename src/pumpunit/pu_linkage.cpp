// Crank-pitman-beam kinematics: beam angle, link distance and torque factor.
#include "pumpunit/pu_linkage.h"

#include <cmath>

#include "common/constants.h"

namespace {

// Angle between the C arm and the pitman for a crank angle relative to the phase. PuCrankState
// takes the same angle for the torque factor with its product in its own order, which can
// differ from this one in the last bit.
double PitmanAngle(const PumpingUnit* pu, double phi) {
    return std::acos((2.0 * pu->K * pu->R * std::cos(phi) + pu->P * pu->P + pu->C * pu->C - pu->K * pu->K -
                      pu->R * pu->R) /
                     (2.0 * pu->C * pu->P));
}

}  // namespace

LinkageAngles PuLinkageAngles(const PumpingUnit* pu, double x) {
    if (!IsBeamUnitType(pu->unitType)) return LinkageAngles{0.0, 0.0};
    const double phi = x - pu->phase;
    const double psi = PitmanAngle(pu, phi);
    const double d = std::sqrt(pu->R * pu->R + pu->K * pu->K - 2.0 * pu->R * pu->K * std::cos(phi));
    const double crankSide = std::asin(pu->R * std::sin(phi) / d);
    double beamAngle = 0.0;
    switch (pu->unitType) {
        case 'M':
            beamAngle = std::asin(pu->P * std::sin(psi) / d) - crankSide;
            break;
        case 'A':
            beamAngle = crankSide + std::asin(pu->P * std::sin(psi) / d);
            break;
        default:  // 'C' and 'R'
            beamAngle = std::acos((d * d + pu->C * pu->C - pu->P * pu->P) / (2.0 * pu->C * d)) - crankSide;
            break;
    }
    return LinkageAngles{beamAngle, d};
}

CrankState PuCrankState(const PumpingUnit* pu, double degrees) {
    CrankState cs{};
    cs.crankAngle = kPi * degrees / 180.0;
    const double phi = cs.crankAngle - pu->phase;
    cs.beta = std::acos((std::cos(phi) * 2.0 * pu->K * pu->R + pu->P * pu->P + pu->C * pu->C - pu->K * pu->K -
                         pu->R * pu->R) /
                        (2.0 * pu->C * pu->P));
    const LinkageAngles link = PuLinkageAngles(pu, cs.crankAngle);
    cs.beamAngle = link.beamAngle;
    cs.linkDistance = link.linkDistance;
    switch (pu->unitType) {
        case 'C':
        case 'R':
            cs.alpha = cs.beta + cs.beamAngle - phi;
            break;
        case 'A':
            cs.alpha = cs.beta + cs.beamAngle + phi;
            break;
        case 'M':
            cs.alpha = -cs.beta - cs.beamAngle + phi;
            break;
        default:
            cs.alpha = 0.0;
            break;
    }
    cs.torqueFactor = std::sin(cs.alpha) * (pu->rotation * pu->R * pu->A / pu->C) / std::sin(cs.beta);
    return cs;
}
