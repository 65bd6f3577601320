// Sign-in and registration (screen 1): one card with two tabs beside the hero text.
// The card shows no request progress; the status box after the screen does.
#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawLogin() {
    const auto& text = localization;
    TopBrand(Pick(L"TARVONIX ACCOUNT / БЕЗПЕЧНИЙ ДОСТУП", L"TARVONIX ACCOUNT / SECURE ACCESS"));

    Card(D2D1::RectF(1080, 150, 1770, 930));
    DrawTextIn(Pick(L"СЕРВЕРНИЙ АКАУНТ / HTTPS", L"SERVER ACCOUNT / HTTPS"), captionFormat.Get(),
               D2D1::RectF(1130, 187, 1700, 217), Colors::Cyan);
    DrawTextIn(text.Get(registerTab ? L"create_account" : L"sign_in"), titleFormat.Get(),
               D2D1::RectF(1130, 220, 1700, 284), Colors::Text);

    Button(D2D1::RectF(1130, 310, 1400, 365), text.Get(L"sign_in"), "auth.login.tab", !registerTab, false);
    Button(D2D1::RectF(1420, 310, 1700, 365), text.Get(L"create_account"), "auth.register.tab", registerTab, false);

    if (registerTab) {
        TextField(D2D1::RectF(1130, 392, 1410, 460), text.Get(L"email"), "field.email", false);
        TextField(D2D1::RectF(1425, 392, 1700, 460), text.Get(L"nickname"), "field.nickname", false);
        TextField(D2D1::RectF(1130, 478, 1410, 546), text.Get(L"password"), "field.password", true);
        TextField(D2D1::RectF(1425, 478, 1700, 546), text.Get(L"repeat_password"), "field.repeat", true);
        Checkbox(1130, 580, text.Get(L"accept_policy"), "auth.policy", acceptPolicy);
        if (const auto error = fieldErrors.find("field.policy"); error != fieldErrors.end()) {
            DrawTextIn(error->second, captionFormat.Get(), D2D1::RectF(1166, 608, 1686, 638), Colors::Danger);
        }
        Button(D2D1::RectF(1130, 648, 1700, 720), text.Get(L"create_account"), "auth.register", true, false);
    } else {
        TextField(D2D1::RectF(1130, 405, 1700, 474), text.Get(L"email"), "field.email", false);
        TextField(D2D1::RectF(1130, 493, 1700, 562), text.Get(L"password"), "field.password", true);
        Checkbox(1130, 593, text.Get(L"remember_device"), "auth.remember", rememberDevice);
        Button(D2D1::RectF(1130, 660, 1700, 732), text.Get(L"sign_in"), "auth.login", true, false);
        Button(D2D1::RectF(1130, 752, 1700, 806), text.Get(L"forgot_password"), "auth.forgot", false, false);
    }

    DrawTextIn(Pick(L"ТВІЙ БОЙОВИЙ ФРОНТ", L"THE COMPETITIVE FRONTIER"), displayFormat.Get(),
               D2D1::RectF(100, 250, 950, 350), Colors::Text);
    DrawTextIn(Pick(L"ПОЧИНАЄТЬСЯ ТУТ.", L"BEGINS HERE."), displayFormat.Get(), D2D1::RectF(100, 350, 950, 450),
               Colors::Accent);
    DrawTextIn(L"NATIVE WINDOWS x64  \u2022  TEST CHANNEL  \u2022  0.0.03.5", bodyFormat.Get(),
               D2D1::RectF(108, 485, 930, 530), Colors::Muted);
    DrawChip(*this, D2D1::RectF(108, 570, 292, 610), Colors::Accent, Pick(L"ТАКТИЧНО", L"TACTICAL"));
    DrawChip(*this, D2D1::RectF(318, 570, 502, 610), Colors::Cyan, Pick(L"НАДІЙНО", L"PERSISTENT"));
    DrawChip(*this, D2D1::RectF(528, 570, 712, 610), Colors::Cyan, Pick(L"СИНХРОНІЗОВАНО", L"SYNCHRONIZED"));
}

}  // namespace tarvo::ui
