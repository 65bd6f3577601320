#pragma once

#include <cstdint>
#include <string>

namespace tarvo::renderer {

// Outcome of a trial Direct3D 11 device on the first hardware adapter.
struct D3D11Diagnostics {
    bool ready = false;
    std::wstring gpuName = L"НЕ ВИЗНАЧЕНО";
    uint32_t vendorId = 0;
    uint32_t deviceId = 0;
    std::wstring featureLevel = L"НЕДОСТУПНО";  // "11.1", "11.0", "10.1", "10.0" or "UNSUPPORTED"
    int32_t hresult = 0;                         // the call that decided the outcome
    std::wstring statusText;

    // One line: "Direct3D11=READY; GPU=...; VEN=0x....; DEV=0x....; FeatureLevel=...; HRESULT=0x...; Status=...".
    std::wstring CompactReport() const;
};

class D3D11Preflight {
public:
    // Creates and at once releases a trial device. Never throws.
    static D3D11Diagnostics Run();
};

}  // namespace tarvo::renderer
