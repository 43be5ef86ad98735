/*
 * tesk: design and diagnosis of sucker-rod pumping systems.
 *
 * The host's contract with libtesk.so. Plain C99, also C++98 (C11 and C++11 hosts also get the
 * record layouts checked at compile time); every function has C linkage.
 * Booleans are one byte (uint8_t, 1 for true). Counts and indexes are int32_t.
 * Units are US oilfield units: ft, in, lb, psi, strokes per minute, seconds.
 * Card positions are in inches, positive upward; loads in pounds.
 * Getters that fill arrays write as many elements as the matching count getter
 * reports and check no buffer size: size your buffers from the count getters.
 * No function throws; failures come back as 0, -1, NaN-free zeros or null, with a log line.
 *
 * Cards. A well object keeps three: the measured card ("MEAS": the host's surface card,
 * diagnosed down to the pump), the upscaled card ("UPSC": the measured card resampled through
 * a Fourier fit and diagnosed the same way) and the predicted card ("PRED": the surface and
 * pump cards the pumping unit, or the measured surface motion, would produce). Inputs named
 * Diag set the measured and upscaled cards together, Pred the predicted card. A card holds
 * one pumping cycle; point 0 is the bottom of the stroke, where the upstroke starts.
 *
 * Memory. The host owns its arrays and texts and the library copies whatever it keeps, so an
 * argument may be freed or reused as soon as the call returns (ParseDesignFileContents also
 * writes into Rodstar and SROD text while it runs; dyno text is only read). The library owns the well object and all it
 * holds: the host frees nothing but the object itself, with DeleteTeskObj, and uses no pointer
 * the library handed out (the well-name text) after that.
 *
 * Sizing buffers. A getter that fills arrays trusts its count getter, so read the count after
 * the last call that can change it and size the buffer from it right before the copy.
 * RunDesign chooses the grids: it changes the predicted card's point count and the rod-loading
 * counts of the cards it solves. LoadDyn, LoadDynFromFile(Contents) and the design-file readers
 * change the measured and upscaled point counts, SetUpscaledDynoPointCount the upscaled one, and
 * the taper, tubing and survey setters their own counts.
 *
 * Version. tesk_version.h, included here, gives the version of these headers as
 * TESK_VERSION_MAJOR, _MINOR, _PATCH, _TWEAK and TESK_VERSION_STRING; GetTeskVersion gives the
 * version of the library that runs. The library's SONAME, libtesk.so.MAJOR, changes with the
 * major number only when the interface changes incompatibly.
 *
 * Threads. The library starts no threads. It takes one lock, briefly: a well object's first
 * cloud call that may send (Login, FetchDesigns with refresh 1, GetDesign, SaveCurrentDesign,
 * Test) starts the transfer library (libcurl) for the process unless another object already
 * has, and deleting the last such object stops it, each under that lock; creating a well object
 * starts nothing and nothing else locks. Use each well object from one
 * thread at a time (a host sharing one between threads serialises its calls); different
 * objects may be used on different threads at once. BuildTaperBase_t, runtesk and
 * SetLoggingCallback may be called from any thread.
 *
 * Log lines. Every message is one line of text (no line end, at most 1,023 bytes). It goes to
 * the callback registered with SetLoggingCallback, one for the whole process, or to stderr
 * while none is registered. The callback runs on the thread whose call logs the line, so with
 * objects in use on several threads it may run on several threads at once and must be
 * thread-safe. Its result is ignored and the text is valid only during the call. It may call
 * the library, though not for the object whose call is logging (that object is mid-operation);
 * lines logged from inside the callback on the same thread go to stderr, never back into the
 * callback, so it does not recurse. Numbers in log lines are formatted in the C locale.
 * Control characters other than the tab, wherever a line takes them from (a well name, a path,
 * a server's message, a message's own line end), arrive as visible escapes ("\n", "\r",
 * "\x1b"), so no text can split a line or reach the host's terminal; a line without them
 * arrives as it was logged.
 *
 * Null handles. A null handle is such a failure (one line) for every function that takes one, except
 * GetTeskVersion, SetLoggingCallback and DeleteTeskObj, which need no object.
 *
 * File sizes. A file larger than its format allows is refused with a line before it is read:
 * own JSON designs 64 MiB, Rodstar and SROD designs 32 MiB, QROD designs and dyno files
 * 256 MiB, export templates 1 MiB. The JSON, Rodstar and SROD limits hold for design texts
 * given to ParseDesignFileContents too. A design or template holding a NUL byte (the line gives its offset)
 * or starting with a UTF-16 byte-order mark is refused as well. Within the limits, a call takes
 * memory in proportion to what it reads: a design's survey of more than 100,000 stations is
 * not read (a line; the well is left without a survey), and a JSON taper or tubing list of more
 * than 10,000 elements fails the read.
 */
#ifndef TESK_TESK_H
#define TESK_TESK_H

#include <stddef.h>
#include <stdint.h>

/* The record layouts are checked at compile time where static_assert exists: C11 and later, and
 * C++11 and later (MSVC tells its language level in _MSVC_LANG). C99 and C++98/03 hosts compile
 * the header without the checks. */
#if defined(__cplusplus)
#if __cplusplus >= 201103L || (defined(_MSVC_LANG) && _MSVC_LANG >= 201103L)
#define TESK_LAYOUT_CHECKS 1
#endif
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define TESK_LAYOUT_CHECKS 1
#include <assert.h> /* static_assert */
#endif

#include "tesk/tesk_version.h"

