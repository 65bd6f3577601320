#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <tuple>
#include <utility>

#include "gameplay_test_support.h"

namespace tarvo::gameplay {
namespace {

using testing::CountEvents;
using testing::LoadArenaText;
using testing::OpenHallArena;
using testing::Steps;

// One live bot in an open hall, with id `id`: the bots below it are dead for good.
// The player is tough enough to survive long fights.
std::unique_ptr<TrainingSimulation> OneBot(GameplayConfig config = {}, std::string_view extra = {}, int id = 0) {
    config.bot_count = id + 1;
    config.player_health = 100000;
    if (id > 0) config.bot_respawn_seconds = 1e9f;
    auto sim = std::make_unique<TrainingSimulation>(config);
    EXPECT_TRUE(LoadArenaText(*sim, OpenHallArena(extra)));
    sim->Start();
    for (int i = 0; i < id; ++i) sim->DamageBot(i, 1e9f);
    sim->DrainEvents();
    return sim;
}

const Bot& TheBot(const TrainingSimulation& sim) {
    return sim.Bots().back();
}

size_t TheBotIndex(const TrainingSimulation& sim) {
    return sim.Bots().size() - 1;
}

// Steps until the condition holds; the number of steps taken, or -1.
int StepUntil(TrainingSimulation& sim, const std::function<bool(const Bot&)>& done, int maxSteps) {
    for (int i = 1; i <= maxSteps; ++i) {
        Steps(sim, 1);
        if (done(TheBot(sim))) return i;
    }
    return -1;
}

auto InState(BotState state) {
    return [state](const Bot& b) { return b.state == state; };
}

// Bot at (0, 0, -20) facing +z, player `distance` ahead of it.
void FaceOff(TrainingSimulation& sim, float distance) {
    sim.SetBotPositionForQa(TheBotIndex(sim), {0, 0, -20});
    sim.SetBotYawForQa(TheBotIndex(sim), 0);
    sim.SetPlayerPositionForQa({0, 0, -20 + distance});
}

void HidePlayer(TrainingSimulation& sim) {
    sim.SetPlayerPositionForQa({0, 0, 38});
}

// Quick to react and never drawing a strafe.
GameplayConfig Steady(float reactionSeconds = 0.01f) {
    GameplayConfig config;
    config.bot_reaction_seconds = reactionSeconds;
    config.bot_strafe_probability = 0;
    return config;
}

::testing::AssertionResult Within(int value, int low, int high) {
    if (value >= low && value <= high) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << value << " is outside " << low << " .. " << high;
}

void ExpectOnlyEvent(const std::vector<SessionEvent>& events, std::string_view name, int value) {
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].name, name);
    EXPECT_EQ(events[0].value, value);
}

TEST(BotSight, RangeConeAndWalls) {
    auto sim = OneBot({}, "0 1 1  10 2 0  1 4 6  0.2 0.2 0.2\n"     // a wall at x = 10
                          "0 2 1  -10 0.75 1  2 1.5 0.2  0.2 0.2 0.2\n");  // a 1.5 m box at (-10, 1)
    const auto sees = [&](Vec3 bot, float yaw, Vec3 player) {
        sim->SetBotPositionForQa(0, bot);
        sim->SetBotYawForQa(0, yaw);
        sim->SetPlayerPositionForQa(player);
        return sim->CanSeeTarget(TheBot(*sim));
    };
    EXPECT_TRUE(sees({0, 0, 0}, 0, {0, 0, 10}));        // ahead, 10 m
    EXPECT_FALSE(sees({0, 0, 0}, 180, {0, 0, 10}));     // behind, 10 m
    EXPECT_FALSE(sees({0, 0, 0}, 66, {0, 0, 10}));      // just outside the 65 degree cone
    EXPECT_TRUE(sees({0, 0, 0}, 64, {0, 0, 10}));
    EXPECT_TRUE(sees({0, 0, 0}, 180, {0, 0, 7}));       // within 8 m whatever the yaw
    EXPECT_TRUE(sees({0, 0, 0}, 0, {0, 11, 4}));        // steeply above: the cone is flat
    EXPECT_FALSE(sees({0, 0, 0}, 90, {0, 11, 4}));
    EXPECT_TRUE(sees({0, 0, -20}, 0, {0, 0, 17.9f}));   // 37.9 m
    EXPECT_FALSE(sees({0, 0, -20}, 0, {0, 0, 18.5f}));  // 38.5 m is never seen
    EXPECT_FALSE(sees({5, 0, 0}, 90, {15, 0, 0}));      // the wall is between
    EXPECT_TRUE(sees({5, 0, 0}, 90, {9, 0, 4}));        // beside the wall's end
    EXPECT_FALSE(sees({-10, 0, 0}, 0, {-10, 0, 10}));   // the box is above the bot's eyes (1.42 m)

    sim->SetPlayerPositionForQa({0, 0, 3});
    sim->SetBotPositionForQa(0, {0, 0, 0});
    sim->DamagePlayer(1e9f);
    EXPECT_FALSE(sim->CanSeeTarget(TheBot(*sim)));      // dead players are not seen
}

