// Whole shell paints into an off-screen bitmap: backdrop, splash, footer, status
// box, the owner console's gate, and the hit regions each leaves.
#include <algorithm>

#include "screens/offscreen_canvas.h"
#include "screens/splash_animation.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class ShellPaint : public CanvasFixture {};

bool Accentish(Rgb c) { return c.r > c.b + 20 && c.g > c.b + 20; }
bool Borderish(Rgb c) { return c.b > c.r && c.g > c.r && c.r < 60; }

TEST_F(ShellPaint, SplashFillsItsBarOverTimeAndLeavesNoRegions) {
    UseTestClock(*shell);  // the fill pulses: the paint must come at the moment the test says
    heldTime = NativeShell::Clock::now();
    shell->windowCreatedAt = *heldTime + std::chrono::hours(1);  // not started yet
    Paint();
    EXPECT_TRUE(shell->hitRegions.empty());
    EXPECT_TRUE(Borderish(Pixel(655, 628))) << "an empty track";
    EXPECT_TRUE(Borderish(Pixel(1260, 628)));

    shell->windowCreatedAt = *heldTime - std::chrono::seconds(3);
    Paint();
    EXPECT_TRUE(shell->hitRegions.empty());
    EXPECT_TRUE(Accentish(Pixel(655, 628)));
    EXPECT_TRUE(Accentish(Pixel(1260, 628))) << "full from 1.7 s on";
    EXPECT_FALSE(Accentish(Pixel(1275, 628)));
}

TEST(SplashAnimation, FillsInOnePointSevenSecondsAndPulses) {
    EXPECT_FLOAT_EQ(SplashProgressRight(0.0), 650.0f);
    EXPECT_NEAR(SplashProgressRight(0.85), 960.0f, 1e-3);
    EXPECT_FLOAT_EQ(SplashProgressRight(1.7), 1270.0f);
    EXPECT_FLOAT_EQ(SplashProgressRight(60.0), 1270.0f);
    EXPECT_FLOAT_EQ(SplashProgressRight(-1.0), 650.0f);
    float low = 1.0f, high = 0.0f;
    for (double t = 0.0; t < 1.6; t += 0.001) {
        low = std::min(low, SplashPulse(t));
        high = std::max(high, SplashPulse(t));
    }
    EXPECT_NEAR(low, 0.1f, 1e-3);
    EXPECT_NEAR(high, 1.0f, 1e-3);
    EXPECT_NEAR(SplashPulse(0.3), SplashPulse(0.3 + 3.14159265358979 / 2), 1e-4) << "period of pi/2 s";
}

const Texts kSplash = {
    {L"TARVONIX", {}, {280, 385, 1640, 490}, Colors::Text, Face::Display, kCentre},
    {L"VOLLEY", {}, {280, 485, 1640, 590}, Colors::Accent, Face::Display, kCentre},
    {L"ІНІЦІАЛІЗАЦІЯ СИСТЕМИ", L"NATIVE SYSTEM INITIALIZATION", {650, 655, 1270, 690}, Colors::Muted, Face::Caption, kCentre},
    {L"0.0.03.5", {}, {760, 780, 1160, 820}, Colors::Muted, Face::Caption, kCentre},
};

TEST_F(ShellPaint, SplashTextsInBothLanguages) {
    ExpectTextsInBothLanguages(kSplash);
    EXPECT_GT(LitPixels(650, 655, 1270, 690), 100) << "the Cyrillic caption renders";
}

TEST_F(ShellPaint, BackdropUnderEveryScreen) {
    shell->router.Navigate(ScreenId::Login);
    Paint();
    const Rgb bar = Pixel(960, 2);
    EXPECT_GT(bar.g, 230);
    EXPECT_GT(bar.r, 170);
    const Rgb canvas = Pixel(40, 300);
    EXPECT_LT(canvas.r + canvas.g + canvas.b, 40);
    for (const auto& region : shell->hitRegions) EXPECT_NE(region.command, "nav.privacy") << "no footer on sign-in";
}

