// Small inputs that ask for huge grids, tables, series or files: each one runs within the
// budgets or is refused up front with a line; none may take the process's memory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "child_process.h"
#include "log_capture.h"
#include "temp_path.h"
#include "tesk/tesk.h"

namespace {

using Json = nlohmann::json;

constexpr rlim_t kChildAddressSpace = 512u << 20;

Json SampleDesign() {
    std::ifstream file(TESK_DATA_DIR "/sample_well.json");
    return Json::parse(file);
}

// A predicted string of `count` tapers over 5,000 ft, one of them only `shortLength` ft long:
// the short one sets the time step of the whole grid.
Json WithShortTaper(Json design, int count, double shortLength) {
    const double rest = (5000.0 - shortLength) / (count - 1);
    Json tapers = Json::array();
    for (int i = 0; i < count; ++i) {
        const double diameter = i < count / 3 ? 0.875 : i < 2 * count / 3 ? 0.75 : 0.625;
        tapers.push_back({{"id", "t" + std::to_string(i)}, {"L", i == count / 2 ? shortLength : rest},
                          {"D", diameter}, {"W", 0.0}, {"T", 0.0}, {"E", 30500000.0}, {"R", 492.0}});
    }
    design["pred"]["taper"] = tapers;
    return design;
}

// The sample design with one value replaced, given as a JSON pointer such as "/diag/spm" (an
// integer stays an integer: the format tells the two apart).
std::function<Json()> SampleWith(const char* pointer, const Json& value) {
    return [=] {
        Json design = SampleDesign();
        design[Json::json_pointer(pointer)] = value;
        return design;
    };
}

Json WithPositionSeries(Json design, int terms) {
    design["pred"]["fourier"]["p"] = terms;
    design["pred"]["usePumpingUnitForPosition"] = false;
    return design;
}

// A dyno text of `points` points of a smooth card at 8 strokes per minute.
std::string DynoText(int points) {
    std::string text = std::to_string(points) + "\n";
    const double twoPi = 8 * std::atan(1.0);
    for (int i = 0; i < points; ++i) {
        const double t = twoPi * i / points;
        text += std::to_string(50 * (1 - std::cos(t))) + "," + std::to_string(8000 + 3000 * std::sin(t)) + "\n";
    }
    return text + "Card\n8.0\n-\n-\n-\n-\n-\n-\n-\nGenerated\n";
}

enum Card { kNone = 0, kMeasured = 1, kUpscaled = 2, kPredicted = 3 };

bool HasPumpCard(TeskObj* obj, Card card) {
    const int32_t count = card == kPredicted  ? GetPredDynoPointCount(obj)
                          : card == kUpscaled ? GetUpscaledDynoPointCount(obj)
                                              : GetMeasuredDynoPointCount(obj);
    if (count <= 0) return false;
    std::vector<double> positions(static_cast<size_t>(count)), loads(static_cast<size_t>(count));
    const uint8_t copied = card == kPredicted  ? GetPredPump(obj, positions.data(), loads.data())
                           : card == kUpscaled ? GetUpscaledPump(obj, positions.data(), loads.data())
                                               : GetMeasuredPump(obj, positions.data(), loads.data());
    if (copied != 1) return false;
    for (double load : loads) {
        if (load != 0 && std::isfinite(load)) return true;
    }
    return false;
}

struct HostileCase {
    const char* name;
    std::function<Json()> design;
    int dynoPoints;         // 0: the design's own card
    Card solved;            // a card that must come out with a pump card
    Card refused;           // a card that must be refused and hold no pump card
    const char* line;       // the line that says what was too large
    std::function<void(TeskObj*)> settings = nullptr;  // inputs the design format does not hold
};

void FineSections(TeskObj* obj) {
    WaveSettings_t settings = GetWaveSettings(obj);
    settings.predNodesPerSection = 1000;
    SetWaveSettings(obj, settings);
}

const std::vector<HostileCase>& HostileCases() {
    static const std::vector<HostileCase> cases = {
        {"short taper among 30: solved without intermediate tables",
         [] { return WithShortTaper(SampleDesign(), 30, 6.0); }, 0, kPredicted, kNone,
         "none are kept for this solve"},
        {"short taper among 1,000: refused before any table is made",
         [] { return WithShortTaper(SampleDesign(), 1000, 6.0); }, 0, kMeasured, kPredicted,
         "PRED grid of 10000 nodes"},
        {"a million upscaled points: the upscaled card is refused",
         SampleWith("/pred/upsc", 1000000), 0, kPredicted, kUpscaled, "UPSC grid of"},
        {"1,000-term position series on the sample grid: solved",
         [] { return WithPositionSeries(SampleDesign(), 1000); }, 0, kPredicted, kNone, nullptr},
        {"2,000-term position series on a fine grid: refused",
         [] { return WithPositionSeries(WithShortTaper(SampleDesign(), 30, 6.0), 2000); }, 0, kMeasured, kPredicted,
         "Fourier series of 2000 coefficients"},
        {"a huge measured speed: both diagnosed grids refused with their grid",
         SampleWith("/diag/spm", 1e7), 0, kPredicted, kMeasured, "Error: the MEAS grid of 37911649 nodes x 771 points x 1 cycles"},
        {"a crawling predicted speed: refused for its points a cycle",
         SampleWith("/pred/spm", 1e-3), 0, kMeasured, kPredicted, "points a cycle, above the limit of 1000000"},
        {"1,000 nodes a section on a 10 ft taper: refused with its grid",
         SampleWith("/pred/taper/0/L", 10.0), 0, kMeasured, kPredicted, "Error: the PRED grid of 3000 nodes x 12710474 points x 5 cycles", FineSections},
        {"100,000-point dyno card on the sample well: solved without intermediate tables",
         [] { return SampleDesign(); }, 100000, kMeasured, kNone, "none are kept for this solve"},
    };
    return cases;
}

// 0 when the case came out as expected; otherwise the number of the first broken expectation.
int RunHostileCase(const HostileCase& c, const std::string& dynoPath) {
    LogCapture log;
    TeskObj* obj = CreateTeskObj();
    std::string text = c.design().dump();
    if (ParseDesignFileContents(obj, &text[0], 'J') != 1) return 2;
    if (c.settings) c.settings(obj);
    if (c.dynoPoints > 0 && LoadDynFromFile(obj, dynoPath.c_str()) != 1) return 3;
    if (RunDesign(obj) != 1) return 4;
    int result = 0;
    if (c.solved != kNone && !HasPumpCard(obj, c.solved)) result = 5;
    if (c.refused != kNone && (HasPumpCard(obj, c.refused) || !log.Contains("Cannot run"))) result = 6;
    if (c.line != nullptr && !log.Contains(c.line)) result = 7;
    if (c.refused != kNone && !log.Contains("above the limit")) result = 8;
    // The limit's own line says why; no line may blame missing fields or an invalid count for it.
    if (c.refused != kNone && (log.Contains("without valid PointCount") || log.Contains("Invalid Node Count"))) {
        result = 9;
    }
    if (result != 0) {
        for (const std::string& line : log.lines) std::fprintf(stderr, "%s\n", line.c_str());
    }
    DeleteTeskObj(obj);
    return result;
}

TEST(HostileInput, EachCaseRunsWithinTheBudgetsOrIsRefused) {
    const std::string dynoPath = TestTempPath("dyn");
    {
        std::ofstream dyno(dynoPath);
        dyno << DynoText(100000);
    }
    for (const HostileCase& c : HostileCases()) {
        // The limit stands for the host's memory; sanitized builds reserve too much address space for it.
        const int status = kAddressSpaceLimitUsable
                               ? RunInChild([&] { return RunHostileCase(c, dynoPath); }, RLIMIT_AS, kChildAddressSpace)
                               : RunInChild([&] { return RunHostileCase(c, dynoPath); });
        EXPECT_EQ(status, 0) << c.name;
    }
    std::remove(dynoPath.c_str());
}

TEST(HostileInput, TablesTooLargeForOneSolveComeBackForASmallerGrid) {
    LogCapture log;
    TeskObj* obj = CreateTeskObj();
    std::string fine = WithShortTaper(SampleDesign(), 30, 6.0).dump();
    ASSERT_EQ(ParseDesignFileContents(obj, &fine[0], 'J'), 1);
    ASSERT_EQ(RunDesign(obj), 1);
    std::vector<double> positions(static_cast<size_t>(GetPredDynoPointCount(obj)));
    std::vector<double> loads(positions.size());
    EXPECT_EQ(GetIntermediateCard(obj, 0, 3, positions.data(), loads.data()), 0);
    EXPECT_EQ(log.Count("none are kept for this solve"), 1u);

    std::string coarse = SampleDesign().dump();
    ASSERT_EQ(ParseDesignFileContents(obj, &coarse[0], 'J'), 1);
    ASSERT_EQ(RunDesign(obj), 1);
    positions.resize(static_cast<size_t>(GetPredDynoPointCount(obj)));
    loads.resize(positions.size());
    EXPECT_EQ(GetIntermediateCard(obj, 0, 3, positions.data(), loads.data()), 1);
    DeleteTeskObj(obj);
}

struct OversizedFile {
    const char* name;
    std::function<uint8_t(TeskObj*, const char*)> read;
    const char* line;
};

TEST(HostileInput, FilesAbove256MiBAreRefusedBeforeReading) {
    const std::vector<OversizedFile> files = {
        {"design", [](TeskObj* obj, const char* path) { return ParseDesignFile(obj, path); }, "the design file is"},
        {"dyno", [](TeskObj* obj, const char* path) { return LoadDynFromFile(obj, path); }, "the dyno file is"},
    };
    const std::string path = TestTempPath("big.json");
    for (const OversizedFile& f : files) {
        // A sparse file: its size is what counts, and it takes no disk.
        std::ofstream(path).close();
        ASSERT_EQ(truncate(path.c_str(), (256LL << 20) + 1), 0);
        const int status = RunInChild(
            [&] {
                LogCapture log;
                TeskObj* obj = CreateTeskObj();
                const bool refused = f.read(obj, path.c_str()) == 0 && log.Contains(f.line) &&
                                     log.Contains("above the limit");
                DeleteTeskObj(obj);
                return refused ? 0 : 1;
            },
            kAddressSpaceLimitUsable ? RLIMIT_AS : -1, kChildAddressSpace);
        EXPECT_EQ(status, 0) << f.name;
    }
    std::remove(path.c_str());
}

}  // namespace
