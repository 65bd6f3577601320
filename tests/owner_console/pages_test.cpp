// Every owner-console page drawn off-screen at 1920 x 1080: its sidebar, its own
// controls as hit regions, something drawn in its content area, and clicks on the
// sidebar that reach the dispatcher. With OSTREL_SCREENSHOT_DIR set, each paint is
// also written there as a PNG for a person to look at.
#include <algorithm>
#include <cstdlib>

#include "owner_console/ostrel_ui.h"
#include "screens/offscreen_canvas.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

bool SavePng(IWICImagingFactory* factory, IWICBitmap* bitmap, const std::filesystem::path& file) {
    Microsoft::WRL::ComPtr<IWICStream> stream;
    Microsoft::WRL::ComPtr<IWICBitmapEncoder> encoder;
    Microsoft::WRL::ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(factory->CreateStream(&stream)) || FAILED(stream->InitializeFromFilename(file.c_str(), GENERIC_WRITE)) ||
        FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) ||
        FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
        FAILED(frame->WriteSource(bitmap, nullptr)) || FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
        return false;
    }
    return true;
}

class OwnerPages : public CanvasFixture {
protected:
    void SetUp() override { Build(ProductKind::OstrelNode); }

    void Show(ScreenId screen) {
        shell->router.Navigate(screen);
        Paint();
        if (const char* dir = std::getenv("OSTREL_SCREENSHOT_DIR")) {
            const std::string name = "ostrel-" + std::to_string(static_cast<unsigned>(screen)) + ".png";
            EXPECT_TRUE(SavePng(shell->wicFactory.Get(), bitmap.Get(), std::filesystem::path(dir) / name));
        }
    }

    bool Has(const std::string& command) const {
        const auto commands = Commands();
        return std::find(commands.begin(), commands.end(), command) != commands.end();
    }
};

struct PageCase {
    ScreenId screen;
    std::vector<std::string> commands;  // the page's own controls
};

const std::vector<PageCase>& PageCases() {
    static const std::vector<PageCase> cases = {
        {ScreenId::OstrelOverview, {"match.status", "metrics.refresh"}},
        {ScreenId::OstrelPlayers, {"backend.players"}},
        {ScreenId::OstrelMatches, {}},
        {ScreenId::OstrelDownloads, {}},
        {ScreenId::Statistics, {"metrics.refresh"}},
        {ScreenId::OstrelAnnouncements,
         {"announcement.target.0", "announcement.target.1", "announcement.target.2", "field.message",
          "announcement.publish"}},
        {ScreenId::OstrelEconomy, {}},
        {ScreenId::OstrelTarv, {"match.status"}},
        {ScreenId::OstrelSecurity, {"release.status"}},
        {ScreenId::OstrelVersions, {"ostrel.release"}},
        {ScreenId::OstrelRelease,
         {"release.status", "release.check", "release.activate", "release.finalize", "release.rollback"}},
        {ScreenId::OstrelHealth, {"match.status", "release.status", "backend.metrics"}},
        {ScreenId::OstrelAudit, {}},
        {ScreenId::OstrelSettings, {"lang.uk", "lang.en"}},
        {ScreenId::OstrelBackend,
         {"field.backend.dbhost", "field.backend.dbpassword", "reveal.field.backend.dbpassword",
          "field.backend.smtppassword", "field.backend.testemail", "backend.test-db", "backend.test-mail",
          "backend.save", "backend.initialize"}},
    };
    return cases;
}

class EveryOwnerPage : public OwnerPages, public ::testing::WithParamInterface<size_t> {};

TEST_P(EveryOwnerPage, HasTheSidebarItsOwnControlsAndContentInBothLanguages) {
    ASSERT_EQ(PageCases().size(), ostrel::Pages().size());
    const PageCase& page = PageCases()[GetParam()];
    EXPECT_EQ(ostrel::Pages()[GetParam()].screen, page.screen) << "sidebar order";
    Show(page.screen);
    for (const ostrel::Page& entry : ostrel::Pages()) EXPECT_TRUE(Has(std::string(entry.command))) << entry.command;
    for (const std::string& command : page.commands) EXPECT_TRUE(Has(command)) << command;
    EXPECT_GT(LitPixels(360, 150, 1880, 940), 4000) << "the page drew its content, not only the frame";
    // The marked sidebar entry carries the accent bar at its left edge.
    const int markY = static_cast<int>(150 + 54 * GetParam() + 24);
    EXPECT_GT(Pixel(25, markY).g, 200);

    const int ukrainianTitle = LitPixels(360, 30, 1400, 110);
    shell->localization.SetLocale(localization::Locale::English);
    Paint();
    EXPECT_GT(LitPixels(360, 30, 1400, 110), 500) << "the English title is drawn";
    EXPECT_NE(LitPixels(360, 30, 1400, 110), ukrainianTitle) << "and differs from the Ukrainian one";
}

INSTANTIATE_TEST_SUITE_P(Pages, EveryOwnerPage, ::testing::Range<size_t>(0, 15));

