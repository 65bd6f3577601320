#include "renderer/frame_geometry.h"

#include <algorithm>
#include <cmath>

namespace tarvo::renderer {

using gameplay::Color3;
using gameplay::Vec3;

Vec3 TurnByYaw(Vec3 local, float yawDegrees) {
    const float r = yawDegrees * kPi / 180.0f;
    const float c = std::cos(r);
    const float s = std::sin(r);
    return {local.x * c + local.z * s, local.y, local.z * c - local.x * s};
}

Vec3 KeyLight() {
    static const Vec3 light = gameplay::Normalize({-0.32f, 0.88f, -0.25f});
    return light;
}

Vec3 FillLight() {
    static const Vec3 light = gameplay::Normalize({0.55f, 0.30f, 0.72f});
    return light;
}

FrameBuilder::FrameBuilder(std::vector<Vertex>& list, const ProjectionProfile& profile, Vec3 eye, Vec3 viewForward,
                           float aimBlend, float targetWidth, float targetHeight)
    : vertices(list), profile_(profile) {
    cameraPosition = eye;
    forward = viewForward;
    right = gameplay::Normalize({forward.z, 0.0f, -forward.x});
    up = gameplay::Normalize(Cross(forward, right));
    fovDegrees = aimBlend >= 0.0f ? 78.0f - 20.0f * std::min(aimBlend, 1.0f) : 78.0f;
    width = targetWidth;
    height = targetHeight;
    aspect = targetHeight > 0.0f ? targetWidth / targetHeight : profile.fallbackAspect;
    focal_ = 1.0f / std::tan(fovDegrees * kPi / 180.0f * 0.5f);
    // -y * f and y * -f are the same float: negating is exact.
    clipFocalY_ = profile.clipYDown ? -focal_ : focal_;
    farPlane_ = profile.farPlane;
    depthRange_ = profile.farPlane - kNearPlane;
    nearTerm_ = kNearPlane * profile.farPlane / depthRange_;
    fog_ = profile.fog;
    keyLight_ = KeyLight();
    fillLight_ = FillLight();
    using lanes::Splat;
    lanes_ = {Splat(cameraPosition), Splat(right),         Splat(up),        Splat(forward),
              Splat(keyLight_),      Splat(fillLight_),     Splat(focal_),    Splat(aspect),
              Splat(clipFocalY_),    Splat(farPlane_),      Splat(depthRange_), Splat(nearTerm_),
              Splat(profile.ambient), Splat(profile.key),   Splat(profile.fill)};
    vertices.clear();
    if (vertices.capacity() < profile.reserveVertices) vertices.reserve(profile.reserveVertices);
}

void FrameBuilder::WriteTriangle(Vertex* out, const Vec3& a, const Vec3& b, const Vec3& c, const ProjectedPoint& qa,
                                 const ProjectedPoint& qb, const ProjectedPoint& qc, Color3 colour, bool unlit) const {
    const Vec3 n = gameplay::Normalize(Cross(b - a, c - a));
    const float k = unlit ? 1.0f : LightFactor(n);
    // Each channel of k x colour clamped to 0..1, then blended towards the fog per corner.
    const __m128 lit =
        lanes::Clamp(_mm_mul_ps(_mm_setr_ps(colour.r, colour.g, colour.b, 0.0f), _mm_set1_ps(k)), 0.0f, 1.0f);
    const FogBlend blend{lit, _mm_sub_ps(FogColourLanes(), lit)};
    const float mode = unlit ? 0.0f : -1.0f;
    // Planar texture coordinates by the dominant axis of the face.
    const bool floorLike = std::fabs(n.y) > 0.7f;
    const bool wallX = !floorLike && std::fabs(n.x) > 0.7f;
    const auto corner = [&](Vertex* to, const Vec3& p, const ProjectedPoint& q) {
        Write(to, q, blend, wallX ? p.z : p.x, floorLike ? p.z : p.y, mode);
    };
    corner(out, a, qa);
    corner(out + 1, b, qb);
    corner(out + 2, c, qc);
}

void FrameBuilder::LitColours(__m128 facingKey, __m128 facingFill, Color3 colour, __m128* lit) const {
    // LightFactor, then each channel of k x colour clamped to 0..1.
    const __m128 key = _mm_mul_ps(lanes_.key, lanes::Abs(facingKey));
    const __m128 fill = _mm_mul_ps(lanes_.fill, lanes::MaxWith(facingFill, 0.0f));
    const __m128 k = lanes::Clamp(_mm_add_ps(_mm_add_ps(lanes_.ambient, key), fill), 0.0f, 1.0f);
    __m128 r = lanes::Clamp(_mm_mul_ps(lanes::Splat(colour.r), k), 0.0f, 1.0f);
    __m128 g = lanes::Clamp(_mm_mul_ps(lanes::Splat(colour.g), k), 0.0f, 1.0f);
    __m128 b = lanes::Clamp(_mm_mul_ps(lanes::Splat(colour.b), k), 0.0f, 1.0f);
    __m128 none = _mm_setzero_ps();
    _MM_TRANSPOSE4_PS(r, g, b, none);
    lit[0] = r;
    lit[1] = g;
    lit[2] = b;
    lit[3] = none;
}

void FrameBuilder::Triangle(Vec3 a, Vec3 b, Vec3 c, Color3 colour, bool unlit) {
    WriteTriangle(Extend(3), a, b, c, ProjectPoint(a), ProjectPoint(b), ProjectPoint(c), colour, unlit);
}

void FrameBuilder::Triangle(const Vec3 (&p)[3], const ProjectedPoint (&q)[3], Color3 colour, bool unlit) {
    WriteTriangle(Extend(3), p[0], p[1], p[2], q[0], q[1], q[2], colour, unlit);
}

namespace {

using lanes::Splat;
using lanes::Vec3x4;

// The box triangles in emission order, faces +z, -z, -x, +x, +y, -y, each face's
// corners (a, b, c, d) drawn as (a, b, c) and (a, c, d); corner i has bit 0 for x1,
// bit 1 for y1 and bit 2 for z1.
constexpr int kBoxTriangles[12][3] = {
    {4, 5, 7}, {4, 7, 6},  // +z: (x0,y0,z1) (x1,y0,z1) (x1,y1,z1) (x0,y1,z1)
    {1, 0, 2}, {1, 2, 3},  // -z: (x1,y0,z0) (x0,y0,z0) (x0,y1,z0) (x1,y1,z0)
    {0, 4, 6}, {0, 6, 2},  // -x: (x0,y0,z0) (x0,y0,z1) (x0,y1,z1) (x0,y1,z0)
    {5, 1, 3}, {5, 3, 7},  // +x: (x1,y0,z1) (x1,y0,z0) (x1,y1,z0) (x1,y1,z1)
    {2, 6, 7}, {2, 7, 3},  // +y: (x0,y1,z0) (x0,y1,z1) (x1,y1,z1) (x1,y1,z0)
    {0, 1, 5}, {0, 5, 4},  // -y: (x0,y0,z0) (x1,y0,z0) (x1,y0,z1) (x0,y0,z1)
};

// One coordinate of the corners of the box triangles, four triangles per group:
// [group][corner of the triangle], lane l of group g being triangle 4g + l of
// kBoxTriangles. lo holds corners 0..3, hi corners 4..7.
void BoxTriangleCorners(__m128 lo, __m128 hi, __m128 (&out)[3][3]) {
    out[0][0] = _mm_shuffle_ps(hi, lo, _MM_SHUFFLE(1, 1, 0, 0));  // 4 4 1 1
    out[0][1] = _mm_shuffle_ps(hi, lo, _MM_SHUFFLE(2, 0, 3, 1));  // 5 7 0 2
    out[0][2] = _mm_shuffle_ps(hi, lo, _MM_SHUFFLE(3, 2, 2, 3));  // 7 6 2 3
    out[1][0] = _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(1, 1, 0, 0));  // 0 0 5 5
    out[1][1] = _mm_shuffle_ps(hi, lo, _MM_SHUFFLE(3, 1, 2, 0));  // 4 6 1 3
    out[1][2] = _mm_shuffle_ps(_mm_shuffle_ps(hi, lo, _MM_SHUFFLE(2, 2, 2, 2)),
                               _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0));  // 6 2 3 7
    out[2][0] = _mm_shuffle_ps(lo, lo, _MM_SHUFFLE(0, 0, 2, 2));  // 2 2 0 0
    // 6 7 1 5
    out[2][1] = _mm_shuffle_ps(hi, _mm_shuffle_ps(lo, hi, _MM_SHUFFLE(1, 1, 1, 1)), _MM_SHUFFLE(2, 0, 3, 2));
    // 7 3 5 4
    out[2][2] = _mm_shuffle_ps(_mm_shuffle_ps(hi, lo, _MM_SHUFFLE(3, 3, 3, 3)), hi, _MM_SHUFFLE(0, 1, 2, 0));
}

}  // namespace

