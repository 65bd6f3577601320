#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "renderer/vulkan/vulkan_choices.h"
#include "renderer/vulkan/vulkan_impl.h"
#include "support/temp_folder.h"

namespace tarvo::renderer {
namespace {

VkQueueFamilyProperties Family(VkQueueFlags flags) {
    VkQueueFamilyProperties f{};
    f.queueFlags = flags;
    f.queueCount = 1;
    return f;
}

TEST(VulkanChoices, QueueFamiliesAndExtensions) {
    {
        const VkQueueFamilyProperties families[] = {Family(VK_QUEUE_GRAPHICS_BIT), Family(VK_QUEUE_TRANSFER_BIT),
                                                    Family(VK_QUEUE_COMPUTE_BIT)};
        const VkBool32 present[] = {VK_FALSE, VK_FALSE, VK_TRUE};
        const QueueFamilyChoice c = ChooseQueueFamilies(families, present);
        EXPECT_TRUE(c.found);
        EXPECT_EQ(c.graphics, 0u);
        EXPECT_EQ(c.present, 2u);
    }
    {
        const VkQueueFamilyProperties families[] = {Family(VK_QUEUE_GRAPHICS_BIT), Family(VK_QUEUE_GRAPHICS_BIT)};
        const VkBool32 present[] = {VK_TRUE, VK_TRUE};
        const QueueFamilyChoice c = ChooseQueueFamilies(families, present);
        EXPECT_EQ(c.graphics, 1u);  // the highest index of each wins
        EXPECT_EQ(c.present, 1u);
    }
    {
        const VkQueueFamilyProperties families[] = {Family(VK_QUEUE_GRAPHICS_BIT)};
        const VkBool32 present[] = {VK_FALSE};
        EXPECT_FALSE(ChooseQueueFamilies(families, present).found);
    }
    VkExtensionProperties extensions[2]{};
    std::strcpy(extensions[0].extensionName, "VK_KHR_maintenance1");
    std::strcpy(extensions[1].extensionName, "VK_KHR_swapchain");
    EXPECT_TRUE(HasDeviceExtension(extensions, "VK_KHR_swapchain"));
    EXPECT_FALSE(HasDeviceExtension(std::span(extensions, 1), "VK_KHR_swapchain"));
}

TEST(VulkanChoices, SwapchainParameters) {
    const VkSurfaceFormatKHR unorm{VK_FORMAT_B8G8R8A8_UNORM, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR srgb{VK_FORMAT_B8G8R8A8_SRGB, VK_COLOR_SPACE_SRGB_NONLINEAR_KHR};
    const VkSurfaceFormatKHR both[] = {unorm, srgb};
    EXPECT_EQ(ChooseSurfaceFormat(both).format, VK_FORMAT_B8G8R8A8_SRGB);
    const VkSurfaceFormatKHR only[] = {{VK_FORMAT_B8G8R8A8_UNORM, VK_COLOR_SPACE_EXTENDED_SRGB_LINEAR_EXT}};
    EXPECT_EQ(ChooseSurfaceFormat(only).format, VK_FORMAT_B8G8R8A8_UNORM);
    EXPECT_EQ(ChooseSurfaceFormat(only).colorSpace, VK_COLOR_SPACE_EXTENDED_SRGB_LINEAR_EXT);

    const VkPresentModeKHR all[] = {VK_PRESENT_MODE_FIFO_KHR, VK_PRESENT_MODE_MAILBOX_KHR,
                                    VK_PRESENT_MODE_IMMEDIATE_KHR};
    const VkPresentModeKHR noMailbox[] = {VK_PRESENT_MODE_FIFO_KHR, VK_PRESENT_MODE_IMMEDIATE_KHR};
    EXPECT_EQ(ChoosePresentMode(true, all), VK_PRESENT_MODE_FIFO_KHR);
    EXPECT_EQ(ChoosePresentMode(false, all), VK_PRESENT_MODE_MAILBOX_KHR);
    EXPECT_EQ(ChoosePresentMode(false, noMailbox), VK_PRESENT_MODE_IMMEDIATE_KHR);
    EXPECT_EQ(ChoosePresentMode(false, {}), VK_PRESENT_MODE_FIFO_KHR);

    VkSurfaceCapabilitiesKHR caps{};
    caps.minImageCount = 2;
    caps.maxImageCount = 3;
    EXPECT_EQ(ChooseImageCount(caps), 3u);
    caps.minImageCount = 3;
    EXPECT_EQ(ChooseImageCount(caps), 3u);
    caps.minImageCount = 2;
    caps.maxImageCount = 0;  // no upper limit
    EXPECT_EQ(ChooseImageCount(caps), 3u);

    caps.currentExtent = {800, 600};
    EXPECT_EQ(ChooseSwapchainExtent(caps, 1, 1).width, 800u);
    caps.currentExtent = {0xFFFFFFFFu, 0xFFFFFFFFu};
    caps.minImageExtent = {1, 1};
    caps.maxImageExtent = {1000, 500};
    const VkExtent2D clamped = ChooseSwapchainExtent(caps, 1200, 400);
    EXPECT_EQ(clamped.width, 1000u);
    EXPECT_EQ(clamped.height, 400u);
    const VkExtent2D minimised = ChooseSwapchainExtent(caps, 0, -5);
    EXPECT_EQ(minimised.width, 1u);
    EXPECT_EQ(minimised.height, 1u);
    caps.minImageExtent = {64, 64};
    caps.maxImageExtent = {32, 32};  // crossed limits: the minimum wins
    EXPECT_EQ(ChooseSwapchainExtent(caps, 10, 10).width, 64u);

    EXPECT_EQ(ChooseCompositeAlpha(VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR | VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR),
              VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR);
    EXPECT_EQ(ChooseCompositeAlpha(VK_COMPOSITE_ALPHA_POST_MULTIPLIED_BIT_KHR | VK_COMPOSITE_ALPHA_INHERIT_BIT_KHR),
              VK_COMPOSITE_ALPHA_POST_MULTIPLIED_BIT_KHR);
}

TEST(VulkanChoices, MemoryTypesTextsAndClearColours) {
    VkPhysicalDeviceMemoryProperties memory{};
    memory.memoryTypeCount = 3;
    memory.memoryTypes[0].propertyFlags = VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT;
    memory.memoryTypes[1].propertyFlags = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT;
    memory.memoryTypes[2].propertyFlags = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;
    const VkMemoryPropertyFlags coherent = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;
    EXPECT_EQ(FindMemoryType(memory, 0b111, coherent), 2);
    EXPECT_EQ(FindMemoryType(memory, 0b011, coherent), -1);  // the resource rules type 2 out
    EXPECT_EQ(FindMemoryType(memory, 0b111, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT), 0);
    EXPECT_EQ(FindMemoryType(memory, 0b1000, 0), -1);  // beyond the type count

    EXPECT_EQ(CreateInstanceFailureText(-9), L"vkCreateInstance: VK_ERROR_INCOMPATIBLE_DRIVER (-9)");
    EXPECT_EQ(CreateInstanceFailureText(-3), L"vkCreateInstance: VK_ERROR_INITIALIZATION_FAILED (-3)");
    EXPECT_EQ(CreateInstanceFailureText(-1), L"vkCreateInstance: VK_RESULT(-1) (-1)");

    EXPECT_FLOAT_EQ(MapClearColour(2).float32[2], 0.14f);
    EXPECT_FLOAT_EQ(MapClearColour(0).float32[0], 0.006f);
    EXPECT_FLOAT_EQ(MapClearColour(7).float32[1], 0.012f);

    EXPECT_EQ(Widen(nullptr), L"");
    EXPECT_EQ(Widen(""), L"");
    EXPECT_EQ(Widen("llvmpipe \xD0\x96"), L"llvmpipe Ж");
}

TEST(VulkanChoices, ShaderFilesMustBeWholeWords) {
    testing::TempFolder temp;
    std::vector<uint32_t> code;
    EXPECT_FALSE(ReadSpirvFile(temp.Path() / "missing.spv", code));
    std::ofstream(temp.Path() / "empty.spv", std::ios::binary).close();
    EXPECT_FALSE(ReadSpirvFile(temp.Path() / "empty.spv", code));
    std::ofstream(temp.Path() / "six.spv", std::ios::binary) << "123456";
    EXPECT_FALSE(ReadSpirvFile(temp.Path() / "six.spv", code));
    std::ofstream(temp.Path() / "eight.spv", std::ios::binary) << "\x03\x02\x23\x07" "abcd";
    ASSERT_TRUE(ReadSpirvFile(temp.Path() / "eight.spv", code));
    ASSERT_EQ(code.size(), 2u);
    EXPECT_EQ(code[0], 0x07230203u);  // the SPIR-V magic, little-endian
}

presentation::ImportedTextureMip Mip(uint32_t side, uint8_t fill) {
    return {side, side, std::vector<uint8_t>(size_t(side) * side * 4, fill)};
}

TEST(VulkanChoices, CharacterTextureCarriesTheAtlasInAlpha) {
    // A small stand-in atlas chain: 4096 is too big to fill by hand, so only the
    // levels the character levels line up with carry data.
    std::vector<std::vector<uint8_t>> atlas(13);
    for (size_t l = 0; l < atlas.size(); ++l) {
        const size_t side = size_t(4096) >> l;
        if (side <= 1024) atlas[l].assign(side * side, static_cast<uint8_t>(l * 10));
    }
    EXPECT_EQ(AtlasLevelForWidth(4096, 13), 0u);
    EXPECT_EQ(AtlasLevelForWidth(1024, 13), 2u);
    EXPECT_EQ(AtlasLevelForWidth(1000, 13), 2u);
    EXPECT_EQ(AtlasLevelForWidth(8192, 13), 12u);  // wider than the atlas: the last level
    EXPECT_EQ(AtlasLevelForWidth(1, 13), 12u);

    const std::vector<presentation::ImportedTextureMip> mips = {Mip(1024, 7), Mip(512, 8), Mip(256, 9)};
    const CharacterTexturePlan plan = PlanCharacterTexture(mips, atlas);
    ASSERT_TRUE(plan.characterLevels);
    EXPECT_FALSE(plan.droppedMismatch);
    EXPECT_EQ(plan.levelCount, 3u);  // the sampler's maximum LOD is 2.0
    EXPECT_EQ(plan.width, 1024u);
    EXPECT_EQ(plan.stagingSize, (1024u * 1024u + 512u * 512u + 256u * 256u) * 4u);
    EXPECT_EQ(plan.levelOffsets, (std::vector<uint64_t>{0, 1024u * 1024u * 4u, (1024u * 1024u + 512u * 512u) * 4u}));
    std::vector<uint8_t> staging(plan.stagingSize);
    FillCharacterStaging(plan, mips, atlas, staging.data());
    EXPECT_EQ(staging[0], 7);
    EXPECT_EQ(staging[3], 20);  // atlas level 2 in the alpha of level 0
    EXPECT_EQ(staging[plan.levelOffsets[1] + 2], 8);
    EXPECT_EQ(staging[plan.levelOffsets[1] + 3], 30);
    EXPECT_EQ(staging[plan.levelOffsets[2] + 4 * 100 + 3], 40);

    // Levels that do not line up with the atlas are dropped whole, so glyphs stay right.
    const std::vector<presentation::ImportedTextureMip> odd = {Mip(1000, 1)};
    const CharacterTexturePlan dropped = PlanCharacterTexture(odd, atlas);
    EXPECT_FALSE(dropped.characterLevels);
    EXPECT_TRUE(dropped.droppedMismatch);
    EXPECT_EQ(dropped.width, 4096u);
    EXPECT_EQ(dropped.levelCount, 1u);
    EXPECT_TRUE(PlanCharacterTexture(std::vector{Mip(8192, 1)}, atlas).droppedMismatch);
    EXPECT_TRUE(PlanCharacterTexture(std::vector{Mip(1024, 1), Mip(500, 1)}, atlas).droppedMismatch);

    // No character levels: the 4096 x 4096 atlas alone on white.
    std::vector<std::vector<uint8_t>> fullAtlas{std::vector<uint8_t>(4096u * 4096u, 0)};
    fullAtlas[0][5] = 200;
    const CharacterTexturePlan alone = PlanCharacterTexture({}, fullAtlas);
    EXPECT_FALSE(alone.droppedMismatch);
    EXPECT_EQ(alone.stagingSize, 67108864u);
    std::vector<uint8_t> white(alone.stagingSize);
    FillCharacterStaging(alone, {}, fullAtlas, white.data());
    EXPECT_EQ(white[4 * 5 + 0], 255);
    EXPECT_EQ(white[4 * 5 + 3], 200);
    EXPECT_EQ(white[4 * 6 + 3], 0);
}

TEST(VulkanChoices, SmallOperationsBeforeInitialize) {
    VulkanRenderer backend;
    EXPECT_EQ(backend.Kind(), RenderBackendKind::Vulkan);
    EXPECT_FALSE(backend.Ready());
    EXPECT_TRUE(backend.LastError().empty());
    EXPECT_EQ(backend.ImportedCharacterStatus(), L"NOT LOADED");
    EXPECT_EQ(backend.ImportedWeaponStatus(), L"NOT LOADED");
    backend.Resize();
    backend.SetVSync(true);
    backend.Shutdown();
    backend.Shutdown();
    EXPECT_FALSE(backend.Ready());
}

}  // namespace
}  // namespace tarvo::renderer
