// Inventory (screen 12): the owned items of one category at a time, as cards with a
// preview, status badge, type, name and detail line. An empty category says so
// instead of showing placeholder slots.
#include "screens/player_screens.h"
#include "shell/native_shell.h"

namespace tarvo::ui {

namespace {

constexpr const wchar_t* kTabKeys[6] = {L"weapons", L"characters", L"gloves", L"stickers", nullptr, L"other"};

}  // namespace

void NativeShell::DrawInventory() {
    TopBrand(localization.Get(L"inventory"));

    for (int i = 0; i < 6; ++i) {
        const float x = 72.0f + 296.0f * static_cast<float>(i);
        const std::wstring_view label = kTabKeys[i] ? localization.Get(kTabKeys[i]) : Pick(L"ПІДВІСКИ", L"CHARMS");
        Button(D2D1::RectF(x, 170, x + 270, 228), label, "inventory.tab." + std::to_string(i), i == inventoryTab, false);
    }

    const bool english = localization.CurrentLocale() != localization::Locale::Ukrainian;
    const auto items = playerData.inventory.InCategory(static_cast<player::InventoryCategory>(inventoryTab));

    Card(D2D1::RectF(72, 260, 1848, 880));
    DrawTextIn(std::wstring(Pick(L"ВАШІ ПРЕДМЕТИ  •  ", L"YOUR ITEMS  •  ")) + std::to_wstring(items.size()),
               captionFormat.Get(), D2D1::RectF(105, 282, 605, 312), Colors::Cyan);

    if (items.empty()) {
        DrawChip(*this, D2D1::RectF(690, 455, 1230, 520), Colors::Cyan,
                 Pick(L"У ЦІЙ КАТЕГОРІЇ ЩЕ НЕМАЄ ПРЕДМЕТІВ", L"NO OWNED ITEMS IN THIS CATEGORY"));
        DrawTextIn(Pick(L"Це чесний empty state локального інвентарю. Фальшиві слоти не створюються.",
                        L"This is the honest local inventory empty state. No fake slots are generated."),
                   bodyFormat.Get(), D2D1::RectF(500, 550, 1420, 610), Colors::Muted, DWRITE_TEXT_ALIGNMENT_CENTER);
    }

    for (size_t n = 0; n < items.size(); ++n) {
        const player::InventoryItem& item = *items[n];
        const float x = 105.0f + 550.0f * static_cast<float>(n % 3);
        const float y = 330.0f + 430.0f * static_cast<float>(n / 3);
        Card(D2D1::RectF(x, y, x + 510, y + 390));

        const D2D_RECT_F preview = D2D1::RectF(x + 22, y + 22, x + 488, y + 272);
        FillRounded(preview, 9.0f, WithAlpha(Colors::Cyan, 0.065f));
        if (DrawBoundedImage(*this, item.previewPath, preview, 0.96f)) {
            StrokeRounded(preview, 9.0f, Colors::Cyan, 1.5f);
        } else {
            StrokeRounded(preview, 9.0f, Colors::Danger, 1.5f);
            DrawTextIn(Pick(L"ПЕРЕГЛЯД НЕДОСТУПНИЙ", L"PREVIEW UNAVAILABLE"), bodyFormat.Get(), preview, Colors::Danger,
                       DWRITE_TEXT_ALIGNMENT_CENTER);
        }

        DrawChip(*this, D2D1::RectF(x + 40, y + 40, x + 208, y + 75), Colors::Accent,
                 player::InventoryStatusLabel(item.status, english));
        DrawTextIn(english ? item.typeLabelEn : item.typeLabelUk, captionFormat.Get(),
                   D2D1::RectF(x + 24, y + 286, x + 294, y + 316), Colors::Muted);
        DrawTextIn(english ? item.nameEn : item.nameUk, headingFormat.Get(), D2D1::RectF(x + 24, y + 312, x + 470, y + 350),
                   Colors::Text);
        DrawTextIn(english ? item.detailEn : item.detailUk, captionFormat.Get(),
                   D2D1::RectF(x + 24, y + 352, x + 475, y + 382), Colors::Accent);
    }

    Button(D2D1::RectF(72, 928, 250, 990), localization.Get(L"back"), "nav.back", false, false);
}

}  // namespace tarvo::ui