TEST(BotStates, PatrolSearchEngage) {
    GameplayConfig config;
    config.bot_strafe_probability = 0;
    auto sim = OneBot(config);
    ASSERT_EQ(TheBot(*sim).state, BotState::Patrol);
    FaceOff(*sim, 10);
    Steps(*sim, 1);
    EXPECT_EQ(TheBot(*sim).state, BotState::Search);
    EXPECT_TRUE(TheBot(*sim).seesTarget);
    EXPECT_TRUE(TheBot(*sim).hasLastKnownTarget);
    EXPECT_EQ(TheBot(*sim).lastKnownTargetPosition.z, -10.0f);
    EXPECT_NEAR(TheBot(*sim).reactionTimer, 0.55f - 1.0f / 120, 1e-5f);

    EXPECT_TRUE(Within(StepUntil(*sim, InState(BotState::Engage), 200), 64, 66));  // 66 steps of sight in all
    const Bot& bot = TheBot(*sim);
    EXPECT_EQ(bot.stateTimer, 0.0f);
    // The first draw of the session: 2 + floor(r x (5 - 2 + 1)) shots.
    EXPECT_EQ(bot.burstRemaining, 2 + static_cast<int>(testing::SeededRandom{}.Next() * 4));
    EXPECT_NEAR(bot.yaw, 0.0f, 1e-3f);  // faces the player
    const auto events = sim->DrainEvents();
    ASSERT_EQ(CountEvents(events, "BotTargetAcquired"), 1);
    for (const auto& e : events) {
        if (e.name == "BotTargetAcquired") { EXPECT_EQ(e.value, 0); }
    }
}

TEST(BotStates, ShortSightingThenLossInvestigatesAndGivesUp) {
    auto sim = OneBot({}, {}, 1);  // strafe sign -1
    sim->SetBotPositionForQa(1, {0, 0, -20});
    sim->SetPlayerPositionForQa({0, 0, -22});  // on node 2 at (0, 0, -22)
    Steps(*sim, 20);
    ASSERT_EQ(TheBot(*sim).state, BotState::Search);
    EXPECT_NEAR(TheBot(*sim).reactionTimer, 0.55f - 20.0f / 120, 1e-5f);

    HidePlayer(*sim);
    Steps(*sim, 1);
    const Bot& bot = TheBot(*sim);
    EXPECT_EQ(bot.state, BotState::Investigate);
    EXPECT_EQ(bot.reactionTimer, 0.55f);
    EXPECT_EQ(bot.targetNode, 2);
    ExpectOnlyEvent(sim->DrainEvents(), "BotInvestigatingLastKnownPosition", 1);

    // Walks at 2.15 m/s and searches once within 1.8 m of the last known position:
    // 0.2 m, twelve steps from the one that lost sight.
    EXPECT_EQ(StepUntil(*sim, InState(BotState::Search), 600), 11);
    EXPECT_NEAR(TheBot(*sim).horizontalSpeed, 2.15f, 1e-3f);
    EXPECT_FALSE(TheBot(*sim).hasLastKnownTarget);
    // Searching turns at 42 degrees a second the way of the strafe sign, then patrols
    // again after 2.2 s.
    const float yaw = TheBot(*sim).yaw;
    Steps(*sim, 60);
    EXPECT_NEAR(TheBot(*sim).yaw - yaw, -21.0f, 1e-3f);
    // 2.2 s is 264 steps; the summed float timer may need one more.
    EXPECT_TRUE(Within(60 + StepUntil(*sim, InState(BotState::Patrol), 600), 264, 265));
}