void FrameBuilder::Box(Vec3 center, Vec3 size, Color3 colour) {
    const Vec3 h = size * 0.5f;
    // center + (+-h) per corner, as x0 = center.x + (-h.x) and x1 = center.x + h.x.
    const float x0 = center.x + -h.x, x1 = center.x + h.x;
    const float y0 = center.y + -h.y, y1 = center.y + h.y;
    const float z0 = center.z + -h.z, z1 = center.z + h.z;
    const __m128 x = _mm_setr_ps(x0, x1, x0, x1);
    const __m128 y = _mm_setr_ps(y0, y0, y1, y1);
    const __m128 zs[2] = {Splat(z0), Splat(z1)};
    const float w = x1 - x0, hgt = y1 - y0, d = z1 - z0;
    if (!std::isfinite(w * hgt * d) || !std::isfinite(x0 + x1 + y0 + y1 + z0 + z1)) {
        BoxFaces({x, x}, {y, y}, zs, colour);
        return;
    }

    // Every edge of an axis-aligned box runs along one axis, so each face's cross
    // product has exact zeros off its axis and, for both triangles of the face, the same
    // product of two extents on it: one normal, light and texture plane per face serve
    // both triangles exactly as they would each come out (FaceNormal, LightFactor).
    // Faces in emission order +z, -z, -x, +x, then +y, -y (twice, to fill four lanes).
    const __m128 across[2] = {_mm_setr_ps(w * hgt, -(w * hgt), -(d * hgt), d * hgt),
                              _mm_setr_ps(d * w, -(w * d), d * w, -(w * d))};
    const __m128 keyAxis[2] = {_mm_setr_ps(keyLight_.z, keyLight_.z, keyLight_.x, keyLight_.x), Splat(keyLight_.y)};
    const __m128 fillAxis[2] = {_mm_setr_ps(fillLight_.z, fillLight_.z, fillLight_.x, fillLight_.x),
                                Splat(fillLight_.y)};
    __m128 lit[8];
    int planar[2];
    for (int half = 0; half < 2; ++half) {
        // (0 + 0) + c^2 under the square root, zero when shorter than 1e-5.
        const __m128 length = _mm_sqrt_ps(_mm_mul_ps(across[half], across[half]));
        const __m128 n = _mm_and_ps(_mm_cmpgt_ps(length, Splat(1e-5f)),
                                    _mm_mul_ps(across[half], _mm_div_ps(Splat(1.0f), length)));
        LitColours(_mm_mul_ps(n, keyAxis[half]), _mm_mul_ps(n, fillAxis[half]), colour, lit + 4 * half);
        // A face with a normal longer than 0.7 along x or y takes its uv from the wall or floor plane.
        planar[half] = _mm_movemask_ps(_mm_cmpgt_ps(lanes::Abs(n), Splat(0.7f)));
    }

    // (u, -, v, -1) of each corner in the three planes: (x, y), (z, y) on walls facing
    // x, (x, z) on floors.
    __m128 inXY[8], inZY[8], inXZ[8];
    for (int half = 0; half < 2; ++half) {
        __m128 a = x, spare = _mm_setzero_ps(), c = y, mode = Splat(-1.0f);
        _MM_TRANSPOSE4_PS(a, spare, c, mode);
        inXY[4 * half] = a, inXY[4 * half + 1] = spare, inXY[4 * half + 2] = c, inXY[4 * half + 3] = mode;
        a = zs[half], spare = _mm_setzero_ps(), c = y, mode = Splat(-1.0f);
        _MM_TRANSPOSE4_PS(a, spare, c, mode);
        inZY[4 * half] = a, inZY[4 * half + 1] = spare, inZY[4 * half + 2] = c, inZY[4 * half + 3] = mode;
        a = x, spare = _mm_setzero_ps(), c = zs[half], mode = Splat(-1.0f);
        _MM_TRANSPOSE4_PS(a, spare, c, mode);
        inXZ[4 * half] = a, inXZ[4 * half + 1] = spare, inXZ[4 * half + 2] = c, inXZ[4 * half + 3] = mode;
    }
    const __m128* plane[6] = {inXY,
                              inXY,
                              (planar[0] & 4) ? inZY : inXY,
                              (planar[0] & 8) ? inZY : inXY,
                              (planar[1] & 1) ? inXZ : inXY,
                              (planar[1] & 2) ? inXZ : inXY};

    __m128 position[8], fog[8];
    ProjectCorners({x, x}, {y, y}, zs, position, fog);
    const __m128 fogColour = FogColourLanes();
    Vertex* out = Extend(36);
    for (int face = 0; face < 6; ++face) {
        const __m128 towardsFog = _mm_sub_ps(fogColour, lit[face]);
        for (int triangle = 2 * face; triangle < 2 * face + 2; ++triangle) {
            for (int at : kBoxTriangles[triangle]) {
                Write(out++, position[at], _mm_add_ps(lit[face], _mm_mul_ps(fog[at], towardsFog)), plane[face][at]);
            }
        }
    }
}

