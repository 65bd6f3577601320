// The window the 3D backend draws into during play, and its procedure. On Windows
// it is a child of the main window. Wine 8 never brings Direct3D or Vulkan output
// drawn into a child window onto the X screen, so there the view is an owned,
// frameless popup that is never activated, kept exactly over the main window's
// client area. Either way it passes its input on to the main window.
#include "gameplay/training_simulation.h"
#include "presentation/hud_panels.h"
#include "renderer/d2d_text.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

namespace {

// The main window's client area, in its own coordinates for a child view and in
// screen coordinates for a popup.
RECT ViewRect(HWND main, bool popup) {
    RECT area{};
    GetClientRect(main, &area);
    if (popup) MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

}  // namespace

bool RenderViewIsPopup() {
    static const bool wine = [] {
        const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
    }();
    return wine;
}

HWND NativeShell::CreateRenderView() {
    if (!window) return nullptr;  // a popup needs no parent, but the view only ever covers the main window
    const bool popup = RenderViewIsPopup();
    const RECT r = ViewRect(window, popup);
    if (!popup) {
        return CreateWindowExW(0, kRenderViewClass, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                               r.right - r.left, r.bottom - r.top, window, nullptr, instance, this);
    }
    // Created hidden: showing it through CreateWindowExW would activate it.
    const HWND view = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kRenderViewClass, nullptr,
                                      WS_POPUP | WS_CLIPSIBLINGS, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                      window, nullptr, instance, this);
    if (view) SetWindowPos(view, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return view;
}

void NativeShell::PlaceRenderView(bool show) {
    if (!renderView || !window) return;
    const bool popup = RenderViewIsPopup();
    if (popup && IsIconic(window)) {
        // A popup is not minimised with its owner's client area; it waits hidden.
        ShowWindow(renderView, SW_HIDE);
        return;
    }
    const RECT r = ViewRect(window, popup);
    SetWindowPos(renderView, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : 0));
}

void NativeShell::KeepRenderViewWithApp(bool active, bool inPlay) {
    // The X11 driver does not let the window manager handle a frameless popup, so it
    // would stay above other programs' windows; it goes while the program is inactive,
    // and the main window shows the pause panel in its place.
    if (!RenderViewIsPopup() || !renderView) return;
    if (!active) {
        ShowWindow(renderView, SW_HIDE);
        InvalidateRect(window, nullptr, FALSE);
    } else if (inPlay) {
        PlaceRenderView(true);
    }
}

bool NativeShell::PauseShownByMainWindow() const {
    return router.Current() == navigation::ScreenId::Pause && renderView && !IsWindowVisible(renderView);
}

HRESULT NativeShell::PaintPausePanel(float clientWidth, float clientHeight) {
    if (!renderTarget) return E_POINTER;
    if (!brush && FAILED(renderTarget->CreateSolidColorBrush(Colors::Text, &brush))) return E_FAIL;
    // What the render view shows, in the client area's pixels: the arsenal or the pause
    // menu, its rows where the pause clicks land.
    const bool ukrainian = localization.CurrentLocale() == localization::Locale::Ukrainian;
    presentation::PanelLayout panel;
    if (shopOpen) {
        const online::MatchEconomy& economy = matchClient.Economy();
        panel = presentation::BuildArsenalPanel(
            {economy.coins, economy.ownedWeapons, economy.selectedWeapon, economy.message}, ukrainian, clientWidth,
            clientHeight);
    } else {
        panel = presentation::BuildPausePanel(onlineMatch, ukrainian, simulation ? simulation->mapIndex : -1,
                                              clientWidth, clientHeight);
    }
    hitRegions.clear();
    renderTarget->BeginDraw();
    renderTarget->SetTransform(D2D1::Matrix3x2F::Identity());
    renderer::D2DText{renderTarget.Get(), dwriteFactory.Get(), nullptr}.Panel(panel, brush.Get());
    return renderTarget->EndDraw();
}

LRESULT CALLBACK NativeShell::RenderWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* shell = reinterpret_cast<NativeShell*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!shell) return DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_DESTROY:
            // An owned popup goes before its owner's WM_DESTROY: the backend lets go of
            // the view now, while it still exists, and nothing destroys it a second time.
            if (hwnd == shell->renderView) {
                if (shell->renderBackend) shell->renderBackend->Shutdown();
                shell->renderView = nullptr;
            }
            return 0;
        case WM_MOUSEACTIVATE:
            // Activating a child activates the main window; a popup must stay inactive.
            SetFocus(shell->window);
            return RenderViewIsPopup() ? MA_NOACTIVATE : MA_ACTIVATE;
        case WM_KEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            // The main window handles all input, later in the same loop turn. The view
            // covers exactly its client area, so the mouse coordinates hold for it too.
            PostMessageW(shell->window, message, wParam, lParam);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace tarvo::ui
