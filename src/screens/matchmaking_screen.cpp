// Matchmaking (screen 11): a timed stand-in for a search that contacts nothing. The
// ring turns, the status moves from searching to found to the missing online
// module, and only then the way back to the play screen appears. The shell's 33 ms
// animation timer repaints it while it is current.
#include <chrono>

#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void DrawMatchmakingAt(NativeShell& shell, double seconds) {
    const MatchmakingPhase phase = MatchmakingPhaseAt(seconds);
    shell.TopBrand(shell.Pick(L"ОНЛАЙН НЕДОСТУПНИЙ", L"ONLINE UNAVAILABLE"));
    shell.Card(D2D1::RectF(420, 220, 1500, 850));

    const D2D1_COLOR_F dotColor = phase == MatchmakingPhase::Searching ? Colors::Cyan : Colors::Accent;
    for (int k = 0; k < 12; ++k) {
        const D2D1_POINT_2F c = MatchmakingDotCentre(k, seconds);
        shell.FillRounded(D2D1::RectF(c.x - 7, c.y - 7, c.x + 7, c.y + 7), 7.0f,
                          WithAlpha(dotColor, MatchmakingDotAlpha(k)));
    }

    const auto& text = shell.localization;
    std::wstring_view status = text.Get(L"matchmaking");
    D2D1_COLOR_F statusColor = Colors::Cyan;
    if (phase == MatchmakingPhase::Found) {
        status = text.Get(L"match_found");
        statusColor = Colors::Accent;
    } else if (phase == MatchmakingPhase::ModuleMissing) {
        status = text.Get(L"module_missing");
        statusColor = Colors::Danger;
    }
    shell.DrawTextIn(status, shell.titleFormat.Get(), D2D1::RectF(510, 630, 1410, 710), statusColor,
                     DWRITE_TEXT_ALIGNMENT_CENTER);
    shell.DrawTextIn(shell.Pick(L"ЛОКАЛЬНИЙ РЕЖИМ  •  БЕЗ З'ЄДНАННЯ ІЗ СЕРВЕРОМ", L"LOCAL MODE  •  NO SERVER CONNECTION"),
                     shell.captionFormat.Get(), D2D1::RectF(610, 725, 1310, 765), Colors::Muted,
                     DWRITE_TEXT_ALIGNMENT_CENTER);

    if (phase == MatchmakingPhase::ModuleMissing) {
        shell.Button(D2D1::RectF(735, 782, 1185, 840), text.Get(L"back"), "nav.play", false, false);
    }
}

void NativeShell::DrawMatchmaking() {
    const auto elapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(Now() - screenEnteredAt);
    DrawMatchmakingAt(*this, static_cast<double>(elapsed.count()) / 1e9);
}

}  // namespace tarvo::ui
