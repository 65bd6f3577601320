// Statistics (screen 14): the bot-training record of the local profile as ten
// figure cards, or the online tab's statement that no online figures exist yet.
#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

void NativeShell::DrawStatistics() {
    TopBrand(localization.Get(L"statistics"));

    Button(D2D1::RectF(72, 165, 420, 225), Pick(L"БОТИ / ЛОКАЛЬНО", L"BOT / LOCAL"), "stats.local",
           statisticsView == 0, false);
    Button(D2D1::RectF(445, 165, 793, 225), Pick(L"ОНЛАЙН", L"ONLINE"), "stats.online", statisticsView == 1, false);
    DrawChip(*this, D2D1::RectF(830, 174, 1450, 216), Colors::Danger,
             Pick(L"ОНЛАЙН БУДЕ ДОСТУПНИЙ У 0.0.04", L"ONLINE WILL BE AVAILABLE IN 0.0.04"));

    if (statisticsView == 1) {
        Card(D2D1::RectF(72, 260, 1848, 880));
        DrawChip(*this, D2D1::RectF(690, 390, 1230, 455), Colors::Danger,
                 Pick(L"ОНЛАЙН — НЕДОСТУПНО ДО 0.0.04", L"ONLINE — NOT AVAILABLE UNTIL 0.0.04"));
        DrawTextIn(Pick(L"Контракт OnlineStats підготовлено, але мережеві дані не запитуються. Тут немає фейкових чисел.",
                        L"The OnlineStats contract is prepared, but no network data is requested. No fake values are shown."),
                   bodyFormat.Get(), D2D1::RectF(420, 500, 1500, 580), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
        DrawChip(*this, D2D1::RectF(730, 640, 1190, 695), Colors::Cyan,
                 Pick(L"BACKEND: НЕ ПІДКЛЮЧЕНО", L"BACKEND: NOT CONNECTED"));
    } else {
        const auto figures = StatisticsFigures(playerData.botStats, localization);
        const std::wstring_view saved = Pick(L"ЛОКАЛЬНЕ ЗБЕРЕЖЕННЯ", L"LOCAL SAVE");
        for (int i = 0; i < 10; ++i) {
            const float x = 72.0f + 355.0f * static_cast<float>(i % 5);
            const float y = 270.0f + 245.0f * static_cast<float>(i / 5);
            Card(D2D1::RectF(x, y, x + 330, y + 205));
            FillRect(D2D1::RectF(x, y + 20, x + 4, y + 185), i < 2 ? Colors::Cyan : Colors::Accent);
            DrawTextIn(figures[i].label, captionFormat.Get(), D2D1::RectF(x + 25, y + 30, x + 305, y + 60), Colors::Muted);
            DrawTextIn(figures[i].value, titleFormat.Get(), D2D1::RectF(x + 25, y + 78, x + 305, y + 150), Colors::Text);
            DrawChip(*this, D2D1::RectF(x + 25, y + 158, x + 302, y + 187), Colors::Success, saved);
        }
        DrawTextIn(Pick(L"Дані оновлюються з реальних локальних подій ZE001 і зберігаються між запусками.",
                        L"Values update from real ZE001 runtime events and persist between launches."),
                   bodyFormat.Get(), D2D1::RectF(72, 795, 1500, 845), Colors::Muted);
    }

    Button(D2D1::RectF(72, 928, 250, 990), localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace tarvo::ui