void FrameBuilder::ProjectCorners(const __m128 (&x)[2], const __m128 (&y)[2], const __m128 (&z)[2],
                                  __m128 (&position)[8], __m128 (&fog)[8]) const {
    for (int half = 0; half < 2; ++half) {
        ProjectedPoints q = ProjectPoints(x[half], y[half], z[half]);
        _MM_TRANSPOSE4_PS(q.x, q.y, q.z, q.w);
        position[4 * half] = q.x;
        position[4 * half + 1] = q.y;
        position[4 * half + 2] = q.z;
        position[4 * half + 3] = q.w;
        fog[4 * half] = _mm_shuffle_ps(q.fog, q.fog, 0x00);
        fog[4 * half + 1] = _mm_shuffle_ps(q.fog, q.fog, 0x55);
        fog[4 * half + 2] = _mm_shuffle_ps(q.fog, q.fog, 0xAA);
        fog[4 * half + 3] = _mm_shuffle_ps(q.fog, q.fog, 0xFF);
    }
}

void FrameBuilder::BoxFaces(const __m128 (&x)[2], const __m128 (&y)[2], const __m128 (&z)[2], Color3 colour) {
    // Eight projections serve all 36 vertices.
    __m128 position[8], fog[8];
    ProjectCorners(x, y, z, position, fog);

    __m128 cx[3][3], cy[3][3], cz[3][3];
    BoxTriangleCorners(x[0], x[1], cx);
    BoxTriangleCorners(y[0], y[1], cy);
    BoxTriangleCorners(z[0], z[1], cz);
    const __m128 fogColour = FogColourLanes();
    Vertex* out = Extend(36);
    for (int group = 0; group < 3; ++group) {
        const Vec3x4 a{cx[group][0], cy[group][0], cz[group][0]};
        const Vec3x4 n = lanes::FaceNormal(a, {cx[group][1], cy[group][1], cz[group][1]},
                                           {cx[group][2], cy[group][2], cz[group][2]});
        __m128 lit[4];
        LitColours(lanes::Dot(n, lanes_.keyLight), lanes::Dot(n, lanes_.fillLight), colour, lit);
        // Planar texture coordinates by the dominant axis of the face, and the mode of a
        // lit triangle: (u, -, v, -1) for each corner of each triangle.
        const __m128 floorLike = _mm_cmpgt_ps(lanes::Abs(n.y), Splat(0.7f));
        const __m128 wallX = _mm_andnot_ps(floorLike, _mm_cmpgt_ps(lanes::Abs(n.x), Splat(0.7f)));
        __m128 tail[3][4];
        for (int corner = 0; corner < 3; ++corner) {
            __m128 u = lanes::Select(wallX, cz[group][corner], cx[group][corner]);
            __m128 v = lanes::Select(floorLike, cz[group][corner], cy[group][corner]);
            __m128 spare = _mm_setzero_ps();
            __m128 mode = Splat(-1.0f);
            _MM_TRANSPOSE4_PS(u, spare, v, mode);
            tail[corner][0] = u;
            tail[corner][1] = spare;
            tail[corner][2] = v;
            tail[corner][3] = mode;
        }
        for (int lane = 0; lane < 4; ++lane) {
            const __m128 towardsFog = _mm_sub_ps(fogColour, lit[lane]);
            const int* triangle = kBoxTriangles[4 * group + lane];
            for (int corner = 0; corner < 3; ++corner) {
                const int at = triangle[corner];
                Write(out++, position[at], _mm_add_ps(lit[lane], _mm_mul_ps(fog[at], towardsFog)), tail[corner][lane]);
            }
        }
    }
}

