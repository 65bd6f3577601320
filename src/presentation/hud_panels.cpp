#include "presentation/hud_panels.h"

#include "gameplay/gameplay_config.h"
#include "presentation/weapon_meshes.h"

namespace tarvo::presentation {
namespace {

using gameplay::Color3;

class Builder {
public:
    explicit Builder(PanelLayout& panel) : panel(panel) {}
    void Rect(float x, float y, float w, float h, Color3 color) { panel.items.emplace_back(MatchHudRect{x, y, w, h, color}); }
    void Rect(const MatchHudRect& rect) { panel.items.emplace_back(rect); }
    void Frame(float x, float y, float w, float h, float t, Color3 color) {
        Rect(x, y, w, t, color);
        Rect(x, y + h - t, w, t, color);
        Rect(x, y, t, h, color);
        Rect(x + w - t, y, t, h, color);
    }
    void Text(std::string text, float x, float y, float size, float width, Color3 color) {
        panel.items.emplace_back(PanelText{std::move(text), x, y, size, width, false, color});
    }
    void Centred(std::string text, float cx, float y, float size, float width, Color3 color) {
        panel.items.emplace_back(PanelText{std::move(text), cx, y, size, width, true, color});
    }

private:
    PanelLayout& panel;
};

}  // namespace

MatchHudRect PauseMenuRow(float width, float height, int row) {
    const float top = height * 0.5f - 70.0f + 70.0f * static_cast<float>(row);
    return {width * 0.5f - 280.0f, top, 560.0f, 55.0f,
            row == 3 ? Color3{0.105f, 0.028f, 0.035f} : Color3{0.045f, 0.073f, 0.082f}};
}

MatchHudRect ArsenalRow(float width, float height, int row) {
    return {width * 0.5f - 350.0f, height * 0.5f - 115.0f + 105.0f * static_cast<float>(row), 700.0f, 90.0f, {}};
}

PanelLayout BuildPausePanel(bool online, bool ukrainian, int map, float width, float height) {
    const auto pick = [ukrainian](const char* uk, const char* en) { return ukrainian ? uk : en; };
    const float cx = width * 0.5f;
    const float cy = height * 0.5f;
    PanelLayout panel;
    Builder b(panel);
    b.Rect(0, 0, width, height, {0.012f, 0.018f, 0.025f});
    b.Rect(cx - 350, cy - 270, 700, 545, {0.012f, 0.024f, 0.029f});
    b.Frame(cx - 350, cy - 270, 700, 545, 2, HudSteel);
    b.Rect(cx - 350, cy - 270, 8, 545, HudLime);
    b.Centred(online ? pick("МЕНЮ / МАТЧ ТРИВАЄ", "MENU / MATCH CONTINUES")
                     : pick("ТРЕНУВАННЯ ПРИЗУПИНЕНО", "TRAINING SUSPENDED"),
              cx, cy - 220, 35, 600, HudInk);
    const std::string mapName = map >= 0 && map < static_cast<int>(gameplay::MatchMapNames.size())
                                    ? std::string(gameplay::MatchMapNames[static_cast<size_t>(map)])
                                    : std::string("?");
    b.Text(online ? mapName + " / ONLINE TEST" : pick("ZE001 / ЛОКАЛЬНА СЕСІЯ", "ZE001 / LOCAL SESSION"), cx - 145,
           cy - 174, 15.5f, 475, HudCyan);
    const char* labels[4] = {
        pick("ПРОДОВЖИТИ", "CONTINUE"),
        online ? pick("АРСЕНАЛ / МОНЕТИ", "ARSENAL / COINS") : pick("ПОЧАТИ ТРЕНУВАННЯ ЗНОВУ", "RESTART TRAINING"),
        pick("НАЛАШТУВАННЯ", "SETTINGS"),
        pick("ВИЙТИ В ГОЛОВНЕ МЕНЮ", "EXIT TO MAIN MENU"),
    };
    const Color3 colours[4] = {HudInk, online ? HudCyan : HudInk, HudCyan, HudLime};
    for (int i = 0; i < 4; ++i) {
        const MatchHudRect row = PauseMenuRow(width, height, i);
        b.Rect(row);
        b.Rect(row.x, row.y, 4, row.height, i == 3 ? HudAlert : HudLime);
        b.Centred(labels[i], cx, row.y + 10, 27, 510, colours[i]);
    }
    b.Text(pick("ESC ПРОДОВЖИТИ / ENTER ВИЙТИ", "ESC RESUME / ENTER EXIT"), cx - 155, cy + 228, 13.5f, 485, HudSteel);
    return panel;
}

PanelLayout BuildArsenalPanel(const ArsenalState& state, bool ukrainian, float width, float height) {
    const auto pick = [ukrainian](const char* uk, const char* en) { return ukrainian ? uk : en; };
    const float cx = width * 0.5f;
    const float cy = height * 0.5f;
    PanelLayout panel;
    Builder b(panel);
    b.Rect(0, 0, width, height, {0.009f, 0.015f, 0.024f});
    b.Rect(cx - 390, cy - 285, 780, 570, {0.019f, 0.034f, 0.046f});
    b.Frame(cx - 390, cy - 285, 780, 570, 2, HudCyan);
    b.Text(pick("АРСЕНАЛ / ONLINE", "ARSENAL / ONLINE"), cx - 350, cy - 258, 30, 500, HudInk);
    b.Text(std::to_string(state.coins) + " COINS", cx + 160, cy - 252, 23, 210, HudLime);
    b.Text(pick("+50 монет за знешкодження онлайн-суперника", "+50 coins per eligible online kill"), cx - 350,
           cy - 204, 18, 700, HudCyan);
    b.Text(pick("На базі: одна зміна зброї за життя", "At base: one weapon change per life"), cx - 350, cy - 172, 17,
           700, HudSteel);
    b.Text(pick("До 5 винагород за одного суперника / 10 хв", "Up to 5 rewards per opponent / 10 min"), cx - 350,
           cy - 143, 16, 700, HudSteel);
    for (int i = 0; i < 3; ++i) {
        const ArsenalEntry& entry = Arsenal[i];
        MatchHudRect row = ArsenalRow(width, height, i);
        const bool selected = static_cast<uint32_t>(i) == state.selectedWeapon;
        const bool owned = (state.ownedWeaponMask >> i) & 1u;
        row.color = {0.035f, selected ? 0.13f : 0.058f, selected ? 0.155f : 0.077f};
        b.Rect(row);
        b.Rect(row.x, row.y, 4, row.height, selected ? HudLime : HudCyan);
        b.Text(std::to_string(i + 1) + " / " + entry.name, cx - 330, row.y + 10, 24, 460, HudInk);
        b.Text(entry.description, cx - 330, row.y + 49, 16, 460, HudSteel);
        b.Text(selected ? pick("СПОРЯДЖЕНО", "EQUIPPED")
               : owned  ? pick("ОБРАТИ", "EQUIP")
                        : "BUY / " + std::to_string(entry.price),
               cx + 145, row.y + 28, 19, 210, selected ? HudLime : HudCyan);
    }
    b.Text(ShopMessage(std::string(state.shopStatus), ukrainian), cx - 350, cy + 216, 17, 700, HudInk);
    b.Text(pick("ESC / F2 — ЗАКРИТИ   /   МАТЧ ТРИВАЄ", "ESC / F2 — CLOSE   /   MATCH CONTINUES"), cx - 350, cy + 253,
           16, 700, HudSteel);
    return panel;
}

}  // namespace tarvo::presentation
