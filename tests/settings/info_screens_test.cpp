// The updates, privacy and graphics compatibility screens drawn off-screen: their
// commands, row geometry, note columns and key texts in both languages.
#include "releases/release_notes.h"
#include "screen_check.h"
#include "screens/info_screens.h"

namespace tarvo::ui::test {
namespace {

using localization::Locale;
using navigation::ScreenId;
using releases::ReleaseCategory;
using releases::ReleaseNote;

class InfoScreens : public ScreenCheck {
protected:
    // A release folder of the test's own.
    void UseReleases(const std::vector<std::string>& files) {
        for (size_t i = 0; i < files.size(); ++i) {
            testing::WriteBytes(releaseFolder.Path() / (L"r" + std::to_wstring(i) + L".release"), files[i]);
        }
        shell->releaseNotes = releases::LocalReleaseNotesProvider(releaseFolder.Path());
    }

    testing::TempFolder releaseFolder;
};

std::string Release(const std::string& version, const std::string& notes = "") {
    std::string text;
    text.append("version = ").append(version);
    text.append("\ndate = 2026-01-").append(1, version.back());
    text.append("\ntitle.uk = Реліз ").append(version);
    text.append("\ntitle.en = Release ").append(version);
    text.append("\nsummary.uk = Підсумок\nsummary.en = Summary\n").append(notes);
    return text;
}

TEST_F(InfoScreens, UpdatesShowsTheShippedReleaseInBothLanguages) {
    Show(ScreenId::Updates);
    const auto history = shell->releaseNotes.LoadHistory();
    ASSERT_FALSE(history.empty());
    for (const Locale locale : {Locale::Ukrainian, Locale::English}) {
        const bool uk = locale == Locale::Ukrainian;
        shell->localization.SetLocale(locale);
        PaintScreen(uk ? "updates-uk" : "updates-en");
        EXPECT_EQ(PaintedCommands(),
                  (std::vector<std::string>{"nav.privacy", "updates.toggle.0", "nav.back", "nav.privacy"}));
        ExpectText(L"0.0.03.5", shell->displayFormat.Get(), {105, 230, 480, 300}, Colors::Accent);
        ExpectText(uk ? L"ВЕРСІЯ ЗАСТОСУНКА" : L"APPLICATION VERSION", shell->captionFormat.Get(), {105, 195, 455, 225},
                   Colors::Cyan);
        ExpectText(uk ? history[0].titleUk : history[0].titleEn, shell->bodyFormat.Get(), {850, 188, 1460, 237},
                   Colors::Text);
        ExpectText(uk ? history[0].summaryUk : history[0].summaryEn, shell->captionFormat.Get(), {585, 263, 1810, 308},
                   Colors::Muted);
        ExpectText(uk ? L"ДОДАНО" : L"ADDED", shell->captionFormat.Get(), {585, 320, 950, 354}, Colors::Accent,
                   DWRITE_TEXT_ALIGNMENT_CENTER);
        ExpectText(uk ? L"ВИПРАВЛЕНО" : L"FIXED", shell->captionFormat.Get(), {1405, 320, 1770, 354}, Colors::Success,
                   DWRITE_TEXT_ALIGNMENT_CENTER);
    }
}

TEST_F(InfoScreens, AtMostFiveRowsOfWhichOneIsOpen) {
    UseReleases({Release("0.0.01"), Release("0.0.02"), Release("0.0.03"), Release("0.0.04"), Release("0.0.05"),
                 Release("0.0.06"), Release("0.0.07")});
    Show(ScreenId::Updates);
    shell->expandedRelease = 2;
    PaintScreen("updates-seven");
    EXPECT_EQ(PaintedCommands(),
              (std::vector<std::string>{"nav.privacy", "updates.toggle.0", "updates.toggle.1", "updates.toggle.2",
                                        "updates.toggle.3", "updates.toggle.4", "nav.back", "nav.privacy"}));
    const float tops[5] = {175, 279, 383, 710, 814};
    for (int i = 0; i < 5; ++i) {
        const HitRegion* row = RegionOf("updates.toggle." + std::to_string(i));
        ASSERT_TRUE(row);
        EXPECT_EQ(row->rect.top, tops[i]) << i;
        EXPECT_EQ(row->rect.bottom, tops[i] + 82) << i;
        EXPECT_EQ(row->rect.left, 555.0f);
        EXPECT_EQ(row->rect.right, 1848.0f);
    }
    ExpectText(L"0.0.07", shell->displayFormat.Get(), {105, 230, 480, 300}, Colors::Accent);
    ExpectText(L"\u2303  0.0.05", shell->headingFormat.Get(), {585, 397, 850, 446}, Colors::Accent);
    ExpectText(L"\u2304  0.0.06", shell->headingFormat.Get(), {585, 293, 850, 342}, Colors::Text);

    // The pointer over a closed row outlines it in Cyan; the open row keeps its Accent.
    const auto edge = [&](float top) {  // the brightest pixel across the row's left edge
        Rgb most;
        for (int x = 552; x <= 558; ++x) {
            const Rgb p = Pixel(x, static_cast<int>(top) + 41);
            most = {std::max(most.r, p.r), std::max(most.g, p.g), std::max(most.b, p.b)};
        }
        return most;
    };
    for (const char* hovered : {"updates.toggle.1", "updates.toggle.2"}) {
        shell->hoverCommand = hovered;
        PaintScreen(std::string("updates-hover-") + hovered);
        const bool overClosed = hovered == std::string("updates.toggle.1");
        EXPECT_TRUE(Near(edge(175), Colors::Border)) << hovered;
        EXPECT_TRUE(Near(edge(279), overClosed ? Colors::Cyan : Colors::Border)) << hovered;
        EXPECT_TRUE(Near(edge(383), Colors::Accent)) << hovered;
        EXPECT_TRUE(Near(edge(710), Colors::Border)) << hovered;
    }
    shell->hoverCommand.clear();

    shell->expandedRelease = 7;  // matches no row: all closed
    PaintScreen("updates-all-closed");
    EXPECT_EQ(RegionOf("updates.toggle.4")->rect.top, 175.0f + 4 * 104.0f);
}

TEST(ReleaseRows, LayoutFollowsTheOpenRow) {
    const auto rows = ReleaseRowLayout(3, 2);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].top, 175.0f);
    EXPECT_EQ(rows[0].height, 92.0f);
    EXPECT_EQ(rows[1].top, 279.0f);
    EXPECT_EQ(rows[2].top, 383.0f);
    EXPECT_EQ(rows[2].height, 315.0f);
    EXPECT_TRUE(rows[2].open);
    EXPECT_EQ(ReleaseRowLayout(9, 0).size(), 5u);
    EXPECT_TRUE(ReleaseRowLayout(0, 0).empty());
}

