// Run: graphics factories, text formats, window classes, the main window and the
// one message loop of the process with its wait rule and pumps.
#include <dwmapi.h>

#include "common/http_request.h"
#include "core/runtime_log.h"
#include "shell/gameplay_logic.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {
namespace {

constexpr wchar_t kGameTitle[] = L"TARVONIX VOLLEY \u2014 0.0.03.5";
constexpr wchar_t kOstrelTitle[] = L"TARVONIX ECOSYSTEM \u2014 OSTREL NODE 0.0.03.5";

HRESULT MakeFormat(IDWriteFactory* factory, const wchar_t* family, DWRITE_FONT_WEIGHT weight, float size,
                   Microsoft::WRL::ComPtr<IDWriteTextFormat>& out,
                   DWRITE_FONT_STRETCH stretch = DWRITE_FONT_STRETCH_NORMAL) {
    return factory->CreateTextFormat(family, nullptr, weight, DWRITE_FONT_STYLE_NORMAL, stretch, size, L"uk-UA",
                                     out.ReleaseAndGetAddressOf());
}

struct HeadingFace {
    const wchar_t* family;
    DWRITE_FONT_STRETCH stretch;
};

// Bahnschrift ships with Windows 10 1709 and later. Where it is missing, a narrow
// face keeps the headings on one line at their sizes: Arial Narrow, Liberation Sans
// Narrow (DirectWrite lists both as condensed faces of their families), or, less
// narrow, DejaVu Sans Condensed; Segoe UI last, so that something is drawn.
HeadingFace ChooseHeadingFace(IDWriteFactory* factory) {
    static constexpr HeadingFace kCandidates[] = {
        {L"Bahnschrift", DWRITE_FONT_STRETCH_NORMAL},
        {L"Arial", DWRITE_FONT_STRETCH_CONDENSED},
        {L"Liberation Sans", DWRITE_FONT_STRETCH_CONDENSED},
        {L"DejaVu Sans", DWRITE_FONT_STRETCH_SEMI_CONDENSED},
    };
    Microsoft::WRL::ComPtr<IDWriteFontCollection> fonts;
    if (FAILED(factory->GetSystemFontCollection(&fonts, FALSE))) return kCandidates[0];
    for (const HeadingFace& candidate : kCandidates) {
        UINT32 index = 0;
        BOOL exists = FALSE;
        Microsoft::WRL::ComPtr<IDWriteFontFamily> family;
        Microsoft::WRL::ComPtr<IDWriteFont> font;
        if (FAILED(fonts->FindFamilyName(candidate.family, &index, &exists)) || !exists ||
            FAILED(fonts->GetFontFamily(index, &family)) ||
            FAILED(family->GetFirstMatchingFont(DWRITE_FONT_WEIGHT_SEMI_BOLD, candidate.stretch,
                                                DWRITE_FONT_STYLE_NORMAL, &font))) {
            continue;
        }
        if (font->GetStretch() <= candidate.stretch) return candidate;  // the family's regular width would not fit
    }
    return HeadingFace{L"Segoe UI", DWRITE_FONT_STRETCH_NORMAL};
}

// A future from std::async waits for its task as it is destroyed; at exit a task that is still
// busy is left to end with the process instead (its future is never freed).
template <typename T>
void LetGo(std::optional<std::future<T>>& task) {
    if (task && task->valid() && task->wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        static_cast<void>(new std::future<T>(std::move(*task)));
    }
    task.reset();
}

bool RegisterClassOrExists(const WNDCLASSEXW& windowClass) {
    return RegisterClassExW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

int NativeShell::Run(int showCommand) {
    ReadPreferenceFiles();
    if (productKind == ProductKind::Game) RunBootstrapMigration();
    if (FAILED(CreateGraphicsFactories())) return 2;
    core::Log().Write("UIInitialized");
    if (!RegisterWindowClasses()) return 3;
    if (!CreateMainWindow()) return 3;
    const BOOL dark = TRUE;
    DwmSetWindowAttribute(window, 20 /* DWMWA_USE_IMMERSIVE_DARK_MODE */, &dark, sizeof(dark));
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    const int code = RunMessageLoop();
    AwaitExitSubmission();  // the window has gone; the session's statistics may still be on their way
    return code;
}

HRESULT NativeShell::CreateGraphicsFactories() {
    HRESULT hr = D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), nullptr,
                                   reinterpret_cast<void**>(d2dFactory.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                             reinterpret_cast<IUnknown**>(dwriteFactory.ReleaseAndGetAddressOf()));
    if (FAILED(hr)) return hr;
    hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&wicFactory));
    if (FAILED(hr)) return hr;
    IDWriteFactory* factory = dwriteFactory.Get();
    const HeadingFace heading = ChooseHeadingFace(factory);
    const auto headingOf = [&](float size, ComPtr<IDWriteTextFormat>& out) {
        return MakeFormat(factory, heading.family, DWRITE_FONT_WEIGHT_SEMI_BOLD, size, out, heading.stretch);
    };
    if (FAILED(hr = headingOf(68.0f, displayFormat))) return hr;
    if (FAILED(hr = headingOf(52.0f, titleFormat))) return hr;
    if (FAILED(hr = headingOf(23.0f, headingFormat))) return hr;
    if (FAILED(hr = MakeFormat(factory, L"Segoe UI", DWRITE_FONT_WEIGHT_NORMAL, 18.0f, bodyFormat))) return hr;
    if (FAILED(hr = MakeFormat(factory, L"Segoe UI", DWRITE_FONT_WEIGHT_SEMI_BOLD, 11.0f, captionFormat))) return hr;
    return S_OK;
}

