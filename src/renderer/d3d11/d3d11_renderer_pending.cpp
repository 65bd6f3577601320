// Placeholder for the Direct3D 11 device, frame and HUD, which are not built yet:
// Initialize refuses with a fixed sentence so the shell reports it instead of
// drawing nothing.
#include <string>

#include "renderer/d3d11/d3d11_renderer.h"

namespace tarvo::renderer {

struct D3D11Renderer::Impl {
    bool ready = false;
    std::wstring deviceName;
    std::wstring lastError;
};

D3D11Renderer::D3D11Renderer() : impl_(std::make_unique<Impl>()) {}
D3D11Renderer::~D3D11Renderer() = default;

bool D3D11Renderer::Initialize(HWND, const std::filesystem::path&) {
    impl_->lastError = L"The Direct3D 11 renderer is not available in this build.";
    impl_->ready = false;
    return false;
}

bool D3D11Renderer::Render(const gameplay::TrainingSimulation&, const RenderOverlay&) {
    if (impl_->lastError.empty()) impl_->lastError = L"The Direct3D 11 renderer is not initialized.";
    return false;
}

void D3D11Renderer::Resize() {}
void D3D11Renderer::SetVSync(bool) {}
void D3D11Renderer::Shutdown() { impl_->ready = false; }
bool D3D11Renderer::Ready() const { return impl_->ready; }
const std::wstring& D3D11Renderer::DeviceName() const { return impl_->deviceName; }
const std::wstring& D3D11Renderer::LastError() const { return impl_->lastError; }
bool D3D11Renderer::ImportedCharacterReady() const { return false; }
bool D3D11Renderer::ImportedWeaponReady() const { return false; }

}  // namespace tarvo::renderer
