#include "pumpunit/pumping_unit.h"

void DerivePuGeometry(PumpingUnit*) {}
