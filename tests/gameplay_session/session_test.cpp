// Sessions on a real shell: start, frames, fire, events and stop with a scripted
// render backend that the shell reuses (so no device is needed), the player file
// read back from disk, and the statistics sync against a loopback account service.
#include <windows.h>

#include <algorithm>
#include <tuple>

#include "common/data_roots.h"
#include "common/text_utils.h"
#include "gameplay/training_simulation.h"
#include "player/local_player_data_store.h"
#include "shell/gameplay_logic.h"
#include "shell/shell_fixture.h"
#include "support/fake_account_service.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using namespace std::chrono_literals;

// A ready backend of whatever kind the selection picks, recording what it is asked.
class ScriptedBackend final : public renderer::IRenderBackend {
public:
    explicit ScriptedBackend(const NativeShell& shell) : shell_(shell) {}
    ScriptedBackend(const NativeShell& shell, renderer::RenderBackendKind fixed) : shell_(shell), fixed_(fixed) {}

    renderer::GraphicsDiagnostics Preflight() const override { return {}; }
    bool Initialize(HWND, const std::filesystem::path&) override {
        ++initializeCalls;
        return true;
    }
    bool Render(const gameplay::TrainingSimulation&, const renderer::RenderOverlay& overlay) override {
        ++renderCalls;
        lastOverlay = overlay;
        if (!failNextRender) return true;
        lastError_ = L"Device removed while presenting.";
        ready = false;
        return false;
    }
    void Resize() override { ++resizeCalls; }
    void SetVSync(bool enabled) override { vsync = enabled; }
    void Shutdown() override {
        if (ready) viewLiveAtShutdown = IsWindow(view) != FALSE;
        ++shutdownCalls;
        if (shutdownsSeenOutside) ++*shutdownsSeenOutside;
        ready = false;
    }
    bool Ready() const override { return ready; }
    const std::wstring& DeviceName() const override { return device_; }
    const std::wstring& LastError() const override { return lastError_; }
    // Unless fixed, always the kind just selected, so the shell keeps and reuses it.
    renderer::RenderBackendKind Kind() const override {
        return fixed_ == renderer::RenderBackendKind::Auto ? shell_.graphicsSelection.selected : fixed_;
    }
    bool ImportedCharacterReady() const override { return true; }
    bool ImportedWeaponReady() const override { return true; }

    bool ready = true;
    bool failNextRender = false;
    bool vsync = false;
    HWND view = nullptr;  // the render view, for tests that give the shell one
    bool viewLiveAtShutdown = false;
    int initializeCalls = 0, renderCalls = 0, resizeCalls = 0, shutdownCalls = 0;
    int* shutdownsSeenOutside = nullptr;  // still readable after the shell destroyed this object
    renderer::RenderOverlay lastOverlay;

private:
    const NativeShell& shell_;
    renderer::RenderBackendKind fixed_ = renderer::RenderBackendKind::Auto;
    std::wstring device_ = L"scripted device";
    std::wstring lastError_;
};

class Session : public ShellFixture {
protected:
    void SetUp() override { Build(kUnreachableAccountService); }

    void Build(const std::wstring& accountService) {
        shell = std::make_unique<NativeShell>(GetModuleHandleW(nullptr), ProductKind::Game, accountService);
        UseTestClock(*shell);
        heldTime = NativeShell::Clock::now();
        shell->window = window_.Handle();
        shell->Navigate(ScreenId::MainMenu);  // play starts from home, which reads the stored profile
        auto scripted = std::make_unique<ScriptedBackend>(*shell);
        backend = scripted.get();
        shell->renderBackend = std::move(scripted);
    }

    void TearDown() override {
        if (shell) {
            shell->ReleaseGameplayCursor();
            shell->window = nullptr;
            shell.reset();
        }
    }

    // One frame as if `elapsed` had passed since the previous one.
    void Frame(std::chrono::milliseconds elapsed = 20ms) {
        shell->lastFrameAt = shell->Now() - elapsed;
        shell->PumpGameplayFrame();
    }

