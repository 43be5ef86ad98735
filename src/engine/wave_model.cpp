#include "engine/wave_model.h"

#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "common/bounded_text.h"
#include "engine/fea_node.h"
#include "engine/taper_list.h"
#include "engine/tubing_list.h"
#include "engine/work_budget.h"
#include "log/log.h"

WaveModel::WaveModel(const char* cardName, uint8_t diagnostic) : isDiag(diagnostic) {
    CopyBoundedText(name, sizeof name, cardName);
}

WaveModel::~WaveModel() {
    FreeTaperList(tapers);
    tapers = nullptr;
    FreeTubingList(tubings);
    tubings = nullptr;
    std::free(nodes);
    nodes = nullptr;
    FeaNodeCount = 0;
    std::free(nodeLoadMin);
    std::free(nodeLoadMax);
    nodeLoadMin = nodeLoadMax = nullptr;
    FreeCardArrays(this);
    FreeIntermediateCards(&intermediate);
}

void FreeCardArrays(WaveModel* card) {
    std::free(card->surfacePos);
    std::free(card->surfaceLoad);
    std::free(card->pumpPos);
    std::free(card->pumpLoad);
    std::free(card->pumpColors);
    card->surfacePos = card->surfaceLoad = card->pumpPos = card->pumpLoad = nullptr;
    card->pumpColors = nullptr;
}

bool AllocCardArrays(WaveModel* card) {
    FreeCardArrays(card);
    if (card->PointCount < 1) return true;
    const size_t n = static_cast<size_t>(card->PointCount);
    card->surfacePos = static_cast<double*>(std::calloc(n, sizeof(double)));
    card->surfaceLoad = card->surfacePos ? static_cast<double*>(std::calloc(n, sizeof(double))) : nullptr;
    card->pumpPos = card->surfaceLoad ? static_cast<double*>(std::calloc(n, sizeof(double))) : nullptr;
    card->pumpLoad = card->pumpPos ? static_cast<double*>(std::calloc(n, sizeof(double))) : nullptr;
    card->pumpColors = card->pumpLoad ? static_cast<int32_t*>(std::calloc(n, sizeof(int32_t))) : nullptr;
    if (card->pumpColors == nullptr) {
        LogMessage("MALLOC ERROR");
        FreeCardArrays(card);
        return false;
    }
    return true;
}

void ResetNodeLoadLimits(WaveModel* card) {
    if (card->FeaNodeCount <= 0 || card->nodeLoadMax == nullptr || card->nodeLoadMin == nullptr) return;
    for (int32_t i = 0; i <= card->FeaNodeCount; ++i) {
        card->nodeLoadMin[i] = DBL_MAX;
        card->nodeLoadMax[i] = -DBL_MAX;
    }
}

bool FreeIntermediateRows(IntermediateCards* intermediate, double**& table) {
    if (table != nullptr) {
        for (int32_t r = 0; r < intermediate->rowCount; ++r) std::free(table[r]);
        std::free(table);
    }
    table = nullptr;
    return true;
}

bool FreeIntermediateCards(IntermediateCards* intermediate) {
    FreeIntermediateRows(intermediate, intermediate->loadRows);
    FreeIntermediateRows(intermediate, intermediate->posRows);
    intermediate->rowCount = 0;
    return true;
}

namespace {
constexpr size_t kCacheLineBytes = 64;

// A zeroed row that starts on a cache line, so the solvers' wide stores into it never straddle
// two lines; free() releases it like any other row.
double* AllocLineAlignedRow(int32_t columns) {
    const size_t bytes = (static_cast<size_t>(columns) * sizeof(double) + kCacheLineBytes - 1) / kCacheLineBytes *
                         kCacheLineBytes;
    void* row = std::aligned_alloc(kCacheLineBytes, bytes);
    if (row != nullptr) std::memset(row, 0, bytes);
    return static_cast<double*>(row);
}

// Allocates a table of `rows` zeroed rows of `columns` doubles; on failure releases what
// it took and returns null.
double** AllocRowTable(int32_t rows, int32_t columns) {
    double** table = static_cast<double**>(std::calloc(static_cast<size_t>(rows), sizeof(double*)));
    if (table == nullptr) return nullptr;
    for (int32_t r = 0; r < rows; ++r) {
        table[r] = AllocLineAlignedRow(columns);
        if (table[r] == nullptr) {
            for (int32_t k = 0; k < r; ++k) std::free(table[k]);
            std::free(table);
            return nullptr;
        }
    }
    return table;
}
}  // namespace

bool AllocIntermediateCards(IntermediateCards* intermediate, int32_t lastRow, int32_t columns) {
    if (intermediate->enabled != 1) return true;
    if (intermediate->loadRows != nullptr && intermediate->posRows != nullptr &&
        intermediate->rowCount == lastRow + 1 && intermediate->columnCount == columns) {
        return true;
    }
    FreeIntermediateCards(intermediate);
    // Too large for this solve only: the card still asks for tables, and a smaller grid gets them.
    if (!IntermediateTablesFit(static_cast<int64_t>(lastRow) + 1, columns)) return false;
    const bool sizeOk = lastRow >= 0 && lastRow < INT32_MAX && columns > 0;
    double** loads = sizeOk ? AllocRowTable(lastRow + 1, columns) : nullptr;
    double** positions = loads ? AllocRowTable(lastRow + 1, columns) : nullptr;
    if (positions == nullptr) {
        if (loads != nullptr) {
            for (int32_t r = 0; r <= lastRow; ++r) std::free(loads[r]);
            std::free(loads);
        }
        intermediate->enabled = 0;
        intermediate->rowCount = 0;
        return false;
    }
    intermediate->columnCount = columns;
    intermediate->rowCount = lastRow + 1;
    intermediate->loadRows = loads;
    intermediate->posRows = positions;
    return true;
}

void PrintWaveModel(WaveModel* card) {
    TaperList* tapers = card->tapers;
    TubingList* tubings = card->tubings;
    LogMessage("Config: %s", card->name);
    LogMessage("SPM: %0.2f", card->spm);
    LogMessage("Rwf: %0.2f", (tapers != nullptr && tapers->count > 0) ? tapers->Rwf : 0.0);
    LogMessage("  M: %d (FeaNodeCount)", card->FeaNodeCount);
    LogMessage(" DT: %0.6f", card->DT);
    LogMessage(" SG: %0.2f", card->sgFluid);
    LogMessage("  Pump Depth: %0.2f", GetPumpDepth(card));
    LogMessage("Anchor Depth: %0.2f", GetAnchorDepth(card));
    LogMessage("%s Taper:", card->name);
    if (tapers == nullptr) {
        LogMessage("Warning: %s Trying to get a taper before it was set", card->name);
    } else {
        PrintTaperList(tapers);
    }
    if (tubings == nullptr || tubings->count <= 0) {
        LogMessage("Warning: %s Trying to get a Tubing before it was set", card->name);
    }
    if (tubings != nullptr) PrintTubingList(tubings);
}