/* The library's own build defines TESK_BUILDING_LIBRARY; hosts leave it undefined. */
#if defined(_WIN32)
#if defined(TESK_BUILDING_LIBRARY)
#define TESK_API __declspec(dllexport)
#else
#define TESK_API __declspec(dllimport)
#endif
#else
#define TESK_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The well object. The host holds only the pointer. */
typedef struct TeskObj TeskObj;

/* Receives one log line (no line end); the text is valid only during the call. Must be
 * thread-safe; see "Log lines" above. The result is ignored. */
typedef int (*LogCallback)(const char* line);

/* One rod taper (a length of one rod size), 80 bytes; a string's tapers are given surface
 * first. id holds up to 32 bytes and has no terminator when full. A taper with L <= 0 keeps its
 * place and count but is invalid: it adds nothing to any total. */
typedef struct TaperBase_t {
    char id[32]; /* the taper's name; stored, returned and saved only */
    double L; /* length, ft */
    double D; /* rod diameter, in */
    double W; /* weight per foot in air, lb/ft; <= 0 takes the table value for a D within 0.005 in
                 of 0.625, 0.75, 0.875, 1, 1.125, 1.25, 1.287, 1.5, 1.75 or 2 in (so 0.88 is 7/8);
                 another D logs "Unsupported Rod Diameter" and takes the stand-in 999,999, which
                 GetDiagTapers returns and with which no card is solved */
    double T; /* tensile strength; stored, returned and saved only */
    double E; /* modulus of elasticity, psi; <= 0 takes 30,500,000 */
    double R; /* density of the rod material, lb/ft3; <= 0 takes 492; weight in fluid is W * (1 - sg * 62.4 / R) */
} TaperBase_t;

/* One tubing section, 64 bytes; sections are given surface first. Only L and E enter a
 * calculation: the tubing spring constants 1 / sum(L * E), lb/in, between the anchor and the pump
 * (Kt, which the predicted pump's load pickup stretches) and above the pump (KtWhole). The other
 * fields are stored, returned and saved only; no default replaces any field. A section with
 * L <= 0 keeps its place and count but adds nothing. */
typedef struct TubingBase_t {
    double L;      /* length, ft */
    double ID;     /* inside diameter, in; stored only */
    double OD;     /* outside diameter, in; stored only */
    double weight; /* weight of the section; stored only */
    double W;      /* weight per foot, lb/ft; stored only */
    double T;      /* tensile strength; stored only */
    double E;      /* in of stretch per lb of load and per ft of tubing: 12 / (modulus psi * wall area in2) */
    double R;      /* density; stored only */
} TubingBase_t;

/* Pumping unit, 136 bytes: the predicted card's surface motion when usePumpingUnitForPosition
 * is 1, and the permissible-load curve. A, P, C, I, K, R are the API geometry letters. Nothing
 * is validated: a linkage that cannot close gives NaN positions and loads. A new object holds
 * a conventional unit (type 'C', A 129, P 132, C 111.07205, I 111, K 175.55, R 42). */
typedef struct PuInfo_t {
    int32_t rotation; /* sign of the crank rotation, 1 or -1: multiplies the torque factor and
                         the counterbalance torque */
    int32_t padding0; /* stored only */
    double A; /* beam pivot to the polished rod (horsehead), in */
    double P; /* pitman length, in */
    double C; /* beam pivot to the pitman pin, in */
    double I; /* horizontal distance from the beam pivot to the crankshaft, in */
    double K; /* distance from the beam pivot to the crankshaft, in */
    double R; /* crank radius, in */
    double gearboxRating;   /* gear reducer torque rating, in-lb */
    double structureRating; /* structure load rating, lb: caps the permissible loads */
    double maxStroke;       /* type 'H' stroke, in */
    char unitType;          /* 'C' conventional, 'A' air balanced, 'M' Mark II, 'R' reverse mark;
                               'X' and 'H' have no beam linkage and no setter for their own inputs */
    char padding1[7];       /* stored only */
    double cbe;             /* counterbalance effect: the polished-rod load the counterbalance
                               offsets, lb; type 'A' derives it from the air inputs */
    double structUnbalance; /* structural unbalance: the polished-rod force that holds the beam
                               level with the pitman disconnected, lb; type 'A' derives it */
    double reserved;        /* stored only */
    double airPressure;     /* type 'A': cylinder air pressure, psi; cbe = (airPressure - airPressureBase) * airArea */
    double airArea;         /* type 'A': effective piston area, in2 */
    double airPressureBase; /* type 'A': pressure that balances the structure, psi; structUnbalance = airPressureBase * airArea */
} PuInfo_t;

/* Well, fluid, pump and prediction inputs, 248 bytes. diag* fields set "MEAS" and "UPSC"
 * (diagSg and diagVisc "MEAS" alone), pred* fields "PRED". Take the record from GetWaveParams,
 * change what you mean to and give it back: SetWaveParams stores every field.
 *
 * Damping factors are dimensionless (0: undamped; 0.05 to 0.2 are usual). A factor nu damps
 * the rods with the viscous coefficient c = pi * nu * a / (2 * L), in 1/s, in the wave equation
 * u_tt + c * u_t = a^2 * u_xx, a being the speed of sound in the rods (ft/s; on the diagnosed
 * cards the slowest taper's, in the prediction each taper's own) and L the rod-string length
 * (ft); the string's first mode, pi * a / (2 * L) rad/s, then has the damping ratio nu / 2.
 * On the diagnosed cards the up factor applies to the first half of the card's points and the
 * down factor to the second half, by point index alone. In the prediction the up factor applies
 * while the polished rod moves up and the down factor while it moves down (the legacy solver
 * chooses per grid point by the motion of the point above it). */
