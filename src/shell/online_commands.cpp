// The online test's commands: the match start from the settings file and the
// match-service status probe.
#include <algorithm>

#include "gameplay/gameplay_config.h"
#include "online/match_service.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

namespace {

constexpr wchar_t kNotConfigured[] = L"ОНЛАЙН-ТЕСТ НЕ НАЛАШТОВАНО / ONLINE TEST NOT CONFIGURED";
constexpr wchar_t kNetworkFailed[] = L"НЕ ВДАЛОСЯ ВІДКРИТИ МЕРЕЖУ / NETWORK INITIALIZATION FAILED";

}  // namespace

bool NativeShell::HandleOnlineCommand(const std::string& command) {
    if (command == "match.start" || command == "match.unavailable") {
        const std::filesystem::path file =
            onlineTestConfig.empty() ? online::OnlineTestConfigPath() : onlineTestConfig;
        const std::optional<online::OnlineTestConfig> config =
            online::ParseOnlineTestConfig(online::ReadOnlineTestConfig(file));
        if (!config || config->port < 1 || config->port > 65535 ||
            config->joinKey.size() < online::kMinJoinKeyLength) {
            toast = kNotConfigured;
            Repaint();
            return true;
        }
        const int mode = std::clamp(selectedMode, 0, 6);
        const std::string_view modeKey = gameplay::MatchModeKeys[static_cast<std::size_t>(mode)];
        if (!matchClient.Open(config->host, static_cast<std::uint16_t>(config->port), config->joinKey, modeKey,
                              selectedMap)) {
            toast = kNetworkFailed;
            Repaint();
            return true;
        }
        matchClient.SetDisplayName(playerData.identity.displayName);
        onlineMatch = true;
        StartCoinProfileLoad();
        if (!StartGameplay()) {
            matchClient.Close();
            onlineMatch = false;
        }
        return true;
    }
    if (command == "match.status") {
        if (!statusProbe) {
            matchStatusText = L"CHECKING...";
            try {
                if (onlineTestConfig.empty()) {
                    statusProbe = std::async(std::launch::async, [] { return online::MatchClient::FetchStatus(); });
                } else {
                    // Tests name their own settings file, and with it their own match service.
                    const std::wstring service =
                        online::MatchServiceUrlFrom(online::ReadOnlineTestConfig(onlineTestConfig));
                    statusProbe =
                        std::async(std::launch::async, [service] { return online::FetchMatchStatus(service); });
                }
            } catch (...) {
                // No thread could be started: the probe simply did not run.
                statusProbe.reset();
                matchStatusText = L"OFFLINE / STATUS UNAVAILABLE";
            }
        }
        Repaint();
        return true;
    }
    return false;
}

}  // namespace tarvo::ui
