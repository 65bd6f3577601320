// The real Run: window classes, the window, the loop and its exit, in both products.
#include "player/local_player_data_store.h"
#include "shell_fixture.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using namespace std::chrono_literals;

constexpr ULONGLONG kRunLimitMs = 60000;  // a run still going after this is closed: only a guard against a hang

class ShellRun : public ShellFixture {};

TEST_F(ShellRun, GameReachesSignInAndCloseExitsZeroWithPreferencesSaved) {
    player::LocalPlayerData stored = player::LocalPlayerDataStore::Defaults(L"LOCAL", L"KEPT");
    stored.botStats.kills = 5;
    ASSERT_TRUE(player::LocalPlayerDataStore().Save(stored));
    const std::string storedBytes = testing::ReadBytes(Root() / "Profile" / "player.dat");
    bool sawSignIn = false;
    bool sawSplashRegions = false;
    {
        auto shell = MakeShell();
        UseTestClock(*shell);  // the splash's minimum passes when this test says, however slow the start
        heldTime = NativeShell::Clock::now();
        const int code = RunStepping(*shell, [&](NativeShell& s) {
            if (s.router.Current() == ScreenId::Splash) {
                sawSplashRegions = sawSplashRegions || !s.hitRegions.empty();
                if (*heldTime - s.windowCreatedAt < std::chrono::milliseconds(1200)) *heldTime += 100ms;
                return;
            }
            if (s.router.Current() != ScreenId::Login || sawSignIn) return;
            sawSignIn = true;
            char className[64] = {};
            GetClassNameA(s.window, className, sizeof(className));
            EXPECT_STREQ(className, "TarvonixVolleyNativeWindow");
            s.fpsLimit = 60;  // saved by the window's destruction
            s.localization.SetLocale(localization::Locale::English);
            PostMessageW(s.window, WM_CLOSE, 0, 0);
        }, kRunLimitMs);
        EXPECT_EQ(code, 0);
        EXPECT_EQ(shell->window, nullptr);
    }
    EXPECT_TRUE(sawSignIn);
    EXPECT_FALSE(sawSplashRegions) << "the splash has no hit regions";
    EXPECT_TRUE(InOrder(LogEvents(), {"UIInitialized", "WindowCreated", "SplashEntered", "InitializationStarted",
                                      "InitializationCompleted", "AnimationTimerArmed",
                                      "SplashExitReason=InitializationCompleted", "NavigationRequested(Login)",
                                      "LoginEntered"}));
    const std::string saved = testing::ReadBytes(Root() / "Settings" / "game.json");
    EXPECT_NE(saved.find("\"fpsLimit\": 60"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\"locale\": \"en-US\""), std::string::npos) << saved;
    EXPECT_EQ(testing::ReadBytes(Root() / "Profile" / "player.dat"), storedBytes)
        << "a profile that was never read is not written over the stored one";

}

TEST_F(ShellRun, TheNextStartReadsThePreferencesBeforeItsWindowExists) {
    testing::WriteBytes(Root() / "Settings" / "game.json",
                        "{\n  \"locale\": \"en-US\",\n  \"fpsLimit\": 60,\n  \"quality\": \"HIGH\"\n}\n");
    auto shell = MakeShell(ProductKind::OstrelNode);  // both products read them; this one has no splash
    bool checked = false;
    EXPECT_EQ(RunStepping(*shell,
                         [&](NativeShell& s) {
                             checked = true;
                             EXPECT_EQ(s.fpsLimit, 60);
                             EXPECT_EQ(s.quality, 2u);
                             EXPECT_EQ(s.localization.CurrentLocale(), localization::Locale::English);
                             PostMessageW(s.window, WM_CLOSE, 0, 0);
                         },
                         kRunLimitMs),
              0);
    EXPECT_TRUE(checked);
}

