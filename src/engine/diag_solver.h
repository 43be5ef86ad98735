#pragma once

struct TeskObj;
struct WaveModel;

// Turns the surface card of a diagnostic card into its pump card by marching the damped wave
// equation down the rod string; also records the rod-load limits at every grid point and,
// when the card keeps them, the intermediate cards. False (with a log line) when the card
// is not ready to be solved; nothing is written then.
bool CalcWaveDiag(TeskObj* obj, WaveModel* card);
