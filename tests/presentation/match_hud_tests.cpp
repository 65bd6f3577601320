#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "presentation/match_hud.h"
#include "renderer/render_overlay.h"

namespace tarvo::presentation {
namespace {

using gameplay::Color3;
using renderer::RenderOverlay;
using renderer::ScoreRow;

constexpr float kW = 1920.0f;
constexpr float kH = 1080.0f;
constexpr float kCx = 960.0f;
constexpr float kCy = 540.0f;

// The HUD's palette, by the names the layout rules use.
const Color3 kWhite{0.9f, 0.95f, 0.98f};
const Color3 kCyan{0.025f, 0.75f, 0.85f};
const Color3 kAmber{0.98f, 0.44f, 0.13f};
const Color3 kPanel{0.014f, 0.026f, 0.038f};
const Color3 kMuted{0.52f, 0.66f, 0.72f};
const Color3 kWell{0.025f, 0.048f, 0.064f};

std::string ColourName(Color3 c) {
    const std::pair<const char*, Color3> named[] = {{"white", kWhite}, {"cyan", kCyan},   {"amber", kAmber},
                                                    {"panel", kPanel}, {"muted", kMuted}, {"well", kWell}};
    for (const auto& [name, value] : named) {
        if (c.r == value.r && c.g == value.g && c.b == value.b) return name;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "(%g %g %g)", c.r, c.g, c.b);
    return buffer;
}

// Elements as one line each, so a mismatch reads like the layout rule it breaks.
std::string Line(float x, float y, float a, float b, Color3 c) {
    char buffer[96];
    std::snprintf(buffer, sizeof(buffer), "@%g,%g %g %g ", x, y, a, b);
    return buffer + ColourName(c);
}
std::string Rect(float x, float y, float w, float h, Color3 c) { return "rect " + Line(x, y, w, h, c); }
std::string Text(const std::string& text, float x, float y, float size, Color3 c) {
    return "'" + text + "' " + Line(x, y, size, 0, c);
}

std::vector<std::string> Lines(const MatchHudLayout& layout) {
    std::vector<std::string> out;
    for (const auto& r : layout.rects) out.push_back(Rect(r.x, r.y, r.width, r.height, r.color));
    for (const auto& t : layout.texts) out.push_back(Text(t.text, t.x, t.y, t.size, t.color));
    return out;
}

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

// Top panel and team score line, drawn first in every non-empty layout.
const std::vector<std::string> kTopRects = {Rect(kCx - 240, 18, 480, 88, kPanel), Rect(kCx - 240, 18, 480, 3, kCyan)};
std::vector<std::string> TopTexts(const std::string& title, const std::string& clock) {
    return {Text(title, kCx - 218, 28, 18, kWhite), Text(clock, kCx + 135, 28, 18, kWhite),
            Text("CYAN  3", kCx - 218, 61, 23, kCyan), Text("5  AMBER", kCx + 70, 61, 23, kAmber)};
}

std::vector<std::string> Join(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::string Title(const RenderOverlay& o) { return BuildMatchHud(o, kW, kH).texts.at(0).text; }

TEST(MatchHud, EmptyUnlessAnOnlineMatchIsShownPlain) {
    RenderOverlay o = Online();
    o.menuOpen = true;
    EXPECT_TRUE(Lines(BuildMatchHud(o, kW, kH)).empty());
    o.menuOpen = false;
    o.arsenalOpen = true;
    EXPECT_TRUE(Lines(BuildMatchHud(o, kW, kH)).empty());
    o.arsenalOpen = false;
    o.onlineMatch = false;
    EXPECT_TRUE(Lines(BuildMatchHud(o, kW, kH)).empty());
}

TEST(MatchHud, TopPanelAndScoreLineInATeamMode) {
    EXPECT_EQ(Lines(BuildMatchHud(Online(), kW, kH)), Join(kTopRects, TopTexts("TDM 4v4 / FOUNDRY", "01:15")));
    // Positions follow the target's size.
    EXPECT_EQ(Lines(BuildMatchHud(Online(), 1280, 720))[0], Rect(640 - 240, 18, 480, 88, kPanel));

    // Whole minutes and seconds, both truncated toward zero.
    const std::pair<int32_t, const char*> clocks[] = {
        {720, "12:00"}, {0, "00:00"}, {59, "00:59"}, {6000, "100:00"}, {-75, "-1:-15"}};
    for (const auto& [seconds, clock] : clocks) {
        RenderOverlay o = Online();
        o.roundSeconds = seconds;
        EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.at(1).text, clock) << seconds;
    }
}

TEST(MatchHud, ModeAndMapLabelsClampToTheirTables) {
    const char* modes[] = {"TDM 4v4", "TDM 4v4", "TDM 6v6", "ELIM 2v2", "DUEL 1v1",
                           "TARV CORE", "TRAINING", "FFA", "FFA"};
    RenderOverlay o = Online();
    o.roundState = 0;  // no status line depends on the mode
    for (int mode = -1; mode <= 7; ++mode) {
        o.matchMode = mode;
        EXPECT_EQ(Title(o), std::string(modes[mode + 1]) + " / FOUNDRY") << mode;
    }
    o.matchMode = std::numeric_limits<int32_t>::min();
    EXPECT_EQ(Title(o), "TDM 4v4 / FOUNDRY");
    o.matchMode = std::numeric_limits<int32_t>::max();
    EXPECT_EQ(Title(o), "FFA / FOUNDRY");

    const char* maps[] = {"RELAY", "RELAY", "FOUNDRY", "SKYDOCK", "SKYDOCK"};
    o.matchMode = 1;
    for (int map = -1; map <= 3; ++map) {
        o.matchMap = map;
        EXPECT_EQ(Title(o), std::string("TDM 6v6 / ") + maps[map + 1]) << map;
    }
    // Clamped for the label only: mode 9 is neither free for all nor the capture mode.
    o = Online();
    o.matchMode = 9;
    EXPECT_EQ(Lines(BuildMatchHud(o, kW, kH)), Join(kTopRects, TopTexts("FFA / FOUNDRY", "01:15")));
}

TEST(MatchHud, WarmupShowsDashesAndTheWaitingLine) {
    RenderOverlay o = Online();
    o.roundState = 0;
    o.matchMode = 4;  // no capture line during warm-up
    EXPECT_EQ(Lines(BuildMatchHud(o, kW, kH)),
              Join(kTopRects, Join(TopTexts("TARV CORE / FOUNDRY", "--:--"),
                                   {Text("WAITING FOR PLAYERS / WARMUP", kCx - 205, 119, 17, kWhite)})));
    o.ukrainian = true;
    EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.back().text, "ОЧІКУЄМО ГРАВЦІВ / РОЗМИНКА");
}

TEST(MatchHud, CapturePointLineAndBar) {
    RenderOverlay o = Online();
    o.matchMode = 4;
    o.activePoint = 1;
    o.pointProgress = -0.5f;
    EXPECT_EQ(Lines(BuildMatchHud(o, kW, kH)),
              Join(Join(kTopRects, {Rect(kCx - 140, 143, 280, 5, kWell), Rect(kCx - 140, 143, 140, 5, kAmber)}),
                   Join(TopTexts("TARV CORE / FOUNDRY", "01:15"),
                        {Text("POINT B   50%", kCx - 120, 115, 17, kWhite)})));
    o.ukrainian = true;
    o.pointProgress = 0.0f;  // zero is the cyan side
    const auto layout = BuildMatchHud(o, kW, kH);
    EXPECT_EQ(layout.texts.back().text, "ТОЧКА B   0%");
    EXPECT_EQ(Lines(layout)[3], Rect(kCx - 140, 143, 0, 5, kCyan));
}

TEST(MatchHud, CaptureLetterIsAPlusTheLowByteWhilePrintable) {
    RenderOverlay o = Online();
    o.matchMode = 4;
    o.pointProgress = 0.25f;
    const std::pair<int32_t, const char*> letters[] = {
        {0, "A"},   {2, "C"},     {25, "Z"},     {26, "["},   {61, "~"},   {62, "?"},
        {190, "?"}, {255, "?"},   {256, "A"},    {0x119, "Z"}, {-1, "?"}, {-256, "A"},
    };
    for (const auto& [index, letter] : letters) {
        o.activePoint = index;
        EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.back().text, std::string("POINT ") + letter + "   25%") << index;
    }
}

