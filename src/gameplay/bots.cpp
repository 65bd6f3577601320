#include "gameplay/training_simulation.h"
#include "gameplay/world_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvo::gameplay {
namespace {

constexpr float kBotRadius = 0.4f;
constexpr float kBotHeight = 1.78f;
constexpr float kBotEyeHeight = 1.42f;
constexpr float kSightRange = 38.0f;
constexpr float kCloseAwareness = 8.0f;     // no facing test nearer than this
constexpr float kSightConeCosine = 0.4226183f;  // cos 65 degrees
constexpr float kSpawnSettleSeconds = 0.45f;
constexpr float kSearchTurnRate = 42.0f;    // degrees per second
constexpr float kSearchGiveUpSeconds = 2.2f;
constexpr float kInvestigateSpeed = 2.15f;
constexpr float kInvestigateArrival = 1.8f;
constexpr float kInvestigateGiveUpSeconds = 7.0f;
constexpr float kEngageSpeed = 2.05f;
constexpr float kBackOffSpeed = 1.8f;
constexpr float kNodeArrival = 0.8f;
constexpr float kStuckDistance = 0.002f;
constexpr float kStuckSeconds = 1.25f;
constexpr float kBotShotDamage = 12.0f;

bool IsDead(BotState state) {
    return state == BotState::Killed || state == BotState::AwaitingRespawn;
}

Vec3 BotEye(const Bot& bot) {
    return bot.position + Vec3{0.0f, kBotEyeHeight, 0.0f};
}

float YawTowards(float dx, float dz) {
    return std::atan2(dx, dz) * detail::kRadiansToDegrees;
}

// Node counts are never 0 once built; the guard keeps a hand-made empty graph safe.
int WrapNode(long long value, int count) {
    if (count <= 0) {
        return 0;
    }
    const long long wrapped = value % count;
    return static_cast<int>(wrapped < 0 ? wrapped + count : wrapped);
}

}  // namespace

bool TrainingSimulation::CanSeeTarget(const Bot& bot) const {
    if (player.dead) {
        return false;
    }
    const Vec3 eye = BotEye(bot);
    const Vec3 v = CameraPosition() - eye;
    const float d = Length(v);
    if (d > kSightRange || d < 0.01f) {
        return false;
    }
    if (d > kCloseAwareness) {
        const float yaw = bot.yaw * detail::kDegreesToRadians;
        const Vec3 facing{std::sin(yaw), 0.0f, std::cos(yaw)};
        const Vec3 flat = Normalize({v.x, 0.0f, v.z});
        if (Dot(facing, flat) < kSightConeCosine) {
            return false;
        }
    }
    float hitDistance = 0.0f;
    return !RaycastWorld(eye, Normalize(v), d - 0.12f, hitDistance);
}

bool TrainingSimulation::EnsureBotPath(Bot& bot, int targetNode) {
    PlanPath(NearestNavigationNode(bot.position), targetNode, bot.path);
    bot.pathIndex = bot.path.size() >= 2 ? 1 : 0;
    bot.targetNode = targetNode;
    return bot.path.size() >= 2;
}

void TrainingSimulation::FollowBotPath(Bot& bot, float dt, float speed) {
    if (bot.path.empty() || bot.pathIndex >= bot.path.size()) {
        return;
    }
    const int node = bot.path[bot.pathIndex];
    if (node < 0 || node >= static_cast<int>(navigationNodes.size())) {
        return;
    }
    const Vec3 target = navigationNodes[node].position;
    const float dx = target.x - bot.position.x;
    const float dz = target.z - bot.position.z;
    if (std::sqrt(dx * dx + dz * dz) < kNodeArrival) {
        ++bot.pathIndex;
        return;
    }
    const Vec3 dir = Normalize({dx, 0.0f, dz});
    bot.yaw = YawTowards(dir.x, dir.z);
    WalkBot(bot, dir * speed * dt);
}

