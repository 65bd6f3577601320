// The settings screen drawn off-screen: the rail, every line of every category's panel
// and the commands it leaves in both languages, the states its buttons show, the volume
// bar and the launcher log's last-check line.
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

// The commands a paint leaves: the rail's, the panel's, back and the privacy link.
std::vector<std::string> ScreenCommands(const std::vector<std::string>& panel) {
    std::vector<std::string> all = kRail;
    all.insert(all.end(), panel.begin(), panel.end());
    all.insert(all.end(), {"nav.back", "nav.privacy"});
    return all;
}

const wchar_t* const kNames[2][8] = {
    {L"ГРА", L"ГРАФІКА", L"ЗВУК", L"КЕРУВАННЯ", L"МЕРЕЖА", L"АКАУНТ", L"МОВА", L"ОНОВЛЕННЯ"},
    {L"GAME", L"GRAPHICS", L"SOUND", L"CONTROLS", L"NETWORK", L"ACCOUNT", L"LANGUAGE", L"WHAT'S NEW"}};

Shown Subtitle(std::wstring uk, std::wstring en, D2D_RECT_F r) { return {uk, en, r, Colors::Cyan, Face::Caption}; }
Shown Label(std::wstring uk, std::wstring en, D2D_RECT_F r) { return {uk, en, r, Colors::Text, Face::Heading}; }
Shown Body(std::wstring uk, std::wstring en, D2D_RECT_F r, D2D1_COLOR_F c = Colors::Muted) { return {uk, en, r, c}; }

