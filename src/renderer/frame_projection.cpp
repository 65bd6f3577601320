#include "renderer/frame_projection.h"

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

FrameProjection::FrameProjection(std::vector<Vertex>& list, const ProjectionProfile& profile, Vec3 eye,
                                 Vec3 viewForward, float aimBlend, float targetWidth, float targetHeight)
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
    lanes_ = {Splat(cameraPosition), Splat(right),       Splat(up),
              Splat(forward),        Splat(keyLight_),   Splat(fillLight_),
              Splat(focal_),         Splat(aspect),      Splat(clipFocalY_),
              Splat(farPlane_),      Splat(depthRange_), Splat(nearTerm_),
              SplatKeyFill(profile.ambient, profile.key, profile.fill)};
    vertices.clear();
    if (vertices.capacity() < profile.reserveVertices) vertices.reserve(profile.reserveVertices);
}

void FrameProjection::Triangle(Vec3 a, Vec3 b, Vec3 c, Color3 colour, bool unlit) {
    WriteTriangle(Extend(3), a, b, c, ProjectPoint(a), ProjectPoint(b), ProjectPoint(c), colour, unlit);
}

void FrameProjection::Triangle(const Vec3 (&p)[3], const ProjectedPoint (&q)[3], Color3 colour, bool unlit) {
    WriteTriangle(Extend(3), p[0], p[1], p[2], q[0], q[1], q[2], colour, unlit);
}

}  // namespace tarvo::renderer
