// The Direct3D 11 HUD: Direct2D and DirectWrite straight onto the back buffer, in its
// own pixels, after the 3D scene.
#include <cwchar>
#include <string>

#include "common/text_utils.h"
#include "gameplay/gameplay_config.h"
#include "gameplay/training_simulation.h"
#include "presentation/match_hud.h"
#include "presentation/weapon_meshes.h"
#include "renderer/d3d11/d3d11_impl.h"

namespace tarvo::renderer {

namespace {

class HudPainter {
public:
    HudPainter(ID2D1RenderTarget* target, std::vector<D3D11Renderer::Impl::DrawnText>* drawn)
        : target_(target), drawn_(drawn) {}

    void Fill(float left, float top, float right, float bottom, ID2D1Brush* brush) {
        target_->FillRectangle(D2D1::RectF(left, top, right, bottom), brush);
    }
    void Line(float x0, float y0, float x1, float y1, ID2D1Brush* brush, float stroke) {
        target_->DrawLine(D2D1::Point2F(x0, y0), D2D1::Point2F(x1, y1), brush, stroke);
    }
    // Cut at the rectangle; the formats keep their default word wrapping. Clipped
    // explicitly as well: Wine's Direct2D ignores the clip option.
    void Text(std::wstring_view text, IDWriteTextFormat* format, ID2D1SolidColorBrush* brush, float left, float top,
              float right, float bottom) {
        if (!format || text.empty()) return;
        const D2D1_RECT_F rect = D2D1::RectF(left, top, right, bottom);
        if (drawn_) drawn_->push_back({std::wstring(text), rect, brush->GetColor(), format->GetFontSize()});
        target_->PushAxisAlignedClip(rect, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
        target_->DrawText(text.data(), static_cast<UINT32>(text.size()), format, rect, brush,
                          D2D1_DRAW_TEXT_OPTIONS_CLIP, DWRITE_MEASURING_MODE_NATURAL);
        target_->PopAxisAlignedClip();
    }

private:
    ID2D1RenderTarget* target_;
    std::vector<D3D11Renderer::Impl::DrawnText>* drawn_;
};

std::wstring Number(long long value) { return std::to_wstring(value); }

// Truncated toward zero; a value no integer can hold shows as 0.
long long Whole(float value) {
    if (!(value > -1e15f && value < 1e15f)) return 0;
    return static_cast<long long>(value);
}

std::wstring Ascii(std::string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

IDWriteTextFormat* D3D11Renderer::Impl::SizedFormat(float size) {
    int slot = 1;
    if (size >= 63.0f) slot = 63;
    else if (size >= 2.0f) slot = static_cast<int>(size);
    ComPtr<IDWriteTextFormat>& format = sizedFormats[static_cast<size_t>(slot)];
    if (!format && writeFactory) {
        // Made with the first size that maps to the slot, which it then keeps.
        writeFactory->CreateTextFormat(L"Segoe UI", nullptr, DWRITE_FONT_WEIGHT_SEMI_BOLD, DWRITE_FONT_STYLE_NORMAL,
                                       DWRITE_FONT_STRETCH_NORMAL, size, L"uk-UA", &format);
    }
    return format.Get();
}

HRESULT D3D11Renderer::Impl::DrawHud(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) {
    if (!hudTarget) return S_OK;
    const float W = static_cast<float>(width);
    const float H = static_cast<float>(height);
    const float cx = W * 0.5f;
    const float cy = H * 0.5f;
    const bool uk = overlay.ukrainian;
    const bool online = simulation.onlineDriven;
    const gameplay::PlayerState& player = simulation.Player();
    const gameplay::WeaponState& gun = simulation.Weapon();
    ID2D1SolidColorBrush* text = textBrush.Get();
    ID2D1SolidColorBrush* lime = limeBrush.Get();
    ID2D1SolidColorBrush* cyan = cyanBrush.Get();
    ID2D1SolidColorBrush* panel = panelBrush.Get();
    IDWriteTextFormat* title = titleFormat.Get();
    IDWriteTextFormat* body = bodyFormat.Get();

    hudTarget->BeginDraw();
    if (drawnTexts) drawnTexts->clear();
    HudPainter paint(hudTarget.Get(), drawnTexts);

    // Corner panels and their icons.
    paint.Fill(20, 20, 450, 96, panel);
    paint.Fill(W - 360, 20, W - 20, 114, panel);
    paint.Fill(20, H - 138, 370, H - 26, panel);
    paint.Fill(W - 370, H - 138, W - 20, H - 26, panel);
    paint.Line(44, H - 107, 68, H - 107, lime, 5);
    paint.Line(56, H - 119, 56, H - 95, lime, 5);
    hudTarget->DrawRectangle(D2D1::RectF(W - 344, H - 118, W - 319, H - 87), cyan, 2);

    const int map = simulation.mapIndex;
    const std::wstring mapName =
        map >= 0 && map < static_cast<int>(gameplay::MatchMapNames.size()) ? Ascii(gameplay::MatchMapNames[map]) : L"?";
    paint.Text(mapName, title, text, 42, 30, 192, 78);
    const wchar_t* mode = online ? L"ONLINE / UNRANKED" : uk ? L"ТРЕНУВАННЯ / OFFLINE" : L"BOT TRAINING / OFFLINE";
    paint.Text(mode, body, cyan, 175, 42, 425, 80);

    const long long opponents = online ? static_cast<long long>(simulation.Bots().size()) + 1 : simulation.BotsAlive();
    const std::wstring score = L"K " + Number(player.kills) + L"    D " + Number(player.deaths) + L"    " +
                               (online ? L"PLAYERS " : uk ? L"БОТИ " : L"TARGETS ") + Number(opponents);
    paint.Text(score, body, text, W - 338, 38, W - 28, 83);

    const std::wstring health = (uk ? L"ЗДОРОВ'Я " : L"HEALTH ") + Number(Whole(player.health));
    paint.Text(health, title, player.health < 30.0f ? lime : text, 42, H - 112, 332, H - 57);
    const std::wstring ammo = (uk ? L"ГВИНТІВКА  " : L"RIFLE  ") + Number(gun.magazine) + L" / " +
                              Number(gun.reserve) + L"   " +
                              (gun.fireMode == gameplay::FireMode::Automatic ? L"AUTO" : L"SEMI");
    paint.Text(ammo, title, text, W - 307, H - 112, W - 34, H - 57);
    if (gun.reloading) paint.Text(uk ? L"ПЕРЕЗАРЯДКА" : L"RELOADING", body, cyan, W - 205, H - 61, W - 40, H - 31);

    paint.Line(cx - 22, cy, cx - 7, cy, text, 2);
    paint.Line(cx + 7, cy, cx + 22, cy, text, 2);
    paint.Line(cx, cy - 22, cx, cy - 7, text, 2);
    paint.Line(cx, cy + 7, cx, cy + 22, text, 2);

    if (overlay.showPerformance) {
        paint.Fill(20, 112, 550, 257, panel);
        const std::wstring line = L"FPS " + Number(Whole(overlay.fps)) + L"   FRAME " +
                                  Number(Whole(overlay.frameTimeMs)) + L" ms\nRENDERER DIRECT3D 11\nGPU " + deviceName +
                                  L"\nPOS " + Number(Whole(player.position.x)) + L" " +
                                  Number(Whole(player.position.y)) + L" " + Number(Whole(player.position.z)) +
                                  L"   BOTS " + Number(simulation.BotsAlive());
        paint.Text(line, body, lime, 40, 125, 530, 250);
    }

    if (online && !overlay.menuOpen) {
        paint.Fill(20, 116, 385, 154, panel);
        paint.Text(L"F2 / ARSENAL   " + Number(overlay.coins) + L" COINS", body, cyan, 34, 121, 379, 151);
    }

    if (overlay.arsenalOpen) {
        paint.Fill(0, 0, W, H, panel);
        paint.Fill(cx - 390, cy - 285, cx + 390, cy + 285, panel);
        paint.Text(uk ? L"АРСЕНАЛ / ONLINE" : L"ARSENAL / ONLINE", title, text, cx - 350, cy - 258, cx + 150,
                   cy - 214);
        paint.Text(Number(overlay.coins) + L" COINS", body, lime, cx + 160, cy - 252, cx + 350, cy - 214);
        paint.Text(uk ? L"+50 монет за знешкодження онлайн-суперника" : L"+50 coins per eligible online kill", body,
                   cyan, cx - 350, cy - 204, cx + 350, cy - 172);
        paint.Text(uk ? L"На базі: одна зміна зброї за життя" : L"At base: one weapon change per life", body, text,
                   cx - 350, cy - 172, cx + 350, cy - 140);
        paint.Text(uk ? L"До 5 винагород за одного суперника / 10 хв" : L"Up to 5 rewards per opponent / 10 min", body,
                   text, cx - 350, cy - 143, cx + 350, cy - 115);
        for (uint32_t i = 0; i < 3; ++i) {
            const presentation::ArsenalEntry& entry = presentation::Arsenal[i];
            const float t = cy - 115 + 105.0f * static_cast<float>(i);
            paint.Fill(cx - 350, t, cx + 350, t + 90, panel);
            paint.Text(Number(i + 1) + L" / " + Ascii(entry.name), title, text, cx - 330, t + 8, cx + 90, t + 46);
            paint.Text(Ascii(entry.description), body, cyan, cx - 330, t + 50, cx + 110, t + 80);
            const std::wstring state = i == overlay.selectedWeapon                ? std::wstring(L"EQUIPPED")
                                       : (overlay.ownedWeaponMask >> i) & 1u ? std::wstring(L"EQUIP")
                                                                              : L"BUY / " + Number(entry.price);
            paint.Text(state, body, lime, cx + 145, t + 26, cx + 325, t + 64);
        }
        paint.Text(distribution::Utf8ToWide(presentation::ShopMessage(overlay.shopStatus, uk)), body, text, cx - 350,
                   cy + 216, cx + 350, cy + 250);
        paint.Text(L"ESC / F2 — CLOSE   /   MATCH CONTINUES", body, cyan, cx - 350, cy + 253, cx + 350, cy + 283);
    } else if (overlay.menuOpen) {
        paint.Fill(cx - 340, cy - 250, cx + 340, cy + 250, panel);
        paint.Text(online ? L"MENU / MATCH CONTINUES" : uk ? L"ТРЕНУВАННЯ ПРИЗУПИНЕНО" : L"TRAINING SUSPENDED", title,
                   text, cx - 295, cy - 205, cx + 295, cy - 140);
        const wchar_t* choices = online ? L"ESC — CONTINUE\nMATCH CONTINUES ON SERVER\nENTER — EXIT TO MENU"
                                 : uk   ? L"ESC — ПРОДОВЖИТИ\nR — ПОЧАТИ ЗНОВУ\nENTER — ВИЙТИ В МЕНЮ"
                                        : L"ESC — CONTINUE\nR — RESTART\nENTER — EXIT TO MENU";
        paint.Text(choices, title, cyan, cx - 245, cy - 105, cx + 245, cy + 85);
    }

    const presentation::MatchHudLayout layout = presentation::BuildMatchHud(overlay, W, H);
    for (const presentation::MatchHudRect& r : layout.rects) {
        text->SetColor(D2D1::ColorF(r.color.r, r.color.g, r.color.b, 1.0f));
        paint.Fill(r.x, r.y, r.x + r.width, r.y + r.height, text);
    }
    for (const presentation::MatchHudText& t : layout.texts) {
        IDWriteTextFormat* format = SizedFormat(t.size);
        if (!format) continue;
        text->SetColor(D2D1::ColorF(t.color.r, t.color.g, t.color.b, 1.0f));
        paint.Text(distribution::Utf8ToWide(t.text), format, text, t.x, t.y, t.x + 700, t.y + t.size * 1.5f);
    }
    text->SetColor(D2D1::ColorF(0.94f, 0.96f, 0.98f, 1.0f));

    return hudTarget->EndDraw();
}

}  // namespace tarvo::renderer
