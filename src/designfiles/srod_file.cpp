#include "designfiles/srod_file.h"

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

constexpr int64_t kMetricUnits = 2;
constexpr int64_t kMaxTapers = 99;
constexpr double kMetresPerFoot = 0.3048;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kMpsi = 1000000.0;
constexpr char kListDelimiter = ':';

const char* Text(pugi::xml_node parent, const char* name) { return parent.child(name).text().get(); }
double Number(pugi::xml_node parent, const char* name) { return XmlNumber(parent.child(name)); }
// The first `count` values of a list: a list longer than the count the file gives is never
// read further.
std::vector<double> Numbers(pugi::xml_node parent, const char* name, size_t count) {
    return SplitDoubleList(Text(parent, name), kListDelimiter, count);
}

// Only depths and lengths in metres and rod diameters in millimetres are converted; every other
// value of a metric file is taken as it stands.
struct Units {
    bool metric;
    double Feet(double value) const { return metric ? value / kMetresPerFoot : value; }
    double Inches(double value) const { return metric ? value / kMillimetresPerInch : value; }
};

// The taper lists of the file, one value per taper in each.
struct TaperLists {
    std::vector<int32_t> types;
    std::vector<double> diameters;
    std::vector<double> lengths;
    std::vector<double> moduli;
    std::vector<double> weights;

    size_t ShortestLength() const {
        return std::min({types.size(), diameters.size(), lengths.size(), moduli.size(), weights.size()});
    }
};

// The pump depth serves only to turn the fluid depth into the fluid level above the pump: the
// format's pump depth is not the tubing's.
void ApplyValues(TeskObj* obj, pugi::xml_node input, const Units& units) {
    StoreWellName(obj, Text(input, "WellName"));
    StoreSpeed(obj, PredCards(obj), Number(input, "PumpingSpeed"));
    StoreDamping(obj, PredCards(obj), Number(input, "UpStrokeDampingFactor"), Number(input, "DownStrokeDampingFactor"));
    const double pumpDepth = units.Feet(Number(input, "PumpDepth"));
    StoreCardValue(obj, AllCards(obj), &WaveModel::fluidLevel, pumpDepth - units.Feet(Number(input, "TrueFluidDepth")));
    // The format has no fluid gravity; the cards are given 0, not left with an earlier design's.
    StoreFluidGravity(obj, AllCards(obj), 0);
    StoreCardValue(obj, AllCards(obj), &WaveModel::pumpDia, Number(input, "PumpDiameter"));
    StoreCardValue(obj, AllCards(obj), &WaveModel::pumpLen, Number(input, "PumpCPumpPlungerLength"));
    StoreCardValue(obj, AllCards(obj), &WaveModel::pumpFit, Number(input, "PumpCPumpPlungerClearance"));
    StoreCardValue(obj, AllCards(obj), &WaveModel::pressureTubing, Number(input, "FlowlinePressure"));
    StoreCardValue(obj, AllCards(obj), &WaveModel::pressureCasing, Number(input, "CasingHeadPressure"));
}

// The rows are as many as the count and all three lists allow.
void ReadSurvey(TeskObj* obj, pugi::xml_node input) {
    const int64_t count = XmlInteger(input.child("DeviationDataCount"));
    std::vector<MiaPoint_t> rows;
    if (count > 0 && SurveyCountUsable(static_cast<uint64_t>(count), "SROD")) {
        const size_t wanted = static_cast<size_t>(count);
        const std::vector<double> md = Numbers(input, "MeasuredDepthArray", wanted);
        const std::vector<double> inclination = Numbers(input, "InclinationFromVerticalArray", wanted);
        const std::vector<double> azimuth = Numbers(input, "AzimuthFromNorthArray", wanted);
        const size_t listed = std::min({md.size(), inclination.size(), azimuth.size()});
        const size_t used = static_cast<uint64_t>(count) < listed ? static_cast<size_t>(count) : listed;
        if (used != static_cast<uint64_t>(count)) {
            LogMessage("Warning: SROD survey lists hold %zu rows, not the %lld of \"DeviationDataCount\"", used,
                       static_cast<long long>(count));
        }
        for (size_t i = 0; i < used; ++i) {
            rows.push_back({md[i], inclination[i], azimuth[i] < 0 ? azimuth[i] + 360 : azimuth[i]});
        }
    }
    SetDeviationSurveyFromRows(obj, &rows);
}