TEST_F(ShellPaint, FooterOnScreensEightAndAboveWinsTheBand) {
    for (auto id : {8u, 9u, 10u, 11u, 12u, 13u, 14u, 15u, 16u, 17u, 18u, 25u}) {
        shell->router.Navigate(static_cast<ScreenId>(id));
        Paint();
        ASSERT_FALSE(shell->hitRegions.empty()) << id;
        const HitRegion& last = shell->hitRegions.back();
        EXPECT_EQ(last.command, "nav.privacy") << id;
        EXPECT_FLOAT_EQ(last.rect.left, 1335.0f);
        EXPECT_FLOAT_EQ(last.rect.top, 1018.0f);
        EXPECT_FLOAT_EQ(last.rect.right, 1675.0f);
        EXPECT_FLOAT_EQ(last.rect.bottom, 1064.0f);
    }
    EXPECT_GT(LitPixels(1335, 1018, 1675, 1064), 50) << "the privacy link text";
    EXPECT_GT(LitPixels(1720, 1018, 1848, 1064), 20) << "the version";
    for (auto id : {1u, 2u, 3u, 4u, 5u, 6u, 7u}) {
        shell->router.Navigate(static_cast<ScreenId>(id));
        Paint();
        for (const auto& region : shell->hitRegions) EXPECT_NE(region.command, "nav.privacy") << id;
        EXPECT_EQ(LitPixels(1335, 1018, 1675, 1064), 0) << "no footer band on account screen " << id;
    }
}

TEST_F(ShellPaint, PrivacyLinkShowsItsHover) {
    // The brightest green along the outline's top edge.
    const auto edgeGreen = [&] {
        int g = 0;
        for (int y = 1015; y <= 1021; ++y) g = std::max(g, Pixel(1500, y).g);
        return g;
    };
    shell->router.Navigate(ScreenId::MainMenu);
    Paint();
    const int idle = edgeGreen();
    shell->hoverCommand = "nav.privacy";
    Paint();
    EXPECT_GT(edgeGreen(), idle + 100) << "accent outline when hovered";
}

TEST_F(ShellPaint, StatusBoxOnlyWithAToast) {
    shell->router.Navigate(ScreenId::MainMenu);
    Paint();
    EXPECT_LT(Pixel(1242, 980).b, 60);
    shell->toast = L"ЛОКАЛЬНИЙ АВАТАР ЗБЕРЕЖЕНО";
    Paint();
    EXPECT_TRUE(Near(Pixel(1242, 980), Colors::Cyan)) << "the marker";
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back().text, shell->toast) << "drawn last, over the screen";
    shell->router.Navigate(ScreenId::Splash);
    Paint();
    ExpectTexts(Join(kSplash, Shown{shell->toast, {}, {1264, 950, 1832, 1022}, Colors::Text}));
}

TEST_F(ShellPaint, OwnerConsoleGateHasItsOneUnlockButton) {
    Build(ProductKind::OstrelNode);
    Paint();
    ASSERT_EQ(Commands(), std::vector<std::string>{"ostrel.unlock"});
    const D2D_RECT_F r = shell->hitRegions[0].rect;
    EXPECT_GT(LitPixels(static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                        static_cast<int>(r.bottom)),
              1000)
        << "a filled primary button";
    shell->Dispatch("ostrel.unlock");
    Paint();
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelOverview);
    const std::vector<std::string> pageCommands = Commands();
    EXPECT_EQ(std::count(pageCommands.begin(), pageCommands.end(), "ostrel.unlock"), 0)
        << "the gate's button is gone once unlocked";
    EXPECT_EQ(std::count(pageCommands.begin(), pageCommands.end(), "ostrel.overview"), 1)
        << "the console's own navigation replaces it";
}

TEST_F(ShellPaint, ALostTargetIsReportedByThePaint) {
    // Painting without a target fails cleanly instead of drawing.
    shell->renderTarget.Reset();
    EXPECT_EQ(shell->PaintCanvas(1920, 1080), E_POINTER);
    shell->DiscardDeviceResources();
    EXPECT_FALSE(shell->brush);
    EXPECT_TRUE(shell->bitmapCache.empty());
}

TEST_F(ShellPaint, CanvasMappingFollowsTheClientSize) {
    shell->router.Navigate(ScreenId::MainMenu);
    ASSERT_HRESULT_SUCCEEDED(shell->PaintCanvas(1280.0f, 1080.0f));
    EXPECT_NEAR(shell->canvasScale, 2.0f / 3.0f, 1e-5);
    EXPECT_NEAR(shell->canvasOffset.y, 180.0f, 1e-3);
    const D2D1_POINT_2F top = shell->CanvasPoint(640, 0);
    EXPECT_LT(top.y, 0.0f);
    shell->focusedField = "field.email";
    shell->OnClick(640, 0);
    EXPECT_TRUE(shell->focusedField.empty()) << "a click in the letterbox only clears the focus";
    EXPECT_LT(shell->lastClickPoint.y, 0.0f);
}

}  // namespace
}  // namespace tarvo::ui::test
