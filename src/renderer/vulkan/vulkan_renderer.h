#pragma once

#include <memory>

#include "renderer/render_backend.h"

namespace tarvo::renderer {

// Vulkan backend: the whole frame (world and HUD) is one CPU-projected triangle list
// drawn with a single draw call. The loader "vulkan-1.dll" is opened at run time and
// every entry point is fetched by name.
class VulkanRenderer final : public IRenderBackend {
public:
    VulkanRenderer();
    ~VulkanRenderer() override;
    VulkanRenderer(const VulkanRenderer&) = delete;
    VulkanRenderer& operator=(const VulkanRenderer&) = delete;

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

    bool ImportedCharacterTextured() const;
    bool ImportedCharacterUsedRollback() const;
    const std::wstring& ImportedCharacterStatus() const;
    const std::wstring& ImportedWeaponStatus() const;

    struct Impl;

private:
    friend struct VulkanRendererTestAccess;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tarvo::renderer
