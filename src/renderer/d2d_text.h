#pragma once
// Direct2D and DirectWrite drawing shared by the Direct3D 11 HUD and the main window:
// texts kept on one line, and the pause menu and arsenal panels.
#include <windows.h>
#include <d2d1.h>
#include <dwrite.h>

#include <string>
#include <string_view>
#include <vector>

#include "presentation/hud_panels.h"

namespace tarvo::renderer {

// A text as it was drawn, recorded for tests.
struct DrawnHudText {
    std::wstring text;
    D2D1_RECT_F box;
    D2D1_COLOR_F colour;
    float size;  // the font size it was drawn at
    DWRITE_FONT_WEIGHT weight;
};

// A linear HUD colour as an sRGB swapchain shows it, for targets that take colours as
// they are shown.
D2D1_COLOR_F ShownColour(gameplay::Color3 linear);

struct D2DText {
    ID2D1RenderTarget* target = nullptr;
    IDWriteFactory* factory = nullptr;
    std::vector<DrawnHudText>* drawn = nullptr;  // when set, every text drawn is appended

    // The text without wrapping, at the format's size or smaller where DirectWrite
    // measures it wider than the box; cut at the box.
    void OneLine(std::wstring_view text, IDWriteTextFormat* format, D2D1_RECT_F box, ID2D1SolidColorBrush* brush,
                 DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING) const;
    // Every rectangle and text of the panel in its colours as shown, in "Segoe UI"
    // semibold of at least 16 pixels.
    void Panel(const presentation::PanelLayout& panel, ID2D1SolidColorBrush* brush) const;
};

}  // namespace tarvo::renderer