    player::BotStats SavedStats() const {
        return player::LocalPlayerDataStore().Load(L"LOCAL", L"LOCAL_OPERATOR").botStats;
    }
    // Trainings started, trainings completed and seconds played.
    static auto TrainingFigures(const player::BotStats& s) {
        return std::tuple(s.trainingsStarted, s.trainingsCompleted, s.playSeconds);
    }

    // Puts bot 0 right in front of the camera, as the QA key does.
    void TargetInFront() {
        gameplay::TrainingSimulation& sim = *shell->simulation;
        sim.SetBotPositionForQa(0, sim.CameraPosition() + sim.CameraForward() * 3.5f - gameplay::Vec3{0.0f, 1.05f, 0.0f});
        sim.SetBotYawForQa(0, sim.Player().yaw + 180.0f);
    }

    std::vector<std::string> EventsFrom(const std::string& first) const {
        std::vector<std::string> events = LogEvents();
        auto at = std::find(events.begin(), events.end(), first);
        return std::vector<std::string>(at, events.end());
    }

    std::unique_ptr<NativeShell> shell;
    ScriptedBackend* backend = nullptr;

private:
    // A real top-level window: the cursor clip and the screen changes need one.
    class PlainWindow {
    public:
        PlainWindow() {
            handle_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1280, 720, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
        }
        ~PlainWindow() { DestroyWindow(handle_); }
        HWND Handle() const { return handle_; }

    private:
        HWND handle_ = nullptr;
    } window_;
};

TEST_F(Session, StartReusesTheReadyBackendCountsTheTrainingAndEntersPlay) {
    ASSERT_TRUE(shell->StartGameplay());
    ASSERT_NE(shell->simulation, nullptr);
    EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay);
    EXPECT_TRUE(shell->cursorCaptured);
    EXPECT_FALSE(shell->menuOpen);
    EXPECT_EQ(backend->initializeCalls, 0);
    EXPECT_EQ(backend->resizeCalls, 1);
    EXPECT_TRUE(backend->vsync);
    EXPECT_EQ(shell->simulation->Bots().size(), 3u);
    EXPECT_EQ(shell->playerData.botStats.trainingsStarted, 1u);
    EXPECT_EQ(SavedStats().trainingsStarted, 1u) << "saved at the start";
    EXPECT_EQ(shell->botStatsAtStart.trainingsStarted, 0u);

    const std::vector<std::string> events = EventsFrom("GameplaySubsystemStart");
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(events.begin(), events.begin() + 4),
              (std::vector<std::string>{"GameplaySubsystemStart", "ZE001LoadStarted", "ZE001LoadCompleted",
                                        "RenderBackendReused"}));
    EXPECT_TRUE(InOrder(events, {"RenderBackendReused", "PlayerSpawned", "GameplaySessionStarted", "MapLoaded"}));
    const std::vector<std::string> all = LogEvents();
    const auto passed = std::find_if(all.begin(), all.end(), [](const std::string& e) {
        return e.rfind("GraphicsPreflightPassed Selected=", 0) == 0;
    });
    ASSERT_NE(passed, all.end());
    ASSERT_NE(passed, all.begin());
    EXPECT_EQ((passed - 1)->rfind("GraphicsPreflight=", 0), 0u);

    // A second start while the session runs changes nothing.
    const size_t logged = LogEvents().size();
    gameplay::TrainingSimulation* running = shell->simulation.get();
    EXPECT_TRUE(shell->StartGameplay());
    EXPECT_EQ(shell->simulation.get(), running);
    EXPECT_EQ(LogEvents().size(), logged);
    EXPECT_EQ(shell->playerData.botStats.trainingsStarted, 1u);
}

