#include "renderer/d3d11/d3d11_preflight_probe.h"

#include <d3d11.h>
#include <wrl/client.h>

#include <cwchar>

namespace tarvo::renderer {

using Microsoft::WRL::ComPtr;

namespace {

class SystemProbe final : public D3D11ProbeSystem {
public:
    HRESULT CreateFactory() override {
        return CreateDXGIFactory1(__uuidof(IDXGIFactory1), reinterpret_cast<void**>(factory_.ReleaseAndGetAddressOf()));
    }
    HRESULT DescribeAdapter(UINT index, DXGI_ADAPTER_DESC1& description) override {
        ComPtr<IDXGIAdapter1> adapter;
        const HRESULT hr = factory_->EnumAdapters1(index, &adapter);
        if (FAILED(hr)) return hr;
        return adapter->GetDesc1(&description);
    }
    HRESULT CreateTrialDevice(UINT index, const D3D_FEATURE_LEVEL* levels, UINT levelCount,
                              D3D_FEATURE_LEVEL& reached) override {
        ComPtr<IDXGIAdapter1> adapter;
        HRESULT hr = factory_->EnumAdapters1(index, &adapter);
        if (FAILED(hr)) return hr;
        ComPtr<ID3D11Device> device;
        ComPtr<ID3D11DeviceContext> context;
        D3D_FEATURE_LEVEL level{};
        hr = D3D11CreateDevice(adapter.Get(), D3D_DRIVER_TYPE_UNKNOWN, nullptr, D3D11_CREATE_DEVICE_BGRA_SUPPORT,
                               levels, levelCount, D3D11_SDK_VERSION, &device, &level, &context);
        if (SUCCEEDED(hr)) reached = level;
        return hr;
    }

private:
    ComPtr<IDXGIFactory1> factory_;
};

std::wstring FeatureLevelText(D3D_FEATURE_LEVEL level) {
    switch (level) {
    case D3D_FEATURE_LEVEL_11_1: return L"11.1";
    case D3D_FEATURE_LEVEL_11_0: return L"11.0";
    case D3D_FEATURE_LEVEL_10_1: return L"10.1";
    case D3D_FEATURE_LEVEL_10_0: return L"10.0";
    default: return L"UNSUPPORTED";
    }
}

}  // namespace

std::unique_ptr<D3D11ProbeSystem> SystemD3D11Probe() { return std::make_unique<SystemProbe>(); }

std::wstring HResultText(HRESULT hr) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (length > 0 && buffer) text.assign(buffer, length);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    if (text.empty()) return L"Unknown Windows graphics error";
    return text;
}

D3D11Diagnostics RunD3D11Preflight(D3D11ProbeSystem& system) {
    D3D11Diagnostics result;
    HRESULT hr = system.CreateFactory();
    if (FAILED(hr)) {
        result.hresult = hr;
        result.statusText = L"DXGI factory unavailable: " + HResultText(hr);
        return result;
    }
    UINT chosen = 0;
    bool found = false;
    for (UINT index = 0;; ++index) {
        DXGI_ADAPTER_DESC1 description{};
        hr = system.DescribeAdapter(index, description);
        if (hr == DXGI_ERROR_NOT_FOUND) break;
        if (FAILED(hr)) continue;
        if (description.Flags & DXGI_ADAPTER_FLAG_SOFTWARE) continue;
        chosen = index;
        found = true;
        result.gpuName = description.Description;
        result.vendorId = description.VendorId;
        result.deviceId = description.DeviceId;
        break;
    }
    if (!found) {
        result.statusText = L"No hardware DXGI adapter was found.";
        return result;
    }

    static const D3D_FEATURE_LEVEL kLevels[] = {D3D_FEATURE_LEVEL_11_1, D3D_FEATURE_LEVEL_11_0,
                                                D3D_FEATURE_LEVEL_10_1, D3D_FEATURE_LEVEL_10_0};
    D3D_FEATURE_LEVEL reached = static_cast<D3D_FEATURE_LEVEL>(0);
    hr = system.CreateTrialDevice(chosen, kLevels, 4, reached);
    // Systems without 11.1 support reject any list that names it.
    if (hr == E_INVALIDARG) hr = system.CreateTrialDevice(chosen, kLevels + 1, 3, reached);
    result.hresult = hr;
    result.featureLevel = FeatureLevelText(SUCCEEDED(hr) ? reached : static_cast<D3D_FEATURE_LEVEL>(0));
    result.ready = SUCCEEDED(hr) && reached >= D3D_FEATURE_LEVEL_10_0;
    result.statusText = result.ready ? L"Direct3D 11 rendering path is available."
                                     : L"Direct3D 11 device creation failed: " + HResultText(hr);
    return result;
}

D3D11Diagnostics D3D11Preflight::Run() {
    try {
        auto system = SystemD3D11Probe();
        return RunD3D11Preflight(*system);
    } catch (...) {
        D3D11Diagnostics failed;
        failed.statusText = L"Direct3D 11 preflight failed unexpectedly.";
        return failed;
    }
}

std::wstring D3D11Diagnostics::CompactReport() const {
    wchar_t ids[64];
    std::swprintf(ids, 64, L"; VEN=0x%04X; DEV=0x%04X", vendorId, deviceId);
    wchar_t hr[32];
    std::swprintf(hr, 32, L"; HRESULT=0x%X", static_cast<uint32_t>(hresult));
    return std::wstring(L"Direct3D11=") + (ready ? L"READY" : L"UNSUPPORTED") + L"; GPU=" + gpuName + ids +
           L"; FeatureLevel=" + featureLevel + hr + L"; Status=" + statusText;
}

}  // namespace tarvo::renderer
