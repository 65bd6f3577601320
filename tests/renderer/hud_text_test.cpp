#include <gtest/gtest.h>

#include <vector>

#include "frame_probe.h"
#include "renderer/frame_geometry.h"
#include "renderer/hud_font.h"

namespace tarvo::renderer {
namespace {

TEST(HudText, DecodesLenientUtf8) {
    using V = std::vector<char32_t>;
    EXPECT_EQ(GeometryBuilder::DecodeHudText("Az"), (V{U'A', U'z'}));
    EXPECT_EQ(GeometryBuilder::DecodeHudText("\xD0\x87\xD2\x91"), (V{0x407, 0x491}));          // Ї ґ
    EXPECT_EQ(GeometryBuilder::DecodeHudText("\xE2\x80\x94"), (V{0x2014}));                    // em dash
    EXPECT_EQ(GeometryBuilder::DecodeHudText("\xF0\x9F\x98\x80"), (V{U'?', U'?', U'?', U'?'}));  // one per byte
    EXPECT_EQ(GeometryBuilder::DecodeHudText("\x80" "a"), (V{U'?', U'a'}));                    // stray continuation
    EXPECT_EQ(GeometryBuilder::DecodeHudText("a\xD0"), (V{U'a', U'?'}));                       // cut short
    EXPECT_EQ(GeometryBuilder::DecodeHudText("\xE2\x80"), (V{U'?', U'?'}));
    EXPECT_EQ(GeometryBuilder::DecodeHudText("\xC0\xA0"), (V{0x20}));  // overlong forms are accepted
    EXPECT_TRUE(GeometryBuilder::DecodeHudText("").empty());
}

TEST(HudText, FoldsCodePointsIntoAtlasCells) {
    EXPECT_EQ(HudGlyphCell(U' '), 0);
    EXPECT_EQ(HudGlyphCell(U'?'), 31);
    EXPECT_EQ(HudGlyphCell(U'~'), 94);
    EXPECT_EQ(HudGlyphCell(0x400), 95);
    EXPECT_EQ(HudGlyphCell(0x45F), 190);
    EXPECT_EQ(HudGlyphCell(0x490), 191);
    EXPECT_EQ(HudGlyphCell(0x491), 192);
    EXPECT_EQ(HudGlyphCell(0x2013), HudGlyphCell(U'-'));
    EXPECT_EQ(HudGlyphCell(0x2014), HudGlyphCell(U'-'));
    EXPECT_EQ(HudGlyphCell(0x2019), HudGlyphCell(U'\''));
    EXPECT_EQ(HudGlyphCell(0x02BC), HudGlyphCell(U'\''));
    EXPECT_EQ(HudGlyphCell(0x00A0), 0);
    EXPECT_EQ(HudGlyphCell(0x20AC), 31);  // euro sign
    EXPECT_EQ(HudGlyphCell(0x09), 31);    // control characters too
    for (int cell = 0; cell < NativeHudFont::kGlyphCount; ++cell) {
        EXPECT_EQ(HudGlyphCell(HudCellCharacter(cell)), cell);
    }
}

TEST(HudAtlas, CellsMipChainAndGlyphCoverage) {
    const NativeHudFont& font = NativeHudFont::Get();
    ASSERT_EQ(font.levels.size(), 13u);
    for (size_t i = 0; i < font.levels.size(); ++i) {
        const size_t side = size_t(4096) >> i;
        EXPECT_EQ(font.levels[i].size(), side * side) << "level " << i;
    }
    const auto cellAt = [&](int cell, int x, int y) {
        EXPECT_EQ(font.glyphs[cell].x, x);
        EXPECT_EQ(font.glyphs[cell].y, y);
    };
    cellAt(0, 0, 0);
    cellAt(31, 3968, 0);
    cellAt(95, 3968, 256);
    cellAt(191, 3968, 640);
    cellAt(192, 0, 768);

    // Each mip texel is the rounded mean of its 2 x 2 block.
    const auto& l0 = font.levels[0];
    const auto& l1 = font.levels[1];
    for (int y = 40; y < 48; ++y) {
        for (int x = 1000; x < 1016; ++x) {
            const unsigned sum = l0[size_t(2 * y) * 4096 + 2 * x] + l0[size_t(2 * y) * 4096 + 2 * x + 1] +
                                 l0[size_t(2 * y + 1) * 4096 + 2 * x] + l0[size_t(2 * y + 1) * 4096 + 2 * x + 1];
            EXPECT_EQ(l1[size_t(y) * 2048 + x], (sum + 2) / 4);
        }
    }
    // Letters leave coverage in their cells; the space and the unused rows stay empty.
    const auto coverage = [&](int cell) {
        unsigned long long total = 0;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                total += l0[size_t(font.glyphs[cell].y + y) * 4096 + font.glyphs[cell].x + x];
            }
        }
        return total;
    };
    EXPECT_EQ(coverage(0), 0u);
    EXPECT_GT(coverage(HudGlyphCell(U'W')), coverage(HudGlyphCell(U'.')));
    EXPECT_GT(coverage(HudGlyphCell(0x416)), 0u);  // Ж
    EXPECT_GT(coverage(192), 0u);                   // ґ
    EXPECT_GT(font.glyphs[HudGlyphCell(U'W')].advance, font.glyphs[HudGlyphCell(U'i')].advance);
    EXPECT_EQ(l0[size_t(4000) * 4096 + 4000], 0);
}

