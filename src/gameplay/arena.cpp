#include "common/file_utils.h"
#include "gameplay/arena_file.h"
#include "gameplay/training_simulation.h"
#include "gameplay/world_math.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvo::gameplay {
namespace {

constexpr Color3 kFloorColor{0.1f, 0.13f, 0.15f};
constexpr Color3 kStructureColor{0.13f, 0.18f, 0.2f};
constexpr Color3 kBlueAccent{0.02f, 0.45f, 0.58f};
constexpr Color3 kGreenAccent{0.52f, 0.88f, 0.02f};
constexpr Color3 kCentreBlockColor{0.18f, 0.21f, 0.1f};

using Type = ScenePrimitiveType;
using Kind = ScenePrimitiveKind;

constexpr ScenePrimitive kTrainingArena[] = {
    {Type::Box, {0, -0.5f, 0}, {64, 1, 84}, kFloorColor, true, Kind::Floor},
    {Type::Box, {-32, 3, 0}, {1, 7, 84}, kStructureColor, true, Kind::OuterWall},
    {Type::Box, {32, 3, 0}, {1, 7, 84}, kStructureColor, true, Kind::OuterWall},
    {Type::Box, {0, 3, -42}, {64, 7, 1}, kStructureColor, true, Kind::OuterWall},
    {Type::Box, {0, 3, 42}, {64, 7, 1}, kStructureColor, true, Kind::OuterWall},
    {Type::Box, {0, 1.15f, 0}, {8, 2.3f, 5}, kCentreBlockColor, true, Kind::Cover},
    {Type::Box, {-8, 1, -5}, {2.2f, 2, 8}, kStructureColor, true, Kind::Cover},
    {Type::Box, {8, 1, 5}, {2.2f, 2, 8}, kStructureColor, true, Kind::Cover},
    {Type::Box, {-4, 0.75f, -15}, {3, 1.5f, 3}, kBlueAccent, true, Kind::Cover},
    {Type::Box, {4, 0.75f, -15}, {3, 1.5f, 3}, kGreenAccent, true, Kind::Cover},
    {Type::Box, {-22, 2.2f, -13}, {1, 4.4f, 31}, kStructureColor, true, Kind::Wall},
    {Type::Box, {-15, 2.2f, -27}, {15, 4.4f, 1}, kStructureColor, true, Kind::Wall},
    {Type::Box, {-25, 0.85f, -5}, {5, 1.7f, 2}, kBlueAccent, true, Kind::Cover},
    {Type::Box, {-25, 0.85f, 10}, {5, 1.7f, 2}, kBlueAccent, true, Kind::Cover},
    {Type::Box, {-16, 1.1f, 19}, {2, 2.2f, 9}, kStructureColor, true, Kind::Cover},
    {Type::Box, {22, 2.2f, 13}, {1, 4.4f, 31}, kStructureColor, true, Kind::Wall},
    {Type::Box, {15, 2.2f, 27}, {15, 4.4f, 1}, kStructureColor, true, Kind::Wall},
    {Type::Box, {25, 0.85f, 5}, {5, 1.7f, 2}, kGreenAccent, true, Kind::Cover},
    {Type::Box, {25, 0.85f, -10}, {5, 1.7f, 2}, kGreenAccent, true, Kind::Cover},
    {Type::Box, {16, 1.1f, -19}, {2, 2.2f, 9}, kStructureColor, true, Kind::Cover},
    {Type::Box, {0, 2.65f, 22}, {13, 0.5f, 9}, kStructureColor, true, Kind::Platform},
    {Type::Ramp, {-8, 1.3f, 22}, {5, 2.6f, 9}, kBlueAccent, true, Kind::Ramp},
    {Type::Ramp, {8, 1.3f, 22}, {5, 2.6f, 9}, kGreenAccent, true, Kind::Ramp},
    {Type::Box, {0, 1, 31}, {5, 2, 3}, kStructureColor, true, Kind::Cover},
    {Type::Box, {-12, 0.8f, 34}, {5, 1.6f, 2}, kBlueAccent, true, Kind::Cover},
    {Type::Box, {12, 0.8f, -34}, {5, 1.6f, 2}, kGreenAccent, true, Kind::Cover},
    {Type::Box, {0, 6.4f, 0}, {63, 0.35f, 83}, kStructureColor, false, Kind::Roof},
};

struct NodeEntry {
    const char* name;
    Vec3 position;
    int neighbours[5];  // -1 ends a shorter list
    float weight;
    bool flagged;
};

// Bots walk each edge in a straight line, sliding along a box but never rounding a
// corner: nodes stand clear of the cover beside their edges, and node pairs that a
// wall separates are not linked. Bots patrol only this arena. A straight walk from the
// floor would pass under the platform, so its node links only to the top of the left
// ramp, from where the platform is one step across.
const NodeEntry kTrainingGraph[] = {
    {"SPAWN_A", {0, 0, -34}, {1, 2, 3, -1, -1}, 1.0f, false},
    {"LEFT_ROUTE", {-23, 0, -31.5f}, {0, 4, -1, -1, -1}, 1.0f, true},
    {"MID", {0, 0, -22}, {0, 5, 6, -1, -1}, 1.0f, false},
    {"RIGHT_ROUTE", {14, 0, -28}, {0, 6, 7, -1, -1}, 1.0f, true},
    {"LEFT_CORRIDOR", {-26, 0, -16}, {1, -1, -1, -1, -1}, 1.0f, true},
    {"LEFT_FLANK", {-12, 0, -11}, {2, 8, 10, -1, -1}, 1.0f, true},
    {"RIGHT_FLANK", {12, 0, -8}, {2, 3, 7, 10, 13}, 1.0f, true},
    {"RIGHT_CORRIDOR", {26, 0, -16}, {3, 6, -1, -1, -1}, 1.0f, true},
    {"LEFT_ROUTE", {-20, 0, 4}, {5, 12, -1, -1, -1}, 1.0f, true},
    {"LEFT_UPPER", {-7.65f, 2.5856f, 26.45f}, {12, 14, -1, -1, -1}, 1.0f, true},
    {"CENTRAL", {0, 0, 3}, {5, 6, 12, -1, -1}, 1.0f, true},
    {"RIGHT_ROUTE", {25, 0, 16}, {15, -1, -1, -1, -1}, 1.0f, true},
    {"MID", {-10, 0, 15}, {8, 9, 10, 16, -1}, 1.0f, true},
    {"UPPER", {17.5f, 0, 15.5f}, {6, -1, -1, -1, -1}, 1.0f, true},
    {"UPPER_PLATFORM", {0, 2.9f, 26}, {9, -1, -1, -1, -1}, 1.15f, true},
    {"TRAINING_SECTOR", {22, 0, 32}, {11, 17, 18, -1, -1}, 1.0f, true},
    {"TRAINING_SECTOR", {-19, 0, 34.5f}, {12, 18, -1, -1, -1}, 1.0f, true},
    {"SPAWN_B", {10, 0, 34}, {15, 18, -1, -1, -1}, 1.0f, false},
    {"SPAWN_B", {0, 0, 37}, {15, 16, 17, -1, -1}, 1.0f, false},
};

constexpr Vec3 kBotSpawns[8] = {
    {0, 0, -10}, {-20, 0, 8}, {20, 0, 14}, {-14, 0, 32}, {14, 0, 34}, {-26, 0, -12}, {26, 0, -16}, {0, 2.9f, 22},
};

using HeapEntry = PathHeapEntry;

// Binary min-heap on f. The exact sift rules decide which of two equally good
// entries comes out first, and so which of two equally short paths is taken.
void HeapPush(std::vector<HeapEntry>& heap, HeapEntry entry) {
    std::size_t hole = heap.size();
    heap.push_back(entry);
    while (hole > 0) {
        const std::size_t parent = (hole - 1) / 2;
        if (!(heap[parent].f > entry.f)) {
            break;
        }
        heap[hole] = heap[parent];
        hole = parent;
    }
    heap[hole] = entry;
}

HeapEntry HeapPop(std::vector<HeapEntry>& heap) {
    const HeapEntry top = heap.front();
    const std::size_t count = heap.size();
    std::size_t hole = 0;
    for (;;) {
        const std::size_t left = 2 * hole + 1;
        if (left >= count) {
            break;
        }
        std::size_t child = left;
        if (left + 1 < count && heap[left].f > heap[left + 1].f) {
            child = left + 1;
        }
        heap[hole] = heap[child];
        hole = child;
    }
    const std::size_t last = count - 1;
    if (hole != last) {
        const HeapEntry moved = heap[last];
        while (hole > 0) {
            const std::size_t parent = (hole - 1) / 2;
            if (!(heap[parent].f > moved.f)) {
                break;
            }
            heap[hole] = heap[parent];
            hole = parent;
        }
        heap[hole] = moved;
    }
    heap.pop_back();
    return top;
}

// A* without a closed set; the arrays are the caller's so that re-planning can
// reuse their storage.
template <typename Heap>
bool SearchPath(const std::vector<NavigationNode>& nodes, int start, int goal, std::vector<float>& cost,
                std::vector<int>& parent, Heap& heap, std::vector<int>& out) {
    out.clear();
    const int count = static_cast<int>(nodes.size());
    if (start < 0 || goal < 0 || start >= count || goal >= count) {
        return false;
    }
    cost.assign(nodes.size(), std::numeric_limits<float>::max());
    parent.assign(nodes.size(), -1);
    heap.clear();
    cost[start] = 0.0f;
    HeapPush(heap, {0.0f, start});
    const Vec3 goalPosition = nodes[goal].position;
    while (!heap.empty()) {
        const int current = HeapPop(heap).node;
        if (current == goal) {
            break;
        }
        const NavigationNode& node = nodes[current];
        for (const int next : node.neighbours) {
            if (next < 0 || next >= count) {
                continue;
            }
            const float candidate =
                cost[current] + detail::FlatDistance(node.position, nodes[next].position) * nodes[next].weight;
            if (candidate < cost[next]) {
                cost[next] = candidate;
                parent[next] = current;
                HeapPush(heap, {candidate + detail::FlatDistance(nodes[next].position, goalPosition), next});
            }
        }
    }
    if (goal != start && parent[goal] == -1) {
        return false;
    }
    // Parent links form a tree rooted at start; the bound only guards the walk.
    for (int node = goal; node != -1 && out.size() <= nodes.size(); node = node == start ? -1 : parent[node]) {
        out.push_back(node);
    }
    if (out.back() != start) {
        out.clear();
        return false;
    }
    std::reverse(out.begin(), out.end());
    return true;
}

}  // namespace

