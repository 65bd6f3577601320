// The sign-in, verification, recovery and linking screens painted off-screen in
// both languages: their hit regions in drawing order, every text they draw, and the
// states that change what is drawn.
#include "account/server_session.h"
#include "account_screens/account_canvas.h"
#include "shell/shell_logic.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using R = D2D_RECT_F;

constexpr R kBack{72, 928, 250, 990};
const Shown kBackLabel = Plain(L"НАЗАД", L"BACK", kBack);

R Eye(R field) { return R{field.right - 62, field.top, field.right, field.bottom}; }

Texts AccountBrand(std::wstring uk, std::wstring en) {
    return Brand(L"TARVONIX ACCOUNT / " + uk, L"TARVONIX ACCOUNT / " + en);
}
Shown CentredTitle(std::wstring uk, std::wstring en, R r) { return {uk, en, r, Colors::Text, Face::Title, kCentre}; }
Shown CentredMessage(std::wstring uk, std::wstring en, R r) { return {uk, en, r, Colors::Muted, Face::Body, kCentre}; }

// The sign-in card's head and the hero text beside it, the same on both tabs.
Texts CardHead(bool registration) {
    return {{L"СЕРВЕРНИЙ АКАУНТ / HTTPS", L"SERVER ACCOUNT / HTTPS", {1130, 187, 1700, 217}, Colors::Cyan, Face::Caption},
            registration ? Shown{L"СТВОРИТИ АКАУНТ", L"CREATE ACCOUNT", {1130, 220, 1700, 284}, Colors::Text, Face::Title}
                         : Shown{L"УВІЙТИ", L"SIGN IN", {1130, 220, 1700, 284}, Colors::Text, Face::Title},
            registration ? Plain(L"УВІЙТИ", L"SIGN IN", {1130, 310, 1400, 365})
                         : Primary(L"УВІЙТИ", L"SIGN IN", {1130, 310, 1400, 365}),
            registration ? Primary(L"СТВОРИТИ АКАУНТ", L"CREATE ACCOUNT", {1420, 310, 1700, 365})
                         : Plain(L"СТВОРИТИ АКАУНТ", L"CREATE ACCOUNT", {1420, 310, 1700, 365})};
}
const Texts kHero = {
    {L"ТВІЙ БОЙОВИЙ ФРОНТ", L"THE COMPETITIVE FRONTIER", {100, 250, 950, 350}, Colors::Text, Face::Display},
    {L"ПОЧИНАЄТЬСЯ ТУТ.", L"BEGINS HERE.", {100, 350, 950, 450}, Colors::Accent, Face::Display},
    {L"NATIVE WINDOWS x64  \u2022  TEST CHANNEL  \u2022  0.0.03.5", {}, {108, 485, 930, 530}, Colors::Muted, Face::Body},
    Chip(L"ТАКТИЧНО", L"TACTICAL", {108, 570, 292, 610}, Colors::Accent),
    Chip(L"НАДІЙНО", L"PERSISTENT", {318, 570, 502, 610}, Colors::Cyan),
    Chip(L"СИНХРОНІЗОВАНО", L"SYNCHRONIZED", {528, 570, 712, 610}, Colors::Cyan),
};
Shown CheckboxLabel(std::wstring uk, std::wstring en, float y) {
    return {uk, en, {1166, y - 5, 1570, y + 30}, Colors::Muted, Face::Body};
}

class SignIn : public AccountCanvas {};

TEST_P(SignIn, SignInTab) {
    Show(ScreenId::Login);
    const R email{1130, 405, 1700, 474};
    const R password{1130, 493, 1700, 562};
    ExpectRegions({
        {"auth.login.tab", {1130, 310, 1400, 365}},
        {"auth.register.tab", {1420, 310, 1700, 365}},
        {"field.email", email},
        {"field.password", password},
        {"reveal.field.password", Eye(password)},
        {"auth.remember", {1130, 587, 1590, 625}},
        {"auth.login", {1130, 660, 1700, 732}},
        {"auth.forgot", {1130, 752, 1700, 806}},
    });
    ExpectTexts(Join(AccountBrand(L"БЕЗПЕЧНИЙ ДОСТУП", L"SECURE ACCESS"), CardHead(false),
                     Field(L"Електронна пошта", L"Email", email), Field(L"Пароль", L"Password", password, true),
                     CheckboxLabel(L"Запам'ятати цей пристрій", L"Remember this device", 593),
                     Primary(L"УВІЙТИ", L"SIGN IN", {1130, 660, 1700, 732}),
                     Plain(L"Забули пароль?", L"Forgot password?", {1130, 752, 1700, 806}), kHero));
    EXPECT_GT(Pixel(1140, 605).g, 200) << "remember-device is ticked by default";
    EXPECT_EQ(shell->fieldValues.count("field.nickname"), 0u) << "no registration field is drawn";
}

