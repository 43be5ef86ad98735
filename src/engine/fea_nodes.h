#pragma once
#include <cstdint>

struct WaveModel;

// Divides every valid taper of the card into nodes and rebuilds the node array and both
// load-limit arrays (limits start empty: min at the largest, max at the lowest double).
// Needs DT and the damping constants of a preceding UpdateCDTs. A card whose grid has no
// valid node count is left without nodes and "Invalid Node Count" is logged, except for a grid
// of more than kMaxNodeCount nodes: that count is kept in the card's unbuiltGrid instead.
void BuildFeaNodes(WaveModel* card);

// Refreshes weightBelow and fluidLoad of the card's existing nodes after the fluid specific
// gravity (and with it the taper totals) changed; nothing happens while no nodes exist or a
// rebuild is pending.
void UpdateNodeFluidFields(WaveModel* card);
