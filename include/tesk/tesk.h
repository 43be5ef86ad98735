/*
 * tesk: design and diagnosis of sucker-rod pumping systems.
 *
 * The host's contract with libtesk.so. Plain C99; every function has C linkage.
 * Booleans are one byte (uint8_t, 1 for true). Counts and indexes are int32_t.
 * Units are US oilfield units: ft, in, lb, psi, strokes per minute, seconds.
 * Card positions are in inches, positive upward; loads in pounds.
 * Getters that fill arrays write as many elements as the matching count getter
 * reports and check no buffer size: size your buffers from the count getters.
 * No function throws; failures come back as 0, -1, NaN-free zeros or null, with a log line.
 */
#ifndef TESK_TESK_H
#define TESK_TESK_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#define TESK_API __declspec(dllexport)
#else
#define TESK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The well object. The host holds only the pointer. */
typedef struct TeskObj TeskObj;

/* Receives one log line (no line end); the text is valid only during the call. */
typedef int (*LogCallback)(const char* line);

/* One rod taper, 80 bytes. id holds up to 32 bytes and has no terminator when full. */
typedef struct TaperBase_t {
    char id[32];
    double L; /* length, ft */
    double D; /* rod diameter, in */
    double W; /* weight per foot, lb/ft; <= 0 takes the table value for D */
    double T; /* tensile strength; stored only */
    double E; /* modulus, psi; <= 0 takes 30,500,000 */
    double R; /* density, lb/ft3; <= 0 takes 492 */
} TaperBase_t;

/* One tubing section, 64 bytes. Only L and E enter a calculation. */
typedef struct TubingBase_t {
    double L;      /* length, ft */
    double ID;     /* inside diameter, in */
    double OD;     /* outside diameter, in */
    double weight; /* section weight */
    double W;      /* weight per foot, lb/ft */
    double T;      /* tensile strength */
    double E;      /* in of stretch per lb of load and per ft of tubing */
    double R;      /* density */
} TubingBase_t;

/* Beam pumping unit, 136 bytes. A, P, C, I, K, R are the API geometry letters, in. */
typedef struct PuInfo_t {
    int32_t rotation; /* 1 or -1 */
    int32_t padding0;
    double A;
    double P;
    double C;
    double I;
    double K;
    double R;
    double gearboxRating;   /* in-lb */
    double structureRating; /* lb */
    double maxStroke;       /* type 'H' stroke, in */
    char unitType;          /* 'A', 'C', 'M', 'R', 'X' or 'H' */
    char padding1[7];
    double cbe;             /* counterbalance effect, lb */
    double structUnbalance; /* lb */
    double reserved;
    double airPressure;     /* type 'A' inputs */
    double airArea;
    double airPressureBase;
} PuInfo_t;

/* Well, fluid, pump and prediction inputs, 248 bytes. diag* fields set "MEAS" and "UPSC". */
typedef struct WaveParams_t {
    double wellDepth;
    double diagSpm;
    double predSpm;
    double diagDampUp;
    double diagDampDn;
    double predDampUp;
    double predDampDn;
    double diagSg;
    double predSg;
    double diagVisc;
    double predVisc;
    double diagPumpDia;
    double diagPumpLen;
    double diagPumpFit;
    double predPumpDia;
    double predPumpLen;
    double predPumpFit;
    double diagPressureTubing;
    double diagPressureCasing;
    double predPressureTubing;
    double predPressureCasing;
    double diagFluidLevel;
    double predFluidLevel;
    double diagPumpDepth;
    double predPumpDepth;
    double diagAnchorDepth; /* -1 without tubing */
    double predAnchorDepth;
    double fo;
    double fillage;
    double compression;
    uint8_t usePumpingUnitForPosition;
    uint8_t padding[7];
} WaveParams_t;

/* Solver settings, 12 bytes. */
typedef struct WaveSettings_t {
    uint8_t useLegacyPred; /* non-zero: legacy predictive solver on its fixed grid */
    uint8_t padding0[3];
    int32_t predNodesPerSection; /* 1 to 1000 */
    uint8_t subtractFluidLoad;
    uint8_t zeroPumpPosition;
    uint8_t padding1[2];
} WaveSettings_t;

