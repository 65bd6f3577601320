// Shell-level screen changes and the end of the splash.
#include "core/runtime_log.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

using navigation::ScreenId;

void NativeShell::Navigate(ScreenId id) {
    // Home shows the stored profile. Without an account that is "LOCAL": Escape on the splash and
    // the way back from the code screens reach home without the account pump loading it.
    if (id == ScreenId::MainMenu && !accountRecord && !(playerDataRead && playerData.identity.playerKey == L"LOCAL")) {
        LoadPlayerData();
    }
    router.Navigate(id);
    focusedField.clear();
    hoverCommand.clear();
    toast.clear();
    screenEnteredAt = Now();
    const bool animated = id == ScreenId::Splash || id == ScreenId::Matchmaking;
    if (!animated && animationTimerArmed) {
        KillTimer(window, kAnimationTimerId);
        animationTimerArmed = false;
    }
    if (animated && !animationTimerArmed) ArmAnimationTimer();
    const ScreenId current = router.Current();
    if (current != ScreenId::Gameplay && current != ScreenId::Pause && window) {
        InvalidateRect(window, nullptr, FALSE);
    }
    if (id == ScreenId::Login) {
        startup.MarkLoginEntered();
        core::Log().Write("LoginEntered");
    }
}

void NativeShell::PumpSplashTransition() {
    if (productKind != ProductKind::Game || router.Current() != ScreenId::Splash) return;
    const core::SplashEvaluation evaluation = startup.Evaluate(Now());
    if (!evaluation.exit) return;
    switch (evaluation.reason) {
        case core::SplashExitReason::InitializationCompleted:
            core::Log().Write("SplashExitReason=InitializationCompleted");
            break;
        case core::SplashExitReason::InitializationFailedNonCritical:
            core::Log().Write("SplashExitReason=InitializationFailedNonCritical");
            break;
        default:
            core::Log().Write("SplashExitReason=SafetyTimeout");
            break;
    }

    std::wstring error;
    if (std::optional<account::ServerSession> stored = sessionStore.Load(error)) {
        serverSession = *stored;
        auth::LocalAccountRecord record;
        record.accountId = stored->playerId;
        record.email = stored->email;
        record.nickname = stored->nickname;
        record.createdAt = L"SERVER ACCOUNT";
        record.emailVerified = true;
        accountRecord = std::move(record);
        sessionProvider.Begin(stored->playerId);
        LoadPlayerData();
        core::Log().Write("ServerTrustedDeviceCacheRestored");
        Navigate(ScreenId::MainMenu);
        BeginAccountRequest("refresh", accountApi.Refresh(stored->refreshToken));
        return;
    }
    if (std::optional<auth::LocalAccountRecord> restored = localAuth.RestoreDeviceCredential(deviceCredentials)) {
        accountRecord = std::move(*restored);
        sessionProvider.Begin(accountRecord->accountId);
        LoadPlayerData();
        core::Log().Write("TrustedDeviceRestored");
        Navigate(ScreenId::MainMenu);
        return;
    }
    core::Log().Write("NavigationRequested(Login)");
    Navigate(ScreenId::Login);
}

}  // namespace tarvo::ui
