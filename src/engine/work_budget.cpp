#include "engine/work_budget.h"

#include "engine/fourier.h"
#include "engine/pred_grid.h"
#include "engine/time_step.h"
#include "engine/wave_model.h"
#include "log/log.h"

namespace {

// Counts arrive as doubles because a grid too large to build has counts no integer type holds.
bool UpdatesFit(const WaveModel* card, double nodes, double points, int32_t cycles, double updates) {
    if (updates <= kMaxSolveUpdates) return true;
    LogMessage("Error: the %s grid of %.10g nodes x %.10g points x %d cycles needs %.3g updates, above the limit of %.3g",
               card->name, nodes, points, cycles, updates, kMaxSolveUpdates);
    return false;
}

// Counted as each grid row over the cycle and the 2 x nodes time points the wave needs to cross
// the string and back. The march itself runs one cycle a row now, but the grids a host has seen
// refused stay refused.
double DiagUpdates(double nodes, double points) { return nodes * (points + 2 * nodes); }

}  // namespace

bool DiagWorkFits(const WaveModel* card) {
    const double nodes = card->FeaNodeCount;
    const double points = card->PointCount;
    return UpdatesFit(card, nodes, points, 1, DiagUpdates(nodes, points));
}

bool PredWorkFits(const WaveModel* pred, int32_t cycles, const CardFourierFit* fourier, bool fromPumpingUnit) {
    const double updates = static_cast<double>(pred->FeaNodeCount) * pred->PointCount * cycles;
    if (!UpdatesFit(pred, pred->FeaNodeCount, pred->PointCount, cycles, updates)) return false;
    if (fromPumpingUnit || fourier == nullptr) return true;
    return FourierWorkFits(pred->PointCount, fourier->pos.count);
}

bool PredMarchWorkFits(const WaveModel* pred, const PredMarchGrid& grid, int32_t cycles) {
    constexpr double kMaxMarchUpdates = 2 * kMaxSolveUpdates;
    if (grid.steps > 0 && grid.updates <= kMaxMarchUpdates) return true;
    LogMessage("Error: the %s march of %d grid points x %.10g steps x %d cycles needs %.3g updates, above the limit of %.3g",
               pred->name, grid.points, static_cast<double>(pred->PointCount) * grid.timeRefinement, cycles,
               grid.updates, kMaxMarchUpdates);
    return false;
}

void ReportUnbuiltGrid(const WaveModel* card, int32_t predCycles) {
    const UnbuiltGrid& unbuilt = card->unbuiltGrid;
    if (unbuilt.nodes <= 0 && unbuilt.points <= 0) return;
    const double nodes = unbuilt.nodes > 0 ? unbuilt.nodes : card->FeaNodeCount;
    const double points = unbuilt.points > 0 ? unbuilt.points : card->PointCount;
    const bool diagnostic = card->isDiag == 1;
    const int32_t cycles = diagnostic ? 1 : predCycles;
    const double updates = diagnostic ? DiagUpdates(nodes, points) : nodes * points * cycles;
    if (!UpdatesFit(card, nodes, points, cycles, updates)) return;
    // Within the work budget, a count alone was beyond what a grid may hold.
    if (unbuilt.nodes > 0) {
        LogMessage("Error: the %s grid needs %.10g nodes, above the limit of %d", card->name, nodes, kMaxNodeCount);
    }
    if (unbuilt.points > 0) {
        LogMessage("Error: the %s grid needs %.10g points a cycle, above the limit of %d", card->name, points,
                   kMaxPredPointCount);
    }
}

bool IntermediateTablesFit(int64_t rows, int64_t columns) {
    const double bytes = 2.0 * static_cast<double>(rows) * (static_cast<double>(columns) + 1) * sizeof(double);
    if (bytes <= kMaxIntermediateBytes) return true;
    LogMessage("Warning: intermediate cards of %lld grid points x %lld points would take %.0f MiB, above the limit of "
               "%.0f MiB; none are kept for this solve",
               static_cast<long long>(rows), static_cast<long long>(columns), bytes / (1024 * 1024),
               kMaxIntermediateBytes / (1024 * 1024));
    return false;
}