TEST_F(Session, FramesArePacedByTheFpsLimitWithThirtyAsTheFloor) {
    ASSERT_TRUE(shell->StartGameplay());
    shell->fpsLimit = 144;
    Frame(8ms);
    EXPECT_EQ(backend->renderCalls, 1);

    shell->fpsLimit = 10;  // paces at 30
    shell->lastFrameAt = shell->Now();
    shell->PumpGameplayFrame();  // at once again: too early, nothing happens
    EXPECT_EQ(backend->renderCalls, 1);
    Frame(33ms);
    EXPECT_EQ(backend->renderCalls, 1);
    Frame(34ms);
    EXPECT_EQ(backend->renderCalls, 2);
    EXPECT_FLOAT_EQ(shell->frameTimeMs, 34.0f);

    const renderer::RenderOverlay& overlay = backend->lastOverlay;
    EXPECT_FALSE(overlay.menuOpen);
    EXPECT_FALSE(overlay.onlineMatch);
    EXPECT_TRUE(overlay.scoreRows.empty());
    EXPECT_TRUE(overlay.ukrainian);
    EXPECT_EQ(overlay.quality, 1u);
    EXPECT_EQ(overlay.deviceName, L"scripted device");
    EXPECT_TRUE(overlay.qaCapturePath.empty());
}

TEST_F(Session, FramesOutsidePlayOrWithoutAReadyBackendDoNothing) {
    ASSERT_TRUE(shell->StartGameplay());
    shell->router.Navigate(ScreenId::Settings);
    Frame(50ms);
    EXPECT_EQ(backend->renderCalls, 0);
    shell->router.Navigate(ScreenId::Pause);
    backend->ready = false;
    Frame(50ms);
    EXPECT_EQ(backend->renderCalls, 0);
    backend->ready = true;
    Frame(50ms);
    EXPECT_EQ(backend->renderCalls, 1) << "the pause view is drawn too";
}

TEST_F(Session, OfflinePauseFreezesTheWorldAndTheFeedbackTimers) {
    ASSERT_TRUE(shell->StartGameplay());
    shell->menuOpen = true;
    shell->router.Navigate(ScreenId::Pause);
    shell->hitMarker = 0.4f;
    shell->killConfirm = 0.5f;
    shell->aimHeld = true;
    const gameplay::Vec3 bot = shell->simulation->Bots()[0].position;
    for (int i = 0; i < 5; ++i) Frame(100ms);
    EXPECT_EQ(backend->renderCalls, 5);
    EXPECT_TRUE(backend->lastOverlay.menuOpen);
    EXPECT_FLOAT_EQ(shell->hitMarker, 0.4f);
    EXPECT_FLOAT_EQ(shell->killConfirm, 0.5f);
    EXPECT_EQ(shell->adsBlend, 0.0f) << "no aiming in the menu";
    EXPECT_EQ(shell->simulation->Bots()[0].position.x, bot.x);
    EXPECT_EQ(shell->simulation->Bots()[0].position.z, bot.z);

    shell->menuOpen = false;
    shell->router.Navigate(ScreenId::Gameplay);
    Frame(50ms);
    EXPECT_LE(shell->hitMarker, 0.35f) << "decays again by the frame time";
    EXPECT_GT(shell->hitMarker, 0.0f);
    EXPECT_GT(shell->adsBlend, 0.0f);
}

TEST_F(Session, DamageFlashOnAHitThatDoesNotKillOnly) {
    ASSERT_TRUE(shell->StartGameplay());
    Frame();
    shell->simulation->DamagePlayer(10.0f);
    Frame();
    EXPECT_GT(shell->damageFlash, 0.0f);
    EXPECT_LT(shell->damageFlash, 0.3f) << "set to 0.3, then decayed by the frame";
    shell->damageFlash = 0.0f;
    shell->simulation->DamagePlayer(1000.0f);
    Frame();
    EXPECT_EQ(shell->damageFlash, 0.0f);
    EXPECT_EQ(shell->playerData.botStats.deaths, 1u) << "BotKilledPlayer counts a death";
    EXPECT_EQ(SavedStats().deaths, 1u);
}