TEST_F(ShellRun, ExitCommandSavesEverythingAndEndsTheRun) {
    auto shell = MakeShell();
    shell->autoDownload = false;
    bool sent = false;
    EXPECT_EQ(RunStepping(*shell,
                         [&](NativeShell& s) {
                             if (sent) return;
                             sent = true;
                             s.autoDownload = false;
                             s.Dispatch("app.exit");
                         },
                         kRunLimitMs),
              0);
    EXPECT_TRUE(Logged("CleanExitRequested"));
    const std::string updates = testing::ReadBytes(Root() / "Settings" / "updates.json");
    EXPECT_NE(updates.find("\"autoDownload\": false"), std::string::npos) << updates;
    EXPECT_TRUE(std::filesystem::exists(Root() / "Settings" / "game.json"));
}

TEST_F(ShellRun, AQuitMessageEndsTheLoopWithItsCode) {
    auto shell = MakeShell();
    bool posted = false;
    EXPECT_EQ(RunStepping(*shell,
                         [&](NativeShell&) {
                             if (!posted) PostQuitMessage(7);
                             posted = true;
                         },
                         kRunLimitMs),
              7);
    // The window outlived the loop; the shell unbinds and destroys it on the way out.
    const HWND window = shell->window;
    ASSERT_TRUE(IsWindow(window));
    shell.reset();
    EXPECT_FALSE(IsWindow(window));
    MSG stray;
    while (PeekMessageW(&stray, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// Other test processes on the same desktop open windows of the same class, so
// only this process's window counts.
HWND FindOwnWindow(const wchar_t* windowClass) {
    struct Search {
        const wchar_t* windowClass;
        HWND found;
    } search{windowClass, nullptr};
    EnumWindows(
        [](HWND w, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            wchar_t name[128] = {};
            if (process == GetCurrentProcessId() && GetClassNameW(w, name, 128) > 0 &&
                lstrcmpW(name, s->windowClass) == 0) {
                s->found = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST_F(ShellRun, OwnerConsoleStartsOnItsGateWithItsOwnClassAndLog) {
    ScreenId seen = ScreenId::Splash;
    std::vector<std::string> commands;
    auto shell = MakeShell(ProductKind::OstrelNode);
    EXPECT_EQ(RunStepping(*shell,
                         [&](NativeShell& s) {
                             if (s.hitRegions.empty()) return;  // wait for the first paint
                             seen = s.router.Current();
                             for (const auto& r : s.hitRegions) commands.push_back(r.command);
                             EXPECT_EQ(FindOwnWindow(kOstrelWindowClass), s.window);
                             EXPECT_EQ(s.CurrentWaitTimeout(), INFINITE);
                             PostMessageW(s.window, WM_CLOSE, 0, 0);
                         },
                         kRunLimitMs),
              0);
    EXPECT_EQ(seen, ScreenId::OstrelGate);
    EXPECT_EQ(commands, std::vector<std::string>{"ostrel.unlock"});
    EXPECT_TRUE(Logged("WindowCreated"));
    EXPECT_FALSE(Logged("SplashEntered"));
    EXPECT_FALSE(Logged("AnimationTimerArmed"));
}

TEST_F(ShellRun, OwnerConsoleProcessRoadWritesItsOwnLogFile) {
    int code = -1;
    static bool closed;
    closed = false;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (closed) return;
        if (HWND w = FindOwnWindow(kOstrelWindowClass)) {
            closed = true;
            PostMessageW(w, WM_CLOSE, 0, 0);
        }
    });
    code = RunNativeProduct(GetModuleHandleW(nullptr), SW_SHOWNOACTIVATE, ProductKind::OstrelNode);
    KillTimer(nullptr, timer);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(closed);
    const auto events = LogEvents(L"tarvonix-ostrel-node.log");
    EXPECT_TRUE(InOrder(events, {"ApplicationStarted", "UIInitialized", "WindowCreated"}));
    core::Log().Initialize(L"tarvonix-volley.log");
}

}  // namespace
}  // namespace tarvo::ui::test