typedef struct WaveParams_t {
    double wellDepth; /* ft; stored, printed and saved only (the pump depth is set on its own) */
    double diagSpm;   /* pumping speed of the measured card, strokes/min; period 60 / spm s. Not > 0:
                         stored, but the period stays */
    double predSpm;   /* pumping speed of the prediction, strokes/min; as diagSpm */
    double diagDampUp; /* upstroke damping factor of the diagnosed cards (see above) */
    double diagDampDn; /* downstroke damping factor of the diagnosed cards */
    double predDampUp; /* upstroke damping factor of the prediction */
    double predDampDn; /* downstroke damping factor of the prediction */
    double diagSg; /* fluid specific gravity (water 1) of "MEAS" only: rod buoyancy, fluid loads,
                      slippage; the upscaled card keeps the one SetDiagTapers or a design gave it */
    double predSg; /* fluid specific gravity of "PRED" */
    double diagVisc; /* fluid viscosity, cP; enters the slippage figure only */
    double predVisc; /* fluid viscosity of the prediction, cP; slippage only */
    double diagPumpDia; /* plunger diameter, in: displacement, volume and slippage figures */
    double diagPumpLen; /* plunger length, in; slippage only */
    double diagPumpFit; /* clearance between plunger and barrel, in; slippage only */
    double predPumpDia; /* plunger diameter of the prediction, in; also CalculateFo */
    double predPumpLen; /* plunger length of the prediction, in */
    double predPumpFit; /* plunger clearance of the prediction, in */
    double diagPressureTubing; /* tubing pressure at the surface, psi; slippage figure */
    double diagPressureCasing; /* casing pressure at the surface, psi; slippage figure */
    double predPressureTubing; /* tubing pressure of the prediction, psi */
    double predPressureCasing; /* casing pressure of the prediction, psi */
    /* Fluid level: the depth below the surface of the fluid in the casing annulus, ft. The
     * library takes it as the lift: the pressure across the plunger is
     * 0.433 * sg * fluidLevel + tubing pressure - casing pressure (psi), which CalculateFo
     * multiplies by the plunger area pi * D^2 / 4 (in2) to give the fluid load in lb. */
    double diagFluidLevel; /* ft below the surface; slippage figure */
    double predFluidLevel; /* ft below the surface; CalculateFo, predFoFromPressure, slippage */
    double diagPumpDepth; /* ft: tubing spring constants and fluid-load terms. Stored in the
                             tubing, so set it after the tubing (ignored and logged without);
                             reads back as the bottom of the last valid taper while there is no
                             tubing */
    double predPumpDepth; /* pump depth of the prediction, ft; as diagPumpDepth */
    double diagAnchorDepth; /* tubing anchor depth, ft; stored in the tubing like the pump depth;
                               -1 without tubing */
    double predAnchorDepth; /* tubing anchor depth of the prediction, ft; -1 without tubing */
    double fo; /* fluid load the predicted pump picks up, lb; given by the host (CalculateFo derives
                  one from the pressures but does not store it) */
    double fillage; /* fraction of the predicted pump's stroke filled with liquid, 0 to 1 (clamped) */
    double compression; /* steepness of the predicted load pickup and release over plunger travel
                           when fillage < 1, 1/in; 0 leaves the pickup flat (the pump load stays 0) */
    uint8_t usePumpingUnitForPosition; /* 1: the predicted surface motion comes from the pumping
                                          unit; 0: from the Fourier fit of the measured card */
    uint8_t padding[7]; /* ignored when set, 0 when read */
} WaveParams_t;

/* Solver settings, 12 bytes; a new object has all 0 and predNodesPerSection 10. */
typedef struct WaveSettings_t {
    uint8_t useLegacyPred; /* non-zero: legacy predictive solver on its fixed grid */
    uint8_t padding0[3]; /* ignored when set, 0 when read */
    int32_t predNodesPerSection; /* 1 to 1000: nodes of the prediction's shortest taper, which
                                    sets its grid and time step; finer and slower as it grows */
    uint8_t subtractFluidLoad; /* 1: rod and pump loads are reported less the fluid load at their
                                  depth (fluid pressure there times the rod's area, lb); diagnosed
                                  cards and the default prediction, not the legacy one */
    uint8_t zeroPumpPosition; /* 1: pump positions are shifted so the lowest is 0; diagnosed cards
                                 and the default prediction */
    uint8_t padding1[2]; /* ignored when set, 0 when read */
} WaveSettings_t;

/* Grid figures of the three cards, 88 bytes, as the last run (or the last setter) left them. */
typedef struct WaveParamsReadOnly_t {
    int32_t diagNodeCount; /* finite-difference nodes of the measured card's rod string (grid points: + 1) */
    int32_t upscNodeCount; /* nodes of the upscaled card */
    int32_t predNodeCount; /* nodes of the predicted card */
    int32_t padding0; /* 0 */
    double diagDt; /* time step of the measured card, s: the time between two card points */
    double upscDt; /* time step of the upscaled card, s */
    double predDt; /* time step of the predicted card, s */
    int32_t diagPointCount; /* points per cycle of the measured card */
    int32_t upscPointCount; /* points per cycle of the upscaled card */
    int32_t predPointCount; /* points per cycle of the predicted card */
    int32_t padding1; /* 0 */
    double diagPeriod; /* one cycle of the measured card, s: 60 / spm */
    double predPeriod; /* one cycle of the predicted card, s */
    double diagFluidLoad; /* sg * 0.433 * pump depth * area of the last rod node in ft2: psi*ft2,
                             1/144 of the fluid load in lb on the rod's lower end; 0 without nodes */
    double predFluidLoad; /* the same on the predicted card */
} WaveParamsReadOnly_t;

