#pragma once
// Shared by the Direct3D 11 tests: posed simulations, colour checks on captures, and
// the friend that reaches a backend's device objects.

#include <cmath>
#include <string>
#include <vector>

#include "common/text_utils.h"
#include "gameplay/training_simulation.h"
#include "renderer/d3d11/d3d11_impl.h"
#include "support/render_window.h"

namespace tarvo::renderer {

struct D3D11RendererTestAccess {
    static D3D11Renderer::Impl& Of(D3D11Renderer& backend) { return *backend.impl_; }
};

namespace d3d11test {

using ::tarvo::test::Bitmap;
using ::tarvo::test::BrightPixels;
using ::tarvo::test::TestWindow;

inline std::string Utf8(const std::wstring& text) { return distribution::WideToUtf8(text); }

// The back buffer is UNORM: a stored channel is the linear value times 255.
inline bool ColourNear(const std::array<int, 3>& stored, float r, float g, float b, float tolerance = 1.5f) {
    return std::abs(stored[0] - r * 255.0f) <= tolerance && std::abs(stored[1] - g * 255.0f) <= tolerance &&
           std::abs(stored[2] - b * 255.0f) <= tolerance;
}

// The HUD panel brush (alpha 0.92) over a cleared pixel.
inline std::array<float, 3> PanelOver(float r, float g, float b) {
    return {0.92f * 0.015f + 0.08f * r, 0.92f * 0.035f + 0.08f * g, 0.92f * 0.043f + 0.08f * b};
}

inline constexpr float kRelaySky[3] = {0.008f, 0.018f, 0.022f};
inline constexpr float kSkydockSky[3] = {0.035f, 0.075f, 0.14f};

// A simulation posed by hand through the snapshot path the online client uses.
inline gameplay::TrainingSimulation Posed(int map, gameplay::Vec3 position, float yaw,
                                          const std::vector<gameplay::Bot>& bots = {}, float health = 100.0f) {
    gameplay::TrainingSimulation sim{gameplay::GameplayConfig{}};
    sim.Start();
    gameplay::PlayerState player = sim.Player();
    player.position = position;
    player.yaw = yaw;
    player.pitch = 0;
    player.health = health;
    sim.ApplyOnlineSnapshot(player, sim.Weapon(), bots);
    sim.onlineDriven = false;
    sim.mapIndex = map;
    return sim;
}

// Far outside the arena looking out: behind the HUD there is only the clear colour.
inline gameplay::TrainingSimulation LookingIntoTheVoid(int map, float health = 100.0f) {
    return Posed(map, {0, 0, -400}, 180, {}, health);
}

inline gameplay::Bot BotAt(gameplay::Vec3 position, float yaw = 0.0f) {
    gameplay::Bot bot;
    bot.position = position;
    bot.yaw = yaw;
    bot.health = 100;
    bot.state = gameplay::BotState::Patrol;
    return bot;
}

}  // namespace d3d11test
}  // namespace tarvo::renderer
