#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "frame_probe.h"
#include "presentation/scene_decorations.h"
#include "presentation/weapon_meshes.h"
#include "renderer/world_parts.h"
#include "scene_fixture.h"

namespace tarvo::renderer {
namespace {

using gameplay::Color3;
using gameplay::Vec3;
using test::FindRun;
using test::Scene;

constexpr size_t kBox = 36;
// One living offline bot without imported assets: shadow disc, twelve body boxes,
// the head cylinder, the rifle block and the two health-bar boxes.
constexpr size_t kProceduralBot = 18 * 12 + 12 * kBox + 10 * 12 + kBox + 2 * kBox;

constexpr Color3 kLime{0.63f, 0.95f, 0.02f};
constexpr Color3 kCyan{0.0f, 0.72f, 0.92f};
constexpr Color3 kRed{0.62f, 0.09f, 0.075f};
constexpr Color3 kTeamFriend{0.02f, 0.8f, 0.9f};
constexpr Color3 kTeamEnemy{0.95f, 0.32f, 0.08f};

size_t Unlit(const std::vector<Vertex>& v, size_t from = 0) {
    return static_cast<size_t>(std::count_if(v.begin() + from, v.end(), [](const Vertex& x) { return x.textured == 0; }));
}

// Vertices of the arena primitives before the given one (ramps are 8-triangle wedges).
size_t ArenaVertices(const gameplay::TrainingSimulation& sim, size_t before) {
    size_t n = 0;
    for (size_t i = 0; i < before; ++i) n += sim.Arena()[i].type == gameplay::ScenePrimitiveType::Ramp ? 24 : kBox;
    return n;
}

// A box of the frame: turned by yaw when one is given, drawn axis-aligned otherwise.
struct Piece {
    Vec3 center, size;
    Color3 colour;
    float yaw = 0.0f;
    bool oriented = false;
};

std::vector<Vertex> ShapeOf(const Scene& s, const Piece& p) {
    return s.Shape([&](GeometryBuilder& b) {
        if (p.oriented) b.OrientedBox(p.center, p.size, p.yaw, p.colour);
        else b.Box(p.center, p.size, p.colour);
    });
}

TEST(WorldGeometry, ArenaAndDecorationsInOrder) {
    Scene s;
    s.map = 1;
    const size_t total = s.World();
    const gameplay::TrainingSimulation sim = s.Simulation();
    size_t expected = ArenaVertices(sim, sim.Arena().size());
    // The decorations follow the arena, each a box in its own colour.
    const auto& decorations = presentation::MapDecorations(1, sim.Arena());
    for (size_t i : {size_t(0), decorations.size() / 2, decorations.size() - 1}) {
        const auto& d = decorations[i];
        EXPECT_EQ(FindRun(s.vertices, ShapeOf(s, {d.center, d.size, d.color}), expected + kBox * i),
                  long(expected + kBox * i));
    }
    expected += kBox * decorations.size();
    EXPECT_EQ(total, expected);
    EXPECT_EQ(Unlit(s.vertices), 0u);  // no dressing, texts or capture ring off map 0
}

TEST(WorldGeometry, ArenaPaletteByMapAndKind) {
    // Arena primitives of the training range and their colour on maps 0, 1 and 2.
    const struct {
        size_t primitive;
        Color3 colours[3];
    } cases[] = {
        {0, {{0.025f, 0.035f, 0.042f}, {0.11f, 0.12f, 0.13f}, {0.10f, 0.14f, 0.19f}}},      // floor
        {1, {{0.055f, 0.08f, 0.105f}, {0.18f, 0.15f, 0.12f}, {0.12f, 0.20f, 0.27f}}},     // outer wall
        {5, {{0.065f, 0.085f, 0.10f}, {0.18f, 0.21f, 0.1f}, {0.18f, 0.21f, 0.1f}}},       // cover, own colour off map 0
        {8, {{0.025f, 0.18f, 0.24f}, {0.02f, 0.45f, 0.58f}, {0.02f, 0.45f, 0.58f}}},      // blue cover
        {10, {{0.055f, 0.08f, 0.105f}, {0.18f, 0.15f, 0.12f}, {0.12f, 0.20f, 0.27f}}},    // wall
        {20, {{0.11f, 0.14f, 0.155f}, {0.16f, 0.19f, 0.21f}, {0.16f, 0.19f, 0.21f}}},     // platform
        {21, {{0.11f, 0.14f, 0.155f}, {0.16f, 0.19f, 0.21f}, {0.16f, 0.19f, 0.21f}}},     // ramp, a wedge
        {26, {{0.055f, 0.08f, 0.105f}, {0.18f, 0.15f, 0.12f}, {0.12f, 0.20f, 0.27f}}},    // roof
    };
    for (int map = 0; map < 3; ++map) {
        Scene s;
        s.map = map;
        s.World();
        const gameplay::TrainingSimulation sim = s.Simulation();
        for (const auto& c : cases) {
            const size_t at = ArenaVertices(sim, c.primitive);
            const gameplay::ScenePrimitive& p = sim.Arena()[c.primitive];
            const std::vector<Vertex> shape = s.Shape([&](GeometryBuilder& b) {
                if (p.type == gameplay::ScenePrimitiveType::Ramp) b.RampWedge(p.center, p.size, c.colours[map]);
                else b.Box(p.center, p.size, c.colours[map]);
            });
            EXPECT_EQ(FindRun(s.vertices, shape, at), long(at)) << "map " << map << " primitive " << c.primitive;
        }
    }
    // A map-0 cover greener than twice its red turns rust.
    gameplay::ScenePrimitive green;
    green.kind = gameplay::ScenePrimitiveKind::Cover;
    green.color = {0.1f, 0.5f, 0.1f};
    const Color3 rust = ArenaColour(0, green);
    EXPECT_EQ(std::vector<float>({rust.r, rust.g, rust.b}), std::vector<float>({0.31f, 0.13f, 0.035f}));
}

TEST(WorldGeometry, RelayDressingAndSigns) {
    Scene s;
    s.map = 0;
    s.World();
    const Color3 beam{0.175f, 0.205f, 0.215f};
    const Color3 panel{0.07f, 0.105f, 0.12f};
    const Color3 olive{0.25f, 0.38f, 0.025f};
    // In the order they are drawn, after the decorations.
    const Piece pieces[] = {
        {{0, 6.85f, 0}, {63.2f, 0.45f, 83.2f}, {0.05f, 0.073f, 0.08f}},
        {{0, 6.3f, -38}, {62, 0.42f, 0.52f}, beam},
        {{-15, 6.02f, -38}, {14, 0.12f, 0.22f}, kCyan},
        {{15, 6.02f, -38}, {14, 0.12f, 0.22f}, kLime},
        {{30.9f, 4.55f, -37}, {0.12f, 1.75f, 3.8f}, panel},
        {{-30.67f, 4.55f, -37}, {0.06f, 0.1f, 2.8f}, kCyan},
        {{30.67f, 4.55f, -37}, {0.06f, 0.1f, 2.8f}, kLime},
        {{-12, 0.035f, -20}, {0.16f, 0.06f, 2.1f}, {0.015f, 0.27f, 0.34f}},
        {{12, 0.035f, -20}, {0.16f, 0.06f, 2.1f}, olive},
        {{0, 0.045f, 0}, {11.5f, 0.08f, 0.18f}, kLime},
        {{0, 0.05f, -9}, {7, 0.08f, 0.12f}, kCyan},
        {{-4.5f, 0.055f, 3.7f}, {0.42f, 0.09f, 2.4f}, panel, -24, true},
        {{-3.6f, 0.055f, 3.7f}, {0.42f, 0.09f, 2.4f}, olive, -24, true},
        {{0, 4.06f, 41.35f}, {24, 0.18f, 0.16f}, beam},
        {{0, 2.1f, 41.2f}, {22.9f, 3.45f, 0.12f}, panel},
    };
    const gameplay::TrainingSimulation sim = s.Simulation();
    long at = long(ArenaVertices(sim, sim.Arena().size()) + kBox * presentation::MapDecorations(0, {}).size());
    EXPECT_EQ(FindRun(s.vertices, ShapeOf(s, pieces[0])), at);
    for (const Piece& p : pieces) {
        const long next = FindRun(s.vertices, ShapeOf(s, p), size_t(at));
        EXPECT_GE(next, at) << p.center.x << " " << p.center.y << " " << p.center.z;
        at = std::max(at, next);
    }
    // The signs, block letters read from the arena side.
    const struct {
        const char* text;
        float x, y, z, cell;
        Color3 colour;
    } signs[] = {{"ZE001", 0, 2.45f, 41.08f, 0.24f, kLime},
                 {"RELAY FACILITY", 0, 1.38f, 41.07f, 0.11f, kCyan},
                 {"LEFT", -29.9f, 2.2f, 15.7f, 0.12f, kCyan},
                 {"RIGHT", 29.9f, 2.2f, 15.7f, 0.12f, kLime}};
    for (const auto& sign : signs) {
        const auto shape =
            s.Shape([&](GeometryBuilder& b) { b.WorldTextZ(sign.text, sign.x, sign.y, sign.z, sign.cell, sign.colour); });
        const long next = FindRun(s.vertices, shape, size_t(at));
        EXPECT_GT(next, at) << sign.text;
        at = std::max(at, next);
    }
}

TEST(WorldGeometry, CapturePointOnlyInOnlineCoreMode) {
    Scene base;
    const size_t plain = base.World();
    for (int mode : {0, 3, 5, 6}) {
        Scene s;
        s.overlay.onlineMatch = true;
        s.overlay.matchMode = mode;
        s.overlay.activePoint = 1;
        EXPECT_EQ(s.World(), plain) << "mode " << mode;
    }
    Scene offline;
    offline.overlay.matchMode = 4;
    EXPECT_EQ(offline.World(), plain);

    // Centre by map and point, colour by owner; the ring's first two triangles and the
    // beacon, spinning 45 degrees a second.
    const struct {
        int map, point, owner;
        float x, z;
        Color3 colour;
    } cases[] = {{0, 0, 1, 0, 7, {0.02f, 0.75f, 0.9f}},    {0, 2, 2, 25, -16, {0.95f, 0.35f, 0.07f}},
                 {1, 1, 2, -18, 0, {0.95f, 0.35f, 0.07f}}, {1, 0, 0, 0, 12, {0.7f, 0.8f, 0.85f}},
                 {2, 1, 1, -13, -23, {0.02f, 0.75f, 0.9f}}, {2, 5, 3, 13, 23, {0.7f, 0.8f, 0.85f}}};
    for (const auto& c : cases) {
        Scene core;
        core.map = c.map;
        core.overlay.onlineMatch = true;
        core.overlay.matchMode = 4;
        core.overlay.activePoint = c.point;
        core.overlay.pointOwner = c.owner;
        core.overlay.elapsedSeconds = 1.0f;
        Scene without;
        without.map = c.map;
        const size_t at = without.World();
        ASSERT_EQ(core.World(), at + 80 * 3 + kBox);
        const float a = 6.28318548f / 40.0f;
        const auto ring = core.Shape([&](GeometryBuilder& b) {
            const Vec3 p0{c.x, 0.035f, c.z + 3.85f}, p1{c.x, 0.035f, c.z + 4.0f};
            const Vec3 p2{c.x + std::sin(a) * 4.0f, 0.035f, c.z + std::cos(a) * 4.0f};
            const Vec3 p3{c.x + std::sin(a) * 3.85f, 0.035f, c.z + std::cos(a) * 3.85f};
            b.Triangle(p0, p1, p2, c.colour, true);
            b.Triangle(p0, p2, p3, c.colour, true);
        });
        SCOPED_TRACE(testing::Message() << "map " << c.map << " point " << c.point << " owner " << c.owner);
        EXPECT_EQ(FindRun(core.vertices, ring, at), long(at));
        EXPECT_EQ(FindRun(core.vertices, ShapeOf(core, {{c.x, 1.1f, c.z}, {0.32f, 0.32f, 0.32f}, c.colour, 45, true}), at),
                  long(at + 240));
    }
}

TEST(WorldGeometry, BotCullingStatesAndShadow) {
    Scene empty;
    const size_t base = empty.World();

    Scene near;
    near.bots = {Scene::BotAt({0, 0, -2})};  // behind the eye, inside the 3 m guard
    EXPECT_EQ(near.World(), base + kProceduralBot);

    Scene behind;
    behind.bots = {Scene::BotAt({0, 0, -10})};
    EXPECT_EQ(behind.World(), base);

    Scene side;  // 80 degrees off the view direction and 10 m away: outside the cone
    side.bots = {Scene::BotAt({10 * std::sin(1.4f), 0, 10 * std::cos(1.4f)})};
    EXPECT_EQ(side.World(), base);

    Scene dead;
    dead.bots = {Scene::BotAt({0, 0, 5}), Scene::BotAt({0, 0, 6})};
    dead.bots[0].state = gameplay::BotState::Killed;
    dead.bots[1].state = gameplay::BotState::AwaitingRespawn;
    EXPECT_EQ(dead.World(), base);

    Scene airborne;
    airborne.bots = {Scene::BotAt({0, 0.15f, 5})};
    EXPECT_EQ(airborne.World(), base + kProceduralBot - 18 * 12);
}

TEST(WorldGeometry, ProceduralBotFacesItsYaw) {
    // A bot at (1, 0, 6) turned 90 degrees: every part sits at its offset turned
    // towards +x. Team bars: the player's team cyan, the other orange, none for team 0.
    // The health bar's fill, the share of full health, shrinks towards its left end.
    const Vec3 at{1, 0, 6};
    const auto local = [&](Vec3 offset) { return at + TurnByYaw(offset, 90); };
    const Color3 suit{0.22f, 0.255f, 0.265f};
    const struct {
        int32_t team;
        float health, full, h;
        const Color3* bar;
        Color3 fill;
    } bots[] = {{1, 100, 100, 1, &kTeamFriend, kLime}, {2, 30, 100, 0.3f, &kTeamEnemy, kRed},
                {0, 40, 100, 0.4f, nullptr, kLime},     {0, 250, 100, 1, nullptr, kLime},
                {0, 0, 100, 0, nullptr, kRed},          {0, 50, 0, 0, nullptr, kRed}};
    for (const auto& c : bots) {
        Scene s;
        s.player.onlineValue = 1;
        s.config.bot_health = c.full;
        s.bots = {Scene::BotAt(at, 90)};
        s.bots[0].team = c.team;
        s.bots[0].health = c.health;
        const size_t base = Scene().World();
        s.World();
        const float h = c.h;
        std::vector<Piece> pieces;
        if (c.bar) pieces.push_back({at + Vec3{0, 2.1f, 0}, {0.4f, 0.045f, 0.045f}, *c.bar, 90, true});
        pieces.push_back({local({0, 1.02f, 0}), {0.82f, 0.92f, 0.48f}, {0.075f, 0.31f, 0.37f}, 90, true});
        pieces.push_back({local({0, 1.18f, -0.27f}), {0.58f, 0.38f, 0.1f}, {0.02f, 0.66f, 0.79f}, 90, true});
        pieces.push_back({local({0.55f, 0.82f, 0}), {0.21f, 0.55f, 0.23f}, suit, 90, true});
        pieces.push_back({local({0, 1.76f, -0.31f}), {0.5f, 0.12f, 0.08f}, kRed, 90, true});
        pieces.push_back({local({0.63f, 1.0f, -0.49f}), {0.09f, 0.1f, 0.42f}, kRed, 90, true});
        pieces.push_back({local({0.28f, 1.18f, 0.44f}), {0.15f, 0.14f, 0.95f}, {0.1f, 0.13f, 0.14f}, 90, true});
        pieces.push_back({local({0, 2.18f, 0}), {0.84f, 0.055f, 0.055f}, {0.07f, 0.08f, 0.08f}, 90, true});
        pieces.push_back({local({-(1 - h) * 0.42f, 2.18f, -0.035f}), {0.84f * h, 0.065f, 0.045f}, c.fill, 90, true});
        SCOPED_TRACE(testing::Message() << "team " << c.team << " health " << c.health << " of " << c.full);
        const auto shadow = s.Shape([&](GeometryBuilder& b) {
            b.Cylinder(at + Vec3{0, 0.008f, 0}, 0.36f, 0.012f, 18, {0.012f, 0.02f, 0.025f});
        });
        long next = FindRun(s.vertices, shadow, base);
        EXPECT_EQ(next, long(base));
        const auto head = s.Shape([&](GeometryBuilder& b) { b.Cylinder(at + Vec3{0, 1.72f, 0}, 0.34f, 0.46f, 10, suit); });
        EXPECT_GT(FindRun(s.vertices, head, base), 0);
        for (const Piece& p : pieces) {
            const long found = FindRun(s.vertices, ShapeOf(s, p), size_t(next));
            EXPECT_GT(found, next) << p.center.x << " " << p.center.y << " " << p.center.z;
            next = std::max(next, found);
        }
        EXPECT_EQ(s.vertices.size(), base + kProceduralBot + (c.bar ? kBox : 0));
    }
}

TEST(WorldGeometry, HeldRifleLiesInTheHands) {
    // With the weapon asset a bot holds its own arsenal weapon, unlit in its colours,
    // at the attachment's grip with the support hand ahead; the muzzle cap at the muzzle.
    Scene s;
    ASSERT_TRUE(s.heldWeapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset()));
    s.bots = {Scene::BotAt({1, 0, 6}, 90)};
    s.bots[0].weaponIndex = 2;
    s.World();
    const auto held = s.Shape([&](GeometryBuilder& b) {
        test::HeldRifle(b, presentation::ArsenalMesh(2, s.heldWeapon.Vertices()), {1, 0, 6}, 90);
    });
    EXPECT_GT(FindRun(s.vertices, held), 0);
}

TEST(WorldGeometry, BotClipByHorizontalSpeed) {
    // Below 0.1 m/s idle at the state timer; above 3.5 run at 0.24 of the distance walked,
    // otherwise walk at 0.58 of it (0.1 and 3.5 themselves walk).
    for (const auto& [speed, clip, time] : {std::tuple{0.05f, "idle", 1.3f}, std::tuple{0.1f, "walk", 5.8f},
                                            std::tuple{3.5f, "walk", 5.8f}, std::tuple{3.6f, "run", 2.4f}}) {
        gameplay::Bot bot;
        bot.horizontalSpeed = speed;
        bot.stateTimer = 1.3f;
        bot.distanceTravelled = 10;
        EXPECT_STREQ(BotAnimation(bot).name, clip) << speed;
        EXPECT_FLOAT_EQ(BotAnimation(bot).time, time) << speed;
    }
}

class ImportedCharacter : public testing::Test {
protected:
    void SetUp() override {
        character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                                             presentation::DiscoverRozizodivoRollbackAsset());
        ASSERT_TRUE(character.Ready()) << "the shipped character did not load";
    }
    presentation::ImportedCharacterAsset character;
};