/* Figures of the three cards, 320 bytes, read when GetWaveResults is called: the pump and
 * surface strokes come from the last run, the string and tubing figures from the current inputs.
 * A figure of a card without tapers or tubing is 0. The four event indexes are points of the
 * predicted card's last cycle (0 to its point count - 1) where the pump state changed as
 * GetPredPumpColors marks it; an event that did not happen reads 0 (negative with the legacy
 * solver). */
typedef struct WaveResults_t {
    int32_t runTimeMs; /* duration of the last RunDesign, ms */
    int32_t padding0; /* 0 */
    double diagRodWeight; /* rod weight in air of the measured string, lb; 0 while a taper holds
                             the stand-in weight of an unlisted diameter (see TaperBase_t.W) */
    double diagRwf; /* rod weight in fluid (buoyant), lb; 0 like diagRodWeight */
    double diagWaveRoundTrip; /* time of a stress wave down the string and back, s */
    double diagWaveSpeed; /* speed of sound in the rods, length-weighted mean, ft/s */
    double diagKr; /* rod spring constant, lb/in (the one CalculateKrToDepth stored, if called since) */
    double diagKt; /* tubing spring constant between anchor and pump, lb/in; 0 when none */
    double diagKtWhole; /* spring constant of all tubing above the pump, lb/in */
    double constMinusOne; /* always -1 */
    double diagNNo; /* N/No' of API RP 11L: spm * rod length / 245,000, dimensionless */
    double diagSKr; /* surface stroke * Kr, lb: the load that stretches the rods one stroke */
    double diagSurfaceStroke; /* polished-rod stroke of the measured card, in */
    double diagPumpDisplacement; /* pump displacement 0.1166 * D^2 * pump stroke * spm, bbl/day */
    double diagPumpVolume; /* D^2 * pump stroke / 231 (in3 per gallon), without pi/4 */
    double diagPumpStroke; /* stroke of the diagnosed pump card, in */
    double diagSpare; /* always 0 */
    double diagPumpPosMin; /* lowest pump position of the measured card, in */
    double diagPumpPosMax; /* highest pump position of the measured card, in */
    double diagSlippage; /* plunger slippage, bbl/day: (1 + 0.14 spm) * 453 * D * dpsi * fit^1.52 /
                           (plunger length * visc), dpsi the pressure across the plunger (see
                           the fluid level); 0 when not a number */
    double predRodWeight; /* rod weight in air of the predicted string, lb; 0 like diagRodWeight */
    double predRwf; /* rod weight in fluid of the predicted string, lb; 0 like diagRodWeight */
    double predWaveRoundTrip; /* wave round trip of the predicted string, s */
    double predWaveSpeed; /* mean speed of sound in the predicted string, ft/s */
    double predKr; /* rod spring constant of the predicted string, lb/in */
    double predKt; /* tubing spring constant between anchor and pump of the prediction, lb/in */
    double predKtWhole; /* spring constant of all predicted tubing above the pump, lb/in */
    double predFoOverSKr; /* Fo / (S * Kr) of API RP 11L: fo / predSKr; 0 when predSKr is 0 or not finite */
    double predNNo; /* N/No' of the predicted card, dimensionless */
    double predSKr; /* predSurfaceStroke * predKr, lb */
    double predSurfaceStroke; /* the pumping unit's stroke when usePumpingUnitForPosition is 1, else diagSurfaceStroke, in */
    double predPumpDisplacement; /* predicted pump displacement, bbl/day */
    double predPumpVolume; /* D^2 * predicted pump stroke / 231, without pi/4 */
    double predPumpStroke; /* stroke of the predicted pump card, in */
    double predSpare; /* always 0 */
    double predPumpPosMin; /* lowest predicted pump position, in */
    double predPumpPosMax; /* highest predicted pump position, in */
    double predSlippage; /* plunger slippage of the prediction, bbl/day */
    int32_t loadPickupIndex; /* predicted point at which the pump last began picking up load */
    int32_t fullLoadIndex; /* predicted point at which it last reached full load */
    int32_t loadReleaseIndex; /* predicted point at which it last began releasing load */
    int32_t noLoadIndex; /* predicted point at which it last carried no load */
    double predFoFromPressure; /* CalculateFo: the fluid load from the pressures, lb */
} WaveResults_t;

/* One station of the deviation survey as stored and returned, 64 bytes. The survey is stored,
 * returned and saved; it enters no calculation. */
typedef struct DeviationPoint_t {
    int32_t index;      /* the station's place in the survey, from 0 */
    int32_t zero;       /* always 0 */
    double md;          /* measured depth, ft */
    double inclination; /* from the vertical, degrees */
    double azimuth;     /* degrees */
    double reserved[4]; /* always 0 */
} DeviationPoint_t;

/* One survey row as the host gives it, 24 bytes. */
typedef struct MiaPoint_t {
    double md;          /* measured depth, ft */
    double inclination; /* from the vertical, degrees */
    double azimuth;     /* degrees */
} MiaPoint_t;

#ifdef TESK_LAYOUT_CHECKS
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

/* Registers the process-wide line callback (null: lines go to stderr); the handle is unused and may be null.
 * Callable from any thread; a line being logged on another thread at that moment may still reach the
 * callback it replaces, so keep a replaced callback callable until such calls have returned. */
TESK_API void SetLoggingCallback(TeskObj* obj, LogCallback callback);

/* ---- Well object ---- */

