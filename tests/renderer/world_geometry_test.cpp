#include <gtest/gtest.h>

#include <algorithm>

#include "presentation/scene_decorations.h"
#include "scene_fixture.h"

namespace tarvo::renderer {
namespace {

using gameplay::Vec3;
using test::Scene;

constexpr size_t kBox = 36;
// One living offline bot without imported assets: shadow disc, twelve body boxes,
// the head cylinder, the rifle block and the two health-bar boxes.
constexpr size_t kProceduralBot = 18 * 12 + 12 * kBox + 10 * 12 + kBox + 2 * kBox;

size_t Unlit(const std::vector<Vertex>& v, size_t from = 0) {
    return static_cast<size_t>(std::count_if(v.begin() + from, v.end(), [](const Vertex& x) { return x.textured == 0; }));
}

TEST(WorldGeometry, ArenaAndDecorationsInOrder) {
    Scene s;
    s.map = 1;
    const size_t total = s.World();
    const gameplay::TrainingSimulation sim = s.Simulation();
    size_t expected = 0;
    for (const auto& p : sim.Arena()) expected += p.type == gameplay::ScenePrimitiveType::Ramp ? 24 : kBox;
    expected += kBox * presentation::MapDecorations(1, sim.Arena()).size();
    EXPECT_EQ(total, expected);
    EXPECT_EQ(Unlit(s.vertices), 0u);  // no dressing, texts or capture ring off map 0

    Scene relay;
    relay.map = 0;
    const size_t relayTotal = relay.World();
    EXPECT_GT(relayTotal, 11u * 3u * kBox);  // ceiling, beams, strips, pilasters...
    EXPECT_GT(Unlit(relay.vertices), 0u);    // the sign texts are unlit
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

    Scene core;
    core.overlay.onlineMatch = true;
    core.overlay.matchMode = 4;
    core.overlay.pointOwner = 2;
    ASSERT_EQ(core.World(), plain + 80 * 3 + kBox);
    // The ring is unlit, in the owner's amber, 3.85 to 4.0 m around the map-1 point A (0, 12).
    const Vertex& ring = core.vertices[plain];
    EXPECT_EQ(ring.textured, 0.0f);
    EXPECT_FLOAT_EQ(ring.color[0], 0.95f);
    const Vec3 p = core.Unproject(ring);
    EXPECT_NEAR(std::hypot(p.x - 0.0f, p.z - 12.0f), 3.85f, 1e-3f);
    EXPECT_NEAR(p.y, 0.035f, 1e-3f);
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

    Scene team;
    team.player.onlineValue = 1;
    team.bots = {Scene::BotAt({0, 0, 5})};
    team.bots[0].team = 1;
    EXPECT_EQ(team.World(), base + kProceduralBot + kBox);
}

TEST(WorldGeometry, HealthBarShrinksTowardsItsLeftEnd) {
    const auto fill = [](float health, float botHealth) {
        Scene s;
        s.config.bot_health = botHealth;
        s.bots = {Scene::BotAt({0, 0, 6})};
        s.bots[0].health = health;
        s.World();
        std::vector<Vertex> last(s.vertices.end() - kBox, s.vertices.end());
        float minX = 1e9f, maxX = -1e9f;
        for (const Vertex& v : last) {
            minX = std::min(minX, s.Unproject(v).x);
            maxX = std::max(maxX, s.Unproject(v).x);
        }
        struct Fill {
            float left, right;
            bool red;
        };
        return Fill{minX, maxX, last[0].color[0] > last[0].color[1]};
    };
    const auto full = fill(250, 100);  // above the maximum: clamped to full
    EXPECT_NEAR(full.left, -0.42f, 1e-3f);
    EXPECT_NEAR(full.right, 0.42f, 1e-3f);
    EXPECT_FALSE(full.red);
    const auto half = fill(50, 100);
    EXPECT_NEAR(half.left, -0.42f, 1e-3f);
    EXPECT_NEAR(half.right, 0.0f, 1e-3f);
    const auto low = fill(30, 100);
    EXPECT_TRUE(low.red);
    const auto none = fill(0, 100);
    EXPECT_NEAR(none.right - none.left, 0.0f, 1e-4f);
    EXPECT_TRUE(none.red);
    const auto broken = fill(50, 0);  // no usable maximum: empty, never NaN
    EXPECT_NEAR(broken.right - broken.left, 0.0f, 1e-4f);
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
    const size_t lod = CharacterLodForBudget(s.character, 6.0f, 1);
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
