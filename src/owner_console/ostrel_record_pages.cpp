// Pages over records: matches, downloads, statistics, versions, the audit log and
// the economy. Demo tables say so with a chip.
#include <algorithm>
#include <array>

#include "common/text_utils.h"
#include "gameplay/gameplay_config.h"
#include "mock_data/demo_tables.h"
#include "owner_console/ostrel_ui.h"
#include "presentation/weapon_meshes.h"
#include "shell/native_shell.h"

namespace tarvo::ui::ostrel {

namespace {

std::wstring Widen(std::string_view ascii) { return std::wstring(ascii.begin(), ascii.end()); }

std::wstring Tenths(std::uint64_t tenths, std::wstring_view unit) {
    return std::to_wstring(tenths / 10) + L"." + std::to_wstring(tenths % 10) + std::wstring(unit);
}

void DemoChip(NativeShell& shell, float right, float top) {
    Chip(shell, D2D1::RectF(right - 150, top + 12, right - 16, top + 42), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"),
         Colors::Cyan);
}

D2D1_COLOR_F VersionStateColor(std::wstring_view state) {
    if (state == L"ACTIVE") return Colors::Success;
    if (state == L"STAGED") return Colors::Cyan;
    if (state == L"ROLLED BACK") return Colors::Danger;
    return Colors::Muted;
}

}  // namespace

void DrawMatchesPage(NativeShell& shell) {
    const auto matches = mock_data::DemoMatches();
    std::uint64_t seconds = 0;
    std::uint64_t players = 0;
    for (const auto& match : matches) {
        seconds += match.durationSeconds;
        players += match.players;
    }
    const std::uint64_t count = std::max<std::uint64_t>(1, matches.size());
    Chip(shell, D2D1::RectF(kContentLeft, 166, 620, 202),
         std::wstring(shell.Pick(L"МАТЧІВ: ", L"MATCHES: ")) + std::to_wstring(matches.size()), Colors::Accent);
    Chip(shell, D2D1::RectF(640, 166, 1000, 202),
         std::wstring(shell.Pick(L"СЕРЕДНЯ ТРИВАЛІСТЬ ", L"AVERAGE LENGTH ")) +
             MinutesSeconds(static_cast<std::uint32_t>(seconds / count)),
         Colors::Accent);
    Chip(shell, D2D1::RectF(1020, 166, 1340, 202),
         std::wstring(shell.Pick(L"СЕРЕДНЬО ГРАВЦІВ ", L"AVERAGE PLAYERS ")) + Tenths(players * 10 / count, L""),
         Colors::Accent);

    TitledCard(shell, D2D1::RectF(kContentLeft, 220, kContentRight, 930),
               shell.Pick(L"ОСТАННІ МАТЧІ", L"RECENT MATCHES"));
    DemoChip(shell, kContentRight, 220);
    const std::array<Column, 8> columns{{{shell.Pick(L"МАТЧ", L"MATCH"), 150},
                                         {shell.Pick(L"ПОЧАТОК (UTC)", L"STARTED (UTC)"), 210},
                                         {shell.Pick(L"РЕЖИМ", L"MODE"), 270},
                                         {shell.Pick(L"МАПА", L"MAP"), 140},
                                         {shell.Pick(L"ГРАВЦІ", L"PLAYERS"), 110, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"ТРИВАЛІСТЬ", L"LENGTH"), 130, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"РЕЗУЛЬТАТ", L"RESULT"), 290},
                                         {shell.Pick(L"ВУЗОЛ", L"NODE"), 180}}};
    std::vector<Row> rows;
    for (const auto& match : matches) {
        rows.push_back({std::wstring(match.matchId), std::wstring(match.startedAt),
                        Widen(gameplay::MatchModeNames[std::min<std::size_t>(match.mode, 6)]),
                        Widen(gameplay::MatchMapNames[std::min<std::size_t>(match.map, 2)]),
                        std::to_wstring(match.players), MinutesSeconds(match.durationSeconds),
                        std::wstring(match.result), std::wstring(match.node)});
    }
    Table(shell, kContentLeft + 12, 270, columns, rows, TableStyle{44.0f});
}

