// Plays a host: decodes the input as a sequence of exported calls on one well object, with
// counts, numbers and records drawn from the bytes, and output buffers sized from the count
// getters exactly as a correct host sizes them. Any crash, leak or out-of-bounds write is a
// library fault. Costs a correct host may legitimately ask for (very fine grids, long cards)
// are capped here, so that each input runs in milliseconds.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "fuzz_quiet.h"
#include "model/run_design.h"
#include "model/tesk_obj.h"

namespace {

constexpr int32_t kMaxPoints = 5000;
constexpr int32_t kMaxRecords = 24;
constexpr int32_t kMaxFourierPairs = 64;
// Node-steps (grid points times card points times cycles) one RunDesign may cost.
constexpr double kMaxRunCost = 3e6;

// Copies up to `size` bytes of the input into `out`; whatever the input lacks stays as it was.
void TakeBytes(FuzzedDataProvider& in, void* out, size_t size) {
    const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(size);
    if (!bytes.empty()) std::memcpy(out, bytes.data(), bytes.size());
}

double NextDouble(FuzzedDataProvider& in) {
    static const double kSpecial[] = {0.0,
                                      -0.0,
                                      1.0,
                                      -1.0,
                                      std::numeric_limits<double>::quiet_NaN(),
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(),
                                      std::numeric_limits<double>::denorm_min(),
                                      -std::numeric_limits<double>::denorm_min(),
                                      std::numeric_limits<double>::max(),
                                      std::numeric_limits<double>::lowest(),
                                      std::numeric_limits<double>::min(),
                                      1e-300,
                                      1e300};
    const uint8_t kind = in.ConsumeIntegral<uint8_t>();
    if (kind < 40) return kSpecial[kind % (sizeof kSpecial / sizeof kSpecial[0])];
    if (kind < 70) {
        double raw = 0;
        TakeBytes(in, &raw, sizeof raw);
        return raw;
    }
    if (kind < 110) return in.ConsumeFloatingPointInRange<double>(-100.0, 100.0);
    if (kind < 200) return in.ConsumeFloatingPointInRange<double>(0.0, 20000.0);
    return in.ConsumeFloatingPointInRange<double>(0.0, 3.5e7);
}

int32_t NextInt(FuzzedDataProvider& in, int32_t smallMax) {
    static const int32_t kSpecial[] = {0, -1, 1, std::numeric_limits<int32_t>::min(),
                                       std::numeric_limits<int32_t>::max(), 1000001, 100001, 1001, 72};
    const uint8_t kind = in.ConsumeIntegral<uint8_t>();
    if (kind < 40) return kSpecial[kind % (sizeof kSpecial / sizeof kSpecial[0])];
    return in.ConsumeIntegralInRange<int32_t>(-2, smallMax);
}

// A count the host backs with exactly that many elements: 0 to max, or a negative one.
int32_t NextBackedCount(FuzzedDataProvider& in, int32_t max) {
    const int32_t count = in.ConsumeIntegralInRange<int32_t>(-3, max);
    return count < 0 ? (in.ConsumeBool() ? -1 : std::numeric_limits<int32_t>::min()) : count;
}

template <typename Record>
void FillRaw(FuzzedDataProvider& in, Record* record) {
    std::memset(record, 0, sizeof(Record));
    TakeBytes(in, record, sizeof(Record));
}

// Records either straight from the bytes or field by field from the number generator, which
// reaches deeper into the solvers.
template <typename Record>
Record NextDoubleRecord(FuzzedDataProvider& in, size_t firstDouble) {
    Record record;
    FillRaw(in, &record);
    if (in.ConsumeBool()) {
        for (size_t at = firstDouble; at + sizeof(double) <= sizeof(Record); at += sizeof(double)) {
            const double value = NextDouble(in);
            std::memcpy(reinterpret_cast<char*>(&record) + at, &value, sizeof value);
        }
    }
    return record;
}

TaperBase_t NextTaper(FuzzedDataProvider& in) {
    TaperBase_t taper = NextDoubleRecord<TaperBase_t>(in, offsetof(TaperBase_t, L));
    if (in.ConsumeBool()) {
        const std::string id = in.ConsumeRandomLengthString(40);
        taper = BuildTaperBase_t(id.c_str(), taper.L, taper.D, taper.W, taper.T, taper.E, taper.R);
    }
    return taper;
}

PuInfo_t NextPuInfo(FuzzedDataProvider& in) {
    PuInfo_t info = NextDoubleRecord<PuInfo_t>(in, offsetof(PuInfo_t, A));
    if (in.ConsumeBool()) {
        static const char kTypes[] = {'A', 'C', 'M', 'R', 'X', 'H', 'Z'};
        info.unitType = kTypes[in.ConsumeIntegralInRange<size_t>(0, sizeof kTypes - 1)];
        info.rotation = in.ConsumeBool() ? 1 : -1;
    }
    return info;
}

WaveParams_t NextWaveParams(FuzzedDataProvider& in) {
    WaveParams_t params = NextDoubleRecord<WaveParams_t>(in, 0);
    if (in.ConsumeBool()) params.usePumpingUnitForPosition = in.ConsumeIntegral<uint8_t>();
    return params;
}

double* DataOrNull(std::vector<double>& values) { return values.empty() ? nullptr : values.data(); }

void SetTapers(FuzzedDataProvider& in, TeskObj* obj) {
    const int32_t count = NextBackedCount(in, kMaxRecords);
    std::vector<TaperBase_t> tapers;
    for (int32_t i = 0; i < count; ++i) tapers.push_back(NextTaper(in));
    const double sg = NextDouble(in);
    const TaperBase_t* given = in.ConsumeBool() ? tapers.data() : nullptr;
    if (in.ConsumeBool()) {
        SetDiagTapers(obj, given, count, sg);
    } else {
        SetPredTapers(obj, given, count, sg);
    }
}

void SetTubings(FuzzedDataProvider& in, TeskObj* obj) {
    const int32_t count = NextBackedCount(in, kMaxRecords);
    std::vector<TubingBase_t> tubings;
    for (int32_t i = 0; i < count; ++i) tubings.push_back(NextDoubleRecord<TubingBase_t>(in, 0));
    const TubingBase_t* given = in.ConsumeBool() ? tubings.data() : nullptr;
    if (in.ConsumeBool()) {
        SetDiagTubings(obj, given, count);
    } else {
        SetPredTubings(obj, given, count);
    }
}

void ReadRodsAndTubing(TeskObj* obj) {
    std::vector<TaperBase_t> tapers(static_cast<size_t>(GetDiagTaperCount(obj)));
    GetDiagTapers(obj, tapers.data());
    tapers.assign(static_cast<size_t>(GetPredTaperCount(obj)), TaperBase_t{});
    GetPredTapers(obj, tapers.data());
    std::vector<TubingBase_t> tubings(static_cast<size_t>(GetDiagTubingCount(obj)));
    GetDiagTubings(obj, tubings.data());
    tubings.assign(static_cast<size_t>(GetPredTubingCount(obj)), TubingBase_t{});
    GetPredTubings(obj, tubings.data());
}

// A card whose count is out of range is refused before its arrays are read, so small arrays do.
void LoadCard(FuzzedDataProvider& in, TeskObj* obj) {
    const double spm = NextDouble(in);
    int32_t count = NextBackedCount(in, kMaxPoints);
    const uint8_t outOfRange = in.ConsumeIntegral<uint8_t>();
    std::vector<double> positions(static_cast<size_t>(count > 0 ? count : 1));
    std::vector<double> loads(positions.size());
    if (outOfRange < 8) count = outOfRange % 2 == 0 ? 1000001 : std::numeric_limits<int32_t>::max();
    const bool smooth = in.ConsumeBool();
    for (size_t i = 0; i < positions.size(); ++i) {
        if (smooth) {
            const double angle = 6.283185307179586 * static_cast<double>(i) / static_cast<double>(positions.size());
            positions[i] = 50 * (1 - std::cos(angle));
            loads[i] = 10000 + 3000 * std::sin(angle);
        } else {
            positions[i] = NextDouble(in);
            loads[i] = NextDouble(in);
        }
    }
    LoadDyn(obj, spm, in.ConsumeBool() ? positions.data() : nullptr, loads.data(), count);
}

void SetSurvey(FuzzedDataProvider& in, TeskObj* obj) {
    const int32_t count = NextBackedCount(in, kMaxPoints / 10);
    const size_t size = static_cast<size_t>(count > 0 ? count : 0);
    if (in.ConsumeBool()) {
        std::vector<MiaPoint_t> rows(size);
        for (MiaPoint_t& row : rows) row = NextDoubleRecord<MiaPoint_t>(in, 0);
        SetDeviationSurveyWithMIA(obj, count, in.ConsumeBool() ? rows.data() : nullptr);
        return;
    }
    std::vector<double> md(size), inclination(size), azimuth(size);
    for (size_t i = 0; i < size; ++i) {
        md[i] = NextDouble(in);
        inclination[i] = NextDouble(in);
        azimuth[i] = NextDouble(in);
    }
    SetDeviationSurvey(obj, count, DataOrNull(md), DataOrNull(inclination), DataOrNull(azimuth));
}

void ReadSurvey(TeskObj* obj) {
    std::vector<DeviationPoint_t> stations(static_cast<size_t>(GetDeviationSurveyCount(obj)));
    GetDeviationSurvey(obj, stations.empty() ? nullptr : stations.data());
}

void ReadPermissibleLoads(FuzzedDataProvider& in, TeskObj* obj) {
    const int32_t count = NextBackedCount(in, kMaxPoints);
    const size_t size = static_cast<size_t>(count > 0 ? count : 0);
    std::vector<double> positions(size), loads(size);
    const double minLoad = NextDouble(in);
    const double maxLoad = NextDouble(in);
    GetPermissibleLoads(obj, DataOrNull(positions), DataOrNull(loads), count, minLoad, maxLoad);
}

void ReadCards(TeskObj* obj) {
    using PairGetter = uint8_t (*)(TeskObj*, double*, double*);
    using ColorGetter = uint8_t (*)(TeskObj*, int32_t*);
    using LoadingGetter = uint8_t (*)(TeskObj*, double*, double*, double*, double*, double*);
    struct Card {
        int32_t (*pointCount)(TeskObj*);
        PairGetter dyno;
        PairGetter pump;
        ColorGetter colors;
        int32_t (*loadingCount)(TeskObj*);
        LoadingGetter loading;
    };
    static const Card kCards[] = {
        {GetMeasuredDynoPointCount, GetMeasuredDyno, GetMeasuredPump, GetMeasuredPumpColors,
         GetMeasuredRodLoadingCount, GetMeasuredRodLoading},
        {GetUpscaledDynoPointCount, GetUpscaledDyno, GetUpscaledPump, GetUpscaledPumpColors,
         GetUpscaledRodLoadingCount, GetUpscaledRodLoading},
        {GetPredDynoPointCount, GetPredDyno, GetPredPump, GetPredPumpColors, GetPredRodLoadingCount,
         GetPredRodLoading},
    };
    for (const Card& card : kCards) {
        const size_t points = static_cast<size_t>(card.pointCount(obj));
        std::vector<double> a(points), b(points);
        std::vector<int32_t> colors(points);
        card.dyno(obj, a.data(), b.data());
        card.pump(obj, a.data(), b.data());
        card.colors(obj, colors.data());
        const size_t rows = static_cast<size_t>(card.loadingCount(obj));
        std::vector<double> depth(rows), max(rows), min(rows), hundred(rows), zero(rows);
        card.loading(obj, depth.data(), max.data(), min.data(), hundred.data(), zero.data());
    }
    GetWaveParamsReadOnly(obj);
    GetWaveResults(obj);
    CalculateFo(obj);
    GetWaveParams(obj);
    GetWaveSettings(obj);
    GetPuInfo(obj);
}

// The buffer a correct host sizes for an intermediate row (the card's points) or time slice
// (its grid points); nothing for a card number the library does not know.
int32_t IntermediateSize(TeskObj* obj, int32_t card, bool row) {
    using Count = int32_t (*)(TeskObj*);
    static const Count kPoints[] = {GetMeasuredDynoPointCount, GetUpscaledDynoPointCount, GetPredDynoPointCount};
    static const Count kGridPoints[] = {GetMeasuredRodLoadingCount, GetUpscaledRodLoadingCount,
                                        GetPredRodLoadingCount};
    if (card < 1 || card > 3) return 0;
    return (row ? kPoints : kGridPoints)[card - 1](obj);
}

void ReadIntermediate(FuzzedDataProvider& in, TeskObj* obj) {
    const int32_t card = in.ConsumeIntegralInRange<int32_t>(-1, 4);
    const int32_t index = NextInt(in, 200);
    const bool row = in.ConsumeBool();
    const int32_t size = IntermediateSize(obj, card, row);
    std::vector<double> positions(static_cast<size_t>(size > 0 ? size : 0)), loads(positions.size());
    if (row) {
        GetIntermediateCard(obj, index, card, DataOrNull(positions), DataOrNull(loads));
    } else {
        GetIntermediateTimeSlice(obj, index, card, DataOrNull(positions), DataOrNull(loads));
    }
}

// A well as a host really describes one: an API rod string, tubing down to the pump, pump and
// anchor depths within it and either predictive solver. Random records seldom get that far, and
// without it the tubing, the pump boundary and the legacy solver stay out of reach.
void SetPlausibleWell(FuzzedDataProvider& in, TeskObj* obj) {
    const double length = in.ConsumeFloatingPointInRange<double>(500.0, 12000.0);
    const int32_t number = in.ConsumeIntegralInRange<int32_t>(54, 108);
    const double pumpDiameter = 0.25 * in.ConsumeIntegralInRange<int>(4, 12);
    SetDiagApiTaperByNumber(obj, number, pumpDiameter, length);
    SetPredApiTaperByNumber(obj, number, pumpDiameter, length);
    const TubingBase_t tubing{length * in.ConsumeFloatingPointInRange<double>(0.9, 1.1), 1.995, 2.375, 0, 4.7, 0,
                              in.ConsumeFloatingPointInRange<double>(0.0, 1e-6), 0};
    SetDiagTubings(obj, &tubing, 1);
    SetPredTubings(obj, &tubing, 1);
    WaveParams_t params = GetWaveParams(obj);
    params.diagSpm = params.predSpm = in.ConsumeFloatingPointInRange<double>(1.0, 20.0);
    params.diagPumpDepth = params.predPumpDepth = length * in.ConsumeFloatingPointInRange<double>(0.5, 1.1);
    params.diagAnchorDepth = params.predAnchorDepth =
        in.ConsumeBool() ? -1.0 : length * in.ConsumeFloatingPointInRange<double>(0.0, 1.1);
    params.fillage = in.ConsumeFloatingPointInRange<double>(-0.1, 1.1);
    params.predFluidLevel = length * in.ConsumeFloatingPointInRange<double>(0.0, 1.0);
    params.usePumpingUnitForPosition = in.ConsumeBool() ? 1 : 0;
    SetWaveParams(obj, params);
    WaveSettings_t settings = GetWaveSettings(obj);
    settings.useLegacyPred = in.ConsumeBool() ? 1 : 0;
    settings.predNodesPerSection = in.ConsumeIntegralInRange<int32_t>(1, 12);
    SetWaveSettings(obj, settings);
}

// The diagnostic march covers every grid point over 2 * nodes + points time points; the
// predictive one every grid point over each point of each cycle.
double CardCost(WaveModel* card, uint8_t dirty, int32_t cycles) {
    if (dirty != 1) return 0;
    PrepareCard(card);
    const double gridPoints = static_cast<double>(card->FeaNodeCount) + 1;
    const double timePoints = card->isDiag == 1 ? 2 * gridPoints + card->PointCount
                                                : static_cast<double>(card->PointCount) * cycles;
    return gridPoints * timePoints;
}

// Builds the grids the run would build first (the same step RunDesign takes), and runs only
// when the solvers' work on them stays small.
void Run(TeskObj* obj) {
    const double cost = CardCost(&obj->meas, obj->measDirty, 1) + CardCost(&obj->upsc, obj->upscDirty, 1) +
                        CardCost(&obj->pred, obj->predDirty, obj->predCycles);
    if (cost <= kMaxRunCost) RunDesign(obj);
}

void TextCall(FuzzedDataProvider& in, TeskObj* obj) {
    std::string text = in.ConsumeRandomLengthString(4096);
    if (in.ConsumeBool()) {
        LoadDynFromFileContents(obj, &text[0]);
        return;
    }
    static const char kTypes[] = {'J', 'j', 'Q', 'R', 'S', 'x', '\0'};
    ParseDesignFileContents(obj, &text[0], kTypes[in.ConsumeIntegralInRange<size_t>(0, sizeof kTypes - 1)]);
}

void ObjectCall(FuzzedDataProvider& in, TeskObj* obj) {
    switch (in.ConsumeIntegralInRange<int>(0, 6)) {
        case 0: {
            const std::string platform = in.ConsumeRandomLengthString(40);
            SetClientVersion(obj, in.ConsumeBool() ? platform.c_str() : nullptr, NextInt(in, 10), NextInt(in, 10),
                             NextInt(in, 10), NextInt(in, 10));
            break;
        }
        case 1: {
            const std::string name = in.ConsumeRandomLengthString(100);
            SetWellName(obj, in.ConsumeBool() ? name.c_str() : nullptr);
            const char* stored = GetWellName(obj);
            if (stored != nullptr) (void)std::strlen(stored);
            break;
        }
        case 2: {
            int32_t version[4];
            GetTeskVersion(obj, version);
            break;
        }
        case 3:
            PrintTeskObj(obj);
            break;
        case 4:
            runtesk();
            break;
        case 5: {
            const std::string name = in.ConsumeRandomLengthString(20);
            SetPuByName(obj, name.c_str());
            break;
        }
        default:
            CalculateKrToDepth(obj, NextDouble(in));
            break;
    }
}

void Call(FuzzedDataProvider& in, TeskObj* obj) {
    switch (in.ConsumeIntegralInRange<int>(0, 18)) {
        case 0:
            ObjectCall(in, obj);
            break;
        case 1:
            SetTapers(in, obj);
            break;
        case 2:
            SetTubings(in, obj);
            break;
        case 3:
            ReadRodsAndTubing(obj);
            break;
        case 4: {
            const int32_t number = in.ConsumeBool() ? NextInt(in, 110) : in.ConsumeIntegralInRange<int32_t>(44, 109);
            const double pump = in.ConsumeBool() ? NextDouble(in) : 0.25 * in.ConsumeIntegralInRange<int>(4, 20);
            const double length = NextDouble(in);
            if (in.ConsumeBool()) {
                SetDiagApiTaperByNumber(obj, number, pump, length);
            } else {
                SetPredApiTaperByNumber(obj, number, pump, length);
            }
            break;
        }
        case 5:
            LoadCard(in, obj);
            break;
        case 6: {
            int32_t pairs = NextInt(in, kMaxFourierPairs);
            if (pairs > kMaxFourierPairs && pairs <= 100000) pairs = kMaxFourierPairs;
            if (in.ConsumeBool()) {
                SetFourierCoeffCountPos(obj, pairs);
            } else {
                SetFourierCoeffCountLoad(obj, pairs);
            }
            break;
        }
        case 7: {
            int32_t count = NextInt(in, kMaxPoints);
            if (count > kMaxPoints && count <= 1000000) count = kMaxPoints;
            SetUpscaledDynoPointCount(obj, count);
            break;
        }
        case 8:
            SetWaveParams(obj, NextWaveParams(in));
            break;
        case 9: {
            WaveSettings_t settings;
            FillRaw(in, &settings);
            if (in.ConsumeBool()) settings.predNodesPerSection = NextInt(in, 1000);
            SetWaveSettings(obj, settings);
            break;
        }
        case 10: {
            const PuInfo_t info = NextPuInfo(in);
            if (in.ConsumeBool()) {
                SetPuInfo(obj, info);
            } else {
                SetPuApi(obj, info);
            }
            break;
        }
        case 11:
            ReadPermissibleLoads(in, obj);
            break;
        case 12:
            SetSurvey(in, obj);
            break;
        case 13:
            ReadSurvey(obj);
            break;
        case 14:
            TextCall(in, obj);
            break;
        case 15:
            ReadIntermediate(in, obj);
            break;
        case 16:
            ReadCards(obj);
            break;
        case 17:
            SetPlausibleWell(in, obj);
            break;
        default:
            Run(obj);
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SilenceLog();
    FuzzedDataProvider in(data, size);
    TeskObj* obj = CreateTeskObj();
    if (obj == nullptr) return 0;
    for (int calls = 0; calls < 64 && in.remaining_bytes() > 0; ++calls) Call(in, obj);
    Run(obj);
    ReadCards(obj);
    DeleteTeskObj(obj);
    return 0;
}
