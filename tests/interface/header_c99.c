/* Compiles the public header as strict C (built as C99 and as C11) and checks the record layouts from C. */
#include <stddef.h>
#include <stdio.h>

#include "tesk/tesk.h"

#define CHECK(cond)                                   \
    do {                                              \
        if (!(cond)) {                                \
            fprintf(stderr, "layout: %s\n", #cond);   \
            return 1;                                 \
        }                                             \
    } while (0)

int main(void) {
    CHECK(sizeof(TaperBase_t) == 80);
    CHECK(sizeof(TubingBase_t) == 64);
    CHECK(sizeof(PuInfo_t) == 136 && offsetof(PuInfo_t, unitType) == 80);
    CHECK(sizeof(WaveParams_t) == 248 && offsetof(WaveParams_t, usePumpingUnitForPosition) == 240);
    CHECK(sizeof(WaveSettings_t) == 12);
    CHECK(sizeof(WaveParamsReadOnly_t) == 88);
    CHECK(sizeof(WaveResults_t) == 320 && offsetof(WaveResults_t, predFoFromPressure) == 312);
    CHECK(sizeof(DeviationPoint_t) == 64);
    CHECK(sizeof(MiaPoint_t) == 24);
    TeskObj* obj = CreateTeskObj();
    CHECK(obj != NULL);
    DeleteTeskObj(obj);
    return 0;
}
