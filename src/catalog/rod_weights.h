#pragma once

// Steel, the material a taper is assumed to be when the host gives no modulus or density.
constexpr double kSteelModulus = 30500000.0;  // psi
constexpr double kSteelDensity = 492.0;       // lb/ft3

// Weight per foot of a steel rod of a listed diameter, lb/ft. The diameter must match a
// row exactly; any other logs "Unsupported Rod Diameter" and gives 999999.0.
double GetRodWeightPerFoot(double D);
