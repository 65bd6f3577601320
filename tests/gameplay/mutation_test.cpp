// Corrupted arena and configuration files, generated from the shipped ones with a
// fixed seed: each is refused or taken whole, and a simulation built on what is
// taken keeps running.
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "gameplay/arena_file.h"
#include "gameplay_test_support.h"

namespace tarvo::gameplay {
namespace {

using testing::FindShipped;
using testing::ReadBytes;
using testing::TempFolder;

const char* const kNastyNumbers[] = {
    "1e39", "-1e39", "nan", "inf", "-inf", "0", "-0", "1e-45", "3.4e38", "-3.4e38", "99999999999",
    "-2147483648", "2147483647", "0x10", "1e", "-", "+", ".", "", "   ", "7", "-7", "1e38", "0.0001",
};

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

    std::string Mutate(std::string text) {
        const int edits = 1 + Below(4);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = text.empty() ? 0 : static_cast<std::size_t>(Below(static_cast<int>(text.size())));
            switch (Below(9)) {
            case 0:  // flip a byte
                if (!text.empty()) text[at] = static_cast<char>(Below(256));
                break;
            case 1:  // insert junk
                text.insert(at, std::string(1 + Below(8), static_cast<char>(Below(256))));
                break;
            case 2:  // delete a run
                text.erase(at, static_cast<std::size_t>(Below(40)));
                break;
            case 3:  // truncate
                text.resize(at);
                break;
            case 4: {  // replace a token with a nasty number
                const std::size_t begin = text.find_first_of("0123456789", at);
                if (begin == std::string::npos) break;
                const std::size_t end = text.find_first_not_of("0123456789.-e", begin);
                text.replace(begin, (end == std::string::npos ? text.size() : end) - begin,
                             kNastyNumbers[Below(static_cast<int>(std::size(kNastyNumbers)))]);
                break;
            }
            case 5: {  // repeat a line many times
                const std::size_t begin = text.rfind('\n', at);
                const std::size_t from = begin == std::string::npos ? 0 : begin + 1;
                const std::size_t end = text.find('\n', from);
                const std::string line = text.substr(from, end == std::string::npos ? std::string::npos : end - from + 1);
                std::string copies;
                for (int i = 0, n = 1 + Below(600); i < n; ++i) copies += line;
                text.insert(from, copies);
                break;
            }
            case 6:  // line ends
                text.insert(at, 1, '\r');
                if (Below(2)) {
                    text.insert(at + 1, 1, '\n');
                }
                break;
            case 7:  // NUL byte
                text.insert(at, 1, '\0');
                break;
            default:  // blank space
                text.insert(at, 1, Below(2) ? ' ' : '\t');
                break;
            }
        }
        return text;
    }

private:
    std::mt19937 rng_;
};

