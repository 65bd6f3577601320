// E-mail and device verification (screens 2 and 3) and password recovery (4 and 5).
// Each is a centred card over the brand header with a back button at the bottom
// left; what the answers lead to is the account pump's work.
#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {
namespace {

void CentredTitle(NativeShell& shell, std::wstring_view title, D2D_RECT_F rect) {
    shell.DrawTextIn(title, shell.titleFormat.Get(), rect, Colors::Text, DWRITE_TEXT_ALIGNMENT_CENTER);
}

void CentredMessage(NativeShell& shell, std::wstring_view message, D2D_RECT_F rect) {
    shell.DrawTextIn(message, shell.bodyFormat.Get(), rect, Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
}

void BackButton(NativeShell& shell) {
    shell.Button(D2D1::RectF(72, 928, 250, 990), shell.localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace

void NativeShell::DrawVerifyEmail() {
    TopBrand(Pick(L"TARVONIX ACCOUNT / ПІДТВЕРДЖЕННЯ ПОШТИ", L"TARVONIX ACCOUNT / VERIFY EMAIL"));
    Card(D2D1::RectF(495, 190, 1425, 895));
    DrawChip(*this, D2D1::RectF(765, 225, 1155, 266), Colors::Cyan,
             Pick(L"КОД ДІЄ 10 ХВИЛИН", L"CODE EXPIRES IN 10 MINUTES"));
    CentredTitle(*this, Pick(L"ПІДТВЕРДЖЕННЯ ПОШТИ", L"EMAIL VERIFICATION"), D2D1::RectF(570, 300, 1350, 370));
    CentredMessage(
        *this,
        std::wstring(Pick(L"Ми надіслали код підтвердження на:\n", L"We sent a verification code to:\n")) + maskedEmail,
        D2D1::RectF(610, 395, 1310, 475));
    TextField(D2D1::RectF(665, 510, 1255, 580), Pick(L"КОД", L"CODE"), "field.code", false);
    Button(D2D1::RectF(615, 625, 1305, 695), Pick(L"ПІДТВЕРДИТИ", L"VERIFY"), "auth.verify-email", true, false);
    Button(D2D1::RectF(615, 715, 1305, 775), Pick(L"НАДІСЛАТИ КОД ПОВТОРНО", L"RESEND CODE"), "auth.resend", false,
           false);
    BackButton(*this);
}

void NativeShell::DrawVerifyDevice() {
    TopBrand(Pick(L"TARVONIX ACCOUNT / НОВИЙ ПРИСТРІЙ", L"TARVONIX ACCOUNT / NEW DEVICE"));
    Card(D2D1::RectF(535, 190, 1385, 895));
    DrawChip(*this, D2D1::RectF(735, 230, 1185, 272), Colors::Danger,
             Pick(L"ПОТРІБНЕ ПІДТВЕРДЖЕННЯ", L"VERIFICATION REQUIRED"));
    CentredTitle(*this, Pick(L"НОВИЙ ПРИСТРІЙ", L"NEW DEVICE"), D2D1::RectF(610, 315, 1310, 385));
    CentredMessage(*this,
                   std::wstring(Pick(L"Підтвердьте цей Windows-PC кодом, надісланим на:\n",
                                     L"Confirm this Windows PC with the code sent to:\n")) +
                       maskedEmail,
                   D2D1::RectF(630, 410, 1290, 490));
    TextField(D2D1::RectF(665, 535, 1255, 605), Pick(L"КОД", L"CODE"), "field.code", false);
    Button(D2D1::RectF(665, 650, 1255, 720), Pick(L"ПІДТВЕРДИТИ ПРИСТРІЙ", L"VERIFY DEVICE"), "auth.verify-device",
           true, false);
    BackButton(*this);
}

void NativeShell::DrawForgotPassword() {
    TopBrand(Pick(L"TARVONIX ACCOUNT / ВІДНОВЛЕННЯ", L"TARVONIX ACCOUNT / RECOVERY"));
    Card(D2D1::RectF(535, 215, 1385, 850));
    CentredTitle(*this, Pick(L"ЗАБУЛИ ПАРОЛЬ?", L"FORGOT PASSWORD?"), D2D1::RectF(610, 285, 1310, 355));
    CentredMessage(*this,
                   Pick(L"Введіть email. Відповідь не розкриває, чи існує акаунт.",
                        L"Enter your email. The response does not reveal whether an account exists."),
                   D2D1::RectF(650, 385, 1270, 455));
    TextField(D2D1::RectF(665, 505, 1255, 575), localization.Get(L"email"), "field.email", false);
    Button(D2D1::RectF(665, 630, 1255, 700), Pick(L"НАДІСЛАТИ КОД", L"SEND RESET CODE"), "auth.forgot.submit", true,
           false);
    BackButton(*this);
}

void NativeShell::DrawResetPassword() {
    TopBrand(Pick(L"TARVONIX ACCOUNT / НОВИЙ ПАРОЛЬ", L"TARVONIX ACCOUNT / NEW PASSWORD"));
    Card(D2D1::RectF(500, 170, 1420, 900));
    CentredTitle(*this, Pick(L"СКИНУТИ ПАРОЛЬ", L"RESET PASSWORD"), D2D1::RectF(585, 235, 1335, 305));
    TextField(D2D1::RectF(615, 365, 1305, 430), Pick(L"КОД", L"CODE"), "field.code", false);
    TextField(D2D1::RectF(615, 465, 1305, 530), Pick(L"НОВИЙ ПАРОЛЬ", L"NEW PASSWORD"), "field.new_password", true);
    TextField(D2D1::RectF(615, 565, 1305, 630), localization.Get(L"repeat_password"), "field.repeat", true);
    Button(D2D1::RectF(615, 700, 1305, 770), Pick(L"ЗМІНИТИ ПАРОЛЬ", L"CHANGE PASSWORD"), "auth.reset.submit", true,
           false);
    BackButton(*this);
}

}  // namespace tarvo::ui