/* Grid figures of the three cards, 88 bytes. */
typedef struct WaveParamsReadOnly_t {
    int32_t diagNodeCount;
    int32_t upscNodeCount;
    int32_t predNodeCount;
    int32_t padding0;
    double diagDt;
    double upscDt;
    double predDt;
    int32_t diagPointCount;
    int32_t upscPointCount;
    int32_t predPointCount;
    int32_t padding1;
    double diagPeriod;
    double predPeriod;
    double diagFluidLoad;
    double predFluidLoad;
} WaveParamsReadOnly_t;

/* Results of the last run, 320 bytes. */
typedef struct WaveResults_t {
    int32_t runTimeMs;
    int32_t padding0;
    double diagRodWeight;
    double diagRwf;
    double diagWaveRoundTrip;
    double diagWaveSpeed;
    double diagKr;
    double diagKt;
    double diagKtWhole;
    double constMinusOne;
    double diagNNo;
    double diagSKr;
    double diagSurfaceStroke;
    double diagPumpDisplacement;
    double diagPumpVolume;
    double diagPumpStroke;
    double diagSpare;
    double diagPumpPosMin;
    double diagPumpPosMax;
    double diagSlippage;
    double predRodWeight;
    double predRwf;
    double predWaveRoundTrip;
    double predWaveSpeed;
    double predKr;
    double predKt;
    double predKtWhole;
    double predFoOverSKr;
    double predNNo;
    double predSKr;
    double predSurfaceStroke;
    double predPumpDisplacement;
    double predPumpVolume;
    double predPumpStroke;
    double predSpare;
    double predPumpPosMin;
    double predPumpPosMax;
    double predSlippage;
    int32_t loadPickupIndex;
    int32_t fullLoadIndex;
    int32_t loadReleaseIndex;
    int32_t noLoadIndex;
    double predFoFromPressure;
} WaveResults_t;

/* One station of the deviation survey as stored and returned, 64 bytes. */
typedef struct DeviationPoint_t {
    int32_t index;
    int32_t zero;
    double md;          /* measured depth, ft */
    double inclination; /* degrees */
    double azimuth;     /* degrees */
    double reserved[4];
} DeviationPoint_t;

/* One survey row as the host gives it, 24 bytes. */
typedef struct MiaPoint_t {
    double md;
    double inclination;
    double azimuth;
} MiaPoint_t;

#ifdef __cplusplus
static_assert(sizeof(TaperBase_t) == 80 && offsetof(TaperBase_t, L) == 32 && offsetof(TaperBase_t, R) == 72,
              "TaperBase_t layout");
static_assert(sizeof(TubingBase_t) == 64 && offsetof(TubingBase_t, E) == 48, "TubingBase_t layout");
static_assert(sizeof(PuInfo_t) == 136 && offsetof(PuInfo_t, A) == 8 && offsetof(PuInfo_t, unitType) == 80 &&
                  offsetof(PuInfo_t, cbe) == 88 && offsetof(PuInfo_t, airPressureBase) == 128,
              "PuInfo_t layout");
static_assert(sizeof(WaveParams_t) == 248 && offsetof(WaveParams_t, diagPumpDepth) == 184 &&
                  offsetof(WaveParams_t, compression) == 232 &&
                  offsetof(WaveParams_t, usePumpingUnitForPosition) == 240,
              "WaveParams_t layout");
static_assert(sizeof(WaveSettings_t) == 12 && offsetof(WaveSettings_t, predNodesPerSection) == 4 &&
                  offsetof(WaveSettings_t, subtractFluidLoad) == 8 && offsetof(WaveSettings_t, zeroPumpPosition) == 9,
              "WaveSettings_t layout");
