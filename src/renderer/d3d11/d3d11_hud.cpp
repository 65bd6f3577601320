// The Direct3D 11 HUD: Direct2D and DirectWrite straight onto the back buffer, in its
// own pixels, after the 3D scene.
#include <cwchar>
#include <string>

#include "common/text_utils.h"
#include "gameplay/gameplay_config.h"
#include "gameplay/training_simulation.h"
#include "presentation/hud_panels.h"
#include "presentation/match_hud.h"
#include "renderer/d3d11/d3d11_impl.h"

namespace tarvo::renderer {

namespace {

class HudPainter {
public:
    HudPainter(ID2D1RenderTarget* target, IDWriteFactory* factory, std::vector<D3D11Renderer::Impl::DrawnText>* drawn)
        : target_(target), text_{target, factory, drawn} {}

    void Fill(float left, float top, float right, float bottom, ID2D1Brush* brush) {
        target_->FillRectangle(D2D1::RectF(left, top, right, bottom), brush);
    }
    void Line(float x0, float y0, float x1, float y1, ID2D1Brush* brush, float stroke) {
        target_->DrawLine(D2D1::Point2F(x0, y0), D2D1::Point2F(x1, y1), brush, stroke);
    }
    // On one line, made smaller where it would not fit across its rectangle.
    void Text(std::wstring_view text, IDWriteTextFormat* format, ID2D1SolidColorBrush* brush, float left, float top,
              float right, float bottom) {
        text_.OneLine(text, format, D2D1::RectF(left, top, right, bottom), brush);
    }
    void Panel(const presentation::PanelLayout& panel, ID2D1SolidColorBrush* brush) { text_.Panel(panel, brush); }

private:
    ID2D1RenderTarget* target_;
    D2DText text_;
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
    HudPainter paint(hudTarget.Get(), writeFactory.Get(), drawnTexts);

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
    // Right of the cross.
    paint.Text(health, title, player.health < 30.0f ? lime : text, 76, H - 112, 332, H - 57);
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

    // The same panels as the other painters, their rows where the clicks land.
    if (overlay.arsenalOpen) {
        const presentation::ArsenalState shop{overlay.coins, overlay.ownedWeaponMask, overlay.selectedWeapon,
                                              overlay.shopStatus};
        paint.Panel(presentation::BuildArsenalPanel(shop, uk, W, H), text);
    } else if (overlay.menuOpen) {
        paint.Panel(presentation::BuildPausePanel(online, uk, map, W, H), text);
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
