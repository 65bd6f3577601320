// Test-only program: opens the Vulkan loader the way the game does, through the graphics
// preflight and the Vulkan backend, and prints what was opened.
//   vulkan_loader_probe.exe <shaders folder>
// prints "preflight <status> <loader path>" and "backend <1 or 0> <last error>".
#include <windows.h>

#include <cstdio>

#include "renderer/graphics_diagnostics.h"
#include "renderer/vulkan/vulkan_renderer.h"

int wmain(int argc, wchar_t** argv) {
    const tarvo::renderer::GraphicsDiagnostics probe = tarvo::renderer::GraphicsPreflight::Run();
    std::wprintf(L"preflight %d %ls\n", probe.status, probe.loaderPath.c_str());

    // Wine gives Vulkan a surface only on a top-level window.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TarvoVulkanLoaderProbe";
    RegisterClassW(&wc);
    HWND window = CreateWindowExW(0, wc.lpszClassName, L"probe", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    tarvo::renderer::VulkanRenderer backend;
    const bool ready = window && backend.Initialize(window, argc > 1 ? argv[1] : L"shaders");
    std::wprintf(L"backend %d %ls\n", ready ? 1 : 0, backend.LastError().c_str());
    backend.Shutdown();
    if (window) DestroyWindow(window);
    return 0;
}