void TrainingSimulation::BuildArena() {
    arena.assign(std::begin(kTrainingArena), std::end(kTrainingArena));
    RebuildWorldCache();
}

void TrainingSimulation::BuildNavigationGraph() {
    navigationNodes.clear();
    navigationNodes.reserve(std::size(kTrainingGraph));
    int id = 0;
    for (const NodeEntry& entry : kTrainingGraph) {
        NavigationNode node;
        node.id = id++;
        node.position = entry.position;
        for (const int next : entry.neighbours) {
            if (next >= 0) {
                node.neighbours.push_back(next);
            }
        }
        node.weight = entry.weight;
        node.name = entry.name;
        node.flagged = entry.flagged;
        navigationNodes.push_back(std::move(node));
    }
    // Re-planning during play reuses these; the open list rarely outgrows this.
    pathCost.reserve(navigationNodes.size());
    pathParent.reserve(navigationNodes.size());
    pathHeap.reserve(8 * navigationNodes.size());
}

bool TrainingSimulation::ConfigureMatchMap(int map, const std::filesystem::path& directory) {
    if (map < 0 || map >= static_cast<int>(MatchMapFiles.size())) {
        return false;
    }
    std::string text;
    if (distribution::ReadWholeFile(directory / MatchMapFiles[map], kMaxArenaFileBytes, text) !=
        distribution::FileRead::Read) {
        return false;
    }
    auto primitives = ParseArenaText(text);
    if (!primitives) {
        return false;
    }
    arena = std::move(*primitives);
    mapIndex = map;
    RebuildWorldCache();
    return true;
}

