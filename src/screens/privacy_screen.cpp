// Privacy (screen 17): the local privacy statement of the test build. It reads no
// state but the language.
#include "screens/info_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawPrivacy() {
    TopBrand(Pick(L"ПОЛІТИКА КОНФІДЕНЦІЙНОСТІ", L"PRIVACY POLICY"));
    Card(D2D1::RectF(240, 170, 1680, 895));
    DrawChip(*this, D2D1::RectF(300, 215, 650, 258), Pick(L"ЛОКАЛЬНА ПОЛІТИКА", L"LOCAL POLICY ROUTE"), Colors::Cyan);

    DrawTextIn(Pick(L"TARVONIX VOLLEY 0.0.03.5 використовує TARVONIX Account для email, trusted-device входу, profile та "
                    L"progress sync. Паролі, коди й session tokens не показуються публічно. Online gameplay, blockchain і "
                    L"фінансові операції не запускаються.",
                    L"TARVONIX VOLLEY 0.0.03.5 uses TARVONIX Account for email, trusted-device sign-in, profile and "
                    L"progress sync. Passwords, codes and session tokens are never public. Online gameplay, blockchain "
                    L"and financial operations remain disabled."),
               bodyFormat.Get(), D2D1::RectF(300, 390, 1550, 520), Colors::Text);

    const std::wstring_view items[4] = {
        Pick(L"ЛОКАЛЬНИЙ АКАУНТ", L"LOCAL ACCOUNT STORAGE"),
        Pick(L"ЛОКАЛЬНИЙ AVATAR", L"LOCAL AVATAR BINDING"),
        Pick(L"ЛОКАЛЬНА BOT-СТАТИСТИКА", L"LOCAL BOT STATISTICS"),
        Pick(L"БЕЗ ПАРОЛЯ / EMAIL / CREDENTIAL", L"NO PASSWORD / EMAIL / CREDENTIAL"),
    };
    for (int n = 0; n < 4; ++n) {
        const float x = 300.0f + 610.0f * static_cast<float>(n % 2);
        const float y = 580.0f + 70.0f * static_cast<float>(n / 2);
        DrawChip(*this, D2D1::RectF(x, y, x + 560, y + 50), items[n], n == 3 ? Colors::Success : Colors::Cyan);
    }

    DrawTextIn(Pick(L"Це локальна pre-online policy-заглушка. Перед production online release буде опубліковано повну "
                    L"юридичну політику.",
                    L"This is a local pre-online policy entry. A complete legal policy will be published before the "
                    L"production online release."),
               bodyFormat.Get(), D2D1::RectF(300, 770, 1550, 830), Colors::Muted);
    Button(D2D1::RectF(72, 928, 250, 990), localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace tarvo::ui
