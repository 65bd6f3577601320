// The shell object without its window: defaults, navigation, the dispatcher's own
// rules, the background pumps, the splash transition, keys and Escape.
#include <future>
#include <stdexcept>

#include "account/server_session.h"
#include "gameplay/training_simulation.h"
#include "renderer/d3d11/d3d11_renderer.h"
#include "shell/clipboard.h"
#include "screens/offscreen_canvas.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class ShellObject : public ShellFixture {};

template <typename T>
std::future<T> Ready(T value) {
    std::promise<T> promise;
    promise.set_value(std::move(value));
    return promise.get_future();
}

TEST_F(ShellObject, FreshGameShellHoldsItsDefaults) {
    auto shell = MakeShell();
    EXPECT_EQ(shell->router.Current(), ScreenId::Splash);
    EXPECT_EQ(shell->fpsLimit, 144);
    EXPECT_FLOAT_EQ(shell->masterVolume, 0.7f);
    EXPECT_TRUE(shell->vsync);
    EXPECT_EQ(shell->rendererPreference, renderer::RenderBackendKind::Auto);
    EXPECT_EQ(shell->quality, 1u);
    EXPECT_TRUE(shell->autoDownload);
    EXPECT_TRUE(shell->installOnExit);
    EXPECT_EQ(shell->selectedMode, 6);
    EXPECT_EQ(shell->selectedMap, 0);
    EXPECT_EQ(shell->matchStatusText, L"NOT CHECKED");
    EXPECT_TRUE(shell->rememberDevice);
    EXPECT_FALSE(shell->acceptPolicy);
    EXPECT_FALSE(shell->registerTab);
    EXPECT_EQ(shell->playerData.identity.playerKey, L"LOCAL");
    EXPECT_EQ(shell->playerData.identity.displayName, L"LOCAL_OPERATOR");
    EXPECT_EQ(shell->trackedWeapon, -1);
    EXPECT_FLOAT_EQ(shell->lastHealth, 100.0f);
    EXPECT_EQ(shell->privacyReturnScreen, ScreenId::MainMenu);
    EXPECT_EQ(shell->settingsReturnScreen, ScreenId::MainMenu);
    EXPECT_EQ(shell->localization.CurrentLocale(), localization::Locale::Ukrainian);
    EXPECT_EQ(shell->fieldValues.at("field.backend.dbhost"), L"localhost");
    EXPECT_EQ(shell->fieldValues.at("field.backend.smtpport"), L"587");
    EXPECT_EQ(shell->fieldValues.at("field.backend.security"), L"starttls");
    EXPECT_EQ(shell->fieldValues.at("field.backend.fromname"), L"TARVONIX VOLLEY");
    EXPECT_FALSE(shell->fieldValues.at("field.backend.domain").empty());
    EXPECT_EQ(shell->fieldValues.size(), 5u);
    EXPECT_EQ(shell->releaseStatusText, L"NOT CHECKED");
    EXPECT_EQ(shell->ostrelSyncText, L"ЩЕ НЕ СИНХРОНІЗОВАНО");
    EXPECT_FALSE(shell->serverSession);
    EXPECT_FALSE(shell->accountRecord);
    EXPECT_EQ(shell->window, nullptr);
}

TEST_F(ShellObject, OwnerConsoleShellStartsOnItsGate) {
    auto shell = MakeShell(ProductKind::OstrelNode);
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelGate);
    EXPECT_EQ(shell->productKind, ProductKind::OstrelNode);
}

TEST_F(ShellObject, NavigationClearsTransientStateAndRecordsTheSignInScreen) {
    auto shell = MakeShell();
    shell->toast = L"notice";
    shell->focusedField = "field.email";
    shell->hoverCommand = "nav.play";
    shell->caret = 3;
    shell->Navigate(ScreenId::Login);
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_TRUE(shell->toast.empty());
    EXPECT_TRUE(shell->focusedField.empty());
    EXPECT_TRUE(shell->hoverCommand.empty());
    EXPECT_EQ(shell->caret, 3u) << "caret positions are only clamped later";
    EXPECT_FALSE(shell->startup.IsSplashActive());

    shell->toast = L"again";
    shell->Navigate(ScreenId::Login);  // the same screen still logs and clears
    EXPECT_TRUE(shell->toast.empty());
    int entered = 0;
    for (const auto& e : LogEvents()) entered += e == "LoginEntered";
    EXPECT_EQ(entered, 2);

    shell->toast = L"x";
    shell->Navigate(static_cast<ScreenId>(36));
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    EXPECT_TRUE(shell->toast.empty());
}

