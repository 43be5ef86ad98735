#pragma once
#include "tesk/tesk.h"

struct TeskObj;
struct WaveModel;

// Plunger slippage from speed, plunger diameter, fit, length, fluid viscosity and the pressure
// difference across the plunger. NaN gives 0 with a log line; infinities are returned as they are.
double CalcSlippage(double spm, double pumpDia, double pumpFit, double pumpLen, double viscFluid, double dpsi);

// Pressure difference across the plunger of a card, psi: fluid column above the pump plus
// tubing pressure less casing pressure.
double PlungerPressureDifference(WaveModel* card);

// Fluid load on the plunger of the "PRED" card from its pressures, lb; the fo setting is unchanged.
double CalcFoFromPressure(TeskObj* obj);

// Grid figures of the three cards and the fluid-load terms; logs and changes nothing. The fluid-load
// terms multiply psi by the last node's area in ft2 (1/144 of a load in lb), kept so for hosts.
WaveParamsReadOnly_t ReadWaveParamsReadOnly(TeskObj* obj);

// Figures of the last run: rod-string totals, spring constants, strokes, displacement, slippage
// and pump events. Recomputes the "MEAS" extremes first. Pump volumes are D^2*stroke/231, without
// pi/4, kept so for hosts. A card that was never solved reports stroke 0 and 0 for everything
// derived from it. A rod weight that would include a taper's stand-in weight (a diameter the rod
// table does not list) is 0. Every byte that is not a field is 0.
WaveResults_t ReadWaveResults(TeskObj* obj);
