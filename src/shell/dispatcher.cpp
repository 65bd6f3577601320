// The one place where a clicked command becomes an action: the text-field and
// sign-in form rules, then each command family's handler in turn.
#include <array>
#include <utility>

#include "core/runtime_log.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

using navigation::ScreenId;

namespace {

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

constexpr std::array<std::pair<std::string_view, ScreenId>, 15> kOstrelPages{{
    {"ostrel.overview", ScreenId::OstrelOverview},
    {"ostrel.players", ScreenId::OstrelPlayers},
    {"ostrel.matches", ScreenId::OstrelMatches},
    {"ostrel.downloads", ScreenId::OstrelDownloads},
    {"ostrel.statistics", ScreenId::Statistics},
    {"ostrel.announcements", ScreenId::OstrelAnnouncements},
    {"ostrel.economy", ScreenId::OstrelEconomy},
    {"ostrel.tarv", ScreenId::OstrelTarv},
    {"ostrel.security", ScreenId::OstrelSecurity},
    {"ostrel.versions", ScreenId::OstrelVersions},
    {"ostrel.release", ScreenId::OstrelRelease},
    {"ostrel.health", ScreenId::OstrelHealth},
    {"ostrel.audit", ScreenId::OstrelAudit},
    {"ostrel.settings", ScreenId::OstrelSettings},
    {"ostrel.backend", ScreenId::OstrelBackend},
}};

}  // namespace

void NativeShell::Repaint() {
    if (window) InvalidateRect(window, nullptr, FALSE);
}

void NativeShell::Dispatch(const std::string& command) {
    if (StartsWith(command, "reveal.field.")) {
        bool& revealed = revealedFields[command.substr(7)];
        revealed = !revealed;
        Repaint();
        return;
    }
    if (StartsWith(command, "field.")) {
        focusedField = command;
        if (window) SetFocus(window);
        Repaint();
        return;
    }
    if (command == "auth.login.tab" || command == "auth.register.tab") {
        registerTab = command == "auth.register.tab";
        fieldErrors.clear();
        Repaint();
        return;
    }
    if (command == "auth.remember") {
        rememberDevice = !rememberDevice;
        Repaint();
        return;
    }
    if (command == "auth.policy") {
        acceptPolicy = !acceptPolicy;
        Repaint();
        return;
    }
    if (HandleNavigationCommand(command)) return;
    if (HandleAccountCommand(command)) return;
    if (HandlePlayCommand(command)) return;
    if (HandleOnlineCommand(command)) return;
    if (HandleSettingsCommand(command)) return;
    if (HandlePlayerCommand(command)) return;
    HandleOwnerConsoleCommand(command);
}

bool NativeShell::HandleNavigationCommand(const std::string& command) {
    if (command == "auth.forgot") {
        Navigate(ScreenId::ForgotPassword);
    } else if (command == "auth.migration.done") {
        Navigate(ScreenId::MainMenu);
    } else if (command == "auth.devices") {
        Navigate(ScreenId::Devices);
    } else if (command == "app.exit") {
        SavePlayerData();
        SaveGamePreferences();
        SaveUpdatePreferences();
        core::Log().Write("CleanExitRequested");
        if (window) DestroyWindow(window);
    } else if (command == "nav.play") {
        Navigate(ScreenId::Play);
    } else if (command == "nav.inventory") {
        Navigate(ScreenId::Inventory);
    } else if (command == "nav.profile") {
        Navigate(ScreenId::Profile);
    } else if (command == "nav.statistics") {
        Navigate(ScreenId::Statistics);
    } else if (command == "nav.settings") {
        settingsReturnScreen = router.Current();
        Navigate(ScreenId::Settings);
    } else if (command == "nav.updates") {
        Navigate(ScreenId::Updates);
    } else if (command == "nav.privacy") {
        privacyReturnScreen = router.Current();
        Navigate(ScreenId::Privacy);
    } else if (command == "nav.back") {
        const ScreenId current = router.Current();
        if (current == ScreenId::Settings && serverSession && !accountRequest) {
            BeginAccountRequest("settings", accountApi.SyncSettings(serverSession->accessToken, SettingsSyncJson(), 1));
        }
        if (current == ScreenId::VerifyEmail) {
            Navigate(ScreenId::Login);
        } else if (current == ScreenId::Privacy) {
            Navigate(privacyReturnScreen);
        } else if (current == ScreenId::Settings && settingsReturnScreen == ScreenId::Pause && simulation) {
            ReturnToPause();
        } else {
            Navigate(ScreenId::MainMenu);
        }
    } else if (command == "ostrel.unlock") {
        Navigate(ScreenId::OstrelOverview);
    } else if (StartsWith(command, "ostrel.")) {
        for (const auto& [name, screen] : kOstrelPages) {
            if (command == name) {
                Navigate(screen);
                return true;
            }
        }
        return false;  // not a page: later families may still know it
    } else {
        return false;
    }
    return true;
}

std::string NativeShell::SettingsSyncJson() const {
    const char* renderer = rendererPreference == renderer::RenderBackendKind::Vulkan       ? "vulkan"
                           : rendererPreference == renderer::RenderBackendKind::Direct3D11 ? "d3d11"
                                                                                           : "auto";
    std::string json = "{\"locale\":\"";
    json += localization.CurrentLocale() == localization::Locale::Ukrainian ? "uk-UA" : "en-US";
    json += "\",\"renderer\":\"";
    json += renderer;
    json += "\",\"quality\":" + std::to_string(quality);
    json += ",\"fpsLimit\":" + std::to_string(fpsLimit);
    json += ",\"masterVolume\":" + std::to_string(masterVolume);
    json += ",\"autoDownload\":";
    json += autoDownload ? "true" : "false";
    json += ",\"installOnExit\":";
    json += installOnExit ? "true" : "false";
    json += "}";
    return json;
}

}  // namespace tarvo::ui
