// The Direct2D HUD read back from QA captures of real frames.
#include <gtest/gtest.h>

#include "d3d11/d3d11_test_support.h"
#include "presentation/match_hud.h"
#include "support/temp_folder.h"

namespace tarvo::renderer {
namespace {

using namespace d3d11test;

constexpr int W = 1280;
constexpr int H = 720;
constexpr int cx = W / 2;
constexpr int cy = H / 2;

// A backend in a 1280 x 720 render view that captures every frame it is asked for.
class HudFrames : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
        backend.SetVSync(false);
        D3D11RendererTestAccess::Of(backend).drawnTexts = &texts;
    }
    // The text drawn into a box whose top-left corner is (left, top), or null.
    const D3D11Renderer::Impl::DrawnText* TextAt(float left, float top) const {
        for (const auto& t : texts) {
            if (std::abs(t.box.left - left) < 0.01f && std::abs(t.box.top - top) < 0.01f) return &t;
        }
        return nullptr;
    }
    Bitmap Capture(const gameplay::TrainingSimulation& sim, RenderOverlay overlay) {
        const std::filesystem::path file = temp.Path() / (std::to_wstring(++count) + L".bmp");
        overlay.qaCapturePath = Utf8(file.wstring());
        EXPECT_TRUE(backend.Render(sim, overlay)) << Utf8(backend.LastError());
        return Bitmap::Read(file);
    }

    testing::TempFolder temp;
    TestWindow parent{W, H};
    TestWindow view{W, H, parent.Handle()};
    D3D11Renderer backend;
    std::vector<D3D11Renderer::Impl::DrawnText> texts;
    int count = 0;
};

bool IsSky(const Bitmap& b, int x, int y) { return ColourNear(b.At(x, y), kRelaySky[0], kRelaySky[1], kRelaySky[2]); }
bool IsPanel(const Bitmap& b, int x, int y) {
    const auto p = PanelOver(kRelaySky[0], kRelaySky[1], kRelaySky[2]);
    return ColourNear(b.At(x, y), p[0], p[1], p[2]);
}

// Pixels in the rectangle whose colour is close to (r, g, b) given in 0..1.
int PixelsNear(const Bitmap& b, int x0, int y0, int x1, int y1, float r, float g, float bl, int tolerance) {
    int n = 0;
    for (int y = std::max(y0, 0); y < std::min(y1, b.height); ++y) {
        for (int x = std::max(x0, 0); x < std::min(x1, b.width); ++x) {
            const auto c = b.At(x, y);
            n += std::abs(c[0] - r * 255) <= tolerance && std::abs(c[1] - g * 255) <= tolerance &&
                 std::abs(c[2] - bl * 255) <= tolerance;
        }
    }
    return n;
}

int Lime(const Bitmap& b, int x0, int y0, int x1, int y1) { return PixelsNear(b, x0, y0, x1, y1, 0.66f, 1.0f, 0.02f, 40); }

// Scenes of the HUD's texts: the player far out in the void with a few counters set.
gameplay::TrainingSimulation Training() {
    gameplay::TrainingSimulation sim = LookingIntoTheVoid(0);
    gameplay::PlayerState player = sim.Player();
    player.kills = 7;
    player.deaths = 3;
    player.health = 30;  // lime only below
    gameplay::WeaponState weapon = sim.Weapon();
    weapon.magazine = 21;
    weapon.reserve = 60;
    sim.ApplyOnlineSnapshot(player, weapon, {});
    sim.onlineDriven = false;
    return sim;
}
void Plain(gameplay::TrainingSimulation&, RenderOverlay&) {}
void Hurt(gameplay::TrainingSimulation& sim, RenderOverlay& overlay) {  // reloading in the pause menu
    gameplay::PlayerState player = sim.Player();
    player.health = 29.9f;
    gameplay::WeaponState weapon = sim.Weapon();
    weapon.reloading = true;
    weapon.fireMode = gameplay::FireMode::SemiAutomatic;
    sim.ApplyOnlineSnapshot(player, weapon, {});
    sim.onlineDriven = false;
    overlay.menuOpen = true;
}
void Online(gameplay::TrainingSimulation& sim, RenderOverlay& overlay) {
    sim.onlineDriven = true;
    overlay.coins = 250;
}
void PausedOnline(gameplay::TrainingSimulation& sim, RenderOverlay& overlay) {
    sim.onlineDriven = true;
    overlay.menuOpen = true;
}
void Shop(gameplay::TrainingSimulation& sim, RenderOverlay& overlay) {  // weapon 1 owned, 2 for sale, 3 selected
    sim.onlineDriven = true;
    overlay.arsenalOpen = true;
    overlay.ownedWeaponMask = 0b101;
    overlay.selectedWeapon = 2;
}

