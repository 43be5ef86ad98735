// Exports of the measured card, its Fourier fit and the upscaled card.
#include "api/guard.h"
#include "engine/fourier.h"
#include "model/measured_card.h"
#include "model/tesk_obj.h"

extern "C" {

TESK_API uint8_t LoadDyn(TeskObj* obj, double spm, const double* positions, const double* loads, int32_t count) {
    return WellExport<uint8_t>("LoadDyn", obj, 0, [&] { return LoadDynArrays(obj, spm, positions, loads, count); });
}

TESK_API uint8_t SetFourierCoeffCountPos(TeskObj* obj, int32_t count) {
    return WellExport<uint8_t>("SetFourierCoeffCountPos", obj, 0, [&] {
        return ApplyFourierCoeffCount(obj, &obj->fourier->pos, obj->meas.surfacePos, count);
    });
}

TESK_API uint8_t SetFourierCoeffCountLoad(TeskObj* obj, int32_t count) {
    return WellExport<uint8_t>("SetFourierCoeffCountLoad", obj, 0, [&] {
        return ApplyFourierCoeffCount(obj, &obj->fourier->load, obj->meas.surfaceLoad, count);
    });
}

TESK_API uint8_t SetUpscaledDynoPointCount(TeskObj* obj, int32_t count) {
    return WellExport<uint8_t>("SetUpscaledDynoPointCount", obj, 0, [&] { return ApplyUpscaledPointCount(obj, count); });
}

}  // extern "C"