TEST(MatchHud, CaptureProgressIsTruncatedNotClampedAndANaNIsAmber) {
    RenderOverlay o = Online();
    o.matchMode = 4;
    o.pointProgress = -0.999f;
    EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.back().text, "POINT A   99%");
    o.pointProgress = 7.0f;
    auto layout = BuildMatchHud(o, kW, kH);
    EXPECT_EQ(layout.texts.back().text, "POINT A   700%");
    EXPECT_EQ(Lines(layout)[3], Rect(kCx - 140, 143, 1960, 5, kCyan));
    o.pointProgress = std::numeric_limits<float>::quiet_NaN();
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_TRUE(std::isnan(layout.rects.at(3).width));
    EXPECT_EQ(ColourName(layout.rects.at(3).color), "amber");
}

TEST(MatchHud, RoundModeLine) {
    for (const int mode : {2, 3}) {
        RenderOverlay o = Online();
        o.matchMode = mode;
        o.roundNumber = 4;
        EXPECT_EQ(Lines(BuildMatchHud(o, kW, kH)).back(), Text("ROUND 4 / FIRST TO 5", kCx - 125, 116, 17, kMuted));
        o.ukrainian = true;
        o.roundNumber = -2;
        EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.back().text, "РАУНД -2 / FIRST TO 5");
    }
}

