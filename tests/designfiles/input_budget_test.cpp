// Hostile design files inside every size limit: each export on them takes memory and time that
// follow the input (16 times its size and 64 MiB, 10 s), measured in a child process.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "child_process.h"
#include "input_budget.h"
#include "log_capture.h"
#include "temp_folder.h"
#include "tesk/tesk.h"

namespace {

// Sanitized builds keep freed memory aside and shadow every byte, and run several times
// slower: there the cases must still come out right, in a looser time.
constexpr bool kMemoryMeasurable = kAddressSpaceLimitUsable;
constexpr double kSanitizedTimeFactor = 6.0;

struct BudgetCase {
    const char* id;
    const char* name;
    const char* file;                                       // the input's name in the case's folder
    int calls;                                              // exports called on it, each with its own time
    std::function<void(std::ofstream&)> write;              // writes the input
    std::function<bool(TeskObj*, const std::string&)> run;  // the exports on it; true for the expected outcome
};

const char kDesignHead[] = R"({"lib":[1,0,1,8],"wellname":"Budget",)";

std::string SmallCard() {
    std::string rows;
    for (int i = 0; i < 60; ++i) {
        rows += (i > 0 ? "," : "") + std::string("[") + std::to_string(50 * (1 - std::cos(i * M_PI / 30))) + "," +
                std::to_string(8000 + 3000 * std::sin(i * M_PI / 30)) + "]";
    }
    return rows;
}

void WriteLargeCard(std::ofstream& out, int points) {
    for (int i = 0; i < points; ++i) {
        char row[64];
        const double t = 2 * M_PI * i / points;
        std::snprintf(row, sizeof row, "%s[%.4f,%.2f]", i > 0 ? "," : "", 50 * (1 - std::cos(t)), 8000 + 3000 * std::sin(t));
        out << row;
    }
}

// A design whose measured card, upscaled point count and Fourier counts each ask for the most
// one step may do; read twice into one object, so the second read also replaces a fitted card.
bool ReadTwiceWithAFullUpscaledCard(TeskObj* obj, const std::string& path) {
    LogCapture log;
    for (int read = 0; read < 2; ++read) {
        if (ParseDesignFile(obj, path.c_str()) != 1) return false;
    }
    std::vector<double> positions(static_cast<size_t>(GetUpscaledDynoPointCount(obj))), loads(positions.size());
    if (positions.empty() || GetUpscaledDyno(obj, positions.data(), loads.data()) != 1) return false;
    return !log.Contains("above the limit") && loads[positions.size() / 4] > 8000;
}

uint8_t ReadDesign(TeskObj* obj, const std::string& path) { return ParseDesignFile(obj, path.c_str()); }

// A survey longer than any well's is refused, the rest of the design read.
bool ReadWithoutItsSurvey(TeskObj* obj, const std::string& path) {
    LogCapture log;
    return ReadDesign(obj, path) == 1 && GetDeviationSurveyCount(obj) == 0 &&
           log.Contains("survey has more than 100000 stations");
}

const std::vector<BudgetCase>& BudgetCases() {
    static const std::vector<BudgetCase> cases = {
        {"QrodColons", "QROD file of 10 MB of \":\\n\"", "colons.qrod", 1, [](std::ofstream& out) { AppendRepeated(out, ":\n", 10 << 20); },
         [](TeskObj* obj, const std::string& path) { return ReadDesign(obj, path) == 1; }},
        {"SrodLongLists", "SROD file of 10 MB of long colon lists (3.5 million survey stations)", "lists.inx", 1,
         [](std::ofstream& out) {
             const int64_t stations = 3500000;
             out << "<SrodDesign><Case><WellName>Lists</WellName><DeviationDataCount>" << stations
                 << "</DeviationDataCount>";
             for (const char* list : {"MeasuredDepthArray", "InclinationFromVerticalArray", "AzimuthFromNorthArray"}) {
                 out << "<" << list << ">";
                 AppendRepeated(out, ":", stations);
                 out << "</" << list << ">";
             }
             out << "</Case></SrodDesign>";
         },
         ReadWithoutItsSurvey},
        {"JsonSurveyRows", "own JSON of 16 MB of survey rows", "survey.json", 1,
         [](std::ofstream& out) {
             out << kDesignHead << R"("mia":[)";
             AppendRepeated(out, "[0,0,0],", 16 << 20);
             out << R"([0,0,0]],"diag":{"sg_fluid":1.0},"pred":{"sg_fluid":1.0}})";
         },
         ReadWithoutItsSurvey},
        {"JsonMillionUpscaled", "own JSON of 1.5 KB: a million upscaled points, 100/100 Fourier pairs, read twice", "upscaled.json", 2,
         [](std::ofstream& out) {
             out << kDesignHead << R"("mia":[],"well_depth":5000.0,"diag":{"sg_fluid":1.0,"spm":8.0,"dyn":[)"
                 << SmallCard() << R"(]},"pred":{"sg_fluid":1.0,"upsc":1000000,"fourier":{"p":100,"l":100}}})";
         },
         ReadTwiceWithAFullUpscaledCard},
        {"JsonMillionPoints", "own JSON of 20 MB: a million points, 500,000 upscaled points, 200/200 pairs, read twice", "large.json", 2,
         [](std::ofstream& out) {
             out << kDesignHead << R"("mia":[],"diag":{"sg_fluid":1.0,"spm":8.0,"dyn":[)";
             WriteLargeCard(out, 1000000);
             out << R"(]},"pred":{"sg_fluid":1.0,"upsc":500000,"fourier":{"p":200,"l":200}}})";
         },
         ReadTwiceWithAFullUpscaledCard},
        {"RodstarDeepTemplate", "Rodstar template of 140 KB with 20,000 nested elements", "deep.rsx", 2,
         [](std::ofstream& out) {
             out << R"(<r:rodstar-data><r:input><r:well-name>x</r:well-name></r:input>)";
             AppendRepeated(out, "<a>", 3 * 20000);
             AppendRepeated(out, "</a>", 4 * 20000);
             out << "</r:rodstar-data>";
         },
         [](TeskObj* obj, const std::string& path) {
             const std::string written = path + ".out.rsx";
             WriteDesignFileWithTemplate(obj, written.c_str(), path.c_str());
             std::ifstream in(written, std::ios::binary | std::ios::ate);
             const bool small = in.good() && in.tellg() < 150000;
             const bool readBack = ReadDesign(obj, written) == 1;
             std::remove(written.c_str());
             return small && readBack;
         }},
    };
    return cases;
}

void PrintTo(const BudgetCase& c, std::ostream* os) { *os << c.name; }

class InputBudget : public ::testing::TestWithParam<BudgetCase> {};

TEST_P(InputBudget, MemoryAndTimeFollowTheInput) {
    const BudgetCase& c = GetParam();
    TempFolder folder;
    const std::string path = folder.Path(c.file);
    {
        std::ofstream out(path, std::ios::binary);
        c.write(out);
    }
    const int64_t inputBytes = static_cast<int64_t>(std::ifstream(path, std::ios::binary | std::ios::ate).tellg());
    const BudgetUse use = MeasureInChild([&] {
        TeskObj* obj = CreateTeskObj();
        const bool expected = c.run(obj, path);
        DeleteTeskObj(obj);
        return expected;
    });
    std::printf("%s: %lld bytes, peak %.1f MiB (budget %.1f MiB), %.2f s (%.2f s of processor)\n", c.name,
                static_cast<long long>(inputBytes), use.peakBytes / 1048576.0, MemoryBudget(inputBytes) / 1048576.0,
                use.seconds, use.processorSeconds);
    EXPECT_TRUE(use.expected) << c.name;
    // Processor time, so that other work on a shared machine does not count against the case.
    const double perCall = kMemoryMeasurable ? kTimeBudgetSeconds : kTimeBudgetSeconds * kSanitizedTimeFactor;
    EXPECT_LT(use.processorSeconds, perCall * c.calls);
    if (kMemoryMeasurable) {
        EXPECT_LE(use.peakBytes, MemoryBudget(inputBytes)) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(HostileDesigns, InputBudget, ::testing::ValuesIn(BudgetCases()),
                         [](const ::testing::TestParamInfo<BudgetCase>& info) { return std::string(info.param.id); });

}  // namespace
