#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "renderer/d3d11/d3d11_preflight_probe.h"
#include "renderer/d3d11/d3d11_renderer.h"
#include "renderer/renderer_selection.h"

namespace tarvo::renderer {
namespace {

using Kind = RenderBackendKind;

GraphicsDiagnostics VulkanProbe(bool usable) {
    GraphicsDiagnostics g;
    g.usable = usable;
    g.status = usable ? 0 : 1;
    g.createInstanceResult = usable ? L"VK_SUCCESS (0)" : L"NOT_CALLED";
    return g;
}

D3D11Diagnostics Direct3DProbe(bool ready) {
    D3D11Diagnostics d;
    d.ready = ready;
    if (ready) {
        d.gpuName = L"GPU";
        d.vendorId = 0x10DE;
        d.deviceId = 0x1;
        d.featureLevel = L"11.0";
        d.statusText = L"Direct3D 11 rendering path is available.";
    }
    return d;
}

TEST(RendererSelection, DecisionTableRowByRow) {
    struct Row {
        int requested;
        bool vulkan, direct3d;
        Kind selected;
        bool reverted;
    };
    const Row rows[] = {
        {1, true, true, Kind::Vulkan, false},       {1, true, false, Kind::Vulkan, false},
        {1, false, true, Kind::Direct3D11, true},   {1, false, false, Kind::Auto, true},
        {2, true, true, Kind::Direct3D11, false},   {2, false, true, Kind::Direct3D11, false},
        {2, true, false, Kind::Vulkan, true},       {2, false, false, Kind::Auto, true},
        {0, true, true, Kind::Vulkan, false},       {0, true, false, Kind::Vulkan, false},
        {0, false, true, Kind::Direct3D11, false},  {0, false, false, Kind::Auto, false},
        {7, true, true, Kind::Vulkan, true},        {7, false, true, Kind::Direct3D11, true},
        {-1, false, false, Kind::Auto, true},
    };
    for (const Row& row : rows) {
        const GraphicsSystemDiagnostics s = RendererSelection::Evaluate(
            VulkanProbe(row.vulkan), Direct3DProbe(row.direct3d), static_cast<Kind>(row.requested));
        SCOPED_TRACE(testing::Message() << "requested " << row.requested << " vulkan " << row.vulkan << " d3d "
                                        << row.direct3d);
        EXPECT_EQ(s.selected, row.selected);
        EXPECT_EQ(s.reverted, row.reverted);
        EXPECT_EQ(s.usable, row.selected != Kind::Auto);
        EXPECT_EQ(s.requested, static_cast<Kind>(row.requested));
        EXPECT_EQ(s.graphics.usable, row.vulkan);  // both probes are kept
        EXPECT_EQ(s.d3d11.ready, row.direct3d);
    }
}

TEST(RendererSelection, NamesMessagesAndReports) {
    EXPECT_STREQ(RendererSelection::Name(Kind::Vulkan), L"VULKAN");
    EXPECT_STREQ(RendererSelection::Name(Kind::Direct3D11), L"DIRECT3D 11");
    EXPECT_STREQ(RendererSelection::Name(Kind::Auto), L"AUTO");
    EXPECT_STREQ(RendererSelection::Name(static_cast<Kind>(9)), L"AUTO");

    const auto ready = RendererSelection::Evaluate(VulkanProbe(true), Direct3DProbe(true), Kind::Auto);
    EXPECT_EQ(ready.message, L"TARVONIX 3D READY \u2014 VULKAN");

    const auto forced = RendererSelection::Evaluate(VulkanProbe(true), Direct3DProbe(false), Kind::Direct3D11);
    EXPECT_EQ(forced.message, L"TARVONIX 3D READY \u2014 VULKAN (unsupported forced backend reverted to AUTO)");
    EXPECT_NE(forced.CompactReport().find(L"; Requested=DIRECT3D 11; Selected=VULKAN; TARVONIX3D=READY; "
                                          L"TARVONIX 3D READY \u2014 VULKAN (unsupported forced backend reverted to AUTO)"),
              std::wstring::npos);

    const auto fallback = RendererSelection::Evaluate(VulkanProbe(false), Direct3DProbe(true), Kind::Vulkan);
    EXPECT_EQ(fallback.CompactReport(),
              L"Vulkan=UNSUPPORTED (NOT_CALLED); Direct3D11=READY; GPU=GPU; VEN=0x10DE; DEV=0x0001; FeatureLevel=11.0; "
              L"HRESULT=0x0; Status=Direct3D 11 rendering path is available.; Requested=VULKAN; Selected=DIRECT3D 11; "
              L"TARVONIX3D=READY; TARVONIX 3D READY \u2014 DIRECT3D 11 (unsupported forced backend reverted to AUTO)");

    const auto blocked = RendererSelection::Evaluate(VulkanProbe(false), Direct3DProbe(false), Kind::Auto);
    const std::wstring tail = L"; TARVONIX3D=BLOCKED; Neither Vulkan nor Direct3D 11 is usable on this PC.";
    const std::wstring report = blocked.CompactReport();
    ASSERT_GE(report.size(), tail.size());
    EXPECT_EQ(report.substr(report.size() - tail.size()), tail);

    // A default record is the shell's starting state.
    const GraphicsSystemDiagnostics empty;
    EXPECT_EQ(empty.selected, Kind::Auto);
    EXPECT_FALSE(empty.usable);
    EXPECT_EQ(empty.graphics.status, 6);
    EXPECT_EQ(empty.d3d11.featureLevel, L"НЕДОСТУПНО");
}

// A DXGI stand-in with scripted adapters and device results.
class FakeDxgi : public D3D11ProbeSystem {
public:
    HRESULT factoryResult = S_OK;
    std::vector<DXGI_ADAPTER_DESC1> adapters;
    std::vector<HRESULT> deviceResults{S_OK};
    D3D_FEATURE_LEVEL highest = D3D_FEATURE_LEVEL_11_1;
    std::vector<UINT> levelCounts;
    UINT usedAdapter = 99;

