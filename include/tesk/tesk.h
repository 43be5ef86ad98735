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

/* ---- API rod-string table ---- */

/* ---- Measured card, Fourier fit and upscaled card ---- */

/* ---- Run ---- */

/* ---- Results ---- */

/* ---- Wave parameters and settings ---- */

/* ---- Pumping unit ---- */

/* ---- Prediction results and figures ---- */

/* ---- Deviation survey ---- */

/* ---- Design files and dyno cards ---- */

#ifdef __cplusplus
}
#endif

#endif /* TESK_TESK_H */
