#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "renderer/frame_geometry.h"

namespace tarvo::renderer {
namespace {

using gameplay::Color3;
using gameplay::Vec3;

// Camera at the origin looking along +z, 1600 x 900.
struct Camera {
    std::vector<Vertex> list;
    GeometryBuilder vulkan{list, {0, 0, 0}, {0, 0, 1}, 0.0f, 1600, 900};
};

TEST(Projection, CameraBasisAndFieldOfView) {
    std::vector<Vertex> list;
    GeometryBuilder b(list, {1, 2, 3}, {0, 0, 1}, 0.0f, 1600, 900);
    EXPECT_FLOAT_EQ(b.right.x, 1.0f);  // a view along +z has right = +x
    EXPECT_FLOAT_EQ(b.up.y, 1.0f);
    EXPECT_FLOAT_EQ(b.fovDegrees, 78.0f);
    EXPECT_FLOAT_EQ(b.aspect, 1600.0f / 900.0f);
    EXPECT_GE(list.capacity(), 800000u);

    EXPECT_FLOAT_EQ(GeometryBuilder(list, {}, {0, 0, 1}, 1.0f, 16, 9).fovDegrees, 58.0f);
    EXPECT_FLOAT_EQ(GeometryBuilder(list, {}, {0, 0, 1}, 3.0f, 16, 9).fovDegrees, 58.0f);   // above 1 still 58
    EXPECT_FLOAT_EQ(GeometryBuilder(list, {}, {0, 0, 1}, -0.5f, 16, 9).fovDegrees, 78.0f);  // negative: hip
    EXPECT_FLOAT_EQ(GeometryBuilder(list, {}, {0, 0, 1}, 0.5f, 16, 9).fovDegrees, 68.0f);

    // A target without height falls back instead of dividing by zero.
    EXPECT_FLOAT_EQ(GeometryBuilder(list, {}, {0, 0, 1}, 0, 800, 0).aspect, 16.0f / 9.0f);
    EXPECT_FLOAT_EQ(SceneBuilder(list, {}, {0, 0, 1}, 0, 800, 0).aspect, 1.0f);
    EXPECT_GE(list.capacity(), 900000u);
}

TEST(Projection, KnownPointsInClipSpace) {
    Camera c;
    const float f = 1.0f / std::tan(78.0f * kPi / 180.0f * 0.5f);
    const Vertex ahead = c.vulkan.Project({0, 0, 10}, {1, 1, 1}, 0, 0, 0);
    EXPECT_NEAR(ahead.position[0], 0.0f, 1e-6f);
    EXPECT_NEAR(ahead.position[1], 0.0f, 1e-6f);
    EXPECT_FLOAT_EQ(ahead.position[3], 10.0f);
    EXPECT_NEAR(ahead.position[2], 10.0f * 120.0f / 119.92f - 0.0800533667f, 1e-5f);

    const Vertex upRight = c.vulkan.Project({2, 1, 5}, {1, 1, 1}, 0, 0, 0);
    EXPECT_NEAR(upRight.position[0], 2.0f * f / (1600.0f / 900.0f), 1e-5f);
    EXPECT_NEAR(upRight.position[1], -1.0f * f, 1e-5f);  // Vulkan clip y grows downwards

    // Near and far planes map to depth 0 and 1.
    const Vertex nearPoint = c.vulkan.Project({0, 0, 0.08f}, {}, 0, 0, 0);
    const Vertex farPoint = c.vulkan.Project({0, 0, 120.0f}, {}, 0, 0, 0);
    EXPECT_NEAR(nearPoint.position[2] / nearPoint.position[3], 0.0f, 1e-5f);
    EXPECT_NEAR(farPoint.position[2] / farPoint.position[3], 1.0f, 1e-5f);

    // The eye itself gives w = 0, behind the eye a negative w: left to the GPU's clipping.
    EXPECT_FLOAT_EQ(c.vulkan.Project({0, 0, 0}, {}, 0, 0, 0).position[3], 0.0f);
    EXPECT_LT(c.vulkan.Project({0, 0, -4}, {}, 0, 0, 0).position[3], 0.0f);
}

TEST(Projection, BothBackendsAgreeOnXAndDepth) {
    std::vector<Vertex> a, b;
    const Vec3 eye{3, 1.68f, -7};
    const Vec3 forward = gameplay::Normalize({0.3f, -0.2f, 0.9f});
    GeometryBuilder vulkan(a, eye, forward, 0.25f, 1920, 1080);
    SceneBuilder direct3d(b, eye, forward, 0.25f, 1920, 1080);
    for (const Vec3 p : {Vec3{4, 2, 5}, Vec3{-6, 0, 30}, Vec3{0, 5, 90}}) {
        const Vertex v = vulkan.Project(p, {1, 1, 1}, 0, 0, 0);
        const Vertex d = direct3d.Project(p, {1, 1, 1}, 0, 0, 0);
        EXPECT_FLOAT_EQ(v.position[0], d.position[0]);
        EXPECT_FLOAT_EQ(v.position[3], d.position[3]);
        EXPECT_FLOAT_EQ(v.position[1], -d.position[1]);
        EXPECT_NE(v.position[2], d.position[2]);  // different far planes
        EXPECT_NEAR(d.position[2], d.position[3] * 160.0f / 159.92f - 0.0800400153f, 1e-4f);
    }
}

TEST(Lighting, FlatLightOfKnownFacesAndFog) {
    Camera c;
    const Vec3 key = KeyLight();
    const Vec3 fill = FillLight();
    // An upward floor triangle, close to the eye: no fog.
    c.vulkan.Triangle({0, -1, 2}, {0, -1, 3}, {1, -1, 2}, {0.5f, 0.5f, 0.5f}, false);
    ASSERT_EQ(c.list.size(), 3u);
    const float k = 0.29f + 0.56f * std::fabs(key.y) + 0.18f * std::max(fill.y, 0.0f);
    EXPECT_NEAR(c.list[0].color[0], 0.5f * k, 1e-5f);
    EXPECT_FLOAT_EQ(c.list[0].textured, -1.0f);
    EXPECT_FLOAT_EQ(c.list[0].uv[0], 0.0f);  // floors take (x, z)
    EXPECT_FLOAT_EQ(c.list[0].uv[1], 2.0f);

    // The same face wound the other way is lit alike by the key light; only the fill term differs.
    c.list.clear();
    c.vulkan.Triangle({0, -1, 2}, {1, -1, 2}, {0, -1, 3}, {0.5f, 0.5f, 0.5f}, false);
    const float back = 0.29f + 0.56f * std::fabs(key.y) + 0.18f * std::max(-fill.y, 0.0f);
    EXPECT_NEAR(c.list[0].color[0], 0.5f * back, 1e-5f);

    // Degenerate: N = 0, ambient only, uv = (x, y).
    c.list.clear();
    c.vulkan.Triangle({1, 2, 5}, {1, 2, 5}, {1, 2, 5}, {1, 1, 1}, false);
    EXPECT_NEAR(c.list[0].color[0], 0.29f, 1e-6f);
    EXPECT_FLOAT_EQ(c.list[0].uv[0], 1.0f);
    EXPECT_FLOAT_EQ(c.list[0].uv[1], 2.0f);

    // A wall facing -x takes (z, y); unlit triangles are flat and keep their colour.
    c.list.clear();
    c.vulkan.Triangle({2, 0, 4}, {2, 1, 4}, {2, 0, 5}, {0.2f, 0.4f, 0.6f}, true);
    EXPECT_FLOAT_EQ(c.list[0].uv[0], 4.0f);
    EXPECT_FLOAT_EQ(c.list[0].textured, 0.0f);
    EXPECT_FLOAT_EQ(c.list[0].color[1], 0.4f);

    // Fog: none up to 18 m, capped at 0.42 beyond.
    c.list.clear();
    const Color3 white{1, 1, 1};
    const Vertex at18 = c.vulkan.Project({0, 0, 18}, white, 0, 0, 0);
    const Vertex at200 = c.vulkan.Project({0, 0, 200}, white, 0, 0, 0);
    const Vertex at40 = c.vulkan.Project({0, 0, 40}, white, 0, 0, 0);
    EXPECT_FLOAT_EQ(at18.color[0], 1.0f);
    EXPECT_NEAR(at200.color[0], 1.0f + 0.42f * (0.018f - 1.0f), 1e-5f);
    EXPECT_NEAR(at40.color[2], 1.0f + ((40.0f - 18.0f) / 78.0f) * (0.04f - 1.0f), 1e-5f);

    // Direct3D 11 lights with its own constants and never fogs.
    std::vector<Vertex> d;
    SceneBuilder scene(d, {}, {0, 0, 1}, 0, 1600, 900);
    scene.Triangle({0, -1, 90}, {0, -1, 91}, {1, -1, 90}, {1, 1, 1}, false);
    const float kd = 0.31f + 0.56f * std::fabs(key.y) + 0.17f * std::max(fill.y, 0.0f);
    EXPECT_NEAR(d[0].color[0], std::min(kd, 1.0f), 1e-5f);
}

}  // namespace
}  // namespace tarvo::renderer
