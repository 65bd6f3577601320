#include <gtest/gtest.h>

#include "frame_probe.h"
#include "presentation/match_hud.h"
#include "scene_fixture.h"

namespace tarvo::renderer {
namespace {

using gameplay::Color3;
using test::FindRect;
using test::FindText;
using test::Scene;
using test::U32;

constexpr Color3 kInk{0.90f, 0.94f, 0.95f};
constexpr Color3 kLime{0.63f, 0.95f, 0.02f};
constexpr Color3 kCyan{0.0f, 0.72f, 0.92f};
constexpr Color3 kAlert{0.62f, 0.09f, 0.075f};
constexpr Color3 kSteel{0.38f, 0.48f, 0.51f};
constexpr Color3 kPanel{0.018f, 0.032f, 0.038f};

class HudLayout : public testing::TestWithParam<std::pair<float, float>> {
protected:
    Scene Make() const {
        Scene s;
        s.width = GetParam().first;
        s.height = GetParam().second;
        s.overlay.elapsedSeconds = 30;
        return s;
    }
    float W() const { return GetParam().first; }
    float H() const { return GetParam().second; }
};

TEST_P(HudLayout, CornerPanelsStayAnchoredInPixels) {
    Scene s = Make();
    s.Hud();
    EXPECT_GE(FindRect(s.vertices, W(), H(), 22, 22, 360, 72, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() - 346, 22, 324, 82, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), 22, H() - 138, 350, 112, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() - 352, H() - 138, 330, 112, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() * 0.5f - 1.6f, H() * 0.5f - 1.6f, 3.2f, 3.2f, kLime), 0);
    EXPECT_EQ(FindText(s.vertices, W(), H(), 44, 38, kInk).text, U32("FOUNDRY"));
    EXPECT_EQ(FindText(s.vertices, W(), H(), 178, 43, kCyan).text, U32("BOT TRAINING / OFFLINE"));
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 292, H() - 115, kInk).text, U32("30 / 120"));
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 292, H() - 60, kCyan).text, U32("AK-47"));
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 130, H() - 60, kLime).text, U32("AUTO"));
    // The intro card has gone after 2.1 s.
    EXPECT_LT(FindRect(s.vertices, W(), H(), W() * 0.5f - 250, H() * 0.69f, 500, 73, kPanel), 0);
}

TEST_P(HudLayout, HealthThresholds) {
    Scene low = Make();
    low.player.health = 29.9f;
    low.Hud();
    EXPECT_EQ(FindText(low.vertices, W(), H(), 46, H() - 88, kAlert).text, U32("29"));
    EXPECT_GE(FindRect(low.vertices, W(), H(), 22, H() - 138, 5, 112, kAlert), 0);
    EXPECT_GE(FindRect(low.vertices, W(), H(), 130, H() - 56, 220 * 0.299f, 6, kAlert), 0);
    EXPECT_LT(FindRect(low.vertices, W(), H(), 0, 0, 9, H(), kAlert), 0);  // no vignette above 25

    Scene ok = Make();
    ok.player.health = 30;
    ok.Hud();
    EXPECT_EQ(FindText(ok.vertices, W(), H(), 46, H() - 88, kInk).text, U32("30"));
    EXPECT_GE(FindRect(ok.vertices, W(), H(), 22, H() - 138, 5, 112, kLime), 0);

    Scene critical = Make();
    critical.player.health = 24.9f;
    critical.Hud();
    EXPECT_GE(FindRect(critical.vertices, W(), H(), 0, 0, 9, H(), {0.24f, 0.025f, 0.025f}), 0);
    EXPECT_GE(FindRect(critical.vertices, W(), H(), W() - 9, 0, 9, H(), {0.24f, 0.025f, 0.025f}), 0);
    EXPECT_EQ(FindText(critical.vertices, W(), H(), W() * 0.5f - 70, H() - 74, kAlert).text, U32("CRITICAL"));

    Scene hit = Make();
    hit.player.health = 80;
    hit.overlay.damageFlash = 0.2f;
    hit.Hud();
    EXPECT_GE(FindRect(hit.vertices, W(), H(), 0, 0, 9, H(), kAlert), 0);
    EXPECT_EQ(FindText(hit.vertices, W(), H(), W() * 0.5f - 70, H() - 74, kAlert).text, U32("IMPACT"));

    Scene over = Make();
    over.player.health = 150;
    over.Hud();
    EXPECT_GE(FindRect(over.vertices, W(), H(), 130, H() - 56, 220, 6, kLime), 0);

    Scene broken = Make();  // a maximum of 0 would divide by zero: empty, never NaN
    broken.config.player_health = 0;
    broken.Hud();
    EXPECT_GE(FindRect(broken.vertices, W(), H(), 130, H() - 56, 0, 6, kLime), 0);
}

