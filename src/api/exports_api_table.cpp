// Exports that set a card's rod string from the API rod-string table.
#include <cmath>

#include "api/guard.h"
#include "catalog/api_taper_builder.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"

namespace {
// Sets the API string on the cards with the fluid of the first card, which every card then
// takes, and stores the pump diameter. Nothing changes when the string cannot be set.
uint8_t SetApiTapers(WaveModel* const* cards, int32_t cardCount, int32_t apiNumber, double pumpDiameter,
                     double totalLength, const char* exportName) {
    if (!(totalLength > 0) || !std::isfinite(totalLength)) {
        LogMessage("Error: %s needs a total length above 0 ft, got %f", exportName, totalLength);
        return 0;
    }
    const ApiTaperRow* row = FindApiTaperRow(apiNumber, pumpDiameter);
    if (row == nullptr) return 0;
    TaperBase_t sections[kApiTaperColumns];
    const int32_t count = BuildApiTaper(sections, *row, totalLength);
    const double sgFluid = cards[0]->sgFluid;
    if (!SetCardsTapers(cards, cardCount, sections, count, sgFluid)) return 0;
    for (int32_t c = 0; c < cardCount; ++c) {
        cards[c]->pumpDia = pumpDiameter;
        cards[c]->sgFluid = sgFluid;
    }
    return 1;
}
}  // namespace

extern "C" {

TESK_API uint8_t SetDiagApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength) {
    return WellExport<uint8_t>("SetDiagApiTaperByNumber", obj, 0, [&]() -> uint8_t {
        WaveModel* cards[] = {&obj->meas, &obj->upsc};
        if (!SetApiTapers(cards, 2, apiNumber, pumpDiameter, totalLength, "SetDiagApiTaperByNumber")) return 0;
        obj->measDirty = 1;
        obj->upscDirty = 1;
        return 1;
    });
}

TESK_API uint8_t SetPredApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength) {
    return WellExport<uint8_t>("SetPredApiTaperByNumber", obj, 0, [&]() -> uint8_t {
        WaveModel* cards[] = {&obj->pred};
        if (!SetApiTapers(cards, 1, apiNumber, pumpDiameter, totalLength, "SetPredApiTaperByNumber")) return 0;
        obj->predDirty = 1;
        return 1;
    });
}

}  // extern "C"