void FrameBuilder::OrientedBox(Vec3 center, Vec3 size, float yawDegrees, Color3 colour) {
    const Vec3 h = size * 0.5f;
    const float r = yawDegrees * kPi / 180.0f;
    const __m128 c = Splat(std::cos(r));
    const __m128 s = Splat(std::sin(r));
    // Local corners (+-h) turned by the yaw: (center.x + lx c + lz s, center.y + ly, center.z + lz c - lx s).
    const __m128 lx = _mm_setr_ps(-h.x, h.x, -h.x, h.x);
    const __m128 ly = _mm_setr_ps(-h.y, -h.y, h.y, h.y);
    const __m128 y = _mm_add_ps(Splat(center.y), ly);
    __m128 xs[2], zs[2];
    for (int half = 0; half < 2; ++half) {
        const __m128 lz = Splat(half == 0 ? -h.z : h.z);
        xs[half] = _mm_add_ps(_mm_add_ps(Splat(center.x), _mm_mul_ps(lx, c)), _mm_mul_ps(lz, s));
        zs[half] = _mm_sub_ps(_mm_add_ps(Splat(center.z), _mm_mul_ps(lz, c)), _mm_mul_ps(lx, s));
    }
    BoxFaces(xs, {y, y}, zs, colour);
}

void FrameBuilder::RampWedge(Vec3 center, Vec3 size, Color3 colour) {
    const Vec3 h = size * 0.5f;
    const float x0 = center.x - h.x, x1 = center.x + h.x;
    const float y0 = center.y - h.y, y1 = center.y + h.y;
    const float z0 = center.z - h.z, z1 = center.z + h.z;
    Triangle({x0, y0, z0}, {x1, y0, z0}, {x1, y1, z1}, colour, false);  // slope
    Triangle({x0, y0, z0}, {x1, y1, z1}, {x0, y1, z1}, colour, false);
    Triangle({x0, y0, z0}, {x0, y0, z1}, {x1, y0, z1}, colour, false);  // underside
    Triangle({x0, y0, z0}, {x1, y0, z1}, {x1, y0, z0}, colour, false);
    Triangle({x0, y0, z0}, {x0, y1, z1}, {x0, y0, z1}, colour, false);  // -x side
    Triangle({x1, y0, z0}, {x1, y0, z1}, {x1, y1, z1}, colour, false);  // +x side
    Triangle({x0, y0, z1}, {x0, y1, z1}, {x1, y1, z1}, colour, false);  // high end
    Triangle({x0, y0, z1}, {x1, y1, z1}, {x1, y0, z1}, colour, false);
}

