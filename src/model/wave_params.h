#pragma once
#include "tesk/tesk.h"

struct TeskObj;
struct WaveModel;

// The well, fluid, pump and prediction inputs of the three cards; every byte not a field is 0.
WaveParams_t ReadWaveParams(TeskObj* obj);
// Stores the record, raising only the dirty flags that real changes call for. "UPSC" keeps its
// own specific gravity. True.
bool ApplyWaveParams(TeskObj* obj, const WaveParams_t* params);
// The solver settings; every byte not a field is 0.
WaveSettings_t ReadWaveSettings(TeskObj* obj);
// Stores the settings, raising the flags that real changes call for; true.
bool ApplyWaveSettings(TeskObj* obj, const WaveSettings_t* settings);
