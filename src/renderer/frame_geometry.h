#pragma once
// The frame vertex and the CPU projection core shared by both backends' frame
// builders, with the shape emitters that end in it. One set of code, two profiles,
// so the Vulkan and Direct3D 11 pictures of the same world cannot drift apart.

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "gameplay/vec3.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/sse_lanes.h"

namespace tarvo::renderer {

// 40 bytes: clip position (w = view depth), final colour, uv, texture mode
// (-1 procedural tiles, 0 flat, 1 character texture, 2 HUD glyph coverage).
struct Vertex {
    // Left unset, like a plain float: the builders write every field, and a list grown
    // by resize is then not zero-filled first.
    Vertex() {}

    float position[4];
    float color[3];
    float uv[2];
    float textured;
};
static_assert(sizeof(Vertex) == 40, "the GPU input layouts expect 40-byte vertices");

// Far geometry fades towards this dark blue-green: colour + fog * (fog colour - colour).
inline constexpr gameplay::Color3 kFogColour{0.018f, 0.035f, 0.04f};
// The fog colour in lanes: (r, g, b, 0).
inline __m128 FogColourLanes() { return _mm_setr_ps(kFogColour.r, kFogColour.g, kFogColour.b, 0.0f); }

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

inline gameplay::Vec3 Cross(gameplay::Vec3 a, gameplay::Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
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
    // Inline: every world vertex of the frame comes through here.
    ProjectedPoint ProjectPoint(gameplay::Vec3 p) const {
        const gameplay::Vec3 d = p - cameraPosition;
        const float x = gameplay::Dot(d, right);
        const float y = gameplay::Dot(d, up);
        const float depth = gameplay::Dot(d, forward);
        ProjectedPoint q;
        q.x = x * focal_ / aspect;
        q.y = y * clipFocalY_;
        q.z = depth * farPlane_ / depthRange_ - nearTerm_;
        q.w = depth;
        q.fog = fog_ ? std::clamp((depth - 18.0f) / 78.0f, 0.0f, 0.42f) : 0.0f;
        return q;
    }
    // ProjectPoint for four points at once, lane by lane the same operations.
    struct ProjectedPoints {
        __m128 x, y, z, w, fog;
    };
    ProjectedPoints ProjectPoints(__m128 px, __m128 py, __m128 pz) const {
        const lanes::Vec3x4 d{_mm_sub_ps(px, lanes_.eye.x), _mm_sub_ps(py, lanes_.eye.y), _mm_sub_ps(pz, lanes_.eye.z)};
        const __m128 x = lanes::Dot(d, lanes_.right);
        const __m128 y = lanes::Dot(d, lanes_.up);
        const __m128 depth = lanes::Dot(d, lanes_.forward);
        ProjectedPoints q;
        q.x = _mm_div_ps(_mm_mul_ps(x, lanes_.focal), lanes_.aspect);
        q.y = _mm_mul_ps(y, lanes_.clipFocalY);
        q.z = _mm_sub_ps(_mm_div_ps(_mm_mul_ps(depth, lanes_.farPlane), lanes_.depthRange), lanes_.nearTerm);
        q.w = depth;
        if (fog_) {
            const __m128 t = _mm_div_ps(_mm_sub_ps(depth, _mm_set1_ps(18.0f)), _mm_set1_ps(78.0f));
            q.fog = lanes::Clamp(t, 0.0f, 0.42f);
        } else {
            q.fog = _mm_setzero_ps();
        }
        return q;
    }

    Vertex Finish(const ProjectedPoint& q, gameplay::Color3 colour, float u, float v, float textured) const {
        Vertex out;
        Write(&out, q, FogTarget(colour), u, v, textured);
        return out;
    }

    // One world point projected, with the colour fogged by its depth (Vulkan).
    Vertex Project(gameplay::Vec3 p, gameplay::Color3 colour, float u, float v, float textured) const {
        return Finish(ProjectPoint(p), colour, u, v, textured);
    }
    // Flat light factor of a lit face with normal n, clamped to 0..1.
    float LightFactor(gameplay::Vec3 n) const {
        const float k = profile_.ambient + profile_.key * std::fabs(gameplay::Dot(n, keyLight_)) +
                        profile_.fill * std::max(gameplay::Dot(n, fillLight_), 0.0f);
        return std::clamp(k, 0.0f, 1.0f);
    }

    // A colour made ready for Write: (r, g, b, 0) and its distance to the fog colour.
    struct FogBlend {
        __m128 colour;
        __m128 towardsFog;
    };
    static FogBlend FogTarget(gameplay::Color3 c) {
        const __m128 colour = _mm_setr_ps(c.r, c.g, c.b, 0.0f);
        return {colour, _mm_sub_ps(FogColourLanes(), colour)};
    }
    // Writes one finished vertex: the position as projected, the colour fogged by the
    // point's fog amount (none without fog), then uv and texture mode.
    static void Write(Vertex* out, const ProjectedPoint& q, const FogBlend& c, float u, float v, float textured) {
        const __m128 fogged = _mm_add_ps(c.colour, _mm_mul_ps(_mm_set1_ps(q.fog), c.towardsFog));
        _mm_storeu_ps(out->position, _mm_loadu_ps(&q.x));
        _mm_storeu_ps(out->color, lanes::WithU(fogged, _mm_set_ss(u)));
        out->uv[1] = v;
        out->textured = textured;
    }

    // Writes one vertex from its clip position, its final colour (lanes 0..2) and a tail
    // holding u in lane 0 and v and the texture mode in lanes 2 and 3.
    static void Write(Vertex* out, __m128 position, __m128 colour, __m128 tail) {
        _mm_storeu_ps(out->position, position);
        _mm_storeu_ps(out->color, lanes::WithU(colour, tail));
        _mm_storeh_pi(reinterpret_cast<__m64*>(&out->uv[1]), tail);
    }

    // Grows the list by count vertices for an emitter that writes them in place, and
    // returns the first; Truncate then drops what it did not use.
    Vertex* Extend(size_t count) {
        const size_t at = vertices.size();
        vertices.resize(at + count);
        return vertices.data() + at;
    }
    void Truncate(const Vertex* end) { vertices.resize(static_cast<size_t>(end - vertices.data())); }

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
    // The 12 triangles of a box from its corners: corner i (bit 0 the far x, bit 1 the
    // far y, bit 2 the far z) is lane i % 4 of x[i / 4], y[i / 4] and z[i / 4].
    void BoxFaces(const __m128 (&x)[2], const __m128 (&y)[2], const __m128 (&z)[2], gameplay::Color3 colour);
    // The lit colours (r, g, b, 0) of four faces from their normals' dot products with the
    // key and fill lights: LightFactor, then each channel of k x colour clamped to 0..1.
    void LitColours(__m128 facingKey, __m128 facingFill, gameplay::Color3 colour, __m128* lit) const;
    // The eight corners' clip positions, and each one's fog amount in every lane.
    void ProjectCorners(const __m128 (&x)[2], const __m128 (&y)[2], const __m128 (&z)[2], __m128 (&position)[8],
                        __m128 (&fog)[8]) const;
    // One lit or unlit triangle written at out (three vertices), corners a, b, c projected to qa, qb, qc.
    void WriteTriangle(Vertex* out, const gameplay::Vec3& a, const gameplay::Vec3& b, const gameplay::Vec3& c,
                       const ProjectedPoint& qa, const ProjectedPoint& qb, const ProjectedPoint& qc,
                       gameplay::Color3 colour, bool unlit) const;

    const ProjectionProfile& profile_;
    float focal_ = 1.0f;
    // The projection's per-frame constants, each computed as the formula reads.
    float clipFocalY_ = 1.0f;  // focal length, negated when clip y grows downwards
    float farPlane_ = 1.0f;
    float depthRange_ = 1.0f;  // far - near
    float nearTerm_ = 0.0f;    // near * far / (far - near)
    bool fog_ = false;
    gameplay::Vec3 keyLight_;
    gameplay::Vec3 fillLight_;
    // The same camera, projection and light in every lane, set once at construction (the
    // camera is one value for the whole frame).
    struct Lanes {
        lanes::Vec3x4 eye, right, up, forward, keyLight, fillLight;
        __m128 focal, aspect, clipFocalY, farPlane, depthRange, nearTerm;
        __m128 ambient, key, fill;
    } lanes_;
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
