// What the player screens compute before drawing: figures, clamped play time,
// initials, the matchmaking timeline, and the image size read from a header.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "localization/localization.h"
#include "player/local_player_data_store.h"
#include "screens/player_screens.h"

namespace tarvo::ui {
namespace {

player::BotStats Stats(std::uint64_t shots, std::uint64_t hits, std::uint64_t kills, std::uint64_t deaths) {
    player::BotStats s;
    s.shots = shots;
    s.hits = hits;
    s.kills = kills;
    s.deaths = deaths;
    return s;
}

TEST(PlayerFigures, AccuracyAndKillDeathAreFixedNotation) {
    EXPECT_EQ(AccuracyText(Stats(8, 3, 0, 0)), L"37.5%");
    EXPECT_EQ(AccuracyText(Stats(3, 2, 0, 0)), L"66.7%");
    EXPECT_EQ(AccuracyText(Stats(0, 0, 0, 0)), L"0.0%");
    EXPECT_EQ(AccuracyText(Stats(3, 3, 0, 0)), L"100.0%");
    EXPECT_EQ(KillDeathText(Stats(0, 0, 7, 0)), L"7.00") << "no deaths count as one";
    EXPECT_EQ(KillDeathText(Stats(0, 0, 7, 2)), L"3.50");
    EXPECT_EQ(KillDeathText(Stats(0, 0, 0, 0)), L"0.00");
    EXPECT_EQ(KillDeathText(Stats(0, 0, 1, 3)), L"0.33");
}

TEST(PlayerFigures, PlayTimeIsWholeMinutesOfAClampedValue) {
    EXPECT_EQ(PlayMinutesText(119.9), L"1 MIN");
    EXPECT_EQ(PlayMinutesText(59.99), L"0 MIN");
    EXPECT_EQ(PlayMinutesText(3599.9), L"59 MIN");
    EXPECT_EQ(PlayMinutesText(0.0), L"0 MIN");
    // Corrupt values never reach the integer conversion unclamped.
    EXPECT_EQ(PlayMinutes(std::numeric_limits<double>::quiet_NaN()), 0u);
    EXPECT_EQ(PlayMinutes(-1.0e9), 0u);
    EXPECT_EQ(PlayMinutes(-std::numeric_limits<double>::infinity()), 0u);
    EXPECT_EQ(PlayMinutes(1.0e300), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(PlayMinutes(std::numeric_limits<double>::infinity()), std::numeric_limits<std::uint64_t>::max());
    EXPECT_EQ(PlayMinutes(60.0e18), 1000000000000000000u) << "large but in range stays exact";
}

TEST(PlayerFigures, InitialsAreTheFirstThreeUtf16Units) {
    EXPECT_EQ(ProfileInitials(L""), L"TV");
    EXPECT_EQ(ProfileInitials(L"A"), L"A");
    EXPECT_EQ(ProfileInitials(L"Al"), L"Al");
    EXPECT_EQ(ProfileInitials(L"alpha"), L"alp") << "the case stored";
    EXPECT_EQ(ProfileInitials(L"LOCAL_OPERATOR"), L"LOC");
    EXPECT_EQ(ProfileInitials(L"Олена"), L"Оле");
    const std::wstring emoji = L"\U0001F3AF";  // two UTF-16 units
    EXPECT_EQ(ProfileInitials(emoji + L"xyz"), emoji + L"x");
    EXPECT_EQ(ProfileInitials(L"ab" + emoji + L"c"), L"ab") << "the pair the third unit would cut is dropped";
    EXPECT_EQ(ProfileInitials(emoji + emoji), emoji);
    const std::wstring damaged = L"ab" + emoji.substr(0, 1);  // a lone half in the name itself
    EXPECT_EQ(ProfileInitials(damaged), damaged);
}

TEST(PlayerFigures, StatisticsCardsInBothLanguages) {
    localization::Localization text;
    player::BotStats s = Stats(8, 3, 7, 2);
    s.trainingsStarted = 5;
    s.trainingsCompleted = 4;
    s.headshots = 1;
    s.playSeconds = 600.0;
    const auto uk = StatisticsFigures(s, text);
    EXPECT_EQ(uk[0].label, L"ТРЕНУВАНЬ РОЗПОЧАТО");
    EXPECT_EQ(uk[1].label, L"ТРЕНУВАНЬ ЗАВЕРШЕНО");
    EXPECT_EQ(uk[2].label, L"ВБИВСТВА");
    EXPECT_EQ(uk[6].label, L"ПОСТРІЛИ");
    EXPECT_EQ(uk[7].label, L"ВЛУЧАННЯ");
    const wchar_t* values[10] = {L"5", L"4", L"7", L"2", L"3.50", L"37.5%", L"8", L"3", L"1", L"10 MIN"};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(uk[i].value, values[i]) << i;

    text.SetLocale(localization::Locale::English);
    const auto en = StatisticsFigures(s, text);
    EXPECT_EQ(en[0].label, L"TRAININGS STARTED");
    EXPECT_EQ(en[4].label, L"K / D");
    EXPECT_EQ(en[8].label, L"HEADSHOTS");
    EXPECT_EQ(en[9].label, L"PLAYTIME");

    const auto profile = ProfileFigures(s, text);
    EXPECT_EQ(profile[0].label, L"MATCHES");
    EXPECT_EQ(profile[0].value, L"5") << "trainings started";
    EXPECT_EQ(profile[3].value, L"37.5%");
    EXPECT_EQ(profile[5].value, L"10 MIN");
}

TEST(Matchmaking, PhasesChangeExactlyAtTheirTimes) {
    EXPECT_EQ(MatchmakingPhaseAt(0.0), MatchmakingPhase::Searching);
    EXPECT_EQ(MatchmakingPhaseAt(std::nextafter(2.8, 0.0)), MatchmakingPhase::Searching);
    EXPECT_EQ(MatchmakingPhaseAt(2.8), MatchmakingPhase::Found);
    EXPECT_EQ(MatchmakingPhaseAt(std::nextafter(4.5, 0.0)), MatchmakingPhase::Found);
    EXPECT_EQ(MatchmakingPhaseAt(4.5), MatchmakingPhase::ModuleMissing);
    EXPECT_EQ(MatchmakingPhaseAt(3600.0), MatchmakingPhase::ModuleMissing);
}

TEST(Matchmaking, RingTurnsClockwiseAndFadesAlongItsDots) {
    EXPECT_NEAR(MatchmakingDotAlpha(0), 0.23f, 1e-6);
    EXPECT_NEAR(MatchmakingDotAlpha(11), 1.0f, 1e-6);
    const D2D1_POINT_2F first = MatchmakingDotCentre(0, 0.0);
    EXPECT_FLOAT_EQ(first.x, 1078.0f);
    EXPECT_FLOAT_EQ(first.y, 470.0f);
    const D2D1_POINT_2F third = MatchmakingDotCentre(3, 0.0);
    EXPECT_NEAR(third.x, 960.0f, 1e-3);
    EXPECT_NEAR(third.y, 588.0f, 1e-3) << "a quarter turn on is below the centre";
    // After pi/4 s the ring has turned pi/2: dot 0 stands where dot 3 stood.
    const D2D1_POINT_2F turned = MatchmakingDotCentre(0, std::numbers::pi / 4.0);
    EXPECT_NEAR(turned.x, third.x, 1e-3);
    EXPECT_NEAR(turned.y, third.y, 1e-3);
}

std::string PngHeader(std::uint32_t width, std::uint32_t height) {
    std::string b("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (std::uint32_t v : {width, height}) {
        for (int shift = 24; shift >= 0; shift -= 8) b.push_back(static_cast<char>((v >> shift) & 0xFF));
    }
    return b + std::string("\x08\x06\0\0\0", 5);
}

std::string BmpHeader(std::int32_t width, std::int32_t height) {
    std::string b = "BM" + std::string(12, '\0');
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    u32(40);
    u32(static_cast<std::uint32_t>(width));
    u32(static_cast<std::uint32_t>(height));
    return b + std::string(28, '\0');
}

std::string JpegHeader(std::uint16_t width, std::uint16_t height, std::uint8_t frameMarker = 0xC0) {
    std::string b("\xFF\xD8", 2);
    b += std::string("\xFF\xE0\x00\x10JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 18);  // APP0, skipped by its length
    b += std::string("\xFF\xC4\x00\x04\x00\x00", 6);                           // a table, not a frame
    b.push_back('\xFF');
    b.push_back(static_cast<char>(frameMarker));
    b += std::string("\x00\x11\x08", 3);
    b.push_back(static_cast<char>(height >> 8));
    b.push_back(static_cast<char>(height & 0xFF));
    b.push_back(static_cast<char>(width >> 8));
    b.push_back(static_cast<char>(width & 0xFF));
    return b + std::string(10, '\0');
}

TEST(AvatarImageSize, ReadFromEachFormatsHeader) {
    auto png = player::ReadImageSize(PngHeader(4097, 12));
    ASSERT_TRUE(png);
    EXPECT_EQ(png->width, 4097u);
    EXPECT_EQ(png->height, 12u);

    auto bmp = player::ReadImageSize(BmpHeader(640, -480));
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->width, 640u);
    EXPECT_EQ(bmp->height, 480u) << "a top-down bitmap stores a negative height";

    auto jpeg = player::ReadImageSize(JpegHeader(5000, 300));
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->width, 5000u);
    EXPECT_EQ(jpeg->height, 300u);
    auto progressive = player::ReadImageSize(JpegHeader(64, 8000, 0xC2));
    ASSERT_TRUE(progressive);
    EXPECT_EQ(progressive->height, 8000u);

    EXPECT_FALSE(player::ReadImageSize("x"));
    EXPECT_FALSE(player::ReadImageSize(PngHeader(1, 1).substr(0, 20))) << "truncated";
    EXPECT_FALSE(player::ReadImageSize(std::string("\xFF\xD8\xFF\xDA\x00\x02", 6))) << "scan before any frame";
    EXPECT_FALSE(player::ReadImageSize(std::string("\xFF\xD8\xFF\xE0\x00\x00", 6))) << "a length below two";
}

}  // namespace
}  // namespace tarvo::ui
