#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace tarvo::gameplay {

// The 26 gameplay tunables. Field names equal the keys of "gameplay.prototype.cfg";
// the field order is the key order of that file. A default-constructed record
// holds the defaults and reads nothing.
struct GameplayConfig {
    float player_health = 100.0f;
    float bot_health = 100.0f;
    float walk_speed = 5.5f;
    float sprint_speed = 8.2f;
    float crouch_speed = 3.0f;
    float jump_velocity = 6.6f;
    float gravity = 18.0f;
    float mouse_sensitivity = 0.075f;   // degrees per mouse count
    int32_t magazine_size = 30;
    int32_t reserve_ammo = 120;
    float fire_rate = 9.0f;             // shots per second
    float reload_seconds = 1.65f;
    float rifle_damage = 34.0f;
    int32_t bot_count = 3;              // Load clamps it to 1..16
    float bot_reaction_seconds = 0.55f;
    float bot_fire_interval = 0.75f;
    float bot_aim_error = 0.18f;
    float bot_aim_delay = 0.2f;
    float bot_preferred_distance = 11.0f;
    float bot_movement_aggression = 0.62f;
    float bot_strafe_probability = 0.48f;
    int32_t bot_burst_min = 2;
    int32_t bot_burst_max = 5;
    float bot_fire_pause = 0.55f;
    float respawn_seconds = 2.5f;
    float bot_respawn_seconds = 3.0f;

    // Defaults overridden by the key=value lines of `file`. Never fails: a missing,
    // unreadable or oversized file, bad numbers and unknown keys leave defaults.
    static GameplayConfig Load(const std::filesystem::path& file);
};

// The parsing half of GameplayConfig::Load, on text already in memory.
GameplayConfig ParseGameplayConfig(std::string_view text);

// Larger configuration files are refused whole (defaults stand).
inline constexpr std::size_t kMaxGameplayConfigBytes = 1u << 20;

// Match tables, index = mode or map number.
inline constexpr std::array<std::string_view, 7> MatchModeKeys = {
    "tdm4", "tdm6", "duo", "duel", "core", "training", "ffa"};

inline constexpr std::array<std::string_view, 7> MatchModeNames = {
    "TEAM DEATHMATCH 4v4", "TEAM DEATHMATCH 6v6", "ELIMINATION 2v2", "DUEL 1v1",
    "TARV CORE", "BOT TRAINING", "FREE FOR ALL"};

inline constexpr std::array<std::string_view, 3> MatchMapNames = {"RELAY", "FOUNDRY", "SKYDOCK"};

inline constexpr std::array<std::string_view, 3> MatchMapFiles = {
    "relay.arena", "foundry.arena", "skydock.arena"};

}  // namespace tarvo::gameplay
