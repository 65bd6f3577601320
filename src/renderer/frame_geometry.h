#pragma once
// The world shapes of both backends' frame builders, each ending in the projection core
// (frame_projection.h), and the two builders. Boxes are in box_emitter.cpp, block letters
// in world_text_emitter.cpp, the other shapes in shape_emitters.cpp, the Vulkan HUD in
// hud_emitters.cpp.

#include <emmintrin.h>

#include <span>
#include <string_view>
#include <vector>

#include "gameplay/vec3.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/frame_projection.h"

namespace tarvo::renderer {

// The emitters every world shape goes through.
class FrameBuilder : public FrameProjection {
public:
    using FrameProjection::FrameProjection;

    // 12 lit triangles, faces +z, -z, -x, +x, +y, -y, each (a,b,c) (a,c,d).
    void Box(gameplay::Vec3 center, gameplay::Vec3 size, gameplay::Color3 colour);
    // Box turned about the vertical axis through its center.
    void OrientedBox(gameplay::Vec3 center, gameplay::Vec3 size, float yawDegrees, gameplay::Color3 colour);
    // 8 lit triangles filling the box under a slope rising from y0 at z0 to y1 at z1.
    void RampWedge(gameplay::Vec3 center, gameplay::Vec3 size, gameplay::Color3 colour);
    // 4 lit triangles per segment; fewer than one segment draws nothing.
    void Cylinder(gameplay::Vec3 center, float radius, float height, int segments, gameplay::Color3 colour);
    // Unlit block letters in the plane z, centred on x, reading towards +x.
    void WorldTextZ(std::string_view text, float x, float y, float z, float cell, gameplay::Color3 colour);
    // First-person meshes placed straight in screen space (no lighting, no fog).
    void ImportedViewmodel(std::span<const presentation::ImportedWeaponVertex> mesh, float bobDistance,
                           float muzzleFlash, float aimBlend);

private:
    // The 12 triangles of a box from its corners: corner i (bit 0 the far x, bit 1 the
    // far y, bit 2 the far z) is lane i % 4 of x[i / 4], y[i / 4] and z[i / 4].
    void BoxFaces(const __m128 (&x)[2], const __m128 (&y)[2], const __m128 (&z)[2], gameplay::Color3 colour);
};

// The Vulkan frame builder: world emitters plus the screen-space HUD emitters.
class GeometryBuilder : public FrameBuilder {
public:
    GeometryBuilder(std::vector<Vertex>& vertices, gameplay::Vec3 eye, gameplay::Vec3 viewForward, float aimBlend,
                    float targetWidth, float targetHeight)
        : FrameBuilder(vertices, kVulkanProjection, eye, viewForward, aimBlend, targetWidth, targetHeight) {}

    void WorldTriangle(gameplay::Vec3 a, gameplay::Vec3 b, gameplay::Vec3 c, gameplay::Color3 colour, bool unlit) {
        Triangle(a, b, c, colour, unlit);
    }

    // HUD in pixels of the target, origin top-left, y down; everything at depth 0.
    void HudRect(float x, float y, float w, float h, gameplay::Color3 colour);
    void HudQuad(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                 gameplay::Color3 colour);
    // A segment of thickness t drawn as a quad; shorter than 0.001 draws nothing.
    void HudLine(float ax, float ay, float bx, float by, float t, gameplay::Color3 colour);
    // Shadowed text; size is the font height in tens of pixels (at least 16 px).
    void HudText(std::string_view utf8, float x, float y, float size, gameplay::Color3 colour);
    static float HudTextWidth(std::string_view utf8, float size);
    // Lenient UTF-8: one "?" per byte that does not start a 1-3 byte sequence.
    static std::vector<char32_t> DecodeHudText(std::string_view utf8);

private:
    void HudVertex(float px, float py, gameplay::Color3 colour, float u, float v, float textured);
};

// The Direct3D 11 scene builder over the same core.
class SceneBuilder : public FrameBuilder {
public:
    SceneBuilder(std::vector<Vertex>& vertices, gameplay::Vec3 eye, gameplay::Vec3 viewForward, float aimBlend,
                 float targetWidth, float targetHeight)
        : FrameBuilder(vertices, kDirect3D11Projection, eye, viewForward, aimBlend, targetWidth, targetHeight) {}
};

// Reads the next code point of a HUD string at i and advances i (see DecodeHudText).
char32_t NextHudCodePoint(std::string_view utf8, size_t& i);

}  // namespace tarvo::renderer
