// Ramps, cylinders and the first-person meshes placed in screen space.
#include <algorithm>
#include <cmath>

#include "renderer/frame_geometry.h"

namespace tarvo::renderer {

using gameplay::Color3;
using gameplay::Vec3;

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
        out->position[1] = Profile().clipYDown ? 2.0f * py / height - 1.0f : 1.0f - 2.0f * py / height;
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
