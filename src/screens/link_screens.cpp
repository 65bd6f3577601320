// Moving the local test account to a server account (screen 6) and its confirmation
// with the permanent player id (screen 7).
#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawLinkAccount() {
    TopBrand(Pick(L"ПІДКЛЮЧЕННЯ ТЕСТОВОГО АКАУНТА", L"CONNECT TEST ACCOUNT"));
    Card(D2D1::RectF(430, 145, 1490, 925));
    DrawChip(*this, D2D1::RectF(690, 185, 1230, 230), Colors::Success,
             Pick(L"ЛОКАЛЬНІ ДАНІ ЗБЕРІГАЮТЬСЯ", L"LOCAL DATA WILL BE PRESERVED"));
    DrawTextIn(Pick(L"ВАШ ТЕСТОВИЙ АКАУНТ\nГОТОВИЙ ДО ПІДКЛЮЧЕННЯ", L"YOUR TEST ACCOUNT\nIS READY TO CONNECT"),
               titleFormat.Get(), D2D1::RectF(520, 275, 1400, 410), Colors::Text, DWRITE_TEXT_ALIGNMENT_CENTER);
    DrawTextIn(Pick(L"Створіть TARVONIX Account. Після email-підтвердження профіль, avatar, inventory, "
                    L"налаштування та BOT-статистика будуть безпечно синхронізовані.",
                    L"Create a TARVONIX Account. After email verification, profile, avatar, inventory, settings and "
                    L"BOT stats will be synchronized safely."),
               bodyFormat.Get(), D2D1::RectF(565, 445, 1355, 535), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
    TextField(D2D1::RectF(660, 585, 1260, 650), Pick(L"ПОТОЧНИЙ ЛОКАЛЬНИЙ ПАРОЛЬ", L"CURRENT LOCAL PASSWORD"),
              "field.local_password", true);
    Button(D2D1::RectF(560, 700, 950, 770), Pick(L"ПІДКЛЮЧИТИ ІСНУЮЧИЙ", L"CONNECT EXISTING"),
           "auth.link.verify.existing", true, false);
    Button(D2D1::RectF(970, 700, 1360, 770), Pick(L"СТВОРИТИ НОВИЙ АКАУНТ", L"CREATE NEW ACCOUNT"),
           "auth.link.verify.new", false, false);
    Button(D2D1::RectF(760, 810, 1160, 865), Pick(L"ПІЗНІШЕ", L"LATER"), "nav.back", false, false);
}

void NativeShell::DrawLinkComplete() {
    TopBrand(Pick(L"TARVONIX ACCOUNT / ГОТОВО", L"TARVONIX ACCOUNT / COMPLETE"));
    Card(D2D1::RectF(510, 220, 1410, 820));
    DrawChip(*this, D2D1::RectF(730, 270, 1190, 320), Colors::Success,
             Pick(L"МІГРАЦІЯ ЗАВЕРШЕНА", L"MIGRATION COMPLETE"));
    DrawTextIn(Pick(L"АКАУНТ ПІДКЛЮЧЕНО", L"ACCOUNT CONNECTED"), titleFormat.Get(), D2D1::RectF(590, 380, 1330, 455),
               Colors::Text, DWRITE_TEXT_ALIGNMENT_CENTER);
    std::wstring playerLine(Pick(L"Ваш постійний PlayerId:\n", L"Your permanent PlayerId:\n"));
    playerLine += serverSession ? serverSession->playerId : std::wstring(L"\u2014");
    DrawTextIn(playerLine, bodyFormat.Get(), D2D1::RectF(640, 500, 1280, 590), Colors::Cyan,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    Button(D2D1::RectF(665, 660, 1255, 730), Pick(L"ДО ГОЛОВНОГО МЕНЮ", L"CONTINUE TO MAIN MENU"),
           "auth.migration.done", true, false);
}

}  // namespace tarvo::ui
