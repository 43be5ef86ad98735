#pragma once

// Physical and unit constants that every layer uses; each is written here once.

// π to the last bit of a double: equal to 4·atan(1) and to M_PI, which the solvers have always used.
constexpr double kPi = 3.141592653589793238462643383279502884;
// Standard gravity, ft/s².
constexpr double kGravity = 32.1739;
// Pressure gradient of fresh water, psi per ft of depth; times the specific gravity for a fluid.
constexpr double kFluidGradientPsiPerFt = 0.433;
constexpr double kInchesPerFoot = 12.0;
constexpr double kSquareInchesPerSquareFoot = 144.0;
// Card position (in, positive up) per rod displacement (ft, positive down).
constexpr double kInchesPerFootDown = -kInchesPerFoot;
