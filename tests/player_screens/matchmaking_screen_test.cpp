// The matchmaking screen at chosen times after it was entered: ring colour and
// fade, status line, and the way back only once the online module is reported
// missing.
#include <chrono>

#include "player_screens/player_canvas.h"
#include "screens/player_screens.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

constexpr D2D_RECT_F kStatus{510, 630, 1410, 710};
constexpr D2D_RECT_F kSubLine{610, 725, 1310, 765};

class MatchmakingScreen : public PlayerCanvas {
protected:
    void SetUp() override {
        PlayerCanvas::SetUp();
        shell->router.Navigate(ScreenId::Matchmaking);
    }

    void DrawAt(double seconds) {
        DrawAlone([&] { DrawMatchmakingAt(*shell, seconds); });
        screen = pixels;
    }

    Rgb DotColour(int dot, double seconds) const {
        const D2D1_POINT_2F c = MatchmakingDotCentre(dot, seconds);
        return ScreenPixel(static_cast<int>(c.x), static_cast<int>(c.y));
    }
};

TEST_F(MatchmakingScreen, SearchingInCyanWithoutRegions) {
    DrawAt(0.0);
    EXPECT_TRUE(shell->hitRegions.empty());
    ExpectText(L"ПОШУК МАТЧУ", L"МАТЧ ЗНАЙДЕНО", Title(), kStatus, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"ОНЛАЙН НЕДОСТУПНИЙ", L"ONLINE UNAVAILABLE", Caption(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    ExpectText(L"ЛОКАЛЬНИЙ РЕЖИМ  •  БЕЗ З'ЄДНАННЯ ІЗ СЕРВЕРОМ", L"LOCAL MODE  •  NO SERVER CONNECTION", Caption(),
               kSubLine, Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
    // The last dot is full cyan, the first faint.
    const Rgb last = DotColour(11, 0.0);
    EXPECT_GT(last.b, 240);
    EXPECT_GT(last.g, 190);
    const Rgb first = DotColour(0, 0.0);
    EXPECT_LT(first.b, 90);
    EXPECT_GT(first.b, 40);
    EXPECT_LT(ScreenPixel(960, 470).b, 40) << "the ring's centre stays empty";
}

TEST_F(MatchmakingScreen, FoundAtExactlyTwoPointEightInAccent) {
    DrawAt(2.8);
    EXPECT_TRUE(shell->hitRegions.empty());
    ExpectText(L"МАТЧ ЗНАЙДЕНО", L"ПОШУК МАТЧУ", Title(), kStatus, Colors::Accent, DWRITE_TEXT_ALIGNMENT_CENTER);
    const Rgb last = DotColour(11, 2.8);
    EXPECT_GT(last.g, 240);
    EXPECT_LT(last.b, 60);
    DrawAt(4.4999);
    EXPECT_TRUE(shell->hitRegions.empty()) << "no way back before 4.5 s";
}

TEST_F(MatchmakingScreen, ModuleMissingAndTheButtonBackToPlayFromFourPointFive) {
    DrawAt(4.5);
    ASSERT_EQ(Commands(), std::vector<std::string>{"nav.play"});
    ExpectRect(shell->hitRegions[0].rect, 735, 782, 1185, 840);
    ExpectText(L"ONLINE-МОДУЛЬ НЕ РЕАЛІЗОВАНО", L"ONLINE MODULE NOT IMPLEMENTED", Title(), kStatus, Colors::Danger,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"НАЗАД", L"BACK", Heading(), D2D1::RectF(735, 782, 1185, 840), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    English();
    DrawAt(30.0);
    ExpectText(L"ONLINE MODULE NOT IMPLEMENTED", L"ONLINE-МОДУЛЬ НЕ РЕАЛІЗОВАНО", Title(), kStatus, Colors::Danger,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"LOCAL MODE  •  NO SERVER CONNECTION", L"", Caption(), kSubLine, Colors::Muted,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"BACK", L"НАЗАД", Heading(), D2D1::RectF(735, 782, 1185, 840), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(MatchmakingScreen, TheShellPaintTimesItFromTheScreensEntry) {
    UseTestClock(*shell);
    heldTime = NativeShell::Clock::now();
    shell->screenEnteredAt = *heldTime - std::chrono::milliseconds(4499);
    PaintScreen();
    EXPECT_EQ(Commands(), std::vector<std::string>{"nav.privacy"}) << "only the footer before 4.5 s";
    *heldTime += std::chrono::milliseconds(1);
    PaintScreen();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"nav.play", "nav.privacy"}));
    shell->Dispatch("nav.play");
    EXPECT_EQ(shell->router.Current(), ScreenId::Play);
}

}  // namespace
}  // namespace tarvo::ui::test