// 0 (or no count) means the design has no tapers; any other count outside 1 to 99 is reported.
bool TaperCountUsable(int64_t count) {
    if (count >= 1 && count <= kMaxTapers) return true;
    if (count != 0) {
        LogMessage("Warning: SROD \"TaperCount\" %lld is not 1 to %lld; no tapers, tubing or anchor depth read",
                   static_cast<long long>(count), static_cast<long long>(kMaxTapers));
    }
    return false;
}

TaperLists ReadTaperLists(pugi::xml_node input, size_t count) {
    return TaperLists{SplitIntList(Text(input, "RodTypeArray"), kListDelimiter, count),
                      Numbers(input, "TaperDiameterArray", count), Numbers(input, "TaperLengthArray", count),
                      Numbers(input, "TaperModulusArray", count), Numbers(input, "TaperWeightArray", count)};
}

// The catalogue gives tensile strength and density; diameter, weight and modulus are the
// file's, and a file value the catalogue does not confirm is only reported.
TaperBase_t MakeTaper(const TeskObj* obj, const TaperLists& lists, size_t i, const Units& units) {
    const double diameter = units.Inches(lists.diameters[i]);
    const double modulus = lists.moduli[i] * kMpsi;
    TaperBase_t taper = FindRodMaterialByNumber(obj->rodCatalog, lists.types[i], diameter);
    taper.L = units.Feet(lists.lengths[i]);
    if (!(taper.D == diameter)) {
        LogMessage("SROD File: saved diameter differs from record --- %lf ==== %lf", taper.D, diameter);
    }
    if (!(taper.W == lists.weights[i])) LogMessage("SROD File: saved weight differs from record");
    if (!(taper.E == modulus)) LogMessage("SROD File: [%d] saved Emod differs from record", static_cast<int>(i));
    taper.D = diameter;
    taper.W = lists.weights[i];
    taper.E = modulus;
    return taper;
}

// False when the tapers cannot be had from the file; the reading then ends before the tubing.
bool ReadTapers(TeskObj* obj, pugi::xml_node input, const Units& units) {
    const int64_t count = XmlInteger(input.child("TaperCount"));
    if (!TaperCountUsable(count)) return false;
    std::vector<TaperBase_t> tapers;
    try {
        tapers.reserve(static_cast<size_t>(count));
    } catch (const std::bad_alloc&) {
        LogMessage("Error: memory failed for tapers (%d)", static_cast<int>(count));
        return false;
    }
    const TaperLists lists = ReadTaperLists(input, static_cast<size_t>(count));
    if (lists.ShortestLength() < static_cast<size_t>(count)) {
        LogMessage("Warning: SROD taper lists hold %zu values, fewer than \"TaperCount\" %d; no tapers, tubing or "
                   "anchor depth read",
                   lists.ShortestLength(), static_cast<int>(count));
        return false;
    }
    for (size_t i = 0; i < static_cast<size_t>(count); ++i) {
        tapers.push_back(MakeTaper(obj, lists, i, units));
        if (!(std::isfinite(tapers.back().D) && tapers.back().D > 0)) {
            LogMessage("Error: SROD taper [%d] has no usable rod diameter; no tapers, tubing or anchor depth read",
                       static_cast<int>(i));
            return false;
        }
    }
    StorePredTapers(obj, tapers, 0);
    return true;
}

// Tubing is not part of the format: one section as long as the rod string stands in for it.
void ApplyTubing(TeskObj* obj, pugi::xml_node input) {
    const double tubingSize = Number(input, "TubingSize");
    LogMessage("TODO: SROD set tubing");
    if (PredHasTapers(obj)) StoreOneSectionTubing(obj, tubingSize);
    StoreAnchorDepth(obj, AllCards(obj), Number(input, "TubingAnchorLocation"));
}

void ApplySrod(TeskObj* obj, pugi::xml_node input) {
    LogMessage("-----%s", input.name());
    const Units units{XmlInteger(input.child("UnitsSelection")) == kMetricUnits};
    ApplyValues(obj, input, units);
    ReadSurvey(obj, input);
    if (ReadTapers(obj, input, units)) ApplyTubing(obj, input);
}

}  // namespace

bool ParseDesignFileSrod(TeskObj* obj, char* text) {
    LogMessage("ParseDesignFileSrod");
    return ReadXmlDesign(obj, text, "SROD", "Case", ApplySrod);
}

bool WriteDesignFileSrod(TeskObj* obj, const char* path, pugi::xml_document& doc) {
    LogMessage("TODO: WriteDesignFileSrod %s", path != nullptr ? path : "(null)");
    SaveTemplateWithWellName(obj, path, doc, WellNamePath{"Case", "WellName"});
    // Only the well name is filled in, so the file is not a full export of the design.
    return false;
}
