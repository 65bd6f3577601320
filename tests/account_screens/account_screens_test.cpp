// The sign-in, verification, recovery and linking screens painted off-screen in
// both languages: their hit regions in drawing order, the texts they show, and the
// states that change what is drawn.
#include "account/server_session.h"
#include "account_screens/account_canvas.h"
#include "shell/shell_logic.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using R = D2D_RECT_F;

constexpr R kBack{72, 928, 250, 990};

R Eye(R field) { return R{field.right - 62, field.top, field.right, field.bottom}; }

class SignIn : public AccountCanvas {};

TEST_P(SignIn, SignInTabRegions) {
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
    EXPECT_GT(Pixel(1200, 320).g, 200) << "the sign-in tab is the filled one";
    EXPECT_LT(Pixel(1500, 320).g, 60) << "the registration tab is plain";
    EXPECT_GT(Pixel(1140, 605).g, 200) << "remember-device is ticked by default";
    ExpectInk(1130, 220, 1700, 284, "title");
    ExpectInk(100, 250, 950, 350, "hero line");
    ExpectInk(108, 570, 712, 610, "chips");
    EXPECT_EQ(shell->fieldValues.count("field.nickname"), 0u) << "no registration field is drawn";
}

TEST_P(SignIn, RegistrationTabRegions) {
    shell->Dispatch("auth.register.tab");
    Show(ScreenId::Login);
    const R password{1130, 478, 1410, 546};
    const R repeat{1425, 478, 1700, 546};
    ExpectRegions({
        {"auth.login.tab", {1130, 310, 1400, 365}},
        {"auth.register.tab", {1420, 310, 1700, 365}},
        {"field.email", {1130, 392, 1410, 460}},
        {"field.nickname", {1425, 392, 1700, 460}},
        {"field.password", password},
        {"reveal.field.password", Eye(password)},
        {"field.repeat", repeat},
        {"reveal.field.repeat", Eye(repeat)},
        {"auth.policy", {1130, 574, 1590, 612}},
        {"auth.register", {1130, 648, 1700, 720}},
    });
    EXPECT_LT(Pixel(1200, 320).g, 60);
    EXPECT_GT(Pixel(1500, 320).g, 200) << "the registration tab is the filled one";
    EXPECT_LT(Pixel(1140, 592).g, 60) << "the policy box starts unticked";
}

