// The predictive marches run an AVX2 build where the machine has it and a baseline build
// elsewhere: a card must not depend on which one ran, to the last bit. (On a machine without
// AVX2 both solves take the baseline build and the check holds trivially.)
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/legacy_pred_solver.h"
#include "engine/pred_common.h"
#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"

namespace {

// Every value a solve leaves on the card, as raw bytes.
std::vector<unsigned char> SolvedBytes(const PredWellInputs& inputs, bool wide, bool measuredCard) {
    LogCapture quiet;
    AllowPredWideBuild(wide);
    auto obj = MakePredWell(inputs);
    if (measuredCard) DriveByCard(obj.get(), SmoothCard(240, 10000.0).pos, 12);
    WaveModel* pred = &obj->pred;
    const PredSettings settings = GatherPredSettings(obj.get());
    const bool solved = inputs.legacy ? CalcWavePred(settings, pred) : CalcWavePredNew(settings, pred);
    AllowPredWideBuild(true);
    EXPECT_TRUE(solved);
    std::vector<unsigned char> bytes;
    const auto append = [&](const void* data, size_t size) {
        const auto* p = static_cast<const unsigned char*>(data);
        bytes.insert(bytes.end(), p, p + size);
    };
    const size_t n = static_cast<size_t>(pred->PointCount);
    for (const double* card : {pred->surfacePos, pred->surfaceLoad, pred->pumpPos, pred->pumpLoad}) {
        append(card, n * sizeof(double));
    }
    append(pred->pumpColors, n * sizeof(int32_t));
    const size_t points = static_cast<size_t>(pred->FeaNodeCount) + 1;
    append(pred->nodeLoadMin, points * sizeof(double));
    append(pred->nodeLoadMax, points * sizeof(double));
    const IntermediateCards& rows = pred->intermediate;
    EXPECT_GE(rows.rowCount, pred->FeaNodeCount + 1);
    for (int32_t k = 0; k <= pred->FeaNodeCount && k < rows.rowCount; ++k) {
        append(rows.posRows[k], n * sizeof(double));
        append(rows.loadRows[k], n * sizeof(double));
    }
    return bytes;
}

struct BuildCase {
    const char* name;
    bool legacy;
    double damping;  // the lighter, the finer the new solver's march
    double fillage;
    double compression;
    bool measuredCard = false;  // the surface follows a measured card's series, not the unit
};

class PredBuilds : public ::testing::TestWithParam<BuildCase> {};

TEST_P(PredBuilds, WideAndBaselineBuildsGiveTheSameCard) {
    const BuildCase& c = GetParam();
    PredWellInputs inputs;
    inputs.legacy = c.legacy;
    inputs.damping = c.damping;
    inputs.fillage = c.fillage;
    inputs.compression = c.compression;
    const std::vector<unsigned char> baseline = SolvedBytes(inputs, false, c.measuredCard);
    const std::vector<unsigned char> wide = SolvedBytes(inputs, true, c.measuredCard);
    ASSERT_EQ(baseline.size(), wide.size());
    EXPECT_EQ(std::memcmp(baseline.data(), wide.data(), baseline.size()), 0);
}

INSTANTIATE_TEST_SUITE_P(Wells, PredBuilds,
                         ::testing::Values(BuildCase{"NewModerateDamping", false, 0.1, 1.0, 0.0},
                                           BuildCase{"NewLightDampingRefined", false, 0.01, 1.0, 0.0},
                                           BuildCase{"NewUndampedMeasuredCard", false, 0.0, 1.0, 0.0, true},
                                           BuildCase{"NewFluidPound", false, 0.1, 0.6, 3.0},
                                           BuildCase{"Legacy", true, 0.1, 1.0, 0.0},
                                           BuildCase{"LegacyFluidPound", true, 0.05, 0.7, 3.0}),
                         [](const ::testing::TestParamInfo<BuildCase>& info) { return info.param.name; });

}  // namespace
