#include "designfiles/design_reader.h"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "designfiles/design_json_scan.h"
#include "designfiles/design_survey.h"
#include "designfiles/json_rules.h"
#include "engine/fourier.h"
#include "log/log.h"
#include "model/deviation_survey.h"
#include "model/measured_card.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"

namespace {

constexpr double kDefaultDamping = 0.2;
constexpr int32_t kDefaultUpscaledPoints = 4000;
constexpr int32_t kDefaultPosCoeffs = 23;
constexpr int32_t kDefaultLoadCoeffs = 50;

// The sections of the document; "diag" values go to both "MEAS" and "UPSC".
struct DesignSections {
    const Json& diag;
    const Json& pred;
    const MeasuredRows& dyn;  // the rows of "diag"."dyn"
};

void LogVersionComparison(const int32_t (&ours)[4], const int32_t (&file)[4]) {
    static const char* const kNewerLines[4] = {
        "\tNew major version relative to the file", "\tNew minor version relative to the file",
        "\tNew revision version relative to the file", "\tNew build version relative to the file"};
    for (int i = 0; i < 4; ++i) {
        if (ours[i] > file[i]) {
            LogMessage("%s", kNewerLines[i]);
            return;
        }
    }
}

// The version is only reported: a document of any version is read.
void ReadFileVersion(const TeskObj* obj, const Json& doc) {
    const Json& lib = MemberOrNull(doc, "lib");
    if (!lib.is_array() || lib.size() < 4) ThrowFormatError("\"lib\" must list four numbers");
    int32_t file[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < lib.size(); ++i) {
        const int32_t number = RequiredInt32(lib[i]);
        if (i < 4) file[i] = number;
    }
    LogMessage("the file ver %d %d %d %d", file[0], file[1], file[2], file[3]);
    LogMessage("TESK file version: %d %d %d %d", file[0], file[1], file[2], file[3]);
    LogVersionComparison(obj->lib, file);
}

void ReadSurvey(TeskObj* obj, const Json& doc) {
    const Json& mia = MemberOrNull(doc, "mia");
    if (!mia.is_array()) ThrowFormatError("\"mia\" must be a list");
    std::vector<MiaPoint_t> rows;
    if (SurveyCountUsable(mia.size(), "JSON")) {
        rows.reserve(mia.size());
        for (const Json& row : mia) rows.push_back({NumberAt(row, 0), NumberAt(row, 1), NumberAt(row, 2)});
    }
    SetDeviationSurveyFromRows(obj, &rows);
}

void ReadWellName(TeskObj* obj, const Json& doc) {
    const Json& name = MemberOrNull(doc, "wellname");
    if (!name.is_string()) ThrowFormatError("\"wellname\" must be a string");
    StoreWellName(obj, name.get_ref<const std::string&>().c_str());
}

// An optional float of a section, stored in "PRED" or in "MEAS" and "UPSC".
void ReadCardFloat(TeskObj* obj, const Json& section, const char* key, bool pred, double WaveModel::*field) {
    double value = 0.0;
    if (!ReadOptionalFloat(section, key, &value)) return;
    StoreCardValue(obj, pred ? PredCards(obj) : DiagCards(obj), field, value, StoreWhen::EachDiffers);
}

void ReadSpeeds(TeskObj* obj, const DesignSections& sections) {
    double spm = 0.0;
    if (ReadOptionalFloat(sections.pred, "spm", &spm)) StoreSpeed(obj, PredCards(obj), spm, StoreWhen::Always);
    if (ReadOptionalFloat(sections.diag, "spm", &spm)) StoreSpeed(obj, DiagCards(obj), spm, StoreWhen::Always);
}

void ReadDamping(TeskObj* obj, const Json& section, const CardGroup& cards) {
    StoreDamping(obj, cards, OptionalFloat(section, "damp_up", kDefaultDamping),
                 OptionalFloat(section, "damp_dn", kDefaultDamping), StoreWhen::Always);
}

bool CardArraysMissing(const WaveModel* card) {
    return card->PointCount > 0 && (card->surfacePos == nullptr || card->surfaceLoad == nullptr ||
                                     card->pumpPos == nullptr || card->pumpLoad == nullptr ||
                                     card->pumpColors == nullptr);
}

// The rows are checked before the speed is, as a document is read in order. `loaded` tells
// whether the card was stored, so that the series are fitted to it.
bool LoadMeasuredRows(TeskObj* obj, const MeasuredRows& rows, const Json& diag, bool* loaded) {
    if (rows.count > static_cast<size_t>(kMaxCardPoints)) {
        LogMessage("Warning: the measured card of the design has more than %d points and was not loaded", kMaxCardPoints);
        return true;
    }
    if (!rows.error.empty()) ThrowFormatError(rows.error);
    const double spm = RequiredNumber(diag, "spm");
    const int32_t count = static_cast<int32_t>(rows.count);
    *loaded = LoadDynArraysWithoutRefit(obj, spm, rows.positions.data(), rows.loads.data(), count);
    if (*loaded) return true;
    if (CardArraysMissing(&obj->meas) || CardArraysMissing(&obj->upsc) || CardArraysMissing(&obj->pred)) return false;
    LogMessage("Warning: the measured card of the design was refused");
    return true;
}

// "dyn" is applied only when it is a list; its speed is then required.
bool ReadMeasuredCard(TeskObj* obj, const DesignSections& sections, bool* loaded) {
    if (!MemberOrNull(sections.diag, "dyn").is_array()) return true;
    if (sections.dyn.count > 0) return LoadMeasuredRows(obj, sections.dyn, sections.diag, loaded);
    StoreSpeed(obj, OneCard(&obj->meas), RequiredNumber(sections.diag, "spm"), StoreWhen::Always);
    return true;
}

// The measured card, the series' counts and the upscaled point count are all set before the
// series are fitted and the upscaled card resampled, once: each of them alone would refit or
// resample, and the repeated work of a large card would add up to tens of seconds.
bool ReadUpscaledCard(TeskObj* obj, const Json& pred, bool measuredLoaded) {
    SizeUpscaledCard(obj, OptionalCount(pred, "upsc", kDefaultUpscaledPoints, kMaxCardPoints));
    if (CardArraysMissing(&obj->upsc)) return false;
    CardFourierFit* fit = obj->fourier;
    const Json& fourier = MemberOrNull(pred, "fourier");
    if (fourier.is_object()) {
        StoreFourierCoeffCount(obj, &fit->pos, obj->meas.surfacePos,
                  OptionalCount(fourier, "p", kDefaultPosCoeffs, kMaxFourierCoeffs), measuredLoaded);
        StoreFourierCoeffCount(obj, &fit->load, obj->meas.surfaceLoad,
                  OptionalCount(fourier, "l", kDefaultLoadCoeffs, kMaxFourierCoeffs), measuredLoaded);
    } else if (measuredLoaded) {
        StoreFourierCoeffCount(obj, &fit->pos, obj->meas.surfacePos, fit->pos.count, true);
        StoreFourierCoeffCount(obj, &fit->load, obj->meas.surfaceLoad, fit->load.count, true);
    }
    RefreshUpscaledCard(obj);
    return true;
}

void ReadFluidAndPressures(TeskObj* obj, const DesignSections& sections) {
    for (const auto& entry : {std::make_pair("visc_fluid", &WaveModel::viscFluid),
                              std::make_pair("pressure_tubing", &WaveModel::pressureTubing),
                              std::make_pair("pressure_casing", &WaveModel::pressureCasing)}) {
        ReadCardFloat(obj, sections.pred, entry.first, true, entry.second);
        ReadCardFloat(obj, sections.diag, entry.first, false, entry.second);
    }
}

void ReadPrediction(TeskObj* obj, const Json& pred) {
    double number = 0.0;
    if (ReadOptionalFloat(pred, "fo", &number)) StoreFo(obj, number);
    if (ReadOptionalFloat(pred, "fillage", &number)) StoreFillage(obj, number);
    if (ReadOptionalFloat(pred, "compression", &number)) StoreCompression(obj, number);
    uint8_t use = 0;
    if (ReadOptionalBool(pred, "usePumpingUnitForPosition", &use)) StoreUsePumpingUnitForPosition(obj, use);
}

void ReadPump(TeskObj* obj, const Json& section, bool pred) {
    const Json& pump = MemberOrNull(section, "pump");
    ReadCardFloat(obj, pump, "dia", pred, &WaveModel::pumpDia);
    ReadCardFloat(obj, pump, "len", pred, &WaveModel::pumpLen);
    ReadCardFloat(obj, pump, "fit", pred, &WaveModel::pumpFit);
}

bool ReadCards(TeskObj* obj, const DesignSections& sections) {
    StoreFluidGravity(obj, DiagCards(obj), RequiredNumber(sections.diag, "sg_fluid"), StoreWhen::EachDiffers);
    if (!ParseTaperSection(obj, MemberOrNull(sections.diag, "taper"), false)) return false;
    StoreFluidGravity(obj, PredCards(obj), RequiredNumber(sections.pred, "sg_fluid"), StoreWhen::EachDiffers);
    if (!ParseTaperSection(obj, MemberOrNull(sections.pred, "taper"), true)) return false;
    const double diagPumpDepth = OptionalFloat(sections.diag, "pump_depth", 0.0);
    const double diagAnchorDepth = OptionalFloat(sections.diag, "anchor_depth", 0.0);
    const double predPumpDepth = OptionalFloat(sections.pred, "pump_depth", 0.0);
    const double predAnchorDepth = OptionalFloat(sections.pred, "anchor_depth", 0.0);
    ReadCardFloat(obj, sections.pred, "fluid_level", true, &WaveModel::fluidLevel);
    ReadCardFloat(obj, sections.diag, "fluid_level", false, &WaveModel::fluidLevel);
    if (!ParseTubingSection(obj, MemberOrNull(sections.diag, "tubing"), false, diagPumpDepth, diagAnchorDepth) ||
        !ParseTubingSection(obj, MemberOrNull(sections.pred, "tubing"), true, predPumpDepth, predAnchorDepth)) {
        return false;
    }
    ReadSpeeds(obj, sections);
    ReadDamping(obj, sections.pred, PredCards(obj));
    ReadDamping(obj, sections.diag, DiagCards(obj));
    bool measuredLoaded = false;
    if (!ReadMeasuredCard(obj, sections, &measuredLoaded) || !ReadUpscaledCard(obj, sections.pred, measuredLoaded)) {
        return false;
    }
    ReadFluidAndPressures(obj, sections);
    ReadPrediction(obj, sections.pred);
    ReadPump(obj, sections.diag, false);
    ReadPump(obj, sections.pred, true);
    return true;
}

bool ApplyDesign(TeskObj* obj, const ScannedDesign& design) {
    const Json& doc = design.doc;
    ReadFileVersion(obj, doc);
    ReadSurvey(obj, doc);
    ReadWellName(obj, doc);
    double wellDepth = 0.0;
    if (ReadOptionalFloat(doc, "well_depth", &wellDepth)) StoreWellDepth(obj, wellDepth);
    return ReadCards(obj, DesignSections{MemberOrNull(doc, "diag"), MemberOrNull(doc, "pred"), design.dyn});
}

}  // namespace

bool ParseDesignFileTesk(TeskObj* obj, const char* text) {
    LogMessage("ParseDesignFileTesk()");
    char reason[512] = "";
    const FourierWorkScope callWork;
    try {
        if (text == nullptr) ThrowFormatError("no design text");
        const size_t length = strnlen(text, static_cast<size_t>(kMaxJsonDesignBytes) + 1);
        if (length > static_cast<size_t>(kMaxJsonDesignBytes)) {
            LogMessage("Error: the JSON design is larger than the limit of %lld bytes; it was not read",
                       static_cast<long long>(kMaxJsonDesignBytes));
            return false;
        }
        ScannedDesign design;
        ScanDesignJson(text, length, &design);
        return ApplyDesign(obj, design);
    } catch (const std::bad_alloc&) {
        LogMessage("MALLOC ERROR");
    } catch (const std::exception& e) {
        std::snprintf(reason, sizeof reason, "%s", e.what());
    } catch (...) {
    }
    LogMessage("A JSON error occurred");
    // The parser's own message says where the text went wrong and why.
    if (reason[0] != '\0') LogMessage("%s", reason);
    return false;
}
