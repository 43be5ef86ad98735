#include "engine/diag_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/fea_node.h"
#include "engine/fourier.h"
#include "engine/test_well.h"
#include "log_capture.h"
#include "model/measured_card.h"
#include "model/run_design.h"
#include "model/taper_list.h"
#include "model/tesk_obj.h"
#include "model/wave_params.h"
#include "model/well_inputs.h"

namespace {

constexpr int32_t kDiagColor = 0x00FF00FF;

// A measured card on a well object, discretised and ready to diagnose.
struct DiagWell {
    TeskObj obj;
    std::vector<TaperBase_t> tapers;
    double sg;

    DiagWell(std::vector<TaperBase_t> rods, double spm, const SurfaceCard& card, double dampUp = 0.2,
             double dampDn = 0.2, double fluidSg = 1.0)
        : tapers(std::move(rods)), sg(fluidSg) {
        obj.meas.sgFluid = sg;
        EXPECT_TRUE(SetCardTapers(&obj.meas, tapers.data(), static_cast<int32_t>(tapers.size()), sg));
        SetCardDamping(&obj.meas, dampUp, dampDn);
        EXPECT_TRUE(LoadDynArrays(&obj, spm, card.pos.data(), card.load.data(), static_cast<int32_t>(card.pos.size())));
        PrepareCard(&obj.meas);
    }
    bool Solve() { return CalcWaveDiag(GatherDiagSettings(&obj, &obj.meas), &obj.meas); }
    const WaveModel& Card() const { return obj.meas; }
    int n() const { return obj.meas.PointCount; }
    int m() const { return obj.meas.FeaNodeCount; }
    double Rwf() const { return obj.meas.tapers->Rwf; }
    std::vector<double> PumpPos() const { return {Card().pumpPos, Card().pumpPos + n()}; }
    std::vector<double> PumpLoad() const { return {Card().pumpLoad, Card().pumpLoad + n()}; }
};

// Solves a card on the typical string and returns the pump card.
struct PumpCard {
    std::vector<double> pos;
    std::vector<double> load;
};

PumpCard Diagnose(const SurfaceCard& card, double dampUp = 0.2, double dampDn = 0.2, double spm = 8,
                  double length = 5000) {
    DiagWell well(ThreeTaperString(length), spm, card, dampUp, dampDn);
    EXPECT_TRUE(well.Solve());
    return {well.PumpPos(), well.PumpLoad()};
}

double Rwf(double length, double sg = 1.0) { return SteelWeightBelow(ThreeTaperString(length), sg, 0.0); }

void ExpectNear(const std::vector<double>& actual, const std::vector<double>& expected, double tolerance,
                const char* what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i) ASSERT_NEAR(actual[i], expected[i], tolerance) << what << " at " << i;
}

SurfaceCard Rotated(const SurfaceCard& card, size_t k) {
    SurfaceCard out;
    const size_t n = card.pos.size();
    for (size_t i = 0; i < n; ++i) {
        out.pos.push_back(card.pos[(i + k) % n]);
        out.load.push_back(card.load[(i + k) % n]);
    }
    return out;
}

std::vector<double> Rotated(const std::vector<double>& values, size_t k) {
    std::vector<double> out;
    for (size_t i = 0; i < values.size(); ++i) out.push_back(values[(i + k) % values.size()]);
    return out;
}

std::vector<double> Reversed(const std::vector<double>& values) {
    std::vector<double> out;
    const size_t n = values.size();
    for (size_t i = 0; i < n; ++i) out.push_back(values[(n - i) % n]);
    return out;
}

double MaxAbsDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double worst = 0;
    for (size_t i = 0; i < a.size(); ++i) worst = std::max(worst, std::fabs(a[i] - b[i]));
    return worst;
}

}  // namespace

