// Keeping a pumping cycle's polished-rod positions between solves.
#include "pumpunit/pu_cycle_cache.h"

#include <cstring>
#include <new>

#include "pumpunit/pu_motion.h"

namespace {

bool KeyMatches(const PuCycleCache& cache, const PumpingUnit* pu, int32_t n, double dt) {
    return !cache.positions.empty() && cache.n == n && std::memcmp(&cache.dt, &dt, sizeof dt) == 0 &&
           std::memcmp(&cache.unit, pu, sizeof *pu) == 0;
}

}  // namespace

const double* PuCyclePositions(PuCycleCache* cache, const PumpingUnit* pu, int32_t n, double dt) {
    if (n < 1) return nullptr;
    if (KeyMatches(*cache, pu, n, dt)) return cache->positions.data();
    cache->positions.clear();
    try {
        cache->positions.resize(static_cast<size_t>(n));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    for (int32_t i = 0; i < n; ++i) cache->positions[i] = PuPolishedRodPosition(pu, i, n, dt);
    std::memcpy(&cache->unit, pu, sizeof *pu);
    cache->n = n;
    cache->dt = dt;
    return cache->positions.data();
}
