#pragma once
// The imported character's textured triangles for one bot, shared by both backends'
// frame builders. Every corner is turned, placed and projected once for all the
// triangles that share it, each triangle gets one flat light, and the triangles are
// written straight into the frame's list. The work goes four corners or triangles at
// a time with SSE2, each lane doing exactly the operations of the one-at-a-time
// formulas in the same order, so the vertices come out bit for bit the same.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "gameplay/vec3.h"
#include "presentation/imported_character_asset.h"
#include "renderer/frame_projection.h"

namespace tarvo::renderer {

// One corner as every triangle using it writes it: clip position, then u, the fog
// amount, v and texture mode (32 bytes, two loads; v and mode are a Vertex's last 8 bytes).
struct CharacterCorner {
    float position[4];
    float u, fog, v, textured;
};
static_assert(sizeof(CharacterCorner) == 32 && offsetof(CharacterCorner, u) == 16 &&
                  offsetof(CharacterCorner, textured) == 28,
              "a corner is two 16-byte loads and stores: the position, then u, fog, v and mode");

// Per-corner and per-triangle work space of one bot, kept between bots and frames so
// that a frame does not allocate once it has grown.
struct CharacterScratch {
    size_t placed = 0;  // corners placed for the current body
    std::vector<CharacterCorner> corners;
    std::vector<float> points;  // x, y, z, 0 per corner: the points the light is taken from
    std::vector<float> light;   // one factor per triangle
};

// Which points the flat light is taken from, and its model (flat_light.h).
enum class CharacterLight {
    LocalPose,      // Vulkan: the unturned corners, KeyFillFactor with 0.34, 0.5 and 0.16
    PlacedCorners,  // Direct3D 11: the placed corners, CappedKeyFactor
};

// Turns the character-local points by the yaw (its cosine c and sine s), moves them to
// origin and projects them. A corner's uv is its texture coordinate, or (0, 0) past
// the end of uvs.
void PlaceCharacterCorners(const FrameProjection& builder, std::span<const gameplay::Vec3> local, gameplay::Vec3 origin,
                           float c, float s, std::span<const presentation::ImportedTextureCoordinate> uvs,
                           float textured, CharacterLight light, CharacterScratch& scratch);

// Appends every triangle whose three indices name placed corners, in index order, in
// the grey of its flat light (clamped to 0..1, fogged per corner when the builder fogs).
void AppendCharacterTriangles(FrameProjection& builder, std::span<const uint32_t> indices, CharacterLight light,
                              CharacterScratch& scratch);

}  // namespace tarvo::renderer
