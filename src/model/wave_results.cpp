// Figures a host reads after a run: grids, rod-string totals, strokes, pump displacement,
// plunger slippage and the pump events of the predicted card.
#include "model/wave_results.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/constants.h"
#include "engine/fea_node.h"
#include "engine/pump_state.h"
#include "log/log.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

namespace {

double LastNodeArea(const WaveModel& card) {
    if (card.nodes == nullptr || card.FeaNodeCount <= 0) return 0.0;
    return card.nodes[card.FeaNodeCount - 1].areaFt2;
}

double FluidLoadTerm(WaveModel* card) {
    const double d = GetPumpDepth(card);
    return ((card->sgFluid * kFluidGradientPsiPerFt) * d) * LastNodeArea(*card);
}

// Span between two extremes; 0 while they hold their start values (never solved) or are not numbers.
double Stroke(double max, double min) {
    const double stroke = max - min;
    return (std::isfinite(stroke) && max >= min) ? stroke : 0.0;
}

double PumpDisplacement(const WaveModel& card, double pumpStroke) {
    return std::pow(card.pumpDia, 2) * ((pumpStroke * 0.1166) * card.spm);
}

double PumpVolume(const WaveModel& card, double pumpStroke) { return std::pow(card.pumpDia, 2) * pumpStroke / 231.0; }

double CardSlippage(WaveModel* card) {
    return CalcSlippage(card->spm, card->pumpDia, card->pumpFit, card->pumpLen, card->viscFluid,
                        PlungerPressureDifference(card));
}

// Polished-rod stroke of the pumping unit, by unit type.
double PumpingUnitStroke(const PumpingUnit& pu) {
    if (pu.unitType == 'H') return pu.maxStroke;
    if (pu.unitType == 'X') return pu.xStroke;
    const double stroke = (pu.thetaBottom - pu.thetaTop) * pu.A;
    return (pu.unitType == 'M' || pu.unitType == 'A') ? -stroke : stroke;
}

struct TaperFigures {
    double* rodWeight;
    double* rwf;
    double* waveRoundTrip;
    double* waveSpeed;
    double* kr;
    double* nNo;
};

void FillTaperFigures(const WaveModel& card, const TaperList* list, TaperFigures out) {
    if (list == nullptr) return;
    // A stand-in weight of 999,999 lb/ft would report millions of pounds for a string; no weight is
    // better than that one.
    const bool weightsKnown = FindStandInWeight(list) == nullptr;
    *out.rodWeight = weightsKnown ? list->rodWeight : 0.0;
    *out.rwf = weightsKnown ? list->Rwf : 0.0;
    *out.waveRoundTrip = list->waveRoundTrip;
    *out.waveSpeed = list->meanWaveSpeed;
    *out.kr = list->Kr;
    *out.nNo = card.spm * list->totalLength / 245000.0;
}

void FillTubingFigures(const WaveModel& card, double* kt, double* ktWhole) {
    if (card.tubings == nullptr || card.tubings->count <= 0) return;
    *kt = card.tubings->Kt;
    *ktWhole = card.tubings->KtWhole;
}

// The legacy solver counts events over all cycles, the default one within the last cycle.
int32_t EventIndexInLastCycle(const TeskObj& obj, PumpEvent event) {
    const int64_t shift =
        obj.useLegacyPred != 0 ? static_cast<int64_t>(obj.predCycles - 1) * obj.pred.PointCount : 0;
    const int64_t index = static_cast<int64_t>(obj.pred.pump.eventIndex[event]) - shift;
    if (index < INT32_MIN) return INT32_MIN;
    return index > INT32_MAX ? INT32_MAX : static_cast<int32_t>(index);
}

}  // namespace

double CalcSlippage(double spm, double pumpDia, double pumpFit, double pumpLen, double viscFluid, double dpsi) {
    const double s = ((std::pow(pumpFit, 1.52) * ((((spm * 0.14) + 1.0) * 453.0) * pumpDia * dpsi)) / pumpLen) / viscFluid;
    if (std::isnan(s)) {
        LogMessage("Invalid Slippage value spm:%lf, pdia:%lf, pc:%lf, pl:%lf, lv:%lf, dpsi:%lf", spm, pumpDia, pumpFit,
                   pumpLen, viscFluid, dpsi);
        return 0.0;
    }
    return s;
}

double PlungerPressureDifference(WaveModel* card) {
    const double d = GetPumpDepth(card);
    return (d - (d - card->fluidLevel)) * (card->sgFluid * kFluidGradientPsiPerFt) + card->pressureTubing -
           card->pressureCasing;
}

