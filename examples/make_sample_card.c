/*
 * Makes the bundled sample: the surface card that the default pumping unit would produce
 * on the sample well with a partly filled pump, written as dyno-card text, and the
 * well's design with that card as its measured card, in the own design format.
 *
 *   make_sample_card OUT_DIR   (writes sample_well.dyn and sample_well.json)
 */
#include <stdio.h>
#include <stdlib.h>

#include "sample_well.h"
#include "tesk/tesk.h"

static int WriteDynoText(const char* path, const char* wellName, double spm, int32_t n, const double* pos,
                         const double* load) {
    FILE* f = fopen(path, "w");
    if (f == NULL) return 0;
    fprintf(f, "%d\n", n);
    for (int32_t i = 0; i < n; ++i) fprintf(f, "%.4f,%.2f\n", pos[i], load[i]);
    /* The reader takes the speed from the second line after the points, the name from the tenth. */
    fprintf(f, "Card: predicted from the default beam unit, pump fillage 85 %%\n%.2f\n", spm);
    for (int line = 2; line < 9; ++line) fprintf(f, "-\n");
    fprintf(f, "%s\n", wellName);
    return fclose(f) == 0;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: make_sample_card OUT_DIR\n");
        return 2;
    }
    char dynoPath[1024], designPath[1024];
    snprintf(dynoPath, sizeof dynoPath, "%s/sample_well.dyn", argv[1]);
    snprintf(designPath, sizeof designPath, "%s/sample_well.json", argv[1]);
    TeskObj* well = CreateTeskObj();
    if (well == NULL || !SetSampleWellInputs(well) || !RunDesign(well)) return 1;
    int32_t n = GetPredDynoPointCount(well);
    double* pos = malloc(sizeof(double) * (size_t)(n > 0 ? n : 1));
    double* load = malloc(sizeof(double) * (size_t)(n > 0 ? n : 1));
    int ok = n > 0 && pos && load && GetPredDyno(well, pos, load) &&
             WriteDynoText(dynoPath, "Sample Well 1", GetWaveParams(well).predSpm, n, pos, load);
    free(pos);
    free(load);
    DeleteTeskObj(well);
    if (!ok) return 1;

    well = CreateTeskObj();
    ok = well != NULL && SetSampleWellInputs(well) && LoadDynFromFile(well, dynoPath) &&
         WriteDesignFile(well, designPath);
    DeleteTeskObj(well);
    return ok ? 0 : 1;
}