// Every line of a panel as a new shell shows it: automatic renderer, medium quality,
// windowed, vsync on, 144 FPS, volume 0.5, medium sensitivity, signed out without an
// account, no launcher log or install, automatic download off and install on exit on.
Texts Panel(int category, bool english, bool shotSound) {
    switch (category) {
        case 1:
            return {Subtitle(L"НАЛАШТУВАННЯ ГРАФІКИ", L"ACTIVE GRAPHICS CONTROLS", {500, 305, 1100, 335}),
                    Label(L"RENDERER (AUTO РЕКОМЕНДОВАНО)", L"RENDERER (AUTO RECOMMENDED)", {500, 345, 1000, 390}),
                    Primary(L"AUTO", {}, {500, 395, 790, 452}), Plain(L"VULKAN", {}, {815, 395, 1105, 452}),
                    Plain(L"DIRECT3D 11", {}, {1130, 395, 1490, 452}),
                    Label(L"ЯКІСТЬ", L"QUALITY", {500, 470, 700, 510}),
                    Plain(L"LOW", {}, {700, 465, 940, 522}), Primary(L"MEDIUM", {}, {960, 465, 1200, 522}),
                    Plain(L"HIGH", {}, {1220, 465, 1460, 522}),
                    Label(L"РЕЖИМ ЕКРАНА", L"DISPLAY MODE", {500, 545, 850, 585}),
                    Primary(L"У ВІКНІ", L"WINDOWED", {760, 540, 1040, 597}),
                    Plain(L"НА ВЕСЬ ЕКРАН", L"FULLSCREEN", {1065, 540, 1385, 597}),
                    Label(L"РОЗДІЛЬНА ЗДАТНІСТЬ", L"RESOLUTION", {500, 620, 850, 660}),
                    Plain(L"1280 \u00D7 720", {}, {760, 615, 1010, 672}),
                    Plain(L"1920 \u00D7 1080", {}, {1030, 615, 1280, 672}),
                    Plain(L"2560 \u00D7 1440", {}, {1300, 615, 1550, 672}),
                    Primary(L"VSYNC: ON", {}, {500, 705, 800, 762}),
                    Label(L"ЛІМІТ FPS", L"FPS LIMIT", {835, 710, 1030, 760}), Plain(L"60", {}, {1035, 705, 1200, 762}),
                    Plain(L"120", {}, {1220, 705, 1385, 762}), Primary(L"144", {}, {1405, 705, 1570, 762})};
        case 2:
            return {Subtitle(L"ЗВУКИ ЗБРОЇ WINDOWS", L"WINDOWS NATIVE WEAPON AUDIO", {500, 320, 1100, 350}),
                    Label(L"ЗАГАЛЬНА ГУЧНІСТЬ", L"MASTER VOLUME", {500, 390, 900, 450}),
                    {L"50%", {}, {1360, 486, 1440, 540}, Colors::Text, Face::Heading, DWRITE_TEXT_ALIGNMENT_TRAILING},
                    shotSound ? Chip(L"АКТИВНО", L"ACTIVE", {1490, 488, 1660, 542}, Colors::Success)
                              : Chip(L"ВІДСУТНЄ", L"MISSING", {1490, 488, 1660, 542}, Colors::Danger),
                    Body(L"SHOT: OWNED WAV  \u2022  RELOAD: OWNED WAV  \u2022  EMPTY/HIT: NOT AVAILABLE IN OWNED WAV SET", {},
                         {500, 590, 1660, 650})};
        case 3:
            return {Subtitle(L"КЕРУВАННЯ У ГРІ", L"ACTIVE GAMEPLAY INPUT", {500, 320, 1100, 350}),
                    Label(L"ЧУТЛИВІСТЬ МИШІ", L"MOUSE SENSITIVITY", {500, 380, 900, 440}),
                    Plain(L"НИЗЬКА", L"LOW", {500, 465, 800, 535}),
                    Primary(L"СЕРЕДНЯ", L"MEDIUM", {830, 465, 1130, 535}),
                    Plain(L"ВИСОКА", L"HIGH", {1160, 465, 1460, 535}),
                    Body(L"ПРЯМЕ ВВЕДЕННЯ МИШІ  \u2022  ПРИСКОРЕННЯ КУРСОРА WINDOWS ВИМКНЕНО У ZE001",
                         L"RAW MOUSE INPUT  \u2022  WINDOWS CURSOR ACCELERATION BYPASSED IN ZE001", {500, 600, 1550, 655},
                         Colors::Accent),
                    Body(L"WASD РУХ  /  SHIFT БІГ  /  C ПРИСІСТИ  /  SPACE СТРИБОК  /  LMB AUTO  /  RMB ПРИЦІЛ  /  "
                         L"R ПЕРЕЗАРЯДКА  /  B AUTO-SEMI",
                         L"WASD MOVE  /  SHIFT SPRINT  /  C CROUCH  /  SPACE JUMP  /  LMB AUTO  /  RMB ADS  /  R RELOAD  /  "
                         L"B AUTO-SEMI",
                         {500, 680, 1650, 735}),
                    Subtitle(L"Q / E \u2014 НАХИЛ ПІДГОТОВЛЕНО, ВИМКНЕНО ДО 0.0.03.6",
                             L"Q / E \u2014 LEAN BINDINGS RESERVED, DISABLED UNTIL 0.0.03.6", {500, 750, 1600, 780})};
        case 4:
            return {Subtitle(L"100% ОФЛАЙН-ТЕСТ", L"100% OFFLINE TEST", {500, 320, 1100, 350}),
                    Chip(L"BACKEND: НЕ ПІДКЛЮЧЕНО", L"BACKEND: NOT CONNECTED", {500, 390, 920, 455}, Colors::Danger),
                    Body(L"Gameplay не залежить від HTTP, database, Ostrel Node, blockchain або мережі.",
                         L"Gameplay has no HTTP, database, Ostrel Node, blockchain, or network dependency.",
                         {500, 510, 1540, 580})};
        case 5:
            return {Subtitle(L"ЛОКАЛЬНИЙ ТЕСТОВИЙ АКАУНТ", L"LOCAL TEST ACCOUNT", {500, 320, 1200, 350}),
                    {L"НЕМАЄ АКТИВНОГО АКАУНТА", L"NO ACTIVE ACCOUNT", {500, 385, 1200, 445}, Colors::Text, Face::Title},
                    Body(L"\u2014", {}, {500, 460, 1200, 510}), Plain(L"ОНОВЛЕННЯ", L"WHAT'S NEW", {500, 560, 980, 630}),
                    Plain(L"ВИЙТИ З АКАУНТА", L"SIGN OUT OF ACCOUNT", {1010, 560, 1490, 630}, true),
                    Primary(L"ПІДКЛЮЧИТИ ДО TARVONIX ACCOUNT", L"CONNECT TO TARVONIX ACCOUNT", {500, 675, 1490, 745})};
        case 6: {
            const Shown uk = english ? Plain(L"Українська", {}, {500, 370, 910, 445})
                                     : Primary(L"Українська", {}, {500, 370, 910, 445});
            const Shown en = english ? Primary(L"English", {}, {940, 370, 1350, 445})
                                     : Plain(L"English", {}, {940, 370, 1350, 445});
            return {Subtitle(L"МОВА ІНТЕРФЕЙСУ", L"DISPLAY LANGUAGE", {500, 320, 1100, 350}), uk, en,
                    Body(L"Мова застосовується до меню, gameplay HUD, pause та повідомлень.",
                         L"Language switching applies to menus, the gameplay HUD, pause, and messages.",
                         {500, 500, 1360, 570})};
        }
        case 7: {
            Texts rows = {Subtitle(L"СИСТЕМА ДОСТАВКИ / TEST CHANNEL", L"DISTRIBUTION SYSTEM / TEST CHANNEL",
                                   {500, 300, 1400, 330})};
            const std::wstring row[5][4] = {{L"ПОТОЧНА ВЕРСІЯ", L"CURRENT VERSION", L"0.0.03.5", {}},
                                            {L"PACKAGE REVISION", {}, L"4", {}},
                                            {L"КАНАЛ", L"CHANNEL", L"TEST", {}},
                                            {L"ОСТАННЯ ПЕРЕВІРКА", L"LAST CHECK", L"NEVER", {}},
                                            {L"СТАТУС", L"STATUS", L"ЛОКАЛЬНА RELEASE ЗБІРКА", L"LOCAL RELEASE BUILD"}};
            for (int i = 0; i < 5; ++i) {
                const float top = 345.0f + 62.0f * i;
                rows.push_back({row[i][0], row[i][1], {500, top, 930, top + 45}, Colors::Muted, Face::Caption});
                rows.push_back({row[i][2], row[i][3], {950, top, 1620, top + 45}, Colors::Text, Face::Heading,
                                DWRITE_TEXT_ALIGNMENT_TRAILING});
            }
            return Join(rows, Plain(L"ПЕРЕВІРИТИ ОНОВЛЕННЯ", L"CHECK FOR UPDATES", {500, 675, 930, 740}),
                        Plain(L"ВІДКРИТИ LAUNCHER", L"OPEN LAUNCHER", {955, 675, 1390, 740}),
                        Plain(L"ВІДНОВИТИ ЯРЛИК", L"REPAIR SHORTCUT", {1430, 675, 1760, 740}),
                        Plain(L"АВТОЗАВАНТАЖЕННЯ: OFF", L"AUTO DOWNLOAD: OFF", {500, 770, 930, 830}),
                        Primary(L"ВСТАНОВИТИ ПІСЛЯ ВИХОДУ: ON", L"INSTALL ON EXIT: ON", {955, 770, 1390, 830}));
        }
        default:
            return {Subtitle(L"ТЕСТОВА ІГРОВА ЗБІРКА", L"PLAYABLE TEST BUILD", {500, 320, 1100, 350}),
                    Chip(L"ТРЕНУВАННЯ З БОТАМИ: ДОСТУПНО", L"BOT TRAINING: AVAILABLE", {500, 390, 940, 455}, Colors::Success),
                    Body(L"ZE001 працює локально з fixed-step simulation та автоматичним Vulkan / Direct3D 11 renderer.",
                         L"ZE001 runs locally with fixed-step simulation and automatic Vulkan / Direct3D 11 rendering.",
                         {500, 510, 1450, 570})};
    }
}