TEST_P(SignIn, PolicyErrorLineOnlyWhenSet) {
    shell->Dispatch("auth.register.tab");
    Show(ScreenId::Login);
    EXPECT_EQ(LitPixels(1166, 608, 1686, 638), 0);
    shell->fieldErrors["field.policy"] = L"";
    Paint();
    EXPECT_EQ(LitPixels(1166, 608, 1686, 638), 0) << "an empty error shows nothing";
    shell->fieldErrors["field.policy"] = std::wstring(shell->localization.Get(L"error_policy"));
    Paint();
    EXPECT_GT(LitPixels(1166, 608, 1686, 638), 20);
    EXPECT_GT(Pixel(1140, 592).r, 0);
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

TEST_P(SignIn, ForgotPasswordRegions) {
    Show(ScreenId::ForgotPassword);
    ExpectRegions({
        {"field.email", {665, 505, 1255, 575}},
        {"auth.forgot.submit", {665, 630, 1255, 700}},
        {"nav.back", kBack},
    });
    ExpectInk(610, 285, 1310, 355, "title");
    ExpectInk(650, 385, 1270, 455, "privacy note");
}

class Verification : public AccountCanvas {};

TEST_P(Verification, EmailScreenRegionsAndMaskedAddress) {
    shell->maskedEmail = L"a***@mail.ua";
    Show(ScreenId::VerifyEmail);
    ExpectRegions({
        {"field.code", {665, 510, 1255, 580}},
        {"auth.verify-email", {615, 625, 1305, 695}},
        {"auth.resend", {615, 715, 1305, 775}},
        {"nav.back", kBack},
    });
    ExpectInk(765, 225, 1155, 266, "expiry chip");
    ExpectInk(570, 300, 1350, 370, "title");
    ExpectInk(610, 395, 1310, 435, "message line");
    ExpectInk(610, 436, 1310, 475, "masked address line");

    shell->maskedEmail.clear();
    Paint();
    ExpectInk(610, 395, 1310, 435, "message line");
    EXPECT_EQ(LitPixels(610, 437, 1310, 475), 0) << "no address: only the first line";
}

TEST_P(Verification, DeviceScreenHasNoResend) {
    shell->maskedEmail = L"a***@mail.ua";
    Show(ScreenId::VerifyDevice);
    ExpectRegions({
        {"field.code", {665, 535, 1255, 605}},
        {"auth.verify-device", {665, 650, 1255, 720}},
        {"nav.back", kBack},
    });
    EXPECT_GT(CountPixels(R{735, 230, 1185, 272}, Reddish), 20) << "danger chip";
    ExpectInk(630, 450, 1290, 490, "masked address line");
}

TEST_P(Verification, ResetScreenRegionsAndMaskedPasswords) {
    const R fresh{615, 465, 1305, 530};
    const R repeat{615, 565, 1305, 630};
    shell->fieldValues["field.new_password"] = L"WWWWWW";
    Show(ScreenId::ResetPassword);
    ExpectRegions({
        {"field.code", {615, 365, 1305, 430}},
        {"field.new_password", fresh},
        {"reveal.field.new_password", Eye(fresh)},
        {"field.repeat", repeat},
        {"reveal.field.repeat", Eye(repeat)},
        {"auth.reset.submit", {615, 700, 1305, 770}},
        {"nav.back", kBack},
    });
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

TEST_P(Linking, LinkAccountRegions) {
    const R password{660, 585, 1260, 650};
    Show(ScreenId::LinkAccount);
    ExpectRegions({
        {"field.local_password", password},
        {"reveal.field.local_password", Eye(password)},
        {"auth.link.verify.existing", {560, 700, 950, 770}},
        {"auth.link.verify.new", {970, 700, 1360, 770}},
        {"nav.back", {760, 810, 1160, 865}},
    });
    EXPECT_GT(Pixel(700, 710).g, 200) << "connect-existing is filled";
    EXPECT_LT(Pixel(1100, 710).g, 60) << "create-new is plain";
    ExpectInk(520, 275, 1400, 340, "first title line");
    ExpectInk(520, 345, 1400, 410, "second title line");
    ExpectInk(565, 445, 1355, 535, "explanation");
}

TEST_P(Linking, LinkCompleteShowsThePlayerIdOrADash) {
    Show(ScreenId::LinkComplete);
    ExpectRegions({{"auth.migration.done", {665, 660, 1255, 730}}});
    const int dash = LitPixels(640, 546, 1280, 590);
    EXPECT_GT(dash, 0) << "a dash without a session";

    account::ServerSession session;
    session.playerId = L"TVX-0042-PLAYER-ID-7781";
    shell->serverSession = session;
    Paint();
    EXPECT_GT(LitPixels(640, 546, 1280, 590), dash + 50) << "the player id replaces the dash";
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, SignIn,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);
INSTANTIATE_TEST_SUITE_P(BothLanguages, Verification,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);
INSTANTIATE_TEST_SUITE_P(BothLanguages, Linking,
                         ::testing::Values(localization::Locale::Ukrainian, localization::Locale::English), LocaleName);

class AccountScreens : public CanvasFixture {};

// Each screen's texts follow the language while its regions stay where they are; the
// account screens have no footer.
TEST_F(AccountScreens, LanguageChangesTextsNotRegions) {
    struct Case {
        ScreenId screen;
        bool registration;
        R title;
    };
    const Case cases[] = {
        {ScreenId::Login, false, {1130, 220, 1700, 284}},   {ScreenId::Login, true, {1130, 220, 1700, 284}},
        {ScreenId::VerifyEmail, false, {570, 300, 1350, 370}}, {ScreenId::VerifyDevice, false, {610, 315, 1310, 385}},
        {ScreenId::ForgotPassword, false, {610, 285, 1310, 355}}, {ScreenId::ResetPassword, false, {585, 235, 1335, 305}},
        {ScreenId::LinkAccount, false, {520, 275, 1400, 410}}, {ScreenId::LinkComplete, false, {590, 380, 1330, 455}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.screen));
        shell->registerTab = c.registration;
        shell->router.Navigate(c.screen);
        const auto title = [&] {
            std::vector<BYTE> out;
            for (int y = static_cast<int>(c.title.top); y < static_cast<int>(c.title.bottom); ++y) {
                for (int x = static_cast<int>(c.title.left); x < static_cast<int>(c.title.right); ++x) {
                    const Rgb p = Pixel(x, y);
                    out.push_back(static_cast<BYTE>(p.g));
                }
            }
            return out;
        };
        shell->localization.SetLocale(localization::Locale::Ukrainian);
        Paint();
        const auto regions = Commands();
        const auto ukrainian = title();
        for (const auto& r : shell->hitRegions) EXPECT_NE(r.command, "nav.privacy") << "no footer";
        shell->localization.SetLocale(localization::Locale::English);
        Paint();
        EXPECT_EQ(Commands(), regions);
        EXPECT_NE(title(), ukrainian) << "the title follows the language";
        EXPECT_EQ(LitPixels(0, 1011, 1920, 1080), 0) << "nothing in the footer band";
    }
}

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
