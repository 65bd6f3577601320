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

    GamePreferences game;
    game.locale = localization.CurrentLocale();
    game.vsync = vsync;
    game.fpsLimit = fpsLimit;
    game.renderer = static_cast<std::uint32_t>(rendererPreference);
    game.quality = quality;
    game.masterVolume = masterVolume;
    game.mouseSensitivity = gameplayConfig.mouse_sensitivity;
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
