#include "dynofiles/dyno_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "common/bounded_text.h"
#include "common/dyno_scan.h"
#include "log/log.h"
#include "model/measured_card.h"
#include "model/tesk_obj.h"
#include "model/well_inputs.h"

namespace {

// Lines after the points, counted from 0, that carry something.
constexpr int kSpeedLine = 1;
constexpr int kWellNameLine = 9;
// Characters of a refused line that its log line shows.
constexpr int kShownCharacters = 32;

struct FreeDeleter {
    void operator()(void* memory) const { std::free(memory); }
};
using Samples = std::unique_ptr<double[], FreeDeleter>;

// The whole card as the text gives it. Nothing of the well changes until it has been read.
struct DynoCard {
    int32_t count = 0;
    Samples positions;
    Samples loads;
    double spm = 0;
    bool hasWellName = false;
    char wellName[sizeof TeskObj::wellName] = {};
};

// The text and the number of the last line read from it, for the line that says where it ended.
struct DynoReader {
    LineReader lines;
    int32_t lastLine;
};

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '"'; }

int ShownLength(const TextLine& line) {
    const char* end = line.end;
    while (end > line.begin && end[-1] == '\r') --end;
    const long length = end - line.begin;
    return length < kShownCharacters ? static_cast<int>(length) : kShownCharacters;
}

bool Next(DynoReader* reader, const char* delimiters, TextLine* line) {
    if (!NextLine(&reader->lines, delimiters, line)) return false;
    reader->lastLine = line->number;
    return true;
}

bool ReadPointCount(DynoReader* reader, DynoCard* card) {
    TextLine line;
    if (!Next(reader, "\r\n", &line)) {
        LogMessage("Invalid file contents");
        return false;
    }
    int64_t value = 0;
    if (!ParseLeadingInteger(line.begin, line.end, &value) || value < 1 || value > kMaxCardPoints) {
        LogMessage("Invalid file point count");
        return false;
    }
    card->count = static_cast<int32_t>(value);
    LogMessage("LoadDynFromFileContents() PointCount: %d", card->count);
    const size_t n = static_cast<size_t>(value);
    card->positions.reset(static_cast<double*>(std::malloc(n * sizeof(double))));
    card->loads.reset(static_cast<double*>(std::malloc(n * sizeof(double))));
    if (card->positions == nullptr || card->loads == nullptr) {
        LogMessage("MALLOC ERROR");
        return false;
    }
    return true;
}

// Every point line must give both fields: a line that does not is no point, and trailer lines
// taken for points would turn into points of the card.
bool ReadPoints(DynoReader* reader, DynoCard* card) {
    for (int32_t j = 0; j < card->count; ++j) {
        TextLine line;
        if (!Next(reader, "\n", &line)) {
            LogMessage("Error: the dyno text ends after line %d with %d of its %d points", reader->lastLine, j,
                       card->count);
            return false;
        }
        if (!ScanPointLine(line, &card->positions[j], &card->loads[j])) {
            LogMessage("Error: line %d of the dyno text is no point \"position,load\": %.*s", line.number,
                       ShownLength(line), line.begin);
            return false;
        }
    }
    return true;
}

bool ReadSpeed(const TextLine& line, DynoCard* card) {
    card->spm = ParseFieldDouble(line.begin, line.end);
    if (card->spm > 0 && std::isfinite(card->spm)) return true;
    LogMessage("Invalid file pumping speed on line %d: %.*s", line.number, ShownLength(line), line.begin);
    return false;
}

void ReadWellName(const TextLine& line, DynoCard* card) {
    // One byte more than the name keeps, so that the cut can tell a character's first byte.
    char copy[sizeof card->wellName + 1];
    const size_t length = static_cast<size_t>(line.end - line.begin);
    const size_t taken = length < sizeof card->wellName ? length : sizeof card->wellName;
    std::memcpy(copy, line.begin, taken);
    copy[taken] = '\0';
    CopyBoundedText(card->wellName, sizeof card->wellName, copy);
    TrimField(card->wellName);
    card->hasWellName = true;
}

bool ReadTrailingLines(DynoReader* reader, DynoCard* card) {
    bool hasSpeed = false;
    TextLine line;
    for (int index = 0; Next(reader, "\n", &line); ++index) {
        if (index == kSpeedLine) {
            if (!ReadSpeed(line, card)) return false;
            hasSpeed = true;
        } else if (index == kWellNameLine) {
            ReadWellName(line, card);
        }
    }
    if (!hasSpeed) {
        LogMessage("Error: the dyno text ends after line %d without its pumping-speed line, the second after the "
                   "points",
                   reader->lastLine);
    }
    return hasSpeed;
}

}  // namespace

bool LoadDynText(TeskObj* obj, const char* text) {
    if (text == nullptr) {
        LogMessage("Invalid file contents");
        return false;
    }
    DynoReader reader{StartLines(text), 0};
    DynoCard card;
    if (!ReadPointCount(&reader, &card) || !ReadPoints(&reader, &card) || !ReadTrailingLines(&reader, &card)) {
        return false;
    }
    if (!LoadDynArrays(obj, card.spm, card.positions.get(), card.loads.get(), card.count)) return false;
    if (card.hasWellName) StoreWellName(obj, card.wellName);
    return true;
}

void TrimField(char* s) {
    char* start = s;
    while (*start != '\0' && IsTrimmed(*start)) ++start;
    char* end = start + std::strlen(start);
    while (end > start && IsTrimmed(end[-1])) --end;
    *end = '\0';
    if (start != s) std::memmove(s, start, static_cast<size_t>(end - start) + 1);
}