TEST(MatchHud, RoundEndBanner) {
    RenderOverlay o = Online();
    o.roundState = 2;
    o.roundWinner = 0;
    o.roundSeconds = 9;
    EXPECT_EQ(Lines(BuildMatchHud(o, kW, kH)),
              Join(Join(kTopRects, {Rect(kCx - 300, kCy - 132, 600, 264, kPanel),
                                    Rect(kCx - 300, kCy - 132, 600, 4, kCyan)}),
                   Join(TopTexts("TDM 4v4 / FOUNDRY", "00:09"),
                        {Text("DRAW", kCx - 240, kCy - 95, 30, kAmber), Text("NEXT ROUND", kCx - 240, kCy - 35, 20, kWhite),
                         Text("RESTART IN 9 s", kCx - 240, kCy + 16, 20, kMuted),
                         Text("TAB \u2014 SCOREBOARD / ESC \u2014 MENU", kCx - 240, kCy + 78, 17, kWhite)})));

    // Free for all compares the winner with the local player id (4), every other mode
    // with the local team (1).
    struct Case {
        int32_t mode, winner;
        bool ukrainian;
        std::string title;
        Color3 colour;
    };
    for (const Case& c : {Case{6, 4, false, "VICTORY", kCyan}, Case{6, 1, false, "ROUND COMPLETE", kAmber},
                          Case{0, 1, false, "VICTORY", kCyan}, Case{0, 4, false, "ROUND COMPLETE", kAmber},
                          Case{2, 1, true, "ПЕРЕМОГА", kCyan}, Case{2, 2, true, "РАУНД ЗАВЕРШЕНО", kAmber},
                          Case{6, 0, true, "НІЧИЯ", kAmber}}) {
        o.matchMode = c.mode;
        o.roundWinner = c.winner;
        o.ukrainian = c.ukrainian;
        const auto layout = BuildMatchHud(o, kW, kH);
        const size_t title = layout.texts.size() - 4;
        EXPECT_EQ(Lines(layout)[layout.rects.size() + title], Text(c.title, kCx - 240, kCy - 95, 30, c.colour))
            << c.mode << " " << c.winner;
    }
    o.matchComplete = 1;
    o.ukrainian = false;
    EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.end()[-3].text, "MATCH COMPLETE");
    o.ukrainian = true;
    const auto texts = BuildMatchHud(o, kW, kH).texts;
    EXPECT_EQ(texts.end()[-3].text, "МАТЧ ЗАВЕРШЕНО");
    EXPECT_EQ(texts.end()[-2].text, "НОВИЙ СТАРТ ЧЕРЕЗ 9 s");
    EXPECT_EQ(texts.end()[-1].text, "TAB \u2014 РЕЗУЛЬТАТИ / ESC \u2014 МЕНЮ");
    o.matchComplete = 0;
    EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.end()[-3].text, "НАСТУПНИЙ РАУНД");
}

TEST(MatchHud, FreeForAllScoreLine) {
    RenderOverlay o = Online();
    o.matchMode = 6;
    o.cyanScore = 12;
    o.amberScore = -1;
    o.freeForAllValue = 7;
    EXPECT_EQ(Lines(BuildMatchHud(o, kW, kH)),
              Join(kTopRects, {Text("FFA / FOUNDRY", kCx - 218, 28, 18, kWhite), Text("01:15", kCx + 135, 28, 18, kWhite),
                               Text("LEADER 12   /   YOU -1   /   7", kCx - 218, 62, 20, kCyan)}));
    o.ukrainian = true;
    EXPECT_EQ(BuildMatchHud(o, kW, kH).texts.back().text, "ЛІДЕР 12   /   ТИ -1   /   7");
}

