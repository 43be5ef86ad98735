#include "designfiles/design_json_scan.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "designfiles/design_survey.h"
#include "model/measured_card.h"

namespace {

using Json = nlohmann::json;

// Where a value stands in the document, which decides what of it is kept.
enum class Place {
    Skipped,  // not taken: parsed and dropped
    Value,    // one value: a list or object here is kept empty
    Document,
    Diag,
    Pred,
    Pump,
    Fourier,
    Taper,
    Tubing,
    Version,
    Survey,
    SurveyRow,
    TaperList,
    TubingList,
    Card,     // "diag"."dyn"
    CardRow,  // one of its rows
};

struct MemberRule {
    Place parent;
    const char* key;
    Place place;
};

// The members the reader takes (design_reader.cpp and design_sections.cpp): keep in step.
const MemberRule kMemberRules[] = {
    {Place::Document, "lib", Place::Version},
    {Place::Document, "mia", Place::Survey},
    {Place::Document, "wellname", Place::Value},
    {Place::Document, "well_depth", Place::Value},
    {Place::Document, "diag", Place::Diag},
    {Place::Document, "pred", Place::Pred},
    {Place::Diag, "dyn", Place::Card},
    {Place::Pred, "upsc", Place::Value},
    {Place::Pred, "fourier", Place::Fourier},
    {Place::Pred, "fo", Place::Value},
    {Place::Pred, "fillage", Place::Value},
    {Place::Pred, "compression", Place::Value},
    {Place::Pred, "usePumpingUnitForPosition", Place::Value},
    {Place::Fourier, "p", Place::Value},
    {Place::Fourier, "l", Place::Value},
    {Place::Pump, "dia", Place::Value},
    {Place::Pump, "len", Place::Value},
    {Place::Pump, "fit", Place::Value},
};

// The members both sections have.
struct SectionMember {
    const char* key;
    Place place;
};
const SectionMember kSectionMembers[] = {
    {"sg_fluid", Place::Value},        {"pump_depth", Place::Value},      {"anchor_depth", Place::Value},
    {"fluid_level", Place::Value},     {"spm", Place::Value},             {"damp_up", Place::Value},
    {"damp_dn", Place::Value},         {"visc_fluid", Place::Value},      {"pressure_tubing", Place::Value},
    {"pressure_casing", Place::Value}, {"taper", Place::TaperList},       {"tubing", Place::TubingList},
    {"pump", Place::Pump},
};

// A version has four numbers; a few more are kept, so that the reader still checks what follows them.
constexpr size_t kMaxVersionElements = 16;

const char* const kTaperKeys[] = {"id", "D", "E", "L", "R", "T", "W"};
const char* const kTubingKeys[] = {"ID", "OD", "E", "L", "R", "T", "W"};

template <size_t N>
bool Listed(const char* const (&keys)[N], const std::string& key) {
    for (const char* listed : keys) {
        if (key == listed) return true;
    }
    return false;
}

Place RulePlace(Place parent, const std::string& key) {
    for (const MemberRule& rule : kMemberRules) {
        if (rule.parent == parent && key == rule.key) return rule.place;
    }
    return Place::Skipped;
}

Place SectionPlace(const std::string& key) {
    for (const SectionMember& member : kSectionMembers) {
        if (key == member.key) return member.place;
    }
    return Place::Skipped;
}

bool IsSection(Place place) { return place == Place::Diag || place == Place::Pred; }

// The place of a member of an object at `parent`, the object holding `members` before it.
Place MemberPlace(Place parent, const std::string& key, size_t members) {
    if (IsSection(parent) && SectionPlace(key) != Place::Skipped) return SectionPlace(key);
    if (parent == Place::Taper) return Listed(kTaperKeys, key) ? Place::Value : Place::Skipped;
    if (parent == Place::Tubing) return Listed(kTubingKeys, key) ? Place::Value : Place::Skipped;
    if (parent == Place::TaperList) return members <= kMaxDesignSections ? Place::Taper : Place::Skipped;
    if (parent == Place::TubingList) return members <= kMaxDesignSections ? Place::Tubing : Place::Skipped;
    return RulePlace(parent, key);
}

// The place of element `index` of a list at `parent`. One element past each limit is kept, so
// the reader sees that the list is too long.
Place ElementPlace(Place parent, size_t index) {
    switch (parent) {
        case Place::Version:
            return index < kMaxVersionElements ? Place::Value : Place::Skipped;
        case Place::Survey:
            return index <= kMaxSurveyStations ? Place::SurveyRow : Place::Skipped;
        case Place::SurveyRow:
            return index < 3 ? Place::Value : Place::Skipped;
        case Place::TaperList:
            return index <= kMaxDesignSections ? Place::Taper : Place::Skipped;
        case Place::TubingList:
            return index <= kMaxDesignSections ? Place::Tubing : Place::Skipped;
        case Place::Card:
            return Place::CardRow;
        default:
            return Place::Skipped;
    }
}

// A list or object of a kind the place does not hold is kept empty, for the reader to refuse.
Place ForKind(Place place, bool list) {
    switch (place) {
        case Place::Version:
        case Place::Survey:
        case Place::SurveyRow:
        case Place::Card:
            return list ? place : Place::Value;
        case Place::TaperList:
        case Place::TubingList:
        case Place::Skipped:
        case Place::Value:
        case Place::CardRow:
            return place;
        default:
            return list ? Place::Value : place;
    }
}

// An open list or object that is kept, or a row of the measured card being read.
struct Frame {
    Json* container;  // null for a card row, which goes to MeasuredRows
    Place place;
    size_t entries = 0;
    double row[2] = {0.0, 0.0};
};

// Builds the kept document from the parser's events. Frames never go deeper than the format;
// a dropped list or object only counts its depth.
class DesignHandler {
   public:
    explicit DesignHandler(ScannedDesign* design) : design_(design) {}