void DrawDownloadsPage(NativeShell& shell) {
    const auto downloads = mock_data::DemoDownloads();
    std::uint64_t started = 0;
    std::uint64_t completed = 0;
    for (const auto& d : downloads) {
        started += d.started;
        completed += d.completed;
    }
    const std::uint64_t permille = started ? completed * 1000 / started : 0;
    FigureCard(shell, D2D1::RectF(kContentLeft, 160, 725, 300), shell.Pick(L"РОЗПОЧАТО", L"STARTED"), Grouped(started),
               shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Cyan);
    FigureCard(shell, D2D1::RectF(745, 160, 1110, 300), shell.Pick(L"ЗАВЕРШЕНО", L"COMPLETED"), Grouped(completed),
               shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Accent);
    FigureCard(shell, D2D1::RectF(1130, 160, 1495, 300), shell.Pick(L"УСПІШНІСТЬ", L"COMPLETION"),
               Tenths(permille, L" %"), shell.Pick(L"ДЕМО-ДАНІ", L"DEMO DATA"), Colors::Success);
    FigureCard(shell, D2D1::RectF(1515, 160, kContentRight, 300), shell.Pick(L"ОСТАННЯ ВЕРСІЯ", L"LATEST VERSION"),
               downloads.empty() ? L"\u2014" : std::wstring(downloads.front().version),
               downloads.empty() ? L"" : std::wstring(downloads.front().channel), Colors::Accent);

    const auto days = mock_data::DemoMetrics();
    std::vector<std::uint32_t> values;
    std::vector<std::wstring> labels;
    for (const auto& day : days) {
        values.push_back(day.downloads);
        labels.emplace_back(day.day.substr(5));
    }
    TitledCard(shell, D2D1::RectF(kContentLeft, 320, kContentRight, 560),
               shell.Pick(L"ЗАВАНТАЖЕННЯ ЗА ДНЯМИ", L"DOWNLOADS PER DAY"));
    DemoChip(shell, kContentRight, 320);
    BarChart(shell, D2D1::RectF(kContentLeft + 28, 366, kContentRight - 28, 548), values, labels, Colors::Accent, 1);

    TitledCard(shell, D2D1::RectF(kContentLeft, 580, kContentRight, 940), shell.Pick(L"ПАКЕТИ", L"PACKAGES"));
    DemoChip(shell, kContentRight, 580);
    const std::array<Column, 8> columns{
        {{shell.Pick(L"ВЕРСІЯ", L"VERSION"), 160},
         {shell.Pick(L"КАНАЛ", L"CHANNEL"), 150},
         {shell.Pick(L"ПАКЕТ", L"PACKAGE"), 150},
         {shell.Pick(L"РОЗПОЧАТО", L"STARTED"), 180, DWRITE_TEXT_ALIGNMENT_TRAILING},
         {shell.Pick(L"ЗАВЕРШЕНО", L"COMPLETED"), 180, DWRITE_TEXT_ALIGNMENT_TRAILING},
         {shell.Pick(L"УСПІШНІСТЬ", L"RATE"), 150, DWRITE_TEXT_ALIGNMENT_TRAILING},
         {shell.Pick(L"РОЗМІР", L"SIZE"), 170, DWRITE_TEXT_ALIGNMENT_TRAILING},
         {shell.Pick(L"ОПУБЛІКОВАНО", L"PUBLISHED"), 250, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rows;
    for (const auto& d : downloads) {
        rows.push_back({std::wstring(d.version), std::wstring(d.channel), std::wstring(d.package), Grouped(d.started),
                        Grouped(d.completed), Tenths(mock_data::CompletionPermille(d), L" %"),
                        Tenths(static_cast<std::uint64_t>(d.sizeKiB) * 10 / 1024, L" MIB"), std::wstring(d.published)});
    }
    Table(shell, kContentLeft + 12, 626, columns, rows, TableStyle{36.0f});
}

void DrawStatisticsPage(NativeShell& shell) {
    const distribution::TestMetricsSnapshot& m = shell.testMetrics;
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, 1100, 640),
               shell.Pick(L"МЕТРИКИ ТЕСТУВАЛЬНИКІВ", L"TESTER METRICS"));
    Chip(shell, D2D1::RectF(760, 172, 1084, 202), shell.metricsStatusText, m.valid ? Colors::Success : Colors::Muted);
    const auto figure = [&](std::uint64_t value) { return m.valid ? Grouped(value) : std::wstring(L"\u2014"); };
    const float w = 692;
    const float x = kContentLeft + 24;
    Field(shell, x, 212, w, shell.Pick(L"ТЕСТУВАЛЬНИКИ", L"TESTERS"), figure(m.testers), Colors::Text);
    Field(shell, x, 248, w, shell.Pick(L"АКТИВНІ ЗА 24 ГОД", L"ACTIVE IN 24 H"), figure(m.activeTesters), Colors::Text);
    Field(shell, x, 284, w, shell.Pick(L"СЕСІЇ", L"SESSIONS"), figure(m.sessions), Colors::Text);
    Field(shell, x, 320, w, shell.Pick(L"МАТЧІ", L"MATCHES"), figure(m.matches), Colors::Text);
    Field(shell, x, 356, w, shell.Pick(L"ЗАВАНТАЖЕННЯ", L"DOWNLOADS"), figure(m.downloads), Colors::Text);
    Field(shell, x, 392, w, shell.Pick(L"ЗВІТИ ПРО ЗБОЇ", L"CRASH REPORTS"), figure(m.crashReports),
          m.valid && m.crashReports > 0 ? Colors::Danger : Colors::Text);
    Field(shell, x, 428, w, shell.Pick(L"ВИТРАЧЕНО МОНЕТ", L"COINS SPENT"), figure(m.coinsSpent), Colors::Text);
    Field(shell, x, 464, w, shell.Pick(L"ЗБІРКА", L"BUILD"), m.buildVersion, Colors::Text);
    Field(shell, x, 500, w, shell.Pick(L"ЗВІТ ВІД", L"REPORTED AT"), m.reportedAt, Colors::Text);
    shell.Button(D2D1::RectF(x, 552, 700, 608), shell.Pick(L"ОНОВИТИ МЕТРИКИ", L"REFRESH METRICS"), "metrics.refresh",
                 true, false);

    const auto days = mock_data::DemoMetrics();
    std::vector<std::uint32_t> values;
    std::vector<std::wstring> labels;
    for (const auto& day : days) {
        values.push_back(day.matches);
        labels.emplace_back(day.day.substr(5));
    }
    TitledCard(shell, D2D1::RectF(kContentLeft, 660, 1100, 940), shell.Pick(L"МАТЧІ ЗА ДНЯМИ", L"MATCHES PER DAY"));
    DemoChip(shell, 1100, 660);
    BarChart(shell, D2D1::RectF(kContentLeft + 28, 710, 1072, 930), values, labels, Colors::Cyan, 3);

    TitledCard(shell, D2D1::RectF(1120, 160, kContentRight, 940), shell.Pick(L"ДНІ", L"DAYS"));
    DemoChip(shell, kContentRight, 160);
    const std::array<Column, 6> columns{{{shell.Pick(L"ДЕНЬ", L"DAY"), 150},
                                         {shell.Pick(L"АКТИВНІ", L"ACTIVE"), 110, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"НОВІ", L"NEW"), 90, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"МАТЧІ", L"MATCHES"), 120, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"ПІК", L"PEAK"), 110, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"ЗБОЇ", L"CRASHES"), 130, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rows;
    for (auto it = days.rbegin(); it != days.rend(); ++it) {
        rows.push_back({std::wstring(it->day), Grouped(it->activePlayers), Grouped(it->newPlayers),
                        Grouped(it->matches), Grouped(it->peakConcurrent), Grouped(it->crashReports)});
    }
    const mock_data::MetricTotals totals = mock_data::SumMetrics(days);
    rows.push_back({std::wstring(shell.Pick(L"РАЗОМ", L"TOTAL")), L"", Grouped(totals.newPlayers),
                    Grouped(totals.matches), Grouped(totals.peakConcurrent), Grouped(totals.crashReports)});
    std::vector<D2D1_COLOR_F> colors(rows.size(), Colors::Text);
    colors.back() = Colors::Accent;
    TableStyle style;
    style.rowHeight = 44;
    style.rowColors = colors;
    Table(shell, 1132, 206, columns, rows, style);
}