TEST_P(SignIn, RegistrationTab) {
    shell->Dispatch("auth.register.tab");
    Show(ScreenId::Login);
    const R email{1130, 392, 1410, 460};
    const R nickname{1425, 392, 1700, 460};
    const R password{1130, 478, 1410, 546};
    const R repeat{1425, 478, 1700, 546};
    ExpectRegions({
        {"auth.login.tab", {1130, 310, 1400, 365}},
        {"auth.register.tab", {1420, 310, 1700, 365}},
        {"field.email", email},
        {"field.nickname", nickname},
        {"field.password", password},
        {"reveal.field.password", Eye(password)},
        {"field.repeat", repeat},
        {"reveal.field.repeat", Eye(repeat)},
        {"auth.policy", {1130, 574, 1590, 612}},
        {"auth.register", {1130, 648, 1700, 720}},
    });
    const Texts fields = Join(CardHead(true), Field(L"Електронна пошта", L"Email", email),
                              Field(L"Нікнейм", L"Nickname", nickname), Field(L"Пароль", L"Password", password, true),
                              Field(L"Повторіть пароль", L"Repeat password", repeat, true),
                              CheckboxLabel(L"Я приймаю правила та політику", L"I accept the rules and policy", 580));
    const Shown submit = Primary(L"СТВОРИТИ АКАУНТ", L"CREATE ACCOUNT", {1130, 648, 1700, 720});
    const Texts brand = AccountBrand(L"БЕЗПЕЧНИЙ ДОСТУП", L"SECURE ACCESS");
    ExpectTexts(Join(brand, fields, submit, kHero));
    EXPECT_LT(Pixel(1140, 592).g, 60) << "the policy box starts unticked";

    // The policy error has its own line under the box; an empty one draws nothing.
    shell->fieldErrors["field.policy"] = L"";
    Paint();
    ExpectTexts(Join(brand, fields, submit, kHero));
    shell->fieldErrors["field.policy"] = std::wstring(shell->localization.Get(L"error_policy"));
    Paint();
    ExpectTexts(Join(brand, fields,
                     Shown{L"Прийміть правила та політику", L"Accept the rules and policy", {1166, 608, 1686, 638},
                           Colors::Danger, Face::Caption},
                     submit, kHero));
}

TEST_P(SignIn, TabsKeepTheTypedValuesAndTheToggles) {
    shell->fieldValues["field.email"] = L"ann@mail.ua";
    shell->fieldValues["field.password"] = L"secret";
    Show(ScreenId::Login);
    const int emailInk = LitPixels(1148, 429, 1684, 469);
    EXPECT_GT(emailInk, 20);
    shell->Dispatch("auth.register.tab");
    shell->Dispatch("auth.policy");
    Paint();
    EXPECT_GT(LitPixels(1148, 416, 1394, 455), 20) << "the e-mail carries over";
    EXPECT_GT(Pixel(1140, 592).g, 200) << "ticked policy box";
    shell->Dispatch("auth.login.tab");
    shell->Dispatch("auth.remember");
    Paint();
    EXPECT_LT(Pixel(1140, 605).g, 60) << "remember-device unticked";
}

TEST_P(SignIn, ForgotPassword) {
    Show(ScreenId::ForgotPassword);
    const R email{665, 505, 1255, 575};
    ExpectRegions({
        {"field.email", email},
        {"auth.forgot.submit", {665, 630, 1255, 700}},
        {"nav.back", kBack},
    });
    ExpectTexts(Join(AccountBrand(L"ВІДНОВЛЕННЯ", L"RECOVERY"),
                     CentredTitle(L"ЗАБУЛИ ПАРОЛЬ?", L"FORGOT PASSWORD?", {610, 285, 1310, 355}),
                     CentredMessage(L"Введіть email. Відповідь не розкриває, чи існує акаунт.",
                                    L"Enter your email. The response does not reveal whether an account exists.",
                                    {650, 385, 1270, 455}),
                     Field(L"Електронна пошта", L"Email", email),
                     Primary(L"НАДІСЛАТИ КОД", L"SEND RESET CODE", {665, 630, 1255, 700}), kBackLabel));
}

class Verification : public AccountCanvas {};

