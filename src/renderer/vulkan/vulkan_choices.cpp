#include "renderer/vulkan/vulkan_choices.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "common/file_utils.h"

namespace tarvo::renderer {

QueueFamilyChoice ChooseQueueFamilies(std::span<const VkQueueFamilyProperties> families,
                                      std::span<const VkBool32> presentSupport) {
    QueueFamilyChoice choice;
    bool graphics = false;
    bool present = false;
    for (uint32_t i = 0; i < families.size(); ++i) {
        if (families[i].queueFlags & VK_QUEUE_GRAPHICS_BIT) {
            choice.graphics = i;
            graphics = true;
        }
        if (i < presentSupport.size() && presentSupport[i]) {
            choice.present = i;
            present = true;
        }
    }
    choice.found = graphics && present;
    return choice;
}

bool HasDeviceExtension(std::span<const VkExtensionProperties> extensions, const char* name) {
    return std::any_of(extensions.begin(), extensions.end(), [name](const VkExtensionProperties& e) {
        return std::strncmp(e.extensionName, name, VK_MAX_EXTENSION_NAME_SIZE) == 0;
    });
}

VkSurfaceFormatKHR ChooseSurfaceFormat(std::span<const VkSurfaceFormatKHR> formats) {
    for (const VkSurfaceFormatKHR& f : formats) {
        if (f.format == VK_FORMAT_B8G8R8A8_SRGB && f.colorSpace == VK_COLOR_SPACE_SRGB_NONLINEAR_KHR) return f;
    }
    return formats.front();
}

VkPresentModeKHR ChoosePresentMode(bool vsync, std::span<const VkPresentModeKHR> modes) {
    if (vsync || modes.empty()) return VK_PRESENT_MODE_FIFO_KHR;
    const auto offered = [&](VkPresentModeKHR m) { return std::find(modes.begin(), modes.end(), m) != modes.end(); };
    if (offered(VK_PRESENT_MODE_MAILBOX_KHR)) return VK_PRESENT_MODE_MAILBOX_KHR;
    if (offered(VK_PRESENT_MODE_IMMEDIATE_KHR)) return VK_PRESENT_MODE_IMMEDIATE_KHR;
    return VK_PRESENT_MODE_FIFO_KHR;
}

VkExtent2D ChooseSwapchainExtent(const VkSurfaceCapabilitiesKHR& caps, long clientWidth, long clientHeight) {
    if (caps.currentExtent.width != 0xFFFFFFFFu) return caps.currentExtent;
    const uint32_t w = static_cast<uint32_t>(std::max<long>(clientWidth, 1));
    const uint32_t h = static_cast<uint32_t>(std::max<long>(clientHeight, 1));
    // The minimum wins over the maximum when a driver reports them crossed.
    const auto fit = [](uint32_t v, uint32_t lo, uint32_t hi) { return std::max(lo, std::min(v, hi)); };
    return {fit(w, caps.minImageExtent.width, caps.maxImageExtent.width),
            fit(h, caps.minImageExtent.height, caps.maxImageExtent.height)};
}

uint32_t ChooseImageCount(const VkSurfaceCapabilitiesKHR& caps) {
    uint32_t count = caps.minImageCount + 1;
    if (caps.maxImageCount != 0 && caps.maxImageCount < count) count = caps.maxImageCount;
    return count;
}

VkCompositeAlphaFlagBitsKHR ChooseCompositeAlpha(VkCompositeAlphaFlagsKHR supported) {
    if (supported & VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR) return VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR;
    for (uint32_t bit = 1; bit != 0; bit <<= 1) {
        if (supported & bit) return static_cast<VkCompositeAlphaFlagBitsKHR>(bit);
    }
    return VK_COMPOSITE_ALPHA_OPAQUE_BIT_KHR;
}

int FindMemoryType(const VkPhysicalDeviceMemoryProperties& properties, uint32_t typeBits,
                   VkMemoryPropertyFlags required) {
    for (uint32_t i = 0; i < properties.memoryTypeCount && i < VK_MAX_MEMORY_TYPES; ++i) {
        if ((typeBits & (1u << i)) && (properties.memoryTypes[i].propertyFlags & required) == required) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

std::wstring CreateInstanceFailureText(int32_t result) {
    std::wstring name;
    switch (result) {
    case -9: name = L"VK_ERROR_INCOMPATIBLE_DRIVER"; break;
    case -7: name = L"VK_ERROR_EXTENSION_NOT_PRESENT"; break;
    case -6: name = L"VK_ERROR_LAYER_NOT_PRESENT"; break;
    case -3: name = L"VK_ERROR_INITIALIZATION_FAILED"; break;
    default: name = L"VK_RESULT(" + std::to_wstring(result) + L")"; break;
    }
    return L"vkCreateInstance: " + name + L" (" + std::to_wstring(result) + L")";
}

bool ReadSpirvFile(const std::filesystem::path& file, std::vector<uint32_t>& code) {
    code.clear();
    // The game's two shaders are a few KiB; a file of megabytes is not one of them.
    constexpr size_t kMaxSpirvBytes = 4 << 20;
    std::string bytes;
    if (distribution::ReadWholeFile(file, kMaxSpirvBytes, bytes) != distribution::FileRead::Read ||
        bytes.empty() || bytes.size() % 4 != 0) {
        return false;
    }
    code.resize(bytes.size() / 4);
    std::memcpy(code.data(), bytes.data(), bytes.size());
    return true;
}

VkClearColorValue MapClearColour(int32_t mapIndex) {
    VkClearColorValue c{};
    if (mapIndex == 2) {
        c.float32[0] = 0.035f; c.float32[1] = 0.075f; c.float32[2] = 0.14f;
    } else {
        c.float32[0] = 0.006f; c.float32[1] = 0.012f; c.float32[2] = 0.014f;
    }
    c.float32[3] = 1.0f;
    return c;
}

size_t AtlasLevelForWidth(uint32_t width, size_t atlasLevelCount) {
    const size_t last = atlasLevelCount == 0 ? 0 : atlasLevelCount - 1;
    if (width == 0) return last;
    const double ratio = 4096.0 / double(width);
    if (ratio < 1.0) return last;  // wider than the atlas: log2 would be negative
    size_t level = 0;
    for (double r = ratio; r >= 2.0; r /= 2.0) ++level;  // log2 truncated toward zero
    return std::min(level, last);
}

CharacterTexturePlan PlanCharacterTexture(std::span<const presentation::ImportedTextureMip> mips,
                                          const std::vector<std::vector<uint8_t>>& atlas) {
    CharacterTexturePlan plan;
    if (mips.empty()) return plan;
    bool aligned = !atlas.empty();
    uint64_t offset = 0;
    std::vector<uint64_t> offsets;
    for (const presentation::ImportedTextureMip& mip : mips) {
        const uint64_t texels = uint64_t(mip.width) * mip.height;
        if (aligned) {
            const std::vector<uint8_t>& level = atlas[AtlasLevelForWidth(mip.width, atlas.size())];
            aligned = !level.empty() && level.size() == texels && mip.pixels.size() == texels * 4;
        }
        offsets.push_back(offset);
        offset += mip.pixels.size();
    }
    if (!aligned) {
        plan.droppedMismatch = true;
        return plan;
    }
    plan.characterLevels = true;
    plan.levelCount = static_cast<uint32_t>(mips.size());
    plan.width = mips.front().width;
    plan.height = mips.front().height;
    plan.stagingSize = offset;
    plan.levelOffsets = std::move(offsets);
    return plan;
}

void FillCharacterStaging(const CharacterTexturePlan& plan, std::span<const presentation::ImportedTextureMip> mips,
                          const std::vector<std::vector<uint8_t>>& atlas, uint8_t* staging) {
    if (!plan.characterLevels) {
        const std::vector<uint8_t>& coverage = atlas.empty() ? std::vector<uint8_t>() : atlas.front();
        const size_t texels = size_t(plan.width) * plan.height;
        for (size_t i = 0; i < texels; ++i) {
            uint8_t* t = staging + 4 * i;
            t[0] = t[1] = t[2] = 255;
            t[3] = i < coverage.size() ? coverage[i] : 0;
        }
        return;
    }
    for (size_t m = 0; m < mips.size(); ++m) {
        const presentation::ImportedTextureMip& mip = mips[m];
        uint8_t* level = staging + plan.levelOffsets[m];
        std::memcpy(level, mip.pixels.data(), mip.pixels.size());
        const std::vector<uint8_t>& coverage = atlas[AtlasLevelForWidth(mip.width, atlas.size())];
        for (size_t i = 0; i < coverage.size(); ++i) level[4 * i + 3] = coverage[i];
    }
}

}  // namespace tarvo::renderer
