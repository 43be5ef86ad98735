// The result getters as a host calls them.
#include <gtest/gtest.h>

#include <vector>

#include "engine/fea_node.h"
#include "engine/test_well.h"
#include "log_capture.h"
#include "model/tesk_obj.h"

namespace {

constexpr double kUnwritten = -777.0;

struct SolvedWell {
    TeskObj* obj = CreateTeskObj();
    SurfaceCard card = SmoothCard(400, 9000);
    SolvedWell() {
        const auto tapers = ThreeTaperString(5000);
        SetDiagTapers(obj, tapers.data(), 3, 1.0);
        LoadDyn(obj, 8, card.pos.data(), card.load.data(), 400);
        RunDesign(obj);
    }
    ~SolvedWell() { DeleteTeskObj(obj); }
    int points() const { return GetMeasuredDynoPointCount(obj); }
    int gridPoints() const { return GetMeasuredRodLoadingCount(obj); }
};

std::vector<double> Unwritten(int count) { return std::vector<double>(static_cast<size_t>(count), kUnwritten); }

}  // namespace

TEST(ExportsResultsTest, NewObjectHasNothingToCopy) {
    TeskObj* obj = CreateTeskObj();
    EXPECT_EQ(GetMeasuredDynoPointCount(obj), 0);
    EXPECT_EQ(GetMeasuredDyno(obj, nullptr, nullptr), 1);
    EXPECT_EQ(GetPredPump(obj, nullptr, nullptr), 1);
    EXPECT_EQ(GetUpscaledDyno(obj, nullptr, nullptr), 0);
    EXPECT_EQ(GetMeasuredRodLoadingCount(obj), 101);
    std::vector<double> a = Unwritten(101), b = a, c = a, d = a, e = a;
    EXPECT_EQ(GetMeasuredRodLoading(obj, a.data(), b.data(), c.data(), d.data(), e.data()), 0);
    EXPECT_EQ(a[0], kUnwritten);
    DeleteTeskObj(obj);
}

TEST(ExportsResultsTest, CardGettersCopyTheSolvedCard) {
    SolvedWell well;
    ASSERT_EQ(well.points(), 400);
    std::vector<double> pos = Unwritten(400), load = Unwritten(400);
    ASSERT_EQ(GetMeasuredDyno(well.obj, pos.data(), load.data()), 1);
    EXPECT_EQ(pos, well.card.pos);
    EXPECT_EQ(load, well.card.load);
    ASSERT_EQ(GetMeasuredPump(well.obj, pos.data(), load.data()), 1);
    EXPECT_EQ(pos, std::vector<double>(well.obj->meas.pumpPos, well.obj->meas.pumpPos + 400));
    EXPECT_EQ(load, std::vector<double>(well.obj->meas.pumpLoad, well.obj->meas.pumpLoad + 400));
    std::vector<int32_t> colors(400, 0);
    ASSERT_EQ(GetMeasuredPumpColors(well.obj, colors.data()), 1);
    EXPECT_EQ(colors, std::vector<int32_t>(400, 0x00FF00FF));
}

TEST(ExportsResultsTest, RodLoadingListsEveryGridPointFromTheSurface) {
    SolvedWell well;
    const int count = well.gridPoints();
    ASSERT_EQ(count, well.obj->meas.FeaNodeCount + 1);
    std::vector<double> depth = Unwritten(count), hi = depth, lo = depth, hundred = depth, zero = depth;
    ASSERT_EQ(GetMeasuredRodLoading(well.obj, depth.data(), hi.data(), lo.data(), hundred.data(), zero.data()), 1);
    EXPECT_EQ(depth[0], 0.0);
    for (int i = 1; i < count; ++i) EXPECT_EQ(depth[i], well.obj->meas.nodes[i - 1].depth);
    EXPECT_NEAR(depth[count - 1], 5000.0, 1e-9);
    for (int i = 0; i < count; ++i) {
        EXPECT_EQ(hundred[i], 100.0);
        EXPECT_EQ(zero[i], 0.0);
        EXPECT_LE(lo[i], hi[i]);
    }
}

// Points alone give only the zeros of an empty fit: the card is there once both series have coefficients.
TEST(ExportsResultsTest, UpscaledGettersWaitForPointsAndFit) {
    SolvedWell well;
    std::vector<double> pos = Unwritten(300), load = Unwritten(300);
    std::vector<int32_t> colors(300, 7);
    EXPECT_EQ(GetUpscaledDyno(well.obj, pos.data(), load.data()), 0);
    EXPECT_EQ(GetUpscaledPumpColors(well.obj, colors.data()), 0);
    ASSERT_EQ(SetUpscaledDynoPointCount(well.obj, 300), 1);
    EXPECT_EQ(GetUpscaledDynoPointCount(well.obj), 300);
    EXPECT_EQ(GetUpscaledDyno(well.obj, pos.data(), load.data()), 0);
    EXPECT_EQ(GetUpscaledPump(well.obj, pos.data(), load.data()), 0);
    SetFourierCoeffCountPos(well.obj, 8);
    EXPECT_EQ(GetUpscaledPump(well.obj, pos.data(), load.data()), 0) << "the loads have no fit yet";
    EXPECT_EQ(pos[0], kUnwritten);
    SetFourierCoeffCountLoad(well.obj, 8);
    EXPECT_EQ(GetUpscaledDyno(well.obj, pos.data(), load.data()), 1);
    // The run that made the well refused the upscaled card for want of points: its pump card
    // waits for the next run.
    EXPECT_EQ(GetUpscaledPump(well.obj, pos.data(), load.data()), 0);
    ASSERT_EQ(RunDesign(well.obj), 1);
    EXPECT_EQ(GetUpscaledPump(well.obj, pos.data(), load.data()), 1);
    EXPECT_EQ(GetUpscaledPumpColors(well.obj, colors.data()), 1);
}

