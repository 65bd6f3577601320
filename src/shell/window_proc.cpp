// The main window's procedure: creation and the splash start, painting on the
// design canvas, sizing, the animation timer, activation and destroy.
#include "core/runtime_log.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

using navigation::ScreenId;

namespace {

bool InPlay(ScreenId screen) { return screen == ScreenId::Gameplay || screen == ScreenId::Pause; }

}  // namespace

LRESULT CALLBACK NativeShell::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* shell = static_cast<NativeShell*>(create->lpCreateParams);
        if (shell) {
            shell->window = hwnd;
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shell));
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    auto* shell = reinterpret_cast<NativeShell*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!shell) return DefWindowProcW(hwnd, message, wParam, lParam);
    return shell->HandleMessage(message, wParam, lParam);
}

LRESULT NativeShell::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const ScreenId screen = router.Current();
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
            OnSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_MOVE:
            PlaceRenderView(false);  // a popup view follows the client area over the screen
            return 0;
        case WM_DPICHANGED: {
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                         suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_MOUSEMOVE:
            if (!InPlay(screen)) {
                const POINT p = PointFromLParam(lParam);
                OnMouseMove(p.x, p.y);
            }
            return 0;
        case WM_LBUTTONDOWN:
            if (screen == ScreenId::Gameplay && !menuOpen) {
                fireHeld = true;
                FireWeapon();
            }
            return 0;
        case WM_LBUTTONUP: {
            fireHeld = false;
            const POINT p = PointFromLParam(lParam);
            if (screen == ScreenId::Pause) {
                OnPauseClick(p.x, p.y);
            } else if (screen != ScreenId::Gameplay) {
                OnClick(p.x, p.y);
            }
            return 0;
        }
        case WM_RBUTTONDOWN:
            if (screen == ScreenId::Gameplay && !menuOpen) aimHeld = true;
            return 0;
        case WM_RBUTTONUP:
            aimHeld = false;
            return 0;
        case WM_INPUT:
            OnRawInput(reinterpret_cast<HRAWINPUT>(lParam));
            // The default procedure frees the input record of a foreground message.
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_ACTIVATEAPP:
            OnActivateApp(wParam != FALSE);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(static_cast<unsigned>(wParam));
            return 0;
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_NCDESTROY: {
            // The handle dies here; forget it so nothing reaches a destroyed window.
            const HWND dying = window;
            SetWindowLongPtrW(dying, GWLP_USERDATA, 0);
            window = nullptr;
            renderView = nullptr;
            return DefWindowProcW(dying, message, wParam, lParam);
        }
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

void NativeShell::OnCreate() {
    core::Log().Write("WindowCreated");
    const Clock::time_point now = Now();
    windowCreatedAt = now;
    screenEnteredAt = now;
    if (productKind == ProductKind::OstrelNode) return;
    startup.EnterSplash(now);
    core::Log().Write("SplashEntered");
    core::Log().Write("InitializationStarted");
    startup.BeginInitialization();
    startup.CompleteInitialization(true);
    core::Log().Write("InitializationCompleted");
    if (!animationTimerArmed) ArmAnimationTimer();
}

void NativeShell::ArmAnimationTimer() {
    animationTimerArmed = window && SetTimer(window, kAnimationTimerId, kAnimationTimerPeriodMs, nullptr) != 0;
    core::Log().Write(animationTimerArmed ? "AnimationTimerArmed" : "AnimationTimerArmFailed");
}

void NativeShell::StopAnimationTimer() {
    if (!animationTimerArmed) return;
    KillTimer(window, kAnimationTimerId);
    animationTimerArmed = false;
}

void NativeShell::OnPaint() {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    const bool pausePanel = PauseShownByMainWindow();
    if (InPlay(router.Current()) && !pausePanel) {
        EndPaint(window, &paint);
        PumpGameplayFrame();
        return;
    }
    RECT client{};
    GetClientRect(window, &client);
    const UINT width = static_cast<UINT>(client.right - client.left);
    const UINT height = static_cast<UINT>(client.bottom - client.top);
    if (!renderTarget) {
        ComPtr<ID2D1HwndRenderTarget> target;
        ComPtr<ID2D1SolidColorBrush> solid;
        if (!d2dFactory ||
            FAILED(d2dFactory->CreateHwndRenderTarget(D2D1::RenderTargetProperties(),
                                                      D2D1::HwndRenderTargetProperties(window, D2D1::SizeU(width, height)),
                                                      &target))) {
            EndPaint(window, &paint);
            return;
        }
        target->SetDpi(96.0f, 96.0f);  // one DIP is one pixel
        if (FAILED(target->CreateSolidColorBrush(Colors::Text, &solid))) {
            EndPaint(window, &paint);
            return;
        }
        renderTarget = target;
        windowRenderTarget = target;
        brush = solid;
    }
    const float w = static_cast<float>(width);
    const float h = static_cast<float>(height);
    if ((pausePanel ? PaintPausePanel(w, h) : PaintCanvas(w, h)) == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
        core::Log().Write("Direct2DTargetRecreateRequested");
        DiscardDeviceResources();
        InvalidateRect(window, nullptr, FALSE);
    }
    EndPaint(window, &paint);
}

HRESULT NativeShell::PaintCanvas(float clientWidth, float clientHeight) {
    if (!renderTarget) return E_POINTER;
    if (!brush && FAILED(renderTarget->CreateSolidColorBrush(Colors::Text, &brush))) return E_FAIL;
    const CanvasTransform transform = CanvasTransformFor(clientWidth, clientHeight);
    canvasScale = transform.scale;
    canvasOffset = transform.offset;
    hitRegions.clear();

    renderTarget->BeginDraw();
    renderTarget->SetTransform(D2D1::Matrix3x2F::Identity());
    renderTarget->Clear(Colors::Background);
    renderTarget->SetTransform(D2D1::Matrix3x2F::Scale(canvasScale, canvasScale) *
                               D2D1::Matrix3x2F::Translation(canvasOffset.x, canvasOffset.y));
    DrawBackdrop();
    if (productKind == ProductKind::Game) {
        DrawGame();
    } else if (router.Current() == ScreenId::OstrelGate) {
        DrawOstrelGate();
    } else {
        DrawOstrelShell();
    }
    DrawStatusBox();
    return renderTarget->EndDraw();
}

void NativeShell::OnSize(UINT clientWidth, UINT clientHeight) {
    // A view hidden while the program is inactive stays hidden; the main window paints.
    const bool viewShows = InPlay(router.Current()) && !PauseShownByMainWindow();
    PlaceRenderView(viewShows);
    // Also while the view is hidden behind Settings: the next frame, whenever it comes,
    // must fill the new client area (some drivers never report the old swapchain stale).
    if (renderBackend) renderBackend->Resize();
    if (viewShows) return;
    if (windowRenderTarget) windowRenderTarget->Resize(D2D1::SizeU(clientWidth, clientHeight));
    InvalidateRect(window, nullptr, FALSE);
}

void NativeShell::OnTimer(UINT_PTR id) {
    if (id != kAnimationTimerId) return;
    const ScreenId screen = router.Current();
    if (screen == ScreenId::Splash) {
        if (!splashTickLogged) {
            splashTickLogged = true;
            core::Log().Write("SplashTimerTick");
        }
        InvalidateRect(window, nullptr, FALSE);
        PumpSplashTransition();
    } else if (screen == ScreenId::Matchmaking) {
        InvalidateRect(window, nullptr, FALSE);
        if (Now() - screenEnteredAt >= std::chrono::milliseconds(4600)) StopAnimationTimer();
    } else {
        StopAnimationTimer();
    }
}

void NativeShell::OnActivateApp(bool active) {
    KeepRenderViewWithApp(active, InPlay(router.Current()));
    if (active) return;
    fireHeld = false;
    aimHeld = false;
    if (router.Current() == ScreenId::Gameplay) {
        menuOpen = true;
        router.Navigate(ScreenId::Pause);
        ReleaseGameplayCursor();
    }
}

void NativeShell::OnDestroy() {
    StopGameplay(false);
    SavePlayerData();
    SaveGamePreferences();
    StopAnimationTimer();
    CancelBackgroundRequests();
    PostQuitMessage(0);
}

}  // namespace tarvo::ui