static_assert(sizeof(WaveParamsReadOnly_t) == 88 && offsetof(WaveParamsReadOnly_t, diagDt) == 16 &&
                  offsetof(WaveParamsReadOnly_t, diagPointCount) == 40 &&
                  offsetof(WaveParamsReadOnly_t, diagPeriod) == 56 && offsetof(WaveParamsReadOnly_t, predFluidLoad) == 80,
              "WaveParamsReadOnly_t layout");
static_assert(sizeof(WaveResults_t) == 320 && offsetof(WaveResults_t, diagRodWeight) == 8 &&
                  offsetof(WaveResults_t, diagSlippage) == 144 && offsetof(WaveResults_t, predSlippage) == 288 &&
                  offsetof(WaveResults_t, loadPickupIndex) == 296 && offsetof(WaveResults_t, noLoadIndex) == 308 &&
                  offsetof(WaveResults_t, predFoFromPressure) == 312,
              "WaveResults_t layout");
static_assert(sizeof(DeviationPoint_t) == 64 && offsetof(DeviationPoint_t, md) == 8 &&
                  offsetof(DeviationPoint_t, reserved) == 32,
              "DeviationPoint_t layout");
static_assert(sizeof(MiaPoint_t) == 24, "MiaPoint_t layout");
#endif

/* ---- Logging ---- */

/* Registers the process-wide line callback (null: lines go to stderr); the handle is unused and may be null. */
TESK_API void SetLoggingCallback(TeskObj* obj, LogCallback callback);

/* ---- Well object ---- */

/* Creates a well object named "New Well"; null (and "MALLOC ERROR") when memory runs out. */
TESK_API TeskObj* CreateTeskObj(void);
/* Destroys the object and everything it owns; null does nothing. */
TESK_API void DeleteTeskObj(TeskObj* obj);
/* Copies the library version (1, 0, 1, 8) into version[0..3] and returns its fourth number; -1 on a null array. */
TESK_API int32_t GetTeskVersion(TeskObj* obj, int32_t* version);
/* Stores the client platform name (cut to 15 characters) and version; 0 for a null name (nothing changed). */
TESK_API uint8_t SetClientVersion(TeskObj* obj, const char* platform, int32_t first, int32_t second,
                                  int32_t third, int32_t fourth);
/* Renames the well (cut to 63 characters); 0 for a null name (nothing changed). */
TESK_API uint8_t SetWellName(TeskObj* obj, const char* name);
/* The object's own well-name text, valid until DeleteTeskObj and showing later renamings. */
TESK_API const char* GetWellName(TeskObj* obj);
/* Logs a summary of the well, the predicted card and the measured card, one line per call. */
TESK_API void PrintTeskObj(TeskObj* obj);
/* Adds 1 to a process-wide counter and returns it (1 on the first call); safe from any thread. */
TESK_API int32_t runtesk(void);

/* ---- Rod string and tubing ---- */

