// The default prediction of an ordinary well at full fillage and light damping: bounded pump
// loads, cards that converge as the grid is refined, and no sensitivity to rounding of the inputs.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/pred_solver.h"
#include "engine/pred_test_well.h"
#include "log_capture.h"

namespace {

// One 4,800 ft, 1 in steel taper without tubing, driven by the default unit at 10 spm.
std::unique_ptr<TeskObj> PlainWell(double damping, double fo, int32_t nodesPerSection = 10) {
    PredWellInputs inputs;
    inputs.depth = 4800.0;
    inputs.damping = damping;
    inputs.fo = fo;
    inputs.tubing = false;
    inputs.tapers = {SteelTaper(4800.0, 1.0)};
    auto obj = MakePredWell(inputs);
    if (nodesPerSection != obj->pred.nodesPerSection) {
        obj->pred.nodesPerSection = nodesPerSection;
        obj->pred.cdtDirty = obj->pred.nodesDirty = 1;
        PrepareCard(&obj->pred);
    }
    return obj;
}

CardView Solved(TeskObj* obj) {
    LogCapture log;
    EXPECT_TRUE(CalcWavePredNew(GatherPredSettings(obj), &obj->pred));
    EXPECT_FALSE(log.Contains("out of range"));
    return ViewPred(*obj);
}

// RMS difference from a reference card over the reference's range.
double Nrmse(const std::vector<double>& card, const std::vector<double>& reference) {
    double sum = 0;
    const size_t n = card.size();
    for (size_t i = 0; i < n; ++i) {
        const double d = card[i] - AtPhase(reference, static_cast<double>(i) / n);
        sum += d * d;
    }
    return std::sqrt(sum / n) / (MaxOf(reference) - MinOf(reference));
}

struct DampedCase {
    double damping;
    double fo;
};

TEST(PredLightDamping, PumpLoadStaysWithinZeroAndFoAtEveryDamping) {
    const DampedCase cases[] = {{0.0, 1000.0},  {0.0, 2000.0},  {0.01, 4000.0}, {0.05, 7000.0},
                                {0.1, 7000.0},  {0.0, 10000.0}, {0.2, 7000.0},  {0.2, 10000.0}};
    const CardView firm = Solved(PlainWell(0.2, 4000.0).get());
    for (const DampedCase& c : cases) {
        auto obj = PlainWell(c.damping, c.fo);
        const CardView card = Solved(obj.get());
        for (size_t i = 0; i < card.pumpLoad.size(); ++i) {
            ASSERT_GE(card.pumpLoad[i], -1e-6 * c.fo) << c.damping << " " << c.fo << " " << i;
            ASSERT_LE(card.pumpLoad[i], (1 + 1e-6) * c.fo) << c.damping << " " << c.fo << " " << i;
            ASSERT_TRUE(std::isfinite(card.surfaceLoad[i])) << c.damping << " " << c.fo << " " << i;
        }
        // The rods carry their weight and fo, with the dynamic swing of a few fo.
        EXPECT_GT(MinOf(card.surfaceLoad), 0.0) << c.damping << " " << c.fo;
        EXPECT_LT(MaxOf(card.surfaceLoad), obj->pred.tapers->Rwf + 4 * c.fo + 10000.0) << c.damping << " " << c.fo;
        // Whatever the march does inside, the card keeps the host's grid and the unit's motion (the
        // march takes the unit at its own finer steps, so a card point's crank angle may differ
        // from the card's own by rounding).
        EXPECT_EQ(obj->pred.nodesPerSection, 10);
        ASSERT_EQ(card.surfacePos.size(), firm.surfacePos.size());
        for (size_t i = 0; i < card.surfacePos.size(); ++i) {
            ASSERT_NEAR(card.surfacePos[i], firm.surfacePos[i], 1e-9) << c.damping << " " << c.fo << " " << i;
        }
    }
}

TEST(PredLightDamping, DefaultGridAgreesWithAFineGrid) {
    const DampedCase cases[] = {{0.01, 1000.0}, {0.01, 7000.0}, {0.1, 4000.0}};
    for (const DampedCase& c : cases) {
        const CardView coarse = Solved(PlainWell(c.damping, c.fo).get());
        const CardView fine = Solved(PlainWell(c.damping, c.fo, 300).get());
        EXPECT_LT(Nrmse(coarse.surfaceLoad, fine.surfaceLoad), 0.05) << c.damping << " " << c.fo;
        EXPECT_LT(Nrmse(coarse.pumpLoad, fine.pumpLoad), 0.05) << c.damping << " " << c.fo;
        EXPECT_LT(Nrmse(coarse.pumpPos, fine.pumpPos), 0.05) << c.damping << " " << c.fo;
    }
}

TEST(PredLightDamping, TinyChangeOfFoMovesNoLoad) {
    for (const DampedCase& c : {DampedCase{0.0, 2000.0}, DampedCase{0.01, 4000.0}, DampedCase{0.1, 7000.0}}) {
        const CardView a = Solved(PlainWell(c.damping, c.fo).get());
        const CardView b = Solved(PlainWell(c.damping, c.fo * (1 + 1e-9)).get());
        for (size_t i = 0; i < a.pumpLoad.size(); ++i) {
            ASSERT_NEAR(a.pumpLoad[i], b.pumpLoad[i], 1e-4 * c.fo) << c.damping << " " << i;
            ASSERT_NEAR(a.surfaceLoad[i], b.surfaceLoad[i], 1e-4 * c.fo) << c.damping << " " << i;
        }
    }
}

}  // namespace