TEST(DiagSolverTest, StaticRodCarriesTheLoadUnchangedToThePump) {
    const double x0 = 20.0;
    const double f0 = 3000.0;
    const auto tapers = ThreeTaperString(5000);
    const double rwf = Rwf(5000);
    SurfaceCard card{std::vector<double>(200, x0), std::vector<double>(200, rwf + f0)};
    DiagWell well(tapers, 8, card, 0.3, 0.1);
    ASSERT_TRUE(well.Solve());
    const double kr = well.Card().tapers->Kr;
    for (int i = 0; i < well.n(); ++i) {
        ASSERT_NEAR(well.Card().pumpLoad[i], f0, 1e-6) << i;
        ASSERT_NEAR(well.Card().pumpPos[i], x0 - f0 / kr, 1e-7) << i;
    }
    // The envelope is the pump load plus the rod hanging below each grid point.
    for (int g = 0; g <= well.m(); ++g) {
        const double depth = g == 0 ? 0.0 : well.Card().nodes[g - 1].depth;
        const double expected = f0 + SteelWeightBelow(tapers, 1.0, depth);
        EXPECT_NEAR(well.Card().nodeLoadMax[g], expected, 1e-6) << g;
        EXPECT_NEAR(well.Card().nodeLoadMin[g], expected, 1e-6) << g;
    }
}

TEST(DiagSolverTest, OffsetOfSurfacePositionsMovesThePumpByTheSameAmount) {
    const SurfaceCard card = SmoothCard(400, 9000);
    SurfaceCard shifted = card;
    for (double& p : shifted.pos) p += 17.5;
    const PumpCard a = Diagnose(card);
    const PumpCard b = Diagnose(shifted);
    std::vector<double> expected = a.pos;
    for (double& p : expected) p += 17.5;
    ExpectNear(b.pos, expected, 1e-9, "positions");
    ExpectNear(b.load, a.load, 1e-6, "loads");
}

TEST(DiagSolverTest, PumpCardIsLinearInTheCardAboveTheRodWeight) {
    const double rwf = Rwf(5000);
    const SurfaceCard a = SmoothCard(400, 9000);
    SurfaceCard b = SmoothCard(400, 7000);
    for (size_t i = 0; i < b.pos.size(); ++i) {
        b.pos[i] = 30 * std::sin(6.283185307179586 * 3 * i / 400.0);
        b.load[i] += 500 * std::cos(6.283185307179586 * 5 * i / 400.0);
    }
    SurfaceCard scaled;
    SurfaceCard sum;
    for (size_t i = 0; i < a.pos.size(); ++i) {
        scaled.pos.push_back(-2.5 * a.pos[i]);
        scaled.load.push_back(rwf - 2.5 * (a.load[i] - rwf));
        sum.pos.push_back(a.pos[i] + b.pos[i]);
        sum.load.push_back(a.load[i] + b.load[i] - rwf);
    }
    const PumpCard pa = Diagnose(a);
    const PumpCard pb = Diagnose(b);
    const PumpCard ps = Diagnose(scaled);
    const PumpCard pab = Diagnose(sum);
    std::vector<double> scaledPos, scaledLoad, sumPos, sumLoad;
    for (size_t i = 0; i < pa.pos.size(); ++i) {
        scaledPos.push_back(-2.5 * pa.pos[i]);
        scaledLoad.push_back(-2.5 * pa.load[i]);
        sumPos.push_back(pa.pos[i] + pb.pos[i]);
        sumLoad.push_back(pa.load[i] + pb.load[i]);
    }
    ExpectNear(ps.pos, scaledPos, 1e-8, "scaled positions");
    ExpectNear(ps.load, scaledLoad, 1e-5, "scaled loads");
    ExpectNear(pab.pos, sumPos, 1e-8, "summed positions");
    ExpectNear(pab.load, sumLoad, 1e-5, "summed loads");
}