/* Creates a well object named "New Well"; null (and "MALLOC ERROR") when memory runs out. */
TESK_API TeskObj* CreateTeskObj(void);
/* Destroys the object and everything it owns, the well-name text included; null does nothing.
 * The handle must not be used afterwards. */
TESK_API void DeleteTeskObj(TeskObj* obj);
/* Copies the library version (TESK_VERSION_MAJOR, _MINOR, _PATCH, _TWEAK of the library that runs) into version[0..3] and returns its fourth number; -1 on a null array. The handle is not needed and may be null. */
TESK_API int32_t GetTeskVersion(TeskObj* obj, int32_t* version);
/* Stores the host's platform name (cut to 15 characters) and version, which the own design format saves; 0 for a null name (nothing changed). */
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

/* Returns a taper record with id cut to 32 bytes (NUL-padded, no terminator when full; null gives an empty id) and the numbers unchanged, in the units of TaperBase_t; no defaults applied. */
TESK_API TaperBase_t BuildTaperBase_t(const char* id, double L, double D, double W, double T, double E, double R);
/* Sets the tapers (count records, surface first, copied) of the measured and upscaled cards and their fluid specific gravity (water 1), which sets the rods' buoyancy; 0 on null tapers, count < 1, non-finite sgFluid or no memory (old tapers kept). Tapers with L <= 0 or NaN are kept but count as invalid: they are left out of the string, each with a log line naming it. */
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
/* Sets the tubing (count sections, surface first, copied) of the measured and upscaled cards; pump and anchor depths restart at 0 (set them afterwards with SetWaveParams); 0 on null tubing, count < 1 or no memory (old tubing kept). */
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

/* Sets the measured and upscaled tapers from API rod number (e.g. 76: 7/8 in over 6/8 in rods), pump diameter (in, a table value such as 1.5) and total length > 0 ft, sections rounded to 25 ft with the remainder on the top one, and stores the pump diameter; 0 for an unknown pair or bad length (nothing changed). A length shorter than the rounding leaves a top taper of L <= 0 (invalid, kept). */
TESK_API uint8_t SetDiagApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength);
/* Same for the predicted card, which keeps its fluid specific gravity; results as SetDiagApiTaperByNumber. */
TESK_API uint8_t SetPredApiTaperByNumber(TeskObj* obj, int32_t apiNumber, double pumpDiameter, double totalLength);

/* ---- Measured card, Fourier fit and upscaled card ----
 * Fourier work is counted in terms, points x cosine/sine pairs. One fit or resampling may take
 * 2e8 terms, and all those of one call together (a design read loads the card, fits both
 * series and resamples) 6e8, a few seconds; a step past either is refused with a line giving
 * the limit, and a refused resampling leaves the upscaled card zeros. */

/* Loads a measured surface card of one cycle: count polished-rod positions (in, positive upward) and loads (lb), point 0 at the bottom of the stroke, taken at even time steps over 60 / spm s (spm strokes/min, finite, > 0). The points are copied, NaN and infinite ones too, but RunDesign refuses to diagnose a card holding one (a line names the first); the Fourier series are refitted and the upscaled card resampled. 0 on a bad speed (which is still stored as the measured speed), a count < 0 or > 1,000,000, null arrays or no memory; a count of 0 clears the card. */
TESK_API uint8_t LoadDyn(TeskObj* obj, double spm, const double* positions, const double* loads, int32_t count);
/* Refits the position series with count harmonics (cosine and sine pairs) and resamples the upscaled card; a new object has 0 and fits nothing until both counts are set. The result is the resampling's (0 while the upscaled card has no points), and a count <= 0 or > 100,000 keeps the old series (logged). */
TESK_API uint8_t SetFourierCoeffCountPos(TeskObj* obj, int32_t count);
/* Refits the load series with count pairs and resamples the upscaled card; results as SetFourierCoeffCountPos. */
TESK_API uint8_t SetFourierCoeffCountLoad(TeskObj* obj, int32_t count);
/* Gives the upscaled card count points (0 clears it) and resamples it; always 1, also when a count < 0 or > 1,000,000 is logged and ignored. */
TESK_API uint8_t SetUpscaledDynoPointCount(TeskObj* obj, int32_t count);

/* ---- Run ---- */

/* Solves every card whose inputs changed (measured, upscaled, predicted) and records the run time; 1 even when a card could not be solved (its log lines say why), 0 only for a null handle.
 * Budgets: a card's solve above 2e9 grid updates (nodes x points x cycles), or a predicted card whose surface motion from the position series needs more than 2e8 terms (terms x points), is refused with a line giving the grid and the limit; so is a grid of more than 100,000 nodes, or a predicted one of more than 1,000,000 points a cycle (a huge or crawling speed, many nodes a section on a short taper), which is never built. A card whose intermediate tables would take more than 256 MiB keeps none for that solve (logged); its setting stays on.
 * A card whose solve is refused or fails loses that run's results, and until a later RunDesign solves it, the getters of what a solve produces answer 0 and write nothing for it: its Get...Pump, Get...PumpColors, Get...RodLoading, GetIntermediateCard and GetIntermediateTimeSlice (and GetPredDyno for the predicted card); its pump figures in GetWaveResults are 0. So after RunDesign a host tells which card failed by those getters' results, and the log says why. The surface-card and count getters still answer: they describe the inputs and the grid. */
TESK_API uint8_t RunDesign(TeskObj* obj);

/* ---- Results ---- */

/* Card getters copy one cycle into the host's arrays: positions in inches (positive upward), loads in lb,
 * as many points as the card's point count getter reports. */
