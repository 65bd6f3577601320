#pragma once

#include <string>
#include <vector>

#include "gameplay/vec3.h"

namespace tarvo::renderer {
struct RenderOverlay;
}

namespace tarvo::presentation {

struct MatchHudRect {
    float x = 0.0f;       // left edge, pixels
    float y = 0.0f;       // top edge, pixels (y grows downward)
    float width = 0.0f;
    float height = 0.0f;
    gameplay::Color3 color{};
};

struct MatchHudText {
    std::string text;     // UTF-8
    float x = 0.0f;       // top-left corner of the text box, pixels
    float y = 0.0f;
    float size = 0.0f;    // font pixel height
    gameplay::Color3 color{};
};

// The online match HUD as flat lists in painter's order: every rectangle in list
// order, then every text in list order.
struct MatchHudLayout {
    std::vector<MatchHudRect> rects;
    std::vector<MatchHudText> texts;
};

// Lays out the top panel, status line, round-end banner and scoreboard for a render
// target of width x height pixels. Empty unless an online match runs with neither
// the menu nor the arsenal open. The match values come from the server and are
// treated as untrusted: mode and map labels clamp to their tables, a point letter
// that would not be printable ASCII reads "?", the progress is clamped, and the
// scoreboard never lays out more rows than its panel holds (the local row stays
// among them). Pure.
MatchHudLayout BuildMatchHud(const renderer::RenderOverlay& overlay, float width, float height);

// The arsenal panel's line for an economy status code (exact, case-sensitive match).
std::string ShopMessage(const std::string& code, bool ukrainian);

// Most scoreboard rows that fit inside the panel's fixed maximum height.
inline constexpr int kMatchHudMaxScoreRows = 18;

}  // namespace tarvo::presentation
