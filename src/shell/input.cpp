// Keyboard, typed characters and raw mouse input; Escape outside play.
#include "core/runtime_log.h"
#include "gameplay/training_simulation.h"
#include "presentation/weapon_meshes.h"
#include "shell/clipboard.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

using navigation::ScreenId;

namespace {

bool KeyDown(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

void RemoveRawMouse() {
    RAWINPUTDEVICE device{};
    device.usUsagePage = 1;
    device.usUsage = 2;
    device.dwFlags = RIDEV_REMOVE;
    device.hwndTarget = nullptr;
    RegisterRawInputDevices(&device, 1, sizeof(device));
}

}  // namespace

bool NativeShell::RuntimeQaKeysEnabled() {
    wchar_t value[8] = {};
    const DWORD length = GetEnvironmentVariableW(L"TARVO_RUNTIME_QA", value, 8);
    // A value too long for the buffer reports the size it needs and counts as off.
    return length > 0 && length < 8 && value[0] == L'1';
}

void NativeShell::OnKeyDown(unsigned virtualKey) {
    const ScreenId screen = router.Current();
    if (screen == ScreenId::Gameplay || screen == ScreenId::Pause) {
        OnPlayKey(virtualKey);
    } else if (!focusedField.empty()) {
        OnFieldKey(virtualKey);
    } else if (virtualKey == VK_ESCAPE) {
        OnEscape();
    }
}

void NativeShell::OnPlayKey(unsigned virtualKey) {
    if (virtualKey == VK_F2) {
        if (!onlineMatch) return;
        shopOpen = !shopOpen;
        fireRequested = reloadRequested = fireHeld = aimHeld = false;
        menuOpen = shopOpen;
        router.Navigate(shopOpen ? ScreenId::Pause : ScreenId::Gameplay);
        if (shopOpen && cursorCaptured) {
            RemoveRawMouse();
            ClipCursor(nullptr);
            ReleaseCapture();
            ShowCursor(TRUE);
            cursorCaptured = false;
        }
        if (!shopOpen) CaptureGameplayCursor();
        return;
    }
    if (shopOpen) {
        if (virtualKey == VK_ESCAPE) {
            shopOpen = false;
            menuOpen = false;
            router.Navigate(ScreenId::Gameplay);
            CaptureGameplayCursor();
        } else if (virtualKey >= '1' && virtualKey <= '3') {
            matchClient.Buy(static_cast<int>(virtualKey - '1'));
        }
        return;
    }

    const bool qa = RuntimeQaKeysEnabled();
    switch (virtualKey) {
        case VK_F6:
            if (qa && simulation && !simulation->Bots().empty()) {
                const gameplay::Vec3 target =
                    simulation->CameraPosition() + simulation->CameraForward() * 3.5f - gameplay::Vec3{0.0f, 1.05f, 0.0f};
                simulation->SetBotPositionForQa(0, target);
                simulation->SetBotYawForQa(0, simulation->Player().yaw + 180.0f);
                core::Log().Write("RuntimeQaTargetPositioned");
            }
            break;
        case VK_F7:
            if (qa && simulation) {
                simulation->SetPlayerPositionForQa(gameplay::Vec3{999.0f, 0.0f, 999.0f});
                core::Log().Write("RuntimeQaOutOfBoundsInjected");
            }
            break;
        case VK_RETURN:
            if (menuOpen) StopGameplay(true);
            break;
        case VK_ESCAPE:
            if (router.Current() == ScreenId::Gameplay) {
                menuOpen = true;
                router.Navigate(ScreenId::Pause);
                ReleaseGameplayCursor();
            } else {
                menuOpen = false;
                router.Navigate(ScreenId::Gameplay);
                CaptureGameplayCursor();
                lastFrameAt = Now();
            }
            break;
        case 'B':
            if (simulation && !menuOpen) simulation->ToggleFireMode();
            break;
        case 'R':
            if (!simulation) break;
            if (!onlineMatch) {
                if (menuOpen) {
                    simulation->Restart();
                    FlushGameplayEvents();
                } else if (simulation->BeginReload() &&
                           weaponAudio.Trigger(audio::WeaponCue::RELOAD, masterVolume, 0, 0.0f)) {
                    core::Log().Write("AudioReloadTriggered");
                }
            } else {
                const auto& player = simulation->Player();
                const auto& weapon = simulation->Weapon();
                const int index = player.weaponIndex;
                const int row = index < 0 ? 0 : (index > 2 ? 2 : index);
                const Clock::time_point now = Now();
                if (menuOpen || player.dead || weapon.reloading || weapon.reserve <= 0 ||
                    weapon.magazine - predictedShots >= presentation::Arsenal[row].magazine || now < reloadReadyAt) {
                    break;
                }
                reloadRequested = true;
                const auto reloadTime = index == 1   ? std::chrono::milliseconds(1350)
                                        : index == 2 ? std::chrono::milliseconds(2000)
                                                     : std::chrono::milliseconds(1650);
                reloadReadyAt = now + reloadTime;
                weaponAudio.Trigger(audio::WeaponCue::RELOAD, masterVolume, index, 0.0f);
            }
            break;
        case VK_F3:
            showPerformance = !showPerformance;
            break;
        default:
            break;
    }
}

void NativeShell::OnFieldKey(unsigned virtualKey) {
    std::wstring& value = fieldValues[focusedField];
    EditCursor cursor{caret, selectionAnchor};
    const FieldKeyResult result = ApplyFieldKey(value, cursor, virtualKey, KeyDown(VK_CONTROL), KeyDown(VK_SHIFT));
    caret = cursor.caret;
    selectionAnchor = cursor.anchor;
    switch (result) {
        case FieldKeyResult::Ignored:
            return;
        case FieldKeyResult::Escape:
            OnEscape();
            return;
        case FieldKeyResult::Copy:
            CopySelectionToClipboard(false);
            break;
        case FieldKeyResult::Cut:
            CopySelectionToClipboard(true);
            break;
        case FieldKeyResult::Paste:
            PasteFromClipboard();
            break;
        case FieldKeyResult::Edited:
            break;
    }
    fieldErrors.erase(focusedField);
    Repaint();
}

void NativeShell::PasteFromClipboard() { InsertText(ReadClipboardText(window)); }

void NativeShell::OnChar(wchar_t unit) {
    if (focusedField.empty() || unit == 0x08) return;
    // AltGr arrives as Ctrl+Alt and types characters such as '@'.
    if (KeyDown(VK_CONTROL) && !KeyDown(VK_MENU)) return;
    if (unit >= 0x20 && unit != 0x7F) {
        std::wstring text = typedCharacters.Feed(unit);
        if (!text.empty()) InsertText(std::move(text));
    }
    Repaint();
}

void NativeShell::OnRawInput(HRAWINPUT input) {
    if (router.Current() != ScreenId::Gameplay || !simulation || menuOpen) return;
    UINT size = 0;
    if (GetRawInputData(input, RID_INPUT, nullptr, &size, sizeof(RAWINPUTHEADER)) != 0 || size == 0) return;
    RAWINPUT record{};
    if (size > sizeof(record)) return;  // not a mouse record
    if (GetRawInputData(input, RID_INPUT, &record, &size, sizeof(RAWINPUTHEADER)) != size) return;
    if (record.header.dwType != RIM_TYPEMOUSE) return;
    const RAWMOUSE& mouse = record.data.mouse;
    // Absolute positions (tablets, remote sessions) are not look deltas.
    if ((mouse.usFlags & MOUSE_MOVE_ABSOLUTE) == 0) {
        const float factor = 1.0f - 0.48f * adsBlend;
        simulation->AddMouseDelta(static_cast<float>(mouse.lLastX) * factor, static_cast<float>(mouse.lLastY) * factor);
    }
    const USHORT buttons = mouse.usButtonFlags;
    if (buttons & RI_MOUSE_LEFT_BUTTON_DOWN) {
        fireHeld = true;
        FireWeapon();
    }
    if (buttons & RI_MOUSE_LEFT_BUTTON_UP) fireHeld = false;
    if (buttons & RI_MOUSE_RIGHT_BUTTON_DOWN) aimHeld = true;
    if (buttons & RI_MOUSE_RIGHT_BUTTON_UP) aimHeld = false;
}

void NativeShell::OnEscape() {
    switch (DecideEscape(productKind, router.Current(), settingsReturnScreen, simulation != nullptr)) {
        case EscapeAction::None:
            return;
        case EscapeAction::ToMainMenu:
            Navigate(ScreenId::MainMenu);
            return;
        case EscapeAction::ToLogin:
            Navigate(ScreenId::Login);
            return;
        case EscapeAction::ToPrivacyReturn:
            Navigate(privacyReturnScreen);
            return;
        case EscapeAction::ToOstrelOverview:
            Navigate(ScreenId::OstrelOverview);
            return;
        case EscapeAction::ToPausedMatch:
            ReturnToPause();
            return;
    }
}

}  // namespace tarvo::ui