TEST(HudAtlas, MipChainRoundsTheMean) {
    std::vector<std::vector<uint8_t>> levels{{0, 1, 2, 255, 10, 10, 10, 10, 0, 0, 0, 1, 7, 7, 7, 8}};
    AppendHudMipChain(levels, 4);
    ASSERT_EQ(levels.size(), 3u);
    // Top-left block 0, 1, 10, 10 -> (21 + 2) / 4 = 5; bottom-right 0, 1, 7, 8 -> 4.
    EXPECT_EQ(levels[1], (std::vector<uint8_t>{5, 69, 4, 4}));
    EXPECT_EQ(levels[2], (std::vector<uint8_t>{21}));
}

TEST(HudText, QuadsSizesAndSnapping) {
    std::vector<Vertex> list;
    GeometryBuilder b(list, {}, {0, 0, 1}, 0, 1280, 720);
    const gameplay::Color3 ink{0.9f, 0.94f, 0.95f};
    b.HudText("", 10, 10, 2, ink);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(GeometryBuilder::HudTextWidth("", 2), 0.0f);

    b.HudText("AB\xD0\x96", 100.4f, 50.6f, 2.4f, ink);
    ASSERT_EQ(list.size(), 36u);  // 12 vertices a character
    const float cell = 24.0f * 1.3333334f;  // size 2.4: 24 px font, 32 px cell
    // Shadow first, offset (1, 2), then the glyph at the snapped start (100, 51).
    EXPECT_NEAR(test::PixelX(list[0], 1280), 101.0f, 1e-3f);
    EXPECT_NEAR(test::PixelY(list[0], 720), 53.0f, 1e-3f);
    EXPECT_NEAR(test::PixelX(list[6], 1280), 100.0f, 1e-3f);
    EXPECT_NEAR(test::PixelY(list[6], 720), 51.0f, 1e-3f);
    EXPECT_NEAR(test::PixelX(list[8], 1280), 100.0f + cell, 1e-3f);
    EXPECT_NEAR(test::PixelY(list[8], 720), 51.0f + cell, 1e-3f);
    EXPECT_EQ(list[6].textured, 2.0f);
    EXPECT_TRUE(test::SameColour(list[0], {0.015f, 0.02f, 0.025f}));
    EXPECT_TRUE(test::SameColour(list[6], ink));
    // The glyph covers its whole atlas cell, 1/32 of the texture each way.
    EXPECT_FLOAT_EQ(list[8].uv[0] - list[6].uv[0], 0.03125f);
    // The pen advances by the unrounded advance; only the start was snapped.
    const NativeHudFont& font = NativeHudFont::Get();
    const float advanceA = font.glyphs[HudGlyphCell(U'A')].advance / 96.0f * 24.0f;
    EXPECT_NEAR(test::PixelX(list[18], 1280), 100.0f + advanceA, 1e-3f);
    EXPECT_EQ(test::FindText(list, 1280, 720, 100.4f, 50.6f, 2.4f, ink).text, U"AB\u0416");  // Ж

    // Below 1.6 the font stays 16 pixels high; the width follows the same rule.
    EXPECT_FLOAT_EQ(GeometryBuilder::HudTextWidth("A", 1.2f), font.glyphs[HudGlyphCell(U'A')].advance / 96.0f * 16.0f);
    EXPECT_FLOAT_EQ(GeometryBuilder::HudTextWidth("\xE2\x80\x94", 2.0f), GeometryBuilder::HudTextWidth("-", 2.0f));
    EXPECT_FLOAT_EQ(GeometryBuilder::HudTextWidth("\xF0\x9F\x98\x80", 2.0f), 4 * GeometryBuilder::HudTextWidth("?", 2.0f));
}

TEST(HudText, RectQuadAndLineVertices) {
    std::vector<Vertex> list;
    GeometryBuilder b(list, {}, {0, 0, 1}, 0, 1000, 500);
    b.HudRect(100, 50, 200, 25, {1, 0, 0});
    ASSERT_EQ(list.size(), 6u);
    EXPECT_FLOAT_EQ(list[0].position[0], -0.8f);
    EXPECT_FLOAT_EQ(list[0].position[1], -0.8f);  // y down, no flip
    EXPECT_FLOAT_EQ(list[2].position[0], -0.4f);
    EXPECT_FLOAT_EQ(list[2].position[1], -0.7f);
    EXPECT_FLOAT_EQ(list[5].position[2], 0.0f);
    EXPECT_FLOAT_EQ(list[5].position[3], 1.0f);
    EXPECT_EQ(test::FindRect(list, 1000, 500, 100, 50, 200, 25, {1, 0, 0}), 0);

    list.clear();
    b.HudLine(10, 10, 10.0005f, 10, 4, {1, 1, 1});
    EXPECT_TRUE(list.empty());  // shorter than 0.001 draws nothing
    b.HudLine(10, 20, 110, 20, 4, {1, 1, 1});
    ASSERT_EQ(list.size(), 6u);
    EXPECT_NEAR(test::PixelY(list[0], 500), 22.0f, 1e-3f);  // half the thickness each side
    EXPECT_NEAR(test::PixelY(list[2], 500), 18.0f, 1e-3f);
}

}  // namespace
}  // namespace tarvo::renderer