void FrameBuilder::Cylinder(Vec3 center, float radius, float cylinderHeight, int segments, Color3 colour) {
    if (segments < 1) return;
    const float y0 = center.y - cylinderHeight * 0.5f;
    const float y1 = center.y + cylinderHeight * 0.5f;
    constexpr float kTwoPi = 6.28318548f;
    // A rim point at angle a; segment i's end is segment i + 1's start (the same float
    // angle), so each rim point is placed and projected once.
    struct Rim {
        Vec3 low, high;
        ProjectedPoint lowQ, highQ;
    };
    const auto rim = [&](int i) {
        const float a = kTwoPi * float(i) / float(segments);
        const float x = center.x + std::cos(a) * radius, z = center.z + std::sin(a) * radius;
        Rim r{{x, y0, z}, {x, y1, z}, {}, {}};
        r.lowQ = ProjectPoint(r.low);
        r.highQ = ProjectPoint(r.high);
        return r;
    };
    const Vec3 bottom{center.x, y0, center.z}, top{center.x, y1, center.z};
    const ProjectedPoint bottomQ = ProjectPoint(bottom), topQ = ProjectPoint(top);
    Vertex* out = Extend(size_t(segments) * 12);
    Rim p0 = rim(0);
    for (int i = 0; i < segments; ++i) {
        const Rim p1 = rim(i + 1);
        WriteTriangle(out, p0.low, p1.low, p1.high, p0.lowQ, p1.lowQ, p1.highQ, colour, false);
        WriteTriangle(out + 3, p0.low, p1.high, p0.high, p0.lowQ, p1.highQ, p0.highQ, colour, false);
        WriteTriangle(out + 6, bottom, p1.low, p0.low, bottomQ, p1.lowQ, p0.lowQ, colour, false);
        WriteTriangle(out + 9, top, p0.high, p1.high, topQ, p0.highQ, p1.highQ, colour, false);
        out += 12;
        p0 = p1;
    }
}

