#pragma once
// The frame vertex and the CPU projection core of both backends' frame builders: the
// per-frame camera, projection, flat lighting and fog, and the writing of finished
// vertices. One set of code, two profiles, so the Vulkan and Direct3D 11 pictures of the
// same world cannot drift apart. The shapes that end in it are in frame_geometry.h.

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "gameplay/vec3.h"
#include "renderer/flat_light.h"
#include "renderer/sse_lanes.h"

namespace tarvo::renderer {

// 40 bytes: clip position (w = view depth), final colour, uv, texture mode
// (-1 procedural tiles, 0 flat, 1 character texture, 2 HUD glyph coverage).
struct Vertex {
    // Deliberately leaves every field unset, even for Vertex{} and vector::resize: a frame
    // appends tens of thousands of vertices, and Extend grows the list without first
    // zero-filling what the emitter then writes. Every emitter writes all ten floats of
    // each vertex it appends (the frame digest test fills the list with NaNs first).
    Vertex() {}

    float position[4];
    float color[3];
    float uv[2];
    float textured;
};
static_assert(sizeof(Vertex) == 40, "the GPU input layouts expect 40-byte vertices");
// Write stores 16 bytes at color (r, g, b, u) and 8 at uv[1] (v, mode).
static_assert(offsetof(Vertex, color) == 16 && offsetof(Vertex, uv) == 28 && offsetof(Vertex, textured) == 36,
              "the vertex stores span color and uv[0], then uv[1] and textured");

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

// The per-frame camera and what every world vertex goes through. It owns nothing: it
// appends to the backend's vertex list for one frame build.
class FrameProjection {
public:
    // Builds the camera from the eye, the unit view direction, the aim blend and the
    // target size; clears the list (keeping its allocation) and reserves it once.
    FrameProjection(std::vector<Vertex>& vertices, const ProjectionProfile& profile, gameplay::Vec3 eye,
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

protected:
    // One lit or unlit triangle written at out (three vertices), corners a, b, c projected
    // to qa, qb, qc. Inline: the one-at-a-time shapes write every triangle through here.
    void WriteTriangle(Vertex* out, const gameplay::Vec3& a, const gameplay::Vec3& b, const gameplay::Vec3& c,
                       const ProjectedPoint& qa, const ProjectedPoint& qb, const ProjectedPoint& qc,
                       gameplay::Color3 colour, bool unlit) const {
        const gameplay::Vec3 n = gameplay::Normalize(Cross(b - a, c - a));
        const __m128 k = unlit ? lanes::Splat(1.0f)
                               : KeyFillFactor(lanes_.light, lanes::Splat(gameplay::Dot(n, keyLight_)),
                                               lanes::Splat(gameplay::Dot(n, fillLight_)));
        // Lit once per triangle, then blended towards the fog per corner.
        const __m128 lit = Lit(_mm_setr_ps(colour.r, colour.g, colour.b, 0.0f), k);
        const FogBlend blend{lit, _mm_sub_ps(FogColourLanes(), lit)};
        const float mode = unlit ? 0.0f : -1.0f;
        // Planar texture coordinates by the dominant axis of the face.
        const bool floorLike = std::fabs(n.y) > 0.7f;
        const bool wallX = !floorLike && std::fabs(n.x) > 0.7f;
        const auto corner = [&](Vertex* to, const gameplay::Vec3& p, const ProjectedPoint& q) {
            Write(to, q, blend, wallX ? p.z : p.x, floorLike ? p.z : p.y, mode);
        };
        corner(out, a, qa);
        corner(out + 1, b, qb);
        corner(out + 2, c, qc);
    }

    // The same camera, projection and light in every lane, set once at construction (the
    // camera is one value for the whole frame).
    struct Lanes {
        lanes::Vec3x4 eye, right, up, forward, keyLight, fillLight;
        __m128 focal, aspect, clipFocalY, farPlane, depthRange, nearTerm;
        KeyFillLight light;
    };
    const Lanes& CameraLanes() const { return lanes_; }
    gameplay::Vec3 KeyDirection() const { return keyLight_; }
    gameplay::Vec3 FillDirection() const { return fillLight_; }

private:
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
    Lanes lanes_;
};

// ProjectedPoint is read and written as four floats x, y, z, w.
static_assert(offsetof(FrameProjection::ProjectedPoint, y) == 4 && offsetof(FrameProjection::ProjectedPoint, w) == 12,
              "a projected point's clip position is one 16-byte load or store");

}  // namespace tarvo::renderer
