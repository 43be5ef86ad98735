#include "engine/pred_dispatch.h"

#include "engine/legacy_pred_solver.h"
#include "engine/pred_solver.h"
#include "log/log.h"
#include "model/tesk_obj.h"

bool SolvePredCard(TeskObj* obj) {
    if (obj == nullptr) {
        LogMessage("Cannot predict a card without a well object");
        return false;
    }
    if (obj->useLegacyPred != 0) return CalcWavePred(obj, &obj->pred);
    return CalcWavePredNew(obj, &obj->pred);
}
