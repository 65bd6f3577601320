// The settings screen drawn off-screen: the rail, every category's panel and the
// commands it leaves, key texts in both languages, the states its buttons show, the
// volume bar and the launcher log's last-check line.
#include <cmath>

#include "screen_check.h"
#include "screens/info_screens.h"

namespace tarvo::ui::test {
namespace {

using localization::Locale;
using navigation::ScreenId;

const std::vector<std::string> kRail = {"settings.cat.0", "settings.cat.1", "settings.cat.2", "settings.cat.3",
                                        "settings.cat.4", "settings.cat.5", "settings.cat.6", "settings.cat.7"};

std::vector<std::string> PanelCommands(int category) {
    switch (category) {
        case 1:
            return {"renderer.auto",    "renderer.vulkan", "renderer.d3d11",  "quality.0",       "quality.1",
                    "quality.2",        "display.windowed", "display.fullscreen", "resolution.1280", "resolution.1920",
                    "resolution.2560", "graphics.vsync",  "fps.60",          "fps.120",         "fps.144"};
        case 2: return {"volume.slider"};
        case 3: return {"sensitivity.0", "sensitivity.1", "sensitivity.2"};
        case 5: return {"nav.updates", "auth.logout", "auth.link"};
        case 6: return {"lang.uk", "lang.en"};
        case 7: return {"updates.check", "updates.open", "updates.shortcut", "updates.auto", "updates.install"};
        default: return {};
    }
}

// One text per panel that only that panel draws, in both languages.
struct PanelText {
    std::wstring_view uk, en;
    D2D_RECT_F rect;
    enum Face { Caption, Heading, Body, Title } face;
    D2D1_COLOR_F color;
};

const PanelText kPanelTexts[8] = {
    {L"ТЕСТОВА ІГРОВА ЗБІРКА", L"PLAYABLE TEST BUILD", {500, 320, 1100, 350}, PanelText::Caption, Colors::Cyan},
    {L"ЯКІСТЬ", L"QUALITY", {500, 470, 700, 510}, PanelText::Heading, Colors::Text},
    {L"ЗАГАЛЬНА ГУЧНІСТЬ", L"MASTER VOLUME", {500, 390, 900, 450}, PanelText::Heading, Colors::Text},
    {L"Q / E \u2014 НАХИЛ ПІДГОТОВЛЕНО, ВИМКНЕНО ДО 0.0.03.6", L"Q / E \u2014 LEAN BINDINGS RESERVED, DISABLED UNTIL 0.0.03.6",
     {500, 750, 1600, 780}, PanelText::Caption, Colors::Cyan},
    {L"Gameplay не залежить від HTTP, database, Ostrel Node, blockchain або мережі.",
     L"Gameplay has no HTTP, database, Ostrel Node, blockchain, or network dependency.", {500, 510, 1540, 580},
     PanelText::Body, Colors::Muted},
    {L"НЕМАЄ АКТИВНОГО АКАУНТА", L"NO ACTIVE ACCOUNT", {500, 385, 1200, 445}, PanelText::Title, Colors::Text},
    {L"МОВА ІНТЕРФЕЙСУ", L"DISPLAY LANGUAGE", {500, 320, 1100, 350}, PanelText::Caption, Colors::Cyan},
    {L"СИСТЕМА ДОСТАВКИ / TEST CHANNEL", L"DISTRIBUTION SYSTEM / TEST CHANNEL", {500, 300, 1400, 330},
     PanelText::Caption, Colors::Cyan},
};

class SettingsScreen : public ScreenCheck {
protected:
    void SetUp() override {
        ScreenCheck::SetUp();
        Show(ScreenId::Settings);
    }

    IDWriteTextFormat* Face(PanelText::Face face) const {
        switch (face) {
            case PanelText::Caption: return shell->captionFormat.Get();
            case PanelText::Heading: return shell->headingFormat.Get();
            case PanelText::Title: return shell->titleFormat.Get();
            default: return shell->bodyFormat.Get();
        }
    }

