#pragma once

#include <cstdint>

#include "gameplay/vec3.h"

namespace tarvo::gameplay {

// Tells the renderers which shape to draw; the simulation never reads it.
enum class ScenePrimitiveType : uint32_t {
    Box = 0,
    Ramp = 1,
};

// How a box acts on bodies, walking and rays.
enum class ScenePrimitiveKind : int32_t {
    Floor = 0,      // never blocks; ground level 0 stands for it
    Wall = 1,
    Cover = 2,      // climbable when its top is at most 0.52 m above the feet
    Ramp = 3,       // surface rises linearly along +z
    Platform = 4,   // acts like Cover
    Roof = 5,
    OuterWall = 6,
};

// One coloured box of an arena or a decoration.
struct ScenePrimitive {
    ScenePrimitiveType type = ScenePrimitiveType::Box;
    Vec3 center;
    Vec3 size;          // full extents
    Color3 color;
    bool solid = false;
    ScenePrimitiveKind kind = ScenePrimitiveKind::Floor;
};

}  // namespace tarvo::gameplay