TEST(DiagSolverTest, RotatingTheCardRotatesThePumpCardWhenDampingIsEven) {
    const SurfaceCard card = SmoothCard(401, 9000);  // odd: the halves of the stroke differ in length
    const size_t k = 37;
    const PumpCard a = Diagnose(card, 0.25, 0.25);
    const PumpCard b = Diagnose(Rotated(card, k), 0.25, 0.25);
    ExpectNear(b.pos, Rotated(a.pos, k), 1e-9, "positions");
    ExpectNear(b.load, Rotated(a.load, k), 1e-6, "loads");

    // The halves of the stroke are fixed by the point index, so uneven damping does not rotate.
    const PumpCard c = Diagnose(card, 0.5, 0.05);
    const PumpCard d = Diagnose(Rotated(card, k), 0.5, 0.05);
    EXPECT_GT(MaxAbsDifference(d.load, Rotated(c.load, k)), 1.0);
}

TEST(DiagSolverTest, UpstrokeDampingActsOnTheFirstHalfOfThePointsOnly) {
    // Rod at rest over the first half of the points (0..199 of 401), moving over the rest: where
    // the wave reaching the pump saw only the second half, only the downstroke damping counts.
    const int n = 401;
    const SurfaceCard smooth = SmoothCard(n, 6000);
    SurfaceCard card = smooth;
    for (int i = 0; i < n / 2; ++i) {
        card.pos[i] = smooth.pos[n / 2];
        card.load[i] = smooth.load[n / 2];
    }
    const double length = 500;  // 20 nodes: the wave crosses the string in 20 points
    const PumpCard upOnly = Diagnose(card, 0.5, 0.0, 8, length);
    const PumpCard none = Diagnose(card, 0.0, 0.0, 8, length);
    const PumpCard dnOnly = Diagnose(card, 0.0, 0.5, 8, length);
    const PumpCard both = Diagnose(card, 0.5, 0.5, 8, length);
    double dampingEffect = 0;
    for (int i = n / 2 + 25; i < n - 25; ++i) {
        ASSERT_NEAR(upOnly.load[i], none.load[i], 1e-6) << i;
        ASSERT_NEAR(dnOnly.load[i], both.load[i], 1e-6) << i;
        dampingEffect = std::max(dampingEffect, std::fabs(both.load[i] - none.load[i]));
    }
    EXPECT_GT(dampingEffect, 1.0);
}

TEST(DiagSolverTest, ReversingTheCardReversesThePumpCardWithoutDamping) {
    const SurfaceCard card = SmoothCard(400, 9000);
    SurfaceCard reversed{Reversed(card.pos), Reversed(card.load)};
    const PumpCard a = Diagnose(card, 0, 0);
    const PumpCard b = Diagnose(reversed, 0, 0);
    ExpectNear(b.pos, Reversed(a.pos), 1e-9, "positions");
    ExpectNear(b.load, Reversed(a.load), 1e-6, "loads");
}

TEST(DiagSolverTest, SlowPumpingTendsToTheStaticLoadWithErrorShrinkingAsSpeedSquared) {
    const SurfaceCard card = SmoothCard(400, 9000);
    const double rwf = Rwf(5000);
    std::vector<double> errors;
    for (double spm : {1.0, 0.5, 0.25}) {
        const PumpCard pump = Diagnose(card, 0, 0, spm);
        double worst = 0;
        for (size_t i = 0; i < card.load.size(); ++i) worst = std::max(worst, std::fabs(pump.load[i] - (card.load[i] - rwf)));
        errors.push_back(worst);
    }
    EXPECT_LT(errors[0], 100.0);
    EXPECT_GT(errors[2], 1e-6) << "the dynamic part must still be visible above rounding";
    EXPECT_NEAR(errors[1] / errors[0], 0.25, 0.03);
    EXPECT_NEAR(errors[2] / errors[1], 0.25, 0.03);
}

