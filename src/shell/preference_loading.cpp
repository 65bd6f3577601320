// Reading the two preference files into the shell at start (the writers live in
// preference_files.cpp beside the file formats).
#include "common/data_roots.h"
#include "shell/native_shell.h"
#include "shell/preference_files.h"

namespace tarvo::ui {

void NativeShell::ReadPreferenceFiles() {
    const std::filesystem::path root = distribution::UserStateRoot();

    UpdatePreferences updates;
    updates.autoDownload = autoDownload;
    updates.installOnExit = installOnExit;
    LoadUpdatePreferences(UpdateSettingsFile(root), PackageDefaultsFile(DistributionInstallRoot()), updates);
    autoDownload = updates.autoDownload;
    installOnExit = updates.installOnExit;

    // The file's values go on top of what the shell holds now.
    GamePreferences game = CurrentGamePreferences();
    LoadGamePreferences(GameSettingsFile(root), game);
    localization.SetLocale(game.locale);
    vsync = game.vsync;
    fpsLimit = game.fpsLimit;
    rendererPreference = static_cast<renderer::RenderBackendKind>(game.renderer);
    quality = game.quality;
    masterVolume = game.masterVolume;
    gameplayConfig.mouse_sensitivity = game.mouseSensitivity;
}

}  // namespace tarvo::ui
