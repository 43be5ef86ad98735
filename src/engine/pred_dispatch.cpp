#include "engine/pred_dispatch.h"

#include "log/log.h"

bool SolvePredCard(TeskObj*) {
    LogMessage("TODO: predictive solver");
    return false;
}