// The whole screen: brand, the rail with the chosen category filled (none outside
// 0..7), its name, its panel (the game panel's outside 0..7), back and the footer.
Texts Screen(int category, const Texts& panel) {
    Texts rail;
    for (int i = 0; i < 8; ++i) {
        const D2D_RECT_F r{96, 205.0f + 86.0f * i, 386, 267.0f + 86.0f * i};
        rail.push_back(i == category ? Primary(kNames[0][i], kNames[1][i], r) : Plain(kNames[0][i], kNames[1][i], r));
    }
    const int shown = category >= 0 && category < 8 ? category : 0;
    return Join(Brand(L"НАЛАШТУВАННЯ", L"SETTINGS"), rail,
                Shown{kNames[0][shown], kNames[1][shown], {500, 210, 1400, 262}, Colors::Text, Face::Title},
                panel, Plain(L"НАЗАД", L"BACK", {72, 928, 250, 990}), Footer());
}

class SettingsScreen : public ScreenCheck {
protected:
    void SetUp() override {
        ScreenCheck::SetUp();
        Show(ScreenId::Settings);
        shell->masterVolume = 0.5f;
        shell->autoDownload = false;
    }
    bool ShotSound() { return shell->weaponAudio.Available(audio::WeaponCue::SHOT, 0); }
    // The text the last paint drew in exactly this rectangle.
    std::wstring TextAt(const D2D_RECT_F& r) const {
        for (const auto& d : drawn) {
            if (RectText(d.rect) == RectText(r)) return d.text;
        }
        return L"(nothing)";
    }
    // Of these buttons the `primary` ones are drawn primary and the `plain` ones are not.
    void ExpectPrimary(std::initializer_list<const char*> primary, std::initializer_list<const char*> plain) const {
        for (const char* command : primary) EXPECT_TRUE(PrimaryButton(command)) << command;
        for (const char* command : plain) EXPECT_FALSE(PrimaryButton(command)) << command;
    }
};

