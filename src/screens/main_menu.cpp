// The home screen: hero panel with the banner and the play button, account badge,
// exit and account-link buttons, navigation row, combat record and teasers.
#include <string>

#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

namespace {

// A status chip: its colour faint behind, stronger around, full in the text.
void Chip(NativeShell& shell, D2D_RECT_F rect, D2D1_COLOR_F color, std::wstring_view text) {
    shell.FillRounded(rect, 7.0f, WithAlpha(color, 0.12f));
    shell.StrokeRounded(rect, 7.0f, WithAlpha(color, 0.48f), 1.0f);
    shell.DrawTextIn(text, shell.captionFormat.Get(), rect, color, DWRITE_TEXT_ALIGNMENT_CENTER);
}

}  // namespace

void NativeShell::DrawMainMenu() {
    TopBrand(localization.Get(L"main_menu"));

    // Hero panel: the banner under a veil, framed in the accent colour.
    const D2D_RECT_F hero = D2D1::RectF(535, 155, 1848, 665);
    Card(hero);
    DrawImage(L"presentation/tarvonix-banner.png", hero, 0.34f);
    FillRect(hero, WithAlpha(Colors::Background, 0.53f));
    StrokeRounded(hero, 16.0f, WithAlpha(Colors::Accent, 0.5f), 1.5f);
    Chip(*this, D2D1::RectF(585, 190, 915, 228), Colors::Cyan, Pick(L"ТЕСТОВА ЗБІРКА / ОФЛАЙН", L"TEST BUILD / OFFLINE"));
    DrawTextIn(Pick(L"ПАНУЙ", L"DOMINATE"), displayFormat.Get(), D2D1::RectF(585, 270, 1580, 355), Colors::Text);
    DrawTextIn(Pick(L"НА ФРОНТІ.", L"THE FRONT."), displayFormat.Get(), D2D1::RectF(585, 350, 1580, 445), Colors::Accent);
    DrawTextIn(Pick(L"Тактична локальна арена. Rozizodivo. Реальна зброя. Ваш прогрес.",
                    L"Tactical local arena. Rozizodivo. Real weapon. Your progress."),
               bodyFormat.Get(), D2D1::RectF(590, 447, 1470, 500), Colors::Text);
    Button(D2D1::RectF(585, 535, 1450, 620), localization.Get(L"start_game"), "nav.play", true, false);

    // Account badge.
    Card(D2D1::RectF(72, 168, 510, 345));
    const D2D_RECT_F avatar = D2D1::RectF(98, 196, 224, 322);
    const std::wstring& name = playerData.identity.displayName;
    if (DrawOwnAvatar(*this, avatar)) {
        StrokeRounded(avatar, 63.0f, WithAlpha(Colors::Border, 0.55f), 1.0f);
    } else {
        FillRounded(avatar, 63.0f, WithAlpha(Colors::Cyan, 0.14f));
        StrokeRounded(avatar, 63.0f, Colors::Cyan, 2.0f);
        DrawTextIn(ProfileInitials(name), headingFormat.Get(), avatar, Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
    }
    DrawTextIn(name, headingFormat.Get(), D2D1::RectF(250, 195, 480, 235), Colors::Text);
    std::wstring level(localization.Get(L"level"));
    level += L' ';
    level += std::to_wstring(playerData.identity.level);
    level += L"  \u2022  ";
    level += playerData.identity.rankLabel;
    DrawTextIn(level, captionFormat.Get(), D2D1::RectF(250, 240, 480, 270), Colors::Muted);
    const bool signedIn = serverSession.has_value();
    Chip(*this, D2D1::RectF(250, 282, 420, 317), Colors::Success,
         signedIn ? Pick(L"TARVONIX / СИНХРОНІЗОВАНО", L"TARVONIX / SYNCED")
                  : Pick(L"ЛОКАЛЬНИЙ / АКТИВНИЙ", L"LOCAL / ACTIVE"));

    Button(D2D1::RectF(72, 368, 510, 424), Pick(L"ВИЙТИ З ГРИ", L"EXIT GAME"), "app.exit", false, true);
    if (accountRecord && !signedIn) {
        Button(D2D1::RectF(72, 438, 510, 495), Pick(L"ПІДКЛЮЧИТИ TARVONIX ACCOUNT", L"CONNECT TARVONIX ACCOUNT"),
               "auth.link", true, false);
    }

    // Navigation row: five buttons 242 wide, 23 apart.
    struct NavEntry {
        const wchar_t* key;
        const char* command;
    };
    static constexpr NavEntry kNavigation[] = {{L"inventory", "nav.inventory"},
                                               {L"profile", "nav.profile"},
                                               {L"statistics", "nav.statistics"},
                                               {L"updates", "nav.updates"},
                                               {L"settings", "nav.settings"}};
    float left = 535.0f;
    for (const NavEntry& entry : kNavigation) {
        Button(D2D1::RectF(left, 700, left + 242, 770), localization.Get(entry.key), entry.command, false, false);
        left += 265.0f;
    }

    // Local combat record.
    const player::BotStats& stats = playerData.botStats;
    Card(D2D1::RectF(72, 515, 510, 670));
    DrawTextIn(Pick(L"ЛОКАЛЬНА БОЙОВА СТАТИСТИКА", L"LOCAL COMBAT RECORD"), captionFormat.Get(),
               D2D1::RectF(100, 535, 450, 565), Colors::Cyan);
    const std::wstring record = std::to_wstring(stats.kills) + L" K  /  " + std::to_wstring(stats.deaths) + L" D";
    DrawTextIn(record, headingFormat.Get(), D2D1::RectF(100, 575, 475, 630), Colors::Text);
    const std::wstring trainings =
        std::to_wstring(stats.trainingsStarted) + std::wstring(Pick(L" ТРЕНУВАНЬ", L" TRAINING SESSIONS"));
    DrawTextIn(trainings, captionFormat.Get(), D2D1::RectF(100, 630, 450, 660), Colors::Muted);

    // Teasers.
    Card(D2D1::RectF(1500, 790, 1848, 940));
    DrawTextIn(Pick(L"МАЙБУТНЯ ЕКОНОМІКА", L"FUTURE ECONOMY"), captionFormat.Get(), D2D1::RectF(1528, 810, 1818, 840),
               Colors::Muted);
    DrawTextIn(L"TARV   \u2014", headingFormat.Get(), D2D1::RectF(1528, 840, 1785, 882), Colors::Accent);
    Chip(*this, D2D1::RectF(1650, 892, 1820, 925), Colors::Cyan, localization.Get(L"coming_later"));
    Chip(*this, D2D1::RectF(535, 812, 1240, 870), Colors::Danger,
         Pick(L"ОНЛАЙН-ТЕСТ / 3 КАРТИ / 6 РЕЖИМІВ", L"ONLINE TEST / 3 MAPS / 6 MODES"));
}

}  // namespace tarvo::ui
