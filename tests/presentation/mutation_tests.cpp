// Feeds thousands of damaged mesh files to both readers: none may crash, throw, or
// allocate more than the damaged file could fill.

#include <gtest/gtest.h>

// The replacement operators below pair malloc with free; GCC cannot see that.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include <atomic>
#include <cstdlib>
#include <new>
#include <random>

#include "asset_test_support.h"
#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"

namespace {
std::atomic<bool> gCounting{false};
std::atomic<uint64_t> gAllocatedBytes{0};
}  // namespace

// Counts every byte requested while a load runs; the rest of the test executable
// sees an ordinary allocator.
void* operator new(std::size_t size) {
    if (gCounting.load(std::memory_order_relaxed)) {
        gAllocatedBytes.fetch_add(size, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return ::operator new(size, std::nothrow); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tarvo::presentation {
namespace {

using testing::CharacterFixture;
using testing::CharacterV1Fixture;
using testing::TempFolder;
using testing::WriteBytes;

// Status texts, names, hash texts and the small per-LOD records.
constexpr uint64_t kBookkeepingSlack = 16 * 1024;

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& rng) {
    std::uniform_int_distribution<int> kind(0, 5);
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
        const size_t at = rng() % bytes.size();
        switch (kind(rng)) {
            case 0:  // flip a bit
                bytes[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
                break;
            case 1:  // random byte
                bytes[at] = static_cast<uint8_t>(rng());
                break;
            case 2: {  // a count-like word at an aligned offset: huge, zero, boundary or random
                static constexpr uint32_t kWords[] = {0u, 1u, 2u, 3u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u,
                                                      250000u, 1200000u, 18000000u, 8192u, 268435456u};
                const uint32_t word = rng() % 2 ? kWords[rng() % std::size(kWords)] : static_cast<uint32_t>(rng());
                const size_t aligned = at & ~size_t{3};
                if (aligned + 4 <= bytes.size()) {
                    std::memcpy(bytes.data() + aligned, &word, 4);
                }
                break;
            }
            case 3:  // cut the file short
                bytes.resize(at);
                break;
            case 4: {  // drop a few bytes from the middle
                const size_t n = std::min<size_t>(1 + rng() % 9, bytes.size() - at);
                bytes.erase(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + n));
                break;
            }
            default: {  // a non-finite float
                const uint32_t nan = rng() % 2 ? 0x7FC00000u : 0x7F800000u;
                const size_t aligned = at & ~size_t{3};
                if (aligned + 4 <= bytes.size()) {
                    std::memcpy(bytes.data() + aligned, &nan, 4);
                }
                break;
            }
        }
    }
    return bytes;
}

template <typename Asset>
uint64_t CountedLoad(Asset& asset, const std::filesystem::path& file, bool& loaded) {
    gAllocatedBytes = 0;
    gCounting = true;
    loaded = asset.Load(file);
    gCounting = false;
    return gAllocatedBytes.load();
}

void CheckCharacter(const ImportedCharacterAsset& asset, bool loaded) {
    if (!loaded) {
        ASSERT_FALSE(asset.Ready());
        ASSERT_EQ(asset.LodCount(), 0u);
        ASSERT_TRUE(asset.TextureMips().empty());
        return;
    }
    ASSERT_TRUE(asset.Ready());
    for (size_t lod = 0; lod < asset.LodCount(); ++lod) {
        const size_t vertices = asset.VertexCount(lod);
        for (const uint32_t index : asset.Indices(lod)) {
            ASSERT_LT(index, vertices);
        }
        for (const char* clip : {"idle", "walk", "run"}) {
            const auto frame = asset.Sample(clip, 0.7f, lod);
            ASSERT_TRUE(frame.empty() || frame.size() == vertices);
        }
    }
}

TEST(AssetMutation, CharacterReaderSurvivesDamagedFiles) {
    CharacterFixture v2;
    CharacterFixture v3;
    v3.magic = "TRVMESH3";
    v3.version = 3;
    v3.clips = {{"idle", 1.0f, 3}, {"run", 0.5f, 2}};
    const std::vector<std::vector<uint8_t>> seeds = {v2.Build(), v3.Build(), CharacterV1Fixture{}.Build()};
    TempFolder temp;
    const auto file = temp / L"mutant.tarvomesh";
    std::mt19937 rng(20240611u);
    ImportedCharacterAsset asset;
    int accepted = 0;
    for (int i = 0; i < 3000; ++i) {
        const auto bytes = Mutate(seeds[static_cast<size_t>(i) % seeds.size()], rng);
        WriteBytes(file, bytes);
        bool loaded = false;
        const uint64_t allocated = CountedLoad(asset, file, loaded);
        ASSERT_LE(allocated, bytes.size() + kBookkeepingSlack) << "iteration " << i;
        CheckCharacter(asset, loaded);
        accepted += loaded;
    }
    // Some damage lands where nothing is checked (hash bytes, positions of version 1).
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 3000);
}

TEST(AssetMutation, WeaponReaderSurvivesDamagedFiles) {
    const auto seed = testing::BuildWeaponFile(12);
    TempFolder temp;
    const auto file = temp / L"mutant.tarvoweapon";
    std::mt19937 rng(77u);
    ImportedWeaponAsset asset;
    for (int i = 0; i < 1200; ++i) {
        const auto bytes = Mutate(seed, rng);
        WriteBytes(file, bytes);
        bool loaded = false;
        const uint64_t allocated = CountedLoad(asset, file, loaded);
        ASSERT_LE(allocated, bytes.size() + kBookkeepingSlack) << "iteration " << i;
        ASSERT_EQ(loaded, asset.Ready());
        ASSERT_EQ(asset.Vertices().size() % 3, 0u);
        if (loaded) {
            ASSERT_LE(asset.Vertices().size() * sizeof(ImportedWeaponVertex), bytes.size());
        }
    }
}

TEST(AssetMutation, ShippedCharacterLoadAllocatesNoMoreThanItsFile) {
    ImportedCharacterAsset asset;
    bool loaded = false;
    const auto file = DiscoverRozizodivoRuntimeAsset();
    const uint64_t allocated = CountedLoad(asset, file, loaded);
    ASSERT_TRUE(loaded);
    const uint64_t size = std::filesystem::file_size(file);
    EXPECT_LE(allocated, size + kBookkeepingSlack);
    EXPECT_GT(allocated, size / 2);  // the counter does see the loader's vectors
}

}  // namespace
}  // namespace tarvo::presentation
