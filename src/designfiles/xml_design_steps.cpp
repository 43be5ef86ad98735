#include "designfiles/xml_design_steps.h"

#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"

void StorePredTapers(TeskObj* obj, const std::vector<TaperBase_t>& tapers, double sg) {
    StoreTapers(obj, PredCards(obj), tapers.data(), static_cast<int32_t>(tapers.size()), sg);
    PrintTaperList(GetTaperList(&obj->pred));
}

bool PredHasTapers(const TeskObj* obj) { return obj->pred.tapers != nullptr && obj->pred.tapers->count > 0; }

// "PRED" first: a refused section is logged for it before the diagnostic cards.
void StoreOneSectionTubing(TeskObj* obj, double outsideDiameter) {
    TubingBase_t section{};
    section.L = obj->pred.tapers->totalLength;
    section.OD = outsideDiameter;
    StoreTubings(obj, CardGroup{{&obj->pred, &obj->meas, &obj->upsc}, 3}, &section, 1);
}
