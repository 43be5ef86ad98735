#pragma once
#include <cstdint>

#include "tesk/tesk.h"

struct WaveModel;

// One tubing section inside a card's list.
struct TubingItem {
    double L;
    double ID;
    double OD;
    double weight;
    double W;
    double T;
    double E;
    double R;
    double top;  // ft, depth of the section's top; 0 for an invalid section
};

// The tubing of one card, with the pump and anchor depths.
struct TubingList {
    TubingItem* items;
    int32_t count;
    double anchorDepth;
    double pumpDepth;
    int32_t validCount;
    double totalLength;
    double Kt;       // lb/in, tubing between anchor and pump
    double KtWhole;  // lb/in, all tubing above the pump
};

// The one validity test for a section: NaN and non-positive lengths are invalid.
inline bool IsValidTubing(const TubingItem& section) { return section.L > 0; }

// Fills a fresh list (an item array it held is not freed) from `count` records, stored
// unchanged, with no anchor or pump depth. False (and "MALLOC ERROR") when the items cannot
// be had; the list then stays empty.
bool BuildTubingList(TubingList* list, const TubingBase_t* rows, int32_t count);
// Recomputes the tops, validCount, totalLength, Kt and KtWhole for the current depths; returns Kt (0 for null).
double UpdateTubingTotals(TubingList* list);
// Releases a list and its items; null does nothing.
void FreeTubingList(TubingList* list);

// The card's list when it has sections, else a warning naming the card and what it holds.
TubingList* GetTubingList(WaveModel* card);
// The anchor depth of the card's tubing, or -1.0 without tubing.
double GetAnchorDepth(WaveModel* card);
void PrintTubingList(TubingList* list);
