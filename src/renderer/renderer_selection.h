#pragma once

#include <string>

#include "renderer/d3d11/d3d11_preflight.h"
#include "renderer/graphics_diagnostics.h"
#include "renderer/render_backend.h"

namespace tarvo::renderer {

// The last backend selection: both probes and the decision taken from them.
struct GraphicsSystemDiagnostics {
    GraphicsDiagnostics graphics;  // Vulkan and Windows probe
    D3D11Diagnostics d3d11;
    RenderBackendKind requested = RenderBackendKind::Auto;
    RenderBackendKind selected = RenderBackendKind::Auto;  // Auto when nothing is usable
    bool usable = false;
    bool reverted = false;  // a non-automatic preference was not honoured
    std::wstring message;

    // One line for the log and the clipboard:
    // "Vulkan=READY (VK_SUCCESS (0)); Direct3D11=...; Requested=...; Selected=...; TARVONIX3D=READY; <message>".
    std::wstring CompactReport() const;
};

// Stateless: chooses the backend to build when gameplay starts.
class RendererSelection {
public:
    // "VULKAN", "DIRECT3D 11", or "AUTO" for any other value.
    static const wchar_t* Name(RenderBackendKind kind);
    // The decision table alone, over two finished probes.
    static GraphicsSystemDiagnostics Evaluate(GraphicsDiagnostics graphics, D3D11Diagnostics d3d11,
                                              RenderBackendKind requested);
    // Runs both probes (always both), then Evaluate.
    static GraphicsSystemDiagnostics Run(RenderBackendKind requested);
};

}  // namespace tarvo::renderer
