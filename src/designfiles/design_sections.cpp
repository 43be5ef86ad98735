#include <cstdlib>
#include <memory>

#include "common/bounded_text.h"
#include "designfiles/design_json_scan.h"
#include "designfiles/design_reader.h"
#include "designfiles/json_rules.h"
#include "log/log.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"
#include "model/well_inputs.h"

namespace {

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};

template <typename Record>
using RecordArray = std::unique_ptr<Record[], FreeDeleter>;

// The elements of a "taper" or "tubing" value: an array's in order, an object's member
// values in name order; null has none. The count fits the setters' int32.
int32_t ElementCount(const Json& value, const char* key) {
    if (value.is_null()) return 0;
    if (!value.is_array() && !value.is_object()) ThrowFormatError(std::string("\"") + key + "\" must be a list");
    if (value.size() > kMaxDesignSections) {
        ThrowFormatError(std::string("\"") + key + "\" holds more than " + std::to_string(kMaxDesignSections) +
                         " elements");
    }
    return static_cast<int32_t>(value.size());
}

// Names are cut at a character boundary; a name of 32 bytes fills the field without a NUL.
void CopyTaperName(char (&field)[32], const std::string& name) {
    char bounded[sizeof field + 1];
    CopyBoundedText(bounded, sizeof bounded, name.c_str());
    CopyTaperId(field, bounded);
}

void FillTaper(TaperBase_t* record, const Json& element) {
    const Json& id = MemberOrNull(element, "id");
    if (!element.is_object() || !id.is_string()) ThrowFormatError("a taper must be an object with an \"id\"");
    CopyTaperName(record->id, id.get_ref<const std::string&>());
    record->D = MemberNumber(element, "D");
    record->E = MemberNumber(element, "E");
    record->L = MemberNumber(element, "L");
    record->R = MemberNumber(element, "R");
    record->T = MemberNumber(element, "T");
    record->W = MemberNumber(element, "W");
}

// The section's "weight" is never read: the record keeps 0.
void FillTubing(TubingBase_t* record, const Json& element) {
    if (!element.is_object()) ThrowFormatError("a tubing section must be an object");
    record->ID = MemberNumber(element, "ID");
    record->OD = MemberNumber(element, "OD");
    record->E = MemberNumber(element, "E");
    record->L = MemberNumber(element, "L");
    record->R = MemberNumber(element, "R");
    record->T = MemberNumber(element, "T");
    record->W = MemberNumber(element, "W");
}

template <typename Record, typename Fill>
RecordArray<Record> ReadRecords(const Json& value, int32_t count, const char* errorLine, Fill fill) {
    RecordArray<Record> records(static_cast<Record*>(std::calloc(static_cast<size_t>(count), sizeof(Record))));
    if (records == nullptr) {
        LogMessage("%s", errorLine);
        return records;
    }
    int32_t i = 0;
    for (const Json& element : value) fill(&records[i++], element);
    return records;
}

}  // namespace

bool ParseTaperSection(TeskObj* obj, const nlohmann::json& value, bool pred) {
    const int32_t count = ElementCount(value, "taper");
    if (count == 0) return true;
    const auto records = ReadRecords<TaperBase_t>(value, count, "ERROR: Taper section error", FillTaper);
    if (records == nullptr) return false;
    const CardGroup cards = pred ? PredCards(obj) : DiagCards(obj);
    WaveModel* card = cards.cards[0];
    LogMessage(pred ? "Setting Pred Taper:" : "Setting Diag Taper:");
    if (!StoreTapers(obj, cards, records.get(), count, card->sgFluid)) return false;
    PrintTaperList(GetTaperList(card));
    return true;
}

bool ParseTubingSection(TeskObj* obj, const nlohmann::json& value, bool pred, double pumpDepth,
                        double anchorDepth) {
    const int32_t count = ElementCount(value, "tubing");
    if (count == 0) return true;
    const auto records = ReadRecords<TubingBase_t>(value, count, "ERROR: Tubing section error", FillTubing);
    if (records == nullptr) return false;
    const CardGroup cards = pred ? PredCards(obj) : DiagCards(obj);
    LogMessage(pred ? "Setting Pred Tubing:" : "Setting Diag Tubing:");
    if (!StoreTubings(obj, cards, records.get(), count)) return false;
    StoreNewTubingDepths(obj, cards, pumpDepth, anchorDepth);
    PrintTubingList(GetTubingList(cards.cards[0]));
    return true;
}
