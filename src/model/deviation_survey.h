#pragma once
#include <cstdint>
#include <vector>

#include "tesk/tesk.h"

struct TeskObj;

// Replaces the survey with `count` stations from three parallel arrays; wellDepth stays.
// False with a log line (survey unchanged) on a negative count, a null array or no memory.
bool StoreDeviationSurvey(TeskObj* obj, int32_t count, const double* md, const double* inclination,
                          const double* azimuth);
// Replaces the survey with `count` rows; when count > 0 wellDepth becomes the md of the last row.
// False with a log line (survey and depth unchanged) on a negative count, null rows or no memory.
bool StoreDeviationSurveyRows(TeskObj* obj, int32_t count, const MiaPoint_t* rows);
// Takes over `rows` (emptied and released before it returns) and stores them as the survey;
// no rows empties the survey. False with "ERROR: Deviation memory failed" when memory runs out.
bool SetDeviationSurveyFromRows(TeskObj* obj, std::vector<MiaPoint_t>* rows);
// Copies every station into `out`, which holds deviationSurvey.size() records.
void CopyDeviationSurvey(const TeskObj* obj, DeviationPoint_t* out);
