#include "model/taper_list.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "log_capture.h"
#include "model/tesk_obj.h"
#include "model/tubing_list.h"

namespace {
const double kPi = 4 * std::atan(1.0);
const double kNaN = std::numeric_limits<double>::quiet_NaN();

TaperBase_t Taper(double L, double D, double W = 0, double E = 0, double R = 0, const char* id = "") {
    return BuildTaperBase_t(id, L, D, W, 1234.0, E, R);
}

struct ListHolder {
    TaperList list{};
    ListHolder(const std::vector<TaperBase_t>& rows, double sg) {
        EXPECT_TRUE(BuildTaperList(&list, rows.data(), static_cast<int32_t>(rows.size())));
        UpdateTaperTotals(&list, sg);
    }
    ~ListHolder() { std::free(list.items); }
};

using ObjPtr = std::unique_ptr<TeskObj, decltype(&DeleteTeskObj)>;
ObjPtr NewObj() { return ObjPtr(CreateTeskObj(), &DeleteTeskObj); }

// Weight of the string in fluid straight from Archimedes: W*L*(1 - sg/rodSg) per valid taper.
double ArchimedesRwf(const std::vector<TaperBase_t>& rows, const TaperList& list, double sg) {
    double sum = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        const TaperItem& t = list.items[i];
        if (t.L > 0) sum += t.W * t.L * (1 - sg / (t.R / 62.4));
    }
    return sum;
}
}  // namespace

TEST(TaperListBuild, MaterialDefaultsFillMissingValues) {
    ListHolder h({Taper(1000, 0.875, 0, 0, 0), Taper(500, 1.287, -1, kNaN, -3),
                  Taper(100, 0.75, 2.5, 29000000, 490)},
                 1.0);
    const TaperItem* t = h.list.items;
    EXPECT_DOUBLE_EQ(t[0].W, 2.224);
    EXPECT_DOUBLE_EQ(t[0].E, 30500000);
    EXPECT_DOUBLE_EQ(t[0].R, 492);
    EXPECT_DOUBLE_EQ(t[1].W, 1.552);
    EXPECT_DOUBLE_EQ(t[1].E, 30500000);
    EXPECT_DOUBLE_EQ(t[1].R, 492);
    EXPECT_DOUBLE_EQ(t[2].W, 2.5);
    EXPECT_DOUBLE_EQ(t[2].E, 29000000);
    EXPECT_DOUBLE_EQ(t[2].R, 490);
    EXPECT_DOUBLE_EQ(t[2].T, 1234.0);
}

TEST(TaperListBuild, UnsupportedDiameterWithoutWeightIsLoggedAndStillBuilt) {
    LogCapture log;
    ListHolder h({Taper(1000, 0.8)}, 1.0);
    EXPECT_TRUE(log.Contains("Unsupported Rod Diameter: 0.800000"));
    EXPECT_DOUBLE_EQ(h.list.items[0].W, 999999.0);
    EXPECT_EQ(h.list.validCount, 1);
}

TEST(TaperListBuild, DerivedValuesFollowRodMechanics) {
    const double D = 1.0, E = 30000000, R = 490;
    ListHolder h({Taper(2000, D, 2.9, E, R)}, 0.0);
    const TaperItem& t = h.list.items[0];
    EXPECT_NEAR(t.area, kPi * D * D / 4, 1e-15);
    EXPECT_NEAR(t.EA, t.area * E, 1e-6);
    EXPECT_NEAR(t.rodSg, R / 62.4, 1e-15);
    // Wave speed of a thin bar, sqrt(E/rho), with E in lb/ft2 and rho in slugs per cubic foot.
    EXPECT_NEAR(t.waveSpeed, std::sqrt(E * 144 / (R / 32.1739)), 1e-6);
    // One taper is a spring of EA/(12 L) lb/in.
    EXPECT_NEAR(h.list.Kr, t.EA / (12 * 2000), 1e-9);
    EXPECT_NEAR(h.list.waveRoundTrip, 2 * 2000 / t.waveSpeed, 1e-12);
    EXPECT_NEAR(h.list.meanWaveSpeed, t.waveSpeed, 1e-9);
    EXPECT_EQ(t.nodeCount, 0);
    EXPECT_EQ(t.nodeLength, 0);
}