TEST(DiagSolverTest, IntermediateCardsAgreeWithTheCardAndTheEnvelope) {
    DiagWell well(ThreeTaperString(5000), 8, SmoothCard(400, 9000), 0.3, 0.1);
    ASSERT_TRUE(well.Solve());
    const WaveModel& card = well.Card();
    const IntermediateCards& rows = card.intermediate;
    ASSERT_EQ(rows.rowCount, well.m() + 1);
    ASSERT_EQ(rows.columnCount, well.n());
    for (int i = 0; i < well.n(); ++i) {
        ASSERT_EQ(rows.posRows[0][i], card.surfacePos[i]);
        ASSERT_EQ(rows.loadRows[0][i], card.surfaceLoad[i]);
        ASSERT_EQ(rows.posRows[well.m()][i], card.pumpPos[i]);
        ASSERT_NEAR(rows.loadRows[well.m()][i], card.pumpLoad[i], 1e-6);
        ASSERT_EQ(card.pumpColors[i], kDiagColor);
    }
    for (int g = 0; g <= well.m(); ++g) {
        double lo = DBL_MAX, hi = -DBL_MAX;
        for (int i = 0; i < well.n(); ++i) {
            lo = std::min(lo, rows.loadRows[g][i]);
            hi = std::max(hi, rows.loadRows[g][i]);
        }
        const double tolerance = g == well.m() ? 1e-6 : 0.0;
        EXPECT_NEAR(card.nodeLoadMin[g], lo, tolerance) << g;
        EXPECT_NEAR(card.nodeLoadMax[g], hi, tolerance) << g;
    }
    const double w1 = card.tapers->items[0].buoyantWpf;
    EXPECT_DOUBLE_EQ(card.nodeLoadMax[1], card.nodeLoadMax[0] - card.nodes[0].dx * w1);
}

// A NaN sample would spread through the march into every pump point the wave reaches from it,
// so a card holding one is refused before anything is written.
TEST(DiagSolverTest, CardWithANonFiniteSampleIsRefusedBeforeTheMarch) {
    SurfaceCard gapped = SmoothCard(400, 9000);
    gapped.load[100] = std::nan("");
    DiagWell well(ThreeTaperString(2000), 8, gapped);
    std::fill(well.obj.meas.pumpLoad, well.obj.meas.pumpLoad + well.n(), -4.25);
    LogCapture log;
    EXPECT_FALSE(well.Solve());
    EXPECT_TRUE(log.Contains("Error: MEAS surface card point 100 of 400 is not a finite number (position"));
    EXPECT_TRUE(log.Contains("Cannot run CalcWaveDiag() because all fields have not been set."));
    EXPECT_EQ(well.PumpLoad(), std::vector<double>(400, -4.25));
}

TEST(DiagSolverTest, ZeroPumpPositionShiftsPositionsOnly) {
    const SurfaceCard card = SmoothCard(400, 9000);
    DiagWell plain(ThreeTaperString(5000), 8, card);
    DiagWell zeroed(ThreeTaperString(5000), 8, card);
    zeroed.obj.zeroPumpPosition = 1;
    ASSERT_TRUE(plain.Solve());
    ASSERT_TRUE(zeroed.Solve());
    double lowest = DBL_MAX;
    for (int i = 0; i < zeroed.n(); ++i) lowest = std::min(lowest, zeroed.Card().pumpPos[i]);
    EXPECT_EQ(lowest, 0.0);
    ExpectNear(zeroed.PumpLoad(), plain.PumpLoad(), 0.0, "loads");
    for (int g = 0; g <= zeroed.m(); ++g) {
        const double* row = zeroed.Card().intermediate.posRows[g];
        EXPECT_EQ(*std::min_element(row, row + zeroed.n()), 0.0) << g;
    }
}

