// The player screens' commands: the statistics and inventory tabs, and the avatar
// import (a chosen file or the sample character image) with its upload while
// signed in.
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "shell/base64_file.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

namespace {

constexpr std::string_view kInventoryTabPrefix = "inventory.tab.";

std::optional<std::filesystem::path> AskForImageFile(HWND owner) {
    std::vector<wchar_t> file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = L"Images (*.png;*.jpg;*.jpeg;*.bmp)\0*.png;*.jpg;*.jpeg;*.bmp\0";
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;  // cancelled or failed
    return std::filesystem::path(file.data());
}

// Starts the "avatar" request with the imported image; false when not signed in,
// while another account request is pending (nothing is sent then), or when the image
// is too large or unreadable for the upload. The image then stays local.
bool StartAvatarUpload(NativeShell& shell) {
    if (!shell.serverSession || shell.accountRequest) return false;
    std::string text = AvatarUploadText(shell.playerData.avatar.imagePath, shell.playerStore.ProfileFolder());
    if (text.empty()) return false;
    shell.BeginAccountRequest("avatar", shell.accountApi.UploadAvatar(shell.serverSession->accessToken, std::move(text)));
    return true;
}

}  // namespace

bool NativeShell::ChooseAvatar() {
    const std::optional<std::filesystem::path> chosen = pickAvatarFile ? pickAvatarFile() : AskForImageFile(window);
    if (!chosen || !playerStore.ImportAvatar(playerData, *chosen)) return false;
    bitmapCache.clear();  // the copy keeps its name, so a cached bitmap would show the old image
    return true;
}

bool NativeShell::HandlePlayerCommand(const std::string& command) {
    if (command == "stats.local" || command == "stats.online") {
        statisticsView = command == "stats.online" ? 1 : 0;
        Repaint();
    } else if (command.starts_with(kInventoryTabPrefix)) {
        int tab = 0;
        if (!CommandNumber(std::string_view(command).substr(kInventoryTabPrefix.size()), 5, tab)) return true;
        inventoryTab = tab;
        Repaint();
    } else if (command == "profile.avatar") {
        const bool ok = ChooseAvatar();
        toast = ok ? Pick(L"ЛОКАЛЬНИЙ АВАТАР ЗБЕРЕЖЕНО", L"LOCAL AVATAR SAVED")
                   : Pick(L"ВИБІР АВАТАРА СКАСОВАНО АБО ФАЙЛ НЕКОРЕКТНИЙ", L"AVATAR SELECTION CANCELLED OR INVALID");
        if (ok) StartAvatarUpload(*this);
        // Painted before returning, whatever the dialog gave: an invalidated window is
        // not always repainted under Wine after a modal dialog until the mouse moves.
        if (window) RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    } else if (command == "profile.avatar.sample") {
        const bool ok = playerStore.ImportAvatar(playerData, DiscoverAsset("inventory/rozizodivo-preview.png"));
        toast = ok ? Pick(L"ЛОКАЛЬНИЙ АВАТАР ROZIZODIVO ЗБЕРЕЖЕНО", L"LOCAL ROZIZODIVO AVATAR SAVED")
                   : Pick(L"НЕ ВДАЛОСЯ ІМПОРТУВАТИ АВАТАР", L"LOCAL AVATAR IMPORT FAILED");
        bitmapCache.clear();
        if (ok && StartAvatarUpload(*this)) return true;
        Repaint();
    } else {
        return false;
    }
    return true;
}

}  // namespace tarvo::ui