// The unit factors are applied to E one after the other; folding them into one constant first
// rounds differently for these materials and would move node counts at taper boundaries.
TEST(TaperListBuild, WaveSpeedAppliesTheUnitFactorsInTurn) {
    struct Case {
        double E, R;
    };
    const Case cases[] = {{29876543.21, 500.1}, {29876543.21, 168.5}, {12345678.9, 491.0}, {30500000, 492}};
    for (const Case& c : cases) {
        ListHolder h({Taper(1000, 1.0, 2.9, c.E, c.R)}, 1.0);
        const double inLbPerFt2 = c.E * 144;
        const double timesGravity = inLbPerFt2 * 32.1739;
        EXPECT_EQ(h.list.items[0].waveSpeed, std::sqrt(timesGravity / c.R)) << c.E << " " << c.R;
    }
}

TEST(TaperListBuild, IdIsCutTo32BytesWithoutTerminator) {
    TaperBase_t row = BuildTaperBase_t((std::string(32, 'a') + std::string(8, 'b')).c_str(), 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(std::string(row.id, 32), std::string(32, 'a'));
    TaperBase_t shortRow = BuildTaperBase_t("K-75", 1, 1, 1, 1, 1, 1);
    EXPECT_STREQ(shortRow.id, "K-75");
    for (size_t i = 4; i < 32; ++i) EXPECT_EQ(shortRow.id[i], '\0');
    TaperBase_t nullId = BuildTaperBase_t(nullptr, 1, 2, 3, 4, 5, 6);
    EXPECT_EQ(nullId.id[0], '\0');
    EXPECT_EQ(nullId.R, 6);
}

TEST(TaperListTotals, SeriesSpringWeightAndGeometry) {
    const std::vector<TaperBase_t> rows = {Taper(1000, 0.875), Taper(2000, 0.75)};
    const double sg = 0.9;
    ListHolder h(rows, sg);
    const TaperList& l = h.list;
    EXPECT_EQ(l.items[0].top, 0);
    EXPECT_EQ(l.items[1].top, 1000);
    EXPECT_EQ(l.totalLength, 3000);
    EXPECT_DOUBLE_EQ(l.halfPiOverLength, kPi / 6000);
    EXPECT_NEAR(l.rodWeight, 1000 * 2.224 + 2000 * 1.63, 1e-9);
    EXPECT_NEAR(l.Rwf, ArchimedesRwf(rows, l, sg), 1e-9);
    // Springs in series: the stretches add.
    const double expectedKr = 1 / (12 * 1000 / l.items[0].EA + 12 * 2000 / l.items[1].EA);
    EXPECT_NEAR(l.Kr, expectedKr, 1e-9);
}

TEST(TaperListTotals, FluidWeightIsLinearInSpecificGravity) {
    const std::vector<TaperBase_t> rows = {Taper(1500, 1.0), Taper(1500, 0.875, 0, 0, 400)};
    TaperList list{};
    ASSERT_TRUE(BuildTaperList(&list, rows.data(), 2));
    std::vector<double> rwf;
    for (double sg : {0.0, 0.5, 1.0, 1.5}) {
        UpdateTaperTotals(&list, sg);
        EXPECT_NEAR(list.Rwf, ArchimedesRwf(rows, list, sg), 1e-9) << sg;
        rwf.push_back(list.Rwf);
    }
    EXPECT_NEAR(rwf[0], list.rodWeight, 1e-9);  // no buoyancy in air
    EXPECT_NEAR(rwf[1] - rwf[0], rwf[3] - rwf[2], 1e-9);
    std::free(list.items);
}

TEST(TaperListTotals, FluidAsDenseAsTheRodCarriesItsWholeWeight) {
    ListHolder h({Taper(3000, 1.0)}, 492 / 62.4);
    EXPECT_NEAR(h.list.items[0].buoyantWpf, 0, 1e-15);
    EXPECT_NEAR(h.list.Rwf, 0, 1e-9);
}

TEST(TaperListTotals, InvalidTapersKeepTheirPlaceAndAddNothing) {
    for (double badLength : {-5.0, 0.0, kNaN}) {
        ListHolder h({Taper(1000, 1.0), Taper(badLength, 0.875), Taper(2000, 0.75)}, 1.0);
        ListHolder valid({Taper(1000, 1.0), Taper(2000, 0.75)}, 1.0);
        const TaperList& l = h.list;
        EXPECT_EQ(l.count, 3);
        EXPECT_EQ(l.validCount, 2);
        EXPECT_EQ(l.items[2].top, 1000);
        EXPECT_EQ(l.items[1].top, 0);
        EXPECT_EQ(l.items[1].buoyantWpf, 0);
        EXPECT_EQ(l.totalLength, valid.list.totalLength);
        EXPECT_DOUBLE_EQ(l.Rwf, valid.list.Rwf);
        EXPECT_DOUBLE_EQ(l.Kr, valid.list.Kr);
        EXPECT_DOUBLE_EQ(l.waveRoundTrip, valid.list.waveRoundTrip);
        EXPECT_DOUBLE_EQ(CalcBuoyantWeightBelow(&h.list, 0), l.Rwf);
        EXPECT_EQ(FindLastTaper(&h.list), &l.items[2]);

        LogCapture log;
        PrintTaperList(&h.list);
        EXPECT_TRUE(log.Contains("\tTaper[1] Invalid Taper Length"));
        EXPECT_TRUE(log.Contains("Total Rod Length: 3000.00"));
        EXPECT_TRUE(log.Contains("\tTaper[2] L: 2000.00 D: 0.7500 Start:  1000.00 End:  3000.00 (E:  30500000.00 R: 492.00)"));
    }
}

TEST(TaperListTotals, EmptyStringHasNoSpringAndInfiniteWaveFactor) {
    ListHolder h({Taper(0, 1.0), Taper(-1, 1.0)}, 1.0);
    EXPECT_EQ(h.list.validCount, 0);
    EXPECT_EQ(h.list.Kr, 0);
    EXPECT_EQ(h.list.meanWaveSpeed, 0);
    EXPECT_TRUE(std::isinf(h.list.halfPiOverLength));
    EXPECT_EQ(FindLastTaper(&h.list), nullptr);
}

TEST(TaperListLookup, BuoyantWeightBelowDepth) {
    ListHolder h({Taper(1000, 0.875), Taper(2000, 0.75)}, 1.0);
    const TaperList& l = h.list;
    const double w0 = l.items[0].buoyantWpf, w1 = l.items[1].buoyantWpf;
    struct Case {
        double depth, expected;
    };
    const Case cases[] = {
        {-10, l.Rwf},          {0, l.Rwf},          {400, w0 * 600 + w1 * 2000}, {1000, w1 * 2000},
        {1500, w1 * 1500},     {3000, 0},           {4000, 0},
    };
    for (const Case& c : cases) EXPECT_NEAR(CalcBuoyantWeightBelow(&h.list, c.depth), c.expected, 1e-9) << c.depth;
}

TEST(TaperListLookup, SectionIndexAtDepths) {
    ListHolder h({Taper(1000, 0.875), Taper(0, 0.75), Taper(2000, 0.75)}, 1.0);
    struct Case {
        double depth;
        int32_t index;
    };
    for (const Case& c : {Case{-1, 0}, Case{0, 0}, Case{999, 0}, Case{1000, 2}, Case{2999.9, 2}, Case{5000, 2}}) {
        EXPECT_EQ(GetRodSectionIndex(&h.list, c.depth), c.index) << c.depth;
    }
}

TEST(TaperListLookup, SectionIndexWithoutAnyValidTaperIsLogged) {
    ListHolder h({Taper(0, 0.875), Taper(kNaN, 0.75)}, 1.0);
    LogCapture log;
    EXPECT_EQ(GetRodSectionIndex(&h.list, 10), -1);
    EXPECT_TRUE(log.Contains("GetRodSectionIndex(10.000000) had an invalid result"));
    ListHolder valid({Taper(100, 1.0)}, 1.0);
    EXPECT_EQ(GetRodSectionIndex(&valid.list, kNaN), -1);
}

TEST(TaperListLookup, SpringConstantToDepth) {
    ListHolder h({Taper(1000, 0.875), Taper(2000, 0.75)}, 1.0);
    const double s0 = h.list.items[0].stretchPerFt, s1 = h.list.items[1].stretchPerFt;
    struct Case {
        double depth, expected;
    };
    const Case cases[] = {
        {0, 0},           {-100, 0},  {kNaN, 0},  {500, 1 / (500 * s0)}, {1000, 1 / (1000 * s0)},
        {2000, 1 / (1000 * s0 + 1000 * s1)},   {3000, h.list.Kr},     {9000, h.list.Kr},
    };
    for (const Case& c : cases) EXPECT_NEAR(CalcKrToDepth(&h.list, c.depth), c.expected, 1e-9) << c.depth;
}

TEST(TaperListLookup, MaxWaveSpeedIncludesInvalidTapersAndSkipsNaN) {
    ListHolder h({Taper(1000, 1.0, 0, 30500000, 492), Taper(0, 1.0, 0, 30500000, 300),
                  Taper(1000, 1.0, 0, 30500000, 600)},
                 1.0);
    EXPECT_DOUBLE_EQ(GetMaxWaveSpeed(&h.list), h.list.items[1].waveSpeed);
    h.list.items[1].waveSpeed = kNaN;
    EXPECT_DOUBLE_EQ(GetMaxWaveSpeed(&h.list), h.list.items[0].waveSpeed);
    TaperList empty{};
    EXPECT_EQ(GetMaxWaveSpeed(&empty), DBL_MIN);
}

TEST(TaperListCard, RefusedInputKeepsTheOldListAndFlags) {
    WaveModel card("MEAS", 1);
    const TaperBase_t rows[] = {Taper(1000, 1.0), Taper(2000, 0.875)};
    ASSERT_TRUE(SetCardTapers(&card, rows, 2, 1.0));
    EXPECT_EQ(card.cdtDirty, 1);
    EXPECT_EQ(card.nodesDirty, 1);
    TaperList* before = card.tapers;
    struct Case {
        const TaperBase_t* rows;
        int32_t count;
        double sg;
        const char* line;
    };
    const Case cases[] = {
        {nullptr, 2, 1.0, "Warning: MEAS New taper cant be NULL"},
        {rows, 0, 1.0, "Warning: MEAS New tapercount must be valid"},
        {rows, -3, 1.0, "Warning: MEAS New tapercount must be valid"},
        {rows, 2, kNaN, "Warning: MEAS New taper fluid specific gravity must be finite"},
        {rows, 2, HUGE_VAL, "Warning: MEAS New taper fluid specific gravity must be finite"},
    };
    for (const Case& c : cases) {
        card.cdtDirty = card.nodesDirty = 0;
        LogCapture log;
        EXPECT_FALSE(SetCardTapers(&card, c.rows, c.count, c.sg));
        EXPECT_TRUE(log.Contains(c.line)) << c.line;
        EXPECT_EQ(card.tapers, before);
        EXPECT_EQ(card.tapers->count, 2);
        EXPECT_EQ(card.cdtDirty, 0);
        EXPECT_EQ(card.nodesDirty, 0);
    }
}

TEST(TaperListCard, ReplacingKeepsTheCardFluidAndCopiesTheRecords) {
    WaveModel card("PRED", 0);
    card.sgFluid = 0.7;
    std::vector<TaperBase_t> rows = {Taper(1000, 1.0)};
    ASSERT_TRUE(SetCardTapers(&card, rows.data(), 1, 1.1));
    rows[0].L = 5;  // the card holds its own copy
    EXPECT_EQ(card.tapers->items[0].L, 1000);
    EXPECT_EQ(card.sgFluid, 0.7);
    EXPECT_NEAR(card.tapers->items[0].buoyantWpf, 2.904 * (1 - 1.1 / (492 / 62.4)), 1e-12);
}

TEST(TaperListCard, PumpDepthFollowsTubingElseStringBottom) {
    WaveModel card("MEAS", 1);
    EXPECT_EQ(GetPumpDepth(&card), 0);
    const TaperBase_t rows[] = {Taper(1000, 1.0), Taper(2500, 0.875), Taper(-1, 0.75)};
    ASSERT_TRUE(SetCardTapers(&card, rows, 3, 1.0));
    EXPECT_EQ(GetPumpDepth(&card), 3500);
    const TubingBase_t tubing[] = {{4000, 2.441, 2.875, 0, 6.5, 0, 1e-7, 0}};
    ASSERT_TRUE(SetCardTubings(&card, tubing, 1));
    EXPECT_EQ(GetPumpDepth(&card), 0);  // a tubing list's pump depth rules even before it is set
    card.tubings->pumpDepth = 3400;
    EXPECT_EQ(GetPumpDepth(&card), 3400);
}

TEST(TaperListCard, GetterWarnsWithoutList) {
    WaveModel card("UPSC", 1);
    LogCapture log;
    EXPECT_EQ(GetTaperList(&card), nullptr);
    EXPECT_TRUE(log.Contains("Warning: UPSC Trying to get a taper before it was set"));
}

TEST(TaperExports, DiagSetterFillsBothCardsAndRaisesTheirFlags) {
    ObjPtr obj = NewObj();
    TaperBase_t rows[] = {Taper(1000, 1.0, 0, 0, 0, "top"), Taper(2000, 0.875)};
    ASSERT_EQ(SetDiagTapers(obj.get(), rows, 2, 1.05), 1);
    EXPECT_EQ(obj->measDirty, 1);
    EXPECT_EQ(obj->upscDirty, 1);
    EXPECT_EQ(obj->predDirty, 0);
    EXPECT_EQ(obj->meas.sgFluid, 1.05);
    EXPECT_EQ(obj->upsc.sgFluid, 1.05);
    ASSERT_NE(obj->upsc.tapers, nullptr);
    EXPECT_NE(obj->upsc.tapers, obj->meas.tapers);
    EXPECT_DOUBLE_EQ(obj->upsc.tapers->Rwf, obj->meas.tapers->Rwf);
    EXPECT_EQ(obj->pred.tapers, nullptr);

    ASSERT_EQ(GetDiagTaperCount(obj.get()), 2);
    TaperBase_t out[2];
    std::memset(out, 0x5a, sizeof out);
    ASSERT_EQ(GetDiagTapers(obj.get(), out), 1);
    EXPECT_STREQ(out[0].id, "top");
    EXPECT_EQ(out[0].L, 1000);
    EXPECT_EQ(out[0].W, 2.904);  // the default that was applied, not the 0 given
    EXPECT_EQ(out[1].E, 30500000);
    EXPECT_EQ(out[1].R, 492);
    EXPECT_EQ(out[1].T, 1234.0);
    for (size_t i = 0; i < 32; ++i) EXPECT_EQ(out[1].id[i], '\0');
}

// A taper without a positive length (NaN included) adds nothing, so the string is shorter than the
// tapers given: each such taper is named, once per setter call.
TEST(TaperExports, EveryTaperLeftOutOfTheStringIsNamed) {
    struct Case {
        double length;
        const char* shown;
    };
    const double inf = std::numeric_limits<double>::infinity();
    for (const Case& c : {Case{kNaN, "nan"}, Case{0.0, "0.000000"}, Case{-5.0, "-5.000000"}, Case{-inf, "-inf"}}) {
        ObjPtr obj = NewObj();
        TaperBase_t rows[] = {Taper(1500, 1.0, 0, 0, 0, "top"), Taper(c.length, 0.875, 0, 0, 0, "middle"),
                              Taper(1850, 0.75, 0, 0, 0, "bottom")};
        LogCapture log;
        ASSERT_EQ(SetDiagTapers(obj.get(), rows, 3, 1.0), 1) << c.shown;
        const std::string line = std::string("Warning: MEAS/UPSC Taper #1 (middle) has length ") + c.shown +
                                 " ft: it is kept but left out of the rod string";
        EXPECT_EQ(log.Count("left out of the rod string"), 1u) << c.shown;
        EXPECT_TRUE(log.Contains(line)) << line;
        EXPECT_EQ(obj->meas.tapers->totalLength, 3350) << c.shown;
        EXPECT_EQ(GetDiagTaperCount(obj.get()), 3) << "the taper keeps its place";
        log.Clear();
        ASSERT_EQ(SetPredTapers(obj.get(), rows, 3, 1.0), 1);
        EXPECT_TRUE(log.Contains("Warning: PRED Taper #1 (middle) has length")) << c.shown;
    }
    ObjPtr obj = NewObj();
    TaperBase_t valid[] = {Taper(1500, 1.0), Taper(1850, 0.75)};
    LogCapture log;
    ASSERT_EQ(SetDiagTapers(obj.get(), valid, 2, 1.0), 1);
    EXPECT_FALSE(log.Contains("left out"));
}

TEST(TaperExports, PredSetterTouchesOnlyThePredictedCard) {
    ObjPtr obj = NewObj();
    TaperBase_t rows[] = {Taper(4000, 0.875)};
    ASSERT_EQ(SetPredTapers(obj.get(), rows, 1, 0.8), 1);
    EXPECT_EQ(obj->predDirty, 1);
    EXPECT_EQ(obj->measDirty, 0);
    EXPECT_EQ(obj->pred.sgFluid, 0.8);
    EXPECT_EQ(obj->meas.sgFluid, 1.0);
    EXPECT_EQ(GetPredTaperCount(obj.get()), 1);
    EXPECT_EQ(obj->meas.tapers, nullptr);
}

TEST(TaperExports, RefusedSetterChangesNothing) {
    ObjPtr obj = NewObj();
    TaperBase_t rows[] = {Taper(1000, 1.0)};
    ASSERT_EQ(SetDiagTapers(obj.get(), rows, 1, 1.0), 1);
    obj->measDirty = obj->upscDirty = 0;
    LogCapture log;
    EXPECT_EQ(SetDiagTapers(obj.get(), rows, 0, 0.5), 0);
    EXPECT_TRUE(log.Contains("Warning: MEAS New tapercount must be valid"));
    EXPECT_TRUE(log.Contains("Warning: UPSC New tapercount must be valid"));
    EXPECT_EQ(obj->measDirty, 0);
    EXPECT_EQ(obj->upscDirty, 0);
    EXPECT_EQ(obj->meas.sgFluid, 1.0);
    EXPECT_EQ(GetDiagTaperCount(obj.get()), 1);
    EXPECT_EQ(SetPredTapers(obj.get(), nullptr, 1, 1.0), 0);
    EXPECT_TRUE(log.Contains("Warning: PRED New taper cant be NULL"));
    EXPECT_EQ(obj->predDirty, 0);
}

TEST(TaperExports, ReadingWithoutTapersWarnsAndWritesNothing) {
    ObjPtr obj = NewObj();
    LogCapture log;
    EXPECT_EQ(GetDiagTaperCount(obj.get()), 0);
    EXPECT_TRUE(log.Contains("Warning: MEAS Trying to get a taper before it was set"));
    EXPECT_EQ(GetPredTapers(obj.get(), nullptr), 1);
    EXPECT_TRUE(log.Contains("Warning: PRED Trying to get a taper before it was set"));
    EXPECT_EQ(CalculateKrToDepth(obj.get(), 100), 0);
}

TEST(TaperExports, BadHandlesAndBuffersAreRefused) {
    LogCapture log;
    TaperBase_t rows[] = {Taper(1000, 1.0)};
    EXPECT_EQ(SetDiagTapers(nullptr, rows, 1, 1.0), 0);
    EXPECT_EQ(GetPredTaperCount(nullptr), 0);
    EXPECT_EQ(CalculateKrToDepth(nullptr, 10), 0);
    EXPECT_TRUE(log.Contains("Error: SetDiagTapers needs a well object"));
    ObjPtr obj = NewObj();
    ASSERT_EQ(SetDiagTapers(obj.get(), rows, 1, 1.0), 1);
    EXPECT_EQ(GetDiagTapers(obj.get(), nullptr), 0);
    EXPECT_TRUE(log.Contains("Error: GetDiagTapers needs a buffer for 1 tapers"));
}

TEST(TaperExports, KrToDepthIsStoredUntilTheTotalsAreRecomputed) {
    ObjPtr obj = NewObj();
    TaperBase_t rows[] = {Taper(1000, 0.875), Taper(2000, 0.75)};
    ASSERT_EQ(SetDiagTapers(obj.get(), rows, 2, 1.0), 1);
    TaperList* list = obj->meas.tapers;
    const double whole = list->Kr;
    EXPECT_DOUBLE_EQ(CalculateKrToDepth(obj.get(), 10000), whole);
    const double partial = CalculateKrToDepth(obj.get(), 1000);
    EXPECT_NEAR(partial, list->items[0].EA / (12 * 1000), 1e-9);
    EXPECT_EQ(list->Kr, partial);
    EXPECT_EQ(obj->upsc.tapers->Kr, whole);  // only the measured list is used
    LogCapture log;
    EXPECT_EQ(CalculateKrToDepth(obj.get(), -50), 0);
    EXPECT_EQ(list->Kr, 0);
    EXPECT_TRUE(log.Contains("Warning: CalculateKrToDepth(-50.000000) needs a depth of 0 or more"));
    UpdateTaperTotals(list, 1.0);
    EXPECT_DOUBLE_EQ(list->Kr, whole);
}

TEST(TaperExports, LongIdComesBackAs32BytesWithoutTerminator) {
    ObjPtr obj = NewObj();
    const std::string id = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd";
    TaperBase_t rows[] = {Taper(1000, 1.0, 0, 0, 0, id.c_str())};
    ASSERT_EQ(SetDiagTapers(obj.get(), rows, 1, 1.0), 1);
    TaperBase_t out[1];
    ASSERT_EQ(GetDiagTapers(obj.get(), out), 1);
    EXPECT_EQ(std::string(out[0].id, 32), id.substr(0, 32));
    EXPECT_EQ(out[0].L, 1000);  // the id did not spill into the next field
}