TEST(DiagSolverTest, SubtractingFluidLoadLowersLoadsBelowTheFirstNode) {
    const SurfaceCard card = SmoothCard(400, 9000);
    DiagWell plain(ThreeTaperString(5000), 8, card, 0.2, 0.2, 0.9);
    DiagWell wet(ThreeTaperString(5000), 8, card, 0.2, 0.2, 0.9);
    wet.obj.subtractFluidLoad = 1;
    ASSERT_TRUE(plain.Solve());
    ASSERT_TRUE(wet.Solve());
    const int m = wet.m();
    const double pumpFluid = wet.Card().nodes[m - 1].fluidLoad;
    ASSERT_GT(pumpFluid, 0.0);
    for (int i = 0; i < wet.n(); ++i) {
        ASSERT_NEAR(wet.Card().pumpLoad[i], plain.Card().pumpLoad[i] - pumpFluid, 1e-6) << i;
    }
    for (int g = 0; g <= 1; ++g) {
        EXPECT_EQ(wet.Card().nodeLoadMax[g], plain.Card().nodeLoadMax[g]);
        EXPECT_EQ(wet.Card().nodeLoadMin[g], plain.Card().nodeLoadMin[g]);
    }
    for (int g = 2; g <= m; ++g) {
        const double fluid = wet.Card().nodes[g - 1].fluidLoad;
        EXPECT_NEAR(wet.Card().nodeLoadMax[g], plain.Card().nodeLoadMax[g] - fluid, 1e-6) << g;
        EXPECT_NEAR(wet.Card().nodeLoadMin[g], plain.Card().nodeLoadMin[g] - fluid, 1e-6) << g;
    }
}

TEST(DiagSolverTest, UpscaledCardKeepsNoIntermediateCards) {
    TeskObj obj;
    const auto tapers = ThreeTaperString(3000);
    ASSERT_TRUE(SetCardTapers(&obj.upsc, tapers.data(), 3, 1.0));
    const SurfaceCard card = SmoothCard(300, 8000);
    ASSERT_TRUE(LoadDynArrays(&obj, 8, card.pos.data(), card.load.data(), 300));
    ASSERT_TRUE(ApplyUpscaledPointCount(&obj, 300));
    ASSERT_TRUE(ApplyFourierCoeffCount(&obj, &obj.fourier->pos, obj.meas.surfacePos, 10));
    ASSERT_TRUE(ApplyFourierCoeffCount(&obj, &obj.fourier->load, obj.meas.surfaceLoad, 10));
    PrepareCard(&obj.upsc);
    ASSERT_TRUE(CalcWaveDiag(GatherDiagSettings(&obj, &obj.upsc), &obj.upsc));
    EXPECT_EQ(obj.upsc.intermediate.loadRows, nullptr);
    EXPECT_EQ(obj.upsc.intermediate.rowCount, 0);
}

TEST(DiagSolverTest, RefusesCardsThatAreNotReady) {
    const SurfaceCard card = SmoothCard(200, 8000);
    struct Case {
        const char* what;
        std::vector<TaperBase_t> tapers;
        int32_t points;
        int32_t nodesPerSection;
        const char* line;
    };
    std::vector<TaperBase_t> zeroDiameter = ThreeTaperString(4000);
    zeroDiameter[2].D = 0;
    zeroDiameter[2].W = 1.63;
    const Case cases[] = {
        {"no tapers", {}, 200, 4, "Cannot run CalcWaveDiag() because all fields have not been set."},
        {"no points", ThreeTaperString(4000), 0, 4, "Cannot run CalcWaveDiag() because all fields have not been set."},
        {"zero-diameter taper", zeroDiameter, 200, 4, "Cannot run CalcWaveDiag() because all fields have not been set."},
        {"only invalid tapers", {SteelTaper(0, 1.0)}, 200, 4, "Cannot run CalcWaveDiag() because all fields have not been set."},
        {"three nodes", {SteelTaper(60, 1.0)}, 200, 3, "ERROR: not enough taper nodes for diagnostic algorithm! (M=3)"},
    };
    for (const Case& c : cases) {
        TeskObj obj;
        obj.meas.nodesPerSection = c.nodesPerSection;
        if (!c.tapers.empty()) {
            ASSERT_TRUE(SetCardTapers(&obj.meas, c.tapers.data(), static_cast<int32_t>(c.tapers.size()), 1.0));
        }
        ASSERT_TRUE(LoadDynArrays(&obj, 8, card.pos.data(), card.load.data(), c.points));
        PrepareCard(&obj.meas);
        if (obj.meas.pumpLoad != nullptr) obj.meas.pumpLoad[0] = -1.0;
        LogCapture log;
        EXPECT_FALSE(CalcWaveDiag(GatherDiagSettings(&obj, &obj.meas), &obj.meas)) << c.what;
        EXPECT_TRUE(log.Contains(c.line)) << c.what;
        if (obj.meas.pumpLoad != nullptr) {
            EXPECT_EQ(obj.meas.pumpLoad[0], -1.0) << c.what << ": nothing written";
        }
    }
}

