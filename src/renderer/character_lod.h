#pragma once

#include <cstddef>

#include "presentation/imported_character_asset.h"

namespace tarvo::renderer {

// Level of detail for one bot, shared by both backends' frame builders: the distance
// pick, then coarser while the triangle count is above the bot's share of the
// 650,000-vertex budget among the living bots (never past the coarsest level).
size_t CharacterLodForBudget(const presentation::ImportedCharacterAsset& character, float distance, int botsAlive);

}  // namespace tarvo::renderer
