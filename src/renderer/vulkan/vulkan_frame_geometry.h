#pragma once
// The Vulkan frame's one vertex list: the world first, the HUD last, so the HUD is
// drawn over the world by the same draw.

#include <vector>

#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/character_lod.h"
#include "renderer/frame_geometry.h"
#include "renderer/render_overlay.h"

namespace tarvo::gameplay {
class TrainingSimulation;
}

namespace tarvo::renderer {

struct VulkanFrameAssets {
    const presentation::ImportedCharacterAsset& character;
    const presentation::ImportedWeaponAsset& weapon;
    // The sampled image holds the character's colours; without them the character
    // is shaded by body region instead of sampling plain white.
    bool characterTextureBound = false;
    // Hard limit of the GPU vertex buffer, in vertices.
    size_t vertexCapacity = 1048576;
};

// Replaces the list's contents with one frame for a target of width x height pixels.
void BuildVulkanFrame(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay,
                      const VulkanFrameAssets& assets, float width, float height, std::vector<Vertex>& vertices);

// The two halves, for callers that already hold a builder.
void AppendVulkanWorld(GeometryBuilder& builder, const gameplay::TrainingSimulation& simulation,
                       const RenderOverlay& overlay, const VulkanFrameAssets& assets);
void AppendVulkanHud(GeometryBuilder& builder, const gameplay::TrainingSimulation& simulation,
                     const RenderOverlay& overlay, const VulkanFrameAssets& assets);

// Vertices the HUD half may append at most, with the given first-person meshes; the
// world keeps this much free when it decides how finely to draw the characters.
size_t HudVertexHeadroom(size_t firstPersonMeshVertices);

}  // namespace tarvo::renderer
