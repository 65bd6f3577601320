// Settings (screen 15): the rail of eight categories on the left and the chosen
// category's panel on the right. Drawn top to bottom; every control emits a command
// and the dispatcher changes the state the next paint shows.
#include <cmath>
#include <string>

#include "screens/info_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {
namespace {

constexpr const wchar_t* kCategoryKeys[8] = {L"game",    L"graphics", L"sound",    L"controls",
                                             L"network", L"account",  L"language", L"updates"};

void Subtitle(NativeShell& s, std::wstring_view text, D2D_RECT_F rect) {
    s.DrawTextIn(text, s.captionFormat.Get(), rect, Colors::Cyan);
}

void Label(NativeShell& s, std::wstring_view text, D2D_RECT_F rect) {
    s.DrawTextIn(text, s.headingFormat.Get(), rect, Colors::Text);
}

void Body(NativeShell& s, std::wstring_view text, D2D_RECT_F rect, D2D1_COLOR_F color) {
    s.DrawTextIn(text, s.bodyFormat.Get(), rect, color);
}

void GamePanel(NativeShell& s) {
    Subtitle(s, s.Pick(L"ТЕСТОВА ІГРОВА ЗБІРКА", L"PLAYABLE TEST BUILD"), D2D1::RectF(500, 320, 1100, 350));
    DrawChip(s, D2D1::RectF(500, 390, 940, 455), s.Pick(L"ТРЕНУВАННЯ З БОТАМИ: ДОСТУПНО", L"BOT TRAINING: AVAILABLE"),
             Colors::Success);
    Body(s,
         s.Pick(L"ZE001 працює локально з fixed-step simulation та автоматичним Vulkan / Direct3D 11 renderer.",
                L"ZE001 runs locally with fixed-step simulation and automatic Vulkan / Direct3D 11 rendering."),
         D2D1::RectF(500, 510, 1450, 570), Colors::Muted);
}

void GraphicsPanel(NativeShell& s) {
    using renderer::RenderBackendKind;
    Subtitle(s, s.Pick(L"НАЛАШТУВАННЯ ГРАФІКИ", L"ACTIVE GRAPHICS CONTROLS"), D2D1::RectF(500, 305, 1100, 335));

    Label(s, s.Pick(L"RENDERER (AUTO РЕКОМЕНДОВАНО)", L"RENDERER (AUTO RECOMMENDED)"), D2D1::RectF(500, 345, 1000, 390));
    s.Button(D2D1::RectF(500, 395, 790, 452), L"AUTO", "renderer.auto", s.rendererPreference == RenderBackendKind::Auto,
             false);
    s.Button(D2D1::RectF(815, 395, 1105, 452), L"VULKAN", "renderer.vulkan",
             s.rendererPreference == RenderBackendKind::Vulkan, false);
    s.Button(D2D1::RectF(1130, 395, 1490, 452), L"DIRECT3D 11", "renderer.d3d11",
             s.rendererPreference == RenderBackendKind::Direct3D11, false);

    Label(s, s.Pick(L"ЯКІСТЬ", L"QUALITY"), D2D1::RectF(500, 470, 700, 510));
    constexpr const wchar_t* kQualities[3] = {L"LOW", L"MEDIUM", L"HIGH"};
    for (std::uint32_t i = 0; i < 3; ++i) {
        const float left = 700.0f + 260.0f * static_cast<float>(i);
        s.Button(D2D1::RectF(left, 465, left + 240, 522), kQualities[i], "quality." + std::to_string(i), s.quality == i,
                 false);
    }

    Label(s, s.Pick(L"РЕЖИМ ЕКРАНА", L"DISPLAY MODE"), D2D1::RectF(500, 545, 850, 585));
    s.Button(D2D1::RectF(760, 540, 1040, 597), s.Pick(L"У ВІКНІ", L"WINDOWED"), "display.windowed", !s.fullscreen, false);
    s.Button(D2D1::RectF(1065, 540, 1385, 597), s.Pick(L"НА ВЕСЬ ЕКРАН", L"FULLSCREEN"), "display.fullscreen",
             s.fullscreen, false);

    Label(s, s.Pick(L"РОЗДІЛЬНА ЗДАТНІСТЬ", L"RESOLUTION"), D2D1::RectF(500, 620, 850, 660));
    s.Button(D2D1::RectF(760, 615, 1010, 672), L"1280 \u00D7 720", "resolution.1280", false, false);
    s.Button(D2D1::RectF(1030, 615, 1280, 672), L"1920 \u00D7 1080", "resolution.1920", false, false);
    s.Button(D2D1::RectF(1300, 615, 1550, 672), L"2560 \u00D7 1440", "resolution.2560", false, false);

    s.Button(D2D1::RectF(500, 705, 800, 762), s.vsync ? L"VSYNC: ON" : L"VSYNC: OFF", "graphics.vsync", s.vsync, false);
    Label(s, s.Pick(L"ЛІМІТ FPS", L"FPS LIMIT"), D2D1::RectF(835, 710, 1030, 760));
    constexpr int kLimits[3] = {60, 120, 144};
    for (int i = 0; i < 3; ++i) {
        const float left = 1035.0f + 185.0f * static_cast<float>(i);
        const std::wstring label = std::to_wstring(kLimits[i]);
        s.Button(D2D1::RectF(left, 705, left + 165, 762), label, "fps." + std::to_string(kLimits[i]),
                 s.fpsLimit == kLimits[i], false);
    }
}

void SoundPanel(NativeShell& s) {
    Subtitle(s, s.Pick(L"ЗВУКИ ЗБРОЇ WINDOWS", L"WINDOWS NATIVE WEAPON AUDIO"), D2D1::RectF(500, 320, 1100, 350));
    Label(s, s.Pick(L"ЗАГАЛЬНА ГУЧНІСТЬ", L"MASTER VOLUME"), D2D1::RectF(500, 390, 900, 450));

    const D2D_RECT_F track = D2D1::RectF(500, 480, 1450, 550);
    s.FillRounded(track, 16.0f, Colors::Surface);
    s.StrokeRounded(track, 16.0f, Colors::Border, 1.0f);
    const float volume = std::isnan(s.masterVolume) ? 0.0f : std::fmin(std::fmax(s.masterVolume, 0.0f), 1.0f);
    if (volume > 0.0f) s.FillRounded(D2D1::RectF(520, 508, 520 + 880 * volume, 522), 7.0f, Colors::Accent);
    s.AddRegion(track, "volume.slider");
    const long percent = std::lround(static_cast<double>(volume) * 100.0);
    s.DrawTextIn(std::to_wstring(percent) + L"%", s.headingFormat.Get(), D2D1::RectF(1360, 486, 1440, 540), Colors::Text,
                 DWRITE_TEXT_ALIGNMENT_TRAILING);

    const bool shotSound = s.weaponAudio.Available(audio::WeaponCue::SHOT, 0);
    DrawChip(s, D2D1::RectF(1490, 488, 1660, 542), shotSound ? s.Pick(L"АКТИВНО", L"ACTIVE") : s.Pick(L"ВІДСУТНЄ", L"MISSING"),
             shotSound ? Colors::Success : Colors::Danger);
    Body(s, L"SHOT: OWNED WAV  \u2022  RELOAD: OWNED WAV  \u2022  EMPTY/HIT: NOT AVAILABLE IN OWNED WAV SET",
         D2D1::RectF(500, 590, 1660, 650), Colors::Muted);
}

void ControlsPanel(NativeShell& s) {
    Subtitle(s, s.Pick(L"КЕРУВАННЯ У ГРІ", L"ACTIVE GAMEPLAY INPUT"), D2D1::RectF(500, 320, 1100, 350));
    Label(s, s.Pick(L"ЧУТЛИВІСТЬ МИШІ", L"MOUSE SENSITIVITY"), D2D1::RectF(500, 380, 900, 440));
    const std::wstring_view presets[3] = {s.Pick(L"НИЗЬКА", L"LOW"), s.Pick(L"СЕРЕДНЯ", L"MEDIUM"),
                                          s.Pick(L"ВИСОКА", L"HIGH")};
    for (int i = 0; i < 3; ++i) {
        const float left = 500.0f + 330.0f * static_cast<float>(i);
        s.Button(D2D1::RectF(left, 465, left + 300, 535), presets[i], "sensitivity." + std::to_string(i),
                 SensitivityPresetChosen(s.gameplayConfig.mouse_sensitivity, i), false);
    }
    Body(s,
         s.Pick(L"ПРЯМЕ ВВЕДЕННЯ МИШІ  \u2022  ПРИСКОРЕННЯ КУРСОРА WINDOWS ВИМКНЕНО У ZE001",
                L"RAW MOUSE INPUT  \u2022  WINDOWS CURSOR ACCELERATION BYPASSED IN ZE001"),
         D2D1::RectF(500, 600, 1550, 655), Colors::Accent);
    Body(s,
         s.Pick(L"WASD РУХ  /  SHIFT БІГ  /  C ПРИСІСТИ  /  SPACE СТРИБОК  /  LMB AUTO  /  RMB ПРИЦІЛ  /  R ПЕРЕЗАРЯДКА  /  "
                L"B AUTO-SEMI",
                L"WASD MOVE  /  SHIFT SPRINT  /  C CROUCH  /  SPACE JUMP  /  LMB AUTO  /  RMB ADS  /  R RELOAD  /  "
                L"B AUTO-SEMI"),
         D2D1::RectF(500, 680, 1650, 735), Colors::Muted);
    s.DrawTextIn(s.Pick(L"Q / E \u2014 НАХИЛ ПІДГОТОВЛЕНО, ВИМКНЕНО ДО 0.0.03.6",
                        L"Q / E \u2014 LEAN BINDINGS RESERVED, DISABLED UNTIL 0.0.03.6"),
                 s.captionFormat.Get(), D2D1::RectF(500, 750, 1600, 780), Colors::Cyan);
}

void NetworkPanel(NativeShell& s) {
    Subtitle(s, s.Pick(L"100% ОФЛАЙН-ТЕСТ", L"100% OFFLINE TEST"), D2D1::RectF(500, 320, 1100, 350));
    DrawChip(s, D2D1::RectF(500, 390, 920, 455), s.Pick(L"BACKEND: НЕ ПІДКЛЮЧЕНО", L"BACKEND: NOT CONNECTED"),
             Colors::Danger);
    Body(s,
         s.Pick(L"Gameplay не залежить від HTTP, database, Ostrel Node, blockchain або мережі.",
                L"Gameplay has no HTTP, database, Ostrel Node, blockchain, or network dependency."),
         D2D1::RectF(500, 510, 1540, 580), Colors::Muted);
}

void AccountPanel(NativeShell& s) {
    const bool signedIn = s.serverSession.has_value();
    Subtitle(s, signedIn ? L"TARVONIX ACCOUNT / SERVER AUTHORITY" : s.Pick(L"ЛОКАЛЬНИЙ ТЕСТОВИЙ АКАУНТ", L"LOCAL TEST ACCOUNT"),
             D2D1::RectF(500, 320, 1200, 350));
    const std::wstring_view name = s.accountRecord ? std::wstring_view(s.accountRecord->nickname)
                                                   : s.Pick(L"НЕМАЄ АКТИВНОГО АКАУНТА", L"NO ACTIVE ACCOUNT");
    s.DrawTextIn(name, s.titleFormat.Get(), D2D1::RectF(500, 385, 1200, 445), Colors::Text);
    Body(s, s.accountRecord ? std::wstring_view(s.accountRecord->email) : L"\u2014", D2D1::RectF(500, 460, 1200, 510),
         Colors::Muted);

    if (signedIn) {
        s.Button(D2D1::RectF(500, 560, 980, 630), s.Pick(L"МОЇ ПРИСТРОЇ", L"MY DEVICES"), "auth.devices", false, false);
    } else {
        s.Button(D2D1::RectF(500, 560, 980, 630), s.localization.Get(L"updates"), "nav.updates", false, false);
    }
    s.Button(D2D1::RectF(1010, 560, 1490, 630), s.Pick(L"ВИЙТИ З АКАУНТА", L"SIGN OUT OF ACCOUNT"), "auth.logout", false,
             true);
    if (signedIn) {
        s.Button(D2D1::RectF(500, 675, 1490, 745), s.Pick(L"ВИЙТИ З УСІХ ПРИСТРОЇВ", L"SIGN OUT OF ALL DEVICES"),
                 "auth.logout.all", false, true);
    } else {
        s.Button(D2D1::RectF(500, 675, 1490, 745), s.Pick(L"ПІДКЛЮЧИТИ ДО TARVONIX ACCOUNT", L"CONNECT TO TARVONIX ACCOUNT"),
                 "auth.link", true, false);
    }
}

void LanguagePanel(NativeShell& s) {
    const bool ukrainian = s.localization.CurrentLocale() == localization::Locale::Ukrainian;
    Subtitle(s, s.Pick(L"МОВА ІНТЕРФЕЙСУ", L"DISPLAY LANGUAGE"), D2D1::RectF(500, 320, 1100, 350));
    s.Button(D2D1::RectF(500, 370, 910, 445), s.localization.Get(L"ukrainian"), "lang.uk", ukrainian, false);
    s.Button(D2D1::RectF(940, 370, 1350, 445), s.localization.Get(L"english"), "lang.en", !ukrainian, false);
    Body(s,
         s.Pick(L"Мова застосовується до меню, gameplay HUD, pause та повідомлень.",
                L"Language switching applies to menus, the gameplay HUD, pause, and messages."),
         D2D1::RectF(500, 500, 1360, 570), Colors::Muted);
}

void UpdatesPanel(NativeShell& s) {
    Subtitle(s, s.Pick(L"СИСТЕМА ДОСТАВКИ / TEST CHANNEL", L"DISTRIBUTION SYSTEM / TEST CHANNEL"),
             D2D1::RectF(500, 300, 1400, 330));

    // Both files are looked at on every paint, so a launcher check shows at once.
    const std::filesystem::path root = NativeShell::DistributionInstallRoot();
    const std::wstring lastCheck = LauncherLastCheckText(root / "logs" / "launcher.log");
    const std::wstring_view status = LauncherInstallActive(root)
                                         ? s.Pick(L"ВСТАНОВЛЕНО ЧЕРЕЗ LAUNCHER", L"LAUNCHER INSTALL ACTIVE")
                                         : s.Pick(L"ЛОКАЛЬНА RELEASE ЗБІРКА", L"LOCAL RELEASE BUILD");
    const std::wstring_view rows[5][2] = {
        {s.Pick(L"ПОТОЧНА ВЕРСІЯ", L"CURRENT VERSION"), kVersionText},
        {L"PACKAGE REVISION", L"4"},
        {s.Pick(L"КАНАЛ", L"CHANNEL"), L"TEST"},
        {s.Pick(L"ОСТАННЯ ПЕРЕВІРКА", L"LAST CHECK"), lastCheck},
        {s.Pick(L"СТАТУС", L"STATUS"), status},
    };
    for (int i = 0; i < 5; ++i) {
        const float top = 345.0f + 62.0f * static_cast<float>(i);
        s.DrawTextIn(rows[i][0], s.captionFormat.Get(), D2D1::RectF(500, top, 930, top + 45), Colors::Muted);
        s.DrawTextIn(rows[i][1], s.headingFormat.Get(), D2D1::RectF(950, top, 1620, top + 45), Colors::Text,
                     DWRITE_TEXT_ALIGNMENT_TRAILING);
    }

    s.Button(D2D1::RectF(500, 675, 930, 740), s.Pick(L"ПЕРЕВІРИТИ ОНОВЛЕННЯ", L"CHECK FOR UPDATES"), "updates.check", false,
             false);
    s.Button(D2D1::RectF(955, 675, 1390, 740), s.Pick(L"ВІДКРИТИ LAUNCHER", L"OPEN LAUNCHER"), "updates.open", false, false);
    s.Button(D2D1::RectF(1430, 675, 1760, 740), s.Pick(L"ВІДНОВИТИ ЯРЛИК", L"REPAIR SHORTCUT"), "updates.shortcut", false,
             false);
    s.Button(D2D1::RectF(500, 770, 930, 830),
             s.autoDownload ? s.Pick(L"АВТОЗАВАНТАЖЕННЯ: ON", L"AUTO DOWNLOAD: ON")
                            : s.Pick(L"АВТОЗАВАНТАЖЕННЯ: OFF", L"AUTO DOWNLOAD: OFF"),
             "updates.auto", s.autoDownload, false);
    s.Button(D2D1::RectF(955, 770, 1390, 830),
             s.installOnExit ? s.Pick(L"ВСТАНОВИТИ ПІСЛЯ ВИХОДУ: ON", L"INSTALL ON EXIT: ON")
                             : s.Pick(L"ВСТАНОВИТИ ПІСЛЯ ВИХОДУ: OFF", L"INSTALL ON EXIT: OFF"),
             "updates.install", s.installOnExit, false);
}

}  // namespace

