// Exports of the deviation survey.
#include "api/guard.h"
#include "model/deviation_survey.h"
#include "model/tesk_obj.h"

extern "C" {

TESK_API uint8_t SetDeviationSurvey(TeskObj* obj, int32_t count, const double* md, const double* inclination,
                                    const double* azimuth) {
    return ExportGuard<uint8_t>("SetDeviationSurvey", 0,
                                [&] { return StoreDeviationSurvey(obj, count, md, inclination, azimuth); });
}

TESK_API uint8_t SetDeviationSurveyWithMIA(TeskObj* obj, int32_t count, const MiaPoint_t* rows) {
    return ExportGuard<uint8_t>("SetDeviationSurveyWithMIA", 0,
                                [&] { return StoreDeviationSurveyRows(obj, count, rows); });
}

TESK_API uint8_t GetDeviationSurvey(TeskObj* obj, DeviationPoint_t* out) {
    if (out == nullptr && !obj->deviationSurvey.empty()) {
        LogMessage("Error: GetDeviationSurvey needs a buffer");
        return 0;
    }
    CopyDeviationSurvey(obj, out);
    return 1;
}

TESK_API int32_t GetDeviationSurveyCount(TeskObj* obj) { return static_cast<int32_t>(obj->deviationSurvey.size()); }

}  // extern "C"
