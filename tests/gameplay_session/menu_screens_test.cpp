// The home and play screens drawn off screen at 1920 x 1080: their hit regions in
// drawing order, the commands that change them, a few telling pixels, and the map
// plan geometry.
#include <algorithm>

#include "gameplay/training_simulation.h"
#include "screens/offscreen_canvas.h"
#include "screens/play_screen.h"
#include "shell/gameplay_logic.h"
#include "shell/shell_logic.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

// ---- Main menu -----------------------------------------------------------------------

class MainMenuScreen : public CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        shell->router.Navigate(ScreenId::MainMenu);
    }
};

// The home screen as the player's state shapes it: the avatar initials, the sync chip,
// the connect button and the combat record; texts in both languages and regions.
TEST_F(MainMenuScreen, TextsAndRegionsFollowTheAccountAndTheProfile) {
    struct Case {
        const char* what;
        bool localAccount, signedIn;
        std::wstring name, initials;
        std::uint64_t kills, deaths, trainings;
    };
    const Case cases[] = {
        {"no account", false, false, L"Operator", L"Ope", 12, 3, 7},
        {"local account", true, false, L"Ab", L"Ab", 0, 0, 0},
        {"signed in", true, true, L"", L"TV", 1, 22, 333},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        shell->accountRecord.reset();
        if (c.localAccount) shell->accountRecord = auth::LocalAccountRecord{};
        shell->serverSession.reset();
        if (c.signedIn) shell->serverSession = account::ServerSession{};
        shell->playerData.identity.displayName = c.name;
        shell->playerData.identity.level = 4;
        shell->playerData.identity.rankLabel = L"UNRANKED";
        shell->playerData.botStats.kills = c.kills;
        shell->playerData.botStats.deaths = c.deaths;
        shell->playerData.botStats.trainingsStarted = c.trainings;
        const bool link = c.localAccount && !c.signedIn;
        const std::wstring record = std::to_wstring(c.kills) + L" K  /  " + std::to_wstring(c.deaths) + L" D";
        const std::wstring trainings = std::to_wstring(c.trainings);
        Texts badge = {
            {c.initials, {}, {98, 196, 224, 322}, Colors::Cyan, Face::Heading, kCentre},
            {c.name, {}, {250, 195, 480, 235}, Colors::Text, Face::Heading},
            {L"РІВЕНЬ 4  \u2022  UNRANKED", L"LEVEL 4  \u2022  UNRANKED", {250, 240, 480, 270}, Colors::Muted, Face::Caption},
            c.signedIn ? Chip(L"TARVONIX / СИНХРОНІЗОВАНО", L"TARVONIX / SYNCED", {250, 282, 420, 317}, Colors::Success)
                       : Chip(L"ЛОКАЛЬНИЙ / АКТИВНИЙ", L"LOCAL / ACTIVE", {250, 282, 420, 317}, Colors::Success),
            Plain(L"ВИЙТИ З ГРИ", L"EXIT GAME", {72, 368, 510, 424}, true)};
        if (c.name.empty()) badge.erase(badge.begin() + 1);  // an empty name draws nothing
        Texts texts = Join(
            Brand(L"ГОЛОВНЕ МЕНЮ", L"MAIN MENU"),
            Chip(L"ТЕСТОВА ЗБІРКА / ОФЛАЙН", L"TEST BUILD / OFFLINE", {585, 190, 915, 228}, Colors::Cyan),
            Shown{L"ПАНУЙ", L"DOMINATE", {585, 270, 1580, 355}, Colors::Text, Face::Display},
            Shown{L"НА ФРОНТІ.", L"THE FRONT.", {585, 350, 1580, 445}, Colors::Accent, Face::Display},
            Shown{L"Тактична локальна арена. Rozizodivo. Реальна зброя. Ваш прогрес.",
                  L"Tactical local arena. Rozizodivo. Real weapon. Your progress.", {590, 447, 1470, 500}, Colors::Text},
            Primary(L"ПОЧАТИ ГРУ", L"START GAME", {585, 535, 1450, 620}), badge);
        if (link) {
            Append(texts, Primary(L"ПІДКЛЮЧИТИ TARVONIX ACCOUNT", L"CONNECT TARVONIX ACCOUNT", {72, 438, 510, 495}));
        }
        Append(texts, Join(Plain(L"ІНВЕНТАР", L"INVENTORY", {535, 700, 777, 770}),
                           Plain(L"ПРОФІЛЬ", L"PROFILE", {800, 700, 1042, 770}),
                           Plain(L"СТАТИСТИКА", L"STATISTICS", {1065, 700, 1307, 770}),
                           Plain(L"ОНОВЛЕННЯ", L"WHAT'S NEW", {1330, 700, 1572, 770}),
                           Plain(L"НАЛАШТУВАННЯ", L"SETTINGS", {1595, 700, 1837, 770}),
                           Shown{L"ЛОКАЛЬНА БОЙОВА СТАТИСТИКА", L"LOCAL COMBAT RECORD", {100, 535, 450, 565}, Colors::Cyan,
                                 Face::Caption},
                           Shown{record, {}, {100, 575, 475, 630}, Colors::Text, Face::Heading},
                           Shown{trainings + L" ТРЕНУВАНЬ", trainings + L" TRAINING SESSIONS", {100, 630, 450, 660},
                                 Colors::Muted, Face::Caption},
                           Shown{L"МАЙБУТНЯ ЕКОНОМІКА", L"FUTURE ECONOMY", {1528, 810, 1818, 840}, Colors::Muted,
                                 Face::Caption},
                           Shown{L"TARV   \u2014", {}, {1528, 840, 1785, 882}, Colors::Accent, Face::Heading},
                           Chip(L"ЗГОДОМ", L"COMING LATER", {1650, 892, 1820, 925}, Colors::Cyan),
                           Chip(L"ОНЛАЙН-ТЕСТ / 3 КАРТИ / 6 РЕЖИМІВ", L"ONLINE TEST / 3 MAPS / 6 MODES",
                                {535, 812, 1240, 870}, Colors::Danger),
                           Footer()));
        ExpectTextsInBothLanguages(texts);

        std::vector<ExpectedRegion> regions = {{"nav.play", {585, 535, 1450, 620}}, {"app.exit", {72, 368, 510, 424}}};
        if (link) regions.push_back({"auth.link", {72, 438, 510, 495}});
        const char* row[] = {"nav.inventory", "nav.profile", "nav.statistics", "nav.updates", "nav.settings"};
        for (int i = 0; i < 5; ++i) {
            const float left = 535.0f + 265.0f * static_cast<float>(i);  // 242 wide, 23 apart
            regions.push_back({row[i], {left, 700, left + 242, 770}});
        }
        regions.push_back({"nav.privacy", {1335, 1018, 1675, 1064}});
        ExpectRegions(regions);
    }
}

