// The sign-in, registration, verification, recovery, link, device and sign-out
// commands. Each request command only starts its request; the account pump applies
// the reply.
#include <system_error>

#include "auth/local_prototype_auth_provider.h"
#include "shell/account_flow.h"
#include "shell/account_replies.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

using navigation::ScreenId;

namespace {

constexpr std::string_view kRevokePrefix = "auth.device.revoke.";

std::wstring LocaleWide(const NativeShell& shell) {
    return shell.localization.CurrentLocale() == localization::Locale::Ukrainian ? L"uk-UA" : L"en-US";
}

// Starts a request unless one is pending: then nothing is started and nothing is
// sent, which is all the user sees of the refusal.
template <typename Start>
void StartRequest(NativeShell& shell, std::string name, Start start) {
    if (shell.accountRequest) return;
    shell.BeginAccountRequest(std::move(name), start());
}

const std::wstring& Field(NativeShell& shell, const std::string& key) { return shell.fieldValues[key]; }

void SetError(NativeShell& shell, const std::string& key, std::wstring_view localizationKey) {
    shell.fieldErrors[key] = std::wstring(shell.localization.Get(localizationKey));
}

void SignIn(NativeShell& shell) {
    shell.fieldErrors.clear();
    if (!auth::LocalPrototypeAuthProvider::LooksLikeEmail(Field(shell, "field.email"))) {
        SetError(shell, "field.email", L"error_email");
    }
    if (Field(shell, "field.password").empty()) SetError(shell, "field.password", L"error_password");
    if (!shell.fieldErrors.empty()) {
        shell.Repaint();
        return;
    }
    StartRequest(shell, "login", [&] {
        return shell.accountApi.Login(Field(shell, "field.email"), Field(shell, "field.password"),
                                      LocaleWide(shell));
    });
}

void Register(NativeShell& shell) {
    shell.fieldErrors.clear();
    const std::wstring& password = Field(shell, "field.password");
    if (!auth::LocalPrototypeAuthProvider::LooksLikeEmail(Field(shell, "field.email"))) {
        SetError(shell, "field.email", L"error_email");
    }
    if (Field(shell, "field.nickname").empty()) SetError(shell, "field.nickname", L"error_nickname");
    if (!auth::LocalPrototypeAuthProvider::MeetsPasswordRequirements(password)) {
        SetError(shell, "field.password", L"error_password");
    }
    if (password != Field(shell, "field.repeat")) SetError(shell, "field.repeat", L"error_password_match");
    if (!shell.acceptPolicy) SetError(shell, "field.policy", L"error_policy");
    if (!shell.fieldErrors.empty()) {
        shell.Repaint();
        return;
    }
    StartRequest(shell, "register", [&] {
        std::wstring legacyAccountId = shell.linkSourceProfile ? shell.linkSourceProfile->identity.playerKey : L"";
        return shell.accountApi.Register(Field(shell, "field.email"), Field(shell, "field.nickname"), password,
                                         LocaleWide(shell), std::move(legacyAccountId));
    });
}

void ResetPassword(NativeShell& shell) {
    if (Field(shell, "field.new_password") != Field(shell, "field.repeat")) {
        SetError(shell, "field.repeat", L"error_password_match");
        shell.Repaint();
        return;
    }
    StartRequest(shell, "reset", [&] {
        return shell.accountApi.ResetPassword(shell.challengeId, Field(shell, "field.code"),
                                              Field(shell, "field.new_password"));
    });
}

// The local password check before the local profile moves to a server account.
void VerifyLocalForLink(NativeShell& shell, bool newAccount) {
    const bool english = shell.localization.CurrentLocale() != localization::Locale::Ukrainian;
    std::wstring& localPassword = shell.fieldValues["field.local_password"];
    if (!shell.accountRecord || localPassword.empty()) {
        shell.fieldErrors["field.local_password"] = english ? L"ENTER THE LOCAL PASSWORD" : L"ВВЕДІТЬ ЛОКАЛЬНИЙ ПАРОЛЬ";
        shell.Repaint();
        return;
    }
    if (shell.localAuth.Login(shell.accountRecord->email, localPassword).status != auth::AuthResult::Ok) {
        shell.fieldErrors["field.local_password"] =
            english ? L"LOCAL PASSWORD IS INCORRECT" : L"НЕПРАВИЛЬНИЙ ЛОКАЛЬНИЙ ПАРОЛЬ";
        shell.Repaint();
        return;
    }
    shell.linkSourceProfile = shell.playerData;
    shell.linkPending = true;
    WipeField(shell.fieldValues, "field.local_password");
    WipeField(shell.fieldValues, "field.password");
    shell.registerTab = newAccount;
    if (newAccount) shell.fieldValues["field.nickname"] = shell.playerData.identity.displayName;
    shell.Navigate(ScreenId::Login);
}

// Without a server session: the local prototype account (or nobody) signs out at once.
void LocalSignOut(NativeShell& shell) {
    shell.sessionProvider.End();
    shell.accountRecord.reset();
    std::error_code ignored;
    std::filesystem::remove(shell.deviceCredentials.Path(), ignored);
    WipeField(shell.fieldValues, "field.password");
    WipeField(shell.fieldValues, "field.repeat");
    shell.registerTab = false;
    shell.Navigate(ScreenId::Login);
}

}  // namespace

bool NativeShell::HandleAccountCommand(const std::string& command) {
    if (command == "auth.login") {
        SignIn(*this);
    } else if (command == "auth.register") {
        Register(*this);
    } else if (command == "auth.verify-email") {
        StartRequest(*this, "verify-email",
                     [&] { return accountApi.VerifyEmail(challengeId, Field(*this, "field.code")); });
    } else if (command == "auth.resend") {
        StartRequest(*this, "resend", [&] { return accountApi.ResendVerification(challengeId, LocaleWide(*this)); });
    } else if (command == "auth.verify-device") {
        StartRequest(*this, "verify-device",
                     [&] { return accountApi.VerifyDevice(challengeId, Field(*this, "field.code")); });
    } else if (command == "auth.forgot.submit") {
        StartRequest(*this, "forgot",
                     [&] { return accountApi.ForgotPassword(Field(*this, "field.email"), LocaleWide(*this)); });
    } else if (command == "auth.reset.submit") {
        ResetPassword(*this);
    } else if (command == "auth.link") {
        linkSourceProfile = playerData;
        linkPending = true;
        Navigate(ScreenId::LinkAccount);
    } else if (command == "auth.link.verify.existing" || command == "auth.link.verify.new") {
        VerifyLocalForLink(*this, command == "auth.link.verify.new");
    } else if (command == "auth.devices.refresh") {
        if (serverSession) {
            StartRequest(*this, "devices", [&] { return accountApi.GetDevices(serverSession->accessToken); });
        }
    } else if (command.starts_with(kRevokePrefix)) {
        if (serverSession) {
            StartRequest(*this, "device-revoke", [&] {
                const std::wstring deviceId = DecodeUtf8(std::string_view(command).substr(kRevokePrefix.size()));
                return accountApi.RevokeDevice(serverSession->accessToken, deviceId, false);
            });
        }
    } else if (command == "auth.logout.all" || command == "auth.logout") {
        const bool everywhere = command == "auth.logout.all";
        if (serverSession) {
            StartRequest(*this, "logout", [&] { return accountApi.Logout(serverSession->accessToken, everywhere); });
        } else if (!everywhere) {
            LocalSignOut(*this);
        }
    } else {
        return false;
    }
    return true;
}

}  // namespace tarvo::ui
