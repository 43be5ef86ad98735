#pragma once
// Invariants the outside design readers keep, checked after each fuzz input.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "model/taper_list.h"
#include "model/tesk_obj.h"

// Every taper a reader loads has a usable diameter, as the solvers divide by the rod area.
inline void AbortOnUnusableTaper(const TeskObj& obj) {
    const TaperList* tapers = obj.pred.tapers;
    for (int32_t i = 0; tapers != nullptr && i < tapers->count; ++i) {
        if (!(std::isfinite(tapers->items[i].D) && tapers->items[i].D > 0)) std::abort();
    }
}
