/*
 * Example host: drives libtesk through the public header only.
 *
 *   tesk_example DATA_DIR [OUT_DIR]
 *
 * 1. Builds a three-taper well with the setters, loads the bundled measured card from its
 *    dyno text file, diagnoses it and predicts the card from the default pumping unit.
 * 2. Reads the same well from its own-format design file, runs it, and writes the design
 *    back out to OUT_DIR (default: the current directory).
 */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "sample_well.h"
#include "tesk/tesk.h"

static int quiet = 0;

static int PrintLine(const char* line) {
    if (!quiet) printf("  | %s\n", line);
    return 0;
}

typedef struct CardFigures {
    double peakLoad, minLoad, pumpStroke, pumpLoadMin, pumpLoadMax;
} CardFigures;

static CardFigures Figures(int32_t count, const double* surfaceLoad, const double* pumpPos,
                           const double* pumpLoad) {
    CardFigures f = {-INFINITY, INFINITY, 0, INFINITY, -INFINITY};
    double pumpMin = INFINITY, pumpMax = -INFINITY;
    for (int32_t i = 0; i < count; ++i) {
        if (surfaceLoad[i] > f.peakLoad) f.peakLoad = surfaceLoad[i];
        if (surfaceLoad[i] < f.minLoad) f.minLoad = surfaceLoad[i];
        if (pumpPos[i] > pumpMax) pumpMax = pumpPos[i];
        if (pumpPos[i] < pumpMin) pumpMin = pumpPos[i];
        if (pumpLoad[i] > f.pumpLoadMax) f.pumpLoadMax = pumpLoad[i];
        if (pumpLoad[i] < f.pumpLoadMin) f.pumpLoadMin = pumpLoad[i];
    }
    f.pumpStroke = count > 0 ? pumpMax - pumpMin : 0;
    return f;
}

typedef uint8_t (*CardGetter)(TeskObj*, double*, double*);

/* Copies one card's surface and pump arrays out and reduces them to figures. */
static int ReadCard(TeskObj* well, int32_t count, CardGetter dyno, CardGetter pump, CardFigures* out) {
    if (count <= 0) return 0;
    double* buf = malloc(sizeof(double) * (size_t)count * 4);
    if (buf == NULL) return 0;
    double *sp = buf, *sl = buf + count, *pp = buf + 2 * count, *pl = buf + 3 * count;
    int ok = dyno(well, sp, sl) && pump(well, pp, pl);
    if (ok) *out = Figures(count, sl, pp, pl);
    free(buf);
    return ok;
}

static void PrintSideBySide(TeskObj* well) {
    CardFigures meas, pred;
    if (!ReadCard(well, GetMeasuredDynoPointCount(well), GetMeasuredDyno, GetMeasuredPump, &meas) ||
        !ReadCard(well, GetPredDynoPointCount(well), GetPredDyno, GetPredPump, &pred)) {
        printf("cards are missing\n");
        return;
    }
    WaveResults_t r = GetWaveResults(well);
    WaveParams_t p = GetWaveParams(well);
    printf("                              measured    predicted\n");
    printf("  peak polished-rod load  %12.0f %12.0f  lb\n", meas.peakLoad, pred.peakLoad);
    printf("  min polished-rod load   %12.0f %12.0f  lb\n", meas.minLoad, pred.minLoad);
    printf("  pump load range         %5.0f..%-6.0f %5.0f..%-6.0f lb\n", meas.pumpLoadMin, meas.pumpLoadMax,
           pred.pumpLoadMin, pred.pumpLoadMax);
    printf("  surface stroke          %12.1f %12.1f  in\n", r.diagSurfaceStroke, r.predSurfaceStroke);
    printf("  pump stroke             %12.1f %12.1f  in\n", r.diagPumpStroke, r.predPumpStroke);
    printf("  fillage (prediction)    %12s %12.2f\n", "", p.fillage);
    printf("  fluid load on plunger   %12s %12.0f  lb\n", "", p.fo);
    printf("  pump displacement       %12.1f %12.1f  bbl/d\n", r.diagPumpDisplacement, r.predPumpDisplacement);
    printf("  rod weight in fluid     %12.0f %12.0f  lb\n", r.diagRwf, r.predRwf);
    printf("  rod spring constant Kr  %12.1f %12.1f  lb/in\n", r.diagKr, r.predKr);
    printf("  run time                %12d ms\n", r.runTimeMs);
}

static int BuildWellWithSetters(TeskObj* well, const char* dynoPath) {
    return SetSampleWellInputs(well) && LoadDynFromFile(well, dynoPath);
}

/* The host's own fluid load must be the one the library derives from the same inputs. */
static int FluidLoadAgrees(TeskObj* well) {
    const WaveParams_t p = GetWaveParams(well);
    const double library = CalculateFo(well);
    if (fabs(FluidLoadOnPlunger(&p) - library) <= 1e-9 * fabs(library)) return 1;
    printf("fluid load %.3f lb differs from CalculateFo's %.3f lb\n", FluidLoadOnPlunger(&p), library);
    return 0;
}

int main(int argc, char** argv) {
    const char* dataDir = argc > 1 ? argv[1] : "data";
    const char* outDir = argc > 2 ? argv[2] : ".";
    char dynoPath[1024], designPath[1024], outPath[1024];
    snprintf(dynoPath, sizeof dynoPath, "%s/sample_well.dyn", dataDir);
    snprintf(designPath, sizeof designPath, "%s/sample_well.json", dataDir);
    snprintf(outPath, sizeof outPath, "%s/sample_well_out.json", outDir);

    SetLoggingCallback(NULL, PrintLine);
    int32_t version[4];
    TeskObj* well = CreateTeskObj();
    if (well == NULL) return 1;
    GetTeskVersion(well, version);
    printf("tesk %d.%d.%d.%d\n\n", version[0], version[1], version[2], version[3]);
    SetClientVersion(well, "tesk_example", 1, 0, 0, 0);

    printf("1. A three-taper well built with the setters, card from %s\n", dynoPath);
    quiet = 1;
    int ok = BuildWellWithSetters(well, dynoPath) && RunDesign(well);
    quiet = 0;
    if (!ok) {
        printf("could not build the well\n");
        DeleteTeskObj(well);
        return 1;
    }
    if (!FluidLoadAgrees(well)) {
        DeleteTeskObj(well);
        return 1;
    }
    printf("  well \"%s\"\n", GetWellName(well));
    PrintSideBySide(well);
    DeleteTeskObj(well);

    printf("\n2. The same well read from %s\n", designPath);
    well = CreateTeskObj();
    if (well == NULL) return 1;
    quiet = 1;
    ok = ParseDesignFile(well, designPath) && LoadDynFromFile(well, dynoPath) && RunDesign(well);
    quiet = 0;
    if (!ok) {
        printf("could not read the design\n");
        DeleteTeskObj(well);
        return 1;
    }
    PrintSideBySide(well);
    printf("\n  summary through the log callback:\n");
    PrintTeskObj(well);
    ok = WriteDesignFile(well, outPath);
    printf("\n  design written back to %s: %s\n", outPath, ok ? "yes" : "FAILED");
    DeleteTeskObj(well);
    return ok ? 0 : 1;
}
