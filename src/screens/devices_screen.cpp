// Trusted devices (screen 8): the account's Windows devices as the service last
// listed them, each revocable except the one the shell runs on.
#include <algorithm>

#include "common/text_utils.h"
#include "screens/account_screens.h"
#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

size_t DeviceRowCount(size_t devices) { return std::min(devices, kMaxDeviceRows); }

DeviceRowLayout DeviceRowAt(size_t index, size_t rowCount) {
    DeviceRowLayout row;
    const float i = static_cast<float>(index);
    if (rowCount <= 4) {
        const float top = 345.0f + 92.0f * i;
        row.box = D2D1::RectF(280, top, 1640, top + 76);
        row.name = D2D1::RectF(305, top + 10, 650, top + 43);
        row.detail = D2D1::RectF(680, top + 12, 1220, top + 46);
        row.action = D2D1::RectF(1260, top + 10, 1605, top + 66);
        row.chip = D2D1::RectF(1260, top + 17, 1605, top + 56);
        return row;
    }
    // Six compact rows end at 721, clear of the warning chip at 740.
    const float top = 345.0f + 64.0f * i;
    row.box = D2D1::RectF(280, top, 1640, top + 56);
    row.name = D2D1::RectF(305, top + 3, 650, top + 53);
    row.detail = D2D1::RectF(680, top + 3, 1220, top + 53);
    row.action = D2D1::RectF(1260, top + 6, 1605, top + 50);
    row.chip = row.action;
    return row;
}

void NativeShell::DrawDevices() {
    TopBrand(Pick(L"АКАУНТ / МОЇ ПРИСТРОЇ", L"ACCOUNT / MY DEVICES"));
    Card(D2D1::RectF(220, 170, 1700, 890));
    DrawTextIn(Pick(L"МОЇ ПРИСТРОЇ", L"MY DEVICES"), titleFormat.Get(), D2D1::RectF(280, 225, 980, 277), Colors::Text);
    DrawTextIn(Pick(L"ДОВІРЕНІ WINDOWS-ПРИСТРОЇ / SERVER AUTHORITY", L"TRUSTED WINDOWS DEVICES / SERVER AUTHORITY"),
               captionFormat.Get(), D2D1::RectF(280, 285, 1130, 315), Colors::Cyan);
    Button(D2D1::RectF(1330, 220, 1640, 280), Pick(L"ОНОВИТИ", L"REFRESH"), "auth.devices.refresh", false, false);

    if (trustedDevices.empty()) {
        const std::wstring_view hint = !accountStatusText.empty()
                                           ? std::wstring_view(accountStatusText)
                                           : Pick(L"Натисніть ОНОВИТИ, щоб отримати актуальний список.",
                                                  L"Select REFRESH to load the current list.");
        DrawTextIn(hint, bodyFormat.Get(), D2D1::RectF(280, 350, 1640, 500), Colors::Muted);
    }
    const size_t rows = DeviceRowCount(trustedDevices.size());
    for (size_t i = 0; i < rows; ++i) {
        const ServerDeviceRow& device = trustedDevices[i];
        const DeviceRowLayout row = DeviceRowAt(i, rows);
        FillRounded(row.box, 16.0f, Colors::Surface);
        StrokeRounded(row.box, 16.0f, Colors::Border, 1.0f);
        DrawTextIn(
            device.displayName.empty() ? std::wstring_view(L"WINDOWS PC") : std::wstring_view(device.displayName),
            headingFormat.Get(), row.name, Colors::Text);
        DrawTextIn(device.lastSeenAt + L"  \u2022  " + device.clientVersion, captionFormat.Get(), row.detail,
                   Colors::Muted);
        if (device.current) {
            DrawChip(*this, row.chip, Colors::Success, Pick(L"ПОТОЧНИЙ ПРИСТРІЙ", L"CURRENT DEVICE"));
        } else {
            Button(row.action, Pick(L"ВІДКЛИКАТИ ДОСТУП", L"REVOKE ACCESS"),
                   "auth.device.revoke." + distribution::WideToUtf8(device.deviceId), false, false);
        }
    }

    DrawChip(*this, D2D1::RectF(280, 740, 1640, 800), Colors::Danger,
             Pick(L"ВІДКЛИКАННЯ ПОТОЧНОГО ПРИСТРОЮ ПОТРЕБУЄ ПІДТВЕРДЖЕННЯ",
                  L"CURRENT DEVICE REVOCATION REQUIRES CONFIRMATION"));
    Button(D2D1::RectF(72, 928, 250, 990), localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace tarvo::ui