namespace {

// 5 x 7 block glyphs from '-' (0x2D) to 'Z' (0x5A); row 0 on top, bit 4 leftmost.
constexpr unsigned char kBlockGlyphs[46][7] = {
    {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00},  // -
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x06},  // .
    {0x01, 0x01, 0x02, 0x04, 0x08, 0x10, 0x10},  // /
    {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E},  // 0
    {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},  // 1
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F},  // 2
    {0x1E, 0x01, 0x01, 0x0E, 0x01, 0x01, 0x1E},  // 3
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02},  // 4
    {0x1F, 0x10, 0x10, 0x1E, 0x01, 0x01, 0x1E},  // 5
    {0x0E, 0x10, 0x10, 0x1E, 0x11, 0x11, 0x0E},  // 6
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},  // 7
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E},  // 8
    {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x01, 0x0E},  // 9
    {0x00, 0x04, 0x04, 0x00, 0x04, 0x04, 0x00},  // :
    {}, {}, {}, {}, {}, {},                      // ; < = > ? @
    {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // A
    {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E},  // B
    {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E},  // C
    {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E},  // D
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F},  // E
    {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10},  // F
    {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F},  // G
    {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11},  // H
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x1F},  // I
    {0x07, 0x02, 0x02, 0x02, 0x12, 0x12, 0x0C},  // J
    {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11},  // K
    {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F},  // L
    {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11},  // M
    {0x11, 0x19, 0x15, 0x13, 0x11, 0x11, 0x11},  // N
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // O
    {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10},  // P
    {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D},  // Q
    {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11},  // R
    {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E},  // S
    {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04},  // T
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E},  // U
    {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04},  // V
    {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A},  // W
    {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11},  // X
    {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04},  // Y
    {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F},  // Z
};

}  // namespace

