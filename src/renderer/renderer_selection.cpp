#include "renderer/renderer_selection.h"

#include <utility>

namespace tarvo::renderer {

const wchar_t* RendererSelection::Name(RenderBackendKind kind) {
    switch (kind) {
    case RenderBackendKind::Vulkan: return L"VULKAN";
    case RenderBackendKind::Direct3D11: return L"DIRECT3D 11";
    default: return L"AUTO";
    }
}

GraphicsSystemDiagnostics RendererSelection::Evaluate(GraphicsDiagnostics graphics, D3D11Diagnostics d3d11,
                                                      RenderBackendKind requested) {
    GraphicsSystemDiagnostics result;
    const bool vulkan = graphics.usable;
    const bool direct3d = d3d11.ready;
    result.graphics = std::move(graphics);
    result.d3d11 = std::move(d3d11);
    result.requested = requested;

    auto automatic = [&] {
        if (vulkan) return RenderBackendKind::Vulkan;
        if (direct3d) return RenderBackendKind::Direct3D11;
        return RenderBackendKind::Auto;
    };
    switch (requested) {
    case RenderBackendKind::Vulkan:
        result.selected = vulkan ? RenderBackendKind::Vulkan
                                 : (direct3d ? RenderBackendKind::Direct3D11 : RenderBackendKind::Auto);
        result.reverted = !vulkan;
        break;
    case RenderBackendKind::Direct3D11:
        result.selected = direct3d ? RenderBackendKind::Direct3D11
                                   : (vulkan ? RenderBackendKind::Vulkan : RenderBackendKind::Auto);
        result.reverted = !direct3d;
        break;
    case RenderBackendKind::Auto:
        result.selected = automatic();
        result.reverted = false;
        break;
    default:  // an unknown stored preference is not honoured
        result.selected = automatic();
        result.reverted = true;
        break;
    }
    result.usable = result.selected != RenderBackendKind::Auto;
    if (!result.usable) {
        result.message = L"Neither Vulkan nor Direct3D 11 is usable on this PC.";
    } else {
        result.message = std::wstring(L"TARVONIX 3D READY \u2014 ") + Name(result.selected);
        if (result.reverted) result.message += L" (unsupported forced backend reverted to AUTO)";
    }
    return result;
}

GraphicsSystemDiagnostics RendererSelection::Run(RenderBackendKind requested) {
    GraphicsDiagnostics graphics = GraphicsPreflight::Run();
    D3D11Diagnostics d3d11 = D3D11Preflight::Run();
    return Evaluate(std::move(graphics), std::move(d3d11), requested);
}

std::wstring GraphicsSystemDiagnostics::CompactReport() const {
    return std::wstring(L"Vulkan=") + (graphics.usable ? L"READY" : L"UNSUPPORTED") + L" (" +
           graphics.createInstanceResult + L"); " + d3d11.CompactReport() + L"; Requested=" +
           RendererSelection::Name(requested) + L"; Selected=" + RendererSelection::Name(selected) +
           L"; TARVONIX3D=" + (usable ? L"READY" : L"BLOCKED") + L"; " + message;
}

}  // namespace tarvo::renderer
