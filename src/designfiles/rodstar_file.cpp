#include "designfiles/rodstar_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <new>
#include <vector>

#include "designfiles/design_survey.h"
#include "designfiles/rod_material_catalog.h"
#include "designfiles/xml_design_steps.h"
#include "designfiles/xml_template_writer.h"
#include "designfiles/xml_values.h"
#include "log/log.h"
#include "model/deviation_survey.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"

namespace {

constexpr size_t kMaxTapers = 99;

const char* Text(pugi::xml_node parent, const char* name) { return parent.child(name).text().get(); }
double Number(pugi::xml_node parent, const char* name) { return XmlNumber(parent.child(name)); }
int32_t Order(pugi::xml_node element) { return ClampToInt32(XmlInteger(element.attribute("Order"))); }

bool UsableDiameter(double diameter) { return std::isfinite(diameter) && diameter > 0; }

void ApplyValues(TeskObj* obj, pugi::xml_node input) {
    StoreWellName(obj, Text(input, "r:well-name"));
    StoreSpeed(obj, PredCards(obj), Number(input, "r:pumping-speed"));
    const double damping = Number(input, "r:fluid-damping");
    StoreDamping(obj, PredCards(obj), damping, damping);
    StoreCardValue(obj, AllCards(obj), &WaveModel::fluidLevel, Number(input, "r:fluid-level"));
    StoreFluidGravity(obj, AllCards(obj), Number(input, "r:fluid-spgr"));
    // The format gives only the plunger size, so a length and fit of an earlier design are
    // cleared rather than left to describe another pump.
    StoreCardValue(obj, AllCards(obj), &WaveModel::pumpDia, Number(input, "r:plunger-size"));
    StoreCardValue(obj, AllCards(obj), &WaveModel::pumpLen, 0);
    StoreCardValue(obj, AllCards(obj), &WaveModel::pumpFit, 0);
    StoreCardValue(obj, AllCards(obj), &WaveModel::pressureTubing, Number(input, "r:tubing-pressure"));
    StoreCardValue(obj, AllCards(obj), &WaveModel::pressureCasing, Number(input, "r:casing-pressure"));
}

// Rows stay in file order; an "Order" out of step is only reported.
void ReadSurvey(TeskObj* obj, pugi::xml_node input) {
    std::vector<MiaPoint_t> rows;
    int64_t position = 0;
    for (pugi::xml_node point : input.child("r:deviation-survey").children("r:survey-point")) {
        if (!SurveyCountUsable(static_cast<size_t>(++position), "Rodstar")) {
            rows.clear();
            break;
        }
        rows.push_back({Number(point, "r:measured-depth"), Number(point, "r:inclination"), Number(point, "r:azimuth")});
        const int64_t order = XmlInteger(point.attribute("Order"));
        if (order != position) {
            LogMessage("ERROR: dev survey parsing order not sorted! %d, %d", ClampToInt32(order),
                       ClampToInt32(position));
        }
    }
    SetDeviationSurveyFromRows(obj, &rows);
}

// The catalogue completes the taper from its grade and size. A size the catalogue does not list
// for the grade keeps the file's diameter, so the rod string never gets a zero diameter; its
// weight then comes from the steel rod-weight table.
TaperBase_t ReadTaper(const TeskObj* obj, pugi::xml_node element, int32_t order) {
    const double size = Number(element, "r:taper-size");
    const double tensile = Number(element, "r:taper-tensile-strength");
    const char* grade = Text(element, "r:rodtype-steel");
    if (*grade == '\0') grade = Text(element, "r:rodtype-fiberglass");
    TaperBase_t taper = FindRodMaterialByName(obj->rodCatalog, grade, size);
    taper.L = Number(element, "r:taper-length");
    if (!(taper.T == tensile)) LogMessage("Error: Rodstar Tensile doesnt match database (taper order #%d)", order);
    if (!(taper.D == size)) {
        LogMessage("Warning: Rodstar taper order #%d: the catalogue lists no size %f for \"%s\"; the file's size is "
                   "kept",
                   order, size, grade);
        taper.D = size;
        taper.W = 0;
    }
    return taper;
}

void LogTapersNotLoaded(size_t count) {
    LogMessage("tapercount: %d --- %p", static_cast<int>(std::min<size_t>(count, INT32_MAX)),
               static_cast<void*>(nullptr));
    LogMessage("Didn't load taper from the rodstar file");
}

// Tapers that cannot be loaded leave the card with the tapers it had. Elements past the most a
// string may have are not gathered: one more is enough to refuse them.
void ReadTapers(TeskObj* obj, pugi::xml_node input, double sg) {
    std::vector<pugi::xml_node> elements;
    for (pugi::xml_node element : input.child("r:rod-tapers").children("r:rod-taper")) {
        elements.push_back(element);
        if (elements.size() > kMaxTapers) break;
    }
    const size_t count = elements.size();
    if (count == 0 || count > kMaxTapers) {
        LogTapersNotLoaded(count);
        return;
    }
    std::vector<TaperBase_t> tapers;
    try {
        tapers.reserve(count);
    } catch (const std::bad_alloc&) {
        LogMessage("Error: memory failed for tapers (%d)", static_cast<int>(count));
        LogTapersNotLoaded(count);
        return;
    }
    LogMessage("tapercount: %d --- %p", static_cast<int>(count), static_cast<void*>(tapers.data()));
    int32_t position = 0;
    for (pugi::xml_node element : elements) {
        const int32_t order = Order(element);
        if (order != ++position) LogMessage("ERROR: taper parsing order not sorted! %d, %d", order, position);
        tapers.push_back(ReadTaper(obj, element, order));
        if (!UsableDiameter(tapers.back().D)) {
            LogMessage("Error: Rodstar taper order #%d has no usable rod size", order);
            LogTapersNotLoaded(count);
            return;
        }
    }
    StorePredTapers(obj, tapers, sg);
}

// Tubing is not part of the format: one section as long as the rod string stands in for it.
void ApplyTubing(TeskObj* obj, pugi::xml_node input) {
    if (PredHasTapers(obj)) {
        LogMessage("TODO: RODSTAR set tubing");
        StoreOneSectionTubing(obj, 0);
    }
    StoreAnchorDepth(obj, AllCards(obj), Number(input, "r:tubing-anchor-depth"));
    StorePumpDepth(obj, AllCards(obj), Number(input, "r:pump-depth"));
}

void ApplyRodstar(TeskObj* obj, pugi::xml_node input) {
    ApplyValues(obj, input);
    ReadSurvey(obj, input);
    ReadTapers(obj, input, Number(input, "r:fluid-spgr"));
    ApplyTubing(obj, input);
}

}  // namespace

bool ParseDesignFileRodstar(TeskObj* obj, char* text) {
    LogMessage("ParseDesignFileRodstar");
    return ReadXmlDesign(obj, text, "Rodstar", "r:input", ApplyRodstar);
}

bool WriteDesignFileRodstar(TeskObj* obj, const char* path, pugi::xml_document& doc) {
    LogMessage("TODO: WriteDesignFileRodstar %s", path != nullptr ? path : "(null)");
    SaveTemplateWithWellName(obj, path, doc, WellNamePath{"r:input", "r:well-name"});
    // Only the well name is filled in, so the file is not a full export of the design.
    return false;
}
