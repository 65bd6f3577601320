#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "common/file_utils.h"
#include "common/text_utils.h"
#include "gameplay/training_simulation.h"
#include "renderer/frame_geometry.h"
#include "renderer/renderer_selection.h"
#include "renderer/vulkan/vulkan_impl.h"
#include "renderer/vulkan/vulkan_renderer.h"
#include "support/render_window.h"
#include "support/temp_folder.h"

namespace tarvo::renderer {

struct VulkanRendererTestAccess {
    static VulkanRenderer::Impl& Of(VulkanRenderer& backend) { return *backend.impl_; }
};

namespace {

std::filesystem::path ShadersFolder() { return distribution::ExecutableDirectory() / "assets" / "shaders"; }

// Wine can give Vulkan a surface only on a top-level window.
using ::tarvo::test::Bitmap;
using ::tarvo::test::BrightPixels;
using ::tarvo::test::TestWindow;

// A linear colour channel as the swapchain stores it: sRGB-encoded for an sRGB
// format, as is for a UNORM one. Either is accepted.
bool ChannelMatches(int stored, float linear) {
    const float encoded = linear <= 0.0031308f ? linear * 12.92f : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
    return std::abs(stored - encoded * 255.0f) <= 2.5f || std::abs(stored - linear * 255.0f) <= 2.5f;
}

bool ColourMatches(const std::array<int, 3>& stored, float r, float g, float b) {
    return ChannelMatches(stored[0], r) && ChannelMatches(stored[1], g) && ChannelMatches(stored[2], b);
}

// The present mode of every swapchain the backend creates, in order.
std::vector<VkPresentModeKHR> createdModes;
PFN_vkCreateSwapchainKHR createSwapchain = nullptr;
VKAPI_ATTR VkResult VKAPI_CALL RecordSwapchain(VkDevice device, const VkSwapchainCreateInfoKHR* info,
                                               const VkAllocationCallbacks* allocator, VkSwapchainKHR* swapchain) {
    createdModes.push_back(info->presentMode);
    return createSwapchain(device, info, allocator, swapchain);
}

// The player stands far outside the arena looking out, so the frame behind the
// HUD is the clear colour.
gameplay::TrainingSimulation LookingIntoTheVoid(int map) {
    gameplay::TrainingSimulation sim{gameplay::GameplayConfig{}};
    sim.Start();
    gameplay::PlayerState player = sim.Player();
    player.position = {0, 0, -400};
    player.yaw = 180;
    player.pitch = 0;
    sim.ApplyOnlineSnapshot(player, sim.Weapon(), {});
    sim.onlineDriven = false;
    sim.mapIndex = map;
    return sim;
}

TEST(VulkanBackend, RendersTrainingFramesAndCapturesThem) {
    testing::TempFolder temp;
    TestWindow window(1280, 720);
    ASSERT_TRUE(window.Handle());
    VulkanRenderer backend;
    EXPECT_EQ(backend.Kind(), RenderBackendKind::Vulkan);
    EXPECT_FALSE(backend.Ready());
    ASSERT_TRUE(backend.Initialize(window.Handle(), ShadersFolder()))
        << distribution::WideToUtf8(backend.LastError());
    EXPECT_TRUE(backend.Ready());
    EXPECT_NE(backend.DeviceName().find(L"llvmpipe"), std::wstring::npos);
    EXPECT_TRUE(backend.ImportedCharacterReady());
    EXPECT_TRUE(backend.ImportedWeaponReady());
    // Turning vertical sync off builds a new swapchain at the next frame, mailbox or else
    // immediate when the surface offers them; the same setting again builds nothing.
    VulkanRenderer::Impl& impl = VulkanRendererTestAccess::Of(backend);
    createdModes.clear();  // a repeated run of this test starts its own record
    createSwapchain = std::exchange(impl.fn.vkCreateSwapchainKHR, RecordSwapchain);
    uint32_t count = 0;
    impl.fn.vkGetPhysicalDeviceSurfacePresentModesKHR(impl.physicalDevice, impl.surface, &count, nullptr);
    std::vector<VkPresentModeKHR> offered(count);
    impl.fn.vkGetPhysicalDeviceSurfacePresentModesKHR(impl.physicalDevice, impl.surface, &count, offered.data());
    const auto has = [&](VkPresentModeKHR mode) { return std::find(offered.begin(), offered.end(), mode) != offered.end(); };
    const VkPresentModeKHR unsynced = has(VK_PRESENT_MODE_MAILBOX_KHR)     ? VK_PRESENT_MODE_MAILBOX_KHR
                                      : has(VK_PRESENT_MODE_IMMEDIATE_KHR) ? VK_PRESENT_MODE_IMMEDIATE_KHR
                                                                           : VK_PRESENT_MODE_FIFO_KHR;
    backend.SetVSync(false);

    // A few frames of a running training match, the first bot in front of the player:
    // its body samples the character's own texture.
    gameplay::TrainingSimulation sim{gameplay::GameplayConfig{}};
    sim.Start();
    const gameplay::Vec3 ahead = gameplay::Normalize({sim.CameraForward().x, 0, sim.CameraForward().z});
    sim.SetBotPositionForQa(0, sim.Player().position + ahead * 4.0f);
    RenderOverlay overlay;
    overlay.deviceName = backend.DeviceName();
    overlay.showPerformance = true;
    gameplay::InputState input;
    input.forward = true;
    for (int frame = 0; frame < 6; ++frame) {
        sim.Update(input, 1.0f / 60.0f);
        overlay.elapsedSeconds = frame / 60.0f;
        ASSERT_TRUE(backend.Render(sim, overlay)) << distribution::WideToUtf8(backend.LastError());
        TestWindow::Pump();
    }
    backend.SetVSync(false);
    ASSERT_TRUE(backend.Render(sim, overlay));
    backend.SetVSync(true);  // and back: first in, first out
    ASSERT_TRUE(backend.Render(sim, overlay));
    EXPECT_EQ(createdModes, (std::vector<VkPresentModeKHR>{unsynced, VK_PRESENT_MODE_FIFO_KHR}));
    backend.SetVSync(false);
    const std::vector<Vertex>& frame = impl.frameVertices;
    EXPECT_GT(std::count_if(frame.begin(), frame.end(), [](const Vertex& v) { return v.textured == 1.0f; }), 300);
    overlay.qaCapturePath = distribution::WideToUtf8((temp.Path() / L"кадри" / L"training.bmp").wstring());
    ASSERT_TRUE(backend.Render(sim, overlay)) << distribution::WideToUtf8(backend.LastError());
    const Bitmap training = Bitmap::Read(temp.Path() / L"кадри" / L"training.bmp");
    EXPECT_EQ(training.width, 1280);
    EXPECT_EQ(training.height, 720);
    ASSERT_EQ(training.bytes.size(), 54u + 1280u * 720u * 4u);

    // Into the void: clear colour, HUD panels and glyphs where the HUD texts stand.
    overlay = RenderOverlay{};
    overlay.elapsedSeconds = 30;
    overlay.qaCapturePath = distribution::WideToUtf8((temp.Path() / L"void.bmp").wstring());
    const gameplay::TrainingSimulation relay = LookingIntoTheVoid(0);
    ASSERT_TRUE(backend.Render(relay, overlay)) << distribution::WideToUtf8(backend.LastError());
    const Bitmap bmp = Bitmap::Read(temp.Path() / L"void.bmp");
    ASSERT_EQ(bmp.width, 1280);
    ASSERT_EQ(bmp.height, 720);
    EXPECT_TRUE(ColourMatches(bmp.At(640, 250), 0.006f, 0.012f, 0.014f));
    EXPECT_TRUE(ColourMatches(bmp.At(900, 400), 0.006f, 0.012f, 0.014f));
    // Health panel fill, left of its bar and below its label.
    EXPECT_TRUE(ColourMatches(bmp.At(300, 720 - 75), 0.018f, 0.032f, 0.038f));
    // Its lime accent bar while the player is healthy.
    EXPECT_TRUE(ColourMatches(bmp.At(24, 720 - 80), 0.63f, 0.95f, 0.02f));
    // The map name "RELAY" at (44, 38), 27 px high: legible glyph pixels, and none in
    // the empty stretch of the same panel.
    const int mapName = BrightPixels(bmp, 44, 38, 44 + static_cast<int>(GeometryBuilder::HudTextWidth("RELAY", 2.7f)),
                                      38 + 36);
    EXPECT_GT(mapName, 150);
    EXPECT_EQ(BrightPixels(bmp, 300, 30, 380, 40), 0);
    // "HEALTH" label in steel, the health figure "100" in ink.
    EXPECT_GT(BrightPixels(bmp, 46, 720 - 88, 46 + static_cast<int>(GeometryBuilder::HudTextWidth("100", 4.8f)), 720 - 30),
              300);

    // The third map clears to its own sky.
    const gameplay::TrainingSimulation skydock = LookingIntoTheVoid(2);
    overlay.qaCapturePath = distribution::WideToUtf8((temp.Path() / L"sky.bmp").wstring());
    ASSERT_TRUE(backend.Render(skydock, overlay));
    EXPECT_TRUE(ColourMatches(Bitmap::Read(temp.Path() / L"sky.bmp").At(640, 250), 0.035f, 0.075f, 0.14f));

    // A resize rebuilds the swapchain; the capture follows the new size. The X window can
    // take its new size a little after Win32 does, so frames go on until the surface has it.
    const auto renderUntil = [&](int width, const wchar_t* name) {
        overlay.qaCapturePath = distribution::WideToUtf8((temp.Path() / name).wstring());
        const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        Bitmap shot;
        do {
            TestWindow::Pump();
            EXPECT_TRUE(backend.Render(relay, overlay)) << distribution::WideToUtf8(backend.LastError());
            shot = Bitmap::Read(temp.Path() / name);
        } while (shot.width != width && std::chrono::steady_clock::now() < giveUp);
        return shot;
    };
    window.Resize(1024, 600);
    backend.Resize();
    const Bitmap small = renderUntil(1024, L"small.bmp");
    EXPECT_EQ(small.width, 1024);
    EXPECT_EQ(small.height, 600);
    EXPECT_TRUE(ColourMatches(small.At(300, 600 - 75), 0.018f, 0.032f, 0.038f));

    // Minimised: the frame goes on in the current swapchain, the rebuild waits for an area.
    window.Resize(0, 0);
    backend.Resize();
    overlay.qaCapturePath = distribution::WideToUtf8((temp.Path() / L"minimised.bmp").wstring());
    ASSERT_TRUE(backend.Render(relay, overlay)) << distribution::WideToUtf8(backend.LastError());
    EXPECT_EQ(Bitmap::Read(temp.Path() / L"minimised.bmp").width, 1024);
    // Restored larger than ever: the readback grows with the swapchain.
    window.Resize(1440, 810);
    const Bitmap large = renderUntil(1440, L"large.bmp");
    ASSERT_EQ(large.width, 1440);
    ASSERT_EQ(large.height, 810);
    EXPECT_TRUE(ColourMatches(large.At(300, 810 - 75), 0.018f, 0.032f, 0.038f));
    EXPECT_TRUE(ColourMatches(large.At(1440 - 25, 810 - 40), 0.0f, 0.72f, 0.92f));  // ammo accent

    // A frame without a capture path writes nothing.
    overlay.qaCapturePath.clear();
    ASSERT_TRUE(backend.Render(relay, overlay));

    backend.Shutdown();
    EXPECT_FALSE(backend.Ready());
    backend.Shutdown();  // harmless when repeated
    backend.SetVSync(true);
    backend.Resize();
    EXPECT_FALSE(backend.Render(relay, overlay));
    EXPECT_EQ(backend.LastError(), L"Vulkan renderer is not ready");
}

TEST(VulkanBackend, MissingShaderFileFailsWithItsText) {
    testing::TempFolder temp;
    std::filesystem::copy_file(ShadersFolder() / "ze001.vert.spv", temp.Path() / "ze001.vert.spv");
    {
        std::ofstream odd(temp.Path() / "ze001.frag.spv", std::ios::binary);
        odd << "123456";  // six bytes: not whole SPIR-V words
    }
    TestWindow window(640, 360);
    VulkanRenderer backend;
    EXPECT_FALSE(backend.Initialize(window.Handle(), temp.Path()));
    EXPECT_EQ(backend.LastError(), L"ZE001 SPIR-V shaders are missing");
    EXPECT_FALSE(backend.Ready());
    EXPECT_FALSE(backend.Render(gameplay::TrainingSimulation{gameplay::GameplayConfig{}}, RenderOverlay{}));
}

TEST(VulkanBackend, ChildWindowFailsSoTheShellCanFallBack) {
    // On Windows the game's render view is a child window. Where a platform cannot
    // make a Vulkan surface on one (Wine 8 cannot), Initialize must fail cleanly with
    // a reason, and the selection must still offer Direct3D 11 for the shell's fallback.
    TestWindow parent(800, 600);
    TestWindow child(800, 600, parent.Handle());
    ASSERT_TRUE(child.Handle());
    VulkanRenderer backend;
    const bool initialized = backend.Initialize(child.Handle(), ShadersFolder());
    if (initialized) GTEST_SKIP() << "this platform gives child windows a Vulkan surface";
    EXPECT_EQ(backend.LastError(), L"Win32 Vulkan surface creation failed");
    EXPECT_FALSE(backend.Ready());
    backend.Shutdown();
    EXPECT_TRUE(backend.Preflight().usable);  // the probe itself still passes

    const GraphicsSystemDiagnostics selection = RendererSelection::Run(RenderBackendKind::Vulkan);
    EXPECT_EQ(selection.selected, RenderBackendKind::Vulkan);
    EXPECT_TRUE(selection.d3d11.ready) << distribution::WideToUtf8(selection.d3d11.CompactReport());
}

TEST(VulkanBackend, PreflightFaultStopsInitializeBeforeAnyLoading) {
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", "loader_missing");
    TestWindow window(320, 200);
    VulkanRenderer backend;
    const bool initialized = backend.Initialize(window.Handle(), ShadersFolder());
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", nullptr);
    EXPECT_FALSE(initialized);
    EXPECT_EQ(backend.LastError(), L"vulkan-1.dll не знайдено. Встановіть офіційний драйвер GPU. / NOT_CALLED");
    EXPECT_FALSE(backend.ImportedCharacterReady());  // nothing was loaded
    EXPECT_EQ(backend.ImportedCharacterStatus(), L"NOT LOADED");
    EXPECT_TRUE(backend.DeviceName().empty());
}

}  // namespace
}  // namespace tarvo::renderer
