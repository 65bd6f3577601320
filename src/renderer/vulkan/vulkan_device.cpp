#include "renderer/vulkan/vulkan_choices.h"
#include "renderer/vulkan/vulkan_impl.h"

#include <cstring>

namespace tarvo::renderer {

bool VulkanRenderer::Impl::SelectDevice() {
    uint32_t count = 0;
    if (fn.vkEnumeratePhysicalDevices(instance, &count, nullptr) != VK_SUCCESS || count == 0) {
        return Fail(L"No Vulkan physical device");
    }
    std::vector<VkPhysicalDevice> devices(count);
    if (fn.vkEnumeratePhysicalDevices(instance, &count, devices.data()) < 0) return Fail(L"No Vulkan physical device");
    devices.resize(count);

    bool chosen = false;
    for (VkPhysicalDevice candidate : devices) {
        uint32_t familyCount = 0;
        fn.vkGetPhysicalDeviceQueueFamilyProperties(candidate, &familyCount, nullptr);
        std::vector<VkQueueFamilyProperties> families(familyCount);
        if (familyCount) fn.vkGetPhysicalDeviceQueueFamilyProperties(candidate, &familyCount, families.data());
        families.resize(familyCount);
        std::vector<VkBool32> presents(familyCount, VK_FALSE);
        for (uint32_t i = 0; i < familyCount; ++i) {
            VkBool32 supported = VK_FALSE;
            fn.vkGetPhysicalDeviceSurfaceSupportKHR(candidate, i, surface, &supported);
            presents[i] = supported;
        }
        const QueueFamilyChoice families_ = ChooseQueueFamilies(families, presents);
        if (!families_.found) continue;
        // A device without swapchains cannot show anything; the preflight asks the same.
        uint32_t extensionCount = 0;
        std::vector<VkExtensionProperties> extensions;
        if (fn.vkEnumerateDeviceExtensionProperties(candidate, nullptr, &extensionCount, nullptr) == VK_SUCCESS) {
            extensions.resize(extensionCount);
            if (extensionCount &&
                fn.vkEnumerateDeviceExtensionProperties(candidate, nullptr, &extensionCount, extensions.data()) !=
                    VK_SUCCESS) {
                extensions.clear();
            }
        }
        if (!HasDeviceExtension(extensions, VK_KHR_SWAPCHAIN_EXTENSION_NAME)) continue;
        physicalDevice = candidate;
        graphicsFamily = families_.graphics;
        presentFamily = families_.present;
        chosen = true;
        break;
    }
    if (!chosen) return Fail(L"No Vulkan graphics/present queue");

    VkPhysicalDeviceProperties properties{};
    fn.vkGetPhysicalDeviceProperties(physicalDevice, &properties);
    char name[VK_MAX_PHYSICAL_DEVICE_NAME_SIZE + 1] = {};
    std::memcpy(name, properties.deviceName, VK_MAX_PHYSICAL_DEVICE_NAME_SIZE);
    deviceName = Widen(name);
    fn.vkGetPhysicalDeviceMemoryProperties(physicalDevice, &memoryProperties);

    const float priority = 1.0f;
    VkDeviceQueueCreateInfo queues[2]{};
    for (VkDeviceQueueCreateInfo& q : queues) {
        q.sType = VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO;
        q.queueCount = 1;
        q.pQueuePriorities = &priority;
    }
    queues[0].queueFamilyIndex = graphicsFamily;
    queues[1].queueFamilyIndex = presentFamily;
    const char* deviceExtensions[] = {VK_KHR_SWAPCHAIN_EXTENSION_NAME};
    VkDeviceCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO;
    info.queueCreateInfoCount = graphicsFamily == presentFamily ? 1 : 2;
    info.pQueueCreateInfos = queues;
    info.enabledExtensionCount = 1;
    info.ppEnabledExtensionNames = deviceExtensions;
    if (fn.vkCreateDevice(physicalDevice, &info, nullptr, &device) != VK_SUCCESS) {
        device = VK_NULL_HANDLE;
        return Fail(L"Vulkan logical device creation failed");
    }

    getDeviceProcAddr = reinterpret_cast<PFN_vkGetDeviceProcAddr>(getInstanceProcAddr(instance, "vkGetDeviceProcAddr"));
    if (!getDeviceProcAddr) return Fail(L"vkGetDeviceProcAddr unavailable");
#define TARVO_VK_FETCH_DEVICE(fname)                                                \
    fn.fname = reinterpret_cast<PFN_##fname>(getDeviceProcAddr(device, #fname));   \
    if (!fn.fname) {                                                                \
        lastError = L"Missing Vulkan device function: " + Widen(#fname);           \
        ready = false;                                                              \
        return false;                                                               \
    }
    TARVO_VK_DEVICE_FUNCTIONS(TARVO_VK_FETCH_DEVICE)
#undef TARVO_VK_FETCH_DEVICE

    fn.vkGetDeviceQueue(device, graphicsFamily, 0, &graphicsQueue);
    fn.vkGetDeviceQueue(device, presentFamily, 0, &presentQueue);
    return true;
}

bool VulkanRenderer::Impl::CreateBuffer() {
    VkBufferCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
    info.size = vertexCapacity;
    info.usage = VK_BUFFER_USAGE_VERTEX_BUFFER_BIT;
    info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    if (fn.vkCreateBuffer(device, &info, nullptr, &vertexBuffer) != VK_SUCCESS) {
        vertexBuffer = VK_NULL_HANDLE;
        return Fail(L"Vulkan vertex buffer creation failed");
    }
    VkMemoryRequirements requirements{};
    fn.vkGetBufferMemoryRequirements(device, vertexBuffer, &requirements);
    const int type = FindMemoryType(memoryProperties, requirements.memoryTypeBits,
                                    VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    if (type < 0) return Fail(L"No host-visible Vulkan memory");
    VkMemoryAllocateInfo allocation{};
    allocation.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    allocation.allocationSize = requirements.size;
    allocation.memoryTypeIndex = static_cast<uint32_t>(type);
    if (fn.vkAllocateMemory(device, &allocation, nullptr, &vertexMemory) != VK_SUCCESS) {
        vertexMemory = VK_NULL_HANDLE;
        return Fail(L"Vulkan vertex memory allocation failed");
    }
    if (fn.vkBindBufferMemory(device, vertexBuffer, vertexMemory, 0) != VK_SUCCESS) {
        return Fail(L"Vulkan vertex memory allocation failed");
    }
    return true;
}

bool VulkanRenderer::Impl::CreateCommandAndSync() {
    VkCommandPoolCreateInfo pool{};
    pool.sType = VK_STRUCTURE_TYPE_COMMAND_POOL_CREATE_INFO;
    pool.flags = VK_COMMAND_POOL_CREATE_RESET_COMMAND_BUFFER_BIT;
    pool.queueFamilyIndex = graphicsFamily;
    if (fn.vkCreateCommandPool(device, &pool, nullptr, &commandPool) != VK_SUCCESS) {
        commandPool = VK_NULL_HANDLE;
        return Fail(L"Vulkan command pool creation failed");
    }
    VkCommandBufferAllocateInfo allocation{};
    allocation.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_ALLOCATE_INFO;
    allocation.commandPool = commandPool;
    allocation.level = VK_COMMAND_BUFFER_LEVEL_PRIMARY;
    allocation.commandBufferCount = 1;
    if (fn.vkAllocateCommandBuffers(device, &allocation, &commandBuffer) != VK_SUCCESS) {
        commandBuffer = VK_NULL_HANDLE;
        return Fail(L"Vulkan command buffer allocation failed");
    }
    VkSemaphoreCreateInfo semaphore{};
    semaphore.sType = VK_STRUCTURE_TYPE_SEMAPHORE_CREATE_INFO;
    VkFenceCreateInfo fence{};
    fence.sType = VK_STRUCTURE_TYPE_FENCE_CREATE_INFO;
    fence.flags = VK_FENCE_CREATE_SIGNALED_BIT;  // the first frame's wait returns at once
    if (fn.vkCreateSemaphore(device, &semaphore, nullptr, &imageAvailable) != VK_SUCCESS) {
        imageAvailable = VK_NULL_HANDLE;
        return Fail(L"Vulkan synchronization creation failed");
    }
    if (fn.vkCreateSemaphore(device, &semaphore, nullptr, &renderFinished) != VK_SUCCESS) {
        renderFinished = VK_NULL_HANDLE;
        return Fail(L"Vulkan synchronization creation failed");
    }
    if (fn.vkCreateFence(device, &fence, nullptr, &inFlight) != VK_SUCCESS) {
        inFlight = VK_NULL_HANDLE;
        return Fail(L"Vulkan synchronization creation failed");
    }
    return true;
}

}  // namespace tarvo::renderer