TEST_F(Session, OfflineShotsCountHitsKillsAndAreSavedAtOnce) {
    shell->gameplayConfig.bot_health = 30.0f;  // one rifle shot kills
    ASSERT_TRUE(shell->StartGameplay());
    TargetInFront();
    shell->FireWeapon();
    const auto shotsHitsKills = [](const player::BotStats& s) { return std::tuple(s.shotsFired, s.shotsHit, s.kills); };
    EXPECT_EQ(shotsHitsKills(shell->playerData.botStats), std::tuple(1u, 1u, 1u));
    EXPECT_FLOAT_EQ(shell->muzzleFlash, 0.075f);
    EXPECT_FLOAT_EQ(shell->hitMarker, 0.12f);
    EXPECT_FLOAT_EQ(shell->killConfirm, 0.75f);
    EXPECT_EQ(shotsHitsKills(SavedStats()), std::tuple(1u, 1u, 1u));
    EXPECT_TRUE(Logged("PlayerKilledBot"));

    // The cooldown holds the next pull; nothing is counted.
    shell->FireWeapon();
    EXPECT_EQ(shell->playerData.botStats.shotsFired, 1u);
    // No firing from the menu.
    shell->simulation->Update({}, 0.2f);
    shell->menuOpen = true;
    shell->FireWeapon();
    EXPECT_EQ(shell->playerData.botStats.shotsFired, 1u);
}

TEST_F(Session, AnEmptyWeaponClicksAtMostEvery220MsAndCountsNoShot) {
    shell->gameplayConfig.magazine_size = 1;
    shell->gameplayConfig.reserve_ammo = 0;  // nothing to reload: the click stays
    ASSERT_TRUE(shell->StartGameplay());
    shell->FireWeapon();
    shell->simulation->Update({}, 0.2f);
    auto clicks = [&] {
        const auto events = LogEvents();
        return std::count_if(events.begin(), events.end(), [](const std::string& e) {
            return e == "AudioEmptyTriggered" || e == "AudioEmptyCueUnavailable";
        });
    };
    shell->FireWeapon();
    EXPECT_EQ(clicks(), 1);
    *heldTime += 219ms;
    shell->FireWeapon();
    EXPECT_EQ(clicks(), 1);
    *heldTime += 1ms;
    shell->FireWeapon();
    EXPECT_EQ(clicks(), 2);
    EXPECT_EQ(shell->playerData.botStats.shotsFired, 1u);
}

TEST_F(Session, HeldTriggerFiresAutomaticallyEachFrame) {
    shell->gameplayConfig.fire_rate = 20.0f;  // the cooldown ends within one frame
    ASSERT_TRUE(shell->StartGameplay());
    shell->fireHeld = true;
    for (int i = 0; i < 4; ++i) Frame(150ms);
    EXPECT_EQ(shell->playerData.botStats.shotsFired, 4u);
    shell->simulation->ToggleFireMode();  // semi-automatic: holding does nothing more
    for (int i = 0; i < 3; ++i) Frame(150ms);
    EXPECT_EQ(shell->playerData.botStats.shotsFired, 4u);
}

