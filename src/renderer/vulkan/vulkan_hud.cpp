#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "gameplay/training_simulation.h"
#include "presentation/hud_panels.h"
#include "presentation/match_hud.h"
#include "presentation/weapon_meshes.h"
#include "renderer/vulkan/vulkan_frame_geometry.h"

namespace tarvo::renderer {

using gameplay::Color3;

namespace {

constexpr Color3 kInk = presentation::HudInk;
constexpr Color3 kLime = presentation::HudLime;
constexpr Color3 kCyan = presentation::HudCyan;
constexpr Color3 kAlert = presentation::HudAlert;
constexpr Color3 kSteel = presentation::HudSteel;
constexpr Color3 kPanel = presentation::HudPanel;

std::string Decimal(long long value) { return std::to_string(value); }

// Whole part of a float for on-screen figures; NaN and overflow show as 0.
long long Truncated(float value) {
    if (!std::isfinite(value) || std::fabs(value) > 9.0e15f) return 0;
    return static_cast<long long>(value);
}

void Frame(GeometryBuilder& b, float x, float y, float w, float h, float t, Color3 colour) {
    b.HudRect(x, y, w, t, colour);
    b.HudRect(x, y + h - t, w, t, colour);
    b.HudRect(x, y, t, h, colour);
    b.HudRect(x + w - t, y, t, h, colour);
}

// Each text at its size, or smaller when wider than its room: the glyph atlas measures.
void AppendPanel(GeometryBuilder& b, const presentation::PanelLayout& panel) {
    for (const presentation::PanelItem& item : panel.items) {
        if (const auto* r = std::get_if<presentation::MatchHudRect>(&item)) {
            b.HudRect(r->x, r->y, r->width, r->height, r->color);
            continue;
        }
        const presentation::PanelText& t = std::get<presentation::PanelText>(item);
        const float size = t.size / 10.0f;
        const float natural = GeometryBuilder::HudTextWidth(t.text, size);
        const float s = natural > t.width ? size * t.width / natural : size;
        const float x = t.centred ? t.x - 0.5f * GeometryBuilder::HudTextWidth(t.text, s) : t.x;
        b.HudText(t.text, x, t.y, s, t.color);
    }
}

}  // namespace

void AppendVulkanHud(GeometryBuilder& b, const gameplay::TrainingSimulation& sim, const RenderOverlay& overlay,
                     const VulkanFrameAssets& assets) {
    const float W = b.width;
    const float H = b.height;
    const float cx = W * 0.5f;
    const float cy = H * 0.5f;
    const bool online = sim.onlineDriven;
    const bool ukr = overlay.ukrainian;
    const auto pick = [ukr](const char* uk, const char* en) { return ukr ? uk : en; };
    const gameplay::PlayerState& player = sim.Player();
    const gameplay::WeaponState& weapon = sim.Weapon();
    const float health = player.health;
    const int map = sim.mapIndex;

    const std::string healthText = Decimal(Truncated(health));
    const std::string ammoText = Decimal(weapon.magazine) + " / " + Decimal(weapon.reserve);
    const std::string killsText = Decimal(player.kills);
    const std::string deathsText = Decimal(player.deaths);
    const std::string countText = Decimal(online ? static_cast<long long>(sim.Bots().size()) + 1 : sim.BotsAlive());
    const std::string mapName =
        map >= 0 && map < 3 ? std::string(gameplay::MatchMapNames[static_cast<size_t>(map)]) : std::string("?");

    // 1. Mission banner.
    b.HudRect(22, 22, 360, 72, kPanel);
    b.HudRect(22, 22, 5, 72, kLime);
    b.HudText(mapName, 44, 38, 2.7f, kInk);
    b.HudText(online ? "ONLINE / UNRANKED" : pick("ТРЕНУВАННЯ / OFFLINE", "BOT TRAINING / OFFLINE"), 178, 43, 1.65f,
              kCyan);

    // 2. Sector line.
    b.HudLine(cx - 145, 35, cx + 145, 35, 2, kSteel);
    b.HudText(pick("СЕКТОР C / БОЙОВА ЗОНА", "SECTOR C / LIVE FIRE"), cx - 155, 48, 1.6f, kInk);

    // 3. Score panel.
    b.HudRect(W - 346, 22, 324, 82, kPanel);
    Frame(b, W - 346, 22, 324, 82, 1.2f, kSteel);
    b.HudText("K", W - 321, 40, 1.5f, kSteel);
    b.HudText(killsText, W - 294, 34, 3.2f, kInk);
    b.HudText("D", W - 230, 40, 1.5f, kSteel);
    b.HudText(deathsText, W - 203, 34, 3.2f, kInk);
    b.HudText(online ? pick("ГРАВЦІ", "PLAYERS") : pick("БОТИ", "TARGETS"), W - 135, 39, 1.3f, kSteel);
    b.HudText(countText, W - 86, 67, 2.3f, kCyan);

    // 4. Crosshair.
    b.HudLine(cx - 23, cy, cx - 8, cy, 2, kInk);
    b.HudLine(cx + 8, cy, cx + 23, cy, 2, kInk);
    b.HudLine(cx, cy - 23, cx, cy - 8, 2, kInk);
    b.HudLine(cx, cy + 8, cx, cy + 23, 2, kInk);
    b.HudRect(cx - 1.6f, cy - 1.6f, 3.2f, 3.2f, kLime);

    // 5. Hit marker.
    if (overlay.hitMarker > 0) {
        b.HudLine(cx - 18, cy - 18, cx - 10, cy - 10, 3, kLime);
        b.HudLine(cx + 18, cy - 18, cx + 10, cy - 10, 3, kLime);
        b.HudLine(cx - 18, cy + 18, cx - 10, cy + 10, 3, kLime);
        b.HudLine(cx + 18, cy + 18, cx + 10, cy + 10, 3, kLime);
    }

    // 6. Kill confirmation.
    if (overlay.killConfirm > 0) {
        b.HudLine(cx - 76, cy + 49, cx + 76, cy + 49, 2, kLime);
        b.HudText(pick("ЦІЛЬ ЗНЕШКОДЖЕНО", "TARGET NEUTRALIZED"), cx - 145, cy + 61, 2.05f, kLime);
    }

    // 7. First-person arms and weapon, between the upper and lower HUD.
    b.ImportedViewmodel(presentation::FirstPersonGripArms(), player.distanceTravelled, overlay.muzzleFlash,
                        overlay.aimBlend);
    const float ox = W * 0.66f + 3.0f * std::sin(overlay.elapsedSeconds * 2.2f);
    const float oy = H - 28;
    if (assets.weapon.Ready()) {
        b.ImportedViewmodel(presentation::ArsenalMesh(player.weaponIndex, assets.weapon.Vertices()),
                            player.distanceTravelled, overlay.muzzleFlash, overlay.aimBlend);
    } else {
        b.HudQuad(ox + 60, oy - 108, ox + 310, oy - 148, ox + 330, oy - 94, ox + 92, oy - 50,
                  {0.095f, 0.125f, 0.135f});
        b.HudQuad(ox + 110, oy - 148, ox + 264, oy - 174, ox + 282, oy - 142, ox + 125, oy - 113,
                  {0.175f, 0.205f, 0.215f});
        b.HudQuad(ox + 280, oy - 157, ox + 410, oy - 174, ox + 414, oy - 158, ox + 284, oy - 137,
                  {0.075f, 0.095f, 0.1f});
    }
    if (overlay.muzzleFlash > 0) {
        b.HudQuad(ox + 410, oy - 181, ox + 468, oy - 163, ox + 420, oy - 145, ox + 398, oy - 159, kLime);
        b.HudLine(ox + 412, oy - 164, ox + 470, oy - 189, 4, kInk);
    }

    // 8. Health panel.
    const bool low = health < 30;
    const Color3 lowColour = low ? kAlert : kLime;
    b.HudRect(22, H - 138, 350, 112, kPanel);
    b.HudRect(22, H - 138, 350, 1.5f, kSteel);
    b.HudRect(22, H - 27.5f, 350, 1.5f, kSteel);
    b.HudRect(22, H - 138, 1.5f, 112, kSteel);
    b.HudRect(370.5f, H - 138, 1.5f, 112, kSteel);
    b.HudRect(22, H - 138, 5, 112, lowColour);
    b.HudLine(45, H - 109, 67, H - 109, 5, lowColour);
    b.HudLine(56, H - 120, 56, H - 98, 5, lowColour);
    b.HudText(pick("ЗДОРОВ'Я", "HEALTH"), 82, H - 121, 1.55f, kSteel);
    b.HudText(healthText, 46, H - 88, 4.8f, low ? kAlert : kInk);
    b.HudRect(130, H - 56, 220, 6, {0.08f, 0.105f, 0.11f});
    {
        // A non-positive configured maximum would divide by zero: the bar is then empty.
        const float full = sim.Config().player_health;
        float f = full > 0 ? health / full : 0.0f;
        if (!(f > 0)) f = 0;  // negative or NaN
        b.HudRect(130, H - 56, 220 * std::min(f, 1.0f), 6, lowColour);
    }

    // 9. Ammo panel.
    b.HudRect(W - 352, H - 138, 330, 112, kPanel);
    b.HudRect(W - 352, H - 138, 330, 1.5f, kSteel);
    b.HudRect(W - 352, H - 27.5f, 330, 1.5f, kSteel);
    b.HudRect(W - 352, H - 138, 1.5f, 112, kSteel);
    b.HudRect(W - 23.5f, H - 138, 1.5f, 112, kSteel);
    b.HudRect(W - 27, H - 138, 5, 112, kCyan);
    b.HudRect(W - 330, H - 120, 25, 2, kCyan);
    b.HudRect(W - 330, H - 91, 25, 2, kCyan);
    b.HudRect(W - 330, H - 120, 2, 31, kCyan);
    b.HudRect(W - 307, H - 120, 2, 31, kCyan);
    b.HudText(ammoText, W - 292, H - 115, 3.8f, kInk);
    if (!weapon.reloading) {
        b.HudText(presentation::Arsenal[std::clamp(player.weaponIndex, 0, 2)].name, W - 292, H - 60, 1.6f, kCyan);
    }
    b.HudText(weapon.fireMode == gameplay::FireMode::Automatic ? "AUTO" : "SEMI", W - 130, H - 60, 1.55f, kLime);
    if (weapon.reloading) {
        b.HudText(pick("ПЕРЕЗАРЯДКА", "RELOADING"), W - 292, H - 60, 1.35f, kCyan);
        b.HudRect(W - 292, H - 39, 145, 5, {0.015f, 0.27f, 0.34f});
        const float reloadTime = player.weaponIndex == 1   ? 1.35f
                                 : player.weaponIndex == 2 ? 2.0f
                                                           : sim.Config().reload_seconds;
        // A reload time of 0 or less has no progress to show: the bar stays empty.
        float fill = 0.0f;
        if (reloadTime > 0) {
            float r = weapon.reloadTimer / reloadTime;
            if (std::isnan(r)) r = 1.0f;
            fill = 1.0f - std::clamp(r, 0.0f, 1.0f);
        }
        b.HudRect(W - 292, H - 39, 145 * fill, 5, kLime);
    }

    // 10. Damage vignette.
    if (overlay.damageFlash > 0 || health < 25) {
        const Color3 edge = overlay.damageFlash > 0 ? kAlert : Color3{0.24f, 0.025f, 0.025f};
        b.HudRect(0, 0, 9, H, edge);
        b.HudRect(W - 9, 0, 9, H, edge);
        b.HudText(health < 25 ? pick("КРИТИЧНО", "CRITICAL") : pick("УДАР", "IMPACT"), cx - 70, H - 74, 1.9f, kAlert);
    }

    // 11. Intro card.
    if (overlay.elapsedSeconds < 2.1f) {
        const float y0 = H * 0.69f;
        b.HudRect(cx - 250, y0, 500, 73, kPanel);
        b.HudRect(cx - 250, y0, 5, 73, kLime);
        b.HudText(pick("ZE001 / ГОТОВО ДО БОЮ", "ZE001 / COMBAT READY"), cx - 196, y0 + 18, 2.8f, kInk);
        b.HudText(pick("ЛОКАЛЬНЕ ТРЕНУВАННЯ", "LOCAL TRAINING ENVIRONMENT"), cx - 171, y0 + 51, 1.45f, kCyan);
    }

    // 12. Death screen.
    if (player.dead) {
        b.HudRect(0, 0, W, H, {0.075f, 0.012f, 0.016f});
        b.HudLine(cx - 300, cy - 88, cx + 300, cy - 88, 2, kAlert);
        b.HudText(pick("ОПЕРАТОР ЗАГИНУВ", "OPERATOR DOWN"), cx - 245, cy - 52, 6.0f, kInk);
        b.HudText(pick("ПОВЕРНЕННЯ В БІЙ", "REDEPLOYMENT IN PROGRESS"), cx - 174, cy + 25, 2.05f, kLime);
        b.HudLine(cx - 300, cy + 68, cx + 300, cy + 68, 2, kAlert);
    }

    const std::string coinsText = Decimal(overlay.coins) + " COINS";

    // 13. Arsenal strip.
    if (online && !overlay.menuOpen) {
        b.HudRect(20, 116, 365, 38, {0.018f, 0.029f, 0.04f});
        b.HudText(std::string("F2 / ") + pick("АРСЕНАЛ", "ARSENAL") + "   " + coinsText, 34, 123, 1.8f, kCyan);
    }

    // 14. Arsenal window; 15. pause menu, whose rows are the shell's click targets.
    if (overlay.arsenalOpen) {
        const presentation::ArsenalState shop{overlay.coins, overlay.ownedWeaponMask, overlay.selectedWeapon,
                                              overlay.shopStatus};
        AppendPanel(b, presentation::BuildArsenalPanel(shop, ukr, W, H));
    } else if (overlay.menuOpen) {
        AppendPanel(b, presentation::BuildPausePanel(online, ukr, map, W, H));
    }

    // 16. Performance panel.
    if (overlay.showPerformance) {
        b.HudRect(24, 110, 760, 180, kPanel);
        b.HudText("FPS " + Decimal(Truncated(overlay.fps)), 42, 126, 2.1f, kLime);
        b.HudText("FRAME " + Decimal(Truncated(overlay.frameTimeMs)) + " MS", 42, 158, 2.1f, kCyan);
        b.HudText("POS " + Decimal(Truncated(player.position.x)) + " " + Decimal(Truncated(player.position.y)) + " " +
                      Decimal(Truncated(player.position.z)),
                  42, 190, 1.7f, kInk);
        b.HudText("RENDERER VULKAN", 42, 218, 1.7f, kLime);
        b.HudText((online ? "PLAYERS " : "BOTS ") + Decimal(sim.BotsAlive()), 360, 218, 1.7f, kInk);
        std::string device;
        device.reserve(overlay.deviceName.size());
        for (wchar_t unit : overlay.deviceName) device.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
        b.HudText("GPU " + device, 42, 248, 1.45f, kCyan);
    }

    // 17. Match HUD, over everything above.
    const presentation::MatchHudLayout layout = presentation::BuildMatchHud(overlay, W, H);
    for (const presentation::MatchHudRect& r : layout.rects) b.HudRect(r.x, r.y, r.width, r.height, r.color);
    for (const presentation::MatchHudText& t : layout.texts) b.HudText(t.text, t.x, t.y, t.size / 10.0f, t.color);
}

}  // namespace tarvo::renderer