/* Copies the measured surface card (GetMeasuredDynoPointCount points); 1, also when there are no points; 0 when a needed array is null. */
TESK_API uint8_t GetMeasuredDyno(TeskObj* obj, double* positions, double* loads);
/* Copies the upscaled surface card; 0 (nothing written) while the upscaled card has no points. */
TESK_API uint8_t GetUpscaledDyno(TeskObj* obj, double* positions, double* loads);
/* Copies the predicted surface card; 1, also when there are no points; 0 when a needed array is null or the predicted card's last solve was refused or failed (see RunDesign). */
TESK_API uint8_t GetPredDyno(TeskObj* obj, double* positions, double* loads);
/* Copies the measured pump card of the last run; 1, also when there are no points; 0 when a needed array is null or the card's last solve was refused or failed (see RunDesign). */
TESK_API uint8_t GetMeasuredPump(TeskObj* obj, double* positions, double* loads);
/* Copies the upscaled pump card; 0 (nothing written) while the upscaled card has no points or fit, or its last solve was refused or failed. */
TESK_API uint8_t GetUpscaledPump(TeskObj* obj, double* positions, double* loads);
/* Copies the predicted pump card; 1, also when there are no points; 0 when a needed array is null or the card's last solve was refused or failed. */
TESK_API uint8_t GetPredPump(TeskObj* obj, double* positions, double* loads);
/* Copies the ARGB colour of each measured pump point (0x00FF00FF on diagnosed cards); 1; 0 for a null array or after a refused or failed solve. */
TESK_API uint8_t GetMeasuredPumpColors(TeskObj* obj, int32_t* colors);
/* Copies the ARGB colour of each upscaled pump point; 0 while the upscaled card has no points or fit, or after a refused or failed solve. */
TESK_API uint8_t GetUpscaledPumpColors(TeskObj* obj, int32_t* colors);
/* Copies the ARGB colour of each predicted pump point, which marks the pump state: 0xFF00FF00 load pickup, 0xFF0000FF full load, 0xFFFF00FF load release, 0xFFFFFF00 no load, 0xFFFF0000 not yet set; 1; 0 for a null array or after a refused or failed solve. */
TESK_API uint8_t GetPredPumpColors(TeskObj* obj, int32_t* colors);
/* Points per cycle of the measured card (0 before a card is loaded). */
TESK_API int32_t GetMeasuredDynoPointCount(TeskObj* obj);
/* Points per cycle of the upscaled card. */
TESK_API int32_t GetUpscaledDynoPointCount(TeskObj* obj);
/* Points per cycle of the predicted card (set by RunDesign from its time step: read it after the run). */
TESK_API int32_t GetPredDynoPointCount(TeskObj* obj);
/* Per grid point of the measured rod string, surface first: depth (ft, 0 first), max and min rod load over the cycle (lb), and the constants 100 and 0 (chart bounds, no data): all five arrays are required, a null one gives 0 with a log line; 0 (nothing written) before nodes exist or after a refused or failed solve. */
TESK_API uint8_t GetMeasuredRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                       double* constHundred, double* constZero);
/* As GetMeasuredRodLoading for the upscaled card. */
TESK_API uint8_t GetUpscaledRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                       double* constHundred, double* constZero);
/* As GetMeasuredRodLoading for the predicted card. */
TESK_API uint8_t GetPredRodLoading(TeskObj* obj, double* depths, double* maxLoads, double* minLoads,
                                   double* constHundred, double* constZero);
/* Grid points of the measured rod string (nodes + 1, chosen by RunDesign); a new object reports 101 although no node exists yet. */
TESK_API int32_t GetMeasuredRodLoadingCount(TeskObj* obj);
/* Grid points of the upscaled rod string (nodes + 1). */
TESK_API int32_t GetUpscaledRodLoadingCount(TeskObj* obj);
/* Grid points of the predicted rod string (nodes + 1). */
TESK_API int32_t GetPredRodLoadingCount(TeskObj* obj);
/* Copies the position (in) and load (lb) history of one grid point (row 0 = surface, rod-loading count - 1 = pump) over the cycle, point-count values each; card 1 measured, 2 upscaled, 3 predicted (the upscaled card keeps no such tables); 0 (nothing written) without tables for the current card, after a refused or failed solve, or for a row outside them. */
TESK_API uint8_t GetIntermediateCard(TeskObj* obj, int32_t row, int32_t card, double* positions, double* loads);
/* Copies the position and load of every grid point (rod-loading count values each) at one point of the cycle; 0 (nothing written) without tables, after a refused or failed solve, or for a column outside 0 to point count - 1. */
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
/* Not implemented: logs "TODO: SetPuByName(name)" and returns 0. */
TESK_API uint8_t SetPuByName(TeskObj* obj, const char* name);
/* Permissible-load curve (the most the gearbox and structure allow at each polished-rod position) into positions/loads (in, lb), bounds minLoad/maxLoad in lb: beam units 72 points at 0..355 degrees of crank (only min(count, 72) written; count != 72 is logged), types 'X'/'H' count points; with both bounds finite, loads[0..count-1] above maxLoad or below minLoad become NaN; 1; 0 with a log line for a null handle, null arrays or a count < 0 (nothing written); NaN positions for impossible geometry or type 'H'/'X' inputs left at 0. */
TESK_API uint8_t GetPermissibleLoads(TeskObj* obj, double* positions, double* loads, int32_t count, double minLoad,
                                     double maxLoad);

/* ---- Prediction results and figures ---- */