TEST_F(Session, LeavingToTheMenuKeepsTheBackendAndCompletesTheTraining) {
    ASSERT_TRUE(shell->StartGameplay());
    *heldTime += 90s;
    shell->ReturnToPause();  // left from the pause menu, whose opening restarts the frame clock
    shell->StopGameplay(true);
    EXPECT_EQ(shell->simulation, nullptr);
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_FALSE(shell->cursorCaptured);
    EXPECT_TRUE(backend->ready);
    EXPECT_EQ(backend->shutdownCalls, 0);
    EXPECT_EQ(TrainingFigures(SavedStats()), std::tuple(1u, 1u, 90.0));

    const std::vector<std::string> events = EventsFrom("RuntimeInvalidWallDamageEvents=0");
    ASSERT_GE(events.size(), 4u);
    EXPECT_EQ(events[1], "RuntimeOutOfBoundsRecoveries=0");
    EXPECT_EQ(events[2].rfind("RuntimePerformance Renderer=", 0), 0u);
    EXPECT_NE(events[2].find(" FPS=0.000000 FrameTimeMs=0.000000"), std::string::npos) << events[2];
    EXPECT_EQ(events[3], "GameplaySessionEnded");

    // The next session reuses the same object without initializing it again.
    ASSERT_TRUE(shell->StartGameplay());
    EXPECT_EQ(backend->initializeCalls, 0);
    const std::vector<std::string> all = LogEvents();
    EXPECT_EQ(std::count(all.begin(), all.end(), "RenderBackendReused"), 2);

    // Its figures are its own: none of this session's shows in the next one before its first half second.
    shell->fpsWindowStart -= 600ms;
    Frame();
    ASSERT_GT(shell->measuredFps, 0.0f);
    shell->StopGameplay(true);
    ASSERT_TRUE(shell->StartGameplay());
    Frame();
    EXPECT_EQ(backend->lastOverlay.fps, 0.0f);
    shell->StopGameplay(true);
    const std::vector<std::string> last = EventsFrom("RuntimeInvalidWallDamageEvents=0");
    const auto performance = std::find_if(last.rbegin(), last.rend(), [](const std::string& e) {
        return e.rfind("RuntimePerformance Renderer=", 0) == 0;
    });
    ASSERT_NE(performance, last.rend());
    EXPECT_NE(performance->find(" FPS=0.000000"), std::string::npos) << *performance;
}

// Closing the window during play ends the session without completing the training; the
// backend lets go of its view while the view exists: an owned popup view is destroyed
// before its owner's WM_DESTROY, a child view after it.
TEST_F(Session, ClosingTheWindowDuringPlayShutsTheBackendDownWhileItsViewExists) {
    ASSERT_TRUE(shell->RegisterWindowClasses());
    for (const DWORD kind : {DWORD{WS_POPUP}, DWORD{WS_CHILD}}) {
        SCOPED_TRACE(kind == WS_POPUP ? "popup view" : "child view");
        backend->ready = true;
        ASSERT_TRUE(shell->CreateMainWindow());
        ASSERT_TRUE(shell->StartGameplay());
        backend->view = shell->renderView = CreateWindowExW(0, kRenderViewClass, nullptr, kind, 0, 0, 64, 64,
                                                            shell->window, nullptr, nullptr, shell.get());
        DestroyWindow(shell->window);
        EXPECT_TRUE(backend->viewLiveAtShutdown);
        EXPECT_EQ(shell->router.Current(), ScreenId::Gameplay) << "no navigation without returning to the menu";
        MSG quit;
        EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    }
    EXPECT_EQ(SavedStats().trainingsStarted, 2u);
    EXPECT_EQ(SavedStats().trainingsCompleted, 0u);
}

TEST_F(Session, AStopWithoutSessionWritesNoRuntimeLinesButStillReleasesTheBackend) {
    shell->StopGameplay(false);
    EXPECT_EQ(backend->shutdownCalls, 1);
    EXPECT_FALSE(Logged("RuntimeOutOfBoundsRecoveries=0"));
    shell->StopGameplay(false);  // nothing ready any more: returns at once
    EXPECT_EQ(backend->shutdownCalls, 1);
}

TEST_F(Session, WithoutABackendThePerformanceLineNamesNone) {
    ASSERT_TRUE(shell->StartGameplay());
    shell->renderBackend.reset();
    backend = nullptr;
    shell->StopGameplay(false);
    const std::vector<std::string> all = LogEvents();
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const std::string& e) {
        return e.rfind("RuntimePerformance Renderer=NONE FPS=", 0) == 0;
    }));
}

