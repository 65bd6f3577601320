// The owner console's commands: tester metrics, release control, the backend's
// private configuration and queries, announcements and the player selection. The
// release-control calls block for at most a few seconds each; the page shows that
// it is working before the call starts.
#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "common/time_utils.h"
#include "core/runtime_log.h"
#include "mock_data/demo_tables.h"
#include "owner_console/backend_form.h"
#include "release_control/command_envelope.h"
#include "release_control/sodium_library.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

namespace {

using release_control::HttpResult;
using release_control::ReleaseControlClient;

bool StartsWith(const std::string& text, std::string_view prefix) { return text.rfind(prefix, 0) == 0; }

std::wstring Upper(std::wstring_view text) {
    std::wstring out(text);
    for (wchar_t& c : out) {
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return out;
}

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::string WideToAscii(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// "HH:MM UTC" of the current time.
std::wstring ClockText() {
    const std::wstring stamp = distribution::UtcTimestamp();  // YYYY-MM-DDTHH:MM:SS.mmmZ
    return stamp.size() >= 16 ? stamp.substr(11, 5) + L" UTC" : stamp;
}

// The reply's own explanation when it gives one, else `fallback`. Replies are
// untrusted: the text is kept short (JsonString keeps it on one line).
std::wstring ReplyMessage(const HttpResult& result, std::wstring_view fallback) {
    std::wstring text = result.sent ? JsonString(result.body, "message", fallback) : std::wstring(fallback);
    if (text.size() > 200) text = text.substr(0, 200) + L"\u2026";
    return text.empty() ? std::wstring(fallback) : text;
}

// What the status line says about a finished exchange.
std::wstring Outcome(const HttpResult& result) {
    if (result.Succeeded()) return L"ACCEPTED";
    if (result.sent) return L"REFUSED (HTTP " + std::to_wstring(result.status) + L")";
    if (!release_control::SodiumLibrary::Shared().Available()) return L"NOT SENT: SIGNING UNAVAILABLE";
    return L"NOT SENT";
}

std::string LogOutcome(const HttpResult& result) {
    return result.sent ? " Http=" + std::to_string(result.status) : std::string(" NotSent");
}

std::int64_t Figure(std::uint64_t value) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(value, INT64_MAX));
}

// A blocking call is about to start: paint the working state first.
void ShowBusy(NativeShell& shell, std::wstring text) {
    shell.ostrelBusy = true;
    shell.ostrelNotice = std::move(text);
    if (shell.window) {
        shell.Repaint();
        UpdateWindow(shell.window);
    }
}

void RefreshKeyLine(NativeShell& shell) {
    const release_control::OwnerKeyInfo key = ReleaseControlClient::EnsureOwnerKey();
    shell.ownerKeyText = key.ready ? L"ED25519 " + key.fingerprint : key.message;
    if (key.created) core::Log().Write("OwnerKeyCreated");
}

void BackendCommand(NativeShell& shell, const std::string& word);
void PublishAnnouncement(NativeShell& shell);

}  // namespace