    static DXGI_ADAPTER_DESC1 Adapter(const wchar_t* name, UINT vendor, UINT flags) {
        DXGI_ADAPTER_DESC1 d{};
        wcscpy(d.Description, name);
        d.VendorId = vendor;
        d.DeviceId = 0x42;
        d.Flags = flags;
        return d;
    }
    HRESULT CreateFactory() override { return factoryResult; }
    HRESULT DescribeAdapter(UINT index, DXGI_ADAPTER_DESC1& d) override {
        if (index >= adapters.size()) return DXGI_ERROR_NOT_FOUND;
        d = adapters[index];
        return S_OK;
    }
    HRESULT CreateTrialDevice(UINT index, const D3D_FEATURE_LEVEL* levels, UINT count, D3D_FEATURE_LEVEL& reached) override {
        usedAdapter = index;
        levelCounts.push_back(count);
        const HRESULT hr = deviceResults[std::min(levelCounts.size(), deviceResults.size()) - 1];
        if (SUCCEEDED(hr)) {
            for (UINT i = 0; i < count; ++i) {
                if (levels[i] <= highest) {
                    reached = levels[i];
                    return hr;
                }
            }
            return E_FAIL;  // none of the asked levels
        }
        return hr;
    }
};

TEST(D3D11Preflight, ScriptedMachines) {
    {
        FakeDxgi dxgi;
        dxgi.factoryResult = E_OUTOFMEMORY;
        const D3D11Diagnostics d = RunD3D11Preflight(dxgi);
        EXPECT_FALSE(d.ready);
        EXPECT_EQ(d.hresult, static_cast<int32_t>(E_OUTOFMEMORY));
        EXPECT_EQ(d.statusText.rfind(L"DXGI factory unavailable: ", 0), 0u);
    }
    {
        FakeDxgi dxgi;  // only the software (WARP) adapter
        dxgi.adapters = {FakeDxgi::Adapter(L"Microsoft Basic Render Driver", 0x1414, DXGI_ADAPTER_FLAG_SOFTWARE)};
        const D3D11Diagnostics d = RunD3D11Preflight(dxgi);
        EXPECT_EQ(d.statusText, L"No hardware DXGI adapter was found.");
        EXPECT_EQ(d.gpuName, L"НЕ ВИЗНАЧЕНО");
        EXPECT_EQ(d.featureLevel, L"НЕДОСТУПНО");
        EXPECT_EQ(d.hresult, 0);
        EXPECT_NE(d.CompactReport().find(L"; HRESULT=0x0; "), std::wstring::npos);
        EXPECT_TRUE(dxgi.levelCounts.empty());
    }
    {
        FakeDxgi dxgi;  // rejects 11.1 with E_INVALIDARG, supports 11.0
        dxgi.adapters = {FakeDxgi::Adapter(L"WARP", 0x1414, DXGI_ADAPTER_FLAG_SOFTWARE),
                         FakeDxgi::Adapter(L"Real GPU", 0x10DE, 0)};
        dxgi.deviceResults = {E_INVALIDARG, S_FALSE};
        dxgi.highest = D3D_FEATURE_LEVEL_11_0;
        const D3D11Diagnostics d = RunD3D11Preflight(dxgi);
        EXPECT_TRUE(d.ready);
        EXPECT_EQ(d.featureLevel, L"11.0");
        EXPECT_EQ(d.hresult, S_FALSE);  // the second call's success code
        EXPECT_EQ(dxgi.levelCounts, (std::vector<UINT>{4, 3}));
        EXPECT_EQ(dxgi.usedAdapter, 1u);
        EXPECT_EQ(d.gpuName, L"Real GPU");
        EXPECT_EQ(d.statusText, L"Direct3D 11 rendering path is available.");
        EXPECT_NE(d.CompactReport().find(L"Direct3D11=READY; GPU=Real GPU; VEN=0x10DE; DEV=0x0042; FeatureLevel=11.0; "
                                         L"HRESULT=0x1; Status="),
                  std::wstring::npos);
    }
    {
        FakeDxgi dxgi;  // a 9.x device: none of the asked levels
        dxgi.adapters = {FakeDxgi::Adapter(L"Old GPU", 0, 0)};
        dxgi.highest = D3D_FEATURE_LEVEL_9_3;
        const D3D11Diagnostics d = RunD3D11Preflight(dxgi);
        EXPECT_FALSE(d.ready);
        EXPECT_EQ(d.featureLevel, L"UNSUPPORTED");
        EXPECT_EQ(d.statusText.rfind(L"Direct3D 11 device creation failed: ", 0), 0u);
        EXPECT_NE(d.CompactReport().find(L"Direct3D11=UNSUPPORTED; GPU=Old GPU; VEN=0x0000; "), std::wstring::npos);
        EXPECT_NE(d.CompactReport().find(L"; HRESULT=0x80004005; "), std::wstring::npos);
    }
    EXPECT_EQ(HResultText(0x8FFFFFFF), L"Unknown Windows graphics error");
    const std::wstring text = HResultText(E_OUTOFMEMORY);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text.back(), L'\n');
}

TEST(D3D11Preflight, BackendPreflightAndPendingInitialize) {
    D3D11Diagnostics probe = Direct3DProbe(true);
    const GraphicsDiagnostics g = D3D11DiagnosticsToGraphics(probe);
    EXPECT_EQ(g.status, 0);
    EXPECT_TRUE(g.usable);
    EXPECT_EQ(g.windowsAdapter, L"GPU");
    EXPECT_EQ(g.gpuName, L"GPU");
    EXPECT_EQ(g.supportedVulkan, L"D3D_FEATURE_LEVEL_11.0");
    EXPECT_EQ(g.createInstanceResult, L"NOT_APPLICABLE_D3D11");
    EXPECT_EQ(g.error, probe.statusText);
    EXPECT_EQ(g.driverVersion, L"НЕ ВИЗНАЧЕНО");
    EXPECT_EQ(D3D11DiagnosticsToGraphics(Direct3DProbe(false)).status, 5);

    // The real probe on this machine is self-consistent, and the backend's own
    // Preflight reports the same outcome without an Initialize.
    const D3D11Diagnostics real = D3D11Preflight::Run();
    EXPECT_EQ(real.ready, real.featureLevel == L"11.1" || real.featureLevel == L"11.0" ||
                              real.featureLevel == L"10.1" || real.featureLevel == L"10.0");
    D3D11Renderer backend;
    EXPECT_EQ(backend.Kind(), Kind::Direct3D11);
    EXPECT_EQ(backend.Preflight().usable, real.ready);
    EXPECT_FALSE(backend.Ready());
}

}  // namespace
}  // namespace tarvo::renderer
