// The shell's one slot for an account service request and the rules that apply
// each finished request by its result kind and its name.
#include <chrono>

#include "account/account_reply.h"
#include "common/text_utils.h"
#include "core/runtime_log.h"
#include "shell/account_flow.h"
#include "shell/base64_file.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

using account::AccountResponse;
using account::AccountResponseKind;
using navigation::ScreenId;

namespace {

// Takes the finished response; a task that ended with an exception (or a future that
// holds no task) is reported like a request that got no answer.
AccountResponse TakeResponse(std::future<AccountResponse>& request) {
    try {
        return request.get();
    } catch (...) {
        return account::UnavailableResponse(L"The account request could not be completed.");
    }
}

bool IsReady(const std::future<AccountResponse>& request) {
    if (!request.valid()) return true;
    return request.wait_until(std::chrono::steady_clock::now()) == std::future_status::ready;
}

void FinishLink(NativeShell& shell) {
    shell.linkPending = false;
    shell.linkSourceProfile.reset();
    shell.Navigate(ScreenId::LinkComplete);
}

// The client's own failure texts follow the interface language; a reply's message is shown as sent.
std::wstring ResponseText(const NativeShell& shell, const AccountResponse& response) {
    const bool ukrainian = shell.localization.CurrentLocale() == localization::Locale::Ukrainian;
    if (response.failure != account::AccountFailure::None) {
        return std::wstring(account::AccountFailureText(response.failure, ukrainian));
    }
    return response.message;
}

// For the log: why a request got no reply, so a cut or refused exchange never reads as an answer.
const char* FailureName(account::AccountFailure failure) {
    switch (failure) {
        case account::AccountFailure::None: break;
        case account::AccountFailure::NotSent: return "NotSent";
        case account::AccountFailure::Unreachable: return "Unreachable";
        case account::AccountFailure::CutOff: return "CutOff";
        case account::AccountFailure::TooLarge: return "TooLarge";
        case account::AccountFailure::TimedOut: return "TimedOut";
        case account::AccountFailure::Cancelled: return "Cancelled";
        case account::AccountFailure::Unreadable: return "Unreadable";
    }
    return "";
}

void ApplyFailure(NativeShell& shell, const std::string& name, const AccountResponse& response) {
    const std::wstring message = ResponseText(shell, response);
    const std::wstring text = message.empty() ? L"TARVONIX ACCOUNT REQUEST FAILED" : message;
    shell.toast = text;
    if (shell.router.Current() == ScreenId::Login) {
        shell.fieldErrors[name == "register" ? "field.email" : "field.password"] = text;
    }
    shell.Repaint();
}

void AdoptSession(NativeShell& shell, const account::ServerSession& session) {
    shell.serverSession = session;
    std::wstring error;
    if (!shell.sessionStore.Save(session, error)) core::Log().Write("ServerSessionDpapiSaveFailed");

    auth::LocalAccountRecord record;
    record.accountId = session.playerId;
    record.email = session.email;
    record.nickname = session.nickname;
    record.createdAt = L"SERVER ACCOUNT";
    record.emailVerified = session.trusted;
    shell.accountRecord = std::move(record);
    shell.sessionProvider.Begin(session.playerId);

    if (shell.linkSourceProfile) {
        // The captured local profile moves under the server account as it is.
        shell.playerData = *shell.linkSourceProfile;
        shell.playerDataRead = true;
        shell.playerData.identity.playerKey = session.playerId;
        if (!session.nickname.empty()) shell.playerData.identity.displayName = session.nickname;
        shell.SavePlayerData();
    } else {
        shell.LoadPlayerData();
    }
}

void ApplySuccess(NativeShell& shell, const std::string& name, const AccountResponse& response, bool granted) {
    const bool english = shell.localization.CurrentLocale() != localization::Locale::Ukrainian;
    if (name == "reset") {
        WipeField(shell.fieldValues, "field.password");
        WipeField(shell.fieldValues, "field.new_password");
        WipeField(shell.fieldValues, "field.repeat");
        shell.registerTab = false;
        shell.Navigate(ScreenId::Login);
        shell.toast = english ? L"PASSWORD CHANGED. SIGN IN AGAIN." : L"ПАРОЛЬ ЗМІНЕНО. УВІЙДІТЬ ЗНОВУ.";
    } else if (name == "forgot") {
        shell.challengeId = response.challengeId;
        shell.maskedEmail = response.maskedEmail;
        shell.Navigate(ScreenId::ResetPassword);
    } else if (name == "devices") {
        shell.trustedDevices = ParseServerDevices(response.body);
        shell.accountStatusText =
            std::to_wstring(shell.trustedDevices.size()) + (english ? L" DEVICES" : L" ПРИСТРОЇВ");
        shell.Repaint();
    } else if (name == "device-revoke" && shell.serverSession) {
        shell.BeginAccountRequest("devices", shell.accountApi.GetDevices(shell.serverSession->accessToken));
    } else if (name == "sync") {
        ApplySyncReply(response.body, shell.playerData);
        shell.SavePlayerData();
        // A reply that lands during a match must not pull the player out of it.
        const ScreenId current = shell.router.Current();
        if (current != ScreenId::Gameplay && current != ScreenId::Pause) {
            shell.Navigate(ScreenId::MainMenu);
        } else {
            shell.Repaint();
        }
    } else if (name == "avatar" || name == "avatar-link") {
        const std::wstring avatarId = JsonString(response.body, "avatarId", L"");
        if (!avatarId.empty()) shell.playerData.avatar.avatarId = avatarId;
        shell.SavePlayerData();
        if (name == "avatar-link") {
            FinishLink(shell);
        } else {
            shell.toast = L"AVATAR SYNC: PASS";
            shell.Repaint();
        }
    } else if (name == "resend") {
        if (!response.challengeId.empty()) shell.challengeId = response.challengeId;
        if (!response.maskedEmail.empty()) shell.maskedEmail = response.maskedEmail;
        shell.toast = english ? L"A NEW CODE WAS SENT" : L"НОВИЙ КОД НАДІСЛАНО";
        shell.Repaint();
    } else if (name == "logout") {
        shell.sessionStore.Clear();
        shell.serverSession.reset();
        shell.sessionProvider.End();
        shell.accountRecord.reset();
        WipeField(shell.fieldValues, "field.password");
        shell.Navigate(ScreenId::Login);
    } else if (name == "link") {
        if (shell.serverSession && shell.playerData.avatar.customImage) {
            std::string image = AvatarUploadText(shell.playerData.avatar.imagePath, shell.playerStore.ProfileFolder());
            if (!image.empty()) {
                shell.BeginAccountRequest("avatar-link",
                                          shell.accountApi.UploadAvatar(shell.serverSession->accessToken, std::move(image)));
                return;
            }
        }
        FinishLink(shell);
    } else if (granted) {
        if (shell.linkPending && shell.linkSourceProfile) {
            std::string safeData = LinkSafeData(*shell.linkSourceProfile, shell.localization.CurrentLocale(),
                                                shell.rendererPreference, shell.masterVolume);
            shell.BeginAccountRequest("link", shell.accountApi.LinkLegacy(shell.serverSession->accessToken,
                                                                          shell.linkSourceProfile->identity.playerKey,
                                                                          std::move(safeData)));
        } else {
            WipeField(shell.fieldValues, "field.password");
            WipeField(shell.fieldValues, "field.repeat");
            shell.BeginAccountRequest("sync", shell.accountApi.GetSync(shell.serverSession->accessToken));
        }
    } else if (name == "verify-email" || name == "verify-device") {
        shell.Navigate(ScreenId::MainMenu);
    } else {
        shell.toast = response.message;
        shell.Repaint();
    }
}

}  // namespace

