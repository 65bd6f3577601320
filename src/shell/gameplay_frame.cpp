// One paced gameplay frame: input, the offline simulation or the online match
// client, HUD feedback timers, the overlay record and the render.
#include "core/runtime_log.h"
#include "gameplay/training_simulation.h"
#include "shell/gameplay_logic.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

using navigation::ScreenId;

namespace {

bool KeyHeld(int virtualKey) { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }

gameplay::InputState SampleMovementKeys() {
    gameplay::InputState input;
    input.forward = KeyHeld('W');
    input.back = KeyHeld('S');
    input.left = KeyHeld('A');
    input.right = KeyHeld('D');
    input.jump = KeyHeld(VK_SPACE);
    input.crouch = KeyHeld('C');
    input.sprint = KeyHeld(VK_SHIFT);
    return input;
}

}  // namespace

void NativeShell::PumpGameplayFrame() {
    const ScreenId screen = router.Current();
    if ((screen != ScreenId::Gameplay && screen != ScreenId::Pause) || !simulation || !renderBackend ||
        !renderBackend->Ready()) {
        return;
    }
    const Clock::time_point now = Now();
    const float dt = std::chrono::duration<float>(now - lastFrameAt).count();
    if (dt < FrameIntervalSeconds(fpsLimit)) return;
    lastFrameAt = now;
    frameTimeMs = 1000.0f * dt;

    const bool frozen = menuOpen && !onlineMatch;  // offline pause: the world stands still but is drawn
    if (!frozen) {
        const gameplay::InputState input = menuOpen ? gameplay::InputState{} : SampleMovementKeys();
        if (onlineMatch) {
            const int magazineBefore = simulation->Weapon().magazine;
            const int killsBefore = simulation->Player().kills;
            const std::uint32_t serialBefore = matchClient.InputSerial();
            const bool infoValid = matchClient.Info().valid;
            const bool automatic = simulation->Weapon().fireMode == gameplay::FireMode::Automatic;
            const bool fire = !menuOpen && infoValid && ((fireHeld && automatic) || fireRequested);
            const bool reload = reloadRequested && !menuOpen;
            matchClient.Pump(*simulation, input, fire, reload);
            if (matchClient.InputSerial() != serialBefore) {
                fireRequested = false;
                reloadRequested = false;
            }
            ReconcileWeaponAudio(magazineBefore);
            if (simulation->Player().kills > killsBefore) killConfirm = 0.75f;
            if (!matchClient.Error().empty()) {
                StopGameplay(true);
                toast = L"КІМНАТА ЗАПОВНЕНА / ROOM FULL. ОБЕРИ ІНШУ КАРТУ АБО РЕЖИМ.";
                Repaint();  // the home screen was drawn before the text existed
                return;
            }
            if (matchClient.TimedOut()) {
                StopGameplay(true);
                toast = L"СЕРВЕР МАТЧУ НЕ ВІДПОВІДАЄ / MATCH SERVER TIMEOUT";
                Repaint();
                return;
            }
        } else {
            simulation->Update(input, dt);
        }

        if (fireHeld && simulation->Weapon().fireMode == gameplay::FireMode::Automatic) FireWeapon();

        const gameplay::PlayerState& player = simulation->Player();
        if (player.health < lastHealth && !player.dead) damageFlash = 0.3f;
        lastHealth = player.health;
        hitMarker = DecayTimer(hitMarker, dt);
        killConfirm = DecayTimer(killConfirm, dt);
        muzzleFlash = DecayTimer(muzzleFlash, dt);
        damageFlash = DecayTimer(damageFlash, dt);
        FlushGameplayEvents();
    }

    adsBlend = AdvanceAimBlend(adsBlend, aimHeld && !menuOpen, dt);

    ++fpsWindowFrames;
    const float fpsWindow = std::chrono::duration<float>(now - fpsWindowStart).count();
    if (fpsWindow >= 0.5f) {
        measuredFps = static_cast<float>(fpsWindowFrames) / fpsWindow;
        fpsWindowFrames = 0;
        fpsWindowStart = now;
    }

    // One record reused from frame to frame, so its strings and rows stop allocating.
    static renderer::RenderOverlay overlay;
    OverlayFrame frame;
    frame.menuOpen = menuOpen;
    frame.showPerformance = showPerformance;
    frame.fps = measuredFps;
    frame.frameTimeMs = frameTimeMs;
    frame.hitMarker = hitMarker;
    frame.killConfirm = killConfirm;
    frame.muzzleFlash = muzzleFlash;
    frame.damageFlash = damageFlash;
    frame.elapsedSeconds = std::chrono::duration<float>(now - sessionStart).count();
    frame.aimBlend = adsBlend;
    frame.ukrainian = localization.CurrentLocale() == localization::Locale::Ukrainian;
    frame.quality = quality;
    frame.deviceName = renderBackend->DeviceName();
    frame.arsenalOpen = shopOpen;
    frame.onlineSession = onlineMatch;
    frame.tabHeld = onlineMatch && KeyHeld(VK_TAB);
    FillRenderOverlay(overlay, frame, *simulation, matchClient.Info(), matchClient.Economy(),
                      playerData.identity.displayName);

    if (!renderBackend->Render(*simulation, overlay)) {
        core::Log().Write("RenderBackendFailure");
        const std::wstring error = renderBackend->LastError();
        StopGameplay(true);
        toast = L"RENDER BACKEND FAILED: " + error;
        Repaint();
        return;
    }
}

}  // namespace tarvo::ui
