// Cost of the training simulation's hot paths: one fixed step (default bots and
// 16 bots, on the built-in arena and each shipped map), RaycastWorld and path
// planning. Prints ns per operation and the share of the 1/120 s step budget.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gameplay/training_simulation.h"

using namespace tarvo::gameplay;

namespace {

constexpr double kStepBudgetNs = 1e9 / 120.0;

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency * 1e9;
}

std::filesystem::path MapsFolder() {
    wchar_t module[MAX_PATH * 4] = {};
    GetModuleFileNameW(nullptr, module, static_cast<DWORD>(std::size(module)));
    std::filesystem::path dir = std::filesystem::path(module).parent_path();
    for (int i = 0; i < 8; ++i) {
        if (std::filesystem::exists(dir / "assets" / "maps")) return dir / "assets" / "maps";
        dir = dir.parent_path();
    }
    return {};
}

const char* MapName(int map) {
    return map < 0 ? "BUILT-IN" : MatchMapNames[map].data();
}

// The player runs in circles and shoots, so bots see, chase, lose and re-find it.
double StepCost(int map, int botCount, const std::filesystem::path& maps) {
    GameplayConfig config;
    if (botCount > 0) config.bot_count = botCount;
    config.player_health = 1e9f;  // a dead player would freeze the bots and flatter the figure
    TrainingSimulation sim{config};
    if (map >= 0 && !sim.ConfigureMatchMap(map, maps)) return -1.0;
    sim.Start();
    InputState input;
    input.forward = true;
    const auto run = [&](int steps) {
        for (int i = 0; i < steps; ++i) {
            sim.AddMouseDelta(4.0f, 0.0f);
            input.sprint = (i / 240) % 2 == 0;
            if (i % 12 == 0) sim.Fire();
            if (i % 400 == 0) sim.BeginReload();
            sim.FixedUpdate(input, TrainingSimulation::kFixedStep);
            if (i % 2 == 0) sim.DrainEvents();
        }
    };
    run(1200);
    const int steps = 40000;
    const double start = Now();
    run(steps);
    return (Now() - start) / steps;
}

double RaycastCost(int map, const std::filesystem::path& maps, int& hits) {
    TrainingSimulation sim{GameplayConfig{}};
    if (map >= 0 && !sim.ConfigureMatchMap(map, maps)) return -1.0;
    std::vector<Vec3> origins;
    std::vector<Vec3> directions;
    uint32_t state = 12345;
    const auto next = [&] {
        state = state * 1664525u + 1013904223u;
        return static_cast<float>(state >> 8) / 16777215.0f;
    };
    for (int i = 0; i < 4096; ++i) {
        origins.push_back({next() * 60 - 30, 0.2f + next() * 3, next() * 80 - 40});
        directions.push_back({next() * 2 - 1, next() * 0.6f - 0.3f, next() * 2 - 1});
    }
    hits = 0;
    const int rays = 400000;
    float distance = 0.0f;
    const double start = Now();
    for (int i = 0; i < rays; ++i) {
        hits += sim.RaycastWorld(origins[i & 4095], directions[i & 4095], 38.0f, distance) ? 1 : 0;
    }
    return (Now() - start) / rays;
}

double PathCost() {
    TrainingSimulation sim{GameplayConfig{}};
    const int nodes = static_cast<int>(sim.NavigationGraph().size());
    std::size_t total = 0;
    const int rounds = 200;
    const double start = Now();
    for (int r = 0; r < rounds; ++r) {
        for (int a = 0; a < nodes; ++a) {
            for (int b = 0; b < nodes; ++b) total += sim.FindPath(a, b).size();
        }
    }
    const double perPath = (Now() - start) / (static_cast<double>(rounds) * nodes * nodes);
    std::printf("  (mean path length %.2f nodes)\n", static_cast<double>(total) / (rounds * nodes * nodes));
    return perPath;
}

}  // namespace

int wmain(int, wchar_t**) {
    const auto maps = MapsFolder();
    if (maps.empty()) {
        std::printf("assets/maps not found above the executable\n");
        return 1;
    }
    std::printf("Fixed step (1/120 s), ns per step and share of the %.0f ns budget\n", kStepBudgetNs);
    for (int map = -1; map < 3; ++map) {
        for (int bots : {0, 16}) {
            const double ns = StepCost(map, bots, maps);
            std::printf("  %-9s %-14s %9.0f ns  %7.4f %%\n", MapName(map), bots ? "16 bots" : "default (3)", ns,
                        100.0 * ns / kStepBudgetNs);
        }
    }
    std::printf("RaycastWorld, 38 m rays from random points\n");
    for (int map = -1; map < 3; ++map) {
        int hits = 0;
        const double ns = RaycastCost(map, maps, hits);
        std::printf("  %-9s %7.1f ns per ray  (%d%% hit)\n", MapName(map), ns, hits * 100 / 400000);
    }
    std::printf("FindPath (A*), every pair of the 19 nodes\n");
    const double path = PathCost();
    std::printf("  %7.1f ns per path  %7.4f %% of a step\n", path, 100.0 * path / kStepBudgetNs);
    return 0;
}
