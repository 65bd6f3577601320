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
using Commands_ = std::vector<std::string>;

// ---- Main menu -----------------------------------------------------------------------

class MainMenuScreen : public CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        shell->router.Navigate(ScreenId::MainMenu);
    }
};

TEST_F(MainMenuScreen, RegionsWithoutAnyAccount) {
    Paint();
    EXPECT_EQ(Commands(), (Commands_{"nav.play", "app.exit", "nav.inventory", "nav.profile", "nav.statistics",
                                     "nav.updates", "nav.settings", "nav.privacy"}));
}

TEST_F(MainMenuScreen, ALocalAccountWithoutServerSessionOffersTheLink) {
    auth::LocalAccountRecord record;
    record.accountId = L"local-1";
    shell->accountRecord = record;
    Paint();
    EXPECT_EQ(Commands(), (Commands_{"nav.play", "app.exit", "auth.link", "nav.inventory", "nav.profile",
                                     "nav.statistics", "nav.updates", "nav.settings", "nav.privacy"}));
    const auto link = std::find_if(shell->hitRegions.begin(), shell->hitRegions.end(),
                                   [](const HitRegion& r) { return r.command == "auth.link"; });
    EXPECT_EQ(link->rect.top, 438.0f);
    EXPECT_EQ(link->rect.bottom, 495.0f);

    shell->serverSession = account::ServerSession{};  // signed in to the server: no link button
    Paint();
    const Commands_ signedIn = Commands();
    EXPECT_EQ(std::count(signedIn.begin(), signedIn.end(), std::string("auth.link")), 0);
}

TEST_F(MainMenuScreen, NavigationRowIsFiveButtons242Wide23Apart) {
    Paint();
    const std::vector<HitRegion>& r = shell->hitRegions;
    ASSERT_GE(r.size(), 7u);
    for (size_t i = 0; i < 5; ++i) {
        const D2D_RECT_F rect = r[2 + i].rect;
        EXPECT_FLOAT_EQ(rect.left, 535.0f + 265.0f * static_cast<float>(i)) << r[2 + i].command;
        EXPECT_FLOAT_EQ(rect.right - rect.left, 242.0f);
        EXPECT_FLOAT_EQ(rect.top, 700.0f);
        EXPECT_FLOAT_EQ(rect.bottom, 770.0f);
    }
    EXPECT_FLOAT_EQ(r[0].rect.left, 585.0f);  // play
    EXPECT_FLOAT_EQ(r[0].rect.bottom, 620.0f);
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
    EXPECT_GT(ring.b, 150);
    EXPECT_GT(ring.g, 120);
    EXPECT_LT(ring.r, 100);
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

TEST_F(PlayScreen, FreshShellRegionsAndJoinButton) {
    Paint();
    EXPECT_EQ(Commands(), (Commands_{"mode.6", "mode.0", "mode.1", "mode.3", "mode.2", "mode.4", "mode.5", "map.0",
                                     "map.1", "map.2", "match.start", "nav.privacy"}));
    // Cards: two columns 540 apart, rows 176 apart.
    EXPECT_FLOAT_EQ(shell->hitRegions[3].rect.left, 612.0f);
    EXPECT_FLOAT_EQ(shell->hitRegions[3].rect.top, 344.0f);
    EXPECT_FLOAT_EQ(shell->hitRegions[5].rect.bottom, 670.0f);
    // The free-for-all card is selected (cyan tint), the next one is not.
    const Rgb selected = Pixel(560, 300);
    const Rgb plain = Pixel(1100, 300);
    EXPECT_GT(selected.b, plain.b + 20);
    EXPECT_GT(selected.b, selected.r + 20);
}

TEST_F(PlayScreen, TrainingModeLocksTheMapsToRelayAndStartsTraining) {
    shell->Dispatch("mode.5");
    EXPECT_EQ(shell->selectedMode, 5);
    EXPECT_EQ(shell->selectedMap, 0);
    Paint();
    EXPECT_EQ(Commands(), (Commands_{"mode.6", "mode.0", "mode.1", "mode.3", "mode.2", "mode.4", "mode.5", "map.0",
                                     "training.start", "nav.privacy"}));
    // A click where FOUNDRY is falls through to nothing.
    EXPECT_EQ(FindHitRegion(shell->hitRegions, D2D1::Point2F(1500, 450)), nullptr);
    const Rgb trainingCard = Pixel(1100, 840);
    EXPECT_GT(trainingCard.b, trainingCard.r + 20);
}

TEST_F(PlayScreen, MapPlansComeFromTheShippedArenas) {
    Paint();
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
    shell.Dispatch("mode. 5");
    EXPECT_EQ(shell.selectedMode, 5);
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
    EXPECT_TRUE(MapSelectable(0, 5));
    EXPECT_FALSE(MapSelectable(1, 5));
    EXPECT_FALSE(MapSelectable(2, 5));
    EXPECT_TRUE(MapSelectable(2, 6));
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
