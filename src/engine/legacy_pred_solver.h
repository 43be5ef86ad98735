#pragma once

struct PredSettings;
struct WaveModel;

// The older predictive solver of `pred`, meant for its fixed grid (23 nodes of a 22nd of the string,
// so the last node reaches one node length below the string): a recurrence in the element
// stiffnesses with the damping of each grid point chosen by the motion of the point above, and
// its own pump end (PredPumpBoundary). It runs PointCount*cycles steps from rest in NoLoad;
// the card arrays, colours and intermediate rows are rewritten every cycle, so the last remains.
// The load limits cover the last cycle without its first point. Event indexes count running
// steps over all cycles. The surface position is that of the pumping unit for any non-zero
// usePumpingUnitForPosition.
//
// Like CalcWavePredNew it starts at rest at the first surface position (solving on f - f(0)),
// and an interior grid point k carries its own difference with the weight below node k-1.
// The colour of a point is the pump state before its boundary step.
//
// Refused (false, "Cannot run CalcWavePred() because all fields have not been set."): no points
// or card arrays, fewer than 4 nodes, no taper of positive length, or more running steps than an
// int32 counts. Otherwise true: there is no range test, non-finite values are stored as they come.
bool CalcWavePred(const PredSettings& settings, WaveModel* pred);