bool Finite(Vec3 v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

// A few seconds of play with bots, movement, turning and fire.
void Exercise(TrainingSimulation& sim, Mutator& m, int steps) {
    sim.Start();
    InputState input;
    for (int i = 0; i < steps; ++i) {
        if (i % 30 == 0) {
            input.forward = m.Below(2);
            input.left = m.Below(2);
            input.jump = m.Below(4) == 0;
            input.crouch = m.Below(6) == 0;
            input.sprint = m.Below(2);
        }
        sim.AddMouseDelta(static_cast<float>(m.Below(41) - 20), static_cast<float>(m.Below(11) - 5));
        sim.Fire();
        if (i % 97 == 0) sim.BeginReload();
        sim.Update(input, TrainingSimulation::kFixedStep);
    }
    sim.DrainEvents();
    sim.Stop();
}

TEST(Mutation, CorruptedArenaFiles) {
    const auto maps = FindShipped("assets/maps");
    ASSERT_FALSE(maps.empty());
    std::vector<std::string> bases;
    for (const auto name : MatchMapFiles) bases.push_back(ReadBytes(maps / std::string(name)));
    for (const auto& base : bases) ASSERT_TRUE(ParseArenaText(base));

    Mutator m(0x7A2E1u);
    TempFolder folder;
    GameplayConfig config;
    config.bot_count = 4;
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string text = m.Mutate(bases[i % bases.size()]);
        const auto arena = ParseArenaText(text);
        if (arena) {
            ++accepted;
            ASSERT_GE(arena->size(), kMinArenaPrimitives);
            ASSERT_LE(arena->size(), kMaxArenaPrimitives);
            for (const ScenePrimitive& p : *arena) {
                ASSERT_LE(static_cast<uint32_t>(p.type), 1u);
                ASSERT_GE(static_cast<int>(p.kind), 0);
                ASSERT_LE(static_cast<int>(p.kind), 6);
                ASSERT_TRUE(p.size.x > 0 && p.size.y > 0 && p.size.z > 0);
                ASSERT_TRUE(Finite(p.center) && Finite(p.size));
            }
        }
        if (i % 25 == 0) {
            // Through the real loader, and then played on.
            folder.Write("skydock.arena", text);
            TrainingSimulation sim{config};
            ASSERT_EQ(sim.ConfigureMatchMap(2, folder.Path()), arena.has_value()) << i;
            ASSERT_EQ(sim.Arena().size(), arena ? arena->size() : 27u);
            Exercise(sim, m, 240);
        }
    }
    // Mild corruptions (a blank, a comment) keep some files valid; most are refused.
    EXPECT_GT(accepted, 30);
    EXPECT_LT(accepted, 2700);
}

TEST(Mutation, CorruptedConfigurationFiles) {
    const auto file = FindShipped("config/gameplay.prototype.cfg");
    ASSERT_FALSE(file.empty());
    std::string base = ReadBytes(file);
    // Extreme but finite values for every kind of tunable.
    base += "walk_speed=3e38\nsprint_speed=-3e38\ngravity=-1e38\njump_velocity=1e38\nmouse_sensitivity=3e38\n"
            "bot_burst_min=-2147483648\nbot_burst_max=2147483647\nbot_movement_aggression=1e38\n"
            "magazine_size=2147483647\nreserve_ammo=2147483647\nbot_fire_interval=-1\nbot_fire_pause=-5\n"
            "bot_preferred_distance=-11\nrifle_damage=-34\nfire_rate=1e-38\n";

    Mutator m(0xC0F16u);
    for (int i = 0; i < 3000; ++i) {
        // Extreme lines sit after the defaults, so they act only when a mutation
        // removes the earlier occurrence of their key.
        const std::string text = m.Mutate(base);
        const GameplayConfig config = ParseGameplayConfig(text);
        ASSERT_GE(config.bot_count, 1);
        ASSERT_LE(config.bot_count, 16);
        ASSERT_GT(config.fire_rate, 0.0f);
        for (const float value :
             {config.player_health, config.bot_health, config.walk_speed, config.sprint_speed, config.crouch_speed,
              config.jump_velocity, config.gravity, config.mouse_sensitivity, config.fire_rate, config.reload_seconds,
              config.rifle_damage, config.bot_reaction_seconds, config.bot_fire_interval, config.bot_aim_error,
              config.bot_aim_delay, config.bot_preferred_distance, config.bot_movement_aggression,
              config.bot_strafe_probability, config.bot_fire_pause, config.respawn_seconds,
              config.bot_respawn_seconds}) {
            ASSERT_TRUE(std::isfinite(value));
        }
        if (i % 20 == 0) {
            TrainingSimulation sim{config};
            Exercise(sim, m, 180);
        }
    }

    // The extremes themselves, all taken at once, still make a simulation that runs.
    std::string extremes;
    const std::size_t tail = base.find("walk_speed=3e38");
    extremes = base.substr(tail);
    const GameplayConfig wild = ParseGameplayConfig(extremes);
    EXPECT_EQ(wild.bot_burst_max, 2147483647);
    EXPECT_FLOAT_EQ(wild.walk_speed, 3e38f);
    TrainingSimulation sim{wild};
    Exercise(sim, m, 600);
    EXPECT_TRUE(Finite(sim.Player().position));
}

}  // namespace
}  // namespace tarvo::gameplay
