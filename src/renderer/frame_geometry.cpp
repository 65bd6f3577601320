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
    vertices.clear();
    if (vertices.capacity() < profile.reserveVertices) vertices.reserve(profile.reserveVertices);
}

void FrameBuilder::Triangle(Vec3 a, Vec3 b, Vec3 c, Color3 colour, bool unlit) {
    const Vec3 p[3] = {a, b, c};
    const ProjectedPoint q[3] = {ProjectPoint(a), ProjectPoint(b), ProjectPoint(c)};
    Triangle(p, q, colour, unlit);
}

void FrameBuilder::Triangle(const Vec3 (&p)[3], const ProjectedPoint (&q)[3], Color3 colour, bool unlit) {
    WriteTriangle(Extend(3), p, q, colour, unlit);
}

void FrameBuilder::WriteTriangle(Vertex* out, const Vec3 (&p)[3], const ProjectedPoint (&q)[3], Color3 colour,
                                 bool unlit) const {
    const Vec3 n = gameplay::Normalize(Cross(p[1] - p[0], p[2] - p[0]));
    const float k = unlit ? 1.0f : LightFactor(n);
    const FogBlend lit = FogTarget({std::clamp(colour.r * k, 0.0f, 1.0f), std::clamp(colour.g * k, 0.0f, 1.0f),
                                    std::clamp(colour.b * k, 0.0f, 1.0f)});
    const float mode = unlit ? 0.0f : -1.0f;
    // Planar texture coordinates by the dominant axis of the face.
    const bool floorLike = std::fabs(n.y) > 0.7f;
    const bool wallX = !floorLike && std::fabs(n.x) > 0.7f;
    for (int i = 0; i < 3; ++i) {
        const float u = wallX ? p[i].z : p[i].x;
        const float v = floorLike ? p[i].z : p[i].y;
        Write(out + i, q[i], lit, u, v, mode);
    }
}

namespace {

// Corner i of a box: bit 0 picks x1, bit 1 y1, bit 2 z1.
constexpr int kBoxFaces[6][4] = {
    {4, 5, 7, 6},  // +z: (x0,y0,z1) (x1,y0,z1) (x1,y1,z1) (x0,y1,z1)
    {1, 0, 2, 3},  // -z: (x1,y0,z0) (x0,y0,z0) (x0,y1,z0) (x1,y1,z0)
    {0, 4, 6, 2},  // -x: (x0,y0,z0) (x0,y0,z1) (x0,y1,z1) (x0,y1,z0)
    {5, 1, 3, 7},  // +x: (x1,y0,z1) (x1,y0,z0) (x1,y1,z0) (x1,y1,z1)
    {2, 6, 7, 3},  // +y: (x0,y1,z0) (x0,y1,z1) (x1,y1,z1) (x1,y1,z0)
    {0, 1, 5, 4},  // -y: (x0,y0,z0) (x1,y0,z0) (x1,y0,z1) (x0,y0,z1)
};

}  // namespace

void FrameBuilder::Box(Vec3 center, Vec3 size, Color3 colour) {
    const Vec3 h = size * 0.5f;
    Vec3 corners[8];
    for (int i = 0; i < 8; ++i) {
        corners[i] = {center.x + ((i & 1) ? h.x : -h.x), center.y + ((i & 2) ? h.y : -h.y),
                      center.z + ((i & 4) ? h.z : -h.z)};
    }
    BoxFaces(corners, colour);
}

void FrameBuilder::BoxFaces(const Vec3 (&corners)[8], Color3 colour) {
    // Eight projections serve all 36 vertices.
    ProjectedPoint projected[8];
    for (int i = 0; i < 8; ++i) projected[i] = ProjectPoint(corners[i]);
    Vertex* out = Extend(36);
    for (const auto& f : kBoxFaces) {
        const Vec3 first[3] = {corners[f[0]], corners[f[1]], corners[f[2]]};
        const ProjectedPoint firstQ[3] = {projected[f[0]], projected[f[1]], projected[f[2]]};
        WriteTriangle(out, first, firstQ, colour, false);
        const Vec3 second[3] = {corners[f[0]], corners[f[2]], corners[f[3]]};
        const ProjectedPoint secondQ[3] = {projected[f[0]], projected[f[2]], projected[f[3]]};
        WriteTriangle(out + 3, second, secondQ, colour, false);
        out += 6;
    }
}

void FrameBuilder::OrientedBox(Vec3 center, Vec3 size, float yawDegrees, Color3 colour) {
    const Vec3 h = size * 0.5f;
    const float r = yawDegrees * kPi / 180.0f;
    const float c = std::cos(r);
    const float s = std::sin(r);
    Vec3 corners[8];
    for (int i = 0; i < 8; ++i) {
        const float lx = (i & 1) ? h.x : -h.x;
        const float ly = (i & 2) ? h.y : -h.y;
        const float lz = (i & 4) ? h.z : -h.z;
        corners[i] = {center.x + lx * c + lz * s, center.y + ly, center.z + lz * c - lx * s};
    }
    BoxFaces(corners, colour);
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
    for (int i = 0; i < segments; ++i) {
        const float a0 = kTwoPi * float(i) / float(segments);
        const float a1 = kTwoPi * float(i + 1) / float(segments);
        const float p0x = center.x + std::cos(a0) * radius, p0z = center.z + std::sin(a0) * radius;
        const float p1x = center.x + std::cos(a1) * radius, p1z = center.z + std::sin(a1) * radius;
        Triangle({p0x, y0, p0z}, {p1x, y0, p1z}, {p1x, y1, p1z}, colour, false);
        Triangle({p0x, y0, p0z}, {p1x, y1, p1z}, {p0x, y1, p0z}, colour, false);
        Triangle({center.x, y0, center.z}, {p1x, y0, p1z}, {p0x, y0, p0z}, colour, false);
        Triangle({center.x, y1, center.z}, {p0x, y1, p0z}, {p1x, y1, p1z}, colour, false);
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
                    Triangle({left, bottom, z}, {rightEdge, bottom, z}, {rightEdge, top, z}, colour, true);
                    Triangle({left, bottom, z}, {rightEdge, top, z}, {left, top, z}, colour, true);
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
