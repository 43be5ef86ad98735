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

// Releases a list and its items; null does nothing.
void FreeTubingList(TubingList* list);
TubingList* GetTubingList(WaveModel* card);
double GetAnchorDepth(WaveModel* card);
void PrintTubingList(TubingList* list);