constexpr float kText[3] = {0.94f, 0.96f, 0.98f};
constexpr float kLime[3] = {0.66f, 1.0f, 0.02f};
constexpr float kCyan[3] = {0.0f, 0.8f, 1.0f};
// The panels' ink, lime and cyan as the Vulkan swapchain shows them.
constexpr float kInkShown[3] = {243 / 255.0f, 248 / 255.0f, 249 / 255.0f};
constexpr float kLimeShown[3] = {208 / 255.0f, 249 / 255.0f, 39 / 255.0f};
constexpr float kCyanShown[3] = {0.0f, 221 / 255.0f, 246 / 255.0f};
constexpr float kSteelShown[3] = {166 / 255.0f, 184 / 255.0f, 189 / 255.0f};

// A text drawn into a box whose top-left corner is (ax * W + dx, ay * H + dy), in a font
// of `size` pixels (at most -size: made smaller to fit).
struct Line {
    void (*setup)(gameplay::TrainingSimulation&, RenderOverlay&);
    float ax, dx, ay, dy;
    const float* colour;
    float size;
    const wchar_t* english;
    const wchar_t* ukrainian;
};

const Line kLines[] = {
    {Plain, 0, 42, 0, 30, kText, 28, L"RELAY", L"RELAY"},
    {Plain, 0, 175, 0, 42, kCyan, 19, L"BOT TRAINING / OFFLINE", L"ТРЕНУВАННЯ / OFFLINE"},
    {Plain, 1, -338, 0, 38, kText, 19, L"K 7    D 3    TARGETS 0", L"K 7    D 3    БОТИ 0"},
    {Plain, 0, 76, 1, -112, kText, 28, L"HEALTH 30", L"ЗДОРОВ'Я 30"},
    {Hurt, 0, 76, 1, -112, kLime, 28, L"HEALTH 29", L"ЗДОРОВ'Я 29"},
    {Hurt, 1, -307, 1, -112, kText, -28, L"RIFLE  21 / 60   SEMI", L"ГВИНТІВКА  21 / 60   SEMI"},
    {Hurt, 1, -205, 1, -61, kCyan, 19, L"RELOADING", L"ПЕРЕЗАРЯДКА"},
    {Hurt, 0.5f, -300, 0.5f, -220, kInkShown, 35, L"TRAINING SUSPENDED", L"ТРЕНУВАННЯ ПРИЗУПИНЕНО"},
    {Hurt, 0.5f, -255, 0.5f, -60, kInkShown, 27, L"CONTINUE", L"ПРОДОВЖИТИ"},
    {Hurt, 0.5f, -255, 0.5f, 10, kInkShown, 27, L"RESTART TRAINING", L"ПОЧАТИ ТРЕНУВАННЯ ЗНОВУ"},
    {Hurt, 0.5f, -255, 0.5f, 80, kCyanShown, 27, L"SETTINGS", L"НАЛАШТУВАННЯ"},
    {Hurt, 0.5f, -255, 0.5f, 150, kLimeShown, 27, L"EXIT TO MAIN MENU", L"ВИЙТИ В ГОЛОВНЕ МЕНЮ"},
    // The key hint's 13.5 pixels drawn at the panels' 16-pixel floor.
    {Hurt, 0.5f, -155, 0.5f, 228, kSteelShown, 16, L"ESC RESUME / ENTER EXIT", L"ESC ПРОДОВЖИТИ / ENTER ВИЙТИ"},
    {Online, 0, 175, 0, 42, kCyan, 19, L"ONLINE / UNRANKED", L"ONLINE / UNRANKED"},
    {Online, 1, -338, 0, 38, kText, 19, L"K 7    D 3    PLAYERS 1", L"K 7    D 3    PLAYERS 1"},
    {Online, 0, 34, 0, 121, kCyan, 19, L"F2 / ARSENAL   250 COINS", L"F2 / ARSENAL   250 COINS"},
    {PausedOnline, 0.5f, -255, 0.5f, 10, kCyanShown, 27, L"ARSENAL / COINS", L"АРСЕНАЛ / МОНЕТИ"},
    {Shop, 0.5f, 145, 0.5f, -87, kCyanShown, 19, L"EQUIP", L"ОБРАТИ"},
    {Shop, 0.5f, 145, 0.5f, 18, kCyanShown, 19, L"BUY / 300", L"BUY / 300"},
    {Shop, 0.5f, 145, 0.5f, 123, kLimeShown, 19, L"EQUIPPED", L"СПОРЯДЖЕНО"},
};

