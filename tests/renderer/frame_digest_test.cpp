// The frame builders must emit exactly the same vertices, in the same order, however
// they are made faster: every list below is hashed byte for byte (bit-exact, no
// tolerance) and compared with the digest recorded from the straightforward builders.
//
// When a change to the geometry is intended (a new shape, a colour, the projection),
// check the new pictures with the other renderer tests, run this test, and paste the
// table it prints on failure over kExpected below, in the same commit as the change.
// The Vulkan lists include the HUD, so the glyph advances of the font the test set-up
// installs are part of them too.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/file_utils.h"
#include "gameplay/training_simulation.h"
#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/d3d11/d3d11_scene.h"
#include "renderer/vulkan/vulkan_frame_geometry.h"

namespace tarvo::renderer {
namespace {

using gameplay::Bot;
using gameplay::Vec3;

std::filesystem::path ShippedMaps() {
    for (auto dir = distribution::ExecutableDirectory(); !dir.empty(); dir = dir.parent_path()) {
        if (std::filesystem::exists(dir / "assets" / "maps" / "relay.arena")) return dir / "assets" / "maps";
        if (dir == dir.parent_path()) break;
    }
    return {};
}

uint64_t Digest(const std::vector<Vertex>& vertices) {
    uint64_t hash = 1469598103934665603ull;  // FNV-1a over the raw bytes
    const auto* bytes = reinterpret_cast<const unsigned char*>(vertices.data());
    for (size_t i = 0; i < vertices.size() * sizeof(Vertex); ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ull;
    }
    return hash;
}

// Fills the list's allocation with NaNs and empties it: a vertex field an emitter leaves
// unwritten then changes the digest instead of keeping what the last frame left there.
void Poison(std::vector<Vertex>& list) {
    list.resize(1048576);
    std::memset(static_cast<void*>(list.data()), 0xFF, list.size() * sizeof(Vertex));
    list.clear();
}

// Every animation clip, both rifles and the mesh rifle, all four yaw quadrants, a bot
// off the floor, a dead one and one behind the camera.
std::vector<Bot> Training(Vec3 eye) {
    std::vector<Bot> bots(5);
    const auto pose = [&](Bot& bot, Vec3 offset, float yaw, float speed, float distance, int weapon, float health) {
        bot.position = eye + offset;
        bot.yaw = yaw;
        bot.horizontalSpeed = speed;
        bot.distanceTravelled = distance;
        bot.stateTimer = 1.3f;
        bot.weaponIndex = weapon;
        bot.health = health;
        bot.state = gameplay::BotState::Patrol;
    };
    pose(bots[0], {-2.0f, 0.0f, 5.0f}, 30.0f, 0.0f, 0.0f, 0, 100.0f);
    pose(bots[1], {3.0f, 0.0f, 14.0f}, 200.0f, 2.0f, 5.1f, 1, 64.0f);
    pose(bots[2], {0.5f, 0.6f, 30.0f}, -75.0f, 5.0f, 12.7f, 2, 20.0f);
    pose(bots[3], {1.0f, 0.0f, 8.0f}, 0.0f, 0.0f, 0.0f, 0, 0.0f);
    bots[3].state = gameplay::BotState::Killed;
    pose(bots[4], {0.0f, 0.0f, -10.0f}, 90.0f, 1.0f, 2.0f, 0, 100.0f);
    return bots;
}

// Sixteen bots in a row 6 m ahead, two teams, every clip and rifle.
std::vector<Bot> Crowd(Vec3 eye) {
    std::vector<Bot> bots(16);
    for (int i = 0; i < 16; ++i) {
        Bot& bot = bots[static_cast<size_t>(i)];
        bot.position = eye + Vec3{(i - 8) * 1.2f, 0.0f, 6.0f};
        bot.yaw = 23.0f * float(i);
        bot.horizontalSpeed = float(i % 3) * 2.0f;
        bot.distanceTravelled = 0.37f * float(i);
        bot.stateTimer = 0.21f * float(i);
        bot.weaponIndex = i % 3;
        bot.team = 1 + i % 2;
        bot.health = 7.0f * float(i);
        bot.state = gameplay::BotState::Patrol;
    }
    return bots;
}

struct Case {
    const char* name;
    uint64_t digest;
};

// Recorded from the builders before any speed work; see the note at the top.
constexpr Case kExpected[] = {
    {"map 0 vulkan training", 0xb3455e2eaefa5cb2ull},
    {"map 0 vulkan training untextured", 0xd82e1e0f890dbe86ull},
    {"map 0 vulkan training procedural", 0xa5e377b1c78d84d8ull},
    {"map 0 d3d11 training q0", 0x4ef3a7b0e32c0a4bull},
    {"map 0 d3d11 training q1", 0xb06a3c320e2af91cull},
    {"map 0 d3d11 training q2", 0x69e47db08490e746ull},
    {"map 0 d3d11 training untextured", 0x6b3a0871c5b92c0aull},
    {"map 0 d3d11 training fallback", 0x893cb82b858c5faeull},
    {"map 0 vulkan crowd", 0xd6004ff930ae08a2ull},
    {"map 0 vulkan crowd untextured", 0x92f531c355a1effcull},
    {"map 0 vulkan crowd procedural", 0x543a90de0cc1b9c9ull},
    {"map 0 d3d11 crowd q0", 0x33c53277cb97348aull},
    {"map 0 d3d11 crowd q1", 0x2aa4b4516d8b3ef1ull},
    {"map 0 d3d11 crowd q2", 0x98140671c32dd5b0ull},
    {"map 0 d3d11 crowd untextured", 0xc20cae2afbbcd784ull},
    {"map 0 d3d11 crowd fallback", 0xd7bc02c37f1aee91ull},
    {"map 1 vulkan training", 0x3e24da55d6a48653ull},
    {"map 1 vulkan training untextured", 0xc72ddaddd62e4967ull},
    {"map 1 vulkan training procedural", 0xfad1f54d5cb49e69ull},
    {"map 1 d3d11 training q0", 0xd192cd40ffbc98ceull},
    {"map 1 d3d11 training q1", 0xed283389c1b3d9a1ull},
    {"map 1 d3d11 training q2", 0x28f041c1f997c68full},
    {"map 1 d3d11 training untextured", 0xbf4c0415b95c9d23ull},
    {"map 1 d3d11 training fallback", 0x106279fc09059f47ull},
    {"map 1 vulkan crowd", 0xe16cfb6d9e57275cull},
    {"map 1 vulkan crowd untextured", 0x7ffc5f035e5bd69aull},
    {"map 1 vulkan crowd procedural", 0x3afb6ee89e4efd8full},
    {"map 1 d3d11 crowd q0", 0x78f5de172684fc6cull},
    {"map 1 d3d11 crowd q1", 0x457d5b42dd66c2bbull},
    {"map 1 d3d11 crowd q2", 0xa2e55fd45d97aaf2ull},
    {"map 1 d3d11 crowd untextured", 0x88424bf8e8e2ccbeull},
    {"map 1 d3d11 crowd fallback", 0x8151f7ce171ddc67ull},
    {"map 2 vulkan training", 0x90e7d1e165614dd1ull},
    {"map 2 vulkan training untextured", 0xe75a7943460ba27dull},
    {"map 2 vulkan training procedural", 0xe86b90f6043f84ffull},
    {"map 2 d3d11 training q0", 0x8c990199a3b0e080ull},
    {"map 2 d3d11 training q1", 0xf8468cd32b4f195bull},
    {"map 2 d3d11 training q2", 0x47c136407e506b21ull},
    {"map 2 d3d11 training untextured", 0x6e5f9f0715e837bdull},
    {"map 2 d3d11 training fallback", 0xf4246997ef1e28c9ull},
    {"map 2 vulkan crowd", 0x848d45fec15209c5ull},
    {"map 2 vulkan crowd untextured", 0x043eb439f3baadcbull},
    {"map 2 vulkan crowd procedural", 0x4bc4e51ff4ea5d0eull},
    {"map 2 d3d11 crowd q0", 0x7a0dcb54462f8f0eull},
    {"map 2 d3d11 crowd q1", 0x55a43a04b09f8425ull},
    {"map 2 d3d11 crowd q2", 0x7d904b99acb392acull},
    {"map 2 d3d11 crowd untextured", 0xa975e81870969870ull},
    {"map 2 d3d11 crowd fallback", 0x3fae5d3eee6181bdull},
};

class FrameDigest : public ::testing::Test {
protected:
    void SetUp() override {
        maps = ShippedMaps();
        ASSERT_FALSE(maps.empty());
        character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                                   presentation::DiscoverRozizodivoRollbackAsset());
        weapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset());
        ASSERT_TRUE(character.Ready());
        ASSERT_TRUE(weapon.Ready());
    }

