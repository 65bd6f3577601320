#pragma once
// Value rules of the settings, graphics-failure and update commands, apart from
// the shell so tests check them directly.
#include <string_view>

#include "renderer/render_backend.h"

namespace tarvo::ui {

// The volume track spans canvas x 520 to 1400: the volume of a click at x, 0..1
// (a click without a usable position gives 0).
float VolumeFromTrackX(float x);

// "vulkan" and "d3d11" name their backends; any other word means automatic.
renderer::RenderBackendKind RendererFromWord(std::string_view word);

// The frame-rate limit of an "fps." suffix: 30..300; false when it holds no number.
bool FpsLimitFromSuffix(std::string_view suffix, int& fpsLimit);

}  // namespace tarvo::ui
