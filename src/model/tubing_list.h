#pragma once
#include <cstdint>

#include "engine/tubing_list.h"
#include "tesk/tesk.h"

struct WaveModel;

// Replaces the tubing of every given card with its own copy of the records, all cards or none:
// null records, a count below 1 or exhausted memory log a line, keep every old list and give
// false. The new lists have pump and anchor depth 0; no dirty byte of the cards is raised.
bool SetCardsTubings(WaveModel* const* cards, int32_t cardCount, const TubingBase_t* rows, int32_t count);
bool SetCardTubings(WaveModel* card, const TubingBase_t* rows, int32_t count);
