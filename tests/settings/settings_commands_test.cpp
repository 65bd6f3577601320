// The settings, graphics-failure and update commands through the real dispatcher:
// each changes the shell's state, what is a preference is in game.json or
// updates.json at once, and a new shell reads it back.
#include <cmath>
#include <limits>

#include "renderer/render_backend.h"
#include "shell/clipboard.h"
#include "shell/settings_commands.h"
#include "shell/shell_fixture.h"
#include "support/clipboard_lock.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;
using renderer::RenderBackendKind;

struct BackendLog {
    int shutdowns = 0;
    bool destroyed = false;
    std::vector<bool> vsync;
};

class FakeBackend final : public renderer::IRenderBackend {
public:
    explicit FakeBackend(BackendLog& log) : log_(log) {}
    ~FakeBackend() override { log_.destroyed = true; }
    renderer::GraphicsDiagnostics Preflight() const override { return {}; }
    bool Initialize(HWND, const std::filesystem::path&) override { return true; }
    bool Render(const gameplay::TrainingSimulation&, const renderer::RenderOverlay&) override { return true; }
    void Resize() override {}
    void SetVSync(bool enabled) override { log_.vsync.push_back(enabled); }
    void Shutdown() override { ++log_.shutdowns; }
    bool Ready() const override { return log_.shutdowns == 0; }
    const std::wstring& DeviceName() const override { return name_; }
    const std::wstring& LastError() const override { return name_; }
    RenderBackendKind Kind() const override { return RenderBackendKind::Vulkan; }
    bool ImportedCharacterReady() const override { return false; }
    bool ImportedWeaponReady() const override { return false; }

private:
    BackendLog& log_;
    std::wstring name_ = L"fake";
};

class SettingsCommands : public ShellFixture {
protected:
    void SetUp() override { shell = MakeShell(); }

    std::string GameJson() const { return testing::ReadBytes(shell->GameSettingsPath()); }
    std::string UpdatesJson() const { return testing::ReadBytes(shell->UpdateSettingsPath()); }
    bool GameJsonHas(std::string_view fragment) const { return GameJson().find(fragment) != std::string::npos; }

    // A new shell reading the files, as at the next start.
    std::unique_ptr<NativeShell> Restarted() {
        auto next = MakeShell();
        next->ReadPreferenceFiles();
        return next;
    }

    std::unique_ptr<NativeShell> shell;
};

TEST_F(SettingsCommands, CategoryAndReleaseChoicesClampAndSaveNothing) {
    shell->Dispatch("settings.cat.3");
    EXPECT_EQ(shell->settingsCategory, 3);
    shell->Dispatch("settings.cat.9");
    EXPECT_EQ(shell->settingsCategory, 7);
    shell->Dispatch("settings.cat.-2");
    EXPECT_EQ(shell->settingsCategory, 0);
    shell->Dispatch("settings.cat.99999999999999999999999");
    EXPECT_EQ(shell->settingsCategory, 7) << "too large for an integer: the range's end";
    shell->Dispatch("settings.cat.x");
    EXPECT_EQ(shell->settingsCategory, 7) << "no number: dropped";

    shell->Dispatch("updates.toggle.2");
    EXPECT_EQ(shell->expandedRelease, 2);
    shell->Dispatch("updates.toggle.5");
    EXPECT_EQ(shell->expandedRelease, 4);
    shell->Dispatch("updates.toggle.18446744073709551616");
    EXPECT_EQ(shell->expandedRelease, 4);
    EXPECT_FALSE(std::filesystem::exists(shell->GameSettingsPath()));
}

TEST_F(SettingsCommands, FpsLimitStaysWithinThirtyAndThreeHundred) {
    const std::pair<const char*, int> cases[] = {{"fps.10", 30},   {"fps.30", 30},   {"fps.144", 144},
                                                 {"fps.1000", 300}, {"fps.-5", 30},  {"fps.99999999999999999999", 300}};
    for (const auto& [command, expected] : cases) {
        shell->Dispatch(command);
        EXPECT_EQ(shell->fpsLimit, expected) << command;
        EXPECT_TRUE(GameJsonHas("\"fpsLimit\": " + std::to_string(expected))) << command;
    }
    shell->Dispatch("fps.60");
    EXPECT_EQ(Restarted()->fpsLimit, 60);
    shell->Dispatch("fps.120");
    EXPECT_EQ(Restarted()->fpsLimit, 120);
}

TEST_F(SettingsCommands, QualityAndSensitivityAreSavedAndReadBack) {
    shell->Dispatch("quality.5");
    EXPECT_EQ(shell->quality, 2u);
    EXPECT_TRUE(GameJsonHas("\"quality\": \"HIGH\""));
    shell->Dispatch("quality.0");
    EXPECT_EQ(shell->quality, 0u);
    shell->Dispatch("sensitivity.7");
    EXPECT_FLOAT_EQ(shell->gameplayConfig.mouse_sensitivity, 0.115f);
    shell->Dispatch("sensitivity.0");
    EXPECT_FLOAT_EQ(shell->gameplayConfig.mouse_sensitivity, 0.045f);

    const auto next = Restarted();
    EXPECT_EQ(next->quality, 0u);
    EXPECT_NEAR(next->gameplayConfig.mouse_sensitivity, 0.045f, 1e-4f);
}