TEST(ExportsResultsTest, IntermediateCardAndTimeSliceReadTheTables) {
    SolvedWell well;
    const int n = well.points();
    const int rows = well.gridPoints();
    std::vector<double> pos = Unwritten(n), load = Unwritten(n);
    ASSERT_EQ(GetIntermediateCard(well.obj, rows - 1, 1, pos.data(), load.data()), 1);
    EXPECT_EQ(pos, std::vector<double>(well.obj->meas.pumpPos, well.obj->meas.pumpPos + n));

    std::vector<double> slicePos = Unwritten(rows + 1), sliceLoad = Unwritten(rows + 1);
    ASSERT_EQ(GetIntermediateTimeSlice(well.obj, 17, 1, slicePos.data(), sliceLoad.data()), 1);
    EXPECT_EQ(slicePos[0], well.card.pos[17]);
    EXPECT_EQ(sliceLoad[0], well.card.load[17]);
    EXPECT_EQ(slicePos[rows - 1], well.obj->meas.pumpPos[17]);
    EXPECT_EQ(slicePos[rows], kUnwritten) << "exactly one value per grid point";
}

TEST(ExportsResultsTest, IntermediateGettersRefuseWhatTheTablesDoNotHold) {
    SolvedWell well;
    const int n = well.points();
    const int rows = well.gridPoints();
    struct Case {
        const char* what;
        bool slice;
        int32_t index;
        int32_t card;
    } cases[] = {
        {"card 4", false, 0, 4},
        {"card 0", true, 0, 0},
        {"upscaled card keeps no tables", false, 0, 2},
        {"row -1", false, -1, 1},
        {"row past the pump", false, rows, 1},
        {"column -1", true, -1, 1},
        {"column at the point count", true, n, 1},
        {"predicted card not solved", true, 0, 3},
    };
    LogCapture log;
    for (const Case& c : cases) {
        std::vector<double> pos = Unwritten(n + rows), load = pos;
        const uint8_t result = c.slice ? GetIntermediateTimeSlice(well.obj, c.index, c.card, pos.data(), load.data())
                                       : GetIntermediateCard(well.obj, c.index, c.card, pos.data(), load.data());
        EXPECT_EQ(result, 0) << c.what;
        EXPECT_EQ(pos[0], kUnwritten) << c.what;
        EXPECT_EQ(load[0], kUnwritten) << c.what;
    }
    EXPECT_TRUE(log.lines.empty()) << "an answer of false is no fault: " << log.lines.front();
}

TEST(ExportsResultsTest, TablesOfAnOlderCycleAreNotRead) {
    SolvedWell well;
    const SurfaceCard other = SmoothCard(250, 8000);
    ASSERT_EQ(LoadDyn(well.obj, 8, other.pos.data(), other.load.data(), 250), 1);
    std::vector<double> pos = Unwritten(400), load = pos;
    EXPECT_EQ(GetIntermediateCard(well.obj, 0, 1, pos.data(), load.data()), 0);
    EXPECT_EQ(GetIntermediateTimeSlice(well.obj, 0, 1, pos.data(), load.data()), 0);
    EXPECT_EQ(pos[0], kUnwritten);
}

TEST(ExportsResultsTest, MissingBuffersAndHandlesAreRefusedWithALine) {
    SolvedWell well;
    std::vector<double> buffer = Unwritten(1000);
    LogCapture log;
    EXPECT_EQ(GetMeasuredPump(well.obj, nullptr, buffer.data()), 0);
    EXPECT_EQ(GetMeasuredPumpColors(well.obj, nullptr), 0);
    EXPECT_EQ(GetMeasuredRodLoading(well.obj, buffer.data(), buffer.data(), nullptr, buffer.data(), buffer.data()), 0);
    EXPECT_EQ(GetIntermediateCard(well.obj, 0, 1, buffer.data(), nullptr), 0);
    EXPECT_EQ(buffer[0], kUnwritten);
    EXPECT_EQ(log.Count("needs an array"), 4u);
    log.Clear();
    EXPECT_EQ(GetMeasuredDyno(nullptr, buffer.data(), buffer.data()), 0);
    EXPECT_EQ(GetPredRodLoadingCount(nullptr), 0);
    EXPECT_EQ(GetIntermediateTimeSlice(nullptr, 0, 1, buffer.data(), buffer.data()), 0);
    EXPECT_EQ(log.Count("needs a well object"), 3u);
}
