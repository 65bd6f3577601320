#pragma once
// The Vulkan backend's decisions as plain functions of what the driver reported, so
// they can be checked without a device.

#include <vulkan/vulkan.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "presentation/imported_character_asset.h"

namespace tarvo::renderer {

// Highest-indexed graphics family and highest-indexed presenting family of one device.
struct QueueFamilyChoice {
    bool found = false;
    uint32_t graphics = 0;
    uint32_t present = 0;
};
QueueFamilyChoice ChooseQueueFamilies(std::span<const VkQueueFamilyProperties> families,
                                      std::span<const VkBool32> presentSupport);
bool HasDeviceExtension(std::span<const VkExtensionProperties> extensions, const char* name);

VkSurfaceFormatKHR ChooseSurfaceFormat(std::span<const VkSurfaceFormatKHR> formats);  // formats not empty
VkPresentModeKHR ChoosePresentMode(bool vsync, std::span<const VkPresentModeKHR> modes);
VkExtent2D ChooseSwapchainExtent(const VkSurfaceCapabilitiesKHR& caps, long clientWidth, long clientHeight);
uint32_t ChooseImageCount(const VkSurfaceCapabilitiesKHR& caps);
VkCompositeAlphaFlagBitsKHR ChooseCompositeAlpha(VkCompositeAlphaFlagsKHR supported);

// Lowest memory type allowed by typeBits whose flags hold all of required; -1 when none.
int FindMemoryType(const VkPhysicalDeviceMemoryProperties& properties, uint32_t typeBits,
                   VkMemoryPropertyFlags required);

// "vkCreateInstance: VK_ERROR_INCOMPATIBLE_DRIVER (-9)" and the like.
std::wstring CreateInstanceFailureText(int32_t result);

// The whole SPIR-V file; false when it is missing, empty, unreadable or not a whole
// number of 4-byte words.
bool ReadSpirvFile(const std::filesystem::path& file, std::vector<uint32_t>& code);

// The frame's clear colour for a map index.
VkClearColorValue MapClearColour(int32_t mapIndex);

// The one sampled image: character colours in RGB, HUD glyph coverage in alpha.
struct CharacterTexturePlan {
    bool characterLevels = false;  // false: the 4096 x 4096 atlas alone on white
    bool droppedMismatch = false;  // the character's levels did not line up with the atlas
    uint32_t levelCount = 1;
    uint32_t width = 4096;
    uint32_t height = 4096;
    uint64_t stagingSize = 4096ull * 4096ull * 4ull;
    std::vector<uint64_t> levelOffsets{0};
};

// The atlas level whose side matches a character level of this width.
size_t AtlasLevelForWidth(uint32_t width, size_t atlasLevelCount);

// Character levels are used only when every one has an atlas level of exactly its
// size, so the glyph coverage in alpha is the same at every level; otherwise the
// character texture is dropped and the image is the atlas alone.
CharacterTexturePlan PlanCharacterTexture(std::span<const presentation::ImportedTextureMip> mips,
                                          const std::vector<std::vector<uint8_t>>& atlas);

// Fills staging memory of plan.stagingSize bytes.
void FillCharacterStaging(const CharacterTexturePlan& plan, std::span<const presentation::ImportedTextureMip> mips,
                          const std::vector<std::vector<uint8_t>>& atlas, uint8_t* staging);

}  // namespace tarvo::renderer