    // Map 0 stands in its shipped arena. Maps 1 and 2 keep the built-in one: their
    // decorations are derived once per process from the first arena they are asked for,
    // and the other tests of this executable ask with the built-in arena.
    gameplay::TrainingSimulation Posed(int map, bool crowd) const {
        gameplay::TrainingSimulation sim{gameplay::GameplayConfig{}};
        if (map == 0) {
            EXPECT_TRUE(sim.ConfigureMatchMap(map, maps));
        }
        sim.Start();
        gameplay::PlayerState player = sim.Player();
        player.yaw = crowd ? 0.0f : 12.0f;
        player.pitch = crowd ? -4.0f : 6.0f;
        player.onlineValue = 1;
        player.weaponIndex = crowd ? 2 : 0;
        player.distanceTravelled = 3.3f;
        sim.ApplyOnlineSnapshot(player, sim.Weapon(), crowd ? Crowd(player.position) : Training(player.position));
        sim.onlineDriven = crowd;
        sim.mapIndex = map;
        return sim;
    }

    static RenderOverlay Overlay(bool crowd, uint32_t quality) {
        RenderOverlay overlay;
        overlay.elapsedSeconds = 30.0f;
        overlay.deviceName = L"llvmpipe";
        overlay.quality = quality;
        overlay.aimBlend = crowd ? 0.0f : 0.35f;
        overlay.muzzleFlash = crowd ? 0.04f : 0.0f;
        overlay.onlineMatch = crowd;
        overlay.matchMode = crowd ? 4 : 6;
        overlay.activePoint = 1;
        overlay.pointOwner = 2;
        return overlay;
    }