void FrameBuilder::WorldTextZ(std::string_view text, float x, float y, float z, float cell, Color3 colour) {
    if (text.empty()) return;
    float textWidth = 0.0f;
    for (char ch : text) textWidth += (ch == ' ' ? 4.0f : 6.0f) * cell;
    float pen = x - textWidth * 0.5f;
    const float square = 0.78f * cell;
    for (char raw : text) {
        if (raw == ' ') {
            pen += 4.0f * cell;
            continue;
        }
        char ch = raw;
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
        if (ch >= '-' && ch <= 'Z') {
            const unsigned char* rows = kBlockGlyphs[ch - '-'];
            for (int r = 0; r < 7; ++r) {
                for (int c = 0; c < 5; ++c) {
                    if (!(rows[r] & (0x10 >> c))) continue;
                    const float left = pen + float(c) * cell;
                    const float bottom = y + float(6 - r) * cell;
                    const float rightEdge = left + square;
                    const float top = bottom + square;
                    // The square's four corners projected together, then its two triangles.
                    const Vec3 p[4] = {{left, bottom, z}, {rightEdge, bottom, z}, {rightEdge, top, z}, {left, top, z}};
                    ProjectedPoints q4 = ProjectPoints(_mm_setr_ps(left, rightEdge, rightEdge, left),
                                                       _mm_setr_ps(bottom, bottom, top, top), Splat(z));
                    alignas(16) float fog[4];
                    _mm_store_ps(fog, q4.fog);
                    _MM_TRANSPOSE4_PS(q4.x, q4.y, q4.z, q4.w);
                    const __m128 clip[4] = {q4.x, q4.y, q4.z, q4.w};
                    ProjectedPoint q[4];
                    for (int k = 0; k < 4; ++k) {
                        _mm_storeu_ps(&q[k].x, clip[k]);
                        q[k].fog = fog[k];
                    }
                    Vertex* out = Extend(6);
                    WriteTriangle(out, p[0], p[1], p[2], q[0], q[1], q[2], colour, true);
                    WriteTriangle(out + 3, p[0], p[2], p[3], q[0], q[2], q[3], colour, true);
                }
            }
        }
        pen += 6.0f * cell;
    }
}

void FrameBuilder::ImportedViewmodel(std::span<const presentation::ImportedWeaponVertex> mesh, float bobDistance,
                                     float muzzleFlash, float aimBlend) {
    const float a = aimBlend * 0.05f;
    const float kick = muzzleFlash > 0.0f ? 0.018f : 0.0f;
    const float bob = std::sin(bobDistance * 5.0f) * 0.003f;
    Vertex* out = Extend(mesh.size());
    for (const presentation::ImportedWeaponVertex& vertex : mesh) {
        const Vec3 p = vertex.position;
        const float depth = std::max(p.x * 0.85f + 0.65f - kick, 0.18f);
        const float sx = (0.14f - a - p.x * 0.18f + p.z + bob) / depth;
        const float sy = (p.x * 0.16f + p.y + a - 0.23f + bob - kick * 0.4f) / depth;
        const float px = width * 0.5f + 0.8f * height * sx;
        const float py = height * 0.5f - 0.8f * height * sy;
        out->position[0] = 2.0f * px / width - 1.0f;
        out->position[1] = profile_.clipYDown ? 2.0f * py / height - 1.0f : 1.0f - 2.0f * py / height;
        out->position[2] = depth * 0.01f + 0.01f;
        out->position[3] = 1.0f;
        out->color[0] = vertex.color.r;
        out->color[1] = vertex.color.g;
        out->color[2] = vertex.color.b;
        out->uv[0] = 0.0f;
        out->uv[1] = 0.0f;
        out->textured = 0.0f;
        ++out;
    }
}

}  // namespace tarvo::renderer
