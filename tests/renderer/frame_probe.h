#pragma once
// Reading a built frame back: screen-space rectangles and HUD texts by pixel position.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "gameplay/vec3.h"
#include "presentation/weapon_meshes.h"
#include "renderer/frame_geometry.h"

namespace tarvo::renderer::test {

inline bool Near(float a, float b, float tolerance = 0.02f) { return std::fabs(a - b) <= tolerance; }

inline float PixelX(const Vertex& v, float width) { return (v.position[0] + 1.0f) * 0.5f * width; }
inline float PixelY(const Vertex& v, float height) { return (v.position[1] + 1.0f) * 0.5f * height; }

inline bool SameColour(const Vertex& v, gameplay::Color3 c) {
    return Near(v.color[0], c.r, 1e-4f) && Near(v.color[1], c.g, 1e-4f) && Near(v.color[2], c.b, 1e-4f);
}

inline bool SameVertex(const Vertex& a, const Vertex& b) {
    float x[10], y[10];
    std::memcpy(x, &a, sizeof x);
    std::memcpy(y, &b, sizeof y);
    for (int k = 0; k < 10; ++k) {
        if (std::fabs(x[k] - y[k]) > 1e-4f * std::max(1.0f, std::fabs(y[k]))) return false;
    }
    return true;
}

// Index of the first run of `shape` in `list` at or after `from`, or -1: where the
// same emitters, called for the same camera, put what the frame should show.
inline long FindRun(const std::vector<Vertex>& list, const std::vector<Vertex>& shape, size_t from = 0) {
    for (size_t i = from; !shape.empty() && i + shape.size() <= list.size(); ++i) {
        size_t k = 0;
        while (k < shape.size() && SameVertex(list[i + k], shape[k])) ++k;
        if (k == shape.size()) return static_cast<long>(i);
    }
    return -1;
}

// What a bot at `position` facing `yaw` holds without an attachment pose: the mesh
// between its hands (the grip at the attachment's socket (0.28, 1.2, 0.08), the support
// hand ahead of it), unlit in its own colours, then the muzzle cap.
inline void HeldRifle(FrameBuilder& b, std::span<const presentation::ImportedWeaponVertex> mesh, gameplay::Vec3 position,
                      float yaw) {
    const gameplay::Vec3 grip = position + TurnByYaw({0.28f, 1.2f, 0.08f}, yaw);
    const gameplay::Vec3 support = grip + TurnByYaw({0, 0.06f, 0.3f}, yaw);
    for (const auto& v : mesh) {
        b.vertices.push_back(b.Project(presentation::HeldRiflePoint(v.position, grip, support), v.color, 0, 0, 0));
    }
    b.OrientedBox(presentation::HeldRiflePoint({0.5f, 0.09f, 0}, grip, support), {0.055f, 0.055f, 0.09f}, yaw,
                  {0.12f, 0.15f, 0.16f});
}

// Index of the first HudRect(x, y, w, h, colour) in the list, or -1.
inline long FindRect(const std::vector<Vertex>& v, float W, float H, float x, float y, float w, float h,
                     gameplay::Color3 colour, size_t from = 0) {
    const float xs[6] = {x, x + w, x + w, x, x + w, x};
    const float ys[6] = {y, y, y + h, y, y + h, y + h};
    for (size_t i = from; i + 6 <= v.size(); ++i) {
        bool match = true;
        for (int k = 0; k < 6 && match; ++k) {
            const Vertex& p = v[i + k];
            match = p.textured == 0.0f && p.position[2] == 0.0f && SameColour(p, colour) &&
                    Near(PixelX(p, W), xs[k], 0.05f) && Near(PixelY(p, H), ys[k], 0.05f);
        }
        if (match) return static_cast<long>(i);
    }
    return -1;
}

// The character an atlas cell holds: printable ASCII from the space, the Cyrillic
// block from U+0400, then U+0490 and U+0491.
inline char32_t CellCharacter(int cell) {
    return cell < 95 ? char32_t(0x20 + cell) : cell < 191 ? char32_t(0x400 + cell - 95) : char32_t(0x490 + cell - 191);
}

// The characters of the HUD text whose first glyph quad starts at (x, y) in the given
// colour and size (a glyph quad is 4/3 of the font height, at least 16 pixels): each
// character is a shadow quad then a glyph quad (12 vertices).
struct SeenText {
    long index = -1;
    std::u32string text;
};

inline SeenText FindText(const std::vector<Vertex>& v, float W, float H, float x, float y, float size,
                         gameplay::Color3 colour) {
    SeenText seen;
    const float x0 = std::round(x), y0 = std::round(y), side = std::max(size * 10.0f, 16.0f) * 1.3333334f;
    for (size_t i = 6; i + 6 <= v.size(); ++i) {
        const Vertex& g = v[i];
        if (g.textured != 2.0f || !SameColour(g, colour) || !Near(PixelX(g, W), x0, 0.05f) ||
            !Near(PixelY(g, H), y0, 0.05f) || !Near(PixelX(v[i + 1], W) - x0, side, 0.05f) ||
            v[i - 6].textured != 2.0f) {
            continue;
        }
        seen.index = static_cast<long>(i - 6);
        for (size_t j = i; j + 6 <= v.size() && v[j].textured == 2.0f && SameColour(v[j], colour) &&
                           Near(PixelY(v[j], H), y0, 0.05f);
             j += 12) {
            const int column = static_cast<int>(std::lround(v[j].uv[0] * 32.0f));
            const int row = static_cast<int>(std::lround(v[j].uv[1] * 32.0f));
            seen.text.push_back(CellCharacter(row * 32 + column));
        }
        return seen;
    }
    return seen;
}

// What the HUD shows for a UTF-8 text of these tests (ASCII, Cyrillic, dashes): its
// characters, a dash as "-".
inline std::u32string AsShown(std::string_view s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const auto b = [&](size_t k) { return char32_t(static_cast<unsigned char>(s[i + k])); };
        const size_t n = b(0) < 0x80 ? 1 : b(0) < 0xE0 ? 2 : 3;
        const char32_t c = n == 1   ? b(0)
                           : n == 2 ? (b(0) & 0x1F) << 6 | (b(1) & 0x3F)
                                    : (b(0) & 0x0F) << 12 | (b(1) & 0x3F) << 6 | (b(2) & 0x3F);
        out.push_back(c == 0x2013 || c == 0x2014 ? U'-' : c);
        i += n;
    }
    return out;
}

}  // namespace tarvo::renderer::test