TEST(BotStates, InvestigationGivesUpAfterSevenSeconds) {
    auto sim = OneBot();
    sim->SetBotPositionForQa(0, {0, 0, -25});
    sim->SetPlayerPositionForQa({3, 0, -28});  // nearest node 0, whose path never passes close by
    Steps(*sim, 2);
    HidePlayer(*sim);
    Steps(*sim, 1);
    ASSERT_EQ(TheBot(*sim).state, BotState::Investigate);
    EXPECT_EQ(TheBot(*sim).targetNode, 0);  // the node nearest the player, not the bot
    EXPECT_TRUE(Within(StepUntil(*sim, InState(BotState::Search), 1200), 838, 842));
    EXPECT_GT(TheBot(*sim).timeSinceSeen, 7.0f);
    // Standing at its path's end while investigating counts as stuck: one re-plan on the way.
    EXPECT_EQ(CountEvents(sim->DrainEvents(), "BotStuckRecovery"), 1);
}

// One engaging step, by the distance to the player (preferred distance 11 m): nearer
// than 0.58 x 11 = 6.38 the bot backs off, beyond 1.35 x 11 = 14.85 it closes in, at
// 2.05 m/s; between the two it holds. The next step shows the state's own move:
// backing off at 1.8 m/s without shooting.
TEST(BotStates, EngagedBotsMoveByDistance) {
    const float engage = 2.05f / 120;
    const float back = 1.8f / 120;
    struct Row {
        float distance;
        BotState state;
        float engagingMove, nextMove;  // metres along +z per step
    };
    for (const Row& r : {Row{20, BotState::Engage, engage, engage}, Row{14.9f, BotState::Engage, engage, engage},
                         Row{14.8f, BotState::Engage, 0, 0}, Row{6.45f, BotState::Engage, 0, 0},
                         Row{6.3f, BotState::BackOff, -engage, -back}, Row{3, BotState::BackOff, -engage, -back}}) {
        auto sim = OneBot(Steady());
        FaceOff(*sim, r.distance);
        Steps(*sim, 1);  // reacting
        ASSERT_EQ(TheBot(*sim).state, BotState::Search);
        const float z = TheBot(*sim).position.z;
        Steps(*sim, 1);
        EXPECT_EQ(TheBot(*sim).state, r.state) << r.distance;
        EXPECT_NEAR(TheBot(*sim).position.z - z, r.engagingMove, 1e-5f) << r.distance;
        const float fireTimer = TheBot(*sim).fireTimer;
        Steps(*sim, 1);
        EXPECT_NEAR(TheBot(*sim).position.z - z - r.engagingMove, r.nextMove, 1e-5f) << r.distance;
        EXPECT_EQ(TheBot(*sim).position.x, 0.0f);
        EXPECT_FLOAT_EQ(fireTimer - TheBot(*sim).fireTimer, r.state == BotState::BackOff ? 0 : 1.0f / 120) << r.distance;
    }
}

TEST(BotStates, BackOffThenStrafeThenStuckRecovery) {
    auto sim = OneBot(Steady(0.02f));
    FaceOff(*sim, 5);
    ASSERT_GT(StepUntil(*sim, InState(BotState::BackOff), 10), 0);
    const float zBackingOff = TheBot(*sim).position.z;
    ASSERT_GT(StepUntil(*sim, InState(BotState::Strafe), 400), 0);
    EXPECT_LT(TheBot(*sim).position.z, zBackingOff);  // walked backwards
    // It turns the step after it was first farther than 0.78 x 11 m, two back-steps on.
    EXPECT_GT(-15.0f - TheBot(*sim).position.z, 0.78f * 11.0f + 1.8f / 120);
    EXPECT_LT(-15.0f - TheBot(*sim).position.z, 0.78f * 11.0f + 2 * 1.8f / 120 + 1e-4f);
    EXPECT_EQ(TheBot(*sim).stateTimer, 0.0f);
    sim->DrainEvents();

    // No strafe is ever drawn: standing still in Strafe counts as stuck.
    const float sign = TheBot(*sim).strafeSign;
    EXPECT_TRUE(Within(StepUntil(*sim, [&](const Bot& b) { return b.strafeSign != sign; }, 400), 150, 152));
    EXPECT_EQ(TheBot(*sim).stuckTimer, 0.0f);
    EXPECT_EQ(TheBot(*sim).targetNode, (sim->NearestNavigationNode(TheBot(*sim).position) + 0 + 3) % 19);
    const auto events = sim->DrainEvents();
    EXPECT_EQ(CountEvents(events, "BotStuckRecovery"), 1);
}

