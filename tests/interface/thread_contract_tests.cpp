// The threading contract as a host relies on it: separate well objects on separate threads at
// once give what they give one after another, and every line reaches the one callback.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "tesk/tesk.h"

namespace {

std::atomic<int> linesSeen{0};
int CountLine(const char*) {
    linesSeen.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

struct CardsOfOneWell {
    std::vector<double> measPumpPos, measPumpLoad, predPos, predLoad;
};

// A two-taper well with a smooth 8-spm surface card, diagnosed and predicted.
CardsOfOneWell RunOneWell() {
    CardsOfOneWell out;
    TeskObj* well = CreateTeskObj();
    if (well == nullptr) return out;
    const TaperBase_t tapers[2] = {BuildTaperBase_t("top", 2500, 0.875, 0, 0, 0, 0),
                                   BuildTaperBase_t("bottom", 2500, 0.75, 0, 0, 0, 0)};
    const TubingBase_t tubing = {5000, 1.995, 2.375, 0, 4.7, 0, 3.07e-7, 0};
    SetDiagTapers(well, tapers, 2, 1.0);
    SetPredTapers(well, tapers, 2, 1.0);
    SetDiagTubings(well, &tubing, 1);
    SetPredTubings(well, &tubing, 1);
    WaveParams_t p = GetWaveParams(well);
    p.diagDampUp = p.diagDampDn = p.predDampUp = p.predDampDn = 0.1;
    p.diagPumpDepth = p.predPumpDepth = 5000;
    p.diagAnchorDepth = p.predAnchorDepth = 4900;
    p.predSpm = 8;
    p.usePumpingUnitForPosition = 1;
    SetWaveParams(well, p);
    const int32_t n = 400;
    std::vector<double> pos(n), load(n);
    const double pi = 4 * std::atan(1.0);
    for (int32_t i = 0; i < n; ++i) {
        const double phase = 2 * pi * i / n;
        pos[i] = 50 * (1 - std::cos(phase));
        load[i] = 9000 + 2500 * std::sin(phase);
    }
    SetFourierCoeffCountPos(well, 20);
    SetFourierCoeffCountLoad(well, 20);
    LoadDyn(well, 8, pos.data(), load.data(), n);
    if (RunDesign(well) == 1) {
        const int32_t measCount = GetMeasuredDynoPointCount(well);
        const int32_t predCount = GetPredDynoPointCount(well);
        out.measPumpPos.resize(measCount);
        out.measPumpLoad.resize(measCount);
        out.predPos.resize(predCount);
        out.predLoad.resize(predCount);
        GetMeasuredPump(well, out.measPumpPos.data(), out.measPumpLoad.data());
        GetPredDyno(well, out.predPos.data(), out.predLoad.data());
    }
    PrintTeskObj(well);
    DeleteTeskObj(well);
    return out;
}

void ExpectSameCards(const CardsOfOneWell& got, const CardsOfOneWell& want) {
    EXPECT_EQ(got.measPumpPos, want.measPumpPos);
    EXPECT_EQ(got.measPumpLoad, want.measPumpLoad);
    EXPECT_EQ(got.predPos, want.predPos);
    EXPECT_EQ(got.predLoad, want.predLoad);
}

}  // namespace

TEST(ThreadContract, WellsOnSeparateThreadsMatchSequentialRunsAndLogEveryLine) {
    SetLoggingCallback(nullptr, CountLine);
    linesSeen = 0;
    const CardsOfOneWell alone = RunOneWell();
    const int linesOfOneWell = linesSeen.load();
    ASSERT_FALSE(alone.measPumpPos.empty());
    ASSERT_FALSE(alone.predPos.empty());
    ASSERT_GT(linesOfOneWell, 0);

    const int threadCount = 4;
    std::vector<CardsOfOneWell> results(threadCount);
    std::vector<std::thread> threads;
    linesSeen = 0;
    for (int t = 0; t < threadCount; ++t) threads.emplace_back([&results, t] { results[t] = RunOneWell(); });
    for (auto& thread : threads) thread.join();
    SetLoggingCallback(nullptr, nullptr);

    EXPECT_EQ(linesSeen.load(), threadCount * linesOfOneWell);
    for (const CardsOfOneWell& r : results) ExpectSameCards(r, alone);
}
