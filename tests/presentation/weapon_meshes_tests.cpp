#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
    EXPECT_STREQ(Arsenal[0].name, "AK-47");
    EXPECT_EQ(Arsenal[0].price, 0);
    EXPECT_EQ(Arsenal[0].damage, 34);
    EXPECT_EQ(Arsenal[0].magazine, 30);
    EXPECT_STREQ(Arsenal[0].description, "ASSAULT / 30 ROUNDS");
    EXPECT_STREQ(Arsenal[1].name, "VIRORA-9");
    EXPECT_EQ(Arsenal[1].price, 300);
    EXPECT_EQ(Arsenal[1].damage, 22);
    EXPECT_EQ(Arsenal[1].magazine, 32);
    EXPECT_STREQ(Arsenal[1].description, "SMG / 32 ROUNDS / FAST FIRE");
    EXPECT_STREQ(Arsenal[2].name, "DMR-12");
    EXPECT_EQ(Arsenal[2].price, 600);
    EXPECT_EQ(Arsenal[2].damage, 55);
    EXPECT_EQ(Arsenal[2].magazine, 12);
    EXPECT_STREQ(Arsenal[2].description, "MARKSMAN / 12 ROUNDS");
}

TEST(WeaponMeshes, BoxFacesPointOutwardWithTheirShade) {
    std::vector<ImportedWeaponVertex> box;
    AppendShadedBox(box, {0, 0, 0}, {1, 1, 1}, {1.0f, 0.5f, 0.25f});
    ASSERT_EQ(box.size(), 36u);
    const float shades[6] = {0.72f, 0.86f, 1.0f, 0.72f, 0.86f, 1.0f};
    for (size_t t = 0; t < 12; ++t) {
        const Vec3 a = box[3 * t].position, b = box[3 * t + 1].position, c = box[3 * t + 2].position;
        const Vec3 centre = (a + b + c) * (1.0f / 3.0f);
        EXPECT_GT(gameplay::Dot(Cross(b - a, c - a), centre), 0.0f) << "triangle " << t;
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_FLOAT_EQ(box[3 * t + k].color.r, shades[t / 2]);
            EXPECT_FLOAT_EQ(box[3 * t + k].color.g, 0.5f * shades[t / 2]);
        }
    }
    // The z- face comes first.
    EXPECT_FLOAT_EQ(box[0].position.z, -0.5f);
    EXPECT_FLOAT_EQ(box[5].position.z, -0.5f);
}

TEST(WeaponMeshes, ProceduralWeaponsCountsAndBounds) {
    const auto smg = ArsenalMesh(1, {});
    const auto dmr = ArsenalMesh(2, {});
    EXPECT_EQ(smg.size(), 432u);
    EXPECT_EQ(dmr.size(), 468u);
    EXPECT_EQ(ArsenalMesh(1, {}).data(), smg.data());  // built once
    float dmrFront = -1e9f;
    for (const auto& v : dmr) {
        dmrFront = std::max(dmrFront, v.position.x);
    }
    EXPECT_FLOAT_EQ(dmrFront, 0.54f + 0.14f);  // the long barrel
    float smgFront = -1e9f, smgBack = 1e9f;
    for (const auto& v : smg) {
        smgFront = std::max(smgFront, v.position.x);
        smgBack = std::min(smgBack, v.position.x);
        EXPECT_GE(v.color.r, 0.0f);
        EXPECT_LE(v.color.b, 1.0f);
    }
    EXPECT_FLOAT_EQ(smgFront, 0.44f);
    EXPECT_FLOAT_EQ(smgBack, -0.52f);
}

TEST(WeaponMeshes, ImportedRifleIsRestyledOnce) {
    EXPECT_TRUE(ArsenalMesh(0, {}).empty());
    std::vector<ImportedWeaponVertex> rifle = {
        {{0, 0, 0}, {0.5f, 0.4f, 0.3f}},  // wood
        {{1, 0, 0}, {0.2f, 0.2f, 0.2f}},  // metal, lightness clamped to 0.55
        {{0, 1, 0}, {0.9f, 0.9f, 0.9f}},  // metal
        {{0, 0, 5}, {0.2f, 0.2f, 0.2f}},  // trailing partial triangle stays unshaded
    };
    const auto restyled = RestyleImportedRifle(rifle);
    ASSERT_EQ(restyled.size(), 4u);
    // Triangle normal (0,0,1): shade = 0.6 + 0.5 * 0.3 / |(-0.4, 0.8, 0.3)|.
    const float shade = 0.6f + 0.5f * 0.3f / std::sqrt(0.16f + 0.64f + 0.09f);
    EXPECT_NEAR(restyled[1].color.r, 0.066f * shade, 1e-5f);
    EXPECT_NEAR(restyled[1].color.g, 0.08525f * shade, 1e-5f);
    EXPECT_NEAR(restyled[1].color.b, 0.099f * shade, 1e-5f);
    const float t = 0.92f + 0.08f * std::sin(0.0f);
    EXPECT_NEAR(restyled[0].color.r, 0.34f * t * shade, 1e-5f);
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

TEST(FirstPersonArms, HoldTheRifleAtTheGripPoints) {
    const auto& arms = FirstPersonGripArms();
    ASSERT_EQ(arms.size(), 1008u);
    EXPECT_EQ(&FirstPersonGripArms(), &arms);
    // Segment 2 ends at the trigger hand, segment 4 at the support hand: their far
    // rings surround those points.
    auto ringCentre = [&](size_t segment) {
        Vec3 sum{};
        for (size_t i = 0; i < 12; ++i) {
            sum = sum + arms[segment * 72 + i * 6 + 1].position;  // b0 of each quad
        }
        return sum * (1.0f / 12.0f);
    };
    ExpectNear(ringCentre(1), RifleTriggerGrip + Vec3{0, 0, 0.028f}, 1e-4f);
    ExpectNear(ringCentre(3), RifleSupportGrip + Vec3{0, -0.022f, 0.018f}, 1e-4f);
    for (size_t i = 0; i < 12; ++i) {
        const Vec3 b0 = arms[72 + i * 6 + 1].position;
        EXPECT_NEAR(gameplay::Length(b0 - (RifleTriggerGrip + Vec3{0, 0, 0.028f})), 0.041f, 1e-4f);
    }
    // Sleeves, gloves and fingers; colours carry the baked side lighting.
    for (const auto& v : arms) {
        EXPECT_LE(v.color.r, 0.14f + 1e-6f);
        EXPECT_GE(v.color.r, 0.055f * 0.76f - 1e-6f);
    }
    // Every vertex is near the rifle body (no stray geometry).
    for (const auto& v : arms) {
        EXPECT_LT(gameplay::Length(v.position), 0.75f);
    }
}

TEST(FirstPersonArms, SegmentShape) {
    std::vector<ImportedWeaponVertex> out;
    AppendTaperedSegment(out, {0, 0, 0}, {0, 0, 1}, 0.1f, 0.05f, {1, 1, 1});  // along z: side axis falls back to +x
    ASSERT_EQ(out.size(), 72u);
    EXPECT_NEAR(out[0].position.x, 0.1f, 1e-6f);
    EXPECT_NEAR(out[1].position.z, 1.0f, 1e-6f);
    EXPECT_NEAR(out[0].color.r, 0.76f, 1e-6f);
    EXPECT_NEAR(out[18].color.r, 0.76f + 0.24f * std::fabs(std::sin(3.14159265f / 2.0f)), 1e-5f);
}

}  // namespace
}  // namespace tarvo::presentation