TEST(BotStates, APatrolPinnedAgainstAWallReplans) {
    // Bot 1 walks to node 8 first; a wall stands 1.5 m north of the node, the bot
    // straight north of the wall, so it cannot slide round.
    const Vec3 node = TrainingSimulation{GameplayConfig{}}.NavigationGraph()[8].position;
    const std::string wall = "0 1 1  " + std::to_string(node.x) + " 2 " + std::to_string(node.z + 1.5f) +
                             "  4 4 0.4  0.2 0.2 0.2\n";
    auto sim = OneBot({}, wall, 1);
    sim->SetPlayerPositionForQa({node.x < 0 ? 30.0f : -30.0f, 0, -40});  // far out of sight
    sim->SetBotPositionForQa(1, {node.x, 0, node.z + 2.5f});
    ASSERT_EQ(TheBot(*sim).path[TheBot(*sim).pathIndex], 8);
    // 0.4 m to the wall (the 26th step is blocked), then 1.25 s without moving.
    EXPECT_TRUE(Within(StepUntil(*sim, [](const Bot& b) { return b.strafeSign > 0; }, 400), 26 + 149, 26 + 150));
    const Bot& bot = TheBot(*sim);
    EXPECT_EQ(bot.state, BotState::Patrol);
    EXPECT_EQ(bot.targetNode, (sim->NearestNavigationNode(bot.position) + 1 + 3) % 19);
    ExpectOnlyEvent(sim->DrainEvents(), "BotStuckRecovery", 1);
}