TEST(DiagSolverTest, FourNodesAreEnough) {
    TeskObj obj;
    const TaperBase_t taper = SteelTaper(60, 1.0);
    ASSERT_TRUE(SetCardTapers(&obj.meas, &taper, 1, 1.0));
    const SurfaceCard card = SmoothCard(200, 500);
    ASSERT_TRUE(LoadDynArrays(&obj, 8, card.pos.data(), card.load.data(), 200));
    PrepareCard(&obj.meas);
    ASSERT_EQ(obj.meas.FeaNodeCount, 4);
    EXPECT_TRUE(CalcWaveDiag(GatherDiagSettings(&obj, &obj.meas), &obj.meas));
}

namespace {

// Everything a diagnostic solve writes, to compare solves bit for bit.
struct DiagOutput {
    std::vector<double> pumpPos, pumpLoad, loadMax, loadMin;
    std::vector<std::vector<double>> posRows, loadRows;
};

DiagOutput Capture(const WaveModel& card) {
    const int n = card.PointCount, grid = card.FeaNodeCount + 1;
    DiagOutput out{{card.pumpPos, card.pumpPos + n},
                   {card.pumpLoad, card.pumpLoad + n},
                   {card.nodeLoadMax, card.nodeLoadMax + grid},
                   {card.nodeLoadMin, card.nodeLoadMin + grid},
                   {},
                   {}};
    for (int g = 0; g < card.intermediate.rowCount; ++g) {
        out.posRows.emplace_back(card.intermediate.posRows[g], card.intermediate.posRows[g] + n);
        out.loadRows.emplace_back(card.intermediate.loadRows[g], card.intermediate.loadRows[g] + n);
    }
    return out;
}

// The march written out as the plain textbook loop: every displacement of every grid point kept,
// one time point at a time, each formula in its written order. Cards without gaps only.
DiagOutput ReferenceDiag(const WaveModel& card, bool subtractFluid, bool zeroPump) {
    const int n = card.PointCount, M = card.FeaNodeCount, W = 2 * M + n - 2, half = n / 2;
    const FeaNode* node = card.nodes;
    const double nan = std::nan("");
    std::vector<std::vector<double>> u(M + 1, std::vector<double>(W + 1, nan));
    DiagOutput out;
    out.loadMax.assign(M + 1, -DBL_MAX);
    out.loadMin.assign(M + 1, DBL_MAX);
    out.posRows.assign(M + 1, std::vector<double>(n, nan));
    out.loadRows.assign(M + 1, std::vector<double>(n, nan));
    out.pumpPos.assign(n, nan);
    out.pumpLoad.assign(n, nan);
    auto widen = [&](int g, double v) {
        if (v > out.loadMax[g]) out.loadMax[g] = v;
        if (v < out.loadMin[g]) out.loadMin[g] = v;
    };
    const double dx0 = node[0].dx, ea0 = node[0].eaAbove, w1 = card.tapers->items[0].buoyantWpf;
    const double rwf = card.tapers->Rwf;
    for (int j = 0; j <= W; ++j) {
        const int i = j % n;
        u[0][j] = card.surfacePos[i] / -12;
        u[1][j] = (card.surfaceLoad[i] - rwf) * (dx0 / ea0) + u[0][j];
        const double f1 = card.surfaceLoad[i] - dx0 * w1;
        widen(0, card.surfaceLoad[i]);
        widen(1, f1);
        if (j < n) {
            out.posRows[0][j] = card.surfacePos[j];
            out.posRows[1][j] = u[1][j] * -12;
            out.loadRows[0][j] = card.surfaceLoad[j];
            out.loadRows[1][j] = f1;
        }
    }
    for (int r = 1; r <= M - 1; ++r) {
        const FeaNode& nd = node[r];
        for (int h = r; h <= W - 1 - r; ++h) {
            const bool up = (h % n) < half;
            const double later = up ? nd.diagUpLater : nd.diagDnLater;
            const double now = up ? nd.diagUpNow : nd.diagDnNow;
            const double cDt = up ? card.cUpDt : card.cDnDt;
            u[r + 1][h] = (((u[r][h + 1] * later + now * u[r][h]) + u[r][h - 1] * nd.diagEarlier) +
                           u[r - 1][h] * nd.diagAbove) / nd.kNode;
            if (h < M - 1 || h >= M - 1 + n) continue;
            const double k = nd.eaNode / nd.dx;
            double f = node[r - 1].eaNode != nd.eaNode
                           ? (u[r + 1][h] - u[r][h]) * k
                           : (u[r + 1][h] * 1.5 - (u[r][h] + u[r][h]) + u[r - 1][h] * 0.5) * k;
            f = f + nd.weightBelow;
            if (subtractFluid) f = f - nd.fluidLoad;
            widen(r + 1, f);
            out.posRows[r + 1][h % n] = ((1 + cDt) * u[r][h + 1] - cDt * u[r][h] + u[r][h - 1] - u[r - 1][h]) * -12;
            out.loadRows[r + 1][h % n] = f;
        }
    }
    const double kp = node[M - 1].eaNode / node[M - 1].dx;
    double minPos = DBL_MAX;
    for (int h = M - 1; h <= M - 2 + n; ++h) {
        const double cDt = (h % n) < half ? card.cUpDt : card.cDnDt;
        const double pos = (((1 + cDt) * u[M - 1][h + 1] - u[M - 1][h] * cDt) + u[M - 1][h - 1] - u[M - 2][h]) * -12;
        double load = (u[M][h] * 1.5 - (u[M - 1][h] + u[M - 1][h]) + u[M - 2][h] * 0.5) * kp;
        if (subtractFluid) load = load - node[M - 1].fluidLoad;
        minPos = std::min(pos, minPos);
        widen(M, load);
        out.pumpPos[h % n] = pos;
        out.pumpLoad[h % n] = load;
    }
    if (zeroPump) {
        for (std::vector<double>& row : out.posRows) {
            const double lo = *std::min_element(row.begin(), row.end());
            for (double& v : row) v -= lo;
        }
        for (double& v : out.pumpPos) v -= minPos;
    }
    return out;
}

::testing::AssertionResult BitIdentical(const std::vector<double>& a, const std::vector<double>& b) {
    if (a.size() != b.size()) return ::testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size();
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::memcmp(&a[i], &b[i], sizeof(double)) != 0) {
            return ::testing::AssertionFailure() << "differ at " << i << ": " << a[i] << " and " << b[i];
        }
    }
    return ::testing::AssertionSuccess();
}