TEST_F(ShellObject, TextFieldRulesOfTheDispatcher) {
    auto shell = MakeShell();
    shell->Dispatch("reveal.field.password");
    EXPECT_TRUE(shell->revealedFields.at("field.password"));
    shell->Dispatch("reveal.field.password");
    EXPECT_FALSE(shell->revealedFields.at("field.password"));
    shell->Dispatch("field.email");
    EXPECT_EQ(shell->focusedField, "field.email");
    shell->Dispatch("reveal.other");  // not a field: matches no rule
    EXPECT_EQ(shell->revealedFields.size(), 1u);
}

TEST_F(ShellObject, SignInFormToggles) {
    auto shell = MakeShell();
    shell->fieldErrors["field.email"] = L"bad";
    shell->Dispatch("auth.register.tab");
    EXPECT_TRUE(shell->registerTab);
    EXPECT_TRUE(shell->fieldErrors.empty());
    shell->fieldErrors["field.email"] = L"bad";
    shell->Dispatch("auth.login.tab");
    EXPECT_FALSE(shell->registerTab);
    EXPECT_TRUE(shell->fieldErrors.empty());
    shell->Dispatch("auth.remember");
    EXPECT_FALSE(shell->rememberDevice);
    shell->Dispatch("auth.policy");
    EXPECT_TRUE(shell->acceptPolicy);
}

TEST_F(ShellObject, NavigationCommandsAndBack) {
    auto shell = MakeShell();
    shell->Navigate(ScreenId::MainMenu);
    shell->Dispatch("nav.play");
    EXPECT_EQ(shell->router.Current(), ScreenId::Play);
    shell->Dispatch("nav.privacy");
    EXPECT_EQ(shell->router.Current(), ScreenId::Privacy);
    EXPECT_EQ(shell->privacyReturnScreen, ScreenId::Play);
    shell->Dispatch("nav.back");
    EXPECT_EQ(shell->router.Current(), ScreenId::Play);

    shell->Dispatch("nav.settings");
    EXPECT_EQ(shell->settingsReturnScreen, ScreenId::Play);
    shell->Dispatch("nav.settings");  // from Settings: Settings returns to itself
    EXPECT_EQ(shell->settingsReturnScreen, ScreenId::Settings);
    shell->Dispatch("nav.back");
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);

    shell->Navigate(ScreenId::VerifyEmail);
    shell->Dispatch("nav.back");
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    shell->Navigate(ScreenId::VerifyDevice);
    shell->Dispatch("nav.back");
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);

    const std::pair<const char*, ScreenId> moves[] = {
        {"nav.inventory", ScreenId::Inventory}, {"nav.profile", ScreenId::Profile},
        {"nav.statistics", ScreenId::Statistics}, {"nav.updates", ScreenId::Updates},
        {"auth.forgot", ScreenId::ForgotPassword}, {"auth.devices", ScreenId::Devices},
        {"auth.migration.done", ScreenId::MainMenu}};
    for (const auto& [command, screen] : moves) {
        shell->Dispatch(command);
        EXPECT_EQ(shell->router.Current(), screen) << command;
    }
}

TEST_F(ShellObject, OwnerConsolePagesAndUnknownCommands) {
    auto shell = MakeShell(ProductKind::OstrelNode);
    shell->Dispatch("ostrel.unlock");
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelOverview);
    shell->Dispatch("ostrel.statistics");
    EXPECT_EQ(shell->router.Current(), ScreenId::Statistics);
    shell->Dispatch("ostrel.backend");
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelBackend);
    shell->toast = L"kept";
    shell->Dispatch("ostrel.nowhere");
    shell->Dispatch("no.such.command");
    shell->Dispatch("");
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelBackend);
    EXPECT_EQ(shell->toast, L"kept");
}

