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
    EXPECT_EQ(CountColour(first, 0.025f, 0.48f, 0.62f), 13u + 10u + 35u + 36u);  // blue accents
}

// Boxes of each set by their place in it: 600 floor boxes, then the groups in order.
struct Placed {
    size_t index;
    Vec3 center, size;
    gameplay::Color3 colour;
};

void ExpectPlaced(const std::vector<ScenePrimitive>& set, std::initializer_list<Placed> boxes) {
    for (const Placed& b : boxes) {
        ASSERT_LT(b.index, set.size());
        const ScenePrimitive& p = set[b.index];
        const float got[9] = {p.center.x, p.center.y, p.center.z, p.size.x, p.size.y, p.size.z, p.color.r, p.color.g, p.color.b};
        const float want[9] = {b.center.x, b.center.y, b.center.z, b.size.x, b.size.y, b.size.z, b.colour.r, b.colour.g, b.colour.b};
        for (int k = 0; k < 9; ++k) EXPECT_NEAR(got[k], want[k], 1e-5f) << "box " << b.index << " value " << k;
    }
}

TEST(Decorations, RelayBoxesWhereTheyStand) {
    const gameplay::Color3 blue{0.025f, 0.48f, 0.62f}, amber{0.72f, 0.29f, 0.045f}, trim{0.18f, 0.21f, 0.23f},
        panel{0.085f, 0.11f, 0.13f}, shadow{0.018f, 0.025f, 0.032f};
    ExpectPlaced(RelayDecorations(),
                 {{0, {-28, 0.009f, -38}, {3.94f, 0.012f, 3.94f}, {0.029f, 0.04f, 0.048f}},
                  {1, {-29.9f, 0.018f, -39.7f}, {0.03f, 0.018f, 0.3f}, trim},
                  {600, {-31.43f, 2.65f, -36}, {0.08f, 4.9f, 5.8f}, {0.052f, 0.073f, 0.092f}},
                  {601, {-31.34f, 0.35f, -36}, {0.12f, 0.4f, 5.82f}, panel},
                  {602, {-31.34f, 4.9f, -36}, {0.12f, 0.12f, 5.82f}, trim},
                  {603, {-31.28f, 3.9f, -36}, {0.14f, 0.08f, 3.4f}, blue},
                  {604, {-31.25f, 1.0f, -36}, {0.16f, 0.045f, 1.5f}, shadow},
                  {611, {-31.43f, 2.65f, -30}, {0.08f, 4.9f, 5.8f}, {0.072f, 0.1f, 0.13f}},
                  {746, {31.28f, 3.9f, -36}, {0.14f, 0.08f, 3.4f}, amber},
                  {886, {-27, 2.5f, -41.42f}, {5.8f, 4.9f, 0.08f}, panel},
                  {887, {-27, 3.7f, -41.3f}, {4.6f, 0.12f, 0.16f}, blue},
                  {888, {-28.5f, 1.7f, -41.22f}, {0.045f, 1.4f, 0.08f}, trim},
                  {900, {-27, 3.7f, 41.3f}, {4.6f, 0.12f, 0.16f}, amber},
                  {1146, {-10, 0.025f, -34}, {0.11f, 0.025f, 1.4f}, blue},
                  {1181, {10, 0.025f, -34}, {0.11f, 0.025f, 1.4f}, amber},
                  {1216, {-5.5f, 0.03f, -37}, {0.54f, 0.03f, 0.28f}, amber},
                  {1217, {-4.5f, 0.03f, -37}, {0.54f, 0.03f, 0.28f}, shadow},
                  {1228, {-5.5f, 0.03f, 37}, {0.54f, 0.03f, 0.28f}, amber},
                  {1240, {-3.3f, 1.22f, -2.52f}, {0.95f, 1.9f, 0.07f}, shadow},
                  {1242, {-3.3f, 0.6f, -2.57f}, {0.72f, 0.075f, 0.045f}, blue},
                  {1243, {-3.3f, 0.6f, 2.57f}, {0.72f, 0.075f, 0.045f}, amber},
                  {1324, {0, 2.34f, 0}, {8.05f, 0.07f, 5.05f}, trim},
                  {1325, {0, 5.85f, -36}, {60, 0.13f, 0.18f}, panel},
                  {1326, {-18, 5.76f, -36}, {7, 0.07f, 0.24f}, {0.45f, 0.65f, 0.72f}},
                  {1351, {18, 5.76f, 36}, {7, 0.07f, 0.24f}, {0.72f, 0.48f, 0.24f}}});
}

