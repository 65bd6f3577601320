#pragma once

#include <algorithm>
#include <cmath>
#include <numbers>

#include "gameplay/vec3.h"

namespace tarvo::gameplay::detail {

inline constexpr float kRadiansToDegrees = 180.0f / std::numbers::pi_v<float>;
inline constexpr float kDegreesToRadians = std::numbers::pi_v<float> / 180.0f;

// Longest collision-tested move; keeps a 0.4 m body from passing through walls.
inline constexpr float kMaxSubStep = 0.16f;
// A step never walks more sub-steps than this, so an absurd configured speed cannot
// stall the frame; below about 160 m per step the count is never reached.
inline constexpr int kMaxSubSteps = 1024;

inline float FlatDistance(Vec3 a, Vec3 b) {
    const float dx = b.x - a.x;
    const float dz = b.z - a.z;
    return std::sqrt(dx * dx + dz * dz);
}

inline int SubStepCount(float length) {
    const float steps = std::ceil(length / kMaxSubStep);
    if (!(steps < static_cast<float>(kMaxSubSteps))) {
        return kMaxSubSteps;  // also a non-finite length
    }
    return std::max(1, static_cast<int>(steps));
}

}  // namespace tarvo::gameplay::detail
