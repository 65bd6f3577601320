#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tarvo::renderer {

// One atlas cell: its top-left corner in level 0 and the character's advance, all in
// texels at the atlas font height of 96 pixels.
struct HudGlyph {
    int32_t x = 0;
    int32_t y = 0;
    int32_t advance = 0;
};

// The process-wide HUD glyph atlas: 193 cells of 128 x 128 texels (printable ASCII,
// the Cyrillic block U+0400..U+045F, then U+0490 and U+0491) rasterised once with GDI
// from "Segoe UI" into an 8-bit coverage image of 4096 x 4096 with its full mip chain.
class NativeHudFont {
public:
    static constexpr int kGlyphCount = 193;
    static constexpr int kAtlasSide = 4096;
    static constexpr int kCellSide = 128;
    static constexpr int kCellsPerRow = 32;
    static constexpr int kFontHeight = 96;
    static constexpr int kQuestionCell = 31;

    // Built on first use (thread-safe) and kept until process exit.
    static NativeHudFont& Get();

    std::array<HudGlyph, kGlyphCount> glyphs{};
    // Level 0 is 4096 x 4096 bytes, each further level half the side, down to 1 x 1.
    // A failed GDI pass leaves one all-zero level.
    std::vector<std::vector<uint8_t>> levels;

    NativeHudFont(const NativeHudFont&) = delete;
    NativeHudFont& operator=(const NativeHudFont&) = delete;

private:
    NativeHudFont();
};

// The atlas cell of a code point after folding dashes, quotes and the no-break
// space; anything outside the atlas gives the "?" cell.
int HudGlyphCell(char32_t codePoint);

// The character drawn in an atlas cell (0..192).
char32_t HudCellCharacter(int cell);

// Appends box-filtered levels (rounded mean of each 2 x 2 block) to a square level
// of the given side until a 1 x 1 level has been made.
void AppendHudMipChain(std::vector<std::vector<uint8_t>>& levels, int side);

}  // namespace tarvo::renderer
