// The grid of the default prediction's march: see pred_grid.h for why it is not the card's.
#include "engine/pred_grid.h"

#include <algorithm>
#include <cmath>

#include "common/constants.h"
#include "engine/fea_node.h"
#include "engine/wave_model.h"

namespace {

// Counts that are whole numbers up to rounding round to them, not past them.
constexpr double kCountSlack = 1e-9;

// The time between two card points: the true period over the points, unless that is not a
// usable number (then the card's own step).
double CardPointInterval(const WaveModel* pred) {
    const double interval = pred->period / pred->PointCount;
    return std::isfinite(interval) && interval > 0.0 && interval <= pred->DT ? interval : pred->DT;
}

// Largest wave travel over one card interval per node length, over the nodes; 1 when the nodes
// give no usable number.
double CardCourant(const WaveModel* pred, double interval) {
    double courant = 0.0;
    for (int32_t k = 0; k < pred->FeaNodeCount; ++k) {
        const FeaNode& node = pred->nodes[k];
        const double speed = std::sqrt(node.modulusPsf * kGravity / node.density);
        const double c = speed * interval / node.dx;
        if (c > courant) courant = c;  // NaN is passed over
    }
    return std::isfinite(courant) && courant > 0.0 ? courant : 1.0;
}

// The lighter damping factor rules: it is the one under which waves ring longest.
double LighterDamping(const WaveModel* pred) {
    const double damping = std::min(pred->dampUp, pred->dampDn);
    return damping > 0.0 ? damping : 0.0;  // NaN and negative factors count as none
}

// Refinements beyond this are never affordable; the cap keeps every count an int32 holds.
constexpr double kMaxRefinement = 1 << 24;

int32_t CeilCount(double x) {
    if (!(x > 1.0)) return 1;
    return x < kMaxRefinement ? static_cast<int32_t>(std::ceil(x - kCountSlack)) : static_cast<int32_t>(kMaxRefinement);
}

}  // namespace

PredMarchGrid ChoosePredMarchGrid(const WaveModel* pred, int32_t cycles, double fo, double rampTravel) {
    const int32_t n = pred->PointCount;
    const int32_t M = pred->FeaNodeCount;
    const double interval = CardPointInterval(pred);
    const double cardCourant = CardCourant(pred, interval);
    const auto stepsFor = [&](int32_t spaceRefinement) {
        return CeilCount(cardCourant * spaceRefinement / kPredMaxCourant);
    };

    // The pump's ramp stiffness fo/rampTravel against the last segment's EA/dx.
    const FeaNode& last = pred->nodes[M - 1];
    const double lastEA = last.modulusPsf * last.areaFt2;
    const double rampToNode = fo * last.dx / (rampTravel * lastEA);
    const double wantedSteps = kPredUndampedStepsPerCycle * kPredDampingScale / (LighterDamping(pred) + kPredDampingScale);
    const int32_t stepsForCycle = CeilCount(wantedSteps / n);
    double refinement = std::floor(kPredMaxCourant * stepsForCycle / cardCourant + kCountSlack);
    if (std::isfinite(rampToNode) && rampToNode / kPredMaxRampToSegment > refinement) {
        refinement = std::ceil(rampToNode / kPredMaxRampToSegment - kCountSlack);
    }

    // Within the budget: the work grows about as the square of the refinement.
    const double unrefinedWork = static_cast<double>(cycles) * n * M;
    const double affordable = std::sqrt(kPredMarchWorkBudget * kPredMaxCourant / (unrefinedWork * cardCourant)) + 1.0;
    refinement = std::min(refinement, std::max(affordable, 1.0));
    // A grid whose numbers are far from a rod's (a Courant number near 0) must not reach the loop
    // below with a refinement it would step down one by one, nor one no int32 holds.
    refinement = std::min(refinement, std::max(kPredMarchWorkBudget / unrefinedWork, 1.0));
    int32_t rx = refinement > 1.0 ? static_cast<int32_t>(refinement) : 1;
    while (rx > 1 && unrefinedWork * rx * stepsFor(rx) > kPredMarchWorkBudget) --rx;

    PredMarchGrid grid;
    grid.spaceRefinement = rx;
    grid.timeRefinement = stepsFor(rx);
    grid.points = M * rx;
    const double steps = static_cast<double>(n) * grid.timeRefinement;
    grid.steps = steps <= INT32_MAX ? static_cast<int32_t>(steps) : 0;
    grid.updates = unrefinedWork * rx * grid.timeRefinement;
    grid.dt = interval / grid.timeRefinement;
    grid.courant = cardCourant * rx / grid.timeRefinement;
    grid.maxRampStiffness = kPredMaxRampToSegment * lastEA / (last.dx / rx);
    return grid;
}
