#pragma once
#include <cstdint>

#include "tesk/tesk.h"

struct WaveModel;

// One taper inside a card's list: the TaperBase_t fields after material defaults,
// then the values derived from them.
struct TaperItem {
    char id[32];
    double L;
    double D;
    double W;
    double T;
    double E;
    double R;
    double buoyantWpf;    // lb/ft, W*(1 - sgFluid/rodSg); 0 for an invalid taper
    double top;           // ft, depth of the taper's top; 0 for an invalid taper
    double area;          // in2
    double rodSg;         // R/62.4
    double EA;            // lb
    double waveSpeed;     // ft/s
    double stretchPerFt;  // in of stretch per lb and per ft
    int32_t nodeCount;    // set by the discretisation
    double nodeLength;    // ft, set by the discretisation
};

// The rod string of one card; every total runs over the valid tapers (L > 0) only.
struct TaperList {
    TaperItem* items;
    int32_t count;
    int32_t validCount;
    double Rwf;
    double rodWeight;
    double totalLength;
    double stretchSum;
    double Kr;
    double meanWaveSpeed;
    double waveRoundTrip;
    double halfPiOverLength;
};

// Releases a list and its items; null does nothing.
void FreeTaperList(TaperList* list);
TaperList* GetTaperList(WaveModel* card);
TaperItem* FindLastTaper(TaperList* list);
double GetPumpDepth(WaveModel* card);
void PrintTaperList(TaperList* list);