TEST_F(SettingsCommands, LanguageIsSavedAndReadBack) {
    shell->Dispatch("lang.en");
    EXPECT_EQ(shell->localization.CurrentLocale(), localization::Locale::English);
    EXPECT_TRUE(GameJsonHas("\"locale\": \"en-US\""));
    EXPECT_EQ(Restarted()->localization.CurrentLocale(), localization::Locale::English);
    shell->Dispatch("lang.uk");
    EXPECT_EQ(shell->localization.CurrentLocale(), localization::Locale::Ukrainian);
    EXPECT_EQ(Restarted()->localization.CurrentLocale(), localization::Locale::Ukrainian);
}

TEST_F(SettingsCommands, VsyncReachesTheLiveBackendAndTheFile) {
    BackendLog log;
    shell->renderBackend = std::make_unique<FakeBackend>(log);
    shell->Dispatch("graphics.vsync");
    EXPECT_FALSE(shell->vsync);
    EXPECT_TRUE(GameJsonHas("\"vsync\": false"));
    EXPECT_FALSE(Restarted()->vsync);
    shell->Dispatch("graphics.vsync");
    EXPECT_TRUE(shell->vsync);
    EXPECT_EQ(log.vsync, (std::vector<bool>{false, true}));
    EXPECT_TRUE(Restarted()->vsync);

    shell->renderBackend.reset();
    shell->Dispatch("graphics.vsync");  // without a backend only the preference changes
    EXPECT_FALSE(shell->vsync);
}

TEST_F(SettingsCommands, RendererCommandsTearDownTheLiveBackendAndItsView) {
    const std::pair<const char*, RenderBackendKind> cases[] = {
        {"renderer.vulkan", RenderBackendKind::Vulkan}, {"renderer.d3d11", RenderBackendKind::Direct3D11},
        {"renderer.auto", RenderBackendKind::Auto},     {"renderer.vulkan", RenderBackendKind::Vulkan},
        {"renderer.opengl", RenderBackendKind::Auto},   {"renderer.d3d11", RenderBackendKind::Direct3D11},
        {"renderer.", RenderBackendKind::Auto}};
    for (const auto& [command, expected] : cases) {
        BackendLog log;
        shell->renderBackend = std::make_unique<FakeBackend>(log);
        shell->renderView = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 64, 64, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
        const HWND view = shell->renderView;
        ASSERT_TRUE(view);
        shell->Dispatch(command);
        EXPECT_EQ(shell->rendererPreference, expected) << command;
        EXPECT_EQ(log.shutdowns, 1) << command;
        EXPECT_TRUE(log.destroyed) << command;
        EXPECT_FALSE(shell->renderBackend) << command;
        EXPECT_FALSE(IsWindow(view)) << command;
        EXPECT_EQ(shell->renderView, nullptr) << command;
        EXPECT_EQ(Restarted()->rendererPreference, expected) << command;
    }
    EXPECT_TRUE(GameJsonHas("\"renderer\": \"Auto\""));
    shell->Dispatch("renderer.vulkan");  // nothing live: only the preference
    EXPECT_TRUE(GameJsonHas("\"renderer\": \"Vulkan\""));
}

TEST_F(SettingsCommands, VolumeFollowsTheClickOnTheTrack) {
    const std::pair<float, float> cases[] = {{520, 0.0f}, {960, 0.5f}, {1400, 1.0f}, {100, 0.0f}, {1700, 1.0f}, {740, 0.25f}};
    for (const auto& [x, expected] : cases) {
        shell->lastClickPoint = D2D1::Point2F(x, 515);
        shell->Dispatch("volume.slider");
        EXPECT_FLOAT_EQ(shell->masterVolume, expected) << x;
    }
    EXPECT_TRUE(GameJsonHas("\"masterVolume\": 0.25"));
    EXPECT_FLOAT_EQ(Restarted()->masterVolume, 0.25f);
    shell->lastClickPoint = D2D1::Point2F(960, 515);
    shell->Dispatch("volume.slider");
    EXPECT_FLOAT_EQ(Restarted()->masterVolume, 0.5f);
}

TEST(SettingsRules, VolumeOfAClickWithoutAPositionIsZero) {
    EXPECT_EQ(VolumeFromTrackX(std::numeric_limits<float>::quiet_NaN()), 0.0f);
    EXPECT_EQ(VolumeFromTrackX(std::numeric_limits<float>::infinity()), 1.0f);
    EXPECT_EQ(VolumeFromTrackX(-std::numeric_limits<float>::infinity()), 0.0f);
}

