#include "designfiles/design_survey.h"

#include "log/log.h"

bool SurveyCountUsable(size_t count, const char* format) {
    if (count <= kMaxSurveyStations) return true;
    LogMessage("Warning: the %s design's survey has more than %zu stations; no survey was read", format,
               kMaxSurveyStations);
    return false;
}

