#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/file_utils.h"
#include "renderer/graphics_preflight_probe.h"
#include "support/child_process.h"
#include "support/temp_folder.h"

namespace tarvo::renderer {
namespace {

// A stand-in for the Vulkan loader: every entry point the probe asks for by name.
struct FakeVulkan {
    bool opens = true;
    bool exportsEntry = true;
    bool hasEnumerateVersion = true;
    uint32_t instanceVersion = VK_MAKE_API_VERSION(0, 1, 3, 250);
    bool hasBaseFunctions = true;
    std::vector<const char*> extensions{"VK_KHR_surface", "VK_KHR_win32_surface"};
    std::vector<const char*> layers{"VK_LAYER_TEST"};
    VkResult createResult = VK_SUCCESS;
    struct Device {
        const char* name;
        uint32_t vendor, device, driver;
        bool graphics, swapchain;
    };
    std::vector<Device> devices{{"Fake GPU", 0x1234, 0x5678, 42, true, true}};

    int opened = 0, closed = 0, createCalls = 0, destroyCalls = 0;
};

FakeVulkan* fake = nullptr;

VkPhysicalDevice DeviceHandle(size_t i) { return reinterpret_cast<VkPhysicalDevice>(uintptr_t(i + 1)); }
const FakeVulkan::Device& DeviceOf(VkPhysicalDevice handle) { return fake->devices[uintptr_t(handle) - 1]; }

VKAPI_ATTR VkResult VKAPI_CALL EnumerateVersion(uint32_t* version) {
    *version = fake->instanceVersion;
    return VK_SUCCESS;
}
VKAPI_ATTR VkResult VKAPI_CALL EnumerateExtensions(const char*, uint32_t* count, VkExtensionProperties* out) {
    if (out) {
        for (uint32_t i = 0; i < *count && i < fake->extensions.size(); ++i) {
            std::strcpy(out[i].extensionName, fake->extensions[i]);
        }
    }
    *count = static_cast<uint32_t>(fake->extensions.size());
    return VK_SUCCESS;
}
VKAPI_ATTR VkResult VKAPI_CALL EnumerateLayers(uint32_t* count, VkLayerProperties* out) {
    if (out) {
        for (uint32_t i = 0; i < *count && i < fake->layers.size(); ++i) std::strcpy(out[i].layerName, fake->layers[i]);
    }
    *count = static_cast<uint32_t>(fake->layers.size());
    return VK_SUCCESS;
}
VKAPI_ATTR VkResult VKAPI_CALL CreateInstance(const VkInstanceCreateInfo* info, const VkAllocationCallbacks*,
                                              VkInstance* instance) {
    ++fake->createCalls;
    EXPECT_EQ(info->enabledExtensionCount, 2u);
    EXPECT_STREQ(info->pApplicationInfo->pApplicationName, "TARVONIX VOLLEY");
    EXPECT_EQ(info->pApplicationInfo->apiVersion,
              fake->hasEnumerateVersion ? std::min(fake->instanceVersion, 0x401000u) : VK_API_VERSION_1_0);
    *instance = reinterpret_cast<VkInstance>(uintptr_t(0x77));
    return fake->createResult;
}
VKAPI_ATTR void VKAPI_CALL DestroyInstance(VkInstance, const VkAllocationCallbacks*) { ++fake->destroyCalls; }
VKAPI_ATTR VkResult VKAPI_CALL EnumerateDevices(VkInstance, uint32_t* count, VkPhysicalDevice* out) {
    if (out) {
        for (uint32_t i = 0; i < *count && i < fake->devices.size(); ++i) out[i] = DeviceHandle(i);
    }
    *count = static_cast<uint32_t>(fake->devices.size());
    return VK_SUCCESS;
}
VKAPI_ATTR void VKAPI_CALL DeviceProperties(VkPhysicalDevice d, VkPhysicalDeviceProperties* p) {
    *p = {};
    std::strcpy(p->deviceName, DeviceOf(d).name);
    p->vendorID = DeviceOf(d).vendor;
    p->deviceID = DeviceOf(d).device;
    p->driverVersion = DeviceOf(d).driver;
}
VKAPI_ATTR void VKAPI_CALL QueueFamilies(VkPhysicalDevice d, uint32_t* count, VkQueueFamilyProperties* out) {
    if (out && *count >= 2) {
        out[0] = {};
        out[0].queueFlags = VK_QUEUE_TRANSFER_BIT;
        out[1] = {};
        out[1].queueFlags = DeviceOf(d).graphics ? VK_QUEUE_GRAPHICS_BIT : VK_QUEUE_COMPUTE_BIT;
    }
    *count = 2;
}
VKAPI_ATTR VkResult VKAPI_CALL DeviceExtensions(VkPhysicalDevice d, const char*, uint32_t* count,
                                                VkExtensionProperties* out) {
    const char* names[] = {"VK_KHR_maintenance1", "VK_KHR_swapchain"};
    const uint32_t n = DeviceOf(d).swapchain ? 2 : 1;
    if (out) {
        for (uint32_t i = 0; i < *count && i < n; ++i) std::strcpy(out[i].extensionName, names[i]);
    }
    *count = n;
    return VK_SUCCESS;
}

VKAPI_ATTR PFN_vkVoidFunction VKAPI_CALL GetProc(VkInstance instance, const char* name) {
    const std::string n(name);
    const auto fnp = [](auto f) { return reinterpret_cast<PFN_vkVoidFunction>(f); };
    if (!instance) {
        if (n == "vkEnumerateInstanceVersion") return fake->hasEnumerateVersion ? fnp(EnumerateVersion) : nullptr;
        if (!fake->hasBaseFunctions) return nullptr;
        if (n == "vkEnumerateInstanceExtensionProperties") return fnp(EnumerateExtensions);
        if (n == "vkEnumerateInstanceLayerProperties") return fnp(EnumerateLayers);
        if (n == "vkCreateInstance") return fnp(CreateInstance);
        return nullptr;
    }
    if (n == "vkDestroyInstance") return fnp(DestroyInstance);
    if (n == "vkEnumeratePhysicalDevices") return fnp(EnumerateDevices);
    if (n == "vkGetPhysicalDeviceProperties") return fnp(DeviceProperties);
    if (n == "vkGetPhysicalDeviceQueueFamilyProperties") return fnp(QueueFamilies);
    if (n == "vkEnumerateDeviceExtensionProperties") return fnp(DeviceExtensions);
    return nullptr;
}

VulkanLoaderAccess FakeLoader(FakeVulkan& f) {
    fake = &f;
    VulkanLoaderAccess access;
    access.open = [&f](std::wstring& path) {
        if (!f.opens) return false;
        ++f.opened;
        path = L"C:\\fake\\vulkan-1.dll";
        return true;
    };
    access.entry = [&f]() -> PFN_vkGetInstanceProcAddr { return f.exportsEntry ? GetProc : nullptr; };
    access.close = [&f]() { ++f.closed; };
    return access;
}

TEST(GraphicsPreflight, ReadyMachineFillsEveryField) {
    FakeVulkan f;
    f.devices = {{"No Swapchain GPU", 0x1111, 0x2222, 1, true, false}, {"Фейк GPU", 0x10DE, 0x2684, 5, true, true}};
    const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
    EXPECT_EQ(d.status, 0);
    EXPECT_TRUE(d.usable);
    EXPECT_EQ(d.gpuName, L"Фейк GPU");  // the second device: the first cannot present
    EXPECT_EQ(d.vendorId, 0x10DEu);
    EXPECT_EQ(d.deviceId, 0x2684u);
    EXPECT_EQ(d.driverVersion, L"5 (Vulkan driver value)");
    EXPECT_TRUE(d.loaderFound);
    EXPECT_EQ(d.loaderPath, L"C:\\fake\\vulkan-1.dll");
    EXPECT_TRUE(d.instanceVersionQueried);
    EXPECT_EQ(d.supportedVulkan, L"1.3.250");
    EXPECT_EQ(d.negotiatedVulkan, L"1.1.0");
    EXPECT_EQ(d.requestedVulkan, L"1.1.0");
    EXPECT_EQ(d.availableExtensions, (std::vector<std::wstring>{L"VK_KHR_surface", L"VK_KHR_win32_surface"}));
    EXPECT_EQ(d.availableLayers, (std::vector<std::wstring>{L"VK_LAYER_TEST"}));
    EXPECT_TRUE(d.requestedLayers.empty());
    EXPECT_EQ(d.createInstanceResult, L"VK_SUCCESS (0)");
    EXPECT_EQ(d.error, L"Графічний модуль TARVONIX 3D готовий.");
    EXPECT_FALSE(d.windowsVersion.empty());
    EXPECT_EQ(d.windowsVersion.rfind(L"Windows ", 0), 0u);
    EXPECT_EQ(f.destroyCalls, 1);
    EXPECT_EQ(f.opened, 1);
    EXPECT_EQ(f.closed, 1);
}

TEST(GraphicsPreflight, FailuresStopEarlyWithTheirStatus) {
    {
        FakeVulkan f;
        f.opens = false;
        const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
        EXPECT_EQ(d.status, 1);
        EXPECT_FALSE(d.loaderFound);
        EXPECT_EQ(d.loaderPath, L"НЕ ЗНАЙДЕНО");
        EXPECT_EQ(d.error, L"vulkan-1.dll не знайдено. Встановіть офіційний драйвер GPU.");
        EXPECT_EQ(d.createInstanceResult, L"NOT_CALLED");
        EXPECT_EQ(f.closed, 0);
    }
    {
        FakeVulkan f;
        f.exportsEntry = false;
        const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
        EXPECT_EQ(d.status, 6);
        EXPECT_EQ(d.error, L"Vulkan loader не надає vkGetInstanceProcAddr.");
        EXPECT_EQ(f.closed, 1);
    }
    {
        FakeVulkan f;
        f.hasBaseFunctions = false;
        const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
        EXPECT_EQ(d.status, 6);
        EXPECT_EQ(d.error, L"Vulkan loader не надає базові instance functions.");
        EXPECT_EQ(d.supportedVulkan, L"1.3.250");  // filled before the failure
    }
    {
        FakeVulkan f;
        f.extensions = {"VK_KHR_surface"};
        const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
        EXPECT_EQ(d.status, 2);
        EXPECT_EQ(d.createInstanceResult, L"VK_ERROR_EXTENSION_NOT_PRESENT");
        EXPECT_EQ(d.error, L"Відсутнє обов'язкове Vulkan instance extension: VK_KHR_win32_surface");
        EXPECT_EQ(f.createCalls, 0);
    }
    {
        FakeVulkan f;
        f.createResult = VK_ERROR_OUT_OF_HOST_MEMORY;
        const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
        EXPECT_EQ(d.status, 3);
        EXPECT_EQ(d.createInstanceResult, L"VK_ERROR_OUT_OF_HOST_MEMORY (-1)");
        EXPECT_EQ(d.error, L"vkCreateInstance завершився з VK_ERROR_OUT_OF_HOST_MEMORY.");
    }
    {
        FakeVulkan f;
        f.devices = {{"Compute only", 1, 2, 3, false, true}, {"No swapchain", 1, 2, 3, true, false}};
        const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
        EXPECT_EQ(d.status, 5);
        EXPECT_FALSE(d.usable);
        EXPECT_EQ(d.gpuName, L"НЕ ВИЗНАЧЕНО");
        EXPECT_EQ(d.error, L"GPU/driver does not provide the Vulkan graphics queue and swapchain capability required "
                           L"by the current renderer.");
        EXPECT_EQ(f.destroyCalls, 1);
    }
    {
        FakeVulkan f;
        f.hasEnumerateVersion = false;  // a 1.0 loader
        const GraphicsDiagnostics d = RunGraphicsPreflight("", FakeLoader(f));
        EXPECT_FALSE(d.instanceVersionQueried);
        EXPECT_EQ(d.supportedVulkan, L"1.0.0");
        EXPECT_EQ(d.negotiatedVulkan, L"1.0.0");
    }
}

TEST(GraphicsPreflight, QaFaultWordsActOutFailures) {
    {
        FakeVulkan f;
        const GraphicsDiagnostics d = RunGraphicsPreflight("loader_missing", FakeLoader(f));
        EXPECT_EQ(d.status, 1);
        EXPECT_FALSE(d.loaderFound);
        EXPECT_EQ(f.opened, 0);  // not even opened
    }
    {
        FakeVulkan f;
        const GraphicsDiagnostics d = RunGraphicsPreflight("incompatible_driver", FakeLoader(f));
        EXPECT_EQ(d.status, 3);
        EXPECT_EQ(f.createCalls, 0);
        EXPECT_EQ(d.createInstanceResult, L"VK_ERROR_INCOMPATIBLE_DRIVER (-9)");
        EXPECT_EQ(d.error, L"vkCreateInstance завершився з VK_ERROR_INCOMPATIBLE_DRIVER.");
        EXPECT_EQ(d.supportedVulkan, L"1.3.250");
        EXPECT_EQ(d.availableExtensions.size(), 2u);
        EXPECT_EQ(f.closed, 1);
    }
    {
        FakeVulkan f;
        const GraphicsDiagnostics d = RunGraphicsPreflight("create_instance_failed", FakeLoader(f));
        EXPECT_EQ(d.status, 3);
        EXPECT_EQ(d.createInstanceResult, L"VK_ERROR_INITIALIZATION_FAILED (-3)");
    }
    for (const char* ignored : {"LOADER_MISSING", "loader_missing ", "loader", "nonsense"}) {
        FakeVulkan f;
        EXPECT_EQ(RunGraphicsPreflight(ignored, FakeLoader(f)).status, 0) << ignored;
    }
}

TEST(GraphicsPreflight, EnvironmentWordIsReadWithinItsBuffer) {
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", "incompatible_driver");
    EXPECT_EQ(ReadVulkanQaFault(), "incompatible_driver");
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", std::string(63, 'x').c_str());
    EXPECT_EQ(ReadVulkanQaFault().size(), 63u);
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", std::string(64, 'x').c_str());
    EXPECT_EQ(ReadVulkanQaFault(), "");
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", nullptr);
    EXPECT_EQ(ReadVulkanQaFault(), "");
}

TEST(GraphicsPreflight, RealLoaderUnderTheTestPlatform) {
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", nullptr);
    const GraphicsDiagnostics real = GraphicsPreflight::Run();
    ASSERT_TRUE(real.usable) << std::string(real.error.begin(), real.error.end());
    EXPECT_TRUE(real.loaderFound);
    EXPECT_NE(real.gpuName.find(L"llvmpipe"), std::wstring::npos);
    EXPECT_EQ(real.negotiatedVulkan, L"1.1.0");

    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", "loader_missing");
    const GraphicsDiagnostics missing = GraphicsPreflight::Run();
    SetEnvironmentVariableA("TARVO_VULKAN_QA_FAULT", nullptr);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.loaderPath, L"НЕ ЗНАЙДЕНО");
}

TEST(GraphicsPreflight, ALoaderPlantedBesideTheProgramOrInItsWorkingFolderIsNeverRun) {
    // Both the preflight and the backend open the loader; a DLL of its name planted where the
    // program starts must not run, and the system's loader does the work instead.
    const std::filesystem::path bin = distribution::ExecutableDirectory();
    testing::TempFolder folder;
    std::filesystem::copy_file(bin / "vulkan_loader_probe.exe", folder / "vulkan_loader_probe.exe");
    std::filesystem::copy_file(bin / "planted-vulkan.dll", folder / "vulkan-1.dll");
    const std::wstring shaders = L"\"" + (bin / "assets" / "shaders").wstring() + L"\"";
    const testing::ProgramRun run = testing::RunProgram(folder / "vulkan_loader_probe.exe", shaders, folder.Path());
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_FALSE(std::filesystem::exists(folder / "planted-dll-ran")) << run.output;
    EXPECT_NE(run.output.find("preflight 0 "), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find(std::string(folder.Path().string())), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("backend 1"), std::string::npos) << run.output;
}

TEST(GraphicsPreflight, TextHelpers) {
    using namespace preflight_detail;
    EXPECT_EQ(Version(0x00401000u), L"1.1.0");
    EXPECT_EQ(Version(0xE0401000u), L"1.1.0");  // the variant bits are ignored
    EXPECT_EQ(Version(VK_MAKE_API_VERSION(0, 1, 3, 275)), L"1.3.275");
    EXPECT_EQ(Hex(0x10DE), L"0x10DE");
    EXPECT_EQ(Hex(0), L"0x0000");
    EXPECT_EQ(Hex(0x12345), L"0x12345");
    EXPECT_EQ(Join({}), L"NONE");
    EXPECT_EQ(Join({L"a", L"b"}), L"a, b");
    EXPECT_EQ(VkResultName(-9), L"VK_ERROR_INCOMPATIBLE_DRIVER");
    EXPECT_EQ(VkResultName(-2), L"VK_ERROR_OUT_OF_DEVICE_MEMORY");
    EXPECT_EQ(VkResultName(-13), L"VK_RESULT(-13)");
    EXPECT_EQ(Widen("\xD0\x96"), L"Ж");
    EXPECT_EQ(Widen("a\xFF"), L"a\uFFFD");

    uint32_t vendor = 0, device = 0;
    ParseAdapterIds(L"PCI\\VEN_10DE&DEV_2684&SUBSYS_1", vendor, device);
    EXPECT_EQ(vendor, 0x10DEu);
    EXPECT_EQ(device, 0x2684u);
    vendor = device = 0;
    ParseAdapterIds(L"ROOT\\DEV_1234", vendor, device);  // without VEN_ nothing is read
    EXPECT_EQ(vendor, 0u);
    EXPECT_EQ(device, 0u);
    ParseAdapterIds(L"PCI\\VEN_ZZ&DEV_1234", vendor, device);
    EXPECT_EQ(device, 0u);  // a failed vendor parse stops the walk
    ParseAdapterIds(L"PCI\\VEN_8086&DEV_9A", vendor, device);
    EXPECT_EQ(vendor, 0x8086u);
    EXPECT_EQ(device, 0x9Au);
}

TEST(GraphicsPreflight, ReportLayout) {
    GraphicsDiagnostics d;
    d.windowsVersion = L"Windows 10.0 build 22631 x64";
    d.windowsAdapter = L"Adapter";
    d.gpuName = L"GPU X";
    d.vendorId = 0x10DE;
    d.mandatoryExtensions = {L"VK_KHR_surface", L"VK_KHR_win32_surface"};
    d.error = L"Boom";
    const std::wstring expected =
        L"TARVONIX GRAPHICS REPORT\r\n\r\nGame:\r\n0.0.03.5-r1\r\n\r\nWindows:\r\nWindows 10.0 build 22631 x64\r\n\r\n"
        L"Windows adapter:\r\nAdapter\r\n\r\nGPU:\r\nGPU X (VEN 0x10DE, DEV 0x0000)\r\n\r\n"
        L"Driver:\r\nНЕ ВИЗНАЧЕНО\r\n\r\nVulkan loader:\r\nНЕ ЗНАЙДЕНО\r\n\r\nSupported Vulkan:\r\nНЕДОСТУПНО\r\n\r\n"
        L"Requested Vulkan:\r\n1.1.0\r\n\r\nNegotiated Vulkan:\r\nНЕДОСТУПНО\r\n\r\n"
        L"Mandatory extensions:\r\nVK_KHR_surface, VK_KHR_win32_surface\r\n\r\nOptional extensions:\r\nNONE"
        L"\r\n\r\nRequested layers:\r\nNONE\r\n\r\nvkCreateInstance:\r\nNOT_CALLED\r\n\r\nError:\r\nBoom\r\n";
    EXPECT_EQ(d.CompactReport(), expected);
}

}  // namespace
}  // namespace tarvo::renderer