TEST_F(HudFrames, TextsInBothLanguages) {
    for (const bool ukrainian : {false, true}) {
        for (const Line& line : kLines) {
            if (&line == kLines || line.setup != (&line - 1)->setup) {  // one frame per scene
                gameplay::TrainingSimulation sim = Training();
                RenderOverlay overlay;
                overlay.ukrainian = ukrainian;
                line.setup(sim, overlay);
                ASSERT_TRUE(backend.Render(sim, overlay)) << Utf8(backend.LastError());
            }
            const wchar_t* expected = ukrainian ? line.ukrainian : line.english;
            const auto* drawn = TextAt(line.ax * W + line.dx, line.ay * H + line.dy);
            ASSERT_NE(drawn, nullptr) << Utf8(expected);
            EXPECT_EQ(Utf8(drawn->text), Utf8(expected));
            EXPECT_TRUE(line.size > 0 ? drawn->size == line.size : drawn->size <= -line.size) << Utf8(expected);
            const D2D1_COLOR_F c = drawn->colour;
            EXPECT_TRUE(std::abs(c.r - line.colour[0]) < 0.012f && std::abs(c.g - line.colour[1]) < 0.012f &&
                        std::abs(c.b - line.colour[2]) < 0.012f)
                << Utf8(expected) << " in " << c.r << " " << c.g << " " << c.b;
        }
    }
    // The performance panel names the renderer and the device.
    RenderOverlay overlay;
    overlay.showPerformance = true;
    overlay.fps = 59.7f;
    overlay.frameTimeMs = 16.4f;
    ASSERT_TRUE(backend.Render(Training(), overlay));
    const auto* panel = TextAt(40, 125);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->text, L"FPS 59   FRAME 16 ms\nRENDERER DIRECT3D 11\nGPU " + backend.DeviceName() +
                               L"\nPOS 0 0 -400   BOTS 0");
}

TEST_F(HudFrames, PerformancePanelOnlyWhenAsked) {
    RenderOverlay overlay;
    const Bitmap off = Capture(LookingIntoTheVoid(0), overlay);
    overlay.showPerformance = true;
    overlay.fps = 59.7f;
    const Bitmap on = Capture(LookingIntoTheVoid(0), overlay);
    EXPECT_TRUE(IsSky(off, 540, 250));
    EXPECT_TRUE(IsPanel(on, 540, 250));
    EXPECT_EQ(Lime(off, 40, 125, 530, 250), 0);
    EXPECT_GT(Lime(on, 40, 125, 530, 250), 400);  // four lines of lime text
}

// Opaque, in the colours the Vulkan panels show on screen (0..255).
bool Shown(const Bitmap& b, int x, int y, float r, float g, float bl) { return ColourNear(b.At(x, y), r / 255, g / 255, bl / 255); }

