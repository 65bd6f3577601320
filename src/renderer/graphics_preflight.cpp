#include "renderer/graphics_preflight_probe.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <memory>

namespace tarvo::renderer {

namespace preflight_detail {

std::wstring Widen(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
    return wide;
}

std::wstring Version(uint32_t packed) {
    const uint32_t major = (packed >> 22) & 0x7Fu;
    const uint32_t minor = (packed >> 12) & 0x3FFu;
    const uint32_t patch = packed & 0xFFFu;
    return std::to_wstring(major) + L"." + std::to_wstring(minor) + L"." + std::to_wstring(patch);
}

std::wstring Hex(uint32_t value) {
    wchar_t buffer[16];
    std::swprintf(buffer, 16, L"0x%04X", value);
    return buffer;
}

std::wstring Join(const std::vector<std::wstring>& list) {
    if (list.empty()) return L"NONE";
    std::wstring joined;
    for (size_t i = 0; i < list.size(); ++i) {
        if (i) joined += L", ";
        joined += list[i];
    }
    return joined;
}

std::wstring VkResultName(int32_t result) {
    switch (result) {
    case 0: return L"VK_SUCCESS";
    case -1: return L"VK_ERROR_OUT_OF_HOST_MEMORY";
    case -2: return L"VK_ERROR_OUT_OF_DEVICE_MEMORY";
    case -3: return L"VK_ERROR_INITIALIZATION_FAILED";
    case -6: return L"VK_ERROR_LAYER_NOT_PRESENT";
    case -7: return L"VK_ERROR_EXTENSION_NOT_PRESENT";
    case -9: return L"VK_ERROR_INCOMPATIBLE_DRIVER";
    default: return L"VK_RESULT(" + std::to_wstring(result) + L")";
    }
}

namespace {
// Up to four hex digits after the tag; false when the tag is missing or no digit follows.
bool ParseTaggedHex(std::wstring_view text, std::wstring_view tag, uint32_t& out) {
    const size_t at = text.find(tag);
    if (at == std::wstring_view::npos) return false;
    uint32_t value = 0;
    int digits = 0;
    for (size_t i = at + tag.size(); i < text.size() && digits < 4; ++i, ++digits) {
        const wchar_t c = text[i];
        uint32_t d;
        if (c >= L'0' && c <= L'9') d = c - L'0';
        else if (c >= L'a' && c <= L'f') d = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F') d = c - L'A' + 10;
        else break;
        value = value * 16 + d;
    }
    if (digits == 0) return false;
    out = value;
    return true;
}
}  // namespace

void ParseAdapterIds(std::wstring_view deviceIdString, uint32_t& vendorId, uint32_t& deviceId) {
    if (!ParseTaggedHex(deviceIdString, L"VEN_", vendorId)) return;
    ParseTaggedHex(deviceIdString, L"DEV_", deviceId);
}

}  // namespace preflight_detail

using namespace preflight_detail;

namespace {

constexpr uint32_t kApiVersion10 = 0x00400000u;
constexpr uint32_t kApiVersion11 = 0x00401000u;

std::wstring WindowsVersionLine() {
    using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto rtlGetVersion =
        ntdll ? reinterpret_cast<RtlGetVersionFn>(GetProcAddress(ntdll, "RtlGetVersion")) : nullptr;
    if (rtlGetVersion) {
        OSVERSIONINFOW info{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (rtlGetVersion(&info) == 0) {
            return L"Windows " + std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) +
                   L" build " + std::to_wstring(info.dwBuildNumber) + L" x64";
        }
    }
    return L"Windows x64";
}

void ReadDisplayAdapter(GraphicsDiagnostics& result) {
    for (DWORD index = 0;; ++index) {
        DISPLAY_DEVICEW device{};
        device.cb = sizeof(device);
        if (!EnumDisplayDevicesW(nullptr, index, &device, 0)) break;
        if ((device.StateFlags & 0x8u) != 0 || device.DeviceString[0] == L'\0') continue;
        result.windowsAdapter = device.DeviceString;
        ParseAdapterIds(device.DeviceID, result.vendorId, result.deviceId);
        return;
    }
    result.windowsAdapter = L"НЕ ВИЗНАЧЕНО";
}

template <typename Fn>
Fn Fetch(PFN_vkGetInstanceProcAddr gipa, VkInstance instance, const char* name) {
    return reinterpret_cast<Fn>(gipa(instance, name));
}

bool HasExtension(const std::vector<VkExtensionProperties>& list, const char* name) {
    return std::any_of(list.begin(), list.end(),
                       [name](const VkExtensionProperties& p) { return std::strcmp(p.extensionName, name) == 0; });
}

// Step 13: the first device with a graphics family and VK_KHR_swapchain.
bool FindSuitableDevice(PFN_vkGetInstanceProcAddr gipa, VkInstance instance, GraphicsDiagnostics& result) {
    auto destroyInstance = Fetch<PFN_vkDestroyInstance>(gipa, instance, "vkDestroyInstance");
    auto enumerateDevices = Fetch<PFN_vkEnumeratePhysicalDevices>(gipa, instance, "vkEnumeratePhysicalDevices");
    auto properties = Fetch<PFN_vkGetPhysicalDeviceProperties>(gipa, instance, "vkGetPhysicalDeviceProperties");
    auto families = Fetch<PFN_vkGetPhysicalDeviceQueueFamilyProperties>(gipa, instance,
                                                                         "vkGetPhysicalDeviceQueueFamilyProperties");
    auto deviceExtensions =
        Fetch<PFN_vkEnumerateDeviceExtensionProperties>(gipa, instance, "vkEnumerateDeviceExtensionProperties");
    bool found = false;
    if (destroyInstance && enumerateDevices && properties && families && deviceExtensions) {
        uint32_t count = 0;
        if (enumerateDevices(instance, &count, nullptr) == VK_SUCCESS && count > 0) {
            std::vector<VkPhysicalDevice> devices(count);
            if (enumerateDevices(instance, &count, devices.data()) >= 0) {
                devices.resize(count);
                for (VkPhysicalDevice device : devices) {
                    uint32_t familyCount = 0;
                    families(device, &familyCount, nullptr);
                    std::vector<VkQueueFamilyProperties> familyList(familyCount);
                    if (familyCount) families(device, &familyCount, familyList.data());
                    familyList.resize(familyCount);
                    const bool graphics = std::any_of(familyList.begin(), familyList.end(), [](const auto& f) {
                        return (f.queueFlags & VK_QUEUE_GRAPHICS_BIT) != 0;
                    });
                    if (!graphics) continue;
                    uint32_t extensionCount = 0;
                    std::vector<VkExtensionProperties> extensions;
                    if (deviceExtensions(device, nullptr, &extensionCount, nullptr) == VK_SUCCESS) {
                        extensions.resize(extensionCount);
                        if (extensionCount &&
                            deviceExtensions(device, nullptr, &extensionCount, extensions.data()) != VK_SUCCESS) {
                            extensions.clear();
                        }
                        extensions.resize(std::min<size_t>(extensions.size(), extensionCount));
                    }
                    if (!HasExtension(extensions, VK_KHR_SWAPCHAIN_EXTENSION_NAME)) continue;
                    VkPhysicalDeviceProperties props{};
                    properties(device, &props);
                    result.gpuName = Widen(std::string_view(props.deviceName, strnlen(props.deviceName,
                                                                                       sizeof(props.deviceName))));
                    result.vendorId = props.vendorID;
                    result.deviceId = props.deviceID;
                    result.driverVersion = std::to_wstring(props.driverVersion) + L" (Vulkan driver value)";
                    found = true;
                    break;
                }
            }
        }
    }
    if (destroyInstance) destroyInstance(instance, nullptr);
    return found;
}

}  // namespace

HMODULE LoadSystemVulkanLoader() { return LoadLibraryExW(L"vulkan-1.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); }

VulkanLoaderAccess SystemVulkanLoader() {
    auto module = std::make_shared<HMODULE>(nullptr);
    VulkanLoaderAccess access;
    access.open = [module](std::wstring& path) {
        *module = LoadSystemVulkanLoader();
        if (!*module) return false;
        std::wstring buffer(32768, L'\0');
        const DWORD length = GetModuleFileNameW(*module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length > 0) path.assign(buffer.data(), std::min<DWORD>(length, static_cast<DWORD>(buffer.size())));
        return true;
    };
    access.entry = [module]() -> PFN_vkGetInstanceProcAddr {
        return *module ? reinterpret_cast<PFN_vkGetInstanceProcAddr>(GetProcAddress(*module, "vkGetInstanceProcAddr"))
                       : nullptr;
    };
    access.close = [module]() {
        if (*module) FreeLibrary(*module);
        *module = nullptr;
    };
    return access;
}

std::string ReadVulkanQaFault() {
    char buffer[64] = {};
    const DWORD length = GetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", buffer, sizeof(buffer));
    if (length == 0 || length >= sizeof(buffer)) return {};
    return std::string(buffer, length);
}

GraphicsDiagnostics RunGraphicsPreflight(std::string_view qaFault, const VulkanLoaderAccess& loader) {
    GraphicsDiagnostics result;
    result.windowsVersion = WindowsVersionLine();
    ReadDisplayAdapter(result);
    result.mandatoryExtensions = {L"VK_KHR_surface", L"VK_KHR_win32_surface"};
    result.optionalExtensions = {L"VK_EXT_debug_utils (optional, disabled in Release)"};
    result.requestedLayers.clear();

    const bool faultLoaderMissing = qaFault == "loader_missing";
    int32_t forcedCreateResult = 0;
    if (qaFault == "incompatible_driver") forcedCreateResult = VK_ERROR_INCOMPATIBLE_DRIVER;
    if (qaFault == "create_instance_failed") forcedCreateResult = VK_ERROR_INITIALIZATION_FAILED;

    std::wstring path;
    if (faultLoaderMissing || !loader.open || !loader.open(path)) {
        result.status = 1;
        result.usable = false;
        result.error = L"vulkan-1.dll не знайдено. Встановіть офіційний драйвер GPU.";
        return result;
    }
    struct Unload {
        const VulkanLoaderAccess& loader;
        ~Unload() {
            if (loader.close) loader.close();
        }
    } unload{loader};

    result.loaderFound = true;
    if (!path.empty()) result.loaderPath = path;

    PFN_vkGetInstanceProcAddr gipa = loader.entry ? loader.entry() : nullptr;
    if (!gipa) {
        result.status = 6;
        result.error = L"Vulkan loader не надає vkGetInstanceProcAddr.";
        return result;
    }

    uint32_t instanceVersion = kApiVersion10;
    if (auto enumerateVersion = Fetch<PFN_vkEnumerateInstanceVersion>(gipa, nullptr, "vkEnumerateInstanceVersion")) {
        result.instanceVersionQueried = true;
        uint32_t reported = 0;
        if (enumerateVersion(&reported) == VK_SUCCESS) instanceVersion = reported;
    }
    const uint32_t negotiated = std::min(instanceVersion, kApiVersion11);
    result.supportedVulkan = Version(instanceVersion);
    result.negotiatedVulkan = Version(negotiated);

    auto enumerateExtensions =
        Fetch<PFN_vkEnumerateInstanceExtensionProperties>(gipa, nullptr, "vkEnumerateInstanceExtensionProperties");
    auto enumerateLayers =
        Fetch<PFN_vkEnumerateInstanceLayerProperties>(gipa, nullptr, "vkEnumerateInstanceLayerProperties");
    auto createInstance = Fetch<PFN_vkCreateInstance>(gipa, nullptr, "vkCreateInstance");
    if (!enumerateExtensions || !enumerateLayers || !createInstance) {
        result.status = 6;
        result.error = L"Vulkan loader не надає базові instance functions.";
        return result;
    }

    uint32_t count = 0;
    if (enumerateExtensions(nullptr, &count, nullptr) == VK_SUCCESS) {
        std::vector<VkExtensionProperties> extensions(count);
        if (count == 0 || enumerateExtensions(nullptr, &count, extensions.data()) == VK_SUCCESS) {
            for (uint32_t i = 0; i < count && i < extensions.size(); ++i) {
                const auto& name = extensions[i].extensionName;
                result.availableExtensions.push_back(Widen(std::string_view(name, strnlen(name, sizeof(name)))));
            }
        }
    }
    count = 0;
    if (enumerateLayers(&count, nullptr) == VK_SUCCESS) {
        std::vector<VkLayerProperties> layers(count);
        if (count == 0 || enumerateLayers(&count, layers.data()) == VK_SUCCESS) {
            for (uint32_t i = 0; i < count && i < layers.size(); ++i) {
                const auto& name = layers[i].layerName;
                result.availableLayers.push_back(Widen(std::string_view(name, strnlen(name, sizeof(name)))));
            }
        }
    }
    for (const std::wstring& required : result.mandatoryExtensions) {
        if (std::find(result.availableExtensions.begin(), result.availableExtensions.end(), required) ==
            result.availableExtensions.end()) {
            result.createInstanceResult = L"VK_ERROR_EXTENSION_NOT_PRESENT";
            result.status = 2;
            result.error = L"Відсутнє обов'язкове Vulkan instance extension: " + required;
            return result;
        }
    }

    VkApplicationInfo app{};
    app.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
    app.pApplicationName = "TARVONIX VOLLEY";
    app.applicationVersion = 0x3003;
    app.pEngineName = "TARV PLAYABLE ENGINE";
    app.engineVersion = 0x3003;
    app.apiVersion = negotiated;
    const char* extensionNames[] = {VK_KHR_SURFACE_EXTENSION_NAME, VK_KHR_WIN32_SURFACE_EXTENSION_NAME};
    VkInstanceCreateInfo info{};
    info.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
    info.pApplicationInfo = &app;
    info.enabledExtensionCount = 2;
    info.ppEnabledExtensionNames = extensionNames;
    VkInstance instance = VK_NULL_HANDLE;
    const int32_t created = forcedCreateResult != 0 ? forcedCreateResult : createInstance(&info, nullptr, &instance);
    result.createInstanceResult = VkResultName(created) + L" (" + std::to_wstring(created) + L")";
    if (created != VK_SUCCESS) {
        result.status = 3;
        result.error = L"vkCreateInstance завершився з " + VkResultName(created) + L".";
        return result;
    }

    if (FindSuitableDevice(gipa, instance, result)) {
        result.status = 0;
        result.usable = true;
        result.error = L"Графічний модуль TARVONIX 3D готовий.";
    } else {
        result.status = 5;
        result.error =
            L"GPU/driver does not provide the Vulkan graphics queue and swapchain capability required by the current "
            L"renderer.";
    }
    return result;
}

GraphicsDiagnostics GraphicsPreflight::Run() {
    try {
        return RunGraphicsPreflight(ReadVulkanQaFault(), SystemVulkanLoader());
    } catch (...) {
        GraphicsDiagnostics failed;
        failed.error = L"Graphics preflight failed unexpectedly.";
        return failed;
    }
}

std::wstring GraphicsDiagnostics::CompactReport() const {
    const std::wstring nl = L"\r\n";
    std::wstring r;
    r += L"TARVONIX GRAPHICS REPORT" + nl + nl;
    r += L"Game:" + nl + L"0.0.03.5-r1" + nl + nl;
    r += L"Windows:" + nl + windowsVersion + nl + nl;
    r += L"Windows adapter:" + nl + windowsAdapter + nl + nl;
    r += L"GPU:" + nl + gpuName + L" (VEN " + Hex(vendorId) + L", DEV " + Hex(deviceId) + L")" + nl + nl;
    r += L"Driver:" + nl + driverVersion + nl + nl;
    r += L"Vulkan loader:" + nl + loaderPath + nl + nl;
    r += L"Supported Vulkan:" + nl + supportedVulkan + nl + nl;
    r += L"Requested Vulkan:" + nl + requestedVulkan + nl + nl;
    r += L"Negotiated Vulkan:" + nl + negotiatedVulkan + nl + nl;
    r += L"Mandatory extensions:" + nl + Join(mandatoryExtensions);
    r += nl + nl + L"Optional extensions:" + nl + Join(optionalExtensions);
    r += nl + nl + L"Requested layers:" + nl + Join(requestedLayers);
    r += nl + nl + L"vkCreateInstance:" + nl + createInstanceResult;
    r += nl + nl + L"Error:" + nl + error + nl;
    return r;
}

}  // namespace tarvo::renderer
