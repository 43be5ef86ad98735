#pragma once
#include <cstdint>

#include "engine/taper_list.h"
#include "tesk/tesk.h"

struct WaveModel;

// Replaces the tapers of every given card with its own copy of the records, all cards or
// none: null records, a count below 1, a non-finite sgFluid or exhausted memory log a line,
// keep every old list and give false. On success raises each card's cdtDirty and nodesDirty;
// the cards' own sgFluid is left alone. Each taper without a positive length is kept but left
// out of the string, with one line naming it and the cards.
bool SetCardsTapers(WaveModel* const* cards, int32_t cardCount, const TaperBase_t* rows, int32_t count,
                    double sgFluid);
bool SetCardTapers(WaveModel* card, const TaperBase_t* rows, int32_t count, double sgFluid);
