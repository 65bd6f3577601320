// Counts every heap allocation of this test program, so that steady-state steps
// can be shown to allocate nothing of their own.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "gameplay_test_support.h"

namespace {
std::atomic<long long> g_allocations{0};

void* CountedAllocate(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tarvo::gameplay {
namespace {

using testing::FindShipped;

// Heap blocks the event queue itself needs: a name longer than the string's inline
// buffer is one block, and the queue grows by doubling from empty.
long long EventAllocations(const std::vector<SessionEvent>& events) {
    long long blocks = 0;
    for (const auto& e : events) {
        blocks += e.name.size() > 15 ? 1 : 0;
    }
    for (std::size_t capacity = 1; capacity / 2 < events.size(); capacity *= 2) {
        ++blocks;
    }
    return blocks;
}

TEST(Allocation, CountingIsLive) {
    const long long before = g_allocations.load();
    auto* p = new std::vector<int>(100);
    delete p;
    EXPECT_GE(g_allocations.load() - before, 2);
}

TEST(Allocation, SteadyStateStepsAllocateNothingButEvents) {
    const auto maps = FindShipped("assets/maps");
    ASSERT_FALSE(maps.empty());
    for (int map = -1; map < 3; ++map) {
        GameplayConfig config;
        config.bot_count = 16;
        config.player_health = 1e6f;
        TrainingSimulation sim{config};
        if (map >= 0) {
            ASSERT_TRUE(sim.ConfigureMatchMap(map, maps));
        }
        sim.Start();
        InputState input;
        input.forward = true;
        input.sprint = true;
        // Warm up: bots patrol, see, engage and re-plan, so every buffer has grown.
        for (int i = 0; i < 3600; ++i) {
            sim.AddMouseDelta(3.0f, 0.0f);
            sim.Update(input, i % 3 == 0 ? 0.02f : 1.0f / 144.0f);
            if (i % 20 == 0) sim.DrainEvents();
        }
        sim.DrainEvents();

        const long long before = g_allocations.load();
        for (int i = 0; i < 3600; ++i) {
            sim.AddMouseDelta(3.0f, 0.0f);
            sim.Update(input, i % 3 == 0 ? 0.02f : 1.0f / 144.0f);
            if (i % 10 == 0) sim.Fire();
        }
        const long long used = g_allocations.load() - before;
        const auto events = sim.DrainEvents();
        EXPECT_LE(used, EventAllocations(events)) << "map " << map << ", " << events.size() << " events";
        EXPECT_GT(events.size(), 0u) << "map " << map;  // the window saw real play
    }
}

}  // namespace
}  // namespace tarvo::gameplay
