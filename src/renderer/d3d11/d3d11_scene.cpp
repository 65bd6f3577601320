#include "renderer/d3d11/d3d11_scene.h"

#include <algorithm>
#include <cmath>

#include "gameplay/training_simulation.h"
#include "presentation/scene_decorations.h"
#include "presentation/weapon_meshes.h"
#include "renderer/character_lod.h"
#include "renderer/character_mesh.h"
#include "renderer/world_parts.h"

namespace tarvo::renderer {

using gameplay::Bot;
using gameplay::BotState;
using gameplay::Color3;
using gameplay::Vec3;

namespace {

void CharacterBody(SceneBuilder& b, D3D11Scene& scene, const Bot& bot,
                   const presentation::ImportedCharacterAsset& character, size_t lod, const BotClip& clip,
                   bool textured) {
    const std::span<const Vec3> positions = character.Sample(clip.name, clip.time, lod);
    const std::span<const uint32_t> indices = character.Indices(lod);
    const auto uvs = character.TextureCoordinates(lod);
    if (indices.size() < 3) return;
    const float r = bot.yaw * kPi / 180.0f;
    const float c = std::cos(r);
    const float s = std::sin(r);
    // Every corner is shared by several triangles: turn, place and project it once.
    PlaceCharacterCorners(b, positions, bot.position, c, s, uvs, textured ? 1.0f : 0.0f,
                          CharacterLight::PlacedCorners, scene.character);
    AppendCharacterTriangles(b, indices, CharacterLight::PlacedCorners, scene.character);
}

void HeldRifle(SceneBuilder& b, const Bot& bot, const presentation::ImportedCharacterAsset& character,
               const presentation::ImportedWeaponAsset& weapon, const BotClip& clip) {
    const RifleHold hold = BotRifleHold(bot, character, clip);
    const std::span<const presentation::ImportedWeaponVertex> mesh =
        weapon.Ready() ? presentation::ArsenalMesh(bot.weaponIndex, weapon.Vertices())
                       : std::span<const presentation::ImportedWeaponVertex>{};
    if (!mesh.empty()) {
        AppendHeldMesh(b, mesh, hold);
    } else {
        const float r = bot.yaw * kPi / 180.0f;
        const float s = std::sin(r);
        const float c = std::cos(r);
        b.OrientedBox(hold.grip + Vec3{0.38f * s, 0.0f, 0.38f * c}, {0.16f, 0.16f, 0.95f}, bot.yaw,
                      {0.11f, 0.14f, 0.15f});
        b.OrientedBox(hold.grip + Vec3{0.2f * s - 0.18f * c, -0.1f, 0.2f * c + 0.18f * s}, {0.38f, 0.14f, 0.2f},
                      bot.yaw, {0.17f, 0.2f, 0.2f});
    }
    b.OrientedBox(hold.muzzle, {0.055f, 0.055f, 0.09f}, bot.yaw, {0.12f, 0.15f, 0.16f});
}

}  // namespace

size_t D3D11CharacterLod(const presentation::ImportedCharacterAsset& character, float distance, int botsAlive,
                         uint32_t quality) {
    size_t lod = CharacterLodForBudget(character, distance, botsAlive);
    if (quality == 0) lod = std::max<size_t>(lod, 2);
    else if (quality == 1) lod = std::max<size_t>(lod, 1);
    // An asset with fewer levels than the floor still shows its coarsest body.
    if (character.LodCount() > 0) lod = std::min(lod, character.LodCount() - 1);
    return lod;
}

void BuildD3D11Scene(D3D11Scene& scene, const gameplay::TrainingSimulation& sim, const RenderOverlay& overlay,
                     const D3D11SceneAssets& assets, float width, float height) {
    SceneBuilder b(scene.vertices, sim.CameraPosition(), sim.CameraForward(), overlay.aimBlend, width, height);
    const int map = sim.mapIndex;

    // Every arena primitive is a box here, ramps included.
    for (const gameplay::ScenePrimitive& p : sim.Arena()) b.Box(p.center, p.size, ArenaColour(map, p));
    for (const gameplay::ScenePrimitive& p : presentation::MapDecorations(map, sim.Arena())) {
        b.Box(p.center, p.size, p.color);
    }
    if (overlay.onlineMatch && overlay.matchMode == 4) AppendCapturePoint(b, map, overlay);

    const presentation::ImportedCharacterAsset& character = assets.character;
    const bool characterReady = character.Ready();
    const int alive = sim.BotsAlive();
    const int32_t playerTeam = sim.Player().onlineValue;
    for (const Bot& bot : sim.Bots()) {
        if (bot.state == BotState::Killed || bot.state == BotState::AwaitingRespawn) continue;
        const Vec3 d = bot.position - b.cameraPosition;
        const float distance = gameplay::Length(d);
        if (distance > 3.0f && gameplay::Dot(gameplay::Normalize(d), b.forward) < 0.25f) continue;

        if (bot.team != 0) {
            b.OrientedBox(bot.position + Vec3{0, 2.1f, 0}, {0.4f, 0.045f, 0.045f}, bot.yaw,
                          bot.team == playerTeam ? Color3{0.02f, 0.8f, 0.9f} : Color3{0.95f, 0.32f, 0.08f});
        }
        const BotClip clip = BotAnimation(bot);
        if (characterReady) {
            const size_t lod = D3D11CharacterLod(character, distance, alive, overlay.quality);
            CharacterBody(b, scene, bot, character, lod, clip, assets.characterTextureBound);
        } else {
            b.OrientedBox(bot.position + Vec3{0, 0.9f, 0}, {0.8f, 1.8f, 0.55f}, bot.yaw, {0.08f, 0.36f, 0.42f});
        }
        HeldRifle(b, bot, character, assets.weapon, clip);
    }

    const gameplay::PlayerState& player = sim.Player();
    b.ImportedViewmodel(presentation::FirstPersonGripArms(), player.distanceTravelled, overlay.muzzleFlash,
                        overlay.aimBlend);
    if (assets.weapon.Ready()) {
        b.ImportedViewmodel(presentation::ArsenalMesh(player.weaponIndex, assets.weapon.Vertices()),
                            player.distanceTravelled, overlay.muzzleFlash, overlay.aimBlend);
    }

    // The index list only counts up; it changes only when the vertex count does.
    const size_t count = scene.vertices.size();
    if (scene.indices.size() != count) {
        const size_t before = scene.indices.size();
        scene.indices.resize(count);
        for (size_t i = before; i < count; ++i) scene.indices[i] = static_cast<uint32_t>(i);
    }
}

}  // namespace tarvo::renderer