TEST_F(ShellObject, SettingsSyncTextIsOneLineInFixedOrder) {
    auto shell = MakeShell();
    EXPECT_EQ(shell->SettingsSyncJson(),
              R"({"locale":"uk-UA","renderer":"auto","quality":1,"fpsLimit":144,"masterVolume":0.700000,"autoDownload":true,"installOnExit":true})");
    shell->localization.SetLocale(localization::Locale::English);
    shell->rendererPreference = renderer::RenderBackendKind::Direct3D11;
    shell->quality = 2;
    shell->fpsLimit = 60;
    shell->masterVolume = 0.25f;
    shell->autoDownload = false;
    EXPECT_EQ(shell->SettingsSyncJson(),
              R"({"locale":"en-US","renderer":"d3d11","quality":2,"fpsLimit":60,"masterVolume":0.250000,"autoDownload":false,"installOnExit":true})");
    shell->rendererPreference = renderer::RenderBackendKind::Vulkan;
    EXPECT_NE(shell->SettingsSyncJson().find(R"("renderer":"vulkan")"), std::string::npos);
}

TEST_F(ShellObject, MatchStatusReplyIsAppliedOnceReady) {
    auto shell = MakeShell();
    std::promise<std::string> pending;
    shell->statusProbe = pending.get_future();
    shell->PumpMatchStatus();
    EXPECT_TRUE(shell->statusProbe.has_value()) << "a pending probe is left alone";
    EXPECT_EQ(shell->matchStatusText, L"NOT CHECKED");
    pending.set_value(R"({"online": true, "players": 11})");
    shell->PumpMatchStatus();
    EXPECT_FALSE(shell->statusProbe.has_value());
    EXPECT_EQ(shell->matchStatusText, L"ONLINE / 11 / 16 PLAYERS / 30 HZ");

    std::promise<std::string> failing;
    failing.set_exception(std::make_exception_ptr(std::runtime_error("no network")));
    shell->statusProbe = failing.get_future();
    shell->PumpMatchStatus();
    EXPECT_FALSE(shell->statusProbe.has_value());
    EXPECT_EQ(shell->matchStatusText, L"OFFLINE / STATUS UNAVAILABLE");
}

TEST_F(ShellObject, MatchIdentityIsKeptOnlyForTheCurrentPlayerDuringAnOnlineMatch) {
    auto shell = MakeShell();
    online::MatchIdentity identity;
    identity.playerKey = L"LOCAL";

    shell->identityAccountKey = L"LOCAL";
    shell->identityLoad = Ready(identity);
    shell->PumpMatchIdentity();  // outside a match: dropped
    EXPECT_FALSE(shell->identityLoad.has_value());

    shell->onlineMatch = true;
    shell->identityAccountKey = L"someone-else";
    shell->identityLoad = Ready(identity);
    shell->PumpMatchIdentity();  // the player changed: a new load starts
    ASSERT_TRUE(shell->identityLoad.has_value());
    EXPECT_EQ(shell->identityAccountKey, L"LOCAL");

    shell->playerData.identity.playerKey = L"acc-7";
    shell->StartCoinProfileLoad();  // refused while one is pending
    EXPECT_EQ(shell->identityAccountKey, L"LOCAL");
    shell->identityLoad->wait();

    std::promise<online::MatchIdentity> failing;
    failing.set_exception(std::make_exception_ptr(std::runtime_error("load failed")));
    shell->identityLoad = failing.get_future();
    shell->PumpMatchIdentity();
    EXPECT_FALSE(shell->identityLoad.has_value()) << "a failed load is dropped, not rethrown";
}

TEST_F(ShellObject, PlayerProfileFollowsTheAccountRecord) {
    auto shell = MakeShell();
    shell->LoadPlayerData();
    EXPECT_EQ(shell->playerData.identity.playerKey, L"LOCAL");
    auth::LocalAccountRecord record;
    record.accountId = L"acc-42";
    record.nickname = L"Vika";
    shell->accountRecord = record;
    shell->LoadPlayerData();
    EXPECT_EQ(shell->playerData.identity.playerKey, L"acc-42");
    EXPECT_EQ(shell->playerData.identity.displayName, L"Vika");
    shell->SavePlayerData();
    EXPECT_FALSE(Logged("PlayerDataSaveFailed"));
}