TEST_F(SettingsCommands, UpdateSwitchesAreSavedWithTheirNotice) {
    shell->Dispatch("updates.auto");
    EXPECT_FALSE(shell->autoDownload);
    EXPECT_TRUE(shell->installOnExit);
    EXPECT_NE(UpdatesJson().find("\"autoDownload\": false"), std::string::npos);
    EXPECT_EQ(shell->toast, L"НАЛАШТУВАННЯ ОНОВЛЕНЬ ЗБЕРЕЖЕНО ЛОКАЛЬНО");
    EXPECT_FALSE(Restarted()->autoDownload);

    shell->localization.SetLocale(localization::Locale::English);
    shell->Dispatch("updates.install");
    EXPECT_FALSE(shell->installOnExit);
    EXPECT_EQ(shell->toast, L"UPDATE PREFERENCE SAVED LOCALLY");
    const auto next = Restarted();
    EXPECT_FALSE(next->autoDownload);
    EXPECT_FALSE(next->installOnExit);
    shell->Dispatch("updates.auto");
    EXPECT_TRUE(Restarted()->autoDownload);
    EXPECT_FALSE(std::filesystem::exists(shell->GameSettingsPath())) << "game.json is not touched";
}

TEST_F(SettingsCommands, LauncherCommandsSayThePlainBuildHasNoLauncher) {
    shell->Dispatch("updates.check");
    EXPECT_EQ(shell->toast, L"LAUNCHER НЕ ВСТАНОВЛЕНО У ЦІЙ ЛОКАЛЬНІЙ ЗБІРЦІ");
    shell->Dispatch("updates.shortcut");
    EXPECT_EQ(shell->toast, L"LAUNCHER НЕ ВСТАНОВЛЕНО");
    shell->localization.SetLocale(localization::Locale::English);
    shell->Dispatch("updates.open");
    EXPECT_EQ(shell->toast, L"LAUNCHER IS NOT INSTALLED IN THIS LOCAL BUILD");
    shell->Dispatch("updates.shortcut");
    EXPECT_EQ(shell->toast, L"LAUNCHER IS NOT INSTALLED");
}

TEST_F(SettingsCommands, GraphicsCopyPutsTheSelectionReportOnTheClipboard) {
    testing::ClipboardLock clipboard;  // other test processes share the clipboard
    MessageWindow owner;
    ASSERT_TRUE(owner.Handle());
    shell->window = owner.Handle();
    shell->graphicsSelection.requested = RenderBackendKind::Vulkan;
    shell->graphicsSelection.message = L"Vulkan surface unavailable; Direct3D 11 selected.";
    ASSERT_TRUE(PutTextOnClipboard(owner.Handle(), L"before"));

    shell->Dispatch("graphics.copy");
    const std::wstring report = shell->graphicsSelection.CompactReport();
    EXPECT_FALSE(report.empty());
    EXPECT_EQ(report.find(L'\n'), std::wstring::npos) << "one line";
    EXPECT_EQ(ReadClipboardText(owner.Handle()), report);
    EXPECT_EQ(shell->toast, L"ДІАГНОСТИКУ СКОПІЙОВАНО");

    shell->localization.SetLocale(localization::Locale::English);
    shell->Dispatch("graphics.copy");
    EXPECT_EQ(shell->toast, L"DIAGNOSTICS COPIED");
    shell->window = nullptr;
}

TEST_F(SettingsCommands, GraphicsCopyReportsAClipboardItCannotOpen) {
    testing::ClipboardLock clipboard;
    MessageWindow owner;
    MessageWindow holder;
    shell->window = owner.Handle();
    ASSERT_TRUE(OpenClipboard(holder.Handle()));  // another window keeps it open
    shell->Dispatch("graphics.copy");
    CloseClipboard();
    EXPECT_EQ(shell->toast, L"НЕ ВДАЛОСЯ СКОПІЮВАТИ ДІАГНОСТИКУ");
    shell->window = nullptr;
}

TEST_F(SettingsCommands, GraphicsBackOpensPlay) {
    shell->router.Navigate(ScreenId::GraphicsCompatibility);
    shell->Dispatch("graphics.back");
    EXPECT_EQ(shell->router.Current(), ScreenId::Play);
}

TEST_F(SettingsCommands, DisplayCommandsSaveNothing) {
    for (const char* command :
         {"display.fullscreen", "display.windowed", "resolution.1280", "resolution.1920", "resolution.2560"}) {
        shell->Dispatch(command);
    }
    EXPECT_FALSE(shell->fullscreen) << "no window to change";
    EXPECT_FALSE(std::filesystem::exists(shell->GameSettingsPath()));
}

TEST_F(SettingsCommands, OtherCommandsAreLeftToTheirFamilies) {
    for (const char* command : {"lang.fr", "updates.later", "volume.sliders", "graphics.copyall", "display.tv",
                                "resolution.640", "settings.category", "nav.back", "mode.5"}) {
        EXPECT_FALSE(shell->HandleSettingsCommand(command)) << command;
    }
    EXPECT_TRUE(shell->HandleSettingsCommand("fps.x")) << "its own family, dropped without a number";
    EXPECT_EQ(shell->fpsLimit, 144);
}

}  // namespace
}  // namespace tarvo::ui::test
