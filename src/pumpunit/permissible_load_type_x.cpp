// Permissible load of a type 'X' unit, whose chain carrier runs up a straight, around the
// top circle, down the other straight and around the bottom circle.
#include <algorithm>
#include <cmath>

#include "common/constants.h"
#include "pumpunit/permissible_loads.h"

namespace {

struct ChainPoint {
    double position;  // in
    double arm;       // torque arm of the carrier about the sprocket, in
};

ChainPoint ChainPointAt(double theta, double r, double cycleAngle, double stroke) {
    const double h = kPi / 2.0;
    const double half = cycleAngle / 2.0;
    if (0.0 <= theta && theta <= h) return {(1.0 - std::cos(theta)) * r, r * std::sin(theta)};
    if (h < theta && theta <= half - h) return {(theta - h) * r + r, r};
    if (half - h < theta && theta <= half + h)
        return {r * std::sin(theta - half + h) + (stroke - r), r * std::cos(theta - half + h)};
    if (half + h < theta && theta <= cycleAngle - h) return {(stroke - r) - (theta - half - h) * r, -r};
    if (cycleAngle - h < theta && theta <= cycleAngle)
        return {(1.0 - std::cos(cycleAngle - theta)) * r, -r * std::sin(cycleAngle - theta)};
    return {0.0, 0.0};
}

// std::max(0.0, x) would turn a NaN into 0; this keeps it.
double FloorAtZeroKeepingNaN(double x) { return x < 0.0 ? 0.0 : x; }

double ChainLoad(const PumpingUnit* pu, const ChainPoint& p, double stroke) {
    if (p.arm == 0.0) return pu->structureRating;
    const double g = (1.0 - p.position / stroke) * pu->xLoadSlope + (pu->xLoadConstB + pu->xLoadConstA) +
                     pu->gearboxRating / p.arm;
    return g > pu->structureRating ? pu->structureRating : FloorAtZeroKeepingNaN(g);
}

}  // namespace

bool CalcPermissibleLoadTypeX(const PumpingUnit* pu, double* positions, double* loads, int count) {
    const double stroke = pu->polishedStroke;
    for (int i = 0; i < count; ++i) {
        const double theta = static_cast<double>(i) / count * pu->xCycleAngle;
        const ChainPoint p = ChainPointAt(theta, pu->xRadius, pu->xCycleAngle, stroke);
        positions[i] = p.position;
        loads[i] = FloorAtZeroKeepingNaN(ChainLoad(pu, p, stroke));
    }
    return true;
}