/* Returns a taper record with id cut to 32 bytes (NUL-padded, no terminator when full) and the numbers unchanged; no defaults applied. */
TESK_API TaperBase_t BuildTaperBase_t(const char* id, double L, double D, double W, double T, double E, double R);
/* Sets the tapers of the measured and upscaled cards and their fluid specific gravity; 0 on null tapers, count < 1, non-finite sgFluid or no memory (old tapers kept). Tapers with L <= 0 are kept but count as invalid. */
TESK_API uint8_t SetDiagTapers(TeskObj* obj, const TaperBase_t* tapers, int32_t count, double sgFluid);
/* Sets the tapers and fluid specific gravity of the predicted card; results as SetDiagTapers. */
TESK_API uint8_t SetPredTapers(TeskObj* obj, const TaperBase_t* tapers, int32_t count, double sgFluid);
/* Number of measured-card tapers, invalid ones included; 0 without tapers. */
TESK_API int32_t GetDiagTaperCount(TeskObj* obj);
/* Copies the measured-card tapers (with the applied weight, modulus and density defaults) into out; 1 also when there is nothing to copy, 0 on a null buffer with tapers to copy. */
TESK_API uint8_t GetDiagTapers(TeskObj* obj, TaperBase_t* out);
/* Number of predicted-card tapers, invalid ones included; 0 without tapers. */
TESK_API int32_t GetPredTaperCount(TeskObj* obj);
/* Copies the predicted-card tapers into out; results as GetDiagTapers. */
TESK_API uint8_t GetPredTapers(TeskObj* obj, TaperBase_t* out);
/* Rod spring constant (lb/in) of the measured string from the surface to depth ft, also stored as the reported diagnostic Kr until the tapers or fluid change; 0 without tapers or for a depth <= 0 or NaN. */
TESK_API double CalculateKrToDepth(TeskObj* obj, double depth);
/* Sets the tubing of the measured and upscaled cards; pump and anchor depths restart at 0 (set them afterwards); 0 on null tubing, count < 1 or no memory (old tubing kept). */
TESK_API uint8_t SetDiagTubings(TeskObj* obj, const TubingBase_t* tubings, int32_t count);
/* Sets the tubing of the predicted card; results as SetDiagTubings. */
TESK_API uint8_t SetPredTubings(TeskObj* obj, const TubingBase_t* tubings, int32_t count);
/* Number of measured-card tubing sections, invalid ones included; 0 without tubing. */
TESK_API int32_t GetDiagTubingCount(TeskObj* obj);
/* Copies the measured-card tubing sections into out unchanged; 1 also when there is nothing to copy, 0 on a null buffer with sections to copy. */
TESK_API uint8_t GetDiagTubings(TeskObj* obj, TubingBase_t* out);
/* Number of predicted-card tubing sections, invalid ones included; 0 without tubing. */
TESK_API int32_t GetPredTubingCount(TeskObj* obj);
/* Copies the predicted-card tubing sections into out; results as GetDiagTubings. */
TESK_API uint8_t GetPredTubings(TeskObj* obj, TubingBase_t* out);

/* ---- API rod-string table ---- */

/* Sets the measured and upscaled tapers from API rod number (e.g. 76), pump diameter (a table value such as 1.5) and total length > 0 ft, sections rounded to 25 ft with the remainder on the top one, and stores the pump diameter; 0 for an unknown pair or bad length (nothing changed). A length shorter than the rounding leaves a top taper of L <= 0 (invalid, kept). */
TESK_API uint8_t SetDiagApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength);
/* Same for the predicted card, which keeps its fluid specific gravity; results as SetDiagApiTaperByNumber. */
TESK_API uint8_t SetPredApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength);

/* ---- Measured card, Fourier fit and upscaled card ---- */

/* Loads a measured surface card (count points, finite spm > 0), refits the Fourier series and resamples the upscaled card; 0 on a bad speed (which is still stored as the measured speed), a count < 0 or > 1,000,000, null arrays or no memory; a count of 0 clears the card. */
TESK_API uint8_t LoadDyn(TeskObj* obj, double spm, const double* positions, const double* loads, int32_t count);
/* Refits the position series with count pairs and resamples the upscaled card; the result is the resampling's (0 while the upscaled card has no points), and a count <= 0 or > 100,000 keeps the old series (logged). */
TESK_API uint8_t SetFourierCoeffCountPos(TeskObj* obj, int32_t count);
/* Refits the load series with count pairs and resamples the upscaled card; results as SetFourierCoeffCountPos. */
TESK_API uint8_t SetFourierCoeffCountLoad(TeskObj* obj, int32_t count);
/* Gives the upscaled card count points (0 clears it) and resamples it; always 1, also when a count < 0 or > 1,000,000 is logged and ignored. */
TESK_API uint8_t SetUpscaledDynoPointCount(TeskObj* obj, int32_t count);

/* ---- Run ---- */

/* Solves every card whose inputs changed (measured, upscaled, predicted) and records the run time; 1 even when a card could not be solved (its log lines say why), 0 only for a null handle. */
TESK_API uint8_t RunDesign(TeskObj* obj);

/* ---- Results ---- */