double CalcFoFromPressure(TeskObj* obj) {
    WaveModel* pred = &obj->pred;
    const double d = GetPumpDepth(pred);
    return std::pow(pred->pumpDia, 2) * kPi * 0.25 *
           (((d - (d - pred->fluidLevel)) * kFluidGradientPsiPerFt) * pred->sgFluid + pred->pressureTubing -
            pred->pressureCasing);
}

WaveParamsReadOnly_t ReadWaveParamsReadOnly(TeskObj* obj) {
    WaveParamsReadOnly_t out;
    std::memset(&out, 0, sizeof out);
    out.diagNodeCount = obj->meas.FeaNodeCount;
    out.upscNodeCount = obj->upsc.FeaNodeCount;
    out.predNodeCount = obj->pred.FeaNodeCount;
    out.diagDt = obj->meas.DT;
    out.upscDt = obj->upsc.DT;
    out.predDt = obj->pred.DT;
    out.diagPointCount = obj->meas.PointCount;
    out.upscPointCount = obj->upsc.PointCount;
    out.predPointCount = obj->pred.PointCount;
    out.diagPeriod = obj->meas.period;
    out.predPeriod = obj->pred.period;
    out.diagFluidLoad = FluidLoadTerm(&obj->meas);
    out.predFluidLoad = FluidLoadTerm(&obj->pred);
    return out;
}

WaveResults_t ReadWaveResults(TeskObj* obj) {
    WaveResults_t r;
    std::memset(&r, 0, sizeof r);
    r.runTimeMs = obj->runTimeMs;
    WaveModel& meas = obj->meas;
    WaveModel& pred = obj->pred;
    const TaperList* measTapers = GetTaperList(&meas);
    const TaperList* predTapers = GetTaperList(&pred);
    FillTaperFigures(meas, measTapers, {&r.diagRodWeight, &r.diagRwf, &r.diagWaveRoundTrip, &r.diagWaveSpeed,
                                        &r.diagKr, &r.diagNNo});
    FillTaperFigures(pred, predTapers, {&r.predRodWeight, &r.predRwf, &r.predWaveRoundTrip, &r.predWaveSpeed,
                                        &r.predKr, &r.predNNo});
    FillTubingFigures(meas, &r.diagKt, &r.diagKtWhole);
    FillTubingFigures(pred, &r.predKt, &r.predKtWhole);

    UpdateMeasuredExtremes(obj);
    r.diagSurfaceStroke = Stroke(obj->measSurfacePosMax, obj->measSurfacePosMin);
    r.predSurfaceStroke = obj->usePumpingUnitForPosition == 1 ? PumpingUnitStroke(obj->pu) : r.diagSurfaceStroke;
    r.predSKr = r.predSurfaceStroke * r.predKr;
    r.diagSKr = r.diagSurfaceStroke * r.diagKr;
    r.predFoOverSKr = (r.predSKr != 0.0 && std::isfinite(r.predSKr)) ? obj->fo / r.predSKr : 0.0;
    r.constMinusOne = -1.0;

    r.diagSlippage = CardSlippage(&meas);
    r.predFoFromPressure = std::pow(pred.pumpDia, 2) * kPi * 0.25 * PlungerPressureDifference(&pred);
    r.predSlippage = CardSlippage(&pred);

    r.diagPumpStroke = Stroke(obj->measPumpPosMax, obj->measPumpPosMin);
    r.diagPumpDisplacement = PumpDisplacement(meas, r.diagPumpStroke);
    r.diagPumpVolume = PumpVolume(meas, r.diagPumpStroke);
    r.diagPumpPosMin = obj->measPumpPosMin;
    r.diagPumpPosMax = obj->measPumpPosMax;
    r.predPumpStroke = Stroke(obj->predPumpPosMax, obj->predPumpPosMin);
    r.predPumpDisplacement = PumpDisplacement(pred, r.predPumpStroke);
    r.predPumpVolume = PumpVolume(pred, r.predPumpStroke);
    r.predPumpPosMin = obj->predPumpPosMin;
    r.predPumpPosMax = obj->predPumpPosMax;
    r.loadPickupIndex = EventIndexInLastCycle(*obj, LoadPickupEvent);
    r.fullLoadIndex = EventIndexInLastCycle(*obj, FullLoadEvent);
    r.loadReleaseIndex = EventIndexInLastCycle(*obj, LoadReleaseEvent);
    r.noLoadIndex = EventIndexInLastCycle(*obj, NoLoadEvent);
    return r;
}
