// Pages about the live state of the ecosystem: overview, players, health and the
// match network.
#include <algorithm>
#include <array>

#include "mock_data/demo_tables.h"
#include "owner_console/ostrel_ui.h"
#include "shell/native_shell.h"

namespace tarvo::ui::ostrel {

namespace {

D2D1_COLOR_F StatusColor(std::wstring_view text) {
    if (text.starts_with(L"ONLINE") || text.find(L"ACCEPTED") != std::wstring_view::npos ||
        text.find(L"SYNCED ") != std::wstring_view::npos || text.starts_with(L"INITIALIZED") ||
        text.starts_with(L"READY")) {
        return Colors::Success;
    }
    if (text.starts_with(L"OFFLINE") || text.find(L"FAILED") != std::wstring_view::npos ||
        text.find(L"REFUSED") != std::wstring_view::npos || text.find(L"UNAVAILABLE") != std::wstring_view::npos ||
        text.starts_with(L"HTTP")) {
        return Colors::Danger;
    }
    return Colors::Text;
}

std::wstring OrDash(std::int64_t value, bool known) {
    return known ? Grouped(static_cast<std::uint64_t>(std::max<std::int64_t>(value, 0))) : L"\u2014";
}

}  // namespace

void DrawOverviewPage(NativeShell& shell) {
    const bool synced = shell.metricsStatusText != L"NOT SYNCED";
    const std::wstring note =
        synced ? shell.metricsStatusText : std::wstring(shell.Pick(L"ЩЕ НЕ СИНХРОНІЗОВАНО", L"NOT SYNCED YET"));
    const D2D1_COLOR_F noteColor = synced ? StatusColor(shell.metricsStatusText) : Colors::Muted;
    const std::array<std::pair<std::wstring_view, std::int64_t>, 4> figures{{
        {shell.Pick(L"АКТИВНІ ГРАВЦІ", L"ACTIVE PLAYERS"), shell.overviewPlayers},
        {shell.Pick(L"МАТЧІ", L"MATCHES"), shell.overviewMatches},
        {shell.Pick(L"ЗАВАНТАЖЕННЯ", L"DOWNLOADS"), shell.overviewDownloads},
        {shell.Pick(L"ВИТРАЧЕНО МОНЕТ", L"COINS SPENT"), shell.overviewRevenue},
    }};
    for (size_t i = 0; i < figures.size(); ++i) {
        const float left = kContentLeft + 385.0f * static_cast<float>(i);
        FigureCard(shell, D2D1::RectF(left, 160, left + 365, 300), figures[i].first, OrDash(figures[i].second, synced),
                   note, i == 0 ? Colors::Cyan : (synced ? noteColor : Colors::Accent));
    }

    // Fourteen days of demo activity.
    const auto days = mock_data::DemoMetrics();
    std::vector<std::uint32_t> active;
    std::vector<std::wstring> labels;
    for (const auto& day : days) {
        active.push_back(day.activePlayers);
        labels.emplace_back(day.day.substr(5));
    }
    TitledCard(shell, D2D1::RectF(kContentLeft, 320, 1240, 690),
               shell.Pick(L"АКТИВНІ ГРАВЦІ ЗА 14 ДНІВ", L"ACTIVE PLAYERS, 14 DAYS"));
    Chip(shell, D2D1::RectF(1090, 332, 1224, 362), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Cyan);
    BarChart(shell, D2D1::RectF(kContentLeft + 28, 384, 1212, 670), active, labels, Colors::Cyan, 2);

    TitledCard(shell, D2D1::RectF(1260, 320, kContentRight, 690), shell.Pick(L"СЛУЖБИ", L"SERVICES"));
    const float fx = 1284;
    const float fw = 572;
    Field(shell, fx, 360, fw, shell.Pick(L"РЕЛІЗ", L"RELEASE"), shell.releaseStatusText,
          StatusColor(shell.releaseStatusText));
    Field(shell, fx, 400, fw, shell.Pick(L"БЕКЕНД", L"BACKEND"), shell.backendStatusText,
          StatusColor(shell.backendStatusText));
    Field(shell, fx, 440, fw, shell.Pick(L"МАТЧ-СЕРВЕР", L"MATCH SERVER"), shell.matchStatusText,
          StatusColor(shell.matchStatusText));
    Field(shell, fx, 480, fw, shell.Pick(L"КЛЮЧ ВЛАСНИКА", L"OWNER KEY"),
          shell.ownerKeyText.empty() ? std::wstring(shell.Pick(L"НЕ ЗАВАНТАЖЕНО", L"NOT LOADED")) : shell.ownerKeyText,
          Colors::Text);
    Field(shell, fx, 520, fw, shell.Pick(L"МЕТРИКИ", L"METRICS"), shell.metricsStatusText,
          StatusColor(shell.metricsStatusText));
    shell.Button(D2D1::RectF(fx, 600, 1560, 660), shell.Pick(L"ПЕРЕВІРИТИ СЕРВЕР", L"CHECK SERVER"), "match.status",
                 false, false);
    shell.Button(D2D1::RectF(1580, 600, 1856, 660), shell.Pick(L"ОНОВИТИ МЕТРИКИ", L"REFRESH METRICS"),
                 "metrics.refresh", true, false);

    TitledCard(shell, D2D1::RectF(kContentLeft, 710, kContentRight, 930),
               shell.Pick(L"ОСТАННІ ДІЇ", L"RECENT ACTIONS"));
    Chip(shell, D2D1::RectF(1730, 722, 1864, 752), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Cyan);
    const std::array<Column, 4> columns{{{L"TIME (UTC)", 300}, {L"ACTOR", 300}, {L"ACTION", 360}, {L"TARGET", 500}}};
    std::vector<Row> rows;
    for (const auto& entry : mock_data::DemoAuditLog().first(3)) {
        rows.push_back({std::wstring(entry.at), std::wstring(entry.actor), std::wstring(entry.action),
                        std::wstring(entry.target)});
    }
    Table(shell, kContentLeft + 12, 760, columns, rows);
}

void DrawPlayersPage(NativeShell& shell) {
    shell.Button(D2D1::RectF(kContentLeft, 160, 620, 220), shell.Pick(L"ОНОВИТИ", L"REFRESH"), "backend.players", true,
                 false);
    Chip(shell, D2D1::RectF(640, 170, 1100, 210), shell.playersStatusText, StatusColor(shell.playersStatusText));
    shell.DrawTextIn(shell.ostrelSyncText, shell.captionFormat.Get(), D2D1::RectF(1120, 170, kContentRight, 210),
                     Colors::Muted, DWRITE_TEXT_ALIGNMENT_TRAILING);

    TitledCard(shell, D2D1::RectF(kContentLeft, 240, 1340, 940), shell.Pick(L"ГРАВЦІ (ДО 8)", L"PLAYERS (UP TO 8)"));
    const std::array<Column, 6> columns{{{L"PLAYER ID", 190},
                                         {shell.Pick(L"НІКНЕЙМ", L"NICKNAME"), 200},
                                         {shell.Pick(L"СТАН", L"STATE"), 150},
                                         {shell.Pick(L"ПЕРЕВІРЕНО", L"VERIFIED"), 130},
                                         {shell.Pick(L"ОСТАННІЙ ВХІД", L"LAST SEEN"), 200},
                                         {shell.Pick(L"ПРИСТРОЇ", L"DEVICES"), 100, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rows;
    std::vector<D2D1_COLOR_F> colors;
    for (const LivePlayerRow& player : shell.livePlayers) {
        rows.push_back(
            {player.playerId, player.nickname, player.accountState,
             player.verified ? std::wstring(shell.Pick(L"ТАК", L"YES")) : std::wstring(shell.Pick(L"НІ", L"NO")),
             player.lastSeen, player.trustedDevices});
        colors.push_back(player.verified ? Colors::Text : Colors::Muted);
    }
    if (rows.empty()) {
        shell.DrawTextIn(shell.Pick(L"Список порожній: натисніть ОНОВИТИ, щоб отримати гравців із бекенду.",
                                    L"No players loaded: press REFRESH to query the backend."),
                         shell.bodyFormat.Get(), D2D1::RectF(kContentLeft + 24, 520, 1316, 580), Colors::Muted,
                         DWRITE_TEXT_ALIGNMENT_CENTER);
    } else {
        TableStyle style;
        style.rowHeight = 56;
        style.highlighted = shell.selectedLivePlayer;
        style.rowCommand = "players.select.";
        style.rowColors = colors;
        Table(shell, kContentLeft + 12, 290, columns, rows, style);
    }

    TitledCard(shell, D2D1::RectF(1360, 240, kContentRight, 940), shell.Pick(L"ВИБРАНИЙ ГРАВЕЦЬ", L"SELECTED PLAYER"));
    const int selected = shell.selectedLivePlayer;
    if (selected < 0 || selected >= static_cast<int>(shell.livePlayers.size())) {
        shell.DrawTextIn(L"\u2014", shell.titleFormat.Get(), D2D1::RectF(1384, 520, 1856, 600), Colors::Muted,
                         DWRITE_TEXT_ALIGNMENT_CENTER);
        return;
    }
    const LivePlayerRow& player = shell.livePlayers[static_cast<size_t>(selected)];
    shell.DrawTextIn(player.nickname, shell.headingFormat.Get(), D2D1::RectF(1384, 290, 1856, 340), Colors::Text);
    Chip(shell, D2D1::RectF(1384, 350, 1600, 384),
         player.verified ? shell.Pick(L"ПЕРЕВІРЕНО", L"VERIFIED") : shell.Pick(L"НЕ ПЕРЕВІРЕНО", L"NOT VERIFIED"),
         player.verified ? Colors::Success : Colors::Danger);
    const float w = 472;
    Field(shell, 1384, 410, w, L"ID", player.playerId, Colors::Text);
    Field(shell, 1384, 450, w, shell.Pick(L"СТАН", L"STATE"), player.accountState, Colors::Text);
    Field(shell, 1384, 490, w, shell.Pick(L"СТВОРЕНО", L"CREATED"), player.createdAt, Colors::Text);
    Field(shell, 1384, 530, w, shell.Pick(L"ОСТАННІЙ ВХІД", L"LAST SEEN"), player.lastSeen, Colors::Text);
    Field(shell, 1384, 570, w, shell.Pick(L"ВЕРСІЯ КЛІЄНТА", L"CLIENT"), player.clientVersion, Colors::Text);
    Field(shell, 1384, 610, w, shell.Pick(L"ДОВІРЕНІ ПРИСТРОЇ", L"TRUSTED DEVICES"), player.trustedDevices,
          Colors::Text);
}

void DrawHealthPage(NativeShell& shell) {
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, kContentRight, 560),
               shell.Pick(L"СЛУЖБИ ЗА 30 ДНІВ", L"SERVICES OVER 30 DAYS"));
    Chip(shell, D2D1::RectF(1730, 172, 1864, 202), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Cyan);
    const std::array<Column, 5> columns{{{shell.Pick(L"СЛУЖБА", L"SERVICE"), 320},
                                         {shell.Pick(L"АДРЕСА", L"ENDPOINT"), 520},
                                         {shell.Pick(L"ЗАТРИМКА", L"LATENCY"), 180, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"ДОСТУПНІСТЬ", L"UPTIME"), 200, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"СТАН", L"STATE"), 260, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rows;
    std::vector<D2D1_COLOR_F> colors;
    for (const auto& service : mock_data::DemoServiceHealth()) {
        rows.push_back(
            {std::wstring(service.service), std::wstring(service.endpoint), std::to_wstring(service.latencyMs) + L" MS",
             std::to_wstring(service.uptimePermille / 10) + L"." + std::to_wstring(service.uptimePermille % 10) + L" %",
             service.healthy ? L"OK" : std::wstring(shell.Pick(L"ПОВІЛЬНО", L"DEGRADED"))});
        colors.push_back(service.healthy ? Colors::Text : Colors::Danger);
    }
    TableStyle style;
    style.rowColors = colors;
    Table(shell, kContentLeft + 12, 212, columns, rows, style);

    TitledCard(shell, D2D1::RectF(kContentLeft, 580, kContentRight, 820),
               shell.Pick(L"ЖИВІ ПЕРЕВІРКИ", L"LIVE CHECKS"));
    Field(shell, kContentLeft + 24, 620, 900, shell.Pick(L"БЕКЕНД", L"BACKEND"), shell.backendStatusText,
          StatusColor(shell.backendStatusText));
    Field(shell, kContentLeft + 24, 660, 900, shell.Pick(L"МАТЧ-СЕРВЕР", L"MATCH SERVER"), shell.matchStatusText,
          StatusColor(shell.matchStatusText));
    Field(shell, kContentLeft + 24, 700, 900, shell.Pick(L"КЕРУВАННЯ РЕЛІЗОМ", L"RELEASE CONTROL"),
          shell.releaseStatusText, StatusColor(shell.releaseStatusText));
    shell.Button(D2D1::RectF(1320, 612, 1856, 664), shell.Pick(L"ПЕРЕВІРИТИ МАТЧ-СЕРВЕР", L"CHECK MATCH SERVER"),
                 "match.status", false, false);
    shell.Button(D2D1::RectF(1320, 676, 1588, 728), shell.Pick(L"СТАН РЕЛІЗУ", L"RELEASE STATUS"), "release.status",
                 false, false);
    shell.Button(D2D1::RectF(1604, 676, 1856, 728), shell.Pick(L"МЕТРИКИ БЕКЕНДУ", L"BACKEND METRICS"),
                 "backend.metrics", false, false);
}

void DrawTarvPage(NativeShell& shell) {
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, 1100, 520), shell.Pick(L"ПРОТОКОЛ", L"PROTOCOL"));
    const float w = 692;
    Field(shell, kContentLeft + 24, 200, w, shell.Pick(L"ПРОТОКОЛ", L"PROTOCOL"), L"TARV1 / UDP", Colors::Text);
    Field(shell, kContentLeft + 24, 240, w, shell.Pick(L"ЧАСТОТА", L"TICK RATE"), L"30 HZ", Colors::Text);
    Field(shell, kContentLeft + 24, 280, w, shell.Pick(L"ГРАВЦІВ", L"PLAYERS"),
          shell.Pick(L"ДО 16 У МАТЧІ", L"UP TO 16 PER MATCH"), Colors::Text);
    Field(shell, kContentLeft + 24, 320, w, shell.Pick(L"ТАЙМАУТ", L"TIMEOUT"),
          shell.Pick(L"8 С БЕЗ ДАНИХ СЕРВЕРА", L"8 S WITHOUT SERVER DATA"), Colors::Text);
    Field(shell, kContentLeft + 24, 360, w, shell.Pick(L"АРСЕНАЛ", L"ARSENAL"),
          shell.Pick(L"3 ЗБРОЇ ЗА МОНЕТИ МАТЧУ", L"3 WEAPONS FOR MATCH COINS"), Colors::Text);
    Field(shell, kContentLeft + 24, 400, w, shell.Pick(L"СТАН", L"STATUS"), L"/api/matches/status.php", Colors::Text);

    TitledCard(shell, D2D1::RectF(1120, 160, kContentRight, 520), shell.Pick(L"МАТЧ-СЕРВЕР", L"MATCH SERVER"));
    shell.DrawTextIn(shell.matchStatusText, shell.headingFormat.Get(), D2D1::RectF(1144, 230, 1856, 300),
                     StatusColor(shell.matchStatusText));
    shell.DrawTextIn(shell.Pick(L"Запит стану виконується у фоні; сторінка оновиться, коли прийде відповідь.",
                                L"The status request runs in the background; the page updates when it answers."),
                     shell.bodyFormat.Get(), D2D1::RectF(1144, 310, 1856, 380), Colors::Muted);
    shell.Button(D2D1::RectF(1144, 420, 1500, 480), shell.Pick(L"ПЕРЕВІРИТИ", L"CHECK"), "match.status", true, false);

    TitledCard(shell, D2D1::RectF(kContentLeft, 540, kContentRight, 860), shell.Pick(L"ВУЗЛИ", L"NODES"));
    Chip(shell, D2D1::RectF(1730, 552, 1864, 582), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Cyan);
    const std::array<Column, 6> columns{{{shell.Pick(L"ВУЗОЛ", L"NODE"), 280},
                                         {shell.Pick(L"РЕГІОН", L"REGION"), 280},
                                         {shell.Pick(L"ГРАВЦІ", L"PLAYERS"), 220, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"ЧАСТОТА", L"TICK"), 200, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {L"RTT", 200, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"СТАН", L"STATE"), 300, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rows;
    std::vector<D2D1_COLOR_F> colors;
    for (const auto& node : mock_data::DemoMatchNodes()) {
        rows.push_back({std::wstring(node.node), std::wstring(node.region), std::to_wstring(node.players) + L" / 16",
                        std::to_wstring(node.tickRate) + L" HZ",
                        node.online ? std::to_wstring(node.rttMs) + L" MS" : std::wstring(L"\u2014"),
                        node.online ? L"ONLINE" : L"OFFLINE"});
        colors.push_back(node.online ? Colors::Text : Colors::Muted);
    }
    TableStyle style;
    style.rowColors = colors;
    Table(shell, kContentLeft + 12, 592, columns, rows, style);
}

}  // namespace tarvo::ui::ostrel
