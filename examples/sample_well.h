/* The bundled sample well: a 5,000 ft three-taper steel string on 2-3/8 in tubing.
 * Shared by the example host and the program that made the sample card. */
#ifndef TESK_EXAMPLES_SAMPLE_WELL_H
#define TESK_EXAMPLES_SAMPLE_WELL_H

#include <math.h>

#include "tesk/tesk.h"

/* The fluid load on the predicted card's plunger, reckoned as CalculateFo does: the plunger area
 * times the pressure across it, which is the fluid column from the annulus fluid level (ft below
 * the surface) up to the surface plus the tubing pressure less the casing pressure. */
static double FluidLoadOnPlunger(const WaveParams_t* p) {
    const double dpsi = 0.433 * p->predSg * p->predFluidLevel + p->predPressureTubing - p->predPressureCasing;
    return atan(1.0) * p->predPumpDia * p->predPumpDia * dpsi;
}

static int SetSampleWellInputs(TeskObj* well) {
    TaperBase_t tapers[3];
    tapers[0] = BuildTaperBase_t("7/8 in steel", 1650.0, 0.875, 0, 0, 0, 0);
    tapers[1] = BuildTaperBase_t("3/4 in steel", 1700.0, 0.75, 0, 0, 0, 0);
    tapers[2] = BuildTaperBase_t("5/8 in steel", 1650.0, 0.625, 0, 0, 0, 0);
    /* 2-3/8 in tubing: E is inches of stretch per pound and per foot, 12 / (30e6 psi * 1.304 in2). */
    TubingBase_t tubing = {5000.0, 1.995, 2.375, 0, 4.7, 0, 3.07e-7, 0};
    if (!SetDiagTapers(well, tapers, 3, 0.95) || !SetPredTapers(well, tapers, 3, 0.95)) return 0;
    if (!SetDiagTubings(well, &tubing, 1) || !SetPredTubings(well, &tubing, 1)) return 0;

    WaveParams_t p = GetWaveParams(well);
    p.wellDepth = 5100.0;
    p.diagDampUp = p.diagDampDn = 0.15;
    p.predDampUp = p.predDampDn = 0.15;
    p.diagPumpDia = p.predPumpDia = 1.75;
    p.diagPumpDepth = p.predPumpDepth = 5000.0;
    p.diagAnchorDepth = p.predAnchorDepth = 4900.0;
    /* The fluid stands 4,200 ft below the surface: the pump is submerged 800 ft. */
    p.diagFluidLevel = p.predFluidLevel = 4200.0;
    p.predSpm = 8.0;
    p.fo = FluidLoadOnPlunger(&p);
    p.fillage = 0.85;
    p.compression = 3.0;
    p.usePumpingUnitForPosition = 1;
    if (!SetWaveParams(well, p)) return 0;
    SetFourierCoeffCountPos(well, 23);
    SetFourierCoeffCountLoad(well, 50);
    SetUpscaledDynoPointCount(well, 400);
    return 1;
}

#endif
