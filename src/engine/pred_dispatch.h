#pragma once

struct PredSettings;
struct WaveModel;

// Predicts the "PRED" card with the solver the settings select; false when refused.
bool SolvePredCard(const PredSettings& settings, WaveModel* pred);
