#include "gameplay/gameplay_config.h"

#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

#include "common/file_utils.h"
#include "gameplay/file_input.h"

namespace tarvo::gameplay {
namespace {

// The standard conversions: leading blanks skipped, longest numeric prefix taken,
// the rest ignored. A failed conversion leaves the field as it was; so does a
// number that is not finite, which no tunable can use.
void ConvertFloat(const std::string& text, float& field) {
    try {
        const float value = std::stof(text);
        if (std::isfinite(value)) {
            field = value;
        }
    } catch (const std::logic_error&) {
    }
}

void ConvertInt(const std::string& text, int32_t& field) {
    try {
        field = std::stoi(text, nullptr, 10);
    } catch (const std::logic_error&) {
    }
}

}  // namespace

GameplayConfig ParseGameplayConfig(std::string_view text) {
    GameplayConfig config;
    if (text.size() > kMaxGameplayConfigBytes) {
        return config;
    }

    // Keys and values are taken exactly as written (no trimming); the first
    // occurrence of a key wins.
    std::map<std::string, std::string, std::less<>> pairs;
    detail::ForEachLine(text, [&](std::string_view line) {
        if (line.empty() || line.front() == '#') {
            return true;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            return true;
        }
        pairs.try_emplace(std::string(line.substr(0, eq)), std::string(line.substr(eq + 1)));
        return true;
    });

    const auto floatKey = [&](std::string_view key, float& field) {
        if (const auto it = pairs.find(key); it != pairs.end()) {
            ConvertFloat(it->second, field);
        }
    };
    const auto intKey = [&](std::string_view key, int32_t& field) {
        if (const auto it = pairs.find(key); it != pairs.end()) {
            ConvertInt(it->second, field);
        }
    };

    floatKey("player_health", config.player_health);
    floatKey("bot_health", config.bot_health);
    floatKey("walk_speed", config.walk_speed);
    floatKey("sprint_speed", config.sprint_speed);
    floatKey("crouch_speed", config.crouch_speed);
    floatKey("jump_velocity", config.jump_velocity);
    floatKey("gravity", config.gravity);
    floatKey("mouse_sensitivity", config.mouse_sensitivity);
    intKey("magazine_size", config.magazine_size);
    intKey("reserve_ammo", config.reserve_ammo);
    {
        // A rate of zero or less would make the cooldown infinite or negative.
        float fireRate = config.fire_rate;
        floatKey("fire_rate", fireRate);
        if (fireRate > 0.0f) {
            config.fire_rate = fireRate;
        }
    }
    floatKey("reload_seconds", config.reload_seconds);
    floatKey("rifle_damage", config.rifle_damage);
    intKey("bot_count", config.bot_count);
    floatKey("bot_reaction_seconds", config.bot_reaction_seconds);
    floatKey("bot_fire_interval", config.bot_fire_interval);
    floatKey("bot_aim_error", config.bot_aim_error);
    floatKey("bot_aim_delay", config.bot_aim_delay);
    floatKey("bot_preferred_distance", config.bot_preferred_distance);
    floatKey("bot_movement_aggression", config.bot_movement_aggression);
    floatKey("bot_strafe_probability", config.bot_strafe_probability);
    intKey("bot_burst_min", config.bot_burst_min);
    intKey("bot_burst_max", config.bot_burst_max);
    floatKey("bot_fire_pause", config.bot_fire_pause);
    floatKey("respawn_seconds", config.respawn_seconds);
    floatKey("bot_respawn_seconds", config.bot_respawn_seconds);

    if (config.bot_count < 1) {
        config.bot_count = 1;
    } else if (config.bot_count > 16) {
        config.bot_count = 16;
    }
    return config;
}

GameplayConfig GameplayConfig::Load(const std::filesystem::path& file) {
    return ParseGameplayConfig(distribution::ReadUtf8File(file, kMaxGameplayConfigBytes));
}

}  // namespace tarvo::gameplay
