#include "engine/pred_dispatch.h"

#include "engine/legacy_pred_solver.h"
#include "engine/pred_solver.h"
#include "engine/solve_settings.h"
#include "log/log.h"

bool SolvePredCard(const PredSettings& settings, WaveModel* pred) {
    if (pred == nullptr) {
        LogMessage("Cannot predict a card without a well object");
        return false;
    }
    if (settings.useLegacyPred != 0) return CalcWavePred(settings, pred);
    return CalcWavePredNew(settings, pred);
}
