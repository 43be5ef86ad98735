// Exports that set a card's rod string from the API rod-string table.
#include <cmath>

#include "api/guard.h"
#include "catalog/api_taper_builder.h"
#include "log/log.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"

namespace {
// Sets the API string on the cards with the fluid of the first card, which every card then
// takes, and stores the pump diameter. Nothing changes when the string cannot be set.
uint8_t SetApiTapers(TeskObj* obj, const CardGroup& cards, int32_t apiNumber, double pumpDiameter,
                     double totalLength, const char* exportName) {
    if (!(totalLength > 0) || !std::isfinite(totalLength)) {
        LogMessage("Error: %s needs a total length above 0 ft, got %f", exportName, totalLength);
        return 0;
    }
    const ApiTaperRow* row = FindApiTaperRow(apiNumber, pumpDiameter);
    if (row == nullptr) return 0;
    TaperBase_t sections[kApiTaperColumns];
    const int32_t count = BuildApiTaper(sections, *row, totalLength);
    if (!StoreTapers(obj, cards, sections, count, cards.cards[0]->sgFluid)) return 0;
    StoreCardValue(obj, cards, &WaveModel::pumpDia, pumpDiameter, StoreWhen::Always);
    return 1;
}
}  // namespace

extern "C" {

TESK_API uint8_t SetDiagApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength) {
    return WellExport<uint8_t>("SetDiagApiTaperByNumber", obj, 0, [&]() -> uint8_t {
        return SetApiTapers(obj, DiagCards(obj), apiNumber, pumpDiameter, totalLength, "SetDiagApiTaperByNumber");
    });
}

TESK_API uint8_t SetPredApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength) {
    return WellExport<uint8_t>("SetPredApiTaperByNumber", obj, 0, [&]() -> uint8_t {
        return SetApiTapers(obj, PredCards(obj), apiNumber, pumpDiameter, totalLength, "SetPredApiTaperByNumber");
    });
}

}  // extern "C"
