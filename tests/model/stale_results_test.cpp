// After a card's solve is refused or fails, no getter hands out a number of an earlier run.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "log_capture.h"
#include "tesk/tesk.h"

namespace {

enum CardNumber { kMeasured = 1, kUpscaled = 2, kPredicted = 3 };

struct CardGetters {
    CardNumber number;
    int32_t (*pointCount)(TeskObj*);
    uint8_t (*pump)(TeskObj*, double*, double*);
    uint8_t (*colors)(TeskObj*, int32_t*);
    int32_t (*rodLoadingCount)(TeskObj*);
    uint8_t (*rodLoading)(TeskObj*, double*, double*, double*, double*, double*);
};

const CardGetters kCards[] = {
    {kMeasured, GetMeasuredDynoPointCount, GetMeasuredPump, GetMeasuredPumpColors, GetMeasuredRodLoadingCount,
     GetMeasuredRodLoading},
    {kUpscaled, GetUpscaledDynoPointCount, GetUpscaledPump, GetUpscaledPumpColors, GetUpscaledRodLoadingCount,
     GetUpscaledRodLoading},
    {kPredicted, GetPredDynoPointCount, GetPredPump, GetPredPumpColors, GetPredRodLoadingCount, GetPredRodLoading},
};

bool AnyNonZero(const std::vector<double>& values) {
    for (double v : values) {
        if (v != 0) return true;
    }
    return false;
}

// Every result of one card that a solve produces, as the getters hand it out; a getter that
// answers false contributes nothing.
std::vector<double> CardResults(TeskObj* obj, const CardGetters& card) {
    std::vector<double> results;
    const size_t points = static_cast<size_t>(std::max(card.pointCount(obj), 0));
    std::vector<double> positions(points), loads(points);
    std::vector<int32_t> colors(points);
    if (card.pump(obj, positions.data(), loads.data()) == 1) {
        results.insert(results.end(), positions.begin(), positions.end());
        results.insert(results.end(), loads.begin(), loads.end());
    }
    if (card.colors(obj, colors.data()) == 1) results.insert(results.end(), colors.begin(), colors.end());
    if (card.number == kPredicted && GetPredDyno(obj, positions.data(), loads.data()) == 1) {
        results.insert(results.end(), positions.begin(), positions.end());
        results.insert(results.end(), loads.begin(), loads.end());
    }
    const size_t gridPoints = static_cast<size_t>(std::max(card.rodLoadingCount(obj), 0));
    std::vector<double> depths(gridPoints), maxLoads(gridPoints), minLoads(gridPoints), hundred(gridPoints),
        zero(gridPoints);
    if (card.rodLoading(obj, depths.data(), maxLoads.data(), minLoads.data(), hundred.data(), zero.data()) == 1) {
        results.insert(results.end(), maxLoads.begin(), maxLoads.end());
        results.insert(results.end(), minLoads.begin(), minLoads.end());
    }
    if (GetIntermediateCard(obj, 0, card.number, positions.data(), loads.data()) == 1) {
        results.insert(results.end(), loads.begin(), loads.end());
    }
    return results;
}

std::vector<double> FiguresOf(const WaveResults_t& r, CardNumber card) {
    if (card == kPredicted) {
        return {r.predPumpStroke, r.predPumpDisplacement, r.predPumpVolume, r.predPumpPosMin, r.predPumpPosMax,
                static_cast<double>(r.loadPickupIndex), static_cast<double>(r.fullLoadIndex),
                static_cast<double>(r.loadReleaseIndex), static_cast<double>(r.noLoadIndex)};
    }
    if (card == kMeasured) {
        return {r.diagPumpStroke, r.diagPumpDisplacement, r.diagPumpVolume, r.diagPumpPosMin, r.diagPumpPosMax};
    }
    return {};
}

std::vector<TaperBase_t> StringWithZeroDiameterTaper() {
    return {BuildTaperBase_t("top", 1650, 0.875, 0, 0, 0, 0), BuildTaperBase_t("broken", 1700, 0.0, 0, 0, 0, 0),
            BuildTaperBase_t("bottom", 1650, 0.625, 0, 0, 0, 0)};
}

// 1,000 tapers, one of them 6 ft long: a predicted grid far above the work budget.
std::vector<TaperBase_t> StringAboveTheWorkBudget() {
    std::vector<TaperBase_t> tapers;
    for (int i = 0; i < 1000; ++i) tapers.push_back(BuildTaperBase_t("t", i == 500 ? 6.0 : 4994.0 / 999, 0.75, 0, 0, 0, 0));
    return tapers;
}

struct Breaker {
    const char* name;
    std::function<void(TeskObj*)> breakInputs;
    std::vector<CardNumber> broken;
};

const std::vector<Breaker>& Breakers() {
    static const std::vector<Breaker> breakers = {
        {"zero-diameter taper in the measured string",
         [](TeskObj* obj) {
             const std::vector<TaperBase_t> tapers = StringWithZeroDiameterTaper();
             ASSERT_EQ(SetDiagTapers(obj, tapers.data(), 3, 0.95), 1);
         },
         {kMeasured, kUpscaled}},
        {"zero-diameter taper in the predicted string",
         [](TeskObj* obj) {
             const std::vector<TaperBase_t> tapers = StringWithZeroDiameterTaper();
             ASSERT_EQ(SetPredTapers(obj, tapers.data(), 3, 0.95), 1);
         },
         {kPredicted}},
        {"grids above the work budget",
         [](TeskObj* obj) {
             const std::vector<TaperBase_t> tapers = StringAboveTheWorkBudget();
             ASSERT_EQ(SetPredTapers(obj, tapers.data(), static_cast<int32_t>(tapers.size()), 0.95), 1);
             ASSERT_EQ(SetUpscaledDynoPointCount(obj, 1000000), 1);
         },
         {kUpscaled, kPredicted}},
    };
    return breakers;
}

// What each getter of a solve's results answers for one card: 1 copied, 0 refused.
std::vector<int> GetterAnswers(TeskObj* obj, const CardGetters& card) {
    const size_t points = static_cast<size_t>(std::max(card.pointCount(obj), 1));
    const size_t gridPoints = static_cast<size_t>(std::max(card.rodLoadingCount(obj), 1));
    std::vector<double> positions(std::max(points, gridPoints)), loads(positions.size());
    std::vector<double> a(gridPoints), b(gridPoints), c(gridPoints), d(gridPoints), e(gridPoints);
    std::vector<int32_t> colors(points);
    return {card.pump(obj, positions.data(), loads.data()), card.colors(obj, colors.data()),
            card.rodLoading(obj, a.data(), b.data(), c.data(), d.data(), e.data()),
            GetIntermediateCard(obj, 0, card.number, positions.data(), loads.data()),
            GetIntermediateTimeSlice(obj, 0, card.number, positions.data(), loads.data())};
}

// The upscaled card keeps no intermediate tables, so its two intermediate getters answer 0 anyway.
std::vector<int> SolvedAnswers(CardNumber card) {
    return card == kUpscaled ? std::vector<int>{1, 1, 1, 0, 0} : std::vector<int>{1, 1, 1, 1, 1};
}

bool IsBroken(const Breaker& breaker, CardNumber card) {
    return std::find(breaker.broken.begin(), breaker.broken.end(), card) != breaker.broken.end();
}

// A host tells a refused card from a computed one by the getters' answers alone, until the card
// solves again; and no getter hands out a number of the earlier run.
TEST(StaleResults, ARefusedOrFailedSolveLeavesNoResultOfTheEarlierRun) {
    const std::vector<int> refused = {0, 0, 0, 0, 0};
    for (const Breaker& breaker : Breakers()) {
        LogCapture log;
        TeskObj* obj = CreateTeskObj();
        ASSERT_EQ(ParseDesignFile(obj, TESK_DATA_DIR "/sample_well.json"), 1);
        ASSERT_EQ(RunDesign(obj), 1);
        const WaveResults_t first = GetWaveResults(obj);
        for (CardNumber card : breaker.broken) {
            ASSERT_TRUE(AnyNonZero(CardResults(obj, kCards[card - 1]))) << breaker.name << " card " << card;
        }
        ASSERT_TRUE(AnyNonZero(FiguresOf(first, kPredicted))) << breaker.name;

        breaker.breakInputs(obj);
        log.Clear();
        ASSERT_EQ(RunDesign(obj), 1) << breaker.name;
        EXPECT_EQ(log.Count("Cannot run"), breaker.broken.size()) << breaker.name;
        const WaveResults_t second = GetWaveResults(obj);
        for (CardNumber card : breaker.broken) {
            EXPECT_FALSE(AnyNonZero(CardResults(obj, kCards[card - 1]))) << breaker.name << " card " << card;
            EXPECT_FALSE(AnyNonZero(FiguresOf(second, card))) << breaker.name << " card " << card;
        }
        for (const CardGetters& card : kCards) {
            const std::vector<int> expected = IsBroken(breaker, card.number) ? refused : SolvedAnswers(card.number);
            EXPECT_EQ(GetterAnswers(obj, card), expected) << breaker.name << " card " << card.number;
        }
        std::vector<double> positions(static_cast<size_t>(std::max(GetPredDynoPointCount(obj), 1)));
        std::vector<double> loads(positions.size());
        EXPECT_EQ(GetPredDyno(obj, positions.data(), loads.data()), IsBroken(breaker, kPredicted) ? 0 : 1)
            << breaker.name;

        ASSERT_EQ(ParseDesignFile(obj, TESK_DATA_DIR "/sample_well.json"), 1);
        ASSERT_EQ(SetUpscaledDynoPointCount(obj, 400), 1);
        for (CardNumber card : breaker.broken) {
            EXPECT_EQ(GetterAnswers(obj, kCards[card - 1]), refused) << breaker.name << ": mended, not yet solved";
        }
        ASSERT_EQ(RunDesign(obj), 1);
        for (const CardGetters& card : kCards) {
            EXPECT_EQ(GetterAnswers(obj, card), SolvedAnswers(card.number)) << breaker.name << " card " << card.number;
        }
        DeleteTeskObj(obj);
    }
}

}  // namespace