TEST_F(HudFrames, PauseAndArsenalPanels) {
    RenderOverlay overlay;
    const Bitmap plain = Capture(LookingIntoTheVoid(0), overlay);
    EXPECT_TRUE(IsSky(plain, cx, cy + 200));
    EXPECT_TRUE(IsSky(plain, 5, 5));

    overlay.menuOpen = true;
    overlay.ukrainian = true;
    const Bitmap paused = Capture(LookingIntoTheVoid(0), overlay);
    EXPECT_TRUE(Shown(paused, cx, cy + 200, 29, 43, 48) && Shown(paused, 5, 5, 29, 36, 44));
    EXPECT_TRUE(Shown(paused, cx - 270, cy - 20, 60, 76, 81) && Shown(paused, cx - 270, cy + 190, 91, 47, 53));  // rows
    // "ТРЕНУВАННЯ ПРИЗУПИНЕНО": Cyrillic glyphs in the title's rectangle.
    EXPECT_GT(BrightPixels(paused, cx - 300, cy - 220, cx + 300, cy - 170), 300);

    // The arsenal dims the whole frame and replaces the pause panel.
    overlay.arsenalOpen = true;
    overlay.ownedWeaponMask = 0b101;
    overlay.selectedWeapon = 2;
    const Bitmap both = Capture(LookingIntoTheVoid(0), overlay);
    overlay.menuOpen = false;
    const Bitmap arsenal = Capture(LookingIntoTheVoid(0), overlay);
    EXPECT_TRUE(Shown(arsenal, 5, 5, 24, 33, 43));
    EXPECT_EQ(both.bytes, arsenal.bytes);
    EXPECT_GT(BrightPixels(arsenal, cx - 330, cy - 105, cx + 90, cy - 70), 150);  // "1 / AK-47"
    // Rows 90 high every 105 from cy - 115: the selected third lit and marked in lime, the owned
    // first and the plain second dark and marked in cyan (their labels: TextsInBothLanguages).
    for (int row = 0; row < 3; ++row) {
        const int top = cy - 115 + 105 * row;
        EXPECT_TRUE(row == 2 ? Shown(arsenal, cx + 300, top + 80, 52.5f, 100.9f, 109.7f)
                             : Shown(arsenal, cx + 300, top + 80, 52.5f, 68.1f, 78.4f)) << row;
        EXPECT_TRUE(row == 2 ? Shown(arsenal, cx - 349, top + 45, 207.9f, 249.3f, 38.7f)
                             : Shown(arsenal, cx - 349, top + 45, 0, 220.6f, 245.8f)) << row;
    }
}

TEST_F(HudFrames, CoinStripOnlyOnlineWithTheMenuClosed) {
    gameplay::TrainingSimulation online = LookingIntoTheVoid(0);
    online.onlineDriven = true;
    RenderOverlay overlay;
    overlay.coins = 250;
    EXPECT_TRUE(IsSky(Capture(LookingIntoTheVoid(0), overlay), 25, 135));
    const Bitmap strip = Capture(online, overlay);
    EXPECT_TRUE(IsPanel(strip, 25, 135));
    EXPECT_GT(PixelsNear(strip, 34, 121, 379, 151, 0.0f, 0.8f, 1.0f, 40), 100);  // cyan text
    overlay.menuOpen = true;
    Capture(online, overlay);
    EXPECT_EQ(TextAt(34, 121), nullptr);
}

TEST_F(HudFrames, MatchHudTextsShowTheirGlyphs) {
    gameplay::TrainingSimulation online = LookingIntoTheVoid(0);
    online.onlineDriven = true;
    RenderOverlay overlay;
    overlay.onlineMatch = true;
    overlay.matchMode = 0;
    overlay.localTeam = 1;
    overlay.cyanScore = 3;
    overlay.amberScore = 2;
    overlay.roundState = 1;
    overlay.roundSeconds = 95;
    overlay.scoreboardHeld = true;
    overlay.scoreRows = {{7, 1, 4, 1, true, "Local"}, {8, 2, 2, 3, false, ""}};
    const Bitmap frame = Capture(online, overlay);
    const presentation::MatchHudLayout layout = presentation::BuildMatchHud(overlay, W, H);
    ASSERT_FALSE(layout.texts.empty());
    int drawn = 0;
    for (const presentation::MatchHudText& text : layout.texts) {
        if (text.text.empty() || text.text == " ") continue;
        const int x0 = static_cast<int>(text.x), y0 = static_cast<int>(text.y);
        const int x1 = x0 + static_cast<int>(std::min(700.0f, text.size * 0.7f * float(text.text.size()) + 4));
        const int y1 = y0 + static_cast<int>(text.size * 1.5f);
        const int glyphs = PixelsNear(frame, x0, y0, x1, y1, text.color.r, text.color.g, text.color.b, 30);
        EXPECT_GT(glyphs, 3) << text.text;
        drawn += glyphs > 3;
    }
    EXPECT_GE(drawn, 6);
    // Every text of the model, in its order and colour, closes the HUD.
    ASSERT_GE(texts.size(), layout.texts.size());
    for (size_t i = 0; i < layout.texts.size(); ++i) {
        const presentation::MatchHudText& t = layout.texts[i];
        const auto& seen = texts[texts.size() - layout.texts.size() + i];
        EXPECT_EQ(Utf8(seen.text), t.text);
        EXPECT_FLOAT_EQ(seen.box.left, t.x);
        EXPECT_FLOAT_EQ(seen.box.bottom, t.y + t.size * 1.5f);
        EXPECT_FLOAT_EQ(seen.size, t.size) << t.text;  // each whole size its own face
        EXPECT_FLOAT_EQ(seen.colour.g, t.color.g) << t.text;
    }
}