TEST_F(MainMenuScreen, ScreensPastTheGamesOwnDrawTheHomeScreen) {
    shell->router.Navigate(ScreenId::OstrelAudit);
    Paint();
    EXPECT_EQ(Commands().front(), "nav.play");
}

TEST_F(MainMenuScreen, BannerIsDrawnUnderTheVeilAndTheAvatarFallsBackToInitials) {
    Paint();
    const bool bannerCached = std::any_of(shell->bitmapCache.begin(), shell->bitmapCache.end(), [](const auto& entry) {
        return entry.first.filename() == L"tarvonix-banner.png";
    });
    EXPECT_TRUE(bannerCached) << "the generated banner was found and decoded";
    // The banner's lit horizon shows through the veil at the right of the hero panel,
    // darker than the headline's own accent but brighter than the panel around it.
    int brightest = 0;
    for (int y = 400; y < 450; ++y) brightest = std::max(brightest, Pixel(1720, y).g);
    EXPECT_GT(brightest, Pixel(1720, 200).g + 15);
    EXPECT_LT(brightest, 150);
    // Initials disc: cyan ring around the avatar square.
    Rgb ring;
    for (int y = 193; y < 200; ++y) {
        if (Pixel(161, y).b > ring.b) ring = Pixel(161, y);
    }
    EXPECT_TRUE(Near(ring, Colors::Cyan, 40));
}

// ---- Play screen ---------------------------------------------------------------------

