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

// The one validity test for a taper: NaN and non-positive lengths are invalid.
inline bool IsValidTaper(const TaperItem& taper) { return taper.L > 0; }

// Copies a taper name of at most 32 bytes and pads the field with NUL bytes; a full
// field carries no terminator. Null copies an empty name.
void CopyTaperId(char (&field)[32], const char* id);

// Fills a fresh list (an item array it held is not freed) from `count` records, applying the
// material defaults. False (and "MALLOC ERROR") when the items cannot be had; the list then
// stays empty.
bool BuildTaperList(TaperList* list, const TaperBase_t* rows, int32_t count);
// Recomputes every taper's top and buoyant weight and the list totals for a fluid; null does nothing.
void UpdateTaperTotals(TaperList* list, double sgFluid);
// Releases a list and its items; null does nothing.
void FreeTaperList(TaperList* list);

// The first valid taper that holds the stand-in weight of a diameter the rod table does not list
// (kUnsupportedRodWeight), or null: totals that include it are no weights of a real string.
const TaperItem* FindStandInWeight(const TaperList* list);

// The card's list, or null with a warning naming the card.
TaperList* GetTaperList(WaveModel* card);
// The deepest valid taper, or null.
TaperItem* FindLastTaper(TaperList* list);
// The tubing's pump depth when the card has tubing, else the bottom of the rod string, else 0.
double GetPumpDepth(WaveModel* card);
// Index of the taper holding a depth (a boundary belongs to the lower taper; 0 above the
// surface; the last valid taper past the bottom); -1 and a log line when none can be named.
int32_t GetRodSectionIndex(TaperList* list, double depth);
// Buoyant rod weight hanging below a depth, lb.
double CalcBuoyantWeightBelow(TaperList* list, double depth);
// Rod spring constant from the surface down to a depth, lb/in; 0 for a depth of 0 or less.
double CalcKrToDepth(TaperList* list, double depth);
// Largest wave speed of all tapers; the smallest positive normal double for an empty list.
double GetMaxWaveSpeed(TaperList* list);
void PrintTaperList(TaperList* list);