TEST_P(HudLayout, ReloadAndCounts) {
    Scene s = Make();
    s.weapon.reloading = true;
    s.weapon.reloadTimer = 0.5f;
    s.weapon.fireMode = gameplay::FireMode::SemiAutomatic;
    s.bots = {Scene::BotAt({0, 0, 5}), Scene::BotAt({0, 0, 6}), Scene::BotAt({0, 0, 7})};
    s.bots[2].state = gameplay::BotState::AwaitingRespawn;
    s.Hud();
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 292, H() - 60, kCyan).text, U32("RELOADING"));
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 130, H() - 60, kLime).text, U32("SEMI"));
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() - 292, H() - 39, 145 * (1 - 0.5f / 1.65f), 5, kLime), 0);
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 135, 39, kSteel).text, U32("TARGETS"));
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 86, 67, kCyan).text, U32("2"));  // living bots

    Scene online = Make();
    online.online = true;
    online.bots = s.bots;
    online.player.weaponIndex = 2;
    online.weapon.reloading = true;
    online.weapon.reloadTimer = -1;  // a negative ratio shows the full bar
    online.Hud();
    EXPECT_EQ(FindText(online.vertices, W(), H(), W() - 135, 39, kSteel).text, U32("PLAYERS"));
    EXPECT_EQ(FindText(online.vertices, W(), H(), W() - 86, 67, kCyan).text, U32("4"));  // remote players + 1
    EXPECT_GE(FindRect(online.vertices, W(), H(), W() - 292, H() - 39, 145, 5, kLime), 0);
    EXPECT_EQ(FindText(online.vertices, W(), H(), 178, 43, kCyan).text, U32("ONLINE / UNRANKED"));

    Scene noTime = Make();  // a reload time of 0 has no progress: the bar stays empty
    noTime.config.reload_seconds = 0;
    noTime.weapon.reloading = true;
    noTime.weapon.reloadTimer = 0.3f;
    noTime.Hud();
    EXPECT_GE(FindRect(noTime.vertices, W(), H(), W() - 292, H() - 39, 0, 5, kLime), 0);
}

TEST_P(HudLayout, PauseMenuButtonsAreTheShellsClickTargets) {
    Scene s = Make();
    s.overlay.menuOpen = true;
    s.Hud();
    const float cx = W() * 0.5f, cy = H() * 0.5f;
    long previous = -1;
    for (int i = 0; i < 4; ++i) {
        const long at = FindRect(s.vertices, W(), H(), cx - 280, cy - 70 + 70.0f * i, 560, 55,
                                 i == 3 ? Color3{0.105f, 0.028f, 0.035f} : Color3{0.045f, 0.073f, 0.082f});
        EXPECT_GT(at, previous) << "item " << i;
        previous = at;
    }
    if (W() == 1280) {
        EXPECT_GE(FindRect(s.vertices, W(), H(), 360, 290, 560, 55, {0.045f, 0.073f, 0.082f}), 0);
        EXPECT_GE(FindRect(s.vertices, W(), H(), 360, 500, 560, 55, {0.105f, 0.028f, 0.035f}), 0);
    }
    // The arsenal strip hides behind the open menu.
    EXPECT_LT(FindRect(s.vertices, W(), H(), 20, 116, 365, 38, {0.018f, 0.029f, 0.04f}), 0);
    // The title is centred and no wider than 600 px.
    const float width = GeometryBuilder::HudTextWidth("TRAINING SUSPENDED", 3.5f);
    const float size = width > 600 ? 3.5f * 600 / width : 3.5f;
    const float x = cx - 0.5f * GeometryBuilder::HudTextWidth("TRAINING SUSPENDED", size);
    EXPECT_EQ(FindText(s.vertices, W(), H(), x, cy - 220, kInk).text, U32("TRAINING SUSPENDED"));
}

