#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <queue>

#include "gameplay/arena_file.h"
#include "gameplay_test_support.h"

namespace tarvo::gameplay {
namespace {

using testing::FindShipped;
using testing::OpenHallArena;
using testing::TempFolder;

constexpr const char* kBox = "0 2 1  1 0.5 2  1 1 1  0.5 0.5 0.5\n";

std::string WithBoxes(int count, std::string_view header = "TARVARENA1\n") {
    std::string text(header);
    for (int i = 0; i < count; ++i) text += kBox;
    return text;
}

TEST(ArenaFile, PrimitiveCountLimits) {
    EXPECT_FALSE(ParseArenaText("TARVARENA1\n"));
    EXPECT_FALSE(ParseArenaText(""));
    EXPECT_FALSE(ParseArenaText(WithBoxes(4)));
    ASSERT_TRUE(ParseArenaText(WithBoxes(5)));
    EXPECT_EQ(ParseArenaText(WithBoxes(5))->size(), 5u);
    EXPECT_EQ(ParseArenaText(WithBoxes(512))->size(), 512u);
    EXPECT_FALSE(ParseArenaText(WithBoxes(513)));
}

TEST(ArenaFile, FieldsAreReadInOrder) {
    const auto arena = ParseArenaText(
        "TARVARENA1\n"
        "1 3 7  -8 1.3 22  5 2.6 9  0.02 0.45 0.58 trailing words are ignored\n"
        "0 0 0  0 -0.5 0  64 1 84  -1 2 300\n" +
        WithBoxes(3, ""));
    ASSERT_TRUE(arena);
    const ScenePrimitive& ramp = (*arena)[0];
    EXPECT_EQ(ramp.type, ScenePrimitiveType::Ramp);
    EXPECT_EQ(ramp.kind, ScenePrimitiveKind::Ramp);
    EXPECT_TRUE(ramp.solid);
    EXPECT_FLOAT_EQ(ramp.center.x, -8.0f);
    EXPECT_FLOAT_EQ(ramp.center.y, 1.3f);
    EXPECT_FLOAT_EQ(ramp.size.z, 9.0f);
    EXPECT_FLOAT_EQ(ramp.color.b, 0.58f);
    const ScenePrimitive& floor = (*arena)[1];
    EXPECT_FALSE(floor.solid);
    EXPECT_EQ(floor.kind, ScenePrimitiveKind::Floor);
    EXPECT_FLOAT_EQ(floor.color.r, -1.0f);  // colours are taken as written
    EXPECT_FLOAT_EQ(floor.color.b, 300.0f);
}

TEST(ArenaFile, HeaderMustBeExact) {
    EXPECT_FALSE(ParseArenaText(WithBoxes(5, "TARVARENA1 \n")));
    EXPECT_FALSE(ParseArenaText(WithBoxes(5, " TARVARENA1\n")));
    EXPECT_FALSE(ParseArenaText(WithBoxes(5, "TARVARENA2\n")));
    EXPECT_FALSE(ParseArenaText(WithBoxes(5, "tarvarena1\n")));
    EXPECT_FALSE(ParseArenaText(WithBoxes(5, "\xEF\xBB\xBFTARVARENA1\n")));
    EXPECT_FALSE(ParseArenaText(WithBoxes(5, "\nTARVARENA1\n")));

    std::string crlf;
    for (char c : WithBoxes(6) + "# note\n\n") {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    ASSERT_TRUE(ParseArenaText(crlf));
    EXPECT_EQ(ParseArenaText(crlf)->size(), 6u);
}

TEST(ArenaFile, OneBadLineRejectsTheWholeFile) {
    const std::string good = WithBoxes(6);
    for (const char* bad : {
             "0 2 1  1 0.5 2  1 0 1  0.5 0.5 0.5\n",     // zero size
             "0 2 1  1 0.5 2  1 1 -1  0.5 0.5 0.5\n",    // negative size
             "0 7 1  1 0.5 2  1 1 1  0.5 0.5 0.5\n",     // kind 7
             "0 -1 1  1 0.5 2  1 1 1  0.5 0.5 0.5\n",    // kind -1
             "2 2 1  1 0.5 2  1 1 1  0.5 0.5 0.5\n",     // type 2
             "-1 2 1  1 0.5 2  1 1 1  0.5 0.5 0.5\n",    // type -1
             "0 2 1  1 0.5 2  1 1 1  0.5 0.5\n",         // eleven numbers
             "0 2 1  1 0.5 two  1 1 1  0.5 0.5 0.5\n",   // not a number
             "0.5 2 1  1 0.5 2  1 1 1  0.5 0.5 0.5\n",   // type not an integer
             "0 2 1  1 0.5 2  1 1e39 1  0.5 0.5 0.5\n",  // does not fit a float
             "0 2 99999999999  1 0.5 2  1 1 1  0.5 0.5 0.5\n",
             "0 2 1  nan 0.5 2  1 1 1  0.5 0.5 0.5\n",
             "0 2 1  inf 0.5 2  1 1 1  0.5 0.5 0.5\n",
             "0 2 1  1 0.5 2  1 1 1e8  0.5 0.5 0.5\n",      // beyond any arena
             "0 2 1  1 0.5 2  3.4e38 1 1  0.5 0.5 0.5\n",
             "0 2 1  1e8 0.5 2  1 1 1  0.5 0.5 0.5\n",
             "0 2 1  0 0.5 -63.6  1 1 1  0.5 0.5 0.5\n",    // reaches 64.1 m
             "0 0 1  0 0 0  128.2 1 1  0.5 0.5 0.5\n",
             "   \n",                                      // blanks only
             " # a comment with a blank before it\n",
             "\t\n",
         }) {
        // The bad line sits between good ones: good lines after it do not save the file.
        const std::string text = WithBoxes(3) + bad + WithBoxes(3, "");
        EXPECT_FALSE(ParseArenaText(text)) << bad;
    }
    EXPECT_TRUE(ParseArenaText(good + "# comment\n\n#\n"));
    // Boxes ending exactly 64 m out on any axis are kept.
    EXPECT_TRUE(ParseArenaText(good + "0 0 1  0 0 0  128 128 128  0.5 0.5 0.5\n0 2 1  -63.5 63 63.5  1 2 1  1 1 1\n"));
    // A file of 512 covers of 1e8 m is refused at its first line, not after building them.
    std::string huge = "TARVARENA1\n";
    for (int i = 0; i < 512; ++i) huge += "0 2 1  0 0.5 0  1e8 1e8 1e8  0.5 0.5 0.5\n";
    EXPECT_FALSE(ParseArenaText(huge));
    EXPECT_TRUE(ParseArenaText(WithBoxes(5) + "0 2 1 1 0.5 2 1 1 1 0.5 0.5 0.5 # inline note\n"));
}

TEST(ArenaFile, SolidIsAnyNonZeroInteger) {
    const auto arena = ParseArenaText(
        "TARVARENA1\n"
        "0 1 5  0 1 0  1 1 1  0 0 0\n"
        "0 1 -2  0 1 0  1 1 1  0 0 0\n"
        "0 1 0  0 1 0  1 1 1  0 0 0\n"
        "0 1 1  0 1 0  1 1 1  0 0 0\n"
        "0 1 1  0 1 0  1 1 1  0 0 0\n");
    ASSERT_TRUE(arena);
    EXPECT_TRUE((*arena)[0].solid);
    EXPECT_TRUE((*arena)[1].solid);
    EXPECT_FALSE((*arena)[2].solid);
}

TEST(ArenaFile, ConfigureMatchMapLoadsOrLeavesTheArenaAlone) {
    TempFolder folder;
    TrainingSimulation sim{GameplayConfig{}};
    const auto builtIn = sim.Arena();
    ASSERT_EQ(builtIn.size(), 27u);

    EXPECT_FALSE(sim.ConfigureMatchMap(1, folder.Path()));  // no file
    EXPECT_FALSE(sim.ConfigureMatchMap(3, folder.Path()));
    EXPECT_FALSE(sim.ConfigureMatchMap(-1, folder.Path()));

    folder.Write("foundry.arena", WithBoxes(4));
    EXPECT_FALSE(sim.ConfigureMatchMap(1, folder.Path()));
    EXPECT_EQ(sim.Arena().size(), 27u);
    EXPECT_EQ(sim.mapIndex, 0);

    folder.Write("foundry.arena", OpenHallArena());
    ASSERT_TRUE(sim.ConfigureMatchMap(1, folder.Path()));
    EXPECT_EQ(sim.Arena().size(), 5u);
    EXPECT_EQ(sim.mapIndex, 1);
    EXPECT_EQ(sim.Arena()[1].kind, ScenePrimitiveKind::OuterWall);

    // A later bad file keeps the arena of the earlier map.
    folder.Write("skydock.arena", WithBoxes(6) + "0 9 1  1 1 1  1 1 1  0 0 0\n");
    EXPECT_FALSE(sim.ConfigureMatchMap(2, folder.Path()));
    EXPECT_EQ(sim.Arena().size(), 5u);
    EXPECT_EQ(sim.mapIndex, 1);

    // Collision follows the loaded arena: the built-in centre block is gone.
    EXPECT_FALSE(sim.PositionBlocked({0, 0, 0}, 0.4f, 1.75f));
    EXPECT_EQ(sim.NavigationGraph().size(), 19u);  // maps never change the graph
}

TEST(ArenaFile, OversizedFileIsRefused) {
    TempFolder folder;
    std::string text = WithBoxes(6);
    text.append(kMaxArenaFileBytes, '#');
    folder.Write("relay.arena", text);
    TrainingSimulation sim{GameplayConfig{}};
    EXPECT_FALSE(sim.ConfigureMatchMap(0, folder.Path()));
    EXPECT_EQ(sim.Arena().size(), 27u);
}

TEST(BuiltInArena, BoxesAndGraph) {
    TrainingSimulation sim{GameplayConfig{}};
    const auto& arena = sim.Arena();
    ASSERT_EQ(arena.size(), 27u);
    EXPECT_EQ(arena[0].kind, ScenePrimitiveKind::Floor);
    EXPECT_EQ(arena[21].type, ScenePrimitiveType::Ramp);
    EXPECT_FALSE(arena[26].solid);
    EXPECT_FLOAT_EQ(arena[20].center.y + arena[20].size.y / 2, 2.9f);  // platform top
    EXPECT_FLOAT_EQ(arena[9].color.g, 0.88f);

    // Ids are list places, names label areas, the platform's node costs 1.15 to enter,
    // the spawn nodes alone are unflagged, and every link runs both ways. Where nodes
    // stand and what links them is checked by walking them below (Arena/BuiltIn).
    const char* const names[19] = {
        "SPAWN_A", "LEFT_ROUTE", "MID", "RIGHT_ROUTE", "LEFT_CORRIDOR", "LEFT_FLANK", "RIGHT_FLANK",
        "RIGHT_CORRIDOR", "LEFT_ROUTE", "LEFT_UPPER", "CENTRAL", "RIGHT_ROUTE", "MID", "UPPER", "UPPER_PLATFORM",
        "TRAINING_SECTOR", "TRAINING_SECTOR", "SPAWN_B", "SPAWN_B"};
    const auto& graph = sim.NavigationGraph();
    ASSERT_EQ(graph.size(), 19u);
    for (int i = 0; i < 19; ++i) {
        EXPECT_EQ(graph[i].id, i);
        EXPECT_EQ(graph[i].name, names[i]) << i;
        EXPECT_EQ(graph[i].weight, i == 14 ? 1.15f : 1.0f) << i;
        EXPECT_EQ(graph[i].flagged, i != 0 && i != 2 && i != 17 && i != 18) << i;
        for (int n : graph[i].neighbours) {
            const auto& back = graph[n].neighbours;
            EXPECT_NE(std::find(back.begin(), back.end(), i), back.end()) << i << "-" << n;
        }
    }
}

// Default configuration, the player standing at its spawn: two minutes of three bots
// patrolling, fighting and investigating in the built-in arena. Bots that walk their
// paths into walls recover every few seconds, some thirty times each in two minutes;
// a sound graph leaves at most the odd recovery of a bot that re-planned from a
// cramped spot after a fight. More than three means patrols walk into walls again.
TEST(BuiltInArena, TwoMinutesOfPatrolsHardlyEverGetStuck) {
    TrainingSimulation sim{GameplayConfig{}};
    sim.Start();
    int stuck = 0;
    for (int step = 0; step < 120 * 120; ++step) {
        sim.Update({}, TrainingSimulation::kFixedStep);
        for (const SessionEvent& e : sim.DrainEvents()) {
            if (e.name != "BotStuckRecovery") continue;
            const BotState state = sim.Bots()[e.value].state;
            stuck += state == BotState::Patrol || state == BotState::Investigate;
        }
    }
    EXPECT_LE(stuck, 3);
}

// Dijkstra over the same costs, to check that A* returns a cheapest path.
float CheapestCost(const std::vector<NavigationNode>& graph, int start, int goal) {
    std::vector<float> best(graph.size(), std::numeric_limits<float>::infinity());
    using Item = std::pair<float, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<>> open;
    best[start] = 0;
    open.push({0.0f, start});
    while (!open.empty()) {
        auto [cost, node] = open.top();
        open.pop();
        if (cost > best[node]) continue;
        for (int next : graph[node].neighbours) {
            const Vec3 d = graph[next].position - graph[node].position;
            const float c = cost + std::sqrt(d.x * d.x + d.z * d.z) * graph[next].weight;
            if (c < best[next]) {
                best[next] = c;
                open.push({c, next});
            }
        }
    }
    return best[goal];
}

TEST(NavigationGraph, FindPathIsValidAndCheapestForEveryPair) {
    TrainingSimulation sim{GameplayConfig{}};
    const auto& graph = sim.NavigationGraph();
    for (int a = 0; a < 19; ++a) {
        for (int b = 0; b < 19; ++b) {
            const auto path = sim.FindPath(a, b);
            ASSERT_FALSE(path.empty()) << a << "->" << b;
            EXPECT_EQ(path.front(), a);
            EXPECT_EQ(path.back(), b);
            float cost = 0;
            for (size_t i = 1; i < path.size(); ++i) {
                const auto& n = graph[path[i - 1]].neighbours;
                ASSERT_NE(std::find(n.begin(), n.end(), path[i]), n.end());
                const Vec3 d = graph[path[i]].position - graph[path[i - 1]].position;
                cost += std::sqrt(d.x * d.x + d.z * d.z) * graph[path[i]].weight;
            }
            EXPECT_NEAR(cost, CheapestCost(graph, a, b), 1e-3f) << a << "->" << b;
        }
    }
    EXPECT_EQ(sim.FindPath(5, 5), std::vector<int>{5});
    EXPECT_TRUE(sim.FindPath(0, 19).empty());
    EXPECT_TRUE(sim.FindPath(-1, 3).empty());
    EXPECT_TRUE(sim.FindPath(3, -1).empty());
}

TEST(NavigationGraph, NearestNodeFirstOfEqualsWins) {
    TrainingSimulation sim{GameplayConfig{}};
    EXPECT_EQ(sim.NearestNavigationNode({0, 0, -28}), 0);  // nodes 0 and 2 are both 6 m away
    EXPECT_EQ(sim.NearestNavigationNode({0, 50, 22.4f}), 14);  // height is ignored
    EXPECT_EQ(sim.NearestNavigationNode({-100, 0, 100}), 16);
}

// Two routes of the same cost round a square, and a dead end in its middle that is
// searched first: the order of the open list decides, and the first neighbour listed wins.
TEST(NavigationGraph, OfTwoEqualRoutesTheFirstListedWins) {
    TrainingSimulation sim{GameplayConfig{}};
    auto& graph = const_cast<std::vector<NavigationNode>&>(sim.NavigationGraph());  // a graph of the test's own
    graph = {{0, {0, 0, 0}, {4, 1, 2}, 1}, {1, {-1, 0, 1}, {0, 3}, 1}, {2, {1, 0, 1}, {0, 3}, 1},
             {3, {0, 0, 2}, {1, 2}, 1},    {4, {0, 0, 1}, {0}, 1}};
    EXPECT_EQ(sim.FindPath(0, 3), (std::vector<int>{0, 1, 3}));
    graph[0].neighbours = {2, 1};
    EXPECT_EQ(sim.FindPath(0, 3), (std::vector<int>{0, 2, 3}));
}

TEST(SpawnBots, PlacesTargetsAndSigns) {
    GameplayConfig config;
    config.bot_count = 16;
    TrainingSimulation sim{config};
    sim.Start();
    const Vec3 spawns[8] = {{0, 0, -10},  {-20, 0, 8},   {20, 0, 14},  {-14, 0, 32},
                            {14, 0, 34},  {-26, 0, -12}, {26, 0, -16}, {0, 2.9f, 22}};
    // The cheapest routes, from the node nearest each spawn point to the bot's target.
    const std::vector<int> paths[16] = {
        {2, 5}, {8}, {13, 6, 10, 12, 16, 18, 15, 11}, {16, 12, 9, 14}, {17}, {4, 1}, {7, 3, 0, 1, 4},
        {14, 9, 12, 10, 6, 7}, {2, 5, 10}, {8, 12, 10, 6, 13}, {13, 6, 10, 12, 16}, {16, 12, 8, 5, 2, 0},
        {17, 18, 16, 12, 10, 6, 3}, {4, 1, 0, 2, 6}, {7, 6, 10, 12, 9}, {14, 9, 12}};
    ASSERT_EQ(sim.Bots().size(), 16u);
    for (int i = 0; i < 16; ++i) {
        const Bot& bot = sim.Bots()[i];
        const Vec3 spawn = spawns[i % 8];  // bot 8 stands on bot 0
        EXPECT_EQ(bot.id, i);
        for (const Vec3& p : {bot.position, bot.spawnPosition, bot.stuckCheckPosition}) {
            EXPECT_EQ(p.x, spawn.x) << i;
            EXPECT_EQ(p.y, spawn.y) << i;
            EXPECT_EQ(p.z, spawn.z) << i;
        }
        EXPECT_EQ(bot.targetNode, (3 * i + 5) % 19);
        EXPECT_EQ(bot.strafeSign, i % 2 == 0 ? 1.0f : -1.0f);
        EXPECT_EQ(bot.state, BotState::Patrol);
        EXPECT_EQ(bot.health, 100.0f);
        EXPECT_EQ(bot.fireTimer, 0.55f);
        EXPECT_EQ(bot.reactionTimer, 0.55f);
        EXPECT_EQ(bot.aimDelayTimer, 0.2f);
        EXPECT_EQ(bot.path, paths[i]) << i;
        EXPECT_EQ(bot.pathIndex, bot.path.size() >= 2 ? 1u : 0u);
    }
}

// Walks a bot along its path with the bots' own path follower at patrol speed. It
// must get there without ever being judged stuck (barely moving for over 1.25 s), and
// end on the last node's level, give or take a step: not under a raised floor.
bool WalkPath(TrainingSimulation& sim, Bot bot, float seconds) {
    const int steps = static_cast<int>(seconds * 120);
    float still = 0.0f;
    for (int i = 0; i < steps && bot.pathIndex < bot.path.size() && still <= 1.25f; ++i) {
        const Vec3 before = bot.position;
        sim.FollowBotPath(bot, TrainingSimulation::kFixedStep, 1.65f + 0.35f * 0.62f);
        const Vec3 d = bot.position - before;
        still = d.x * d.x + d.z * d.z < 0.002f * 0.002f ? still + TrainingSimulation::kFixedStep : 0.0f;
    }
    return bot.pathIndex >= bot.path.size() &&
           std::fabs(bot.position.y - sim.NavigationGraph()[bot.path.back()].position.y) < 0.52f;
}

// The built-in arena (-1) and the shipped maps. Bots patrol only the built-in arena (an
// online match has none), so the graph is walked there alone.
class Arena : public ::testing::TestWithParam<int> {};

TEST_P(Arena, SpawnsAndNodesAreClearAndReachable) {
    const int map = GetParam();
    GameplayConfig config;
    config.bot_count = 16;
    TrainingSimulation sim{config};
    if (map >= 0) {
        const auto maps = FindShipped("assets/maps");
        ASSERT_FALSE(maps.empty());
        ASSERT_TRUE(sim.ConfigureMatchMap(map, maps)) << MatchMapFiles[map];
        EXPECT_EQ(sim.mapIndex, map);
        EXPECT_GE(sim.Arena().size(), kMinArenaPrimitives);
        EXPECT_LE(sim.Arena().size(), kMaxArenaPrimitives);
    }
    // Standing places: the player spawn, the eight bot spawns and every node.
    std::vector<Vec3> places = {{0, 0, -34},       {0, 0, -10},  {-20, 0, 8},  {20, 0, 14}, {-14, 0, 32},
                                {14, 0, 34},       {-26, 0, -12}, {26, 0, -16}, {0, 2.9f, 22}};
    if (map < 0) {
        for (const auto& node : sim.NavigationGraph()) places.push_back(node.position);
    }
    for (const Vec3& p : places) {
        EXPECT_FALSE(sim.PositionBlocked(p, 0.4f, 1.78f)) << p.x << "," << p.y << "," << p.z;
        EXPECT_NEAR(sim.GroundHeightAt(p), p.y, 1e-3f) << p.x << "," << p.y << "," << p.z;
    }
    if (map >= 0) return;

    // Every edge can be walked both ways by a bot.
    for (const auto& node : sim.NavigationGraph()) {
        for (int next : node.neighbours) {
            Bot walker;
            walker.position = node.position;
            walker.path = {node.id, next};
            walker.pathIndex = 1;
            EXPECT_TRUE(WalkPath(sim, walker, 40.0f)) << "edge " << node.id << " -> " << next;
        }
    }

    // From each bot spawn point, every first step a patrol can take: to the nearest
    // node and on to each of its neighbours.
    for (size_t i = 1; i < 9; ++i) {
        const int nearest = sim.NearestNavigationNode(places[i]);
        std::vector<int> firstSteps = sim.NavigationGraph()[nearest].neighbours;
        firstSteps.push_back(nearest);
        for (int target : firstSteps) {
            Bot walker;
            walker.position = places[i];
            walker.path = {nearest, target};
            walker.pathIndex = 1;
            EXPECT_TRUE(WalkPath(sim, walker, 40.0f)) << "spawn " << i - 1 << " -> node " << target;
        }
    }

    // Every bot of a full session reaches the end of its first patrol path.
    sim.Start();
    for (const Bot& bot : sim.Bots()) {
        EXPECT_TRUE(WalkPath(sim, bot, 120.0f)) << "bot " << bot.id;
    }
}

INSTANTIATE_TEST_SUITE_P(Maps, Arena, ::testing::Values(-1, 0, 1, 2), [](const auto& info) {
    return info.param < 0 ? std::string("BuiltIn") : std::string(MatchMapNames[info.param]);
});

}  // namespace
}  // namespace tarvo::gameplay
