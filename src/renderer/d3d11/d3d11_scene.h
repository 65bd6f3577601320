#pragma once
// The Direct3D 11 frame's 3D world as one projected triangle list, with the index
// list the indexed draw walks (0, 1, 2, ...). Pure: no device, so tests and the
// benchmark build it directly.

#include <cstdint>
#include <vector>

#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/character_mesh.h"
#include "renderer/frame_geometry.h"
#include "renderer/render_overlay.h"

namespace tarvo::gameplay {
class TrainingSimulation;
}

namespace tarvo::renderer {

// Capacity of the GPU vertex and index buffers, in vertices.
inline constexpr size_t kD3D11VertexLimit = 1000000;

struct D3D11SceneAssets {
    const presentation::ImportedCharacterAsset& character;
    const presentation::ImportedWeaponAsset& weapon;
    // The character texture is bound; without it the bodies are shaded flat grey
    // instead of sampling the empty slot (black).
    bool characterTextureBound = false;
};

// The frame's lists and per-vertex scratch, kept between frames so a frame does not
// allocate once it has grown.
struct D3D11Scene {
    std::vector<Vertex> vertices;
    std::vector<uint32_t> indices;
    CharacterScratch character;
};

// Replaces the scene's lists with the world of one frame for a target of width x
// height pixels: arena, decorations, capture point, bots and the first-person arms and
// rifle. The caller checks the vertex count against kD3D11VertexLimit.
void BuildD3D11Scene(D3D11Scene& scene, const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay,
                     const D3D11SceneAssets& assets, float width, float height);

// Level of detail of one bot's body: the shared budget pick, then no finer than the
// quality allows (low: level 2, medium: level 1), never past the coarsest level.
size_t D3D11CharacterLod(const presentation::ImportedCharacterAsset& character, float distance, int botsAlive,
                         uint32_t quality);

}  // namespace tarvo::renderer
