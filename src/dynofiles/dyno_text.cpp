#include "dynofiles/dyno_text.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "dynofiles/dyno_scan.h"
#include "log/log.h"
#include "model/bounded_text.h"
#include "model/measured_card.h"
#include "model/tesk_obj.h"
#include "model/wave_params.h"

namespace {

// Lines after the points, counted from 0, that carry something.
constexpr int kSpeedLine = 1;
constexpr int kWellNameLine = 9;

bool IsTrimmed(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '"'; }

bool ReadPointCount(const char* line, int32_t* count) {
    int64_t value = 0;
    if (!ParseLeadingInteger(line, &value) || value < 1 || value > kMaxCardPoints) return false;
    *count = static_cast<int32_t>(value);
    return true;
}

bool StartMeasuredCard(TeskObj* obj, int32_t count) {
    obj->measDirty = 1;
    obj->meas.PointCount = count;
    RaiseCardFlags(&obj->meas);
    LogMessage("LoadDynFromFileContents() PointCount: %d", count);
    return AllocCardArrays(&obj->meas);
}

// A field a line does not supply repeats the value of the last line that supplied it.
void ReadPoints(WaveModel* meas, LineCursor* cursor) {
    double pos = 0.0;
    double load = 0.0;
    for (int32_t j = 0; j < meas->PointCount; ++j) {
        const char* line = NextToken(cursor, "\n");
        if (line == nullptr) return;
        const PointFields fields = ScanPointLine(line);
        if (fields.hasPos) pos = fields.pos;
        if (fields.hasLoad) load = fields.load;
        meas->surfacePos[j] = pos;
        meas->surfaceLoad[j] = load;
    }
}

bool StoreSpeed(TeskObj* obj, const char* line) {
    const double spm = ParseLeadingDouble(line);
    if (!(spm > 0) || !std::isfinite(spm)) {
        LogMessage("Invalid file pumping speed: %.32s", line);
        return false;
    }
    SetCardSpm(&obj->meas, spm);
    SetCardSpm(&obj->upsc, spm);
    return true;
}

bool ReadTrailingLines(TeskObj* obj, LineCursor* cursor) {
    int index = 0;
    for (char* line = NextToken(cursor, "\n"); line != nullptr; line = NextToken(cursor, "\n"), ++index) {
        if (index == kSpeedLine) {
            if (!StoreSpeed(obj, line)) return false;
        } else if (index == kWellNameLine) {
            CopyBoundedText(obj->wellName, sizeof obj->wellName, line);
            TrimField(obj->wellName);
        } else {
            TrimField(line);
        }
    }
    return true;
}

// Resizing wipes a solved predicted card, so it must then be solved again.
bool ResizeDependentCards(TeskObj* obj) {
    if (obj->pred.surfacePos != nullptr) obj->predDirty = 1;
    return AllocCardArrays(&obj->upsc) && AllocCardArrays(&obj->pred);
}

}  // namespace

bool LoadDynText(TeskObj* obj, char* text) {
    LineCursor cursor{text};
    const char* first = NextToken(&cursor, "\r\n");
    if (first == nullptr) {
        LogMessage("Invalid file contents");
        return false;
    }
    int32_t count = 0;
    if (!ReadPointCount(first, &count)) {
        LogMessage("Invalid file point count");
        return false;
    }
    if (!StartMeasuredCard(obj, count)) return false;
    ReadPoints(&obj->meas, &cursor);
    if (!ReadTrailingLines(obj, &cursor)) return false;
    if (!ResizeDependentCards(obj)) return false;
    RefitMeasuredFourier(obj);
    obj->measDirty = 1;
    obj->upscDirty = 1;
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
