// Trigger pulls and weapon sounds: offline shots through the simulation, online
// shots predicted locally and reconciled with the server's counts each frame.
#include <algorithm>

#include "core/runtime_log.h"
#include "gameplay/training_simulation.h"
#include "shell/gameplay_logic.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::FireWeapon() {
    if (!simulation || menuOpen) return;
    const Clock::time_point now = Now();

    if (onlineMatch) {
        const online::MatchInfo& info = matchClient.Info();
        const gameplay::PlayerState& player = simulation->Player();
        OnlineTriggerState state;
        state.connected = matchClient.Connected();
        state.infoValid = info.valid;
        state.playerDead = player.dead;
        state.reloading = simulation->Weapon().reloading;
        state.roundState = info.roundState;
        state.magazine = simulation->Weapon().magazine;
        state.weaponIndex = player.weaponIndex;
        WeaponBookkeeping book{predictedShots, trackedWeapon, serverShotCount, serverResetCount, nextShotAt,
                               nextEmptyClickAt, reloadReadyAt, fireRequested, remoteShotCounts};
        const int weapon = std::clamp(player.weaponIndex, 0, 2);
        switch (PredictOnlineShot(state, now, book)) {
            case TriggerSound::Shot:
                weaponAudio.Trigger(audio::WeaponCue::SHOT, masterVolume, weapon, 0.0f);
                muzzleFlash = 0.075f;
                break;
            case TriggerSound::Empty:
                weaponAudio.Trigger(audio::WeaponCue::EMPTY, masterVolume, weapon, 0.0f);
                break;
            case TriggerSound::None:
                break;
        }
        return;
    }

    const gameplay::FireResult result = simulation->Fire();
    if (result.fired) {
        muzzleFlash = 0.075f;
        ++playerData.botStats.shotsFired;
        if (weaponAudio.Trigger(audio::WeaponCue::SHOT, masterVolume, 0, 0.0f)) {
            core::Log().Write("AudioShotTriggered");
        }
    } else {
        const gameplay::WeaponState& weapon = simulation->Weapon();
        if (weapon.magazine <= 0 && !weapon.reloading && TakeEmptyClick(now, nextEmptyClickAt)) {
            core::Log().Write(weaponAudio.Trigger(audio::WeaponCue::EMPTY, masterVolume, 0, 0.0f)
                                  ? "AudioEmptyTriggered"
                                  : "AudioEmptyCueUnavailable");
        }
    }
    if (result.hit) {
        hitMarker = 0.12f;
        ++playerData.botStats.shotsHit;
    }
    if (result.killed) killConfirm = 0.75f;
    if (result.fired) SavePlayerData();  // every shot counts at once, even if the process dies
    FlushGameplayEvents();
}

void NativeShell::ReconcileWeaponAudio(int magazineBefore) {
    if (!simulation) return;
    const online::MatchInfo& info = matchClient.Info();
    if (!info.valid) return;
    WeaponBookkeeping book{predictedShots, trackedWeapon, serverShotCount, serverResetCount, nextShotAt,
                           nextEmptyClickAt, reloadReadyAt, fireRequested, remoteShotCounts};
    ShotReport report;
    report.valid = info.valid;
    report.localShots = info.localShots;
    report.shotResets = info.shotResets;
    // Reused from frame to frame: no allocation once it has grown.
    static std::vector<RemoteShotSound> sounds;
    sounds.clear();
    ReconcileShots(book, report, simulation->Player(), magazineBefore, simulation->Weapon().magazine,
                   simulation->Bots(), simulation->CameraPosition(), simulation->CameraForward(), masterVolume, sounds);
    for (const RemoteShotSound& sound : sounds) {
        weaponAudio.Trigger(audio::WeaponCue::SHOT, sound.volume, sound.weapon, sound.pan);
    }
}

}  // namespace tarvo::ui
