#pragma once
// A render backend that hands every call to the real one it owns; test and benchmark
// wrappers derive from it and override only what they watch (usually Render).
#include <filesystem>
#include <memory>
#include <string>
#include <utility>

#include "renderer/render_backend.h"

namespace tarvo::testing {

class ForwardingBackend : public renderer::IRenderBackend {
public:
    explicit ForwardingBackend(std::unique_ptr<renderer::IRenderBackend> real) : real_(std::move(real)) {}

    renderer::GraphicsDiagnostics Preflight() const override { return real_->Preflight(); }
    bool Initialize(HWND view, const std::filesystem::path& shaders) override { return real_->Initialize(view, shaders); }
    bool Render(const gameplay::TrainingSimulation& sim, const renderer::RenderOverlay& overlay) override {
        return real_->Render(sim, overlay);
    }
    void Resize() override { real_->Resize(); }
    void SetVSync(bool on) override { real_->SetVSync(on); }
    void Shutdown() override { real_->Shutdown(); }
    bool Ready() const override { return real_->Ready(); }
    const std::wstring& DeviceName() const override { return real_->DeviceName(); }
    const std::wstring& LastError() const override { return real_->LastError(); }
    renderer::RenderBackendKind Kind() const override { return real_->Kind(); }
    bool ImportedCharacterReady() const override { return real_->ImportedCharacterReady(); }
    bool ImportedWeaponReady() const override { return real_->ImportedWeaponReady(); }

private:
    std::unique_ptr<renderer::IRenderBackend> real_;
};

}  // namespace tarvo::testing
