#pragma once
// The frame vertex and the CPU projection core shared by both backends' frame
// builders, with the shape emitters that end in it. One set of code, two profiles,
// so the Vulkan and Direct3D 11 pictures of the same world cannot drift apart.

#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "gameplay/vec3.h"
#include "presentation/imported_weapon_asset.h"

namespace tarvo::renderer {

// 40 bytes: clip position (w = view depth), final colour, uv, texture mode
// (-1 procedural tiles, 0 flat, 1 character texture, 2 HUD glyph coverage).
struct Vertex {
    float position[4];
    float color[3];
    float uv[2];
    float textured;
};
static_assert(sizeof(Vertex) == 40, "the GPU input layouts expect 40-byte vertices");

// Where the two backends differ in projection, lighting and fog.
struct ProjectionProfile {
    float farPlane;          // near is 0.08 m for both
    bool clipYDown;          // Vulkan clip space grows downwards
    float ambient;           // lighting: ambient + key * |N.L1| + fill * max(N.L2, 0)
    float key;
    float fill;
    bool fog;                // only Vulkan fogs on the CPU
    float fallbackAspect;    // when the target height is 0
    size_t reserveVertices;  // reserved once so a normal frame never reallocates
};

inline constexpr ProjectionProfile kVulkanProjection{120.0f, true, 0.29f, 0.56f, 0.18f, true, 16.0f / 9.0f, 800000};
inline constexpr ProjectionProfile kDirect3D11Projection{160.0f, false, 0.31f, 0.56f, 0.17f, false, 1.0f, 900000};

inline constexpr float kNearPlane = 0.08f;
inline constexpr float kPi = 3.14159274f;

gameplay::Vec3 Cross(gameplay::Vec3 a, gameplay::Vec3 b);
// A local offset turned about the vertical axis by yaw degrees (local +z faces (sin, 0, cos)).
gameplay::Vec3 TurnByYaw(gameplay::Vec3 local, float yawDegrees);
// Key and fill light directions (unit length).
gameplay::Vec3 KeyLight();
gameplay::Vec3 FillLight();

// The per-frame camera and the emitters every world shape goes through. It owns
// nothing: it appends to the backend's vertex list for one frame build.
class FrameBuilder {
public:
    // Builds the camera from the eye, the unit view direction, the aim blend and the
    // target size; clears the list (keeping its allocation) and reserves it once.
    FrameBuilder(std::vector<Vertex>& vertices, const ProjectionProfile& profile, gameplay::Vec3 eye,
                 gameplay::Vec3 viewForward, float aimBlend, float targetWidth, float targetHeight);

    std::vector<Vertex>& vertices;
    gameplay::Vec3 cameraPosition;
    gameplay::Vec3 forward;
    gameplay::Vec3 right;
    gameplay::Vec3 up;
    float aspect = 1.0f;
    float width = 0.0f;
    float height = 0.0f;
    float fovDegrees = 78.0f;

    const ProjectionProfile& Profile() const { return profile_; }

    // Clip position of a world point and its fog amount, shareable by every
    // triangle that has the point as a corner.
    struct ProjectedPoint {
        float x, y, z, w;
        float fog;  // 0 (none) .. 0.42
    };
    ProjectedPoint ProjectPoint(gameplay::Vec3 p) const;
    Vertex Finish(const ProjectedPoint& q, gameplay::Color3 colour, float u, float v, float textured) const;

    // One world point projected, with the colour fogged by its depth (Vulkan).
    Vertex Project(gameplay::Vec3 p, gameplay::Color3 colour, float u, float v, float textured) const {
        return Finish(ProjectPoint(p), colour, u, v, textured);
    }
    // Flat light factor of a lit face with normal n, clamped to 0..1.
    float LightFactor(gameplay::Vec3 n) const;

    // The projection core: flat lighting (unless unlit), world-planar uv, fog,
    // three vertices appended in order a, b, c.
    void Triangle(gameplay::Vec3 a, gameplay::Vec3 b, gameplay::Vec3 c, gameplay::Color3 colour, bool unlit);
    // The same for corners already projected.
    void Triangle(const gameplay::Vec3 (&p)[3], const ProjectedPoint (&q)[3], gameplay::Color3 colour, bool unlit);

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
    void BoxFaces(const gameplay::Vec3 (&corners)[8], gameplay::Color3 colour);

    const ProjectionProfile& profile_;
    float focal_ = 1.0f;
    gameplay::Vec3 keyLight_;
    gameplay::Vec3 fillLight_;
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
