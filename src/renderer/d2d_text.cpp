#include "renderer/d2d_text.h"

#include <wrl/client.h>

#include <algorithm>
#include <cmath>
#include <variant>

#include "common/text_utils.h"

namespace tarvo::renderer {

using Microsoft::WRL::ComPtr;

namespace {

float Encoded(float linear) {
    const float c = std::clamp(linear, 0.0f, 1.0f);
    return c <= 0.0031308f ? 12.92f * c : 1.055f * std::pow(c, 1.0f / 2.4f) - 0.055f;
}

}  // namespace

D2D1_COLOR_F ShownColour(gameplay::Color3 linear) {
    return D2D1::ColorF(Encoded(linear.r), Encoded(linear.g), Encoded(linear.b));
}

void D2DText::OneLine(std::wstring_view text, IDWriteTextFormat* format, D2D1_RECT_F box, ID2D1SolidColorBrush* brush,
                      DWRITE_TEXT_ALIGNMENT align) const {
    if (!target || !factory || !format || !brush || text.empty()) return;
    const float width = std::max(box.right - box.left, 1.0f);
    const UINT32 length = static_cast<UINT32>(text.size());
    ComPtr<IDWriteTextLayout> layout;
    if (FAILED(factory->CreateTextLayout(text.data(), length, format, width, std::max(box.bottom - box.top, 1.0f),
                                         &layout))) {
        return;
    }
    layout->SetWordWrapping(DWRITE_WORD_WRAPPING_NO_WRAP);
    layout->SetTextAlignment(align);
    float size = format->GetFontSize();
    DWRITE_TEXT_METRICS metrics{};
    if (SUCCEEDED(layout->GetMetrics(&metrics)) && metrics.widthIncludingTrailingWhitespace > width) {
        // A hair under the room, so that rounding in the measure never wraps it.
        size *= (width - 0.5f) / metrics.widthIncludingTrailingWhitespace;
        layout->SetFontSize(size, {0, length});
    }
    if (drawn) drawn->push_back({std::wstring(text), box, brush->GetColor(), size, format->GetFontWeight()});
    // Clipped explicitly as well: Wine's Direct2D ignores the clip option.
    target->PushAxisAlignedClip(box, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
    target->DrawTextLayout(D2D1::Point2F(box.left, box.top), layout.Get(), brush, D2D1_DRAW_TEXT_OPTIONS_CLIP);
    target->PopAxisAlignedClip();
}

void D2DText::Panel(const presentation::PanelLayout& panel, ID2D1SolidColorBrush* brush) const {
    if (!target || !factory || !brush) return;
    const D2D1_COLOR_F previous = brush->GetColor();
    for (const presentation::PanelItem& item : panel.items) {
        if (const auto* r = std::get_if<presentation::MatchHudRect>(&item)) {
            brush->SetColor(ShownColour(r->color));
            target->FillRectangle(D2D1::RectF(r->x, r->y, r->x + r->width, r->y + r->height), brush);
            continue;
        }
        const presentation::PanelText& t = std::get<presentation::PanelText>(item);
        const float size = std::max(t.size, 16.0f);
        ComPtr<IDWriteTextFormat> format;
        if (FAILED(factory->CreateTextFormat(L"Segoe UI", nullptr, DWRITE_FONT_WEIGHT_SEMI_BOLD,
                                             DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, size, L"uk-UA",
                                             &format))) {
            continue;
        }
        const float left = t.centred ? t.x - 0.5f * t.width : t.x;
        brush->SetColor(ShownColour(t.color));
        const D2D1_RECT_F box = D2D1::RectF(left, t.y, left + t.width, t.y + size * 1.5f);
        OneLine(distribution::Utf8ToWide(t.text), format.Get(), box, brush,
                t.centred ? DWRITE_TEXT_ALIGNMENT_CENTER : DWRITE_TEXT_ALIGNMENT_LEADING);
    }
    brush->SetColor(previous);
}

}  // namespace tarvo::renderer
