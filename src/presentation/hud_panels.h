#pragma once
// The pause menu and the arsenal window as the player sees them over a match, laid
// out once for every painter: the Vulkan HUD, the Direct3D 11 HUD and the main
// window while the render view is hidden.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "presentation/match_hud.h"

namespace tarvo::presentation {

// The HUD's palette, linear colours as the Vulkan swapchain takes them.
inline constexpr gameplay::Color3 HudInk{0.90f, 0.94f, 0.95f};
inline constexpr gameplay::Color3 HudLime{0.63f, 0.95f, 0.02f};
inline constexpr gameplay::Color3 HudCyan{0.0f, 0.72f, 0.92f};
inline constexpr gameplay::Color3 HudAlert{0.62f, 0.09f, 0.075f};
inline constexpr gameplay::Color3 HudSteel{0.38f, 0.48f, 0.51f};
inline constexpr gameplay::Color3 HudPanel{0.018f, 0.032f, 0.038f};

struct PanelText {
    std::string text;      // UTF-8
    float x = 0.0f;        // left edge, or the centre when centred
    float y = 0.0f;        // top edge
    float size = 0.0f;     // font pixel height
    float width = 0.0f;    // room on its one line: a wider text is drawn smaller, to fit
    bool centred = false;
    gameplay::Color3 color{};
};

// Rectangles and texts in painter's order; each painter measures the texts with its
// own font and applies the fit rule of PanelText.
using PanelItem = std::variant<MatchHudRect, PanelText>;
struct PanelLayout {
    std::vector<PanelItem> items;
};

// Pause menu row 0..3 (continue, restart training or the online arsenal, settings,
// leave) with its fill: where it is drawn and where its clicks land.
MatchHudRect PauseMenuRow(float width, float height, int row);
// Arsenal window row 0..2, one per weapon, likewise.
MatchHudRect ArsenalRow(float width, float height, int row);

PanelLayout BuildPausePanel(bool online, bool ukrainian, int map, float width, float height);

struct ArsenalState {
    int32_t coins = 0;
    uint32_t ownedWeaponMask = 1;  // bit n = arsenal weapon n
    uint32_t selectedWeapon = 0;
    std::string_view shopStatus;   // status code such as "READY"
};
PanelLayout BuildArsenalPanel(const ArsenalState& state, bool ukrainian, float width, float height);

}  // namespace tarvo::presentation
