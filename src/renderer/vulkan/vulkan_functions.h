#pragma once
// Every Vulkan entry point the backend calls, fetched by name at run time.

#include <vulkan/vulkan.h>

// Instance-level functions, fetched in this order after the instance exists. The
// last one lets device selection insist on VK_KHR_swapchain like the preflight does.
#define TARVO_VK_INSTANCE_FUNCTIONS(X)             \
    X(vkDestroyInstance)                           \
    X(vkEnumeratePhysicalDevices)                  \
    X(vkGetPhysicalDeviceProperties)               \
    X(vkGetPhysicalDeviceQueueFamilyProperties)    \
    X(vkGetPhysicalDeviceSurfaceSupportKHR)        \
    X(vkGetPhysicalDeviceSurfaceCapabilitiesKHR)   \
    X(vkGetPhysicalDeviceSurfaceFormatsKHR)        \
    X(vkGetPhysicalDeviceSurfacePresentModesKHR)   \
    X(vkGetPhysicalDeviceMemoryProperties)         \
    X(vkCreateDevice)                              \
    X(vkCreateWin32SurfaceKHR)                     \
    X(vkDestroySurfaceKHR)                         \
    X(vkEnumerateDeviceExtensionProperties)

#define TARVO_VK_DEVICE_FUNCTIONS(X)    \
    X(vkDestroyDevice)                  \
    X(vkGetDeviceQueue)                 \
    X(vkCreateSwapchainKHR)             \
    X(vkDestroySwapchainKHR)            \
    X(vkGetSwapchainImagesKHR)          \
    X(vkCreateImageView)                \
    X(vkDestroyImageView)               \
    X(vkCreateRenderPass)               \
    X(vkDestroyRenderPass)              \
    X(vkCreateShaderModule)             \
    X(vkDestroyShaderModule)            \
    X(vkCreatePipelineLayout)           \
    X(vkDestroyPipelineLayout)          \
    X(vkCreateGraphicsPipelines)        \
    X(vkDestroyPipeline)                \
    X(vkCreateFramebuffer)              \
    X(vkDestroyFramebuffer)             \
    X(vkCreateCommandPool)              \
    X(vkDestroyCommandPool)             \
    X(vkAllocateCommandBuffers)         \
    X(vkBeginCommandBuffer)             \
    X(vkEndCommandBuffer)               \
    X(vkResetCommandBuffer)             \
    X(vkCmdBeginRenderPass)             \
    X(vkCmdEndRenderPass)               \
    X(vkCmdBindPipeline)                \
    X(vkCmdBindVertexBuffers)           \
    X(vkCmdBindDescriptorSets)          \
    X(vkCmdDraw)                        \
    X(vkCmdSetViewport)                 \
    X(vkCmdSetScissor)                  \
    X(vkCmdPipelineBarrier)             \
    X(vkCmdCopyBufferToImage)           \
    X(vkCmdCopyImageToBuffer)           \
    X(vkCreateBuffer)                   \
    X(vkDestroyBuffer)                  \
    X(vkGetBufferMemoryRequirements)    \
    X(vkAllocateMemory)                 \
    X(vkFreeMemory)                     \
    X(vkBindBufferMemory)               \
    X(vkMapMemory)                      \
    X(vkUnmapMemory)                    \
    X(vkCreateImage)                    \
    X(vkDestroyImage)                   \
    X(vkGetImageMemoryRequirements)     \
    X(vkBindImageMemory)                \
    X(vkCreateSampler)                  \
    X(vkDestroySampler)                 \
    X(vkCreateDescriptorSetLayout)      \
    X(vkDestroyDescriptorSetLayout)     \
    X(vkCreateDescriptorPool)           \
    X(vkDestroyDescriptorPool)          \
    X(vkAllocateDescriptorSets)         \
    X(vkUpdateDescriptorSets)           \
    X(vkCreateSemaphore)                \
    X(vkDestroySemaphore)               \
    X(vkCreateFence)                    \
    X(vkDestroyFence)                   \
    X(vkWaitForFences)                  \
    X(vkResetFences)                    \
    X(vkAcquireNextImageKHR)            \
    X(vkQueueSubmit)                    \
    X(vkQueuePresentKHR)                \
    X(vkDeviceWaitIdle)                 \
    X(vkQueueWaitIdle)

namespace tarvo::renderer {

struct VulkanFunctions {
    PFN_vkCreateInstance vkCreateInstance = nullptr;
    PFN_vkEnumerateInstanceVersion vkEnumerateInstanceVersion = nullptr;
#define TARVO_VK_DECLARE(name) PFN_##name name = nullptr;
    TARVO_VK_INSTANCE_FUNCTIONS(TARVO_VK_DECLARE)
    TARVO_VK_DEVICE_FUNCTIONS(TARVO_VK_DECLARE)
#undef TARVO_VK_DECLARE
};

}  // namespace tarvo::renderer