TEST_P(HudLayout, OverlaysStackInOrder) {
    Scene both = Make();
    both.online = true;
    both.overlay.menuOpen = true;
    both.overlay.arsenalOpen = true;
    both.overlay.coins = 450;
    both.overlay.ownedWeaponMask = 0b011;
    both.overlay.selectedWeapon = 1;
    both.overlay.shopStatus = "READY";
    both.Hud();
    const float cx = W() * 0.5f, cy = H() * 0.5f;
    EXPECT_GE(FindRect(both.vertices, W(), H(), cx - 390, cy - 285, 780, 570, {0.019f, 0.034f, 0.046f}), 0);
    EXPECT_LT(FindRect(both.vertices, W(), H(), cx - 280, cy - 70, 560, 55, {0.045f, 0.073f, 0.082f}), 0);
    EXPECT_EQ(FindText(both.vertices, W(), H(), cx + 160, cy - 252, kLime).text, U32("450 COINS"));
    EXPECT_EQ(FindText(both.vertices, W(), H(), cx + 145, cy - 115 + 28, kCyan).text, U32("EQUIP"));
    EXPECT_EQ(FindText(both.vertices, W(), H(), cx + 145, cy - 10 + 28, kLime).text, U32("EQUIPPED"));
    EXPECT_EQ(FindText(both.vertices, W(), H(), cx + 145, cy + 95 + 28, kCyan).text, U32("BUY / 600"));

    Scene strip = Make();
    strip.online = true;
    strip.overlay.coins = 75;
    strip.overlay.ukrainian = true;
    strip.Hud();
    EXPECT_EQ(FindText(strip.vertices, W(), H(), 34, 123, kCyan).text, U32("F2 / АРСЕНАЛ   75 COINS"));
    EXPECT_EQ(FindText(strip.vertices, W(), H(), 82, H() - 121, kSteel).text, U32("ЗДОРОВ'Я"));

    Scene dead = Make();
    dead.player.dead = true;
    dead.overlay.showPerformance = true;
    dead.overlay.deviceName = L"llvmpipe Ж (LLVM)";
    dead.overlay.fps = 143.9f;
    dead.Hud();
    const long cover = FindRect(dead.vertices, W(), H(), 0, 0, W(), H(), {0.075f, 0.012f, 0.016f});
    const long health = FindRect(dead.vertices, W(), H(), 22, H() - 138, 350, 112, kPanel);
    const long performance = FindRect(dead.vertices, W(), H(), 24, 110, 760, 180, kPanel);
    EXPECT_GT(cover, health);        // the death screen hides what came before
    EXPECT_GT(performance, cover);   // but not the performance panel after it
    EXPECT_EQ(FindText(dead.vertices, W(), H(), 42, 248, kCyan).text, U32("GPU llvmpipe ? (LLVM)"));
    EXPECT_EQ(FindText(dead.vertices, W(), H(), 42, 126, kLime).text, U32("FPS 143"));

    Scene intro = Make();
    intro.overlay.elapsedSeconds = 2.0f;
    intro.Hud();
    EXPECT_GE(FindRect(intro.vertices, W(), H(), W() * 0.5f - 250, H() * 0.69f, 500, 73, kPanel), 0);
}

TEST_P(HudLayout, MatchHudLiesOverEverything) {
    Scene s = Make();
    s.online = true;
    s.overlay.onlineMatch = true;
    s.overlay.scoreboardHeld = true;
    s.overlay.showPerformance = true;
    s.overlay.scoreRows = {{7, 1, 3, 1, true, "ME"}, {9, 2, 1, 2, false, ""}};
    s.Hud();
    const presentation::MatchHudLayout layout = presentation::BuildMatchHud(s.overlay, W(), H());
    ASSERT_FALSE(layout.rects.empty());
    ASSERT_FALSE(layout.texts.empty());
    const long performance = FindRect(s.vertices, W(), H(), 24, 110, 760, 180, kPanel);
    ASSERT_GE(performance, 0);
    // Every rectangle of the model, in its order, after the performance panel; then its texts.
    long previous = performance;
    for (const presentation::MatchHudRect& r : layout.rects) {
        const long at = FindRect(s.vertices, W(), H(), r.x, r.y, r.width, r.height, r.color, size_t(previous) + 1);
        ASSERT_GT(at, previous);
        previous = at;
    }
    const presentation::MatchHudText& last = layout.texts.back();
    const test::SeenText seen = FindText(s.vertices, W(), H(), last.x, last.y, last.color);
    EXPECT_GT(seen.index, previous);
    EXPECT_EQ(seen.text, U32(last.text.c_str()));
    EXPECT_EQ(static_cast<size_t>(seen.index) + 12 * seen.text.size(), s.vertices.size());  // the very end
}

INSTANTIATE_TEST_SUITE_P(Sizes, HudLayout, testing::Values(std::make_pair(1280.0f, 720.0f),
                                                          std::make_pair(1920.0f, 1080.0f)));

}  // namespace
}  // namespace tarvo::renderer
