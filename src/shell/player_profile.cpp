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
    playerDataRead = true;
}

void NativeShell::SavePlayerData() {
    // A profile that was never read is the default one: saving it would replace the stored one.
    if (!playerDataRead) return;
    if (!playerStore.Save(playerData)) core::Log().Write("PlayerDataSaveFailed");
}

}  // namespace tarvo::ui