bool NativeShell::RegisterWindowClasses() {
    WNDCLASSEXW main{};
    main.cbSize = sizeof(main);
    main.style = CS_HREDRAW | CS_VREDRAW;
    main.lpfnWndProc = &NativeShell::WindowProc;
    main.hInstance = instance;
    main.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(101));
    main.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(101), IMAGE_ICON, 16, 16, 0));
    main.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    main.lpszClassName = productKind == ProductKind::OstrelNode ? kOstrelWindowClass : kGameWindowClass;
    if (!RegisterClassOrExists(main)) return false;

    WNDCLASSEXW view{};
    view.cbSize = sizeof(view);
    view.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    view.lpfnWndProc = &NativeShell::RenderWindowProc;
    view.hInstance = instance;
    view.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    view.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    view.lpszClassName = kRenderViewClass;
    return RegisterClassOrExists(view);
}

bool NativeShell::CreateMainWindow() {
    RECT workArea{0, 0, 1920, 1080};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const RECT r = MainWindowRect(workArea);
    const bool ostrel = productKind == ProductKind::OstrelNode;
    // WM_NCCREATE stores the handle in `window`.
    const HWND created = CreateWindowExW(WS_EX_APPWINDOW, ostrel ? kOstrelWindowClass : kGameWindowClass,
                                         ostrel ? kOstrelTitle : kGameTitle, WS_OVERLAPPEDWINDOW, r.left, r.top,
                                         r.right - r.left, r.bottom - r.top, nullptr, nullptr, instance, this);
    window = created;
    return created != nullptr;
}

DWORD NativeShell::CurrentWaitTimeout() const {
    const bool pending = accountRequest.has_value() || statusProbe.has_value() || identityLoad.has_value();
    const DWORD wait = WaitTimeout(productKind, router.Current(), pending, fpsLimit);
    if (pending || router.Current() != navigation::ScreenId::Gameplay || !simulation) return wait;
    const double sinceLastFrame = std::chrono::duration<double>(Now() - lastFrameAt).count();
    return PacedFrameWait(wait, sinceLastFrame, FrameIntervalSeconds(fpsLimit));
}