/* The default prediction (useLegacyPred 0) holds the plunger on its load ramp clamped to [0, fo]: the pump load it
   reports is that clamped load, exactly, and a state change takes effect at the step where the ramp's end is reached.
   Beyond the host's settings it marches on its own grid, finer in depth and time than the reported one: a whole number
   of steps a card point over the true period (60/spm), a wave travel of at most 0.8 node lengths a step (the reported
   grid's 1 lets the pump valve chatter on a grid-scale mode that light damping never removes), nodes short enough that
   the pump's load ramp is at most twice as stiff as the last one, and more steps the lighter the damping (about 3,000
   a cycle undamped, 500 at 0.1), within 4 million node updates, past which each pickup and release is spread over at least
   the stretch under fo of half a last node instead. The string starts moving with the polished rod, so a card that starts
   mid-stroke gives no start-up shock. The card keeps the reported node count, time step and points;
   GetWaveSettings reports the settings as set. */

/* Node counts, time steps, point counts and periods of the cards, and fluid-load terms sg*0.433*pump depth*last node area in ft2 (psi*ft2, 1/144 of the load in lb); all zero for a null handle. */
TESK_API WaveParamsReadOnly_t GetWaveParamsReadOnly(TeskObj* obj);
/* Figures of the last run (recomputes the MEAS extremes first; pump volumes are D^2*stroke/231 without pi/4; event indexes within the last cycle); a never-solved card reports stroke 0 and 0 for all derived from it; all zero for a null handle. */
TESK_API WaveResults_t GetWaveResults(TeskObj* obj);
/* Fluid load on the PRED plunger from its pressures, (pi D^2/4) * dpsi, lb, with dpsi = 0.433 * predSg * predFluidLevel + predPressureTubing - predPressureCasing (psi); does not change fo; 0 for a null handle. */
TESK_API double CalculateFo(TeskObj* obj);

/* ---- Deviation survey ---- */

/* Replaces the survey with count stations from three parallel arrays (md ft, inclination and azimuth degrees; copied; well depth unchanged); 0 on a negative count or null arrays, survey unchanged. */
TESK_API uint8_t SetDeviationSurvey(TeskObj* obj, int32_t count, const double* md, const double* inclination,
                                    const double* azimuth);
/* Replaces the survey with count rows and sets the well depth to the last row's md (count > 0); 0 on a negative count or null rows, nothing changed. */
TESK_API uint8_t SetDeviationSurveyWithMIA(TeskObj* obj, int32_t count, const MiaPoint_t* rows);
/* Copies every station (GetDeviationSurveyCount of them) into out; 0 on a null buffer with stations to copy. */
TESK_API uint8_t GetDeviationSurvey(TeskObj* obj, DeviationPoint_t* out);
/* Number of survey stations. */
TESK_API int32_t GetDeviationSurveyCount(TeskObj* obj);

/* ---- Design files and dyno cards ---- */

/* Loads the measured card from a dyno text file (see LoadDynFromFileContents), which also replaces the well name with the file's when it has the line; 0 with a log line when the file cannot be opened, sized or read (an empty file included) or its text is refused. */
TESK_API uint8_t LoadDynFromFile(TeskObj* obj, const char* path);
/* Loads the measured card from NUL-terminated dyno text, which is only read (a string literal will do): a point count 1..1,000,000 on the first line, then one "position,load" line per point (in, lb; each field read as atof reads it), then further lines of which the 2nd gives the speed (strokes/min) and the 10th, when there is one, replaces the well name; empty LF-ended lines are skipped. The whole text is read before anything changes: 0 with a log line (naming the line where there is one) for no text, a bad count, a point line without both fields (a tab-separated one, a trailer line taken for a point), fewer point lines than the count, no speed line or a speed that is not a finite number > 0; the well then keeps its card, speeds and name. */
TESK_API uint8_t LoadDynFromFileContents(TeskObj* obj, char* text);
/* Reads a design file whose format is the first letter after the last '.' of the path, case-insensitively (q: QROD text, r: Rodstar XML, i: SROD XML, j: own JSON; the '.' may lie in a directory name); 0 with a log line when the file cannot be read or the letter is none of these, else the reader's result. Readers apply step by step: what was applied before a failure stays applied. */
TESK_API uint8_t ParseDesignFile(TeskObj* obj, const char* path);
/* Reads design text of type 'Q', 'R', 'S' or 'J' (upper case only; any other letter gives 0 silently). 'R' and 'S' parse the text in place, so the host's buffer is changed: pass a writable copy it does not need afterwards. Texts past the format's size limit (see "File sizes") or starting with a UTF-16 byte-order mark give 0 with a line. QROD sets the well name, the predicted card's speed and damping, and on all three cards the tubing's anchor and pump depths (tubing must be set first), the fluid level (from "PumpDepth"), fluid, pressures and pump, each key once, from its last line; it gives 1 for any other text. Rodstar and SROD text that is not XML or lacks its root element gives 0 with a log line and changes nothing. Rodstar and SROD set the tapers of the predicted card only (the measured and upscaled cards keep theirs) and stand in one tubing section as long as that string, with E 0 (so Kt reads 0), on all three cards; SROD leaves the pump depth at 0, and of a metric file converts only lengths, depths and rod diameters, not its anchor depth. Cards whose values change are marked for the next RunDesign. */
TESK_API uint8_t ParseDesignFileContents(TeskObj* obj, char* text, char type);
/* Writes the design to the format the path's extension selects. j: own JSON (text that is not UTF-8 is saved with U+FFFD for its invalid bytes and a warning naming the key); q: the built-in QROD template filled with the well name and the predicted card's twelve design values (control characters become blanks); r, i: the built-in Rodstar or SROD template with this well's name and nothing else of the design, written with the template's own lines and indentation, the file is saved and the result is still 0. Every file is saved through a temporary file in the same folder, flushed and renamed over the target: when it cannot be written the result is 0 with a log line and an existing file is left as it was. The new file keeps the replaced one's mode, and its owner and group where the process may set them; a symbolic link keeps pointing where it did and the file at its end is replaced, or created when missing; a pipe or device is written in place, and one that nothing reads fails at once (0 and a line) instead of waiting. Any other extension: 0 with "Unsupported File Type". */
TESK_API uint8_t WriteDesignFile(TeskObj* obj, const char* path);
/* Writes the design as WriteDesignFile does, but from a template file of the same format as the output (q, r or i; the template's other lines and elements are kept, XML ones with their own layout). 0 with a log line when the two formats differ, the template cannot be read or parsed (above 1 MiB, a NUL byte, UTF-16 included), or the format is j or none; r and i give 0 also after saving. */
TESK_API uint8_t WriteDesignFileWithTemplate(TeskObj* obj, const char* path, const char* templatePath);

