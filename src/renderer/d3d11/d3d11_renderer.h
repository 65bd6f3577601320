#pragma once

#include <memory>

#include "renderer/d3d11/d3d11_preflight.h"
#include "renderer/render_backend.h"

namespace tarvo::renderer {

// Direct3D 11 backend: the 3D scene as one CPU-projected triangle list with one
// indexed draw, the HUD drawn with Direct2D and DirectWrite on the back buffer.
// Initialize may follow Shutdown or a failed Initialize on the same object; it starts
// clean each time. A lost device or a failed swap-chain resize clears Ready() and
// releases the device objects, so the shell can fall back or start again.
class D3D11Renderer final : public IRenderBackend {
public:
    D3D11Renderer();
    ~D3D11Renderer() override;
    D3D11Renderer(const D3D11Renderer&) = delete;
    D3D11Renderer& operator=(const D3D11Renderer&) = delete;

    // The Direct3D 11 probe expressed as a GraphicsDiagnostics (status 0 or 5).
    GraphicsDiagnostics Preflight() const override;
    bool Initialize(HWND window, const std::filesystem::path& shadersDirectory) override;
    bool Render(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) override;
    void Resize() override;
    void SetVSync(bool enabled) override;
    void Shutdown() override;
    bool Ready() const override;
    const std::wstring& DeviceName() const override;
    const std::wstring& LastError() const override;
    RenderBackendKind Kind() const override;
    bool ImportedCharacterReady() const override;
    bool ImportedWeaponReady() const override;

    struct Impl;

private:
    friend struct D3D11RendererTestAccess;
    std::unique_ptr<Impl> impl_;
};

// The Direct3D 11 probe turned into the common diagnostics record.
GraphicsDiagnostics D3D11DiagnosticsToGraphics(const D3D11Diagnostics& probe);

}  // namespace tarvo::renderer