void NativeShell::BeginAccountRequest(std::string name, std::future<AccountResponse> request) {
    if (accountRequest) return;  // one at a time; the callers refuse before starting one
    accountRequestName = std::move(name);
    accountStatusText = localization.CurrentLocale() == localization::Locale::Ukrainian
                            ? L"ЗВ'ЯЗОК ІЗ TARVONIX ACCOUNT..."
                            : L"CONTACTING TARVONIX ACCOUNT...";
    accountRequest = std::move(request);
    core::Log().Write("AccountRequestStarted=" + accountRequestName);
    Repaint();
}

void NativeShell::PumpAccountRequest() {
    if (!accountRequest || !IsReady(*accountRequest)) return;
    const std::string name = accountRequestName;
    AccountResponse response = TakeResponse(*accountRequest);
    accountRequest.reset();
    accountRequestName.clear();

    accountStatusText = ResponseText(*this, response);
    std::string line = "AccountRequestCompleted=" + name + " Http=" + std::to_string(response.httpStatus) +
                       " Code=" + distribution::WideToUtf8(response.code);
    if (response.failure != account::AccountFailure::None) line += std::string(" Failure=") + FailureName(response.failure);
    core::Log().Write(line);

    switch (response.kind) {
        case AccountResponseKind::EmailVerificationRequired:
        case AccountResponseKind::DeviceVerificationRequired:
            challengeId = response.challengeId;
            maskedEmail = response.maskedEmail;
            Navigate(response.kind == AccountResponseKind::EmailVerificationRequired ? ScreenId::VerifyEmail
                                                                                       : ScreenId::VerifyDevice);
            return;
        case AccountResponseKind::Success:
            break;
        default:
            ApplyFailure(*this, name, response);
            return;
    }
    const bool granted = response.session.has_value();
    if (granted) AdoptSession(*this, *response.session);
    ApplySuccess(*this, name, response, granted);
}

void NativeShell::AwaitExitSubmission() {
    if (!accountRequest || accountRequestName != "stats") return;
    const AccountResponse response = TakeResponse(*accountRequest);  // its exchange ends by its deadline
    accountRequest.reset();
    accountRequestName.clear();
    std::string line = "StatsSubmissionAtExit=";
    line += response.kind == AccountResponseKind::Success ? "Sent" : "NotSent";
    line += " Http=" + std::to_string(response.httpStatus);
    // Without a reply the client's own text says why; a reply's code says it otherwise.
    line += response.httpStatus ? " Code=" + distribution::WideToUtf8(response.code)
                                : " Reason=" + distribution::WideToUtf8(response.message);
    core::Log().Write(line);
}

}  // namespace tarvo::ui