/* Copies the measured surface card (GetMeasuredDynoPointCount points); 1, also when there are no points; 0 when a needed array is null. */
TESK_API uint8_t GetMeasuredDyno(TeskObj* obj, double* positions, double* loads);
/* Copies the upscaled surface card; 0 (nothing written) while the upscaled card has no points. */
TESK_API uint8_t GetUpscaledDyno(TeskObj* obj, double* positions, double* loads);
/* Copies the predicted surface card; 1, also when there are no points; 0 when a needed array is null. */
TESK_API uint8_t GetPredDyno(TeskObj* obj, double* positions, double* loads);
/* Copies the measured pump card of the last run; 1, also when there are no points; 0 when a needed array is null. */
TESK_API uint8_t GetMeasuredPump(TeskObj* obj, double* positions, double* loads);
/* Copies the upscaled pump card; 0 (nothing written) while the upscaled card has no points. */
TESK_API uint8_t GetUpscaledPump(TeskObj* obj, double* positions, double* loads);
/* Copies the predicted pump card; 1, also when there are no points; 0 when a needed array is null. */
TESK_API uint8_t GetPredPump(TeskObj* obj, double* positions, double* loads);
/* Copies the ARGB colour of each measured pump point (0x00FF00FF on diagnosed cards); 1, 0 for a null array. */
TESK_API uint8_t GetMeasuredPumpColors(TeskObj* obj, int32_t* colors);
/* Copies the ARGB colour of each upscaled pump point; 0 while the upscaled card has no points. */
TESK_API uint8_t GetUpscaledPumpColors(TeskObj* obj, int32_t* colors);
/* Copies the ARGB colour of each predicted pump point, which marks the pump state; 1, 0 for a null array. */
TESK_API uint8_t GetPredPumpColors(TeskObj* obj, int32_t* colors);
/* Points per cycle of the measured card (0 before a card is loaded). */
TESK_API int32_t GetMeasuredDynoPointCount(TeskObj* obj);
/* Points per cycle of the upscaled card. */
TESK_API int32_t GetUpscaledDynoPointCount(TeskObj* obj);
/* Points per cycle of the predicted card (set by the run from its time step). */
TESK_API int32_t GetPredDynoPointCount(TeskObj* obj);
/* Per grid point of the measured rod string: depth (0 first), max and min rod load, 100 and 0; 0 (nothing written) before nodes exist. */
TESK_API uint8_t GetMeasuredRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                       double* constHundred, double* constZero);
/* As GetMeasuredRodLoading for the upscaled card. */
TESK_API uint8_t GetUpscaledRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                       double* constHundred, double* constZero);
/* As GetMeasuredRodLoading for the predicted card. */
TESK_API uint8_t GetPredRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                   double* constHundred, double* constZero);
/* Grid points of the measured rod string (nodes + 1); a new object reports 101 although no node exists yet. */
TESK_API int32_t GetMeasuredRodLoadingCount(TeskObj* obj);
/* Grid points of the upscaled rod string (nodes + 1). */
TESK_API int32_t GetUpscaledRodLoadingCount(TeskObj* obj);
/* Grid points of the predicted rod string (nodes + 1). */
TESK_API int32_t GetPredRodLoadingCount(TeskObj* obj);
/* Copies the position and load history of one grid point (row 0 = surface) over the cycle, point-count values each; card 1 measured, 2 upscaled, 3 predicted; 0 (nothing written) without tables for the current card or for a row outside them. */
TESK_API uint8_t GetIntermediateCard(TeskObj* obj, int32_t row, int32_t card, double* positions, double* loads);
/* Copies the position and load of every grid point (rod-loading count values each) at one point of the cycle; 0 (nothing written) without tables or for a column outside 0 to point count - 1. */
TESK_API uint8_t GetIntermediateTimeSlice(TeskObj* obj, int32_t column, int32_t card, double* positions,
                                          double* loads);

/* ---- Wave parameters and settings ---- */

