#pragma once
#include <cstdint>

struct DiagSettings;
struct WaveModel;

// Turns the surface card of a diagnostic card into its pump card by marching the damped wave
// equation down the rod string; also records the rod-load limits at every grid point and,
// when the card keeps them, the intermediate cards. False (with a log line) when the card
// is not ready to be solved; nothing is written then. Uses the best build of its loops that
// the machine runs.
bool CalcWaveDiag(const DiagSettings& settings, WaveModel* card);

// The builds of the solver's loops. They round every operation alike (no fused multiply-add),
// so they give bit-identical cards.
enum class DiagKernelBuild : uint8_t { Baseline, Avx2, Avx512 };

// True when this machine can run the build.
bool DiagKernelBuildAvailable(DiagKernelBuild build);

// CalcWaveDiag on the given build of the loops; false with a line when the machine cannot run it.
bool CalcWaveDiagWithBuild(const DiagSettings& settings, WaveModel* card, DiagKernelBuild build);
