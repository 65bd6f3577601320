// Least definitions of the shell operations whose features are not built yet, so
// the program links and runs: account requests are not sent, no gameplay session
// starts, and the commands of those features are ignored. Each feature replaces
// its definitions here with its own file.
#include "gameplay/training_simulation.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

bool NativeShell::ChooseAvatar() { return false; }

bool NativeShell::HandlePlayCommand(const std::string&) { return false; }
bool NativeShell::HandleOnlineCommand(const std::string&) { return false; }
bool NativeShell::HandleSettingsCommand(const std::string&) { return false; }
bool NativeShell::HandlePlayerCommand(const std::string&) { return false; }

// Gameplay: no session can start, so stopping only clears what might be left.
bool NativeShell::StartGameplay() { return false; }
void NativeShell::StopGameplay(bool) {
    simulation.reset();
    menuOpen = false;
}
void NativeShell::PumpGameplayFrame() {}
void NativeShell::FireWeapon() {}
void NativeShell::ReconcileWeaponAudio(int) {}
void NativeShell::FlushGameplayEvents() {}
void NativeShell::CaptureGameplayCursor() {}
void NativeShell::ReleaseGameplayCursor() {}
void NativeShell::ReturnToPause() {}

}  // namespace tarvo::ui
