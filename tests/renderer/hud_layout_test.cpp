#include <gtest/gtest.h>

#include "frame_probe.h"
#include "presentation/hud_panels.h"
#include "presentation/match_hud.h"
#include "presentation/weapon_meshes.h"
#include "scene_fixture.h"

namespace tarvo::renderer {
namespace {

using gameplay::Color3;
using test::FindRect;
using test::FindRun;
using test::AsShown;
using test::FindText;
using test::Scene;

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
    // A scene of this size that `setup` poses, with its HUD built.
    template <typename Setup>
    Scene Hud(Setup setup) const {
        Scene s = Make();
        setup(s);
        s.Hud();
        return s;
    }
    float W() const { return GetParam().first; }
    float H() const { return GetParam().second; }
};

// Scenes of the HUD's texts. Texts stay in the list when a later panel covers them.
void Training(Scene& s) {  // a bad moment: a kill, the intro, death, critical health
    s.player.kills = 7;
    s.player.deaths = 3;
    s.overlay.killConfirm = 0.3f;
    s.overlay.elapsedSeconds = 1.0f;
    s.player.dead = true;
    s.player.health = 20;
}
void Online(Scene& s) {  // reloading, just hit
    s.online = true;
    s.overlay.coins = 75;
    s.weapon.reloading = true;
    s.weapon.reloadTimer = 0.5f;
    s.player.health = 80;
    s.overlay.damageFlash = 0.2f;
}
void Shop(Scene& s) {
    s.online = true;
    s.overlay.menuOpen = s.overlay.arsenalOpen = true;
    s.overlay.coins = 450;
    s.overlay.ownedWeaponMask = 0b011;
    s.overlay.selectedWeapon = 1;
    s.overlay.shopStatus = "PENDING";
}
void Paused(Scene& s) {
    s.overlay.menuOpen = s.overlay.showPerformance = true;
    s.overlay.fps = 143.9f;
    s.overlay.frameTimeMs = 7.6f;
    s.overlay.deviceName = L"llvmpipe Ж (LLVM)";
    s.player.position = {1.9f, 0, -2.5f};
    s.bots = {Scene::BotAt({0, 0, 5}), Scene::BotAt({0, 0, 6})};
}
void PausedOnline(Scene& s) {
    s.online = true;
    s.overlay.menuOpen = true;
}

// A text of the HUD at x = ax * W + dx, y = ay * H + dy at its size; or, with a fit
// width, centred on the canvas at that size, shrunk to fit.
struct Line {
    void (*setup)(Scene&);
    float ax, dx, ay, dy;
    Color3 colour;
    const char* english;
    const char* ukrainian;
    float size = 0, fit = 0;
};

const Line kLines[] = {
    {Training, 0, 44, 0, 38, kInk, "FOUNDRY", "FOUNDRY", 2.7f},
    {Training, 0, 178, 0, 43, kCyan, "BOT TRAINING / OFFLINE", "ТРЕНУВАННЯ / OFFLINE", 1.65f},
    {Training, 0.5f, -155, 0, 48, kInk, "SECTOR C / LIVE FIRE", "СЕКТОР C / БОЙОВА ЗОНА", 1.6f},
    {Training, 1, -321, 0, 40, kSteel, "K", "K", 1.5f},
    {Training, 1, -294, 0, 34, kInk, "7", "7", 3.2f},
    {Training, 1, -230, 0, 40, kSteel, "D", "D", 1.5f},
    {Training, 1, -203, 0, 34, kInk, "3", "3", 3.2f},
    {Training, 1, -135, 0, 39, kSteel, "TARGETS", "БОТИ", 1.3f},
    {Training, 0, 82, 1, -121, kSteel, "HEALTH", "ЗДОРОВ'Я", 1.55f},
    {Training, 1, -292, 1, -115, kInk, "30 / 120", "30 / 120", 3.8f},
    {Training, 1, -292, 1, -60, kCyan, "AK-47", "AK-47", 1.6f},
    {Training, 1, -130, 1, -60, kLime, "AUTO", "AUTO", 1.55f},
    {Training, 0.5f, -145, 0.5f, 61, kLime, "TARGET NEUTRALIZED", "ЦІЛЬ ЗНЕШКОДЖЕНО", 2.05f},
    {Training, 0.5f, -196, 0.69f, 18, kInk, "ZE001 / COMBAT READY", "ZE001 / ГОТОВО ДО БОЮ", 2.8f},
    {Training, 0.5f, -171, 0.69f, 51, kCyan, "LOCAL TRAINING ENVIRONMENT", "ЛОКАЛЬНЕ ТРЕНУВАННЯ", 1.45f},
    {Training, 0.5f, -245, 0.5f, -52, kInk, "OPERATOR DOWN", "ОПЕРАТОР ЗАГИНУВ", 6.0f},
    {Training, 0.5f, -174, 0.5f, 25, kLime, "REDEPLOYMENT IN PROGRESS", "ПОВЕРНЕННЯ В БІЙ", 2.05f},
    {Online, 1, -292, 1, -60, kCyan, "RELOADING", "ПЕРЕЗАРЯДКА", 1.35f},
    {Training, 0.5f, -70, 1, -74, kAlert, "CRITICAL", "КРИТИЧНО", 1.9f},
    {Online, 0.5f, -70, 1, -74, kAlert, "IMPACT", "УДАР", 1.9f},
    {Online, 0, 178, 0, 43, kCyan, "ONLINE / UNRANKED", "ONLINE / UNRANKED", 1.65f},
    {Online, 1, -135, 0, 39, kSteel, "PLAYERS", "ГРАВЦІ", 1.3f},
    {Online, 0, 34, 0, 123, kCyan, "F2 / ARSENAL   75 COINS", "F2 / АРСЕНАЛ   75 COINS", 1.8f},
    {Shop, 0.5f, -350, 0.5f, -258, kInk, "ARSENAL / ONLINE", "АРСЕНАЛ / ONLINE", 3.0f},
    {Shop, 0.5f, 160, 0.5f, -252, kLime, "450 COINS", "450 COINS", 2.3f},
    {Shop, 0.5f, -350, 0.5f, -204, kCyan, "+50 coins per eligible online kill", "+50 монет за знешкодження онлайн-суперника", 1.8f},
    {Shop, 0.5f, -350, 0.5f, -172, kSteel, "At base: one weapon change per life", "На базі: одна зміна зброї за життя", 1.7f},
    {Shop, 0.5f, -350, 0.5f, -143, kSteel, "Up to 5 rewards per opponent / 10 min", "До 5 винагород за одного суперника / 10 хв", 1.6f},
    {Shop, 0.5f, -330, 0.5f, -105, kInk, "1 / AK-47", "1 / AK-47", 2.4f},
    {Shop, 0.5f, -330, 0.5f, -66, kSteel, "ASSAULT / 30 ROUNDS", "ASSAULT / 30 ROUNDS", 1.6f},
    {Shop, 0.5f, 145, 0.5f, -87, kCyan, "EQUIP", "ОБРАТИ", 1.9f},
    {Shop, 0.5f, -330, 0.5f, 0, kInk, "2 / VIRORA-9", "2 / VIRORA-9", 2.4f},
    {Shop, 0.5f, -330, 0.5f, 39, kSteel, "SMG / 32 ROUNDS / FAST FIRE", "SMG / 32 ROUNDS / FAST FIRE", 1.6f},
    {Shop, 0.5f, 145, 0.5f, 18, kLime, "EQUIPPED", "СПОРЯДЖЕНО", 1.9f},
    {Shop, 0.5f, -330, 0.5f, 105, kInk, "3 / DMR-12", "3 / DMR-12", 2.4f},
    {Shop, 0.5f, -330, 0.5f, 144, kSteel, "MARKSMAN / 12 ROUNDS", "MARKSMAN / 12 ROUNDS", 1.6f},
    {Shop, 0.5f, 145, 0.5f, 123, kCyan, "BUY / 600", "BUY / 600", 1.9f},
    {Shop, 0.5f, -350, 0.5f, 216, kInk, "Waiting for server...", "Сервер обробляє запит...", 1.7f},
    {Shop, 0.5f, -350, 0.5f, 253, kSteel, "ESC / F2 — CLOSE   /   MATCH CONTINUES", "ESC / F2 — ЗАКРИТИ   /   МАТЧ ТРИВАЄ", 1.6f},
    {Paused, 0, 0, 0.5f, -220, kInk, "TRAINING SUSPENDED", "ТРЕНУВАННЯ ПРИЗУПИНЕНО", 3.5f, 600},
    {Paused, 0.5f, -145, 0.5f, -174, kCyan, "ZE001 / LOCAL SESSION", "ZE001 / ЛОКАЛЬНА СЕСІЯ", 1.55f},
    {Paused, 0, 0, 0.5f, -60, kInk, "CONTINUE", "ПРОДОВЖИТИ", 2.7f, 510},
    {Paused, 0, 0, 0.5f, 10, kInk, "RESTART TRAINING", "ПОЧАТИ ТРЕНУВАННЯ ЗНОВУ", 2.7f, 510},
    {Paused, 0, 0, 0.5f, 80, kCyan, "SETTINGS", "НАЛАШТУВАННЯ", 2.7f, 510},
    {Paused, 0, 0, 0.5f, 150, kLime, "EXIT TO MAIN MENU", "ВИЙТИ В ГОЛОВНЕ МЕНЮ", 2.7f, 510},
    {Paused, 0.5f, -155, 0.5f, 228, kSteel, "ESC RESUME / ENTER EXIT", "ESC ПРОДОВЖИТИ / ENTER ВИЙТИ", 1.35f},
    {PausedOnline, 0, 0, 0.5f, -220, kInk, "MENU / MATCH CONTINUES", "МЕНЮ / МАТЧ ТРИВАЄ", 3.5f, 600},
    {PausedOnline, 0.5f, -145, 0.5f, -174, kCyan, "FOUNDRY / ONLINE TEST", "FOUNDRY / ONLINE TEST", 1.55f},
    {PausedOnline, 0, 0, 0.5f, 10, kCyan, "ARSENAL / COINS", "АРСЕНАЛ / МОНЕТИ", 2.7f, 510},
    {Paused, 0, 42, 0, 126, kLime, "FPS 143", "FPS 143", 2.1f},
    {Paused, 0, 42, 0, 158, kCyan, "FRAME 7 MS", "FRAME 7 MS", 2.1f},
    {Paused, 0, 42, 0, 190, kInk, "POS 1 0 -2", "POS 1 0 -2", 1.7f},
    {Paused, 0, 42, 0, 218, kLime, "RENDERER VULKAN", "RENDERER VULKAN", 1.7f},
    {Paused, 0, 360, 0, 218, kInk, "BOTS 2", "BOTS 2", 1.7f},
    {Paused, 0, 42, 0, 248, kCyan, "GPU llvmpipe ? (LLVM)", "GPU llvmpipe ? (LLVM)", 1.45f},
};

TEST_P(HudLayout, TextsInBothLanguages) {
    for (const bool ukrainian : {false, true}) {
        for (const Line& line : kLines) {
            Scene s = Make();
            line.setup(s);
            s.overlay.ukrainian = ukrainian;
            s.Hud();
            const char* text = ukrainian ? line.ukrainian : line.english;
            float x = line.ax * W() + line.dx, size = line.size;
            if (line.fit > 0) {
                const float natural = GeometryBuilder::HudTextWidth(text, line.size);
                size = natural > line.fit ? line.size * line.fit / natural : line.size;
                x = W() * 0.5f - 0.5f * GeometryBuilder::HudTextWidth(text, size);
            }
            EXPECT_EQ(FindText(s.vertices, W(), H(), x, line.ay * H() + line.dy, size, line.colour).text, AsShown(text))
                << text;
        }
        // Below the 16-pixel floor no frame shows a size: the pause key hint's is read from
        // the record every painter draws.
        const presentation::PanelLayout pause = presentation::BuildPausePanel(false, ukrainian, 0, W(), H());
        const auto& hint = std::get<presentation::PanelText>(pause.items.back());
        EXPECT_EQ(hint.text, ukrainian ? "ESC ПРОДОВЖИТИ / ENTER ВИЙТИ" : "ESC RESUME / ENTER EXIT");
        EXPECT_EQ(hint.size, 13.5f);
    }
}

TEST_P(HudLayout, FeedbackMarksOnlyWhileTheirTimersRun) {
    const float cx = W() * 0.5f, cy = H() * 0.5f;
    const struct {
        float hit, kill, flash;
        bool rifle;
    } cases[] = {{0, 0, 0, false}, {0.1f, 0, 0, false}, {0, 0.2f, 0, true}, {0, 0, 0.05f, false}, {0, 0, 0.05f, true},
                 {-0.1f, -1, -0.01f, false}};
    for (const auto& c : cases) {
        Scene s = Make();
        s.overlay.hitMarker = c.hit;
        s.overlay.killConfirm = c.kill;
        s.overlay.muzzleFlash = c.flash;
        s.player.weaponIndex = 2;
        s.player.distanceTravelled = 3.0f;
        if (c.rifle) {
            ASSERT_TRUE(s.heldWeapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset()));
        }
        s.Hud();
        const float ox = W() * 0.66f + 3.0f * std::sin(s.overlay.elapsedSeconds * 2.2f), oy = H() - 28;
        const auto shape = [&](auto draw) { return FindRun(s.vertices, s.Shape(draw)) >= 0; };
        SCOPED_TRACE(testing::Message() << c.hit << " " << c.kill << " " << c.flash << " " << c.rifle);
        EXPECT_EQ(shape([&](GeometryBuilder& b) {
                      b.HudLine(cx - 18, cy - 18, cx - 10, cy - 10, 3, kLime);
                      b.HudLine(cx + 18, cy - 18, cx + 10, cy - 10, 3, kLime);
                      b.HudLine(cx - 18, cy + 18, cx - 10, cy + 10, 3, kLime);
                      b.HudLine(cx + 18, cy + 18, cx + 10, cy + 10, 3, kLime);
                  }),
                  c.hit > 0);
        EXPECT_EQ(shape([&](GeometryBuilder& b) { b.HudLine(cx - 76, cy + 49, cx + 76, cy + 49, 2, kLime); }), c.kill > 0);
        EXPECT_EQ(shape([&](GeometryBuilder& b) {
                      b.HudQuad(ox + 410, oy - 181, ox + 468, oy - 163, ox + 420, oy - 145, ox + 398, oy - 159, kLime);
                      b.HudLine(ox + 412, oy - 164, ox + 470, oy - 189, 4, kInk);
                  }),
                  c.flash > 0);
        // The arms always; the player's own weapon when the rifle asset is there, else
        // the flat silhouette.
        const auto viewmodel = [&](std::span<const presentation::ImportedWeaponVertex> mesh) {
            return [&, mesh](GeometryBuilder& b) { b.ImportedViewmodel(mesh, 3.0f, c.flash, 0.0f); };
        };
        EXPECT_TRUE(shape(viewmodel(presentation::FirstPersonGripArms())));
        if (c.rifle) {
            EXPECT_TRUE(shape(viewmodel(presentation::ArsenalMesh(2, s.heldWeapon.Vertices()))));
        }
        EXPECT_EQ(shape([&](GeometryBuilder& b) {
                      b.HudQuad(ox + 60, oy - 108, ox + 310, oy - 148, ox + 330, oy - 94, ox + 92, oy - 50,
                                {0.095f, 0.125f, 0.135f});
                      b.HudQuad(ox + 110, oy - 148, ox + 264, oy - 174, ox + 282, oy - 142, ox + 125, oy - 113,
                                {0.175f, 0.205f, 0.215f});
                      b.HudQuad(ox + 280, oy - 157, ox + 410, oy - 174, ox + 414, oy - 158, ox + 284, oy - 137,
                                {0.075f, 0.095f, 0.1f});
                  }),
                  !c.rifle);
    }
}

