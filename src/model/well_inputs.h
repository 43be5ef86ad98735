#pragma once
#include <cstdint>

#include "tesk/tesk.h"

struct TeskObj;
struct WaveModel;
struct FourierSeries;

// The doors through which an input reaches the well object. Each stores one input on the cards
// it belongs to and raises the dirty flag of every card the new value invalidates, so that the
// exports, the design readers and the dyno loader cannot disagree on what a change costs.

// The cards one value goes to, in the order they are stored.
struct CardGroup {
    WaveModel* cards[3];
    int32_t count;
};
// "MEAS" and "UPSC", which share the diagnostic values.
CardGroup DiagCards(TeskObj* obj);
// "PRED" alone.
CardGroup PredCards(TeskObj* obj);
// "MEAS", "UPSC" and "PRED": the outside design formats have one value for all three.
CardGroup AllCards(TeskObj* obj);
CardGroup OneCard(WaveModel* card);

// Which of the cards a value is stored on. A NaN never equals anything, so a NaN given or
// stored always counts as a change.
enum class StoreWhen : uint8_t {
    EachDiffers,   // every card whose own value differs
    FirstDiffers,  // all of them when the first card's value differs
    Always,        // all of them: a design document restates every value it holds
};

bool Differs(double a, double b);
// Raises the object's dirty flag of the card.
void MarkCardDirty(TeskObj* obj, const WaveModel* card);
void MarkCardsDirty(TeskObj* obj, const CardGroup& cards);
// Marks the card's time step, damping constants and nodes for recomputing.
void RaiseCardFlags(WaveModel* card);
// Stores the speed; when it is > 0 also the period and the card's flags (true), else false.
// The caller raises the object's flag.
bool SetCardSpm(WaveModel* card, double spm);
// Stores both damping factors and raises the card's flags; true. The caller raises the object's flag.
bool SetCardDamping(WaveModel* card, double up, double dn);
// A pump fillage within [0, 1]; NaN is kept as given.
double ClampFillage(double fillage);

// A plain value of the card (viscosity, pump, pressures, fluid level) that the solve reads as
// it is. True when any card took it.
bool StoreCardValue(TeskObj* obj, const CardGroup& cards, double WaveModel::*field, double value, StoreWhen when = StoreWhen::EachDiffers);
// The pumping speed, through SetCardSpm on each card. True when any card took it.
bool StoreSpeed(TeskObj* obj, const CardGroup& cards, double spm, StoreWhen when = StoreWhen::EachDiffers);
// Both damping factors, through SetCardDamping; a card takes them when either differs.
bool StoreDamping(TeskObj* obj, const CardGroup& cards, double up, double dn, StoreWhen when = StoreWhen::EachDiffers);
// The fluid specific gravity; a card with tapers also recomputes their buoyant totals and its
// nodes' fluid fields. True when any card took it.
bool StoreFluidGravity(TeskObj* obj, const CardGroup& cards, double sg, StoreWhen when = StoreWhen::EachDiffers);

// The depths on one card's tubing, nothing else: no totals, no flag. A card without tubing
// keeps its lists and gets its warning line instead (false).
bool StoreCardPumpDepth(WaveModel* card, double depth);
bool StoreCardAnchorDepth(WaveModel* card, double depth);
// Each card with tubing whose depth differs takes it, recomputes its tubing totals and is
// marked; a card without tubing gets its warning line.
void StorePumpDepth(TeskObj* obj, const CardGroup& cards, double depth);
void StoreAnchorDepth(TeskObj* obj, const CardGroup& cards, double depth);

// Replaces the cards' tapers (see SetCardsTapers); on success every card's sgFluid becomes sg
// and every card is marked. False, with the old tapers kept, when they are refused.
bool StoreTapers(TeskObj* obj, const CardGroup& cards, const TaperBase_t* rows, int32_t count, double sg);
// Replaces the cards' tubing (see SetCardsTubings) and marks every card; false, with the old
// tubing kept, when it is refused.
bool StoreTubings(TeskObj* obj, const CardGroup& cards, const TubingBase_t* rows, int32_t count);
// Stores both depths on tubing just given to the cards, recomputes its totals and marks the cards.
void StoreNewTubingDepths(TeskObj* obj, const CardGroup& cards, double pumpDepth, double anchorDepth);

// Inputs of the predicted card alone; each marks "PRED" when it changes. The fillage is kept
// within [0, 1] (NaN as given) and compared before it is.
void StoreFo(TeskObj* obj, double fo);
void StoreFillage(TeskObj* obj, double fillage);
void StoreCompression(TeskObj* obj, double compression);
void StoreUsePumpingUnitForPosition(TeskObj* obj, uint8_t use);
// A new pumping unit always marks "PRED": its derived geometry is rebuilt from the record.
void StorePuInfo(TeskObj* obj, const PuInfo_t* info);

// Fits one series of obj->fourier to the measured card's samples with `count` pairs. A count
// the fit refuses keeps the series; after a new measured card (`measuredLoaded`) the kept
// series is fitted again to it with its old count. Nothing is marked: resampling "UPSC" does.
void StoreFourierCoeffCount(TeskObj* obj, FourierSeries* series, const double* samples, int32_t count,
                            bool measuredLoaded);

// Values no solve reads: stored, nothing marked. The name is cut at a character boundary.
void StoreWellDepth(TeskObj* obj, double depth);
void StoreWellName(TeskObj* obj, const char* name);