    std::filesystem::path maps;
    presentation::ImportedCharacterAsset character;
    presentation::ImportedWeaponAsset weapon;
    presentation::ImportedCharacterAsset noCharacter;
    presentation::ImportedWeaponAsset noWeapon;
};

TEST_F(FrameDigest, BothBuildersEmitTheRecordedVertices) {
    struct Seen {
        std::string name;
        uint64_t digest;
    };
    std::vector<Seen> seen;
    std::vector<Vertex> vertices;
    D3D11Scene scene;
    for (int map = 0; map < 3; ++map) {
        const std::string prefix = "map " + std::to_string(map) + " ";
        for (bool crowd : {false, true}) {
            const gameplay::TrainingSimulation sim = Posed(map, crowd);
            const std::string what = crowd ? "crowd" : "training";
            const auto record = [&](const std::string& name, uint64_t digest) {
                seen.push_back({prefix + name, digest});
            };
            // Each list is built over NaNs (see Poison).
            const auto vulkan = [&](const RenderOverlay& o, const VulkanFrameAssets& assets) {
                Poison(vertices);
                BuildVulkanFrame(sim, o, assets, 1920, 1080, vertices);
                return Digest(vertices);
            };
            const auto d3d11 = [&](const RenderOverlay& o, const D3D11SceneAssets& assets) {
                Poison(scene.vertices);
                BuildD3D11Scene(scene, sim, o, assets, 1600, 900);
                return Digest(scene.vertices);
            };
            // The Vulkan frame (world and HUD): textured, shaded by body region, procedural.
            const RenderOverlay overlay = Overlay(crowd, 0);
            record("vulkan " + what, vulkan(overlay, {character, weapon, true}));
            record("vulkan " + what + " untextured", vulkan(overlay, {character, weapon, false}));
            record("vulkan " + what + " procedural", vulkan(overlay, {noCharacter, noWeapon, false}));
            // The Direct3D 11 scene at every quality, without the texture, and with neither asset.
            for (uint32_t quality = 0; quality < 3; ++quality) {
                record("d3d11 " + what + " q" + std::to_string(quality),
                       d3d11(Overlay(crowd, quality), {character, weapon, true}));
            }
            record("d3d11 " + what + " untextured", d3d11(Overlay(crowd, 2), {character, weapon, false}));
            record("d3d11 " + what + " fallback", d3d11(overlay, {noCharacter, noWeapon, false}));
        }
    }

    bool same = std::size(kExpected) == seen.size();
    for (size_t i = 0; i < seen.size(); ++i) {
        const bool match = i < std::size(kExpected) && kExpected[i].name == seen[i].name &&
                           kExpected[i].digest == seen[i].digest;
        EXPECT_TRUE(match) << seen[i].name;
        same = same && match;
    }
    if (!same) {
        std::string table;
        char line[128];
        for (const Seen& c : seen) {
            std::snprintf(line, sizeof line, "    {\"%s\", 0x%016" PRIx64 "ull},\n", c.name.c_str(), c.digest);
            table += line;
        }
        ADD_FAILURE() << "digests now:\n" << table;
    }
}