class PlayScreen : public CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        shell->router.Navigate(ScreenId::Play);
    }

    // Pixels of the plan area of map card k painted in a colour close to `accent`.
    int PlanPixels(int map, bool accent) const {
        const D2D_RECT_F card = MapCardRect(map);
        int count = 0;
        for (int y = 369; y < 503; ++y) {
            for (int x = static_cast<int>(card.left) + 12; x < static_cast<int>(card.left) + 176; ++x) {
                const Rgb c = Pixel(x, y);
                const bool lime = c.r > 90 && c.g > 130 && c.b < 60;
                const bool cyan = c.b > 130 && c.g > 100 && c.r < 70;
                count += accent ? lime : cyan;
            }
        }
        return count;
    }
};

// Every mode chosen in turn: the cards, the match panel with its rules text, which
// maps can be picked, and the action button, in both languages.
TEST_F(PlayScreen, EachModeShowsItsRulesMapsAndAction) {
    struct Mode {
        const wchar_t* name;
        const wchar_t* players;  // the card's player line
        const wchar_t* uk;
        const wchar_t* en;
    };
    const Mode modes[] = {
        {L"TEAM DEATHMATCH 4v4", L"2\u20138 PLAYERS", L"Дві команди. Відродження. 40 знешкоджень або 5 хвилин.",
         L"Two teams, respawns. 40 eliminations or 5 minutes."},
        {L"TEAM DEATHMATCH 6v6", L"2\u201312 PLAYERS", L"Дві команди. Відродження. 60 знешкоджень або 6 хвилин.",
         L"Two teams, respawns. 60 eliminations or 6 minutes."},
        {L"ELIMINATION 2v2", L"2\u20134 PLAYERS",
         L"Без відродження в раунді. Для старту потрібні 4 гравці. Перша команда з 5 перемогами виграє.",
         L"No respawn within a round. Four players required. First team to 5 round wins."},
        {L"DUEL 1v1", L"2 PLAYERS", L"Без відродження в раунді. Перший до 5 перемог. Таймер раунду 90 секунд.",
         L"No respawn within a round. First to 5 wins. 90-second rounds."},
        {L"TARV CORE", L"2\u201316 PLAYERS",
         L"Захоплюй точку за 4 секунди та отримуй очки. Ціль змінюється щохвилини. До 120 очок / 6 хвилин.",
         L"Capture in 4 seconds, then hold for points. Objective moves each minute. 120 points / 6 minutes."},
        {L"BOT TRAINING", nullptr, L"Офлайн-тренування з 3 ботами на RELAY.", L"Offline practice with 3 bots on RELAY."},
        {L"FREE FOR ALL", L"2\u201316 PLAYERS", L"Кожен за себе. Відродження. До 20 знешкоджень або 5 хвилин.",
         L"Every player for themselves. Respawns. 20 eliminations or 5 minutes."},
    };
    const int cardModes[] = {6, 0, 1, 3, 2, 4};
    const wchar_t* maps[] = {L"RELAY", L"FOUNDRY", L"SKYDOCK"};
    for (int selected : {6, 0, 1, 3, 2, 4, 5}) {
        SCOPED_TRACE(selected);
        shell->Dispatch("mode." + std::to_string(selected));
        const bool training = selected == 5;
        Texts texts = Join(Brand(L"ОБЕРІТЬ РЕЖИМ", L"SELECT MODE"),
                           Chip(L"ОНЛАЙН-ТЕСТ / 3 КАРТИ / 6 РЕЖИМІВ", L"STREAMER TEST / 3 MAPS / 6 MODES",
                                {1110, 105, 1848, 145}, Colors::Cyan));
        std::vector<ExpectedRegion> regions;
        for (int card = 0; card < 6; ++card) {
            const int m = cardModes[card];
            const float x = 72.0f + 540.0f * static_cast<float>(card % 2), y = 168.0f + 176.0f * static_cast<float>(card / 2);
            Append(texts, Shown{L"ONLINE / UNRANKED", {}, {x + 22, y + 12, x + 292, y + 42}, Colors::Cyan, Face::Caption});
            Append(texts, Shown{modes[m].name, {}, {x + 22, y + 44, x + 485, y + 92}, Colors::Text, Face::Heading});
            Append(texts, Shown{modes[m].players, {}, {x + 22, y + 100, x + 300, y + 136}, Colors::Muted});
            if (m == 2) Append(texts, Shown{L"4 REQUIRED", {}, {x + 320, y + 108, x + 470, y + 138}, Colors::Accent, Face::Caption});
            regions.push_back({"mode." + std::to_string(m), {x, y, x + 510, y + 150}});
        }
        regions.push_back({"mode.5", {72, 706, 1122, 858}});
        Append(texts, Join(Shown{L"OFFLINE / 1 PLAYER / 3 BOTS", {}, {98, 727, 758, 757}, Colors::Cyan, Face::Caption},
                           Shown{L"ТРЕНУВАННЯ З БОТАМИ", L"BOT TRAINING", {98, 765, 590, 822}, Colors::Text, Face::Heading},
                           Shown{L"ТВІЙ МАТЧ", L"YOUR MATCH", {1208, 194, 1728, 224}, Colors::Cyan, Face::Caption},
                           Shown{modes[selected].name, {}, {1208, 239, 1798, 310}, Colors::Text, Face::Heading},
                           Shown{L"ОБЕРИ КАРТУ", L"SELECT MAP", {1208, 317, 1758, 347}, Colors::Muted, Face::Caption}));
        for (int k = 0; k < 3; ++k) {
            const float x0 = 1208.0f + 200.0f * static_cast<float>(k);
            const bool selectable = k == 0 || !training;  // while training only RELAY can be picked
            Append(texts, Shown{maps[k], {}, {x0 + 10, 509, x0 + 180, 541}, selectable ? Colors::Text : Colors::Muted});
            if (selectable) regions.push_back({"map." + std::to_string(k), {x0, 359, x0 + 188, 549}});
        }
        Append(texts, Join(Shown{modes[selected].uk, modes[selected].en, {1208, 580, 1798, 706}, Colors::Muted},
                           Shown{L"F2 \u2014 АРСЕНАЛ  /  TAB \u2014 ТАБЛИЦЯ", L"F2 \u2014 ARSENAL  /  TAB \u2014 SCOREBOARD",
                                 {1208, 731, 1798, 761}, Colors::Cyan, Face::Caption},
                           training ? Primary(L"ПОЧАТИ ТРЕНУВАННЯ", L"START TRAINING", {1208, 803, 1798, 864})
                                    : Primary(L"ПРИЄДНАТИСЯ ДО МАТЧУ", L"JOIN MATCH", {1208, 803, 1798, 864}),
                           Footer()));
        regions.push_back({training ? "training.start" : "match.start", {1208, 803, 1798, 864}});
        regions.push_back({"nav.privacy", {1335, 1018, 1675, 1064}});
        ExpectTextsInBothLanguages(texts);
        ExpectRegions(regions);

        // The chosen card is tinted cyan and framed in the accent colour; the others
        // keep the raised surface and the border.
        for (int card = 0; card < 7; ++card) {
            const D2D_RECT_F r = card < 6 ? regions[static_cast<size_t>(card)].rect : D2D1::RectF(72, 706, 1122, 858);
            const bool chosen = (card < 6 ? cardModes[card] : 5) == selected;
            const Rgb frame = Pixel(static_cast<int>((r.left + r.right) / 2), static_cast<int>(r.top));
            EXPECT_EQ(Near(frame, Colors::Accent, 30), chosen) << "card " << card;
            const Rgb fill = Pixel(static_cast<int>(r.right) - 20, static_cast<int>(r.top) + 20);
            EXPECT_EQ(fill.b > fill.r + 20, chosen) << "card " << card;
        }
    }
    // A click where FOUNDRY is while training falls through to nothing.
    EXPECT_EQ(FindHitRegion(shell->hitRegions, D2D1::Point2F(1500, 450)), nullptr);
}

