// Each player screen painted in both languages; every one must change with the
// language. Long names and big figures stay inside their rectangles. With
// TARVO_SCREENSHOT_DIR set, each paint is also written there as a PNG file, for
// looking at them.
#include <algorithm>
#include <cstdlib>

#include "player_screens/player_canvas.h"
#include "shell/shell_logic.h"

namespace tarvo::ui::test {
namespace {

using navigation::ScreenId;

class Screenshots : public PlayerCanvas {};

TEST_F(Screenshots, EveryPlayerScreenInBothLanguages) {
    std::filesystem::path folder;
    if (const wchar_t* chosen = _wgetenv(L"TARVO_SCREENSHOT_DIR"); chosen && *chosen) folder = chosen;
    UseTestClock(*shell);  // both languages of a timed screen at the same instant
    heldTime = NativeShell::Clock::now();

    auto& stats = shell->playerData.botStats;
    stats.trainingsStarted = 12;
    stats.trainingsCompleted = 9;
    stats.kills = 47;
    stats.deaths = 13;
    stats.shots = 640;
    stats.hits = 251;
    stats.headshots = 18;
    stats.playSeconds = 5423.0;

    struct Shot {
        const char* name;
        ScreenId screen;
        std::string command;  // dispatched before the paint, may be empty
    };
    const Shot shots[] = {
        {"statistics-local", ScreenId::Statistics, "stats.local"},
        {"statistics-online", ScreenId::Statistics, "stats.online"},
        {"inventory-weapons", ScreenId::Inventory, "inventory.tab.0"},
        {"inventory-characters", ScreenId::Inventory, "inventory.tab.1"},
        {"inventory-gloves", ScreenId::Inventory, "inventory.tab.2"},
        {"profile-initials", ScreenId::Profile, ""},
        {"profile-avatar", ScreenId::Profile, "profile.avatar.sample"},
        {"matchmaking-searching", ScreenId::Matchmaking, ""},
        {"matchmaking-missing", ScreenId::Matchmaking, ""},
    };
    for (const Shot& shot : shots) {
        std::vector<BYTE> languages[2];
        for (int language = 0; language < 2; ++language) {
            shell->localization.SetLocale(language == 0 ? localization::Locale::Ukrainian : localization::Locale::English);
            shell->router.Navigate(shot.screen);
            if (!shot.command.empty()) shell->Dispatch(shot.command);
            shell->toast.clear();
            const bool late = std::string(shot.name) == "matchmaking-missing";
            shell->screenEnteredAt = shell->Now() - std::chrono::milliseconds(late ? 6000 : 400);
            PaintScreen();
            languages[language] = screen;
            if (!folder.empty()) {
                SavePng(bitmap.Get(), folder / (std::string(shot.name) + (language == 0 ? "-uk.png" : "-en.png")));
            }
        }
        EXPECT_NE(languages[0], languages[1]) << shot.name;
    }
    if (!folder.empty()) { EXPECT_TRUE(std::filesystem::exists(folder / "profile-avatar-en.png")); }
}

// A 28-letter Cyrillic nickname, a nine-digit figure and a 40-character device name
// change nothing outside the rectangles of the texts that show them.
TEST_F(Screenshots, LongTextsStayInsideTheirRectangles) {
    std::filesystem::path folder;
    if (const wchar_t* chosen = _wgetenv(L"TARVO_SCREENSHOT_DIR"); chosen && *chosen) folder = chosen;
    struct Data {
        const wchar_t* nickname;
        std::uint64_t kills;
        const wchar_t* device;
    };
    const Data plain{L"ОПЕРАТОР", 4, L"WORK PC"};
    const Data longest{L"ВОЛОДИМИР_ОЛЕКСАНДРОВИЧ_КОВА", 123456789, L"DESKTOP-ВЕЛИКИЙ-ІГРОВИЙ-КОМП_ЮТЕР-ВАСИЛЯ"};
    ASSERT_EQ(std::wstring(longest.nickname).size(), 28u);
    ASSERT_EQ(std::wstring(longest.device).size(), 40u);

    struct Case {
        const char* name;
        ScreenId screen;
        std::vector<D2D_RECT_F> texts;  // where the changed texts are drawn
    };
    const Case cases[] = {
        {"home", ScreenId::MainMenu,
         {D2D1::RectF(98, 196, 224, 322), D2D1::RectF(250, 195, 480, 235), D2D1::RectF(100, 575, 475, 630)}},
        {"profile", ScreenId::Profile,
         {D2D1::RectF(182, 220, 510, 548), D2D1::RectF(120, 575, 570, 635), D2D1::RectF(1072, 215, 1370, 277)}},
        {"statistics", ScreenId::Statistics, {D2D1::RectF(807, 348, 1087, 420), D2D1::RectF(1517, 348, 1797, 420)}},
        {"devices", ScreenId::Devices, {D2D1::RectF(305, 355, 650, 388)}},
    };
    for (const Case& c : cases) {
        for (int language = 0; language < 2; ++language) {
            shell->localization.SetLocale(language == 0 ? localization::Locale::Ukrainian : localization::Locale::English);
            std::vector<BYTE> paints[2];
            for (int i = 0; i < 2; ++i) {
                const Data& data = i == 0 ? plain : longest;
                shell->playerData.identity.displayName = data.nickname;
                shell->playerData.botStats.kills = data.kills;
                shell->playerData.botStats.deaths = 3;
                shell->trustedDevices = {ServerDeviceRow{L"d1", data.device, L"2026-02-03 09:05", L"", L"0.0.03.5", true}};
                shell->router.Navigate(c.screen);
                shell->toast.clear();
                PaintScreen();
                paints[i] = screen;
                if (!folder.empty()) {
                    SavePng(bitmap.Get(), folder / (std::string("long-texts-") + c.name + (i == 0 ? "-plain" : "-long") +
                                                    (language == 0 ? "-uk.png" : "-en.png")));
                }
            }
            // Antialiased clip edges may touch the pixel just outside a rectangle.
            auto inside = [&](int x, int y) {
                return std::any_of(c.texts.begin(), c.texts.end(), [&](const D2D_RECT_F& r) {
                    return x >= r.left - 1 && x < r.right + 1 && y >= r.top - 1 && y < r.bottom + 1;
                });
            };
            int changedInside = 0, changedOutside = 0, firstX = -1, firstY = -1;
            for (int y = 0; y < 1080; ++y) {
                for (int x = 0; x < 1920; ++x) {
                    const size_t at = (static_cast<size_t>(y) * 1920 + static_cast<size_t>(x)) * 4;
                    if (std::equal(&paints[0][at], &paints[0][at] + 3, &paints[1][at])) continue;
                    if (inside(x, y)) {
                        ++changedInside;
                    } else if (changedOutside++ == 0) {
                        firstX = x;
                        firstY = y;
                    }
                }
            }
            EXPECT_GT(changedInside, 100) << c.name << ": the long texts are shown";
            EXPECT_EQ(changedOutside, 0) << c.name << (language == 0 ? " (uk)" : " (en)")
                                         << ": text outside its rectangle, first at " << firstX << ", " << firstY;
        }
    }
}

}  // namespace
}  // namespace tarvo::ui::test
