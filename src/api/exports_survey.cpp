// Exports of the deviation survey.
#include "api/guard.h"
#include "model/deviation_survey.h"
#include "model/tesk_obj.h"

extern "C" {

TESK_API uint8_t SetDeviationSurvey(TeskObj* obj, int32_t count, const double* md, const double* inclination,
                                    const double* azimuth) {
    return WellExport<uint8_t>("SetDeviationSurvey", obj, 0,
                                [&] { return StoreDeviationSurvey(obj, count, md, inclination, azimuth); });
}

TESK_API uint8_t SetDeviationSurveyWithMIA(TeskObj* obj, int32_t count, const MiaPoint_t* rows) {
    return WellExport<uint8_t>("SetDeviationSurveyWithMIA", obj, 0,
                                [&] { return StoreDeviationSurveyRows(obj, count, rows); });
}

TESK_API uint8_t GetDeviationSurvey(TeskObj* obj, DeviationPoint_t* out) {
    return WellExport<uint8_t>("GetDeviationSurvey", obj, 0, [&]() -> uint8_t {
        if (out == nullptr && !obj->deviationSurvey.empty()) {
            LogMessage("Error: GetDeviationSurvey needs a buffer");
            return 0;
        }
        CopyDeviationSurvey(obj, out);
        return 1;
    });
}

TESK_API int32_t GetDeviationSurveyCount(TeskObj* obj) {
    return WellExport<int32_t>("GetDeviationSurveyCount", obj, 0,
                               [&] { return static_cast<int32_t>(obj->deviationSurvey.size()); });
}

}  // extern "C"
