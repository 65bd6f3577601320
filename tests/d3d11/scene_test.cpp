#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "d3d11/d3d11_test_support.h"
#include "presentation/asset_test_support.h"
#include "presentation/scene_decorations.h"
#include "presentation/visual_definitions.h"
#include "presentation/weapon_meshes.h"

namespace tarvo::renderer {
namespace {

using namespace d3d11test;
using gameplay::Vec3;

constexpr size_t kBox = 36;
// A bot without the character or the weapon: its block, barrel and stock, muzzle cap.
constexpr size_t kFallbackBot = 4 * kBox;

// One frame of a posed simulation: player at the origin looking along +z.
struct Frame {
    int map = 1;
    std::vector<gameplay::Bot> bots;
    int32_t playerTeam = 0;
    int32_t playerWeapon = 0;
    RenderOverlay overlay;
    presentation::ImportedCharacterAsset character;
    presentation::ImportedWeaponAsset weapon;
    bool textureBound = false;
    D3D11Scene scene;

    size_t Build() {
        gameplay::TrainingSimulation sim = Posed(map, {0, 0, 0}, 0, bots);
        gameplay::PlayerState player = sim.Player();
        player.onlineValue = playerTeam;
        player.weaponIndex = playerWeapon;
        sim.ApplyOnlineSnapshot(player, sim.Weapon(), bots);
        sim.onlineDriven = false;
        sim.mapIndex = map;
        BuildD3D11Scene(scene, sim, overlay, {character, weapon, textureBound}, 1600, 900);
        return scene.vertices.size();
    }
    void LoadWeapon() { weapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset()); }