bool NativeShell::HandleOwnerConsoleCommand(const std::string& command) {
    if (command == "metrics.refresh") {
        ShowBusy(*this, L"CONTACTING TESTER METRICS...");
        std::wstring error;
        if (distribution::FetchTestMetrics(testMetricsUrl, testMetrics, error)) {
            overviewPlayers = Figure(testMetrics.activeTesters);
            overviewMatches = Figure(testMetrics.matches);
            overviewDownloads = Figure(testMetrics.downloads);
            overviewRevenue = Figure(testMetrics.coinsSpent);
            metricsStatusText = L"SYNCED " + ClockText();
            toast = L"TESTER METRICS SYNCED";
            core::Log().Write("TestMetricsRefreshed");
        } else {
            metricsStatusText = L"SYNC FAILED " + ClockText();
            toast = L"TESTER METRICS: " + Upper(error);
            core::Log().Write("TestMetricsRefreshFailed");
        }
    } else if (command == "release.status") {
        ShowBusy(*this, L"CONTACTING RELEASE CONTROL...");
        RefreshKeyLine(*this);
        const HttpResult result = ReleaseControlClient::ServerStatus(releaseControlUrl);
        if (result.Succeeded()) {
            releaseStatusText = L"ONLINE / " + Upper(JsonString(result.body, "state", L"UNKNOWN"));
            releaseMessageText = ReplyMessage(result, L"Release control answered.");
        } else {
            releaseStatusText = result.sent ? L"HTTP " + std::to_wstring(result.status) : L"OFFLINE";
            releaseMessageText = ReplyMessage(result, result.message);
        }
        toast = L"RELEASE CONTROL: " + releaseStatusText;
        core::Log().Write(result.sent ? "ReleaseStatusChecked=" + std::to_string(result.status)
                                       : std::string("ReleaseStatusChecked=NotSent"));
    } else if (command == "release.check" || command == "release.activate" || command == "release.rollback" ||
               command == "release.finalize") {
        const std::wstring action = Widen(std::string_view(command).substr(8));
        ShowBusy(*this, L"SIGNING " + Upper(action) + L"...");
        RefreshKeyLine(*this);  // creates the key on first use, so the command below finds it
        const HttpResult result = ReleaseControlClient::SignedCommand(releaseControlUrl, action, L"", L"", 0, L"");
        releaseStatusText = Upper(action) + L" " + Outcome(result);
        releaseMessageText =
            ReplyMessage(result, result.Succeeded() ? L"Release control accepted the command." : result.message);
        lastCommandText = L"release." + action + L" \u00B7 " + Outcome(result) + L" \u00B7 " + ClockText();
        toast = releaseStatusText;
        core::Log().Write("ReleaseCommand=" + command.substr(8) + LogOutcome(result));
    } else if (StartsWith(command, "release.")) {
        return false;
    } else if (StartsWith(command, "backend.")) {
        BackendCommand(*this, command.substr(8));
    } else if (StartsWith(command, "announcement.target.")) {
        int target = 0;
        if (!CommandNumber(std::string_view(command).substr(20), 2, target)) return true;
        announcementTarget = target;
    } else if (command == "announcement.publish") {
        PublishAnnouncement(*this);
    } else if (StartsWith(command, "players.select.")) {
        int index = 0;
        if (!CommandNumber(std::string_view(command).substr(15), 7, index)) return true;
        if (!livePlayers.empty()) index = std::min(index, static_cast<int>(livePlayers.size()) - 1);
        selectedLivePlayer = index;
    } else {
        return false;
    }
    ostrelBusy = false;
    ostrelNotice.clear();
    Repaint();
    return true;
}