TEST_F(PlayScreen, MapPlansComeFromTheShippedArenasAndTheChosenMapIsFramed) {
    shell->Dispatch("map.1");
    Paint();
    for (int k = 0; k < 3; ++k) {
        const Rgb frame = Pixel(static_cast<int>(MapCardRect(k).left) + 94, 359);
        EXPECT_EQ(Near(frame, Colors::Accent, 30), k == 1) << "map " << k;
    }
    EXPECT_GT(PlanPixels(0, false), 200) << "RELAY in cyan";
    EXPECT_GT(PlanPixels(1, true), 200) << "FOUNDRY in the accent colour";
    EXPECT_EQ(PlanPixels(1, false), 0);
    EXPECT_GT(PlanPixels(2, false), 200) << "SKYDOCK in cyan";
}

class PlayCommands : public ShellFixture {};

TEST_F(PlayCommands, ModeAndMapSuffixesAreClamped) {
    const std::unique_ptr<NativeShell> owned = MakeShell();
    NativeShell& shell = *owned;
    shell.Dispatch("mode.9");
    EXPECT_EQ(shell.selectedMode, 6);
    shell.Dispatch("map.2");
    shell.Dispatch("mode.-3");
    EXPECT_EQ(shell.selectedMode, 0);
    EXPECT_EQ(shell.selectedMap, 2) << "only the training card resets the map";
    shell.Dispatch("map.7");
    EXPECT_EQ(shell.selectedMap, 2);
    shell.Dispatch("map.-1");
    EXPECT_EQ(shell.selectedMap, 0);
    shell.Dispatch("mode.x");
    EXPECT_EQ(shell.selectedMode, 0) << "a suffix without digits is dropped";
    shell.Dispatch("map.2");
    shell.Dispatch("mode. 5");
    EXPECT_EQ(shell.selectedMode, 5);
    EXPECT_EQ(shell.selectedMap, 0) << "training runs on the first map";
    EXPECT_TRUE(Logged("BotTrainingSelected"));
}

