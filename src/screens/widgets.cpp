// The shared widgets: brand header, button, text field, check box and image. They
// keep no state; each clickable one appends its hit region as it is drawn.
#include <algorithm>

#include "screens/field_text_geometry.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::TopBrand(std::wstring_view subtitle) {
    DrawTextIn(L"TARVONIX VOLLEY", headingFormat.Get(), D2D1::RectF(72, 38, 520, 92), Colors::Text);
    FillRect(D2D1::RectF(72, 92, 215, 95), Colors::Accent);
    DrawTextIn(subtitle, captionFormat.Get(), D2D1::RectF(72, 102, 592, 132), Colors::Muted);
    DrawTextIn(kVersionText, captionFormat.Get(), D2D1::RectF(1580, 45, 1850, 75), Colors::Muted);
}

void NativeShell::Button(D2D_RECT_F rect, std::wstring_view label, const std::string& command, bool primary,
                         bool danger) {
    const bool hovered = hoverCommand == command;
    const D2D1_COLOR_F base = danger ? Colors::Danger : Colors::Accent;
    D2D1_COLOR_F fill, outline, text;
    float outlineWidth = hovered ? 2.0f : 1.0f;
    if (primary) {
        fill = WithAlpha(base, hovered ? 1.0f : 0.88f);
        outline = base;
        text = Colors::Background;
    } else if (hovered) {
        fill = WithAlpha(base, 0.13f);
        outline = WithAlpha(base, 0.85f);
        text = base;
    } else {
        fill = Colors::SurfaceRaised;
        outline = Colors::Border;
        text = Colors::Text;
    }
    FillRounded(rect, 9.0f, fill);
    StrokeRounded(rect, 9.0f, outline, outlineWidth);
    FillRect(D2D1::RectF(rect.left, rect.top + 12, rect.left + 3, rect.bottom - 12), base);
    AddRegion(rect, command);

    // A label too large for the heading face falls back to the body face.
    IDWriteTextFormat* format = headingFormat.Get();
    const float width = rect.right - rect.left;
    const float height = rect.bottom - rect.top;
    ComPtr<IDWriteTextLayout> layout;
    DWRITE_TEXT_METRICS metrics{};
    if (dwriteFactory && headingFormat &&
        SUCCEEDED(dwriteFactory->CreateTextLayout(label.data(), static_cast<UINT32>(label.size()), headingFormat.Get(),
                                                  width, height, &layout)) &&
        SUCCEEDED(layout->GetMetrics(&metrics))) {
        if (metrics.widthIncludingTrailingWhitespace > width - 24 || metrics.height > height - 12) {
            format = bodyFormat.Get();
        }
    }
    DrawTextIn(label, format, rect, text, DWRITE_TEXT_ALIGNMENT_CENTER, DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
}

void NativeShell::TextField(D2D_RECT_F rect, std::wstring_view label, const std::string& key, bool password) {
    const bool focused = focusedField == key;
    FillRounded(rect, 9.0f, focused ? Colors::SurfaceRaised : Colors::Surface);
    StrokeRounded(rect, 9.0f, focused ? Colors::Cyan : Colors::Border, focused ? 2.0f : 1.0f);
    DrawTextIn(label, captionFormat.Get(), D2D1::RectF(rect.left + 18, rect.top + 5, rect.right - 16, rect.top + 27),
               focused ? Colors::Cyan : Colors::Muted);

    std::wstring display = fieldValues[key];
    bool revealed = false;
    if (password) {
        revealed = revealedFields[key];
        if (!revealed && !display.empty()) display.assign(display.size(), L'\u2022');
    }
    const float inset = password ? 66.0f : 16.0f;
    const D2D_RECT_F value = D2D1::RectF(rect.left + 18, rect.top + 24, rect.right - inset, rect.bottom - 5);

    if (display.empty()) {
        DrawTextIn(L"\u2014", bodyFormat.Get(), value, WithAlpha(Colors::Muted, 0.5f));
    } else if (bodyFormat && dwriteFactory && renderTarget && brush) {
        bodyFormat->SetTextAlignment(DWRITE_TEXT_ALIGNMENT_LEADING);
        bodyFormat->SetParagraphAlignment(DWRITE_PARAGRAPH_ALIGNMENT_CENTER);
        const FieldTextGeometry geometry(dwriteFactory.Get(), bodyFormat.Get(), display, value.right - value.left,
                                         value.bottom - value.top);
        if (geometry.Valid()) {
            const size_t shownCaret = std::min(caret, display.size());
            const float scroll = focused ? geometry.ScrollFor(shownCaret) : 0.0f;
            const D2D1_POINT_2F origin{value.left - scroll, value.top};
            renderTarget->PushAxisAlignedClip(value, D2D1_ANTIALIAS_MODE_PER_PRIMITIVE);
            if (focused) {
                const size_t s = std::min(caret, selectionAnchor);
                const size_t e = std::max(caret, selectionAnchor);
                if (e > s) {
                    for (const D2D_RECT_F& r : geometry.RangeRects(s, e)) {
                        FillRect(D2D1::RectF(origin.x + r.left, origin.y + r.top, origin.x + r.right, origin.y + r.bottom),
                                 WithAlpha(Colors::Cyan, 0.34f));
                    }
                }
            }
            // Clipped to the value rectangle rather than the layout box, which moves
            // with the scroll.
            brush->SetColor(Colors::Text);
            renderTarget->DrawTextLayout(origin, geometry.Layout(), brush.Get(), D2D1_DRAW_TEXT_OPTIONS_NONE);
            float x = 0.0f, top = 0.0f, height = 0.0f;
            if (focused && geometry.CaretAt(shownCaret, x, top, height)) {
                DrawLine(D2D1::Point2F(origin.x + x, origin.y + top), D2D1::Point2F(origin.x + x, origin.y + top + height),
                         Colors::Accent, 1.5f);
            }
            renderTarget->PopAxisAlignedClip();
        }
    }
    AddRegion(rect, key);

    if (password) {
        const D2D1_COLOR_F eye = revealed ? Colors::Accent : Colors::Muted;
        const D2D1_POINT_2F centre{rect.right - 33, (rect.top + rect.bottom) / 2 + 6};
        if (renderTarget && brush) {
            brush->SetColor(eye);
            renderTarget->DrawEllipse(D2D1::Ellipse(centre, 15, 9), brush.Get(), 2.0f);
            if (revealed) renderTarget->FillEllipse(D2D1::Ellipse(centre, 3.5f, 3.5f), brush.Get());
        }
        AddRegion(D2D1::RectF(rect.right - 62, rect.top, rect.right, rect.bottom), "reveal." + key);
    }

    const auto error = fieldErrors.find(key);
    if (error != fieldErrors.end() && !error->second.empty()) {
        DrawTextIn(error->second, captionFormat.Get(), D2D1::RectF(rect.left + 8, rect.bottom + 1, rect.right, rect.bottom + 25),
                   Colors::Danger);
    }
}

void NativeShell::Checkbox(float x, float y, std::wstring_view label, const std::string& command, bool checked) {
    const D2D_RECT_F box = D2D1::RectF(x, y, x + 24, y + 24);
    FillRounded(box, 4.0f, checked ? Colors::Accent : Colors::SurfaceRaised);
    StrokeRounded(box, 4.0f, checked ? Colors::Accent : Colors::Border, 1.0f);
    if (checked) {
        DrawLine(D2D1::Point2F(x + 6, y + 12), D2D1::Point2F(x + 10, y + 17), Colors::Background, 2.4f);
        DrawLine(D2D1::Point2F(x + 10, y + 17), D2D1::Point2F(x + 19, y + 7), Colors::Background, 2.4f);
    }
    DrawTextIn(label, bodyFormat.Get(), D2D1::RectF(x + 36, y - 5, x + 440, y + 30), Colors::Muted);
    AddRegion(D2D1::RectF(x, y - 6, x + 460, y + 32), command);
}

bool NativeShell::DrawImage(const std::filesystem::path& asset, D2D_RECT_F rect, float opacity) {
    if (!renderTarget || !wicFactory) return false;
    const std::filesystem::path resolved = DiscoverAsset(asset);
    ID2D1Bitmap* bitmap = nullptr;
    if (const auto cached = bitmapCache.find(resolved); cached != bitmapCache.end()) {
        bitmap = cached->second.Get();
    } else {
        ComPtr<IWICBitmapDecoder> decoder;
        ComPtr<IWICBitmapFrameDecode> frame;
        ComPtr<IWICFormatConverter> converter;
        ComPtr<ID2D1Bitmap> decoded;
        if (FAILED(wicFactory->CreateDecoderFromFilename(resolved.c_str(), nullptr, GENERIC_READ,
                                                         WICDecodeMetadataCacheOnLoad, &decoder)) ||
            FAILED(decoder->GetFrame(0, &frame)) || FAILED(wicFactory->CreateFormatConverter(&converter)) ||
            FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr,
                                         0.0, WICBitmapPaletteTypeMedianCut)) ||
            FAILED(renderTarget->CreateBitmapFromWicBitmap(converter.Get(), nullptr, &decoded))) {
            return false;  // nothing cached: tried again on the next paint
        }
        bitmap = decoded.Get();
        bitmapCache.emplace(resolved, std::move(decoded));
    }
    renderTarget->DrawBitmap(bitmap, rect, opacity, D2D1_BITMAP_INTERPOLATION_MODE_LINEAR);
    return true;
}

}  // namespace tarvo::ui