    // World point of a projected world vertex (the camera of Build, no y flip).
    Vec3 Unproject(const Vertex& v) const {
        const float f = 1.0f / std::tan(78.0f * kPi / 180.0f * 0.5f);
        return {v.position[0] * (1600.0f / 900.0f) / f, v.position[1] / f + 1.68f, v.position[3]};
    }
    Vec3 Centre(size_t first, size_t count) const {
        Vec3 sum{};
        for (size_t i = first; i < first + count; ++i) sum = sum + Unproject(scene.vertices[i]);
        return sum * (1.0f / float(count));
    }
};

size_t ArmsVertices() { return presentation::FirstPersonGripArms().size(); }

TEST(D3D11Scene, ArenaAndDecorationsAreBoxesThenTheArms) {
    for (int map : {0, 1, 2}) {
        Frame frame;
        frame.map = map;
        const size_t total = frame.Build();
        const gameplay::TrainingSimulation sim = Posed(map, {0, 0, 0}, 0);
        // Ramps too are single boxes, and the relay map gets no dressing here.
        const size_t world = kBox * (sim.Arena().size() + presentation::MapDecorations(map, sim.Arena()).size());
        ASSERT_EQ(total, world + ArmsVertices()) << "map " << map;
        for (size_t i = 0; i < world; ++i) ASSERT_EQ(frame.scene.vertices[i].textured, -1.0f);
        // The arms sit in screen space in front of everything.
        for (size_t i = world; i < total; ++i) {
            ASSERT_EQ(frame.scene.vertices[i].position[3], 1.0f);
            ASSERT_EQ(frame.scene.vertices[i].textured, 0.0f);
            ASSERT_LT(frame.scene.vertices[i].position[2], 0.03f);
        }
    }
}

TEST(D3D11Scene, BotsWithoutAssetsAreBlocksWithATwoBoxRifle) {
    Frame empty;
    const size_t base = empty.Build();

    Frame one;
    one.bots = {BotAt({0, 0, 5})};
    ASSERT_EQ(one.Build(), base + kFallbackBot);
    // The block stands on the bot's feet, 1.8 m tall, lit and tiled.
    const size_t world = base - ArmsVertices();
    const Vec3 block = one.Centre(world, kBox);
    EXPECT_NEAR(block.x, 0.0f, 1e-3f);
    EXPECT_NEAR(block.y, 0.9f, 1e-3f);
    EXPECT_NEAR(block.z, 5.0f, 1e-3f);
    EXPECT_EQ(one.scene.vertices[world].textured, -1.0f);

    // Without an attachment pose the rifle hangs at the attachment's grip, the barrel
    // ahead of it along the bot's facing.
    Frame turned;
    turned.bots = {BotAt({0, 0, 5}, 90)};
    ASSERT_EQ(turned.Build(), base + kFallbackBot);
    const presentation::SocketOffset& socket = presentation::RozizodivoRifleAttachment().socketOffset;
    const Vec3 grip = Vec3{0, 0, 5} + TurnByYaw({socket.x, socket.y, socket.z}, 90);
    const Vec3 barrel = turned.Centre(world + kBox, kBox);
    EXPECT_NEAR(barrel.x, grip.x + 0.38f, 1e-3f);
    EXPECT_NEAR(barrel.y, grip.y, 1e-3f);
    EXPECT_NEAR(barrel.z, grip.z, 1e-3f);

    Frame culled;
    culled.bots = {BotAt({0, 0, -10}), BotAt({10 * std::sin(1.4f), 0, 10 * std::cos(1.4f)}), BotAt({0, 0, 6}),
                   BotAt({0, 0, 7})};
    culled.bots[2].state = gameplay::BotState::Killed;
    culled.bots[3].state = gameplay::BotState::AwaitingRespawn;
    EXPECT_EQ(culled.Build(), base);

    Frame close;  // behind the eye but inside the 3 m guard
    close.bots = {BotAt({0, 0, -2})};
    EXPECT_EQ(close.Build(), base + kFallbackBot);
}

TEST(D3D11Scene, TeamBarsOnlyForTeamsAndNeverAHealthBar) {
    Frame empty;
    const size_t base = empty.Build();
    const size_t world = base - ArmsVertices();
    const auto barColour = [&](int32_t botTeam) {
        Frame f;
        f.playerTeam = 1;
        f.bots = {BotAt({0, 0, 5})};
        f.bots[0].team = botTeam;
        EXPECT_EQ(f.Build(), base + kFallbackBot + kBox);
        EXPECT_NEAR(f.Centre(world, kBox).y, 2.1f, 1e-3f);
        const Vertex& v = f.scene.vertices[world];
        return std::array<float, 3>{v.color[0], v.color[1], v.color[2]};
    };
    const auto friendly = barColour(1);
    EXPECT_LT(friendly[0], friendly[2]);  // cyan
    const auto enemy = barColour(2);
    EXPECT_GT(enemy[0], enemy[2]);  // orange
}

TEST(D3D11Scene, CapturePointOnlyInTheOnlineCoreMode) {
    Frame plain;
    const size_t base = plain.Build();
    for (int mode : {0, 3, 6}) {
        Frame f;
        f.overlay.onlineMatch = true;
        f.overlay.matchMode = mode;
        EXPECT_EQ(f.Build(), base) << mode;
    }
    Frame offline;
    offline.overlay.matchMode = 4;
    EXPECT_EQ(offline.Build(), base);
    Frame core;
    core.overlay.onlineMatch = true;
    core.overlay.matchMode = 4;
    core.overlay.activePoint = 1;  // map 1, point B at (-18, 0)
    ASSERT_EQ(core.Build(), base + 80 * 3 + kBox);
    const size_t world = base - ArmsVertices();
    const Vec3 ring = core.Unproject(core.scene.vertices[world]);
    EXPECT_NEAR(std::hypot(ring.x + 18.0f, ring.z), 3.85f, 2e-3f);
}

TEST(D3D11Scene, HeldRiflesAndTheFirstPersonRifleComeFromTheWeaponAsset) {
    Frame f;
    f.LoadWeapon();
    ASSERT_TRUE(f.weapon.Ready());
    const size_t rifle = presentation::ArsenalMesh(0, f.weapon.Vertices()).size();
    const size_t smg = presentation::ArsenalMesh(1, f.weapon.Vertices()).size();
    ASSERT_GT(rifle, 0u);
    ASSERT_GT(smg, 0u);
    const size_t base = f.Build();
    const size_t world = base - ArmsVertices() - rifle;
    // The first person: arms, then the player's own weapon, both in screen space.
    for (size_t i = world; i < base; ++i) ASSERT_EQ(f.scene.vertices[i].position[3], 1.0f);
    Frame smgPlayer;
    smgPlayer.LoadWeapon();
    smgPlayer.playerWeapon = 1;
    EXPECT_EQ(smgPlayer.Build(), world + ArmsVertices() + smg);

    // A bot's rifle is its weapon's mesh, unlit in its own colours, with the muzzle cap.
    Frame armed;
    armed.LoadWeapon();
    armed.bots = {BotAt({0, 0, 5})};
    armed.bots[0].weaponIndex = 1;
    ASSERT_EQ(armed.Build(), base + kBox + smg + kBox);
    for (size_t i = world + kBox; i < world + kBox + smg; ++i) ASSERT_EQ(armed.scene.vertices[i].textured, 0.0f);
}

class CharacterFile : public ::testing::Test {
protected:
    // Four levels of 12, 9, 6 and 3 indices serving up to 5, 20, 50 and 1000 m.
    void Load(std::vector<presentation::testing::CharacterFixture::Lod> lods) {
        presentation::testing::CharacterFixture fixture;
        fixture.lods = std::move(lods);
        const auto file = folder / L"biped.tarvomesh";
        presentation::testing::WriteBytes(file, fixture.Build());
        ASSERT_TRUE(character.Load(file));
        ASSERT_TRUE(character.Ready());
    }
    presentation::testing::TempFolder folder;
    presentation::ImportedCharacterAsset character;
};

TEST_F(CharacterFile, QualityFloorsTheLevelOfDetailButNeverPastTheLast) {
    Load({{4, 12, 5.0f}, {4, 9, 20.0f}, {4, 6, 50.0f}, {4, 3, 1000.0f}});
    EXPECT_EQ(D3D11CharacterLod(character, 3.0f, 1, 2), 0u);
    EXPECT_EQ(D3D11CharacterLod(character, 3.0f, 1, 1), 1u);
    EXPECT_EQ(D3D11CharacterLod(character, 3.0f, 1, 0), 2u);
    EXPECT_EQ(D3D11CharacterLod(character, 30.0f, 1, 0), 2u);
    EXPECT_EQ(D3D11CharacterLod(character, 300.0f, 1, 0), 3u);
    EXPECT_EQ(D3D11CharacterLod(character, 3.0f, 0, 2), 0u);  // nobody alive divides by one

    Load({{4, 12, 5.0f}, {4, 9, 1000.0f}});
    EXPECT_EQ(D3D11CharacterLod(character, 3.0f, 1, 0), 1u);  // a body, not nothing
}

TEST_F(CharacterFile, BodiesAreTexturedOnlyWithTheTextureBound) {
    Load({{4, 12, 5.0f}, {4, 9, 20.0f}, {4, 6, 50.0f}, {4, 3, 1000.0f}});
    Frame empty;
    const size_t base = empty.Build();
    for (uint32_t quality : {0u, 1u, 2u}) {
        for (bool bound : {true, false}) {
            Frame f;
            f.character.Load(folder / L"biped.tarvomesh");
            f.textureBound = bound;
            f.overlay.quality = quality;
            f.bots = {BotAt({0, 0, 4})};  // level 0 by distance
            const size_t body = quality == 2 ? 12 : quality == 1 ? 9 : 6;
            ASSERT_EQ(f.Build(), base + body + 3 * kBox) << quality;
            const size_t world = base - ArmsVertices();
            for (size_t i = world; i < world + body; ++i) {
                const Vertex& v = f.scene.vertices[i];
                ASSERT_EQ(v.textured, bound ? 1.0f : 0.0f);
                ASSERT_EQ(v.uv[0], 0.5f);
                // These test triangles are flat lines: the base light alone, grey.
                ASSERT_NEAR(v.color[0], 0.92f * 0.38f, 1e-5f);
                ASSERT_EQ(v.color[0], v.color[2]);
            }
        }
    }
}

TEST(D3D11Scene, IndicesAlwaysCountUpToTheVertexCount) {
    Frame f;
    f.LoadWeapon();
    const auto check = [&] {
        ASSERT_EQ(f.scene.indices.size(), f.scene.vertices.size());
        for (size_t i = 0; i < f.scene.indices.size(); ++i) ASSERT_EQ(f.scene.indices[i], i);
    };
    f.Build();
    check();
    for (int i = 0; i < 6; ++i) f.bots.push_back(BotAt({float(i) - 3.0f, 0, 8}));
    f.Build();
    check();
    f.bots.clear();
    f.Build();
    check();
    EXPECT_GE(f.scene.vertices.capacity(), 900000u);  // reserved once, kept
}

}  // namespace
}  // namespace tarvo::renderer
