#pragma once
#include <cstddef>

// Most survey stations a design file may give. A station every foot of the deepest well is some
// 40,000; a longer list describes no well, and holding it would take memory out of all
// proportion to the file.
constexpr size_t kMaxSurveyStations = 100000;

// True when a survey of `count` stations may be read; otherwise one line naming the format and
// the limit, and false: the reader then stores no survey.
bool SurveyCountUsable(size_t count, const char* format);

