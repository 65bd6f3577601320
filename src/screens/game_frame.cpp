// What surrounds every game screen: the backdrop before it, the footer after it,
// the status box last; and the switch that picks the screen.
#include "shell/native_shell.h"

namespace tarvo::ui {

using navigation::ScreenId;

void NativeShell::DrawBackdrop() {
    const D2D1_COLOR_F grid = WithAlpha(Colors::Border, 0.16f);
    for (int x = 0; x <= 1920; x += 80) {
        DrawLine(D2D1::Point2F(static_cast<float>(x), 0), D2D1::Point2F(static_cast<float>(x), 1080), grid, 0.7f);
    }
    for (int y = 0; y <= 1040; y += 80) {
        DrawLine(D2D1::Point2F(0, static_cast<float>(y)), D2D1::Point2F(1920, static_cast<float>(y)), grid, 0.7f);
    }
    FillRect(D2D1::RectF(0, 0, 1920, 5), Colors::Accent);
    FillRect(D2D1::RectF(0, 5, 520, 7), WithAlpha(Colors::Accent, 0.34f));
    FillRect(D2D1::RectF(520, 5, 1920, 7), WithAlpha(Colors::Cyan, 0.18f));
    DrawLine(D2D1::Point2F(1460, 0), D2D1::Point2F(1920, 460), WithAlpha(Colors::Cyan, 0.09f), 34.0f);
    DrawLine(D2D1::Point2F(1540, 0), D2D1::Point2F(1920, 380), WithAlpha(Colors::Accent, 0.06f), 12.0f);
}

void NativeShell::DrawGame() {
    switch (router.Current()) {
        case ScreenId::Splash: DrawSplash(); break;
        case ScreenId::Login: DrawLogin(); break;
        case ScreenId::VerifyEmail: DrawVerifyEmail(); break;
        case ScreenId::VerifyDevice: DrawVerifyDevice(); break;
        case ScreenId::ForgotPassword: DrawForgotPassword(); break;
        case ScreenId::ResetPassword: DrawResetPassword(); break;
        case ScreenId::LinkAccount: DrawLinkAccount(); break;
        case ScreenId::LinkComplete: DrawLinkComplete(); break;
        case ScreenId::Devices: DrawDevices(); break;
        case ScreenId::Play: DrawPlay(); break;
        case ScreenId::Matchmaking: DrawMatchmaking(); break;
        case ScreenId::Inventory: DrawInventory(); break;
        case ScreenId::Profile: DrawProfile(); break;
        case ScreenId::Statistics: DrawStatistics(); break;
        case ScreenId::Settings: DrawSettings(); break;
        case ScreenId::Updates: DrawUpdates(); break;
        case ScreenId::Privacy: DrawPrivacy(); break;
        case ScreenId::GraphicsCompatibility: DrawGraphicsCompatibility(); break;
        default: DrawMainMenu(); break;  // the home screen, and any id past the game's own
    }
    if (static_cast<std::uint32_t>(router.Current()) >= static_cast<std::uint32_t>(ScreenId::Devices)) DrawFooter();
}

void NativeShell::DrawFooter() {
    FillRect(D2D1::RectF(0, 1010, 1920, 1080), Colors::Surface);
    DrawLine(D2D1::Point2F(0, 1010), D2D1::Point2F(1920, 1010), WithAlpha(Colors::Border, 0.9f), 1.0f);
    const D2D_RECT_F link = D2D1::RectF(1335, 1018, 1675, 1064);
    DrawTextIn(Pick(L"ПОЛІТИКА КОНФІДЕНЦІЙНОСТІ", L"PRIVACY POLICY"), captionFormat.Get(), link, Colors::Cyan,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    StrokeRounded(link, 8.0f, hoverCommand == "nav.privacy" ? Colors::Accent : Colors::Border, 1.0f);
    AddRegion(link, "nav.privacy");
    DrawTextIn(kVersionText, captionFormat.Get(), D2D1::RectF(1720, 1018, 1848, 1064), Colors::Accent,
               DWRITE_TEXT_ALIGNMENT_TRAILING);
}

void NativeShell::DrawStatusBox() {
    if (toast.empty()) return;
    const D2D_RECT_F box = D2D1::RectF(1240, 950, 1848, 1022);
    FillRounded(box, 9.0f, Colors::SurfaceRaised);
    StrokeRounded(box, 9.0f, Colors::Cyan, 1.5f);
    FillRect(D2D1::RectF(1240, 950, 1245, 1022), Colors::Cyan);
    DrawTextIn(toast, bodyFormat.Get(), D2D1::RectF(1264, 950, 1832, 1022), Colors::Text);
}

}  // namespace tarvo::ui
