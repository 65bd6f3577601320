#include "renderer/vulkan/vulkan_impl.h"
#include "renderer/graphics_preflight_probe.h"
#include "renderer/vulkan/vulkan_choices.h"

namespace tarvo::renderer {

std::wstring Widen(const char* text) {
    if (!text) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 1) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

bool VulkanRenderer::Impl::Fail(const wchar_t* text) {
    lastError = text;
    ready = false;
    return false;
}

VulkanRenderer::Impl::~Impl() { Shutdown(); }

bool VulkanRenderer::Impl::LoadApi() {
    loader = LoadSystemVulkanLoader();
    if (!loader) return Fail(L"vulkan-1.dll is unavailable");
    getInstanceProcAddr = reinterpret_cast<PFN_vkGetInstanceProcAddr>(GetProcAddress(loader, "vkGetInstanceProcAddr"));
    if (!getInstanceProcAddr) return Fail(L"vkGetInstanceProcAddr is unavailable");
    fn.vkCreateInstance = reinterpret_cast<PFN_vkCreateInstance>(getInstanceProcAddr(nullptr, "vkCreateInstance"));
    if (!fn.vkCreateInstance) return Fail(L"vkCreateInstance is unavailable");

    uint32_t apiVersion = VK_API_VERSION_1_0;
    fn.vkEnumerateInstanceVersion =
        reinterpret_cast<PFN_vkEnumerateInstanceVersion>(getInstanceProcAddr(nullptr, "vkEnumerateInstanceVersion"));
    if (fn.vkEnumerateInstanceVersion) {
        uint32_t reported = 0;
        if (fn.vkEnumerateInstanceVersion(&reported) == VK_SUCCESS) apiVersion = std::min(reported, 0x401000u);
    }

    VkApplicationInfo app{};
    app.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
    app.pApplicationName = "TARVONIX VOLLEY";
    app.applicationVersion = 12291;
    app.pEngineName = "TARV PLAYABLE ENGINE";
    app.engineVersion = 12291;
    app.apiVersion = apiVersion;
    const char* extensions[] = {VK_KHR_SURFACE_EXTENSION_NAME, VK_KHR_WIN32_SURFACE_EXTENSION_NAME};
    VkInstanceCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
    info.pApplicationInfo = &app;
    info.enabledExtensionCount = 2;
    info.ppEnabledExtensionNames = extensions;
    const VkResult created = fn.vkCreateInstance(&info, nullptr, &instance);
    if (created != VK_SUCCESS) {
        instance = VK_NULL_HANDLE;
        lastError = CreateInstanceFailureText(created);
        ready = false;
        return false;
    }

#define TARVO_VK_FETCH_INSTANCE(name)                                                                   \
    fn.name = reinterpret_cast<PFN_##name>(getInstanceProcAddr(instance, #name));                      \
    if (!fn.name) {                                                                                     \
        lastError = L"Missing Vulkan function: " + Widen(#name);                                       \
        ready = false;                                                                                  \
        return false;                                                                                   \
    }
    TARVO_VK_INSTANCE_FUNCTIONS(TARVO_VK_FETCH_INSTANCE)
#undef TARVO_VK_FETCH_INSTANCE
    return true;
}

VulkanRenderer::VulkanRenderer() : impl_(std::make_unique<Impl>()) {}

VulkanRenderer::~VulkanRenderer() = default;

GraphicsDiagnostics VulkanRenderer::Preflight() const { return GraphicsPreflight::Run(); }

bool VulkanRenderer::Initialize(HWND window, const std::filesystem::path& shadersDirectory) {
    Impl& s = *impl_;
    try {
        // Called once per object; a second call starts from a clean slate rather than
        // leaking the first one's objects.
        if (s.instance || s.loader) s.Shutdown();
        s.window = window;
        s.shadersDirectory = shadersDirectory;
        s.lastError.clear();
        s.diagnostics = GraphicsPreflight::Run();
        if (!s.diagnostics.usable) {
            s.lastError = s.diagnostics.error + L" / " + s.diagnostics.createInstanceResult;
            if (s.lastError == L" / ") s.lastError = L"Vulkan preflight failed";
            return false;
        }
        s.character.LoadWithRollback(presentation::DiscoverRozizodivoRuntimeAsset(),
                                     presentation::DiscoverRozizodivoRollbackAsset());
        s.weapon.Load(presentation::DiscoverLegacyRifleRuntimeAsset());

        bool ok = s.LoadApi();
        if (ok) {
            VkWin32SurfaceCreateInfoKHR surfaceInfo{};
            surfaceInfo.sType = VK_STRUCTURE_TYPE_WIN32_SURFACE_CREATE_INFO_KHR;
            surfaceInfo.hinstance = GetModuleHandleW(nullptr);
            surfaceInfo.hwnd = window;
            if (s.fn.vkCreateWin32SurfaceKHR(s.instance, &surfaceInfo, nullptr, &s.surface) != VK_SUCCESS) {
                s.surface = VK_NULL_HANDLE;
                ok = s.Fail(L"Win32 Vulkan surface creation failed");
            }
        }
        ok = ok && s.SelectDevice() && s.CreateBuffer() && s.CreateCommandAndSync() && s.CreateCharacterTexture() &&
             s.CreateSwapchain();
        if (!ok) {
            s.Shutdown();
            if (s.lastError.empty()) s.lastError = L"Vulkan initialization failed";
            return false;
        }
        s.ready = true;
        return true;
    } catch (...) {
        s.Shutdown();
        s.lastError = L"Vulkan initialization failed unexpectedly";
        return false;
    }
}

bool VulkanRenderer::Render(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) {
    try {
        return impl_->Draw(simulation, overlay);
    } catch (...) {
        impl_->lastError = L"Vulkan frame failed unexpectedly";
        impl_->ready = false;
        return false;
    }
}

void VulkanRenderer::Resize() { impl_->rebuildPending = true; }

void VulkanRenderer::SetVSync(bool enabled) {
    if (enabled == impl_->vsync) return;
    impl_->vsync = enabled;
    impl_->rebuildPending = true;
}

void VulkanRenderer::Shutdown() { impl_->Shutdown(); }
bool VulkanRenderer::Ready() const { return impl_->ready; }
const std::wstring& VulkanRenderer::DeviceName() const { return impl_->deviceName; }
const std::wstring& VulkanRenderer::LastError() const { return impl_->lastError; }
RenderBackendKind VulkanRenderer::Kind() const { return RenderBackendKind::Vulkan; }
bool VulkanRenderer::ImportedCharacterReady() const { return impl_->character.Ready(); }
bool VulkanRenderer::ImportedWeaponReady() const { return impl_->weapon.Ready(); }
bool VulkanRenderer::ImportedCharacterTextured() const { return impl_->character.Textured(); }
bool VulkanRenderer::ImportedCharacterUsedRollback() const { return impl_->character.UsedRollback(); }
const std::wstring& VulkanRenderer::ImportedCharacterStatus() const { return impl_->character.Status(); }
const std::wstring& VulkanRenderer::ImportedWeaponStatus() const { return impl_->weapon.Status(); }

}  // namespace tarvo::renderer
