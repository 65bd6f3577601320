// Boxes: axis-aligned ones by a shorter road that comes out exactly as the general
// face path of turned ones.
#include <cmath>

#include "renderer/frame_geometry.h"

namespace tarvo::renderer {

using gameplay::Color3;
using gameplay::Vec3;

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

// The eight corners' clip positions, and each one's fog amount in every lane.
void ProjectCorners(const FrameProjection& projection, const __m128 (&x)[2], const __m128 (&y)[2],
                    const __m128 (&z)[2], __m128 (&position)[8], __m128 (&fog)[8]) {
    for (int half = 0; half < 2; ++half) {
        FrameProjection::ProjectedPoints q = projection.ProjectPoints(x[half], y[half], z[half]);
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

// The lit colours (r, g, b, 0) of four faces from their normals' dot products with the
// key and fill lights.
void LitColours(const KeyFillLight& light, __m128 facingKey, __m128 facingFill, Color3 colour, __m128* lit) {
    const __m128 k = KeyFillFactor(light, facingKey, facingFill);
    __m128 r = Lit(Splat(colour.r), k);
    __m128 g = Lit(Splat(colour.g), k);
    __m128 b = Lit(Splat(colour.b), k);
    __m128 none = _mm_setzero_ps();
    _MM_TRANSPOSE4_PS(r, g, b, none);
    lit[0] = r;
    lit[1] = g;
    lit[2] = b;
    lit[3] = none;
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
    // both triangles exactly as they would each come out (FaceNormal, KeyFillFactor).
    // Faces in emission order +z, -z, -x, +x, then +y, -y (twice, to fill four lanes).
    const __m128 across[2] = {_mm_setr_ps(w * hgt, -(w * hgt), -(d * hgt), d * hgt),
                              _mm_setr_ps(d * w, -(w * d), d * w, -(w * d))};
    const Vec3 key = KeyDirection(), fill = FillDirection();
    const __m128 keyAxis[2] = {_mm_setr_ps(key.z, key.z, key.x, key.x), Splat(key.y)};
    const __m128 fillAxis[2] = {_mm_setr_ps(fill.z, fill.z, fill.x, fill.x), Splat(fill.y)};
    __m128 lit[8];
    int planar[2];
    for (int half = 0; half < 2; ++half) {
        // (0 + 0) + c^2 under the square root, zero when shorter than 1e-5.
        const __m128 length = _mm_sqrt_ps(_mm_mul_ps(across[half], across[half]));
        const __m128 n = _mm_and_ps(_mm_cmpgt_ps(length, Splat(1e-5f)),
                                    _mm_mul_ps(across[half], _mm_div_ps(Splat(1.0f), length)));
        LitColours(CameraLanes().light, _mm_mul_ps(n, keyAxis[half]), _mm_mul_ps(n, fillAxis[half]), colour,
                   lit + 4 * half);
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
    ProjectCorners(*this, {x, x}, {y, y}, zs, position, fog);
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

void FrameBuilder::BoxFaces(const __m128 (&x)[2], const __m128 (&y)[2], const __m128 (&z)[2], Color3 colour) {
    // Eight projections serve all 36 vertices.
    __m128 position[8], fog[8];
    ProjectCorners(*this, x, y, z, position, fog);

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
        const Lanes& camera = CameraLanes();
        LitColours(camera.light, lanes::Dot(n, camera.keyLight), lanes::Dot(n, camera.fillLight), colour, lit);
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

}  // namespace tarvo::renderer
