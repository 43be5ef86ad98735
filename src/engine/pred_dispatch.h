#pragma once

struct TeskObj;

// Predicts the "PRED" card with the solver the wave settings select; false when refused.
bool SolvePredCard(TeskObj* obj);
