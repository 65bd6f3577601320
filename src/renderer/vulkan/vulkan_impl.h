#pragma once
// Private state of the Vulkan backend, shared by its source files.

#include <windows.h>
#include <vulkan/vulkan.h>

#include <filesystem>
#include <string>
#include <vector>

#include "presentation/imported_character_asset.h"
#include "presentation/imported_weapon_asset.h"
#include "renderer/frame_geometry.h"
#include "renderer/graphics_diagnostics.h"
#include "renderer/vulkan/vulkan_functions.h"
#include "renderer/vulkan/vulkan_renderer.h"

namespace tarvo::renderer {

struct VulkanRenderer::Impl {
    HWND window = nullptr;
    std::filesystem::path shadersDirectory;
    presentation::ImportedCharacterAsset character;
    presentation::ImportedWeaponAsset weapon;

    HMODULE loader = nullptr;
    PFN_vkGetInstanceProcAddr getInstanceProcAddr = nullptr;
    PFN_vkGetDeviceProcAddr getDeviceProcAddr = nullptr;

    VkInstance instance = VK_NULL_HANDLE;
    VkSurfaceKHR surface = VK_NULL_HANDLE;
    VkPhysicalDevice physicalDevice = VK_NULL_HANDLE;
    VkDevice device = VK_NULL_HANDLE;
    VkQueue graphicsQueue = VK_NULL_HANDLE;
    VkQueue presentQueue = VK_NULL_HANDLE;
    uint32_t graphicsFamily = 0;
    uint32_t presentFamily = 0;
    VkPhysicalDeviceMemoryProperties memoryProperties{};

    VkSwapchainKHR swapchain = VK_NULL_HANDLE;
    VkFormat swapchainFormat = VK_FORMAT_UNDEFINED;
    VkExtent2D extent{0, 0};
    std::vector<VkImage> images;
    std::vector<VkImageView> views;
    std::vector<VkFramebuffer> framebuffers;

    VkImage depthImage = VK_NULL_HANDLE;
    VkDeviceMemory depthMemory = VK_NULL_HANDLE;
    VkImageView depthView = VK_NULL_HANDLE;

    VkRenderPass renderPass = VK_NULL_HANDLE;
    VkPipelineLayout pipelineLayout = VK_NULL_HANDLE;
    VkPipeline pipeline = VK_NULL_HANDLE;

    VkCommandPool commandPool = VK_NULL_HANDLE;
    VkCommandBuffer commandBuffer = VK_NULL_HANDLE;

    VkBuffer vertexBuffer = VK_NULL_HANDLE;
    VkDeviceMemory vertexMemory = VK_NULL_HANDLE;

    VkBuffer readbackBuffer = VK_NULL_HANDLE;
    VkDeviceMemory readbackMemory = VK_NULL_HANDLE;
    uint64_t readbackSize = 0;
    bool readbackSupported = false;

    const uint64_t vertexCapacity = 41943040;  // 1,048,576 vertices of 40 bytes

    VkImage textureImage = VK_NULL_HANDLE;
    VkDeviceMemory textureMemory = VK_NULL_HANDLE;
    VkImageView textureView = VK_NULL_HANDLE;
    VkSampler sampler = VK_NULL_HANDLE;
    VkDescriptorSetLayout descriptorSetLayout = VK_NULL_HANDLE;
    VkDescriptorPool descriptorPool = VK_NULL_HANDLE;
    VkDescriptorSet descriptorSet = VK_NULL_HANDLE;

    VkSemaphore imageAvailable = VK_NULL_HANDLE;
    VkSemaphore renderFinished = VK_NULL_HANDLE;
    VkFence inFlight = VK_NULL_HANDLE;

    bool rebuildPending = false;
    // The surface reported another size than the client area when the swapchain was made:
    // under Wine the X window can take a resize later than Win32 does, and lavapipe never
    // reports the old swapchain stale, so frames look at the surface until it catches up.
    bool extentBehindClient = false;
    bool vsync = true;
    bool ready = false;

    std::wstring deviceName;
    std::wstring lastError;
    GraphicsDiagnostics diagnostics;
    std::vector<Vertex> frameVertices;

    VulkanFunctions fn;

    // True while the sampled image carries the character's own colours.
    bool characterTextureBound = false;

    ~Impl();

    bool Fail(const wchar_t* text);

    bool LoadApi();
    bool SelectDevice();
    bool CreateBuffer();
    bool CreateCommandAndSync();
    bool CreateCharacterTexture();
    bool CreateSwapchain();
    bool CreateDepth();
    bool CreatePipeline();
    bool CreateFramebuffers();
    bool RecreateSwapchain();
    bool SurfaceExtentChanged();
    bool PrepareQaReadback();
    VkShaderModule Shader(const std::filesystem::path& file);
    void DestroySwapchain();
    void Shutdown();
    bool Draw(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay);
    void BuildGeometry(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay,
                       std::vector<Vertex>& vertices);
    void RecordReadback(uint32_t imageIndex);
    bool FinishCapture(const RenderOverlay& overlay);
};

// UTF-8 to wide for device names and function names; null or empty gives empty.
std::wstring Widen(const char* text);

}  // namespace tarvo::renderer