TEST(Decorations, DerivedBoxesWhereTheyStand) {
    const gameplay::Color3 steel{0.2f, 0.25f, 0.29f}, dark{0.025f, 0.035f, 0.045f}, teal{0.015f, 0.63f, 0.76f},
        orange{0.9f, 0.32f, 0.035f};
    ExpectPlaced(BuildDerivedDecorations(1, {}),
                 {{0, {-28, 0.012f, -38}, {3.94f, 0.018f, 3.94f}, {0.1f, 0.115f, 0.12f}},
                  {1, {-29.75f, 0.026f, -39.75f}, {0.04f, 0.012f, 0.24f}, steel},
                  {600, {-29, 0.03f, -37}, {0.15f, 0.025f, 2.0f}, orange},
                  {619, {29, 0.03f, -37}, {0.15f, 0.025f, 2.0f}, orange},
                  {638, {0, 8.5f, 0}, {63, 0.3f, 83}, dark},
                  {639, {0, 7.7f, -36}, {63, 0.3f, 0.35f}, steel},
                  {640, {0, 7.48f, -36}, {18, 0.08f, 0.18f}, orange},
                  {657, {-27, 6.4f, 0}, {1.2f, 0.9f, 80}, steel},
                  {658, {-27, 5.92f, 0}, {0.08f, 0.06f, 77}, orange},
                  {661, {-3.5f, 1.5f, -4.51f}, {0.15f, 2.3f, 0.05f}, orange}});
    const auto skydock = BuildDerivedDecorations(2, {});
    ExpectPlaced(skydock, {{0, {-28, 0.012f, -38}, {3.94f, 0.018f, 3.94f}, {0.09f, 0.13f, 0.18f}},
                           {600, {-29, 0.03f, -37}, {0.15f, 0.025f, 2.0f}, teal},
                           {638, {-31.8f, 1.8f, -40}, {0.12f, 1.8f, 0.12f}, steel},
                           {639, {-31.8f, 2.64f, -40}, {0.1f, 0.1f, 4.9f}, teal},
                           {706, {-42, 8, -48}, {9, 16, 10}, dark},
                           {707, {-42, 16, -48}, {9.3f, 0.2f, 10.3f}, steel},
                           {708, {-37.49f, 5, -51}, {0.06f, 0.8f, 1.3f}, {0.42f, 0.24f, 0.1f}},
                           {716, {49, 11.5f, -39}, {9, 23, 10}, dark},
                           {718, {44.49f, 5, -42}, {0.06f, 0.8f, 1.3f}, {0.08f, 0.24f, 0.32f}},
                           {skydock.size() - 1, {0, 1.4f, 41.5f}, {58, 0.08f, 0.08f}, teal}});
}

TEST(Decorations, DerivedCoverDressing) {
    const std::vector<ScenePrimitive> arena = {Cover({5, 0.6f, 10}, {2, 1.2f, 3})};
    const auto set = BuildDerivedDecorations(1, arena);
    // Slab, then per side plate, band and five slats.
    const gameplay::Color3 steel{0.2f, 0.25f, 0.29f}, dark{0.025f, 0.035f, 0.045f}, orange{0.9f, 0.32f, 0.035f};
    ExpectPlaced(set, {{0, {5, 1.165f, 10}, {1.92f, 0.06f, 2.88f}, steel},
                       {1, {4.025f, 0.6f, 10}, {0.055f, 1.104f, 2.82f}, dark},
                       {2, {5, 0.96f, 8.495f}, {1.7f, 0.07f, 0.025f}, orange},
                       {3, {3.995f, 0.6f, 8.95f}, {0.025f, 0.96f, 0.06f}, steel},
                       {8, {5.975f, 0.6f, 10}, {0.055f, 1.104f, 2.82f}, dark},
                       {9, {5, 0.96f, 11.505f}, {1.7f, 0.07f, 0.025f}, orange},
                       {14, {6.005f, 0.6f, 10.95f}, {0.025f, 0.96f, 0.06f}, steel}});
    const float slats[5] = {-1.05f, -0.55f, -0.05f, 0.45f, 0.95f};
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(set[3 + i].center.z - 10.0f, slats[i], 1e-5f);
        EXPECT_NEAR(set[10 + i].center.z - 10.0f, slats[i], 1e-5f);
    }
    EXPECT_EQ(BuildDerivedDecorations(2, arena)[2].color.r, 0.015f);  // teal off map 1
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