void ExpectBitIdentical(const DiagOutput& a, const DiagOutput& b, const std::string& what) {
    EXPECT_TRUE(BitIdentical(a.pumpPos, b.pumpPos)) << what << ": pump positions";
    EXPECT_TRUE(BitIdentical(a.pumpLoad, b.pumpLoad)) << what << ": pump loads";
    EXPECT_TRUE(BitIdentical(a.loadMax, b.loadMax)) << what << ": load maxima";
    EXPECT_TRUE(BitIdentical(a.loadMin, b.loadMin)) << what << ": load minima";
    ASSERT_EQ(a.posRows.size(), b.posRows.size()) << what;
    for (size_t g = 0; g < a.posRows.size(); ++g) {
        EXPECT_TRUE(BitIdentical(a.posRows[g], b.posRows[g])) << what << ": positions of grid point " << g;
        EXPECT_TRUE(BitIdentical(a.loadRows[g], b.loadRows[g])) << what << ": loads of grid point " << g;
    }
}

}  // namespace

// The solver's loops are vectorised and built for several instruction sets; none of that may change
// a single bit against the formulas evaluated one by one in their written order, so a card's result
// does not depend on the machine that solves it, nor on whether intermediate cards are kept.
TEST(DiagSolverTest, EveryBuildMatchesThePlainLoopBitForBit) {
    struct Case {
        const char* what;
        int points;
        double dampUp, dampDn;
        uint8_t subtractFluid, zeroPump;
    };
    const Case cases[] = {
        {"even card, uneven damping", 400, 0.35, 0.1, 0, 0},
        {"odd card, fluid load taken off", 251, 0.2, 0.2, 1, 0},
        {"short card, positions zeroed", 37, 0.05, 0.5, 1, 1},
        {"card shorter than the widest lanes", 7, 0.3, 0.15, 0, 0},
        {"card of one point", 1, 0.2, 0.2, 1, 0},
        {"card of two points", 2, 0.1, 0.4, 0, 1},
    };
    const struct {
        DiagKernelBuild build;
        const char* name;
    } builds[] = {{DiagKernelBuild::Baseline, "baseline"}, {DiagKernelBuild::Avx2, "AVX2"},
                  {DiagKernelBuild::Avx512, "AVX-512"}};
    for (const Case& c : cases) {
        DiagWell well(ThreeTaperString(4000), 9, SmoothCard(c.points, 8500), c.dampUp, c.dampDn);
        well.obj.subtractFluidLoad = c.subtractFluid;
        well.obj.zeroPumpPosition = c.zeroPump;
        ASSERT_EQ(well.obj.meas.intermediate.enabled, 1);
        ASSERT_TRUE(CalcWaveDiagWithBuild(GatherDiagSettings(&well.obj, &well.obj.meas), &well.obj.meas,
                                          DiagKernelBuild::Baseline)) << c.what;
        const DiagOutput baseline = Capture(well.Card());
        ASSERT_EQ(baseline.posRows.size(), static_cast<size_t>(well.m() + 1)) << c.what;
        ExpectBitIdentical(baseline, ReferenceDiag(well.Card(), c.subtractFluid == 1, c.zeroPump == 1),
                           std::string(c.what) + ", baseline against the plain loop");
        ASSERT_TRUE(CalcWaveDiag(GatherDiagSettings(&well.obj, &well.obj.meas), &well.obj.meas)) << c.what;
        ExpectBitIdentical(Capture(well.Card()), baseline, std::string(c.what) + ", best build against baseline");
        DiagOutput withoutRows = baseline;
        withoutRows.posRows.clear();
        withoutRows.loadRows.clear();
        for (const auto& b : builds) {
            if (!DiagKernelBuildAvailable(b.build)) continue;
            well.obj.meas.intermediate.enabled = 1;
            ASSERT_TRUE(CalcWaveDiagWithBuild(GatherDiagSettings(&well.obj, &well.obj.meas), &well.obj.meas,
                                              b.build)) << c.what;
            ExpectBitIdentical(Capture(well.Card()), baseline, std::string(c.what) + ", " + b.name + " against baseline");
            well.obj.meas.intermediate.enabled = 0;
            ASSERT_TRUE(CalcWaveDiagWithBuild(GatherDiagSettings(&well.obj, &well.obj.meas), &well.obj.meas,
                                              b.build)) << c.what;
            ExpectBitIdentical(Capture(well.Card()), withoutRows,
                               std::string(c.what) + ", " + b.name + " without intermediate cards");
        }
    }
}
