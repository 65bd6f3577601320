#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "presentation/match_hud.h"
#include "renderer/render_overlay.h"

namespace tarvo::presentation {
namespace {

using renderer::RenderOverlay;
using renderer::ScoreRow;

constexpr float kW = 1920.0f;
constexpr float kH = 1080.0f;
constexpr float kCx = 960.0f;
constexpr float kCy = 540.0f;

RenderOverlay Online() {
    RenderOverlay o;
    o.onlineMatch = true;
    o.matchMode = 0;
    o.matchMap = 1;
    o.roundState = 1;
    o.roundSeconds = 75;
    o.cyanScore = 3;
    o.amberScore = 5;
    o.localTeam = 1;
    o.localPlayerId = 4;
    return o;
}

const MatchHudText* FindText(const MatchHudLayout& layout, const std::string& text) {
    for (const auto& t : layout.texts) {
        if (t.text == text) {
            return &t;
        }
    }
    return nullptr;
}

bool SameColour(gameplay::Color3 a, gameplay::Color3 b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

const gameplay::Color3 kCyan{0.025f, 0.75f, 0.85f};
const gameplay::Color3 kAmber{0.98f, 0.44f, 0.13f};

TEST(MatchHud, EmptyUnlessAnOnlineMatchIsShownPlain) {
    RenderOverlay o = Online();
    o.menuOpen = true;
    EXPECT_TRUE(BuildMatchHud(o, kW, kH).rects.empty());
    o.menuOpen = false;
    o.arsenalOpen = true;
    EXPECT_TRUE(BuildMatchHud(o, kW, kH).texts.empty());
    o.arsenalOpen = false;
    o.onlineMatch = false;
    const auto layout = BuildMatchHud(o, kW, kH);
    EXPECT_TRUE(layout.rects.empty() && layout.texts.empty());
}

TEST(MatchHud, TopPanelAndScoreLineInATeamMode) {
    const auto layout = BuildMatchHud(Online(), kW, kH);
    ASSERT_EQ(layout.rects.size(), 2u);
    EXPECT_EQ(layout.rects[0].x, kCx - 240.0f);
    EXPECT_EQ(layout.rects[0].width, 480.0f);
    EXPECT_EQ(layout.rects[0].height, 88.0f);
    EXPECT_EQ(layout.rects[1].height, 3.0f);
    ASSERT_EQ(layout.texts.size(), 4u);
    EXPECT_EQ(layout.texts[0].text, "TDM 4v4 / FOUNDRY");
    EXPECT_EQ(layout.texts[0].x, kCx - 218.0f);
    EXPECT_EQ(layout.texts[1].text, "01:15");
    EXPECT_EQ(layout.texts[1].x, kCx + 135.0f);
    EXPECT_EQ(layout.texts[2].text, "CYAN  3");
    EXPECT_TRUE(SameColour(layout.texts[2].color, kCyan));
    EXPECT_EQ(layout.texts[3].text, "5  AMBER");
    EXPECT_EQ(layout.texts[3].x, kCx + 70.0f);
    EXPECT_TRUE(SameColour(layout.texts[3].color, kAmber));

    RenderOverlay o = Online();
    o.roundSeconds = 720;
    EXPECT_EQ(BuildMatchHud(o, kW, kH).texts[1].text, "12:00");
    // Positions follow the target's size.
    EXPECT_EQ(BuildMatchHud(Online(), 1280.0f, 720.0f).rects[0].x, 640.0f - 240.0f);
}

TEST(MatchHud, WarmupShowsDashesAndTheWaitingLine) {
    RenderOverlay o = Online();
    o.roundState = 0;
    o.matchMode = 4;  // no capture line during warm-up
    const auto layout = BuildMatchHud(o, kW, kH);
    EXPECT_EQ(layout.texts[1].text, "--:--");
    const auto* line = FindText(layout, "WAITING FOR PLAYERS / WARMUP");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x, kCx - 205.0f);
    EXPECT_EQ(line->y, 119.0f);
    EXPECT_EQ(layout.rects.size(), 2u);
    o.ukrainian = true;
    EXPECT_NE(FindText(BuildMatchHud(o, kW, kH), "ОЧІКУЄМО ГРАВЦІВ / РОЗМИНКА"), nullptr);
}

TEST(MatchHud, CapturePointLineAndBar) {
    RenderOverlay o = Online();
    o.matchMode = 4;
    o.activePoint = 1;
    o.pointProgress = -0.5f;
    auto layout = BuildMatchHud(o, kW, kH);
    ASSERT_NE(FindText(layout, "POINT B   50%"), nullptr);
    ASSERT_EQ(layout.rects.size(), 4u);
    EXPECT_EQ(layout.rects[2].width, 280.0f);
    EXPECT_EQ(layout.rects[3].width, 140.0f);
    EXPECT_TRUE(SameColour(layout.rects[3].color, kAmber));
    o.ukrainian = true;
    o.pointProgress = 0.25f;
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_NE(FindText(layout, "ТОЧКА B   25%"), nullptr);
    EXPECT_TRUE(SameColour(layout.rects[3].color, kCyan));
}

TEST(MatchHud, UntrustedServerValuesStayInBounds) {
    RenderOverlay o = Online();
    o.matchMode = 99;
    o.matchMap = -3;
    auto layout = BuildMatchHud(o, kW, kH);
    EXPECT_EQ(layout.texts[0].text, "? / ?");
    o.matchMode = 6;
    o.matchMap = 3;
    EXPECT_EQ(BuildMatchHud(o, kW, kH).texts[0].text, "FFA / ?");

    o = Online();
    o.matchMode = 4;
    o.activePoint = 0x119;  // low byte 25: 'Z'
    o.pointProgress = 7.0f;
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_NE(FindText(layout, "POINT Z   100%"), nullptr);
    EXPECT_EQ(layout.rects[3].width, 280.0f);
    o.activePoint = 26;
    o.pointProgress = std::numeric_limits<float>::quiet_NaN();
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_NE(FindText(layout, "POINT ?   0%"), nullptr);
    EXPECT_EQ(layout.rects[3].width, 0.0f);
    o.activePoint = -1;
    o.pointProgress = -std::numeric_limits<float>::infinity();
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_NE(FindText(layout, "POINT ?   0%"), nullptr);
    for (const auto& r : layout.rects) {
        EXPECT_TRUE(std::isfinite(r.width));
    }
}

TEST(MatchHud, RoundModeLine) {
    RenderOverlay o = Online();
    o.matchMode = 3;
    o.roundNumber = 4;
    const auto* line = FindText(BuildMatchHud(o, kW, kH), "ROUND 4 / FIRST TO 5");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->x, kCx - 125.0f);
    o.ukrainian = true;
    o.roundNumber = -2;
    EXPECT_NE(FindText(BuildMatchHud(o, kW, kH), "РАУНД -2 / FIRST TO 5"), nullptr);
}

TEST(MatchHud, RoundEndBanner) {
    RenderOverlay o = Online();
    o.roundState = 2;
    o.roundWinner = 0;
    o.roundSeconds = 9;
    auto layout = BuildMatchHud(o, kW, kH);
    ASSERT_EQ(layout.rects.size(), 4u);
    EXPECT_EQ(layout.rects[2].y, kCy - 132.0f);
    EXPECT_EQ(layout.rects[2].height, 264.0f);
    const auto* title = FindText(layout, "DRAW");
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(SameColour(title->color, kAmber));
    EXPECT_NE(FindText(layout, "NEXT ROUND"), nullptr);
    EXPECT_NE(FindText(layout, "RESTART IN 9 s"), nullptr);
    EXPECT_NE(FindText(layout, "TAB \u2014 SCOREBOARD / ESC \u2014 MENU"), nullptr);

    // Free for all compares the winner with the local player id, not the team.
    o.matchMode = 6;
    o.roundWinner = 4;
    o.localTeam = 2;
    o.matchComplete = 1;
    layout = BuildMatchHud(o, kW, kH);
    title = FindText(layout, "VICTORY");
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(SameColour(title->color, kCyan));
    EXPECT_NE(FindText(layout, "MATCH COMPLETE"), nullptr);
    o.matchMode = 0;
    EXPECT_NE(FindText(BuildMatchHud(o, kW, kH), "ROUND COMPLETE"), nullptr);
    o.ukrainian = true;
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_NE(FindText(layout, "РАУНД ЗАВЕРШЕНО"), nullptr);
    EXPECT_NE(FindText(layout, "МАТЧ ЗАВЕРШЕНО"), nullptr);
    EXPECT_NE(FindText(layout, "НОВИЙ СТАРТ ЧЕРЕЗ 9 s"), nullptr);
    EXPECT_NE(FindText(layout, "TAB \u2014 РЕЗУЛЬТАТИ / ESC \u2014 МЕНЮ"), nullptr);
}

TEST(MatchHud, FreeForAllScoreLine) {
    RenderOverlay o = Online();
    o.matchMode = 6;
    o.cyanScore = 12;
    o.amberScore = -1;
    o.freeForAllValue = 7;
    EXPECT_NE(FindText(BuildMatchHud(o, kW, kH), "LEADER 12   /   YOU -1   /   7"), nullptr);
    o.ukrainian = true;
    EXPECT_NE(FindText(BuildMatchHud(o, kW, kH), "ЛІДЕР 12   /   ТИ -1   /   7"), nullptr);
}

TEST(MatchHud, ScoreboardReplacesBannerAndStatus) {
    RenderOverlay o = Online();
    o.roundState = 2;
    o.matchMode = 2;
    o.scoreboardHeld = true;
    auto layout = BuildMatchHud(o, kW, kH);
    EXPECT_EQ(FindText(layout, "ROUND COMPLETE"), nullptr);
    EXPECT_EQ(FindText(layout, "ROUND 1 / FIRST TO 5"), nullptr);
    ASSERT_EQ(layout.rects.size(), 3u);
    EXPECT_EQ(layout.rects[2].height, 112.0f);
    EXPECT_EQ(layout.rects[2].y, kCy - 56.0f);
    EXPECT_EQ(layout.texts.size(), 4u + 4u);  // panel texts plus title and three headers
    EXPECT_NE(FindText(layout, "MATCH SCOREBOARD"), nullptr);
    EXPECT_NE(FindText(layout, "OPERATOR"), nullptr);

    o.scoreRows = {{3, 1, 9, 2, true, "ada"}, {7, 2, 4, 5, false, ""}, {8, 0, 1, 1, false, "bo"}};
    layout = BuildMatchHud(o, kW, kH);
    const float top = kCy - 0.5f * (26.0f * 3 + 112.0f);
    ASSERT_EQ(layout.rects.size(), 4u);
    EXPECT_EQ(layout.rects[3].y, top + 90.0f - 2.0f);  // local row highlight
    const auto* local = FindText(layout, "YOU / ada #3");
    ASSERT_NE(local, nullptr);
    EXPECT_TRUE(SameColour(local->color, kCyan));
    const auto* anonymous = FindText(layout, "OPERATOR 7");
    ASSERT_NE(anonymous, nullptr);
    EXPECT_EQ(anonymous->y, top + 116.0f);
    EXPECT_TRUE(SameColour(anonymous->color, kAmber));
    EXPECT_NE(FindText(layout, "bo #8"), nullptr);
    o.ukrainian = true;
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_NE(FindText(layout, "ТИ / ada #3"), nullptr);
    EXPECT_NE(FindText(layout, "ТАБЛИЦЯ МАТЧУ"), nullptr);
}

TEST(MatchHud, ScoreboardNeverOverflowsItsPanel) {
    RenderOverlay o = Online();
    o.scoreboardHeld = true;
    for (int i = 0; i < 30; ++i) {
        std::string name = "p";
        name += std::to_string(i);
        o.scoreRows.push_back({100 + i, 1, 30 - i, i, i == 25, name});
    }
    auto layout = BuildMatchHud(o, kW, kH);
    const auto& panel = layout.rects[2];
    EXPECT_EQ(panel.height, 570.0f);
    size_t rowTexts = 0;
    for (const auto& t : layout.texts) {
        if (t.y >= panel.y + 90.0f) {
            ++rowTexts;
            EXPECT_LE(t.y + 25.0f, panel.y + panel.height);
        }
    }
    EXPECT_EQ(rowTexts, 3u * kMatchHudMaxScoreRows);
    // The local row, 26th in order, takes the last slot.
    const auto* local = FindText(layout, "YOU / p25 #125");
    ASSERT_NE(local, nullptr);
    EXPECT_EQ(local->y, panel.y + 90.0f + 26.0f * 17);
    EXPECT_EQ(FindText(layout, "p17 #117"), nullptr);
    EXPECT_NE(FindText(layout, "p16 #116"), nullptr);

    // Twenty rows: full height, eighteen lines.
    o.scoreRows.resize(20);
    o.scoreRows[5].isLocal = true;
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_EQ(layout.rects[2].height, 570.0f);
    EXPECT_NE(FindText(layout, "p17 #117"), nullptr);
    EXPECT_EQ(FindText(layout, "p18 #118"), nullptr);
}

TEST(ShopMessages, BothLanguagesAndUnknownCodes) {
    EXPECT_EQ(ShopMessage("READY", false), "Choose a weapon / 1, 2, 3 or mouse");
    EXPECT_EQ(ShopMessage("READY", true), "Обери зброю / 1, 2, 3 або миша");
    EXPECT_EQ(ShopMessage("PENDING", false), "Waiting for server...");
    EXPECT_EQ(ShopMessage("EQUIPPED", true), "Зброю споряджено");
    EXPECT_EQ(ShopMessage("WAIT_RESPAWN", false), "Wait for respawn");
    EXPECT_EQ(ShopMessage("RETURN_TO_BASE", true), "На базі: одна зміна зброї за життя");
    EXPECT_EQ(ShopMessage("NOT_ENOUGH_COINS", false), "Not enough coins");
    EXPECT_EQ(ShopMessage("CONNECTING", true), "Підключення профілю монет...");
    EXPECT_EQ(ShopMessage("ready", false), "Coin profile unavailable. Rejoin the match.");
    EXPECT_EQ(ShopMessage("", true), "Профіль монет недоступний. Перезайди в матч.");
}

}  // namespace
}  // namespace tarvo::presentation
