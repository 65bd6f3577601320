// Opening and closing a gameplay session: renderer selection and fallback, the
// render view, the simulation, cursor capture and the statistics of a training.
#include <dwmapi.h>

#include "common/data_roots.h"
#include "common/text_utils.h"
#include "core/runtime_log.h"
#include "gameplay/training_simulation.h"
#include "renderer/d3d11/d3d11_renderer.h"
#include "renderer/vulkan/vulkan_renderer.h"
#include "shell/gameplay_logic.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

using navigation::ScreenId;
using renderer::RenderBackendKind;
using renderer::RendererSelection;

namespace {

void LogNamed(std::string_view event, std::wstring_view value) {
    core::Log().Write(std::string(event) + distribution::WideToUtf8(value));
}

std::unique_ptr<renderer::IRenderBackend> MakeBackend(RenderBackendKind kind) {
    if (kind == RenderBackendKind::Direct3D11) return std::make_unique<renderer::D3D11Renderer>();
    return std::make_unique<renderer::VulkanRenderer>();
}

void RegisterRawMouse(DWORD flags, HWND target) {
    RAWINPUTDEVICE device{};
    device.usUsagePage = 1;
    device.usUsage = 2;
    device.dwFlags = flags;
    device.hwndTarget = target;
    RegisterRawInputDevices(&device, 1, sizeof(device));
}

std::uint64_t UnixMilliseconds() {
    using namespace std::chrono;
    return static_cast<std::uint64_t>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

}  // namespace

bool NativeShell::StartGameplay() {
    if (simulation) return true;
    if (!SelectRenderer()) return false;
    core::Log().Write("GameplaySubsystemStart");
    core::Log().Write("ZE001LoadStarted");

    gameplay::GameplayConfig config = gameplayConfig;
    if (onlineMatch) config.bot_count = 0;  // the other players come from the server
    simulation = std::make_unique<gameplay::TrainingSimulation>(config);
    if (onlineMatch && !simulation->ConfigureMatchMap(selectedMap, FindArenaDirectory(ExecutableDirectory()))) {
        simulation.reset();
        toast = L"MAP FILE IS MISSING OR DAMAGED";
        Repaint();  // the play screen shows it now, not at the next mouse move
        return false;
    }
    simulation->Start();
    if (!simulation->Active()) {
        core::Log().Write("ZE001LoadFailed=SimulationInactive");
        simulation.reset();
        toast = Pick(L"НЕ ВДАЛОСЯ ЗАПУСТИТИ ZE001. ДЕТАЛІ ЗАПИСАНІ В LOG.",
                     L"ZE001 could not start. Details were written to the log.");
        Repaint();
        return false;
    }
    core::Log().Write("ZE001LoadCompleted");
    DiscardDeviceResources();
    if (!StartRenderBackend()) {
        simulation->Stop();
        simulation.reset();
        return false;
    }

    FlushGameplayEvents();
    menuOpen = false;
    const Clock::time_point now = Now();
    lastFrameAt = now;
    fpsWindowStart = now;
    sessionStart = now;
    fpsWindowFrames = 0;
    measuredFps = frameTimeMs = 0.0f;  // no figure of the last session until this one's first window closes
    hitMarker = killConfirm = muzzleFlash = damageFlash = 0.0f;
    lastHealth = simulation->Player().health;

    botStatsAtStart = playerData.botStats;
    if (!onlineMatch) ++playerData.botStats.trainingsStarted;
    SavePlayerData();
    Navigate(ScreenId::Gameplay);
    CaptureGameplayCursor();
    return true;
}

bool NativeShell::SelectRenderer() {
    graphicsSelection = RendererSelection::Run(rendererPreference);
    if (graphicsSelection.selected == RenderBackendKind::Direct3D11) {
        const renderer::D3D11Renderer probe;
        graphicsDiagnostics = probe.Preflight();
    } else {
        graphicsDiagnostics = graphicsSelection.graphics;
    }
    LogNamed("GraphicsPreflight=", graphicsSelection.CompactReport());
    if (!graphicsSelection.usable) {
        core::Log().Write("GraphicsPreflightBlocked");
        Navigate(ScreenId::GraphicsCompatibility);
        return false;
    }
    if (graphicsSelection.reverted) {
        rendererPreference = RenderBackendKind::Auto;
        SaveGamePreferences();
        core::Log().Write("ForcedRendererUnsupportedRevertedToAuto");
    }
    LogNamed("GraphicsPreflightPassed Selected=", RendererSelection::Name(graphicsSelection.selected));
    return true;
}

bool NativeShell::StartRenderBackend() {
    if (renderBackend && renderBackend->Kind() != graphicsSelection.selected) {
        renderBackend->Shutdown();
        renderBackend.reset();
        if (renderView) {
            DestroyWindow(renderView);
            renderView = nullptr;
        }
    }

    if (renderBackend && renderBackend->Ready()) {
        PlaceRenderView(true);
        renderBackend->Resize();
        core::Log().Write("RenderBackendReused");
    } else {
        // A backend that is not ready is replaced together with its view.
        renderBackend = MakeBackend(graphicsSelection.selected);
        if (renderView) {
            DestroyWindow(renderView);
            renderView = nullptr;
        }
        renderView = CreateRenderView();
        if (!renderView) {
            core::Log().Write("RenderViewCreationFailed");
            toast = L"RENDER VIEW CREATION FAILED";
            Repaint();
            return false;
        }

        const std::filesystem::path shaders = ExecutableDirectory() / L"assets" / L"shaders";
        std::wstring failure;
        if (!renderBackend->Initialize(renderView, shaders)) failure = renderBackend->LastError();
        if (!failure.empty() && renderBackend->Kind() == RenderBackendKind::Vulkan && graphicsSelection.d3d11.ready) {
            LogNamed("VulkanInitializationFailedTryingD3D11=", failure);
            renderBackend->Shutdown();
            renderBackend = std::make_unique<renderer::D3D11Renderer>();
            if (renderBackend->Initialize(renderView, shaders)) {
                graphicsSelection.selected = RenderBackendKind::Direct3D11;
                graphicsDiagnostics = renderBackend->Preflight();
                failure.clear();
            } else {
                failure = renderBackend->LastError();
            }
        }
        if (!failure.empty()) {
            DestroyWindow(renderView);
            renderView = nullptr;
            core::Log().Write("RenderBackendInitializationFailed");
            graphicsDiagnostics = renderBackend->Preflight();
            graphicsDiagnostics.error = failure;
            LogNamed("RenderBackendInitializationFailed=", failure);
            Navigate(ScreenId::GraphicsCompatibility);
            return false;
        }
        LogNamed("RenderBackendInitialized=", RendererSelection::Name(renderBackend->Kind()));
        core::Log().Write(renderBackend->ImportedCharacterReady() ? "RozizodivoTexturedVisualReady"
                                                                  : "RozizodivoImportUnavailableFallbackActive");
        core::Log().Write(renderBackend->ImportedWeaponReady() ? "OwnedLegacyRifleVisualReady"
                                                               : "OwnedLegacyRifleFallbackActive");
    }
    renderBackend->SetVSync(vsync);
    return true;
}

void NativeShell::StopGameplay(bool returnToMenu) {
    shopOpen = false;
    matchClient.Close();
    predictedShots = 0;
    trackedWeapon = -1;
    serverShotCount = 0;
    serverResetCount = 0;
    nextShotAt = nextEmptyClickAt = reloadReadyAt = Clock::time_point{};
    remoteShotCounts.clear();
    const bool wasOnline = onlineMatch;
    onlineMatch = false;
    fireRequested = false;
    reloadRequested = false;

    const bool backendReady = renderBackend && renderBackend->Ready();
    if (!simulation && !backendReady) return;
    if (cursorCaptured) ReleaseGameplayCursor();

    // Only a session that ran reports statistics; a later stop (the window closing
    // after the match already ended) finds no simulation and sends nothing again.
    const bool sessionRan = simulation != nullptr;
    if (sessionRan) {
        core::Log().Write("RuntimeInvalidWallDamageEvents=" + std::to_string(simulation->InvalidWallDamageEvents()));
        core::Log().Write("RuntimeOutOfBoundsRecoveries=" + std::to_string(simulation->OutOfBoundsRecoveries()));
        const wchar_t* rendererName = renderBackend ? RendererSelection::Name(renderBackend->Kind()) : L"NONE";
        core::Log().Write("RuntimePerformance Renderer=" + distribution::WideToUtf8(rendererName) +
                          " FPS=" + std::to_string(measuredFps) + " FrameTimeMs=" + std::to_string(frameTimeMs));
        simulation->Stop();
        FlushGameplayEvents();
        if (!wasOnline) {
            const double seconds = std::chrono::duration<double>(Now() - sessionStart).count();
            playerData.botStats.playSeconds += seconds > 0.0 ? seconds : 0.0;
            if (returnToMenu) ++playerData.botStats.trainingsCompleted;
        }
        SavePlayerData();
    }

    if (returnToMenu && backendReady) {
        if (renderView) ShowWindow(renderView, SW_HIDE);
    } else {
        if (renderBackend) renderBackend->Shutdown();
        if (renderView) {
            DestroyWindow(renderView);
            renderView = nullptr;
        }
    }
    simulation.reset();
    menuOpen = false;

    if (returnToMenu) {
        Navigate(ScreenId::MainMenu);
        if (window) {
            SetForegroundWindow(window);
            RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            UpdateWindow(window);
            DwmFlush();
        }
    }

    if (sessionRan && !wasOnline && serverSession && !accountRequest) {
        const std::wstring submission = StatsSubmissionId(distribution::EnsureInstallationId(), UnixMilliseconds());
        BeginAccountRequest("stats", accountApi.SyncBotStats(serverSession->accessToken, submission,
                                                             BotStatsDeltaJson(playerData.botStats, botStatsAtStart)));
    }
}

void NativeShell::FlushGameplayEvents() {
    if (!simulation) return;
    bool counted = false;
    for (const gameplay::SessionEvent& event : simulation->DrainEvents()) {
        core::Log().Write(event.name);
        if (event.name == "PlayerKilledBot") {
            ++playerData.botStats.kills;
            counted = true;
        } else if (event.name == "BotKilledPlayer") {
            ++playerData.botStats.deaths;
            counted = true;
        }
    }
    if (counted) SavePlayerData();
}

void NativeShell::CaptureGameplayCursor() {
    if (cursorCaptured || !window) return;
    RegisterRawMouse(RIDEV_NOLEGACY, window);
    RECT client{};
    GetClientRect(window, &client);
    POINT corners[2] = {{client.left, client.top}, {client.right, client.bottom}};
    MapWindowPoints(window, nullptr, corners, 2);
    const RECT clip{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    ClipCursor(&clip);
    SetCapture(window);
    ShowCursor(FALSE);
    cursorCaptured = true;
}

void NativeShell::ReleaseGameplayCursor() {
    if (!cursorCaptured) return;
    RegisterRawMouse(RIDEV_REMOVE, nullptr);
    ClipCursor(nullptr);
    ReleaseCapture();
    ShowCursor(TRUE);
    cursorCaptured = false;
}

void NativeShell::ReturnToPause() {
    if (!simulation) return;
    // A renderer chosen in Settings takes over the running session here; when it cannot
    // start, the session ends as a failed start would (the graphics page or the toast).
    if (!renderBackend && !(SelectRenderer() && StartRenderBackend())) {
        StopGameplay(false);
        return;
    }
    menuOpen = true;
    fireHeld = false;
    aimHeld = false;
    router.Navigate(ScreenId::Pause);
    PlaceRenderView(true);
    renderBackend->Resize();  // the client area may have changed while the view was hidden
    lastFrameAt = Now();
}

}  // namespace tarvo::ui
