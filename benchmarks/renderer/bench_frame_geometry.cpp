// CPU cost of building one frame's vertex list at 1920 x 1080: the Vulkan frame (world and HUD)
// and the Direct3D 11 scene (world only), each row timed frame by frame.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/file_utils.h"
#include "gameplay/training_simulation.h"
#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/d3d11/d3d11_scene.h"
#include "renderer/hud_font.h"
#include "renderer/vulkan/vulkan_frame_geometry.h"

using namespace tarvo;

namespace {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return double(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return double(t.QuadPart) / frequency;
}

std::filesystem::path MapsFolder() {
    for (auto dir = distribution::ExecutableDirectory(); !dir.empty(); dir = dir.parent_path()) {
        if (std::filesystem::exists(dir / "assets" / "maps" / "relay.arena")) return dir / "assets" / "maps";
        if (dir == dir.parent_path()) break;
    }
    return {};
}

struct Result {
    double microseconds;  // the median frame
    double mean;          // over all timed frames, time lost to other programs included
    size_t vertices;
};

// Times 200 frames one by one. A row's figure is the median frame: on a shared machine a
// frame during which the processor was taken away measures the machine, not the builder;
// the mean, printed beside it, counts those frames too.
template <typename Build>
Result Time(Build build) {
    build();  // warm the caches
    std::vector<double> frames(200);
    const double start = Now();
    for (double& frame : frames) {
        const double begin = Now();
        build();
        frame = Now() - begin;
    }
    const double total = Now() - start;
    std::nth_element(frames.begin(), frames.begin() + frames.size() / 2, frames.end());
    return {frames[frames.size() / 2] * 1e6, total / double(frames.size()) * 1e6, 0};
}

Result Measure(const gameplay::TrainingSimulation& sim, const renderer::RenderOverlay& overlay,
               const renderer::VulkanFrameAssets& assets) {
    std::vector<renderer::Vertex> vertices;
    Result r = Time([&] { renderer::BuildVulkanFrame(sim, overlay, assets, 1920, 1080, vertices); });
    r.vertices = vertices.size();
    return r;
}

// The Direct3D 11 scene (world and first person; its HUD is Direct2D, not vertices).
Result MeasureD3D11(const gameplay::TrainingSimulation& sim, const renderer::RenderOverlay& overlay,
                    const renderer::D3D11SceneAssets& assets) {
    renderer::D3D11Scene scene;
    Result r = Time([&] { renderer::BuildD3D11Scene(scene, sim, overlay, assets, 1920, 1080); });
    r.vertices = scene.vertices.size();
    return r;
}

gameplay::TrainingSimulation Scene(int map, int bots, const std::filesystem::path& maps) {
    gameplay::GameplayConfig config;
    config.bot_count = bots;
    gameplay::TrainingSimulation sim(config);
    sim.ConfigureMatchMap(map, maps);
    sim.Start();
    gameplay::InputState idle;
    for (int i = 0; i < 120; ++i) sim.FixedUpdate(idle, gameplay::TrainingSimulation::kFixedStep);
    return sim;
}

// Every bot placed in view in front of the player, at a distance.
gameplay::TrainingSimulation BotsInView(int map, int count, float distance, const std::filesystem::path& maps) {
    gameplay::TrainingSimulation sim = Scene(map, 1, maps);
    std::vector<gameplay::Bot> bots;
    gameplay::PlayerState player = sim.Player();
    player.yaw = 0;
    player.pitch = 0;
    for (int i = 0; i < count; ++i) {
        gameplay::Bot bot;
        bot.position = player.position + gameplay::Vec3{(i - count / 2) * 1.2f, 0, distance};
        bot.health = 100;
        bot.state = gameplay::BotState::Patrol;
        bot.horizontalSpeed = 4.0f;
        bot.distanceTravelled = i * 0.37f;
        bots.push_back(bot);
    }
    sim.ApplyOnlineSnapshot(player, sim.Weapon(), bots);
    sim.onlineDriven = false;
    return sim;
}

}  // namespace

