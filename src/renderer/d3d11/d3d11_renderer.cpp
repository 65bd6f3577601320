#include "renderer/d3d11/d3d11_renderer.h"

#include "renderer/d3d11/d3d11_impl.h"

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

D3D11Renderer::D3D11Renderer() : impl_(std::make_unique<Impl>()) {}
D3D11Renderer::~D3D11Renderer() = default;

GraphicsDiagnostics D3D11Renderer::Preflight() const {
    return D3D11DiagnosticsToGraphics(D3D11Preflight::Run());
}

bool D3D11Renderer::Initialize(HWND window, const std::filesystem::path&) {
    try {
        return impl_->Initialize(window);
    } catch (...) {
        impl_->Shutdown();
        impl_->lastError = L"Direct3D 11 renderer initialization failed unexpectedly.";
        return false;
    }
}

bool D3D11Renderer::Render(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) {
    try {
        return impl_->Draw(simulation, overlay);
    } catch (...) {
        // Out of memory while building the scene: this frame is lost, the backend is not.
        impl_->lastError = L"D3D11 frame failed unexpectedly.";
        return false;
    }
}

void D3D11Renderer::Resize() { impl_->resizePending = true; }
void D3D11Renderer::SetVSync(bool enabled) { impl_->vsync = enabled; }
void D3D11Renderer::Shutdown() { impl_->Shutdown(); }
bool D3D11Renderer::Ready() const { return impl_->ready; }
const std::wstring& D3D11Renderer::DeviceName() const { return impl_->deviceName; }
const std::wstring& D3D11Renderer::LastError() const { return impl_->lastError; }
RenderBackendKind D3D11Renderer::Kind() const { return RenderBackendKind::Direct3D11; }
bool D3D11Renderer::ImportedCharacterReady() const { return impl_->character.Ready(); }
bool D3D11Renderer::ImportedWeaponReady() const { return impl_->weapon.Ready(); }

}  // namespace tarvo::renderer