TEST(MatchHud, ScoreboardReplacesBannerAndStatus) {
    RenderOverlay o = Online();
    o.roundState = 2;
    o.matchMode = 2;
    o.scoreboardHeld = true;
    const auto empty = Lines(BuildMatchHud(o, kW, kH));
    const float top0 = kCy - 56;
    EXPECT_EQ(empty, Join(Join(kTopRects, {Rect(kCx - 370, top0, 740, 112, kPanel)}),
                          Join(TopTexts("ELIM 2v2 / FOUNDRY", "01:15"),
                               {Text("MATCH SCOREBOARD", kCx - 340, top0 + 18, 26, kWhite),
                                Text("OPERATOR", kCx - 340, top0 + 62, 16, kMuted),
                                Text("K", kCx + 190, top0 + 62, 16, kMuted), Text("D", kCx + 270, top0 + 62, 16, kMuted)})));

    o.scoreRows = {{3, 1, 9, 2, true, "ada"}, {7, 2, 4, 5, false, ""}, {8, 0, 1, 1, false, "bo"}};
    const float top = kCy - 0.5f * (26 * 3 + 112);
    const float y = top + 90;
    EXPECT_EQ(Lines(BuildMatchHud(o, kW, kH)),
              Join(Join(kTopRects, {Rect(kCx - 370, top, 740, 190, kPanel), Rect(kCx - 350, y - 2, 700, 25, kWell)}),
                   Join(TopTexts("ELIM 2v2 / FOUNDRY", "01:15"),
                        {Text("MATCH SCOREBOARD", kCx - 340, top + 18, 26, kWhite),
                         Text("OPERATOR", kCx - 340, top + 62, 16, kMuted), Text("K", kCx + 190, top + 62, 16, kMuted),
                         Text("D", kCx + 270, top + 62, 16, kMuted),
                         Text("YOU / ada #3", kCx - 336, y, 18, kCyan), Text("9", kCx + 190, y, 18, kWhite),
                         Text("2", kCx + 270, y, 18, kMuted),
                         Text("OPERATOR 7", kCx - 336, y + 26, 18, kAmber), Text("4", kCx + 190, y + 26, 18, kWhite),
                         Text("5", kCx + 270, y + 26, 18, kMuted),
                         Text("bo #8", kCx - 336, y + 52, 18, kWhite), Text("1", kCx + 190, y + 52, 18, kWhite),
                         Text("1", kCx + 270, y + 52, 18, kMuted)})));
    o.ukrainian = true;
    const auto texts = BuildMatchHud(o, kW, kH).texts;
    EXPECT_EQ(texts[4].text, "ТАБЛИЦЯ МАТЧУ");
    EXPECT_EQ(texts[5].text, "OPERATOR");
    EXPECT_EQ(texts[8].text, "ТИ / ada #3");
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
    const auto& local = layout.texts[8 + 3 * 17];
    EXPECT_EQ(local.text, "YOU / p25 #125");
    EXPECT_EQ(local.y, panel.y + 90.0f + 26.0f * 17);
    EXPECT_EQ(layout.texts[8 + 3 * 16].text, "p16 #116");

    // Twenty rows: full height, eighteen lines.
    o.scoreRows.resize(20);
    o.scoreRows[5].isLocal = true;
    layout = BuildMatchHud(o, kW, kH);
    EXPECT_EQ(layout.rects[2].height, 570.0f);
    EXPECT_EQ(layout.texts.size(), 8u + 3 * 18);
    EXPECT_EQ(layout.texts.end()[-3].text, "p17 #117");
}

TEST(ShopMessages, BothLanguagesAndUnknownCodes) {
    const char* const lines[][3] = {
        {"READY", "Choose a weapon / 1, 2, 3 or mouse", "Обери зброю / 1, 2, 3 або миша"},
        {"PENDING", "Waiting for server...", "Сервер обробляє запит..."},
        {"EQUIPPED", "Weapon equipped", "Зброю споряджено"},
        {"WAIT_RESPAWN", "Wait for respawn", "Дочекайся відродження"},
        {"RETURN_TO_BASE", "At base: one weapon change per life", "На базі: одна зміна зброї за життя"},
        {"NOT_ENOUGH_COINS", "Not enough coins", "Недостатньо монет"},
        {"CONNECTING", "Connecting coin profile...", "Підключення профілю монет..."},
        {"ready", "Coin profile unavailable. Rejoin the match.", "Профіль монет недоступний. Перезайди в матч."},
        {"", "Coin profile unavailable. Rejoin the match.", "Профіль монет недоступний. Перезайди в матч."},
        {"READY ", "Coin profile unavailable. Rejoin the match.", "Профіль монет недоступний. Перезайди в матч."},
    };
    for (const auto& [code, english, ukrainian] : lines) {
        EXPECT_EQ(ShopMessage(code, false), english) << code;
        EXPECT_EQ(ShopMessage(code, true), ukrainian) << code;
    }
}

}  // namespace
}  // namespace tarvo::presentation
