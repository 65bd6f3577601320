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

TEST_F(HudFrames, HealthTurnsLimeBelowThirty) {
    // Right of the health cross, inside the health line's rectangle.
    const Bitmap low = Capture(LookingIntoTheVoid(0, 29.9f), RenderOverlay{});
    const Bitmap fine = Capture(LookingIntoTheVoid(0, 30.0f), RenderOverlay{});
    EXPECT_GT(Lime(low, 72, H - 112, 332, H - 57), 150);
    EXPECT_EQ(Lime(fine, 72, H - 112, 332, H - 57), 0);
    EXPECT_GT(BrightPixels(fine, 72, H - 112, 332, H - 57), 150);
}

TEST_F(HudFrames, ATextTooLongForItsRectangleIsCutThere) {
    // The ammunition line wraps in its rectangle (W - 307, H - 112, W - 34, H - 57);
    // its second line would run on into the panel below.
    const Bitmap frame = Capture(LookingIntoTheVoid(0, 100.0f), RenderOverlay{});
    EXPECT_GT(BrightPixels(frame, W - 307, H - 112, W - 34, H - 57), 150);
    EXPECT_EQ(BrightPixels(frame, W - 307, H - 56, W - 34, H - 30), 0);
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

TEST_F(HudFrames, PauseAndArsenalPanels) {
    RenderOverlay overlay;
    const Bitmap plain = Capture(LookingIntoTheVoid(0), overlay);
    EXPECT_TRUE(IsSky(plain, cx, cy + 200));
    EXPECT_TRUE(IsSky(plain, 5, 5));

    overlay.menuOpen = true;
    overlay.ukrainian = true;
    const Bitmap paused = Capture(LookingIntoTheVoid(0), overlay);
    EXPECT_TRUE(IsPanel(paused, cx, cy + 200));
    EXPECT_TRUE(IsSky(paused, 5, 5));
    // "ТРЕНУВАННЯ ПРИЗУПИНЕНО": Cyrillic glyphs in the title's rectangle.
    EXPECT_GT(BrightPixels(paused, cx - 295, cy - 205, cx + 295, cy - 140), 300);

    // The arsenal dims the whole frame and replaces the pause panel.
    overlay.arsenalOpen = true;
    const Bitmap both = Capture(LookingIntoTheVoid(0), overlay);
    overlay.menuOpen = false;
    const Bitmap arsenal = Capture(LookingIntoTheVoid(0), overlay);
    EXPECT_TRUE(IsPanel(arsenal, 5, 5));
    EXPECT_EQ(both.bytes, arsenal.bytes);
    EXPECT_GT(BrightPixels(arsenal, cx - 330, cy - 115 + 8, cx + 90, cy - 115 + 46), 150);  // "1 / AK-47"
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
    EXPECT_TRUE(IsSky(Capture(online, overlay), 25, 135));
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
}

}  // namespace
}  // namespace tarvo::renderer
