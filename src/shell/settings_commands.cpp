// The settings screen's commands, the graphics-failure page's two buttons and the
// update commands: each changes shell state, saves what is a preference at once and
// repaints.
#include "shell/settings_commands.h"

#include <algorithm>
#include <cmath>

#include "screens/info_screens.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

float VolumeFromTrackX(float x) {
    if (std::isnan(x)) return 0.0f;
    return std::clamp((x - 520.0f) / 880.0f, 0.0f, 1.0f);
}

renderer::RenderBackendKind RendererFromWord(std::string_view word) {
    if (word == "vulkan") return renderer::RenderBackendKind::Vulkan;
    if (word == "d3d11") return renderer::RenderBackendKind::Direct3D11;
    return renderer::RenderBackendKind::Auto;
}

bool FpsLimitFromSuffix(std::string_view suffix, int& fpsLimit) {
    int value = 0;
    if (!CommandNumber(suffix, 300, value)) return false;
    fpsLimit = std::max(value, 30);
    return true;
}

bool NativeShell::HandleSettingsCommand(const std::string& command) {
    const std::string_view text = command;
    int number = 0;

    // Graphics compatibility page.
    if (text == "graphics.copy") {
        const bool copied = CopyTextToClipboard(graphicsSelection.CompactReport());
        toast = copied ? Pick(L"ДІАГНОСТИКУ СКОПІЙОВАНО", L"DIAGNOSTICS COPIED")
                       : Pick(L"НЕ ВДАЛОСЯ СКОПІЮВАТИ ДІАГНОСТИКУ", L"DIAGNOSTICS COPY FAILED");
        Repaint();
    } else if (text == "graphics.back") {
        Navigate(navigation::ScreenId::Play);

    // Updates screen and the updates panel. A suffix without a number is dropped.
    } else if (StartsWith(text, "updates.toggle.")) {
        if (CommandNumber(text.substr(15), 4, number)) {
            expandedRelease = number;
            Repaint();
        }
    } else if (text == "updates.check" || text == "updates.open") {
        toast = OpenDistributionLauncher()
                    ? Pick(L"LAUNCHER ВІДКРИТО — ГРА НЕ ОНОВЛЮЄ СЕБЕ САМОСТІЙНО", L"LAUNCHER OPENED — GAME WILL NOT SELF-PATCH")
                    : Pick(L"LAUNCHER НЕ ВСТАНОВЛЕНО У ЦІЙ ЛОКАЛЬНІЙ ЗБІРЦІ", L"LAUNCHER IS NOT INSTALLED IN THIS LOCAL BUILD");
        Repaint();
    } else if (text == "updates.shortcut") {
        toast = RepairDistributionShortcuts() ? Pick(L"LAUNCHER ВІДНОВЛЮЄ ЯРЛИК", L"LAUNCHER IS REPAIRING THE SHORTCUT")
                                              : Pick(L"LAUNCHER НЕ ВСТАНОВЛЕНО", L"LAUNCHER IS NOT INSTALLED");
        Repaint();
    } else if (text == "updates.auto" || text == "updates.install") {
        bool& flag = text == "updates.auto" ? autoDownload : installOnExit;
        flag = !flag;
        SaveUpdatePreferences();
        toast = Pick(L"НАЛАШТУВАННЯ ОНОВЛЕНЬ ЗБЕРЕЖЕНО ЛОКАЛЬНО", L"UPDATE PREFERENCE SAVED LOCALLY");
        Repaint();

    // Settings screen: the category rail, then each panel's controls.
    } else if (StartsWith(text, "settings.cat.")) {
        if (CommandNumber(text.substr(13), 7, number)) {
            settingsCategory = number;
            Repaint();
        }
    } else if (text == "lang.uk" || text == "lang.en") {
        localization.SetLocale(text == "lang.uk" ? localization::Locale::Ukrainian : localization::Locale::English);
        SaveGamePreferences();
        Repaint();
    } else if (text == "display.windowed" || text == "display.fullscreen") {
        ApplyFullscreen(text == "display.fullscreen");
        Repaint();
    } else if (text == "resolution.1280") {
        ApplyWindowedResolution(1280, 720);
    } else if (text == "resolution.1920") {
        ApplyWindowedResolution(1920, 1080);
    } else if (text == "resolution.2560") {
        ApplyWindowedResolution(2560, 1440);
    } else if (text == "graphics.vsync") {
        vsync = !vsync;
        if (renderBackend) renderBackend->SetVSync(vsync);
        SaveGamePreferences();
        Repaint();
    } else if (StartsWith(text, "renderer.")) {
        rendererPreference = RendererFromWord(text.substr(9));
        // The next session start selects and builds the backend and its view again.
        if (renderBackend) {
            renderBackend->Shutdown();
            renderBackend.reset();
        }
        if (renderView) {
            DestroyWindow(renderView);
            renderView = nullptr;
        }
        SaveGamePreferences();
        Repaint();
    } else if (StartsWith(text, "quality.")) {
        if (CommandNumber(text.substr(8), 2, number)) {
            quality = static_cast<std::uint32_t>(number);
            SaveGamePreferences();
            Repaint();
        }
    } else if (StartsWith(text, "fps.")) {
        if (FpsLimitFromSuffix(text.substr(4), number)) {
            fpsLimit = number;
            SaveGamePreferences();
            Repaint();
        }
    } else if (StartsWith(text, "sensitivity.")) {
        if (CommandNumber(text.substr(12), 2, number)) {
            gameplayConfig.mouse_sensitivity = kSensitivityPresets[static_cast<std::size_t>(number)];
            SaveGamePreferences();
            Repaint();
        }
    } else if (text == "volume.slider") {
        masterVolume = VolumeFromTrackX(lastClickPoint.x);
        SaveGamePreferences();
        weaponAudio.Trigger(audio::WeaponCue::SHOT, masterVolume, 0, 0.0f);  // a preview at the new level
        Repaint();
    } else {
        return false;
    }
    return true;
}

}  // namespace tarvo::ui