TEST_F(ImportedCharacter, LevelOfDetailFollowsTheSharedBudget) {
    ASSERT_GE(character.LodCount(), 2u);
    for (int alive : {0, 1, 4, 16, 100000}) {
        const uint32_t limit = 650000u / static_cast<uint32_t>(std::max(alive, 1)) / 3u;
        for (float distance : {0.0f, 8.0f, 30.0f, 200.0f}) {
            const size_t lod = CharacterLodForBudget(character, distance, alive);
            const size_t first = character.LodForDistance(distance);
            SCOPED_TRACE(testing::Message() << "alive " << alive << " distance " << distance);
            EXPECT_GE(lod, first);
            EXPECT_LT(lod, character.LodCount());
            // Within the limit, unless the walk stopped at the coarsest level.
            EXPECT_TRUE(character.TriangleCount(lod) <= limit || lod + 1 == character.LodCount());
            // Never coarser than needed.
            if (lod > first) {
                EXPECT_GT(character.TriangleCount(lod - 1), limit);
            }
        }
    }
    EXPECT_EQ(650000u / 16u, 40625u);
    EXPECT_EQ(CharacterLodForBudget(character, 0.0f, 100000), character.LodCount() - 1);
}

TEST_F(ImportedCharacter, TexturedOnlyWhenTheImageCarriesItsColours) {
    Scene s;
    s.bots = {Scene::BotAt({0, 0, 6})};
    s.character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                                 presentation::DiscoverRozizodivoRollbackAsset());
    s.textureBound = true;
    s.World();
    const auto sampled = std::count_if(s.vertices.begin(), s.vertices.end(), [](const Vertex& v) { return v.textured == 1; });
    const size_t lod = CharacterLodForBudget(s.character, gameplay::Length(Vec3{0, 0, 6} - s.Simulation().CameraPosition()), 1);
    ASSERT_TRUE(s.character.Textured());
    ASSERT_EQ(s.character.TextureCoordinates(lod).size(), s.character.Sample("idle", 0, lod).size());
    EXPECT_EQ(static_cast<size_t>(sampled), s.character.Indices(lod).size());
    Scene plain;
    plain.bots = s.bots;
    plain.character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                                     presentation::DiscoverRozizodivoRollbackAsset());
    plain.textureBound = false;
    plain.World();
    EXPECT_EQ(std::count_if(plain.vertices.begin(), plain.vertices.end(), [](const Vertex& v) { return v.textured == 1; }),
              0);
    EXPECT_EQ(plain.vertices.size(), s.vertices.size());  // same triangles, region colours instead
    // Region colours by the corners' mean height and side, every 37th triangle above
    // the waist in the accent; lit and tiled like the arena.
    const auto positions = plain.character.Sample("idle", 0, lod);
    const auto indices = plain.character.Indices(lod);
    const auto region = plain.Shape([&](GeometryBuilder& b) {
        for (size_t t = 0; t < 80; ++t) {
            const Vec3 p[3] = {positions[indices[3 * t]], positions[indices[3 * t + 1]], positions[indices[3 * t + 2]]};
            const float ym = (p[0].y + p[1].y + p[2].y) / 3, xm = (p[0].x + p[1].x + p[2].x) / 3;
            Color3 colour = ym > 1.52f   ? Color3{0.25f, 0.3f, 0.31f}
                            : ym > 0.88f ? (std::fabs(xm) > 0.31f ? Color3{0.12f, 0.43f, 0.49f} : Color3{0.075f, 0.29f, 0.34f})
                            : ym > 0.28f ? Color3{0.07f, 0.09f, 0.095f}
                                         : Color3{0.25f, 0.3f, 0.31f};
            if (t % 37 == 0 && ym > 0.75f) colour = {0.54f, 0.78f, 0.025f};
            b.WorldTriangle(Vec3{0, 0, 6} + p[0], Vec3{0, 0, 6} + p[1], Vec3{0, 0, 6} + p[2], colour, false);
        }
    });
    EXPECT_GT(FindRun(plain.vertices, region), 0);
}

TEST_F(ImportedCharacter, OverflowingBodiesFallBackToTheProceduralOne) {
    Scene procedural;
    procedural.bots = {Scene::BotAt({-1, 0, 6}), Scene::BotAt({1, 0, 6})};
    const size_t withoutCharacter = procedural.World();

    Scene imported;
    imported.bots = procedural.bots;
    imported.character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                                        presentation::DiscoverRozizodivoRollbackAsset());
    const size_t detailed = imported.World();
    EXPECT_NE(detailed, withoutCharacter);

    Scene starved;  // a buffer with no room for a character body
    starved.bots = procedural.bots;
    starved.character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                                       presentation::DiscoverRozizodivoRollbackAsset());
    starved.capacity = 1000;
    EXPECT_EQ(starved.World(), withoutCharacter);
}

}  // namespace
}  // namespace tarvo::renderer
