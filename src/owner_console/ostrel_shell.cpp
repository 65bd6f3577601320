// The owner console's frame: the sidebar with its fifteen pages, the page header
// and the current page.
#include <array>

#include "owner_console/ostrel_ui.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

namespace ostrel {

namespace {

using navigation::ScreenId;

constexpr std::array<Page, 15> kPages{{
    {ScreenId::OstrelOverview, "ostrel.overview", L"ОГЛЯД", L"OVERVIEW", L"СТАН ЕКОСИСТЕМИ TARVONIX",
     L"STATE OF THE TARVONIX ECOSYSTEM"},
    {ScreenId::OstrelPlayers, "ostrel.players", L"ГРАВЦІ", L"PLAYERS", L"ЖИВИЙ СПИСОК ГРАВЦІВ З БЕКЕНДУ",
     L"LIVE PLAYER LIST FROM THE BACKEND"},
    {ScreenId::OstrelMatches, "ostrel.matches", L"МАТЧІ", L"MATCHES", L"ОСТАННІ МАТЧІ ОНЛАЙН-ТЕСТУ",
     L"RECENT ONLINE TEST MATCHES"},
    {ScreenId::OstrelDownloads, "ostrel.downloads", L"ЗАВАНТАЖЕННЯ", L"DOWNLOADS", L"ПАКЕТИ ТА ЇХ ЗАВАНТАЖЕННЯ",
     L"PACKAGES AND THEIR DOWNLOADS"},
    {ScreenId::Statistics, "ostrel.statistics", L"СТАТИСТИКА", L"STATISTICS", L"МЕТРИКИ ТЕСТУВАЛЬНИКІВ ТА ДНІВ",
     L"TESTER METRICS AND DAILY FIGURES"},
    {ScreenId::OstrelAnnouncements, "ostrel.announcements", L"ОГОЛОШЕННЯ", L"ANNOUNCEMENTS",
     L"ПІДПИСАНІ ПОВІДОМЛЕННЯ ДЛЯ ГРАВЦІВ", L"SIGNED MESSAGES TO PLAYERS"},
    {ScreenId::OstrelEconomy, "ostrel.economy", L"ЕКОНОМІКА", L"ECONOMY", L"АРСЕНАЛ І МОНЕТИ МАТЧУ",
     L"ARSENAL AND MATCH COINS"},
    {ScreenId::OstrelTarv, "ostrel.tarv", L"МЕРЕЖА TARV", L"TARV NETWORK", L"МАТЧ-СЕРВЕРИ ТА ПРОТОКОЛ TARV1",
     L"MATCH SERVERS AND THE TARV1 PROTOCOL"},
    {ScreenId::OstrelSecurity, "ostrel.security", L"БЕЗПЕКА", L"SECURITY", L"КЛЮЧ ВЛАСНИКА ТА ПОДІЇ БЕЗПЕКИ",
     L"OWNER KEY AND SECURITY EVENTS"},
    {ScreenId::OstrelVersions, "ostrel.versions", L"ВЕРСІЇ", L"VERSIONS", L"ВИПУСКИ ГРИ ТА ЇХ СТАН",
     L"GAME RELEASES AND THEIR STATE"},
    {ScreenId::OstrelRelease, "ostrel.release", L"РЕЛІЗ", L"RELEASE", L"ПІДПИСАНІ КОМАНДИ КЕРУВАННЯ РЕЛІЗОМ",
     L"SIGNED RELEASE-CONTROL COMMANDS"},
    {ScreenId::OstrelHealth, "ostrel.health", L"ЗДОРОВ'Я", L"HEALTH", L"СЛУЖБИ ЕКОСИСТЕМИ", L"ECOSYSTEM SERVICES"},
    {ScreenId::OstrelAudit, "ostrel.audit", L"АУДИТ", L"AUDIT", L"ЖУРНАЛ ДІЙ ВЛАСНИКА", L"OWNER ACTION LOG"},
    {ScreenId::OstrelSettings, "ostrel.settings", L"НАЛАШТУВАННЯ", L"SETTINGS", L"МОВА, АДРЕСИ СЛУЖБ І ФАЙЛИ",
     L"LANGUAGE, SERVICE ADDRESSES AND FILES"},
    {ScreenId::OstrelBackend, "ostrel.backend", L"БЕКЕНД", L"BACKEND", L"ПРИВАТНА КОНФІГУРАЦІЯ БЕКЕНДУ",
     L"PRIVATE BACKEND CONFIGURATION"},
}};

constexpr float kNavTop = 150.0f;
constexpr float kNavStep = 54.0f;

void Sidebar(NativeShell& shell, ScreenId current) {
    shell.FillRect(D2D1::RectF(0, 7, 320, 1080), Colors::Surface);
    shell.DrawLine(D2D1::Point2F(320, 7), D2D1::Point2F(320, 1080), Colors::Border, 1.0f);
    shell.DrawTextIn(L"OSTREL NODE", shell.headingFormat.Get(), D2D1::RectF(40, 38, 300, 92), Colors::Text);
    shell.FillRect(D2D1::RectF(40, 92, 183, 95), Colors::Accent);
    shell.DrawTextIn(L"TARVONIX ECOSYSTEM", shell.captionFormat.Get(), D2D1::RectF(40, 102, 300, 132), Colors::Muted);

    float y = kNavTop;
    for (const Page& page : kPages) {
        const D2D_RECT_F rect = D2D1::RectF(24, y, 296, y + kNavStep - 6);
        const bool active = page.screen == current;
        const bool hovered = shell.hoverCommand == page.command;
        if (active) {
            shell.FillRounded(rect, 9.0f, WithAlpha(Colors::Accent, 0.12f));
            shell.FillRect(D2D1::RectF(rect.left, rect.top + 12, rect.left + 3, rect.bottom - 12), Colors::Accent);
        } else if (hovered) {
            shell.FillRounded(rect, 9.0f, Colors::SurfaceRaised);
        }
        shell.DrawTextIn(shell.Pick(page.titleUk, page.titleEn), shell.bodyFormat.Get(),
                         D2D1::RectF(rect.left + 22, rect.top, rect.right - 12, rect.bottom),
                         active ? Colors::Accent : (hovered ? Colors::Text : Colors::Muted));
        shell.AddRegion(rect, std::string(page.command));
        y += kNavStep;
    }
    shell.DrawTextIn(kVersionText, shell.captionFormat.Get(), D2D1::RectF(40, 1030, 300, 1060), Colors::Muted);
}

}  // namespace

std::span<const Page> Pages() { return kPages; }

const Page* FindPage(ScreenId screen) {
    for (const Page& page : kPages) {
        if (page.screen == screen) return &page;
    }
    return nullptr;
}

void PageHeader(NativeShell& shell, const Page& page) {
    shell.DrawTextIn(shell.Pick(page.titleUk, page.titleEn), shell.titleFormat.Get(),
                     D2D1::RectF(kContentLeft, 34, 1400, 104), Colors::Text);
    shell.DrawTextIn(shell.Pick(page.subtitleUk, page.subtitleEn), shell.captionFormat.Get(),
                     D2D1::RectF(kContentLeft, 104, 1400, 132), Colors::Muted);
    if (shell.ostrelBusy) {
        Chip(shell, D2D1::RectF(1480, 52, kContentRight, 92),
             shell.ostrelNotice.empty() ? std::wstring_view(L"WORKING...") : std::wstring_view(shell.ostrelNotice),
             Colors::Cyan);
    } else {
        shell.DrawTextIn(L"OWNER CONSOLE \u00B7 " + std::wstring(kVersionText), shell.captionFormat.Get(),
                         D2D1::RectF(1480, 52, kContentRight, 92), Colors::Muted, DWRITE_TEXT_ALIGNMENT_TRAILING);
    }
}

}  // namespace ostrel

