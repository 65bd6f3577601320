#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "presentation/imported_weapon_asset.h"
#include "presentation/weapon_meshes.h"

namespace tarvo::presentation {
namespace {

using gameplay::Color3;
using gameplay::Vec3;

Vec3 Cross(Vec3 a, Vec3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

void ExpectNear(Vec3 a, Vec3 b, float tolerance = 1e-5f) {
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(ArsenalTable, Rows) {
    const auto row = [](const ArsenalEntry& a) {
        return std::tuple(std::string_view(a.name), a.price, a.damage, a.magazine, std::string_view(a.description));
    };
    EXPECT_EQ(row(Arsenal[0]), std::tuple("AK-47", 0, 34, 30, "ASSAULT / 30 ROUNDS"));
    EXPECT_EQ(row(Arsenal[1]), std::tuple("VIRORA-9", 300, 22, 32, "SMG / 32 ROUNDS / FAST FIRE"));
    EXPECT_EQ(row(Arsenal[2]), std::tuple("DMR-12", 600, 55, 12, "MARKSMAN / 12 ROUNDS"));
}

Vec3 Rgb(const ImportedWeaponVertex& v) { return {v.color.r, v.color.g, v.color.b}; }

TEST(WeaponMeshes, BoxCornersFacesAndShades) {
    std::vector<ImportedWeaponVertex> box;
    AppendShadedBox(box, {1, 2, 3}, {2, 4, 6}, {1.0f, 0.5f, 0.25f});
    // Corner i: bit 0 takes +x, bit 1 +y, bit 2 +z. Faces z-, z+, x-, x+, y+, y-.
    const int corners[36] = {0, 2, 3, 0, 3, 1, 4, 5, 7, 4, 7, 6, 0, 4, 6, 0, 6, 2,
                             1, 3, 7, 1, 7, 5, 2, 6, 7, 2, 7, 3, 0, 1, 5, 0, 5, 4};
    const float shades[6] = {0.72f, 0.86f, 1.0f, 0.72f, 0.86f, 1.0f};
    ASSERT_EQ(box.size(), 36u);
    for (size_t k = 0; k < 36; ++k) {
        const int c = corners[k];
        ExpectNear(box[k].position, {c & 1 ? 2.0f : 0.0f, c & 2 ? 4.0f : 0.0f, c & 4 ? 6.0f : 0.0f});
        ExpectNear(Rgb(box[k]), Vec3{1.0f, 0.5f, 0.25f} * shades[k / 6]);
    }
}

struct Box {
    Vec3 center, size;
    Color3 colour;
};

// Box `n` of a mesh spans its centre plus or minus half its size, and its first face
// (z-) carries 0.72 of its colour.
void ExpectBox(std::span<const ImportedWeaponVertex> mesh, size_t n, const Box& b) {
    Vec3 lo = mesh[36 * n].position, hi = lo;
    for (size_t k = 36 * n; k < 36 * n + 36; ++k) {
        const Vec3 p = mesh[k].position;
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z)};
    }
    ExpectNear(lo, b.center - b.size * 0.5f, 1e-6f);
    ExpectNear(hi, b.center + b.size * 0.5f, 1e-6f);
    ExpectNear(Rgb(mesh[36 * n]), Vec3{b.colour.r, b.colour.g, b.colour.b} * 0.72f, 1e-6f);
}

TEST(WeaponMeshes, ProceduralWeaponsAreTheirBoxes) {
    const Color3 body{0.12f, 0.16f, 0.18f}, black{0.035f, 0.045f, 0.05f};
    const std::vector<Box> common = {{{-0.02f, 0.075f, 0}, {0.51f, 0.135f, 0.085f}, body},
                                     {{-0.2f, -0.055f, 0}, {0.065f, 0.19f, 0.065f}, black},
                                     {{0.18f, 0.075f, 0}, {0.2f, 0.1f, 0.085f}, black},
                                     {{-0.38f, 0.065f, 0}, {0.23f, 0.075f, 0.065f}, body},
                                     {{-0.5f, 0.04f, 0}, {0.04f, 0.15f, 0.085f}, black}};
    const std::vector<Box> smg = {{{0.04f, -0.095f, 0}, {0.045f, 0.28f, 0.055f}, black},
                                  {{0.32f, 0.09f, 0}, {0.09f, 0.045f, 0.045f}, body},
                                  {{0.4f, 0.09f, 0}, {0.08f, 0.028f, 0.028f}, body},
                                  {{0.05f, 0.15f, 0}, {0.29f, 0.025f, 0.07f}, black},
                                  {{-0.04f, 0.065f, 0.046f}, {0.14f, 0.04f, 0.009f}, {0.025f, 0.52f, 0.64f}},  // teal
                                  {{-0.08f, 0.195f, 0}, {0.065f, 0.06f, 0.055f}, body},
                                  {{0.25f, 0.16f, 0}, {0.025f, 0.07f, 0.04f}, body}};
    const std::vector<Box> dmr = {{{0.04f, -0.095f, 0}, {0.075f, 0.19f, 0.055f}, black},
                                  {{0.32f, 0.09f, 0}, {0.2f, 0.045f, 0.045f}, body},
                                  {{0.54f, 0.09f, 0}, {0.28f, 0.028f, 0.028f}, body},
                                  {{0.05f, 0.15f, 0}, {0.29f, 0.025f, 0.07f}, black},
                                  {{-0.04f, 0.065f, 0.046f}, {0.14f, 0.04f, 0.009f}, {0.62f, 0.29f, 0.055f}},  // orange
                                  {{-0.01f, 0.21f, 0}, {0.055f, 0.11f, 0.04f}, body},
                                  {{0.02f, 0.27f, 0}, {0.27f, 0.085f, 0.085f}, black},
                                  {{0.16f, 0.27f, 0}, {0.016f, 0.066f, 0.066f}, {0.015f, 0.48f, 0.6f}}};  // lens
    for (const int weapon : {1, 2}) {
        const auto mesh = ArsenalMesh(weapon, {});
        ASSERT_EQ(mesh.size(), weapon == 1 ? 432u : 468u);
        std::vector<Box> boxes = common;
        for (const Box& b : weapon == 1 ? smg : dmr) boxes.push_back(b);
        for (size_t n = 0; n < boxes.size(); ++n) ExpectBox(mesh, n, boxes[n]);
    }
    EXPECT_EQ(ArsenalMesh(1, {}).data(), ArsenalMesh(1, {}).data());  // built once
}

TEST(WeaponMeshes, ImportedRifleIsRestyledOnce) {
    EXPECT_TRUE(ArsenalMesh(0, {}).empty());
    std::vector<ImportedWeaponVertex> rifle = {
        {{0.01f, 0.02f, 0}, {0.5f, 0.4f, 0.3f}},  // wood, its grain off the origin
        {{1, 0, 0}, {0.2f, 0.2f, 0.2f}},  // metal, lightness clamped to 0.55
        {{0, 1, 0}, {0.9f, 0.9f, 0.9f}},  // metal
        {{0, 0, 5}, {0.2f, 0.2f, 0.2f}},  // trailing partial triangle stays unshaded
    };
    const auto restyled = RestyleImportedRifle(rifle);
    ASSERT_EQ(restyled.size(), 4u);
    // Triangle normal (0,0,1): shade = 0.6 + 0.5 * 0.3 / |(-0.4, 0.8, 0.3)|.
    const float shade = 0.6f + 0.5f * 0.3f / std::sqrt(0.16f + 0.64f + 0.09f);
    ExpectNear(Rgb(restyled[1]), Vec3{0.066f, 0.08525f, 0.099f} * shade);
    const float t = 0.92f + 0.08f * std::sin(180 * 0.01f + 65 * 0.02f);
    ExpectNear(Rgb(restyled[0]), Vec3{0.34f, 0.135f, 0.045f} * (t * shade));
    EXPECT_NEAR(restyled[2].color.r, 0.12f * 1.15f * shade, 1e-5f);  // (2.7 / 1.2) clamps to 1.15
    EXPECT_NEAR(restyled[3].color.r, 0.066f, 1e-6f);
    EXPECT_EQ(restyled[3].position.z, 5.0f);

    const auto first = ArsenalMesh(0, rifle);
    ASSERT_EQ(first.size(), 4u);
    std::vector<ImportedWeaponVertex> other(3, {{0, 0, 0}, {1, 1, 1}});
    const auto second = ArsenalMesh(3, other);  // other numbers are weapon 0; never rebuilt
    EXPECT_EQ(second.data(), first.data());
    EXPECT_EQ(second.size(), 4u);
}

TEST(HeldRifle, GripsLandOnTheHands) {
    const Vec3 a{0.3f, 1.2f, -0.4f};
    const Vec3 b{0.9f, 1.5f, 0.2f};
    ExpectNear(HeldRiflePoint(RifleTriggerGrip, a, b), a);
    ExpectNear(HeldRiflePoint(RifleSupportGrip, a, b), b);
    // A point halfway between the grips lands halfway between the hands.
    ExpectNear(HeldRiflePoint((RifleTriggerGrip + RifleSupportGrip) * 0.5f, a, b), (a + b) * 0.5f);
    // Hands twice as far apart scale the rifle twice as large.
    const Vec3 muzzle{0.6f, 0.07f, 0.0f};
    const Vec3 far = a + (b - a) * 2.0f;
    const float near = gameplay::Length(HeldRiflePoint(muzzle, a, b) - a);
    EXPECT_NEAR(gameplay::Length(HeldRiflePoint(muzzle, a, far) - a), 2.0f * near, 1e-4f);
}

TEST(HeldRifle, CoincidentAndVerticalHands) {
    const Vec3 a{1, 2, 3};
    const Vec3 q = Vec3{0.1f, 0.2f, 0.05f} - RifleTriggerGrip;
    const Vec3 axis = gameplay::Normalize(RifleSupportGrip - RifleTriggerGrip);
    const Vec3 perp{-axis.y, axis.x, 0.0f};
    ExpectNear(HeldRiflePoint({0.1f, 0.2f, 0.05f}, a, a), a + Vec3{-q.z, gameplay::Dot(q, perp), gameplay::Dot(q, axis)});
    // Straight up: the side axis falls back to +x; grips still land on the hands.
    const Vec3 up = a + Vec3{0, 0.5f, 0};
    ExpectNear(HeldRiflePoint(RifleSupportGrip, a, up), up);
    const Vec3 side = HeldRiflePoint(RifleTriggerGrip + Vec3{0, 0, 0.1f}, a, up);
    EXPECT_TRUE(std::isfinite(side.x) && std::isfinite(side.y) && std::isfinite(side.z));
}

struct Segment {
    Vec3 a, b;
    float r0, r1;
    Color3 colour;
};

// The 72 vertices from `at` are a tube tapering from radius r0 round a to r1 round b:
// twelve quads (a0, b0, b1, a0, b1, a1), the i-th turned by 30 degrees times i from
// s = normalize(d x z) (x when d runs along z) toward d x s, shaded 0.76 + 0.24 |sin|.
void ExpectSegment(std::span<const ImportedWeaponVertex> mesh, size_t at, const Segment& g) {
    const auto [a, b, r0, r1, colour] = g;
    const Vec3 d = gameplay::Normalize(b - a);
    const Vec3 across = Cross(d, {0, 0, 1});
    const Vec3 s = gameplay::Length(across) < 0.01f ? Vec3{1, 0, 0} : gameplay::Normalize(across);
    const Vec3 w = Cross(d, s);
    for (int i = 0; i < 12; ++i) {
        const float t0 = 3.14159265f * i / 6, t1 = 3.14159265f * (i + 1) / 6;
        const Vec3 m0 = s * std::cos(t0) + w * std::sin(t0), m1 = s * std::cos(t1) + w * std::sin(t1);
        const Vec3 quad[6] = {a + m0 * r0, b + m0 * r1, b + m1 * r1, a + m0 * r0, b + m1 * r1, a + m1 * r0};
        const Vec3 shaded = Vec3{colour.r, colour.g, colour.b} * (0.76f + 0.24f * std::fabs(std::sin(t0)));
        for (int k = 0; k < 6; ++k) {
            ExpectNear(mesh[at + 6 * i + k].position, quad[k], 1e-5f);
            ExpectNear(Rgb(mesh[at + 6 * i + k]), shaded, 1e-5f);
        }
    }
}

TEST(FirstPersonArms, SleevesGlovesAndFingersOnTheGrips) {
    const Color3 sleeve{0.14f, 0.18f, 0.16f}, glove{0.055f, 0.065f, 0.06f}, finger{0.1f, 0.12f, 0.105f};
    std::vector<Segment> segments = {
        {{0.12f, -0.46f, 0.13f}, {-0.16f, -0.1f, 0.035f}, 0.065f, 0.043f, sleeve},
        {{-0.16f, -0.1f, 0.035f}, {-0.2f, -0.012f, 0.028f}, 0.045f, 0.041f, glove},  // on the trigger grip
        {{-0.3f, -0.44f, -0.14f}, {0.13f, -0.012f, 0.035f}, 0.065f, 0.041f, sleeve},
        {{0.13f, -0.012f, 0.035f}, {0.18f, 0.043f, 0.018f}, 0.044f, 0.041f, glove}};  // on the support grip
    const float triggerFingers[] = {-0.035f, -0.019f, -0.003f, 0.013f};
    const float supportFingers[] = {0.14f, 0.162f, 0.184f, 0.206f};
    for (int i = 0; i < 4; ++i) {
        const float y = triggerFingers[i], x = supportFingers[i];
        segments.push_back({{-0.228f, y, 0.025f}, {-0.183f, y, -0.025f}, 0.011f, 0.01f, finger});
        segments.push_back({{x, 0.036f, 0.035f}, {x, 0.078f, -0.025f}, 0.012f, 0.01f, finger});
    }
    segments.push_back({{-0.17f, 0.012f, 0.032f}, {-0.15f, 0.034f, -0.005f}, 0.015f, 0.012f, glove});
    segments.push_back({{0.13f, 0.08f, 0.03f}, {0.18f, 0.097f, 0.012f}, 0.014f, 0.011f, glove});

    const auto& arms = FirstPersonGripArms();
    ASSERT_EQ(arms.size(), 1008u);
    EXPECT_EQ(&FirstPersonGripArms(), &arms);
    for (size_t n = 0; n < segments.size(); ++n) ExpectSegment(arms, 72 * n, segments[n]);
    std::vector<ImportedWeaponVertex> alongZ;  // the side axis falls back to +x
    AppendTaperedSegment(alongZ, {0, 0, 0}, {0, 0, 1}, 0.1f, 0.05f, {1, 1, 1});
    ASSERT_EQ(alongZ.size(), 72u);
    ExpectSegment(alongZ, 0, {{0, 0, 0}, {0, 0, 1}, 0.1f, 0.05f, {1, 1, 1}});
}

}  // namespace
}  // namespace tarvo::presentation
