#include "designfiles/qrod_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "designfiles/atomic_save.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/well_inputs.h"

namespace {

// The keys whose value is one field stored on all three cards and written from "PRED".
struct CardFieldKey {
    const char* key;
    double WaveModel::*field;
};

const CardFieldKey kCardFieldKeys[] = {
    {"FluidViscosity", &WaveModel::viscFluid}, {"TubingPressure", &WaveModel::pressureTubing},
    {"CasingPressure", &WaveModel::pressureCasing}, {"PumpDiameter", &WaveModel::pumpDia},
    {"PlungerLength", &WaveModel::pumpLen}, {"Clearance", &WaveModel::pumpFit},
};

// The keys with steps of their own.
const char* const kStepKeys[] = {"Title", "StrokeRate", "DampingFactor", "AnchorDepth", "PumpDepth",
                                 "FluidSpecificGravity"};

const CardFieldKey* FindCardFieldKey(std::string_view key) {
    for (const CardFieldKey& entry : kCardFieldKeys) {
        if (key == entry.key) return &entry;
    }
    return nullptr;
}

bool IsKnownKey(std::string_view key) {
    for (const char* stepKey : kStepKeys) {
        if (key == stepKey) return true;
    }
    return FindCardFieldKey(key) != nullptr;
}

// The last line of each known key, in the order of those lines. A later line overrides an
// earlier one, so only the last is applied: a text of millions of repeated lines then takes
// no more steps and log lines than one of a dozen.
std::vector<QrodLine> LastLineOfEachKey(const char* text) {
    std::vector<QrodLine> lines;
    ForEachQrodLine(text, [&](const QrodLine& line) {
        if (!IsKnownKey(line.key)) return;
        const auto earlier =
            std::find_if(lines.begin(), lines.end(), [&](const QrodLine& kept) { return kept.key == line.key; });
        if (earlier != lines.end()) lines.erase(earlier);
        lines.push_back(line);
    });
    return lines;
}

void ApplyTitle(TeskObj* obj, const QrodRecord& record) {
    StoreWellName(obj, record.value.c_str());
    LogMessage("QROD NAME ---%s---", record.value.c_str());
}

// A speed that is not a positive number is stored alone: the period keeps its last good value.
void ApplyStrokeRate(TeskObj* obj, double spm) {
    if (spm > 0 && std::isfinite(spm)) {
        StoreSpeed(obj, PredCards(obj), spm);
    } else {
        StoreCardValue(obj, PredCards(obj), &WaveModel::spm, spm);
    }
    LogMessage("QROD SPM ---%0.3lf---", spm);
}

void ApplyAnchorDepth(TeskObj* obj, double depth) {
    LogMessage("TODO: QROD set tubing");
    LogMessage("TODO: sort out anchor in qrod");
    StoreAnchorDepth(obj, AllCards(obj), depth);
}

// The file has no fluid level of its own: the pump depth stands in for it on every card.
void ApplyPumpDepth(TeskObj* obj, double depth) {
    StorePumpDepth(obj, AllCards(obj), depth);
    StoreCardValue(obj, AllCards(obj), &WaveModel::fluidLevel, depth);
}

void ApplyRecord(TeskObj* obj, const QrodRecord& record) {
    const std::string& key = record.key;
    const double number = record.number;
    if (key == "Title") {
        ApplyTitle(obj, record);
    } else if (key == "StrokeRate") {
        ApplyStrokeRate(obj, number);
    } else if (key == "DampingFactor") {
        StoreDamping(obj, PredCards(obj), number, number);
    } else if (key == "AnchorDepth") {
        ApplyAnchorDepth(obj, number);
    } else if (key == "PumpDepth") {
        ApplyPumpDepth(obj, number);
    } else if (key == "FluidSpecificGravity") {
        StoreFluidGravity(obj, AllCards(obj), number);
    } else if (const CardFieldKey* entry = FindCardFieldKey(key)) {
        StoreCardValue(obj, AllCards(obj), entry->field, number);
    }
}

// Puts the well's value into a record of a known key; other records keep the template's.
void FillValue(TeskObj* obj, const std::string& key, std::string* value) {
    WaveModel* pred = &obj->pred;
    double number = 0;
    if (key == "Title") {
        *value = std::string(obj->wellName, strnlen(obj->wellName, sizeof obj->wellName));
        return;
    } else if (key == "StrokeRate") {
        number = pred->spm;
    } else if (key == "DampingFactor") {
        number = pred->dampUp;
    } else if (key == "AnchorDepth") {
        number = GetAnchorDepth(pred);
    } else if (key == "PumpDepth") {
        number = GetPumpDepth(pred);
    } else if (key == "FluidSpecificGravity") {
        number = pred->sgFluid;
    } else if (const CardFieldKey* entry = FindCardFieldKey(key)) {
        number = pred->*(entry->field);
    } else {
        return;
    }
    *value = FormatQrodNumber(number);
}

// A line end or other control byte inside a key or value would start a new line or hide one.
std::string WithoutControls(std::string text) {
    for (char& c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) c = ' ';
    }
    return text;
}

}  // namespace

std::string FillQrodText(TeskObj* obj, QrodRecords records) {
    std::string text;
    for (QrodRecord& record : records) {
        FillValue(obj, record.key, &record.value);
        text += WithoutControls(record.key);
        text += ':';
        text += WithoutControls(record.value);
        text += '\n';
    }
    return text;
}

bool ParseDesignFileQrod(TeskObj* obj, const char* text) {
    LogMessage("ParseDesignFileQrod");
    if (text == nullptr) {
        LogMessage("Error: no QROD design text");
        return false;
    }
    for (const QrodLine& line : LastLineOfEachKey(text)) ApplyRecord(obj, MakeQrodRecord(line));
    return true;
}

bool WriteDesignFileQrod(TeskObj* obj, const char* path, QrodRecords records) {
    LogMessage("WriteDesignFileQrod %s", path != nullptr ? path : "(null)");
    const std::string text = FillQrodText(obj, std::move(records));
    return SaveFileAtomically(path, text.data(), text.size());
}