    static constexpr D2D_RECT_F kTitle{500, 210, 1400, 262};
};

TEST_F(SettingsScreen, EveryCategoryDrawsItsPanelAndCommandsInBothLanguages) {
    const wchar_t* names[2][8] = {
        {L"ГРА", L"ГРАФІКА", L"ЗВУК", L"КЕРУВАННЯ", L"МЕРЕЖА", L"АКАУНТ", L"МОВА", L"ОНОВЛЕННЯ"},
        {L"GAME", L"GRAPHICS", L"SOUND", L"CONTROLS", L"NETWORK", L"ACCOUNT", L"LANGUAGE", L"WHAT'S NEW"}};
    for (const Locale locale : {Locale::Ukrainian, Locale::English}) {
        const int lang = locale == Locale::Ukrainian ? 0 : 1;
        shell->localization.SetLocale(locale);
        for (int category = 0; category < 8; ++category) {
            SCOPED_TRACE(::testing::Message() << "category " << category << (lang ? " en" : " uk"));
            shell->settingsCategory = category;
            PaintScreen("settings-" + std::to_string(category) + (lang ? "-en" : "-uk"));

            std::vector<std::string> expected = kRail;
            for (const auto& c : PanelCommands(category)) expected.push_back(c);
            expected.push_back("nav.back");
            expected.push_back("nav.privacy");
            EXPECT_EQ(PaintedCommands(), expected);
            for (int i = 0; i < 8; ++i) EXPECT_EQ(PrimaryAt(regions[static_cast<size_t>(i)].rect), i == category) << i;

            ExpectText(names[lang][category], shell->titleFormat.Get(), kTitle, Colors::Text);
            const PanelText& text = kPanelTexts[category];
            ExpectText(lang ? text.en : text.uk, Face(text.face), text.rect, text.color);
            // Each panel's own text is absent from the others.
            const PanelText& other = kPanelTexts[(category + 1) % 8];
            EXPECT_GT(TextMismatch(lang ? other.en : other.uk, Face(other.face), other.rect, other.color), 0.3);
        }
    }
}

TEST_F(SettingsScreen, RailGeometryAndAnyOtherCategoryShowsTheGamePanel) {
    shell->settingsCategory = 2;
    PaintScreen("settings-rail");
    for (int i = 0; i < 8; ++i) {
        const D2D_RECT_F& r = regions[static_cast<size_t>(i)].rect;
        EXPECT_EQ(r.left, 96.0f);
        EXPECT_EQ(r.top, 205.0f + 86.0f * i);
        EXPECT_EQ(r.right, 386.0f);
        EXPECT_EQ(r.bottom, 267.0f + 86.0f * i);
    }
    const HitRegion* back = RegionOf("nav.back");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->rect.left, 72.0f);
    EXPECT_EQ(back->rect.top, 928.0f);

