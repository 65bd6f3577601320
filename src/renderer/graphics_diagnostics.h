#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvo::renderer {

// What the graphics probe found out about this machine. Fields the probe did not
// reach keep their placeholders. Status codes: 0 ready, 1 Vulkan loader missing,
// 2 mandatory instance extension missing, 3 instance creation failed, 5 no suitable
// device (also a Direct3D 11 path that is not ready), 6 not determined or loader
// incomplete. usable is true only together with status 0.
struct GraphicsDiagnostics {
    int32_t status = 6;
    bool usable = false;
    std::wstring windowsVersion;
    std::wstring windowsAdapter;
    std::wstring gpuName = L"НЕ ВИЗНАЧЕНО";
    uint32_t vendorId = 0;
    uint32_t deviceId = 0;
    std::wstring driverVersion = L"НЕ ВИЗНАЧЕНО";
    bool loaderFound = false;
    std::wstring loaderPath = L"НЕ ЗНАЙДЕНО";
    bool instanceVersionQueried = false;
    std::wstring supportedVulkan = L"НЕДОСТУПНО";
    std::wstring requestedVulkan = L"1.1.0";
    std::wstring negotiatedVulkan = L"НЕДОСТУПНО";
    std::vector<std::wstring> availableExtensions;
    std::vector<std::wstring> mandatoryExtensions;
    std::vector<std::wstring> optionalExtensions;
    std::vector<std::wstring> availableLayers;
    std::vector<std::wstring> requestedLayers;
    std::wstring createInstanceResult = L"NOT_CALLED";
    std::wstring error;

    // Multi-line plain-text report (CR LF line ends) for the graphics screen.
    std::wstring CompactReport() const;
};

// Probes Windows, the Vulkan loader and its devices without creating any
// rendering object. "TARVO_VULKAN_QA_FAULT" = "loader_missing", "incompatible_driver"
// or "create_instance_failed" acts out that failure. Never throws.
class GraphicsPreflight {
public:
    static GraphicsDiagnostics Run();
};

}  // namespace tarvo::renderer