int wmain(int, wchar_t**) {
    const std::filesystem::path maps = MapsFolder();
    double start = Now();
    renderer::NativeHudFont::Get();
    std::printf("HUD glyph atlas first build: %.1f ms\n", (Now() - start) * 1e3);

    presentation::ImportedCharacterAsset character;
    presentation::ImportedWeaponAsset weapon;
    character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                               presentation::DiscoverRozizodivoRollbackAsset());
    weapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset());
    std::printf("character ready %d (%zu LODs:", character.Ready() ? 1 : 0, character.LodCount());
    for (size_t i = 0; i < character.LodCount(); ++i) std::printf(" %zu", character.TriangleCount(i));
    std::printf(" triangles), weapon ready %d (%zu vertices)\n", weapon.Ready() ? 1 : 0, weapon.Vertices().size());

    presentation::ImportedCharacterAsset none;
    presentation::ImportedWeaponAsset noWeapon;
    const renderer::VulkanFrameAssets imported{character, weapon, true};
    const renderer::VulkanFrameAssets procedural{none, noWeapon, false};
    renderer::RenderOverlay overlay;
    overlay.elapsedSeconds = 30;
    overlay.deviceName = L"llvmpipe";

    // Each row's median frame as a share of the 2 ms frame-build budget, and its cost per
    // vertex; the mean of all timed frames beside it.
    std::printf("\n%-44s %10s %10s %8s %8s %10s\n", "scene (1920x1080, world + HUD)", "us/frame", "vertices",
                "of 2 ms", "ns/vert", "mean us");
    const auto line = [](const char* label, Result r) {
        std::printf("%-44s %10.1f %10zu %7.1f%% %8.2f %10.1f\n", label, r.microseconds, r.vertices,
                    r.microseconds / 20.0, r.vertices ? r.microseconds * 1e3 / double(r.vertices) : 0.0, r.mean);
    };
    const auto row = [&](const char* name, int map, Result r) {
        char label[96];
        std::snprintf(label, sizeof label, "%s, map %d", name, map);
        line(label, r);
    };
    for (int map = 0; map < 3; ++map) {
        row("default training (3 bots)", map, Measure(Scene(map, 3, maps), overlay, imported));
        row("default training, procedural bodies", map, Measure(Scene(map, 3, maps), overlay, procedural));
        row("16 bots", map, Measure(Scene(map, 16, maps), overlay, imported));
        row("16 bots in view at 6 m", map, Measure(BotsInView(map, 16, 6.0f, maps), overlay, imported));
    }
    std::printf("\nimported character by level of detail (16 bots in view, map 0):\n");
    for (float distance : {4.0f, 12.0f, 25.0f, 45.0f, 80.0f}) {
        const size_t lod = renderer::CharacterLodForBudget(character, distance, 16);
        char label[64];
        std::snprintf(label, sizeof label, "at %.0f m (LOD %zu)", distance, lod);
        line(label, Measure(BotsInView(0, 16, distance, maps), overlay, imported));
    }
    for (uint32_t quality = 0; quality < 3; ++quality) {
        overlay.quality = quality;
        char label[64];
        std::snprintf(label, sizeof label, "quality %u, 16 bots in view at 6 m", quality);
        line(label, Measure(BotsInView(0, 16, 6.0f, maps), overlay, imported));
    }

    std::printf("\n%-44s %10s %10s %8s %8s %10s\n", "Direct3D 11 scene (1920x1080, world only)", "us/frame",
                "vertices", "of 2 ms", "ns/vert", "mean us");
    const renderer::D3D11SceneAssets d3dImported{character, weapon, true};
    const renderer::D3D11SceneAssets d3dFallback{none, noWeapon, false};
    for (uint32_t quality = 0; quality < 3; ++quality) {
        overlay.quality = quality;
        for (int map = 0; map < 3; ++map) {
            char name[64];
            std::snprintf(name, sizeof name, "q%u default training (3 bots)", quality);
            row(name, map, MeasureD3D11(Scene(map, 3, maps), overlay, d3dImported));
            std::snprintf(name, sizeof name, "q%u 16 bots in view at 6 m", quality);
            row(name, map, MeasureD3D11(BotsInView(map, 16, 6.0f, maps), overlay, d3dImported));
        }
    }
    overlay.quality = 1;
    row("default training, fallback blocks", 1, MeasureD3D11(Scene(1, 3, maps), overlay, d3dFallback));
    row("16 bots in view, fallback blocks", 1, MeasureD3D11(BotsInView(1, 16, 6.0f, maps), overlay, d3dFallback));
    return 0;
}