/* ---- Cloud ----
 * Every call is synchronous and returns within 60 s, retries and waits included; past that it
 * fails with a log line. A failed request is sent again as the AWS SDKs' default strategy does:
 * only throttling, HTTP 500/502/503/504 and a refused, reset, timed-out or cut-off connection,
 * up to 10 times, first at once and then after 50 ms doubling up to 12.8 s; a refusal for a
 * skewed clock is resent once at once with the service's time, which later calls keep. Only
 * the last failure is logged, with the error's name and the number of attempts. A request
 * gives up after 1 s without a connection, 3 s without a byte moving (checked about once a
 * second) or 30 s in all. Answers are bounded by what the services send: 4 MiB from DynamoDB,
 * 64 KiB from Cognito, at most 69 levels of nesting and 500,000 values; a larger one fails the
 * call with one line. Texts from a server are logged with every secret of the session (password,
 * tokens, secret key, session token) replaced by "***". The temporary credentials of a Login or
 * Test last about an hour; after that the design calls fail until Login or Test is called
 * again. The account's region, ids and table names are built in and can be replaced by
 * environment variables read at the well object's first call that may send (see README). */

/* One stored design of the last listing, 172 bytes. Each field is a zero-terminated text cut
 * to fit (83, 23 and 63 characters), empty when the stored item lacks it. An id longer than
 * 83 characters (an identity id from a region name of more than 9 characters makes one) is
 * listed cut, with a warning line that names it whole: pass that whole id to GetDesign. */
typedef struct DesignSummary {
    char designId[84]; /* the identity id, "_" and a random UUID */
    char ts[24];       /* UTC save time, "2024-03-05T07:08:09.045" */
    char wellname[64]; /* the well name saved with the design */
} DesignSummary;

#ifdef TESK_LAYOUT_CHECKS
static_assert(sizeof(DesignSummary) == 172 && offsetof(DesignSummary, ts) == 84 &&
                  offsetof(DesignSummary, wellname) == 108,
              "DesignSummary layout");
#endif

/* Signs in with user name and password (UTF-8) and keeps the refresh token in $APPDATA/tesk/refreshtoken.txt; 1 once credentials were obtained, 0 with log lines otherwise: a failed login leaves the object logged out and removes any stored refresh token, so no later Test resumes an earlier user's session. At most 60 s. */
TESK_API uint8_t Login(TeskObj* obj, const char* userName, const char* password);
/* Deletes the refresh-token file and forgets credentials and identity; always returns 0. The last listing stays. The token is not revoked at the service. Sends nothing. */
TESK_API uint8_t Logout(TeskObj* obj);
/* With refresh exactly 1, first lists the user's stored designs, all or nothing: the number listed (at most 100,000), or -1 with "Fetch Designs Failed" when the listing fails, leaving the last listing in place. Any other refresh value only returns the last listing's count, -1 before any. At most 60 s. */
TESK_API int32_t FetchDesigns(TeskObj* obj, uint8_t refresh);
/* Copies the last listing (FetchDesigns' count of records) into dst; 0 (nothing written) for a null dst or an empty or missing listing. */
TESK_API uint8_t GetDesigns(TeskObj* obj, DesignSummary* dst);
/* Fetches one stored design by id and writes it to the log; the well is not changed; 0 when not logged in, not found or on failure. Not finding an id of exactly 83 characters adds a warning that it may be a cut one (see DesignSummary). At most 60 s. */
TESK_API uint8_t GetDesign(TeskObj* obj, const char* designId);
/* Saves the current design as a new item of the design table; flag is unused; 0 when not logged in (with a line saying so) or on failure. Only a selection is stored (versions, well depth, per card fluid, pump, pressures, depths, speed, the measured card and the prediction inputs; no rod string, tubing, survey or damping), floating-point values rounded to single precision (6 decimals). The item's "userId" holds the same random UUID as its designId, not the user's identity. At most 60 s. */
TESK_API uint8_t SaveCurrentDesign(TeskObj* obj, uint8_t flag);
/* Renews the session from the stored refresh token and writes a test item (its "thename" is the token's "username" claim, which Cognito tokens lack, so it reads "UNKNOWN"); reports only through log lines. A new refresh token in the renewal's answer replaces the stored one. The token file is read only when it is a regular file of the user's that others may not write; anything else is refused with a line. When the renewal fails, a session already logged in still writes the item with its earlier credentials. At most 60 s. */
TESK_API void Test(TeskObj* obj);

#ifdef __cplusplus
}
#endif

#endif /* TESK_TESK_H */