TEST_P(Verification, EmailScreenWithAndWithoutTheMaskedAddress) {
    const R code{665, 510, 1255, 580};
    for (const std::wstring masked : {L"a***@mail.ua", L""}) {
        shell->maskedEmail = masked;
        Show(ScreenId::VerifyEmail);
        ExpectRegions({
            {"field.code", code},
            {"auth.verify-email", {615, 625, 1305, 695}},
            {"auth.resend", {615, 715, 1305, 775}},
            {"nav.back", kBack},
        });
        ExpectTexts(Join(AccountBrand(L"ПІДТВЕРДЖЕННЯ ПОШТИ", L"VERIFY EMAIL"),
                         Chip(L"КОД ДІЄ 10 ХВИЛИН", L"CODE EXPIRES IN 10 MINUTES", {765, 225, 1155, 266}, Colors::Cyan),
                         CentredTitle(L"ПІДТВЕРДЖЕННЯ ПОШТИ", L"EMAIL VERIFICATION", {570, 300, 1350, 370}),
                         CentredMessage(L"Ми надіслали код підтвердження на:\n" + masked,
                                        L"We sent a verification code to:\n" + masked, {610, 395, 1310, 475}),
                         Field(L"КОД", L"CODE", code),
                         Primary(L"ПІДТВЕРДИТИ", L"VERIFY", {615, 625, 1305, 695}),
                         Plain(L"НАДІСЛАТИ КОД ПОВТОРНО", L"RESEND CODE", {615, 715, 1305, 775}), kBackLabel));
    }
}

TEST_P(Verification, DeviceScreenHasNoResend) {
    shell->maskedEmail = L"a***@mail.ua";
    Show(ScreenId::VerifyDevice);
    const R code{665, 535, 1255, 605};
    ExpectRegions({
        {"field.code", code},
        {"auth.verify-device", {665, 650, 1255, 720}},
        {"nav.back", kBack},
    });
    ExpectTexts(Join(AccountBrand(L"НОВИЙ ПРИСТРІЙ", L"NEW DEVICE"),
                     Chip(L"ПОТРІБНЕ ПІДТВЕРДЖЕННЯ", L"VERIFICATION REQUIRED", {735, 230, 1185, 272}, Colors::Danger),
                     CentredTitle(L"НОВИЙ ПРИСТРІЙ", L"NEW DEVICE", {610, 315, 1310, 385}),
                     CentredMessage(L"Підтвердьте цей Windows-PC кодом, надісланим на:\na***@mail.ua",
                                    L"Confirm this Windows PC with the code sent to:\na***@mail.ua",
                                    {630, 410, 1290, 490}),
                     Field(L"КОД", L"CODE", code),
                     Primary(L"ПІДТВЕРДИТИ ПРИСТРІЙ", L"VERIFY DEVICE", {665, 650, 1255, 720}), kBackLabel));
}

TEST_P(Verification, ResetScreenRegionsTextsAndMaskedPasswords) {
    const R code{615, 365, 1305, 430};
    const R fresh{615, 465, 1305, 530};
    const R repeat{615, 565, 1305, 630};
    Show(ScreenId::ResetPassword);
    ExpectRegions({
        {"field.code", code},
        {"field.new_password", fresh},
        {"reveal.field.new_password", Eye(fresh)},
        {"field.repeat", repeat},
        {"reveal.field.repeat", Eye(repeat)},
        {"auth.reset.submit", {615, 700, 1305, 770}},
        {"nav.back", kBack},
    });
    ExpectTexts(Join(AccountBrand(L"НОВИЙ ПАРОЛЬ", L"NEW PASSWORD"),
                     CentredTitle(L"СКИНУТИ ПАРОЛЬ", L"RESET PASSWORD", {585, 235, 1335, 305}),
                     Field(L"КОД", L"CODE", code), Field(L"НОВИЙ ПАРОЛЬ", L"NEW PASSWORD", fresh, true),
                     Field(L"Повторіть пароль", L"Repeat password", repeat, true),
                     Primary(L"ЗМІНИТИ ПАРОЛЬ", L"CHANGE PASSWORD", {615, 700, 1305, 770}), kBackLabel));

    shell->fieldValues["field.new_password"] = L"WWWWWW";
    Paint();
    const int masked = LitPixels(633, 489, 1239, 525);
    shell->Dispatch("reveal.field.new_password");
    Paint();
    const int clear = LitPixels(633, 489, 1239, 525);
    EXPECT_GT(masked, 10);
    EXPECT_GT(clear, masked) << "six W are wider than six bullets";
}

TEST_P(Verification, ACodeLeftInTheSharedFieldShowsOnTheNextScreen) {
    shell->fieldValues["field.code"] = L"123456";
    Show(ScreenId::VerifyEmail);
    const int onEmail = LitPixels(683, 534, 1239, 575);
    shell->router.Navigate(ScreenId::ResetPassword);
    Paint();
    const int onReset = LitPixels(633, 389, 1289, 425);
    EXPECT_GT(onEmail, 20);
    EXPECT_GT(onReset, 20);
}

