#include "model/wave_params.h"

#include <cstring>

#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/well_inputs.h"

namespace {

void StorePump(WaveModel* card, double dia, double len, double fit) {
    card->pumpDia = dia;
    card->pumpLen = len;
    card->pumpFit = fit;
}

void StorePressuresAndLevel(WaveModel* card, double tubing, double casing, double fluidLevel) {
    card->pressureTubing = tubing;
    card->pressureCasing = casing;
    card->fluidLevel = fluidLevel;
}

// Plain copies that raise no flag: the run reads them afresh.
void StoreUnflaggedInputs(TeskObj* obj, const WaveParams_t* p) {
    obj->meas.viscFluid = p->diagVisc;
    obj->pred.viscFluid = p->predVisc;
    StorePump(&obj->pred, p->predPumpDia, p->predPumpLen, p->predPumpFit);
    StorePressuresAndLevel(&obj->pred, p->predPressureTubing, p->predPressureCasing, p->predFluidLevel);
    for (WaveModel* card : {&obj->meas, &obj->upsc}) {
        StorePump(card, p->diagPumpDia, p->diagPumpLen, p->diagPumpFit);
        StorePressuresAndLevel(card, p->diagPressureTubing, p->diagPressureCasing, p->diagFluidLevel);
    }
}

void RefreshTubingTotals(WaveModel* card) {
    if (card->tubings == nullptr || card->tubings->count <= 0) {
        LogMessage("Warning: %s Trying to get a Tubing before it was set", card->name);
    }
    if (card->tubings != nullptr) UpdateTubingTotals(card->tubings);
}

void ApplyDiagSpeedAndDamping(TeskObj* obj, const WaveParams_t* p) {
    StoreSpeed(obj, DiagCards(obj), p->diagSpm, StoreWhen::FirstDiffers);
    StoreDamping(obj, DiagCards(obj), p->diagDampUp, p->diagDampDn, StoreWhen::FirstDiffers);
}

void ApplyPredSpeedAndDamping(TeskObj* obj, const WaveParams_t* p) {
    StoreSpeed(obj, PredCards(obj), p->predSpm, StoreWhen::EachDiffers);
    StoreDamping(obj, PredCards(obj), p->predDampUp, p->predDampDn, StoreWhen::EachDiffers);
}

// A card without tapers takes the gravity, with a warning that nothing follows it yet.
void ApplySpecificGravity(TeskObj* obj, WaveModel* card, double sg) {
    if (!StoreFluidGravity(obj, OneCard(card), sg, StoreWhen::EachDiffers) || card->tapers != nullptr) return;
    LogMessage("Warning: %s Trying to get a taper before it was set", card->name);
}

// "UPSC" keeps its own specific gravity: it follows the measured card only through the host.
void ApplySpecificGravities(TeskObj* obj, const WaveParams_t* p) {
    ApplySpecificGravity(obj, &obj->meas, p->diagSg);
    ApplySpecificGravity(obj, &obj->pred, p->predSg);
}

// The cards that share one tubing value of the record: "MEAS" and "UPSC", or "PRED" alone.
struct TubingCards {
    CardGroup cards;
    bool changed;
};

// The comparison reads the first card's depth (the rod string's bottom without tubing); when it
// differs every card is marked, even one whose tubing could not take the depth.
void StoreDepthOnCards(TubingCards* tubing, double depth, double current, bool (*storeOnCard)(WaveModel*, double)) {
    if (!Differs(depth, current)) return;
    for (int32_t i = 0; i < tubing->cards.count; ++i) storeOnCard(tubing->cards.cards[i], depth);
    tubing->changed = true;
}

void RefreshChangedTubing(TeskObj* obj, const TubingCards& tubing) {
    if (!tubing.changed) return;
    MarkCardsDirty(obj, tubing.cards);
    for (int32_t i = 0; i < tubing.cards.count; ++i) RefreshTubingTotals(tubing.cards.cards[i]);
}

// Pump depths first, then anchor depths, then the totals of whichever tubing changed; the
// comparisons read "MEAS" for both diagnostic cards.
void ApplyDepths(TeskObj* obj, const WaveParams_t* p) {
    TubingCards diag{DiagCards(obj), false};
    TubingCards pred{PredCards(obj), false};
    StoreDepthOnCards(&diag, p->diagPumpDepth, GetPumpDepth(&obj->meas), StoreCardPumpDepth);
    StoreDepthOnCards(&pred, p->predPumpDepth, GetPumpDepth(&obj->pred), StoreCardPumpDepth);
    StoreDepthOnCards(&diag, p->diagAnchorDepth, GetAnchorDepth(&obj->meas), StoreCardAnchorDepth);
    StoreDepthOnCards(&pred, p->predAnchorDepth, GetAnchorDepth(&obj->pred), StoreCardAnchorDepth);
    RefreshChangedTubing(obj, diag);
    RefreshChangedTubing(obj, pred);
}

void ApplyPredictionInputs(TeskObj* obj, const WaveParams_t* p) {
    StoreFo(obj, p->fo);
    StoreFillage(obj, p->fillage);
    StoreCompression(obj, p->compression);
    StoreUsePumpingUnitForPosition(obj, p->usePumpingUnitForPosition);
}

// A setting that every card's solve reads.
void StoreSharedSetting(TeskObj* obj, uint8_t* stored, uint8_t value) {
    if (*stored == value) return;
    *stored = value;
    MarkCardsDirty(obj, AllCards(obj));
}

}  // namespace

