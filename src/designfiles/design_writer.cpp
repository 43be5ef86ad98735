#include <cmath>
#include <cstring>
#include <string>

#include "designfiles/design_document.h"
#include "engine/fourier.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

namespace {

using Json = nlohmann::json;

// The format has no NaN or infinity; such a value goes out as null, and the host hears which
// key it was. `warned` keeps a long array to one line.
Json FiniteOrNull(double value, const std::string& key, bool* warned) {
    if (std::isfinite(value)) return value;
    if (!*warned) LogMessage("Warning: %s is not a finite number; written as null", key.c_str());
    *warned = true;
    return nullptr;
}

// Adds members to one JSON object under a key path used in the warnings.
struct MemberWriter {
    Json& object;
    std::string path;

    void Put(const char* key, double value) {
        bool warned = false;
        object[key] = FiniteOrNull(value, path + key, &warned);
    }
};

std::string Text(const char* field, size_t size) { return std::string(field, strnlen(field, size)); }

// The list getters take a mutable card but only read it (and log a warning).
WaveModel* CardOf(const TeskObj* obj, bool pred) { return const_cast<WaveModel*>(pred ? &obj->pred : &obj->meas); }

Json VersionArray(const int32_t (&numbers)[4]) { return Json::array({numbers[0], numbers[1], numbers[2], numbers[3]}); }

Json MiaArray(const TeskObj* obj) {
    Json rows = Json::array();
    bool warned = false;
    for (const MiaPoint_t& row : SurveyToMiaRows(obj)) {
        rows.push_back(Json::array({FiniteOrNull(row.md, "mia", &warned), FiniteOrNull(row.inclination, "mia", &warned),
                                    FiniteOrNull(row.azimuth, "mia", &warned)}));
    }
    return rows;
}

Json DynArray(const TeskObj* obj) {
    Json rows = Json::array();
    bool warned = false;
    for (const auto& point : MeasuredCardToPairs(obj)) {
        rows.push_back(Json::array({FiniteOrNull(point.first, "diag.dyn", &warned),
                                    FiniteOrNull(point.second, "diag.dyn", &warned)}));
    }
    return rows;
}

void PutDamping(MemberWriter& section, const WaveModel* card) {
    section.Put("damp_up", card->dampUp);
    section.Put("damp_dn", card->dampDn);
}

// The members both sections share, after the damping factors.
void PutCardValues(MemberWriter& section, const TeskObj* obj, bool pred) {
    const WaveModel* card = CardOf(obj, pred);
    section.Put("spm", card->spm);
    section.Put("sg_fluid", card->sgFluid);
    section.Put("visc_fluid", card->viscFluid);
    MemberWriter pump{section.object["pump"], section.path + "pump."};
    pump.Put("dia", card->pumpDia);
    pump.Put("len", card->pumpLen);
    pump.Put("fit", card->pumpFit);
    section.Put("pressure_tubing", card->pressureTubing);
    section.Put("pressure_casing", card->pressureCasing);
    section.Put("pump_depth", GetPumpDepth(CardOf(obj, pred)));
    section.Put("anchor_depth", GetAnchorDepth(CardOf(obj, pred)));
    section.Put("fluid_level", card->fluidLevel);
    Json& tapers = section.object["taper"] = Json::array();
    TaperListToJson(obj, tapers, pred);
    Json& tubings = section.object["tubing"] = Json::array();
    TubingListToJson(obj, tubings, pred);
}

Json PredSection(const TeskObj* obj) {
    Json json = Json::object();
    MemberWriter section{json, "pred."};
    PutDamping(section, &obj->pred);
    PutCardValues(section, obj, true);
    section.Put("fo", obj->fo);
    section.Put("fillage", obj->fillage);
    section.Put("compression", obj->compression);
    json["usePumpingUnitForPosition"] = obj->usePumpingUnitForPosition != 0;
    const CardFourierFit* fit = obj->fourier;
    json["fourier"] = {{"p", fit != nullptr ? fit->pos.count : 0}, {"l", fit != nullptr ? fit->load.count : 0}};
    json["upsc"] = obj->upsc.PointCount;
    return json;
}

Json DiagSection(const TeskObj* obj) {
    Json json = Json::object();
    MemberWriter section{json, "diag."};
    PutDamping(section, &obj->meas);
    json["dyn"] = DynArray(obj);
    PutCardValues(section, obj, false);
    return json;
}

}  // namespace

DesignDocument WriteDesignJson(const TeskObj* obj) {
    DesignDocument doc = Json::object();
    MemberWriter top{doc, ""};
    doc["platform"] = Text(obj->platform, sizeof obj->platform);
    doc["version"] = VersionArray(obj->version);
    doc["lib"] = VersionArray(obj->lib);
    doc["wellname"] = Text(obj->wellName, sizeof obj->wellName);
    top.Put("well_depth", obj->wellDepth);
    doc["mia"] = MiaArray(obj);
    doc["pred"] = PredSection(obj);
    doc["diag"] = DiagSection(obj);
    return doc;
}

bool TaperListToJson(const TeskObj* obj, nlohmann::json& array, bool pred) {
    const TaperList* list = GetTaperList(CardOf(obj, pred));
    if (list == nullptr) return true;
    const std::string path = std::string(pred ? "pred" : "diag") + ".taper.";
    for (int32_t i = 0; i < list->count; ++i) {
        const TaperItem& taper = list->items[i];
        Json json = Json::object();
        MemberWriter item{json, path};
        json["id"] = Text(taper.id, sizeof taper.id);
        item.Put("L", taper.L);
        item.Put("D", taper.D);
        item.Put("W", taper.W);
        item.Put("E", taper.E);
        item.Put("R", taper.R);
        item.Put("T", taper.T);
        array.push_back(std::move(json));
    }
    return true;
}

bool TubingListToJson(const TeskObj* obj, nlohmann::json& array, bool pred) {
    const TubingList* list = GetTubingList(CardOf(obj, pred));
    if (list == nullptr) return true;
    const std::string path = std::string(pred ? "pred" : "diag") + ".tubing.";
    for (int32_t i = 0; i < list->count; ++i) {
        const TubingItem& section = list->items[i];
        Json json = Json::object();
        MemberWriter item{json, path};
        item.Put("L", section.L);
        item.Put("ID", section.ID);
        item.Put("OD", section.OD);
        item.Put("weight", section.weight);
        item.Put("W", section.W);
        item.Put("E", section.E);
        item.Put("R", section.R);
        item.Put("T", section.T);
        array.push_back(std::move(json));
    }
    return true;
}

std::vector<MiaPoint_t> SurveyToMiaRows(const TeskObj* obj) {
    std::vector<MiaPoint_t> rows;
    rows.reserve(obj->deviationSurvey.size());
    for (const DeviationPoint_t& point : obj->deviationSurvey) rows.push_back({point.md, point.inclination, point.azimuth});
    return rows;
}

std::vector<std::pair<double, double>> MeasuredCardToPairs(const TeskObj* obj) {
    std::vector<std::pair<double, double>> pairs;
    const WaveModel& meas = obj->meas;
    if (meas.PointCount <= 0 || meas.surfacePos == nullptr || meas.surfaceLoad == nullptr) return pairs;
    pairs.reserve(static_cast<size_t>(meas.PointCount));
    for (int32_t i = 0; i < meas.PointCount; ++i) pairs.emplace_back(meas.surfacePos[i], meas.surfaceLoad[i]);
    return pairs;
}