TEST_F(Session, ARenderFailureEndsTheSessionWithTheBackendsError) {
    ASSERT_TRUE(shell->StartGameplay());
    backend->failNextRender = true;
    Frame(50ms);
    EXPECT_EQ(shell->simulation, nullptr);
    EXPECT_EQ(shell->router.Current(), ScreenId::MainMenu);
    EXPECT_EQ(shell->toast, L"RENDER BACKEND FAILED: Device removed while presenting.");
    EXPECT_TRUE(Logged("RenderBackendFailure"));
    EXPECT_EQ(backend->shutdownCalls, 1) << "a backend that is no longer ready is shut down";
}

TEST_F(Session, WithoutARenderViewTheStartFailsAndLeavesNothingRunning) {
    shell->renderBackend.reset();  // a new backend is needed, and its view
    shell->window = nullptr;       // cannot be made without a parent
    EXPECT_FALSE(shell->StartGameplay());
    EXPECT_EQ(shell->simulation, nullptr);
    EXPECT_EQ(shell->renderView, nullptr);
    EXPECT_FALSE(shell->cursorCaptured);
    EXPECT_EQ(shell->toast, L"RENDER VIEW CREATION FAILED");
    EXPECT_TRUE(Logged("RenderViewCreationFailed"));
    EXPECT_EQ(shell->playerData.botStats.trainingsStarted, 0u);
}

TEST_F(Session, ABackendOfAnotherKindIsShutDownAndReplaced) {
    // Another test here may have registered the view class; this one needs it absent.
    UnregisterClassW(kRenderViewClass, GetModuleHandleW(nullptr));
    auto vulkan = std::make_unique<ScriptedBackend>(*shell, renderer::RenderBackendKind::Vulkan);
    int shutdowns = 0;
    vulkan->shutdownsSeenOutside = &shutdowns;
    shell->renderBackend = std::move(vulkan);
    shell->rendererPreference = renderer::RenderBackendKind::Direct3D11;
    const bool started = shell->StartGameplay();
    if (shell->graphicsSelection.selected != renderer::RenderBackendKind::Direct3D11) {
        GTEST_SKIP() << "Direct3D 11 is not available here";
    }
    EXPECT_EQ(shutdowns, 1);
    ASSERT_NE(shell->renderBackend, nullptr);
    EXPECT_EQ(shell->renderBackend->Kind(), renderer::RenderBackendKind::Direct3D11);
    EXPECT_FALSE(Logged("RenderBackendReused"));
    // The plain test window has no render view class: the new backend gets no view.
    EXPECT_FALSE(started);
    EXPECT_TRUE(Logged("RenderViewCreationFailed"));
}

TEST_F(Session, AnOnlineSessionHasNoBotsAndCountsNoTraining) {
    shell->onlineMatch = true;
    shell->selectedMap = 1;
    ASSERT_TRUE(shell->StartGameplay());
    EXPECT_TRUE(shell->simulation->Bots().empty());
    EXPECT_EQ(shell->simulation->mapIndex, 1);
    EXPECT_EQ(shell->playerData.botStats.trainingsStarted, 0u);
    *heldTime += 20s;
    shell->StopGameplay(true);
    EXPECT_FALSE(shell->onlineMatch);
    EXPECT_EQ(TrainingFigures(SavedStats()), std::tuple(0u, 0u, 0.0));
}

TEST_F(Session, AnOnlineSessionWithAMissingArenaDoesNotStart) {
    // A map index the arena table does not hold stands for a missing file.
    shell->onlineMatch = true;
    shell->selectedMap = 3;
    ShowWindow(shell->window, SW_SHOWNA);
    ValidateRect(shell->window, nullptr);
    EXPECT_FALSE(shell->StartGameplay());
    EXPECT_EQ(shell->simulation, nullptr);
    EXPECT_EQ(shell->toast, L"MAP FILE IS MISSING OR DAMAGED");
    EXPECT_TRUE(GetUpdateRect(shell->window, nullptr, FALSE)) << "the refusal is painted at once";
    EXPECT_FALSE(shell->cursorCaptured);
}