class Linking : public AccountCanvas {};

TEST_P(Linking, LinkAccount) {
    const R password{660, 585, 1260, 650};
    Show(ScreenId::LinkAccount);
    ExpectRegions({
        {"field.local_password", password},
        {"reveal.field.local_password", Eye(password)},
        {"auth.link.verify.existing", {560, 700, 950, 770}},
        {"auth.link.verify.new", {970, 700, 1360, 770}},
        {"nav.back", {760, 810, 1160, 865}},
    });
    ExpectTexts(Join(
        Brand(L"ПІДКЛЮЧЕННЯ ТЕСТОВОГО АКАУНТА", L"CONNECT TEST ACCOUNT"),
        Chip(L"ЛОКАЛЬНІ ДАНІ ЗБЕРІГАЮТЬСЯ", L"LOCAL DATA WILL BE PRESERVED", {690, 185, 1230, 230}, Colors::Success),
        CentredTitle(L"ВАШ ТЕСТОВИЙ АКАУНТ\nГОТОВИЙ ДО ПІДКЛЮЧЕННЯ", L"YOUR TEST ACCOUNT\nIS READY TO CONNECT",
                     {520, 275, 1400, 410}),
        CentredMessage(L"Створіть TARVONIX Account. Після email-підтвердження профіль, avatar, inventory, налаштування "
                       L"та BOT-статистика будуть безпечно синхронізовані.",
                       L"Create a TARVONIX Account. After email verification, profile, avatar, inventory, settings and "
                       L"BOT stats will be synchronized safely.",
                       {565, 445, 1355, 535}),
        Field(L"ПОТОЧНИЙ ЛОКАЛЬНИЙ ПАРОЛЬ", L"CURRENT LOCAL PASSWORD", password, true),
        Primary(L"ПІДКЛЮЧИТИ ІСНУЮЧИЙ", L"CONNECT EXISTING", {560, 700, 950, 770}),
        Plain(L"СТВОРИТИ НОВИЙ АКАУНТ", L"CREATE NEW ACCOUNT", {970, 700, 1360, 770}),
        Plain(L"ПІЗНІШЕ", L"LATER", {760, 810, 1160, 865})));
}

TEST_P(Linking, LinkCompleteShowsThePlayerIdOrADash) {
    const auto texts = [](const std::wstring& id) {
        return Join(Brand(L"TARVONIX ACCOUNT / ГОТОВО", L"TARVONIX ACCOUNT / COMPLETE"),
                    Chip(L"МІГРАЦІЯ ЗАВЕРШЕНА", L"MIGRATION COMPLETE", {730, 270, 1190, 320}, Colors::Success),
                    CentredTitle(L"АКАУНТ ПІДКЛЮЧЕНО", L"ACCOUNT CONNECTED", {590, 380, 1330, 455}),
                    Shown{L"Ваш постійний PlayerId:\n" + id, L"Your permanent PlayerId:\n" + id, {640, 500, 1280, 590},
                          Colors::Cyan, Face::Body, kCentre},
                    Primary(L"ДО ГОЛОВНОГО МЕНЮ", L"CONTINUE TO MAIN MENU", {665, 660, 1255, 730}));
    };
    Show(ScreenId::LinkComplete);
    ExpectRegions({{"auth.migration.done", {665, 660, 1255, 730}}});
    ExpectTexts(texts(L"\u2014"));

    account::ServerSession session;
    session.playerId = L"TVX-0042-PLAYER-ID-7781";
    shell->serverSession = session;
    Paint();
    ExpectTexts(texts(L"TVX-0042-PLAYER-ID-7781"));
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, SignIn,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);
INSTANTIATE_TEST_SUITE_P(BothLanguages, Verification,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);
INSTANTIATE_TEST_SUITE_P(BothLanguages, Linking,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);

class AccountScreens : public CanvasFixture {};

TEST_F(AccountScreens, AClickWhereARegistrationFieldWouldBeHitsNothingOnTheSignInTab) {
    const D2D1_POINT_2F repeatField = D2D1::Point2F(1600, 484);
    shell->router.Navigate(ScreenId::Login);
    shell->registerTab = true;
    Paint();
    const HitRegion* region = FindHitRegion(shell->hitRegions, repeatField);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(region->command, "field.repeat");
    shell->registerTab = false;
    Paint();
    EXPECT_EQ(FindHitRegion(shell->hitRegions, repeatField), nullptr) << "between the e-mail and password fields";
}

}  // namespace
}  // namespace tarvo::ui::test