TEST(BotStates, EngageStrafesWhenDrawn) {
    GameplayConfig config = Steady(0.02f);
    config.bot_strafe_probability = 1000;  // a strafe every step
    auto sim = OneBot(config);
    FaceOff(*sim, 10);
    const Vec3 player{6, 0, -12};  // 10 m off at an angle
    sim->SetPlayerPositionForQa(player);
    ASSERT_GT(StepUntil(*sim, InState(BotState::Strafe), 10), 0);
    // Each side-step is (to.z, -to.x) times the strafe sign the bot had before the step:
    // to the right of the player for +1. The sign flips after the step with a chance of 0.28.
    int flips = 0, wrong = 0;
    for (int i = 0; i < 600; ++i) {
        const Bot before = TheBot(*sim);
        const Vec3 to = Normalize(Vec3{player.x - before.position.x, 0, player.z - before.position.z});
        Steps(*sim, 1);
        const Vec3 step = (TheBot(*sim).position - before.position) * (120 / 2.05f);
        const Vec3 side = Vec3{to.z, 0, -to.x} * before.strafeSign;
        wrong += std::fabs(step.x - side.x) > 1e-3f || std::fabs(step.z - side.z) > 1e-3f;
        flips += TheBot(*sim).strafeSign != before.strafeSign ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(Within(flips, 141, 199));
    EXPECT_EQ(TheBot(*sim).state, BotState::Strafe);
    EXPECT_EQ(TheBot(*sim).position.y, 0.0f);

    // A strafe is drawn with chance strafe probability x step x 5: one step in two here.
    config.bot_strafe_probability = 12;
    sim = OneBot(config);
    FaceOff(*sim, 10);
    int sideSteps = 0;
    for (int i = 0; i < 600; ++i) {
        const float x = TheBot(*sim).position.x;
        Steps(*sim, 1);
        sideSteps += TheBot(*sim).position.x != x ? 1 : 0;
    }
    EXPECT_TRUE(Within(sideSteps, 271, 329));
}

TEST(BotStates, EngagedBotsWalkOffThePlatformOntoTheFloor) {
    // The built-in platform: top 2.9, south edge z = 17.5, floor below.
    struct Case {
        Vec3 player;
        BotState crossing;  // the state that walks the bot over the edge
    };
    for (const Case& c : {Case{{8, 0, -6}, BotState::Engage}, Case{{0, 2.9f, 23}, BotState::BackOff}}) {
        GameplayConfig config = Steady();
        config.bot_count = 1;
        config.player_health = 100000;
        TrainingSimulation sim{config};
        sim.Start();
        sim.SetBotPositionForQa(0, {0, 2.9f, 19});
        sim.SetBotYawForQa(0, 180);
        sim.SetPlayerPositionForQa(c.player);
        int onFloor = 0;
        for (int i = 0; i < 240 && onFloor < 20; ++i) {
            Steps(sim, 1);
            const Bot& bot = TheBot(sim);
            if (bot.position.z >= 17.5f) {
                ASSERT_EQ(bot.position.y, 2.9f) << i;
            } else {
                if (onFloor++ == 0) { EXPECT_EQ(bot.state, c.crossing); }
                ASSERT_EQ(bot.position.y, 0.0f) << i;  // down in the same step, never hovering
            }
        }
        EXPECT_EQ(onFloor, 20);
    }
}

TEST(BotStates, EngagedBotLosesSightHitAndKilled) {
    GameplayConfig config = Steady(0.02f);
    config.bot_respawn_seconds = 1.0f;
    auto sim = OneBot(config);
    FaceOff(*sim, 10);
    ASSERT_GT(StepUntil(*sim, InState(BotState::Engage), 10), 0);
    HidePlayer(*sim);
    Steps(*sim, 1);
    EXPECT_EQ(TheBot(*sim).state, BotState::Investigate);

    FaceOff(*sim, 10);
    ASSERT_GT(StepUntil(*sim, InState(BotState::Engage), 10), 0);
    Steps(*sim, 10);
    EXPECT_FALSE(sim->DamageBot(0, 10));
    EXPECT_EQ(TheBot(*sim).state, BotState::Search);
    EXPECT_EQ(TheBot(*sim).stateTimer, 0.0f);
    EXPECT_EQ(TheBot(*sim).reactionTimer, 0.02f);
    EXPECT_EQ(TheBot(*sim).aimDelayTimer, 0.2f);
    EXPECT_EQ(TheBot(*sim).health, 90.0f);

    // Killed while engaged again, part of its aim delay spent.
    ASSERT_GT(StepUntil(*sim, InState(BotState::Engage), 10), 0);
    Steps(*sim, 5);
    HidePlayer(*sim);
    EXPECT_TRUE(sim->DamageBot(0, 1000));
    EXPECT_EQ(TheBot(*sim).state, BotState::Killed);
    EXPECT_EQ(sim->BotsAlive(), 0);
    Steps(*sim, 1);
    EXPECT_EQ(TheBot(*sim).state, BotState::AwaitingRespawn);
    sim->DrainEvents();
    EXPECT_TRUE(Within(StepUntil(*sim, InState(BotState::Spawned), 200), 118, 120));
    const Bot& bot = TheBot(*sim);
    EXPECT_EQ(bot.position.z, bot.spawnPosition.z);
    EXPECT_EQ(bot.health, 100.0f);
    EXPECT_TRUE(bot.path.empty());
    EXPECT_FALSE(bot.hasLastKnownTarget);
    EXPECT_EQ(bot.reactionTimer, 0.02f);
    EXPECT_EQ(bot.aimDelayTimer, 0.2f);
    ExpectOnlyEvent(sim->DrainEvents(), "BotSpawned", 0);
    EXPECT_TRUE(Within(StepUntil(*sim, InState(BotState::Patrol), 100), 54, 56));
}

TEST(BotStates, RespawnedBotThatSeesThePlayerSearches) {
    GameplayConfig config;
    config.bot_respawn_seconds = 0.1f;
    auto sim = OneBot(config);
    sim->DamageBot(0, 1000);
    sim->SetPlayerPositionForQa({0, 0, -5});  // 5 m from the spawn point at (0, 0, -10)
    ASSERT_GT(StepUntil(*sim, InState(BotState::Spawned), 30), 0);
    Steps(*sim, 1);
    EXPECT_EQ(TheBot(*sim).state, BotState::Search);
}

TEST(BotStates, PatrolPicksTheNextTargetAtThePathEnd) {
    // A wall across the end of the hall, behind the last nodes, hides the player from every patrol.
    const float speed = 1.65f + 0.35f * 0.62f;
    for (int id = 0; id < 3; ++id) {
        auto sim = OneBot({}, "0 1 1  0 2 39  62 4 1  0.2 0.2 0.2\n", id);
        sim->SetPlayerPositionForQa({0, 0, 40.2f});
        const int first = (3 * id + 5) % 19;
        ASSERT_EQ(TheBot(*sim).targetNode, first);
        const auto& path = TheBot(*sim).path;
        // The last node counts as reached 0.8 m short of it, without a step taken.
        ASSERT_GT(StepUntil(*sim, [&](const Bot& b) { return b.pathIndex == path.size(); }, 9000), 0) << id;
        const Vec3 node = sim->NavigationGraph()[first].position;
        const float left = std::hypot(node.x - TheBot(*sim).position.x, node.z - TheBot(*sim).position.z);
        EXPECT_LT(left, 0.8f) << id;
        EXPECT_GE(left, 0.8f - speed / 120) << id;
        EXPECT_EQ(TheBot(*sim).horizontalSpeed, 0.0f);
        Steps(*sim, 1);
        EXPECT_EQ(TheBot(*sim).targetNode, (first + id + 5) % 19) << id;
        EXPECT_EQ(TheBot(*sim).state, BotState::Patrol);
        EXPECT_NEAR(TheBot(*sim).horizontalSpeed, speed, 1e-3f);
    }
}

TEST(BotStates, NothingHappensWhileThePlayerIsDead) {
    GameplayConfig config;
    config.bot_count = 4;
    TrainingSimulation sim{config};
    sim.Start();
    Steps(sim, 30);
    sim.DamageBot(2, 1000);
    Steps(sim, 2);
    sim.DamagePlayer(1e9f);
    const auto figures = [](const Bot& b) {
        return std::tuple(b.position.x, b.position.z, b.yaw, b.respawnTimer, b.stateTimer);
    };
    const std::vector<Bot> before = sim.Bots();
    Steps(sim, 120);
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(figures(sim.Bots()[i]), figures(before[i])) << i;
}

// Steps a bot that holds its ground at the preferred distance and records which
// steps fired a shot and which shots hit.
struct ShotLog {
    std::vector<int> shots;
    int hits = 0;
};

ShotLog RecordShots(GameplayConfig config, int steps, std::string_view extra = {}) {
    config.bot_reaction_seconds = 0.01f;
    config.bot_strafe_probability = 0;
    config.bot_fire_pause = 1.0f;
    config.bot_fire_interval = 0.75f;
    auto sim = OneBot(config, extra);
    FaceOff(*sim, 11);
    EXPECT_GT(StepUntil(*sim, InState(BotState::Engage), 10), 0);
    ShotLog log;
    for (int i = 0; i < steps; ++i) {
        const float timer = TheBot(*sim).fireTimer;
        const float health = sim->Player().health;
        Steps(*sim, 1);
        if (TheBot(*sim).fireTimer > timer) log.shots.push_back(i);
        if (sim->Player().health < health) {
            EXPECT_FLOAT_EQ(health - sim->Player().health, 12.0f);
            ++log.hits;
        }
        EXPECT_EQ(TheBot(*sim).state, BotState::Engage) << i;
    }
    return log;
}

TEST(BotFire, SingleShotBursts) {
    // The lowest configurable length fires like 1: its countdown must not wrap into an endless burst.
    for (const int length : {1, std::numeric_limits<int32_t>::min()}) {
        GameplayConfig config;
        config.bot_aim_error = -1;
        config.bot_burst_min = length;
        config.bot_burst_max = length;
        const ShotLog log = RecordShots(config, 1200);
        ASSERT_GE(log.shots.size(), 6u) << length;
        EXPECT_EQ(log.hits, static_cast<int>(log.shots.size()));
        for (size_t i = 1; i < log.shots.size(); ++i) {
            EXPECT_TRUE(Within(log.shots[i] - log.shots[i - 1], 101, 145)) << length;  // (0.85 + 0.35 r) s pauses
        }
    }
}

TEST(BotFire, BurstLengthsAndPausesFollowTheDraws) {
    GameplayConfig config;
    config.bot_aim_error = -1;
    config.bot_reaction_seconds = 0.01f;
    config.bot_fire_pause = 1.0f;
    config.bot_burst_min = 1;
    config.bot_burst_max = 4;
    auto sim = OneBot(config);
    FaceOff(*sim, 30);  // closing in all along, so no strafe is ever drawn
    testing::SeededRandom sequence;
    int left = 1 + static_cast<int>(sequence.Next() * 4);  // the first burst, drawn on engaging
    for (int shot = 0; shot < 12; ++shot) {
        float last = TheBot(*sim).fireTimer;
        const auto fired = [&](const Bot& b) { return std::exchange(last, b.fireTimer) < b.fireTimer; };
        ASSERT_GT(StepUntil(*sim, fired, 600), 0) << shot;
        sequence.Next();  // hit or miss
        float timer = 0.3f * 0.75f;  // the next shot of the burst
        if (--left == 0) {  // the pause, then the next burst's length: two draws in this order
            timer = 0.85f + 0.35f * sequence.Next();
            left = 1 + static_cast<int>(sequence.Next() * 4);
        }
        EXPECT_FLOAT_EQ(TheBot(*sim).fireTimer, timer) << shot;
        EXPECT_EQ(TheBot(*sim).burstRemaining, left) << shot;
        EXPECT_EQ(TheBot(*sim).state, BotState::Engage);
    }
}

TEST(BotFire, BurstsOfThreeAndInvertedBounds) {
    for (const auto& [low, high] : {std::pair{3, 3}, std::pair{3, 1}}) {
        GameplayConfig config;
        config.bot_aim_error = -1;
        config.bot_burst_min = low;
        config.bot_burst_max = high;
        const ShotLog log = RecordShots(config, 1200);
        ASSERT_GE(log.shots.size(), 9u);
        for (size_t i = 1; i < log.shots.size(); ++i) {
            const int gap = log.shots[i] - log.shots[i - 1];
            if (i % 3 == 0) {
                EXPECT_GE(gap, 101) << i;
            } else {
                EXPECT_TRUE(Within(gap, 26, 28)) << i;  // 0.3 x 0.75 s inside a burst
            }
        }
    }
}

TEST(BotFire, AimErrorDecidesHits) {
    GameplayConfig never;
    never.bot_aim_error = 1.0f;
    const ShotLog missed = RecordShots(never, 900);
    EXPECT_GE(missed.shots.size(), 5u);
    EXPECT_EQ(missed.hits, 0);

    GameplayConfig sometimes;
    sometimes.bot_aim_error = 0.5f;
    const ShotLog mixed = RecordShots(sometimes, 2400);
    EXPECT_GT(mixed.hits, 0);
    EXPECT_LT(mixed.hits, static_cast<int>(mixed.shots.size()));
}

// Panes across the shot's line: one more than 0.05 m before the player's eyes stops the
// shot (too close to hide the player); one nearer does not, nor a wall behind the player,
// nor a knee-high one just before the bot: the shot leaves from the bot's eyes.
TEST(BotFire, OnlyTheWorldBeforeThePlayersEyesStopsAShot) {
    for (const auto& [pane, blocked] :
         {std::pair{"0 1 1  0 1.7 -9.09  2 0.4 0.02", true}, {"0 1 1  0 1.7 -9.03  2 0.4 0.02", false},
          {"0 1 1  0 2 -8  2 4 0.2", false}, {"0 1 1  0 0.5 -19  2 1 0.2", false}}) {
        GameplayConfig config = Steady();
        config.bot_aim_error = -1;
        auto sim = OneBot(config, std::string(pane) + "  0.2 0.2 0.2\n");
        FaceOff(*sim, 11);
        Steps(*sim, 600);
        EXPECT_EQ(TheBot(*sim).state, BotState::Engage) << pane;
        const auto events = sim->DrainEvents();
        EXPECT_EQ(sim->Player().health == 100000.0f, blocked) << pane;
        EXPECT_EQ(CountEvents(events, "BotShotBlockedByWorld") >= 5, blocked) << pane;
        for (const auto& e : events) {
            if (e.name == "BotShotBlockedByWorld") { EXPECT_EQ(e.value, 0); }
        }
    }
}

TEST(BotFire, BotsKillThePlayer) {
    GameplayConfig config = Steady();
    config.bot_count = 1;
    config.bot_aim_error = -1;
    TrainingSimulation sim{config};
    ASSERT_TRUE(LoadArenaText(sim, OpenHallArena()));
    sim.Start();
    FaceOff(sim, 11);
    sim.DrainEvents();
    int steps = 0;
    while (!sim.Player().dead && steps < 2400) {
        Steps(sim, 1);
        ++steps;
    }
    ASSERT_TRUE(sim.Player().dead);
    EXPECT_EQ(sim.Player().health, 0.0f);  // 9 hits of 12 from 100, floored at 0
    EXPECT_EQ(sim.Player().deaths, 1);
    const auto events = sim.DrainEvents();
    EXPECT_EQ(CountEvents(events, "BotKilledPlayer"), 1);
    EXPECT_EQ(events.back().name, "BotKilledPlayer");
    EXPECT_EQ(events.back().value, -1);
}

}  // namespace
}  // namespace tarvo::gameplay
