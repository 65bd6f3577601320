#include <algorithm>
#include <cmath>

#include "gameplay/training_simulation.h"
#include "presentation/scene_decorations.h"
#include "presentation/visual_definitions.h"
#include "presentation/weapon_meshes.h"
#include "renderer/character_lod.h"
#include "renderer/character_mesh.h"
#include "renderer/vulkan/vulkan_frame_geometry.h"
#include "renderer/world_parts.h"

namespace tarvo::renderer {

using gameplay::Bot;
using gameplay::BotState;
using gameplay::Color3;
using gameplay::ScenePrimitive;
using gameplay::ScenePrimitiveKind;
using gameplay::Vec3;

namespace {

constexpr Color3 kLime{0.63f, 0.95f, 0.02f};
constexpr Color3 kCyan{0.0f, 0.72f, 0.92f};
constexpr Color3 kRed{0.62f, 0.09f, 0.075f};

// Vertices one bot may add beside its body and held mesh: shadow, bars, muzzle cap.
constexpr size_t kBotExtrasVertices = 18 * 12 + 4 * 36;
// The procedural body: twelve boxes and a 10-segment head.
constexpr size_t kProceduralBodyVertices = 12 * 36 + 10 * 12;

void RelayDressing(GeometryBuilder& b) {
    const Color3 beam{0.175f, 0.205f, 0.215f};
    const Color3 panel{0.07f, 0.105f, 0.12f};
    b.Box({0, 6.85f, 0}, {63.2f, 0.45f, 83.2f}, {0.05f, 0.073f, 0.08f});
    for (int i = 0; i < 11; ++i) {
        const float z = -38.0f + 7.0f * float(i);
        b.Box({0, 6.3f, z}, {62, 0.42f, 0.52f}, beam);
        b.Box({-15, 6.02f, z}, {14, 0.12f, 0.22f}, kCyan);
        b.Box({15, 6.02f, z}, {14, 0.12f, 0.22f}, kLime);
    }
    for (int i = 0; i < 10; ++i) {
        const float z = -37.0f + 8.0f * float(i);
        b.Box({-31.15f, 3, z}, {0.35f, 5.5f, 0.65f}, {0.235f, 0.27f, 0.275f});
        b.Box({31.15f, 3, z}, {0.35f, 5.5f, 0.65f}, {0.235f, 0.27f, 0.275f});
        b.Box({-30.9f, 4.55f, z}, {0.12f, 1.75f, 3.8f}, panel);
        b.Box({30.9f, 4.55f, z}, {0.12f, 1.75f, 3.8f}, panel);
        b.Box({-30.67f, 4.55f, z}, {0.06f, 0.1f, 2.8f}, kCyan);
        b.Box({30.67f, 4.55f, z}, {0.06f, 0.1f, 2.8f}, kLime);
    }
    for (int i = 0; i < 11; ++i) {
        const float z = -20.0f + 4.0f * float(i);
        b.Box({-12, 0.035f, z}, {0.16f, 0.06f, 2.1f}, {0.015f, 0.27f, 0.34f});
        b.Box({12, 0.035f, z}, {0.16f, 0.06f, 2.1f}, {0.25f, 0.38f, 0.025f});
    }
    b.Box({0, 0.045f, 0}, {11.5f, 0.08f, 0.18f}, kLime);
    b.Box({0, 0.05f, -9}, {7, 0.08f, 0.12f}, kCyan);
    for (int i = 0; i < 11; ++i) {
        const float x = -4.5f + 0.9f * float(i);
        b.OrientedBox({x, 0.055f, 3.7f}, {0.42f, 0.09f, 2.4f}, -24.0f,
                      i % 2 == 0 ? panel : Color3{0.25f, 0.38f, 0.025f});
    }
    b.Box({0, 4.06f, 41.35f}, {24, 0.18f, 0.16f}, beam);
    b.Box({0, 0.04f, 41.35f}, {24, 0.18f, 0.16f}, beam);
    b.Box({11.91f, 2.05f, 41.35f}, {0.18f, 4.2f, 0.16f}, beam);
    b.Box({-11.91f, 2.05f, 41.35f}, {0.18f, 4.2f, 0.16f}, beam);
    b.Box({0, 2.1f, 41.2f}, {22.9f, 3.45f, 0.12f}, panel);
    b.WorldTextZ("ZE001", 0, 2.45f, 41.08f, 0.24f, kLime);
    b.WorldTextZ("RELAY FACILITY", 0, 1.38f, 41.07f, 0.11f, kCyan);
    b.WorldTextZ("LEFT", -29.9f, 2.2f, 15.7f, 0.12f, kCyan);
    b.WorldTextZ("RIGHT", 29.9f, 2.2f, 15.7f, 0.12f, kLime);
}

void ProceduralBody(GeometryBuilder& b, const Bot& bot) {
    struct Part {
        Vec3 offset, size;
        Color3 colour;
    };
    const Color3 suit{0.22f, 0.255f, 0.265f};
    const Color3 steel{0.175f, 0.205f, 0.215f};
    static const Part kBefore[] = {
        {{0, 0.32f, 0}, {0.34f, 0.66f, 0.4f}, suit},
        {{-0.23f, 0.34f, 0}, {0.22f, 0.7f, 0.25f}, suit},
        {{0.23f, 0.34f, 0}, {0.22f, 0.7f, 0.25f}, suit},
        {{0, 1.02f, 0}, {0.82f, 0.92f, 0.48f}, {0.075f, 0.31f, 0.37f}},
        {{0, 1.18f, -0.27f}, {0.58f, 0.38f, 0.1f}, {0.02f, 0.66f, 0.79f}},
        {{-0.53f, 1.15f, 0}, {0.28f, 0.36f, 0.44f}, steel},
        {{0.53f, 1.15f, 0}, {0.28f, 0.36f, 0.44f}, steel},
        {{-0.55f, 0.82f, 0}, {0.21f, 0.55f, 0.23f}, suit},
        {{0.55f, 0.82f, 0}, {0.21f, 0.55f, 0.23f}, suit},
    };
    static const Part kAfter[] = {
        {{0, 1.76f, -0.31f}, {0.5f, 0.12f, 0.08f}, kRed},
        {{0.3f, 1.0f, -0.48f}, {0.76f, 0.12f, 0.15f}, {0.12f, 0.15f, 0.16f}},
        {{0.63f, 1.0f, -0.49f}, {0.09f, 0.1f, 0.42f}, kRed},
    };
    for (const Part& p : kBefore) b.OrientedBox(bot.position + TurnByYaw(p.offset, bot.yaw), p.size, bot.yaw, p.colour);
    b.Cylinder(bot.position + Vec3{0, 1.72f, 0}, 0.34f, 0.46f, 10, suit);
    for (const Part& p : kAfter) b.OrientedBox(bot.position + TurnByYaw(p.offset, bot.yaw), p.size, bot.yaw, p.colour);
}

// Kept between frames so a frame does not allocate once it has grown.
CharacterScratch& Scratch() {
    static CharacterScratch scratch;  // the frame is built on the UI thread only
    return scratch;
}

void ImportedBody(GeometryBuilder& b, const Bot& bot, const presentation::ImportedCharacterAsset& character,
                  size_t lod, const char* clip, float time, bool textured) {
    const std::span<const Vec3> positions = character.Sample(clip, time, lod);
    const std::span<const uint32_t> indices = character.Indices(lod);
    const auto uvs = character.TextureCoordinates(lod);
    if (indices.size() < 3) return;
    const bool useTexture = textured && uvs.size() == positions.size();
    const float r = bot.yaw * kPi / 180.0f;
    const float c = std::cos(r);
    const float s = std::sin(r);

    CharacterScratch& scratch = Scratch();
    // The textured body is lit from the unturned corners, the shaded one from the placed.
    PlaceCharacterCorners(b, positions, bot.position, c, s, uvs, 1.0f,
                          useTexture ? CharacterLight::LocalPose : CharacterLight::PlacedCorners, scratch);
    if (useTexture) {
        // The body is lit the same whichever way it faces.
        AppendCharacterTriangles(b, indices, CharacterLight::LocalPose, scratch);
        return;
    }
    const size_t count = positions.size();
    const auto placed = [&](uint32_t at) {
        const float* p = &scratch.points[4 * size_t(at)];
        return Vec3{p[0], p[1], p[2]};
    };
    const auto projected = [&](uint32_t at) {
        const CharacterCorner& corner = scratch.corners[at];
        return FrameBuilder::ProjectedPoint{corner.position[0], corner.position[1], corner.position[2],
                                            corner.position[3], corner.fog};
    };
    for (size_t t = 0, i = 0; i + 2 < indices.size(); i += 3, ++t) {
        const uint32_t i0 = indices[i], i1 = indices[i + 1], i2 = indices[i + 2];
        if (i0 >= count || i1 >= count || i2 >= count) continue;
        const Vec3 p0 = positions[i0], p1 = positions[i1], p2 = positions[i2];
        const float ym = (p0.y + p1.y + p2.y) / 3.0f;
        const float xm = (p0.x + p1.x + p2.x) / 3.0f;
        Color3 colour;
        if (ym > 1.52f) colour = {0.25f, 0.3f, 0.31f};
        else if (ym > 0.88f) colour = std::fabs(xm) > 0.31f ? Color3{0.12f, 0.43f, 0.49f} : Color3{0.075f, 0.29f, 0.34f};
        else if (ym > 0.28f) colour = {0.07f, 0.09f, 0.095f};
        else colour = {0.25f, 0.3f, 0.31f};
        if (t % 37 == 0 && ym > 0.75f) colour = {0.54f, 0.78f, 0.025f};
        const Vec3 world[3] = {placed(i0), placed(i1), placed(i2)};
        const FrameBuilder::ProjectedPoint q[3] = {projected(i0), projected(i1), projected(i2)};
        b.Triangle(world, q, colour, false);
    }
}

}  // namespace

size_t HudVertexHeadroom(size_t firstPersonMeshVertices) {
    // Texts of the busiest HUD (pause menu or arsenal, performance panel, a full
    // scoreboard) stay well under 4,000 characters of 12 vertices each.
    return 65536 + firstPersonMeshVertices;
}

void AppendVulkanWorld(GeometryBuilder& b, const gameplay::TrainingSimulation& sim, const RenderOverlay& overlay,
                       const VulkanFrameAssets& assets) {
    const int map = sim.mapIndex;
    for (const ScenePrimitive& p : sim.Arena()) {
        const Color3 colour = ArenaColour(map, p);
        if (p.type == gameplay::ScenePrimitiveType::Ramp) b.RampWedge(p.center, p.size, colour);
        else b.Box(p.center, p.size, colour);
    }
    for (const ScenePrimitive& p : presentation::MapDecorations(map, sim.Arena())) b.Box(p.center, p.size, p.color);
    if (map == 0) RelayDressing(b);
    if (overlay.onlineMatch && overlay.matchMode == 4) AppendCapturePoint(b, map, overlay);

    const auto& character = assets.character;
    const bool characterReady = character.Ready();
    const bool weaponReady = assets.weapon.Ready();
    const int alive = sim.BotsAlive();
    const float fullBotHealth = sim.Config().bot_health;
    const int32_t playerTeam = sim.Player().onlineValue;

    // Keep room for the HUD and the rest of the bots, so a very detailed character
    // falls back to the procedural body instead of overflowing the vertex buffer.
    size_t largestHeld = 0;
    for (int w = 0; w < 3; ++w) {
        largestHeld = std::max(largestHeld, presentation::ArsenalMesh(w, assets.weapon.Vertices()).size());
    }
    const size_t hudHeadroom = HudVertexHeadroom(presentation::FirstPersonGripArms().size() + largestHeld);
    const size_t perBotReserve = kBotExtrasVertices + kProceduralBodyVertices + std::max<size_t>(largestHeld, 36);

    const std::vector<Bot>& bots = sim.Bots();
    for (size_t index = 0; index < bots.size(); ++index) {
        const Bot& bot = bots[index];
        if (bot.state == BotState::Killed || bot.state == BotState::AwaitingRespawn) continue;
        const Vec3 d = bot.position - b.cameraPosition;
        const float distance = gameplay::Length(d);
        if (distance > 3.0f && gameplay::Dot(gameplay::Normalize(d), b.forward) < 0.25f) continue;

        if (bot.position.y < 0.15f) {
            b.Cylinder(bot.position + Vec3{0, 0.008f, 0}, 0.36f, 0.012f, 18, {0.012f, 0.02f, 0.025f});
        }
        if (bot.team != 0) {
            b.OrientedBox(bot.position + Vec3{0, 2.1f, 0}, {0.4f, 0.045f, 0.045f}, bot.yaw,
                          bot.team == playerTeam ? Color3{0.02f, 0.8f, 0.9f} : Color3{0.95f, 0.32f, 0.08f});
        }
        const BotClip clip = BotAnimation(bot);

        bool drewImported = false;
        if (characterReady) {
            const size_t lod = CharacterLodForBudget(character, distance, alive);
            const size_t cost = character.Indices(lod).size();
            const size_t remainingBots = bots.size() - index - 1;
            const size_t ceiling = assets.vertexCapacity > hudHeadroom ? assets.vertexCapacity - hudHeadroom : 0;
            if (b.vertices.size() + cost + remainingBots * perBotReserve <= ceiling) {
                ImportedBody(b, bot, character, lod, clip.name, clip.time, assets.characterTextureBound);
                drewImported = true;
            }
        }
        if (!drewImported) ProceduralBody(b, bot);

        if (weaponReady) {
            const RifleHold hold = BotRifleHold(bot, character, clip);
            AppendHeldMesh(b, presentation::ArsenalMesh(bot.weaponIndex, assets.weapon.Vertices()), hold);
            b.OrientedBox(hold.muzzle, {0.055f, 0.055f, 0.09f}, bot.yaw, {0.12f, 0.15f, 0.16f});
        } else {
            b.OrientedBox(bot.position + TurnByYaw({0.28f, 1.18f, 0.44f}, bot.yaw), {0.15f, 0.14f, 0.95f}, bot.yaw,
                          {0.1f, 0.13f, 0.14f});
        }

        // A non-positive configured maximum would divide by zero; the bar is then empty.
        float h = fullBotHealth > 0.0f ? bot.health / fullBotHealth : 0.0f;
        h = std::isnan(h) ? 0.0f : std::clamp(h, 0.0f, 1.0f);
        b.OrientedBox(bot.position + TurnByYaw({0, 2.18f, 0}, bot.yaw), {0.84f, 0.055f, 0.055f}, bot.yaw,
                      {0.07f, 0.08f, 0.08f});
        b.OrientedBox(bot.position + TurnByYaw({-(1.0f - h) * 0.42f, 2.18f, -0.035f}, bot.yaw),
                      {0.84f * h, 0.065f, 0.045f}, bot.yaw, h < 0.35f ? kRed : kLime);
    }
}

void BuildVulkanFrame(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay,
                      const VulkanFrameAssets& assets, float width, float height, std::vector<Vertex>& vertices) {
    GeometryBuilder builder(vertices, simulation.CameraPosition(), simulation.CameraForward(), overlay.aimBlend, width,
                            height);
    AppendVulkanWorld(builder, simulation, overlay, assets);
    AppendVulkanHud(builder, simulation, overlay, assets);
}

}  // namespace tarvo::renderer
