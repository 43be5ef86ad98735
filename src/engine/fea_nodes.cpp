#include "engine/fea_nodes.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "common/constants.h"
#include "engine/fea_node.h"
#include "engine/taper_list.h"
#include "engine/time_step.h"
#include "engine/wave_model.h"
#include "log/log.h"

namespace {

constexpr double kSlugPerLbIn2Ft = 4633.0416;  // 144 in2/ft2 * 32.1739 ft/s2

bool IsDiagnostic(const WaveModel* card) { return card->isDiag == 1; }
// Any non-zero byte selects the fixed grid, as any non-zero useLegacyPred selects the legacy solver.
bool IsFixedGrid(const WaveModel* card) { return !IsDiagnostic(card) && card->fixedGrid != 0; }

// Each chooser gives a taper its node count and length, or false when the grid has no count for
// it. `wanted` gets the count the grid asked for, also when that count is beyond kMaxNodeCount.
bool ChooseDiagTaperNodes(const WaveModel* card, int32_t index, TaperItem* taper, double* wanted) {
    const double vDt = taper->waveSpeed * card->DT;
    int32_t count = 0;
    *wanted = std::floor(taper->L / card->diagNodeLength);
    if (!ToGridCount(*wanted, kMaxNodeCount, &count)) return false;
    if (count < card->nodesPerSection) {
        LogMessage("Warning: %s Taper #%d - the desired node length (%0.1fft) resulted in a count (of %d) less than "
                   "the desired count #%d",
                   card->name, index, card->diagNodeLength, count, card->nodesPerSection);
        count = card->nodesPerSection;
    }
    *wanted = count;
    double length = taper->L / count;
    if (length > vDt) {
        LogMessage("WARN: DIAG stability: %s Taper #%d - the nodeLength (%0.1fft) was longer than vDt (%0.1f) "
                   "(current tmpNodeCount: %d)",
                   card->name, index, length, vDt, count);
        *wanted = std::ceil(taper->L / vDt);
        if (!ToGridCount(*wanted, kMaxNodeCount, &count)) return false;
        length = taper->L / count;
    }
    taper->nodeCount = count;
    taper->nodeLength = length;
    return count >= 1;
}

bool ChoosePredTaperNodes(const WaveModel* card, int32_t index, TaperItem* taper, double* wanted) {
    const double vDt = taper->waveSpeed * card->DT;
    int32_t count = card->sectionNodeCount;
    *wanted = count;
    double length = IsFixedGrid(card) ? card->tapers->totalLength / (count - 1) : taper->L / count;
    if (ExceedsBeyondRounding(vDt, length)) {
        LogMessage("WARN: PRED Stability: %s Taper #%d - the nodeLength (%0.1fft) was shorter than vDt (%0.1f) "
                   "(current tmpNodeCount: %d)",
                   card->name, index, length, vDt, count);
        *wanted = std::floor(taper->L / vDt);
        if (!ToGridCount(*wanted, kMaxNodeCount, &count)) return false;
        // A taper shorter than one step's travel still needs a node; the solvers judge the grid.
        if (count < 1) count = 1;
        length = taper->L / count;
    }
    taper->nodeCount = count;
    taper->nodeLength = length;
    return count >= 1;
}

// Gives every taper its node count and length and returns the card's node total, or 0 when
// the grid has no valid count. Invalid tapers get no nodes. Every valid taper is looked at,
// so each one whose grid fails reports its own warning. A total beyond kMaxNodeCount is kept
// in unbuiltGrid.
int32_t ChooseNodeCounts(WaveModel* card) {
    TaperList* list = card->tapers;
    double wantedTotal = 0;
    bool anyValid = false;
    bool allChosen = true;
    for (int32_t i = 0; i < list->count; ++i) {
        TaperItem* taper = &list->items[i];
        taper->nodeCount = 0;
        taper->nodeLength = 0;
        if (!IsValidTaper(*taper)) continue;
        anyValid = true;
        double wanted = 0;
        const bool chosen = IsDiagnostic(card) ? ChooseDiagTaperNodes(card, i, taper, &wanted)
                                               : ChoosePredTaperNodes(card, i, taper, &wanted);
        allChosen = chosen && allChosen;
        wantedTotal += chosen ? taper->nodeCount : wanted;
    }
    if (IsFixedGrid(card)) wantedTotal = card->sectionNodeCount;
    if (wantedTotal > kMaxNodeCount && std::isfinite(wantedTotal)) card->unbuiltGrid.nodes = wantedTotal;
    if (!anyValid || !allChosen || !(wantedTotal >= 1 && wantedTotal <= kMaxNodeCount)) return 0;
    return static_cast<int32_t>(wantedTotal);
}

// Names the taper of each node in turn: on the free grids taper i owns its nodeCount nodes;
// on the fixed grid, whose nodes ignore taper boundaries, the taper is looked up by depth.
struct NodeOwnerWalk {
    int32_t taper = 0;
    int32_t used = 0;
    int32_t previousOwn = -1;
};

struct NodeTapers {
    int32_t up;
    int32_t own;
};

int32_t NextCountOwner(const TaperList* list, NodeOwnerWalk* walk) {
    while (walk->taper < list->count && walk->used >= list->items[walk->taper].nodeCount) {
        ++walk->taper;
        walk->used = 0;
    }
    if (walk->taper >= list->count) return -1;
    ++walk->used;
    return walk->taper;
}

// The top of node j is the lower end of node j-1; both come from the nodes already placed.
NodeTapers NextNodeTapers(const WaveModel* card, const FeaNode* nodes, int32_t j, NodeOwnerWalk* walk) {
    if (IsFixedGrid(card)) {
        const double top = j > 0 ? nodes[j - 1].depth : 0.0;
        const double dxPrev = j > 0 ? nodes[j - 1].dx : 0.0;
        return {GetRodSectionIndex(card->tapers, (top - dxPrev) + dxPrev), GetRodSectionIndex(card->tapers, top + dxPrev)};
    }
    const int32_t own = NextCountOwner(card->tapers, walk);
    const int32_t up = walk->previousOwn >= 0 ? walk->previousOwn : own;
    walk->previousOwn = own;
    return {up, own};
}

void FillFluidFields(const WaveModel* card, const TaperItem& own, FeaNode* node) {
    node->weightBelow = CalcBuoyantWeightBelow(card->tapers, node->depth);
    node->fluidLoad = card->sgFluid * kFluidGradientPsiPerFt * node->depth * own.area;
}

// Share of the node above (f) and of this node (e) in the lumped mass of the legacy solver:
// even inside a taper, by the part of the node that lies in the taper above across a change.
void LegacyMassSplit(const TaperItem& own, const FeaNode& node, bool sameTaper, double* f, double* e) {
    if (sameTaper) {
        *f = *e = 0.5;
        return;
    }
    *f = (node.depth - own.top) / node.dx;
    if (*f < 0) *f = (own.top - node.depth) / node.dx;
    *e = 1 - *f;
    if (*e < 0.001) {
        *f = 1;
        *e = 0;
    } else if (*e > 0.999) {
        *f = 0;
        *e = 1;
    } else if (*f < 0.001) {
        *f = 0;
        *e = 1;
    } else if (*f > 0.999) {
        *f = 1;
        *e = 0;
    }
}

void FillNodeFields(const WaveModel* card, FeaNode* nodes, int32_t j, const TaperItem& up, const TaperItem& own,
                    bool sameTaper) {
    FeaNode& node = nodes[j];
    const double dt = card->DT;
    const double dx = node.dx;
    const double dxUp = j > 0 ? nodes[j - 1].dx : dx;
    const double kAbove = up.EA / dxUp;
    const double massDt2 = ((dxUp + dx) * 0.5 / (dt * dt)) *
                           ((up.R * up.area / kSlugPerLbIn2Ft + own.R * own.area / kSlugPerLbIn2Ft) * 0.5);
    const double wpfAbove = (up.area / kSquareInchesPerSquareFoot) * up.R;

    node.kNode = own.EA / dx;
    node.areaFt2 = own.area / kSquareInchesPerSquareFoot;
    node.modulusPsf = own.E * kSquareInchesPerSquareFoot;
    node.density = own.R;
    node.eaNode = own.EA;
    node.eaAbove = up.EA;
    node.wpfNode = own.R * own.area / kSquareInchesPerSquareFoot;
    node.nodeCUpDt = dt * card->cUp;
    node.nodeCDnDt = dt * card->cDn;
    double f = 0;
    double e = 0;
    LegacyMassSplit(own, node, sameTaper, &f, &e);
    const double span = f * dxUp + e * dx;
    node.legacyMass = span * span / (dt * dt) * (1 / kGravity) * (wpfAbove * e + node.wpfNode * f);
    node.diagUpLater = (card->cUpDt + 1) * massDt2;
    node.diagUpNow = -((card->cUpDt + 2) * massDt2 - node.kNode - kAbove);
    node.diagDnLater = (card->cDnDt + 1) * massDt2;
    node.diagDnNow = -((card->cDnDt + 2) * massDt2 - node.kNode - kAbove);
    node.diagEarlier = massDt2;
    node.diagAbove = -kAbove;
    FillFluidFields(card, own, &node);
    nodes[j > 0 ? j - 1 : 0].areaFt2 = up.area / kSquareInchesPerSquareFoot;
}

void LogStability(const WaveModel* card, int32_t j, double dx, double vDt) {
    if (IsDiagnostic(card)) {
        if (dx > vDt) LogMessage("Error: Diagnostic stability criterion not met node[%d]->DX:%f [not]> vDt:%f", j, dx, vDt);
    } else if (ExceedsBeyondRounding(vDt, dx)) {
        LogMessage("Error: Predictive stability criterion not met node[%d]->DX:%f [not]> vDt:%f", j, dx, vDt);
    }
}

bool FillFirstPass(const WaveModel* card, FeaNode* nodes, int32_t nodeCount) {
    const TaperItem* items = card->tapers->items;
    NodeOwnerWalk walk;
    double top = 0;
    for (int32_t j = 0; j < nodeCount; ++j) {
        const NodeTapers tapers = NextNodeTapers(card, nodes, j, &walk);
        if (tapers.up < 0 || tapers.own < 0) return false;
        const TaperItem& own = items[tapers.own];
        FeaNode& node = nodes[j];
        node.dx = own.nodeLength;
        node.depth = top + node.dx;
        top = node.depth;
        LogStability(card, j, node.dx, own.waveSpeed * card->DT);
        FillNodeFields(card, nodes, j, items[tapers.up], own, tapers.up == tapers.own);
    }
    return true;
}

// Coefficients of the predictive solver, from the material of each pair of neighbouring nodes.
void FillSecondPass(const WaveModel* card, FeaNode* nodes, int32_t nodeCount) {
    const double dt = card->DT;
    const double hpl = card->tapers->halfPiOverLength;
    for (int32_t k = 1; k < nodeCount; ++k) {
        const FeaNode& p = nodes[k - 1];
        FeaNode& q = nodes[k];
        const double aP = std::sqrt(p.modulusPsf * kGravity / p.density);
        const double aQ = std::sqrt(q.modulusPsf * kGravity / q.density);
        q.predMass = p.dx * p.areaFt2 * p.modulusPsf / (aP * (2 * aP) * (dt * dt)) +
                     q.dx * q.areaFt2 * q.modulusPsf / (aQ * (2 * aQ) * (dt * dt));
        q.predDamp = p.dx * p.areaFt2 * p.modulusPsf * (hpl / dt) / (2 * aP) +
                     q.dx * q.areaFt2 * q.modulusPsf * (hpl / dt) / (2 * aQ);
        q.predKAbove = p.modulusPsf * p.areaFt2 / p.dx;
        q.predKNode = q.modulusPsf * q.areaFt2 / q.dx;
    }
}

double* NewEmptyLimits(size_t count, double start) {
    double* limits = static_cast<double*>(std::malloc(count * sizeof(double)));
    if (limits != nullptr) {
        for (size_t i = 0; i < count; ++i) limits[i] = start;
    }
    return limits;
}

// Swaps in the new node array and limits together, so that FeaNodeCount always describes them.
void PublishNodes(WaveModel* card, FeaNode* nodes, double* loadMax, double* loadMin, int32_t nodeCount) {
    std::free(card->nodeLoadMax);
    std::free(card->nodeLoadMin);
    card->nodeLoadMax = loadMax;
    card->nodeLoadMin = loadMin;
    card->nodes = nodes;
    card->FeaNodeCount = nodeCount;
}

}  // namespace