void TrainingSimulation::WalkBot(Bot& bot, Vec3 delta) {
    TryMove(bot.position, delta, kBotRadius, kBotHeight);
    // Bots have no vertical motion: they stand on whatever surface is under them,
    // judged from the height they had before the step, so a ledge takes them down
    // and a box taller than a step never lifts them.
    bot.position.y = GroundHeightAt(bot.position);
}

void TrainingSimulation::UpdateBots(float dt) {
    if (player.dead) {
        return;
    }
    for (Bot& bot : bots) {
        UpdateBot(bot, dt);
    }
}

void TrainingSimulation::UpdateBot(Bot& bot, float dt) {
    const auto burstLength = [this](float r) {
        const double spread = std::max(0.0, static_cast<double>(config.bot_burst_max) - config.bot_burst_min);
        const double length = config.bot_burst_min + std::floor(r * (spread + 1.0));
        // Extreme configured bounds must not overflow the counter, nor its decrement after each shot: any
        // length of 1 or less fires one shot a burst, so the lowest one is kept one above the type's minimum.
        return static_cast<int32_t>(std::clamp(length, static_cast<double>(std::numeric_limits<int32_t>::min() + 1),
                                               static_cast<double>(std::numeric_limits<int32_t>::max())));
    };
    const int nodeCount = static_cast<int>(navigationNodes.size());

    bot.stateTimer += dt;

    if (IsDead(bot.state)) {
        bot.state = BotState::AwaitingRespawn;
        bot.respawnTimer -= dt;
        if (bot.respawnTimer <= 0.0f) {
            bot.position = bot.spawnPosition;
            bot.health = config.bot_health;
            bot.state = BotState::Spawned;
            bot.stateTimer = 0.0f;
            bot.reactionTimer = config.bot_reaction_seconds;
            bot.aimDelayTimer = config.bot_aim_delay;
            bot.hasLastKnownTarget = false;
            bot.path.clear();
            Emit("BotSpawned", bot.id);
        }
        return;
    }

    bot.seesTarget = CanSeeTarget(bot);
    const float dx = player.position.x - bot.position.x;
    const float dz = player.position.z - bot.position.z;
    const float dist = Length(player.position - bot.position);

    if (bot.seesTarget) {
        bot.lastKnownTargetPosition = player.position;
        bot.hasLastKnownTarget = true;
        bot.timeSinceSeen = 0.0f;
        if (bot.state == BotState::Spawned || bot.state == BotState::Patrol || bot.state == BotState::Search ||
            bot.state == BotState::Investigate) {
            bot.state = BotState::Search;
            bot.reactionTimer -= dt;
            if (bot.reactionTimer <= 0.0f) {
                bot.state = BotState::Engage;
                bot.stateTimer = 0.0f;
                bot.aimDelayTimer = config.bot_aim_delay;
                bot.burstRemaining = burstLength(NextRandom());
                Emit("BotTargetAcquired", bot.id);
            }
        }
    } else {
        bot.timeSinceSeen += dt;
        bot.reactionTimer = config.bot_reaction_seconds;
        if ((bot.state == BotState::Search || bot.state == BotState::Engage || bot.state == BotState::Strafe) &&
            bot.hasLastKnownTarget) {
            bot.state = BotState::Investigate;
            EnsureBotPath(bot, NearestNavigationNode(bot.lastKnownTargetPosition));
            Emit("BotInvestigatingLastKnownPosition", bot.id);
        }
    }

    const float preferred = config.bot_preferred_distance;
    switch (bot.state) {
    case BotState::Spawned:
        if (bot.stateTimer > kSpawnSettleSeconds) {
            bot.state = BotState::Patrol;
            bot.stateTimer = 0.0f;
        }
        break;
    case BotState::Patrol:
        if (bot.path.empty() || bot.pathIndex >= bot.path.size()) {
            EnsureBotPath(bot, WrapNode(static_cast<long long>(bot.targetNode) + bot.id + 5, nodeCount));
        }
        FollowBotPath(bot, dt, 1.65f + 0.35f * config.bot_movement_aggression);
        break;
    case BotState::Search:
        bot.yaw += bot.strafeSign * kSearchTurnRate * dt;
        if (!bot.seesTarget && bot.stateTimer > kSearchGiveUpSeconds) {
            bot.state = BotState::Patrol;
            bot.stateTimer = 0.0f;
        }
        break;
    case BotState::Investigate:
        FollowBotPath(bot, dt, kInvestigateSpeed);
        if (detail::FlatDistance(bot.position, bot.lastKnownTargetPosition) < kInvestigateArrival ||
            bot.timeSinceSeen > kInvestigateGiveUpSeconds) {
            bot.state = BotState::Search;
            bot.stateTimer = 0.0f;
            bot.hasLastKnownTarget = false;
        }
        break;
    case BotState::Engage:
    case BotState::Strafe: {
        if (!bot.seesTarget) {
            return;  // engaged without sight or a place to investigate: hold, no stuck check
        }
        bot.yaw = YawTowards(dx, dz);
        const Vec3 dir = Normalize({dx, 0.0f, dz});
        Vec3 move;
        if (dist < 0.58f * preferred) {
            bot.state = BotState::BackOff;
            move = dir * -1.0f;
        } else if (dist > 1.35f * preferred) {
            move = dir;
        } else if (config.bot_strafe_probability * dt * 5.0f > NextRandom()) {
            bot.state = BotState::Strafe;
            move = {dir.z * bot.strafeSign, 0.0f, -dir.x * bot.strafeSign};
            if (NextRandom() < 0.28f) {
                bot.strafeSign = -bot.strafeSign;
            }
        }
        if (move.x != 0.0f || move.z != 0.0f) {
            WalkBot(bot, move * kEngageSpeed * dt);
        }

        bot.fireTimer -= dt;
        bot.aimDelayTimer -= dt;
        if (bot.fireTimer <= 0.0f && bot.aimDelayTimer <= 0.0f) {
            const Vec3 eye = BotEye(bot);
            const Vec3 v = CameraPosition() - eye;
            const float eyeDistance = Length(v);
            float hitDistance = 0.0f;
            if (RaycastWorld(eye, v, dist + 2.0f, hitDistance) && eyeDistance > hitDistance + 0.05f) {
                Emit("BotShotBlockedByWorld", bot.id);
            } else if (NextRandom() > config.bot_aim_error) {
                DamagePlayer(kBotShotDamage);
            }
            bot.burstRemaining -= 1;
            if (bot.burstRemaining > 0) {
                bot.fireTimer = config.bot_fire_interval * 0.3f;
            } else {
                const float r1 = NextRandom();
                const float r2 = NextRandom();
                bot.fireTimer = (0.85f + 0.35f * r1) * config.bot_fire_pause;
                bot.burstRemaining = burstLength(r2);
            }
        }
        break;
    }
    case BotState::BackOff: {
        bot.yaw = YawTowards(dx, dz);
        const Vec3 dir = Normalize({dx, 0.0f, dz});
        WalkBot(bot, dir * -kBackOffSpeed * dt);
        if (dist > 0.78f * preferred) {
            bot.state = BotState::Strafe;
            bot.stateTimer = 0.0f;
        }
        break;
    }
    case BotState::Killed:
    case BotState::AwaitingRespawn:
        break;
    }

    const float moved = detail::FlatDistance(bot.position, bot.stuckCheckPosition);
    if (moved < kStuckDistance &&
        (bot.state == BotState::Patrol || bot.state == BotState::Investigate || bot.state == BotState::Strafe)) {
        bot.stuckTimer += dt;
        if (bot.stuckTimer > kStuckSeconds) {
            const int nearest = NearestNavigationNode(bot.position);
            EnsureBotPath(bot, WrapNode(static_cast<long long>(nearest) + bot.id + 3, nodeCount));
            bot.strafeSign = -bot.strafeSign;
            bot.stuckTimer = 0.0f;
            Emit("BotStuckRecovery", bot.id);
        }
    } else {
        bot.stuckTimer = 0.0f;
    }
    bot.stuckCheckPosition = bot.position;
}

}  // namespace tarvo::gameplay
