// Updates (screen 16): the application version and the release history read from
// the local release notes on every paint; one release at a time opens to its
// summary and its notes in three columns.
#include <string>

#include "screens/info_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {
namespace {

void VersionPanel(NativeShell& s, const releases::ReleaseInfo& newest) {
    s.Card(D2D1::RectF(72, 165, 520, 900));
    s.DrawTextIn(s.Pick(L"ВЕРСІЯ ЗАСТОСУНКА", L"APPLICATION VERSION"), s.captionFormat.Get(),
                 D2D1::RectF(105, 195, 455, 225), Colors::Cyan);
    s.DrawTextIn(newest.version, s.displayFormat.Get(), D2D1::RectF(105, 230, 480, 300), Colors::Accent);
    s.DrawLine(D2D1::Point2F(105, 320), D2D1::Point2F(478, 320), Colors::Border, 1.0f);
    DrawChip(s, D2D1::RectF(105, 615, 478, 663), s.Pick(L"ПУБЛІЧНА ІСТОРІЯ РЕЛІЗІВ", L"PUBLIC RELEASE HISTORY"), Colors::Cyan);
    s.Button(D2D1::RectF(105, 700, 478, 760), s.Pick(L"ПОЛІТИКА КОНФІДЕНЦІЙНОСТІ", L"PRIVACY POLICY"), "nav.privacy", false,
             false);
    s.DrawTextIn(s.Pick(L"Технічна діагностика залишається приватною в logs/.", L"Developer diagnostics remain private in logs/."),
                 s.captionFormat.Get(), D2D1::RectF(105, 790, 478, 850), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
}

void ReleaseDetails(NativeShell& s, const releases::ReleaseInfo& release, float y) {
    const bool ukrainian = s.localization.CurrentLocale() == localization::Locale::Ukrainian;
    s.DrawLine(D2D1::Point2F(585, y + 78), D2D1::Point2F(1818, y + 78), Colors::Border, 1.0f);
    s.DrawTextIn(ukrainian ? release.summaryUk : release.summaryEn, s.captionFormat.Get(),
                 D2D1::RectF(585, y + 88, 1810, y + 133), Colors::Muted);

    const std::wstring_view headings[3] = {s.Pick(L"ДОДАНО", L"ADDED"), s.Pick(L"ЗМІНЕНО", L"CHANGED"),
                                           s.Pick(L"ВИПРАВЛЕНО", L"FIXED")};
    const D2D1_COLOR_F colors[3] = {Colors::Accent, Colors::Cyan, Colors::Success};
    const auto columns = ReleaseNoteColumns(release.notes);
    for (size_t j = 0; j < 3; ++j) {
        const float x = 585.0f + 410.0f * static_cast<float>(j);
        DrawChip(s, D2D1::RectF(x, y + 145, x + 365, y + 179), headings[j], colors[j]);
        if (columns[j].empty()) {
            s.DrawTextIn(L"\u2014", s.bodyFormat.Get(), D2D1::RectF(x, y + 188, x + 365, y + 223), Colors::Muted);
            continue;
        }
        for (size_t k = 0; k < columns[j].size(); ++k) {
            const releases::ReleaseNote& note = release.notes[columns[j][k]];
            const float top = y + 188.0f + 50.0f * static_cast<float>(k);
            s.DrawTextIn(L"\u2022 " + (ukrainian ? note.textUk : note.textEn), s.captionFormat.Get(),
                         D2D1::RectF(x, top, x + 370, top + 45), Colors::Text);
        }
    }
}

void ReleaseRows(NativeShell& s, const std::vector<releases::ReleaseInfo>& history) {
    const bool ukrainian = s.localization.CurrentLocale() == localization::Locale::Ukrainian;
    const std::vector<ReleaseRow> rows = ReleaseRowLayout(history.size(), s.expandedRelease);
    for (size_t i = 0; i < rows.size(); ++i) {
        const releases::ReleaseInfo& release = history[i];
        const ReleaseRow& row = rows[i];
        const float y = row.top;
        const std::string toggle = "updates.toggle." + std::to_string(i);
        const D2D_RECT_F box = D2D1::RectF(555, y, 1848, y + row.height);

        s.FillRounded(box, 16.0f, row.open ? Colors::SurfaceRaised : Colors::Surface);
        if (row.open) {
            s.StrokeRounded(box, 16.0f, Colors::Accent, 2.0f);
        } else {
            s.StrokeRounded(box, 16.0f, s.hoverCommand == toggle ? Colors::Cyan : Colors::Border, 1.0f);
        }
        s.DrawTextIn((row.open ? L"\u2303  " : L"\u2304  ") + release.version, s.headingFormat.Get(),
                     D2D1::RectF(585, y + 14, 850, y + 63), row.open ? Colors::Accent : Colors::Text);
        s.DrawTextIn(release.date, s.bodyFormat.Get(), D2D1::RectF(1470, y + 14, 1810, y + 60), Colors::Muted,
                     DWRITE_TEXT_ALIGNMENT_TRAILING);
        s.DrawTextIn(ukrainian ? release.titleUk : release.titleEn, s.bodyFormat.Get(),
                     D2D1::RectF(850, y + 13, 1460, y + 62), Colors::Text);
        s.AddRegion(D2D1::RectF(555, y, 1848, y + 82), toggle);
        if (row.open) ReleaseDetails(s, release, y);
    }
}

}  // namespace

void NativeShell::DrawUpdates() {
    TopBrand(localization.Get(L"updates"));
    const std::vector<releases::ReleaseInfo> history = releaseNotes.LoadHistory();
    if (history.empty()) {
        Card(D2D1::RectF(220, 260, 1700, 820));
        DrawTextIn(Pick(L"МАНІФЕСТ РЕЛІЗУ НЕДОСТУПНИЙ", L"RELEASE MANIFEST UNAVAILABLE"), titleFormat.Get(),
                   D2D1::RectF(350, 430, 1570, 520), Colors::Danger, DWRITE_TEXT_ALIGNMENT_CENTER);
    } else {
        VersionPanel(*this, history.front());
        DrawTextIn(Pick(L"ОНОВЛЕННЯ / РОЗГОРНІТЬ РЕЛІЗ", L"UPDATES / EXPAND A RELEASE"), captionFormat.Get(),
                   D2D1::RectF(555, 145, 1355, 175), Colors::Cyan);
        ReleaseRows(*this, history);
    }
    Button(D2D1::RectF(72, 928, 250, 990), localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace tarvo::ui