/* Stores well, fluid, pump and prediction inputs, raising only the flags that real changes need; 1 (0 only for a null handle). The upscaled card keeps its own specific gravity; fillage is clamped to [0, 1] (NaN kept); a speed not > 0 is stored but keeps the old period; depths need tubing (logged otherwise). */
TESK_API uint8_t SetWaveParams(TeskObj* obj, WaveParams_t params);
/* Returns the inputs of the three cards; pump depth falls back to the last taper's bottom, anchor depth is -1 without tubing; padding is 0; all zero for a null handle. */
TESK_API WaveParams_t GetWaveParams(TeskObj* obj);
/* Stores the solver settings; any non-zero useLegacyPred selects the legacy solver and is kept as given; predNodesPerSection outside 1..1000 is logged and ignored; 1, or 0 for a null handle. */
TESK_API uint8_t SetWaveSettings(TeskObj* obj, WaveSettings_t settings);
/* Returns the solver settings; padding is 0; all zero for a null handle. */
TESK_API WaveSettings_t GetWaveSettings(TeskObj* obj);

/* ---- Pumping unit ---- */

/* Replaces the unit and re-derives its geometry, marks the predicted card dirty; always 1 (0 only for a null handle). Nothing is validated: impossible geometry or types 'H'/'X' (whose own inputs have no setter and stay 0) give NaN positions and loads, and letters other than A, C, M, R log "Unsupported Pumping Unit Type". */
TESK_API uint8_t SetPuInfo(TeskObj* obj, PuInfo_t info);
/* The same entry point as SetPuInfo under a second name. */
TESK_API uint8_t SetPuApi(TeskObj* obj, PuInfo_t info);
/* The unit as stored, byte for byte; for type 'A' cbe and structUnbalance are those derived from the air inputs; all zero for a null handle. */
TESK_API PuInfo_t GetPuInfo(TeskObj* obj);
/* Not implemented: logs "TODO: SetPuByName(name)" and returns 0; the handle is unused. */
TESK_API uint8_t SetPuByName(TeskObj* obj, const char* name);
/* Permissible-load curve into positions/loads (in, lb): beam units 72 points at 0..355 degrees of crank (only min(count, 72) written; count != 72 is logged), types 'X'/'H' count points; with both bounds finite, loads[0..count-1] above maxLoad or below minLoad become NaN; always 1 (0 for a null handle or null arrays); NaN positions for impossible geometry or type 'H'/'X' inputs left at 0. */
TESK_API uint8_t GetPermissibleLoads(TeskObj* obj, double* positions, double* loads, int32_t count, double minLoad,
                                     double maxLoad);

/* ---- Prediction results and figures ---- */

/* Node counts, time steps, point counts and periods of the cards, and fluid-load terms sg*0.433*pump depth*last node area in ft2 (psi*ft2, 1/144 of the load in lb); all zero for a null handle. */
TESK_API WaveParamsReadOnly_t GetWaveParamsReadOnly(TeskObj* obj);
/* Figures of the last run (recomputes the MEAS extremes first; pump volumes are D^2*stroke/231 without pi/4; event indexes within the last cycle); a never-solved card reports stroke 0 and 0 for all derived from it; all zero for a null handle. */
TESK_API WaveResults_t GetWaveResults(TeskObj* obj);
/* Fluid load on the PRED plunger from its pressures, (pi D^2/4) * dpsi, lb; does not change fo; 0 for a null handle. */
TESK_API double CalculateFo(TeskObj* obj);

/* ---- Deviation survey ---- */

/* Replaces the survey with count stations from three parallel arrays (well depth unchanged); 0 on a negative count or null arrays, survey unchanged. */
TESK_API uint8_t SetDeviationSurvey(TeskObj* obj, int32_t count, const double* md, const double* inclination,
                                    const double* azimuth);
/* Replaces the survey with count rows and sets the well depth to the last row's md (count > 0); 0 on a negative count or null rows, nothing changed. */
TESK_API uint8_t SetDeviationSurveyWithMIA(TeskObj* obj, int32_t count, const MiaPoint_t* rows);
/* Copies every station (GetDeviationSurveyCount of them) into out; 0 on a null buffer with stations to copy. */
TESK_API uint8_t GetDeviationSurvey(TeskObj* obj, DeviationPoint_t* out);
/* Number of survey stations. */
TESK_API int32_t GetDeviationSurveyCount(TeskObj* obj);

