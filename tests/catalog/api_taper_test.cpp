#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "catalog/api_taper_builder.h"
#include "catalog/api_taper_table.h"
#include "catalog/rod_weights.h"
#include "log_capture.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"

namespace {
const int32_t kRodNumbers[] = {55, 65, 66, 75, 76, 77, 85, 86, 87, 88, 96, 97, 98, 99, 107, 108, 109, 1010};
const double kPumpDiameters[] = {1.06, 1.25, 1.5, 1.75, 2.0, 2.25, 2.5, 2.75, 3.25, 3.75, 4.75};

using ObjPtr = std::unique_ptr<TeskObj, decltype(&DeleteTeskObj)>;
ObjPtr NewObj() { return ObjPtr(CreateTeskObj(), &DeleteTeskObj); }

struct Section {
    double diameter, length;
};

std::vector<Section> Build(int32_t apiNumber, double pumpDiameter, double totalLength) {
    const ApiTaperRow* row = FindApiTaperRow(apiNumber, pumpDiameter);
    EXPECT_NE(row, nullptr);
    if (row == nullptr) return {};
    TaperBase_t out[kApiTaperColumns];
    const int32_t n = BuildApiTaper(out, *row, totalLength);
    std::vector<Section> sections;
    for (int32_t i = 0; i < n; ++i) sections.push_back({out[i].D, out[i].L});
    return sections;
}
}  // namespace

TEST(ApiTaperBuild, WorkedExamples) {
    struct Case {
        int32_t apiNumber;
        double pump, total;
        std::vector<Section> expected;
    };
    const Case cases[] = {
        {76, 1.06, 5000, {{0.875, 1425}, {0.75, 3575}}},
        {75, 1.5, 5000, {{0.875, 1650}, {0.75, 1675}, {0.625, 1675}}},
        {107, 1.06, 6000, {{1.25, 1025}, {1.125, 1000}, {1.0, 1025}, {0.875, 2950}}},
        {1010, 2.0, 3000, {{1.25, 3000}}},
        {99, 2.0, 3000, {{1.125, 3000}}},
        {85, 1.06, 60, {{1.0, -15}, {0.875, 25}, {0.75, 25}, {0.625, 25}}},
    };
    for (const Case& c : cases) {
        const std::vector<Section> got = Build(c.apiNumber, c.pump, c.total);
        ASSERT_EQ(got.size(), c.expected.size()) << c.apiNumber;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].diameter, c.expected[i].diameter) << c.apiNumber << " section " << i;
            EXPECT_EQ(got[i].length, c.expected[i].length) << c.apiNumber << " section " << i;
        }
    }
}

TEST(ApiTaperBuild, SectionsAreSteelWithTableWeights) {
    const ApiTaperRow* row = FindApiTaperRow(107, 2.25);
    ASSERT_NE(row, nullptr);
    TaperBase_t out[kApiTaperColumns];
    std::memset(out, 0x5a, sizeof out);
    ASSERT_EQ(BuildApiTaper(out, *row, 8000), 4);
    const double weights[] = {4.172, 3.67, 2.904, 2.224};
    for (int32_t i = 0; i < 4; ++i) {
        for (char ch : out[i].id) EXPECT_EQ(ch, '\0');
        EXPECT_EQ(out[i].W, weights[i]);
        EXPECT_EQ(out[i].T, 0);
        EXPECT_EQ(out[i].E, 30500000);
        EXPECT_EQ(out[i].R, 492);
    }
}

// Over the whole table: every listed pair is found, sizes descend down the string, the
// lower sections are whole multiples of 25 ft, and the sections add up to the total.
TEST(ApiTaperBuild, EveryRowSumsToTheTotalLength) {
    int32_t rows = 0;
    for (int32_t number : kRodNumbers) {
        for (double pump : kPumpDiameters) {
            LogCapture quiet;
            const ApiTaperRow* row = FindApiTaperRow(number, pump);
            if (row == nullptr) continue;
            ++rows;
            int32_t shares = 0;
            for (double f : row->fractions) shares += f > 0 ? 1 : 0;
            for (double total : {1234.0, 5000.0, 7777.7}) {
                TaperBase_t out[kApiTaperColumns];
                const int32_t n = BuildApiTaper(out, *row, total);
                ASSERT_EQ(n, shares);
                double sum = 0;
                for (int32_t i = 0; i < n; ++i) {
                    sum += out[i].L;
                    if (i > 0) {
                        EXPECT_LT(out[i].D, out[i - 1].D);
                        EXPECT_EQ(std::fmod(out[i].L, 25.0), 0.0) << number << " " << pump;
                    }
                }
                EXPECT_NEAR(sum, total, 1e-9) << number << " " << pump;
            }
        }
    }
    EXPECT_EQ(rows, 166);
}

