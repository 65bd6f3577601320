// Loading and saving the player profile of the active account.
#include "core/runtime_log.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::LoadPlayerData() {
    std::wstring key = L"LOCAL";
    std::wstring display = L"LOCAL_OPERATOR";
    if (accountRecord) {
        key = accountRecord->accountId;
        display = accountRecord->nickname;
    }
    playerData = playerStore.Load(key, display);
    if (playerData.identity.displayName.empty()) playerData.identity.displayName = display;
}

void NativeShell::SavePlayerData() {
    if (!playerStore.Save(playerData)) core::Log().Write("PlayerDataSaveFailed");
}

}  // namespace tarvo::ui
