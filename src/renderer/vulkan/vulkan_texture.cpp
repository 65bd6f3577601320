#include "core/runtime_log.h"
#include "renderer/hud_font.h"
#include "renderer/vulkan/vulkan_choices.h"
#include "renderer/vulkan/vulkan_impl.h"

namespace tarvo::renderer {

bool VulkanRenderer::Impl::CreateCharacterTexture() {
    const NativeHudFont& font = NativeHudFont::Get();
    const std::span<const presentation::ImportedTextureMip> mips = character.TextureMips();
    const CharacterTexturePlan plan = PlanCharacterTexture(mips, font.levels);
    if (plan.droppedMismatch) {
        // Glyph coverage rides in the alpha of every level; a character texture whose
        // levels do not line up with the atlas would garble the HUD text.
        core::Log().Write("RozizodivoTextureDroppedAtlasMismatch");
    }
    characterTextureBound = false;

    VkBuffer staging = VK_NULL_HANDLE;
    VkDeviceMemory stagingMemory = VK_NULL_HANDLE;
    const auto cleanUp = [&] {
        if (staging) fn.vkDestroyBuffer(device, staging, nullptr);
        if (stagingMemory) fn.vkFreeMemory(device, stagingMemory, nullptr);
        staging = VK_NULL_HANDLE;
        stagingMemory = VK_NULL_HANDLE;
    };

    VkBufferCreateInfo bufferInfo{};
    bufferInfo.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
    bufferInfo.size = plan.stagingSize;
    bufferInfo.usage = VK_BUFFER_USAGE_TRANSFER_SRC_BIT;
    bufferInfo.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    if (fn.vkCreateBuffer(device, &bufferInfo, nullptr, &staging) != VK_SUCCESS) {
        staging = VK_NULL_HANDLE;
        return Fail(L"Rozizodivo texture staging buffer creation failed");
    }
    VkMemoryRequirements requirements{};
    fn.vkGetBufferMemoryRequirements(device, staging, &requirements);
    int type = FindMemoryType(memoryProperties, requirements.memoryTypeBits,
                              VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT);
    if (type < 0) {
        cleanUp();
        return Fail(L"No host-visible Rozizodivo texture memory");
    }
    VkMemoryAllocateInfo allocation{};
    allocation.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    allocation.allocationSize = requirements.size;
    allocation.memoryTypeIndex = static_cast<uint32_t>(type);
    if (fn.vkAllocateMemory(device, &allocation, nullptr, &stagingMemory) != VK_SUCCESS ||
        fn.vkBindBufferMemory(device, staging, stagingMemory, 0) != VK_SUCCESS) {
        cleanUp();
        return Fail(L"Rozizodivo texture staging allocation failed");
    }
    void* mapped = nullptr;
    if (fn.vkMapMemory(device, stagingMemory, 0, plan.stagingSize, 0, &mapped) != VK_SUCCESS || !mapped) {
        cleanUp();
        return Fail(L"Rozizodivo texture staging map failed");
    }
    FillCharacterStaging(plan, mips, font.levels, static_cast<uint8_t*>(mapped));
    fn.vkUnmapMemory(device, stagingMemory);

    VkImageCreateInfo image{};
    image.sType = VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO;
    image.imageType = VK_IMAGE_TYPE_2D;
    image.format = VK_FORMAT_R8G8B8A8_SRGB;
    image.extent = {plan.width, plan.height, 1};
    image.mipLevels = plan.levelCount;
    image.arrayLayers = 1;
    image.samples = VK_SAMPLE_COUNT_1_BIT;
    image.tiling = VK_IMAGE_TILING_OPTIMAL;
    image.usage = VK_IMAGE_USAGE_TRANSFER_DST_BIT | VK_IMAGE_USAGE_SAMPLED_BIT;
    image.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    image.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    if (fn.vkCreateImage(device, &image, nullptr, &textureImage) != VK_SUCCESS) {
        textureImage = VK_NULL_HANDLE;
        cleanUp();
        return Fail(L"Rozizodivo texture image creation failed");
    }
    fn.vkGetImageMemoryRequirements(device, textureImage, &requirements);
    type = FindMemoryType(memoryProperties, requirements.memoryTypeBits, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT);
    if (type < 0) {
        cleanUp();
        return Fail(L"No device-local Rozizodivo texture memory");
    }
    allocation.allocationSize = requirements.size;
    allocation.memoryTypeIndex = static_cast<uint32_t>(type);
    if (fn.vkAllocateMemory(device, &allocation, nullptr, &textureMemory) != VK_SUCCESS) {
        textureMemory = VK_NULL_HANDLE;
        cleanUp();
        return Fail(L"Rozizodivo texture memory allocation failed");
    }
    if (fn.vkBindImageMemory(device, textureImage, textureMemory, 0) != VK_SUCCESS) {
        cleanUp();
        return Fail(L"Rozizodivo texture memory allocation failed");
    }

    std::vector<VkBufferImageCopy> regions;
    for (uint32_t level = 0; level < plan.levelCount; ++level) {
        VkBufferImageCopy region{};
        region.bufferOffset = plan.levelOffsets[level];
        region.imageSubresource = {VK_IMAGE_ASPECT_COLOR_BIT, level, 0, 1};
        if (plan.characterLevels) {
            region.imageExtent = {mips[level].width, mips[level].height, 1};
        } else {
            region.imageExtent = {plan.width, plan.height, 1};
        }
        regions.push_back(region);
    }

    fn.vkResetCommandBuffer(commandBuffer, 0);
    VkCommandBufferBeginInfo begin{};
    begin.sType = VK_STRUCTURE_TYPE_COMMAND_BUFFER_BEGIN_INFO;
    begin.flags = VK_COMMAND_BUFFER_USAGE_ONE_TIME_SUBMIT_BIT;
    if (fn.vkBeginCommandBuffer(commandBuffer, &begin) != VK_SUCCESS) {
        cleanUp();
        return Fail(L"Rozizodivo texture command begin failed");
    }
    VkImageMemoryBarrier barrier{};
    barrier.sType = VK_STRUCTURE_TYPE_IMAGE_MEMORY_BARRIER;
    barrier.srcAccessMask = 0;
    barrier.dstAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
    barrier.oldLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    barrier.newLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
    barrier.srcQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.dstQueueFamilyIndex = VK_QUEUE_FAMILY_IGNORED;
    barrier.image = textureImage;
    barrier.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, plan.levelCount, 0, 1};
    fn.vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_TOP_OF_PIPE_BIT, VK_PIPELINE_STAGE_TRANSFER_BIT, 0, 0,
                            nullptr, 0, nullptr, 1, &barrier);
    fn.vkCmdCopyBufferToImage(commandBuffer, staging, textureImage, VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL,
                              static_cast<uint32_t>(regions.size()), regions.data());
    barrier.srcAccessMask = VK_ACCESS_TRANSFER_WRITE_BIT;
    barrier.dstAccessMask = VK_ACCESS_SHADER_READ_BIT;
    barrier.oldLayout = VK_IMAGE_LAYOUT_TRANSFER_DST_OPTIMAL;
    barrier.newLayout = VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL;
    fn.vkCmdPipelineBarrier(commandBuffer, VK_PIPELINE_STAGE_TRANSFER_BIT, VK_PIPELINE_STAGE_FRAGMENT_SHADER_BIT, 0,
                            0, nullptr, 0, nullptr, 1, &barrier);
    if (fn.vkEndCommandBuffer(commandBuffer) != VK_SUCCESS) {
        cleanUp();
        return Fail(L"Rozizodivo texture command end failed");
    }
    VkSubmitInfo submit{};
    submit.sType = VK_STRUCTURE_TYPE_SUBMIT_INFO;
    submit.commandBufferCount = 1;
    submit.pCommandBuffers = &commandBuffer;
    if (fn.vkQueueSubmit(graphicsQueue, 1, &submit, VK_NULL_HANDLE) != VK_SUCCESS ||
        fn.vkQueueWaitIdle(graphicsQueue) != VK_SUCCESS) {
        cleanUp();
        return Fail(L"Rozizodivo texture upload failed");
    }
    cleanUp();

    VkImageViewCreateInfo view{};
    view.sType = VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO;
    view.image = textureImage;
    view.viewType = VK_IMAGE_VIEW_TYPE_2D;
    view.format = VK_FORMAT_R8G8B8A8_SRGB;
    view.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, plan.levelCount, 0, 1};
    if (fn.vkCreateImageView(device, &view, nullptr, &textureView) != VK_SUCCESS) {
        textureView = VK_NULL_HANDLE;
        return Fail(L"Rozizodivo texture view creation failed");
    }
    VkSamplerCreateInfo samplerInfo{};
    samplerInfo.sType = VK_STRUCTURE_TYPE_SAMPLER_CREATE_INFO;
    samplerInfo.magFilter = VK_FILTER_LINEAR;
    samplerInfo.minFilter = VK_FILTER_LINEAR;
    samplerInfo.mipmapMode = VK_SAMPLER_MIPMAP_MODE_LINEAR;
    samplerInfo.addressModeU = VK_SAMPLER_ADDRESS_MODE_REPEAT;
    samplerInfo.addressModeV = VK_SAMPLER_ADDRESS_MODE_REPEAT;
    samplerInfo.addressModeW = VK_SAMPLER_ADDRESS_MODE_REPEAT;
    samplerInfo.minLod = 0.0f;
    samplerInfo.maxLod = float(plan.levelCount - 1);
    samplerInfo.borderColor = VK_BORDER_COLOR_FLOAT_TRANSPARENT_BLACK;
    if (fn.vkCreateSampler(device, &samplerInfo, nullptr, &sampler) != VK_SUCCESS) {
        sampler = VK_NULL_HANDLE;
        return Fail(L"Rozizodivo sampler creation failed");
    }
    VkDescriptorSetLayoutBinding binding{};
    binding.binding = 0;
    binding.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    binding.descriptorCount = 1;
    binding.stageFlags = VK_SHADER_STAGE_FRAGMENT_BIT;
    VkDescriptorSetLayoutCreateInfo layoutInfo{};
    layoutInfo.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_LAYOUT_CREATE_INFO;
    layoutInfo.bindingCount = 1;
    layoutInfo.pBindings = &binding;
    if (fn.vkCreateDescriptorSetLayout(device, &layoutInfo, nullptr, &descriptorSetLayout) != VK_SUCCESS) {
        descriptorSetLayout = VK_NULL_HANDLE;
        return Fail(L"Rozizodivo descriptor layout creation failed");
    }
    VkDescriptorPoolSize poolSize{VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER, 1};
    VkDescriptorPoolCreateInfo poolInfo{};
    poolInfo.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_POOL_CREATE_INFO;
    poolInfo.maxSets = 1;
    poolInfo.poolSizeCount = 1;
    poolInfo.pPoolSizes = &poolSize;
    if (fn.vkCreateDescriptorPool(device, &poolInfo, nullptr, &descriptorPool) != VK_SUCCESS) {
        descriptorPool = VK_NULL_HANDLE;
        return Fail(L"Rozizodivo descriptor pool creation failed");
    }
    VkDescriptorSetAllocateInfo setInfo{};
    setInfo.sType = VK_STRUCTURE_TYPE_DESCRIPTOR_SET_ALLOCATE_INFO;
    setInfo.descriptorPool = descriptorPool;
    setInfo.descriptorSetCount = 1;
    setInfo.pSetLayouts = &descriptorSetLayout;
    if (fn.vkAllocateDescriptorSets(device, &setInfo, &descriptorSet) != VK_SUCCESS) {
        descriptorSet = VK_NULL_HANDLE;
        return Fail(L"Rozizodivo descriptor allocation failed");
    }
    VkDescriptorImageInfo imageInfo{sampler, textureView, VK_IMAGE_LAYOUT_SHADER_READ_ONLY_OPTIMAL};
    VkWriteDescriptorSet write{};
    write.sType = VK_STRUCTURE_TYPE_WRITE_DESCRIPTOR_SET;
    write.dstSet = descriptorSet;
    write.dstBinding = 0;
    write.descriptorCount = 1;
    write.descriptorType = VK_DESCRIPTOR_TYPE_COMBINED_IMAGE_SAMPLER;
    write.pImageInfo = &imageInfo;
    fn.vkUpdateDescriptorSets(device, 1, &write, 0, nullptr);
    characterTextureBound = plan.characterLevels;
    return true;
}

}  // namespace tarvo::renderer
