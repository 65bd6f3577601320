#include "renderer/vulkan/vulkan_choices.h"
#include "renderer/vulkan/vulkan_impl.h"

namespace tarvo::renderer {

bool VulkanRenderer::Impl::CreateSwapchain() {
    VkSurfaceCapabilitiesKHR caps{};
    fn.vkGetPhysicalDeviceSurfaceCapabilitiesKHR(physicalDevice, surface, &caps);

    uint32_t formatCount = 0;
    fn.vkGetPhysicalDeviceSurfaceFormatsKHR(physicalDevice, surface, &formatCount, nullptr);
    std::vector<VkSurfaceFormatKHR> formats(formatCount);
    if (formatCount) fn.vkGetPhysicalDeviceSurfaceFormatsKHR(physicalDevice, surface, &formatCount, formats.data());
    formats.resize(formatCount);
    if (formats.empty()) return Fail(L"No Vulkan surface formats");
    const VkSurfaceFormatKHR format = ChooseSurfaceFormat(formats);

    uint32_t modeCount = 0;
    fn.vkGetPhysicalDeviceSurfacePresentModesKHR(physicalDevice, surface, &modeCount, nullptr);
    std::vector<VkPresentModeKHR> modes(modeCount);
    if (modeCount) fn.vkGetPhysicalDeviceSurfacePresentModesKHR(physicalDevice, surface, &modeCount, modes.data());
    modes.resize(modeCount);

    RECT client{};
    GetClientRect(window, &client);
    extent = ChooseSwapchainExtent(caps, client.right - client.left, client.bottom - client.top);
    extentBehindClient = extent.width != static_cast<uint32_t>(client.right - client.left) ||
                         extent.height != static_cast<uint32_t>(client.bottom - client.top);

    readbackSupported = (caps.supportedUsageFlags & VK_IMAGE_USAGE_TRANSFER_SRC_BIT) != 0;
    const uint32_t families[] = {graphicsFamily, presentFamily};
    VkSwapchainCreateInfoKHR info{};
    info.sType = VK_STRUCTURE_TYPE_SWAPCHAIN_CREATE_INFO_KHR;
    info.surface = surface;
    info.minImageCount = ChooseImageCount(caps);
    info.imageFormat = format.format;
    info.imageColorSpace = format.colorSpace;
    info.imageExtent = extent;
    info.imageArrayLayers = 1;
    info.imageUsage = VK_IMAGE_USAGE_COLOR_ATTACHMENT_BIT | (readbackSupported ? VK_IMAGE_USAGE_TRANSFER_SRC_BIT : 0);
    if (graphicsFamily == presentFamily) {
        info.imageSharingMode = VK_SHARING_MODE_EXCLUSIVE;
    } else {
        info.imageSharingMode = VK_SHARING_MODE_CONCURRENT;
        info.queueFamilyIndexCount = 2;
        info.pQueueFamilyIndices = families;
    }
    info.preTransform = caps.currentTransform;
    info.compositeAlpha = ChooseCompositeAlpha(caps.supportedCompositeAlpha);
    info.presentMode = ChoosePresentMode(vsync, modes);
    info.clipped = VK_TRUE;
    if (fn.vkCreateSwapchainKHR(device, &info, nullptr, &swapchain) != VK_SUCCESS) {
        swapchain = VK_NULL_HANDLE;
        return Fail(L"Vulkan swapchain creation failed");
    }
    swapchainFormat = format.format;

    uint32_t imageCount = 0;
    fn.vkGetSwapchainImagesKHR(device, swapchain, &imageCount, nullptr);
    images.resize(imageCount);
    if (imageCount) fn.vkGetSwapchainImagesKHR(device, swapchain, &imageCount, images.data());
    images.resize(imageCount);

    for (VkImage image : images) {
        VkImageViewCreateInfo view{};
        view.sType = VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO;
        view.image = image;
        view.viewType = VK_IMAGE_VIEW_TYPE_2D;
        view.format = swapchainFormat;
        view.subresourceRange = {VK_IMAGE_ASPECT_COLOR_BIT, 0, 1, 0, 1};
        VkImageView handle = VK_NULL_HANDLE;
        if (fn.vkCreateImageView(device, &view, nullptr, &handle) != VK_SUCCESS) {
            return Fail(L"Vulkan swapchain view creation failed");
        }
        views.push_back(handle);
    }
    return CreateDepth() && CreatePipeline() && CreateFramebuffers();
}

bool VulkanRenderer::Impl::CreateDepth() {
    VkImageCreateInfo image{};
    image.sType = VK_STRUCTURE_TYPE_IMAGE_CREATE_INFO;
    image.imageType = VK_IMAGE_TYPE_2D;
    image.format = VK_FORMAT_D32_SFLOAT;
    image.extent = {extent.width, extent.height, 1};
    image.mipLevels = 1;
    image.arrayLayers = 1;
    image.samples = VK_SAMPLE_COUNT_1_BIT;
    image.tiling = VK_IMAGE_TILING_OPTIMAL;
    image.usage = VK_IMAGE_USAGE_DEPTH_STENCIL_ATTACHMENT_BIT;
    image.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    image.initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    if (fn.vkCreateImage(device, &image, nullptr, &depthImage) != VK_SUCCESS) {
        depthImage = VK_NULL_HANDLE;
        return Fail(L"Vulkan depth image creation failed");
    }
    VkMemoryRequirements requirements{};
    fn.vkGetImageMemoryRequirements(device, depthImage, &requirements);
    const int type = FindMemoryType(memoryProperties, requirements.memoryTypeBits, VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT);
    if (type < 0) return Fail(L"No device-local depth memory");
    VkMemoryAllocateInfo allocation{};
    allocation.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    allocation.allocationSize = requirements.size;
    allocation.memoryTypeIndex = static_cast<uint32_t>(type);
    if (fn.vkAllocateMemory(device, &allocation, nullptr, &depthMemory) != VK_SUCCESS) {
        depthMemory = VK_NULL_HANDLE;
        return Fail(L"Vulkan depth memory allocation failed");
    }
    if (fn.vkBindImageMemory(device, depthImage, depthMemory, 0) != VK_SUCCESS) {
        return Fail(L"Vulkan depth memory allocation failed");
    }
    VkImageViewCreateInfo view{};
    view.sType = VK_STRUCTURE_TYPE_IMAGE_VIEW_CREATE_INFO;
    view.image = depthImage;
    view.viewType = VK_IMAGE_VIEW_TYPE_2D;
    view.format = VK_FORMAT_D32_SFLOAT;
    view.subresourceRange = {VK_IMAGE_ASPECT_DEPTH_BIT, 0, 1, 0, 1};
    if (fn.vkCreateImageView(device, &view, nullptr, &depthView) != VK_SUCCESS) {
        depthView = VK_NULL_HANDLE;
        return Fail(L"Vulkan depth view creation failed");
    }
    return true;
}

VkShaderModule VulkanRenderer::Impl::Shader(const std::filesystem::path& file) {
    std::vector<uint32_t> code;
    if (!ReadSpirvFile(file, code)) return VK_NULL_HANDLE;
    VkShaderModuleCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_SHADER_MODULE_CREATE_INFO;
    info.codeSize = code.size() * 4;
    info.pCode = code.data();
    VkShaderModule module = VK_NULL_HANDLE;
    if (fn.vkCreateShaderModule(device, &info, nullptr, &module) != VK_SUCCESS) return VK_NULL_HANDLE;
    return module;
}

bool VulkanRenderer::Impl::CreatePipeline() {
    VkAttachmentDescription attachments[2]{};
    attachments[0].format = swapchainFormat;
    attachments[0].samples = VK_SAMPLE_COUNT_1_BIT;
    attachments[0].loadOp = VK_ATTACHMENT_LOAD_OP_CLEAR;
    attachments[0].storeOp = VK_ATTACHMENT_STORE_OP_STORE;
    attachments[0].stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    attachments[0].stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    attachments[0].initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    attachments[0].finalLayout = VK_IMAGE_LAYOUT_PRESENT_SRC_KHR;
    attachments[1].format = VK_FORMAT_D32_SFLOAT;
    attachments[1].samples = VK_SAMPLE_COUNT_1_BIT;
    attachments[1].loadOp = VK_ATTACHMENT_LOAD_OP_CLEAR;
    attachments[1].storeOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    attachments[1].stencilLoadOp = VK_ATTACHMENT_LOAD_OP_DONT_CARE;
    attachments[1].stencilStoreOp = VK_ATTACHMENT_STORE_OP_DONT_CARE;
    attachments[1].initialLayout = VK_IMAGE_LAYOUT_UNDEFINED;
    attachments[1].finalLayout = VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL;
    VkAttachmentReference colourRef{0, VK_IMAGE_LAYOUT_COLOR_ATTACHMENT_OPTIMAL};
    VkAttachmentReference depthRef{1, VK_IMAGE_LAYOUT_DEPTH_STENCIL_ATTACHMENT_OPTIMAL};
    VkSubpassDescription subpass{};
    subpass.pipelineBindPoint = VK_PIPELINE_BIND_POINT_GRAPHICS;
    subpass.colorAttachmentCount = 1;
    subpass.pColorAttachments = &colourRef;
    subpass.pDepthStencilAttachment = &depthRef;
    VkSubpassDependency dependency{};
    dependency.srcSubpass = VK_SUBPASS_EXTERNAL;
    dependency.dstSubpass = 0;
    dependency.srcStageMask =
        VK_PIPELINE_STAGE_COLOR_ATTACHMENT_OUTPUT_BIT | VK_PIPELINE_STAGE_EARLY_FRAGMENT_TESTS_BIT;
    dependency.dstStageMask = dependency.srcStageMask;
    dependency.dstAccessMask = VK_ACCESS_COLOR_ATTACHMENT_WRITE_BIT | VK_ACCESS_DEPTH_STENCIL_ATTACHMENT_WRITE_BIT;
    VkRenderPassCreateInfo passInfo{};
    passInfo.sType = VK_STRUCTURE_TYPE_RENDER_PASS_CREATE_INFO;
    passInfo.attachmentCount = 2;
    passInfo.pAttachments = attachments;
    passInfo.subpassCount = 1;
    passInfo.pSubpasses = &subpass;
    passInfo.dependencyCount = 1;
    passInfo.pDependencies = &dependency;
    if (fn.vkCreateRenderPass(device, &passInfo, nullptr, &renderPass) != VK_SUCCESS) {
        renderPass = VK_NULL_HANDLE;
        return Fail(L"Vulkan render pass creation failed");
    }

    VkShaderModule vertexModule = Shader(shadersDirectory / L"ze001.vert.spv");
    VkShaderModule fragmentModule = Shader(shadersDirectory / L"ze001.frag.spv");
    const auto releaseModules = [&] {
        if (vertexModule) fn.vkDestroyShaderModule(device, vertexModule, nullptr);
        if (fragmentModule) fn.vkDestroyShaderModule(device, fragmentModule, nullptr);
        vertexModule = fragmentModule = VK_NULL_HANDLE;
    };
    if (!vertexModule || !fragmentModule) {
        releaseModules();
        return Fail(L"ZE001 SPIR-V shaders are missing");
    }

    VkPipelineLayoutCreateInfo layoutInfo{};
    layoutInfo.sType = VK_STRUCTURE_TYPE_PIPELINE_LAYOUT_CREATE_INFO;
    layoutInfo.setLayoutCount = 1;
    layoutInfo.pSetLayouts = &descriptorSetLayout;
    if (fn.vkCreatePipelineLayout(device, &layoutInfo, nullptr, &pipelineLayout) != VK_SUCCESS) {
        pipelineLayout = VK_NULL_HANDLE;
        releaseModules();
        return Fail(L"Vulkan pipeline layout creation failed");
    }

    VkPipelineShaderStageCreateInfo stages[2]{};
    stages[0].sType = VK_STRUCTURE_TYPE_PIPELINE_SHADER_STAGE_CREATE_INFO;
    stages[0].stage = VK_SHADER_STAGE_VERTEX_BIT;
    stages[0].module = vertexModule;
    stages[0].pName = "main";
    stages[1] = stages[0];
    stages[1].stage = VK_SHADER_STAGE_FRAGMENT_BIT;
    stages[1].module = fragmentModule;

    VkVertexInputBindingDescription binding{0, sizeof(Vertex), VK_VERTEX_INPUT_RATE_VERTEX};
    VkVertexInputAttributeDescription attributes[4] = {
        {0, 0, VK_FORMAT_R32G32B32A32_SFLOAT, 0},
        {1, 0, VK_FORMAT_R32G32B32_SFLOAT, 16},
        {2, 0, VK_FORMAT_R32G32_SFLOAT, 28},
        {3, 0, VK_FORMAT_R32_SFLOAT, 36},
    };
    VkPipelineVertexInputStateCreateInfo vertexInput{};
    vertexInput.sType = VK_STRUCTURE_TYPE_PIPELINE_VERTEX_INPUT_STATE_CREATE_INFO;
    vertexInput.vertexBindingDescriptionCount = 1;
    vertexInput.pVertexBindingDescriptions = &binding;
    vertexInput.vertexAttributeDescriptionCount = 4;
    vertexInput.pVertexAttributeDescriptions = attributes;
    VkPipelineInputAssemblyStateCreateInfo assembly{};
    assembly.sType = VK_STRUCTURE_TYPE_PIPELINE_INPUT_ASSEMBLY_STATE_CREATE_INFO;
    assembly.topology = VK_PRIMITIVE_TOPOLOGY_TRIANGLE_LIST;
    VkPipelineViewportStateCreateInfo viewport{};
    viewport.sType = VK_STRUCTURE_TYPE_PIPELINE_VIEWPORT_STATE_CREATE_INFO;
    viewport.viewportCount = 1;
    viewport.scissorCount = 1;
    VkPipelineRasterizationStateCreateInfo raster{};
    raster.sType = VK_STRUCTURE_TYPE_PIPELINE_RASTERIZATION_STATE_CREATE_INFO;
    raster.polygonMode = VK_POLYGON_MODE_FILL;
    raster.cullMode = VK_CULL_MODE_NONE;
    raster.frontFace = VK_FRONT_FACE_CLOCKWISE;
    raster.lineWidth = 1.0f;
    VkPipelineMultisampleStateCreateInfo multisample{};
    multisample.sType = VK_STRUCTURE_TYPE_PIPELINE_MULTISAMPLE_STATE_CREATE_INFO;
    multisample.rasterizationSamples = VK_SAMPLE_COUNT_1_BIT;
    multisample.minSampleShading = 1.0f;
    VkPipelineDepthStencilStateCreateInfo depth{};
    depth.sType = VK_STRUCTURE_TYPE_PIPELINE_DEPTH_STENCIL_STATE_CREATE_INFO;
    depth.depthTestEnable = VK_TRUE;
    depth.depthWriteEnable = VK_TRUE;
    depth.depthCompareOp = VK_COMPARE_OP_LESS_OR_EQUAL;  // HUD layers all sit at depth 0
    depth.minDepthBounds = 0.0f;
    depth.maxDepthBounds = 1.0f;
    VkPipelineColorBlendAttachmentState blendAttachment{};
    blendAttachment.blendEnable = VK_TRUE;
    blendAttachment.srcColorBlendFactor = VK_BLEND_FACTOR_SRC_ALPHA;
    blendAttachment.dstColorBlendFactor = VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA;
    blendAttachment.colorBlendOp = VK_BLEND_OP_ADD;
    blendAttachment.srcAlphaBlendFactor = VK_BLEND_FACTOR_ONE;
    blendAttachment.dstAlphaBlendFactor = VK_BLEND_FACTOR_ONE_MINUS_SRC_ALPHA;
    blendAttachment.alphaBlendOp = VK_BLEND_OP_ADD;
    blendAttachment.colorWriteMask =
        VK_COLOR_COMPONENT_R_BIT | VK_COLOR_COMPONENT_G_BIT | VK_COLOR_COMPONENT_B_BIT | VK_COLOR_COMPONENT_A_BIT;
    VkPipelineColorBlendStateCreateInfo blend{};
    blend.sType = VK_STRUCTURE_TYPE_PIPELINE_COLOR_BLEND_STATE_CREATE_INFO;
    blend.attachmentCount = 1;
    blend.pAttachments = &blendAttachment;
    const VkDynamicState dynamicStates[] = {VK_DYNAMIC_STATE_VIEWPORT, VK_DYNAMIC_STATE_SCISSOR};
    VkPipelineDynamicStateCreateInfo dynamic{};
    dynamic.sType = VK_STRUCTURE_TYPE_PIPELINE_DYNAMIC_STATE_CREATE_INFO;
    dynamic.dynamicStateCount = 2;
    dynamic.pDynamicStates = dynamicStates;

    VkGraphicsPipelineCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_GRAPHICS_PIPELINE_CREATE_INFO;
    info.stageCount = 2;
    info.pStages = stages;
    info.pVertexInputState = &vertexInput;
    info.pInputAssemblyState = &assembly;
    info.pViewportState = &viewport;
    info.pRasterizationState = &raster;
    info.pMultisampleState = &multisample;
    info.pDepthStencilState = &depth;
    info.pColorBlendState = &blend;
    info.pDynamicState = &dynamic;
    info.layout = pipelineLayout;
    info.renderPass = renderPass;
    info.subpass = 0;
    info.basePipelineIndex = -1;
    const VkResult created = fn.vkCreateGraphicsPipelines(device, VK_NULL_HANDLE, 1, &info, nullptr, &pipeline);
    releaseModules();
    if (created != VK_SUCCESS) {
        pipeline = VK_NULL_HANDLE;
        return Fail(L"Vulkan graphics pipeline creation failed");
    }
    return true;
}

bool VulkanRenderer::Impl::CreateFramebuffers() {
    for (VkImageView view : views) {
        VkImageView attachments[] = {view, depthView};
        VkFramebufferCreateInfo info{};
        info.sType = VK_STRUCTURE_TYPE_FRAMEBUFFER_CREATE_INFO;
        info.renderPass = renderPass;
        info.attachmentCount = 2;
        info.pAttachments = attachments;
        info.width = extent.width;
        info.height = extent.height;
        info.layers = 1;
        VkFramebuffer framebuffer = VK_NULL_HANDLE;
        if (fn.vkCreateFramebuffer(device, &info, nullptr, &framebuffer) != VK_SUCCESS) {
            return Fail(L"Vulkan framebuffer creation failed");
        }
        framebuffers.push_back(framebuffer);
    }
    return true;
}

void VulkanRenderer::Impl::DestroySwapchain() {
    if (!device) return;
    for (VkFramebuffer framebuffer : framebuffers) {
        if (framebuffer && fn.vkDestroyFramebuffer) fn.vkDestroyFramebuffer(device, framebuffer, nullptr);
    }
    framebuffers.clear();
    if (pipeline && fn.vkDestroyPipeline) fn.vkDestroyPipeline(device, pipeline, nullptr);
    pipeline = VK_NULL_HANDLE;
    if (pipelineLayout && fn.vkDestroyPipelineLayout) fn.vkDestroyPipelineLayout(device, pipelineLayout, nullptr);
    pipelineLayout = VK_NULL_HANDLE;
    if (renderPass && fn.vkDestroyRenderPass) fn.vkDestroyRenderPass(device, renderPass, nullptr);
    renderPass = VK_NULL_HANDLE;
    if (depthView && fn.vkDestroyImageView) fn.vkDestroyImageView(device, depthView, nullptr);
    depthView = VK_NULL_HANDLE;
    if (depthImage && fn.vkDestroyImage) fn.vkDestroyImage(device, depthImage, nullptr);
    depthImage = VK_NULL_HANDLE;
    if (depthMemory && fn.vkFreeMemory) fn.vkFreeMemory(device, depthMemory, nullptr);
    depthMemory = VK_NULL_HANDLE;
    for (VkImageView view : views) {
        if (view && fn.vkDestroyImageView) fn.vkDestroyImageView(device, view, nullptr);
    }
    views.clear();
    images.clear();
    if (swapchain && fn.vkDestroySwapchainKHR) fn.vkDestroySwapchainKHR(device, swapchain, nullptr);
    swapchain = VK_NULL_HANDLE;
}

bool VulkanRenderer::Impl::RecreateSwapchain() {
    RECT client{};
    GetClientRect(window, &client);
    if (client.right - client.left <= 0 || client.bottom - client.top <= 0) return true;  // stays pending
    fn.vkDeviceWaitIdle(device);
    DestroySwapchain();
    rebuildPending = false;
    return CreateSwapchain();
}

bool VulkanRenderer::Impl::SurfaceExtentChanged() {
    VkSurfaceCapabilitiesKHR caps{};
    if (fn.vkGetPhysicalDeviceSurfaceCapabilitiesKHR(physicalDevice, surface, &caps) != VK_SUCCESS) return false;
    const VkExtent2D now = caps.currentExtent;
    return now.width != 0xFFFFFFFFu && (now.width != extent.width || now.height != extent.height);
}

void VulkanRenderer::Impl::Shutdown() {
    ready = false;
    if (device) {
        if (fn.vkDeviceWaitIdle) fn.vkDeviceWaitIdle(device);
        if (readbackBuffer && fn.vkDestroyBuffer) fn.vkDestroyBuffer(device, readbackBuffer, nullptr);
        if (readbackMemory && fn.vkFreeMemory) fn.vkFreeMemory(device, readbackMemory, nullptr);
        readbackBuffer = VK_NULL_HANDLE;
        readbackMemory = VK_NULL_HANDLE;
        readbackSize = 0;
        DestroySwapchain();
        if (descriptorPool && fn.vkDestroyDescriptorPool) fn.vkDestroyDescriptorPool(device, descriptorPool, nullptr);
        if (descriptorSetLayout && fn.vkDestroyDescriptorSetLayout)
            fn.vkDestroyDescriptorSetLayout(device, descriptorSetLayout, nullptr);
        if (sampler && fn.vkDestroySampler) fn.vkDestroySampler(device, sampler, nullptr);
        if (textureView && fn.vkDestroyImageView) fn.vkDestroyImageView(device, textureView, nullptr);
        if (textureImage && fn.vkDestroyImage) fn.vkDestroyImage(device, textureImage, nullptr);
        if (textureMemory && fn.vkFreeMemory) fn.vkFreeMemory(device, textureMemory, nullptr);
        if (inFlight && fn.vkDestroyFence) fn.vkDestroyFence(device, inFlight, nullptr);
        if (renderFinished && fn.vkDestroySemaphore) fn.vkDestroySemaphore(device, renderFinished, nullptr);
        if (imageAvailable && fn.vkDestroySemaphore) fn.vkDestroySemaphore(device, imageAvailable, nullptr);
        if (vertexBuffer && fn.vkDestroyBuffer) fn.vkDestroyBuffer(device, vertexBuffer, nullptr);
        if (vertexMemory && fn.vkFreeMemory) fn.vkFreeMemory(device, vertexMemory, nullptr);
        if (commandPool && fn.vkDestroyCommandPool) fn.vkDestroyCommandPool(device, commandPool, nullptr);
        if (fn.vkDestroyDevice) fn.vkDestroyDevice(device, nullptr);
    }
    device = VK_NULL_HANDLE;
    descriptorPool = VK_NULL_HANDLE;
    descriptorSetLayout = VK_NULL_HANDLE;
    descriptorSet = VK_NULL_HANDLE;
    sampler = VK_NULL_HANDLE;
    textureView = VK_NULL_HANDLE;
    textureImage = VK_NULL_HANDLE;
    textureMemory = VK_NULL_HANDLE;
    inFlight = VK_NULL_HANDLE;
    renderFinished = VK_NULL_HANDLE;
    imageAvailable = VK_NULL_HANDLE;
    vertexBuffer = VK_NULL_HANDLE;
    vertexMemory = VK_NULL_HANDLE;
    commandPool = VK_NULL_HANDLE;
    commandBuffer = VK_NULL_HANDLE;
    graphicsQueue = VK_NULL_HANDLE;
    presentQueue = VK_NULL_HANDLE;
    // Without a device the swapchain group is gone with it; forget stale handles.
    framebuffers.clear();
    views.clear();
    images.clear();
    swapchain = VK_NULL_HANDLE;
    pipeline = VK_NULL_HANDLE;
    pipelineLayout = VK_NULL_HANDLE;
    renderPass = VK_NULL_HANDLE;
    depthView = VK_NULL_HANDLE;
    depthImage = VK_NULL_HANDLE;
    depthMemory = VK_NULL_HANDLE;
    characterTextureBound = false;
    if (surface && instance && fn.vkDestroySurfaceKHR) fn.vkDestroySurfaceKHR(instance, surface, nullptr);
    surface = VK_NULL_HANDLE;
    if (instance && fn.vkDestroyInstance) fn.vkDestroyInstance(instance, nullptr);
    instance = VK_NULL_HANDLE;
    physicalDevice = VK_NULL_HANDLE;
    if (loader) FreeLibrary(loader);
    loader = nullptr;
}

}  // namespace tarvo::renderer
