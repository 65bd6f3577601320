// Small drawing helpers every screen shares: text in a rectangle, filled and
// outlined shapes, hit regions. All draw with the one brush on the canvas transform.
#include <algorithm>

#include "common/text_utils.h"
#include "shell/native_shell.h"

namespace tarvo::ui {
namespace {

// The most UTF-16 units a rectangle can show: one per tenth of the font size across (narrower
// than any glyph that shows), a line per font size down. Only that much goes to DirectWrite: a
// name of thousands of units then costs no more than a short one, and Wine's Direct2D draws
// nothing at all for a line of several hundred glyphs.
std::wstring_view Showable(std::wstring_view text, D2D_RECT_F rect, float fontSize) {
    if (!(fontSize > 0.0f)) return text;
    const float across = std::max(rect.right - rect.left, 0.0f) / (0.1f * fontSize) + 1.0f;
    const float down = std::max(rect.bottom - rect.top, 0.0f) / fontSize + 1.0f;
    return distribution::CutUtf16(text, static_cast<std::size_t>(across * down));
}

}  // namespace

std::wstring_view NativeShell::Pick(std::wstring_view ukrainian, std::wstring_view english) const {
    return localization.CurrentLocale() == localization::Locale::Ukrainian ? ukrainian : english;
}

void NativeShell::DrawTextIn(std::wstring_view text, IDWriteTextFormat* format, D2D_RECT_F rect, D2D1_COLOR_F color,
                             DWRITE_TEXT_ALIGNMENT align, DWRITE_PARAGRAPH_ALIGNMENT paragraph) {
    if (!renderTarget || !brush || !format || text.empty()) return;
    if (drawnTexts) drawnTexts->push_back(DrawnText{std::wstring(text), format, rect, color, align});
    format->SetTextAlignment(align);
    format->SetParagraphAlignment(paragraph);
    brush->SetColor(color);
    // Clipped explicitly as well: Wine's Direct2D ignores the clip option.
    renderTarget->PushAxisAlignedClip(rect, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
    const std::wstring_view shown = Showable(text, rect, format->GetFontSize());
    renderTarget->DrawText(shown.data(), static_cast<UINT32>(shown.size()), format, rect, brush.Get(),
                           D2D1_DRAW_TEXT_OPTIONS_CLIP, DWRITE_MEASURING_MODE_NATURAL);
    renderTarget->PopAxisAlignedClip();
}

void NativeShell::FillRect(D2D_RECT_F rect, D2D1_COLOR_F color) {
    if (!renderTarget || !brush) return;
    brush->SetColor(color);
    renderTarget->FillRectangle(rect, brush.Get());
}

void NativeShell::FillRounded(D2D_RECT_F rect, float radius, D2D1_COLOR_F color) {
    if (!renderTarget || !brush) return;
    brush->SetColor(color);
    renderTarget->FillRoundedRectangle(D2D1::RoundedRect(rect, radius, radius), brush.Get());
}

void NativeShell::StrokeRounded(D2D_RECT_F rect, float radius, D2D1_COLOR_F color, float width) {
    if (!renderTarget || !brush) return;
    brush->SetColor(color);
    renderTarget->DrawRoundedRectangle(D2D1::RoundedRect(rect, radius, radius), brush.Get(), width);
}

void NativeShell::DrawLine(D2D1_POINT_2F from, D2D1_POINT_2F to, D2D1_COLOR_F color, float width) {
    if (!renderTarget || !brush) return;
    brush->SetColor(color);
    renderTarget->DrawLine(from, to, brush.Get(), width);
}

void NativeShell::AddRegion(D2D_RECT_F rect, std::string command) {
    hitRegions.push_back(HitRegion{rect, std::move(command)});
}

void NativeShell::Card(D2D_RECT_F rect) {
    FillRounded(rect, 16.0f, Colors::SurfaceRaised);
    StrokeRounded(rect, 16.0f, Colors::Border, 1.0f);
}

}  // namespace tarvo::ui
