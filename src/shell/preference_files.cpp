#include "shell/preference_files.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "common/data_roots.h"
#include "common/file_utils.h"
#include "shell/native_shell.h"

namespace tarvo::ui {
namespace {

bool Contains(std::string_view text, std::string_view fragment) { return text.find(fragment) != std::string_view::npos; }

// The number right after the first occurrence of `key`, converted as std::stof would (leading white space,
// longest valid prefix, classic locale). Nothing when the key is absent, no number follows or it is out of range.
std::optional<float> NumberAfter(std::string_view text, std::string_view key, bool& keyFound) {
    const std::size_t at = text.find(key);
    keyFound = at != std::string_view::npos;
    if (!keyFound) return std::nullopt;
    const std::string rest(text.substr(at + key.size()));
    char* end = nullptr;
    errno = 0;
    const float value = std::strtof(rest.c_str(), &end);
    if (end == rest.c_str() || errno == ERANGE) return std::nullopt;
    return value;
}

// Both settings files are a few hundred bytes as written; a much larger one is not a settings file.
constexpr std::size_t kMaxSettingsFileBytes = 64 * 1024;

// The file's text; nothing when it cannot be opened or is too large to be a settings file.
std::optional<std::string> ReadIfOpens(const std::filesystem::path& file) {
    std::string text;
    if (distribution::ReadWholeFile(file, kMaxSettingsFileBytes, text) != distribution::FileRead::Read) {
        return std::nullopt;
    }
    return text;
}

const char* Bool(bool value) { return value ? "true" : "false"; }

}  // namespace

std::filesystem::path GameSettingsFile(const std::filesystem::path& stateRoot) {
    return stateRoot / L"Settings" / L"game.json";
}

std::filesystem::path UpdateSettingsFile(const std::filesystem::path& stateRoot) {
    return stateRoot / L"Settings" / L"updates.json";
}

std::filesystem::path PackageDefaultsFile(const std::filesystem::path& installRoot) {
    return installRoot / L"config" / L"distribution.json";
}

std::string FormatGamePreferences(const GamePreferences& prefs) {
    const char* renderer = prefs.renderer == 1 ? "Vulkan" : prefs.renderer == 2 ? "Direct3D11" : "Auto";
    const char* quality = prefs.quality == 0 ? "LOW" : prefs.quality == 2 ? "HIGH" : "MEDIUM";
    char numbers[160] = {};
    // printf formats with the classic locale unless the program changes it, which it never does.
    std::snprintf(numbers, sizeof(numbers), "  \"masterVolume\": %.2f,\n  \"mouseSensitivity\": %.3f,\n",
                  static_cast<double>(prefs.masterVolume), static_cast<double>(prefs.mouseSensitivity));
    std::string text = "{\n  \"schemaVersion\": 1,\n";
    text += prefs.locale == localization::Locale::Ukrainian ? "  \"locale\": \"uk-UA\",\n"
                                                            : "  \"locale\": \"en-US\",\n";
    text += std::string("  \"vsync\": ") + Bool(prefs.vsync) + ",\n";
    text += "  \"fpsLimit\": " + std::to_string(prefs.fpsLimit) + ",\n";
    text += std::string("  \"renderer\": \"") + renderer + "\",\n";
    text += std::string("  \"quality\": \"") + quality + "\",\n";
    text += numbers;
    text += "  \"controlBindings\": {\"crouch\":\"C\",\"reload\":\"R\",\"ads\":\"RMB\",\"fireMode\":\"B\","
            "\"leanLeft\":\"Q_DISABLED\",\"leanRight\":\"E_DISABLED\"}\n}\n";
    return text;
}

std::string FormatUpdatePreferences(const UpdatePreferences& prefs) {
    std::string text = "{\n  \"schemaVersion\": 1,\n  \"updateBaseUrl\": \"";
    text += kUpdateBaseUrl;
    text += "\",\n  \"channel\": \"test\",\n";
    text += std::string("  \"autoDownload\": ") + Bool(prefs.autoDownload) + ",\n";
    text += std::string("  \"installOnExit\": ") + Bool(prefs.installOnExit) + ",\n";
    text += "  \"packageRevision\": 4\n}\n";
    return text;
}

void ReadGamePreferences(std::string_view text, GamePreferences& prefs) {
    if (text.empty()) return;
    prefs.locale = Contains(text, "\"locale\": \"en-US\"") ? localization::Locale::English
                                                            : localization::Locale::Ukrainian;
    prefs.vsync = !Contains(text, "\"vsync\": false");
    prefs.fpsLimit = Contains(text, "\"fpsLimit\": 60") ? 60 : Contains(text, "\"fpsLimit\": 120") ? 120 : 144;
    prefs.renderer = Contains(text, "\"renderer\": \"Vulkan\"")       ? 1u
                     : Contains(text, "\"renderer\": \"Direct3D11\"") ? 2u
                                                                      : 0u;
    prefs.quality = Contains(text, "\"quality\": \"LOW\"") ? 0u : Contains(text, "\"quality\": \"HIGH\"") ? 2u : 1u;

    bool found = false;
    const std::optional<float> volume = NumberAfter(text, "\"masterVolume\":", found);
    if (found) {
        if (!volume || !std::isfinite(*volume)) {
            prefs.masterVolume = 0.7f;
        } else {
            prefs.masterVolume = *volume < 0.0f ? 0.0f : *volume > 1.0f ? 1.0f : *volume;
        }
    }
    const std::optional<float> sensitivity = NumberAfter(text, "\"mouseSensitivity\":", found);
    if (sensitivity && std::isfinite(*sensitivity) && *sensitivity >= 0.01f && *sensitivity <= 1.0f) {
        prefs.mouseSensitivity = *sensitivity;
    }
}

void ReadUpdatePreferences(std::string_view text, UpdatePreferences& prefs) {
    prefs.autoDownload = !Contains(text, "\"autoDownload\": false");
    prefs.installOnExit = !Contains(text, "\"installOnExit\": false");
}

void LoadGamePreferences(const std::filesystem::path& file, GamePreferences& prefs) {
    ReadGamePreferences(distribution::ReadUtf8File(file, kMaxSettingsFileBytes), prefs);
}

void LoadUpdatePreferences(const std::filesystem::path& file, const std::filesystem::path& packageDefaults,
                           UpdatePreferences& prefs) {
    std::optional<std::string> text = ReadIfOpens(file);
    if (!text) text = ReadIfOpens(packageDefaults);
    if (text) ReadUpdatePreferences(*text, prefs);
}

bool SaveGamePreferencesFile(const std::filesystem::path& file, const GamePreferences& prefs, std::wstring& error) {
    return distribution::AtomicWriteUtf8(file, FormatGamePreferences(prefs), error);
}

bool SaveUpdatePreferencesFile(const std::filesystem::path& file, const UpdatePreferences& prefs,
                               std::wstring& error) {
    return distribution::AtomicWriteUtf8(file, FormatUpdatePreferences(prefs), error);
}

// ---- The shell's preference members ----------------------------------------------------------------------

std::filesystem::path NativeShell::GameSettingsPath() const { return GameSettingsFile(distribution::UserStateRoot()); }

std::filesystem::path NativeShell::UpdateSettingsPath() const {
    return UpdateSettingsFile(distribution::UserStateRoot());
}

GamePreferences NativeShell::CurrentGamePreferences() const {
    GamePreferences prefs;
    prefs.locale = localization.CurrentLocale();
    prefs.vsync = vsync;
    prefs.fpsLimit = fpsLimit;
    prefs.renderer = static_cast<std::uint32_t>(rendererPreference);
    prefs.quality = quality;
    prefs.masterVolume = masterVolume;
    prefs.mouseSensitivity = gameplayConfig.mouse_sensitivity;
    return prefs;
}

void NativeShell::SaveGamePreferences() {
    std::wstring ignored;  // a failed write keeps the previous file; nothing to tell the player
    SaveGamePreferencesFile(GameSettingsPath(), CurrentGamePreferences(), ignored);
}

void NativeShell::SaveUpdatePreferences() {
    UpdatePreferences prefs;
    prefs.autoDownload = autoDownload;
    prefs.installOnExit = installOnExit;
    std::wstring ignored;
    SaveUpdatePreferencesFile(UpdateSettingsPath(), prefs, ignored);
}

}  // namespace tarvo::ui
