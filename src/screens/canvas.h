#pragma once
// The fixed design canvas every shell screen is drawn on, its palette and the
// clickable regions the widgets leave behind.
#include <d2d1.h>
#include <dwrite.h>

#include <string>
#include <string_view>

namespace tarvo::ui {

inline constexpr float kCanvasWidth = 1920.0f;
inline constexpr float kCanvasHeight = 1080.0f;

// The version shown by the brand header, the footer and the splash.
inline constexpr std::wstring_view kVersionText = L"0.0.03.5";

// A rectangle on the design canvas and the command a click on it emits.
struct HitRegion {
    D2D_RECT_F rect{};
    std::string command;
};

// A text as DrawTextIn drew it; kept only while the shell's drawnTexts is set.
struct DrawnText {
    std::wstring text;
    IDWriteTextFormat* format = nullptr;
    D2D_RECT_F rect{};
    D2D1_COLOR_F color{};
    DWRITE_TEXT_ALIGNMENT align = DWRITE_TEXT_ALIGNMENT_LEADING;
};

// The ten colours of every screen (r, g, b, a in 0..1).
struct Colors {
    static constexpr D2D1_COLOR_F Background{0.02f, 0.027f, 0.032f, 1.0f};
    static constexpr D2D1_COLOR_F Text{0.925f, 0.957f, 0.945f, 1.0f};
    static constexpr D2D1_COLOR_F Border{0.137f, 0.196f, 0.224f, 1.0f};
    static constexpr D2D1_COLOR_F Accent{0.733f, 1.0f, 0.082f, 1.0f};
    static constexpr D2D1_COLOR_F Cyan{0.18f, 0.82f, 1.0f, 1.0f};
    static constexpr D2D1_COLOR_F Muted{0.486f, 0.557f, 0.588f, 1.0f};
    static constexpr D2D1_COLOR_F Danger{1.0f, 0.176f, 0.286f, 1.0f};
    static constexpr D2D1_COLOR_F SurfaceRaised{0.063f, 0.085f, 0.098f, 0.98f};
    static constexpr D2D1_COLOR_F Surface{0.045f, 0.061f, 0.071f, 0.96f};
    static constexpr D2D1_COLOR_F Success{0.18f, 0.902f, 0.502f, 1.0f};
};

// A palette colour with another alpha.
constexpr D2D1_COLOR_F WithAlpha(D2D1_COLOR_F color, float alpha) {
    return D2D1_COLOR_F{color.r, color.g, color.b, alpha};
}

}  // namespace tarvo::ui
