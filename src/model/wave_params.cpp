#include "model/wave_params.h"

#include <cmath>
#include <cstring>

#include "engine/fea_nodes.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

namespace {

// A NaN never equals anything, so a NaN given or stored always counts as a change.
bool Differs(double a, double b) { return !(a == b); }

bool HasTubing(const WaveModel* card) { return card->tubings != nullptr && card->tubings->count > 0; }

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

void StoreSpecificGravity(WaveModel* card, double sg) {
    card->sgFluid = sg;
    if (card->tapers == nullptr) {
        LogMessage("Warning: %s Trying to get a taper before it was set", card->name);
        return;
    }
    UpdateTaperTotals(card->tapers, sg);
    UpdateNodeFluidFields(card);
}

void StorePumpDepth(WaveModel* card, double depth) {
    if (HasTubing(card)) {
        card->tubings->pumpDepth = depth;
    } else {
        LogMessage("Could not set Pump Depth because the tubing is not set");
    }
}

void StoreAnchorDepth(WaveModel* card, double depth) {
    if (HasTubing(card)) {
        card->tubings->anchorDepth = depth;
    } else {
        LogMessage("WARNING: %s trying to set anchor depth before the tubing was defined", card->name);
    }
}

void RefreshTubingTotals(WaveModel* card) {
    if (!HasTubing(card)) LogMessage("Warning: %s Trying to get a Tubing before it was set", card->name);
    if (card->tubings != nullptr) UpdateTubingTotals(card->tubings);
}

void ApplyDiagSpeedAndDamping(TeskObj* obj, const WaveParams_t* p) {
    if (Differs(p->diagSpm, obj->meas.spm)) {
        obj->measDirty = obj->upscDirty = 1;
        SetCardSpm(&obj->meas, p->diagSpm);
        SetCardSpm(&obj->upsc, p->diagSpm);
    }
    if (Differs(p->diagDampUp, obj->meas.dampUp) || Differs(p->diagDampDn, obj->meas.dampDn)) {
        SetCardDamping(&obj->meas, p->diagDampUp, p->diagDampDn);
        SetCardDamping(&obj->upsc, p->diagDampUp, p->diagDampDn);
        obj->measDirty = obj->upscDirty = 1;
    }
}

void ApplyPredSpeedAndDamping(TeskObj* obj, const WaveParams_t* p) {
    if (Differs(p->predSpm, obj->pred.spm)) {
        obj->predDirty = 1;
        SetCardSpm(&obj->pred, p->predSpm);
    }
    if (Differs(p->predDampUp, obj->pred.dampUp) || Differs(p->predDampDn, obj->pred.dampDn)) {
        SetCardDamping(&obj->pred, p->predDampUp, p->predDampDn);
        obj->predDirty = 1;
    }
}

// "UPSC" keeps its own specific gravity: it follows the measured card only through the host.
void ApplySpecificGravities(TeskObj* obj, const WaveParams_t* p) {
    if (Differs(p->diagSg, obj->meas.sgFluid)) {
        StoreSpecificGravity(&obj->meas, p->diagSg);
        obj->measDirty = 1;
    }
    if (Differs(p->predSg, obj->pred.sgFluid)) {
        StoreSpecificGravity(&obj->pred, p->predSg);
        obj->predDirty = 1;
    }
}

// The cards that share one tubing value of the record: "MEAS" and "UPSC", or "PRED" alone.
struct TubingCards {
    WaveModel* first;
    WaveModel* second;
    bool changed;
};

void StorePumpDepths(TubingCards* cards, double depth) {
    if (!Differs(depth, GetPumpDepth(cards->first))) return;
    StorePumpDepth(cards->first, depth);
    if (cards->second != nullptr) StorePumpDepth(cards->second, depth);
    cards->changed = true;
}

void StoreAnchorDepths(TubingCards* cards, double depth) {
    if (!Differs(depth, GetAnchorDepth(cards->first))) return;
    StoreAnchorDepth(cards->first, depth);
    if (cards->second != nullptr) StoreAnchorDepth(cards->second, depth);
    cards->changed = true;
}

void RefreshChangedTubing(const TubingCards& cards) {
    if (!cards.changed) return;
    RefreshTubingTotals(cards.first);
    if (cards.second != nullptr) RefreshTubingTotals(cards.second);
}

// Pump depths first, then anchor depths, then the totals of whichever tubing changed; the
// comparisons read "MEAS" for both diagnostic cards.
void ApplyDepths(TeskObj* obj, const WaveParams_t* p) {
    TubingCards diag{&obj->meas, &obj->upsc, false};
    TubingCards pred{&obj->pred, nullptr, false};
    StorePumpDepths(&diag, p->diagPumpDepth);
    StorePumpDepths(&pred, p->predPumpDepth);
    StoreAnchorDepths(&diag, p->diagAnchorDepth);
    StoreAnchorDepths(&pred, p->predAnchorDepth);
    if (diag.changed) obj->measDirty = obj->upscDirty = 1;
    RefreshChangedTubing(diag);
    if (pred.changed) obj->predDirty = 1;
    RefreshChangedTubing(pred);
}

void ApplyPredictionInputs(TeskObj* obj, const WaveParams_t* p) {
    if (Differs(p->fo, obj->fo)) {
        obj->fo = p->fo;
        obj->predDirty = 1;
    }
    if (Differs(p->fillage, obj->fillage)) {
        obj->predDirty = 1;
        obj->fillage = ClampFillage(p->fillage);
    }
    if (Differs(p->compression, obj->compression)) {
        obj->compression = p->compression;
        obj->predDirty = 1;
    }
    if (p->usePumpingUnitForPosition != obj->usePumpingUnitForPosition) {
        obj->predDirty = 1;
        obj->usePumpingUnitForPosition = p->usePumpingUnitForPosition;
    }
}

// A setting that every card's solve reads.
void StoreSharedSetting(TeskObj* obj, uint8_t* stored, uint8_t value) {
    if (*stored == value) return;
    *stored = value;
    obj->measDirty = obj->upscDirty = obj->predDirty = 1;
}

}  // namespace

double ClampFillage(double fillage) {
    if (fillage < 0) return 0;
    if (fillage > 1) return 1;
    return fillage;
}

void RaiseCardFlags(WaveModel* card) {
    card->cdtDirty = 1;
    card->nodesDirty = 1;
}

bool SetCardSpm(WaveModel* card, double spm) {
    card->spm = spm;
    if (!(spm > 0) || !std::isfinite(spm)) {
        LogMessage("Warning: %s pumping speed %f is not a positive number, period kept", card->name, spm);
        return false;
    }
    RaiseCardFlags(card);
    card->period = 60 / spm;
    return true;
}

bool SetCardDamping(WaveModel* card, double up, double dn) {
    card->dampUp = up;
    card->dampDn = dn;
    RaiseCardFlags(card);
    return true;
}

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
    obj->wellDepth = params->wellDepth;
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
        obj->predDirty = 1;
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
        obj->predDirty = 1;
        RaiseCardFlags(pred);
        pred->nodesPerSection = nodesPerSection;
    }
    StoreSharedSetting(obj, &obj->subtractFluidLoad, settings->subtractFluidLoad);
    StoreSharedSetting(obj, &obj->zeroPumpPosition, settings->zeroPumpPosition);
    return true;
}
