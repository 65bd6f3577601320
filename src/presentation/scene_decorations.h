#pragma once

#include <span>
#include <vector>

#include "gameplay/scene_primitive.h"

namespace tarvo::presentation {

// Purely visual boxes of the RELAY map (map 0), independent of any arena file.
// Built once; the reference stays valid until exit.
const std::vector<gameplay::ScenePrimitive>& RelayDecorations();

// The decoration boxes of a match map: the relay set for map 0; for any other
// index a set derived from the arena boxes by the map's rule (index 1 and below
// share FOUNDRY's set, 2 and above SKYDOCK's). Each set is built on the first call
// that needs it from the arena passed then, and never changes afterwards.
// UI thread only; the reference stays valid until exit.
const std::vector<gameplay::ScenePrimitive>& MapDecorations(int map, std::span<const gameplay::ScenePrimitive> arena);

// The derived rule itself, for map m (1 FOUNDRY with its ceiling, else the skyline set).
std::vector<gameplay::ScenePrimitive> BuildDerivedDecorations(int map, std::span<const gameplay::ScenePrimitive> arena);

}  // namespace tarvo::presentation
