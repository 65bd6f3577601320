#include "gameplay/training_simulation.h"
#include "gameplay/world_math.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvo::gameplay {
namespace {

constexpr Vec3 kPlayerSpawn{0.0f, 0.0f, -34.0f};
constexpr float kPitchLimit = 88.0f;
constexpr float kStandingEyeHeight = 1.68f;
constexpr float kCrouchingEyeHeight = 1.12f;
// Teleports (respawn, bounds recovery) are longer than any step can walk.
constexpr float kTeleportDistance = 1.0f;

}  // namespace

TrainingSimulation::TrainingSimulation(GameplayConfig configuration) : config(configuration) {
    player.position = {0.0f, 0.0f, -12.0f};
    player.health = 100.0f;
    player.grounded = true;
    events.reserve(64);
    BuildArena();
    BuildNavigationGraph();
}

void TrainingSimulation::Start() {
    active = true;
    onlineDriven = false;
    accumulator = 0.0f;
    SpawnPlayer();
    SpawnBots();
    Emit("GameplaySessionStarted", -1);
    Emit("MapLoaded", -1);
}

void TrainingSimulation::Stop() {
    if (active) {
        Emit("GameplaySessionEnded", -1);
    }
    active = false;
    bots.clear();
}

void TrainingSimulation::Restart() {
    Stop();
    Start();
}

void TrainingSimulation::SpawnPlayer() {
    player.weaponIndex = 0;
    player.onlineValue = 0;
    player.position = kPlayerSpawn;
    player.yaw = 0.0f;
    player.pitch = 0.0f;
    player.verticalVelocity = 0.0f;
    player.health = config.player_health;
    player.grounded = true;
    player.crouching = false;
    player.dead = false;
    player.respawnTimer = 0.0f;
    player.kills = 0;
    player.deaths = 0;
    player.deathsByBots = 0;
    player.horizontalSpeed = 0.0f;
    player.distanceTravelled = 0.0f;
    lastSafePosition = kPlayerSpawn;

    weapon.magazine = config.magazine_size;
    weapon.reserve = config.reserve_ammo;
    weapon.cooldown = 0.0f;
    weapon.reloadTimer = 0.0f;
    weapon.reloading = false;
    weapon.fireMode = FireMode::Automatic;
    Emit("PlayerSpawned", -1);
}

void TrainingSimulation::Update(const InputState& input, float seconds) {
    if (!active) {
        return;
    }
    // One bad frame time must never freeze or flood the simulation.
    float step = std::isfinite(seconds) ? seconds : 0.0f;
    step = std::clamp(step, 0.0f, kMaxFrameSeconds);
    accumulator += step;
    while (accumulator >= kFixedStep) {
        FixedUpdate(input, kFixedStep);
        accumulator -= kFixedStep;
    }
}

void TrainingSimulation::FixedUpdate(const InputState& input, float dt) {
    const Vec3 playerStart = player.position;
    stepStartBotPositions.clear();
    for (const Bot& bot : bots) {
        stepStartBotPositions.push_back(bot.position);
    }

    if (weapon.cooldown > 0.0f) {
        weapon.cooldown -= dt;
    }
    if (weapon.reloading) {
        weapon.reloadTimer -= dt;
        if (weapon.reloadTimer <= 0.0f) {
            const int32_t moved = std::min(weapon.reserve, config.magazine_size - weapon.magazine);
            weapon.magazine += moved;
            weapon.reserve -= moved;
            weapon.reloading = false;
        }
    }

    if (player.dead) {
        player.respawnTimer -= dt;
        if (player.respawnTimer <= 0.0f) {
            const int32_t kills = player.kills;
            const int32_t deaths = player.deaths;
            const int32_t deathsByBots = player.deathsByBots;
            SpawnPlayer();
            player.kills = kills;
            player.deaths = deaths;
            player.deathsByBots = deathsByBots;
        }
    } else {
        UpdatePlayer(input, dt);
    }

    UpdateBots(dt);

    const float walked = detail::FlatDistance(playerStart, player.position);
    if (walked < kTeleportDistance) {
        player.horizontalSpeed = walked / dt;
        player.distanceTravelled += walked;
    } else {
        player.horizontalSpeed = 0.0f;
    }

    const std::size_t tracked = std::min(bots.size(), stepStartBotPositions.size());
    for (std::size_t i = 0; i < tracked; ++i) {
        Bot& bot = bots[i];
        const float d = detail::FlatDistance(stepStartBotPositions[i], bot.position);
        if (d < kTeleportDistance) {
            bot.horizontalSpeed = d / dt;
            bot.distanceTravelled += d;
        } else {
            bot.horizontalSpeed = 0.0f;
        }
    }
}

float TrainingSimulation::NextRandom() {
    randomState = randomState * 1664525u + 1013904223u;
    return static_cast<float>(randomState >> 8) / 16777215.0f;
}

void TrainingSimulation::AddMouseDelta(float dx, float dy) {
    if (!active || player.dead) {
        return;
    }
    player.yaw += dx * config.mouse_sensitivity;
    player.pitch = std::clamp(player.pitch - dy * config.mouse_sensitivity, -kPitchLimit, kPitchLimit);
}

Vec3 TrainingSimulation::CameraPosition() const {
    return player.position + Vec3{0.0f, player.crouching ? kCrouchingEyeHeight : kStandingEyeHeight, 0.0f};
}

Vec3 TrainingSimulation::CameraForward() const {
    const float yaw = player.yaw * detail::kDegreesToRadians;
    const float pitch = player.pitch * detail::kDegreesToRadians;
    return Normalize({std::sin(yaw) * std::cos(pitch), std::sin(pitch), std::cos(yaw) * std::cos(pitch)});
}

int TrainingSimulation::BotsAlive() const {
    int alive = 0;
    for (const Bot& bot : bots) {
        if (bot.state != BotState::Killed && bot.state != BotState::AwaitingRespawn) {
            ++alive;
        }
    }
    return alive;
}

std::vector<SessionEvent> TrainingSimulation::DrainEvents() {
    std::vector<SessionEvent> drained = std::move(events);
    events.clear();
    return drained;
}

void TrainingSimulation::Emit(const char* name, int32_t value) {
    events.push_back(SessionEvent{name, value});
}

void TrainingSimulation::ApplyOnlineSnapshot(const PlayerState& playerState, const WeaponState& weaponState,
                                             std::vector<Bot> remotePlayers) {
    onlineDriven = true;
    player = playerState;
    weapon = weaponState;
    bots = std::move(remotePlayers);
}

void TrainingSimulation::SetPlayerPositionForQa(Vec3 position) {
    player.position = position;
}

void TrainingSimulation::SetBotPositionForQa(std::size_t index, Vec3 position) {
    if (index < bots.size()) {
        bots[index].position = position;
        bots[index].stuckCheckPosition = position;
    }
}

void TrainingSimulation::SetBotYawForQa(std::size_t index, float degrees) {
    if (index < bots.size()) {
        bots[index].yaw = degrees;
    }
}

bool TrainingSessionController::Enter() {
    if (inTraining) {
        return false;
    }
    inTraining = true;
    ++enterCount;
    return true;
}

bool TrainingSessionController::ExitToMenu() {
    if (!inTraining) {
        return false;
    }
    inTraining = false;
    ++exitCount;
    return true;
}

}  // namespace tarvo::gameplay