void DrawVersionsPage(NativeShell& shell) {
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, kContentRight, 520), shell.Pick(L"ВИПУСКИ", L"RELEASES"));
    DemoChip(shell, kContentRight, 160);
    const std::array<Column, 6> columns{{{shell.Pick(L"ВЕРСІЯ", L"VERSION"), 160},
                                         {shell.Pick(L"КАНАЛ", L"CHANNEL"), 140},
                                         {shell.Pick(L"СТАН", L"STATE"), 190},
                                         {shell.Pick(L"ВИПУЩЕНО", L"RELEASED"), 170},
                                         {L"SHA-256", 230},
                                         {shell.Pick(L"ЗМІНИ", L"NOTES"), 580}}};
    std::vector<Row> rows;
    std::vector<D2D1_COLOR_F> colors;
    for (const auto& v : mock_data::DemoVersions()) {
        rows.push_back({std::wstring(v.version), std::wstring(v.channel), std::wstring(v.state),
                        std::wstring(v.released), std::wstring(v.sha256Prefix), std::wstring(v.notes)});
        colors.push_back(VersionStateColor(v.state));
    }
    TableStyle style;
    style.rowHeight = 48;
    style.rowColors = colors;
    Table(shell, kContentLeft + 12, 212, columns, rows, style);

    TitledCard(shell, D2D1::RectF(kContentLeft, 540, kContentRight, 800), shell.Pick(L"ШЛЯХ РЕЛІЗУ", L"RELEASE PATH"));
    shell.DrawTextIn(shell.Pick(L"Одночасно підготовлено лише один реліз. ПЕРЕВІРКА підтверджує його, АКТИВАЦІЯ "
                                L"переводить гравців, ЗАВЕРШЕННЯ прибирає попередній, ВІДКАТ повертає попередній.",
                                L"Only one release is staged at a time. CHECK validates it, ACTIVATE moves players to "
                                L"it, FINALIZE retires the previous one, ROLLBACK returns to the previous one."),
                     shell.bodyFormat.Get(), D2D1::RectF(kContentLeft + 24, 590, kContentRight - 24, 680),
                     Colors::Text);
    shell.Button(D2D1::RectF(kContentLeft + 24, 710, 760, 770),
                 shell.Pick(L"ДО КЕРУВАННЯ РЕЛІЗОМ", L"OPEN RELEASE CONTROL"), "ostrel.release", true, false);
}