// The widest figures, both languages, the smallest and the largest supported frame: every
// text of the corner panels, the coin strip, the pause menu and the arsenal lies on one line
// inside its box by DirectWrite's own measure, and the box inside the frame.
TEST(HudFit, EveryTextOnOneLineInsideItsBox) {
    gameplay::TrainingSimulation sim = LookingIntoTheVoid(0);
    gameplay::PlayerState player = sim.Player();
    gameplay::WeaponState weapon = sim.Weapon();
    player.kills = player.deaths = weapon.magazine = weapon.reserve = 999;
    weapon.fireMode = gameplay::FireMode::SemiAutomatic;
    weapon.reloading = true;
    sim.ApplyOnlineSnapshot(player, weapon, std::vector<gameplay::Bot>(199, BotAt({0, 0, 400})));
    for (const auto& [w, h] : {std::pair{1280, 720}, std::pair{2560, 1440}}) {
        TestWindow view{w, h};
        D3D11Renderer backend;
        ASSERT_TRUE(backend.Initialize(view.Handle(), {})) << Utf8(backend.LastError());
        std::vector<D3D11Renderer::Impl::DrawnText> texts;
        D3D11RendererTestAccess::Of(backend).drawnTexts = &texts;
        IDWriteFactory* factory = D3D11RendererTestAccess::Of(backend).writeFactory.Get();
        for (const bool ukrainian : {true, false}) {
            for (int scene = 0; scene < 4; ++scene) {  // paused, playing online, paused online, arsenal
                sim.onlineDriven = scene > 0;
                sim.mapIndex = 1 + scene % 2;  // FOUNDRY and SKYDOCK
                RenderOverlay overlay;
                overlay.ukrainian = ukrainian;
                overlay.menuOpen = scene != 1;
                overlay.arsenalOpen = scene == 3;
                overlay.coins = 2147483647;
                ASSERT_TRUE(backend.Render(sim, overlay)) << Utf8(backend.LastError());
                // 6 corner texts, 7 in the pause menu, 1 coin strip and 16 in the arsenal.
                EXPECT_EQ(texts.size(), scene == 1 ? 7u : scene == 3 ? 22u : 13u);
                for (const auto& t : texts) {
                    const float width = t.box.right - t.box.left;
                    ComPtr<IDWriteTextFormat> format;
                    ComPtr<IDWriteTextLayout> layout;
                    DWRITE_TEXT_METRICS m{};
                    ASSERT_TRUE(SUCCEEDED(factory->CreateTextFormat(L"Segoe UI", nullptr, t.weight, DWRITE_FONT_STYLE_NORMAL,
                                                                    DWRITE_FONT_STRETCH_NORMAL, t.size, L"uk-UA", &format)) &&
                                SUCCEEDED(factory->CreateTextLayout(t.text.data(), UINT32(t.text.size()), format.Get(), width,
                                                                    t.box.bottom - t.box.top, &layout)) &&
                                SUCCEEDED(layout->GetMetrics(&m)));
                    EXPECT_TRUE(m.lineCount == 1 && m.widthIncludingTrailingWhitespace <= width && t.box.left >= 0 &&
                                t.box.top >= 0 && t.box.right <= w && t.box.bottom <= h &&
                                (t.text.find(L"999 / 999") == std::wstring::npos || t.box.right == w - 34.0f))
                        << Utf8(t.text) << ": " << m.lineCount << " lines of " << width << " at " << w;
                }
            }
        }
    }
}

}  // namespace
}  // namespace tarvo::renderer
