#pragma once
// The two preference files of the "Settings" folder: game.json (language, display, renderer, sound,
// mouse) and updates.json (the launcher family's two update switches). Written from fixed templates,
// read back by looking for fixed byte fragments; there is no general JSON parser.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "localization/localization.h"

namespace tarvo::ui {

struct GamePreferences {
    localization::Locale locale = localization::Locale::Ukrainian;
    bool vsync = true;
    std::int32_t fpsLimit = 144;
    std::uint32_t renderer = 0;  // renderer::RenderBackendKind: 0 automatic, 1 Vulkan, 2 Direct3D 11
    std::uint32_t quality = 1;   // 0 LOW, 1 MEDIUM, 2 HIGH
    float masterVolume = 0.7f;
    float mouseSensitivity = 0.075f;  // degrees per mouse count
};

struct UpdatePreferences {
    bool autoDownload = true;
    bool installOnExit = true;
};

inline constexpr std::string_view kUpdateBaseUrl = "https://updates.tarvonix.net/updates";

std::filesystem::path GameSettingsFile(const std::filesystem::path& stateRoot);    // <root>/Settings/game.json
std::filesystem::path UpdateSettingsFile(const std::filesystem::path& stateRoot);  // <root>/Settings/updates.json
std::filesystem::path PackageDefaultsFile(const std::filesystem::path& installRoot);  // <root>/config/distribution.json

std::string FormatGamePreferences(const GamePreferences& prefs);
std::string FormatUpdatePreferences(const UpdatePreferences& prefs);

// Applies what `text` says on top of `prefs`. Empty text changes nothing; otherwise every value is decided by
// its fragment, except that a missing volume or an unusable sensitivity keeps the value passed in.
void ReadGamePreferences(std::string_view text, GamePreferences& prefs);
void ReadUpdatePreferences(std::string_view text, UpdatePreferences& prefs);

// File level: game.json read whole (missing or empty changes nothing); updates.json, or when it cannot be
// opened the package defaults, and when neither opens the switches keep their values.
void LoadGamePreferences(const std::filesystem::path& file, GamePreferences& prefs);
void LoadUpdatePreferences(const std::filesystem::path& file, const std::filesystem::path& packageDefaults,
                           UpdatePreferences& prefs);
bool SaveGamePreferencesFile(const std::filesystem::path& file, const GamePreferences& prefs, std::wstring& error);
bool SaveUpdatePreferencesFile(const std::filesystem::path& file, const UpdatePreferences& prefs,
                               std::wstring& error);

}  // namespace tarvo::ui