void TrainingSimulation::SpawnBots() {
    bots.clear();
    const int count = std::max(config.bot_count, 0);
    bots.reserve(count);
    stepStartBotPositions.reserve(count);
    const int nodeCount = static_cast<int>(navigationNodes.size());
    for (int i = 0; i < count; ++i) {
        Bot bot;
        bot.id = i;
        bot.position = kBotSpawns[i % 8];
        bot.spawnPosition = bot.position;
        bot.stuckCheckPosition = bot.position;
        bot.health = config.bot_health;
        bot.state = BotState::Patrol;
        bot.fireTimer = config.bot_reaction_seconds;
        bot.reactionTimer = config.bot_reaction_seconds;
        bot.aimDelayTimer = config.bot_aim_delay;
        bot.strafeSign = i % 2 == 0 ? 1.0f : -1.0f;
        // Re-planning reuses this storage: a simple path never exceeds the node count.
        bot.path.reserve(navigationNodes.size());
        EnsureBotPath(bot, nodeCount > 0 ? (3 * i + 5) % nodeCount : 0);
        bots.push_back(std::move(bot));
        Emit("BotSpawned", i);
    }
}

std::vector<int> TrainingSimulation::FindPath(int start, int goal) const {
    std::vector<float> cost;
    std::vector<int> parent;
    std::vector<HeapEntry> heap;
    std::vector<int> path;
    SearchPath(navigationNodes, start, goal, cost, parent, heap, path);
    return path;
}

bool TrainingSimulation::PlanPath(int start, int goal, std::vector<int>& out) {
    return SearchPath(navigationNodes, start, goal, pathCost, pathParent, pathHeap, out);
}

int TrainingSimulation::NearestNavigationNode(Vec3 position) const {
    int best = -1;
    float bestDistance = std::numeric_limits<float>::max();
    for (const NavigationNode& node : navigationNodes) {
        const float d = detail::FlatDistance(position, node.position);
        if (best == -1 || d < bestDistance) {
            best = node.id;
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace tarvo::gameplay
