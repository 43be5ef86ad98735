#include "model/well_inputs.h"

#include <cmath>
#include <cstring>

#include "common/bounded_text.h"
#include "engine/fea_nodes.h"
#include "engine/fourier.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "pumpunit/pumping_unit.h"

namespace {

bool HasTubing(const WaveModel* card) { return card->tubings != nullptr && card->tubings->count > 0; }

// Stores on the cards that `when` picks, `differs` telling whether a card's value is another;
// every card stored on is marked. True when any was.
template <typename DiffersOn, typename Store>
bool StoreOnCards(TeskObj* obj, const CardGroup& cards, StoreWhen when, DiffersOn differs, Store store) {
    if (cards.count < 1) return false;
    if (when == StoreWhen::FirstDiffers && !differs(cards.cards[0])) return false;
    bool stored = false;
    for (int32_t i = 0; i < cards.count; ++i) {
        WaveModel* card = cards.cards[i];
        if (when == StoreWhen::EachDiffers && !differs(card)) continue;
        store(card);
        MarkCardDirty(obj, card);
        stored = true;
    }
    return stored;
}

// Depths go onto tubing the card already has; a card without it keeps its warning.
void StoreTubingDepth(TeskObj* obj, const CardGroup& cards, double TubingList::*field, double depth,
                      bool (*storeOnCard)(WaveModel*, double)) {
    for (int32_t i = 0; i < cards.count; ++i) {
        WaveModel* card = cards.cards[i];
        if (HasTubing(card) && !Differs(card->tubings->*field, depth)) continue;
        if (!storeOnCard(card, depth)) continue;
        UpdateTubingTotals(card->tubings);
        MarkCardDirty(obj, card);
    }
}

void StorePredInput(TeskObj* obj, double* stored, double given, double kept) {
    if (!Differs(given, *stored)) return;
    *stored = kept;
    MarkCardDirty(obj, &obj->pred);
}

}  // namespace

CardGroup DiagCards(TeskObj* obj) { return CardGroup{{&obj->meas, &obj->upsc, nullptr}, 2}; }
CardGroup PredCards(TeskObj* obj) { return CardGroup{{&obj->pred, nullptr, nullptr}, 1}; }
CardGroup AllCards(TeskObj* obj) { return CardGroup{{&obj->meas, &obj->upsc, &obj->pred}, 3}; }
CardGroup OneCard(WaveModel* card) { return CardGroup{{card, nullptr, nullptr}, 1}; }

bool Differs(double a, double b) { return !(a == b); }

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

void MarkCardDirty(TeskObj* obj, const WaveModel* card) {
    if (card == &obj->meas) obj->measDirty = 1;
    if (card == &obj->upsc) obj->upscDirty = 1;
    if (card == &obj->pred) obj->predDirty = 1;
}

void MarkCardsDirty(TeskObj* obj, const CardGroup& cards) {
    for (int32_t i = 0; i < cards.count; ++i) MarkCardDirty(obj, cards.cards[i]);
}

bool StoreCardValue(TeskObj* obj, const CardGroup& cards, double WaveModel::*field, double value, StoreWhen when) {
    return StoreOnCards(
        obj, cards, when, [&](const WaveModel* card) { return Differs(card->*field, value); },
        [&](WaveModel* card) { card->*field = value; });
}

bool StoreSpeed(TeskObj* obj, const CardGroup& cards, double spm, StoreWhen when) {
    return StoreOnCards(
        obj, cards, when, [&](const WaveModel* card) { return Differs(spm, card->spm); },
        [&](WaveModel* card) { SetCardSpm(card, spm); });
}

bool StoreDamping(TeskObj* obj, const CardGroup& cards, double up, double dn, StoreWhen when) {
    return StoreOnCards(
        obj, cards, when,
        [&](const WaveModel* card) { return Differs(up, card->dampUp) || Differs(dn, card->dampDn); },
        [&](WaveModel* card) { SetCardDamping(card, up, dn); });
}