namespace {

void BackendCommand(NativeShell& shell, const std::string& word) {
    const std::wstring action = Widen(word);
    if (!release_control::IsBackendAction(action)) {
        shell.toast = L"UNKNOWN BACKEND ACTION";
        return;
    }
    const bool ukrainian = shell.localization.CurrentLocale() == localization::Locale::Ukrainian;
    const bool configAction = word == "test-db" || word == "test-mail" || word == "save";
    std::optional<release_control::BackendPrivateConfig> config;
    std::wstring testEmail;
    if (configAction) {
        for (const auto& field : ostrel::BackendFields()) shell.fieldErrors.erase(std::string(field.key));
        config = ostrel::BackendConfigFromFields(shell.fieldValues, word == "test-mail", ukrainian, shell.fieldErrors);
        if (!config) {
            shell.backendConfigStatusText = L"CHECK THE HIGHLIGHTED FIELDS";
            shell.backendConfigHintText = std::wstring(ukrainian ? L"Нічого не надіслано: виправте позначені поля."
                                                                 : L"Nothing was sent: correct the marked fields.");
            return;
        }
        if (word == "test-mail") testEmail = shell.fieldValues[std::string(ostrel::kTestEmailField)];
    }

    ShowBusy(shell, L"SIGNING BACKEND " + Upper(action) + L"...");
    RefreshKeyLine(shell);
    const HttpResult result = ReleaseControlClient::SignedBackendCommand(
        shell.releaseControlUrl, action, config ? &*config : nullptr, testEmail, 0, L"");
    shell.lastCommandText = L"backend." + action + L" \u00B7 " + Outcome(result) + L" \u00B7 " + ClockText();
    core::Log().Write("BackendCommand=" + word + LogOutcome(result));
    const std::wstring message = ReplyMessage(result, result.message);

    if (word == "players") {
        if (result.Succeeded()) {
            shell.livePlayers = ParseLivePlayers(result.body);
            shell.selectedLivePlayer = 0;
            shell.livePlayersFetchedAt = static_cast<std::int64_t>(GetTickCount64() / 1000);
            shell.playersStatusText = L"SYNCED / " + std::to_wstring(shell.livePlayers.size()) + L" PLAYERS";
            shell.ostrelSyncText = L"СИНХРОНІЗОВАНО " + ClockText();
        } else {
            // The rows of the last good answer stay.
            shell.playersStatusText = L"SYNC " + Outcome(result);
        }
        shell.toast = L"PLAYERS: " + shell.playersStatusText;
    } else if (word == "metrics") {
        if (result.Succeeded()) {
            shell.overviewPlayers = Figure(JsonUnsigned(result.body, "players"));
            shell.overviewMatches = Figure(JsonUnsigned(result.body, "matches"));
            shell.overviewDownloads = Figure(JsonUnsigned(result.body, "downloads"));
            shell.overviewRevenue = Figure(JsonUnsigned(result.body, "coinsSpent"));
            shell.metricsStatusText = L"BACKEND SYNCED " + ClockText();
        }
        shell.backendStatusText = L"METRICS " + Outcome(result);
        shell.toast = L"BACKEND METRICS: " + Outcome(result);
    } else if (configAction || word == "initialize") {
        static constexpr std::array<std::pair<std::string_view, std::wstring_view>, 4> kDone{{
            {"test-db", L"DATABASE TEST PASSED"},
            {"test-mail", L"TEST MAIL SENT"},
            {"save", L"SAVED"},
            {"initialize", L"INITIALIZED"},
        }};
        std::wstring done;
        for (const auto& [name, text] : kDone) {
            if (word == name) done = text;
        }
        if (result.Succeeded()) {
            shell.backendConfigStatusText = done;
            if (word == "save") shell.backendStatusText = L"CONFIGURED, NOT INITIALIZED";
            if (word == "initialize") shell.backendStatusText = L"INITIALIZED " + ClockText();
        } else {
            shell.backendConfigStatusText = Upper(action) + L" " + Outcome(result);
        }
        shell.backendConfigHintText = message;
        shell.toast = L"BACKEND " + Upper(action) + L": " + Outcome(result);
    } else {
        shell.backendStatusText = Upper(action) + L" " + Outcome(result);
        shell.toast = L"BACKEND " + shell.backendStatusText;
    }
}

void PublishAnnouncement(NativeShell& shell) {
    const bool ukrainian = shell.localization.CurrentLocale() == localization::Locale::Ukrainian;
    std::wstring& text = shell.fieldValues["field.message"];
    bool blank = true;
    for (wchar_t c : text) blank = blank && (c == L' ' || c == L'\t' || c == L'\r' || c == L'\n');
    if (blank) {
        shell.fieldErrors["field.message"] = ukrainian ? L"ВВЕДІТЬ ТЕКСТ ОГОЛОШЕННЯ" : L"ENTER THE ANNOUNCEMENT TEXT";
        return;
    }
    shell.fieldErrors.erase("field.message");
    const auto audiences = mock_data::AnnouncementAudiences();
    const auto& audience = audiences[static_cast<size_t>(
        std::clamp<std::int32_t>(shell.announcementTarget, 0, static_cast<std::int32_t>(audiences.size()) - 1))];

    ShowBusy(shell, L"SIGNING ANNOUNCEMENT...");
    RefreshKeyLine(shell);
    const HttpResult result =
        ReleaseControlClient::SignedAnnouncement(shell.releaseControlUrl, std::wstring(audience.word), text, 0, L"");
    shell.lastCommandText = L"announcement.publish \u00B7 " + Outcome(result) + L" \u00B7 " + ClockText();
    core::Log().Write("AnnouncementPublish=" + WideToAscii(audience.word) + LogOutcome(result));
    if (result.Succeeded()) {
        shell.announcementStatusText = L"PUBLISHED TO " + Upper(audience.word) + L" " + ClockText();
        text.clear();  // sent: the composer is free for the next one
        if (shell.focusedField == "field.message") shell.caret = shell.selectionAnchor = 0;
    } else {
        // The text stays in the composer so nothing typed is lost.
        shell.announcementStatusText = L"NOT PUBLISHED: " + Outcome(result);
    }
    shell.toast = shell.announcementStatusText;
}

}  // namespace

}  // namespace tarvo::ui
