#include "gameplay/training_simulation.h"

#include <algorithm>
#include <cmath>

namespace tarvo::gameplay {
namespace {

constexpr float kHitscanRange = 1000.0f;
constexpr float kBotChestHeight = 1.05f;
constexpr float kBotHitRadiusSquared = 0.72f * 0.72f;

}  // namespace

static_assert(sizeof(FireResult) == 8, "the shell reads the fire result as one 8-byte record");

FireResult TrainingSimulation::Fire() {
    if (!active || player.dead || weapon.reloading || weapon.cooldown > 0.0f) {
        return {};
    }
    if (weapon.magazine <= 0) {
        // An empty trigger pull starts the reload instead of firing.
        if (weapon.magazine < config.magazine_size && weapon.reserve > 0) {
            weapon.reloading = true;
            weapon.reloadTimer = config.reload_seconds;
        }
        return {};
    }
    weapon.magazine -= 1;
    weapon.cooldown = 1.0f / config.fire_rate;

    FireResult result;
    result.fired = true;
    std::size_t index = 0;
    if (RaycastHitsBot(CameraPosition(), CameraForward(), index)) {
        const int32_t id = bots[index].id;
        result.killed = DamageBot(index, config.rifle_damage);
        result.hit = true;
        result.botId = id;
    }
    return result;
}

bool TrainingSimulation::BeginReload() {
    if (!active || weapon.reloading) {
        return false;
    }
    if (weapon.magazine < config.magazine_size && weapon.reserve > 0) {
        weapon.reloading = true;
        weapon.reloadTimer = config.reload_seconds;
        return true;
    }
    return false;
}

bool TrainingSimulation::RaycastHitsBot(Vec3 origin, Vec3 direction, std::size_t& index) const {
    const Vec3 d = Normalize(direction);
    float wall = kHitscanRange;
    RaycastWorld(origin, d, kHitscanRange, wall);

    float best = kHitscanRange;
    bool found = false;
    for (std::size_t i = 0; i < bots.size(); ++i) {
        const Bot& bot = bots[i];
        if (bot.state == BotState::Killed || bot.state == BotState::AwaitingRespawn) {
            continue;
        }
        const Vec3 oc = origin - (bot.position + Vec3{0.0f, kBotChestHeight, 0.0f});
        const float b = Dot(oc, d);
        const float c = Dot(oc, oc) - kBotHitRadiusSquared;
        const float disc = b * b - c;
        if (disc < 0.0f) {
            continue;
        }
        const float s = std::sqrt(disc);
        // From inside the sphere the ray leaves through its far side.
        float t = -b - s;
        if (t < 0.0f) {
            t = s - b;
        }
        if (t < 0.0f) {
            continue;
        }
        if (t < best) {
            best = t;
            index = i;
            found = true;
        }
    }
    // A wall at exactly the bot's distance still stops the shot.
    return found && wall > best;
}

void TrainingSimulation::DamagePlayer(float damage) {
    if (player.dead) {
        return;
    }
    player.health = std::max(0.0f, player.health - damage);
    if (player.health <= 0.0f) {
        player.dead = true;
        player.respawnTimer = config.respawn_seconds;
        player.deaths += 1;
        player.deathsByBots += 1;
        Emit("BotKilledPlayer", -1);
    }
}

bool TrainingSimulation::DamageBot(std::size_t index, float damage) {
    if (index >= bots.size()) {
        return false;
    }
    Bot& bot = bots[index];
    if (bot.state == BotState::Killed || bot.state == BotState::AwaitingRespawn) {
        return false;
    }
    bot.health = std::max(0.0f, bot.health - damage);
    if (bot.health > 0.0f) {
        // A hit interrupts anything, engaging included: the bot must react again.
        bot.state = BotState::Search;
        bot.stateTimer = 0.0f;
        bot.reactionTimer = config.bot_reaction_seconds;
        bot.aimDelayTimer = config.bot_aim_delay;
        return false;
    }
    bot.state = BotState::Killed;
    bot.respawnTimer = config.bot_respawn_seconds;
    player.kills += 1;
    Emit("PlayerKilledBot", bot.id);
    return true;
}

void TrainingSimulation::ToggleFireMode() {
    if (weapon.fireMode == FireMode::Automatic) {
        weapon.fireMode = FireMode::SemiAutomatic;
        Emit("FireModeSemiAutomatic", -1);
    } else {
        weapon.fireMode = FireMode::Automatic;
        Emit("FireModeAutomatic", -1);
    }
}

void TrainingSimulation::SetFireMode(FireMode mode) {
    weapon.fireMode = mode;
}

}  // namespace tarvo::gameplay
