#include "designfiles/xml_design_steps.h"

#include "designfiles/design_reader.h"
#include "engine/fea_nodes.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/wave_params.h"

namespace {

// A NaN never equals anything, so a NaN given or stored always counts as a change.
bool Differs(double a, double b) { return !(a == b); }

bool HasTubing(const WaveModel* card) { return card->tubings != nullptr && card->tubings->count > 0; }

// The depths of the outside formats go to the cards in this order.
template <typename Step>
void ForEachCard(TeskObj* obj, Step step) {
    for (WaveModel* card : {&obj->meas, &obj->upsc, &obj->pred}) step(card);
}

void StoreTubingDepth(TeskObj* obj, WaveModel* card, double TubingList::*field, double depth) {
    TubingList* tubing = card->tubings;
    if (!Differs(tubing->*field, depth)) return;
    tubing->*field = depth;
    UpdateTubingTotals(tubing);
    MarkCardDirty(obj, card);
}

}  // namespace

void StoreOnAllCards(TeskObj* obj, double WaveModel::*field, double value) {
    ForEachCard(obj, [&](WaveModel* card) {
        if (!Differs(card->*field, value)) return;
        card->*field = value;
        MarkCardDirty(obj, card);
    });
}

void StorePredSpeed(TeskObj* obj, double spm) {
    if (!Differs(obj->pred.spm, spm)) return;
    SetCardSpm(&obj->pred, spm);
    MarkCardDirty(obj, &obj->pred);
}

void StorePredDamping(TeskObj* obj, double up, double dn) {
    if (!Differs(obj->pred.dampUp, up) && !Differs(obj->pred.dampDn, dn)) return;
    SetCardDamping(&obj->pred, up, dn);
    MarkCardDirty(obj, &obj->pred);
}

void StoreFluidGravityOnAllCards(TeskObj* obj, double sg) {
    ForEachCard(obj, [&](WaveModel* card) {
        if (!Differs(card->sgFluid, sg)) return;
        card->sgFluid = sg;
        if (card->tapers != nullptr) {
            UpdateTaperTotals(card->tapers, sg);
            UpdateNodeFluidFields(card);
        }
        MarkCardDirty(obj, card);
    });
}

void StorePredTapers(TeskObj* obj, const std::vector<TaperBase_t>& tapers, double sg) {
    WaveModel* pred = &obj->pred;
    if (SetCardTapers(pred, tapers.data(), static_cast<int32_t>(tapers.size()), sg)) {
        pred->sgFluid = sg;
        obj->predDirty = 1;
    }
    PrintTaperList(GetTaperList(pred));
}

bool PredHasTapers(const TeskObj* obj) { return obj->pred.tapers != nullptr && obj->pred.tapers->count > 0; }

void StoreOneSectionTubing(TeskObj* obj, double outsideDiameter) {
    TubingBase_t section{};
    section.L = obj->pred.tapers->totalLength;
    section.OD = outsideDiameter;
    WaveModel* cards[] = {&obj->pred, &obj->meas, &obj->upsc};
    if (!SetCardsTubings(cards, 3, &section, 1)) return;
    for (WaveModel* card : cards) MarkCardDirty(obj, card);
}

void StoreAnchorDepthOnAllCards(TeskObj* obj, double depth) {
    ForEachCard(obj, [&](WaveModel* card) {
        if (HasTubing(card)) {
            StoreTubingDepth(obj, card, &TubingList::anchorDepth, depth);
        } else {
            LogMessage("WARNING: %s trying to set anchor depth before the tubing was defined", card->name);
        }
    });
}

void StorePumpDepthOnAllCards(TeskObj* obj, double depth) {
    ForEachCard(obj, [&](WaveModel* card) {
        if (HasTubing(card)) {
            StoreTubingDepth(obj, card, &TubingList::pumpDepth, depth);
        } else {
            LogMessage("Could not set Pump Depth because the tubing is not set");
        }
    });
}