TEST_F(Session, ReturnToPauseFromSettingsResizesTheBackendAndResetsTheFrameClock) {
    ASSERT_TRUE(shell->StartGameplay());
    shell->Navigate(ScreenId::Settings);
    shell->OnSize(2560, 1440);
    EXPECT_EQ(backend->resizeCalls, 2) << "a size change behind Settings reaches the backend";
    shell->fireHeld = shell->aimHeld = true;
    shell->lastFrameAt = shell->Now() - 10s;
    shell->ReturnToPause();
    EXPECT_EQ(backend->resizeCalls, 3) << "and so does showing the view again";
    EXPECT_EQ(shell->router.Current(), ScreenId::Pause);
    EXPECT_TRUE(shell->menuOpen);
    EXPECT_FALSE(shell->fireHeld);
    EXPECT_FALSE(shell->aimHeld);
    EXPECT_EQ(shell->lastFrameAt, shell->Now());
}

TEST_F(Session, EventsOtherThanKillsAndDeathsAreOnlyLogged) {
    ASSERT_TRUE(shell->StartGameplay());
    shell->simulation->ToggleFireMode();
    shell->FlushGameplayEvents();
    EXPECT_TRUE(Logged("FireModeSemiAutomatic"));
    EXPECT_EQ(shell->playerData.botStats.kills, 0u);
    EXPECT_EQ(shell->playerData.botStats.deaths, 0u);
}

class SessionSync : public Session {
protected:
    void SetUp() override {
        ASSERT_TRUE(service.Running());
        service.Script("sync/bot-stats", 200, R"({"code":"OK"})");
        Build(service.BaseUrl());
        shell->serverSession = account::ServerSession{.playerId = L"P-1", .accessToken = L"access-1"};
    }

    testing::FakeAccountService service;
};

TEST_F(SessionSync, ATrainingThatRanIsReportedOnceWithItsDeltas) {
    shell->gameplayConfig.bot_health = 30.0f;
    ASSERT_TRUE(shell->StartGameplay());
    TargetInFront();
    shell->FireWeapon();
    shell->StopGameplay(true);
    ASSERT_TRUE(shell->accountRequest.has_value()) << "the ended training is reported";
    shell->accountRequest->wait();  // the exchange ends by its own deadline at the latest
    shell->accountRequest.reset();
    const auto request = service.LastRequest("sync/bot-stats");
    ASSERT_TRUE(request.has_value());
    EXPECT_EQ(request->Header("authorization"), "Bearer access-1");
    EXPECT_NE(request->body.find("\"stats\":{\"trainingsStarted\":1,\"trainingsCompleted\":1,\"kills\":1,\"deaths\":0,"
                                 "\"shotsFired\":1,\"shotsHit\":1,\"headshots\":0,\"playSeconds\":0}"),
              std::string::npos)
        << request->body;
    const std::string id = distribution::WideToUtf8(distribution::EnsureInstallationId());
    ASSERT_FALSE(id.empty());
    EXPECT_NE(request->body.find("\"submissionId\":\"" + id + "_"), std::string::npos) << request->body;

    // The window closes later: the ended session is not reported again. Every request the
    // shell sends is either held in its slot or finished before the call returns.
    shell->StopGameplay(false);
    EXPECT_FALSE(shell->accountRequest.has_value());
    EXPECT_EQ(service.RequestCount(), 1u);
}

TEST_F(SessionSync, OnlineSessionsAreNeverReported) {
    shell->onlineMatch = true;
    ASSERT_TRUE(shell->StartGameplay());
    shell->StopGameplay(true);
    EXPECT_FALSE(shell->accountRequest.has_value());
    EXPECT_EQ(service.RequestCount(), 0u);
}

}  // namespace
}  // namespace tarvo::ui::test
