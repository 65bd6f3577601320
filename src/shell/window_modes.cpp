// Borderless fullscreen and windowed sizes, the clipboard write of the dispatcher,
// and the release of the Direct2D device resources.
#include "shell/clipboard.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

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
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, WS_OVERLAPPEDWINDOW, FALSE, WS_EX_APPWINDOW);
    RECT current{};
    GetWindowRect(window, &current);
    // A size larger than the monitor's work area is fitted into it.
    RECT work{};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        work = monitor.rcWork;
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    }
    const RECT r = WindowedRect(current, width, height, frame, work);
    const bool moved = r.left != current.left || r.top != current.top;
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (moved ? 0 : SWP_NOMOVE));
}

bool NativeShell::CopyTextToClipboard(std::wstring_view text) { return PutTextOnClipboard(window, text); }

void NativeShell::DiscardDeviceResources() {
    bitmapCache.clear();
    brush.Reset();
    windowRenderTarget.Reset();
    renderTarget.Reset();
}

}  // namespace tarvo::ui
