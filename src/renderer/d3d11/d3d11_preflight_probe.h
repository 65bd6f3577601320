#pragma once
// The Direct3D 11 probe over a replaceable view of DXGI and Direct3D 11, so tests can
// act out machines this one is not (software-only adapters, drivers refusing 11.1).

#include <windows.h>
#include <d3dcommon.h>
#include <dxgi.h>

#include <memory>
#include <string>

#include "renderer/d3d11/d3d11_preflight.h"

namespace tarvo::renderer {

class D3D11ProbeSystem {
public:
    virtual ~D3D11ProbeSystem() = default;
    virtual HRESULT CreateFactory() = 0;
    // Description of adapter `index`; DXGI_ERROR_NOT_FOUND past the last one.
    virtual HRESULT DescribeAdapter(UINT index, DXGI_ADAPTER_DESC1& description) = 0;
    // A trial device on adapter `index` asked for `levels`; the device is released at
    // once. reached is left untouched when no level was reached.
    virtual HRESULT CreateTrialDevice(UINT index, const D3D_FEATURE_LEVEL* levels, UINT levelCount,
                                      D3D_FEATURE_LEVEL& reached) = 0;
};

// The machine's own DXGI and Direct3D 11.
std::unique_ptr<D3D11ProbeSystem> SystemD3D11Probe();

D3D11Diagnostics RunD3D11Preflight(D3D11ProbeSystem& system);

// The system's text for an HRESULT without trailing line ends, or
// "Unknown Windows graphics error".
std::wstring HResultText(HRESULT hr);

}  // namespace tarvo::renderer
