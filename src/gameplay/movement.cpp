#include "gameplay/training_simulation.h"
#include "gameplay/world_math.h"

#include <algorithm>
#include <cmath>

namespace tarvo::gameplay {
namespace {

constexpr float kPlayerRadius = 0.4f;
constexpr float kStandingHeight = 1.75f;
constexpr float kCrouchingHeight = 1.15f;
// Highest ledge a body steps onto without jumping.
constexpr float kStepHeight = 0.52f;
// Boxes that only graze the body's top or bottom do not block it.
constexpr float kVerticalSlack = 0.02f;
constexpr float kRayReach = 1000.0f;
constexpr float kParallelEpsilon = 1e-5f;

bool ClimbableKind(ScenePrimitiveKind kind) {
    return kind == ScenePrimitiveKind::Cover || kind == ScenePrimitiveKind::Platform;
}

}  // namespace

void TrainingSimulation::RebuildWorldCache() {
    blockers.clear();
    walkables.clear();
    for (const ScenePrimitive& p : arena) {
        WorldBox box;
        box.min = {p.center.x - p.size.x / 2, p.center.y - p.size.y / 2, p.center.z - p.size.z / 2};
        box.max = {p.center.x + p.size.x / 2, p.center.y + p.size.y / 2, p.center.z + p.size.z / 2};
        box.sizeY = p.size.y;
        box.sizeZ = p.size.z;
        box.kind = p.kind;
        if (p.solid && p.kind != ScenePrimitiveKind::Floor) {
            blockers.push_back(box);
        }
        // Walkable surfaces ignore the solid flag.
        if (ClimbableKind(p.kind) || p.kind == ScenePrimitiveKind::Ramp) {
            walkables.push_back(box);
        }
    }
}

float TrainingSimulation::WalkableSurface(const WorldBox& box, float z) const {
    if (box.kind == ScenePrimitiveKind::Ramp) {
        const float t = std::clamp((z - box.min.z) / box.sizeZ, 0.0f, 1.0f);
        return box.min.y + t * box.sizeY;
    }
    return box.max.y;
}

bool TrainingSimulation::PositionBlocked(Vec3 feet, float radius, float height) const {
    if (feet.x - radius < playableMinimum.x || feet.x + radius > playableMaximum.x ||
        feet.z - radius < playableMinimum.z || feet.z + radius > playableMaximum.z) {
        return true;
    }
    const float radiusSquared = radius * radius;
    for (const WorldBox& box : blockers) {
        if (box.min.y + kVerticalSlack >= feet.y + height || feet.y >= box.max.y - kVerticalSlack) {
            continue;
        }
        const float nearestX = std::clamp(feet.x, box.min.x, box.max.x);
        const float nearestZ = std::clamp(feet.z, box.min.z, box.max.z);
        const float ox = feet.x - nearestX;
        const float oz = feet.z - nearestZ;
        if (!(ox * ox + oz * oz < radiusSquared)) {
            continue;
        }
        if (ClimbableKind(box.kind)) {
            if (box.max.y - kStepHeight > feet.y) {
                return true;
            }
        } else if (box.kind == ScenePrimitiveKind::Ramp) {
            const float t = std::clamp((feet.z - box.min.z) / std::max(box.sizeZ, 0.001f), 0.0f, 1.0f);
            if (box.min.y + t * box.sizeY - kStepHeight > feet.y) {
                return true;
            }
        } else {
            return true;
        }
    }
    return false;
}

float TrainingSimulation::GroundHeightAt(Vec3 feet) const {
    float ground = 0.0f;
    for (const WorldBox& box : walkables) {
        if (feet.x < box.min.x || feet.x > box.max.x || feet.z < box.min.z || feet.z > box.max.z) {
            continue;
        }
        const float surface = WalkableSurface(box, feet.z);
        if (feet.y >= surface - kStepHeight) {
            ground = std::max(ground, surface);
        }
    }
    return ground;
}

bool TrainingSimulation::TryMove(Vec3& position, Vec3 delta, float radius, float height) const {
    const int steps = detail::SubStepCount(Length(delta));
    const float dx = delta.x / static_cast<float>(steps);
    const float dz = delta.z / static_cast<float>(steps);
    bool moved = false;
    for (int i = 0; i < steps; ++i) {
        // Each axis alone, so a blocked axis slides along the other. An axis
        // without motion is not tested: it would change nothing.
        if (dx != 0.0f && !PositionBlocked({position.x + dx, position.y, position.z}, radius, height)) {
            position.x += dx;
            moved = true;
        }
        if (dz != 0.0f && !PositionBlocked({position.x, position.y, position.z + dz}, radius, height)) {
            position.z += dz;
            moved = true;
        }
    }
    return moved;
}

void TrainingSimulation::UpdatePlayer(const InputState& input, float dt) {
    player.crouching = input.crouch;

    const float yaw = player.yaw * detail::kDegreesToRadians;
    const float sy = std::sin(yaw);
    const float cy = std::cos(yaw);
    Vec3 wish;
    if (input.forward) {
        wish = wish + Vec3{sy, 0.0f, cy};
    }
    if (input.back) {
        wish = wish - Vec3{sy, 0.0f, cy};
    }
    if (input.right) {
        wish = wish + Vec3{cy, 0.0f, -sy};
    }
    if (input.left) {
        wish = wish - Vec3{cy, 0.0f, -sy};
    }
    // A yaw that is no longer finite (an absurd mouse sensitivity) must not walk
    // the player into NaN coordinates: such a wish direction counts as none.
    wish = Dot(wish, wish) > 0.0f ? Normalize(wish) : Vec3{};

    const float speed = player.crouching ? config.crouch_speed
                        : input.sprint   ? config.sprint_speed
                                         : config.walk_speed;
    const float height = player.crouching ? kCrouchingHeight : kStandingHeight;
    TryMove(player.position, wish * speed * dt, kPlayerRadius, height);

    // `grounded` is cleared only by a jump, so a player who walks off a ledge can
    // still jump while falling.
    if (input.jump && player.grounded && !input.crouch) {
        player.verticalVelocity = config.jump_velocity;
        player.grounded = false;
    }
    player.verticalVelocity -= config.gravity * dt;
    player.position.y += player.verticalVelocity * dt;

    const float ground = GroundHeightAt(player.position);
    if (ground >= player.position.y) {
        player.position.y = ground;
        player.verticalVelocity = 0.0f;
        player.grounded = true;
    }

    const Vec3 p = player.position;
    const bool outside = !(p.x >= playableMinimum.x && p.x <= playableMaximum.x && p.y >= playableMinimum.y &&
                           p.y <= playableMaximum.y && p.z >= playableMinimum.z && p.z <= playableMaximum.z);
    if (outside) {
        player.position = lastSafePosition;
        player.verticalVelocity = 0.0f;
        player.grounded = true;
        ++outOfBoundsRecoveries;
        Emit("PlayerOutOfBoundsRecovered", -1);
    } else if (!PositionBlocked(player.position, kPlayerRadius, height)) {
        lastSafePosition = player.position;
    }
}

bool TrainingSimulation::RaycastWorld(Vec3 origin, Vec3 direction, float maxDistance, float& hitDistance) const {
    const Vec3 d = Normalize(direction);
    hitDistance = maxDistance;
    float best = maxDistance;
    bool hit = false;
    const float o[3] = {origin.x, origin.y, origin.z};
    const float dir[3] = {d.x, d.y, d.z};
    for (const WorldBox& box : blockers) {
        const float lo[3] = {box.min.x, box.min.y, box.min.z};
        const float hi[3] = {box.max.x, box.max.y, box.max.z};
        float tmin = 0.0f;
        float tmax = kRayReach;
        bool missed = false;
        for (int axis = 0; axis < 3 && !missed; ++axis) {
            if (std::fabs(dir[axis]) < kParallelEpsilon) {
                missed = o[axis] < lo[axis] || o[axis] > hi[axis];
                continue;
            }
            const float t1 = (lo[axis] - o[axis]) / dir[axis];
            const float t2 = (hi[axis] - o[axis]) / dir[axis];
            tmin = std::max(tmin, std::min(t1, t2));
            tmax = std::min(tmax, std::max(t1, t2));
            missed = tmin > tmax;
        }
        if (!missed && tmin <= maxDistance && tmin < best) {
            best = tmin;
            hitDistance = tmin;
            hit = true;
        }
    }
    return hit;
}

}  // namespace tarvo::gameplay
