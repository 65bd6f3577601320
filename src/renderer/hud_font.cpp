#include "renderer/hud_font.h"

#include <windows.h>

#include <algorithm>

namespace tarvo::renderer {

char32_t HudCellCharacter(int cell) {
    if (cell < 0 || cell >= NativeHudFont::kGlyphCount) return U'?';
    if (cell <= 94) return static_cast<char32_t>(0x20 + cell);
    if (cell <= 190) return static_cast<char32_t>(0x400 + (cell - 95));
    return cell == 191 ? U'\u0490' : U'\u0491';
}

int HudGlyphCell(char32_t cp) {
    if (cp == 0x2013 || cp == 0x2014) cp = U'-';
    else if (cp == 0x02BC || cp == 0x2018 || cp == 0x2019) cp = U'\'';
    else if (cp == 0x00A0) cp = U' ';
    if (cp == 0x0490) return 191;
    if (cp == 0x0491) return 192;
    if (cp >= 0x20 && cp <= 0x7E) return static_cast<int>(cp) - 32;
    if (cp >= 0x400 && cp <= 0x45F) return static_cast<int>(cp) - 929;
    return NativeHudFont::kQuestionCell;
}

void AppendHudMipChain(std::vector<std::vector<uint8_t>>& levels, int side) {
    while (side > 1 && !levels.empty()) {
        const std::vector<uint8_t>& source = levels.back();
        if (source.size() != size_t(side) * size_t(side)) return;
        const int half = side / 2;
        std::vector<uint8_t> next(size_t(half) * size_t(half));
        for (int y = 0; y < half; ++y) {
            const uint8_t* top = source.data() + size_t(2 * y) * side;
            const uint8_t* bottom = top + side;
            uint8_t* out = next.data() + size_t(y) * half;
            for (int x = 0; x < half; ++x) {
                const unsigned sum = top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1];
                out[x] = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
        levels.push_back(std::move(next));
        side = half;
    }
}

NativeHudFont& NativeHudFont::Get() {
    static NativeHudFont font;
    return font;
}

NativeHudFont::NativeHudFont() {
    const int side = kAtlasSide;
    HDC dc = CreateCompatibleDC(nullptr);  // compatible with the screen

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = dc ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (!dc || !dib || !bits) {
        // Without GDI the HUD still draws its panels; the text is simply invisible.
        if (dib) DeleteObject(dib);
        if (dc) DeleteDC(dc);
        levels.emplace_back(size_t(side) * side, uint8_t(0));
        return;
    }

    HGDIOBJ previousBitmap = SelectObject(dc, dib);
    HFONT font = CreateFontW(-kFontHeight, 0, 0, 0, 600, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_TT_PRECIS,
                             CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Segoe UI");
    HGDIOBJ previousFont = font ? SelectObject(dc, font) : nullptr;
    PatBlt(dc, 0, 0, side, side, BLACKNESS);
    SetBkColor(dc, RGB(0, 0, 0));
    SetTextColor(dc, RGB(255, 255, 255));
    SetTextAlign(dc, TA_LEFT | TA_TOP);

    for (int i = 0; i < kGlyphCount; ++i) {
        const wchar_t ch = static_cast<wchar_t>(HudCellCharacter(i));
        const int cellX = (i % kCellsPerRow) * kCellSide;
        const int cellY = (i / kCellsPerRow) * kCellSide;
        SIZE extent{};
        GetTextExtentPoint32W(dc, &ch, 1, &extent);
        TextOutW(dc, cellX + 4, cellY, &ch, 1);
        glyphs[i] = HudGlyph{cellX, cellY, static_cast<int32_t>(extent.cx)};
    }
    GdiFlush();

    std::vector<uint8_t> level0(size_t(side) * side);
    const uint8_t* pixel = static_cast<const uint8_t*>(bits);
    for (size_t i = 0; i < level0.size(); ++i, pixel += 4) {
        level0[i] = std::max({pixel[0], pixel[1], pixel[2]});
    }

    SelectObject(dc, previousBitmap);
    if (previousFont) SelectObject(dc, previousFont);
    if (font) DeleteObject(font);
    DeleteObject(dib);
    DeleteDC(dc);

    levels.reserve(13);
    levels.push_back(std::move(level0));
    AppendHudMipChain(levels, side);
}

}  // namespace tarvo::renderer