void NativeShell::DrawSettings() {
    TopBrand(localization.Get(L"settings"));

    Card(D2D1::RectF(72, 170, 410, 910));
    for (int i = 0; i < 8; ++i) {
        const float top = 205.0f + 86.0f * static_cast<float>(i);
        Button(D2D1::RectF(96, top, 386, top + 62), localization.Get(kCategoryKeys[i]), "settings.cat." + std::to_string(i),
               settingsCategory == i, false);
    }

    // Any value outside the rail shows the game panel under its name.
    const int category = settingsCategory >= 0 && settingsCategory < 8 ? settingsCategory : 0;
    Card(D2D1::RectF(450, 170, 1848, 910));
    DrawTextIn(localization.Get(kCategoryKeys[category]), titleFormat.Get(), D2D1::RectF(500, 210, 1400, 262), Colors::Text);
    switch (category) {
        case 1: GraphicsPanel(*this); break;
        case 2: SoundPanel(*this); break;
        case 3: ControlsPanel(*this); break;
        case 4: NetworkPanel(*this); break;
        case 5: AccountPanel(*this); break;
        case 6: LanguagePanel(*this); break;
        case 7: UpdatesPanel(*this); break;
        default: GamePanel(*this); break;
    }

    Button(D2D1::RectF(72, 928, 250, 990), localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace tarvo::ui
