// A training on the real shell window and the real renderers: the backend chosen
// and started in the render view (under Wine a popup kept over the main window's
// client area), movement keys sampled from the keyboard state, the QA target key,
// shots until a kill, and frames captured through the live backend to check the
// arena, the target and the HUD by pixels.
#include <windows.h>

#include <algorithm>

#include "common/text_utils.h"
#include "gameplay/training_simulation.h"
#include "player/local_player_data_store.h"
#include "shell/gameplay_logic.h"
#include "shell/shell_fixture.h"
#include "support/render_window.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using namespace std::chrono_literals;

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Key(WORD virtualKey, bool down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &input, sizeof(input));
}

// Pumps messages until `done` holds; false if it still does not after `limitMs`, a bound
// that only guards against a hang.
template <typename Done>
bool PumpUntil(Done done, ULONGLONG limitMs = 20000) {
    const ULONGLONG giveUp = GetTickCount64() + limitMs;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount64() > giveUp) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

class LiveSession : public ShellFixture {
protected:
    void SetUp() override {
        shell = MakeShell();
        UseTestClock(*shell);  // frames advance the match by what the test says, however slow the machine
        heldTime = NativeShell::Clock::now();
        ASSERT_HRESULT_SUCCEEDED(shell->CreateGraphicsFactories());
        ASSERT_TRUE(shell->RegisterWindowClasses());
        ASSERT_TRUE(shell->CreateMainWindow());
        shellProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(shell->window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OnlyOwnDeactivation)));
        // Trainings start from home, which reads the stored profile. Going there before the
        // window shows also ends the splash's animation, which would never end on the held clock.
        shell->Navigate(ScreenId::MainMenu);
        ShowWindow(shell->window, SW_SHOWNOACTIVATE);
        PumpMessages();
    }

    void TearDown() override {
        Key('W', false);
        if (shell && shell->window) {
            DestroyWindow(shell->window);
            PumpMessages();
        }
        shell.reset();
    }

    // Other test programs share this desktop, and their windows may take the foreground at
    // any moment; that would pause the match. Only the deactivation this test sends reaches
    // the shell.
    static LRESULT CALLBACK OnlyOwnDeactivation(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_ACTIVATEAPP && !wParam && !sendingDeactivation) return 0;
        return CallWindowProcW(shellProcedure, hwnd, message, wParam, lParam);
    }
    void SendActivateApp(bool active) {
        sendingDeactivation = !active;
        SendMessageW(shell->window, WM_ACTIVATEAPP, active, 0);
        sendingDeactivation = false;
    }
    static inline WNDPROC shellProcedure = nullptr;
    static inline bool sendingDeactivation = false;

    // One gameplay frame, `elapsed` after the previous one on the test's clock.
    void Frame(std::chrono::milliseconds elapsed = 50ms) {
        PumpMessages();
        *heldTime += elapsed;
        shell->PumpGameplayFrame();
    }

    // The next frame drawn through the live backend with the shell's overlay values,
    // captured to a BMP.
    tarvo::test::Bitmap Capture(const wchar_t* name) {
        renderer::RenderOverlay overlay;
        OverlayFrame frame;
        frame.ukrainian = true;
        frame.quality = shell->quality;
        frame.deviceName = shell->renderBackend->DeviceName();
        frame.elapsedSeconds = 5.0f;
        FillRenderOverlay(overlay, frame, *shell->simulation, shell->matchClient.Info(), shell->matchClient.Economy(),
                          shell->playerData.identity.displayName);
        const std::filesystem::path file = Root() / name;
        overlay.qaCapturePath = distribution::WideToUtf8(file.wstring());
        EXPECT_TRUE(shell->renderBackend->Render(*shell->simulation, overlay))
            << distribution::WideToUtf8(shell->renderBackend->LastError());
        return tarvo::test::Bitmap::Read(file);
    }

    // A left click at a point of the main window's client area, sent as real input, then
    // messages pumped until `done`. The main window is raised above other programs' windows
    // first, and the click goes once the pointer rests over this program's windows.
    template <typename Done>
    bool ClickOnScreen(int x, int y, Done done) {
        POINT p{x, y};
        ClientToScreen(shell->window, &p);
        SetWindowPos(shell->window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        INPUT inputs[3]{};
        inputs[0].type = INPUT_MOUSE;
        inputs[0].mi.dx = p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
        inputs[0].mi.dy = p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
        inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        inputs[1].type = INPUT_MOUSE;
        inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        inputs[2].type = INPUT_MOUSE;
        inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        const bool over = PumpUntil([&] {
            SendInput(1, inputs, sizeof(INPUT));
            POINT at{};
            GetCursorPos(&at);
            const HWND under = WindowFromPoint(p);
            return at.x == p.x && at.y == p.y && (under == shell->window || under == shell->renderView);
        });
        EXPECT_TRUE(over) << "the pointer never rested over this program's windows at " << p.x << "," << p.y;
        if (!over) return false;
        SendInput(2, inputs + 1, sizeof(INPUT));
        return PumpUntil(done);
    }

    // The view's window covers exactly the main window's client area on the screen.
    void ExpectViewOverClientArea(const char* when) {
        RECT view{};
        GetWindowRect(shell->renderView, &view);
        RECT client{};
        GetClientRect(shell->window, &client);
        MapWindowPoints(shell->window, nullptr, reinterpret_cast<POINT*>(&client), 2);
        EXPECT_TRUE(EqualRect(&view, &client))
            << when << ": view " << view.left << "," << view.top << "," << view.right << "," << view.bottom
            << " client area " << client.left << "," << client.top << "," << client.right << "," << client.bottom;
        EXPECT_TRUE(IsWindowVisible(shell->renderView)) << when;
    }

    std::unique_ptr<NativeShell> shell;
};

