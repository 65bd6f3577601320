#pragma once
// The play screen's fixed tables and the geometry of its map plans, free of any
// drawing state so tests check them directly.
#include <d2d1.h>

#include <array>
#include <filesystem>
#include <vector>

#include "gameplay/scene_primitive.h"

namespace tarvo::ui {

inline constexpr int kTrainingMode = 5;

// The six online cards in card order: free for all, the two team deathmatches,
// the duel, elimination, the core mode.
inline constexpr std::array<int, 6> kOnlineCardModes = {6, 0, 1, 3, 2, 4};

// Maximum players by mode.
inline constexpr std::array<const wchar_t*, 7> kModeMaxPlayers = {L"8", L"12", L"4", L"2", L"16", L"1", L"16"};

// Card i of the online grid: two columns 540 apart, rows 176 apart.
D2D_RECT_F OnlineModeCardRect(int card);

// Map card k: 188 wide, 200 apart, from x 1208.
D2D_RECT_F MapCardRect(int map);

// While bot training is chosen only RELAY can be picked.
bool MapSelectable(int map, int selectedMode);

// Whether a plan shows the box: the floor (kind 0) and the outer shell (5, 6) never.
bool PlanShowsBox(const gameplay::ScenePrimitive& box);

// The plan rectangle of an arena box on map card `map`: the 64 x 84 m area around
// the world origin (x to the right, z downward) onto 164 x 134 DIP inside the card.
// Not clipped: a box outside the area reaches outside the card.
D2D_RECT_F PlanRect(int map, const gameplay::ScenePrimitive& box);

// The arena boxes of the three maps, each loaded from its arena file in
// `mapsDirectory`; an empty list for a file that is missing or invalid.
std::array<std::vector<gameplay::ScenePrimitive>, 3> BuildMapPlans(const std::filesystem::path& mapsDirectory);

}  // namespace tarvo::ui
