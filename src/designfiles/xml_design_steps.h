#pragma once
#include <vector>

#include "tesk/tesk.h"

struct TeskObj;

// Steps of the rod string and tubing that the Rodstar and SROD readers share.

// Replaces the predicted card's tapers (its sgFluid becomes sg) and logs the new list; when the
// model refuses them (with a log line) the old tapers stay.
void StorePredTapers(TeskObj* obj, const std::vector<TaperBase_t>& tapers, double sg);

// True when the predicted card has at least one taper, from this file or an earlier load.
bool PredHasTapers(const TeskObj* obj);
// Gives all three cards one tubing section as long as the predicted rod string, with the
// outside diameter and every other value 0; the new lists have no depths yet.
void StoreOneSectionTubing(TeskObj* obj, double outsideDiameter);
