#pragma once
#include <vector>

#include "tesk/tesk.h"

struct TeskObj;
struct WaveModel;

// Steps the Rodstar and SROD readers share. Each raises the object's dirty flag of every card
// whose values it really changes.

// Stores one value on "MEAS", "UPSC" and "PRED".
void StoreOnAllCards(TeskObj* obj, double WaveModel::*field, double value);
// The predicted card's speed; a speed above 0 also sets its period.
void StorePredSpeed(TeskObj* obj, double spm);
void StorePredDamping(TeskObj* obj, double up, double dn);
// The fluid specific gravity of the three cards, with the taper totals and nodes that follow it.
void StoreFluidGravityOnAllCards(TeskObj* obj, double sg);

// Replaces the predicted card's tapers (its sgFluid becomes sg) and logs the new list; when the
// model refuses them (with a log line) the old tapers stay.
void StorePredTapers(TeskObj* obj, const std::vector<TaperBase_t>& tapers, double sg);

// True when the predicted card has at least one taper, from this file or an earlier load.
bool PredHasTapers(const TeskObj* obj);
// Gives all three cards one tubing section as long as the predicted rod string, with the
// outside diameter and every other value 0; the new lists have no depths yet.
void StoreOneSectionTubing(TeskObj* obj, double outsideDiameter);

// Store the depth on the tubing of "MEAS", "UPSC" and "PRED" in that order, recomputing the
// tubing totals; a card without tubing gets its warning line instead.
void StoreAnchorDepthOnAllCards(TeskObj* obj, double depth);
void StorePumpDepthOnAllCards(TeskObj* obj, double depth);
