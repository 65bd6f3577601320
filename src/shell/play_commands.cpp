// The play screen's commands: mode and map choice and the start of a training.
#include "core/runtime_log.h"
#include "shell/native_shell.h"
#include "shell/shell_logic.h"

namespace tarvo::ui {

namespace {

constexpr std::string_view kModePrefix = "mode.";
constexpr std::string_view kMapPrefix = "map.";
constexpr int kTrainingMode = 5;

}  // namespace

bool NativeShell::HandlePlayCommand(const std::string& command) {
    if (command == "training.start") {
        core::Log().Write("BotTrainingStartRequested");
        if (!StartGameplay()) core::Log().Write("BotTrainingStartFailed");
        return true;
    }
    int value = 0;
    if (command.rfind(kModePrefix, 0) == 0) {
        // A suffix without digits is never emitted by a screen; it is dropped.
        if (!CommandNumber(std::string_view(command).substr(kModePrefix.size()), 6, value)) return true;
        selectedMode = value;
        if (value == kTrainingMode) {
            selectedMap = 0;  // training runs on RELAY only
            core::Log().Write("BotTrainingSelected");
        }
        Repaint();
        return true;
    }
    if (command.rfind(kMapPrefix, 0) == 0) {
        if (!CommandNumber(std::string_view(command).substr(kMapPrefix.size()), 2, value)) return true;
        selectedMap = value;
        Repaint();
        return true;
    }
    return false;
}

}  // namespace tarvo::ui