TEST_F(ShellObject, SplashEndsOnSignInWithoutAStoredSession) {
    auto shell = MakeShell();
    UseTestClock(*shell);
    heldTime = NativeShell::Clock::now() + std::chrono::hours(24);  // far from real time: a stray read of it shows
    shell->startup.EnterSplash(*heldTime - std::chrono::milliseconds(1200));
    shell->startup.CompleteInitialization(true);
    shell->PumpSplashTransition();
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    const auto events = LogEvents();
    const std::vector<std::string> expected = {"SplashExitReason=InitializationCompleted", "NavigationRequested(Login)",
                                               "LoginEntered"};
    ASSERT_GE(events.size(), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), events.end() - 3));
    shell->PumpSplashTransition();  // not on the splash any more: nothing
    EXPECT_EQ(LogEvents().size(), events.size());
}

TEST_F(ShellObject, SplashWaitsForItsMinimumTimeAndOwnerConsoleHasNone) {
    auto shell = MakeShell();
    UseTestClock(*shell);
    heldTime = NativeShell::Clock::now() - std::chrono::hours(24);
    shell->startup.EnterSplash(*heldTime - std::chrono::milliseconds(1199));
    shell->startup.CompleteInitialization(true);
    shell->PumpSplashTransition();
    EXPECT_EQ(shell->router.Current(), ScreenId::Splash);

    auto console = MakeShell(ProductKind::OstrelNode);
    console->router.Navigate(ScreenId::Splash);
    console->startup.EnterSplash(NativeShell::Clock::now() - std::chrono::seconds(5));
    console->PumpSplashTransition();
    EXPECT_EQ(console->router.Current(), ScreenId::Splash);
}

TEST_F(ShellObject, SplashRestoresAStoredServerSession) {
    {
        account::ServerSession session;
        session.playerId = L"srv-9";
        session.nickname = L"Oles";
        session.email = L"oles@example.com";
        session.accessToken = L"access";
        session.refreshToken = L"refresh";
        std::wstring error;
        ASSERT_TRUE(account::ServerSessionStore().Save(session, error)) << std::string(error.begin(), error.end());
    }
    auto shell = MakeShell();
    shell->startup.EnterSplash(NativeShell::Clock::now() - std::chrono::seconds(4));
    shell->PumpSplashTransition();
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    ASSERT_TRUE(shell->serverSession);
    EXPECT_EQ(shell->serverSession->playerId, L"srv-9");
    ASSERT_TRUE(shell->accountRecord);
    EXPECT_EQ(shell->accountRecord->createdAt, L"SERVER ACCOUNT");
    EXPECT_TRUE(shell->accountRecord->emailVerified);
    EXPECT_EQ(shell->playerData.identity.playerKey, L"srv-9");
    EXPECT_EQ(shell->sessionProvider.AccountId(), L"srv-9");
    EXPECT_TRUE(Logged("SplashExitReason=SafetyTimeout"));
    EXPECT_TRUE(Logged("ServerTrustedDeviceCacheRestored"));
    EXPECT_FALSE(Logged("LoginEntered"));
}

TEST_F(ShellObject, APlainFolderInstallNeverMigrates) {
    auto shell = MakeShell();
    shell->RunBootstrapMigration();  // the test executable's folder holds no current.json
    for (const auto& e : LogEvents()) EXPECT_EQ(e.rfind("BootstrapMigration", 0), std::string::npos) << e;
    EXPECT_EQ(NativeShell::DistributionInstallRoot(), NativeShell::ExecutableDirectory());
    EXPECT_FALSE(shell->OpenDistributionLauncher()) << "no launcher beside a plain build";
    EXPECT_FALSE(shell->RepairDistributionShortcuts());
}

TEST_F(ShellObject, EscapeOutsidePlay) {
    auto shell = MakeShell();
    shell->OnKeyDown(VK_ESCAPE);  // on the splash
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    shell->Navigate(ScreenId::Updates);
    shell->Dispatch("nav.privacy");
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Updates);
    shell->Navigate(ScreenId::ResetPassword);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Login);

    // Settings opened from the pause view of a live match returns to it (and to its backend).
    shell->simulation = std::make_unique<gameplay::TrainingSimulation>(shell->gameplayConfig);
    shell->renderBackend = std::make_unique<renderer::D3D11Renderer>();
    shell->settingsReturnScreen = ScreenId::Pause;
    shell->Navigate(ScreenId::Settings);
    shell->fireHeld = true;
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    EXPECT_TRUE(shell->menuOpen);
    EXPECT_FALSE(shell->fireHeld);
    // The same Escape once the match has ended goes home.
    shell->simulation.reset();
    shell->Navigate(ScreenId::Settings);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
}

