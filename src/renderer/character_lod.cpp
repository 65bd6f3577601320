#include "renderer/character_lod.h"

#include <algorithm>
#include <cstdint>

namespace tarvo::renderer {

size_t CharacterLodForBudget(const presentation::ImportedCharacterAsset& character, float distance, int botsAlive) {
    constexpr uint32_t kCharacterVertexBudget = 650000;
    size_t lod = character.LodForDistance(distance);
    const uint32_t budget = kCharacterVertexBudget / static_cast<uint32_t>(std::max(botsAlive, 1));
    const uint32_t limit = budget / 3;
    while (lod + 1 < character.LodCount() && character.TriangleCount(lod) > limit) ++lod;
    return lod;
}

}  // namespace tarvo::renderer
