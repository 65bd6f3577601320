#include "presentation/hud_panels.h"

#include <utility>

#include "gameplay/gameplay_config.h"
#include "presentation/weapon_meshes.h"

namespace tarvo::presentation {
namespace {

using gameplay::Color3;

class Builder {
public:
    Builder(bool ukrainian, float width, float height)
        : cx(width * 0.5f), cy(height * 0.5f), ukrainian(ukrainian), width(width), height(height) {}
    PanelLayout Done() { return std::move(panel); }
    const char* Pick(const char* uk, const char* en) const { return ukrainian ? uk : en; }
    // The whole frame, then the window (left, top, w, h) over it, framed.
    void Window(float left, float top, float w, float h, Color3 screen, Color3 fill, Color3 frame) {
        Rect(0, 0, width, height, screen);
        Rect(left, top, w, h, fill);
        Frame(left, top, w, h, 2, frame);
    }
    void Rect(float x, float y, float w, float h, Color3 color) {
        panel.items.emplace_back(MatchHudRect{x, y, w, h, color});
    }
    void Rect(const MatchHudRect& rect) { panel.items.emplace_back(rect); }
    void Frame(float x, float y, float w, float h, float t, Color3 color) {
        Rect(x, y, w, t, color);
        Rect(x, y + h - t, w, t, color);
        Rect(x, y, t, h, color);
        Rect(x + w - t, y, t, h, color);
    }
    void Text(std::string text, float x, float y, float size, float room, Color3 color) {
        panel.items.emplace_back(PanelText{std::move(text), x, y, size, room, false, color});
    }
    void Centred(std::string text, float centre, float y, float size, float room, Color3 color) {
        panel.items.emplace_back(PanelText{std::move(text), centre, y, size, room, true, color});
    }

    const float cx;
    const float cy;

private:
    PanelLayout panel;
    bool ukrainian;
    float width;
    float height;
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
    Builder b(ukrainian, width, height);
    const float cx = b.cx;
    const float cy = b.cy;
    b.Window(cx - 350, cy - 270, 700, 545, {0.012f, 0.018f, 0.025f}, {0.012f, 0.024f, 0.029f}, HudSteel);
    b.Rect(cx - 350, cy - 270, 8, 545, HudLime);
    b.Centred(online ? b.Pick("МЕНЮ / МАТЧ ТРИВАЄ", "MENU / MATCH CONTINUES")
                     : b.Pick("ТРЕНУВАННЯ ПРИЗУПИНЕНО", "TRAINING SUSPENDED"),
              cx, cy - 220, 35, 600, HudInk);
    const std::string mapName = map >= 0 && map < static_cast<int>(gameplay::MatchMapNames.size())
                                    ? std::string(gameplay::MatchMapNames[static_cast<size_t>(map)])
                                    : std::string("?");
    b.Text(online ? mapName + " / ONLINE TEST" : b.Pick("ZE001 / ЛОКАЛЬНА СЕСІЯ", "ZE001 / LOCAL SESSION"),
           cx - 145, cy - 174, 15.5f, 475, HudCyan);
    const char* labels[4] = {
        b.Pick("ПРОДОВЖИТИ", "CONTINUE"),
        online ? b.Pick("АРСЕНАЛ / МОНЕТИ", "ARSENAL / COINS")
               : b.Pick("ПОЧАТИ ТРЕНУВАННЯ ЗНОВУ", "RESTART TRAINING"),
        b.Pick("НАЛАШТУВАННЯ", "SETTINGS"),
        b.Pick("ВИЙТИ В ГОЛОВНЕ МЕНЮ", "EXIT TO MAIN MENU"),
    };
    const Color3 colours[4] = {HudInk, online ? HudCyan : HudInk, HudCyan, HudLime};
    for (int i = 0; i < 4; ++i) {
        const MatchHudRect row = PauseMenuRow(width, height, i);
        b.Rect(row);
        b.Rect(row.x, row.y, 4, row.height, i == 3 ? HudAlert : HudLime);
        b.Centred(labels[i], cx, row.y + 10, 27, 510, colours[i]);
    }
    b.Text(b.Pick("ESC ПРОДОВЖИТИ / ENTER ВИЙТИ", "ESC RESUME / ENTER EXIT"), cx - 155, cy + 228, 13.5f, 485,
           HudSteel);
    return b.Done();
}

PanelLayout BuildArsenalPanel(const ArsenalState& state, bool ukrainian, float width, float height) {
    Builder b(ukrainian, width, height);
    const float cx = b.cx;
    const float cy = b.cy;
    b.Window(cx - 390, cy - 285, 780, 570, {0.009f, 0.015f, 0.024f}, {0.019f, 0.034f, 0.046f}, HudCyan);
    b.Text(b.Pick("АРСЕНАЛ / ONLINE", "ARSENAL / ONLINE"), cx - 350, cy - 258, 30, 500, HudInk);
    b.Text(std::to_string(state.coins) + " COINS", cx + 160, cy - 252, 23, 210, HudLime);
    b.Text(b.Pick("+50 монет за знешкодження онлайн-суперника", "+50 coins per eligible online kill"), cx - 350,
           cy - 204, 18, 700, HudCyan);
    b.Text(b.Pick("На базі: одна зміна зброї за життя", "At base: one weapon change per life"), cx - 350,
           cy - 172, 17, 700, HudSteel);
    b.Text(b.Pick("До 5 винагород за одного суперника / 10 хв", "Up to 5 rewards per opponent / 10 min"), cx - 350,
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
        b.Text(selected ? b.Pick("СПОРЯДЖЕНО", "EQUIPPED")
               : owned  ? b.Pick("ОБРАТИ", "EQUIP")
                        : "BUY / " + std::to_string(entry.price),
               cx + 145, row.y + 28, 19, 210, selected ? HudLime : HudCyan);
    }
    b.Text(ShopMessage(std::string(state.shopStatus), ukrainian), cx - 350, cy + 216, 17, 700, HudInk);
    b.Text(b.Pick("ESC / F2 — ЗАКРИТИ   /   МАТЧ ТРИВАЄ", "ESC / F2 — CLOSE   /   MATCH CONTINUES"), cx - 350,
           cy + 253, 16, 700, HudSteel);
    return b.Done();
}

}  // namespace tarvo::presentation