TEST(ReleaseRows, NotesFillThreeColumnsTwoEachInFileOrder) {
    const std::vector<ReleaseNote> notes = {
        {ReleaseCategory::Fixed, L"f1", L"f1"},       {ReleaseCategory::Security, L"s1", L"s1"},
        {ReleaseCategory::KnownIssues, L"k", L"k"},   {ReleaseCategory::Fixed, L"f2", L"f2"},
        {ReleaseCategory::Improved, L"i1", L"i1"},    {ReleaseCategory::Fixed, L"f3", L"f3"},
        {ReleaseCategory::Tech, L"t1", L"t1"},        {ReleaseCategory::New, L"n1", L"n1"}};
    const auto columns = ReleaseNoteColumns(notes);
    EXPECT_EQ(columns[0], (std::vector<size_t>{7}));
    EXPECT_EQ(columns[1], (std::vector<size_t>{1, 4})) << "security and tech share the two places";
    EXPECT_EQ(columns[2], (std::vector<size_t>{0, 3}));
    const auto onlyKnown = ReleaseNoteColumns({{ReleaseCategory::KnownIssues, L"k", L"k"}});
    for (const auto& column : onlyKnown) EXPECT_TRUE(column.empty());
}

TEST_F(InfoScreens, OpenReleaseShowsItsNotesAndDashesForEmptyColumns) {
    UseReleases({Release("1.2", "note = FIXED | Виправлено раз | Fixed one\nnote = FIXED | Виправлено два | Fixed two\n"
                                "note = FIXED | Виправлено три | Fixed three\nnote = NEW | Нове | Added one\n"),
                 Release("1.1", "note = KNOWN ISSUES | Відомо | Known\n")});
    Show(ScreenId::Updates);
    shell->localization.SetLocale(Locale::English);
    PaintScreen("updates-notes");
    const float y = 175;
    ExpectText(L"\u2022 Added one", shell->captionFormat.Get(), {585, y + 188, 955, y + 233}, Colors::Text);
    ExpectText(L"\u2014", shell->bodyFormat.Get(), {995, y + 188, 1360, y + 223}, Colors::Muted);
    ExpectText(L"\u2022 Fixed one", shell->captionFormat.Get(), {1405, y + 188, 1775, y + 233}, Colors::Text);
    ExpectText(L"\u2022 Fixed two", shell->captionFormat.Get(), {1405, y + 238, 1775, y + 283}, Colors::Text);

    shell->expandedRelease = 1;
    shell->localization.SetLocale(Locale::Ukrainian);
    PaintScreen("updates-known-issues-only");
    const float y1 = 175 + 92 + 12;
    for (int j = 0; j < 3; ++j) {
        const float x = 585.0f + 410.0f * j;
        ExpectText(L"\u2014", shell->bodyFormat.Get(), {x, y1 + 188, x + 365, y1 + 223}, Colors::Muted);
    }
}