TEST(ApiTaperLookup, UnknownPairsAreLogged) {
    struct Case {
        int32_t number;
        double pump;
        const char* line;
    };
    // The message's own line end reaches the host as a visible escape, so the line stays one line.
    const Case cases[] = {
        {55, 4.75, "No matching taper found for API Taper: 55, Pump Diameter: 4.75\\n"},
        {76, 1.0, "No matching taper found for API Taper: 76, Pump Diameter: 1.00\\n"},
        {76, 1.0625, "No matching taper found for API Taper: 76, Pump Diameter: 1.06\\n"},
        {54, 1.5, "No matching taper found for API Taper: 54, Pump Diameter: 1.50\\n"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(FindApiTaperRow(c.number, c.pump), nullptr);
        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_EQ(log.lines[0], c.line);
    }
}

// Each export sets its cards' tapers and pump and marks them; the diagnostic one gives the
// upscaled card the measured card's fluid, the predictive one keeps every card's own fluid.
struct ApiTaperExportCase {
    const char* name;
    uint8_t (*set)(TeskObj*, int32_t, double, double);
    int32_t (*count)(TeskObj*);
    uint8_t (*get)(TeskObj*, TaperBase_t*);
    int32_t number;
    double pump;
    int32_t sections;
    double topDiameter, topWeight;
    // After the call, for the measured, upscaled and predicted card in turn.
    uint8_t dirty[3];
    double pumpDia[3];
    double sgFluid[3];
};

class ApiTaperSetters : public ::testing::TestWithParam<ApiTaperExportCase> {};

TEST_P(ApiTaperSetters, SetTheirCardsAndKeepTheOthers) {
    const ApiTaperExportCase& c = GetParam();
    ObjPtr obj = NewObj();
    obj->meas.sgFluid = 1.1;
    obj->upsc.sgFluid = 0.6;
    obj->pred.sgFluid = 0.85;
    ASSERT_EQ(c.set(obj.get(), c.number, c.pump, 5000), 1);
    const uint8_t dirty[3] = {obj->measDirty, obj->upscDirty, obj->predDirty};
    const WaveModel* cards[3] = {&obj->meas, &obj->upsc, &obj->pred};
    for (int card = 0; card < 3; ++card) {
        SCOPED_TRACE(cards[card]->name);
        EXPECT_EQ(dirty[card], c.dirty[card]);
        EXPECT_EQ(cards[card]->pumpDia, c.pumpDia[card]);
        EXPECT_EQ(cards[card]->sgFluid, c.sgFluid[card]);
        if (c.dirty[card] == 0) continue;
        EXPECT_EQ(cards[card]->nodesDirty, 1);
        const TaperList* list = cards[card]->tapers;
        ASSERT_NE(list, nullptr);
        EXPECT_EQ(list->totalLength, 5000);
        EXPECT_NEAR(list->items[0].buoyantWpf, c.topWeight * (1 - c.sgFluid[card] / (492 / 62.4)), 1e-12);
    }
    ASSERT_EQ(c.count(obj.get()), c.sections);
    std::vector<TaperBase_t> out(c.sections);
    ASSERT_EQ(c.get(obj.get(), out.data()), 1);
    EXPECT_EQ(out[0].D, c.topDiameter);
    double total = 0;
    for (const TaperBase_t& taper : out) total += taper.L;
    EXPECT_EQ(total, 5000);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ApiTaperSetters,
    ::testing::Values(
        ApiTaperExportCase{"DiagSetsBothCardsWithTheMeasuredFluid", SetDiagApiTaperByNumber, GetDiagTaperCount,
                           GetDiagTapers, 86, 1.75, 3, 1.0, 2.904, {1, 1, 0}, {1.75, 1.75, 1.5}, {1.1, 1.1, 0.85}},
        ApiTaperExportCase{"PredKeepsEveryFluid", SetPredApiTaperByNumber, GetPredTaperCount, GetPredTapers, 76,
                           1.06, 2, 0.875, 2.224, {0, 0, 1}, {1.5, 1.5, 1.06}, {1.1, 0.6, 0.85}}),
    [](const ::testing::TestParamInfo<ApiTaperExportCase>& info) { return std::string(info.param.name); });

TEST(ApiTaperExports, FailuresChangeNothing) {
    ObjPtr obj = NewObj();
    ASSERT_EQ(SetDiagApiTaperByNumber(obj.get(), 77, 2.0, 4000), 1);
    obj->measDirty = obj->upscDirty = 0;
    const TaperList* before = obj->meas.tapers;
    struct Case {
        int32_t number;
        double pump, total;
        const char* line;
    };
    const Case cases[] = {
        {55, 4.75, 4000, "No matching taper found for API Taper: 55"},
        {76, 1.0625, 4000, "No matching taper found for API Taper: 76"},
        {76, 1.5, 0, "Error: SetDiagApiTaperByNumber needs a total length above 0 ft"},
        {76, 1.5, -100, "Error: SetDiagApiTaperByNumber needs a total length above 0 ft"},
        {76, 1.5, std::nan(""), "Error: SetDiagApiTaperByNumber needs a total length above 0 ft"},
        {76, 1.5, HUGE_VAL, "Error: SetDiagApiTaperByNumber needs a total length above 0 ft"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(SetDiagApiTaperByNumber(obj.get(), c.number, c.pump, c.total), 0);
        EXPECT_TRUE(log.Contains(c.line)) << c.line;
        EXPECT_EQ(obj->meas.tapers, before);
        EXPECT_EQ(obj->meas.pumpDia, 2.0);
        EXPECT_EQ(obj->measDirty, 0);
        EXPECT_EQ(obj->upscDirty, 0);
    }
    LogCapture log;
    EXPECT_EQ(SetPredApiTaperByNumber(obj.get(), 1010, 1.0, 3000), 0);
    EXPECT_EQ(obj->pred.tapers, nullptr);
    EXPECT_EQ(obj->predDirty, 0);
    EXPECT_EQ(SetPredApiTaperByNumber(nullptr, 1010, 2.0, 3000), 0);
    EXPECT_TRUE(log.Contains("Error: SetPredApiTaperByNumber needs a well object"));
}

TEST(ApiTaperExports, ShortStringKeepsAnInvalidTopTaper) {
    ObjPtr obj = NewObj();
    ASSERT_EQ(SetDiagApiTaperByNumber(obj.get(), 85, 1.06, 60), 1);
    const TaperList* list = obj->meas.tapers;
    EXPECT_EQ(list->count, 4);
    EXPECT_EQ(list->validCount, 3);
    EXPECT_EQ(list->items[0].L, -15);
    EXPECT_EQ(list->totalLength, 75);
    EXPECT_EQ(list->items[1].top, 0);
}