// One box alone, as Box or as OrientedBox at yaw 0, seen by a slightly turned camera.
template <typename Builder>
std::vector<Vertex> OneBox(Vec3 center, Vec3 size, gameplay::Color3 colour, bool turned) {
    std::vector<Vertex> list;
    Builder b(list, {0.3f, 1.6f, -2}, gameplay::Normalize({0.1f, -0.2f, 1}), 0.0f, 1600, 900);
    if (turned) b.OrientedBox(center, size, 0.0f, colour);
    else b.Box(center, size, colour);
    return list;
}

// An axis-aligned box takes a shorter road than a turned one; at yaw 0 both must give
// the same bytes: flat, inside-out, tiny, nearly flat, far (fogged) and over-bright boxes.
TEST(FrameBoxes, AxisAlignedBoxIsTheTurnedBoxAtYawZero) {
    struct Case {
        Vec3 center, size;
        gameplay::Color3 colour;
    };
    const Case cases[] = {
        {{1, 2, 10}, {2, 4, 6}, {0.5f, 0.4f, 0.3f}},
        {{1, 2, 10}, {2, 0, 6}, {1, 1, 1}},
        {{-3, 1, 7}, {0, 4, 6}, {0.2f, 0.9f, 0.1f}},
        {{3, -1, 9}, {2, 4, 0}, {0.6f, 0.6f, 0.6f}},
        {{1, 1, 12}, {0, 0, 5}, {1, 1, 1}},
        {{1, 1, 12}, {0, 0, 0}, {1, 1, 1}},
        {{2, 1, 8}, {-1, 2, -3}, {0.7f, 0.2f, 0.4f}},
        {{2, 1, 8}, {1e-4f, 1e-4f, 1e-4f}, {1, 1, 1}},
        {{2, 1, 8}, {0.005f, 0.005f, 1}, {1, 1, 1}},  // faces of 2.5e-5 m2, just lit
        {{0.5f, 3, 60}, {1e4f, 3, 1e4f}, {0.1f, 0.2f, 0.3f}},
        {{-7, 0.2f, 40}, {3, 0.4f, 5}, {2.5f, 1.5f, 0.5f}},
    };
    for (const Case& c : cases) {
        const std::string size = std::to_string(c.size.x) + " " + std::to_string(c.size.y) + " " +
                                 std::to_string(c.size.z);
        EXPECT_EQ(Digest(OneBox<GeometryBuilder>(c.center, c.size, c.colour, false)),
                  Digest(OneBox<GeometryBuilder>(c.center, c.size, c.colour, true)))
            << "Vulkan, size " << size;
        EXPECT_EQ(Digest(OneBox<SceneBuilder>(c.center, c.size, c.colour, false)),
                  Digest(OneBox<SceneBuilder>(c.center, c.size, c.colour, true)))
            << "Direct3D 11, size " << size;
    }
}

}  // namespace
}  // namespace tarvo::renderer