TEST(PlanGeometry, BoxAtTheOriginOnRelay) {
    gameplay::ScenePrimitive box;
    box.kind = gameplay::ScenePrimitiveKind::Cover;
    box.size = {4.0f, 2.0f, 4.0f};
    const D2D_RECT_F r = PlanRect(0, box);
    EXPECT_NEAR(r.left, 1296.875f, 0.005f);
    EXPECT_NEAR(r.top, 432.81f, 0.005f);
    EXPECT_NEAR(r.right, 1307.125f, 0.005f);
    EXPECT_NEAR(r.bottom, 439.19f, 0.005f);
}

TEST(PlanGeometry, CornersOfTheAreaAndOtherCards) {
    gameplay::ScenePrimitive box;
    box.center = {-32.0f + 0.5f, 0.0f, -42.0f + 0.5f};
    box.size = {1.0f, 1.0f, 1.0f};
    D2D_RECT_F r = PlanRect(2, box);
    EXPECT_FLOAT_EQ(r.left, 1608.0f + 12.0f);
    EXPECT_FLOAT_EQ(r.top, 369.0f);
    box.center = {32.0f - 0.5f, 0.0f, 42.0f - 0.5f};
    r = PlanRect(1, box);
    EXPECT_FLOAT_EQ(r.right, 1408.0f + 176.0f);
    EXPECT_FLOAT_EQ(r.bottom, 503.0f);
    box.center = {40.0f, 0.0f, 0.0f};  // outside the area: not clipped
    EXPECT_GT(PlanRect(0, box).left, MapCardRect(0).right);
}

TEST(PlanGeometry, FloorAndOuterShellAreNeverDrawn) {
    gameplay::ScenePrimitive box;
    for (int kind : {0, 5, 6}) {
        box.kind = static_cast<gameplay::ScenePrimitiveKind>(kind);
        EXPECT_FALSE(PlanShowsBox(box)) << kind;
    }
    for (int kind : {1, 2, 3, 4, 7, -1}) {
        box.kind = static_cast<gameplay::ScenePrimitiveKind>(kind);
        EXPECT_TRUE(PlanShowsBox(box)) << kind;
    }
}

TEST(PlanGeometry, PlansOfMissingArenaFilesStayEmpty) {
    testing::TempFolder temp;
    const auto none = BuildMapPlans(temp.Path());
    EXPECT_TRUE(none[0].empty() && none[1].empty() && none[2].empty());
    std::filesystem::copy_file(FindArenaDirectory(NativeShell::ExecutableDirectory()) / L"relay.arena",
                               temp.Path() / L"relay.arena");
    testing::WriteBytes(temp.Path() / L"foundry.arena", "not an arena");
    const auto plans = BuildMapPlans(temp.Path());
    EXPECT_GT(plans[0].size(), 10u);
    EXPECT_TRUE(plans[1].empty());
    EXPECT_TRUE(plans[2].empty());
}

}  // namespace
}  // namespace tarvo::ui::test