    shell->settingsCategory = 12;
    PaintScreen("settings-out-of-range");
    std::vector<std::string> expected = kRail;
    expected.push_back("nav.back");
    expected.push_back("nav.privacy");
    EXPECT_EQ(PaintedCommands(), expected);
    ExpectText(L"ГРА", shell->titleFormat.Get(), kTitle, Colors::Text);
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(PrimaryAt(regions[static_cast<size_t>(i)].rect));
}

TEST_F(SettingsScreen, GraphicsButtonsShowTheCurrentChoices) {
    shell->settingsCategory = 1;
    PaintScreen("settings-graphics-defaults");
    for (const char* primary : {"renderer.auto", "quality.1", "display.windowed", "graphics.vsync", "fps.144"}) {
        EXPECT_TRUE(PrimaryButton(primary)) << primary;
    }
    for (const char* plain : {"renderer.vulkan", "renderer.d3d11", "quality.0", "quality.2", "display.fullscreen",
                              "resolution.1280", "resolution.1920", "resolution.2560", "fps.60", "fps.120"}) {
        EXPECT_FALSE(PrimaryButton(plain)) << plain;
    }

    shell->rendererPreference = renderer::RenderBackendKind::Direct3D11;
    shell->quality = 0;
    shell->vsync = false;
    shell->fpsLimit = 90;
    shell->fullscreen = true;
    PaintScreen("settings-graphics-changed");
    for (const char* primary : {"renderer.d3d11", "quality.0", "display.fullscreen"}) {
        EXPECT_TRUE(PrimaryButton(primary)) << primary;
    }
    for (const char* plain : {"renderer.auto", "quality.1", "display.windowed", "graphics.vsync", "fps.60", "fps.120",
                              "fps.144"}) {
        EXPECT_FALSE(PrimaryButton(plain)) << plain;
    }
    ExpectText(L"VSYNC: OFF", shell->headingFormat.Get(), RegionOf("graphics.vsync")->rect, Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(SettingsScreen, VolumeBarAndPercentageFollowMasterVolume) {
    shell->settingsCategory = 2;
    const D2D_RECT_F percent{1360, 486, 1440, 540};
    auto accent = [this](int x) {
        const BYTE* p = &painted[(static_cast<size_t>(515) * 1920 + static_cast<size_t>(x)) * 4];
        return p[1] > 180 && p[2] > 120 && p[0] < 80;
    };

    shell->masterVolume = 0.5f;
    PaintScreen("settings-sound-50");
    const HitRegion* track = RegionOf("volume.slider");
    ASSERT_TRUE(track);
    EXPECT_EQ(track->rect.left, 500.0f);
    EXPECT_EQ(track->rect.top, 480.0f);
    EXPECT_EQ(track->rect.right, 1450.0f);
    EXPECT_EQ(track->rect.bottom, 550.0f);
    EXPECT_TRUE(accent(530));
    EXPECT_TRUE(accent(950));
    EXPECT_FALSE(accent(972)) << "the bar ends at x 960";
    ExpectText(L"50%", shell->headingFormat.Get(), percent, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING);
    EXPECT_GT(TextMismatch(L"70%", shell->headingFormat.Get(), percent, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING), 0.15);

    shell->masterVolume = 0.0f;
    PaintScreen("settings-sound-0");
    EXPECT_FALSE(accent(530));
    ExpectText(L"0%", shell->headingFormat.Get(), percent, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING);

    shell->masterVolume = 1.0f;
    PaintScreen("settings-sound-100");
    EXPECT_TRUE(accent(1390));

    // The chip tells whether the shot sound of the first weapon is there.
    const bool available = shell->weaponAudio.Available(audio::WeaponCue::SHOT, 0);
    const D2D_RECT_F chip{1490, 488, 1660, 542};
    ExpectText(available ? L"АКТИВНО" : L"ВІДСУТНЄ", shell->captionFormat.Get(), chip,
               available ? Colors::Success : Colors::Danger, DWRITE_TEXT_ALIGNMENT_CENTER);
}

TEST_F(SettingsScreen, SensitivityPresetIsChosenWithinOneThousandth) {
    shell->settingsCategory = 3;
    shell->gameplayConfig.mouse_sensitivity = 0.0755f;
    PaintScreen("settings-controls-medium");
    EXPECT_FALSE(PrimaryButton("sensitivity.0"));
    EXPECT_TRUE(PrimaryButton("sensitivity.1"));
    EXPECT_FALSE(PrimaryButton("sensitivity.2"));

    shell->gameplayConfig.mouse_sensitivity = 0.08f;
    PaintScreen("settings-controls-none");
    for (const char* preset : {"sensitivity.0", "sensitivity.1", "sensitivity.2"}) EXPECT_FALSE(PrimaryButton(preset));

    EXPECT_TRUE(SensitivityPresetChosen(0.115f, 2));
    EXPECT_TRUE(SensitivityPresetChosen(0.0459f, 0));
    EXPECT_FALSE(SensitivityPresetChosen(0.0465f, 0));
    EXPECT_FALSE(SensitivityPresetChosen(0.075f, 3));
}

TEST_F(SettingsScreen, AccountPanelFollowsTheSignIn) {
    shell->settingsCategory = 5;
    shell->localization.SetLocale(Locale::English);
    PaintScreen("settings-account-signed-out");
    EXPECT_TRUE(PrimaryButton("auth.link"));
    ExpectText(L"\u2014", shell->bodyFormat.Get(), {500, 460, 1200, 510}, Colors::Muted);
    ExpectText(L"LOCAL TEST ACCOUNT", shell->captionFormat.Get(), {500, 320, 1200, 350}, Colors::Cyan);

    auth::LocalAccountRecord record;
    record.nickname = L"Пілот_7";
    record.email = L"pilot7@example.net";
    shell->accountRecord = record;
    shell->serverSession = account::ServerSession{};
    PaintScreen("settings-account-signed-in");
    std::vector<std::string> expected = kRail;
    for (const char* c : {"auth.devices", "auth.logout", "auth.logout.all", "nav.back", "nav.privacy"}) expected.push_back(c);
    EXPECT_EQ(PaintedCommands(), expected);
    ExpectText(L"Пілот_7", shell->titleFormat.Get(), {500, 385, 1200, 445}, Colors::Text);
    ExpectText(L"pilot7@example.net", shell->bodyFormat.Get(), {500, 460, 1200, 510}, Colors::Muted);
    ExpectText(L"TARVONIX ACCOUNT / SERVER AUTHORITY", shell->captionFormat.Get(), {500, 320, 1200, 350}, Colors::Cyan);
}

TEST_F(SettingsScreen, UpdatesPanelRowsAndSwitches) {
    shell->settingsCategory = 7;
    shell->autoDownload = false;
    PaintScreen("settings-updates-uk");
    EXPECT_FALSE(PrimaryButton("updates.auto"));
    EXPECT_TRUE(PrimaryButton("updates.install"));
    ExpectText(L"ПОТОЧНА ВЕРСІЯ", shell->captionFormat.Get(), {500, 345, 930, 390}, Colors::Muted);
    ExpectText(L"0.0.03.5", shell->headingFormat.Get(), {950, 345, 1620, 390}, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING);
    ExpectText(L"TEST", shell->headingFormat.Get(), {950, 469, 1620, 514}, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING);
    ExpectText(L"ЛОКАЛЬНА RELEASE ЗБІРКА", shell->headingFormat.Get(), {950, 593, 1620, 638}, Colors::Text,
               DWRITE_TEXT_ALIGNMENT_TRAILING);

    shell->localization.SetLocale(Locale::English);
    PaintScreen("settings-updates-en");
    ExpectText(L"LOCAL RELEASE BUILD", shell->headingFormat.Get(), {950, 593, 1620, 638}, Colors::Text,
               DWRITE_TEXT_ALIGNMENT_TRAILING);
    ExpectText(L"AUTO DOWNLOAD: OFF", shell->headingFormat.Get(), RegionOf("updates.auto")->rect, Colors::Text,
               DWRITE_TEXT_ALIGNMENT_CENTER);
}

// The build folder is a plain install: its own logs\launcher.log is the one shown.
class LauncherLogFile {
public:
    LauncherLogFile() : path_(NativeShell::DistributionInstallRoot() / "logs" / "launcher.log") {}
    ~LauncherLogFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    void WriteAt(WORD year, WORD month, WORD day, WORD hour, WORD minute) {
        testing::WriteBytes(path_, "check\n");
        SYSTEMTIME utc{};
        utc.wYear = year;
        utc.wMonth = month;
        utc.wDay = day;
        utc.wHour = hour;
        utc.wMinute = minute;
        utc.wSecond = 41;
        FILETIME time{};
        ASSERT_TRUE(SystemTimeToFileTime(&utc, &time));
        const HANDLE file = CreateFileW(path_.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
        CloseHandle(file);
    }

private:
    std::filesystem::path path_;
};

TEST_F(SettingsScreen, LastCheckFollowsTheLauncherLogInUtc) {
    const D2D_RECT_F value{950, 531, 1620, 576};
    shell->settingsCategory = 7;
    LauncherLogFile log;
    PaintScreen("settings-updates-never");
    ExpectText(L"NEVER", shell->headingFormat.Get(), value, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING);

    log.WriteAt(2026, 2, 3, 9, 5);
    PaintScreen("settings-updates-checked");
    ExpectText(L"2026-02-03 09:05 UTC", shell->headingFormat.Get(), value, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING);
    EXPECT_GT(TextMismatch(L"NEVER", shell->headingFormat.Get(), value, Colors::Text, DWRITE_TEXT_ALIGNMENT_TRAILING), 0.3);
}

TEST(LastCheckText, FileTimesAreShownInUtcWithoutZoneChange) {
    SYSTEMTIME utc{};
    utc.wYear = 2026;
    utc.wMonth = 2;
    utc.wDay = 3;
    utc.wHour = 23;
    utc.wMinute = 59;
    utc.wSecond = 59;
    FILETIME time{};
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &time));
    EXPECT_EQ(FormatLastCheck(time), L"2026-02-03 23:59 UTC");
    FILETIME outOfRange{0xFFFFFFFFu, 0xFFFFFFFFu};
    EXPECT_EQ(FormatLastCheck(outOfRange), L"UNKNOWN");

    testing::TempFolder temp;
    EXPECT_EQ(LauncherLastCheckText(temp.Path() / "logs" / "launcher.log"), L"NEVER");
    EXPECT_FALSE(LauncherInstallActive(temp.Path()));
    testing::WriteBytes(temp.Path() / "current.json", "{}");
    EXPECT_TRUE(LauncherInstallActive(temp.Path()));
}

}  // namespace
}  // namespace tarvo::ui::test
