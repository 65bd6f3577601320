// Each player screen painted in both languages; every one must change with the
// language. With TARVO_SCREENSHOT_DIR set, each paint is also written there as a
// PNG file, for looking at them.
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
            shell->screenEnteredAt = NativeShell::Clock::now() - std::chrono::milliseconds(late ? 6000 : 400);
            PaintScreen();
            languages[language] = screen;
            if (!folder.empty()) {
                SavePng(bitmap.Get(), folder / (std::string(shot.name) + (language == 0 ? "-uk.png" : "-en.png")));
            }
        }
        EXPECT_NE(languages[0], languages[1]) << shot.name;
    }
    if (!folder.empty()) EXPECT_TRUE(std::filesystem::exists(folder / "profile-avatar-en.png"));
}

}  // namespace
}  // namespace tarvo::ui::test
