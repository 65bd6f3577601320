#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "renderer/graphics_diagnostics.h"
#include "renderer/render_overlay.h"

namespace tarvo::gameplay {
class TrainingSimulation;
}

namespace tarvo::renderer {

// The saved renderer preference and the identity of a live backend. Auto is only a
// preference; any value outside the three shows as "AUTO".
enum class RenderBackendKind : int32_t {
    Auto = 0,
    Vulkan = 1,
    Direct3D11 = 2,
};

// The narrow table the shell drives a backend through, all on the UI thread.
// Calling order the shell keeps: construct -> (Preflight any time) -> Initialize once
// -> SetVSync -> Render per frame, Resize on window size changes, SetVSync on toggle
// -> Shutdown (optional, repeatable) -> destroy. No exception leaves any entry.
class IRenderBackend {
public:
    // Must release every device object even when Shutdown was never called.
    virtual ~IRenderBackend() = default;

    // Probes this backend's graphics path. Needs no Initialize and changes no state
    // of the backend; valid on a fresh, a failed or an initialized object.
    virtual GraphicsDiagnostics Preflight() const = 0;

    // window: the shell's render view (a child window; under Wine an owned popup);
    // shadersDirectory: <exe dir>\assets\shaders.
    // Loads the imported character and weapon first (their failure is not fatal).
    // True when the backend can render; false leaves a non-empty LastError().
    // Called at most once per object.
    virtual bool Initialize(HWND window, const std::filesystem::path& shadersDirectory) = 0;

    // Draws and presents one frame; only called while Ready(). False sets LastError()
    // and Ready() then tells whether the backend may be reused. Keeps no reference to
    // either argument after returning.
    virtual bool Render(const gameplay::TrainingSimulation& simulation, const RenderOverlay& overlay) = 0;

    // The render view's client size changed; may only mark it for the next Render.
    // Harmless in any state.
    virtual void Resize() = 0;

    // Wait for vertical sync from the next presented frame on. Harmless in any state,
    // also after Shutdown.
    virtual void SetVSync(bool enabled) = 0;

    // Releases every device object; Ready() is false afterwards. Harmless when
    // repeated or before Initialize.
    virtual void Shutdown() = 0;

    // True between a successful Initialize and Shutdown (or a frame failure the
    // backend cannot recover from).
    virtual bool Ready() const = 0;

    // Name of the graphics device in use, for the performance line.
    virtual const std::wstring& DeviceName() const = 0;

    // Fixed English sentence describing the last failure; empty when none.
    virtual const std::wstring& LastError() const = 0;

    // Vulkan or Direct3D11, fixed for the object's life.
    virtual RenderBackendKind Kind() const = 0;

    // Whether the imported character / weapon loaded during Initialize; only logged.
    virtual bool ImportedCharacterReady() const = 0;
    virtual bool ImportedWeaponReady() const = 0;
};

}  // namespace tarvo::renderer
