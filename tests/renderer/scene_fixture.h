#pragma once
// A simulation posed for one frame: player at the origin looking along +z, bots placed
// by hand, through the same snapshot path the online client uses.

#include <cmath>
#include <vector>

#include "gameplay/training_simulation.h"
#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/render_overlay.h"
#include "renderer/vulkan/vulkan_frame_geometry.h"

namespace tarvo::renderer::test {

struct Scene {
    gameplay::GameplayConfig config;
    gameplay::PlayerState player;
    gameplay::WeaponState weapon;
    std::vector<gameplay::Bot> bots;
    bool online = false;
    int map = 1;
    RenderOverlay overlay;
    presentation::ImportedCharacterAsset character;  // not loaded unless a test loads it
    presentation::ImportedWeaponAsset heldWeapon;
    bool textureBound = false;
    size_t capacity = 1048576;
    float width = 1920;
    float height = 1080;
    std::vector<Vertex> vertices;

    Scene() {
        player.health = 100;
        weapon.magazine = 30;
        weapon.reserve = 120;
    }

    static gameplay::Bot BotAt(gameplay::Vec3 position, float yaw = 0.0f) {
        gameplay::Bot bot;
        bot.position = position;
        bot.yaw = yaw;
        bot.health = 100;
        bot.state = gameplay::BotState::Patrol;
        return bot;
    }

    gameplay::TrainingSimulation Simulation() const {
        gameplay::TrainingSimulation sim(config);
        sim.ApplyOnlineSnapshot(player, weapon, bots);
        sim.onlineDriven = online;
        sim.mapIndex = map;
        return sim;
    }

    VulkanFrameAssets Assets() const { return {character, heldWeapon, textureBound, capacity}; }

    // The world half alone.
    size_t World() {
        const gameplay::TrainingSimulation sim = Simulation();
        GeometryBuilder b(vertices, sim.CameraPosition(), sim.CameraForward(), overlay.aimBlend, width, height);
        AppendVulkanWorld(b, sim, overlay, Assets());
        return vertices.size();
    }

    // The HUD half alone.
    size_t Hud() {
        const gameplay::TrainingSimulation sim = Simulation();
        GeometryBuilder b(vertices, sim.CameraPosition(), sim.CameraForward(), overlay.aimBlend, width, height);
        AppendVulkanHud(b, sim, overlay, Assets());
        return vertices.size();
    }

    // What `draw` emits for this scene's camera and target: the vertices the frame
    // must hold for that shape.
    template <typename Draw>
    std::vector<Vertex> Shape(Draw draw) const {
        const gameplay::TrainingSimulation sim = Simulation();
        std::vector<Vertex> out;
        GeometryBuilder b(out, sim.CameraPosition(), sim.CameraForward(), overlay.aimBlend, width, height);
        draw(b);
        return out;
    }

    // World position of a projected world vertex, for the camera of this scene.
    gameplay::Vec3 Unproject(const Vertex& v) const {
        const float f = 1.0f / std::tan(78.0f * kPi / 180.0f * 0.5f);
        const float aspect = width / height;
        return {v.position[0] * aspect / f, -v.position[1] / f + 1.68f, v.position[3]};
    }
};

}  // namespace tarvo::renderer::test
