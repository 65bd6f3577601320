#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "renderer/frame_geometry.h"

namespace tarvo::renderer {
namespace {

using gameplay::Vec3;

// A fixed camera at the origin
// looking along +z with right = +x and up = +y (aspect 1) makes clip x, y and w the
// point scaled, so world corners and normals can be read back from the triangles.
struct Scene {
    std::vector<Vertex> list;
    GeometryBuilder b{list, {0, 0, 0}, {0, 0, 1}, 0.0f, 1000, 1000};
    float f = 1.0f / std::tan(78.0f * kPi / 180.0f * 0.5f);

    Vec3 Unproject(const Vertex& v) const {
        const float w = v.position[3];
        return {v.position[0] / f, -v.position[1] / f, w};
    }
    Vec3 Normal(size_t triangle) const {
        const Vec3 a = Unproject(list[3 * triangle]), b2 = Unproject(list[3 * triangle + 1]),
                   c = Unproject(list[3 * triangle + 2]);
        return gameplay::Normalize(Cross(b2 - a, c - a));
    }
    Vec3 Centroid(size_t triangle) const {
        const Vec3 s = Unproject(list[3 * triangle]) + Unproject(list[3 * triangle + 1]) +
                       Unproject(list[3 * triangle + 2]);
        return s * (1.0f / 3.0f);
    }
};

TEST(Shapes, BoxEmitsTwelveOutwardTrianglesInFaceOrder) {
    Scene s;
    const Vec3 center{1, 2, 10};
    s.b.Box(center, {2, 4, 6}, {0.5f, 0.5f, 0.5f});
    ASSERT_EQ(s.list.size(), 36u);
    const Vec3 expected[6] = {{0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
    for (size_t t = 0; t < 12; ++t) {
        const Vec3 n = s.Normal(t);
        const Vec3 e = expected[t / 2];
        EXPECT_NEAR(n.x, e.x, 1e-3f) << "triangle " << t;
        EXPECT_NEAR(n.y, e.y, 1e-3f) << "triangle " << t;
        EXPECT_NEAR(n.z, e.z, 1e-3f) << "triangle " << t;
        EXPECT_GT(gameplay::Dot(s.Centroid(t) - center, n), 0.0f) << "normal points inwards";
        EXPECT_EQ(s.list[3 * t].textured, -1.0f);
    }
    // A flat box still emits all twelve, two of them degenerate.
    s.list.clear();
    s.b.Box(center, {2, 0, 6}, {1, 1, 1});
    EXPECT_EQ(s.list.size(), 36u);
}

TEST(Shapes, OrientedBoxMatchesBoxAtYawZeroAndTurnsItsFaces) {
    Scene a, b;
    a.b.Box({1, 1, 8}, {1, 2, 3}, {0.3f, 0.4f, 0.5f});
    b.b.OrientedBox({1, 1, 8}, {1, 2, 3}, 0.0f, {0.3f, 0.4f, 0.5f});
    ASSERT_EQ(a.list.size(), b.list.size());
    for (size_t i = 0; i < a.list.size(); ++i) {
        for (int k = 0; k < 4; ++k) EXPECT_FLOAT_EQ(a.list[i].position[k], b.list[i].position[k]);
    }
    Scene turned;
    turned.b.OrientedBox({0, 0, 10}, {1, 1, 1}, 90.0f, {1, 1, 1});
    const Vec3 localPlusZ = turned.Normal(0);  // the first face is the local +z face
    EXPECT_NEAR(localPlusZ.x, 1.0f, 1e-3f);
    EXPECT_NEAR(localPlusZ.z, 0.0f, 1e-3f);
    const Vec3 t = TurnByYaw({0, 0, 1}, 90.0f);
    EXPECT_NEAR(t.x, 1.0f, 1e-6f);
    EXPECT_NEAR(t.z, 0.0f, 1e-6f);
}

TEST(Shapes, RampWedgeAndCylinderCounts) {
    Scene s;
    s.b.RampWedge({0, 1, 10}, {2, 2, 4}, {1, 1, 1});
    ASSERT_EQ(s.list.size(), 24u);
    // The slope rises 2 over 4: its normal is (0, -4, 2) up to sign and length.
    const Vec3 slope = s.Normal(0);
    EXPECT_NEAR(std::fabs(slope.y), 4.0f / std::sqrt(20.0f), 1e-3f);
    EXPECT_NEAR(std::fabs(slope.z), 2.0f / std::sqrt(20.0f), 1e-3f);
    EXPECT_NEAR(std::fabs(s.Normal(2).y), 1.0f, 1e-3f);  // underside
    EXPECT_NEAR(std::fabs(s.Normal(4).x), 1.0f, 1e-3f);  // -x side
    EXPECT_NEAR(std::fabs(s.Normal(6).z), 1.0f, 1e-3f);  // high end; the low end has no face
    for (const Vertex& v : s.list) EXPECT_LE(s.Unproject(v).z, 12.0f + 1e-3f);

    s.list.clear();
    s.b.Cylinder({0, 1, 10}, 0.5f, 2.0f, 10, {1, 1, 1});
    EXPECT_EQ(s.list.size(), 10u * 4u * 3u);
    EXPECT_NEAR(std::fabs(s.Normal(2).y), 1.0f, 1e-3f);  // bottom cap of segment 0
    EXPECT_NEAR(std::fabs(s.Normal(3).y), 1.0f, 1e-3f);  // top cap
    EXPECT_NEAR(s.Unproject(s.list[6]).y, 0.0f, 1e-3f);  // caps at centre.y -/+ height / 2
    EXPECT_NEAR(s.Unproject(s.list[9]).y, 2.0f, 1e-3f);
    s.list.clear();
    s.b.Cylinder({0, 1, 10}, 0.5f, 2.0f, 1, {1, 1, 1});
    EXPECT_EQ(s.list.size(), 12u);
    s.b.Cylinder({0, 1, 10}, 0.5f, 2.0f, 0, {1, 1, 1});
    s.b.Cylinder({0, 1, 10}, 0.5f, 2.0f, -3, {1, 1, 1});
    EXPECT_EQ(s.list.size(), 12u);  // fewer than one segment draws nothing
}

TEST(Shapes, WorldTextLaysOutBlockLetters) {
    Scene upper, lower;
    upper.b.WorldTextZ("AB", 0, 1, 10, 0.1f, {1, 1, 1});
    lower.b.WorldTextZ("ab", 0, 1, 10, 0.1f, {1, 1, 1});
    ASSERT_FALSE(upper.list.empty());
    ASSERT_EQ(upper.list.size(), lower.list.size());
    // "A" has 18 set bits and "B" 20: one square (two triangles) each.
    EXPECT_EQ(upper.list.size(), (18u + 20u) * 6u);
    for (const Vertex& v : upper.list) EXPECT_EQ(v.textured, 0.0f);  // unlit, flat

    Scene spaced;
    spaced.b.WorldTextZ("A B", 5, 0, 10, 1.0f, {1, 1, 1});
    // 16 cells wide, centred on x = 5: the A starts at -3, the B at 7.
    float minX = 1e9f, maxX = -1e9f;
    for (size_t i = 0; i < spaced.list.size(); ++i) {
        const Vec3 p = spaced.Unproject(spaced.list[i]);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
    }
    EXPECT_NEAR(minX, -3.0f, 1e-3f);
    EXPECT_NEAR(maxX, 7.0f + 4.0f + 0.78f, 1e-3f);

    // "L" reads from the left: its stem in the first column, its foot along the bottom.
    Scene letter;
    letter.b.WorldTextZ("L", 0, 0, 10, 1.0f, {1, 1, 1});
    ASSERT_EQ(letter.list.size(), 11u * 6u);
    EXPECT_NEAR(letter.Unproject(letter.list[0]).x, -3.0f, 1e-3f);  // row 0, column 0
    EXPECT_NEAR(letter.Unproject(letter.list[0]).y, 6.0f, 1e-3f);
    EXPECT_NEAR(letter.Unproject(letter.list.back()).x, 1.0f, 1e-3f);  // row 6, column 4, its left corner
    EXPECT_NEAR(letter.Unproject(letter.list.back()).y, 0.78f, 1e-3f);

    Scene unknown;
    unknown.b.WorldTextZ("#", 0, 0, 10, 1, {1, 1, 1});
    unknown.b.WorldTextZ("", 0, 0, 10, 1, {1, 1, 1});
    EXPECT_TRUE(unknown.list.empty());
}

TEST(Shapes, ViewmodelIsPlacedInScreenSpaceForBothBackends) {
    std::vector<Vertex> a, b;
    GeometryBuilder vulkan(a, {}, {0, 0, 1}, 0, 1920, 1080);
    SceneBuilder direct3d(b, {}, {0, 0, 1}, 0, 1920, 1080);
    const presentation::ImportedWeaponVertex mesh[3] = {
        {{0.1f, 0.0f, 0.0f}, {0.2f, 0.3f, 0.4f}}, {{-5.0f, 0.0f, 0.1f}, {0.2f, 0.3f, 0.4f}}, {{0.3f, 0.1f, 0.0f}, {}}};
    vulkan.ImportedViewmodel(mesh, 0.0f, 0.0f, 0.0f);
    direct3d.ImportedViewmodel(mesh, 0.0f, 0.0f, 0.0f);
    ASSERT_EQ(a.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_FLOAT_EQ(a[i].position[0], b[i].position[0]);
        EXPECT_FLOAT_EQ(a[i].position[1], -b[i].position[1]);  // same pixel, opposite clip y
        EXPECT_FLOAT_EQ(a[i].position[3], 1.0f);
    }
    // Far behind the weapon origin the depth holds at 0.18 instead of reaching zero.
    EXPECT_NEAR(a[1].position[2], 0.18f * 0.01f + 0.01f, 1e-6f);
    // Pixel of the first vertex: depth 0.735, X = (0.14 - 0.018 + 0) / 0.735.
    const float depth = 0.1f * 0.85f + 0.65f;
    const float px = 960.0f + 0.8f * 1080.0f * ((0.14f - 0.1f * 0.18f) / depth);
    EXPECT_NEAR((a[0].position[0] + 1.0f) * 960.0f, px, 1e-2f);
    EXPECT_FLOAT_EQ(a[0].color[2], 0.4f);

    // A running muzzle flash pulls every vertex 0.018 closer.
    std::vector<Vertex> flash;
    GeometryBuilder kicked(flash, {}, {0, 0, 1}, 0, 1920, 1080);
    kicked.ImportedViewmodel(mesh, 0.0f, 0.05f, 0.0f);
    EXPECT_NEAR(flash[0].position[2], (depth - 0.018f) * 0.01f + 0.01f, 1e-6f);
}

}  // namespace
}  // namespace tarvo::renderer