TEST_F(OwnerPages, TheSidebarMarksTheCurrentPageAndClicksOnItNavigate) {
    Show(ScreenId::OstrelOverview);
    // Entry 0 (overview) at y 150..198 carries the accent bar; entry 1 does not.
    const Rgb marked = Pixel(25, 174);
    const Rgb plain = Pixel(25, 228);
    EXPECT_GT(marked.g, 200);
    EXPECT_LT(plain.g, 100);

    // A click on the tenth entry (versions) goes through the hit regions to the dispatcher.
    shell->OnClick(150, static_cast<int>(150 + 54 * 9 + 20));
    EXPECT_EQ(shell->router.Current(), ScreenId::OstrelVersions);
    Paint();
    shell->OnClick(150, static_cast<int>(150 + 54 * 4 + 20));
    EXPECT_EQ(shell->router.Current(), ScreenId::Statistics);
}

TEST_F(OwnerPages, PlayersPageListsTheRowsAndTheSelectedPlayersCard) {
    for (int i = 0; i < 3; ++i) {
        LivePlayerRow row;
        row.playerId = L"P-" + std::to_wstring(i);
        row.nickname = L"Гравець " + std::to_wstring(i);
        row.createdAt = L"2025-1" + std::to_wstring(i) + L"-02T08:15:00Z";
        row.lastSeen = L"2026-02-0" + std::to_wstring(i + 3) + L"T09:05:00Z";
        row.verified = i != 1;
        shell->livePlayers.push_back(row);
    }
    // Every text drawn between `left` and `right` below `top`, with its colour.
    const auto texts = [&](float left, float top, float right) {
        std::string found;
        for (const DrawnText& d : drawn) {
            if (d.rect.left < left || d.rect.right > right || d.rect.top < top) continue;
            found += distribution::WideToUtf8(d.text) + " " + ColorName(d.color) + "; ";
        }
        return found;
    };
    const auto card = [&] { return texts(1384, 290, 1920); };  // right of the list, below its title
    const auto verified = [&] { return texts(912, 322, 1042); };  // the list's fourth column, row by row
    shell->selectedLivePlayer = 1;
    Show(ScreenId::OstrelPlayers);
    EXPECT_EQ(card(), "Гравець 1 Text; НЕ ПЕРЕВІРЕНО Danger; ID Muted; P-1 Text; СТАН Muted; — Text; СТВОРЕНО Muted; "
                      "2025-11-02T08:15:00Z Text; ОСТАННІЙ ВХІД Muted; 2026-02-04T09:05:00Z Text; ВЕРСІЯ КЛІЄНТА Muted; "
                      "— Text; ДОВІРЕНІ ПРИСТРОЇ Muted; — Text; ");
    // A verified player reads YES, the others NO; the selected row is drawn in full text colour.
    EXPECT_EQ(verified(), "ТАК Text@0.86; НІ Text; ТАК Text@0.86; ");
    EXPECT_TRUE(Has("players.select.0"));
    EXPECT_TRUE(Has("players.select.2"));
    EXPECT_FALSE(Has("players.select.3"));
    const auto it = std::find_if(shell->hitRegions.begin(), shell->hitRegions.end(),
                                 [](const HitRegion& r) { return r.command == "players.select.1"; });
    ASSERT_NE(it, shell->hitRegions.end());
    // The selected row is tinted cyan at its left edge.
    const Rgb edge = Pixel(static_cast<int>(it->rect.left) + 1, static_cast<int>((it->rect.top + it->rect.bottom) / 2));
    EXPECT_GT(edge.b, 200);
    // A click on the row above selects that player.
    shell->OnClick(static_cast<int>(it->rect.left) + 100, static_cast<int>(it->rect.top) - 20);
    EXPECT_EQ(shell->selectedLivePlayer, 0);
    shell->localization.SetLocale(localization::Locale::English);
    Paint();
    EXPECT_EQ(card(), "Гравець 0 Text; VERIFIED Success; ID Muted; P-0 Text; STATE Muted; — Text; CREATED Muted; "
                      "2025-10-02T08:15:00Z Text; LAST SEEN Muted; 2026-02-03T09:05:00Z Text; CLIENT Muted; — Text; "
                      "TRUSTED DEVICES Muted; — Text; ");
    EXPECT_EQ(verified(), "YES Text; NO Muted@0.86; YES Text@0.86; ");
}

TEST_F(OwnerPages, TheGateHasOneButtonAndAStatisticsScreenOfTheGameIsNeverDrawnHere) {
    Paint();  // the gate
    EXPECT_EQ(Commands(), std::vector<std::string>{"ostrel.unlock"});
    if (const char* dir = std::getenv("OSTREL_SCREENSHOT_DIR")) {
        SavePng(shell->wicFactory.Get(), bitmap.Get(), std::filesystem::path(dir) / "ostrel-21.png");
    }
    // A game screen id outside the owner console's pages shows the overview in the frame.
    Show(ScreenId::MainMenu);
    EXPECT_TRUE(Has("metrics.refresh"));
    EXPECT_FALSE(Has("nav.play"));
}

}  // namespace
}  // namespace tarvo::ui::test