    bool null() { return Scalar(Json(nullptr)); }
    bool boolean(bool value) { return Scalar(Json(value)); }
    bool number_integer(Json::number_integer_t value) { return Number(Json(value), static_cast<double>(value)); }
    bool number_unsigned(Json::number_unsigned_t value) { return Number(Json(value), static_cast<double>(value)); }
    bool number_float(Json::number_float_t value, const std::string&) { return Number(Json(value), value); }
    bool string(std::string& value) { return Scalar(Json(std::move(value))); }
    bool binary(Json::binary_t& value) { return Scalar(Json::binary(std::move(value))); }
    bool start_object(size_t) { return Open(false); }
    bool start_array(size_t) { return Open(true); }
    bool end_object() { return Close(); }
    bool end_array() { return Close(); }

    bool key(std::string& name) {
        if (skippedDepth_ == 0) key_ = std::move(name);
        return true;
    }

    bool parse_error(size_t, const std::string&, const nlohmann::detail::exception& error) {
        throw std::runtime_error(error.what());
    }

   private:
    ScannedDesign* design_;
    std::vector<Frame> frames_;
    std::string key_;
    size_t skippedDepth_ = 0;

    Place NextPlace() const {
        if (frames_.empty()) return Place::Document;
        const Frame& top = frames_.back();
        if (top.container != nullptr && top.container->is_object()) return MemberPlace(top.place, key_, top.entries);
        return ElementPlace(top.place, top.entries);
    }

    // Where the next kept value goes in the open container (the document itself at the top).
    Json* Slot() {
        if (frames_.empty()) return &design_->doc;
        Json& container = *frames_.back().container;
        if (container.is_object()) return &container[key_];
        container.push_back(nullptr);
        return &container.back();
    }

    bool InRow() const { return !frames_.empty() && frames_.back().place == Place::CardRow; }

    void CountEntry() {
        if (!frames_.empty()) ++frames_.back().entries;
    }

    void NoteRowError(const char* what) {
        if (design_->dyn.error.empty()) design_->dyn.error = what;
    }

    bool Scalar(Json value) {
        if (skippedDepth_ > 0) return true;
        if (InRow()) return RowElement(false, 0.0);
        const Place place = NextPlace();
        if (place == Place::CardRow) {
            OpenRow(false);
            return true;
        }
        if (place != Place::Skipped) *Slot() = std::move(value);
        CountEntry();
        return true;
    }

    bool Number(Json value, double number) {
        if (skippedDepth_ == 0 && InRow()) return RowElement(true, number);
        return Scalar(std::move(value));
    }

    // An element of a measured-card row: the first two must be numbers, the rest are not read.
    bool RowElement(bool number, double value) {
        Frame& row = frames_.back();
        if (row.entries < 2) {
            if (number) {
                row.row[row.entries] = value;
            } else {
                NoteRowError("a row element must be a number");
            }
        }
        ++row.entries;
        return true;
    }

    bool Open(bool list) {
        if (skippedDepth_ > 0 || InRow()) {
            if (skippedDepth_ == 0) RowElement(false, 0.0);
            ++skippedDepth_;
            return true;
        }
        const Place place = ForKind(NextPlace(), list);
        if (place == Place::CardRow) {
            OpenRow(list);
            if (!list) ++skippedDepth_;
            return true;
        }
        if (place == Place::Skipped) {
            CountEntry();
            ++skippedDepth_;
            return true;
        }
        Json* slot = Slot();
        *slot = list ? Json::array() : Json::object();
        CountEntry();
        if (place == Place::Card) design_->dyn = MeasuredRows();
        frames_.push_back(Frame{slot, place});
        return true;
    }

    // A row of the measured card starts; only a list can be one.
    void OpenRow(bool list) {
        CountEntry();
        ++design_->dyn.count;
        if (list) {
            frames_.push_back(Frame{nullptr, Place::CardRow});
        } else {
            NoteRowError("a row is too short");
        }
    }

    bool Close() {
        if (skippedDepth_ > 0) {
            --skippedDepth_;
            return true;
        }
        const Frame closed = frames_.back();
        frames_.pop_back();
        if (closed.place == Place::CardRow) CloseRow(closed);
        return true;
    }

    void CloseRow(const Frame& row) {
        if (row.entries < 2) NoteRowError("a row is too short");
        MeasuredRows& dyn = design_->dyn;
        if (!dyn.error.empty() || dyn.count > static_cast<size_t>(kMaxCardPoints)) return;
        dyn.positions.push_back(row.row[0]);
        dyn.loads.push_back(row.row[1]);
    }
};

}  // namespace

void ScanDesignJson(const char* text, size_t length, ScannedDesign* design) {
    DesignHandler handler(design);
    Json::sax_parse(text, text + length, &handler);
}
