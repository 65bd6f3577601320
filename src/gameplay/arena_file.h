#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "gameplay/scene_primitive.h"

namespace tarvo::gameplay {

inline constexpr std::string_view kArenaFileMagic = "TARVARENA1";
inline constexpr std::size_t kMinArenaPrimitives = 5;
inline constexpr std::size_t kMaxArenaPrimitives = 512;
// Larger arena files are refused whole; a full arena with comments is far smaller.
inline constexpr std::size_t kMaxArenaFileBytes = 4u << 20;
// Every box must lie within this many metres of the origin on each axis (centre plus half
// the size). The playable box reaches 41 m and the built-in and shipped arenas end at 42.5 m;
// nothing farther can be walked to or fought over, and the work derived from a box (collision,
// decorations, drawing) stays small.
inline constexpr float kArenaReach = 64.0f;

// Parses the text of a "TARVARENA1" arena file. Empty when the header, any
// primitive line or the primitive count is bad: an arena is taken whole or not at all.
std::optional<std::vector<ScenePrimitive>> ParseArenaText(std::string_view text);

}  // namespace tarvo::gameplay