TEST_F(InfoScreens, WithoutReleasesTheManifestIsUnavailable) {
    // Neither a draft without a version nor a damaged file whose version (or title) runs to
    // 100,000 characters is a release: laid out, such a text stalls or breaks the paint.
    UseReleases({"title.en = a draft without a version\n", "version = " + std::string(100000, '7') + "\n",
                 "version = 2.0\ntitle.en = " + std::string(100000, 'W') + "\n"});
    Show(ScreenId::Updates);
    for (const Locale locale : {Locale::Ukrainian, Locale::English}) {
        const bool uk = locale == Locale::Ukrainian;
        shell->localization.SetLocale(locale);
        PaintScreen(uk ? "updates-empty-uk" : "updates-empty-en");
        EXPECT_EQ(PaintedCommands(), (std::vector<std::string>{"nav.back", "nav.privacy"}));
        ExpectText(uk ? L"МАНІФЕСТ РЕЛІЗУ НЕДОСТУПНИЙ" : L"RELEASE MANIFEST UNAVAILABLE", shell->titleFormat.Get(),
                   {350, 430, 1570, 520}, Colors::Danger, DWRITE_TEXT_ALIGNMENT_CENTER);
    }
}

TEST_F(InfoScreens, PrivacyStatementInBothLanguages) {
    Show(ScreenId::Privacy);
    for (const Locale locale : {Locale::Ukrainian, Locale::English}) {
        const bool uk = locale == Locale::Ukrainian;
        shell->localization.SetLocale(locale);
        PaintScreen(uk ? "privacy-uk" : "privacy-en");
        EXPECT_EQ(PaintedCommands(), (std::vector<std::string>{"nav.back", "nav.privacy"}));
        ExpectText(uk ? L"ЛОКАЛЬНА ПОЛІТИКА" : L"LOCAL POLICY ROUTE", shell->captionFormat.Get(), {300, 215, 650, 258},
                   Colors::Cyan, DWRITE_TEXT_ALIGNMENT_CENTER);
        ExpectText(uk ? L"БЕЗ ПАРОЛЯ / EMAIL / CREDENTIAL" : L"NO PASSWORD / EMAIL / CREDENTIAL",
                   shell->captionFormat.Get(), {910, 650, 1470, 700}, Colors::Success, DWRITE_TEXT_ALIGNMENT_CENTER);
        ExpectText(uk ? L"Це локальна pre-online policy-заглушка. Перед production online release буде опубліковано "
                        L"повну юридичну політику."
                      : L"This is a local pre-online policy entry. A complete legal policy will be published before "
                        L"the production online release.",
                   shell->bodyFormat.Get(), {300, 770, 1550, 830}, Colors::Muted);
    }
}