int Differing(const tarvo::test::Bitmap& a, const tarvo::test::Bitmap& b, int x0, int y0, int x1, int y1) {
    int count = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const auto p = a.At(x, y);
            const auto q = b.At(x, y);
            count += std::abs(p[0] - q[0]) + std::abs(p[1] - q[1]) + std::abs(p[2] - q[2]) > 30;
        }
    }
    return count;
}

TEST_F(LiveSession, TrainingOnTheRenderViewWalksShootsAKillAndLeaves) {
    testing::ScopedEnvironment qa(L"TARVO_RUNTIME_QA", L"1");
    shell->Dispatch("mode.5");
    shell->Dispatch("training.start");
    ASSERT_NE(shell->simulation, nullptr) << "the training did not start";
    ASSERT_NE(shell->renderView, nullptr);
    ASSERT_TRUE(shell->renderBackend && shell->renderBackend->Ready());
    EXPECT_EQ(GetParent(shell->renderView), shell->window);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);
    const std::string initialized =
        "RenderBackendInitialized=" + distribution::WideToUtf8(renderer::RendererSelection::Name(shell->renderBackend->Kind()));
    EXPECT_TRUE(Logged(initialized));
    if (Logged("GraphicsPreflightPassed Selected=VULKAN") && shell->renderBackend->Kind() != renderer::RenderBackendKind::Vulkan) {
        EXPECT_EQ(shell->graphicsSelection.selected, renderer::RenderBackendKind::Direct3D11) << "the fallback is recorded";
    }
    RECT view{};
    GetClientRect(shell->renderView, &view);
    RECT client{};
    GetClientRect(shell->window, &client);
    EXPECT_EQ(view.right, client.right);
    EXPECT_EQ(view.bottom, client.bottom);
    ExpectViewOverClientArea("at the start");
    EXPECT_NE(GetActiveWindow(), shell->renderView) << "the view is never activated";
    EXPECT_NE(GetFocus(), shell->renderView);

    // The view follows the main window.
    RECT outer{};
    GetWindowRect(shell->window, &outer);
    SetWindowPos(shell->window, nullptr, outer.left + 37, outer.top + 23, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
    ExpectViewOverClientArea("after a move");
    SetWindowPos(shell->window, nullptr, 0, 0, outer.right - outer.left - 100, outer.bottom - outer.top - 60,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    PumpMessages();
    ExpectViewOverClientArea("after a resize");
    if (RenderViewIsPopup()) {
        ShowWindow(shell->window, SW_MINIMIZE);
        PumpMessages();
        EXPECT_FALSE(IsWindowVisible(shell->renderView)) << "a popup view waits hidden while minimised";
        ShowWindow(shell->window, SW_RESTORE);
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(shell->renderView));
        ExpectViewOverClientArea("after a restore");
        SendActivateApp(false);
        EXPECT_FALSE(IsWindowVisible(shell->renderView)) << "a popup view does not stay above other programs";
        SendActivateApp(true);
        ExpectViewOverClientArea("after the program is active again");
        // Losing activation paused the match.
        if (shell->router.Current() == ScreenId::Pause) shell->OnKeyDown(VK_ESCAPE);
    }
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);
    GetClientRect(shell->window, &client);
    GetClientRect(shell->renderView, &view);

    for (int i = 0; i < 5; ++i) Frame();

    // Forward, held on the keyboard: the frame samples it. The keys go to this program (a held
    // key repeats, as a keyboard's does).
    SetForegroundWindow(shell->window);
    const float walkedBefore = shell->simulation->Player().distanceTravelled;
    for (int i = 0; i < 8; ++i) {
        Key('W', true);
        Frame(100ms);
    }
    Key('W', false);
    EXPECT_GT(shell->simulation->Player().distanceTravelled - walkedBefore, 2.0f);

    const tarvo::test::Bitmap before = Capture(L"before.bmp");
    ASSERT_EQ(before.width, view.right);
    ASSERT_EQ(before.height, view.bottom);
    shell->OnKeyDown(VK_F6);
    EXPECT_TRUE(Logged("RuntimeQaTargetPositioned"));
    const tarvo::test::Bitmap target = Capture(L"target.bmp");
    const int w = target.width, h = target.height;

    // The arena: most of the frame is lit geometry, not the clear colour.
    int lit = 0, samples = 0;
    for (int y = 0; y < h; y += 8) {
        for (int x = 0; x < w; x += 8) {
            const auto c = target.At(x, y);
            lit += c[0] + c[1] + c[2] > 60;
            ++samples;
        }
    }
    EXPECT_GT(lit, samples * 3 / 4);
    // The target stands in front of the camera: the middle of the frame changed.
    const int x0 = w * 44 / 100, x1 = w * 56 / 100, y0 = h * 33 / 100, y1 = h * 72 / 100;
    EXPECT_GT(Differing(before, target, x0, y0, x1, y1), (x1 - x0) * (y1 - y0) * 3 / 100);
    // The HUD: bright text in the lower corners (health on the left, ammunition on the right).
    EXPECT_GT(tarvo::test::BrightPixels(target, 0, h * 3 / 4, w / 3, h), 50);
    EXPECT_GT(tarvo::test::BrightPixels(target, w * 2 / 3, h * 3 / 4, w, h), 50);

    // Shots until the target dies: one trigger pull every 120 ms (nine shots a second leave
    // 111 ms between shots), and three hits of 34 take a bot's 100.
    for (int pull = 0; pull < 10 && shell->playerData.botStats.kills == 0; ++pull) {
        shell->OnKeyDown(VK_F6);
        shell->FireWeapon();
        Frame(60ms);
        Frame(60ms);
    }
    EXPECT_EQ(shell->playerData.botStats.kills, 1u);
    EXPECT_EQ(shell->playerData.botStats.shotsFired, 3u);
    EXPECT_EQ(shell->playerData.botStats.shotsHit, 3u);
    EXPECT_TRUE(Logged("PlayerKilledBot"));

    // Escape opens the pause view. Its rows are clicked on the screen, where the view
    // lies over the main window: the clicks reach the main window and the view is never
    // activated. The first row resumes play, the last leaves the match.
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    Frame();
    EXPECT_TRUE(ClickOnScreen(client.right / 2, client.bottom / 2 - 42,
                              [&] { return shell->router.Current() == ScreenId::Gameplay; }))
        << "the continue row";
    EXPECT_NE(GetActiveWindow(), shell->renderView);
    shell->OnKeyDown(VK_ESCAPE);
    Frame();
    EXPECT_TRUE(ClickOnScreen(client.right / 2, client.bottom / 2 + 167, [&] { return shell->simulation == nullptr; }))
        << "the leave row";
    EXPECT_NE(GetActiveWindow(), shell->renderView);
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_FALSE(IsWindowVisible(shell->renderView)) << "kept hidden for the next training";
    const player::BotStats saved = player::LocalPlayerDataStore().Load(L"LOCAL", L"LOCAL_OPERATOR").botStats;
    EXPECT_EQ(saved.trainingsStarted, 1u);
    EXPECT_EQ(saved.trainingsCompleted, 1u);
    EXPECT_GE(saved.kills, 1u);

    // A second training: the kept backend is reused when the selection picks its kind
    // again; a fallback backend is replaced and the fallback runs again.
    shell->Dispatch("training.start");
    ASSERT_NE(shell->simulation, nullptr);
    EXPECT_TRUE(shell->renderBackend->Ready());
    EXPECT_TRUE(IsWindowVisible(shell->renderView));
    const std::vector<std::string> events = LogEvents();
    const auto starts = std::count_if(events.begin(), events.end(), [](const std::string& e) {
        return e == "RenderBackendReused" || e.rfind("RenderBackendInitialized=", 0) == 0;
    });
    EXPECT_EQ(starts, 2);
}

}  // namespace
}  // namespace tarvo::ui::test