TEST_P(HudLayout, CornerPanelsStayAnchoredInPixels) {
    const Scene s = Hud([](Scene&) {});
    EXPECT_GE(FindRect(s.vertices, W(), H(), 22, 22, 360, 72, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() - 346, 22, 324, 82, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), 22, H() - 138, 350, 112, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() - 352, H() - 138, 330, 112, kPanel), 0);
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() * 0.5f - 1.6f, H() * 0.5f - 1.6f, 3.2f, 3.2f, kLime), 0);
    const float cx = W() * 0.5f, cy = H() * 0.5f;
    const auto crosshair = s.Shape([&](GeometryBuilder& b) {
        b.HudLine(cx - 23, cy, cx - 8, cy, 2, kInk);
        b.HudLine(cx + 8, cy, cx + 23, cy, 2, kInk);
        b.HudLine(cx, cy - 23, cx, cy - 8, 2, kInk);
        b.HudLine(cx, cy + 8, cx, cy + 23, 2, kInk);
    });
    EXPECT_GE(FindRun(s.vertices, crosshair), 0);
    // The intro card has gone after 2.1 s.
    EXPECT_LT(FindRect(s.vertices, W(), H(), W() * 0.5f - 250, H() * 0.69f, 500, 73, kPanel), 0);
}

TEST_P(HudLayout, HealthThresholds) {
    const Scene low = Hud([](Scene& s) { s.player.health = 29.9f; });
    EXPECT_EQ(FindText(low.vertices, W(), H(), 46, H() - 88, 4.8f, kAlert).text, U"29");
    EXPECT_GE(FindRect(low.vertices, W(), H(), 22, H() - 138, 5, 112, kAlert), 0);
    EXPECT_GE(FindRect(low.vertices, W(), H(), 130, H() - 56, 220 * 0.299f, 6, kAlert), 0);
    EXPECT_LT(FindRect(low.vertices, W(), H(), 0, 0, 9, H(), kAlert), 0);  // no vignette above 25

    const Scene ok = Hud([](Scene& s) { s.player.health = 30; });
    EXPECT_EQ(FindText(ok.vertices, W(), H(), 46, H() - 88, 4.8f, kInk).text, U"30");
    EXPECT_GE(FindRect(ok.vertices, W(), H(), 22, H() - 138, 5, 112, kLime), 0);

    const Scene critical = Hud([](Scene& s) { s.player.health = 24.9f; });
    EXPECT_GE(FindRect(critical.vertices, W(), H(), 0, 0, 9, H(), {0.24f, 0.025f, 0.025f}), 0);
    EXPECT_GE(FindRect(critical.vertices, W(), H(), W() - 9, 0, 9, H(), {0.24f, 0.025f, 0.025f}), 0);

    const Scene hit = Hud([](Scene& s) {
        s.player.health = 80;
        s.overlay.damageFlash = 0.2f;
    });
    EXPECT_GE(FindRect(hit.vertices, W(), H(), 0, 0, 9, H(), kAlert), 0);

    const Scene over = Hud([](Scene& s) { s.player.health = 150; });
    EXPECT_GE(FindRect(over.vertices, W(), H(), 130, H() - 56, 220, 6, kLime), 0);

    // A maximum of 0 would divide by zero: empty, never NaN.
    const Scene broken = Hud([](Scene& s) { s.config.player_health = 0; });
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
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 130, H() - 60, 1.55f, kLime).text, U"SEMI");
    EXPECT_GE(FindRect(s.vertices, W(), H(), W() - 292, H() - 39, 145 * (1 - 0.5f / 1.65f), 5, kLime), 0);
    EXPECT_EQ(FindText(s.vertices, W(), H(), W() - 86, 67, 2.3f, kCyan).text, U"2");  // living bots

    Scene online = Make();
    online.online = true;
    online.bots = s.bots;
    online.player.weaponIndex = 2;
    online.weapon.reloading = true;
    online.weapon.reloadTimer = -1;  // a negative ratio shows the full bar
    online.Hud();
    EXPECT_EQ(FindText(online.vertices, W(), H(), W() - 86, 67, 2.3f, kCyan).text, U"4");  // remote players + 1
    EXPECT_GE(FindRect(online.vertices, W(), H(), W() - 292, H() - 39, 145, 5, kLime), 0);

    const Scene noTime = Hud([](Scene& s) {  // a reload time of 0 has no progress: the bar stays empty
        s.config.reload_seconds = 0;
        s.weapon.reloading = true;
        s.weapon.reloadTimer = 0.3f;
    });
    EXPECT_GE(FindRect(noTime.vertices, W(), H(), W() - 292, H() - 39, 0, 5, kLime), 0);
}