void NativeShell::DrawOstrelShell() {
    const navigation::ScreenId current = router.Current();
    ostrel::Sidebar(*this, current);
    const ostrel::Page* page = ostrel::FindPage(current);
    if (!page) page = &ostrel::Pages()[0];  // a screen of the game product: show the overview
    ostrel::PageHeader(*this, *page);
    switch (page->screen) {
        case navigation::ScreenId::OstrelPlayers: ostrel::DrawPlayersPage(*this); break;
        case navigation::ScreenId::OstrelMatches: ostrel::DrawMatchesPage(*this); break;
        case navigation::ScreenId::OstrelDownloads: ostrel::DrawDownloadsPage(*this); break;
        case navigation::ScreenId::Statistics: ostrel::DrawStatisticsPage(*this); break;
        case navigation::ScreenId::OstrelAnnouncements: ostrel::DrawAnnouncementsPage(*this); break;
        case navigation::ScreenId::OstrelEconomy: ostrel::DrawEconomyPage(*this); break;
        case navigation::ScreenId::OstrelTarv: ostrel::DrawTarvPage(*this); break;
        case navigation::ScreenId::OstrelSecurity: ostrel::DrawSecurityPage(*this); break;
        case navigation::ScreenId::OstrelVersions: ostrel::DrawVersionsPage(*this); break;
        case navigation::ScreenId::OstrelRelease: ostrel::DrawReleasePage(*this); break;
        case navigation::ScreenId::OstrelHealth: ostrel::DrawHealthPage(*this); break;
        case navigation::ScreenId::OstrelAudit: ostrel::DrawAuditPage(*this); break;
        case navigation::ScreenId::OstrelSettings: ostrel::DrawSettingsPage(*this); break;
        case navigation::ScreenId::OstrelBackend: ostrel::DrawBackendPage(*this); break;
        default: ostrel::DrawOverviewPage(*this); break;
    }
}

}  // namespace tarvo::ui
