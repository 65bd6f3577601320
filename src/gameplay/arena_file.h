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

// Parses the text of a "TARVARENA1" arena file. Empty when the header, any
// primitive line or the primitive count is bad: an arena is taken whole or not at all.
std::optional<std::vector<ScenePrimitive>> ParseArenaText(std::string_view text);

}  // namespace tarvo::gameplay
