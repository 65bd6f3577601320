#include <gtest/gtest.h>

#include <vector>

#include "presentation/scene_decorations.h"

namespace tarvo::gameplay {
inline bool operator==(const ScenePrimitive& a, const ScenePrimitive& b) {
    return a.center.x == b.center.x && a.center.y == b.center.y && a.center.z == b.center.z && a.size.x == b.size.x &&
           a.size.y == b.size.y && a.size.z == b.size.z && a.color.r == b.color.r && a.color.g == b.color.g &&
           a.color.b == b.color.b && a.kind == b.kind && a.solid == b.solid;
}
}  // namespace tarvo::gameplay

namespace tarvo::presentation {
namespace {

using gameplay::ScenePrimitive;
using gameplay::ScenePrimitiveKind;
using gameplay::Vec3;

ScenePrimitive Cover(Vec3 centre, Vec3 size) {
    ScenePrimitive box;
    box.center = centre;
    box.size = size;
    box.kind = ScenePrimitiveKind::Cover;
    box.solid = true;
    return box;
}

size_t CountColour(const std::vector<ScenePrimitive>& list, float r, float g, float b) {
    size_t n = 0;
    for (const auto& p : list) {
        n += p.color.r == r && p.color.g == g && p.color.b == b;
    }
    return n;
}

TEST(Decorations, RelaySetIsBuiltOnceAndIgnoresTheArena) {
    const std::vector<ScenePrimitive> arena = {Cover({0, 0.5f, 0}, {2, 1, 2})};
    const auto& first = MapDecorations(0, arena);
    const auto& second = MapDecorations(0, {});
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(&first, &RelayDecorations());
    ASSERT_EQ(first.size(), 1352u);
    for (const auto& p : first) {
        EXPECT_FALSE(p.solid);
        EXPECT_EQ(p.kind, ScenePrimitiveKind::Wall);
        EXPECT_EQ(p.type, gameplay::ScenePrimitiveType::Box);
    }
    // Group sizes: 600 floor, 286 side-wall, 260 end-wall, 70 lane, 24 stripe, 84 screen boxes, canopy, 27 roof.
    EXPECT_EQ(first[600].center.x, -31.43f);
    EXPECT_EQ(first[886].center.z, -41.42f);
    EXPECT_EQ(first[1146].center.x, -10.0f);
    EXPECT_EQ(first[1216].center.x, -5.5f);
    EXPECT_EQ(first[1240].center.z, -2.52f);
    EXPECT_EQ(first[1324].size.x, 8.05f);
    EXPECT_EQ(first[1351].center.x, 18.0f);
    EXPECT_EQ(CountColour(first, 0.025f, 0.48f, 0.62f), 13u + 10u + 35u + 36u);  // blue accents
}

TEST(Decorations, DerivedCoverDressing) {
    const std::vector<ScenePrimitive> arena = {Cover({5, 0.6f, 10}, {2, 1.2f, 3})};
    const auto set = BuildDerivedDecorations(1, arena);
    // Slab, then per side plate, band and five slats.
    ASSERT_GE(set.size(), 15u);
    EXPECT_FLOAT_EQ(set[0].center.y, 1.165f);
    EXPECT_FLOAT_EQ(set[0].size.x, 1.92f);
    EXPECT_FLOAT_EQ(set[0].size.z, 2.88f);
    EXPECT_FLOAT_EQ(set[1].center.x, 4.025f);
    EXPECT_FLOAT_EQ(set[8].center.x, 5.975f);
    const float slats[5] = {-1.05f, -0.55f, -0.05f, 0.45f, 0.95f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(set[3 + i].center.z - 10.0f, slats[i], 1e-5f);
        EXPECT_NEAR(set[10 + i].center.z - 10.0f, slats[i], 1e-5f);
    }
    EXPECT_EQ(set[2].color.r, 0.9f);  // orange accent for map 1
    EXPECT_EQ(set.size(), 15u + 600u + 38u + 43u);

    // A box so long that adding 0.5 no longer moves the slat position still ends, with a bounded set.
    const std::vector<ScenePrimitive> endless = {Cover({0, 0.5f, 0}, {1, 1, 3.4e38f})};
    EXPECT_EQ(BuildDerivedDecorations(1, endless).size(), 1u + 2u * (2u + 1024u) + 600u + 38u + 43u);
}

TEST(Decorations, CeilingAndSkylineSets) {
    const auto foundry = BuildDerivedDecorations(1, {});
    ASSERT_EQ(foundry.size(), 681u);
    std::vector<float> stripes;
    for (const auto& p : foundry) {
        if (p.size.x == 0.15f && p.size.y == 2.3f && p.center.z == -4.51f) {
            stripes.push_back(p.center.x);
        }
    }
    ASSERT_EQ(stripes.size(), 10u);
    EXPECT_FLOAT_EQ(stripes.front(), -3.5f);
    EXPECT_NEAR(stripes.back(), 2.8f, 1e-4f);

    const auto skydock = BuildDerivedDecorations(2, {});
    float tallest = 0.0f;
    std::vector<float> firstTowerWindows;
    for (const auto& p : skydock) {
        if (p.size.x == 9.0f) {
            tallest = std::max(tallest, p.size.y);
        }
        if (p.size.x == 0.06f && p.center.z == -48.0f - 3.0f) {
            firstTowerWindows.push_back(p.center.y);
        }
    }
    EXPECT_EQ(tallest, 44.0f);
    EXPECT_EQ(firstTowerWindows, (std::vector<float>{5, 8, 11, 14}));
    EXPECT_EQ(skydock[0].color.r, 0.09f);  // the skyline map's floor tiles
    EXPECT_EQ(CountColour(skydock, 0.015f, 0.63f, 0.76f), 38u + 34u + 2u);  // teal edges, lamps, rails
}

TEST(Decorations, CacheKeepsTheFirstBuildAndSlotsFollowTheirMap) {
    const std::vector<ScenePrimitive> arenaA = {Cover({0, 0.5f, 0}, {2, 1, 2})};
    const std::vector<ScenePrimitive> arenaB = {Cover({0, 0.5f, 0}, {2, 1, 2}), Cover({4, 0.5f, 4}, {2, 1, 2})};
    // Index -1 shares FOUNDRY's slot and, even coming first, is built by FOUNDRY's rule.
    const auto& viaNegative = MapDecorations(-1, arenaA);
    const auto& foundry = MapDecorations(1, arenaB);
    EXPECT_EQ(&viaNegative, &foundry);
    EXPECT_EQ(foundry, BuildDerivedDecorations(1, arenaA));
    const auto& skydock = MapDecorations(3, arenaB);
    EXPECT_EQ(&MapDecorations(2, arenaA), &skydock);
    EXPECT_EQ(skydock, BuildDerivedDecorations(2, arenaB));
    EXPECT_NE(foundry.size(), skydock.size());
}

}  // namespace
}  // namespace tarvo::presentation

