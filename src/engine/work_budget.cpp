#include "engine/work_budget.h"

#include "engine/fourier.h"
#include "log/log.h"
#include "model/tesk_obj.h"
#include "model/wave_model.h"

namespace {

bool UpdatesFit(const WaveModel* card, int64_t nodes, int64_t points, int64_t cycles, double updates) {
    if (updates <= kMaxSolveUpdates) return true;
    LogMessage("Error: the %s grid of %lld nodes x %lld points x %lld cycles needs %.3g updates, above the limit of %.3g",
               card->name, static_cast<long long>(nodes), static_cast<long long>(points),
               static_cast<long long>(cycles), updates, kMaxSolveUpdates);
    return false;
}

}  // namespace

bool DiagWorkFits(const WaveModel* card) {
    const double nodes = card->FeaNodeCount;
    const double points = card->PointCount;
    // Counted as each grid row over the cycle and the 2 x nodes time points the wave needs to
    // cross the string and back. The march itself runs one cycle a row now, but the grids a host
    // has seen refused stay refused.
    return UpdatesFit(card, card->FeaNodeCount, card->PointCount, 1, nodes * (points + 2 * nodes));
}

bool PredWorkFits(const TeskObj* obj, const WaveModel* pred, bool fromPumpingUnit) {
    const double updates = static_cast<double>(pred->FeaNodeCount) * pred->PointCount * obj->predCycles;
    if (!UpdatesFit(pred, pred->FeaNodeCount, pred->PointCount, obj->predCycles, updates)) return false;
    if (fromPumpingUnit || obj->fourier == nullptr) return true;
    return FourierWorkFits(pred->PointCount, obj->fourier->pos.count);
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
