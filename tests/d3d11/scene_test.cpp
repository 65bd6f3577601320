#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "d3d11/d3d11_test_support.h"
#include "presentation/asset_test_support.h"
#include "presentation/scene_decorations.h"
#include "presentation/weapon_meshes.h"
#include "renderer/frame_probe.h"

namespace tarvo::renderer {
namespace {

using namespace d3d11test;
using gameplay::Color3;
using gameplay::Vec3;
using test::FindRun;

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

    gameplay::TrainingSimulation Simulation() const {
        gameplay::TrainingSimulation sim = Posed(map, {0, 0, 0}, 0, bots);
        gameplay::PlayerState player = sim.Player();
        player.onlineValue = playerTeam;
        player.weaponIndex = playerWeapon;
        sim.ApplyOnlineSnapshot(player, sim.Weapon(), bots);
        sim.onlineDriven = false;
        sim.mapIndex = map;
        return sim;
    }
    size_t Build() {
        BuildD3D11Scene(scene, Simulation(), overlay, {character, weapon, textureBound}, 1600, 900);
        return scene.vertices.size();
    }
    // What `draw` emits for this frame's camera: the vertices the scene must hold.
    template <typename Draw>
    std::vector<Vertex> Shape(Draw draw) const {
        const gameplay::TrainingSimulation sim = Simulation();
        std::vector<Vertex> out;
        SceneBuilder b(out, sim.CameraPosition(), sim.CameraForward(), overlay.aimBlend, 1600, 900);
        draw(b);
        return out;
    }
    long Find(Vec3 center, Vec3 size, float yaw, Color3 colour, size_t from = 0) const {
        return FindRun(scene.vertices, Shape([&](SceneBuilder& b) { b.OrientedBox(center, size, yaw, colour); }), from);
    }
    void LoadWeapon() { weapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset()); }

    // World point of a projected world vertex (the camera of Build, no y flip).
    Vec3 Unproject(const Vertex& v) const {
        const float f = 1.0f / std::tan(78.0f * kPi / 180.0f * 0.5f);
        return {v.position[0] * (1600.0f / 900.0f) / f, v.position[1] / f + 1.68f, v.position[3]};
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
        // The floor, a blue cover and a ramp in the arena palette, in arena order.
        const struct {
            size_t primitive;
            Color3 colours[3];
        } palette[] = {{0, {{0.025f, 0.035f, 0.042f}, {0.11f, 0.12f, 0.13f}, {0.10f, 0.14f, 0.19f}}},
                       {8, {{0.025f, 0.18f, 0.24f}, {0.02f, 0.45f, 0.58f}, {0.02f, 0.45f, 0.58f}}},
                       {21, {{0.11f, 0.14f, 0.155f}, {0.16f, 0.19f, 0.21f}, {0.16f, 0.19f, 0.21f}}}};
        for (const auto& p : palette) {
            const gameplay::ScenePrimitive& box = sim.Arena()[p.primitive];
            const auto shape = frame.Shape([&](SceneBuilder& b) { b.Box(box.center, box.size, p.colours[map]); });
            EXPECT_EQ(FindRun(frame.scene.vertices, shape), long(kBox * p.primitive)) << p.primitive;
        }
        const auto arms = frame.Shape([](SceneBuilder& b) {
            b.ImportedViewmodel(presentation::FirstPersonGripArms(), 0.0f, 0.0f, 0.0f);
        });
        EXPECT_EQ(FindRun(frame.scene.vertices, arms), long(world));
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

    // A bot turned to face +x: the block on its feet; without an attachment pose the
    // rifle hangs at the attachment's grip, the barrel ahead along its facing, the stock
    // behind and to its right, the muzzle cap where the held rifle's muzzle would be.
    Frame turned;
    turned.bots = {BotAt({0, 0, 5}, 90)};
    ASSERT_EQ(turned.Build(), base + kFallbackBot);
    const size_t world = base - ArmsVertices();
    const Vec3 grip = Vec3{0, 0, 5} + TurnByYaw({0.28f, 1.2f, 0.08f}, 90);  // the attachment's socket
    const Vec3 support = grip + TurnByYaw({0, 0.06f, 0.3f}, 90);
    const Vec3 muzzle = presentation::HeldRiflePoint({0.5f, 0.09f, 0}, grip, support);
    EXPECT_EQ(turned.Find({0, 0.9f, 5}, {0.8f, 1.8f, 0.55f}, 90, {0.08f, 0.36f, 0.42f}), long(world));
    EXPECT_EQ(turned.Find(grip + Vec3{0.38f, 0, 0}, {0.16f, 0.16f, 0.95f}, 90, {0.11f, 0.14f, 0.15f}), long(world + kBox));
    EXPECT_EQ(turned.Find(grip + Vec3{0.2f, -0.1f, 0.18f}, {0.38f, 0.14f, 0.2f}, 90, {0.17f, 0.2f, 0.2f}),
              long(world + 2 * kBox));
    EXPECT_EQ(turned.Find(muzzle, {0.055f, 0.055f, 0.09f}, 90, {0.12f, 0.15f, 0.16f}), long(world + 3 * kBox));

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
    // The player's team cyan, any other orange.
    const struct {
        int32_t team;
        Color3 colour;
    } bars[] = {{1, {0.02f, 0.8f, 0.9f}}, {2, {0.95f, 0.32f, 0.08f}}};
    for (const auto& bar : bars) {
        Frame f;
        f.playerTeam = 1;
        f.bots = {BotAt({0, 0, 5}, 30)};
        f.bots[0].team = bar.team;
        EXPECT_EQ(f.Build(), base + kFallbackBot + kBox);
        EXPECT_EQ(f.Find({0, 2.1f, 5}, {0.4f, 0.045f, 0.045f}, 30, bar.colour), long(world)) << bar.team;
    }
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
    // A bot holds its own arsenal weapon, unlit in its colours, between its hands; the
    // first person closes the list with the arms and then the player's own weapon.
    Frame armed;
    armed.LoadWeapon();
    ASSERT_TRUE(armed.weapon.Ready());
    armed.playerWeapon = 2;
    armed.overlay.muzzleFlash = 0.05f;
    armed.bots = {BotAt({0, 0, 5}, 90)};
    armed.bots[0].weaponIndex = 1;
    const size_t total = armed.Build();
    const auto held = armed.Shape([&](SceneBuilder& b) {
        test::HeldRifle(b, presentation::ArsenalMesh(1, armed.weapon.Vertices()), {0, 0, 5}, 90);
    });
    EXPECT_GT(FindRun(armed.scene.vertices, held), 0);
    const float travelled = armed.Simulation().Player().distanceTravelled;
    const auto firstPerson = armed.Shape([&](SceneBuilder& b) {
        b.ImportedViewmodel(presentation::FirstPersonGripArms(), travelled, 0.05f, 0);
        b.ImportedViewmodel(presentation::ArsenalMesh(2, armed.weapon.Vertices()), travelled, 0.05f, 0);
    });
    EXPECT_EQ(FindRun(armed.scene.vertices, firstPerson), long(total - firstPerson.size()));
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