FILETIME Utc(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    const SYSTEMTIME utc{year, month, 0, day, hour, minute, second, 0};
    FILETIME time{};
    EXPECT_TRUE(SystemTimeToFileTime(&utc, &time));
    return time;
}

// The build folder is a plain install: its own logs\launcher.log is the one shown.
class LauncherLogFile {
public:
    LauncherLogFile() : path_(NativeShell::DistributionInstallRoot() / "logs" / "launcher.log") {}
    ~LauncherLogFile() {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    void WriteAt(const FILETIME& time) {
        testing::WriteBytes(path_, "check\n");
        const HANDLE file = CreateFileW(path_.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
        CloseHandle(file);
    }

private:
    std::filesystem::path path_;
};

TEST_F(SettingsScreen, EveryCategoryDrawsEveryLineAndItsCommandsInBothLanguages) {
    for (const Locale locale : {Locale::Ukrainian, Locale::English}) {
        shell->localization.SetLocale(locale);
        for (int category = 0; category < 8; ++category) {
            SCOPED_TRACE(::testing::Message() << "category " << category);
            shell->settingsCategory = category;
            PaintScreen("settings-" + std::to_string(category) + (locale == Locale::English ? "-en" : "-uk"));
            ExpectTexts(Screen(category, Panel(category, locale == Locale::English, ShotSound())));
            EXPECT_EQ(PaintedCommands(), ScreenCommands(PanelCommands(category)));
        }
    }

    // The build folder's launcher log is shared by every test process, so only this test
    // writes it: with one, the last check is its write time in UTC.
    LauncherLogFile log;
    log.WriteAt(Utc(2026, 2, 3, 9, 5, 41));
    shell->settingsCategory = 7;
    PaintScreen("settings-updates-checked");
    EXPECT_EQ(TextAt({950, 531, 1620, 576}), L"2026-02-03 09:05 UTC");
}

TEST_F(SettingsScreen, RailGeometryAndAnyOtherCategoryShowsTheGamePanel) {
    shell->settingsCategory = 2;
    PaintScreen("settings-rail");
    std::vector<ExpectedRegion> expected;
    for (int i = 0; i < 8; ++i) expected.push_back({kRail[i], {96, 205.0f + 86.0f * i, 386, 267.0f + 86.0f * i}});
    expected.insert(expected.end(), {{"volume.slider", {500, 480, 1450, 550}}, {"nav.back", {72, 928, 250, 990}},
                                     {"nav.privacy", {1335, 1018, 1675, 1064}}});
    ExpectRegions(expected);

    shell->settingsCategory = 12;
    PaintScreen("settings-out-of-range");
    EXPECT_EQ(PaintedCommands(), ScreenCommands({}));
    ExpectTexts(Screen(12, Panel(0, false, ShotSound())));
}

TEST_F(SettingsScreen, GraphicsButtonsShowTheCurrentChoices) {
    shell->settingsCategory = 1;
    PaintScreen("settings-graphics-defaults");
    ExpectPrimary({"renderer.auto", "quality.1", "display.windowed", "graphics.vsync", "fps.144"},
                  {"renderer.vulkan", "renderer.d3d11", "quality.0", "quality.2", "display.fullscreen",
                   "resolution.1280", "resolution.1920", "resolution.2560", "fps.60", "fps.120"});

    shell->rendererPreference = renderer::RenderBackendKind::Direct3D11;
    shell->quality = 0;
    shell->vsync = false;
    shell->fpsLimit = 90;
    shell->fullscreen = true;
    PaintScreen("settings-graphics-changed");
    ExpectPrimary({"renderer.d3d11", "quality.0", "display.fullscreen"},
                  {"renderer.auto", "quality.1", "display.windowed", "graphics.vsync", "fps.60", "fps.120", "fps.144"});
    EXPECT_EQ(TextAt(RegionOf("graphics.vsync")->rect), L"VSYNC: OFF");
}

TEST_F(SettingsScreen, VolumeBarAndPercentageFollowMasterVolume) {
    shell->settingsCategory = 2;
    const D2D_RECT_F percent{1360, 486, 1440, 540};
    auto accent = [this](int x) {
        const BYTE* p = &painted[(static_cast<size_t>(515) * 1920 + static_cast<size_t>(x)) * 4];
        return p[1] > 180 && p[2] > 120 && p[0] < 80;
    };

    shell->masterVolume = 0.5f;
    PaintScreen("settings-sound-50");  // the track's own place is checked with the rail's
    EXPECT_TRUE(accent(530));
    EXPECT_TRUE(accent(950));
    EXPECT_FALSE(accent(972)) << "the bar ends at x 960";
    EXPECT_EQ(TextAt(percent), L"50%");

    shell->masterVolume = 0.0f;
    PaintScreen("settings-sound-0");
    EXPECT_FALSE(accent(530));
    EXPECT_EQ(TextAt(percent), L"0%");

    shell->masterVolume = 1.0f;
    PaintScreen("settings-sound-100");
    EXPECT_TRUE(accent(1390));
    EXPECT_EQ(TextAt(percent), L"100%");
}

TEST_F(SettingsScreen, SensitivityPresetIsChosenWithinOneThousandth) {
    shell->settingsCategory = 3;
    shell->gameplayConfig.mouse_sensitivity = 0.0755f;
    PaintScreen("settings-controls-medium");
    ExpectPrimary({"sensitivity.1"}, {"sensitivity.0", "sensitivity.2"});

    shell->gameplayConfig.mouse_sensitivity = 0.08f;
    PaintScreen("settings-controls-none");
    ExpectPrimary({}, {"sensitivity.0", "sensitivity.1", "sensitivity.2"});

    EXPECT_TRUE(SensitivityPresetChosen(0.115f, 2));
    EXPECT_TRUE(SensitivityPresetChosen(0.0459f, 0));
    EXPECT_FALSE(SensitivityPresetChosen(0.0465f, 0));
    EXPECT_FALSE(SensitivityPresetChosen(0.075f, 3));
}

TEST_F(SettingsScreen, AccountPanelOfASignedInAccount) {
    shell->settingsCategory = 5;
    shell->localization.SetLocale(Locale::English);
    auth::LocalAccountRecord record;
    record.nickname = L"Пілот_7";
    record.email = L"pilot7@example.net";
    shell->accountRecord = record;
    shell->serverSession = account::ServerSession{};
    PaintScreen("settings-account-signed-in");
    EXPECT_EQ(PaintedCommands(), ScreenCommands({"auth.devices", "auth.logout", "auth.logout.all"}));
    ExpectTexts(Screen(5, {Subtitle(L"TARVONIX ACCOUNT / SERVER AUTHORITY", {}, {500, 320, 1200, 350}),
                           {L"Пілот_7", {}, {500, 385, 1200, 445}, Colors::Text, Face::Title},
                           Body(L"pilot7@example.net", {}, {500, 460, 1200, 510}),
                           Plain(L"МОЇ ПРИСТРОЇ", L"MY DEVICES", {500, 560, 980, 630}),
                           Plain(L"ВИЙТИ З АКАУНТА", L"SIGN OUT OF ACCOUNT", {1010, 560, 1490, 630}, true),
                           Plain(L"ВИЙТИ З УСІХ ПРИСТРОЇВ", L"SIGN OUT OF ALL DEVICES", {500, 675, 1490, 745}, true)}));
}

TEST(LastCheckText, FileTimesAreShownInUtcWithoutZoneChange) {
    EXPECT_EQ(FormatLastCheck(Utc(2026, 2, 3, 23, 59, 59)), L"2026-02-03 23:59 UTC");
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
