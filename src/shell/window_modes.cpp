// Borderless fullscreen and windowed sizes, the clipboard write of the dispatcher,
// and the release of the Direct2D device resources.
#include "shell/clipboard.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::ApplyFullscreen(bool on) {
    if (fullscreen == on || !window) return;
    if (on) {
        windowedPlacement = WINDOWPLACEMENT{};
        windowedPlacement.length = sizeof(WINDOWPLACEMENT);
        GetWindowPlacement(window, &windowedPlacement);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof(monitor);
        GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
        SetWindowLongPtrW(window, GWL_STYLE, WS_POPUP | WS_VISIBLE);
        const RECT& r = monitor.rcMonitor;
        SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_FRAMECHANGED | SWP_SHOWWINDOW);
    } else {
        SetWindowLongPtrW(window, GWL_STYLE, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        SetWindowPlacement(window, &windowedPlacement);
        SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    fullscreen = on;
}

void NativeShell::ApplyWindowedResolution(int width, int height) {
    if (!window) return;
    if (fullscreen) ApplyFullscreen(false);
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW);
    SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool NativeShell::CopyTextToClipboard(std::wstring_view text) { return PutTextOnClipboard(window, text); }

void NativeShell::DiscardDeviceResources() {
    bitmapCache.clear();
    brush.Reset();
    windowRenderTarget.Reset();
    renderTarget.Reset();
}

}  // namespace tarvo::ui
