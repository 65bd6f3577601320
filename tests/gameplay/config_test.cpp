#include <gtest/gtest.h>

#include <cstring>

#include "gameplay/gameplay_config.h"
#include "gameplay/vec3.h"
#include "gameplay_test_support.h"

namespace tarvo::gameplay {
namespace {

using testing::FindShipped;
using testing::TempFolder;

bool SameRecord(const GameplayConfig& a, const GameplayConfig& b) {
    return std::memcmp(&a, &b, sizeof(GameplayConfig)) == 0;
}

TEST(VectorMath, OperatorsDotLengthAndNormalize) {
    const Vec3 a{1, 2, 3};
    const Vec3 b{4, -5, 6};
    const Vec3 sum = a + b;
    const Vec3 diff = a - b;
    const Vec3 scaled = a * 2.0f;
    EXPECT_EQ(sum.x, 5); EXPECT_EQ(sum.y, -3); EXPECT_EQ(sum.z, 9);
    EXPECT_EQ(diff.x, -3); EXPECT_EQ(diff.y, 7); EXPECT_EQ(diff.z, -3);
    EXPECT_EQ(scaled.x, 2); EXPECT_EQ(scaled.y, 4); EXPECT_EQ(scaled.z, 6);
    EXPECT_EQ(Dot(a, b), 4 - 10 + 18);
    EXPECT_FLOAT_EQ(Length({3, 0, 4}), 5.0f);

    const Vec3 n = Normalize({3, 0, 4});
    EXPECT_FLOAT_EQ(n.x, 0.6f);
    EXPECT_FLOAT_EQ(n.y, 0.0f);
    EXPECT_FLOAT_EQ(n.z, 0.8f);
    for (const Vec3 tiny : {Vec3{0, 0, 0}, Vec3{1e-6f, 0, 0}, Vec3{0, -9e-6f, 0}}) {
        const Vec3 z = Normalize(tiny);
        EXPECT_EQ(z.x, 0.0f);
        EXPECT_EQ(z.y, 0.0f);
        EXPECT_EQ(z.z, 0.0f);
    }
}

TEST(GameplayConfigLoad, DefaultsAndMissingFile) {
    const GameplayConfig defaults;
    EXPECT_EQ(sizeof(GameplayConfig), 26u * 4u);
    EXPECT_FLOAT_EQ(defaults.player_health, 100.0f);
    EXPECT_FLOAT_EQ(defaults.mouse_sensitivity, 0.075f);
    EXPECT_EQ(defaults.magazine_size, 30);
    EXPECT_EQ(defaults.bot_count, 3);
    EXPECT_FLOAT_EQ(defaults.bot_respawn_seconds, 3.0f);

    TempFolder folder;
    EXPECT_TRUE(SameRecord(GameplayConfig::Load(folder.Path() / "absent.cfg"), defaults));
    EXPECT_TRUE(SameRecord(GameplayConfig::Load(folder.Path()), defaults));  // a folder, not a file
}

TEST(GameplayConfigLoad, ShippedFileHoldsEveryKeyAtItsDefault) {
    const auto file = FindShipped("config/gameplay.prototype.cfg");
    ASSERT_FALSE(file.empty());
    const std::string text = testing::ReadBytes(file);
    for (const char* key :
         {"player_health", "bot_health", "walk_speed", "sprint_speed", "crouch_speed", "jump_velocity", "gravity",
          "mouse_sensitivity", "magazine_size", "reserve_ammo", "fire_rate", "reload_seconds", "rifle_damage",
          "bot_count", "bot_reaction_seconds", "bot_fire_interval", "bot_aim_error", "bot_aim_delay",
          "bot_preferred_distance", "bot_movement_aggression", "bot_strafe_probability", "bot_burst_min",
          "bot_burst_max", "bot_fire_pause", "respawn_seconds", "bot_respawn_seconds"}) {
        EXPECT_NE(text.find(std::string("\n") + key + "="), std::string::npos) << key;
    }
    EXPECT_TRUE(SameRecord(GameplayConfig::Load(file), GameplayConfig{}));
}

TEST(GameplayConfigLoad, ReadsValuesFromARealFileUnderAUnicodePath) {
    TempFolder folder;
    const auto sub = folder.Path() / L"налаштування";
    std::filesystem::create_directories(sub);
    std::ofstream(sub / "gameplay.prototype.cfg") << "walk_speed=6.25\nmagazine_size=45\nbot_count=7\n";
    const GameplayConfig config = GameplayConfig::Load(sub / "gameplay.prototype.cfg");
    EXPECT_FLOAT_EQ(config.walk_speed, 6.25f);
    EXPECT_EQ(config.magazine_size, 45);
    EXPECT_EQ(config.bot_count, 7);
}

TEST(GameplayConfigParse, BotCountClampAndBadNumbers) {
    EXPECT_EQ(ParseGameplayConfig("bot_count=0\n").bot_count, 1);
    EXPECT_EQ(ParseGameplayConfig("bot_count=-5\n").bot_count, 1);
    EXPECT_EQ(ParseGameplayConfig("bot_count=99\n").bot_count, 16);
    EXPECT_EQ(ParseGameplayConfig("bot_count=abc\n").bot_count, 3);
    EXPECT_EQ(ParseGameplayConfig("bot_count=12.7\n").bot_count, 12);
    EXPECT_EQ(ParseGameplayConfig("bot_count=99999999999\n").bot_count, 3);  // out of range
    EXPECT_EQ(ParseGameplayConfig("magazine_size=  +40\n").magazine_size, 40);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("gravity=\n").gravity, 18.0f);
}

TEST(GameplayConfigParse, LineRules) {
    EXPECT_FLOAT_EQ(ParseGameplayConfig("fire_rate=5\nfire_rate=20\n").fire_rate, 5.0f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("#gravity=3\n").gravity, 18.0f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig(" gravity=3\n").gravity, 18.0f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("gravity =3\n").gravity, 18.0f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("walk_speed = 6\n").walk_speed, 5.5f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("walk_speed=7.5 # faster\n").walk_speed, 7.5f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("walk_speed=5.5abc\n").walk_speed, 5.5f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("walk_speed=\t 4.5\n").walk_speed, 4.5f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("walk_speed\n").walk_speed, 5.5f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("unknown_key=1\nwalk_speed=4\n").walk_speed, 4.0f);
    // Only the first '=' splits key and value.
    EXPECT_FLOAT_EQ(ParseGameplayConfig("gravity=9=8\n").gravity, 9.0f);
    // A final line without a line end still counts.
    EXPECT_FLOAT_EQ(ParseGameplayConfig("gravity=9.5").gravity, 9.5f);
    // Negative values stay where the tunables allow them.
    EXPECT_FLOAT_EQ(ParseGameplayConfig("bot_aim_error=-1\n").bot_aim_error, -1.0f);
    EXPECT_EQ(ParseGameplayConfig("reserve_ammo=-3\n").reserve_ammo, -3);
}

TEST(GameplayConfigParse, CrLfMatchesLf) {
    const std::string lf = "walk_speed=6.5\nbot_count=5\ngravity=20\nbot_burst_max=9\n";
    std::string crlf;
    for (char c : lf) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    EXPECT_TRUE(SameRecord(ParseGameplayConfig(lf), ParseGameplayConfig(crlf)));
    EXPECT_EQ(ParseGameplayConfig(crlf).bot_burst_max, 9);
    // The last key of a CR LF file must not keep its CR as part of the key.
    EXPECT_EQ(ParseGameplayConfig("gravity=1\r\nbot_count=4\r\n").bot_count, 4);
}

TEST(GameplayConfigParse, NonFiniteAndUselessValuesKeepDefaults) {
    for (const char* bad : {"inf", "-inf", "nan", "INFINITY", "1e39", "-1e39"}) {
        EXPECT_FLOAT_EQ(ParseGameplayConfig(std::string("gravity=") + bad + "\n").gravity, 18.0f) << bad;
    }
    EXPECT_FLOAT_EQ(ParseGameplayConfig("fire_rate=0\n").fire_rate, 9.0f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("fire_rate=-4\n").fire_rate, 9.0f);
    EXPECT_FLOAT_EQ(ParseGameplayConfig("fire_rate=0.5\n").fire_rate, 0.5f);
}

TEST(GameplayConfigParse, OversizedFileIsRefusedWhole) {
    std::string text = "walk_speed=9\n";
    text.append(kMaxGameplayConfigBytes, '#');
    EXPECT_FLOAT_EQ(ParseGameplayConfig(text).walk_speed, 5.5f);

    TempFolder folder;
    const auto file = folder.Write("big.cfg", text);
    EXPECT_TRUE(SameRecord(GameplayConfig::Load(file), GameplayConfig{}));
}

}  // namespace
}  // namespace tarvo::gameplay