TEST_F(ShellObject, OwnerConsoleEscapeLeadsToItsOverview) {
    auto shell = MakeShell(ProductKind::OstrelNode);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelGate);
    shell->Navigate(ScreenId::OstrelAudit);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelOverview);
}

// A match in play, with an off-screen 1920 x 1080 target for the main window's paints.
class PlayKeys : public CanvasFixture {
protected:
    void SetUp() override {
        CanvasFixture::SetUp();
        shell->simulation = std::make_unique<gameplay::TrainingSimulation>(shell->gameplayConfig);
        shell->simulation->Start();
        shell->router.Navigate(ScreenId::Gameplay);
    }
};

TEST_F(PlayKeys, EscapeTogglesThePauseViewThroughTheRouterOnly) {
    shell->toast = L"kept";
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    EXPECT_TRUE(shell->menuOpen);
    EXPECT_EQ(shell->toast, L"kept");
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);
    EXPECT_FALSE(shell->menuOpen);
}

TEST_F(PlayKeys, FireModePerformanceLineAndOfflineArsenalKey) {
    const auto mode = shell->simulation->Weapon().fireMode;
    shell->OnKeyDown('B');
    EXPECT_NE(shell->simulation->Weapon().fireMode, mode);
    shell->OnKeyDown(VK_F3);
    EXPECT_TRUE(shell->showPerformance);
    shell->OnKeyDown(VK_F2);  // offline: nothing
    EXPECT_FALSE(shell->shopOpen);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);
    shell->menuOpen = true;
    shell->OnKeyDown('B');  // not while the menu is open
    EXPECT_NE(shell->simulation->Weapon().fireMode, mode);
}

TEST_F(PlayKeys, OnlineArsenalOpensBuysAndClosesAndReloadLocksOutForTheWeaponsTime) {
    shell->onlineMatch = true;
    shell->fireHeld = shell->aimHeld = shell->fireRequested = true;
    shell->OnKeyDown(VK_F2);
    EXPECT_TRUE(shell->shopOpen);
    EXPECT_TRUE(shell->menuOpen);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    EXPECT_FALSE(shell->fireHeld || shell->aimHeld || shell->fireRequested);
    shell->OnKeyDown('2');
    EXPECT_EQ(shell->matchClient.Economy().message, "PROFILE_REQUIRED");
    shell->OnKeyDown(VK_F3);  // other keys are ignored while the arsenal is open
    EXPECT_FALSE(shell->showPerformance);
    shell->OnKeyDown(VK_ESCAPE);
    EXPECT_FALSE(shell->shopOpen);
    EXPECT_FALSE(shell->menuOpen);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);

    // R asks the server for a reload, then is locked out for the weapon's own time.
    using namespace std::chrono_literals;
    UseTestClock(*shell);
    heldTime = NativeShell::Clock::now();
    const auto press = [&](NativeShell::Clock::duration wait) {
        shell->reloadRequested = false;
        *heldTime += wait;
        shell->OnKeyDown('R');
        return shell->reloadRequested;
    };
    const std::pair<int, std::chrono::milliseconds> lockouts[] = {{0, 1650ms}, {1, 1350ms}, {2, 2000ms}, {5, 1650ms}};
    for (const auto& [weapon, lockout] : lockouts) {
        gameplay::PlayerState player = shell->simulation->Player();
        player.weaponIndex = weapon;
        gameplay::WeaponState held = shell->simulation->Weapon();
        held.magazine = 1;
        shell->simulation->ApplyOnlineSnapshot(player, held, {});
        EXPECT_TRUE(press(0ns)) << weapon;
        EXPECT_FALSE(press(lockout - 1ns)) << weapon << ": one tick before its time";
        EXPECT_TRUE(press(1ns)) << weapon << ": at its time";
        *heldTime += lockout;
    }
}

