#pragma once

// Steel, the material a taper is assumed to be when the host gives no modulus or density.
constexpr double kSteelModulus = 30500000.0;  // psi
constexpr double kSteelDensity = 492.0;       // lb/ft3

// Weight per foot given to a taper whose diameter has no row; it stays in the taper so that
// hosts read back what they were given, and no solver runs a card that holds it.
constexpr double kUnsupportedRodWeight = 999999.0;  // lb/ft

// Weight per foot of a steel rod of a listed diameter, lb/ft. The diameter must lie within
// 0.005 in of a row (two decimals, as field files write them); any other logs
// "Unsupported Rod Diameter" and gives kUnsupportedRodWeight.
double GetRodWeightPerFoot(double D);
