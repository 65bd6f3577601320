#pragma once

#include <cstdint>

namespace tarvo::navigation {

// One screen of either product; 0..20 the game client, 21..35 the owner console, 14 shared.
enum class ScreenId : std::uint32_t {
    Splash = 0,
    Login = 1,
    VerifyEmail = 2,
    VerifyDevice = 3,
    ForgotPassword = 4,
    ResetPassword = 5,
    LinkAccount = 6,
    LinkComplete = 7,
    Devices = 8,
    MainMenu = 9,
    Play = 10,
    Matchmaking = 11,
    Inventory = 12,
    Profile = 13,
    Statistics = 14,
    Settings = 15,
    Updates = 16,
    Privacy = 17,
    GraphicsCompatibility = 18,
    Gameplay = 19,
    Pause = 20,
    OstrelGate = 21,
    OstrelOverview = 22,
    OstrelPlayers = 23,
    OstrelMatches = 24,
    OstrelDownloads = 25,
    OstrelAnnouncements = 26,
    OstrelEconomy = 27,
    OstrelTarv = 28,
    OstrelSecurity = 29,
    OstrelVersions = 30,
    OstrelRelease = 31,
    OstrelHealth = 32,
    OstrelAudit = 33,
    OstrelSettings = 34,
    OstrelBackend = 35,
};

}  // namespace tarvo::navigation
