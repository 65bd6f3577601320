#pragma once
// The Vulkan probe with its loader access passed in, so tests can stand a fake
// loader in for "vulkan-1.dll". GraphicsPreflight::Run uses the real one.

#include <vulkan/vulkan.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "renderer/graphics_diagnostics.h"

namespace tarvo::renderer {

struct VulkanLoaderAccess {
    // Opens the loader; false when it cannot be opened. Sets path to the module's full
    // path, or leaves it empty when that is unknown.
    std::function<bool(std::wstring& path)> open;
    // The loader's exported vkGetInstanceProcAddr, or null.
    std::function<PFN_vkGetInstanceProcAddr()> entry;
    // Unloads what open opened.
    std::function<void()> close;
};

// "vulkan-1.dll" from the system folder only, never from the executable's or the working
// folder, where anyone could plant a DLL of that name. Null when it cannot be loaded.
HMODULE LoadSystemVulkanLoader();

// The real "vulkan-1.dll" through LoadSystemVulkanLoader / GetProcAddress / FreeLibrary.
VulkanLoaderAccess SystemVulkanLoader();

// "TARVO_VULKAN_QA_FAULT" when it holds 1 to 63 characters, else empty.
std::string ReadVulkanQaFault();

// The whole probe; qaFault is compared exactly with the three fault words.
GraphicsDiagnostics RunGraphicsPreflight(std::string_view qaFault, const VulkanLoaderAccess& loader);

namespace preflight_detail {
std::wstring Widen(std::string_view utf8);            // invalid bytes become U+FFFD
std::wstring Version(uint32_t packed);               // "1.1.0"
std::wstring Hex(uint32_t value);                    // "0x10DE", at least 4 digits
std::wstring Join(const std::vector<std::wstring>& list);  // ", " or "NONE"
std::wstring VkResultName(int32_t result);
// Reads "VEN_xxxx" then "DEV_xxxx" from a PCI device-id string; stops at the first
// that is missing or unparsable, leaving the rest untouched.
void ParseAdapterIds(std::wstring_view deviceIdString, uint32_t& vendorId, uint32_t& deviceId);
}  // namespace preflight_detail

}  // namespace tarvo::renderer
