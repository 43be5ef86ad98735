#pragma once
// Helpers of the QROD tests: a well with tubing and a rod string on every card, and the
// twelve design keys in the order the built-in template writes them.
#include "design_test_util.h"
#include "model/tesk_obj.h"

inline const char* const kQrodKeys[] = {"Title",          "StrokeRate",     "DampingFactor",  "AnchorDepth",
                                        "PumpDepth",      "FluidSpecificGravity", "FluidViscosity",
                                        "TubingPressure", "CasingPressure", "PumpDiameter",   "PlungerLength",
                                        "Clearance"};

constexpr double kTubingStretch = 5e-7;  // in per lb per ft
constexpr double kRodWeight = 2.224;     // lb/ft
constexpr double kRodDensity = 490.0;    // lb/ft3

// One 6,000 ft tubing section and one 5,100 ft taper on every card, all dirty flags down.
inline void GiveWellTubingAndRods(TeskObj* obj) {
    const TubingBase_t tubing = Tubing(6000, kTubingStretch);
    const TaperBase_t taper = Taper("rod", 5100, 0.875, kRodWeight);
    SetDiagTubings(obj, &tubing, 1);
    SetPredTubings(obj, &tubing, 1);
    SetDiagTapers(obj, &taper, 1, 1.0);
    SetPredTapers(obj, &taper, 1, 1.0);
    obj->measDirty = obj->upscDirty = obj->predDirty = 0;
}