TEST_F(PlayKeys, QualityAssuranceKeysNeedTheVariable) {
    const gameplay::Vec3 start = shell->simulation->Player().position;
    {
        testing::ScopedEnvironment qa(L"TARVO_RUNTIME_QA", L"0");
        shell->OnKeyDown(VK_F7);
        EXPECT_FLOAT_EQ(shell->simulation->Player().position.x, start.x);
    }
    {
        testing::ScopedEnvironment qa(L"TARVO_RUNTIME_QA", L"12345678");  // too long for the buffer
        EXPECT_FALSE(NativeShell::RuntimeQaKeysEnabled());
    }
    {
        testing::ScopedEnvironment qa(L"TARVO_RUNTIME_QA", L"1234567");
        EXPECT_TRUE(NativeShell::RuntimeQaKeysEnabled());
        ASSERT_FALSE(shell->simulation->Bots().empty());
        shell->OnKeyDown(VK_F6);
        const gameplay::Vec3 expected = shell->simulation->CameraPosition() +
                                        shell->simulation->CameraForward() * 3.5f - gameplay::Vec3{0, 1.05f, 0};
        EXPECT_NEAR(shell->simulation->Bots()[0].position.x, expected.x, 1e-3);
        EXPECT_NEAR(shell->simulation->Bots()[0].position.z, expected.z, 1e-3);
        EXPECT_TRUE(Logged("RuntimeQaTargetPositioned"));
        shell->OnKeyDown(VK_F7);
        EXPECT_FLOAT_EQ(shell->simulation->Player().position.x, 999.0f);
        EXPECT_TRUE(Logged("RuntimeQaOutOfBoundsInjected"));
    }
}

// Under Wine the view is a popup that goes while the program is inactive; the main window
// then paints what the view showed: the pause rows, or the arsenal while it is open.
TEST_F(PlayKeys, ButtonsAndActivationLossAndTheMainWindowsPanel) {
    MessageWindow owner;
    shell->window = owner.Handle();
    shell->renderView = CreateWindowExW(WS_EX_NOACTIVATE, L"STATIC", L"", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    ShowWindow(shell->renderView, SW_SHOWNA);
    shell->menuOpen = true;
    shell->HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_FALSE(shell->fireHeld) << "no shot while the pause menu is open";
    shell->menuOpen = false;
    shell->HandleMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(shell->aimHeld);
    shell->HandleMessage(WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(shell->aimHeld);
    EXPECT_TRUE(shell->menuOpen);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    shell->aimHeld = true;
    shell->HandleMessage(WM_ACTIVATEAPP, FALSE, 0);  // on Pause only the held buttons clear
    EXPECT_FALSE(shell->aimHeld);
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);

    ASSERT_TRUE(shell->PauseShownByMainWindow());
    const int cx = 960, cy = 540;
    const auto shows = [&](int x, int y, float r, float g, float b) {
        return Near(Pixel(x, y), D2D1::ColorF(r / 255, g / 255, b / 255), 3);
    };
    const auto paint = [&] {
        ASSERT_HRESULT_SUCCEEDED(shell->PaintPausePanel(1920, 1080));
        ReadPixels();
    };
    // The pause rows every 70 from cy - 70 with their lime marks, the exit row red.
    paint();
    for (int row = 0; row < 4; ++row) {
        const int top = cy - 70 + 70 * row;
        EXPECT_TRUE(row < 3 ? shows(cx - 270, top + 50, 60, 76, 81) && shows(cx - 279, top + 27, 208, 249, 39)
                            : shows(cx - 270, top + 50, 91, 47, 53) && shows(cx - 279, top + 27, 206, 85, 77)) << row;
    }
    EXPECT_EQ(LitPixels(cx - 340, cy - 258, cx + 100, cy - 222), 0);
    // The online arsenal: its title where the pause title is not, the first weapon equipped
    // and lit, the second for sale, and between them no pause row.
    shell->onlineMatch = true;
    shell->OnKeyDown(VK_F2);
    ASSERT_TRUE(shell->shopOpen && shell->PauseShownByMainWindow());
    paint();
    EXPECT_GT(LitPixels(cx - 340, cy - 258, cx + 100, cy - 222), 300);  // "АРСЕНАЛ / ONLINE"
    EXPECT_TRUE(shows(cx + 300, cy - 35, 52.5f, 100.9f, 109.7f) && shows(cx - 349, cy - 70, 208, 249, 39));
    EXPECT_TRUE(shows(cx + 300, cy + 70, 52.5f, 68.1f, 78.4f) && shows(cx - 349, cy + 35, 0, 220.6f, 245.8f));
    EXPECT_TRUE(shows(cx - 270, cy - 20, 37.6f, 51.7f, 60.6f));
    shell->window = nullptr;
}

}  // namespace
}  // namespace tarvo::ui::test