TEST_P(HudLayout, PauseMenuButtonsAreTheShellsClickTargets) {
    const Scene s = Hud([](Scene& menu) { menu.overlay.menuOpen = true; });
    const float cx = W() * 0.5f, cy = H() * 0.5f;
    long previous = -1;
    for (int i = 0; i < 4; ++i) {
        const long at = FindRect(s.vertices, W(), H(), cx - 280, cy - 70 + 70.0f * i, 560, 55,
                                 i == 3 ? Color3{0.105f, 0.028f, 0.035f} : Color3{0.045f, 0.073f, 0.082f});
        EXPECT_GT(at, previous) << "item " << i;
        EXPECT_EQ(FindRect(s.vertices, W(), H(), cx - 280, cy - 70 + 70.0f * i, 4, 55, i == 3 ? kAlert : kLime), at + 6);
        previous = at;
    }
    if (W() == 1280) {
        EXPECT_GE(FindRect(s.vertices, W(), H(), 360, 290, 560, 55, {0.045f, 0.073f, 0.082f}), 0);
        EXPECT_GE(FindRect(s.vertices, W(), H(), 360, 500, 560, 55, {0.105f, 0.028f, 0.035f}), 0);
    }
    // The arsenal strip hides behind the open menu.
    EXPECT_LT(FindRect(s.vertices, W(), H(), 20, 116, 365, 38, {0.018f, 0.029f, 0.04f}), 0);
}