int NativeShell::RunMessageLoop() {
    for (;;) {
        const DWORD wait = MsgWaitForMultipleObjectsEx(0, nullptr, CurrentWaitTimeout(), QS_ALLINPUT,
                                                       MWMO_INPUTAVAILABLE);
        if (wait == WAIT_FAILED) {
            core::Log().Write("MessageLoopWaitFailed");
            return 4;
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        PumpSplashTransition();
        PumpAccountRequest();
        PumpMatchStatus();
        PumpMatchIdentity();
        PumpGameplayFrame();
    }
}

void NativeShell::PumpMatchStatus() {
    if (!statusProbe || statusProbe->wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    std::wstring text;
    try {
        text = MatchStatusLine(statusProbe->get());
    } catch (...) {
        text = L"OFFLINE / STATUS UNAVAILABLE";  // the probe's thread failed
    }
    statusProbe.reset();
    matchStatusText = std::move(text);
    Repaint();
}

void NativeShell::PumpMatchIdentity() {
    if (!identityLoad || identityLoad->wait_for(std::chrono::seconds(0)) != std::future_status::ready) return;
    std::optional<online::MatchIdentity> identity;
    try {
        identity = identityLoad->get();
    } catch (...) {
        // A failed load leaves the match without a credential.
    }
    identityLoad.reset();
    if (!identity || !onlineMatch) return;
    if (identityAccountKey == playerData.identity.playerKey) {
        matchClient.SetIdentity(std::move(*identity));
    } else {
        StartCoinProfileLoad();  // the player changed while it loaded
    }
}

void NativeShell::StartCoinProfileLoad() {
    if (identityLoad) return;
    std::wstring key = playerData.identity.playerKey;
    try {
        identityLoad = std::async(std::launch::async,
                                  [key]() { return online::LoadMatchIdentity(key); });
        identityAccountKey = std::move(key);
    } catch (...) {
        identityLoad.reset();  // no thread could be started
    }
}

void NativeShell::CancelBackgroundRequests() {
    const auto pending = [](const auto& task) {
        return task && task->valid() && task->wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    };
    std::string names;
    if (pending(accountRequest)) names = accountRequestName;
    if (pending(statusProbe)) names += names.empty() ? "match.status" : ",match.status";
    if (pending(identityLoad)) names += names.empty() ? "match.identity" : ",match.identity";
    if (!names.empty()) core::Log().Write("PendingRequestsAtExit=" + names);

    // The session's statistics are kept for AwaitExitSubmission, after the window has gone. Every
    // other request gets a moment to finish and is then cancelled; a task that has only just
    // started may begin its exchange after a cancel, so the cancel repeats for a while. A task
    // still busy after that (files, data protection) is left to end with the process.
    const bool keepStats = accountRequest && accountRequestName == "stats";
    constexpr auto kGrace = std::chrono::milliseconds(500);
    constexpr auto kCancelWindow = std::chrono::milliseconds(500);
    const auto ended = [](const auto& task) {
        return !task || !task->valid() || task->wait_for(std::chrono::milliseconds(10)) == std::future_status::ready;
    };
    const auto othersEnded = [&] {
        return (keepStats || ended(accountRequest)) && ended(statusProbe) && ended(identityLoad);
    };
    const Clock::time_point graceEnd = Clock::now() + kGrace;
    while (!othersEnded() && Clock::now() < graceEnd) continue;  // each look waits up to 10 ms a task
    std::size_t cancelled = 0;
    const Clock::time_point cancelEnd = Clock::now() + kCancelWindow;
    while (!othersEnded() && Clock::now() < cancelEnd) cancelled += distribution::CancelHttpRequests();
    if (!keepStats) {
        LetGo(accountRequest);
        accountRequestName.clear();
    }
    LetGo(statusProbe);
    LetGo(identityLoad);
    if (cancelled) core::Log().Write("NetworkRequestsCancelled=" + std::to_string(cancelled));
}

}  // namespace tarvo::ui