void BuildFeaNodes(WaveModel* card) {
    TaperList* list = card->tapers;
    if (list == nullptr || list->items == nullptr) {
        LogMessage("Warning: %s BuildFeaNodes() was called before Rod Taper was set", card->name);
        return;
    }
    std::free(card->nodes);
    card->nodes = nullptr;
    card->unbuiltGrid.nodes = 0;
    if (std::strcmp(card->name, "UPSC") == 0 && card->DT == 0) {
        LogMessage("Warning: %s DT is 0.0", card->name);
        return;
    }
    const int32_t nodeCount = ChooseNodeCounts(card);
    if (nodeCount <= 0) {
        // A grid too large to build is reported by the run, with its work against the budget.
        if (card->unbuiltGrid.nodes == 0) LogMessage("Invalid Node Count");
        return;
    }
    const size_t limitCount = static_cast<size_t>(nodeCount) + 1;
    FeaNode* nodes = static_cast<FeaNode*>(std::calloc(static_cast<size_t>(nodeCount), sizeof(FeaNode)));
    double* loadMax = NewEmptyLimits(limitCount, -DBL_MAX);
    double* loadMin = NewEmptyLimits(limitCount, DBL_MAX);
    bool built = nodes != nullptr && loadMax != nullptr && loadMin != nullptr;
    if (!built) {
        LogMessage("MALLOC ERROR");
    } else if (!FillFirstPass(card, nodes, nodeCount)) {
        LogMessage("Invalid Node Count");
        built = false;
    }
    if (!built) {
        std::free(nodes);
        std::free(loadMax);
        std::free(loadMin);
        return;
    }
    FillSecondPass(card, nodes, nodeCount);
    PublishNodes(card, nodes, loadMax, loadMin, nodeCount);
}

void UpdateNodeFluidFields(WaveModel* card) {
    if (card->nodes == nullptr || card->tapers == nullptr || card->nodesDirty == 1) return;
    NodeOwnerWalk walk;
    for (int32_t j = 0; j < card->FeaNodeCount; ++j) {
        const NodeTapers tapers = NextNodeTapers(card, card->nodes, j, &walk);
        if (tapers.own < 0) return;
        FillFluidFields(card, card->tapers->items[tapers.own], &card->nodes[j]);
    }
}