TEST_P(HudLayout, OverlaysStackInOrder) {
    const Scene both = Hud([](Scene& s) {  // the pause menu and the shop
        Shop(s);
        s.overlay.shopStatus = "READY";
    });
    const float cx = W() * 0.5f, cy = H() * 0.5f;
    EXPECT_GE(FindRect(both.vertices, W(), H(), cx - 390, cy - 285, 780, 570, {0.019f, 0.034f, 0.046f}), 0);
    EXPECT_LT(FindRect(both.vertices, W(), H(), cx - 280, cy - 70, 560, 55, {0.045f, 0.073f, 0.082f}), 0);
    // The selected row is lit, the others are not.
    EXPECT_GE(FindRect(both.vertices, W(), H(), cx - 350, cy - 10, 700, 90, {0.035f, 0.13f, 0.155f}), 0);
    EXPECT_GE(FindRect(both.vertices, W(), H(), cx - 350, cy + 95, 4, 90, kCyan), 0);

    const Scene dead = Hud([](Scene& s) { s.player.dead = s.overlay.showPerformance = true; });
    const long cover = FindRect(dead.vertices, W(), H(), 0, 0, W(), H(), {0.075f, 0.012f, 0.016f});
    const long health = FindRect(dead.vertices, W(), H(), 22, H() - 138, 350, 112, kPanel);
    const long performance = FindRect(dead.vertices, W(), H(), 24, 110, 760, 180, kPanel);
    EXPECT_GT(cover, health);        // the death screen hides what came before
    EXPECT_GT(performance, cover);   // but not the performance panel after it

    const Scene intro = Hud([](Scene& s) { s.overlay.elapsedSeconds = 2.0f; });
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
    const test::SeenText seen = FindText(s.vertices, W(), H(), last.x, last.y, last.size / 10, last.color);
    EXPECT_GT(seen.index, previous);
    EXPECT_EQ(seen.text, AsShown(last.text));
    EXPECT_EQ(static_cast<size_t>(seen.index) + 12 * seen.text.size(), s.vertices.size());  // the very end
}

INSTANTIATE_TEST_SUITE_P(Sizes, HudLayout, testing::Values(std::make_pair(1280.0f, 720.0f),
                                                          std::make_pair(1920.0f, 1080.0f)));

}  // namespace
}  // namespace tarvo::renderer