bool StoreFluidGravity(TeskObj* obj, const CardGroup& cards, double sg, StoreWhen when) {
    return StoreOnCards(
        obj, cards, when, [&](const WaveModel* card) { return Differs(sg, card->sgFluid); },
        [&](WaveModel* card) {
            card->sgFluid = sg;
            if (card->tapers == nullptr) return;
            // A new fluid changes the buoyant weights, so the taper totals and the nodes built
            // from them follow it.
            UpdateTaperTotals(card->tapers, sg);
            UpdateNodeFluidFields(card);
        });
}

bool StoreCardPumpDepth(WaveModel* card, double depth) {
    if (!HasTubing(card)) {
        LogMessage("Could not set Pump Depth because the tubing is not set");
        return false;
    }
    card->tubings->pumpDepth = depth;
    return true;
}

bool StoreCardAnchorDepth(WaveModel* card, double depth) {
    if (!HasTubing(card)) {
        LogMessage("WARNING: %s trying to set anchor depth before the tubing was defined", card->name);
        return false;
    }
    card->tubings->anchorDepth = depth;
    return true;
}

void StorePumpDepth(TeskObj* obj, const CardGroup& cards, double depth) {
    StoreTubingDepth(obj, cards, &TubingList::pumpDepth, depth, StoreCardPumpDepth);
}

void StoreAnchorDepth(TeskObj* obj, const CardGroup& cards, double depth) {
    StoreTubingDepth(obj, cards, &TubingList::anchorDepth, depth, StoreCardAnchorDepth);
}

bool StoreTapers(TeskObj* obj, const CardGroup& cards, const TaperBase_t* rows, int32_t count, double sg) {
    if (!SetCardsTapers(cards.cards, cards.count, rows, count, sg)) return false;
    for (int32_t i = 0; i < cards.count; ++i) cards.cards[i]->sgFluid = sg;
    MarkCardsDirty(obj, cards);
    return true;
}

bool StoreTubings(TeskObj* obj, const CardGroup& cards, const TubingBase_t* rows, int32_t count) {
    if (!SetCardsTubings(cards.cards, cards.count, rows, count)) return false;
    MarkCardsDirty(obj, cards);
    return true;
}

void StoreNewTubingDepths(TeskObj* obj, const CardGroup& cards, double pumpDepth, double anchorDepth) {
    for (int32_t i = 0; i < cards.count; ++i) {
        TubingList* tubing = cards.cards[i]->tubings;
        tubing->pumpDepth = pumpDepth;
        tubing->anchorDepth = anchorDepth;
        UpdateTubingTotals(tubing);
    }
    MarkCardsDirty(obj, cards);
}

void StoreFo(TeskObj* obj, double fo) { StorePredInput(obj, &obj->fo, fo, fo); }

void StoreFillage(TeskObj* obj, double fillage) { StorePredInput(obj, &obj->fillage, fillage, ClampFillage(fillage)); }

void StoreCompression(TeskObj* obj, double compression) {
    StorePredInput(obj, &obj->compression, compression, compression);
}

void StoreUsePumpingUnitForPosition(TeskObj* obj, uint8_t use) {
    if (use == obj->usePumpingUnitForPosition) return;
    obj->usePumpingUnitForPosition = use;
    MarkCardDirty(obj, &obj->pred);
}

void StorePuInfo(TeskObj* obj, const PuInfo_t* info) {
    MarkCardDirty(obj, &obj->pred);
    ResetPuDerived(&obj->pu);
    std::memcpy(static_cast<PuInfo_t*>(&obj->pu), info, sizeof *info);
    DerivePuGeometry(&obj->pu);
}

void StoreFourierCoeffCount(TeskObj* obj, FourierSeries* series, const double* samples, int32_t count,
                            bool measuredLoaded) {
    CardFourierFit* fit = obj->fourier;
    if (CalcFourierCoeffs(fit, series, samples, obj->meas.PointCount, count) || !measuredLoaded) return;
    if (series->count != count) CalcFourierCoeffs(fit, series, samples, obj->meas.PointCount, series->count);
}

void StoreWellDepth(TeskObj* obj, double depth) { obj->wellDepth = depth; }

void StoreWellName(TeskObj* obj, const char* name) { CopyBoundedText(obj->wellName, sizeof obj->wellName, name); }
