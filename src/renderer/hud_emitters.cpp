#include <algorithm>
#include <cmath>

#include "renderer/frame_geometry.h"
#include "renderer/hud_font.h"

namespace tarvo::renderer {

using gameplay::Color3;

char32_t NextHudCodePoint(std::string_view s, size_t& i) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(s[at]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) {
        i += 1;
        return lead;
    }
    // Continuation bytes are taken as they come and overlong forms are accepted:
    // the HUD only needs a picture of the text, never a round trip.
    if ((lead & 0xE0) == 0xC0 && i + 1 < s.size()) {
        const char32_t cp = (char32_t(lead & 0x1F) << 6) | (byte(i + 1) & 0x3F);
        i += 2;
        return cp;
    }
    if ((lead & 0xF0) == 0xE0 && i + 2 < s.size()) {
        const char32_t cp = (char32_t(lead & 0x0F) << 12) | (char32_t(byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F);
        i += 3;
        return cp;
    }
    i += 1;
    return U'?';
}

std::vector<char32_t> GeometryBuilder::DecodeHudText(std::string_view utf8) {
    std::vector<char32_t> out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) out.push_back(NextHudCodePoint(utf8, i));
    return out;
}

void GeometryBuilder::HudVertex(float px, float py, Color3 colour, float u, float v, float textured) {
    Vertex out;
    out.position[0] = 2.0f * px / width - 1.0f;
    out.position[1] = 2.0f * py / height - 1.0f;
    out.position[2] = 0.0f;
    out.position[3] = 1.0f;
    out.color[0] = colour.r;
    out.color[1] = colour.g;
    out.color[2] = colour.b;
    out.uv[0] = u;
    out.uv[1] = v;
    out.textured = textured;
    vertices.push_back(out);
}

void GeometryBuilder::HudRect(float x, float y, float w, float h, Color3 colour) {
    HudVertex(x, y, colour, 0, 0, 0);
    HudVertex(x + w, y, colour, 0, 0, 0);
    HudVertex(x + w, y + h, colour, 0, 0, 0);
    HudVertex(x, y, colour, 0, 0, 0);
    HudVertex(x + w, y + h, colour, 0, 0, 0);
    HudVertex(x, y + h, colour, 0, 0, 0);
}

void GeometryBuilder::HudQuad(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3,
                              Color3 colour) {
    HudVertex(x0, y0, colour, 0, 0, 0);
    HudVertex(x1, y1, colour, 0, 0, 0);
    HudVertex(x2, y2, colour, 0, 0, 0);
    HudVertex(x0, y0, colour, 0, 0, 0);
    HudVertex(x2, y2, colour, 0, 0, 0);
    HudVertex(x3, y3, colour, 0, 0, 0);
}

void GeometryBuilder::HudLine(float ax, float ay, float bx, float by, float t, Color3 colour) {
    const float dx = bx - ax;
    const float dy = by - ay;
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length < 0.001f) return;
    const float nx = -dy / length * t * 0.5f;
    const float ny = dx / length * t * 0.5f;
    HudQuad(ax + nx, ay + ny, bx + nx, by + ny, bx - nx, by - ny, ax - nx, ay - ny, colour);
}

void GeometryBuilder::HudText(std::string_view utf8, float x, float y, float size, Color3 colour) {
    if (utf8.empty()) return;
    const NativeHudFont& font = NativeHudFont::Get();
    const float pixels = std::max(size * 10.0f, 16.0f);
    const float cell = pixels * 1.3333334f;  // 128-texel cell over a 96-pixel font
    const float x0 = std::round(x);
    const float y0 = std::round(y);
    constexpr float kSpan = 0.03125f;  // one cell of the atlas in texture units
    constexpr Color3 kShadow{0.015f, 0.02f, 0.025f};
    float pen = x0;
    for (size_t i = 0; i < utf8.size();) {
        const HudGlyph& g = font.glyphs[HudGlyphCell(NextHudCodePoint(utf8, i))];
        const float s = float(g.x) / 4096.0f;
        const float t = float(g.y) / 4096.0f;
        for (int pass = 0; pass < 2; ++pass) {
            const float left = pass == 0 ? pen + 1.0f : pen;
            const float top = pass == 0 ? y0 + 2.0f : y0;
            const Color3 c = pass == 0 ? kShadow : colour;
            HudVertex(left, top, c, s, t, 2);
            HudVertex(left + cell, top, c, s + kSpan, t, 2);
            HudVertex(left + cell, top + cell, c, s + kSpan, t + kSpan, 2);
            HudVertex(left, top, c, s, t, 2);
            HudVertex(left + cell, top + cell, c, s + kSpan, t + kSpan, 2);
            HudVertex(left, top + cell, c, s, t + kSpan, 2);
        }
        pen += float(g.advance) / 96.0f * pixels;
    }
}

float GeometryBuilder::HudTextWidth(std::string_view utf8, float size) {
    if (utf8.empty()) return 0.0f;
    const NativeHudFont& font = NativeHudFont::Get();
    const float pixels = std::max(size * 10.0f, 16.0f);
    float total = 0.0f;
    for (size_t i = 0; i < utf8.size();) {
        total += float(font.glyphs[HudGlyphCell(NextHudCodePoint(utf8, i))].advance) / 96.0f * pixels;
    }
    return total;
}

}  // namespace tarvo::renderer