/* ---- Design files and dyno cards ---- */

/* Loads the measured card from a dyno text file (see LoadDynFromFileContents); 0 with a log line when the file cannot be opened, sized or read (an empty file included). */
TESK_API uint8_t LoadDynFromFile(TeskObj* obj, const char* path);
/* Loads the measured card from dyno text: a count 1..1,000,000, "position,load" lines, then the speed on the 2nd and the well name on the 10th line after them; cuts the text into lines IN PLACE; 0 on a bad count (nothing changed) or a speed that is not a finite number > 0 (the points are kept). */
TESK_API uint8_t LoadDynFromFileContents(TeskObj* obj, char* text);
/* Reads a design file whose format is the first letter after the last '.' of the path (j: own JSON; q, r, i not supported yet); 0 on failure, keeping whatever was applied before it. */
TESK_API uint8_t ParseDesignFile(TeskObj* obj, const char* path);
/* Reads design text of type 'J' (own JSON); 'Q', 'R', 'S' are not supported yet (logged), any other letter gives 0 silently; 0 on failure, keeping whatever was applied. */
TESK_API uint8_t ParseDesignFileContents(TeskObj* obj, char* text, char type);
/* Writes the design to the format the path's extension selects (j: own JSON); 0 with a log line for other formats or when the file cannot be serialised or written (an existing file is then left as it was, unless writing itself failed midway). */
TESK_API uint8_t WriteDesignFile(TeskObj* obj, const char* path);
/* Writes the design by a template file of the same format; 0 with a log line on mismatched formats and, in this build, for every format. */
TESK_API uint8_t WriteDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath);

/* ---- Cloud ---- */

/* One stored design of the last listing, 172 bytes. Each field is a zero-terminated text cut
 * to fit (83, 23 and 63 characters), empty when the stored item lacks it. */
typedef struct DesignSummary {
    char designId[84]; /* the identity id, "_" and a random UUID */
    char ts[24];       /* UTC save time, "2024-03-05T07:08:09.045" */
    char wellname[64];
} DesignSummary;

#ifdef __cplusplus
static_assert(sizeof(DesignSummary) == 172 && offsetof(DesignSummary, ts) == 84 &&
                  offsetof(DesignSummary, wellname) == 108,
              "DesignSummary layout");
#endif

/* Signs in with user name and password (UTF-8) and keeps the refresh token in $APPDATA/tesk/refreshtoken.txt; 1 once credentials were obtained, 0 with log lines otherwise (a failed login leaves the object logged out). */
TESK_API uint8_t Login(TeskObj* obj, const char* userName, const char* password);
/* Deletes the refresh-token file and forgets credentials and identity; always returns 0. The last listing stays. */
TESK_API uint8_t Logout(TeskObj* obj);
/* With refresh exactly 1, first lists the user's stored designs (logs "Fetch Designs Failed" on failure); returns the number of designs of the last listing, -1 before any. */
TESK_API int32_t FetchDesigns(TeskObj* obj, uint8_t refresh);
/* Copies the last listing (FetchDesigns' count of records) into dst; 0 (nothing written) for a null dst or an empty or missing listing. */
TESK_API uint8_t GetDesigns(TeskObj* obj, DesignSummary* dst);
/* Fetches one stored design by id and writes it to the log; the well is not changed; 0 when not logged in, not found or on failure. */
TESK_API uint8_t GetDesign(TeskObj* obj, const char* designId);
/* Saves the current design as a new item of the design table; flag is unused; 0 when not logged in or on failure. */
TESK_API uint8_t SaveCurrentDesign(TeskObj* obj, uint8_t flag);
/* Renews the session from the stored refresh token and writes a test item; reports only through log lines. */
TESK_API void Test(TeskObj* obj);

#ifdef __cplusplus
}
#endif

#endif /* TESK_TESK_H */
