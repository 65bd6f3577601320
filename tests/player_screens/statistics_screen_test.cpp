// The statistics screen painted off-screen: its regions, the ten figures as the
// screen formats them, the online tab, and both languages.
#include "player_screens/player_canvas.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class StatisticsScreen : public PlayerCanvas {
protected:
    void SetUp() override {
        PlayerCanvas::SetUp();
        shell->router.Navigate(ScreenId::Statistics);
    }

    static D2D_RECT_F LabelRect(int card) {
        const float x = 72.0f + 355.0f * static_cast<float>(card % 5), y = 270.0f + 245.0f * static_cast<float>(card / 5);
        return D2D1::RectF(x + 25, y + 30, x + 305, y + 60);
    }
    static D2D_RECT_F ValueRect(int card) {
        const float x = 72.0f + 355.0f * static_cast<float>(card % 5), y = 270.0f + 245.0f * static_cast<float>(card / 5);
        return D2D1::RectF(x + 25, y + 78, x + 305, y + 150);
    }
};

TEST_F(StatisticsScreen, TabsBackAndFooterAreItsOnlyRegions) {
    PaintScreen();
    ASSERT_EQ(Commands(), (std::vector<std::string>{"stats.local", "stats.online", "nav.back", "nav.privacy"}));
    ExpectRect(shell->hitRegions[0].rect, 72, 165, 420, 225);
    ExpectRect(shell->hitRegions[1].rect, 445, 165, 793, 225);
    ExpectRect(shell->hitRegions[2].rect, 72, 928, 250, 990);
    EXPECT_GT(ScreenPixel(200, 170).g, 200) << "the local tab is primary";
    EXPECT_LT(ScreenPixel(600, 170).g, 100) << "the online tab is plain";
    ExpectText(L"ОНЛАЙН", L"ONLINE", Heading(), D2D1::RectF(445, 165, 793, 225), Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(StatisticsScreen, AFreshProfileShowsZerosInUkrainian) {
    PaintScreen();
    ExpectText(L"СТАТИСТИКА", L"STATISTICS", Caption(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    ExpectText(L"ТРЕНУВАНЬ РОЗПОЧАТО", L"TRAININGS STARTED", Caption(), LabelRect(0), Colors::Muted);
    ExpectText(L"ЧАС У ГРІ", L"PLAYTIME", Caption(), LabelRect(9), Colors::Muted);
    for (int card : {0, 1, 2, 3, 6, 7, 8}) ExpectText(L"0", L"8", Title(), ValueRect(card), Colors::Text);
    ExpectText(L"0.00", L"0.0", Title(), ValueRect(4), Colors::Text);
    ExpectText(L"0.0%", L"0.00", Title(), ValueRect(5), Colors::Text);
    ExpectText(L"0 MIN", L"0 ХВ", Title(), ValueRect(9), Colors::Text);
    ExpectText(L"ЛОКАЛЬНЕ ЗБЕРЕЖЕННЯ", L"LOCAL SAVE", Caption(), D2D1::RectF(97, 428, 374, 457), Colors::Success,
               DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"ОНЛАЙН БУДЕ ДОСТУПНИЙ У 0.0.04", L"ONLINE WILL BE AVAILABLE IN 0.0.04", Caption(),
               D2D1::RectF(830, 174, 1450, 216), Colors::Danger, DWRITE_TEXT_ALIGNMENT_CENTER);
    // Marker bars: cyan on the two training counts, accent on the rest.
    EXPECT_GT(ScreenPixel(74, 400).b, 200);
    EXPECT_LT(ScreenPixel(74 + 355 * 2, 400).b, 100);
    EXPECT_GT(ScreenPixel(74 + 355 * 2, 400).g, 200);
}

TEST_F(StatisticsScreen, FiguresAreFormattedInEnglish) {
    English();
    auto& s = shell->playerData.botStats;
    s.trainingsStarted = 12;
    s.trainingsCompleted = 9;
    s.kills = 7;
    s.deaths = 2;
    s.shots = 3;
    s.hits = 2;
    s.headshots = 4;
    s.playSeconds = 3599.9;
    PaintScreen();
    ExpectText(L"STATISTICS", L"СТАТИСТИКА", Caption(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    ExpectText(L"TRAININGS COMPLETED", L"ТРЕНУВАНЬ ЗАВЕРШЕНО", Caption(), LabelRect(1), Colors::Muted);
    ExpectText(L"K / D", L"K/D", Caption(), LabelRect(4), Colors::Muted);
    ExpectText(L"SHOTS", L"ПОСТРІЛИ", Caption(), LabelRect(6), Colors::Muted);
    ExpectText(L"12", L"9", Title(), ValueRect(0), Colors::Text);
    ExpectText(L"9", L"12", Title(), ValueRect(1), Colors::Text);
    ExpectText(L"3.50", L"3.5", Title(), ValueRect(4), Colors::Text);
    ExpectText(L"66.7%", L"66.6%", Title(), ValueRect(5), Colors::Text);
    ExpectText(L"59 MIN", L"60 MIN", Title(), ValueRect(9), Colors::Text);
    ExpectText(L"Values update from real ZE001 runtime events and persist between launches.", L"", Body(),
               D2D1::RectF(72, 795, 1500, 845), Colors::Muted);

    s.deaths = 0;
    PaintScreen();
    ExpectText(L"7.00", L"3.50", Title(), ValueRect(4), Colors::Text);
}

TEST_F(StatisticsScreen, OnlineTabShowsItsStatementInsteadOfFigures) {
    shell->Dispatch("stats.online");
    EXPECT_EQ(shell->statisticsView, 1);
    PaintScreen();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"stats.local", "stats.online", "nav.back", "nav.privacy"}));
    EXPECT_GT(ScreenPixel(600, 170).g, 200) << "the online tab is primary";
    EXPECT_LT(ScreenPixel(74, 400).b, 60) << "no figure card marker";
    ExpectText(L"ОНЛАЙН — НЕДОСТУПНО ДО 0.0.04", L"ONLINE — NOT AVAILABLE UNTIL 0.0.04", Caption(),
               D2D1::RectF(690, 390, 1230, 455), Colors::Danger, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"BACKEND: НЕ ПІДКЛЮЧЕНО", L"BACKEND: NOT CONNECTED", Caption(), D2D1::RectF(730, 640, 1190, 695),
               Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
    ExpectText(L"ОНЛАЙН БУДЕ ДОСТУПНИЙ У 0.0.04", L"", Caption(), D2D1::RectF(830, 174, 1450, 216), Colors::Danger,
               DWRITE_TEXT_ALIGNMENT_CENTER);

    English();
    PaintScreen();
    ExpectText(L"The OnlineStats contract is prepared, but no network data is requested. No fake values are shown.",
               L"", Body(), D2D1::RectF(420, 500, 1500, 580), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);

    shell->Dispatch("stats.local");
    EXPECT_EQ(shell->statisticsView, 0);
}

}  // namespace
}  // namespace tarvo::ui::test