WaveParams_t ReadWaveParams(TeskObj* obj) {
    WaveParams_t p;
    std::memset(&p, 0, sizeof p);
    const WaveModel& meas = obj->meas;
    const WaveModel& pred = obj->pred;
    p.wellDepth = obj->wellDepth;
    p.diagSpm = meas.spm;
    p.predSpm = pred.spm;
    p.diagDampUp = meas.dampUp;
    p.diagDampDn = meas.dampDn;
    p.predDampUp = pred.dampUp;
    p.predDampDn = pred.dampDn;
    p.diagSg = meas.sgFluid;
    p.predSg = pred.sgFluid;
    p.diagVisc = meas.viscFluid;
    p.predVisc = pred.viscFluid;
    p.diagPumpDia = meas.pumpDia;
    p.diagPumpLen = meas.pumpLen;
    p.diagPumpFit = meas.pumpFit;
    p.predPumpDia = pred.pumpDia;
    p.predPumpLen = pred.pumpLen;
    p.predPumpFit = pred.pumpFit;
    p.diagPressureTubing = meas.pressureTubing;
    p.diagPressureCasing = meas.pressureCasing;
    p.predPressureTubing = pred.pressureTubing;
    p.predPressureCasing = pred.pressureCasing;
    p.diagFluidLevel = meas.fluidLevel;
    p.predFluidLevel = pred.fluidLevel;
    p.diagPumpDepth = GetPumpDepth(&obj->meas);
    p.predPumpDepth = GetPumpDepth(&obj->pred);
    p.diagAnchorDepth = GetAnchorDepth(&obj->meas);
    p.predAnchorDepth = GetAnchorDepth(&obj->pred);
    p.fo = obj->fo;
    p.fillage = obj->fillage;
    p.compression = obj->compression;
    p.usePumpingUnitForPosition = obj->usePumpingUnitForPosition;
    return p;
}

bool ApplyWaveParams(TeskObj* obj, const WaveParams_t* params) {
    StoreWellDepth(obj, params->wellDepth);
    ApplyDiagSpeedAndDamping(obj, params);
    ApplyPredSpeedAndDamping(obj, params);
    ApplySpecificGravities(obj, params);
    StoreUnflaggedInputs(obj, params);
    ApplyDepths(obj, params);
    ApplyPredictionInputs(obj, params);
    return true;
}

WaveSettings_t ReadWaveSettings(TeskObj* obj) {
    WaveSettings_t s;
    std::memset(&s, 0, sizeof s);
    s.useLegacyPred = obj->useLegacyPred;
    s.predNodesPerSection = obj->pred.nodesPerSection;
    s.subtractFluidLoad = obj->subtractFluidLoad;
    s.zeroPumpPosition = obj->zeroPumpPosition;
    return s;
}

bool ApplyWaveSettings(TeskObj* obj, const WaveSettings_t* settings) {
    WaveModel* pred = &obj->pred;
    if (settings->useLegacyPred != obj->useLegacyPred) {
        MarkCardDirty(obj, pred);
        pred->fixedGrid = settings->useLegacyPred;
        RaiseCardFlags(pred);
        obj->useLegacyPred = settings->useLegacyPred;
    }
    if (settings->predNodesPerSection != pred->nodesPerSection) {
        int32_t nodesPerSection = settings->predNodesPerSection;
        if (nodesPerSection < 1 || nodesPerSection > 1000) {
            LogMessage("Invalid predNodesPerSection");
            nodesPerSection = pred->nodesPerSection;
        }
        MarkCardDirty(obj, pred);
        RaiseCardFlags(pred);
        pred->nodesPerSection = nodesPerSection;
    }
    StoreSharedSetting(obj, &obj->subtractFluidLoad, settings->subtractFluidLoad);
    StoreSharedSetting(obj, &obj->zeroPumpPosition, settings->zeroPumpPosition);
    return true;
}