void DrawAuditPage(NativeShell& shell) {
    Chip(shell, D2D1::RectF(kContentLeft, 166, 1200, 202),
         std::wstring(shell.Pick(L"ЦЯ СЕСІЯ: ", L"THIS SESSION: ")) +
             (shell.lastCommandText.empty() ? std::wstring(shell.Pick(L"КОМАНД НЕ БУЛО", L"NO COMMANDS YET"))
                                            : shell.lastCommandText),
         Colors::Accent);
    TitledCard(shell, D2D1::RectF(kContentLeft, 220, kContentRight, 900), shell.Pick(L"ЖУРНАЛ", L"LOG"));
    DemoChip(shell, kContentRight, 220);
    const std::array<Column, 5> columns{{{shell.Pick(L"ЧАС (UTC)", L"TIME (UTC)"), 260},
                                         {shell.Pick(L"ХТО", L"ACTOR"), 240},
                                         {shell.Pick(L"ДІЯ", L"ACTION"), 300},
                                         {shell.Pick(L"ОБ'ЄКТ", L"TARGET"), 460},
                                         {shell.Pick(L"РЕЗУЛЬТАТ", L"RESULT"), 220, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rows;
    std::vector<D2D1_COLOR_F> colors;
    for (const auto& entry : mock_data::DemoAuditLog()) {
        rows.push_back({std::wstring(entry.at), std::wstring(entry.actor), std::wstring(entry.action),
                        std::wstring(entry.target),
                        entry.allowed ? std::wstring(shell.Pick(L"ДОЗВОЛЕНО", L"ALLOWED"))
                                      : std::wstring(shell.Pick(L"ВІДХИЛЕНО", L"DENIED"))});
        colors.push_back(entry.allowed ? Colors::Text : Colors::Danger);
    }
    TableStyle style;
    style.rowHeight = 44;
    style.rowColors = colors;
    Table(shell, kContentLeft + 12, 268, columns, rows, style);
}

void DrawEconomyPage(NativeShell& shell) {
    TitledCard(shell, D2D1::RectF(kContentLeft, 160, kContentRight, 440), shell.Pick(L"АРСЕНАЛ", L"ARSENAL"));
    Chip(shell, D2D1::RectF(1600, 172, 1864, 202), shell.Pick(L"ТАБЛИЦЯ ГРИ", L"GAME TABLE"), Colors::Success);
    const std::array<Column, 6> columns{{{shell.Pick(L"КЛАВІША", L"KEY"), 140},
                                         {shell.Pick(L"ЗБРОЯ", L"WEAPON"), 260},
                                         {shell.Pick(L"ЦІНА", L"PRICE"), 180, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"ШКОДА", L"DAMAGE"), 180, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"МАГАЗИН", L"MAGAZINE"), 180, DWRITE_TEXT_ALIGNMENT_TRAILING},
                                         {shell.Pick(L"ОПИС", L"ROLE"), 520}}};
    std::vector<Row> rows;
    for (size_t i = 0; i < std::size(presentation::Arsenal); ++i) {
        const auto& weapon = presentation::Arsenal[i];
        rows.push_back({std::to_wstring(i + 1), Widen(weapon.name),
                        weapon.price == 0 ? std::wstring(shell.Pick(L"БАЗОВА", L"STARTER"))
                                          : Grouped(static_cast<std::uint64_t>(weapon.price)),
                        std::to_wstring(weapon.damage), std::to_wstring(weapon.magazine), Widen(weapon.description)});
    }
    Table(shell, kContentLeft + 12, 212, columns, rows, TableStyle{48.0f});

    TitledCard(shell, D2D1::RectF(kContentLeft, 460, 1100, 860), shell.Pick(L"НАГОРОДИ МОНЕТАМИ", L"COIN REWARDS"));
    DemoChip(shell, 1100, 460);
    const std::array<Column, 2> rewardColumns{{{shell.Pick(L"ПОДІЯ", L"EVENT"), 480},
                                               {shell.Pick(L"МОНЕТИ", L"COINS"), 220, DWRITE_TEXT_ALIGNMENT_TRAILING}}};
    std::vector<Row> rewards;
    for (const auto& reward : mock_data::DemoCoinRewards()) {
        rewards.push_back({std::wstring(shell.Pick(reward.eventUk, reward.eventEn)), L"+" + Grouped(reward.coins)});
    }
    Table(shell, kContentLeft + 12, 510, rewardColumns, rewards, TableStyle{44.0f});

    const distribution::TestMetricsSnapshot& m = shell.testMetrics;
    FigureCard(shell, D2D1::RectF(1120, 460, kContentRight, 640), shell.Pick(L"ВИТРАЧЕНО МОНЕТ", L"COINS SPENT"),
               m.valid ? Grouped(m.coinsSpent) : std::wstring(L"\u2014"), shell.metricsStatusText,
               m.valid ? Colors::Success : Colors::Muted);
    FigureCard(shell, D2D1::RectF(1120, 680, kContentRight, 860), shell.Pick(L"НА ОДИН МАТЧ", L"PER MATCH"),
               m.valid && m.matches ? Grouped(m.coinsSpent / m.matches) : std::wstring(L"\u2014"),
               shell.Pick(L"З МЕТРИК ТЕСТУВАЛЬНИКІВ", L"FROM TESTER METRICS"), Colors::Accent);
}

}  // namespace tarvo::ui::ostrel
