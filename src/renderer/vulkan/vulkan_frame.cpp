#include "gameplay/training_simulation.h"
#include "renderer/qa_capture.h"
#include "renderer/vulkan/vulkan_choices.h"
#include "renderer/vulkan/vulkan_frame_geometry.h"
#include "renderer/vulkan/vulkan_impl.h"

#include <cstring>

namespace tarvo::renderer {

void VulkanRenderer::Impl::BuildGeometry(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay,
                                         std::vector<Vertex>& vertices) {
    const VulkanFrameAssets assets{character, weapon, characterTextureBound, size_t(vertexCapacity / sizeof(Vertex))};
    BuildVulkanFrame(simulation, overlay, assets, float(extent.width), float(extent.height), vertices);
}

bool VulkanRenderer::Impl::Draw(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) {
    if (!ready) {
        // The shell reports whatever LastError says; never leave it blank.
        if (lastError.empty()) lastError = L"Vulkan renderer is not ready";
        return false;
    }

    if (!rebuildPending && extentBehindClient && SurfaceExtentChanged()) rebuildPending = true;
    if (rebuildPending) {
        RECT client{};
        GetClientRect(window, &client);
        // A minimised window keeps drawing into the old swapchain until it has an area again.
        if (client.right - client.left >= 1 && client.bottom - client.top >= 1) {
            fn.vkDeviceWaitIdle(device);
            DestroySwapchain();
            rebuildPending = false;
            if (!CreateSwapchain()) return false;
        }
    }
    if (extent.width == 0 || extent.height == 0) return true;

    if (fn.vkWaitForFences(device, 1, &inFlight, VK_TRUE, UINT64_MAX) != VK_SUCCESS) {
        return Fail(L"Vulkan frame fence wait failed");
    }
    uint32_t index = 0;
    const VkResult acquired =
        fn.vkAcquireNextImageKHR(device, swapchain, UINT64_MAX, imageAvailable, VK_NULL_HANDLE, &index);
    if (acquired == VK_ERROR_OUT_OF_DATE_KHR) return RecreateSwapchain();
    if (acquired != VK_SUCCESS && acquired != VK_SUBOPTIMAL_KHR) return Fail(L"Vulkan swapchain acquire failed");

    BuildGeometry(simulation, overlay, frameVertices);
    const uint64_t uploadSize = uint64_t(frameVertices.size()) * sizeof(Vertex);
    if (uploadSize > vertexCapacity) return Fail(L"ZE001 vertex capacity exceeded");

    const bool capture = !overlay.qaCapturePath.empty();
    if (capture && !PrepareQaReadback()) return false;

    if (uploadSize > 0) {
        void* mapped = nullptr;
        if (fn.vkMapMemory(device, vertexMemory, 0, uploadSize, 0, &mapped) != VK_SUCCESS || !mapped) {
            return Fail(L"Vulkan vertex memory map failed");
        }
        std::memcpy(mapped, frameVertices.data(), static_cast<size_t>(uploadSize));
        fn.vkUnmapMemory(device, vertexMemory);
    }

    fn.vkResetFences(device, 1, &inFlight);
    fn.vkResetCommandBuffer(commandBuffer, 0);
    VkCommandBufferBeginInfo begin{};
    begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
    fn.vkBeginCommandBuffer(commandBuffer, &begin);

    VkClearValue clears[2]{};
    clears[0].color = MapClearColour(simulation.mapIndex);
    clears[1].depthStencil = {1.0f, 0};
    VkRenderPassBeginInfo pass{};
    pass.sType = VK_STRUCTURE_TYPE_RENDER_PASS_BEGIN_INFO;
    pass.renderPass = renderPass;
    pass.framebuffer = framebuffers[index];
    pass.renderArea = {{0, 0}, extent};
    pass.clearValueCount = 2;
    pass.pClearValues = clears;
    fn.vkCmdBeginRenderPass(commandBuffer, &pass, VK_SUBPASS_CONTENTS_INLINE);
    const VkViewport viewport{0.0f, 0.0f, float(extent.width), float(extent.height), 0.0f, 1.0f};
    const VkRect2D scissor{{0, 0}, extent};
    fn.vkCmdSetViewport(commandBuffer, 0, 1, &viewport);
    fn.vkCmdSetScissor(commandBuffer, 0, 1, &scissor);
    fn.vkCmdBindPipeline(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, pipeline);
    fn.vkCmdBindDescriptorSets(commandBuffer, VK_PIPELINE_BIND_POINT_GRAPHICS, pipelineLayout, 0, 1, &descriptorSet, 0,
                               nullptr);
    const VkDeviceSize offset = 0;
    fn.vkCmdBindVertexBuffers(commandBuffer, 0, 1, &vertexBuffer, &offset);
    fn.vkCmdDraw(commandBuffer, static_cast<uint32_t>(uploadSize / sizeof(Vertex)), 1, 0, 0);
    fn.vkCmdEndRenderPass(commandBuffer);
    if (capture) RecordReadback(index);
    if (fn.vkEndCommandBuffer(commandBuffer) != VK_SUCCESS) return Fail(L"Vulkan command recording failed");

    const VkPipelineStageFlags waitStage = VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT;
    VkSubmitInfo submit{};
    submit.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
    submit.waitSemaphoreCount = 1;
    submit.pWaitSemaphores = &imageAvailable;
    submit.pWaitDstStageMask = &waitStage;
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &commandBuffer;
    submit.signalSemaphoreCount = 1;
    submit.pSignalSemaphores = &renderFinished;
    if (fn.vkQueueSubmit(graphicsQueue, 1, &submit, inFlight) != VK_SUCCESS) return Fail(L"Vulkan queue submit failed");

    VkPresentInfoKHR present{};
    present.sType = VK_STRUCTURE_TYPE_PRESENT_INFO_KHR;
    present.waitSemaphoreCount = 1;
    present.pWaitSemaphores = &renderFinished;
    present.swapchainCount = 1;
    present.pSwapchains = &swapchain;
    present.pImageIndices = &index;
    const VkResult presented = fn.vkQueuePresentKHR(presentQueue, &present);
    if (presented == VK_SUBOPTIMAL_KHR || presented == VK_ERROR_OUT_OF_DATE_KHR) {
        rebuildPending = true;
    } else if (presented != VK_SUCCESS) {
        return Fail(L"Vulkan present failed");
    }
    return capture ? FinishCapture(overlay) : true;
}

bool VulkanRenderer::Impl::PrepareQaReadback() {
    if (!readbackSupported) return Fail(L"QA swapchain readback unsupported");
    const uint64_t required = uint64_t(extent.width) * uint64_t(extent.height) * 4;
    if (readbackBuffer && readbackSize >= required) return true;
    if (readbackBuffer) fn.vkDestroyBuffer(device, readbackBuffer, nullptr);
    if (readbackMemory) fn.vkFreeMemory(device, readbackMemory, nullptr);
    readbackBuffer = VK_NULL_HANDLE;
    readbackMemory = VK_NULL_HANDLE;
    readbackSize = 0;

    VkBufferCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
    info.size = required;
    info.usage = VK_BUFFER_USAGE_TRANSFER_DST_BIT;
    info.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    if (fn.vkCreateBuffer(device, &info, nullptr, &readbackBuffer) != VK_SUCCESS) {
        readbackBuffer = VK_NULL_HANDLE;
        return Fail(L"QA capture buffer failed");
    }
    VkMemoryRequirements requirements{};
    fn.vkGetBufferMemoryRequirements(device, readbackBuffer, &requirements);
    const int type = FindMemoryType(memoryProperties, requirements.memoryTypeBits,
                                    VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    if (type < 0) return Fail(L"QA capture host memory unavailable");
    VkMemoryAllocateInfo allocation{};
    allocation.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    allocation.allocationSize = requirements.size;
    allocation.memoryTypeIndex = static_cast<uint32_t>(type);
    if (fn.vkAllocateMemory(device, &allocation, nullptr, &readbackMemory) != VK_SUCCESS) {
        readbackMemory = VK_NULL_HANDLE;
        return Fail(L"QA capture memory failed");
    }
    if (fn.vkBindBufferMemory(device, readbackBuffer, readbackMemory, 0) != VK_SUCCESS) {
        return Fail(L"QA capture memory failed");
    }
    readbackSize = required;
    return true;
}

void VulkanRenderer::Impl::RecordReadback(uint32_t imageIndex) {
    VkImageMemoryBarrier toTransfer{};
    toTransfer.sType = VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER;
    toTransfer.srcAccessMask = VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT;
    toTransfer.dstAccessMask = VK_ACCESS_TRANSFER_READ_BIT;
    toTransfer.oldLayout = VK_IMAGE_LAYOUT_PRESENT_SRC_KHR;
    toTransfer.newLayout = VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL;
    toTransfer.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toTransfer.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toTransfer.image = images[imageIndex];
    toTransfer.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
    fn.vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT,
                            VK_PIPELINE_STAGE_TRANSFER_BIT, 0, 0, nullptr, 0, nullptr, 1, &toTransfer);
    VkBufferImageCopy region{};
    region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 0, 1};
    region.imageExtent = {extent.width, extent.height, 1};
    fn.vkCmdCopyImageToBuffer(commandBuffer, images[imageIndex], VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL, readbackBuffer,
                              1, &region);
    VkBufferMemoryBarrier toHost{};
    toHost.sType = VK_STRUCTURE_TYPE_BUFFER_MEMORY_BARRIER;
    toHost.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
    toHost.dstAccessMask = VK_ACCESS_HOST_READ_BIT;
    toHost.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toHost.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    toHost.buffer = readbackBuffer;
    toHost.offset = 0;
    toHost.size = VK_WHOLE_SIZE;
    fn.vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_HOST_BIT, 0, 0, nullptr,
                            1, &toHost, 0, nullptr);
    VkImageMemoryBarrier toPresent = toTransfer;
    toPresent.srcAccessMask = VK_ACCESS_TRANSFER_READ_BIT;
    toPresent.dstAccessMask = 0;
    toPresent.oldLayout = VK_IMAGE_LAYOUT_TRANSFER_SRC_OPTIMAL;
    toPresent.newLayout = VK_IMAGE_LAYOUT_PRESENT_SRC_KHR;
    fn.vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_BOTTOM_OF_PIPE_BIT, 0, 0,
                            nullptr, 0, nullptr, 1, &toPresent);
}

bool VulkanRenderer::Impl::FinishCapture(const RenderOverlay& overlay) {
    if (fn.vkWaitForFences(device, 1, &inFlight, VK_TRUE, 5000000000ull) != VK_SUCCESS) {
        return Fail(L"QA GPU readback timeout");
    }
    void* mapped = nullptr;
    if (fn.vkMapMemory(device, readbackMemory, 0, readbackSize, 0, &mapped) != VK_SUCCESS || !mapped) {
        return Fail(L"QA readback mapping failed");
    }
    const bool bgr = swapchainFormat == VK_FORMAT_B8G8R8A8_UNORM || swapchainFormat == VK_FORMAT_B8G8R8A8_SRGB;
    const bool written =
        WriteQaFrameUtf8(overlay.qaCapturePath, extent.width, extent.height, mapped, extent.width * 4, bgr);
    fn.vkUnmapMemory(device, readbackMemory);
    if (!written) return Fail(L"QA frame write failed");
    return true;
}

}  // namespace tarvo::renderer