TEST_F(InfoScreens, GraphicsCompatibilitySummarisesTheSelection) {
    Show(ScreenId::GraphicsCompatibility);
    auto& selection = shell->graphicsSelection;
    selection.graphics.usable = false;
    selection.d3d11.ready = true;  // found no hardware adapter: its name stays undetermined
    selection.selected = renderer::RenderBackendKind::Direct3D11;
    selection.usable = false;
    selection.message = L"No usable renderer on this machine.";
    shell->graphicsDiagnostics.gpuName = L"llvmpipe (LLVM 15.0.6, 256 bits)";

    for (const Locale locale : {Locale::Ukrainian, Locale::English}) {
        const bool uk = locale == Locale::Ukrainian;
        shell->localization.SetLocale(locale);
        PaintScreen(uk ? "graphics-uk" : "graphics-en");
        EXPECT_EQ(PaintedCommands(), (std::vector<std::string>{"graphics.copy", "graphics.back", "nav.privacy"}));
        EXPECT_TRUE(PrimaryButton("graphics.copy"));
        EXPECT_FALSE(PrimaryButton("graphics.back"));
        ExpectText(uk ? L"НЕ ВДАЛОСЯ ЗАПУСТИТИ ГРАФІЧНИЙ МОДУЛЬ TARVONIX VOLLEY."
                      : L"TARVONIX VOLLEY GRAPHICS MODULE COULD NOT START.",
                   shell->headingFormat.Get(), {380, 215, 1540, 285}, Colors::Danger, DWRITE_TEXT_ALIGNMENT_CENTER);
        ExpectText(L"llvmpipe (LLVM 15.0.6, 256 bits)", shell->bodyFormat.Get(), {740, 310, 1510, 362}, Colors::Text);
        ExpectText(L"UNSUPPORTED", shell->bodyFormat.Get(), {740, 380, 1510, 432}, Colors::Text);
        ExpectText(L"READY", shell->bodyFormat.Get(), {740, 450, 1510, 502}, Colors::Text);
        ExpectText(uk ? L"ОБРАНИЙ RENDERER" : L"SELECTED RENDERER", shell->captionFormat.Get(), {405, 530, 735, 560},
                   Colors::Muted);
        ExpectText(L"DIRECT3D 11", shell->bodyFormat.Get(), {740, 520, 1510, 572}, Colors::Text);
        ExpectText(L"BLOCKED", shell->bodyFormat.Get(), {740, 590, 1510, 642}, Colors::Text);
        ExpectText(L"No usable renderer on this machine.", shell->bodyFormat.Get(), {405, 665, 1510, 725}, Colors::Muted,
                   DWRITE_TEXT_ALIGNMENT_CENTER);
        ExpectText(uk ? L"НАЗАД" : L"BACK", shell->headingFormat.Get(), RegionOf("graphics.back")->rect, Colors::Text,
                   DWRITE_TEXT_ALIGNMENT_CENTER);
    }
}

TEST(GraphicsGpuRow, TheDirect3DAdapterWinsWhenItWasFound) {
    renderer::GraphicsSystemDiagnostics selection;
    renderer::GraphicsDiagnostics probe;
    probe.gpuName = L"Vulkan GPU";
    EXPECT_EQ(GraphicsGpuText(selection, probe), L"Vulkan GPU") << "the Direct3D 11 probe found nothing";
    selection.d3d11.gpuName.clear();
    EXPECT_EQ(GraphicsGpuText(selection, probe), L"Vulkan GPU");
    selection.d3d11.gpuName = L"Radeon";
    EXPECT_EQ(GraphicsGpuText(selection, probe), L"Radeon");
}

}  // namespace
}  // namespace tarvo::ui::test
