#include "renderer/d3d11/d3d11_renderer.h"

namespace tarvo::renderer {

GraphicsDiagnostics D3D11DiagnosticsToGraphics(const D3D11Diagnostics& probe) {
    GraphicsDiagnostics result;
    result.status = probe.ready ? 0 : 5;
    result.usable = probe.ready;
    result.windowsAdapter = probe.gpuName;
    result.gpuName = probe.gpuName;
    result.vendorId = probe.vendorId;
    result.deviceId = probe.deviceId;
    result.supportedVulkan = L"D3D_FEATURE_LEVEL_" + probe.featureLevel;
    result.createInstanceResult = L"NOT_APPLICABLE_D3D11";
    result.error = probe.statusText;
    return result;
}

GraphicsDiagnostics D3D11Renderer::Preflight() const {
    return D3D11DiagnosticsToGraphics(D3D11Preflight::Run());
}

RenderBackendKind D3D11Renderer::Kind() const { return RenderBackendKind::Direct3D11; }

}  // namespace tarvo::renderer
