#pragma once
#include <cstdint>

#include "tesk/tesk.h"

struct RodCatalog;

constexpr int32_t kRodSizeSlots = 15;

// One size a rod material is offered in; slots after the last size are all zero.
struct RodSize {
    double sizeDiameter;  // in, matched by exact equality
    double sizeWeight;    // lb/ft
    int64_t steelFlag;    // 1 in the steel size sets
};

// One material of the catalogue. The name lookup also finds a row by its altName.
struct RodMaterial {
    const char* materialName;
    const char* altName;  // null when the row has none
    int32_t typeNumber;   // -1 to 65, each once
    double modulusMpsi;   // millions of psi
    double tensileStrength;  // psi; -1 when unknown
    double density;          // lb/ft3
    const RodSize* sizes;    // kRodSizeSlots slots, increasing diameter
};

// The constant catalogue: row 0 is "UNKNOWN", the default; the rest follow in byte order of
// their names.
constexpr int32_t kRodMaterialCount = 67;
extern const RodMaterial RodMaterialTable[kRodMaterialCount];

// Material constants of a rod type number: T, E (psi) and R of the material, D and W only when
// the material lists exactly that diameter (else 0). An unknown number gives the "UNKNOWN"
// row. id is empty and L is 0.
TaperBase_t FindRodMaterialByNumber(const RodCatalog& catalog, int32_t typeNumber, double diameter);

// The same for a material name or alternative name (exact, case-sensitive). D and W come from
// the material when it lists the diameter, else from the "UNKNOWN" row when that lists it,
// else 0. A null name finds nothing.
TaperBase_t FindRodMaterialByName(const RodCatalog& catalog, const char* name, double diameter);
